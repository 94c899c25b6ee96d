// Records shared by the whole track library: result codes, the four encoding numberings, the
// floppy with its cylinders and track sides, and the sector record.
#pragma once

#include <cstdint>
#include <memory>

#include "hfe/lib_memory.h"

namespace hfe {

// Integer results of the library's operations.
inline constexpr int kOk = 0;
inline constexpr int kIoError = -1;
inline constexpr int kBadFile = -2;
inline constexpr int kReadErrors = -3;
inline constexpr int kBadParameter = -4;
inline constexpr int kLimitReached = -5;
inline constexpr int kNoExportSupport = -6;

// Encoding of a whole track side, as stored in an HFE header and in side records. Files may hold
// any value; the named ones are those the library knows.
enum class TrackEncoding : std::int32_t {
  IsoIbmMfm = 0,
  AmigaMfm = 1,
  IsoIbmFm = 2,
  EmuFm = 3,
};

// Encoding argument of the sector search and read operations.
enum class SectorSearch : std::int32_t {
  IsoIbmMfm = 0,
  IsoIbmFm = 2,
};

// Encoding field of a decoded sector record.
enum class SectorEncoding : std::int32_t {
  None = 0,
  IsoIbmFm = 3,
  IsoIbmMfm = 4,
};

// Row of the track generator's format table (the builder's "track format").
enum class TrackFormat : std::int32_t {
  IsoIbmFm = 1,
  IsoIbmMfm = 2,
};

// One side of one track: a ring of cells, 8 per byte, first cell in the most significant bit.
struct TSide : TLibRecord {
  std::int32_t sectorCount = -1;
  TLibVector<std::uint8_t> cellData;
  std::int32_t bitRate = 0;
  TLibVector<std::uint32_t> timing;     // optional bit rate per cell byte
  TLibVector<std::uint8_t> flakeyBits;  // optional mask of unstable cells
  TLibVector<std::uint8_t> indexMap;    // one byte per cell byte; non-zero under the index pulse
  TrackEncoding trackEncoding = TrackEncoding::IsoIbmMfm;
  std::int32_t trackLength = 0;  // cells; never more than cellData holds
};

struct TCylinder : TLibRecord {
  std::uint16_t rpm = 0;
  std::int32_t sideCount = 0;
  TLibVector<std::unique_ptr<TSide>> sides;  // sideCount entries, each possibly empty
};

struct TFloppy : TLibRecord {
  std::int32_t bitRate = 0;  // -1: differs between tracks
  std::int32_t sideCount = 0;
  std::int32_t trackCount = 0;
  std::int32_t sectorsPerTrack = -1;
  std::int32_t interfaceType = 0;
  std::int32_t doubleStep = 0;
  TLibVector<std::unique_ptr<TCylinder>> cylinders;  // trackCount entries, each possibly empty

  // The side record of a track side, or null when any part of it is missing.
  const TSide* Side(std::int32_t track, std::int32_t side) const;
  TSide* Side(std::int32_t track, std::int32_t side);
};

// How the generator writes a CRC field of a sector.
enum class CrcMode : std::uint8_t {
  Computed,  // the correct CRC
  Stored,    // the value kept in the record
  Wrong,     // the correct CRC with some bits flipped, to make a damaged sector
};

// A sector: filled by the sector parsers when decoding, and by the builder for sectors to write.
struct TSectorConfig : TLibRecord {
  std::int32_t head = 0;
  std::int32_t sector = 0;
  std::int32_t order = 0;
  std::int32_t cylinder = 0;
  std::int32_t size = 0;
  std::uint16_t sizeCode = 0;
  bool useSizeCode = false;         // builder: write sizeCode instead of deriving it from size
  std::int32_t headerCrcError = 0;  // 0xFF when the identity field's CRC is wrong
  std::int32_t dataCrc = 0;
  std::int32_t dataCrcError = 0;  // 0xFF when the data field's CRC is wrong
  std::int32_t headerCrc = 0;
  std::int32_t useDataMark = 0;  // 0xFF when a data mark was found (or is to be written)
  std::int32_t dataMark = 0xFB;
  std::int32_t useIdMark = 0;
  std::int32_t idMark = 0xFE;
  std::int32_t startCell = 0;
  std::int32_t dataStartCell = 0;
  std::int32_t endCell = 0;
  SectorEncoding encoding = SectorEncoding::None;
  std::int32_t gap3 = 0;
  std::int32_t bitRate = 0;
  TLibVector<std::uint8_t> data;  // size bytes when the data field was decoded
  std::uint8_t fillByte = 0;
  std::uint8_t fillFlag = 0;  // 0xFF when every data byte equals fillByte

  // Builder-only fields.
  TrackFormat trackFormat = TrackFormat::IsoIbmMfm;
  CrcMode headerCrcMode = CrcMode::Computed;
  CrcMode dataCrcMode = CrcMode::Computed;
  bool hasHeader() const { return useIdMark != 0; }
};

}  // namespace hfe
