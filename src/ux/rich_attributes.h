// The text and paragraph attributes' value rules, apart from the control: the enumerations, the
// character-format mask bits, and the conversions between the property values and the format
// records' members (twips, automatic colours, underline and numbering codes, tab indexes).
#pragma once

#include <cstdint>
#include <optional>

namespace ux {

enum class TUxAttributeType { atDefaultText, atSelected, atWord };

enum TUxConsistentAttribute : std::uint8_t {
  caBold,
  caColor,
  caFace,
  caItalic,
  caSize,
  caStrikeOut,
  caUnderline,
  caProtected,
  caOffset,
  caHidden,
  caLink,
  caBackColor,
  caDisabled,
  caWeight,
  caSubscript,
  caRevAuthor,
  caLanguage,
  caIndexKind,
  caSpacing,
  caKerning,
  caULType,
  caAnimation,
  caSmallCaps,
  caAllCaps,
  caOutline,
  caShadow,
  caEmboss,
  caImprint,
  caURL
};
// A set of TUxConsistentAttribute: bit n for member n.
using TUxConsistentAttributes = std::uint32_t;
constexpr bool Has(TUxConsistentAttributes set, TUxConsistentAttribute a) {
  return (set >> a) & 1U;
}

enum class TSubscriptStyle { ssNone, ssSubscript, ssSuperscript };
enum class TUnderlineType { utNone, utSolid, utWord, utDouble, utDotted, utWave };
enum class TAnimationType {
  aniNone,
  aniLasVegas,
  aniBlink,
  aniSparkle,
  aniBlackAnts,
  aniRedAnts,
  aniShimmer
};
enum class TUxNumbering {
  nsNone,
  nsBullet,
  nsArabicNumbers,
  nsLoCaseLetter,
  nsUpCaseLetter,
  nsLoCaseRoman,
  nsUpCaseRoman
};
enum class TUxNumberingStyle { nsParenthesis, nsPeriod, nsEnclosed, nsSimple };
enum class TParaAlignment { paLeftJustify, paRightJustify, paCenter, paJustify };
enum class TLineSpacingRule {
  lsSingle,
  lsOneAndHalf,
  lsDouble,
  lsSpecifiedOrMore,
  lsSpecified,
  lsMultiple
};
enum class TParaTableStyle { tsNone, tsTableRow, tsTableCellEnd, tsTableCell };

// Font styles as the character format's effect bits (bold, italic, underline, strike-out).
using TFontStyleBits = std::uint8_t;

// The character-format mask bits (the effect bits share the low word).
namespace cfm {
constexpr std::uint32_t kBold = 0x1, kItalic = 0x2, kUnderline = 0x4, kStrikeOut = 0x8,
                        kProtected = 0x10, kLink = 0x20, kSmallCaps = 0x40, kAllCaps = 0x80,
                        kHidden = 0x100, kOutline = 0x200, kShadow = 0x400, kEmboss = 0x800,
                        kImprint = 0x1000, kDisabled = 0x2000, kRevAuthor = 0x8000,
                        kSubscript = 0x30000, kAnimation = 0x40000, kStyle = 0x80000,
                        kKerning = 0x100000, kSpacing = 0x200000, kWeight = 0x400000,
                        kUnderlineType = 0x800000, kLcid = 0x2000000, kBackColor = 0x4000000,
                        kCharset = 0x8000000, kOffset = 0x10000000, kFace = 0x20000000,
                        kColor = 0x40000000, kSize = 0x80000000;
}  // namespace cfm

// The attributes whose mask bit is set: the ones the control reports as the same over a range.
TUxConsistentAttributes ConsistentAttributesFromMask(std::uint32_t mask);

// Points and twips (1/20 point); points from twips round towards zero.
constexpr int TwipsToPoints(int twips) {
  return twips / 20;
}
constexpr int PointsToTwips(int points) {
  return points * 20;
}
// A font size in points as a pixel height at `ppi` pixels per inch, and back (rounded).
int PointsToPixels(int points, int ppi);
int PixelsToPoints(int pixels, int ppi);

// Colours as the class library writes them: an RGB value, or a system colour.
constexpr std::uint32_t kClWindowText = 0xFF000008, kClWindow = 0xFF000005, kClDefault = 0x20000000;
// A text colour written: the automatic colour for the window-text and default colours, else
// the RGB value (nothing when the colour is automatic).
std::optional<std::uint32_t> TextColorToRgb(std::uint32_t color);

// Underline types and their record codes (none 0, solid 1, word 2, double 3, dotted 4, wave 8).
std::uint8_t UnderlineCode(TUnderlineType type);
TUnderlineType UnderlineTypeFromCode(std::uint8_t code);

// Numbering as stored; the old library knows only bullets, so anything else reads as bullets.
std::uint16_t NumberingCode(TUxNumbering numbering, int richEditVersion);
TUxNumbering NumberingFromCode(std::uint16_t code, int richEditVersion);
// The numbering style codes: parenthesis 0, enclosed 0x100, period 0x200, simple 0x300.
std::uint16_t NumberingStyleCode(TUxNumberingStyle style);
TUxNumberingStyle NumberingStyleFromCode(std::uint16_t code);

// The alignment member (left 1, right 2, centre 3, justify 4); a right-to-left control
// exchanges left and right when writing.
std::uint16_t AlignmentCode(TParaAlignment alignment, bool rightToLeft);
TParaAlignment AlignmentFromCode(std::uint16_t code);

// A paragraph holds 32 tab stops: indexes 0 to 31.
constexpr int kMaxTabStops = 32;
constexpr bool ValidTabIndex(int index) {
  return index >= 0 && index < kMaxTabStops;
}

}  // namespace ux
