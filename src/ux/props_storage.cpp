#include "ux/props_storage.h"

#include <map>

#include "ui/text.h"
#include "ux/prop_info_list.h"

namespace ux {

namespace {

constexpr std::wstring_view kNull = L"(null)";
constexpr std::wstring_view kCount = L"Count";
// Default of a line read back: tells a missing line from an empty one.
const std::wstring kMissingLine(L"\uE000missing\uE000");

// Strings and wide characters are written, and read back, even when empty. Variants too: a
// variant property is empty until set, so skipping its empty default on a load would never bring
// a stored value back.
bool WrittenWhenEmpty(ui::TypeKind kind) {
  return kind == ui::TypeKind::String || kind == ui::TypeKind::WChar ||
         kind == ui::TypeKind::Variant;
}

std::wstring ItemName(int index) {
  return L"Item" + std::to_wstring(index);
}

bool IsReference(const ui::PropInfo& prop, const ui::TPersistent* object) {
  return prop.componentTyped || (object != nullptr && object->AsComponent() != nullptr);
}

// A settings file never renames a component: the stored list and every later lookup find
// components by name, and a damaged file could give a name to no one or to two at once.
bool RenamesComponent(const ui::PropInfo& prop, ui::TPersistent& object) {
  return object.AsComponent() != nullptr && ui::SameText(prop.name, L"Name");
}

// An unnamed owner is known by its class name less a leading "T".
std::wstring OwnerName(const ui::TComponent& owner) {
  if (!owner.Name().empty()) return owner.Name();
  std::wstring_view name = owner.ClassName();
  if (!name.empty() && (name[0] == L'T' || name[0] == L't')) name.remove_prefix(1);
  return std::wstring(name);
}

}  // namespace

TPropsStorage::TPropsStorage() : OnFindOwner(FindGlobalOwner) {}

std::wstring TPropsStorage::ReadString(const std::wstring& section, const std::wstring& item,
                                       const std::wstring& def) {
  return OnReadString ? OnReadString(section, item, def) : std::wstring();
}

void TPropsStorage::WriteString(const std::wstring& section, const std::wstring& item,
                                const std::wstring& value) {
  if (OnWriteString) OnWriteString(section, item, value);
}

void TPropsStorage::EraseSection(const std::wstring& section) {
  if (OnEraseSection) OnEraseSection(section);
}

std::wstring TPropsStorage::GetItemName(std::wstring_view propName) const {
  return prefix_ + std::wstring(propName);
}

std::unique_ptr<TPropsStorage> TPropsStorage::CreateStorage() const {
  return std::make_unique<TPropsStorage>();
}

std::unique_ptr<TPropsStorage> TPropsStorage::NestedStorage(ui::TPersistent* object,
                                                            std::wstring prefix) const {
  std::unique_ptr<TPropsStorage> nested = CreateStorage();
  nested->OnReadString = OnReadString;
  nested->OnWriteString = OnWriteString;
  nested->OnEraseSection = OnEraseSection;
  nested->OnFindOwner = OnFindOwner;
  nested->owner_ = owner_;
  nested->object_ = object;
  nested->prefix_ = std::move(prefix);
  nested->section_ = section_;
  return nested;
}

void TPropsStorage::StoreAnyProperty(const ui::PropInfo* prop) {
  if (prop == nullptr || object_ == nullptr) return;
  if (prop->kind == ui::TypeKind::Class) {
    StoreClassProperty(*prop);
    return;
  }
  const std::wstring text(ui::Trim(ui::GetPropText(*object_, *prop)));
  if (!text.empty() || WrittenWhenEmpty(prop->kind))
    WriteString(section_, GetItemName(prop->name), text);
}

// A value that does not parse leaves the property as it was: a damaged number must not, for
// example, collapse a side dock to width 0.
void TPropsStorage::LoadAnyProperty(const ui::PropInfo* prop) {
  if (prop == nullptr || object_ == nullptr || RenamesComponent(*prop, *object_)) return;
  try {
    const bool isClass = prop->kind == ui::TypeKind::Class;
    const std::wstring def =
        isClass ? std::wstring() : std::wstring(ui::Trim(ui::GetPropText(*object_, *prop)));
    if (def.empty() && !isClass && !WrittenWhenEmpty(prop->kind)) return;
    const std::wstring text(ui::Trim(ReadString(section_, GetItemName(prop->name), def)));
    if (isClass)
      LoadClassProperty(*prop, text);
    else if (prop->kind == ui::TypeKind::Char || prop->kind == ui::TypeKind::WChar)
      LoadCharacter(*prop, text);
    else
      ui::SetPropText(*object_, *prop, text);
  } catch (...) {  // a property that cannot be loaded keeps its value
  }
}

void TPropsStorage::LoadCharacter(const ui::PropInfo& prop, const std::wstring& text) {
  if (!text.empty() && prop.setOrd) prop.setOrd(*object_, static_cast<std::int64_t>(text[0]));
}

void TPropsStorage::StoreProperties(const ui::TStrings& propList) {
  const TPropInfoList props(object_, AllTypeKinds());
  for (int i = 0; i < propList.Count(); ++i) StoreAnyProperty(props.Find(propList.Get(i)));
}

void TPropsStorage::LoadProperties(const ui::TStrings& propList) {
  const TPropInfoList props(object_, AllTypeKinds());
  for (int i = 0; i < propList.Count(); ++i) LoadAnyProperty(props.Find(propList.Get(i)));
}

void TPropsStorage::StoreObjectsProps(ui::TComponent* component, ui::TStrings& storedList) {
  ForEachStoredProp(component, storedList, Direction::Store);
}

void TPropsStorage::LoadObjectsProps(ui::TComponent* component, ui::TStrings& storedList) {
  ForEachStoredProp(component, storedList, Direction::Load);
}

void TPropsStorage::ForEachStoredProp(ui::TComponent* component, ui::TStrings& storedList,
                                      Direction direction) {
  UpdateStoredList(component, storedList, false);
  std::map<const ui::TComponent*, TPropInfoList> props;
  owner_ = component;
  for (int i = 0; i < storedList.Count(); ++i) {
    std::wstring compName;
    std::wstring propName;
    if (!ParseStoredItem(storedList.Get(i), compName, propName)) continue;
    ui::TComponent* stored = StoredComponent(storedList, i);
    auto found = props.find(stored);
    if (found == props.end())
      found = props.emplace(stored, TPropInfoList(stored, AllTypeKinds())).first;
    object_ = stored;
    prefix_ = stored->Name() + L"_";
    const ui::PropInfo* prop = found->second.Find(propName);
    if (direction == Direction::Store)
      StoreAnyProperty(prop);
    else
      LoadAnyProperty(prop);
  }
  owner_ = nullptr;
}

std::wstring TPropsStorage::ReferenceText(const ui::TComponent& referenced) const {
  const ui::TComponent* owner = referenced.Owner();
  if (owner == nullptr || owner == owner_) return referenced.Name();
  return OwnerName(*owner) + L"." + referenced.Name();
}

void TPropsStorage::StoreClassProperty(const ui::PropInfo& prop) {
  ui::TPersistent* value = prop.getObj ? prop.getObj(*object_) : nullptr;
  const std::wstring valueName = GetItemName(prop.name);
  if (const ui::TStrings* lines = value ? value->AsStrings() : nullptr)
    StoreStrings(*lines, valueName);
  if (const ui::TCollection* collection = value ? value->AsCollection() : nullptr)
    StoreCollection(*collection, valueName);
  if (IsReference(prop, value)) {
    const ui::TComponent* referenced = value ? value->AsComponent() : nullptr;
    const std::wstring text(referenced ? ui::Trim(ReferenceText(*referenced)) : kNull);
    if (!text.empty()) WriteString(section_, valueName, text);
    return;
  }
  if (value != nullptr) {
    const std::unique_ptr<TPropsStorage> nested = NestedStorage(value, valueName);
    const TPropInfoList props(value, AllTypeKinds());
    for (int i = 0; i < props.Count(); ++i) nested->StoreAnyProperty(props.Items(i));
  }
}

void TPropsStorage::LoadClassProperty(const ui::PropInfo& prop, const std::wstring& text) {
  ui::TPersistent* value = prop.getObj ? prop.getObj(*object_) : nullptr;
  const std::wstring valueName = GetItemName(prop.name);
  if (ui::TStrings* lines = value ? value->AsStrings() : nullptr) LoadStrings(*lines, valueName);
  if (ui::TCollection* collection = value ? value->AsCollection() : nullptr)
    LoadCollection(*collection, valueName);
  if (IsReference(prop, value)) {
    if (prop.setObj) LoadReference(prop, text);
    return;
  }
  if (value != nullptr) {
    const std::unique_ptr<TPropsStorage> nested = NestedStorage(value, valueName);
    const TPropInfoList props(value, AllTypeKinds());
    for (int i = 0; i < props.Count(); ++i) nested->LoadAnyProperty(props.Items(i));
  }
}

void TPropsStorage::StoreStrings(const ui::TStrings& lines, const std::wstring& valueName) {
  const std::wstring subSection = section_ + L"." + valueName;
  EraseSection(subSection);
  if (lines.Count() == 0) return;
  WriteString(subSection, std::wstring(kCount), std::to_wstring(lines.Count()));
  for (int i = 0; i < lines.Count(); ++i) WriteString(subSection, ItemName(i), lines.Get(i));
}

// The count is capped and a missing line is skipped, so a damaged section can neither hang the
// load nor bring back empty entries.
void TPropsStorage::LoadStrings(ui::TStrings& lines, const std::wstring& valueName) {
  const std::wstring subSection = section_ + L"." + valueName;
  const int count = ui::TryStrToInt(ReadString(subSection, std::wstring(kCount), L"0")).value_or(0);
  if (count <= 0) return;
  std::vector<std::wstring> read;
  for (int i = 0; i < count && i < kMaxStoredLines; ++i) {
    std::wstring line = ReadString(subSection, ItemName(i), kMissingLine);
    if (line != kMissingLine) read.push_back(std::move(line));
  }
  lines.Assign(read);
}

std::unique_ptr<TPropsStorage> TPropsStorage::ItemStorage(ui::TPersistent* item,
                                                          const std::wstring& valueName,
                                                          int index) const {
  std::unique_ptr<TPropsStorage> nested = NestedStorage(item, ItemName(index) + L"_");
  nested->section_ = section_ + L"." + valueName;
  return nested;
}

void TPropsStorage::StoreCollection(const ui::TCollection& collection,
                                    const std::wstring& valueName) {
  EraseSection(section_ + L"." + valueName);
  WriteString(section_, valueName + L"." + std::wstring(kCount),
              std::to_wstring(collection.Count()));
  for (int i = 0; i < collection.Count(); ++i) {
    ui::TCollectionItem& item = collection.Items(i);
    const std::unique_ptr<TPropsStorage> nested = ItemStorage(&item, valueName, i);
    const TPropInfoList props(&item, AllTypeKinds());
    for (int p = 0; p < props.Count(); ++p) nested->StoreAnyProperty(props.Items(p));
  }
}

// A count that is not a number, or beyond the cap, keeps the items there are.
void TPropsStorage::LoadCollection(ui::TCollection& collection, const std::wstring& valueName) {
  const int current = collection.Count();
  const std::wstring text =
      ReadString(section_, valueName + L"." + std::wstring(kCount), std::to_wstring(current));
  int count = ui::TryStrToInt(text).value_or(current);
  if (count < 0 || count > kMaxStoredItems) count = current;
  collection.BeginUpdate();
  try {
    if (count != current) {
      collection.Clear();
      for (int i = 0; i < count; ++i) collection.Add();
    }
    for (int i = 0; i < count; ++i) {
      ui::TCollectionItem& item = collection.Items(i);
      const std::unique_ptr<TPropsStorage> nested = ItemStorage(&item, valueName, i);
      const TPropInfoList props(&item, AllTypeKinds());
      for (int p = 0; p < props.Count(); ++p) nested->LoadAnyProperty(props.Items(p));
    }
  } catch (...) {
    collection.EndUpdate();
    throw;
  }
  collection.EndUpdate();
}

// A component found by name is taken only when it fits the property's class.
void TPropsStorage::LoadReference(const ui::PropInfo& prop, const std::wstring& text) {
  if (text.empty()) return;
  if (ui::SameText(text, kNull)) {
    prop.setObj(*object_, nullptr);
    return;
  }
  const ui::TComponent* owner = owner_;
  std::wstring name = text;
  if (const size_t dot = text.find(L'.'); dot != std::wstring::npos) {
    const std::wstring_view ownerName = ui::Trim(std::wstring_view(text).substr(0, dot));
    owner = OnFindOwner ? OnFindOwner(ownerName) : nullptr;
    name = ui::Trim(std::wstring_view(text).substr(dot + 1));
  }
  if (owner == nullptr) return;
  ui::TComponent* found = owner->FindComponent(name);
  if (found == nullptr)
    prop.setObj(*object_, nullptr);
  else if (prop.accepts == nullptr || prop.accepts(found))
    prop.setObj(*object_, found);
}

bool ParseStoredItem(std::wstring_view item, std::wstring& compName, std::wstring& propName) {
  const size_t dot = item.find(L'.');
  if (dot == std::wstring_view::npos) return false;
  compName = ui::Trim(item.substr(0, dot));
  propName = ui::Trim(item.substr(dot + 1));
  return !compName.empty() && !propName.empty();
}

std::wstring CreateStoredItem(std::wstring_view compName, std::wstring_view propName) {
  if (compName.empty() || propName.empty()) return {};
  return std::wstring(compName) + L"." + std::wstring(propName);
}

void UpdateStoredList(ui::TComponent* component, ui::TStrings& storedList, bool fromForm) {
  for (int i = storedList.Count() - 1; i >= 0; --i) {
    std::wstring compName;
    std::wstring propName;
    if (!ParseStoredItem(storedList.Get(i), compName, propName)) {
      storedList.Delete(i);
      continue;
    }
    if (fromForm) {
      ui::TComponent* found = component ? component->FindComponent(compName) : nullptr;
      if (found == nullptr)
        storedList.Delete(i);
      else
        SetStoredComponent(storedList, i, found);
      continue;
    }
    const ui::TComponent* stored = StoredComponent(storedList, i);
    if (stored == nullptr) {
      storedList.Delete(i);
      continue;
    }
    const std::intptr_t data = storedList.Objects(i);
    storedList.Put(i, CreateStoredItem(stored->Name(), propName));
    storedList.PutObject(i, data);
  }
}

ui::TComponent* StoredComponent(const ui::TStrings& storedList, int index) {
  return reinterpret_cast<ui::TComponent*>(storedList.Objects(index));
}

void SetStoredComponent(ui::TStrings& storedList, int index, ui::TComponent* component) {
  storedList.PutObject(index, reinterpret_cast<std::intptr_t>(component));
}

}  // namespace ux
