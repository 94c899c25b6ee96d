#include "ui/ini_file.h"

#include <algorithm>
#include <system_error>

#include "rtl/exceptions.h"
#include "rtl/file_stream.h"
#include "ui/text.h"

namespace ui {

namespace {

std::optional<std::wstring_view> SectionName(std::wstring_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != L'[') return std::nullopt;
  const std::size_t close = line.find(L']');
  if (close == std::wstring_view::npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

struct Entry {
  std::wstring_view name;
  std::wstring_view value;
};

std::optional<Entry> ValueLine(std::wstring_view line) {
  const std::wstring_view trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() == L';') return std::nullopt;
  const std::size_t equals = line.find(L'=');
  if (equals == std::wstring_view::npos) return std::nullopt;
  return Entry{Trim(line.substr(0, equals)), Trim(line.substr(equals + 1))};
}

// Blanks that a reader may trim from the ends of a value: control characters, space and the
// Unicode spaces.
bool TrimmableEnd(wchar_t c) {
  return c <= 0x20 || (c >= 0x7F && c <= 0xA0) || c == 0x1680 || (c >= 0x2000 && c <= 0x200B) ||
         c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000 || c == 0xFEFF;
}

bool QuotedPair(std::wstring_view value) {
  return value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') &&
         value.back() == value.front();
}

std::wstring QuotedIfNeeded(const std::wstring& value) {
  if (value.empty()) return value;
  if (TrimmableEnd(value.front()) || TrimmableEnd(value.back()) || QuotedPair(value))
    return L'"' + value + L'"';
  return value;
}

bool BreaksLine(std::wstring_view text) {
  return text.find_first_of(std::wstring_view(L"\r\n\0", 3)) != std::wstring_view::npos;
}

void CheckStorable(std::wstring_view section, std::wstring_view ident, std::wstring_view value) {
  const std::wstring_view name = Trim(ident);
  if (BreaksLine(section) || BreaksLine(ident) || BreaksLine(value) ||
      section.find(L']') != std::wstring_view::npos || name.find(L'=') != std::wstring_view::npos ||
      name.starts_with(L';') || name.starts_with(L'['))
    throw rtl::Exception("The text cannot be stored in an INI file");
}

std::wstring Unquote(std::wstring_view value) {
  if (QuotedPair(value)) value = value.substr(1, value.size() - 2);
  return std::wstring(value);
}

}  // namespace

TIniFile::TIniFile(const std::filesystem::path& path)
    : TCustomIniFile(path.wstring()), path_(path) {
  std::error_code error;
  if (!std::filesystem::exists(path_, error)) return;
  rtl::TFileStream stream(path_, rtl::FileMode::OpenRead);
  std::vector<std::uint8_t> head(3);
  head.resize(stream.ReadFully(head));
  stream.SetPosition(0);
  if (head.size() >= 2 && head[0] == 0xFF && head[1] == 0xFE) {
    encoding_ = TextEncoding::Utf16;
  } else if (head.size() == 3 && head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF) {
    encoding_ = TextEncoding::Utf8;
  } else {
    encoding_ = TextEncoding::Ansi;
  }
  TStringList lines;
  lines.LoadFromStream(stream);
  lines_ = lines.ToVector();
}

TIniFile::TIniFile(std::vector<std::wstring> lines) : lines_(std::move(lines)), inMemory_(true) {}

const std::vector<std::size_t>& TIniFile::Headers() const {
  if (!headers_) {
    headers_.emplace();
    for (std::size_t i = 0; i < lines_.size(); ++i)
      if (SectionName(lines_[i])) headers_->push_back(i);
  }
  return *headers_;
}

std::optional<TIniFile::Span> TIniFile::FindSection(std::wstring_view name) const {
  const std::wstring_view wanted = Trim(name);
  const std::vector<std::size_t>& headers = Headers();
  std::size_t at = headers.size();  // position of the section's header in `headers`
  if (hint_ && SameText(hint_->name, wanted)) {
    at = static_cast<std::size_t>(std::lower_bound(headers.begin(), headers.end(), hint_->header) -
                                  headers.begin());
    if (at < headers.size() && headers[at] != hint_->header) at = headers.size();
  }
  if (at == headers.size()) {
    for (std::size_t k = 0; k < headers.size() && at == headers.size(); ++k)
      if (SameText(*SectionName(lines_[headers[k]]), wanted)) at = k;
    if (at == headers.size()) return std::nullopt;
    hint_ = Hint{std::wstring(wanted), headers[at]};
  }
  return Span{headers[at], at + 1 < headers.size() ? headers[at + 1] : lines_.size()};
}

void TIniFile::MoveHeaders(std::size_t line, int by) {
  const auto move = [&](std::size_t& header) {
    if (line <= header) header = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(header) + by);
  };
  if (headers_)
    for (std::size_t& header : *headers_) move(header);
  if (hint_) move(hint_->header);
}

std::optional<std::size_t> TIniFile::FindValue(const Span& span, std::wstring_view ident) const {
  for (std::size_t i = span.header + 1; i < span.end; ++i) {
    const auto entry = ValueLine(lines_[i]);
    if (entry && SameText(entry->name, Trim(ident))) return i;
  }
  return std::nullopt;
}

std::optional<std::wstring> TIniFile::Read(const std::wstring& section,
                                           const std::wstring& ident) const {
  const auto span = FindSection(section);
  if (!span) return std::nullopt;
  const auto line = FindValue(*span, ident);
  if (!line) return std::nullopt;
  return Unquote(ValueLine(lines_[*line])->value);
}

void TIniFile::WriteString(const std::wstring& section, const std::wstring& ident,
                           const std::wstring& value) {
  CheckStorable(section, ident, value);
  const std::wstring text = std::wstring(Trim(ident)) + L"=" + QuotedIfNeeded(value);
  auto span = FindSection(section);
  if (!span) {
    if (!lines_.empty() && !Trim(lines_.back()).empty()) lines_.emplace_back();
    if (headers_) headers_->push_back(lines_.size());
    lines_.push_back(L"[" + std::wstring(Trim(section)) + L"]");
    lines_.push_back(text);
  } else if (const auto line = FindValue(*span, ident)) {
    lines_[*line] = text;
  } else {
    std::size_t at = span->end;  // after the section's last non-blank line
    while (at > span->header + 1 && Trim(lines_[at - 1]).empty()) --at;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), text);
    MoveHeaders(at, 1);
  }
  Save();
}

void TIniFile::DeleteKey(const std::wstring& section, const std::wstring& ident) {
  const auto span = FindSection(section);
  if (!span) return;
  const auto line = FindValue(*span, ident);
  if (!line) return;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*line));
  MoveHeaders(*line, -1);
  Save();
}

std::vector<std::wstring> TIniFile::ReadSection(const std::wstring& section) const {
  std::vector<std::wstring> names;
  const auto span = FindSection(section);
  if (!span) return names;
  for (std::size_t i = span->header + 1; i < span->end; ++i) {
    const auto entry = ValueLine(lines_[i]);
    if (!entry) continue;
    bool duplicate = false;
    for (const auto& name : names) duplicate = duplicate || SameText(name, entry->name);
    if (!duplicate) names.emplace_back(entry->name);
  }
  return names;
}

std::vector<std::wstring> TIniFile::ReadSections() const {
  std::vector<std::wstring> names;
  for (const auto& line : lines_) {
    const auto name = SectionName(line);
    if (!name) continue;
    bool duplicate = false;
    for (const auto& known : names) duplicate = duplicate || SameText(known, *name);
    if (!duplicate) names.emplace_back(*name);
  }
  return names;
}

void TIniFile::EraseSection(const std::wstring& section) {
  bool erased = false;
  while (const auto span = FindSection(section)) {
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(span->header),
                 lines_.begin() + static_cast<std::ptrdiff_t>(span->end));
    headers_.reset();
    hint_.reset();
    erased = true;
  }
  if (erased) Save();
}

bool TIniFile::SectionExists(const std::wstring& section) const {
  return FindSection(section).has_value();
}

void TIniFile::Save() const {
  if (inMemory_) return;
  rtl::TMemoryStream bytes;
  TStringList(lines_).SaveToStream(bytes, encoding_);
  rtl::WriteFileAtomically(path_, bytes.Bytes());
}

std::vector<TMemIniFile::Section> TIniFile::Sections() const {
  std::vector<TMemIniFile::Section> sections;
  TMemIniFile::Section* current = nullptr;  // null before the first and in a repeated section
  for (const std::wstring& line : lines_) {
    if (const auto name = SectionName(line)) {
      current = nullptr;
      bool repeated = false;
      for (const auto& known : sections) repeated = repeated || SameText(known.name, *name);
      if (!repeated)
        current = &sections.emplace_back(TMemIniFile::Section{std::wstring(*name), {}});
      continue;
    }
    const auto entry = ValueLine(line);
    if (!current || !entry) continue;
    bool repeated = false;
    for (const auto& value : current->values)
      repeated = repeated || SameText(value.first, entry->name);
    if (!repeated) current->values.emplace_back(std::wstring(entry->name), Unquote(entry->value));
  }
  return sections;
}

}  // namespace ui
