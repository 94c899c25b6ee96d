// Renaming in place: the kept extension, refusals and the stored name bytes. The 8.3 names and
// the write are the disk model's.
#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "app/files/rename.h"
#include "files_test_support.h"

namespace {

using namespace app::files;
using files_test::NewDisk;

class RenameTest : public files_test::ClockTest {
 protected:
  void SetUp() override {
    ClockTest::SetUp();
    disk_ = NewDisk();
    files_test::AddBytes(*disk_, L"NOTES.TXT", {1});
    files_test::AddBytes(*disk_, L"PLAIN", {2});
    ASSERT_EQ(disk_->CreateSubDir("GAMES"), disk::DiskResult::Ok);
    files_test::AddBytes(*disk_, L"OTHER.TXT", {3});
    disk_->ResetModifiedState();
  }
  std::unique_ptr<disk::TMSXDisk> disk_;
};

std::string Stored(const TRenameTarget& target) {
  return std::string(target.Stored.begin(), target.Stored.end());
}

TEST_F(RenameTest, Decisions) {
  const struct {
    const char* entry;
    const wchar_t* typed;
    const char* stored;  // nullptr: refused
    RenameRefusal refusal;
    const wchar_t* rowName;
  } cases[] = {
      {"NOTES.TXT", L"readme", "README  TXT", {}, L"README"},
      {"NOTES.TXT", L"readme.doc", "README  DOC", {}, L"README"},
      {"NOTES.TXT", L"readme.", "README     ", {}, L"README"},
      {"NOTES.TXT", L"notes", "NOTES   TXT", {}, L"NOTES"},
      {"NOTES.TXT", L"Other.Txt", nullptr, RenameRefusal::NameTaken, nullptr},
      {"PLAIN", L"notes", "NOTES      ", {}, L"NOTES"},
      {"NOTES.TXT", L"   ", nullptr, RenameRefusal::EmptyName, nullptr},
      {"NOTES.TXT", L"..", nullptr, RenameRefusal::DotName, nullptr},
      // A first character 0xE5 in the code page: stored as 0x05, never as the deleted mark.
      {"NOTES.TXT", L"\u00E5ngstr\u00F6m", "\x05NGSTR\xF6MTXT", {}, L"\u00E5NGSTR\u00F6M"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.entry << " <- " << testing::PrintToString(std::wstring(c.typed)));
    const disk::TDirEntry* entry = disk_->Lookup(c.entry);
    ASSERT_NE(entry, nullptr);
    const TRenameDecision decision = DecideRename(*disk_, *entry, c.typed);
    if (!c.stored) {
      ASSERT_TRUE(std::holds_alternative<RenameRefusal>(decision));
      EXPECT_EQ(std::get<RenameRefusal>(decision), c.refusal);
      continue;
    }
    ASSERT_TRUE(std::holds_alternative<TRenameTarget>(decision));
    const auto& target = std::get<TRenameTarget>(decision);
    EXPECT_EQ(Stored(target), c.stored);
    EXPECT_EQ(target.RowName, c.rowName);
  }
}

TEST_F(RenameTest, DotEntriesAreNeverRenamed) {
  ASSERT_TRUE(disk_->ChangeDir("GAMES"));
  for (const char* name : {".", ".."}) {
    const disk::TDirEntry* entry = disk_->Lookup(name);
    ASSERT_NE(entry, nullptr);
    const TRenameDecision decision = DecideRename(*disk_, *entry, L"fine");
    ASSERT_TRUE(std::holds_alternative<RenameRefusal>(decision));
    EXPECT_EQ(std::get<RenameRefusal>(decision), RenameRefusal::DotEntry);
  }
}

}  // namespace
