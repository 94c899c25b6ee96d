#include "app/shell_texts.h"

#include <gtest/gtest.h>

namespace app {
namespace {

TEST(ShellTexts, ImageKindsByExtensionAndSize) {
  const struct {
    const char* name;
    std::int64_t size;
    ImageKind kind;
  } kCases[] = {{"a.dsk", 368640, ImageKind::Dsk},      {"a.Dsk", 368641, ImageKind::DskWrongSize},
                {"a.dsk", -1, ImageKind::DskWrongSize}, {"a.HfE", 10, ImageKind::Hfe},
                {"a.xsa", 10, ImageKind::Xsa},          {"a.img", 368640, ImageKind::Unknown},
                {"dsk", 368640, ImageKind::Unknown}};
  for (const auto& c : kCases) EXPECT_EQ(ClassifyImageFile(c.name, c.size), c.kind) << c.name;
  EXPECT_EQ(SaveKind("x.HFE"), ImageKind::Hfe);
  EXPECT_EQ(SaveKind("x.xsa"), ImageKind::Unknown);
}

TEST(ShellTexts, CommandLineImageIsTheLastPlainArgument) {
  const struct {
    std::vector<std::wstring> arguments;
    std::optional<std::wstring> image;
  } kCases[] = {{{}, std::nullopt},
                {{L"/x"}, std::nullopt},
                {{L"-x", L""}, std::nullopt},
                {{L"a.dsk", L"-o", L"b.dsk"}, L"b.dsk"},
                {{L"a.dsk", L"/q"}, L"a.dsk"},
                {{L"", L"a.dsk"}, L"a.dsk"}};
  for (const auto& c : kCases) EXPECT_EQ(CommandLineImage(c.arguments), c.image);
}

// The rest of these texts are checked where the shell shows them.
TEST(ShellTexts, TextsTheShellDoesNotShowInItsTests) {
  EXPECT_EQ(ExportTarget(L"E:", "/a/game.dsk"), L"E:\\game.HFE");
  EXPECT_EQ(DriveRoot(25), L"Z:\\");
  EXPECT_EQ(SizePanelText(nullptr), L"none");
  EXPECT_EQ(DamagedImageText(1), L"1 sector could not be read; the image may be damaged.");
  EXPECT_EQ(DamagedImageText(1370), L"1370 sectors could not be read; the image may be damaged.");
}

// "Show Browser" and "Show Image List": a shown panel hides, a hidden or collapsed one shows at
// 160 px at least; the check needs a shown panel of at least 1 px.
TEST(ShellTexts, PanelToggleShowsAtLeast160Pixels) {
  const struct {
    TPanelState before, after;
    bool checked;
  } cases[] = {{{true, 180}, {false, 180}, true},
               {{false, 180}, {true, 180}, false},
               {{false, 40}, {true, 160}, false},
               {{true, 0}, {true, 160}, false},
               {{true, 1}, {false, 1}, true}};
  for (const auto& c : cases) {
    EXPECT_EQ(ToggledPanel(c.before), c.after) << c.before.visible << " " << c.before.width;
    EXPECT_EQ(PanelShown(c.before), c.checked);
  }
}

}  // namespace
}  // namespace app
