// The host has no string table: the framework's texts are the built-in ones.
#include "tb/consts.h"

namespace tb {

std::wstring StringTableText(int) {
  return {};
}

}  // namespace tb
