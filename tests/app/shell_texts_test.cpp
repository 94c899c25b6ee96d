#include "app/shell_texts.h"

#include <gtest/gtest.h>

namespace app {
namespace {

TEST(ShellTexts, ImageKindsByExtensionAndSize) {
  const struct {
    const char* name;
    std::int64_t size;
    ImageKind kind;
  } kCases[] = {{"a.dsk", 368640, ImageKind::Dsk},
                {"a.DSK", 737280, ImageKind::Dsk},
                {"a.Dsk", 368641, ImageKind::DskWrongSize},
                {"a.dsk", -1, ImageKind::DskWrongSize},
                {"a.hfe", -1, ImageKind::Hfe},
                {"a.HfE", 10, ImageKind::Hfe},
                {"a.xsa", 10, ImageKind::Xsa},
                {"a.XSA", 10, ImageKind::Xsa},
                {"a.img", 368640, ImageKind::Unknown},
                {"dsk", 368640, ImageKind::Unknown}};
  for (const auto& c : kCases) EXPECT_EQ(ClassifyImageFile(c.name, c.size), c.kind) << c.name;
  EXPECT_EQ(SaveKind("x.HFE"), ImageKind::Hfe);
  EXPECT_EQ(SaveKind("x.dsk"), ImageKind::Dsk);
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

TEST(ShellTexts, NamesOfNewSavedAndExportedImages) {
  int asked = 0;
  EXPECT_EQ(NextNewImageName([&](const std::wstring& name) {
              ++asked;
              return name != L"NewImage3.dsk";
            }),
            L"NewImage3.dsk");
  EXPECT_EQ(asked, 3);
  EXPECT_EQ(SaveAsPresetName("/a/disk.dsk", L"hfe"), L"disk.hfe");
  EXPECT_EQ(SaveAsPresetName("NewImage1.dsk", L"dsk"), L"NewImage1.dsk");
  EXPECT_EQ(ExportTarget(L"E:\\", "NewImage1.dsk"), L"E:\\NewImage1.HFE");
  EXPECT_EQ(ExportTarget(L"E:", "/a/game.dsk"), L"E:\\game.HFE");
  EXPECT_EQ(DriveRoot(0), L"A:\\");
  EXPECT_EQ(DriveRoot(25), L"Z:\\");
}

TEST(ShellTexts, CaptionAndPanels) {
  EXPECT_EQ(CaptionText(L"x.dsk", false), L"Quollbox - x.dsk");
  EXPECT_EQ(CaptionText(L"x.dsk", true), L"Quollbox - x.dsk *");
  EXPECT_EQ(SizePanelText(nullptr), L"none");
  EXPECT_EQ(UsedPanelText(2048, 364544), L"2048 of 364544 bytes used");
  EXPECT_EQ(FreePanelText(0), L"0 bytes free");
  EXPECT_EQ(DamagedImageText(1), L"1 sector could not be read; the image may be damaged.");
  EXPECT_EQ(DamagedImageText(1370), L"1370 sectors could not be read; the image may be damaged.");
}

}  // namespace
}  // namespace app
