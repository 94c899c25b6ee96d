#include "ux/form_placement.h"

#include <algorithm>

#include "ui/boolean_prop.h"
#include "ui/properties.h"
#include "ui/text.h"
#include "ux/app_utils.h"
#include "ux/str_utils.h"

namespace ux {

namespace {

constexpr std::wstring_view kFormVersion = L"FormVersion";
constexpr std::wstring_view kVisible = L"Visible";
constexpr std::wstring_view kActiveControl = L"ActiveControl";

constexpr unsigned kWmGetMinMaxInfo = 0x0024;
constexpr unsigned kWmNcHitTest = 0x0084;
constexpr unsigned kWmInitMenuPopup = 0x0117;
constexpr std::intptr_t kHtLeft = 10;
constexpr std::intptr_t kHtBottomRight = 17;

constexpr std::wstring_view kRootNames[] = {L"prCurrentUser", L"prLocalMachine", L"prCurrentConfig",
                                            L"prClassesRoot", L"prUsers",        L"prDynData"};
constexpr ui::EnumNames kRootEnum{kRootNames};
constexpr std::wstring_view kOptionNames[] = {L"fpState", L"fpPosition", L"fpActiveControl"};
constexpr ui::EnumNames kOptionEnum{kOptionNames};

}  // namespace

TIniLink::~TIniLink() {
  SetStorage(nullptr);
}

void TIniLink::SetStorage(TFormPlacement* storage) {
  if (storage_ == storage) return;
  if (storage_) std::erase(storage_->links_, this);
  storage_ = storage;
  if (storage_) storage_->links_.push_back(this);
}

TFormPlacement::StoreSession::StoreSession(TFormPlacement& placement, bool readOnly)
    : placement_(placement) {
  if (placement_.store_) return;
  placement_.store_ = placement_.storeFactory_(
      {placement_.useRegistry_, placement_.registryRoot_, placement_.IniFileName(), readOnly});
  placement_.storeIsRegistry_ = placement_.useRegistry_;
  opened_ = true;
}

TFormPlacement::StoreSession::~StoreSession() {
  if (opened_) placement_.store_.reset();
}

TFormPlacement::TFormPlacement(ui::TComponent* owner)
    : ui::TComponent(owner), minMaxInfo_([this] { MinMaxInfoChanged(); }) {
  if (IsForm(owner)) options_ = {TPlacementOption::fpState, TPlacementOption::fpPosition};
}

TFormPlacement::~TFormPlacement() {
  store_.reset();
  for (TIniLink* link : std::vector<TIniLink*>(links_)) link->SetStorage(nullptr);
  form_.reset();
}

void TFormPlacement::BeforeDestruction() noexcept {
  if (form_) form_->SetWindowHookActive(false);
  ui::TComponent::BeforeDestruction();
}

void TFormPlacement::GetPublishedProps(std::vector<const ui::PropInfo*>& out) const {
  ui::TComponent::GetPublishedProps(out);
  using C = TFormPlacement;
  static constexpr ui::PropInfo kProps[] = {
      ui::BoolProp<C, &C::Active, &C::SetActive>(L"Active"),
      ui::StringProp<C, &C::IniFileName, &C::SetIniFileName>(L"IniFileName"),
      ui::StringProp<C, &C::IniSection, &C::SetIniSection>(L"IniSection"),
      ui::ObjectProp<C, TWinMinMaxInfo, &C::MinMaxInfoObject>(L"MinMaxInfo"),
      ui::BoolProp<C, &C::PreventResize, &C::SetPreventResize>(L"PreventResize"),
      ui::SetProp<C, &C::OptionsMask, &C::SetOptionsMask>(L"Options", kOptionEnum),
      ui::EnumProp<C, &C::RegistryRoot, &C::SetRegistryRoot>(L"RegistryRoot", kRootEnum),
      ui::BoolProp<C, &C::UseRegistry, &C::SetUseRegistry>(L"UseRegistry"),
      ui::IntProp<C, &C::Version, &C::SetVersion>(L"Version"),
  };
  for (const ui::PropInfo& prop : kProps) out.push_back(&prop);
}

std::uint32_t TFormPlacement::OptionsMask() const {
  std::uint32_t mask = 0;
  for (TPlacementOption option : options_) mask |= 1u << static_cast<int>(option);
  return mask;
}

void TFormPlacement::SetOptionsMask(std::uint32_t mask) {
  options_.clear();
  for (int bit = 0; bit < static_cast<int>(std::size(kOptionNames)); ++bit)
    if (mask & (1u << bit)) options_.insert(static_cast<TPlacementOption>(bit));
}

std::wstring TFormPlacement::IniFileName() const {
  if (!iniFileName_.empty()) return iniFileName_;
  return useRegistry_ ? GetDefaultIniRegKey() : GetDefaultIniName();
}

std::wstring TFormPlacement::IniSection() const {
  if (!iniSection_.empty()) return iniSection_;
  if (form_ && Owner()) return std::wstring(Owner()->ClassName());
  return GetDefaultSection(Owner());
}

// Set before the form is attached (in the form's constructor), the value waits for the
// attachment, which applies it.
void TFormPlacement::SetPreventResize(bool preventResize) {
  if (preventResize_ == preventResize) return;
  preventResize_ = preventResize;
  if (!form_) return;
  UpdatePlacement();
  UpdatePreventResize();
}

void TFormPlacement::MinMaxInfoChanged() {
  UpdatePlacement();
  if (!Loading()) CheckToggleHook();
}

ValueReader TFormPlacement::SectionReader() {
  return [this, section = IniSection()](std::wstring_view ident, std::wstring_view def) {
    return DoReadString(section, std::wstring(ident), std::wstring(def));
  };
}

ValueWriter TFormPlacement::SectionWriter() {
  return [this, section = IniSection()](std::wstring_view ident, std::wstring_view value) {
    DoWriteString(section, std::wstring(ident), std::wstring(value));
  };
}

std::wstring TFormPlacement::DoReadString(const std::wstring& section, const std::wstring& ident,
                                          const std::wstring& def) {
  const StoreSession session(*this, true);
  return session.Store().ReadString(section, ident, def);
}

void TFormPlacement::DoWriteString(const std::wstring& section, const std::wstring& ident,
                                   const std::wstring& value) {
  const StoreSession session(*this, false);
  session.Store().WriteString(section, ident, value);  // an INI file quotes what needs it
}

std::wstring TFormPlacement::ReadString(const std::wstring& ident, const std::wstring& def) {
  return DoReadString(IniSection(), ident, def);
}

void TFormPlacement::WriteString(const std::wstring& ident, const std::wstring& value) {
  DoWriteString(IniSection(), ident, value);
}

int TFormPlacement::ReadInteger(const std::wstring& ident, int def) {
  return ui::TryStrToInt(ReadString(ident, L"")).value_or(def);
}

void TFormPlacement::WriteInteger(const std::wstring& ident, int value) {
  WriteString(ident, std::to_wstring(value));
}

void TFormPlacement::EraseSections() {
  const StoreSession session(*this, false);
  const std::wstring section = IniSection();
  for (const std::wstring& name : session.Store().ReadSections())
    if (name == section || IsWild(name, section + L".*", false) ||
        IsWild(name, section + L"\\*", false))
      session.Store().EraseSection(name);
}

void TFormPlacement::SaveFormPlacement() {
  if (active_ && !restored_) return;
  const StoreSession session(*this, false);
  WriteInteger(std::wstring(kFormVersion), version_);
  SavePlacement();
  Save();
  saved_ = true;
}

void TFormPlacement::RestoreFormPlacement() {
  saved_ = false;
  {
    const StoreSession session(*this, true);
    if (ReadInteger(std::wstring(kFormVersion), 0) >= version_) {
      RestorePlacement();
      restored_ = true;
      Restore();
      if (options_.contains(TPlacementOption::fpActiveControl) && form_) {
        const std::wstring name = ReadString(std::wstring(kActiveControl), L"");
        if (!name.empty()) form_->Host().SetActiveControlByName(name);
      }
    }
    restored_ = true;
  }
  UpdatePlacement();
}

void TFormPlacement::SavePlacement() {
  if (!form_) return;
  PlacementHost& form = form_->Host();
  if (options_.contains(TPlacementOption::fpState) ||
      options_.contains(TPlacementOption::fpPosition)) {
    WriteFormPlacement(form, SectionWriter());
    WriteString(std::wstring(kVisible), destroying_ ? L"1" : L"0");
  }
  if (options_.contains(TPlacementOption::fpActiveControl)) {
    const std::wstring name = form.ActiveControlName();
    if (!name.empty()) WriteString(std::wstring(kActiveControl), name);
  }
  for (TIniLink* link : std::vector<TIniLink*>(links_)) link->SaveToIni();
}

void TFormPlacement::RestorePlacement() {
  if (!form_) return;
  ReadFormPlacement(form_->Host(), SectionReader(), options_.contains(TPlacementOption::fpState),
                    options_.contains(TPlacementOption::fpPosition));
  for (TIniLink* link : std::vector<TIniLink*>(links_)) link->LoadFromIni();
}

void TFormPlacement::Save() {
  if (OnSavePlacement) OnSavePlacement(*this);
}

void TFormPlacement::Restore() {
  if (OnRestorePlacement) OnRestorePlacement(*this);
}

void TFormPlacement::UpdatePlacement() {
  if (!form_ || Loading() || preventResize_ || !minMaxInfo_.DefaultMinMaxInfo()) return;
  PlacementHost& form = form_->Host();
  if (!form.HandleAllocated()) return;
  std::optional<TWindowPlacement> placement = form.GetPlacement();
  if (!placement) return;
  if (!form.Visible()) placement->showCmd = kSwHide;
  const TPoint frame = form.FrameSize(form.BorderStyle());
  placement->maxPosition = {-frame.x, -frame.y};
  form.SetPlacement(*placement);
}

void TFormPlacement::FormShow() {
  if (!active_ || !form_) return;
  try {
    RestoreFormPlacement();
  } catch (...) {
    form_->Host().HandleException();
  }
}

void TFormPlacement::FormCloseQuery(bool canClose) {
  if (!canClose || !active_ || !form_ || !form_->Host().HandleAllocated()) return;
  try {
    SaveFormPlacement();
  } catch (...) {
    form_->Host().HandleException();
  }
}

void TFormPlacement::FormDestroy() {
  if (!active_ || saved_ || !form_) return;
  destroying_ = true;
  try {
    SaveFormPlacement();
  } catch (...) {
    form_->Host().HandleException();
  }
  destroying_ = false;
}

void TFormPlacement::AttachForm(std::unique_ptr<FormAttachment> form) {
  form_ = std::move(form);
  if (!form_) return;
  defMaximize_ = form_->Host().MaximizeIcon();
  if (preventResize_)
    UpdatePreventResize();
  else if (!Loading())
    CheckToggleHook();
}

void TFormPlacement::Loaded() {
  const bool wasLoading = Loading();
  ui::TComponent::Loaded();
  if (!wasLoading) return;
  if (form_)
    CheckToggleHook();  // attached while loading: the hook waited for the end of it
  else
    AttachForm(AttachToOwnerForm(*this));
}

// The maximize icon stays only without PreventResize, when the form had it and is no dialog.
void TFormPlacement::UpdatePreventResize() {
  if (!form_) return;
  PlacementHost& form = form_->Host();
  if (preventResize_) defMaximize_ = form.MaximizeIcon();
  const bool wasActive = active_;
  active_ = false;
  form.SetMaximizeIcon(!preventResize_ && defMaximize_ &&
                       form.BorderStyle() != TFormBorderStyle::bsDialog);
  active_ = wasActive;
  if (!Loading()) CheckToggleHook();
}

void TFormPlacement::CheckToggleHook() {
  if (form_) form_->SetWindowHookActive(preventResize_ || !minMaxInfo_.DefaultMinMaxInfo());
}

bool TFormPlacement::WndMessage(TMessage& message, TMinMaxRecord* record,
                                const std::function<void()>& disableSizing) {
  if (!form_) return false;
  PlacementHost& form = form_->Host();
  if (preventResize_) {
    switch (message.msg) {
      case kWmGetMinMaxInfo: {
        if (record == nullptr || !form.HandleAllocated() || !form.Visible()) return false;
        const TRect bounds = form.BoundsRect();
        const TPoint size{bounds.right - bounds.left, bounds.bottom - bounds.top};
        record->minTrackSize = size;
        record->maxTrackSize = size;
        message.result = 1;
        return true;
      }
      case kWmNcHitTest:
        if (message.result < kHtLeft || message.result > kHtBottomRight) return false;
        message.result = 0;
        return true;
      case kWmInitMenuPopup:
        if ((message.lParam >> 16 & 0xFFFF) == 0) return false;
        if (disableSizing) disableSizing();
        message.result = 1;
        return true;
      default:
        return false;
    }
  }
  if (message.msg != kWmGetMinMaxInfo || record == nullptr) return false;
  if (minMaxInfo_.DefaultMinMaxInfo())
    record->maxPosition = {0, 0};
  else
    minMaxInfo_.ApplyTo(*record);
  message.result = 1;
  return true;
}

}  // namespace ux
