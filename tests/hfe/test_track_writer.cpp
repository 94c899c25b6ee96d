#include "test_track_writer.h"

#include <algorithm>
#include <random>

namespace hfe_test {

std::uint16_t BitwiseCrc(const Bytes& bytes, std::uint16_t polynomial, std::uint16_t initial) {
  std::uint16_t crc = initial;
  for (std::uint8_t byte : bytes) {
    for (int bit = 7; bit >= 0; --bit) {
      const bool top = ((crc >> 15) & 1) != ((byte >> bit) & 1);
      crc = static_cast<std::uint16_t>(crc << 1);
      if (top) crc ^= polynomial;
    }
  }
  return crc;
}

std::uint8_t Reversed(std::uint8_t byte) {
  std::uint8_t out = 0;
  for (int bit = 0; bit < 8; ++bit)
    if (byte & (1 << bit)) out = static_cast<std::uint8_t>(out | (0x80 >> bit));
  return out;
}

void TMfmTrack::Cell(int value) {
  if (cells_ % 8 == 0) bytes_.push_back(0);
  if (value) bytes_.back() = static_cast<std::uint8_t>(bytes_.back() | (0x80 >> (cells_ % 8)));
  ++cells_;
}

void TMfmTrack::Byte(std::uint8_t value) {
  for (int bit = 7; bit >= 0; --bit) {
    const int data = (value >> bit) & 1;
    Cell(data == 0 && previous_ == 0 ? 1 : 0);
    Cell(data);
    previous_ = data;
  }
}

void TMfmTrack::Bytes(const hfe_test::Bytes& values) {
  for (std::uint8_t value : values) Byte(value);
}

void TMfmTrack::Run(std::uint8_t value, int count) {
  for (int i = 0; i < count; ++i) Byte(value);
}

void TMfmTrack::SyncA1() {
  for (int bit = 15; bit >= 0; --bit) Cell((0x4489 >> bit) & 1);
  previous_ = 1;
}

void TMfmTrack::Sector(const TTestSector& sector, int gap3) {
  Run(0x00, 12);
  for (int i = 0; i < 3; ++i) SyncA1();
  hfe_test::Bytes id = {0xA1, 0xA1, 0xA1, 0xFE, sector.c, sector.h, sector.r, sector.n};
  std::uint16_t crc = BitwiseCrc(id);
  if (sector.badHeaderCrc) crc ^= 0x0101;
  Bytes({0xFE, sector.c, sector.h, sector.r, sector.n, static_cast<std::uint8_t>(crc >> 8),
         static_cast<std::uint8_t>(crc)});
  Run(0x4E, 22);
  if (sector.withDataField) {
    Run(0x00, 12);
    for (int i = 0; i < 3; ++i) SyncA1();
    hfe_test::Bytes field = {0xA1, 0xA1, 0xA1, 0xFB};
    field.insert(field.end(), sector.data.begin(), sector.data.end());
    crc = BitwiseCrc(field);
    if (sector.badDataCrc) crc ^= 0x8000;
    Byte(0xFB);
    Bytes(sector.data);
    Bytes({static_cast<std::uint8_t>(crc >> 8), static_cast<std::uint8_t>(crc)});
  } else {
    Run(0x4E, 12 + 3 + 1 + static_cast<int>(sector.data.size()) + 2);
  }
  Run(0x4E, gap3);
}

hfe_test::Bytes TMfmTrack::Finish(std::size_t cellBytes) {
  while (bytes_.size() < cellBytes) Byte(0x4E);
  bytes_.resize(cellBytes);
  return bytes_;
}

Bytes TrackSide(const std::vector<TTestSector>& sectors) {
  TMfmTrack track;
  track.Run(0x4E, 60);
  for (const auto& sector : sectors) track.Sector(sector, 40);
  return track.Finish(kTestSideBytes);
}

Bytes ImageTrackSide(const Bytes& image, int sides, int cylinder, int head) {
  std::vector<TTestSector> sectors;
  for (int id = 1; id <= 9; ++id) {
    const auto offset = static_cast<std::ptrdiff_t>(((cylinder * sides + head) * 9 + id - 1) * 512);
    sectors.push_back({static_cast<std::uint8_t>(cylinder), static_cast<std::uint8_t>(head),
                       static_cast<std::uint8_t>(id), 2,
                       Bytes(image.begin() + offset, image.begin() + offset + 512)});
  }
  return TrackSide(sectors);
}

Bytes HfeFile(int tracks, const std::function<Bytes(int, int)>& side) {
  const std::size_t blocksPerTrack = kTestSideBytes * 2 / 512;
  const std::size_t length = kTestSideBytes * 2;
  Bytes file(1024, 0xFF);
  const Bytes header = {
      'H', 'X', 'C', 'P', 'I', 'C', 'F', 'E', 0, static_cast<std::uint8_t>(tracks),
      2,   0,   250, 0,   44,  1,   9,   1,   1, 0};
  std::copy(header.begin(), header.end(), file.begin());
  for (std::size_t track = 0; track < static_cast<std::size_t>(tracks); ++track) {
    const std::size_t block = 2 + track * blocksPerTrack;
    const Bytes entry = {static_cast<std::uint8_t>(block), static_cast<std::uint8_t>(block >> 8),
                         static_cast<std::uint8_t>(length), static_cast<std::uint8_t>(length >> 8)};
    std::copy(entry.begin(), entry.end(),
              file.begin() + 512 + static_cast<std::ptrdiff_t>(track * 4));
    Bytes halves[2];
    for (int s = 0; s < 2; ++s) {
      halves[s] = side(static_cast<int>(track), s);
      halves[s].resize(kTestSideBytes, 0);
    }
    for (std::size_t b = 0; b < blocksPerTrack; ++b)
      for (int s = 0; s < 2; ++s)
        for (std::size_t i = 0; i < 256; ++i) file.push_back(Reversed(halves[s][b * 256 + i]));
  }
  return file;
}

Bytes RandomBytes(std::size_t count, std::uint32_t seed) {
  std::mt19937 random(seed);
  Bytes bytes(count);
  for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random());
  return bytes;
}

Bytes RandomImage(int sides, std::uint32_t seed) {
  Bytes image = RandomBytes(static_cast<std::size_t>(sides) * 368640, seed);
  image[21] = sides == 2 ? 0xF9 : 0xF8;
  return image;
}

}  // namespace hfe_test
