#include "ux/rich_attributes.h"

#include <cmath>
#include <iterator>
#include <utility>

namespace ux {

namespace {

// Each consistent attribute's mask bit, in member order. The link attribute is what the
// control reports for URLs, so caURL shares it.
constexpr std::uint32_t kConsistentMasks[] = {
    cfm::kBold,          cfm::kColor,     cfm::kFace,      cfm::kItalic,  cfm::kSize,
    cfm::kStrikeOut,     cfm::kUnderline, cfm::kProtected, cfm::kOffset,  cfm::kHidden,
    cfm::kLink,          cfm::kBackColor, cfm::kDisabled,  cfm::kWeight,  cfm::kSubscript,
    cfm::kRevAuthor,     cfm::kLcid,      cfm::kStyle,     cfm::kSpacing, cfm::kKerning,
    cfm::kUnderlineType, cfm::kAnimation, cfm::kSmallCaps, cfm::kAllCaps, cfm::kOutline,
    cfm::kShadow,        cfm::kEmboss,    cfm::kImprint,   cfm::kLink};
static_assert(std::size(kConsistentMasks) == caURL + 1);

constexpr std::uint8_t kUnderlineCodes[] = {0, 1, 2, 3, 4, 8};
constexpr std::uint16_t kNumberingStyleCodes[] = {0x000, 0x200, 0x100, 0x300};

}  // namespace

TUxConsistentAttributes ConsistentAttributesFromMask(std::uint32_t mask) {
  TUxConsistentAttributes set = 0;
  for (int a = caBold; a <= caURL; ++a)
    if ((mask & kConsistentMasks[a]) == kConsistentMasks[a]) set |= 1U << a;
  return set;
}

int PointsToPixels(int points, int ppi) {
  return static_cast<int>(std::lround(points * static_cast<double>(ppi) / 72.0));
}

int PixelsToPoints(int pixels, int ppi) {
  if (ppi <= 0) return 0;
  return static_cast<int>(std::lround(pixels * 72.0 / ppi));
}

std::optional<std::uint32_t> TextColorToRgb(std::uint32_t color) {
  if (color == kClWindowText || color == kClDefault) return std::nullopt;
  return color & 0xFFFFFF;
}

std::uint8_t UnderlineCode(TUnderlineType type) {
  return kUnderlineCodes[static_cast<int>(type)];
}

TUnderlineType UnderlineTypeFromCode(std::uint8_t code) {
  for (int i = 0; i < static_cast<int>(std::size(kUnderlineCodes)); ++i)
    if (kUnderlineCodes[i] == code) return static_cast<TUnderlineType>(i);
  return code ? TUnderlineType::utSolid : TUnderlineType::utNone;
}

std::uint16_t NumberingCode(TUxNumbering numbering, int richEditVersion) {
  const auto code = static_cast<std::uint16_t>(numbering);
  return richEditVersion < 2 && code ? 1 : code;
}

TUxNumbering NumberingFromCode(std::uint16_t code, int richEditVersion) {
  if (code == 0) return TUxNumbering::nsNone;
  if (richEditVersion < 2 || code > static_cast<int>(TUxNumbering::nsUpCaseRoman))
    return TUxNumbering::nsBullet;
  return static_cast<TUxNumbering>(code);
}

std::uint16_t NumberingStyleCode(TUxNumberingStyle style) {
  return kNumberingStyleCodes[static_cast<int>(style)];
}

TUxNumberingStyle NumberingStyleFromCode(std::uint16_t code) {
  for (int i = 0; i < 4; ++i)
    if (kNumberingStyleCodes[i] == (code & 0x300)) return static_cast<TUxNumberingStyle>(i);
  return TUxNumberingStyle::nsSimple;
}

std::uint16_t AlignmentCode(TParaAlignment alignment, bool rightToLeft) {
  if (rightToLeft && alignment == TParaAlignment::paLeftJustify)
    alignment = TParaAlignment::paRightJustify;
  else if (rightToLeft && alignment == TParaAlignment::paRightJustify)
    alignment = TParaAlignment::paLeftJustify;
  return static_cast<std::uint16_t>(static_cast<int>(alignment) + 1);
}

TParaAlignment AlignmentFromCode(std::uint16_t code) {
  if (code < 1 || code > 4) return TParaAlignment::paLeftJustify;
  return static_cast<TParaAlignment>(code - 1);
}

}  // namespace ux
