// An input's bytes read as the lines of a settings file, as the INI store reads a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "rtl/stream.h"
#include "ui/ini_file.h"
#include "ui/strings.h"

inline ui::TIniFile IniFromBytes(const std::uint8_t* data, std::size_t size) {
  rtl::TMemoryStream bytes(std::vector<std::uint8_t>(data, data + size));
  ui::TStringList lines;
  lines.LoadFromStream(bytes);
  return ui::TIniFile(lines.ToVector());
}
