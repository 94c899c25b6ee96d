// Date and time texts from the user's locale patterns ("dd/MM/yyyy", "HH:mm:ss", "h:mm:ss tt").
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "rtl/clock.h"

namespace app::files {

// The locale's patterns and names; the window code fills it from the system settings.
struct TDateTimeFormat {
  std::wstring ShortDate = L"dd/MM/yyyy";
  std::wstring LongTime = L"HH:mm:ss";
  std::wstring Am = L"AM";
  std::wstring Pm = L"PM";
  std::array<std::wstring, 12> MonthNames = {L"January",   L"February", L"March",    L"April",
                                             L"May",       L"June",     L"July",     L"August",
                                             L"September", L"October",  L"November", L"December"};
  std::array<std::wstring, 7> DayNames = {L"Sunday",   L"Monday", L"Tuesday", L"Wednesday",
                                          L"Thursday", L"Friday", L"Saturday"};
};

// Expands a pattern: d dd ddd dddd, M MM MMM MMMM, y yy yyyy, h hh H HH, m mm, s ss, t tt;
// text in single quotes and any other character stand as they are.
std::wstring FormatPattern(const rtl::TDateTime& value, std::wstring_view pattern,
                           const TDateTimeFormat& format);

// The default date-and-time text: the date, then a blank and the time unless the time is exactly
// midnight.
std::wstring DateTimeText(const rtl::TDateTime& value, const TDateTimeFormat& format);

}  // namespace app::files
