// The host clock follows TZ, with the zone's rules for the date converted.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "date_time_print.h"
#include "rtl/clock.h"

namespace rtl {
namespace {

// Sets TZ for the lifetime of the object, then restores the previous value.
class TZoneScope {
 public:
  explicit TZoneScope(const char* zone) {
    if (const char* old = std::getenv("TZ")) previous_ = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  TZoneScope(const TZoneScope&) = delete;
  TZoneScope& operator=(const TZoneScope&) = delete;
  ~TZoneScope() {
    if (previous_)
      setenv("TZ", previous_->c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
  }

 private:
  std::optional<std::string> previous_;
};

// Central European rules written out, so the test needs no zone database: UTC+1, and UTC+2 from
// the last Sunday of March 02:00 to the last Sunday of October 03:00.
constexpr const char* kBerlin = "CET-1CEST,M3.5.0,M10.5.0/3";

// The C library applies a rule string's summer time only from 1970 on, so the older cases are
// winter dates.
TEST(PosixClock, ConvertsWithTheOffsetInForceOnThatDate) {
  const TZoneScope zone(kBerlin);
  struct Case {
    TDateTime local;
    TDateTime utc;
  };
  const Case cases[] = {
      {{2021, 7, 1, 12, 0, 0, 250}, {2021, 7, 1, 10, 0, 0, 250}},  // summer: +2 h
      {{2021, 1, 15, 12, 0, 0, 0}, {2021, 1, 15, 11, 0, 0, 0}},    // winter: +1 h
      {{2021, 1, 1, 0, 30, 0, 0}, {2020, 12, 31, 23, 30, 0, 0}},   // across a year
      {{1650, 1, 15, 12, 0, 0, 0}, {1650, 1, 15, 11, 0, 0, 0}},    // long before 1970
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.local);
    const FileTime utc = FileTimeFromCivil(c.utc).value();
    EXPECT_EQ(Clock().LocalToUtc(c.local), utc);
    EXPECT_EQ(Clock().UtcToLocal(utc), c.local);
  }
}

TEST(PosixClock, RefusesLocalTimesThatDoNotExist) {
  const TZoneScope zone(kBerlin);
  EXPECT_EQ(Clock().LocalToUtc({2021, 2, 30, 12, 0, 0, 0}), std::nullopt);
  EXPECT_EQ(Clock().LocalToUtc({2021, 1, 1, 25, 0, 0, 0}), std::nullopt);
  EXPECT_EQ(Clock().LocalToUtc({1601, 1, 1, 0, 30, 0, 0}), std::nullopt);  // UTC before 1601
}

}  // namespace
}  // namespace rtl
