// Inputs of the track-image timings: a random 720 KB disk and hostile files built for maximum
// work, shared by the benchmarks and the timing program that runs under Wine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <random>
#include <stdexcept>
#include <vector>

#include "disk/msx_disk.h"
#include "hfe/cell_tables.h"
#include "hfe/mfm_codec.h"

namespace hfe_bench {

using Bytes = std::vector<std::uint8_t>;

inline Bytes RandomBytes(std::size_t count) {
  std::mt19937 random(1234);
  Bytes bytes(count);
  for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random());
  return bytes;
}

inline std::unique_ptr<disk::TMSXDisk> RandomDisk() {
  Bytes image = RandomBytes(disk::kImageCapacity);
  image[21] = 0xF9;
  auto disk = std::make_unique<disk::TMSXDisk>();
  if (!disk->LoadFromBuffer(image, "bench.dsk")) throw std::runtime_error("load failed");
  return disk;
}

// Repeated byte runs of hostile sides (0xA1 is written as the sync word): identity fields whose
// own CRC is the next field's sync, none with an id that is read; identity fields whose id is
// the next field's sync and mark (one every four bytes); identity fields of 16 KB sectors, each
// followed at once by a data mark; nothing but sync words.
inline const Bytes kDenseIdentities = {0xA1, 0xA1, 0xA1, 0xFE, 0, 0, 0x55};
inline const Bytes kOverlappingIdentities = {0xA1, 0xA1, 0xA1, 0xFE};
inline const Bytes kLongSectors = {0xA1, 0xA1, 0xA1, 0xFE, 0,    0,    1,
                                   7,    0,    0,    0xA1, 0xA1, 0xA1, 0xFB};
inline const Bytes kAllSync = {0xA1};
// Three sync words followed by a byte that is no address mark, one every four bytes.
inline const Bytes kOtherMarks = {0xA1, 0xA1, 0xA1, 0x00};
// Identity fields of sector 1 whose damaged CRCs differ from one field to the next, so that each
// is checked on its own.
inline const Bytes kDamagedWantedIdentities = [] {
  Bytes unit;
  for (std::uint8_t cylinder = 0; cylinder < 16; ++cylinder)
    unit.insert(unit.end(), {0xA1, 0xA1, 0xA1, 0xFE, cylinder, 0, 1, 2, 0, 0});
  return unit;
}();

// MFM cells of a repeated run of bytes, with 0xA1 written as the sync word.
inline Bytes MfmSide(const Bytes& unit) {
  Bytes cells(32768);
  hfe::TMfmEncoder encoder{hfe::TCellWriter(cells, 32768 * 8), 0};
  for (std::size_t written = 0; written < 16384; written += unit.size())
    for (std::uint8_t byte : unit)
      hfe::mfmEncodeRepeated(encoder, byte, byte == 0xA1 ? 0x0A : 0xFF, 1);
  return cells;
}

// An 80-track, two-sided file whose every side is the cells of `unit` repeated, as long as the
// format allows.
inline Bytes HostileFile(const Bytes& unit) {
  const Bytes side = MfmSide(unit);
  const std::size_t half = 32768;
  Bytes file(1024, 0xFF);
  std::memcpy(file.data(), "HXCPICFE", 8);
  const std::uint8_t header[] = {0, 80, 2, 0, 0xFA, 0, 0, 0, 7, 1, 1, 0};
  std::memcpy(file.data() + 8, header, sizeof header);
  for (std::size_t track = 0; track < 80; ++track) {
    const std::size_t block = 2 + track * 128;
    const std::uint8_t entry[] = {static_cast<std::uint8_t>(block),
                                  static_cast<std::uint8_t>(block >> 8), 0xFF, 0xFF};
    std::memcpy(file.data() + 512 + track * 4, entry, 4);
  }
  for (std::size_t track = 0; track < 80; ++track)
    for (std::size_t block = 0; block < half / 256; ++block)
      for (int copy = 0; copy < 2; ++copy)
        for (std::size_t i = 0; i < 256; ++i)
          file.push_back(hfe::kBitReverse[side[(block * 256 + i) % side.size()]]);
  return file;
}

}  // namespace hfe_bench
