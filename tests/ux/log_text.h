// The write and erase log of an in-memory settings file as readable lines:
// "<section>: <ident>=<value>", "erase <section>", "delete <section>: <ident>".
#pragma once

#include <string>
#include <vector>

#include "ui/settings_store.h"

namespace ux::test {

inline std::vector<std::wstring> LogText(const ui::TMemIniFile& ini) {
  using Op = ui::TMemIniFile::Op;
  std::vector<std::wstring> lines;
  for (const ui::TMemIniFile::LogEntry& e : ini.Log()) {
    if (e.op == Op::Write)
      lines.push_back(e.section + L": " + e.ident + L"=" + e.value);
    else if (e.op == Op::EraseSection)
      lines.push_back(L"erase " + e.section);
    else
      lines.push_back(L"delete " + e.section + L": " + e.ident);
  }
  return lines;
}

}  // namespace ux::test
