// The platform's own clock and code page, defined once per build (win32/ or posix/). Internal to
// the runtime: the rest of the program reaches them through Clock() and CodePage().
#pragma once

#include "rtl/clock.h"
#include "rtl/code_page.h"

namespace rtl {

const TClock& SystemClock();
const TCodePage& SystemCodePage();

}  // namespace rtl
