// Track layout: format rows, gap table, length arithmetic (all in integers, so every build lays
// out the same cells) and the encoding of the laid-out bytes.
#include "hfe/track_generator.h"

#include <algorithm>
#include <array>
#include <numeric>

#include "hfe/crc16.h"
#include "hfe/fm_codec.h"
#include "hfe/mfm_codec.h"

namespace hfe {

namespace {

// A run of one byte; `clock` is a clock mask for MFM formats and a clock byte for FM formats.
struct TRun {
  std::uint8_t byte = 0;
  std::uint8_t clock = 0xFF;
  std::int32_t count = 0;
};

// How a format's bytes become cells: MFM with a clock mask per byte, FM with a clock byte, or no
// coding at all: such a side is as long as its layout at 16 cells per byte, every cell 0.
enum class TCoding : std::uint8_t { Mfm, Fm, Blank };

struct TFormatRow {
  TrackFormat format;
  TCoding coding;
  TRun gap4a, sync, indexSync, indexMark, gap1, syncBeforeId, syncBeforeData, idSync, idMark, gap2,
      dataSync, dataMark, gap3, gap4b;
  bool hasC, hasH, hasR, hasN;
  std::uint16_t crcPolynomial, crcInitial;

  constexpr bool Fm() const { return coding == TCoding::Fm; }
};

constexpr TrackFormat Format(int code) {
  return static_cast<TrackFormat>(code);
}

// Runs shared by the rows: FM marks carry clock 0xC7 (0xD7 for the index mark) and no sync
// words; MFM marks follow three 0xA1 sync bytes whose clock mask 0x0A gives the cells 0x4489.
constexpr TRun kNone{0x00, 0xFF, 0};
constexpr TRun kFmSync{0x00, 0xFF, 6};
constexpr TRun kFmIndexMark{0xFC, 0xD7, 1};
constexpr TRun kFmIdMark{0xFE, 0xC7, 1};
constexpr TRun kFmDataMark{0xFB, 0xC7, 1};
constexpr TRun kFmDeletedMark{0xF8, 0xC7, 1};
constexpr TRun kMfmSync{0x00, 0xFF, 12};
constexpr TRun kMfmIndexSync{0xC2, 0x14, 3};
constexpr TRun kMfmIndexMark{0xFC, 0xFF, 1};
constexpr TRun kA1Sync{0xA1, 0x0A, 3};
constexpr TRun kMfmIdMark{0xFE, 0xFF, 1};
constexpr TRun kMfmDataMark{0xFB, 0xFF, 1};
constexpr TRun kMfmDeletedMark{0xF8, 0xFF, 1};

constexpr TRun Gap(std::uint8_t byte, std::int32_t count) {
  return {byte, 0xFF, count};
}

// ISO/IBM FM (format 1) with another format code, coding and data mark.
constexpr TFormatRow FmRow(int code, TCoding coding, const TRun& dataMark) {
  return {Format(code),  coding,   Gap(0xFF, 40), kFmSync,        kNone,     kFmIndexMark,
          Gap(0xFF, 26), kFmSync,  kFmSync,       kNone,          kFmIdMark, Gap(0xFF, 11),
          kNone,         dataMark, Gap(0xFF, 27), Gap(0xFF, 255), true,      true,
          true,          true,     0x1021,        0xFFFF};
}

// ISO/IBM MFM (format 2) with another format code and data mark.
constexpr TFormatRow MfmRow(int code, const TRun& dataMark) {
  return {Format(code),  TCoding::Mfm, Gap(0x4E, 80), kMfmSync,       kMfmIndexSync, kMfmIndexMark,
          Gap(0x4E, 50), kMfmSync,     kMfmSync,      kA1Sync,        kMfmIdMark,    Gap(0x4E, 22),
          kA1Sync,       dataMark,     Gap(0x4E, 80), Gap(0x4E, 255), true,          true,
          true,          true,         0x1021,        0xFFFF};
}

constexpr TFormatRow WithoutHead(TFormatRow row) {
  row.hasH = false;
  return row;
}

constexpr TFormatRow WithCrc(TFormatRow row, std::uint16_t polynomial, std::uint16_t initial) {
  row.crcPolynomial = polynomial;
  row.crcInitial = initial;
  return row;
}

// ISO FM without an index mark (format 3): a short gap 4a, then the sectors.
constexpr TFormatRow kFmNoIndex{
    Format(3), TCoding::Fm, Gap(0xFF, 16), kNone,          kNone,     kNone,
    kNone,     kFmSync,     kFmSync,       kNone,          kFmIdMark, Gap(0xFF, 11),
    kNone,     kFmDataMark, Gap(0xFF, 27), Gap(0xFF, 255), true,      true,
    true,      true,        0x1021,        0xFFFF};
// ISO MFM without an index mark (format 4): gap 4a of 60 bytes, then the sectors.
constexpr TFormatRow kMfmNoIndex{
    Format(4), TCoding::Mfm, Gap(0x4E, 60), kNone,          kNone,      kNone,
    kNone,     kMfmSync,     kMfmSync,      kA1Sync,        kMfmIdMark, Gap(0x4E, 22),
    kA1Sync,   kMfmDataMark, Gap(0x4E, 84), Gap(0x4E, 255), true,       true,
    true,      true,         0x1021,        0xFFFF};
// Compact MFM for 10 and 11 sectors of 512 bytes (format 5): no index mark, short sync runs and
// gap 2.
constexpr TFormatRow kMfmCompact{
    Format(5), TCoding::Mfm, Gap(0x4E, 32), kNone,          kNone,      kNone,
    kNone,     Gap(0x00, 8), Gap(0x00, 8),  kA1Sync,        kMfmIdMark, Gap(0x4E, 16),
    kA1Sync,   kMfmDataMark, Gap(0x4E, 2),  Gap(0x4E, 255), true,       true,
    true,      true,         0x1021,        0xFFFF};
// Records of two sync words (cells 0x4489 0x4489) with 0x00 gaps (format 6): the identity field,
// mark 0xFF, and the data field follow each other without a gap.
constexpr TFormatRow kMfmTwoSync{
    Format(6),       TCoding::Mfm, Gap(0x00, 40), kNone,        kNone,
    kNone,           kNone,        Gap(0x00, 2),  kNone,        {0xA1, 0x0A, 2},
    {0xFF, 0xFF, 1}, kNone,        kNone,         kMfmDataMark, Gap(0x00, 16),
    Gap(0x00, 255),  true,         true,          true,         true,
    0x1021,          0xFFFF};
// Formats 9-13 (format 9 is E-mu FM), which the byte encoder writes neither as FM nor as MFM:
// their length comes from an FM layout counted at 16 cells per byte; their cells stay 0.
constexpr TFormatRow Blank(int code) {
  return FmRow(code, TCoding::Blank, kFmDataMark);
}
// FM with 0x00 gaps and no index mark (format 17).
constexpr TFormatRow kFmZeroGaps{
    Format(17), TCoding::Fm, Gap(0x00, 16), kNone,          kNone,     kNone,
    kNone,      kFmSync,     kFmSync,       kNone,          kFmIdMark, Gap(0x00, 11),
    kNone,      kFmDataMark, Gap(0x00, 27), Gap(0x00, 255), true,      true,
    true,       true,        0x1021,        0xFFFF};

// Indexed by format code - 1.
constexpr std::array<TFormatRow, 18> kFormatRows = {{
    FmRow(1, TCoding::Fm, kFmDataMark),                // ISO/IBM FM
    MfmRow(2, kMfmDataMark),                           // ISO/IBM MFM
    kFmNoIndex,                                        // ISO FM without index mark
    kMfmNoIndex,                                       // ISO MFM without index mark
    kMfmCompact,                                       // compact MFM
    kMfmTwoSync,                                       // two-sync-word MFM records
    WithoutHead(FmRow(7, TCoding::Fm, kFmDataMark)),   // FM, identity C R N
    WithCrc(MfmRow(8, kMfmDataMark), 0x1021, 0x0000),  // MFM, CRC register not preset
    Blank(9), Blank(10), Blank(11), Blank(12), Blank(13),
    WithoutHead(MfmRow(14, kMfmDataMark)),              // MFM, identity C R N
    WithCrc(MfmRow(15, kMfmDataMark), 0x8005, 0x0000),  // MFM, CRC-16 polynomial 0x8005
    MfmRow(16, kMfmDeletedMark),                        // MFM, deleted-data marks
    kFmZeroGaps,                                        // FM with 0x00 gaps
    FmRow(18, TCoding::Fm, kFmDeletedMark),             // FM, deleted-data marks
}};

constexpr bool RowsInCodeOrder() {
  for (std::size_t i = 0; i < kFormatRows.size(); ++i)
    if (static_cast<std::size_t>(kFormatRows[i].format) != i + 1) return false;
  return true;
}
static_assert(RowsInCodeOrder());

struct TGapRow {
  TrackFormat format;
  std::int32_t size;
  std::size_t count;
  std::int32_t gap3;
};

constexpr TrackFormat kMfm = TrackFormat::IsoIbmMfm;
constexpr TrackFormat kFm = TrackFormat::IsoIbmFm;

constexpr TGapRow kGapTable[] = {
    {kMfm, 256, 18, 12},       {kMfm, 256, 16, 50},      {kMfm, 512, 8, 80},
    {kMfm, 512, 9, 80},        {kMfm, 1024, 4, 240},     {kMfm, 2048, 2, 240},
    {kMfm, 4096, 1, 240},      {kMfm, 256, 26, 54},      {kMfm, 512, 15, 84},
    {kMfm, 512, 18, 108},      {kMfm, 1024, 8, 116},     {kMfm, 2048, 4, 240},
    {kMfm, 4096, 2, 240},      {kMfm, 8192, 1, 240},     {kMfm, 512, 36, 83},
    {kFm, 128, 26, 27},        {kFm, 512, 8, 58},        {Format(3), 128, 26, 27},
    {Format(3), 256, 10, 18},  {Format(3), 128, 16, 30}, {Format(3), 512, 8, 58},
    {Format(4), 512, 9, 84},   {Format(4), 512, 10, 40}, {Format(4), 256, 16, 50},
    {Format(4), 1024, 5, 116}, {Format(4), 512, 18, 84}, {Format(4), 1024, 4, 240},
};

const TFormatRow* RowOf(TrackFormat format) {
  const auto code = static_cast<std::int32_t>(format);
  if (code < 1 || code > static_cast<std::int32_t>(kFormatRows.size())) return nullptr;
  return &kFormatRows[static_cast<std::size_t>(code - 1)];
}

constexpr std::int64_t kUnitsPerRevolutionAt300 = 20000;  // units of 10 microseconds

// Time of `bytes` bytes in units of 10 microseconds, to the nearest unit.
std::int64_t UnitsOf(std::int64_t bytes, bool fm, std::int64_t bitRate) {
  if (bitRate <= 0) return 0;
  const std::int64_t perByte = fm ? 1600000 : 800000;
  return (bytes * perByte + bitRate / 2) / bitRate;
}

std::int32_t IdentityFieldBytes(const TFormatRow& row) {
  return (row.hasC ? 1 : 0) + (row.hasH ? 1 : 0) + (row.hasR ? 1 : 0) + (row.hasN ? 1 : 0);
}

std::int64_t PrologueBytes(const TFormatRow& row, const TTrackContext& context) {
  return row.gap4a.count + context.preIndexGap + row.sync.count + row.indexSync.count +
         row.indexMark.count + row.gap1.count;
}

// The estimate's bytes of a sector, its gap 3 not counted.
std::int64_t SectorBytesWithoutGap(const TFormatRow& row, const TSectorConfig& sector) {
  return row.syncBeforeId.count + row.idSync.count + row.idMark.count + row.gap2.count +
         row.syncBeforeData.count + row.dataSync.count + row.dataMark.count + 4 + sector.size + 2 +
         IdentityFieldBytes(row);
}

std::int32_t EffectiveGap3(const TSectorConfig& sector) {
  return sector.gap3 == 255 ? 0 : sector.gap3;
}

// Slot order of the sectors: slot s holds sectors[order[s]].
std::vector<std::size_t> SectorOrder(const TTrackContext& context) {
  const std::size_t count = context.sectors.size();
  std::vector<std::size_t> order(count);
  if (count == 0) return order;
  std::vector<bool> taken(count, false);
  const auto modulo = static_cast<std::int64_t>(count);
  std::size_t slot = static_cast<std::size_t>(((context.skew % modulo) + modulo) % modulo);
  const auto step = static_cast<std::size_t>(((context.interleave % modulo) + modulo) % modulo);
  for (std::size_t sector = 0; sector < count; ++sector) {
    while (taken[slot]) slot = (slot + 1) % count;
    order[slot] = sector;
    taken[slot] = true;
    slot = (slot + step) % count;
  }
  return order;
}

// Gap 3 of every sector: from the gap table when all ask for it to be computed, else an equal
// share of the time the other fields leave.
void ResolveGap3(const TFormatRow& row, const TTrackContext& context, std::int64_t trackUnits,
                 std::vector<TSectorConfig>& sectors) {
  if (sectors.empty()) return;
  const bool allComputed = std::all_of(sectors.begin(), sectors.end(),
                                       [](const TSectorConfig& s) { return s.gap3 == 255; });
  if (allComputed) {
    if (const auto gap = LookupGap3(sectors[0].trackFormat, sectors[0].size, sectors.size())) {
      for (auto& sector : sectors) sector.gap3 = *gap;
      return;
    }
  }
  std::int64_t used = UnitsOf(PrologueBytes(row, context), row.Fm(), context.bitRate);
  if (context.indexFlag == 0) used += context.indexPulses[0].lengthUs / 10;
  std::int64_t open = 0;
  for (const auto& sector : sectors) {
    used += UnitsOf(SectorBytesWithoutGap(row, sector) + EffectiveGap3(sector), row.Fm(),
                    sector.bitRate);
    if (sector.gap3 == 255) ++open;
  }
  if (open == 0) return;
  const std::int64_t share = std::max<std::int64_t>(trackUnits - used, 0) / open;
  for (auto& sector : sectors) {
    if (sector.gap3 != 255) continue;
    const std::int64_t bytes = share * sector.bitRate / 100000 / (row.Fm() ? 16 : 8);
    sector.gap3 = static_cast<std::int32_t>(std::clamp<std::int64_t>(bytes, 0, 200));
  }
}

std::int64_t TrackCells(const TFormatRow& row, const TTrackContext& context,
                        const std::vector<TSectorConfig>& sectors, std::int64_t trackUnits) {
  const std::int64_t cellsPerByte = row.Fm() ? 32 : 16;
  const std::int64_t prologue = PrologueBytes(row, context);
  std::int64_t cells = prologue * cellsPerByte;
  std::int64_t units = UnitsOf(prologue, row.Fm(), context.bitRate);
  for (const auto& sector : sectors) {
    const std::int64_t bytes = SectorBytesWithoutGap(row, sector) + EffectiveGap3(sector);
    cells += bytes * cellsPerByte;
    units += UnitsOf(bytes, row.Fm(), sector.bitRate);
  }
  const std::int64_t remaining = std::max<std::int64_t>(trackUnits - units, 0);
  cells += remaining * context.bitRate / 50000;
  return (cells + 31) / 32 * 32;
}

class TByteEncoder {
 public:
  TByteEncoder(TSide& side, bool fm)
      : side_(side),
        fm_(fm),
        mfm_{TCellWriter(side.cellData, side.trackLength), 0},
        fmWriter_(side.cellData, side.trackLength) {}

  void Run(const TRun& run, std::int64_t count) {
    if (count <= 0) return;
    if (fm_) {
      fmEncodeWithClock(fmWriter_, run.byte, run.clock, static_cast<std::int32_t>(count));
    } else {
      mfmEncodeRepeated(mfm_, run.byte, run.clock, static_cast<std::int32_t>(count));
    }
    cellsWritten_ += count * (fm_ ? 32 : 16);
  }
  void Run(const TRun& run) { Run(run, run.count); }
  void Byte(std::uint8_t byte, std::uint8_t clock = 0xFF) { Run({byte, clock, 1}); }
  void Bytes(std::span<const std::uint8_t> bytes) {
    if (fm_) {
      fmEncode(fmWriter_, bytes);
    } else {
      mfmEncode(mfm_, bytes);
    }
    cellsWritten_ += static_cast<std::int64_t>(bytes.size()) * (fm_ ? 32 : 16);
  }
  std::int64_t CellsWritten() const { return cellsWritten_; }
  std::int64_t BytesLeft() const {
    return std::max<std::int64_t>(side_.trackLength - cellsWritten_, 0) / (fm_ ? 32 : 16);
  }

 private:
  TSide& side_;
  bool fm_;
  TMfmEncoder mfm_;
  TCellWriter fmWriter_;
  std::int64_t cellsWritten_ = 0;
};

void CrcOfRun(TCrc16& crc, const TRun& run) {
  for (std::int32_t i = 0; i < run.count; ++i) crc.Update(run.byte);
}

void WriteCrc(TByteEncoder& encoder, const TCrc16& crc, CrcMode mode, std::int32_t stored,
              std::uint8_t flipHigh, std::uint8_t flipLow) {
  std::uint8_t high = crc.High();
  std::uint8_t low = crc.Low();
  if (mode == CrcMode::Stored) {
    high = static_cast<std::uint8_t>(stored >> 8);
    low = static_cast<std::uint8_t>(stored);
  } else if (mode == CrcMode::Wrong) {
    high ^= flipHigh;
    low ^= flipLow;
  }
  encoder.Byte(high);
  encoder.Byte(low);
}

void WriteSector(const TFormatRow& row, const TSectorConfig& sector, TByteEncoder& encoder) {
  encoder.Run(row.syncBeforeId);
  encoder.Run(row.idSync);
  const auto idMark = static_cast<std::uint8_t>(sector.useIdMark ? sector.idMark : row.idMark.byte);
  encoder.Byte(idMark, row.idMark.clock);
  std::vector<std::uint8_t> identity;
  if (row.hasC) identity.push_back(static_cast<std::uint8_t>(sector.cylinder));
  if (row.hasH) identity.push_back(static_cast<std::uint8_t>(sector.head));
  if (row.hasR) identity.push_back(static_cast<std::uint8_t>(sector.sector));
  if (row.hasN)
    identity.push_back(
        static_cast<std::uint8_t>(sector.useSizeCode ? sector.sizeCode : SizeCodeOf(sector.size)));
  encoder.Bytes(identity);
  TCrc16 idCrc(row.crcPolynomial, row.crcInitial);
  CrcOfRun(idCrc, row.idSync);
  idCrc.Update(idMark);
  idCrc.Update(identity);
  WriteCrc(encoder, idCrc, sector.headerCrcMode, sector.headerCrc, 0x13, 0x17);
  encoder.Run(row.gap2);
  encoder.Run(row.syncBeforeData);
  encoder.Run(row.dataSync);
  const auto dataMark =
      static_cast<std::uint8_t>(sector.useDataMark ? sector.dataMark : row.dataMark.byte);
  encoder.Byte(dataMark, row.dataMark.clock);
  TLibVector<std::uint8_t> data = sector.data;
  data.resize(static_cast<std::size_t>(std::max(sector.size, 0)), sector.fillByte);
  encoder.Bytes(data);
  TCrc16 dataCrc(row.crcPolynomial, row.crcInitial);
  CrcOfRun(dataCrc, row.dataSync);
  dataCrc.Update(dataMark);
  dataCrc.Update(data);
  WriteCrc(encoder, dataCrc, sector.dataCrcMode, sector.dataCrc, 0x21, 0x20);
  if (sector.gap3 != 255) encoder.Run(row.gap3, sector.gap3);
}

}  // namespace

TrackEncoding SideEncodingOf(TrackFormat format) {
  switch (static_cast<std::int32_t>(format)) {
    case 1:
    case 3:
    case 7:
      return TrackEncoding::IsoIbmFm;
    case 6:
      return TrackEncoding::AmigaMfm;
    case 8:
      return static_cast<TrackEncoding>(5);
    case 9:
      return TrackEncoding::EmuFm;
    case 10:
      return static_cast<TrackEncoding>(6);
    case 11:
      return static_cast<TrackEncoding>(7);
    case 15:
      return static_cast<TrackEncoding>(12);
    case 18:
      return static_cast<TrackEncoding>(15);
    default:
      return TrackEncoding::IsoIbmMfm;
  }
}

std::optional<std::int32_t> LookupGap3(TrackFormat format, std::int32_t size, std::size_t count) {
  for (const auto& row : kGapTable)
    if (row.format == format && row.size == size && row.count == count) return row.gap3;
  return std::nullopt;
}

std::uint16_t SizeCodeOf(std::int32_t size) {
  for (std::uint16_t code = 0; code < 8; ++code)
    if (128 << code == size) return code;
  return 0;
}

std::optional<std::int64_t> TrackLayoutBytes(TrackFormat format, std::int32_t preIndexGap,
                                             std::span<const TSectorConfig> sectors) {
  if (!RowOf(format) || preIndexGap < 0) return std::nullopt;
  const TFormatRow& row = *RowOf(format);
  TTrackContext context;
  context.preIndexGap = preIndexGap;
  std::int64_t bytes = PrologueBytes(row, context);
  // The estimate counts two bytes per sector that the layout does not write.
  for (const auto& sector : sectors)
    bytes += SectorBytesWithoutGap(row, sector) - 2 + EffectiveGap3(sector);
  return bytes;
}

std::unique_ptr<TSide> GenerateSide(const TTrackContext& context) {
  const TFormatRow* row = RowOf(context.trackFormat);
  if (!row || context.bitRate <= 0) return nullptr;
  std::vector<TSectorConfig> sectors;
  sectors.reserve(context.sectors.size());
  for (std::size_t index : SectorOrder(context)) sectors.push_back(context.sectors[index]);
  for (auto& sector : sectors)
    if (sector.bitRate <= 0) sector.bitRate = context.bitRate;

  const std::int64_t trackUnits =
      context.rpm <= 0 ? kUnitsPerRevolutionAt300 : 6000000 / context.rpm;
  ResolveGap3(*row, context, trackUnits, sectors);
  const std::int64_t cells = TrackCells(*row, context, sectors, trackUnits);
  if (cells > kMaxTrackCells) return nullptr;

  auto side = std::make_unique<TSide>();
  side->trackLength = static_cast<std::int32_t>(cells);
  side->cellData.assign(static_cast<std::size_t>(cells / 8), 0);
  side->indexMap.assign(side->cellData.size(), 0);
  side->trackEncoding = SideEncodingOf(context.trackFormat);
  side->sectorCount = static_cast<std::int32_t>(sectors.size());
  const bool commonRate = std::all_of(sectors.begin(), sectors.end(), [&](const TSectorConfig& s) {
    return s.bitRate == sectors.front().bitRate;
  });
  side->bitRate = sectors.empty() ? context.bitRate : (commonRate ? sectors.front().bitRate : -1);
  if (side->bitRate == -1)
    side->timing.assign(side->cellData.size(), static_cast<std::uint32_t>(context.bitRate));

  if (row->coding == TCoding::Blank) return side;
  TByteEncoder encoder(*side, row->Fm());
  encoder.Run(row->gap4a, row->gap4a.count + context.preIndexGap);
  encoder.Run(row->sync);
  encoder.Run(row->indexSync);
  encoder.Run(row->indexMark);
  encoder.Run(row->gap1);
  for (const auto& sector : sectors) {
    const std::int64_t from = encoder.CellsWritten();
    WriteSector(*row, sector, encoder);
    if (!side->timing.empty()) {
      const auto first = static_cast<std::size_t>(std::min<std::int64_t>(from / 8, cells / 8));
      const auto last =
          static_cast<std::size_t>(std::min<std::int64_t>(encoder.CellsWritten() / 8, cells / 8));
      std::fill(side->timing.begin() + static_cast<std::ptrdiff_t>(first),
                side->timing.begin() + static_cast<std::ptrdiff_t>(last),
                static_cast<std::uint32_t>(sector.bitRate));
    }
  }
  encoder.Run(row->gap4b, encoder.BytesLeft());
  return side;
}

void ApplyIndexPulse(TSide& side, std::int32_t positionUs, std::int32_t lengthUs) {
  const std::int64_t length = side.trackLength;
  const std::int64_t bitRate = side.bitRate > 0 ? side.bitRate : 250000;
  if (length <= 0 || lengthUs <= 0 || side.indexMap.empty()) return;
  // Two cells per data bit: a cell lasts 500,000 / bit rate microseconds.
  const std::int64_t startCell =
      ((std::int64_t{positionUs} * bitRate / 500000) % length + length) % length;
  const std::int64_t cells =
      std::min<std::int64_t>(std::int64_t{lengthUs} * bitRate / 500000, length);
  const auto mark = [&](std::int64_t from, std::int64_t to) {  // cells [from, to)
    if (from >= to) return;
    const auto first = static_cast<std::size_t>(from / 8);
    const auto last = std::min(static_cast<std::size_t>((to - 1) / 8) + 1, side.indexMap.size());
    if (first < last)
      std::fill(side.indexMap.begin() + static_cast<std::ptrdiff_t>(first),
                side.indexMap.begin() + static_cast<std::ptrdiff_t>(last), 0xFF);
  };
  mark(startCell, std::min(startCell + cells, length));
  mark(0, startCell + cells - length);
}

}  // namespace hfe
