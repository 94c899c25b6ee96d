// The skin model: how every skinned control looks, as data.
//   TSkBarSkinComponentsType x TSkBarSkinStatesType: the option matrix (33 x 6 categories). A
//   component whose state set is exactly {Normal} reads the Normal category in every state.
//   TSkBarSkinOptionEntry: one way of painting one thing (SkinType: fill style of a body,
//   corner rounding of borders; Color1..Color4). Text form "%d, %s, %s, %s, %s".
//   TSkBarSkinOptionCategory: Body + Borders + TextColor; three keys per state in skin text.
//   TSkBarSkinOptions: the matrix, the skin-wide values, the reading and writing of skin text
//   (INI) and the virtual painting operations (drawn on Windows; without a window system they
//   draw nothing). Skins are made in two phases: MakeSkin<T>() constructs, then calls
//   FillOptions().
//   Skin text is untrusted: a value that cannot be read raises ESkinError naming the section
//   and key, and the skin stays as it was.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/align_layout.h"
#include "ui/colors.h"

namespace ui {
class TCustomIniFile;
class TStrings;
class TCanvas;
}  // namespace ui

namespace skbar {

using ui::clNone;
using ui::TColor;
using ui::TRect;

enum class TSkBarSkinType { sknNone, sknWindows, sknSkin };
using enum TSkBarSkinType;

enum class TSkBarLunaScheme { lusBlue, lusMetallic, lusGreen, lusUnknown };
using enum TSkBarLunaScheme;

enum class TSkBarSkinComponentsType {
  skncDock,
  skncDockablePanel,
  skncDockablePanelTitleBar,
  skncGutter,
  skncMenuBar,
  skncOpenToolbarItem,
  skncPanel,
  skncPopup,
  skncSeparator,
  skncSplitter,
  skncStatusBar,
  skncStatusBarGrip,
  skncTabBackground,
  skncTabToolbar,
  skncToolbar,
  skncToolbarGrip,
  skncWindow,
  skncWindowTitleBar,
  skncMenuBarItem,
  skncMenuItem,
  skncToolbarItem,
  skncButton,
  skncCheckBox,
  skncEditButton,
  skncEditFrame,
  skncHeader,
  skncLabel,
  skncListItem,
  skncProgressBar,
  skncRadioButton,
  skncTab,
  skncTrackBar,
  skncTrackBarButton,
};
using enum TSkBarSkinComponentsType;
constexpr int kSkinComponentCount = 33;

enum class TSkBarSkinStatesType {
  sknsNormal,
  sknsDisabled,
  sknsHotTrack,
  sknsPushed,
  sknsChecked,
  sknsCheckedAndHotTrack,
};
using enum TSkBarSkinStatesType;
constexpr int kSkinStateCount = 6;

// A set of states, one bit each in enumeration order.
using TSkBarSkinStatesSet = std::uint8_t;
constexpr TSkBarSkinStatesSet StateBit(TSkBarSkinStatesType state) {
  return static_cast<TSkBarSkinStatesSet>(1u << static_cast<int>(state));
}
constexpr TSkBarSkinStatesSet kAllSkinStates = 0x3F;

struct TSkBarSkinComponentsIdentEntry {
  std::wstring_view Name;  // the INI section
  TSkBarSkinStatesSet States;
};
// Indexed by component.
extern const std::array<TSkBarSkinComponentsIdentEntry, kSkinComponentCount> SkinComponentsIdent;
// Indexed by state: INI key names and display names (for skin editors).
extern const std::array<std::wstring_view, kSkinStateCount> SkinStatesIdent;
extern const std::array<std::wstring_view, kSkinStateCount> SkinStatesDisplayName;

constexpr int Index(TSkBarSkinComponentsType component) {
  return static_cast<int>(component);
}
constexpr int Index(TSkBarSkinStatesType state) {
  return static_cast<int>(state);
}
bool HasState(TSkBarSkinComponentsType component, TSkBarSkinStatesType state);

// Skin text that cannot be read; the message names the section and key.
class ESkinError : public rtl::Exception {
 public:
  using rtl::Exception::Exception;
};

// The sides of a rectangle whose corners are drawn square (the anchor set).
using TAnchors = std::uint8_t;
constexpr TAnchors akLeft = 1, akTop = 2, akRight = 4, akBottom = 8;

class TSkBarSkinOptionEntry {
 public:
  int SkinType = 0;
  TColor Color1 = clNone;
  TColor Color2 = clNone;
  TColor Color3 = clNone;
  TColor Color4 = clNone;

  void Fill(int skinType, TColor color1, TColor color2 = clNone, TColor color3 = clNone,
            TColor color4 = clNone);
  void Reset() { *this = TSkBarSkinOptionEntry(); }
  bool IsEmpty() const;
  bool IsEqual(const TSkBarSkinOptionEntry& other) const { return *this == other; }
  void AssignTo(TSkBarSkinOptionEntry& dest) const { dest = *this; }
  // Adds `amount` (may be negative) to each channel of every colour that is set.
  void Lighten(int amount);
  // Resets, then reads what it can; stops silently at the first unreadable colour.
  void ReadFromString(std::wstring_view text);
  std::wstring WriteToString() const;

  bool operator==(const TSkBarSkinOptionEntry&) const = default;
};

class TSkBarSkinOptionCategory {
 public:
  TSkBarSkinOptionEntry Body;
  TSkBarSkinOptionEntry Borders;
  TColor TextColor = clNone;

  void Reset() { *this = TSkBarSkinOptionCategory(); }
  bool IsEmpty() const;
  void AssignTo(TSkBarSkinOptionCategory& dest) const { dest = *this; }
  // The keys ident.Body, ident.Borders and ident.TextColor of `section`; an empty ident reads
  // "Normal". Loading resets first; a bad text colour raises ESkinError.
  void LoadFromIni(const ui::TCustomIniFile& ini, const std::wstring& section,
                   const std::wstring& ident);
  void SaveToIni(ui::TCustomIniFile& ini, const std::wstring& section,
                 const std::wstring& ident) const;

  bool operator==(const TSkBarSkinOptionCategory&) const = default;
};

struct TSkBarMenuItemMarginsInfo {
  TRect Margins;
  int GutterSize = 0;
  int LeftCaptionMargin = 0;
  int RightCaptionMargin = 0;
  int ImageTextSpace = 0;
};

class TSkBarSkinOptions;
// The class reference of a skin: makes a skin of one class in two phases.
using TSkBarSkinOptionsClass = std::unique_ptr<TSkBarSkinOptions> (*)();

class TSkBarSkinOptions {
 public:
  // Construction leaves the matrix empty; use MakeSkin<T>() to get a filled skin.
  TSkBarSkinOptions() = default;
  TSkBarSkinOptions(const TSkBarSkinOptions&) = delete;
  TSkBarSkinOptions& operator=(const TSkBarSkinOptions&) = delete;
  virtual ~TSkBarSkinOptions() = default;

  // Fills the matrix; empty in the default skin.
  virtual void FillOptions() {}

  // Resets every category; with `forceResetSkinProperties` also the face colour, the border
  // size and the office flags (name and author are kept).
  void Reset(bool forceResetSkinProperties);

  // The category of a component in a state (Normal for a component with only that state).
  TSkBarSkinOptionCategory& Options(TSkBarSkinComponentsType component,
                                    TSkBarSkinStatesType state = sknsNormal);
  const TSkBarSkinOptionCategory& Options(TSkBarSkinComponentsType component,
                                          TSkBarSkinStatesType state = sknsNormal) const;
  // The category itself, whatever the component's state set.
  TSkBarSkinOptionCategory& RawOptions(TSkBarSkinComponentsType component,
                                       TSkBarSkinStatesType state);
  // All six categories of one component to the same states of another.
  void CopyOptions(TSkBarSkinComponentsType from, TSkBarSkinComponentsType to);
  // Everything: matrix, skin-wide values, name and author.
  virtual void AssignTo(TSkBarSkinOptions& dest) const;
  void Assign(const TSkBarSkinOptions& source) { source.AssignTo(*this); }

  // Skin text. Loading overwrites the skin-wide values and every category skin text holds;
  // keys that are missing read their defaults (name and author are then kept).
  void LoadFromFile(const std::wstring& fileName);
  virtual void LoadFromStrings(const ui::TStrings& lines);
  void SaveToFile(const std::wstring& fileName) const;
  // Keeps the sections of other names that `lines` already holds.
  virtual void SaveToStrings(ui::TStrings& lines) const;
  virtual void SaveToMemIni(ui::TCustomIniFile& ini) const;
  void LoadFromMemIni(const ui::TCustomIniFile& ini);

  static TSkBarSkinStatesType GetState(bool enabled, bool pushed, bool hotTrack, bool checked);
  virtual void GetDropDownArrowSize(int& dropDownArrowSize, int& dropDownArrowMargin,
                                    int& splitBtnArrowSize) const;
  // `textHeight` is the canvas font's text height plus its external leading.
  virtual void GetMenuItemMargins(int textHeight, int imgSize,
                                  TSkBarMenuItemMarginsInfo& info) const;
  virtual TColor GetTextColor(TSkBarSkinComponentsType component, TSkBarSkinStatesType state,
                              TSkBarSkinType skinType) const;
  // A component's background in a state: the body (1 pixel inside the borders when they are
  // drawn; `vertical` swaps the fill's direction), then the borders, square at the corners of
  // the sides in `forceRectBorders`. Each only when asked and set in the skin.
  virtual void PaintBackground(ui::TCanvas& canvas, const TRect& r,
                               TSkBarSkinComponentsType component, TSkBarSkinStatesType state,
                               bool background, bool borders, bool vertical,
                               TAnchors forceRectBorders) const;
  // A menu item's check mark, or a check box when not `menuItemStyle`.
  virtual void PaintMenuCheckMark(ui::TCanvas& canvas, const TRect& r, bool checked, bool grayed,
                                  bool menuItemStyle, TSkBarSkinStatesType state) const;
  // A menu item's radio mark, or a radio button when not `menuItemStyle`.
  virtual void PaintMenuRadioMark(ui::TCanvas& canvas, const TRect& r, bool checked,
                                  bool menuItemStyle, TSkBarSkinStatesType state) const;
  // A floating window's frame, `borderSize` rings from the outside in, and optionally its body.
  virtual void PaintWindowFrame(ui::TCanvas& canvas, const TRect& r, bool isActive, bool drawBody,
                                int borderSize) const;

  TColor ColorBtnFace() const { return colorBtnFace_; }
  void SetColorBtnFace(TColor color) { colorBtnFace_ = color; }
  // The field while a skin is in effect, else 4.
  int FloatingWindowBorderSize() const;
  int FloatingWindowBorderSizeField() const { return floatingWindowBorderSize_; }
  void SetFloatingWindowBorderSize(int size);  // kept within 0..4
  bool OfficeIcons() const;
  bool OfficeMenu() const;
  bool OfficePopup() const;
  bool OfficeStatusBar() const;
  bool OfficeIconsField() const { return officeIcons_; }
  bool OfficeMenuField() const { return officeMenu_; }
  bool OfficeStatusBarField() const { return officeStatusBar_; }
  void SetOfficeIcons(bool value) { officeIcons_ = value; }
  void SetOfficeMenu(bool value) { officeMenu_ = value; }
  void SetOfficeStatusBar(bool value) { officeStatusBar_ = value; }
  const std::wstring& SkinAuthor() const { return skinAuthor_; }
  void SetSkinAuthor(const std::wstring& author) { skinAuthor_ = author; }
  const std::wstring& SkinName() const { return skinName_; }
  void SetSkinName(const std::wstring& name) { skinName_ = name; }

 private:
  TColor colorBtnFace_ = ui::clBtnFace;
  int floatingWindowBorderSize_ = 4;
  std::array<std::array<TSkBarSkinOptionCategory, kSkinStateCount>, kSkinComponentCount> options_{};
  bool officeIcons_ = false;
  bool officeMenu_ = false;
  bool officeStatusBar_ = false;
  std::wstring skinAuthor_;
  std::wstring skinName_ = L"Default";
};

// Skin text is small (every key of a skin is about 40 KB); a larger file is not read.
constexpr std::uintmax_t kMaxSkinFileBytes = 4u << 20;
// The lines of a skin file; nothing for a file that is missing or larger than the limit.
std::optional<std::vector<std::wstring>> SkReadSkinFile(const std::wstring& fileName);

// Two-phase creation: construct, then fill the matrix through the most derived FillOptions.
template <class T>
std::unique_ptr<TSkBarSkinOptions> MakeSkin() {
  std::unique_ptr<TSkBarSkinOptions> skin = std::make_unique<T>();
  skin->FillOptions();
  return skin;
}

}  // namespace skbar
