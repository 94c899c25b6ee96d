#include "ux/win32/rich_edit_attributes.h"

#include <algorithm>

#include "ux/win32/rich_edit.h"

namespace ux {

namespace {

// The paragraph's table effects: a row, the end of a cell, a cell.
constexpr WORD kTableRow = 0xC000, kTableCellEnd = 0x8000, kTableCell = 0x4000;

DWORD RangeFlags(TUxAttributeType type) {
  switch (type) {
    case TUxAttributeType::atDefaultText:
      return SCF_DEFAULT;
    case TUxAttributeType::atSelected:
      return SCF_SELECTION;
    case TUxAttributeType::atWord:
      return SCF_SELECTION | SCF_WORD;
  }
  return SCF_SELECTION;
}

// Keeps a control's selection, scroll position and selection notification while a format is
// applied to parts of its text one after the other, and puts them back at the end.
class TSelectionKept {
 public:
  explicit TSelectionKept(HWND window)
      : window_(window), mask_(static_cast<DWORD>(SendMessageW(window, EM_GETEVENTMASK, 0, 0))) {
    SendMessageW(window_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection_));
    scrolled_ = SendMessageW(window_, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll_)) != 0;
    SendMessageW(window_, EM_SETEVENTMASK, 0, mask_ & ~static_cast<DWORD>(ENM_SELCHANGE));
  }
  TSelectionKept(const TSelectionKept&) = delete;
  TSelectionKept& operator=(const TSelectionKept&) = delete;
  ~TSelectionKept() {
    SendMessageW(window_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection_));
    if (scrolled_) SendMessageW(window_, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll_));
    SendMessageW(window_, EM_SETEVENTMASK, 0, mask_);
  }

 private:
  HWND window_;
  DWORD mask_;
  CHARRANGE selection_{};
  POINT scroll_{};
  bool scrolled_ = false;
};

}  // namespace

// TUxTextAttributes

TUxTextAttributes::TUxTextAttributes(TUxCustomRichEdit& richEdit, TUxAttributeType type)
    : richEdit_(richEdit), type_(type) {}

bool TUxTextAttributes::Windowed() const {
  return richEdit_.HandleAllocated();
}

bool TUxTextAttributes::Newer() const {
  return RichEditVersion() >= 2;
}

// Records with 16-bit face names: 92 bytes for the old library, 116 for the newer. The plain rule
// is 8-bit names in the 32-byte field (an 84-byte record for the newer library), but an 8-bit
// name passes through the system's code page: a face whose name the code page cannot hold would
// come back as question marks, and a font set under that name would never be found.
UINT TUxTextAttributes::RecordSize() const {
  return Newer() ? sizeof(CHARFORMAT2W) : sizeof(CHARFORMATW);
}

CHARFORMAT2W TUxTextAttributes::Get() {
  CHARFORMAT2W format{};
  format.cbSize = RecordSize();
  if (Windowed()) {
    const WPARAM range = type_ == TUxAttributeType::atDefaultText ? SCF_DEFAULT : SCF_SELECTION;
    richEdit_.Send(EM_GETCHARFORMAT, range, reinterpret_cast<LPARAM>(&format));
  }
  return format;
}

void TUxTextAttributes::Set(CHARFORMAT2W& format, DWORD mask) {
  SetOver(format, mask, RangeFlags(type_));
}

void TUxTextAttributes::SetOver(CHARFORMAT2W& format, DWORD mask, DWORD range) {
  if (!Windowed()) return;
  format.cbSize = RecordSize();
  format.dwMask = mask;
  richEdit_.Send(EM_SETCHARFORMAT, range, reinterpret_cast<LPARAM>(&format));
}

bool TUxTextAttributes::Effect(DWORD bit, bool newerOnly) {
  if (newerOnly && !Newer()) return false;
  return (Get().dwEffects & bit) != 0;
}

void TUxTextAttributes::SetEffect(DWORD bit, bool on, bool newerOnly) {
  if (newerOnly && !Newer()) return;
  CHARFORMAT2W format{};
  if (on) format.dwEffects = bit;
  Set(format, bit);
}

BYTE TUxTextAttributes::Charset() {
  return Get().bCharSet;
}
void TUxTextAttributes::SetCharset(BYTE value) {
  CHARFORMAT2W format{};
  format.bCharSet = value;
  Set(format, CFM_CHARSET);
}

ui::TColor TUxTextAttributes::Color() {
  const CHARFORMAT2W format = Get();
  return (format.dwEffects & CFE_AUTOCOLOR) ? ui::clWindowText : format.crTextColor;
}
void TUxTextAttributes::SetColor(ui::TColor value) {
  CHARFORMAT2W format{};
  if (const auto rgb = TextColorToRgb(value))
    format.crTextColor = ui::ColorToRGB(value);
  else
    format.dwEffects = CFE_AUTOCOLOR;
  Set(format, CFM_COLOR);
}

// The old library has no background colour of its own for text: the window's shows, which is
// what this reads (a zero would read as black).
ui::TColor TUxTextAttributes::BackColor() {
  if (!Newer()) return ui::clWindow;
  const CHARFORMAT2W format = Get();
  return (format.dwEffects & CFE_AUTOBACKCOLOR) ? ui::clWindow : format.crBackColor;
}
void TUxTextAttributes::SetBackColor(ui::TColor value) {
  if (!Newer()) return;
  CHARFORMAT2W format{};
  if (value == ui::clWindow || value == kClDefault)
    format.dwEffects = CFE_AUTOBACKCOLOR;
  else
    format.crBackColor = ui::ColorToRGB(value);
  Set(format, CFM_BACKCOLOR);
}

std::wstring TUxTextAttributes::Name() {
  const CHARFORMAT2W format = Get();
  return std::wstring(format.szFaceName, wcsnlen(format.szFaceName, LF_FACESIZE));
}
void TUxTextAttributes::SetName(const std::wstring& value) {
  CHARFORMAT2W format{};
  lstrcpynW(format.szFaceName, value.c_str(), LF_FACESIZE);  // cut with its terminating zero
  Set(format, CFM_FACE);
}

ui::TFontPitch TUxTextAttributes::Pitch() {
  switch (Get().bPitchAndFamily & 0x3) {
    case FIXED_PITCH:
      return ui::TFontPitch::fpFixed;
    case VARIABLE_PITCH:
      return ui::TFontPitch::fpVariable;
    default:
      return ui::TFontPitch::fpDefault;
  }
}
// The pitch travels with the face: the record has no mask bit of its own for it. So each stretch
// of one face is given its own face back with the new pitch, and a range over several faces
// keeps them all.
void TUxTextAttributes::SetPitch(ui::TFontPitch value) {
  if (!Windowed()) return;
  const BYTE pitch = value == ui::TFontPitch::fpFixed      ? FIXED_PITCH
                     : value == ui::TFontPitch::fpVariable ? VARIABLE_PITCH
                                                           : DEFAULT_PITCH;
  const CHARRANGE selection = richEdit_.GetSelection();
  const bool wordAtCaret = type_ == TUxAttributeType::atWord && selection.cpMin == selection.cpMax;
  const CHARRANGE range = wordAtCaret ? richEdit_.WordRange() : selection;
  CHARFORMAT2W format = Get();  // the caret's for a word at the caret
  if (type_ == TUxAttributeType::atDefaultText || range.cpMin >= range.cpMax ||
      (!wordAtCaret && (format.dwMask & CFM_FACE))) {
    format.bPitchAndFamily = static_cast<BYTE>((format.bPitchAndFamily & ~0x3) | pitch);
    Set(format, CFM_FACE);
    return;
  }
  const TSelectionKept kept(richEdit_.Handle());
  SetPitchOver(range.cpMin, range.cpMax, pitch);
}

// Halves the range until each part holds one face.
void TUxTextAttributes::SetPitchOver(int start, int end, BYTE pitch) {
  richEdit_.SetSelection(start, end, false);
  CHARFORMAT2W format = Get();
  if (!(format.dwMask & CFM_FACE) && end - start > 1) {
    const int middle = start + (end - start) / 2;
    SetPitchOver(start, middle, pitch);
    SetPitchOver(middle, end, pitch);
    return;
  }
  format.bPitchAndFamily = static_cast<BYTE>((format.bPitchAndFamily & ~0x3) | pitch);
  SetOver(format, CFM_FACE, SCF_SELECTION);
}

int TUxTextAttributes::Size() {
  return TwipsToPoints(Get().yHeight);
}
void TUxTextAttributes::SetSize(int points) {
  CHARFORMAT2W format{};
  format.yHeight = PointsToTwips(points);
  Set(format, CFM_SIZE);
}

int TUxTextAttributes::Height() {
  return PointsToPixels(Size(), richEdit_.ScreenLogPixels());
}
void TUxTextAttributes::SetHeight(int pixels) {
  SetSize(PixelsToPoints(pixels, richEdit_.ScreenLogPixels()));
}

int TUxTextAttributes::Offset() {
  return TwipsToPoints(Get().yOffset);
}
void TUxTextAttributes::SetOffset(int points) {
  CHARFORMAT2W format{};
  format.yOffset = PointsToTwips(points);
  Set(format, CFM_OFFSET);
}

ui::TFontStyles TUxTextAttributes::Style() {
  const DWORD effects = Get().dwEffects;
  ui::TFontStyles style = 0;
  if (effects & CFE_BOLD) style |= ui::fsBold;
  if (effects & CFE_ITALIC) style |= ui::fsItalic;
  if (effects & CFE_UNDERLINE) style |= ui::fsUnderline;
  if (effects & CFE_STRIKEOUT) style |= ui::fsStrikeOut;
  return style;
}
void TUxTextAttributes::SetStyle(ui::TFontStyles value) {
  CHARFORMAT2W format{};
  if (value & ui::fsBold) format.dwEffects |= CFE_BOLD;
  if (value & ui::fsItalic) format.dwEffects |= CFE_ITALIC;
  if (value & ui::fsUnderline) format.dwEffects |= CFE_UNDERLINE;
  if (value & ui::fsStrikeOut) format.dwEffects |= CFE_STRIKEOUT;
  Set(format, CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT);
}

bool TUxTextAttributes::Protected() {
  return Effect(CFE_PROTECTED, false);
}
void TUxTextAttributes::SetProtected(bool value) {
  SetEffect(CFE_PROTECTED, value, false);
}
bool TUxTextAttributes::Link() {
  return Effect(CFE_LINK, true);
}
void TUxTextAttributes::SetLink(bool value) {
  SetEffect(CFE_LINK, value, true);
}
bool TUxTextAttributes::Hidden() {
  return Effect(CFE_HIDDEN, true);
}
void TUxTextAttributes::SetHidden(bool value) {
  SetEffect(CFE_HIDDEN, value, true);
}
bool TUxTextAttributes::Disabled() {
  return Effect(CFE_DISABLED, true);
}
void TUxTextAttributes::SetDisabled(bool value) {
  SetEffect(CFE_DISABLED, value, true);
}
bool TUxTextAttributes::SmallCaps() {
  return Effect(CFE_SMALLCAPS, true);
}
void TUxTextAttributes::SetSmallCaps(bool value) {
  SetEffect(CFE_SMALLCAPS, value, true);
}
bool TUxTextAttributes::AllCaps() {
  return Effect(CFE_ALLCAPS, true);
}
void TUxTextAttributes::SetAllCaps(bool value) {
  SetEffect(CFE_ALLCAPS, value, true);
}
bool TUxTextAttributes::Outline() {
  return Effect(CFE_OUTLINE, true);
}
void TUxTextAttributes::SetOutline(bool value) {
  SetEffect(CFE_OUTLINE, value, true);
}
bool TUxTextAttributes::Shadow() {
  return Effect(CFE_SHADOW, true);
}
void TUxTextAttributes::SetShadow(bool value) {
  SetEffect(CFE_SHADOW, value, true);
}
bool TUxTextAttributes::Emboss() {
  return Effect(CFE_EMBOSS, true);
}
void TUxTextAttributes::SetEmboss(bool value) {
  SetEffect(CFE_EMBOSS, value, true);
}
bool TUxTextAttributes::Imprint() {
  return Effect(CFE_IMPRINT, true);
}
void TUxTextAttributes::SetImprint(bool value) {
  SetEffect(CFE_IMPRINT, value, true);
}

TSubscriptStyle TUxTextAttributes::SubscriptStyle() {
  if (!Newer()) return TSubscriptStyle::ssNone;
  const DWORD effects = Get().dwEffects;
  if (effects & CFE_SUBSCRIPT) return TSubscriptStyle::ssSubscript;
  if (effects & CFE_SUPERSCRIPT) return TSubscriptStyle::ssSuperscript;
  return TSubscriptStyle::ssNone;
}
void TUxTextAttributes::SetSubscriptStyle(TSubscriptStyle value) {
  if (!Newer()) return;
  CHARFORMAT2W format{};
  if (value == TSubscriptStyle::ssSubscript) format.dwEffects = CFE_SUBSCRIPT;
  if (value == TSubscriptStyle::ssSuperscript) format.dwEffects = CFE_SUPERSCRIPT;
  Set(format, CFM_SUBSCRIPT);
}

TUnderlineType TUxTextAttributes::UnderlineType() {
  if (!Newer()) return TUnderlineType::utNone;
  const CHARFORMAT2W format = Get();
  if (!(format.dwEffects & CFE_UNDERLINE)) return TUnderlineType::utNone;
  return UnderlineTypeFromCode(format.bUnderlineType);
}
void TUxTextAttributes::SetUnderlineType(TUnderlineType value) {
  if (!Newer()) return;
  CHARFORMAT2W format{};
  format.bUnderlineType = UnderlineCode(value);
  if (value != TUnderlineType::utNone) format.dwEffects = CFE_UNDERLINE;
  Set(format, CFM_UNDERLINE | CFM_UNDERLINETYPE);
}

int TUxTextAttributes::RevAuthorIndex() {
  return Newer() ? Get().bRevAuthor : 0;
}
void TUxTextAttributes::SetRevAuthorIndex(int value) {
  if (!Newer()) return;
  CHARFORMAT2W format{};
  format.bRevAuthor = static_cast<BYTE>(value);
  Set(format, CFM_REVAUTHOR);
}

TAnimationType TUxTextAttributes::Animation() {
  if (!Newer()) return TAnimationType::aniNone;
  const BYTE animation = Get().bAnimation;
  return animation <= static_cast<BYTE>(TAnimationType::aniShimmer)
             ? static_cast<TAnimationType>(animation)
             : TAnimationType::aniNone;
}
void TUxTextAttributes::SetAnimation(TAnimationType value) {
  if (!Newer()) return;
  CHARFORMAT2W format{};
  format.bAnimation = static_cast<BYTE>(value);
  Set(format, CFM_ANIMATION);
}

int TUxTextAttributes::Spacing() {
  return Newer() ? Get().sSpacing : 0;
}
void TUxTextAttributes::SetSpacing(int value) {
  if (!Newer()) return;
  CHARFORMAT2W format{};
  format.sSpacing = static_cast<SHORT>(value);
  Set(format, CFM_SPACING);
}

int TUxTextAttributes::Kerning() {
  return Newer() ? Get().wKerning : 0;
}
void TUxTextAttributes::SetKerning(int value) {
  if (!Newer()) return;
  CHARFORMAT2W format{};
  format.wKerning = static_cast<WORD>(value);
  Set(format, CFM_KERNING);
}

TUxConsistentAttributes TUxTextAttributes::ConsistentAttributes() {
  if (!Windowed() || type_ == TUxAttributeType::atDefaultText) return 0;
  return ConsistentAttributesFromMask(Get().dwMask);
}

void TUxTextAttributes::Assign(ui::TFont& font) {
  CHARFORMAT2W format{};
  lstrcpynW(format.szFaceName, font.Name().c_str(), LF_FACESIZE);
  format.yHeight = PointsToTwips(font.Size());
  const ui::TFontStyles style = font.Style();
  if (style & ui::fsBold) format.dwEffects |= CFE_BOLD;
  if (style & ui::fsItalic) format.dwEffects |= CFE_ITALIC;
  if (style & ui::fsUnderline) format.dwEffects |= CFE_UNDERLINE;
  if (style & ui::fsStrikeOut) format.dwEffects |= CFE_STRIKEOUT;
  if (const auto rgb = TextColorToRgb(font.Color()))
    format.crTextColor = ui::ColorToRGB(font.Color());
  else
    format.dwEffects |= CFE_AUTOCOLOR;
  format.bPitchAndFamily = font.Pitch() == ui::TFontPitch::fpFixed      ? FIXED_PITCH
                           : font.Pitch() == ui::TFontPitch::fpVariable ? VARIABLE_PITCH
                                                                        : DEFAULT_PITCH;
  format.bCharSet = richEdit_.FontCharset();
  Set(format, CFM_FACE | CFM_SIZE | CFM_COLOR | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE |
                  CFM_STRIKEOUT | CFM_CHARSET);
}

void TUxTextAttributes::Assign(TUxTextAttributes& source) {
  CHARFORMAT2W format = source.Get();
  Set(format, format.dwMask);
}

void TUxTextAttributes::AssignTo(ui::TFont& font) {
  font.SetName(Name());
  font.SetHeight(-Height());
  font.SetStyle(Style());
  font.SetPitch(Pitch());
  font.SetColor(Color());
}

// TUxParaAttributes

bool TUxParaAttributes::Windowed() const {
  return richEdit_.HandleAllocated();
}

PARAFORMAT2 TUxParaAttributes::Get() {
  PARAFORMAT2 format{};
  format.cbSize = RichEditVersion() >= 2 ? sizeof(PARAFORMAT2) : sizeof(PARAFORMAT);
  if (Windowed()) richEdit_.Send(EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
  return format;
}

void TUxParaAttributes::Set(PARAFORMAT2& format, DWORD mask) {
  if (!Windowed()) return;
  format.cbSize = RichEditVersion() >= 2 ? sizeof(PARAFORMAT2) : sizeof(PARAFORMAT);
  format.dwMask = mask;
  richEdit_.Send(EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
}

TParaAlignment TUxParaAttributes::Alignment() {
  return AlignmentFromCode(Get().wAlignment);
}
void TUxParaAttributes::SetAlignment(TParaAlignment value) {
  PARAFORMAT2 format{};
  const bool rightToLeft =
      Windowed() && (GetWindowLongPtrW(richEdit_.Handle(), GWL_EXSTYLE) & WS_EX_RTLREADING);
  format.wAlignment = AlignmentCode(value, rightToLeft);
  Set(format, PFM_ALIGNMENT);
}

int TUxParaAttributes::FirstIndent() {
  return TwipsToPoints(Get().dxStartIndent);
}
void TUxParaAttributes::SetFirstIndent(int points) {
  PARAFORMAT2 format{};
  format.dxStartIndent = PointsToTwips(points);
  Set(format, PFM_STARTINDENT);
}
int TUxParaAttributes::LeftIndent() {
  return TwipsToPoints(Get().dxOffset);
}
void TUxParaAttributes::SetLeftIndent(int points) {
  PARAFORMAT2 format{};
  format.dxOffset = PointsToTwips(points);
  Set(format, PFM_OFFSET);
}
int TUxParaAttributes::RightIndent() {
  return TwipsToPoints(Get().dxRightIndent);
}
void TUxParaAttributes::SetRightIndent(int points) {
  PARAFORMAT2 format{};
  format.dxRightIndent = PointsToTwips(points);
  Set(format, PFM_RIGHTINDENT);
}

TUxNumbering TUxParaAttributes::Numbering() {
  return NumberingFromCode(Get().wNumbering, RichEditVersion());
}
void TUxParaAttributes::SetNumbering(TUxNumbering value) {
  PARAFORMAT2 format{};
  format.wNumbering = NumberingCode(value, RichEditVersion());
  Set(format, PFM_NUMBERING);
}
TUxNumberingStyle TUxParaAttributes::NumberingStyle() {
  if (RichEditVersion() < 2) return TUxNumberingStyle::nsSimple;
  return NumberingStyleFromCode(Get().wNumberingStyle);
}
void TUxParaAttributes::SetNumberingStyle(TUxNumberingStyle value) {
  if (RichEditVersion() < 2) return;
  PARAFORMAT2 format{};
  format.wNumberingStyle = NumberingStyleCode(value);
  Set(format, PFM_NUMBERINGSTYLE);
}
int TUxParaAttributes::NumberingTab() {
  return RichEditVersion() < 2 ? 0 : TwipsToPoints(Get().wNumberingTab);
}
void TUxParaAttributes::SetNumberingTab(int points) {
  if (RichEditVersion() < 2) return;
  PARAFORMAT2 format{};
  format.wNumberingTab = static_cast<WORD>(PointsToTwips(points));
  Set(format, PFM_NUMBERINGTAB);
}

int TUxParaAttributes::SpaceBefore() {
  return RichEditVersion() < 2 ? 0 : TwipsToPoints(Get().dySpaceBefore);
}
void TUxParaAttributes::SetSpaceBefore(int points) {
  if (RichEditVersion() < 2) return;
  PARAFORMAT2 format{};
  format.dySpaceBefore = PointsToTwips(points);
  Set(format, PFM_SPACEBEFORE);
}
int TUxParaAttributes::SpaceAfter() {
  return RichEditVersion() < 2 ? 0 : TwipsToPoints(Get().dySpaceAfter);
}
void TUxParaAttributes::SetSpaceAfter(int points) {
  if (RichEditVersion() < 2) return;
  PARAFORMAT2 format{};
  format.dySpaceAfter = PointsToTwips(points);
  Set(format, PFM_SPACEAFTER);
}
int TUxParaAttributes::LineSpacing() {
  return RichEditVersion() < 2 ? 0 : Get().dyLineSpacing;
}
TLineSpacingRule TUxParaAttributes::LineSpacingRule() {
  if (RichEditVersion() < 2) return TLineSpacingRule::lsSingle;
  const BYTE rule = Get().bLineSpacingRule;
  return rule <= 5 ? static_cast<TLineSpacingRule>(rule) : TLineSpacingRule::lsSingle;
}
void TUxParaAttributes::SetLineSpacing(TLineSpacingRule rule, int value) {
  if (RichEditVersion() < 2) return;
  PARAFORMAT2 format{};
  format.bLineSpacingRule = static_cast<BYTE>(rule);
  format.dyLineSpacing = value;
  Set(format, PFM_LINESPACING);
}

int TUxParaAttributes::HeadingStyle() {
  return RichEditVersion() < 3 ? 0 : Get().sStyle;
}
void TUxParaAttributes::SetHeadingStyle(int value) {
  if (RichEditVersion() < 3) return;
  PARAFORMAT2 format{};
  format.sStyle = static_cast<SHORT>(value);
  Set(format, PFM_STYLE);
}

int TUxParaAttributes::Tab(int index) {
  if (!ValidTabIndex(index)) return 0;
  return TwipsToPoints(Get().rgxTabs[index] & 0xFFFFFF);
}
void TUxParaAttributes::SetTab(int index, int points) {
  if (!ValidTabIndex(index)) return;
  PARAFORMAT2 format = Get();
  format.rgxTabs[index] = PointsToTwips(points);
  if (format.cTabCount <= index) format.cTabCount = static_cast<SHORT>(index + 1);
  Set(format, PFM_TABSTOPS);
}
int TUxParaAttributes::TabCount() {
  return std::clamp<int>(Get().cTabCount, 0, kMaxTabStops);
}
void TUxParaAttributes::SetTabCount(int count) {
  PARAFORMAT2 format = Get();
  format.cTabCount = static_cast<SHORT>(std::clamp(count, 0, kMaxTabStops));
  Set(format, PFM_TABSTOPS);
}

TParaTableStyle TUxParaAttributes::TableStyle() {
  if (RichEditVersion() < 2) return TParaTableStyle::tsNone;
  const WORD effects = Get().wEffects & kTableRow;
  if (effects == kTableRow) return TParaTableStyle::tsTableRow;
  if (effects == kTableCellEnd) return TParaTableStyle::tsTableCellEnd;
  if (effects == kTableCell) return TParaTableStyle::tsTableCell;
  return TParaTableStyle::tsNone;
}
void TUxParaAttributes::SetTableStyle(TParaTableStyle value) {
  if (RichEditVersion() < 2) return;
  PARAFORMAT2 format{};
  const WORD effects[] = {0, kTableRow, kTableCellEnd, kTableCell};
  format.wEffects = effects[static_cast<int>(value)];
  Set(format, PFM_TABLE);
}

void TUxParaAttributes::Assign(TUxParaAttributes& source) {
  PARAFORMAT2 format = source.Get();
  Set(format, format.dwMask);
}

}  // namespace ux
