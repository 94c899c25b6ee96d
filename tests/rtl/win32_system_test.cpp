// The portable arithmetic and tables checked against the Windows API, and the system services.
#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "date_time_print.h"
#include "rtl/clock.h"
#include "rtl/code_page.h"

namespace rtl {
namespace {

TDateTime FromSystemTime(const SYSTEMTIME& s) {
  return {s.wYear, s.wMonth, s.wDay, s.wHour, s.wMinute, s.wSecond, s.wMilliseconds};
}

std::wstring Decode(UINT codePage, const std::string& bytes) {
  std::wstring text(bytes.size(), L'\0');
  const int size = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()),
                                       text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(size));
  return text;
}

std::string Encode(UINT codePage, const std::wstring& text) {
  std::string bytes(text.size() * 2, '\0');
  const int size = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text.data(),
                                       static_cast<int>(text.size()), bytes.data(),
                                       static_cast<int>(bytes.size()), nullptr, nullptr);
  bytes.resize(static_cast<std::size_t>(size));
  return bytes;
}

TEST(WindowsCivil, MatchesFileTimeToSystemTime) {
  std::mt19937_64 random(1601);
  for (int i = 0; i < 100'000; ++i) {
    const FileTime time = random() >> 1;  // the API's range ends at 2^63
    const FILETIME fileTime{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
    SYSTEMTIME system{};
    ASSERT_TRUE(FileTimeToSystemTime(&fileTime, &system));
    ASSERT_EQ(CivilFromFileTime(time), FromSystemTime(system)) << time;
  }
}

TEST(WindowsCodePage, FixedTablesMatchTheSystemTables) {
  struct Case {
    FixedTable table;
    UINT codePage;
  };
  for (const Case c : {Case{FixedTable::Cp1252, 1252}, Case{FixedTable::Cp1251, 1251}}) {
    SCOPED_TRACE(c.codePage);
    const TFixedCodePage fixed(c.table);
    std::string bytes;
    for (int b = 0; b < 256; ++b) bytes.push_back(static_cast<char>(b));
    EXPECT_EQ(fixed.ToUnicode(bytes), Decode(c.codePage, bytes));
    // Every character of the basic plane outside the surrogate range, one at a time.
    for (unsigned ch = 0; ch < 0x10000; ++ch) {
      if (ch >= 0xD800 && ch <= 0xDFFF) continue;
      const std::wstring text(1, static_cast<wchar_t>(ch));
      ASSERT_EQ(fixed.FromUnicode(text), Encode(c.codePage, text)) << std::hex << ch;
    }
  }
}

TEST(WindowsCodePage, SystemCodePageIsTheAnsiCodePage) {
  std::string bytes;
  for (int b = 1; b < 256; ++b) bytes.push_back(static_cast<char>(b));
  EXPECT_EQ(CodePage().ToUnicode(bytes), Decode(CP_ACP, bytes));
  const std::wstring text = L"MSX disk Łódź файл €";
  EXPECT_EQ(CodePage().FromUnicode(text), Encode(CP_ACP, text));
  EXPECT_EQ(CodePage().FromUnicode(L""), "");
  EXPECT_EQ(CodePage().ToUnicode(""), L"");
}

TEST(WindowsClock, LocalAndUtcRoundTrip) {
  for (const int year : {1602, 1969, 2024, 30000}) {
    for (int month = 1; month <= 12; ++month) {
      const TDateTime local{year, month, 15, 12, 34, 56, 789};
      const auto utc = Clock().LocalToUtc(local);
      ASSERT_TRUE(utc.has_value()) << local;
      EXPECT_EQ(Clock().UtcToLocal(*utc), local);
    }
  }
  EXPECT_EQ(Clock().LocalToUtc({2023, 2, 29, 0, 0, 0, 0}), std::nullopt);
}

TEST(WindowsClock, NowIsTheLocalTime) {
  SYSTEMTIME before{};
  GetLocalTime(&before);
  const TDateTime now = Clock().Now();
  EXPECT_EQ(now.Year, before.wYear);
  EXPECT_TRUE(FileTimeFromCivil(now).has_value()) << now;
}

}  // namespace
}  // namespace rtl
