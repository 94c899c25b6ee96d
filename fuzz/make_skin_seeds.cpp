// Writes the seed corpus of the skin text fuzzer: every built-in skin's text, and a few damaged
// ones (a bad colour, odd entries, quotes, a foreign section).
#include <filesystem>
#include <string>

#include "fuzz_util.h"
#include "rtl/stream.h"
#include "skbar/skin_manager.h"
#include "ui/strings.h"

namespace {

void Write(const std::filesystem::path& file, const ui::TStrings& lines) {
  rtl::TMemoryStream stream;
  lines.SaveToStream(stream, ui::TextEncoding::Utf8);
  WriteSeed(file, stream.Bytes());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::filesystem::path folder = argv[1];
  skbar::TSkBarSkinsList& list = skbar::SkBarSkinManager()->SkinsList();
  for (int i = 0; i < list.Count(); ++i) {
    ui::TStringList lines;
    list.Entries(i).SkinClass()->SaveToStrings(lines);
    Write(folder / ("skin" + std::to_string(i) + ".ini"), lines);
  }
  Write(folder / "damaged.ini",
        ui::TStringList({L"[Skin]", L"Name = \" Odd \"", L"FloatingWindowBorderSize=-7",
                         L"OfficeMenu=1", L"[ToolbarItem]", L"HotTrack.Body=3, \"clRed\",, $FF",
                         L"Pushed.Borders=2 clBlue clNone x", L"Checked.TextColor=$FFFFFFFF",
                         L"[Mine]", L"Name=Other", L"[Tab]", L"Normal.TextColor=notacolour"}));
  return 0;
}
