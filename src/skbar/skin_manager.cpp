#include "skbar/skin_manager.h"

#include <algorithm>
#include <filesystem>

#include "skbar/default_skins.h"
#include "ui/text.h"

namespace skbar {

// The platform's own answers (win32/ or posix/).
TSkBarPlatform& SkDefaultPlatform();

namespace {

TSkBarPlatform* platformOverride = nullptr;

// The manager lives from its first use until shut-down, and is made again only by a new start-up.
struct ManagerHolder {
  std::unique_ptr<TSkBarSkinManager> manager;
  bool finalized = false;
  ~ManagerHolder() {
    finalized = true;
    manager.reset();
  }
};
ManagerHolder holder;

bool IsFile(const std::filesystem::path& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

// The value of the first line whose name (the text before "=") is `key`, ignoring case.
std::wstring ValueOf(const std::vector<std::wstring>& lines, std::wstring_view key) {
  for (const std::wstring& line : lines) {
    const std::size_t equals = line.find(L'=');
    if (equals != std::wstring::npos &&
        ui::SameText(std::wstring_view(line).substr(0, equals), key))
      return line.substr(equals + 1);
  }
  return {};
}

}  // namespace

TSkBarPlatform& SkPlatform() {
  return platformOverride ? *platformOverride : SkDefaultPlatform();
}

void SkSetPlatform(TSkBarPlatform* platform) {
  platformOverride = platform;
}

// TSkBarSkinsList

int TSkBarSkinsList::IndexOf(std::wstring_view name) const {
  const auto found = std::find_if(items_.begin(), items_.end(), [name](const Item& item) {
    return ui::SameText(item.name, name);
  });
  return found == items_.end() ? -1 : static_cast<int>(found - items_.begin());
}

namespace {

// "Default" names the empty skin, which SetSkin reaches without the list: an entry of that name
// could never be chosen and would be listed twice.
bool Refused(const std::wstring& name, const TSkBarSkinsList& list) {
  return name.empty() || ui::SameText(name, L"Default") || list.IndexOf(name) >= 0;
}

}  // namespace

int TSkBarSkinsList::AddSkin(const std::wstring& skinName, TSkBarSkinOptionsClass skinClass) {
  if (!skinClass || Refused(skinName, *this)) return -1;
  items_.push_back({skinName, {skinClass, {}}});
  return Count() - 1;
}

int TSkBarSkinsList::AddSkin(const std::vector<std::wstring>& skinOptions) {
  std::wstring name = ValueOf(skinOptions, L"Name ");
  if (name.empty()) name = ValueOf(skinOptions, L"Name");
  name = ui::Trim(name);
  if (Refused(name, *this)) return -1;
  items_.push_back({name, {nullptr, skinOptions}});
  return Count() - 1;
}

int TSkBarSkinsList::AddSkinFromFile(const std::wstring& fileName) {
  const auto lines = SkReadSkinFile(fileName);
  return lines ? AddSkin(*lines) : -1;
}

void TSkBarSkinsList::AddSkinsFromFolder(const std::wstring& folder) {
  std::error_code error;
  std::vector<std::filesystem::path> names;
  for (std::filesystem::directory_iterator it(std::filesystem::path(folder), error), end;
       !error && it != end; it.increment(error)) {
    names.push_back(it->path().filename());
  }
  std::sort(names.begin(), names.end());
  for (const auto& name : names) {
    const std::filesystem::path file = std::filesystem::path(folder) / name / L"Skin.ini";
    if (IsFile(file)) AddSkinFromFile(file.wstring());
  }
}

void TSkBarSkinsList::Delete(int index) {
  if (index >= 0 && index < Count()) items_.erase(items_.begin() + index);
}

void TSkBarSkinsList::GetSkinNames(ui::TStrings& skinNames) const {
  skinNames.BeginUpdate();
  skinNames.Clear();
  skinNames.Add(L"Default");
  for (const Item& item : items_) skinNames.Add(item.name);
  skinNames.EndUpdate();
}

// TSkBarSkinManager

TSkBarSkinManager::TSkBarSkinManager() : currentSkin_(MakeSkin<TSkBarSkinOptions>()) {}

TSkBarSkinManager::~TSkBarSkinManager() = default;

void TSkBarSkinManager::AddSkinNotification(const void* object, TSkBarDispatch dispatch) {
  if (!IsRegistered(object)) notifies_.push_back({object, std::move(dispatch)});
}

void TSkBarSkinManager::RemoveSkinNotification(const void* object) {
  std::erase_if(notifies_, [object](const Notify& notify) { return notify.object == object; });
}

bool TSkBarSkinManager::IsRegistered(const void* object) const {
  return std::any_of(notifies_.begin(), notifies_.end(),
                     [object](const Notify& notify) { return notify.object == object; });
}

void TSkBarSkinManager::BroadcastSkinNotification() {
  // The objects registered now; one that a handler unregisters is not called any more.
  std::vector<const void*> objects;
  for (const Notify& notify : notifies_) objects.push_back(notify.object);
  for (const void* object : objects) {
    const auto found =
        std::find_if(notifies_.begin(), notifies_.end(),
                     [object](const Notify& notify) { return notify.object == object; });
    if (found == notifies_.end()) continue;
    const TSkBarDispatch dispatch = found->dispatch;
    TSkBarMessage message{WM_SKINCHANGE, 0, 0, 0};
    if (dispatch) dispatch(message);
  }
  if (OnSkinChange) OnSkinChange(*this);
}

TSkBarSkinType TSkBarSkinManager::GetSkinType() const {
  if (!IsDefaultSkin()) return sknSkin;
  return IsXPThemesEnabled() ? sknWindows : sknNone;
}

bool TSkBarSkinManager::IsDefaultSkin() const {
  return CurrentSkinName() == L"Default";
}

bool TSkBarSkinManager::IsXPThemesEnabled() const {
  return themesOverride_ ? *themesOverride_ : SkPlatform().ThemesEnabled();
}

void TSkBarSkinManager::Replace(std::unique_ptr<TSkBarSkinOptions> skin) {
  // The new skin is complete before it becomes current; the old one goes after the swap.
  std::swap(currentSkin_, skin);
  skin.reset();
  BroadcastSkinNotification();
}

void TSkBarSkinManager::SetSkin(const std::wstring& skinName) {
  if (ui::SameText(skinName, CurrentSkinName())) return;
  if (ui::SameText(skinName, L"Default")) {
    SetToDefaultSkin();
    return;
  }
  const int index = skinsList_.IndexOf(skinName);
  if (index < 0) return;
  const TSkBarSkinsListEntry& entry = skinsList_.Entries(index);
  if (entry.SkinClass) {
    Replace(entry.SkinClass());
    return;
  }
  // A skin read from a file: loaded aside, so that a bad file leaves the current skin alone.
  auto skin = MakeSkin<TSkBarSkinOptions>();
  skin->LoadFromStrings(ui::TStringList(entry.SkinStrings));
  Replace(std::move(skin));
}

void TSkBarSkinManager::SetToDefaultSkin() {
  Replace(MakeSkin<TSkBarSkinOptions>());
}

void TSkBarSkinManager::LoadFromFile(const std::wstring& fileName) {
  currentSkin_->LoadFromFile(fileName);
}

void TSkBarSkinManager::SaveToFile(const std::wstring& fileName) const {
  currentSkin_->SaveToFile(fileName);
}

// The singleton and the platform tests

TSkBarSkinManager* SkBarSkinManager() {
  if (!holder.manager && !holder.finalized) {
    holder.manager = std::make_unique<TSkBarSkinManager>();
    SkRegisterDefaultSkins(holder.manager->SkinsList());
  }
  return holder.manager.get();
}

TSkBarSkinOptions& SkCurrentSkin() {
  if (TSkBarSkinManager* manager = SkBarSkinManager()) return manager->CurrentSkin();
  static TSkBarSkinOptions afterShutDown;
  return afterShutDown;
}

void SkInitializeSkinManager() {
  holder.finalized = false;
  SkBarSkinManager();
}

void SkFinalizeSkinManager() {
  holder.finalized = true;
  holder.manager.reset();
}

void SkRemoveSkinNotification(const void* object) {
  if (holder.manager) holder.manager->RemoveSkinNotification(object);
}

TSkBarSkinType SkEffectiveSkinType(TSkBarSkinType skinType) {
  const TSkBarSkinManager* manager = SkBarSkinManager();
  if (skinType == sknSkin && (!manager || manager->IsDefaultSkin())) skinType = sknWindows;
  if (skinType == sknWindows &&
      !(manager ? manager->IsXPThemesEnabled() : SkPlatform().ThemesEnabled())) {
    skinType = sknNone;
  }
  return skinType;
}

namespace {
constexpr std::wstring_view kSkinTypeNames[] = {L"sknNone", L"sknWindows", L"sknSkin"};
}  // namespace
const ui::EnumNames SkinTypeNames{kSkinTypeNames};

bool SkApplySkinType(ui::TPersistent& object, TSkBarSkinType skinType) {
  const std::wstring_view name = object.ClassName();
  if (name.size() <= 6 || !ui::SameText(name.substr(0, 6), L"TSkBar")) return false;
  const ui::PropInfo* prop = ui::FindProp(object, L"SkinType");
  if (!prop || prop->kind != ui::TypeKind::Enumeration || !prop->setOrd) return false;
  prop->setOrd(object, static_cast<std::int64_t>(skinType));
  return true;
}

bool SkIsVistaOrLater() {
  return SkPlatform().IsVistaOrLater();
}

TSkBarLunaScheme SkDetectLunaScheme() {
  const TSkBarSkinManager* manager = SkBarSkinManager();
  if (!(manager ? manager->IsXPThemesEnabled() : SkPlatform().ThemesEnabled())) return lusUnknown;
  return SkPlatform().LunaScheme();
}

}  // namespace skbar
