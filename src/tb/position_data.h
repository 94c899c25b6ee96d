// What a dockable window persists besides its dock and place: integer values stored under the
// window's name, read and written through the caller's callbacks (an INI file, the registry or
// a test's table).
#pragma once

#include <functional>
#include <string>

namespace tb {

struct TTBPositionReader {
  // (window name, value name, default) -> the stored value, or the default when there is none.
  std::function<int(const std::wstring&, const std::wstring&, int)> ReadInteger;
};

struct TTBPositionWriter {
  // (window name, value name, value).
  std::function<void(const std::wstring&, const std::wstring&, int)> WriteInteger;
};

}  // namespace tb
