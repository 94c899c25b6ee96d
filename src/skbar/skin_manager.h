// The skin manager: the one current skin, the skins that can be chosen by name, and the
// objects that hear about a change of skin.
//   SkBarSkinManager(): the manager, made (with the built-in skins registered) on the first
//   call; null once SkFinalizeSkinManager() has run at shut-down, until a new start-up.
//   Change announcement: every registered object's dispatcher gets message WM_SKINCHANGE
//   (0x87D7, parameters and result 0), synchronously, then OnSkinChange runs.
//   Effective skin type: sknSkin while a skin other than "Default" is current, else sknWindows
//   while the platform's visual styles are in use, else sknNone.
//   TSkBarPlatform: the theme services the model asks (a seam: Windows answers from uxtheme,
//   other builds and tests from a stand-in).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "skbar/skin_options.h"
#include "ui/properties.h"
#include "ui/strings.h"

namespace ui {
class TWinControl;
}

namespace skbar {

constexpr unsigned WM_SKINCHANGE = 0x8000 + 2007;  // 0x87D7

struct TSkBarMessage {
  unsigned Msg = 0;
  std::uintptr_t WParam = 0;
  std::intptr_t LParam = 0;
  std::intptr_t Result = 0;
};
// An object's message dispatcher: handles the messages it knows, ignores the rest.
using TSkBarDispatch = std::function<void(TSkBarMessage& message)>;

class TSkBarPlatform {
 public:
  virtual ~TSkBarPlatform() = default;
  // Visual styles available and in use.
  virtual bool ThemesEnabled() const = 0;
  virtual bool IsVistaOrLater() const = 0;
  // The text colour (TMT_TEXTCOLOR) of a theme class's part and state; clNone when the theme
  // cannot be opened or has none.
  virtual TColor ThemeTextColor(const wchar_t* themeClass, int part, int state) const = 0;
  // The Luna colour scheme of the current theme (lusUnknown without visual styles).
  virtual TSkBarLunaScheme LunaScheme() const = 0;
};
// The platform the model asks; `platform` (not owned) replaces it, null restores the default.
TSkBarPlatform& SkPlatform();
void SkSetPlatform(TSkBarPlatform* platform);

// Exactly one of the two is set.
struct TSkBarSkinsListEntry {
  TSkBarSkinOptionsClass SkinClass = nullptr;  // a skin defined in code
  std::vector<std::wstring> SkinStrings;       // a skin's INI text (read from a file)
};

// Skin names (unsorted, looked up ignoring case) with their entries.
class TSkBarSkinsList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  const std::wstring& Names(int index) const { return items_.at(Checked(index)).name; }
  const TSkBarSkinsListEntry& Entries(int index) const { return items_.at(Checked(index)).entry; }
  int IndexOf(std::wstring_view name) const;

  // -1 when the name is empty, "Default" or already listed (ignoring case), else the new
  // entry's index.
  int AddSkin(const std::wstring& skinName, TSkBarSkinOptionsClass skinClass);
  // A skin's INI text; its name is the value of the first "Name " key, else "Name", anywhere.
  int AddSkin(const std::vector<std::wstring>& skinOptions);
  int AddSkinFromFile(const std::wstring& fileName);
  // Every sub-folder of `folder` holding a "Skin.ini".
  void AddSkinsFromFolder(const std::wstring& folder);
  void Delete(int index);
  void Clear() { items_.clear(); }
  // "Default", then every listed name in order.
  void GetSkinNames(ui::TStrings& skinNames) const;

 private:
  struct Item {
    std::wstring name;
    TSkBarSkinsListEntry entry;
  };
  static std::size_t Checked(int index) { return static_cast<std::size_t>(index); }
  std::vector<Item> items_;
};

class TSkBarSkinManager {
 public:
  TSkBarSkinManager();
  TSkBarSkinManager(const TSkBarSkinManager&) = delete;
  TSkBarSkinManager& operator=(const TSkBarSkinManager&) = delete;
  ~TSkBarSkinManager();

  TSkBarSkinOptions& CurrentSkin() const { return *currentSkin_; }
  const std::wstring& CurrentSkinName() const { return currentSkin_->SkinName(); }
  TSkBarSkinsList& SkinsList() { return skinsList_; }

  // `object` identifies the registration; registering it again does nothing.
  void AddSkinNotification(const void* object, TSkBarDispatch dispatch);
  void RemoveSkinNotification(const void* object);
  bool IsRegistered(const void* object) const;
  void BroadcastSkinNotification();

  TSkBarSkinType GetSkinType() const;
  bool IsDefaultSkin() const;  // the current name is "Default", exactly
  bool IsXPThemesEnabled() const;
  // Forces the visual-styles answer (tests); nullopt asks the platform again.
  void SetThemesOverride(std::optional<bool> enabled) { themesOverride_ = enabled; }

  // The published "SkinType" of every child of `control` whose class name begins with "TSkBar"
  // (not of `control` itself); with `recursive` also of the children's children (Windows).
  void ChangeControlSkinType(ui::TWinControl* control, TSkBarSkinType skinType, bool recursive);

  void SetSkin(const std::wstring& skinName);
  void SetToDefaultSkin();
  // The current skin reads the file (all of it, or nothing on an error, which propagates) and
  // broadcasts; a missing file changes nothing.
  void LoadFromFile(const std::wstring& fileName);
  void SaveToFile(const std::wstring& fileName) const;

  // Runs after each broadcast, with the manager as sender.
  std::function<void(TSkBarSkinManager& sender)> OnSkinChange;

 private:
  void Replace(std::unique_ptr<TSkBarSkinOptions> skin);

  struct Notify {
    const void* object;
    TSkBarDispatch dispatch;
  };
  std::vector<Notify> notifies_;
  std::unique_ptr<TSkBarSkinOptions> currentSkin_;
  TSkBarSkinsList skinsList_;
  std::optional<bool> themesOverride_;
};

// The manager (made on the first call, with the built-in skins registered); null after
// shut-down.
TSkBarSkinManager* SkBarSkinManager();
// The manager's current skin; a default skin of its own after shut-down.
TSkBarSkinOptions& SkCurrentSkin();
// Makes the manager at start-up, also after an earlier shut-down (a test that starts the units
// again); SkFinalizeSkinManager frees it, after which it is not made on use (also at process
// exit).
void SkInitializeSkinManager();
void SkFinalizeSkinManager();
// Unregisters `object`; harmless when the manager is gone.
void SkRemoveSkinNotification(const void* object);

// The names of the skin types, for a published "SkinType" property.
extern const ui::EnumNames SkinTypeNames;
// Sets the object's published enumeration property "SkinType" when its class name is longer
// than "TSkBar" and begins with it (ignoring case); false when nothing was set.
bool SkApplySkinType(ui::TPersistent& object, TSkBarSkinType skinType);

// sknSkin folds to sknWindows while the default skin is current, then sknWindows to sknNone
// without visual styles.
TSkBarSkinType SkEffectiveSkinType(TSkBarSkinType skinType);
bool SkIsVistaOrLater();
TSkBarLunaScheme SkDetectLunaScheme();

}  // namespace skbar
