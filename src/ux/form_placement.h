// Keeps a form's window placement and version in a settings store (the registry by default, or
// an INI file): restored before the form's own show handler runs, saved after a confirmed close
// query and at destruction when nothing was saved since the last restore.
//
// Section values, in the order a save writes them: "FormVersion"; with fpState or fpPosition
// "Flags", "ShowCmd", "PixelsPerInch", "MinMaxPos(WxH)", "MinMaxPos", "NormPos(WxH)", "NormPos",
// "Visible"; with fpActiveControl "ActiveControl"; then links, then what the OnSavePlacement
// handler writes. At most one store is open at a time, for one save, one restore or one single
// read or write; the single-value calls reuse the open one.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ui/component.h"
#include "ui/settings_store.h"
#include "ux/form_attachment.h"
#include "ux/message.h"
#include "ux/placement_values.h"
#include "ux/win_min_max_info.h"

namespace ux {

enum class TPlacementRegRoot {
  prCurrentUser,
  prLocalMachine,
  prCurrentConfig,
  prClassesRoot,
  prUsers,
  prDynData
};
enum class TPlacementOption { fpState, fpPosition, fpActiveControl };
using TPlacementOptions = std::set<TPlacementOption>;

// What to open: the registry key or INI file `fileName`, read-only for reads.
struct TSettingsStoreRequest {
  bool useRegistry = true;
  TPlacementRegRoot registryRoot = TPlacementRegRoot::prCurrentUser;
  std::wstring fileName;
  bool readOnly = false;
};
using TSettingsStoreFactory =
    std::function<std::unique_ptr<ui::TCustomIniFile>(const TSettingsStoreRequest&)>;
// The platform's stores: the registry key under the chosen root (created when missing, except a
// read-only one under another root than the current user's), or the INI file.
std::unique_ptr<ui::TCustomIniFile> OpenSettingsStore(const TSettingsStoreRequest& request);

class TFormPlacement;

// An object that saves and loads its own values with the placement, after the placement values.
class TIniLink {
 public:
  virtual ~TIniLink();
  TFormPlacement* Storage() const { return storage_; }
  // Attaches to `storage` (none detaches).
  void SetStorage(TFormPlacement* storage);
  virtual void SaveToIni() = 0;
  virtual void LoadFromIni() = 0;

 private:
  friend class TFormPlacement;
  TFormPlacement* storage_ = nullptr;
};

class TFormPlacement : public ui::TComponent {
 public:
  using TNotifyEvent = std::function<void(TFormPlacement& sender)>;

  explicit TFormPlacement(ui::TComponent* owner);
  ~TFormPlacement() override;

  std::wstring_view ClassName() const override { return L"TFormPlacement"; }
  void GetPublishedProps(std::vector<const ui::PropInfo*>& out) const override;

  bool Active() const { return active_; }
  void SetActive(bool active) { active_ = active; }
  // The explicit name, or the default key or INI file name.
  std::wstring IniFileName() const;
  void SetIniFileName(std::wstring name) { iniFileName_ = std::move(name); }
  // The explicit section, or the owner's default section.
  std::wstring IniSection() const;
  void SetIniSection(std::wstring section) { iniSection_ = std::move(section); }
  bool UseRegistry() const { return useRegistry_; }
  void SetUseRegistry(bool useRegistry) { useRegistry_ = useRegistry; }
  TPlacementRegRoot RegistryRoot() const { return registryRoot_; }
  void SetRegistryRoot(TPlacementRegRoot root) { registryRoot_ = root; }
  const TPlacementOptions& Options() const { return options_; }
  void SetOptions(TPlacementOptions options) { options_ = std::move(options); }
  int Version() const { return version_; }
  void SetVersion(int version) { version_ = version; }
  bool PreventResize() const { return preventResize_; }
  void SetPreventResize(bool preventResize);
  TWinMinMaxInfo& MinMaxInfo() { return minMaxInfo_; }
  const TWinMinMaxInfo& MinMaxInfo() const { return minMaxInfo_; }

  TNotifyEvent OnSavePlacement;
  TNotifyEvent OnRestorePlacement;

  // The open store, or none outside a save, a restore or a single read or write.
  ui::TCustomIniFile* IniFileObject() const { return store_.get(); }
  // The open store when it is an INI file, else none.
  ui::TCustomIniFile* IniFile() const { return storeIsRegistry_ ? nullptr : store_.get(); }
  // The open store when it is the registry, else none.
  ui::TCustomIniFile* RegIniFile() const { return storeIsRegistry_ ? store_.get() : nullptr; }
  // Replaces the platform's stores (tests).
  void SetStoreFactory(TSettingsStoreFactory factory) { storeFactory_ = std::move(factory); }

  void SaveFormPlacement();
  void RestoreFormPlacement();
  std::wstring ReadString(const std::wstring& ident, const std::wstring& def);
  void WriteString(const std::wstring& ident, const std::wstring& value);
  int ReadInteger(const std::wstring& ident, int def);
  void WriteInteger(const std::wstring& ident, int value);
  // Erases the section and its sub-sections ("<section>.*" and "<section>\*").
  void EraseSections();
  // Puts the maximized position just outside the screen by the frame size.
  void UpdatePlacement();

  // The owner form's steps, called by the form attachment: before the form's own OnShow, after
  // its own OnCloseQuery with the answer, and before its own OnDestroy. Errors go to the
  // application's handler; the form's step carries on.
  void FormShow();
  void FormCloseQuery(bool canClose);
  void FormDestroy();

  // The owner form; set by Loaded when the owner is a form, or by tests.
  void AttachForm(std::unique_ptr<FormAttachment> form);
  PlacementHost* Form() const { return form_ ? &form_->Host() : nullptr; }

  // The form window's message handler while the window hook is active (size limits and
  // PreventResize). `record` is the message's min/max record for WM_GETMINMAXINFO. Returns true
  // when it changed the message's result or record. `disableSizing` greys the size and maximize
  // commands of the system menu for WM_INITMENUPOPUP.
  bool WndMessage(TMessage& message, TMinMaxRecord* record,
                  const std::function<void()>& disableSizing);

  void Loaded() override;
  void BeforeDestruction() noexcept override;

 protected:
  virtual void SavePlacement();
  virtual void RestorePlacement();
  virtual std::wstring DoReadString(const std::wstring& section, const std::wstring& ident,
                                    const std::wstring& def);
  virtual void DoWriteString(const std::wstring& section, const std::wstring& ident,
                             const std::wstring& value);
  // Fire OnSavePlacement / OnRestorePlacement.
  virtual void Save();
  virtual void Restore();

  bool Restored() const { return restored_; }
  void SetRestored() { restored_ = true; }

 private:
  friend class TIniLink;
  // Opens the store for as long as it lives, unless one is open already.
  class StoreSession {
   public:
    StoreSession(TFormPlacement& placement, bool readOnly);
    ~StoreSession();
    StoreSession(const StoreSession&) = delete;
    StoreSession& operator=(const StoreSession&) = delete;
    ui::TCustomIniFile& Store() const { return *placement_.store_; }

   private:
    TFormPlacement& placement_;
    bool opened_ = false;
  };

  std::uint32_t OptionsMask() const;
  void SetOptionsMask(std::uint32_t mask);
  TWinMinMaxInfo* MinMaxInfoObject() const { return const_cast<TWinMinMaxInfo*>(&minMaxInfo_); }
  ValueReader SectionReader();
  ValueWriter SectionWriter();
  void UpdatePreventResize();
  void CheckToggleHook();
  void MinMaxInfoChanged();

  bool active_ = true;
  std::wstring iniFileName_;
  std::wstring iniSection_;
  std::unique_ptr<ui::TCustomIniFile> store_;
  bool storeIsRegistry_ = false;  // how the open store was opened
  bool useRegistry_ = true;
  TPlacementRegRoot registryRoot_ = TPlacementRegRoot::prCurrentUser;
  std::vector<TIniLink*> links_;
  TPlacementOptions options_;
  int version_ = 0;
  bool saved_ = false;
  bool restored_ = false;
  bool destroying_ = false;
  bool preventResize_ = false;
  TWinMinMaxInfo minMaxInfo_;
  bool defMaximize_ = false;
  std::unique_ptr<FormAttachment> form_;
  TSettingsStoreFactory storeFactory_ = OpenSettingsStore;
};

}  // namespace ux
