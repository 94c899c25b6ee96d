#include "tb/mru.h"

#include <algorithm>

#include "tb/common.h"
#include "tb/consts.h"
#include "ui/boolean_prop.h"
#include "ui/properties.h"

namespace tb {

namespace {

// Accelerators: "1".."9" for the first nine entries, "A".."Z" for the next 26.
constexpr int kDigitAccels = 9;
constexpr int kLetterAccels = 26;

}  // namespace

// --- names

std::wstring TTBMRUListStrings::Get(int index) const {
  CheckIndex(index, Count());
  return names_[static_cast<std::size_t>(index)];
}

void TTBMRUListStrings::Put(int index, const std::wstring& text) {
  CheckIndex(index, Count());
  names_[static_cast<std::size_t>(index)] = text;
  list_.SetItemCaptions();
  list_.Changed();
}

void TTBMRUListStrings::Insert(int index, const std::wstring& text) {
  CheckIndex(index, Count() + 1);
  TTBCustomItem& container = *list_.container_;
  TTBCustomItem* item = list_.CreateEntryItem(container);
  item->SetOnClick([list = &list_](ui::TComponent* sender) { list->EntryClick(sender); });
  container.Insert(index, item);
  names_.insert(names_.begin() + index, text);
  list_.SetItemCaptions();
  list_.Changed();
}

void TTBMRUListStrings::DeleteEntry(int index) {
  CheckIndex(index, Count());
  ui::Free(list_.container_->Items(index));
  names_.erase(names_.begin() + index);
}

void TTBMRUListStrings::Delete(int index) {
  DeleteEntry(index);
  list_.SetItemCaptions();
  list_.Changed();
}

void TTBMRUListStrings::Move(int from, int to) {
  CheckIndex(from, Count());
  CheckIndex(to, Count());
  if (from == to) return;
  std::wstring name = std::move(names_[static_cast<std::size_t>(from)]);
  names_.erase(names_.begin() + from);
  names_.insert(names_.begin() + to, std::move(name));
  list_.container_->Move(from, to);
  list_.SetItemCaptions();
  list_.Changed();
}

void TTBMRUListStrings::Clear() {
  for (int i = Count(); i-- > 0;) Delete(i);
}

int TTBMRUListStrings::IndexOf(std::wstring_view text) const {
  const std::wstring wanted = LowerCaseText(text);
  for (std::size_t i = 0; i < names_.size(); ++i)
    if (LowerCaseText(names_[i]) == wanted) return static_cast<int>(i);
  return -1;
}

void TTBMRUListStrings::CheckIndex(int index, int limit) const {
  if (index < 0 || index >= limit) IndexError(index);
}

// --- the list

TTBMRUList::TTBMRUList(ui::TComponent* owner)
    : ui::TComponent(owner), container_(ui::New<TTBCustomItem>()) {
  // The entries show their hints (they inherit the container's options): a caption that shows
  // only the file title does not tell two files of the same name apart.
  container_->SetOptions(tboShowHint);
}

TTBMRUList::~TTBMRUList() {
  container_.reset();  // the entries first, while the names still exist
}

void TTBMRUList::GetPublishedProps(std::vector<const ui::PropInfo*>& out) const {
  ui::TComponent::GetPublishedProps(out);
  using L = TTBMRUList;
  static constexpr ui::PropInfo kProps[] = {
      ui::BoolProp<L, &L::AddFullPath, &L::SetAddFullPath>(L"AddFullPath"),
      ui::BoolProp<L, &L::HidePathExtension, &L::SetHidePathExtension>(L"HidePathExtension"),
      ui::StringsProp<L, &L::Items>(L"Items"),
      ui::IntProp<L, &L::MaxItems, &L::SetMaxItems>(L"MaxItems"),
      ui::StringProp<L, &L::Prefix, &L::SetPrefix>(L"Prefix"),
  };
  for (const ui::PropInfo& prop : kProps) out.push_back(&prop);
}

void TTBMRUList::SetMaxItems(int maxItems) {
  maxItems_ = maxItems;
  SetItemCaptions();
}

void TTBMRUList::SetHidePathExtension(bool hide) {
  if (hide == hidePathExtension_) return;
  hidePathExtension_ = hide;
  SetItemCaptions();
}

TTBCustomItem* TTBMRUList::CreateEntryItem(TTBCustomItem& container) {
  return ui::Create<TTBCustomItem>(container);
}

void TTBMRUList::SetItemCaptions() {
  // Trimmed from the end, one change each; captions are written once afterwards.
  while (list_.Count() > std::max(maxItems_, 0)) {
    list_.DeleteEntry(list_.Count() - 1);
    Changed();
  }
  for (int i = 0; i < list_.Count(); ++i) {
    const std::wstring& name = list_.names_[static_cast<std::size_t>(i)];
    const std::wstring text = DoubleAmpersands(hidePathExtension_ ? FileTitleOf(name) : name);
    wchar_t accel = 0;
    if (i < kDigitAccels)
      accel = static_cast<wchar_t>(L'1' + i);
    else if (i < kDigitAccels + kLetterAccels)
      accel = static_cast<wchar_t>(L'A' + i - kDigitAccels);
    TTBCustomItem& entry = *container_->Items(i);
    entry.SetCaption(accel ? std::wstring(L"&") + accel + L" " + text : text);
    entry.SetHint(name);
  }
}

void TTBMRUList::Changed() {
  if (OnChange && !Loading()) {
    const ui::TNotifyEvent handler = OnChange;
    handler(this);
  }
}

void TTBMRUList::Add(const std::wstring& fileName) {
  const std::wstring name = addFullPath_ && ExpandFileName ? ExpandFileName(fileName) : fileName;
  const int index = list_.IndexOf(name);
  if (index < 0) {
    list_.Insert(0, name);
    return;
  }
  if (index > 0) list_.Move(index, 0);
  list_.Put(0, name);
}

void TTBMRUList::Remove(const std::wstring& fileName) {
  const int index = list_.IndexOf(fileName);
  if (index >= 0) list_.Delete(index);
}

void TTBMRUList::EntryClick(ui::TComponent* sender) {
  const int index = container_->IndexOf(dynamic_cast<TTBCustomItem*>(sender));
  if (index < 0) return;
  if (index > 0) list_.Move(index, 0);
  if (!OnClick) return;
  // The handler may remove the entry (and free the item that is being clicked).
  const TTBMRUListClickEvent handler = OnClick;
  const std::wstring name = list_.Get(0);
  handler(*this, name);
}

void TTBMRUList::LoadFromIni(const ui::TCustomIniFile& ini, const std::wstring& section) {
  list_.Clear();
  for (int i = 1; i <= maxItems_; ++i) {
    const std::wstring value = ini.ReadString(section, prefix_ + std::to_wstring(i), L"");
    if (!value.empty()) list_.Add(value);
  }
}

void TTBMRUList::SaveToIni(ui::TCustomIniFile& ini, const std::wstring& section) const {
  for (int i = 1; i <= maxItems_; ++i) {
    const std::wstring ident = prefix_ + std::to_wstring(i);
    if (i > list_.Count())
      ini.DeleteKey(section, ident);
    else
      ini.WriteString(section, ident, list_.Get(i - 1));
  }
}

// --- the inline menu item

TTBMRUListItem::TTBMRUListItem(ui::TComponent* owner) : TTBCustomItem(owner) {
  SetItemStyle(GetItemStyle() | tbisEmbeddedGroup);
  SetCaption(TBText(STBMRUListItemDefCaption));
}

void TTBMRUListItem::Notification(ui::TComponent* component, ui::TOperation operation) {
  TTBCustomItem::Notification(component, operation);
  if (operation == ui::TOperation::opRemove && component == mruList_) {
    mruList_ = nullptr;
    SetLinkSubitems(nullptr);
  }
}

void TTBMRUListItem::GetPublishedProps(std::vector<const ui::PropInfo*>& out) const {
  TTBCustomItem::GetPublishedProps(out);
  using I = TTBMRUListItem;
  static constexpr ui::PropInfo kMRUList =
      ui::RefProp<I, TTBMRUList, &I::MRUList, &I::SetMRUList>(L"MRUList");
  out.push_back(&kMRUList);
}

void TTBMRUListItem::SetMRUList(TTBMRUList* list) {
  if (list == mruList_) return;
  if (mruList_) mruList_->RemoveFreeNotification(this);
  mruList_ = list;
  if (list) list->FreeNotification(this);
  SetLinkSubitems(list ? list->Container() : nullptr);
}

}  // namespace tb
