// Feeds arbitrary bytes as skin text: a skin either loads or refuses with a skin error, never
// worse; whatever loaded saves, loads again and saves the same text; the skins list takes the
// text under a trimmed, non-empty name or not at all, and choosing it either makes it current or
// leaves the current skin as it was.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_util.h"
#include "rtl/stream.h"
#include "skbar/skin_manager.h"
#include "ui/ini_file.h"
#include "ui/strings.h"
#include "ui/text.h"

namespace {

using namespace skbar;

constexpr std::uint32_t kWholeChecksEvery = 8;

bool SameMatrix(const TSkBarSkinOptions& a, const TSkBarSkinOptions& b) {
  for (int c = 0; c < kSkinComponentCount; ++c) {
    for (int s = 0; s < kSkinStateCount; ++s) {
      const auto component = static_cast<TSkBarSkinComponentsType>(c);
      const auto state = static_cast<TSkBarSkinStatesType>(s);
      if (HasState(component, state) &&
          !(a.Options(component, state) == b.Options(component, state)))
        return false;
    }
  }
  return true;
}

void CheckRoundTrip(const TSkBarSkinOptions& skin) {
  ui::TStringList first;
  skin.SaveToStrings(first);
  TSkBarSkinOptions read;
  read.LoadFromStrings(first);  // text we wrote must load
  Require(SameMatrix(read, skin));
  Require(read.SkinName() == skin.SkinName() && read.SkinAuthor() == skin.SkinAuthor());
  Require(read.ColorBtnFace() == skin.ColorBtnFace());
  ui::TStringList second;
  read.SaveToStrings(second);
  Require(second.ToVector() == first.ToVector());
}

void CheckSkinsList(const std::vector<std::wstring>& lines) {
  TSkBarSkinManager& manager = *SkBarSkinManager();
  TSkBarSkinsList& list = manager.SkinsList();
  const int count = list.Count();
  const int index = list.AddSkin(lines);
  if (index < 0) {
    Require(list.Count() == count);
    return;
  }
  const std::wstring name = list.Names(index);
  Require(!name.empty() && std::wstring(ui::Trim(name)) == name);
  try {
    manager.SetSkin(name);
  } catch (const ESkinError&) {
    Require(manager.CurrentSkinName() == L"Default");
  }
  manager.SetToDefaultSkin();
  list.Delete(index);
  Require(list.Count() == count);
}

// The one-pass view of the text that skins read holds what a lookup by name finds.
void CheckSections(const ui::TStrings& lines) {
  const ui::TIniFile ini(lines.ToVector());
  for (const auto& section : ini.Sections()) {
    Require(ini.ReadSection(section.name).size() == section.values.size());
    for (const auto& [ident, value] : section.values)
      Require(ini.Read(section.name, ident) == value);
  }
}

// Whether this input also gets the save round trip and the skins list, each of which loads
// and saves whole skins again: one input in kWholeChecksEvery, chosen by the input's bytes so
// that a failure reproduces.
bool ChecksEverything(const std::uint8_t* data, std::size_t size) {
  std::uint32_t hash = 2166136261u;
  for (std::size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 16777619u;
  return hash % kWholeChecksEvery == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  rtl::TMemoryStream bytes(std::vector<std::uint8_t>(data, data + size));
  ui::TStringList lines;
  lines.LoadFromStream(bytes);
  CheckSections(lines);
  TSkBarSkinOptions skin;
  try {
    skin.LoadFromStrings(lines);
  } catch (const ESkinError&) {
    return 0;
  }
  Require(skin.FloatingWindowBorderSizeField() >= 0 && skin.FloatingWindowBorderSizeField() <= 4);
  if (!ChecksEverything(data, size)) return 0;
  CheckRoundTrip(skin);
  CheckSkinsList(lines.ToVector());
  return 0;
}
