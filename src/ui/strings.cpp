#include "ui/strings.h"

#include <algorithm>
#include <numeric>

#include "rtl/code_page.h"
#include "rtl/exceptions.h"
#include "ui/text.h"

namespace ui {

namespace {

std::wstring DecodeText(const std::vector<std::uint8_t>& bytes) {
  const auto* data = reinterpret_cast<const char*>(bytes.data());
  if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
    return WideFromUtf8(std::string_view(data + 3, bytes.size() - 3));
  }
  if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
    std::u16string units;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
      units.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
    }
    return WideFromUtf16(units);
  }
  return rtl::CodePage().ToUnicode(std::string_view(data, bytes.size()));
}

std::vector<std::uint8_t> EncodeText(const std::wstring& text, TextEncoding encoding) {
  std::vector<std::uint8_t> bytes;
  if (encoding == TextEncoding::Ansi) {
    const std::string ansi = rtl::CodePage().FromUnicode(text);
    bytes.assign(ansi.begin(), ansi.end());
  } else if (encoding == TextEncoding::Utf8) {
    const std::string utf8 = Utf8FromWide(text);
    bytes = {0xEF, 0xBB, 0xBF};
    bytes.insert(bytes.end(), utf8.begin(), utf8.end());
  } else {
    bytes = {0xFF, 0xFE};
    for (const char16_t unit : Utf16FromWide(text)) {
      bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
      bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
  }
  return bytes;
}

}  // namespace

// TStrings

void TStrings::IndexError(int index) {
  throw rtl::Exception("List index out of bounds (" + std::to_string(index) + ")");
}

void TStrings::Put(int index, const std::wstring& text) {
  const std::intptr_t data = Objects(index);
  BeginUpdate();
  Delete(index);
  InsertObject(index, text, data);
  EndUpdate();
}

void TStrings::Clear() {
  BeginUpdate();
  for (int i = Count(); i-- > 0;) Delete(i);
  EndUpdate();
}

int TStrings::Add(const std::wstring& text) {
  const int index = Count();
  Insert(index, text);
  return index;
}

int TStrings::IndexOf(std::wstring_view text) const {
  const bool caseSensitive = CaseSensitiveCompare();
  for (int i = 0; i < Count(); ++i) {
    const std::wstring line = Get(i);
    if (caseSensitive ? line == text : SameText(line, text)) return i;
  }
  return -1;
}

void TStrings::Move(int from, int to) {
  if (from == to) return;
  const std::wstring text = Get(from);
  const std::intptr_t data = Objects(from);
  BeginUpdate();
  Delete(from);
  InsertObject(to, text, data);
  EndUpdate();
}

void TStrings::Exchange(int a, int b) {
  const std::wstring textA = Get(a);
  const std::intptr_t dataA = Objects(a);
  BeginUpdate();
  Put(a, Get(b));
  PutObject(a, Objects(b));
  Put(b, textA);
  PutObject(b, dataA);
  EndUpdate();
}

void TStrings::Assign(const std::vector<std::wstring>& lines) {
  BeginUpdate();
  Clear();
  for (const std::wstring& line : lines) Add(line);
  EndUpdate();
}

int TStrings::AddObject(const std::wstring& text, std::intptr_t data) {
  const int index = Add(text);
  if (index >= 0) PutObject(index, data);
  return index;
}

void TStrings::InsertObject(int index, const std::wstring& text, std::intptr_t data) {
  Insert(index, text);
  PutObject(index, data);
}

std::vector<std::wstring> TStrings::ToVector() const {
  std::vector<std::wstring> lines;
  lines.reserve(static_cast<std::size_t>(Count()));
  for (int i = 0; i < Count(); ++i) lines.push_back(Get(i));
  return lines;
}

std::wstring TStrings::Text() const {
  std::wstring text;
  for (int i = 0; i < Count(); ++i) {
    text += Get(i);
    text += L"\r\n";
  }
  return text;
}

void TStrings::SetText(std::wstring_view text) {
  std::vector<std::wstring> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find_first_of(L"\r\n", start);
    if (end == std::wstring_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
    if (text[end] == L'\r' && start < text.size() && text[start] == L'\n') ++start;
  }
  Assign(lines);
}

void TStrings::LoadFromStream(rtl::TStream& stream) {
  const std::int64_t remaining = stream.Size() - stream.Position();
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::max<std::int64_t>(remaining, 0)));
  bytes.resize(stream.ReadFully(bytes));
  SetText(DecodeText(bytes));
}

void TStrings::SaveToStream(rtl::TStream& stream, TextEncoding encoding) const {
  stream.WriteBuffer(EncodeText(Text(), encoding));
}

void TStrings::BeginUpdate() {
  if (updateCount_++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0) SetUpdateState(false);
}

// TStringList

TStringList::TStringList(std::vector<std::wstring> lines) {
  items_.reserve(lines.size());
  for (auto& line : lines) items_.push_back({std::move(line), 0});
}

void TStringList::CheckIndex(int index, int limit) const {
  if (index < 0 || index >= limit) IndexError(index);
}

std::wstring TStringList::Get(int index) const {
  CheckIndex(index, Count());
  return items_[static_cast<std::size_t>(index)].text;
}

void TStringList::Put(int index, const std::wstring& text) {
  if (sorted_) throw rtl::Exception("Operation not allowed on sorted list");
  CheckIndex(index, Count());
  items_[static_cast<std::size_t>(index)].text = text;
  Changed();
}

void TStringList::Insert(int index, const std::wstring& text) {
  if (sorted_) throw rtl::Exception("Operation not allowed on sorted list");
  CheckIndex(index, Count() + 1);
  items_.insert(items_.begin() + index, Item{text, 0});
  Changed();
}

void TStringList::Delete(int index) {
  CheckIndex(index, Count());
  items_.erase(items_.begin() + index);
  Changed();
}

void TStringList::Clear() {
  if (items_.empty()) return;
  items_.clear();
  Changed();
}

int TStringList::Add(const std::wstring& text) {
  if (!sorted_) {
    items_.push_back({text, 0});
    Changed();
    return Count() - 1;
  }
  int index = 0;
  if (Find(text, index)) {
    if (duplicates_ == TDuplicates::dupIgnore) return index;
    if (duplicates_ == TDuplicates::dupError) {
      throw rtl::Exception("String list does not allow duplicates");
    }
  }
  items_.insert(items_.begin() + index, Item{text, 0});
  Changed();
  return index;
}

int TStringList::IndexOf(std::wstring_view text) const {
  if (!sorted_) return TStrings::IndexOf(text);
  int index = 0;
  return Find(text, index) ? index : -1;
}

void TStringList::Exchange(int a, int b) {
  CheckIndex(a, Count());
  CheckIndex(b, Count());
  std::swap(items_[static_cast<std::size_t>(a)], items_[static_cast<std::size_t>(b)]);
  Changed();
}

void TStringList::Assign(const std::vector<std::wstring>& lines) {
  BeginUpdate();
  items_.clear();
  for (const std::wstring& line : lines) Add(line);
  Changed();
  EndUpdate();
}

std::intptr_t TStringList::Objects(int index) const {
  CheckIndex(index, Count());
  return items_[static_cast<std::size_t>(index)].data;
}

void TStringList::PutObject(int index, std::intptr_t data) {
  CheckIndex(index, Count());
  items_[static_cast<std::size_t>(index)].data = data;
  Changed();
}

void TStringList::SetSorted(bool sorted) {
  if (sorted && !sorted_) {
    sorted_ = true;
    Sort();
  }
  sorted_ = sorted;
}

void TStringList::SetCaseSensitive(bool caseSensitive) {
  caseSensitive_ = caseSensitive;
  if (sorted_) Sort();
}

int TStringList::Compare(std::wstring_view a, std::wstring_view b) const {
  if (caseSensitive_) return a.compare(b) < 0 ? -1 : a == b ? 0 : 1;
  return CompareText(a, b);
}

bool TStringList::Find(std::wstring_view text, int& index) const {
  const auto found = std::lower_bound(
      items_.begin(), items_.end(), text,
      [this](const Item& item, std::wstring_view value) { return Compare(item.text, value) < 0; });
  index = static_cast<int>(found - items_.begin());
  return found != items_.end() && Compare(found->text, text) == 0;
}

void TStringList::Sort() {
  CustomSort([](const TStringList& list, int a, int b) {
    return list.Compare(list.items_[static_cast<std::size_t>(a)].text,
                        list.items_[static_cast<std::size_t>(b)].text);
  });
}

void TStringList::CustomSort(const std::function<int(const TStringList&, int, int)>& compare) {
  std::vector<int> order(items_.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return compare(*this, a, b) < 0; });
  std::vector<Item> sorted;
  sorted.reserve(items_.size());
  for (const int i : order) sorted.push_back(std::move(items_[static_cast<std::size_t>(i)]));
  items_ = std::move(sorted);
  Changed();
}

void TStringList::SetUpdateState(bool updating) {
  if (!updating) Changed();
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && OnChange) OnChange(*this);
}

}  // namespace ui
