// On the host the system code page is Windows-1252, the common Western default.
#include "rtl/system_services.h"

namespace rtl {

const TCodePage& SystemCodePage() {
  static const TFixedCodePage codePage(FixedTable::Cp1252);
  return codePage;
}

}  // namespace rtl
