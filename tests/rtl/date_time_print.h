// Readable date-times in test failure messages.
#pragma once

#include <ostream>

#include "rtl/clock.h"

namespace rtl {

inline std::ostream& operator<<(std::ostream& out, const TDateTime& t) {
  return out << t.Year << '-' << t.Month << '-' << t.Day << ' ' << t.Hour << ':' << t.Minute << ':'
             << t.Second << '.' << t.Millisecond;
}

}  // namespace rtl
