#include "skbar/skin_options.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "rtl/file_stream.h"
#include "skbar/skin_colors.h"
#include "skbar/skin_manager.h"
#include "ui/ini_file.h"
#include "ui/strings.h"
#include "ui/text.h"

namespace skbar {

namespace {

constexpr TSkBarSkinStatesSet kNormal = StateBit(sknsNormal);

const std::wstring kSkinSection = L"Skin";

// Comma text: items separated by commas and blanks (characters up to the space), double quotes
// group an item ("" inside quotes is one quote).
std::vector<std::wstring> SplitCommaText(std::wstring_view text) {
  std::vector<std::wstring> items;
  std::size_t i = 0;
  const auto skipBlanks = [&] {
    while (i < text.size() && text[i] <= L' ') ++i;
  };
  skipBlanks();
  while (i < text.size()) {
    std::wstring item;
    if (text[i] == L'"') {
      ++i;
      while (i < text.size()) {
        if (text[i] == L'"') {
          if (i + 1 < text.size() && text[i + 1] == L'"') {
            item.push_back(L'"');
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        item.push_back(text[i++]);
      }
    } else {
      while (i < text.size() && text[i] > L' ' && text[i] != L',') item.push_back(text[i++]);
    }
    items.push_back(std::move(item));
    skipBlanks();
    if (i < text.size() && text[i] == L',') {
      ++i;
      skipBlanks();
      if (i == text.size()) items.emplace_back();
    }
  }
  return items;
}

TColor ReadColor(const ui::TCustomIniFile& ini, const std::wstring& section,
                 const std::wstring& ident, const wchar_t* defaultValue) {
  const std::wstring text = ini.ReadString(section, ident, defaultValue);
  try {
    return ui::StringToColor(text);
  } catch (const ui::EConvertError& error) {
    throw ESkinError("Skin section [" + ui::Utf8FromWide(section) + "], key " +
                     ui::Utf8FromWide(ident) + ": " + error.what());
  }
}

// A text value; one holding a NUL, which no skin text can hold again, is refused.
std::wstring ReadText(const ui::TCustomIniFile& ini, const std::wstring& section,
                      const std::wstring& ident, const std::wstring& defaultValue) {
  std::wstring text = ini.ReadString(section, ident, defaultValue);
  if (text.find(L'\0') != std::wstring::npos) {
    throw ESkinError("Skin section [" + ui::Utf8FromWide(section) + "], key " +
                     ui::Utf8FromWide(ident) + ": the text holds a NUL character");
  }
  return text;
}

TSkBarSkinType ManagerSkinType() {
  return SkEffectiveSkinType(sknSkin);
}

// Every category that skin text holds: each component's states, with section and key names.
template <class Visit>
void ForEachStoredCategory(Visit visit) {
  for (int c = 0; c < kSkinComponentCount; ++c) {
    const auto& ident = SkinComponentsIdent[static_cast<std::size_t>(c)];
    const std::wstring section(ident.Name);
    for (int s = 0; s < kSkinStateCount; ++s) {
      const auto state = static_cast<TSkBarSkinStatesType>(s);
      if ((ident.States & StateBit(state)) != 0)
        visit(static_cast<TSkBarSkinComponentsType>(c), state, section,
              std::wstring(SkinStatesIdent[static_cast<std::size_t>(s)]));
    }
  }
}

}  // namespace

const std::array<TSkBarSkinComponentsIdentEntry, kSkinComponentCount> SkinComponentsIdent{{
    {L"Dock", kNormal},
    {L"DockablePanel", kNormal},
    {L"DockablePanelTitleBar", kNormal},
    {L"Gutter", kNormal},
    {L"MenuBar", kNormal},
    {L"OpenToolbarItem", kNormal},
    {L"Panel", kNormal},
    {L"Popup", kNormal},
    {L"Separator", kNormal},
    {L"Splitter", kNormal},
    {L"StatusBar", kNormal},
    {L"StatusBarGrip", kNormal},
    {L"TabBackground", kNormal},
    {L"TabToolbar", kNormal},
    {L"Toolbar", kNormal},
    {L"ToolbarGrip", kNormal},
    {L"Window", kNormal},
    {L"WindowTitleBar", kNormal},
    {L"MenuBarItem", kAllSkinStates},
    {L"MenuItem", kAllSkinStates},
    {L"ToolbarItem", kAllSkinStates},
    {L"Button", kAllSkinStates},
    {L"CheckBox", kAllSkinStates},
    {L"EditButton", kAllSkinStates},
    {L"EditFrame", kNormal | StateBit(sknsDisabled) | StateBit(sknsHotTrack)},
    {L"Header", kNormal | StateBit(sknsDisabled) | StateBit(sknsHotTrack) | StateBit(sknsPushed)},
    {L"Label", kNormal | StateBit(sknsDisabled)},
    {L"ListItem", kAllSkinStates},
    {L"ProgressBar", kNormal | StateBit(sknsHotTrack)},
    {L"RadioButton", kAllSkinStates},
    {L"Tab", kAllSkinStates},
    {L"TrackBar", kNormal | StateBit(sknsHotTrack)},
    {L"TrackBarButton", kNormal | StateBit(sknsPushed)},
}};

const std::array<std::wstring_view, kSkinStateCount> SkinStatesIdent{
    L"Normal", L"Disabled", L"HotTrack", L"Pushed", L"Checked", L"CheckedAndHotTrack"};
const std::array<std::wstring_view, kSkinStateCount> SkinStatesDisplayName{
    L"Normal", L"Disabled", L"Hot", L"Pushed", L"Checked", L"Checked && Hot"};

bool HasState(TSkBarSkinComponentsType component, TSkBarSkinStatesType state) {
  return (SkinComponentsIdent[static_cast<std::size_t>(component)].States & StateBit(state)) != 0;
}

// TSkBarSkinOptionEntry

void TSkBarSkinOptionEntry::Fill(int skinType, TColor color1, TColor color2, TColor color3,
                                 TColor color4) {
  SkinType = skinType;
  Color1 = color1;
  Color2 = color2;
  Color3 = color3;
  Color4 = color4;
}

bool TSkBarSkinOptionEntry::IsEmpty() const {
  return Color1 == clNone && Color2 == clNone && Color3 == clNone && Color4 == clNone;
}

void TSkBarSkinOptionEntry::Lighten(int amount) {
  for (TColor* color : {&Color1, &Color2, &Color3, &Color4})
    if (*color != clNone) *color = SkLighten(*color, amount);
}

void TSkBarSkinOptionEntry::ReadFromString(std::wstring_view text) {
  Reset();
  const std::vector<std::wstring> items = SplitCommaText(text);
  if (items.empty()) return;
  SkinType = ui::TryStrToInt(items[0]).value_or(0);
  TColor* colors[] = {&Color1, &Color2, &Color3, &Color4};
  for (std::size_t i = 1; i < items.size() && i <= 4; ++i) {
    try {
      *colors[i - 1] = ui::StringToColor(items[i]);
    } catch (const ui::EConvertError&) {
      return;
    }
  }
}

std::wstring TSkBarSkinOptionEntry::WriteToString() const {
  return std::to_wstring(SkinType) + L", " + ui::ColorToString(Color1) + L", " +
         ui::ColorToString(Color2) + L", " + ui::ColorToString(Color3) + L", " +
         ui::ColorToString(Color4);
}

// TSkBarSkinOptionCategory

bool TSkBarSkinOptionCategory::IsEmpty() const {
  return Body.IsEmpty() && Borders.IsEmpty() && TextColor == clNone;
}

void TSkBarSkinOptionCategory::LoadFromIni(const ui::TCustomIniFile& ini,
                                           const std::wstring& section, const std::wstring& ident) {
  Reset();
  const std::wstring state = ident.empty() ? std::wstring(L"Normal") : ident;
  Body.ReadFromString(ini.ReadString(section, state + L".Body", L""));
  Borders.ReadFromString(ini.ReadString(section, state + L".Borders", L""));
  TextColor = ReadColor(ini, section, state + L".TextColor", L"clNone");
}

void TSkBarSkinOptionCategory::SaveToIni(ui::TCustomIniFile& ini, const std::wstring& section,
                                         const std::wstring& ident) const {
  ini.WriteString(section, ident + L".Body", Body.WriteToString());
  ini.WriteString(section, ident + L".Borders", Borders.WriteToString());
  ini.WriteString(section, ident + L".TextColor", ui::ColorToString(TextColor));
}

// TSkBarSkinOptions

void TSkBarSkinOptions::Reset(bool forceResetSkinProperties) {
  for (auto& states : options_)
    for (auto& category : states) category.Reset();
  if (forceResetSkinProperties) {
    colorBtnFace_ = ui::clBtnFace;
    floatingWindowBorderSize_ = 4;
    officeIcons_ = officeMenu_ = officeStatusBar_ = false;
  }
}

TSkBarSkinOptionCategory& TSkBarSkinOptions::Options(TSkBarSkinComponentsType component,
                                                     TSkBarSkinStatesType state) {
  if (SkinComponentsIdent[static_cast<std::size_t>(component)].States == kNormal)
    state = sknsNormal;
  return RawOptions(component, state);
}

const TSkBarSkinOptionCategory& TSkBarSkinOptions::Options(TSkBarSkinComponentsType component,
                                                           TSkBarSkinStatesType state) const {
  return const_cast<TSkBarSkinOptions*>(this)->Options(component, state);
}

TSkBarSkinOptionCategory& TSkBarSkinOptions::RawOptions(TSkBarSkinComponentsType component,
                                                        TSkBarSkinStatesType state) {
  return options_[static_cast<std::size_t>(component)][static_cast<std::size_t>(state)];
}

void TSkBarSkinOptions::CopyOptions(TSkBarSkinComponentsType from, TSkBarSkinComponentsType to) {
  options_[static_cast<std::size_t>(to)] = options_[static_cast<std::size_t>(from)];
}

void TSkBarSkinOptions::AssignTo(TSkBarSkinOptions& dest) const {
  if (&dest == this) return;
  for (int c = 0; c < kSkinComponentCount; ++c) {
    for (int s = 0; s < kSkinStateCount; ++s) {
      const auto component = static_cast<TSkBarSkinComponentsType>(c);
      const auto state = static_cast<TSkBarSkinStatesType>(s);
      dest.RawOptions(component, state) = Options(component, state);
    }
  }
  dest.colorBtnFace_ = colorBtnFace_;
  dest.SetFloatingWindowBorderSize(floatingWindowBorderSize_);
  dest.officeIcons_ = officeIcons_;
  dest.officeMenu_ = officeMenu_;
  dest.officeStatusBar_ = officeStatusBar_;
  dest.skinAuthor_ = skinAuthor_;
  dest.skinName_ = skinName_;
}

std::optional<std::vector<std::wstring>> SkReadSkinFile(const std::wstring& fileName) {
  const std::filesystem::path path(fileName);
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error || size > kMaxSkinFileBytes) return std::nullopt;
  rtl::TFileStream stream(path, rtl::FileMode::OpenRead);
  if (stream.Size() > static_cast<std::int64_t>(kMaxSkinFileBytes)) return std::nullopt;
  ui::TStringList lines;
  lines.LoadFromStream(stream);
  return lines.ToVector();
}

void TSkBarSkinOptions::LoadFromFile(const std::wstring& fileName) {
  if (auto lines = SkReadSkinFile(fileName)) LoadFromStrings(ui::TStringList(std::move(*lines)));
}

void TSkBarSkinOptions::LoadFromStrings(const ui::TStrings& lines) {
  ui::TMemIniFile ini;  // the text parsed once, then looked up by name
  ini.SetSections(ui::TIniFile(lines.ToVector()).Sections());
  // Read aside first: text that fails part-way leaves this skin as it was.
  TSkBarSkinOptions read;
  AssignTo(read);
  read.LoadFromMemIni(ini);
  read.AssignTo(*this);
  if (TSkBarSkinManager* manager = SkBarSkinManager(); manager && &manager->CurrentSkin() == this)
    manager->BroadcastSkinNotification();
}

void TSkBarSkinOptions::LoadFromMemIni(const ui::TCustomIniFile& ini) {
  skinName_ = ReadText(ini, kSkinSection, L"Name", skinName_);
  skinAuthor_ = ReadText(ini, kSkinSection, L"Author", skinAuthor_);
  colorBtnFace_ = ReadColor(ini, kSkinSection, L"ColorBtnFace", L"clBtnFace");
  // Clamped like the property, so that a file cannot ask for more frame rings than there are.
  SetFloatingWindowBorderSize(ini.ReadInteger(kSkinSection, L"FloatingWindowBorderSize", 4));
  officeIcons_ = ini.ReadBool(kSkinSection, L"OfficeIcons", false);
  officeMenu_ = ini.ReadBool(kSkinSection, L"OfficeMenu", false);
  officeStatusBar_ = ini.ReadBool(kSkinSection, L"OfficeStatusBar", false);
  ForEachStoredCategory([&](TSkBarSkinComponentsType component, TSkBarSkinStatesType state,
                            const std::wstring& section, const std::wstring& ident) {
    RawOptions(component, state).LoadFromIni(ini, section, ident);
  });
}

void TSkBarSkinOptions::SaveToFile(const std::wstring& fileName) const {
  const std::filesystem::path path(fileName);
  std::vector<std::wstring> existing;
  std::error_code error;
  if (std::filesystem::exists(path, error)) existing = ui::TIniFile(path).Lines();
  ui::TStringList lines(std::move(existing));
  SaveToStrings(lines);
  rtl::TMemoryStream stream;
  lines.SaveToStream(stream, ui::TextEncoding::Utf8);
  rtl::WriteFileAtomically(path, stream.Bytes());
}

void TSkBarSkinOptions::SaveToStrings(ui::TStrings& lines) const {
  ui::TIniFile ini(lines.ToVector());
  SaveToMemIni(ini);
  lines.Assign(ini.Lines());
}

void TSkBarSkinOptions::SaveToMemIni(ui::TCustomIniFile& ini) const {
  ini.WriteString(kSkinSection, L"Name", skinName_);
  ini.WriteString(kSkinSection, L"Author", skinAuthor_);
  ini.WriteString(kSkinSection, L"ColorBtnFace", ui::ColorToString(colorBtnFace_));
  ini.WriteInteger(kSkinSection, L"FloatingWindowBorderSize", floatingWindowBorderSize_);
  ini.WriteBool(kSkinSection, L"OfficeIcons", officeIcons_);
  ini.WriteBool(kSkinSection, L"OfficeMenu", officeMenu_);
  ini.WriteBool(kSkinSection, L"OfficeStatusBar", officeStatusBar_);
  ForEachStoredCategory([&](TSkBarSkinComponentsType component, TSkBarSkinStatesType state,
                            const std::wstring& section, const std::wstring& ident) {
    options_[static_cast<std::size_t>(component)][static_cast<std::size_t>(state)].SaveToIni(
        ini, section, ident);
  });
}

TSkBarSkinStatesType TSkBarSkinOptions::GetState(bool enabled, bool pushed, bool hotTrack,
                                                 bool checked) {
  if (!enabled) return sknsDisabled;
  if (pushed) return sknsPushed;
  if (hotTrack && checked) return sknsCheckedAndHotTrack;
  if (hotTrack) return sknsHotTrack;
  if (checked) return sknsChecked;
  return sknsNormal;
}

void TSkBarSkinOptions::GetDropDownArrowSize(int& dropDownArrowSize, int& dropDownArrowMargin,
                                             int& splitBtnArrowSize) const {
  dropDownArrowSize = 8;
  dropDownArrowMargin = 3;
  splitBtnArrowSize = ManagerSkinType() == sknWindows ? 13 : 12;
}

void TSkBarSkinOptions::GetMenuItemMargins(int textHeight, int imgSize,
                                           TSkBarMenuItemMarginsInfo& info) const {
  if (imgSize == 0) imgSize = 16;
  info = TSkBarMenuItemMarginsInfo();
  const TSkBarSkinType type = ManagerSkinType();
  if ((type == sknWindows && SkIsVistaOrLater()) || type == sknSkin) {
    info.Margins = {1, 3, 1, 3};
    info.LeftCaptionMargin = info.RightCaptionMargin = 3;
    info.ImageTextSpace = type == sknSkin ? 5 : 6;
  } else {
    info.Margins = {0, 2, 0, 2};
    info.LeftCaptionMargin = info.RightCaptionMargin = 2;
    info.ImageTextSpace = 1;
  }
  const int vertical = info.Margins.top + info.Margins.bottom;
  info.GutterSize = std::max(textHeight + vertical, imgSize + vertical);
}

TColor TSkBarSkinOptions::GetTextColor(TSkBarSkinComponentsType component,
                                       TSkBarSkinStatesType state, TSkBarSkinType skinType) const {
  skinType = SkEffectiveSkinType(skinType);
  const bool disabled = state == sknsDisabled;
  const TColor fallback = disabled ? ui::clGrayText : ui::clBtnText;
  const bool hot = state == sknsHotTrack || state == sknsCheckedAndHotTrack;
  if (skinType == sknSkin) {
    if (!HasState(component, state)) return clNone;
    const TColor color = Options(component, state).TextColor;
    if (color != clNone) return color;
  }
  if (Index(component) > Index(skncListItem)) return fallback;
  // The theme's text colour, when the theme answers (else the classic rules below).
  const auto themed = [&](const wchar_t* themeClass, int part, int themeState) {
    return SkPlatform().ThemeTextColor(themeClass, part, themeState);
  };
  const bool vistaThemed = skinType == sknWindows && SkIsVistaOrLater();
  switch (component) {
    case skncDockablePanelTitleBar:
    case skncStatusBar:
    case skncTabToolbar:
      return skinType == sknSkin ? GetTextColor(skncToolbarItem, state, skinType) : fallback;
    case skncWindowTitleBar:
      if (skinType == sknSkin) return GetTextColor(skncToolbarItem, state, skinType);
      return disabled ? ui::clInactiveCaptionText : ui::clCaptionText;
    case skncMenuBarItem: {
      if (vistaThemed) {
        const TColor color = themed(L"MENU", 8, disabled ? 4 : hot ? 2 : 1);
        if (color != clNone) return color;
      }
      if (disabled) return fallback;
      if (skinType == sknWindows && state != sknsNormal) return ui::clHighlightText;
      return ui::clMenuText;
    }
    case skncMenuItem: {
      if (vistaThemed) {
        const TColor color = themed(L"MENU", 14, disabled ? 3 : hot ? 2 : 1);
        if (color != clNone) return color;
      }
      if (disabled) return fallback;
      if (skinType == sknSkin) return ui::clMenuText;
      return hot || state == sknsPushed ? ui::clHighlightText : ui::clMenuText;
    }
    case skncToolbarItem:
      return disabled ? fallback : ui::clMenuText;
    case skncButton: {
      if (skinType == sknWindows) {
        const int themeState = disabled                ? 4
                               : state == sknsHotTrack ? 2
                               : state == sknsNormal   ? 1
                                                       : 3;
        const TColor color = themed(L"BUTTON", 1, themeState);
        if (color != clNone) return color;
      }
      return fallback;
    }
    case skncListItem:
      if (skinType == sknSkin) return fallback;
      return state == sknsChecked || state == sknsCheckedAndHotTrack ? ui::clHighlightText
                                                                     : fallback;
    default:
      return fallback;
  }
}

int TSkBarSkinOptions::FloatingWindowBorderSize() const {
  return ManagerSkinType() == sknSkin ? floatingWindowBorderSize_ : 4;
}

void TSkBarSkinOptions::SetFloatingWindowBorderSize(int size) {
  floatingWindowBorderSize_ = std::clamp(size, 0, 4);
}

bool TSkBarSkinOptions::OfficeIcons() const {
  return officeIcons_ && ManagerSkinType() == sknSkin;
}

bool TSkBarSkinOptions::OfficeMenu() const {
  return officeMenu_ && ManagerSkinType() == sknSkin;
}

bool TSkBarSkinOptions::OfficePopup() const {
  return ManagerSkinType() == sknSkin && !Options(skncOpenToolbarItem).IsEmpty();
}

bool TSkBarSkinOptions::OfficeStatusBar() const {
  const TSkBarSkinType type = ManagerSkinType();
  return (officeStatusBar_ && type == sknSkin) || type == sknNone;
}

}  // namespace skbar
