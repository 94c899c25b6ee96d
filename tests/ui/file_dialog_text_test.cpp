#include "ui/file_dialog_text.h"

#include <gtest/gtest.h>

namespace {

using Files = std::vector<std::wstring>;

TEST(UiFileDialogText, FiltersSplitIntoPairs) {
  EXPECT_EQ(ui::ParseFilter(L"Disk Images (*.dsk)|*.dsk|HFE Disk Image|*.hfe"),
            (std::vector<ui::TFileTypeItem>{{L"Disk Images (*.dsk)", L"*.dsk"},
                                            {L"HFE Disk Image", L"*.hfe"}}));
  EXPECT_EQ(ui::ParseFilter(L"Any File|*.*|Dangling"),
            (std::vector<ui::TFileTypeItem>{{L"Any File", L"*.*"}}));
  EXPECT_TRUE(ui::ParseFilter(L"").empty());
}

TEST(UiFileDialogText, SelectedFilesBecomeFullPaths) {
  using namespace std::string_literals;
  struct Case {
    std::wstring buffer;
    Files files;
  };
  const Case cases[] = {
      {L"C:\\a\\one.dsk\0\0"s, {L"C:\\a\\one.dsk"}},
      {L"C:\\a\0x.bin\0y.bin\0\0"s, {L"C:\\a\\x.bin", L"C:\\a\\y.bin"}},
      {L"C:\\\0x.bin\0y.bin\0\0"s, {L"C:\\x.bin", L"C:\\y.bin"}},
      {L"\0"s, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(ui::SplitSelectedFiles(c.buffer), c.files);
}

TEST(UiFileDialogText, MaskExtensionTakesTheFirstMask) {
  EXPECT_EQ(ui::MaskExtension(L"*.hfe"), L"hfe");
  EXPECT_EQ(ui::MaskExtension(L"*.dsk;*.img"), L"dsk");
  EXPECT_EQ(ui::MaskExtension(L"*"), L"");
}

}  // namespace
