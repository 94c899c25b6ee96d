#include <gtest/gtest.h>

#include "ux/app_utils.h"
#include "ux/date_util.h"

namespace ux {
namespace {

TEST(DateUtil, FourDigitYearsAreNotedFromTheShortDateFormat) {
  EXPECT_TRUE(HasFourDigitYear(L"dd/MM/yyyy"));
  EXPECT_TRUE(HasFourDigitYear(L"YYYY-MM-DD"));
  EXPECT_FALSE(HasFourDigitYear(L"d/M/yy"));
  EXPECT_FALSE(HasFourDigitYear(L""));
}

TEST(AppUtils, DefaultKeyAndIniName) {
  const std::wstring exe = ApplicationExeName();
  ASSERT_FALSE(exe.empty());
  const std::wstring program = exe.substr(0, exe.find_last_of(L'.'));
  EXPECT_EQ(GetDefaultIniRegKey(), L"Software\\" + program);
  AppDefaults().defaultCompany = L"Kelpfin";
  EXPECT_EQ(GetDefaultIniRegKey(), L"Software\\Kelpfin\\" + program);
  EXPECT_EQ(GetDefaultIniName(), program + L".INI");
  AppDefaults().defaultIniNameProc = [] { return std::wstring(L"custom.ini"); };
  EXPECT_EQ(GetDefaultIniName(), L"custom.ini");
  AppDefaults() = {};
}

}  // namespace
}  // namespace ux
