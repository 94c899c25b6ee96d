// 8.3 names: storing and reading entry names, host names to short names, short names to safe
// host names, and the attribute string.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "disk/msx_disk.h"
#include "disk/records.h"
#include "disk_test_support.h"

namespace {

using disk::TDirEntry;
using disk::TMSXDisk;

using disk_test::TScopedCodePage;

std::string NameBytes(const TDirEntry& entry) {
  return std::string(reinterpret_cast<const char*>(entry.Name), sizeof(entry.Name)) + '/' +
         std::string(reinterpret_cast<const char*>(entry.Ext), sizeof(entry.Ext));
}

TDirEntry EntryNamed(std::string_view name) {
  TDirEntry entry{};
  entry.SetFileName(name);
  return entry;
}

// An entry holding exactly these 11 name bytes (blank padded), as a hostile image may.
TDirEntry EntryWithRawName(std::string_view name, std::string_view ext) {
  TDirEntry entry{};
  std::memset(entry.Name, ' ', sizeof(entry.Name));
  std::memset(entry.Ext, ' ', sizeof(entry.Ext));
  std::memcpy(entry.Name, name.data(), name.size());
  std::memcpy(entry.Ext, ext.data(), ext.size());
  return entry;
}

TEST(EntryName, SetFileNameStoresBytesAndGetFileNameTrims) {
  struct Case {
    std::string_view input, bytes, name;
  };
  const Case cases[] = {
      {"a.b.c", "A.B     /C  ", "A.B.C"},
      {"D:\\DIR\\file.txt", "FILE    /TXT", "FILE.TXT"},
      {"my file .txt", "MY FILE /TXT", "MY FILE.TXT"},
      {"\xE9t\xE9.doc", "\xE9T\xE9     /DOC", "\xE9T\xE9.DOC"},
      {"\xE5sc.txt", "\x05SC     /TXT", "\xE5SC.TXT"},
      {".", ".       /   ", "."},
      {"", "        /   ", ""},
  };
  for (const Case& c : cases) {
    const TDirEntry entry = EntryNamed(c.input);
    EXPECT_EQ(NameBytes(entry), c.bytes) << c.input;
    EXPECT_EQ(entry.GetFileName(), c.name) << c.input;
  }
}

TEST(EntryName, GetFileNameTrimsOnlyBlanksAndControlBytes) {
  struct Case {
    std::string_view name, ext, expected;
  };
  const Case cases[] = {
      {"AB\x01\x1F", std::string_view("T\0", 2), "AB.T"},
      {"A B", "\xFF", "A B.\xFF"},
      {"\x05", "", "\xE5"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EntryWithRawName(c.name, c.ext).GetFileName(), c.expected);
  }
}

class ShortName : public testing::Test {
 protected:
  TScopedCodePage codePage_{rtl::FixedTable::Cp1252};
};

TEST_F(ShortName, MakesValidEightThreeNamesThatRoundTripThroughAnEntry) {
  struct Case {
    std::wstring_view host;
    std::string_view shortName;
  };
  const Case cases[] = {
      {L"longfilename.text", "LONGFILE.TEX"},
      {L"my file name.txt", "MY_FILE.TXT"},
      {L"a b.t xt", "A_B.T_X"},
      {L"ab  .  c  ", "AB.C"},
      {L"a.b.c", "A_B.C"},
      {L"C:\\dir/sub\\notes.md", "NOTES.MD"},
      {L"a+b,c;d=.[x]", "A_B_C_D_._X_"},
      {L"pipe|x\"y<z>", "PIPE_X_Y"},
      {L"trail\x01.t\x02", "TRAIL.T"},
      {L".profile", "_.PRO"},
      {L"", "_"},
      {L".", "."},
      {L"C:\\games\\..", ".."},
      {L"\u4E2D\u6587.txt", "__.TXT"},  // characters the code page lacks arrive as "?"
      {L"\u00FCber.txt",
       "\xFC"
       "BER.TXT"},  // only a-z is upper-cased
  };
  for (const Case& c : cases) {
    const std::string shortName = TMSXDisk::MakeShortFileName(c.host);
    EXPECT_EQ(shortName, c.shortName);
    // Adding stores the short name; a later look-up by the same host name compares it with
    // GetFileName, so the two must agree.
    EXPECT_EQ(EntryNamed(shortName).GetFileName(), shortName);
  }
}

TEST_F(ShortName, HostSafeNameDefusesHostileStoredNames) {
  struct Case {
    std::string_view name, ext;
    std::wstring_view host;
  };
  const Case cases[] = {
      {"README", "TXT", L"README.TXT"},
      {"..\\..\\X", "", L".._.._X"},
      {"C:X", "", L"C_X"},
      {"CON", "", L"_CON"},
      {"AUX.A", "B", L"_AUX.A.B"},
      {"COM\xB9", "", L"_COM\u00B9"},
      {"CONSOLE", "", L"CONSOLE"},
      {"COM10", "", L"COM10"},
      {"A\x01"
       "B\x7F",
       "", L"A_B_"},
      {"A<B>", "|\"", L"A_B_.__"},
      {".", "", L"_"},
      {"ABC.", "", L"ABC_"},
      {"", "", L"_"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TMSXDisk::HostSafeName(EntryWithRawName(c.name, c.ext)), c.host) << c.name;
  }
}

// Re-adding a host name finds the entry that the first add made, however the name had to be
// shortened or escaped, and a look-up by the short name finds it too.
TEST(ShortNameOnDisk, ReAddingAHostNameReplacesItsEntry) {
  struct Case {
    rtl::FixedTable table;
    std::wstring_view host;
    std::string_view stored;
  };
  const Case cases[] = {
      {rtl::FixedTable::Cp1252, L"my file name.txt", "MY_FILE.TXT"},
      {rtl::FixedTable::Cp1251, L"\u0435\u0436.txt", "\xE5\xE6.TXT"},
  };
  for (const Case& c : cases) {
    const TScopedCodePage codePage(c.table);
    auto disk = std::make_unique<TMSXDisk>();
    disk->PrepareNewImage(false);
    for (std::uint8_t fill : {0x11, 0x22}) {
      rtl::TMemoryStream stream(std::vector<std::uint8_t>(100, fill));
      ASSERT_NE(disk->Add(c.host, stream), nullptr) << c.stored;
    }
    EXPECT_EQ(disk->FileCount(), 1) << c.stored;
    const disk::PDirEntry entry = disk->Lookup(TMSXDisk::MakeShortFileName(c.host));
    ASSERT_NE(entry, nullptr) << c.stored;
    EXPECT_EQ(entry->GetFileName(), c.stored);
    EXPECT_FALSE(entry->IsDeleted());
    const auto bytes = disk->ExtractToMem(c.stored);
    ASSERT_TRUE(bytes.has_value()) << c.stored;
    EXPECT_EQ(*bytes, std::vector<std::uint8_t>(100, 0x22));
  }
}

TEST(EntryAttributes, OneLetterPerAttributeBit) {
  struct Case {
    std::uint8_t attr;
    std::string_view text;
  };
  const Case cases[] = {
      {0x15, "r-s-d-"},
      {0x2A, "-h-v-a"},
      {0xC0, "------"},
      {0xFF, "rhsvda"},
  };
  for (const Case& c : cases) {
    TDirEntry entry{};
    entry.Attr = c.attr;
    EXPECT_EQ(entry.GetAttrString(), c.text) << int{c.attr};
    EXPECT_EQ(entry.IsDirectory(), (c.attr & disk::faDirectory) != 0);
  }
}

}  // namespace
