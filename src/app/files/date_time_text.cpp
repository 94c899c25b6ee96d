// Expanding date and time patterns.
#include "app/files/date_time_text.h"

#include <algorithm>

namespace app::files {

namespace {

std::wstring Padded(int value, std::size_t digits) {
  std::wstring text = std::to_wstring(value);
  if (text.size() < digits) text.insert(0, digits - text.size(), L'0');
  return text;
}

// 0 = Sunday.
int DayOfWeek(int year, int month, int day) {
  static constexpr int kMonthOffsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  if (month < 3) --year;
  return (year + year / 4 - year / 100 + year / 400 + kMonthOffsets[(month - 1) % 12] + day) % 7;
}

std::wstring Field(wchar_t letter, std::size_t run, const rtl::TDateTime& value,
                   const TDateTimeFormat& format) {
  const int hour12 = value.Hour % 12 == 0 ? 12 : value.Hour % 12;
  switch (letter) {
    case L'd':
      if (run >= 3) {
        const std::wstring& name =
            format
                .DayNames[static_cast<std::size_t>(DayOfWeek(value.Year, value.Month, value.Day))];
        return run == 3 ? name.substr(0, 3) : name;
      }
      return Padded(value.Day, run);
    case L'M':
      if (run >= 3) {
        const std::wstring& name =
            format.MonthNames[static_cast<std::size_t>((value.Month + 11) % 12)];
        return run == 3 ? name.substr(0, 3) : name;
      }
      return Padded(value.Month, run);
    case L'y':
      if (run <= 2) return Padded(value.Year % 100, run);
      return Padded(value.Year, 4);
    case L'h':
      return Padded(hour12, std::min<std::size_t>(run, 2));
    case L'H':
      return Padded(value.Hour, std::min<std::size_t>(run, 2));
    case L'm':
      return Padded(value.Minute, std::min<std::size_t>(run, 2));
    case L's':
      return Padded(value.Second, std::min<std::size_t>(run, 2));
    case L't': {
      const std::wstring& marker = value.Hour < 12 ? format.Am : format.Pm;
      return run == 1 ? marker.substr(0, 1) : marker;
    }
    default:
      return std::wstring(run, letter);
  }
}

}  // namespace

std::wstring FormatPattern(const rtl::TDateTime& value, std::wstring_view pattern,
                           const TDateTimeFormat& format) {
  static constexpr std::wstring_view kLetters = L"dMyhHmst";
  std::wstring text;
  std::size_t i = 0;
  while (i < pattern.size()) {
    const wchar_t c = pattern[i];
    if (c == L'\'') {
      const std::size_t close = pattern.find(L'\'', i + 1);
      const std::size_t end = close == std::wstring_view::npos ? pattern.size() : close;
      // Two quotes in a row stand for one.
      text +=
          end == i + 1 ? std::wstring(1, L'\'') : std::wstring(pattern.substr(i + 1, end - i - 1));
      i = end + 1;
      continue;
    }
    std::size_t run = 1;
    while (i + run < pattern.size() && pattern[i + run] == c) ++run;
    text += kLetters.find(c) == std::wstring_view::npos ? std::wstring(run, c)
                                                        : Field(c, run, value, format);
    i += run;
  }
  return text;
}

std::wstring DateTimeText(const rtl::TDateTime& value, const TDateTimeFormat& format) {
  std::wstring text = FormatPattern(value, format.ShortDate, format);
  if (value.Hour != 0 || value.Minute != 0 || value.Second != 0 || value.Millisecond != 0) {
    text += L' ';
    text += FormatPattern(value, format.LongTime, format);
  }
  return text;
}

}  // namespace app::files
