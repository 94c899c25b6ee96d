// The write and erase log of an in-memory settings file as readable lines:
// "<section>: <ident>=<value>", "erase <section>", "delete <section>: <ident>".
#pragma once

#include <string>
#include <vector>

#include "ui/settings_store.h"

namespace ux::test {

inline std::vector<std::wstring> LogText(const ui::TMemIniFile& ini) {
  std::vector<std::wstring> lines;
  for (const ui::TMemIniFile::LogEntry& entry : ini.Log()) {
    switch (entry.op) {
      case ui::TMemIniFile::Op::Write:
        lines.push_back(entry.section + L": " + entry.ident + L"=" + entry.value);
        break;
      case ui::TMemIniFile::Op::EraseSection:
        lines.push_back(L"erase " + entry.section);
        break;
      case ui::TMemIniFile::Op::DeleteKey:
        lines.push_back(L"delete " + entry.section + L": " + entry.ident);
        break;
    }
  }
  return lines;
}

}  // namespace ux::test
