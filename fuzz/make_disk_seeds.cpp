// Writes the seed corpus of the disk image fuzzer: small images made through the model itself,
// cut after the first data clusters, and a few with hostile chains and entries, each behind a
// script of operations (the fuzzer's input is the script's length, the script, then the image).
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "disk/msx_disk.h"
#include "fuzz_util.h"
#include "rtl/stream.h"

namespace {

using disk::TDirEntry;
using disk::TMSXDisk;

constexpr std::size_t kSeedSize = 20480;  // boot sector, FATs, root and the first clusters

void AddFile(TMSXDisk& image, const wchar_t* name, std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 13 + size);
  rtl::TMemoryStream stream(std::move(bytes));
  image.Add(name, stream);
}

// A root with files of several sizes and a nested directory.
std::unique_ptr<TMSXDisk> Populated(bool doubleSided) {
  auto image = std::make_unique<TMSXDisk>();
  image->PrepareNewImage(doubleSided);
  image->AttachBootCode(disk::GetBootCode(1));
  AddFile(*image, L"EMPTY.TXT", 0);
  AddFile(*image, L"ONE.BIN", 1);
  AddFile(*image, L"PROGRAM.BAS", 1500);
  image->CreateSubDir("GAMES");
  image->ChangeDir("GAMES");
  AddFile(*image, L"GAME.ROM", 2100);
  image->CreateSubDir("SAVES");
  image->ChangeDir("SAVES");
  AddFile(*image, L"SLOT1.DAT", 300);
  image->ChangeDir("\\");
  return image;
}

// Opcodes as the fuzzer reads them (the opcode byte modulo 12), each with its argument bytes.
// Every script makes a directory, enters it, grows it past one cluster, deletes and renames there,
// goes back up, touches the boot sector and reloads.
const std::vector<std::uint8_t> kScript = {
    5,  0x44, 'S', 'U', 'B', 'D', 1,  // make "SUBD" and enter it
    1,  40,                           // forty small files: the directory grows
    2,  3,                            // delete one by name
    3,  5,                            // delete another entry
    4,  1,    1,                      // rename an entry to "b b.t xt"
    0,  0,    9,                      // add A.TXT of 2,313 bytes
    6,  1,                            // up
    4,  0,    2,                      // rename something to "." (refused)
    7,  1,                            // MSX-DOS 1 boot code
    7,  0x80,                         // erase it
    0,  3,    1,                      // add "a:.." (refused)
    10,                               // save and reload
    9,  0,                            // extract the first entry
};

void Write(const std::filesystem::path& folder, const std::string& name, const TMSXDisk& image,
           std::size_t size) {
  rtl::TMemoryStream stream;
  image.SaveToStream(stream);
  std::vector<std::uint8_t> bytes = stream.TakeBytes();
  if (bytes.size() > size) bytes.resize(size);
  bytes.insert(bytes.begin(), kScript.begin(), kScript.end());
  bytes.insert(bytes.begin(), static_cast<std::uint8_t>(kScript.size()));
  WriteSeed(folder / name, bytes);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;  // the corpus folder
  const std::filesystem::path folder = argv[1];
  Write(folder, "populated720", *Populated(true), kSeedSize);
  Write(folder, "populated360", *Populated(false), kSeedSize);
  Write(folder, "boot_sector_only", *Populated(true), 512);
  Write(folder, "new_image", *Populated(true), 0);

  const std::vector<std::pair<std::string, std::function<void(TMSXDisk&)>>> hostile{
      {"file_chain_cycle",
       [](TMSXDisk& image) {
         const std::int32_t first = image.Lookup("PROGRAM.BAS")->GetCluster();
         image.SetFatEntry(first + 1, first);
       }},
      {"directory_points_to_itself",
       [](TMSXDisk& image) {
         TDirEntry* games = image.Lookup("GAMES");
         image.ChangeDir("GAMES");
         image.Lookup("SAVES")->SetCluster(games->GetCluster());
         image.ChangeDir("\\");
       }},
      {"wild_clusters_and_sizes",
       [](TMSXDisk& image) {
         image.Lookup("ONE.BIN")->SetCluster(0xFFFF);
         image.Lookup("EMPTY.TXT")->Size = 0xFFFFFFFF;
         image.Lookup("PROGRAM.BAS")->SetCluster(1);
         image.SetFatEntry(0, 0);
       }},
      {"chain_into_free_cluster",
       [](TMSXDisk& image) {
         const std::int32_t first = image.Lookup("PROGRAM.BAS")->GetCluster();
         image.SetFatEntry(first, 600);
       }},
      {"directory_chain_cycle_and_reserved_link",
       [](TMSXDisk& image) {
         const std::int32_t games = image.Lookup("GAMES")->GetCluster();
         image.SetFatEntry(games, games);
         image.SetFatEntry(image.Lookup("PROGRAM.BAS")->GetCluster(), 0xFF3);
         image.SetFatEntry(0, 0);
         image.SetFatEntry(1, 0);
       }},
      {"dot_entries_missing_or_elsewhere",
       [](TMSXDisk& image) {
         auto* slots = reinterpret_cast<TDirEntry*>(
             image.GetDataPointer(image.Lookup("GAMES")->GetCluster()));
         slots[0].Init(false);
         slots[1].ClusterLow = 0x700;
       }},
      {"garbage_after_the_end_marker",
       [](TMSXDisk& image) {
         TDirEntry* entries = image.GetDirEntry(0);
         entries[5].Init(false);
         std::memcpy(entries[6].Name, "GHOST   BIN", 11);
         entries[6].ClusterLow = 3;
         entries[6].Size = 1;
         entries[0].Attr = disk::faLongName;
       }},
      {"odd_names_and_long_name_slots", [](TMSXDisk& image) {
         TDirEntry* entries = image.GetDirEntry(0);
         std::memcpy(entries[0].Name, "..\\CON  ", 8);
         std::memcpy(entries[1].Name, "lower   ", 8);
         entries[2].Attr = disk::faLongName;
         entries[5] = entries[3];
         entries[5].Name[0] = 0x05;
       }}};
  for (const auto& [name, damage] : hostile) {
    auto image = Populated(true);
    damage(*image);
    Write(folder, name, *image, kSeedSize);
  }
  return 0;
}
