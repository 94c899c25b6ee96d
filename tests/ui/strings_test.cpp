#include "ui/strings.h"

#include <gtest/gtest.h>

#include "rtl/code_page.h"
#include "rtl/exceptions.h"

namespace {

using Lines = std::vector<std::wstring>;

TEST(UiStringList, EditingOperationsKeepOrderAndData) {
  ui::TStringList list;
  list.Add(L"one");
  list.AddObject(L"two", 2);
  list.Insert(0, L"zero");
  list.Put(1, L"ONE");
  EXPECT_EQ(list.ToVector(), (Lines{L"zero", L"ONE", L"two"}));
  EXPECT_EQ(list.Objects(2), 2);
  list.Move(2, 0);
  EXPECT_EQ(list.ToVector(), (Lines{L"two", L"zero", L"ONE"}));
  EXPECT_EQ(list.Objects(0), 2);
  list.Exchange(0, 2);
  EXPECT_EQ(list.ToVector(), (Lines{L"ONE", L"zero", L"two"}));
  EXPECT_EQ(list.IndexOf(L"one"), 0);
  EXPECT_EQ(list.IndexOf(L"three"), -1);
  list.Delete(1);
  EXPECT_EQ(list.ToVector(), (Lines{L"ONE", L"two"}));
  EXPECT_THROW(list.Get(2), rtl::Exception);
  EXPECT_THROW(list.Insert(4, L"x"), rtl::Exception);
  list.SetCaseSensitive(true);
  EXPECT_EQ(list.IndexOf(L"one"), -1);
}

TEST(UiStringList, SortedListsHonourDuplicates) {
  struct Case {
    ui::TDuplicates duplicates;
    Lines expected;
    bool raises;
  };
  const Case cases[] = {
      {ui::TDuplicates::dupIgnore, {L"a", L"B", L"c"}, false},
      {ui::TDuplicates::dupAccept, {L"a", L"b", L"B", L"c"}, false},
      {ui::TDuplicates::dupError, {L"a", L"B", L"c"}, true},
  };
  for (const Case& c : cases) {
    ui::TStringList list({L"c", L"a", L"B"});
    list.SetSorted(true);
    list.SetDuplicates(c.duplicates);
    if (c.raises) {
      EXPECT_THROW(list.Add(L"b"), rtl::Exception);
    } else {
      list.Add(L"b");
    }
    EXPECT_EQ(list.ToVector(), c.expected);
    EXPECT_THROW(list.Insert(0, L"x"), rtl::Exception);
  }
  ui::TStringList sorted({L"b", L"a"});
  sorted.SetSorted(true);
  int index = -1;
  EXPECT_FALSE(sorted.Find(L"aa", index));
  EXPECT_EQ(index, 1);
  EXPECT_EQ(sorted.IndexOf(L"B"), 1);
  ui::TStringList custom({L"b1", L"a1", L"b2", L"a2"});  // a custom sort is stable
  custom.CustomSort(
      [](const ui::TStringList& l, int a, int b) { return l.Get(a)[0] - l.Get(b)[0]; });
  EXPECT_EQ(custom.ToVector(), (Lines{L"a1", L"a2", L"b1", L"b2"}));
}

TEST(UiStringList, ChangeEventFiresOncePerBatch) {
  ui::TStringList list;
  int changes = 0;
  list.OnChange = [&changes](ui::TStringList&) { ++changes; };
  list.Add(L"a");
  EXPECT_EQ(changes, 1);
  list.Assign({L"x", L"y", L"z"});
  list.BeginUpdate();
  list.Add(L"1");
  list.Delete(0);
  EXPECT_EQ(changes, 2);
  list.EndUpdate();
  EXPECT_EQ(changes, 3);
}

TEST(UiStrings, StreamsDetectByteOrderMarksElseUseTheCodePage) {
  const rtl::TFixedCodePage cyrillic(rtl::FixedTable::Cp1251);
  const rtl::TCodePage* previous = rtl::SetCodePage(&cyrillic);
  struct Case {
    std::vector<std::uint8_t> bytes;
    Lines lines;
  };
  const Case cases[] = {
      {{0xC0, 'x', '\n', '\n', ' ', '\r', '\r', '\n', 'y', ' '},
       {L"\u0410x", L"", L" ", L"", L"y "}},
      {{0xEF, 0xBB, 0xBF, 0xD0, 0x90, '\n'}, {L"\u0410"}},
      {{0xFF, 0xFE, 0x10, 0x04, '\n', 0, 0x3D, 0xD8, 0x00, 0xDE}, {L"\u0410", L"\U0001F600"}},
  };
  for (const Case& c : cases) {
    rtl::TMemoryStream stream(c.bytes);
    ui::TStringList list;
    list.LoadFromStream(stream);
    EXPECT_EQ(list.ToVector(), c.lines);
  }
  const ui::TStringList lines({L"\u0410"});
  const std::vector<std::pair<ui::TextEncoding, std::vector<std::uint8_t>>> saved = {
      {ui::TextEncoding::Ansi, {0xC0, '\r', '\n'}},
      {ui::TextEncoding::Utf8, {0xEF, 0xBB, 0xBF, 0xD0, 0x90, '\r', '\n'}},
      {ui::TextEncoding::Utf16, {0xFF, 0xFE, 0x10, 0x04, '\r', 0, '\n', 0}},
  };
  for (const auto& [encoding, bytes] : saved) {
    rtl::TMemoryStream stream;
    lines.SaveToStream(stream, encoding);
    EXPECT_EQ(stream.Bytes(), bytes);
  }
  rtl::SetCodePage(previous);
}

}  // namespace
