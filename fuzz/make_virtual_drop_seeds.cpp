// Writes the seed corpus of the virtual-drop fuzzer: scripts for a folder with files, nested and
// climbing paths, names with colons, dots and blanks, short, long and missing streams, and a
// descriptor block as another program would send it.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "app/files/file_descriptor.h"
#include "fuzz_util.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Item {
  std::uint8_t flags;
  std::uint8_t attributes;
  std::uint16_t size;
  const wchar_t* name;
  std::uint8_t
      stream;  // low 2 bits: 0 exact, 1 longer, 2 shorter, 3 missing; the rest: by how much
};

Bytes Script(const std::vector<Item>& items, std::uint8_t setup) {
  Bytes bytes = {static_cast<std::uint8_t>(items.size())};
  for (const Item& item : items) {
    const std::wstring name = item.name;
    bytes.insert(bytes.end(), {item.flags, item.attributes, static_cast<std::uint8_t>(item.size),
                               static_cast<std::uint8_t>(item.size >> 8), 0, 0x10, 0x20,
                               static_cast<std::uint8_t>(name.size())});
    for (const wchar_t c : name)
      bytes.push_back(static_cast<std::uint8_t>(kDropNameAlphabet.find(c)));
    bytes.push_back(item.stream);
  }
  bytes.insert(bytes.end(), {setup, 0x00, 0x40});
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  constexpr std::uint8_t kAll = app::files::kFdAllOffered;
  const std::vector<app::files::TFileDescriptor> block = {
      {kAll, 0x10, 0, 0, 0, 0, L"Folder"}, {kAll, 0x20, 0, 0, 0, 5, L"Folder\\file.txt"}};
  const std::vector<Bytes> seeds = {
      Script({{kAll, 0x10, 0, L"aB", 0},
              {kAll, 0x20, 300, L"aB\\z.1", 0},
              {kAll, 0x20, 40, L"aB/B B/~1", 4 << 2 | 1},
              {kAll, 0x20, 40, L"z", 4 << 2 | 2},
              {kAll, 0x20, 1, L"zz", 3}},
             0),
      Script({{kAll, 0x20, 5, L"a:..", 0},
              {kAll, 0x10, 0, L"a:.", 0},
              {kAll, 0x20, 5, L"..\\a", 0},
              {kAll, 0x20, 5, L" . ", 0},
              {kAll, 0x20, 5, L"a\u00e5.\u0416\u3042", 0},
              {0, 0x10, 0, L"B", 8 << 2}},
             6),
      Script({{kAll, 0x20, 0xFFFF, L"big", 0}, {kAll, 0x20, 0xFFFF, L"big2", 0}}, 3),
      app::files::EncodeFileGroupDescriptor(block),
  };
  int index = 0;
  for (const Bytes& seed : seeds)
    WriteSeed(std::filesystem::path(argv[1]) / ("seed" + std::to_string(index++)), seed);
  return 0;
}
