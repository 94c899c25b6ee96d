#include "app/about_text.h"

#include <gtest/gtest.h>

namespace app {
namespace {

TEST(AboutText, PiecesInOrder) {
  struct Case {
    std::wstring version, copyright;
    std::string versionPiece, copyrightPiece;
  };
  const Case cases[] = {
      {L"1.2.3.4", L"(c) X", "Version 1.2.3.4\\par \\i0 ", "\\i0 (c) X\\par "},
      {L"", L"", "Version \\par \\i0 \\par ", "\\i0 \\par "},
      {L"1{\\2}", L"\u00A9 \u0416", "Version 1\\{\\\\2\\}\\par ", "\\i0 \\u169? \\u1046?\\par "},
  };
  for (const Case& c : cases) {
    const std::string rtf = BuildAboutRtf(c.version, c.copyright);
    EXPECT_TRUE(rtf.starts_with("{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049{\\fonttbl"));
    EXPECT_NE(rtf.find("\\b\\f0\\fs22 Quollbox\\par \\b0\\i Version "), std::string::npos);
    EXPECT_NE(rtf.find(c.versionPiece), std::string::npos) << rtf;
    EXPECT_NE(rtf.find(c.copyrightPiece), std::string::npos) << rtf;
    EXPECT_LT(rtf.find("\\fs18 "), rtf.find("\\line "));
    EXPECT_TRUE(rtf.ends_with("\\par Ok\\line\\par}"));
    // Braces balance outside escapes, so the document ends where it should.
    int depth = 0;
    for (std::size_t i = 0; i < rtf.size(); ++i) {
      if (rtf[i] == '\\') {
        ++i;
        continue;
      }
      depth += rtf[i] == '{' ? 1 : rtf[i] == '}' ? -1 : 0;
      EXPECT_TRUE(depth > 0 || i == rtf.size() - 1);
    }
    EXPECT_EQ(depth, 0);
    for (const char ch : rtf) EXPECT_TRUE(ch >= 0x20 && ch < 0x7F);
  }
}

}  // namespace
}  // namespace app
