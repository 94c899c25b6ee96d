// The sector walk over a track side, the per-side cache and the sector run reads and writes.
#include "hfe/sector_access.h"

#include <algorithm>
#include <cstring>

#include "hfe/crc16.h"
#include "hfe/fm_codec.h"
#include "hfe/mfm_codec.h"

namespace hfe {

namespace {

constexpr std::int32_t kMfmSyncCells = 48;

int EncodingSlot(SectorSearch encoding) {
  return encoding == SectorSearch::IsoIbmFm ? 1 : 0;
}

TSectorAccess::TSideCache* CacheOf(TSectorAccess& access, std::int32_t track, std::int32_t side,
                                   SectorSearch encoding) {
  if (track < 0 || side < 0) return nullptr;
  const std::size_t index =
      (static_cast<std::size_t>(track) * 2 + static_cast<std::size_t>(side & 1)) * 2 +
      static_cast<std::size_t>(EncodingSlot(encoding));
  if (index >= access.cache.size()) return nullptr;
  if (!access.cache[index]) access.cache[index] = std::make_unique<TSectorAccess::TSideCache>();
  return access.cache[index].get();
}

std::int32_t Parse(const TLibContext& context, const TSide& side, SectorSearch encoding,
                   TSectorConfig& sector, std::int32_t start, bool decodeData) {
  switch (encoding) {
    case SectorSearch::IsoIbmMfm:
      return get_next_MFM_sector(context, side, sector, start, decodeData);
    case SectorSearch::IsoIbmFm:
      return get_next_FM_sector(context, side, sector, start, decodeData);
  }
  return -1;
}

// Notes where an identified sector with a usable id starts.
void Remember(TSectorAccess::TSideCache& cache, const TSectorConfig& sector) {
  if (!sector.hasHeader() || sector.sector < 0 || sector.sector > 255) return;
  auto& first = sector.headerCrcError ? cache.firstBad : cache.firstGood;
  auto& start = first[static_cast<std::size_t>(sector.sector)];
  if (start < 0 || sector.startCell < start) start = sector.startCell;
}

void Reposition(TSectorAccess& access, std::int32_t track, std::int32_t side,
                std::int32_t position) {
  access.track = track;
  access.side = side;
  access.position = position;
  access.lastStart = position;
}

// Parses the next sector of the track side into the fresh record `sector`; false when none is
// left.
bool ParseNext(TSectorAccess& access, std::int32_t track, std::int32_t side, SectorSearch encoding,
               TSectorConfig& sector, bool decodeData) {
  const bool sameSide = track == access.track && side == access.side;
  const std::int32_t start = sameSide && access.position >= 0 ? access.position : 0;
  if (!sameSide) access.lastStart = 0;
  access.track = track;
  access.side = side;
  const TSide* record = access.floppy ? access.floppy->Side(track, side) : nullptr;
  if (!record || access.lastStart > start) return false;
  access.lastStart = start;
  const std::int32_t next = Parse(*access.context, *record, encoding, sector, start, decodeData);
  if (next < 0 || next == start) {
    access.position = -1;
    return false;
  }
  access.position = next;
  if (auto* cache = CacheOf(access, track, side, encoding)) Remember(*cache, sector);
  return true;
}

std::unique_ptr<TSectorConfig> NextSector(TSectorAccess& access, std::int32_t track,
                                          std::int32_t side, SectorSearch encoding,
                                          bool decodeData) {
  auto sector = std::make_unique<TSectorConfig>();
  if (!ParseNext(access, track, side, encoding, *sector, decodeData)) return nullptr;
  return sector;
}

// The sector whose identity field starts at `startCell`, with its data.
std::unique_ptr<TSectorConfig> DecodeAt(TSectorAccess& access, std::int32_t track,
                                        std::int32_t side, SectorSearch encoding,
                                        std::int32_t startCell) {
  Reposition(access, track, side, startCell);
  return NextSector(access, track, side, encoding, true);
}

bool Matches(const TSectorConfig& sector, std::int32_t id) {
  return sector.hasHeader() && sector.sector == id && sector.headerCrcError == 0;
}

std::int32_t FirstStart(const std::array<std::int32_t, 256>& first, std::int32_t id) {
  return id >= 0 && id <= 255 ? first[static_cast<std::size_t>(id)] : -1;
}

bool SideExists(const TSectorAccess& access, std::int32_t track, std::int32_t side) {
  return access.floppy && track >= 0 && side >= 0 && track < access.floppy->trackCount &&
         side < access.floppy->sideCount && access.floppy->Side(track, side);
}

}  // namespace

std::unique_ptr<TSectorAccess> trk_initSectorAccess(TLibContext& context, TFloppy& floppy) {
  auto access = std::make_unique<TSectorAccess>();
  access->context = &context;
  access->floppy = &floppy;
  if (floppy.trackCount > 0) access->cache.resize(static_cast<std::size_t>(floppy.trackCount) * 4);
  return access;
}

void trk_deinitSectorAccess(std::unique_ptr<TSectorAccess> access) {
  access.reset();
}

void trk_resetSearchPosition(TSectorAccess& access) {
  access.position = 0;
  access.lastStart = 0;
}

std::unique_ptr<TSectorConfig> trk_getNextSector(TSectorAccess& access, std::int32_t track,
                                                 std::int32_t side, SectorSearch encoding) {
  return NextSector(access, track, side, encoding, true);
}

std::unique_ptr<TSectorConfig> trk_searchSector(TSectorAccess& access, std::int32_t track,
                                                std::int32_t side, std::int32_t sectorId,
                                                SectorSearch encoding) {
  auto* cache = CacheOf(access, track, side, encoding);
  if (!cache || !access.floppy || !access.floppy->Side(track, side)) return nullptr;
  const std::int32_t good = FirstStart(cache->firstGood, sectorId);
  if (good >= 0) return DecodeAt(access, track, side, encoding, good);
  // Go on with the walk that fills the cache; it ends at the end of the track.
  if (!cache->complete) {
    Reposition(access, track, side, cache->frontier);
    for (TSectorConfig sector; ParseNext(access, track, side, encoding, sector, false);
         sector = TSectorConfig{}) {
      cache->frontier = access.position;
      if (Matches(sector, sectorId))
        return DecodeAt(access, track, side, encoding, sector.startCell);
    }
    cache->complete = true;
  }
  const std::int32_t bad = FirstStart(cache->firstBad, sectorId);
  if (bad >= 0) return DecodeAt(access, track, side, encoding, bad);
  return nullptr;
}

int trk_readSectorData(TSectorAccess& access, std::int32_t track, std::int32_t side,
                       std::int32_t firstId, std::int32_t count, std::int32_t size,
                       SectorSearch encoding, std::span<std::uint8_t> buffer, int& status) {
  status = kSectorsOk;
  if (!SideExists(access, track, side) || count <= 0 || size <= 0 ||
      buffer.size() < static_cast<std::size_t>(count) * static_cast<std::size_t>(size))
    return 0;
  int copied = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    const std::int32_t id = firstId + i;
    const auto sector = trk_searchSector(access, track, side, id, encoding);
    if (!sector) {
      status = std::max(status, kSectorNotFound);
      access.context->Log(kLogError,
                          "trk_readSectorData : ERROR -> Sector not found ! track %d, side %d, "
                          "sector %d,Sector size:%d,Type:%x",
                          track, side, id, size, static_cast<unsigned>(encoding));
      continue;
    }
    if (sector->size != size) {
      status = std::max(status, kSectorWrongSize);
      continue;
    }
    const bool complete = sector->data.size() == static_cast<std::size_t>(size);
    if (complete) {
      std::memcpy(buffer.data() + static_cast<std::size_t>(i) * static_cast<std::size_t>(size),
                  sector->data.data(), static_cast<std::size_t>(size));
      ++copied;
    }
    if (!complete || sector->dataCrcError || sector->headerCrcError) {
      status = std::max(status, kSectorBadCrc);
      access.context->Log(kLogError,
                          "trk_readSectorData : ERROR -> Bad Data CRC ! track %d, side %d, "
                          "sector %d,Sector size:%d,Type:%x",
                          track, side, id, size, static_cast<unsigned>(encoding));
    }
  }
  return copied;
}

int trk_writeSectorData(TSectorAccess& access, std::int32_t track, std::int32_t side,
                        std::int32_t firstId, std::int32_t count, std::int32_t size,
                        SectorSearch encoding, std::span<const std::uint8_t> buffer, int& status) {
  status = kSectorsOk;
  if (!SideExists(access, track, side) || count <= 0 || size <= 0 ||
      buffer.size() < static_cast<std::size_t>(count) * static_cast<std::size_t>(size))
    return 0;
  TSide& record = *access.floppy->Side(track, side);
  int written = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    const std::int32_t id = firstId + i;
    const auto sector = trk_searchSector(access, track, side, id, encoding);
    if (!sector || sector->size != size || !sector->useDataMark) {
      status = std::max(status, kSectorNotFound);
      access.context->Log(kLogError,
                          "trk_writeSectorData : ERROR -> Sector not found ! track %d, side %d, "
                          "sector %d,Sector size:%d,Type:%x",
                          track, side, id, size, static_cast<unsigned>(encoding));
      continue;
    }
    const auto data = buffer.subspan(static_cast<std::size_t>(i) * static_cast<std::size_t>(size),
                                     static_cast<std::size_t>(size));
    const auto mark = static_cast<std::uint8_t>(sector->dataMark);
    TCrc16 crc;
    if (encoding == SectorSearch::IsoIbmMfm) {
      const std::uint8_t prefix[4] = {0xA1, 0xA1, 0xA1, mark};
      crc.Update(prefix);
      crc.Update(data);
      std::vector<std::uint8_t> field(data.size() + 3);
      field[0] = mark;
      std::copy(data.begin(), data.end(), field.begin() + 1);
      field[field.size() - 2] = crc.High();
      field[field.size() - 1] = crc.Low();
      mfmEncodeAt(record.cellData, record.trackLength, field,
                  sector->dataStartCell + kMfmSyncCells);
    } else {
      crc.Update(mark);
      crc.Update(data);
      TCellWriter writer(record.cellData, record.trackLength, sector->dataStartCell);
      fmEncodeWithClock(writer, mark, 0xC7);
      fmEncode(writer, data);
      const std::uint8_t tail[2] = {crc.High(), crc.Low()};
      fmEncode(writer, tail);
    }
    ++written;
  }
  return written;
}

void trk_freeSectorConfig(TSectorAccess& /*access*/, std::unique_ptr<TSectorConfig> sector) {
  sector.reset();
}

}  // namespace hfe
