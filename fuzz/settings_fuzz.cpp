// Feeds arbitrary bytes as a settings file: the INI text must parse, every value must read back
// as written through another file, and the stored properties it holds must load into a small
// form (with further stored-list entries taken from its "StoredProps" section) without reading
// past a bound; for the main window's entries, storing the loaded form and loading that into a
// fresh one must store the same again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "fuzz_util.h"
#include "ini_input.h"
#include "rtl/exceptions.h"
#include "stand_in_components.h"
#include "ui/ini_file.h"
#include "ui/settings_store.h"
#include "ux/props_storage.h"

namespace {

// Every value reads back unchanged after it went through another file, quoted or not, and
// after that file's text was parsed again; so do the values with blanks put around them.
void CheckValuesRoundTrip(const ui::TIniFile& ini) {
  ui::TIniFile copy(std::vector<std::wstring>{});
  std::vector<std::vector<std::wstring>> written;
  for (const std::wstring& section : ini.ReadSections()) {
    Require(ini.SectionExists(section));
    for (const std::wstring& ident : ini.ReadSection(section)) {
      const auto value = ini.Read(section, ident);
      Require(value.has_value());
      for (const std::wstring& text : {*value, L" " + *value + L"\t"}) {
        try {
          copy.WriteString(section, ident, text);
        } catch (const rtl::Exception&) {
          continue;  // a name that no line can hold again (e.g. "[x" without "]")
        }
        Require(copy.Read(section, ident) == text);
        written.push_back({section, ident, text});
      }
    }
  }
  const ui::TIniFile reparsed(copy.Lines());
  for (const auto& entry : written) {
    // A later write of the same name replaced an earlier one.
    const auto value = reparsed.Read(entry[0], entry[1]);
    Require(value == copy.Read(entry[0], entry[1]));
  }
}

// The main window's entries and the other kinds' stand-ins: each loads what it stores.
std::vector<std::wstring> RoundTripProps() {
  std::vector<std::wstring> list = ui::test::MainFormFixture::StoredProps();
  for (const wchar_t* entry :
       {L"Styled.Color", L"Styled.Colors", L"Styled.Caption", L"Grid.Columns", L"Grid.Hint"})
    list.emplace_back(entry);
  return list;
}

std::unique_ptr<ui::TStringList> ResolvedList(ui::test::MainFormFixture& form,
                                              const std::vector<std::wstring>& entries) {
  auto list = std::make_unique<ui::TStringList>(entries);
  ux::UpdateStoredList(form.form.get(), *list, true);
  for (int i = 0; i < list->Count(); ++i)
    Require(ux::StoredComponent(*list, i) != nullptr &&
            form.form->FindComponent(ux::StoredComponent(*list, i)->Name()) ==
                ux::StoredComponent(*list, i));
  return list;
}

// Loads the listed properties from `in` into a fresh form, then stores them into `out`.
void LoadAndStore(const std::vector<std::wstring>& entries, const ui::TCustomIniFile& in,
                  ui::TMemIniFile& out) {
  ui::test::MainFormFixture form;
  const auto list = ResolvedList(form, entries);
  ux::TPropsStorage storage;
  storage.SetSection(L"TMainForm");
  storage.OnReadString = [&in](const std::wstring& s, const std::wstring& i,
                               const std::wstring& d) { return in.ReadString(s, i, d); };
  storage.OnWriteString = [&out](const std::wstring& s, const std::wstring& i,
                                 const std::wstring& v) { out.WriteString(s, i, v); };
  storage.OnEraseSection = [&out](const std::wstring& s) { out.EraseSection(s); };
  storage.OnFindOwner = [](std::wstring_view) -> ui::TComponent* { return nullptr; };
  storage.LoadObjectsProps(form.form.get(), *list);
  Require(form.mruList->Items()->Count() <= ux::kMaxStoredLines);
  Require(form.grid->columns.Count() <= ux::kMaxStoredItems);
  storage.StoreObjectsProps(form.form.get(), *list);
  std::wstring comp;
  std::wstring prop;
  for (int i = 0; i < list->Count(); ++i) {
    Require(ux::ParseStoredItem(list->Get(i), comp, prop));
    Require(comp == ux::StoredComponent(*list, i)->Name());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const ui::TIniFile ini = IniFromBytes(data, size);
  CheckValuesRoundTrip(ini);

  // Entries from the file itself, which may name any property (even a component's name).
  std::vector<std::wstring> entries = RoundTripProps();
  for (const std::wstring& ident : ini.ReadSection(L"StoredProps"))
    entries.push_back(ini.ReadString(L"StoredProps", ident, L""));
  ui::TMemIniFile ignored;
  LoadAndStore(entries, ini, ignored);

  ui::TMemIniFile first;
  LoadAndStore(RoundTripProps(), ini, first);
  ui::TMemIniFile second;
  LoadAndStore(RoundTripProps(), first, second);
  Require(first.Sections().size() == second.Sections().size());
  for (std::size_t i = 0; i < first.Sections().size(); ++i) {
    Require(first.Sections()[i].name == second.Sections()[i].name);
    Require(first.Sections()[i].values == second.Sections()[i].values);
  }
  return 0;
}
