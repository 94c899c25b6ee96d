// The ISO/IBM MFM and FM sector parsers: find an address mark, decode the identity field and the
// data field that follows it, and check both CRCs.
#include <algorithm>
#include <cstring>

#include "hfe/bit_stream.h"
#include "hfe/crc16.h"
#include "hfe/fm_codec.h"
#include "hfe/mfm_codec.h"
#include "hfe/mfm_sync_scan.h"
#include "hfe/sector_access.h"

namespace hfe {

namespace {

constexpr std::uint8_t kMfmSync[6] = {0x44, 0x89, 0x44, 0x89, 0x44, 0x89};
constexpr std::int32_t kMfmSyncCells = 48;
constexpr std::int32_t kMfmByteCells = 16;
constexpr std::int32_t kMfmDataSearchCells = 832;
constexpr std::int32_t kHeaderlessMinPosition = 705;
constexpr std::int32_t kNoMatchAfterSync = 32;
constexpr std::size_t kIndexSample = 64;
constexpr std::int32_t kIdentityEndCells = 160;  // sync words, mark, C H R N and CRC

// FM identity mark 0xFE with clock 0xC7, and the first three bytes shared by the data marks
// 0xF8-0xFB with clock 0xC7.
constexpr std::uint8_t kFmIdMark[4] = {0x55, 0x11, 0x15, 0x54};
constexpr std::uint8_t kFmDataMarkPrefix[3] = {0x55, 0x11, 0x14};
constexpr std::int32_t kFmByteCells = 32;
constexpr std::int32_t kFmDataSearchCells = 1664;
constexpr std::uint32_t kMfmSyncWord = 0x4489;
constexpr std::uint32_t kIdMarkDataCells = 0x5554;  // the data cells of 0xFE

const TSearchPattern& MfmSync() {
  static const TSearchPattern pattern(kMfmSync, kMfmSyncCells);
  return pattern;
}

const TSearchPattern& FmIdMark() {
  static const TSearchPattern pattern(kFmIdMark, 32);
  return pattern;
}

const TSearchPattern& FmDataMarkPrefix() {
  static const TSearchPattern pattern(kFmDataMarkPrefix, 24);
  return pattern;
}

// The cells of C H R N and CRC of the identity field whose sync words start at `start`, when
// they lie inside the track and the 22 bytes from start / 8 inside the side's bytes.
TIdentityCells IdentityCellsInside(const std::uint8_t* bytes, std::int32_t start) {
  const std::int32_t first = start + kMfmSyncCells + kMfmByteCells;
  return {CellWindow(bytes, first) >> 16, CellWindow(bytes, first + 3 * kMfmByteCells) >> 16};
}

// The three data bytes of 48 MFM cells (in the low bits), first byte highest.
inline std::uint32_t MfmDataOf48(std::uint64_t cells) {
  const auto high = static_cast<std::uint32_t>(cells >> 32);
  const auto low = static_cast<std::uint32_t>(cells);
  return std::uint32_t{mfmDataOf(high)} << 16 | std::uint32_t{mfmDataOf(low >> 16)} << 8 |
         mfmDataOf(low & 0xFFFF);
}

// Whether an MFM identity field of those cells has a right CRC; its size in `size`.
inline bool IdentityCrcRight(const TIdentityCells& cells, std::int32_t& size) {
  // C H R N after the sync bytes and the identity mark: the register after those, advanced over
  // four bytes, xor the slices of C, H, R and N.
  static constexpr std::uint16_t kAfterMark = [] {
    std::uint16_t reg = 0xFFFF;
    for (const std::uint8_t byte : {0xA1, 0xA1, 0xA1, 0xFE})
      reg = static_cast<std::uint16_t>((reg << 8) ^ kCrcSlices[0][(reg >> 8) ^ byte]);
    return static_cast<std::uint16_t>(kCrcSlices[3][reg >> 8] ^ kCrcSlices[2][reg & 0xFF]);
  }();
  const std::uint32_t chr = MfmDataOf48(cells.first);
  const std::uint32_t nCrc = MfmDataOf48(cells.second);
  size = 128 << (nCrc >> 16 & 7);
  const std::uint16_t crc = kAfterMark ^ kCrcSlices[3][chr >> 16] ^ kCrcSlices[2][chr >> 8 & 0xFF] ^
                            kCrcSlices[1][chr & 0xFF] ^ kCrcSlices[0][nCrc >> 16];
  return crc == (nCrc & 0xFFFF);
}

// Where the search goes on after a match at `match` whose mark word is one more sync word. In a
// run of sync words the only matches are one word apart, and each has a sync word for its mark,
// so the run can be crossed at once: up to the last match whose mark word still lies in the run.
std::int32_t AfterSyncRun(const TCellRing& ring, std::int32_t match) {
  const std::int64_t verifiedEnd = std::int64_t{match} + kMfmSyncCells + kMfmByteCells;
  if (verifiedEnd > ring.Length()) return match + 1;
  // Cells from the first whole byte after the match repeat every 16 cells while each byte
  // equals the one two before it.
  const auto bytes = ring.Bytes();
  const auto limit = static_cast<std::size_t>(ring.Length() / 8);
  std::size_t end = static_cast<std::size_t>(match >> 3) + 3;
  while (end + 32 <= limit && std::memcmp(&bytes[end], &bytes[end - 2], 32) == 0) end += 32;
  while (end + 8 <= limit && std::memcmp(&bytes[end], &bytes[end - 2], 8) == 0) end += 8;
  while (end < limit && bytes[end] == bytes[end - 2]) ++end;
  const std::int64_t runEnd =
      std::max<std::int64_t>(static_cast<std::int64_t>(end) * 8, verifiedEnd);
  const std::int64_t lastMatch =
      match + (runEnd - match - kMfmSyncCells - kMfmByteCells) / kMfmByteCells * kMfmByteCells;
  return static_cast<std::int32_t>(lastMatch + 1);
}

// An FM address mark: the identity mark, or one of the data marks 0xF8-0xFB.
struct TFmMark {
  std::int32_t position = -1;
  bool identity = false;
};

// The first address mark of either kind that a search from `start` over `maxDistance` cells (as
// searchBitStream counts them) reaches. Data marks are looked for only before the identity mark.
// A search to the end of the track goes in pieces, so that it never looks far past the first
// mark of either kind: a walk over many marks stays linear.
TFmMark NextFmMark(const TCellRing& ring, std::int32_t maxDistance, std::int32_t start) {
  if (maxDistance < 0) {
    constexpr std::int32_t kPiece = 4096;
    for (std::int32_t from = start; from >= 0 && from < ring.Length(); from += kPiece) {
      const TFmMark found = NextFmMark(ring, std::min(kPiece, ring.Length() - from), from);
      if (found.position >= 0) return found;
    }
    return {};
  }
  const std::int32_t identity = searchBitStream(ring, maxDistance, FmIdMark(), start);
  std::int32_t dataDistance = maxDistance;
  if (identity >= 0) {
    dataDistance = ring.Wrap(std::int64_t{identity} - ring.Wrap(start));
    if (dataDistance == 0) return {identity, true};
  }
  const std::int32_t data = searchBitStream(ring, dataDistance, FmDataMarkPrefix(), start);
  if (data >= 0) return {data, false};
  return {identity, identity >= 0};
}

std::int32_t BitRateAt(const TSide& side, std::int32_t position) {
  if (side.bitRate != -1 || side.timing.empty()) return side.bitRate;
  const auto index = std::min(static_cast<std::size_t>(position / 8), side.timing.size() - 1);
  return static_cast<std::int32_t>(side.timing[index]);
}

std::int32_t Wrapped(const TCellRing& ring, std::int64_t position) {
  return ring.Wrap(position);
}

void DetectFill(TSectorConfig& sector) {
  if (sector.data.empty()) return;
  const std::uint8_t first = sector.data.front();
  if (std::all_of(sector.data.begin(), sector.data.end(),
                  [first](std::uint8_t b) { return b == first; })) {
    sector.fillByte = first;
    sector.fillFlag = 0xFF;
  }
}

void SetIdentity(TSectorConfig& sector, std::span<const std::uint8_t> chrn) {
  sector.cylinder = chrn[0];
  sector.head = chrn[1];
  sector.sector = chrn[2];
  sector.sizeCode = chrn[3];
  sector.size = 128 << (chrn[3] & 7);
}

// Decodes a data field of `prefix` bytes (syncs and mark), the data and its CRC from `position`.
void DecodeDataField(const TLibContext& context, const TCellRing& ring, TSectorConfig& sector,
                     std::int32_t position, std::size_t prefix, bool mfm) {
  auto& field = sector.data;
  field.resize(prefix + static_cast<std::size_t>(sector.size) + 2);
  const std::int32_t end = mfm ? mfmDecode(ring, field, position) : fmDecode(ring, field, position);
  sector.endCell = end;
  sector.dataCrc = field[field.size() - 2] << 8 | field[field.size() - 1];
  sector.dataCrcError = crc16(field) != 0 ? 0xFF : 0;
  if (sector.dataCrcError)
    context.Log(kLogDetail, "Data CRC ERROR ! (0x%.4X)", static_cast<unsigned>(sector.dataCrc));
  else
    context.Log(kLogDetail, "Data CRC Ok. (0x%.4X)", static_cast<unsigned>(sector.dataCrc));
  field.erase(field.begin(), field.begin() + static_cast<std::ptrdiff_t>(prefix));
  field.resize(static_cast<std::size_t>(sector.size));
  DetectFill(sector);
}

// The identity field `field` (its mark first, its stored CRC last) found at `match`, with C H R
// N at `chrn`.
void IdentityFound(TSectorConfig& sector, const TSide& side, std::span<const std::uint8_t> field,
                   std::size_t chrn, std::int32_t match, SectorEncoding encoding) {
  SetIdentity(sector, field.subspan(chrn, 4));
  sector.encoding = encoding;
  sector.useIdMark = 0xFF;
  sector.idMark = 0xFE;
  sector.startCell = match;
  sector.headerCrc = field[field.size() - 2] << 8 | field[field.size() - 1];
  sector.bitRate = BitRateAt(side, match);
  sector.headerCrcError = crc16(field) != 0 ? 0xFF : 0;
}

// A data mark found at `match` without an identity field before it: a record of size 0 whose
// identity comes from the bytes after the mark, ending `cells` after the match.
void LoneDataMark(TSectorConfig& sector, const TCellRing& ring, std::span<const std::uint8_t> chrn,
                  std::uint8_t mark, std::int32_t match, std::int64_t cells,
                  SectorEncoding encoding) {
  SetIdentity(sector, chrn);
  sector.size = 0;
  sector.encoding = encoding;
  sector.useDataMark = 0xFF;
  sector.dataMark = mark;
  sector.startCell = sector.dataStartCell = match;
  sector.endCell = Wrapped(ring, std::int64_t{match} + cells);
}

// The data field of the sector at `position`, its mark `mark`, `cells` long.
void DataFieldFound(TSectorConfig& sector, const TCellRing& ring, std::int32_t position,
                    std::uint8_t mark, std::int64_t cells) {
  sector.dataStartCell = position;
  sector.useDataMark = 0xFF;
  sector.dataMark = mark;
  sector.endCell = Wrapped(ring, std::int64_t{position} + cells);
}

}  // namespace

std::int32_t get_next_MFM_sector(const TLibContext& context, const TSide& side,
                                 TSectorConfig& sector, std::int32_t start, bool decodeData) {
  const TCellRing ring(side.cellData, side.trackLength);
  const std::int32_t length = ring.Length();
  std::int32_t from = start;
  while (from >= 0 && from < length) {
    const std::int32_t match = searchBitStream(ring, -1, MfmSync(), from);
    if (match < 0) return -1;
    // The mark first: most sync runs that are not address marks end here.
    const std::uint32_t markCells =
        ring.Cells(Wrapped(ring, std::int64_t{match} + kMfmSyncCells), kMfmByteCells);
    const std::uint8_t mark = mfmDataOf(markCells);
    std::uint8_t header[10] = {0xA1, 0xA1, 0xA1, mark};
    if (mark == 0xFE || (mark >= 0xF8 && mark <= 0xFB))
      mfmDecode(ring, std::span(header).subspan(4), match + 4 * kMfmByteCells);
    if (mark == 0xFE) {
      IdentityFound(sector, side, header, 4, match, SectorEncoding::IsoIbmMfm);
      context.Log(kLogDetail,
                  sector.headerCrcError
                      ? "Bad MFM sector header found - Cyl:%d Side:%d Sect:%d Size:%d"
                      : "Valid MFM sector header found - Cyl:%d Side:%d Sect:%d Size:%d",
                  sector.cylinder, sector.head, sector.sector, sector.size);
      const std::int32_t identityEnd = Wrapped(ring, std::int64_t{match} + 10 * kMfmByteCells);
      const std::int32_t dataSync =
          searchBitStream(ring, kMfmDataSearchCells, MfmSync(), match + 1);
      if (dataSync < 0) {
        sector.dataStartCell = sector.endCell = identityEnd;
        return match + 2;
      }
      std::uint8_t dataMark = 0;
      mfmDecode(ring, std::span(&dataMark, 1), dataSync + kMfmSyncCells);
      if (dataMark == 0xFE) {
        sector.dataStartCell = sector.endCell = identityEnd;
        return dataSync;
      }
      DataFieldFound(sector, ring, dataSync, dataMark,
                     (std::int64_t{sector.size} + 6) * kMfmByteCells);
      if (decodeData) DecodeDataField(context, ring, sector, dataSync, 4, true);
      return dataSync + 1;
    }
    if (mark >= 0xF8 && mark <= 0xFB && match >= kHeaderlessMinPosition) {
      LoneDataMark(sector, ring, std::span(header).subspan(4, 4), mark, match, 10 * kMfmByteCells,
                   SectorEncoding::IsoIbmMfm);
      context.Log(kLogDetail, "get_next_MFM_sector : Data sector without sector header !?!");
      return match + 1;
    }
    from = markCells == kMfmSyncWord ? AfterSyncRun(ring, match) : match + 1;
  }
  return -1;
}

std::int32_t FindMfmIdentities(const TSide& side, std::int32_t from, std::uint8_t wanted,
                               TSectorAccess::TSideCache& cache) {
  using TSideCache = TSectorAccess::TSideCache;
  const TCellRing ring(side.cellData, side.trackLength);
  const std::int32_t length = ring.Length();
  const std::uint8_t* bytes = ring.Bytes().data();
  TSideCache::TChecked& checked = cache.checked;
  auto& met = cache.identities;
  // Matches before `fastEnd` have their identity fields inside the track and the bytes of those
  // inside the side's bytes.
  const auto fastEnd = static_cast<std::int32_t>(std::max<std::int64_t>(
      0, std::min<std::int64_t>(std::int64_t{length} - kIdentityEndCells,
                                (static_cast<std::int64_t>(ring.Bytes().size()) - 22) * 8)));
  TMfmSyncScanner scanner(ring.Bytes(), fastEnd);
  while (from >= 0 && from < length && cache.marksMet < kMaxSearchedMarks) {
    // The mark's and the id's cells: from windows of the bytes, or taken one by one near the end.
    std::int32_t match = -1;
    std::uint32_t markCells = 0;
    std::uint32_t idCells = 0;
    if (from < fastEnd && (match = scanner.Next(from)) >= 0) {
      markCells = static_cast<std::uint32_t>(CellWindow(bytes, match + kMfmSyncCells) >> 48);
      idCells = static_cast<std::uint32_t>(
          CellWindow(bytes, match + kMfmSyncCells + 3 * kMfmByteCells) >> 48);
    } else {
      if (from < fastEnd) from = fastEnd;
      match = searchBitStream(ring, -1, MfmSync(), from);
      if (match < 0) return -1;
      markCells = ring.Cells(Wrapped(ring, std::int64_t{match} + kMfmSyncCells), kMfmByteCells);
      idCells = ring.Cells(Wrapped(ring, std::int64_t{match} + kMfmSyncCells + 3 * kMfmByteCells),
                           kMfmByteCells);
    }
    ++cache.marksMet;
    if (markCells == kMfmSyncWord) {
      from = AfterSyncRun(ring, match);
      continue;
    }
    // The walk goes on at the next match. Three sync words that a mark other than a sync word
    // follows leave no room for another match in the next 32 cells: one starting there would
    // have to repeat the sync word's cells shifted by less than its length, or take the mark for
    // a sync word.
    from = match + kNoMatchAfterSync + 1;
    if (mfmDataCells(markCells) == kIdMarkDataCells) {
      const std::uint8_t id = mfmDataOf(idCells);
      // A side packed with fields gets room at once for as many as a search looks at.
      if (met.size() == met.capacity() && met.size() >= kIndexSample)
        met.reserve(std::max<std::size_t>(met.size() * 2, kMaxSearchedMarks));
      if (cache.first[id] < 0) cache.first[id] = static_cast<std::int32_t>(met.size());
      TSideCache::TIdentity& added =
          met.emplace_back(TSideCache::TIdentity{.start = match, .id = id});
      if (id != wanted) continue;
      checked.Check(match < fastEnd ? IdentityCellsInside(bytes, match)
                                    : MfmIdentityCells(side, match));
      added.size = checked.size;
      added.crc = checked.crc;
      if (added.crc == TSideCache::Crc::Good) return from;
    }
  }
  return -1;
}

TIdentityCells MfmIdentityCells(const TSide& side, std::int32_t start) {
  const TCellRing ring(side.cellData, side.trackLength);
  if (std::int64_t{start} + kIdentityEndCells <= ring.Length() &&
      static_cast<std::size_t>(start >> 3) + 22 <= ring.Bytes().size())
    return IdentityCellsInside(ring.Bytes().data(), start);
  const std::int64_t first = std::int64_t{start} + kMfmSyncCells + kMfmByteCells;
  TIdentityCells cells;
  for (int i = 0; i < 6; ++i) {
    std::uint64_t& half = i < 3 ? cells.first : cells.second;
    half = half << kMfmByteCells |
           ring.Cells(Wrapped(ring, first + std::int64_t{i} * kMfmByteCells), kMfmByteCells);
  }
  return cells;
}

void TSectorAccess::TSideCache::TChecked::Check(const TIdentityCells& fieldCells) {
  if (crc != Crc::Unknown && fieldCells == cells) return;
  cells = fieldCells;
  crc = IdentityCrcRight(fieldCells, size) ? Crc::Good : Crc::Bad;
}

std::int32_t get_next_FM_sector(const TLibContext& context, const TSide& side,
                                TSectorConfig& sector, std::int32_t start, bool decodeData) {
  const TCellRing ring(side.cellData, side.trackLength);
  const std::int32_t length = ring.Length();
  std::int32_t from = start;
  while (from >= 0 && from < length) {
    const TFmMark found = NextFmMark(ring, -1, from);
    const std::int32_t match = found.position;
    if (match < 0) return -1;
    std::uint8_t header[7];
    fmDecode(ring, header, match);
    if (found.identity) {
      IdentityFound(sector, side, header, 1, match, SectorEncoding::IsoIbmFm);
      context.Log(kLogDetail, "Valid FM sector header found - Cyl:%d Side:%d Sect:%d Size:%d",
                  sector.cylinder, sector.head, sector.sector, sector.size);
      const std::int32_t identityEnd = Wrapped(ring, std::int64_t{match} + 7 * kFmByteCells);
      const TFmMark next = NextFmMark(ring, kFmDataSearchCells, match + 1);
      if (next.position < 0) {
        context.Log(kLogDetail, "No data!");
        sector.dataStartCell = sector.endCell = identityEnd;
        return match + 2;
      }
      if (next.identity) {
        sector.dataStartCell = sector.endCell = identityEnd;
        return next.position;
      }
      std::uint8_t dataMark = 0;
      fmDecode(ring, std::span(&dataMark, 1), next.position);
      DataFieldFound(sector, ring, next.position, dataMark,
                     (std::int64_t{sector.size} + 3) * kFmByteCells);
      if (decodeData) DecodeDataField(context, ring, sector, next.position, 1, false);
      return next.position + 1;
    }
    if (match >= kHeaderlessMinPosition) {
      LoneDataMark(sector, ring, std::span(header).subspan(1, 4), header[0], match,
                   7 * kFmByteCells, SectorEncoding::IsoIbmFm);
      context.Log(kLogDetail, "get_next_FM_sector : Data sector without sector header !?!");
      return match + 1;
    }
    from = match + 1;
  }
  return -1;
}

}  // namespace hfe
