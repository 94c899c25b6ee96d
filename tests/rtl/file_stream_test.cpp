// Streams: memory streams, whole transfers over short ones, host files and their replacement;
// civil dates and file times, and the fixed code pages.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "../disk/disk_test_support.h"
#include "date_time_print.h"
#include "rtl/clock.h"
#include "rtl/code_page.h"
#include "rtl/exceptions.h"
#include "rtl/file_stream.h"
#include "rtl/stream.h"

namespace rtl {
namespace {

using Bytes = std::vector<std::uint8_t>;
using disk_test::ReadFile;
using disk_test::WriteFile;
using ::testing::StartsWith;

std::string Utf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

// The message of the EStreamError that `action` raises.
template <typename Action>
std::string ErrorOf(Action action) {
  try {
    action();
  } catch (const EStreamError& error) {
    return error.what();
  }
  ADD_FAILURE() << "no EStreamError";
  return {};
}

std::vector<std::filesystem::path> FolderEntries(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename());
  return names;
}

FileTime At(int year, int month, int day, int hour, int minute, int second) {
  return FileTimeFromCivil({year, month, day, hour, minute, second, 0}).value();
}

class FileStream : public ::testing::Test {
 protected:
  TTempFolder folder_;
};

TEST_F(FileStream, CreateAndOpenReadWriteGiveTheseBytes) {
  const auto path = folder_ / "data.bin";
  {
    TFileStream stream(path, FileMode::Create);
    stream.WriteBuffer(Bytes{9, 9, 9, 9, 9, 6});
    EXPECT_EQ(stream.Seek(-2, SeekOrigin::End), 4);
    Bytes tail(8);
    EXPECT_EQ(stream.Read(tail), 2u);  // short read at the end
    EXPECT_EQ(tail[1], 6);
    EXPECT_EQ(stream.Path(), path);
  }
  {
    TFileStream stream(path, FileMode::OpenReadWrite);
    EXPECT_EQ(stream.Size(), 6);
    stream.SetPosition(1);
    stream.WriteBuffer(Bytes{7});
    stream.SetPosition(5);
    stream.SetSize(3);  // truncating pulls the position back, growing leaves it
    EXPECT_EQ(stream.Position(), 3);
    stream.SetSize(4);
    EXPECT_EQ(stream.Position(), 3);
    stream.SetPosition(6);
    stream.WriteBuffer(Bytes{5});
    EXPECT_THROW(stream.Seek(-1, SeekOrigin::Begin), EStreamError);
  }
  EXPECT_EQ(ReadFile(path), (Bytes{9, 7, 9, 0, 0, 0, 5}));
  TFileStream reader(path, FileMode::OpenRead);
  Bytes all(7);
  reader.ReadBuffer(all);
  EXPECT_THROW(reader.ReadBuffer(all), EStreamError);
  { TFileStream stream(path, FileMode::Create); }
  EXPECT_EQ(ReadFile(path), Bytes{});
}

TEST_F(FileStream, FailuresNameTheFile) {
  const auto missing = folder_ / std::filesystem::path(u8"Żółw_нет.dsk");  // UTF-8 in messages
  const auto inMissingFolder = folder_ / "no such folder" / "new.dsk";
  const auto readOnly = folder_ / "read only.dsk";
  WriteFile(readOnly, Bytes{1});
  TFileStream reader(readOnly, FileMode::OpenRead);

  struct Case {
    const char* what;
    std::function<void()> action;
    std::string prefix;
  };
  const Case cases[] = {
      {"missing file", [&] { TFileStream(missing, FileMode::OpenRead); },
       "Cannot open file \"" + Utf8(missing) + "\". "},
      {"missing folder", [&] { TFileStream(inMissingFolder, FileMode::Create); },
       "Cannot create file \"" + Utf8(inMissingFolder) + "\". "},
      {"folder", [&] { TFileStream(folder_.Path(), FileMode::OpenRead); },
       "Cannot open file \"" + Utf8(folder_.Path()) + "\". "},
      {"write to a read-only stream", [&] { reader.WriteBuffer(Bytes{2}); },
       "Cannot write file \"" + Utf8(readOnly) + "\". "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string message = ErrorOf(c.action);
    EXPECT_THAT(message, StartsWith(c.prefix));
    EXPECT_GT(message.size(), c.prefix.size());  // followed by the system's reason
  }
  EXPECT_FALSE(std::filesystem::exists(inMissingFolder.parent_path()));
}

TEST_F(FileStream, ReadersLetOthersWriteMeanwhile) {
  const auto path = folder_ / "shared.dsk";
  WriteFile(path, Bytes{1, 2});
  TFileStream reader(path, FileMode::OpenRead);
  {
    TFileStream writer(path, FileMode::OpenReadWrite);
    writer.SetPosition(2);
    writer.WriteBuffer(Bytes{3});
  }
  Bytes all(3);
  reader.ReadBuffer(all);
  EXPECT_EQ(all, (Bytes{1, 2, 3}));
}

TEST_F(FileStream, LastWriteTimeRoundTrips) {
  const auto path = folder_ / "dated.dsk";
  const FileTime times[] = {At(1965, 7, 14, 13, 37, 2), At(2040, 2, 29, 23, 59, 58) + 1234567};
  for (const FileTime time : times) {
    {
      TFileStream stream(path, FileMode::Create);
      stream.WriteBuffer(Bytes{1});
      stream.SetLastWriteTime(time);
      EXPECT_EQ(stream.GetLastWriteTime(), time);
    }
    TFileStream stream(path, FileMode::OpenRead);
    EXPECT_EQ(stream.GetLastWriteTime(), time);
  }
}

class WriteFileAtomicallyTest : public FileStream {};

// A file or folder that happens to have a temporary name is left alone.
TEST_F(WriteFileAtomicallyTest, ReplacesTheTargetAndSetsItsTime) {
  const auto target = folder_ / "disk.dsk";
  WriteFile(target, Bytes{1, 1, 1, 1, 1, 1});
  WriteFile(folder_ / "disk.dsk.~qb0", Bytes{8});
  std::filesystem::create_directory(folder_ / "disk.dsk.~qb1");
  const FileTime time = At(1999, 12, 31, 23, 59, 59);
  WriteFileAtomically(target, Bytes{2, 3}, &time);

  EXPECT_EQ(ReadFile(target), (Bytes{2, 3}));
  EXPECT_EQ(TFileStream(target, FileMode::OpenRead).GetLastWriteTime(), time);
  EXPECT_EQ(ReadFile(folder_ / "disk.dsk.~qb0"), (Bytes{8}));
  EXPECT_EQ(FolderEntries(folder_.Path()).size(), 3u);

  const auto fresh = folder_ / std::filesystem::path(u8"nový.dsk");
  WriteFileAtomically(fresh, Bytes{4, 5, 6});
  EXPECT_EQ(ReadFile(fresh), (Bytes{4, 5, 6}));
}

TEST_F(WriteFileAtomicallyTest, FailureLeavesTheTargetAsItWas) {
  // A folder cannot be replaced by a file: the temporary file is written, the final step fails.
  const auto target = folder_ / "disk.dsk";
  std::filesystem::create_directory(target);
  WriteFile(target / "inside", Bytes{1});

  EXPECT_THAT(ErrorOf([&] { WriteFileAtomically(target, Bytes{2}); }),
              StartsWith("Cannot replace file \"" + Utf8(target) + "\". "));
  EXPECT_TRUE(std::filesystem::is_directory(target));
  EXPECT_EQ(ReadFile(target / "inside"), (Bytes{1}));
  EXPECT_THAT(FolderEntries(folder_.Path()), ::testing::ElementsAre("disk.dsk"));
}

TEST_F(WriteFileAtomicallyTest, RefusesAReadOnlyTarget) {
  const auto target = folder_ / "locked.dsk";
  WriteFile(target, Bytes{7, 7});
  using std::filesystem::perms;
  std::filesystem::permissions(target,
                               perms::owner_write | perms::group_write | perms::others_write,
                               std::filesystem::perm_options::remove);
  EXPECT_THAT(ErrorOf([&] { WriteFileAtomically(target, Bytes{2}); }),
              StartsWith("Cannot create file \"" + Utf8(target) + "\". "));
  std::filesystem::permissions(target, perms::owner_write, std::filesystem::perm_options::add);
  EXPECT_EQ(ReadFile(target), (Bytes{7, 7}));
  EXPECT_THAT(FolderEntries(folder_.Path()), ::testing::ElementsAre("locked.dsk"));
}

// Moves at most `chunk` bytes per call, like a pipe or a slow device; its size comes from the
// base class's Seek-based default.
class TTrickleStream : public TStream {
 public:
  TTrickleStream(Bytes bytes, std::size_t chunk) : inner_(std::move(bytes)), chunk_(chunk) {}
  std::size_t Read(std::span<std::uint8_t> buffer) override {
    return inner_.Read(buffer.first(std::min(buffer.size(), chunk_)));
  }
  std::size_t Write(std::span<const std::uint8_t> data) override {
    return inner_.Write(data.first(std::min(data.size(), chunk_)));
  }
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override {
    return inner_.Seek(offset, origin);
  }
  void SetSize(std::int64_t size) override { inner_.SetSize(size); }
  const Bytes& Contents() const { return inner_.Bytes(); }

 private:
  TMemoryStream inner_;
  std::size_t chunk_;
};

TEST(MemoryStream, WritesReadsSeeksAndResizes) {
  TMemoryStream stream;
  stream.WriteBuffer(Bytes{1, 2, 3, 4, 5});
  EXPECT_EQ(stream.Seek(1, SeekOrigin::Begin), 1);
  stream.WriteBuffer(Bytes{9});
  EXPECT_EQ(stream.Seek(-2, SeekOrigin::End), 3);
  EXPECT_EQ(stream.Seek(-1, SeekOrigin::Current), 2);
  Bytes buffer(10, 0xEE);
  EXPECT_EQ(stream.Read(buffer), 3u);  // short read at the end
  EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 3), (Bytes{3, 4, 5}));
  EXPECT_EQ(stream.Read(buffer), 0u);
  EXPECT_EQ(stream.Bytes(), (Bytes{1, 9, 3, 4, 5}));

  // Seeking past the end does not grow the stream; writing there zero-fills the gap.
  EXPECT_EQ(stream.Seek(2, SeekOrigin::End), 7);
  EXPECT_EQ(stream.Size(), 5);
  stream.WriteBuffer(Bytes{8});
  EXPECT_EQ(stream.Bytes(), (Bytes{1, 9, 3, 4, 5, 0, 0, 8}));

  stream.SetSize(2);  // truncating pulls the position back, growing leaves it
  EXPECT_EQ(stream.Position(), 2);
  stream.SetSize(4);
  EXPECT_EQ(stream.Position(), 2);
  EXPECT_EQ(stream.Bytes(), (Bytes{1, 9, 0, 0}));

  EXPECT_EQ(stream.TakeBytes(), (Bytes{1, 9, 0, 0}));
  EXPECT_EQ(stream.Size(), 0);
  EXPECT_EQ(stream.Position(), 0);
  stream.WriteBuffer(Bytes{4, 5});
  stream.Clear();
  EXPECT_EQ(stream.Size(), 0);
  EXPECT_EQ(stream.Position(), 0);

  // Nothing moves before the start.
  stream.WriteBuffer(Bytes{1, 2, 3, 4});
  stream.SetPosition(3);
  EXPECT_THROW(stream.Seek(-1, SeekOrigin::Begin), EStreamError);
  EXPECT_THROW(stream.Seek(-4, SeekOrigin::Current), EStreamError);
  EXPECT_THROW(stream.Seek(-5, SeekOrigin::End), EStreamError);
  EXPECT_EQ(stream.Position(), 3);
  EXPECT_THROW(stream.SetSize(-1), EStreamError);
}

TEST(Stream, WholeTransfersRetryShortOnesAndRaiseWhenStuck) {
  TTrickleStream stream(Bytes{1, 2, 3, 4, 5, 6, 7}, 2);
  Bytes buffer(5);
  stream.ReadBuffer(buffer);
  EXPECT_EQ(buffer, (Bytes{1, 2, 3, 4, 5}));
  EXPECT_EQ(stream.Size(), 7);  // the default size keeps the position
  EXPECT_EQ(stream.Position(), 5);
  Bytes rest(10);
  EXPECT_EQ(stream.ReadFully(rest), 2u);
  EXPECT_EQ(rest[1], 7);
  stream.WriteBuffer(Bytes{8, 9, 10});
  EXPECT_EQ(stream.Contents(), (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  EXPECT_THROW(stream.ReadBuffer(buffer), EStreamError);  // short at the end

  TTrickleStream stuck(Bytes{}, 0);
  EXPECT_THROW(stuck.WriteBuffer(Bytes{1}), EStreamError);
  EXPECT_NO_THROW(stuck.WriteBuffer(Bytes{}));
}

constexpr FileTime kTicksPerDay = 864'000'000'000;

TEST(Civil, KnownFileTimes) {
  struct Case {
    FileTime time;
    TDateTime civil;
  };
  const Case cases[] = {
      {125'911'584'000'000'000 + 59 * kTicksPerDay + 45'296'789ull * 10'000,
       {2000, 2, 29, 12, 34, 56, 789}},
      {0x7FFF'FFFF'FFFF'FFFF - 4'775'807, {30828, 9, 14, 2, 48, 5, 0}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CivilFromFileTime(c.time), c.civil) << c.time;
    EXPECT_EQ(FileTimeFromCivil(c.civil), c.time) << c.civil;
  }
  // Sub-millisecond ticks are dropped on the way to civil time.
  EXPECT_EQ(CivilFromFileTime(9'999), (TDateTime{1601, 1, 1, 0, 0, 0, 0}));
  EXPECT_EQ(CivilFromFileTime(std::numeric_limits<FileTime>::max()).Year, 60056);
}

TEST(Civil, RejectsDatesThatDoNotExist) {
  struct Case {
    TDateTime civil;
    bool valid;
  };
  // Month lengths and leap years are pinned by the day-by-day walk below.
  const Case cases[] = {
      {{2001, 12, 31, 23, 59, 59, 999}, true}, {{2001, 0, 1, 0, 0, 0, 0}, false},
      {{2001, 13, 1, 0, 0, 0, 0}, false},      {{2001, 1, 0, 0, 0, 0, 0}, false},
      {{2001, 1, 1, 24, 0, 0, 0}, false},      {{2001, 1, 1, 0, 60, 0, 0}, false},
      {{2001, 1, 1, 0, 0, 60, 0}, false},      {{2001, 1, 1, 0, 0, 0, 1000}, false},
      {{2001, 1, 1, -1, 0, 0, 0}, false},      {{1600, 12, 31, 23, 59, 59, 0}, false},
      {{60057, 1, 1, 0, 0, 0, 0}, false},      {{2023, 2, 29, 0, 0, 0, 0}, false},
  };
  for (const Case& c : cases) EXPECT_EQ(FileTimeFromCivil(c.civil).has_value(), c.valid) << c.civil;
}

// The Gregorian calendar written out independently of the code under test.
int MonthLength(int year, int month) {
  const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
  if (month == 2) return leap ? 29 : 28;
  return month == 4 || month == 6 || month == 9 || month == 11 ? 30 : 31;
}

TEST(Civil, ConsecutiveDaysFollowTheCalendar) {
  TDateTime expected;
  for (FileTime time = 0; expected.Year < 2401; time += kTicksPerDay) {
    ASSERT_EQ(CivilFromFileTime(time), expected);
    ASSERT_EQ(FileTimeFromCivil(expected), time);
    if (expected.Day == 1) {
      ASSERT_EQ(DaysInMonth(expected.Year, expected.Month),
                MonthLength(expected.Year, expected.Month));
    }
    if (++expected.Day > MonthLength(expected.Year, expected.Month)) {
      expected.Day = 1;
      if (++expected.Month > 12) {
        expected.Month = 1;
        ++expected.Year;
      }
    }
  }
}

// The whole tables are compared with the system's in the Windows tests.
TEST(FixedCodePage, UnmappableCharactersBecomeQuestionMarks) {
  struct Case {
    FixedTable table;
    std::wstring text;
    std::string bytes;
  };
  const std::wstring loneSurrogate(1, static_cast<wchar_t>(0xD800));
  // A character beyond the BMP as its two UTF-16 code units, as a 16-bit wchar_t holds it.
  const std::wstring pair = {static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
  const Case cases[] = {
      {FixedTable::Cp1252, L"a" + loneSurrogate + L"b", "a?b"},
      {FixedTable::Cp1252, L"x\U0001F600y", "x?y"},  // one character, whatever wchar_t's width
      {FixedTable::Cp1252, L"x" + pair + L"y", "x?y"},
      {FixedTable::Cp1252, pair + pair, "??"},
      {FixedTable::Cp1252, L"a" + loneSurrogate, "a?"},   // a high half at the very end
      {FixedTable::Cp1252, pair.substr(1) + L"z", "?z"},  // a low half alone
      {FixedTable::Cp1251, L"é€ё", "?\x88\xB8"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TFixedCodePage(c.table).FromUnicode(c.text), c.bytes);
  }
}

#ifndef _WIN32
std::string AllBytes() {
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes.push_back(static_cast<char>(b));
  return bytes;
}

TEST(CodePage, HostDefaultIsWindows1252) {
  EXPECT_EQ(CodePage().ToUnicode(AllBytes()),
            TFixedCodePage(FixedTable::Cp1252).ToUnicode(AllBytes()));
  EXPECT_EQ(CodePage().FromUnicode(L"€Ÿ"), "\x80\x9F");
}
#endif

}  // namespace
}  // namespace rtl
