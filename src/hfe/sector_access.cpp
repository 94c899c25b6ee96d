// The sector walk over a track side, the per-side cache and the sector run reads and writes.
#include "hfe/sector_access.h"

#include <algorithm>
#include <cstring>

#include "hfe/allocation_guard.h"
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

using TSideCache = TSectorAccess::TSideCache;

}  // namespace

void TSideCache::Chain() {
  // The last field of a run of one id is kept here, not in `last`: a side of one id repeated
  // does not wait on its own stores.
  std::int32_t runId = -1;
  std::int32_t runTail = -1;
  for (std::size_t index = chained; index < identities.size(); ++index) {
    const auto at = static_cast<std::int32_t>(index);
    const std::uint8_t id = identities[index].id;
    if (id != runId) {
      if (runId >= 0) last[static_cast<std::size_t>(runId)] = runTail;
      runId = id;
      runTail = last[id];
      if (runTail < 0) first[id] = at;
    }
    if (runTail >= 0) identities[static_cast<std::size_t>(runTail)].next = at;
    runTail = at;
  }
  if (runId >= 0) last[static_cast<std::size_t>(runId)] = runTail;
  chained = identities.size();
}

namespace {

// Whether the identity field's CRC is right, found out once; a field with the same cells as the
// last one checked takes its result.
bool RightCrc(const TSide& side, TSideCache& cache, TSideCache::TIdentity& identity) {
  if (identity.crc == TSideCache::Crc::Unknown) {
    cache.checked.Check(MfmIdentityCells(side, identity.start));
    identity.crc = cache.checked.crc;
    identity.size = cache.checked.size;
  }
  return identity.crc == TSideCache::Crc::Good;
}

// Walks on until it meets an identity field of id `wanted` with a right CRC, adding every
// identity field on the way; false when the walk reached the end without one. MFM sides are
// scanned for their identity marks alone, FM sides walked sector by sector.
bool WalkOn(TSectorAccess& access, std::int32_t track, std::int32_t side, SectorSearch encoding,
            std::uint8_t wanted, TSideCache& cache) {
  if (cache.complete) return false;
  const TSide& record = *access.floppy->Side(track, side);
  if (encoding == SectorSearch::IsoIbmMfm) {
    cache.frontier = FindMfmIdentities(record, cache.frontier, wanted, cache);
    // A walk that goes on stopped at an identity field of the id wanted with a right CRC.
    if (cache.frontier >= 0) return true;
    cache.complete = true;
    return false;
  }
  const std::int32_t from = cache.frontier;
  Reposition(access, track, side, from);
  for (TSectorConfig sector; ParseNext(access, track, side, encoding, sector, false);
       sector = TSectorConfig{}) {
    // A walk that went past the end and on from the start has met every sector.
    cache.frontier = access.position;
    cache.complete = access.position < from || ++cache.marksMet >= kMaxSearchedMarks;
    if (sector.hasHeader() && sector.sector >= 0 && sector.sector <= 255) {
      cache.identities.push_back(
          {sector.startCell, sector.size, -1, static_cast<std::uint8_t>(sector.sector),
           sector.headerCrcError ? TSideCache::Crc::Bad : TSideCache::Crc::Good});
      cache.Chain();
      if (sector.sector == wanted && !sector.headerCrcError) return true;
    }
    if (cache.complete) return false;
  }
  cache.complete = true;
  return false;
}

// The identity field of that id to read: the first with a right CRC, else the first; null when
// the side has none. The walk goes on only until the first with a right CRC.
const TSideCache::TIdentity* FindIdentity(TSectorAccess& access, std::int32_t track,
                                          std::int32_t side, std::int32_t id,
                                          SectorSearch encoding) {
  auto* cache = CacheOf(access, track, side, encoding);
  const TSide* record = access.floppy ? access.floppy->Side(track, side) : nullptr;
  if (!cache || !record || id < 0 || id > 255) return nullptr;
  const auto slot = static_cast<std::size_t>(id);
  for (std::int32_t i = cache->first[slot]; i >= 0;) {
    TSideCache::TIdentity& identity = cache->identities[static_cast<std::size_t>(i)];
    if (RightCrc(*record, *cache, identity)) return &identity;
    cache->Chain();
    i = identity.next;
  }
  // A walk that found one stopped at it.
  if (WalkOn(access, track, side, encoding, static_cast<std::uint8_t>(id), *cache))
    return &cache->identities.back();
  // None has a right CRC: the first of them, if any.
  if (cache->first[slot] < 0) return nullptr;
  TSideCache::TIdentity& first = cache->identities[static_cast<std::size_t>(cache->first[slot])];
  RightCrc(*record, *cache, first);  // its size
  return &first;
}

bool SideExists(const TSectorAccess& access, std::int32_t track, std::int32_t side) {
  return access.floppy && track >= 0 && side >= 0 && track < access.floppy->trackCount &&
         side < access.floppy->sideCount && access.floppy->Side(track, side);
}

std::unique_ptr<TSectorConfig> SearchSector(TSectorAccess& access, std::int32_t track,
                                            std::int32_t side, std::int32_t sectorId,
                                            SectorSearch encoding) {
  const TSideCache::TIdentity* identity = FindIdentity(access, track, side, sectorId, encoding);
  return identity ? DecodeAt(access, track, side, encoding, identity->start) : nullptr;
}

}  // namespace

std::unique_ptr<TSectorAccess> trk_initSectorAccess(TLibContext& context, TFloppy& floppy) {
  return GuardAllocation(&context, "trk_initSectorAccess", std::unique_ptr<TSectorAccess>(), [&] {
    auto access = std::make_unique<TSectorAccess>();
    access->context = &context;
    access->floppy = &floppy;
    if (floppy.trackCount > 0)
      access->cache.resize(static_cast<std::size_t>(floppy.trackCount) * 4);
    return access;
  });
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
  return GuardAllocation(access.context, "trk_getNextSector", std::unique_ptr<TSectorConfig>(),
                         [&] { return NextSector(access, track, side, encoding, true); });
}

std::unique_ptr<TSectorConfig> trk_searchSector(TSectorAccess& access, std::int32_t track,
                                                std::int32_t side, std::int32_t sectorId,
                                                SectorSearch encoding) {
  return GuardAllocation(access.context, "trk_searchSector", std::unique_ptr<TSectorConfig>(),
                         [&] { return SearchSector(access, track, side, sectorId, encoding); });
}

int trk_readSectorData(TSectorAccess& access, std::int32_t track, std::int32_t side,
                       std::int32_t firstId, std::int32_t count, std::int32_t size,
                       SectorSearch encoding, std::span<std::uint8_t> buffer, int& status) {
  return GuardAllocation(access.context, "trk_readSectorData", kLimitReached, [&] {
    status = kSectorsOk;
    if (!SideExists(access, track, side) || count <= 0 || size <= 0 ||
        buffer.size() < static_cast<std::size_t>(count) * static_cast<std::size_t>(size))
      return 0;
    int copied = 0;
    for (std::int32_t i = 0; i < count; ++i) {
      const std::int32_t id = firstId + i;
      const TSideCache::TIdentity* identity = FindIdentity(access, track, side, id, encoding);
      // As a controller's multi-sector read, the run ends at the first sector not found; a sector
      // of another size ends it too, with nothing counted (its data is never decoded).
      if (!identity) {
        status = kSectorNotFound;
        access.context->Log(kLogError,
                            "trk_readSectorData : ERROR -> Sector not found ! track %d, side %d, "
                            "sector %d,Sector size:%d,Type:%x",
                            track, side, id, size, static_cast<unsigned>(encoding));
        break;
      }
      const auto sector = identity->size == size
                              ? DecodeAt(access, track, side, encoding, identity->start)
                              : nullptr;
      if (!sector || sector->size != size) return 0;
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
  });
}

int trk_writeSectorData(TSectorAccess& access, std::int32_t track, std::int32_t side,
                        std::int32_t firstId, std::int32_t count, std::int32_t size,
                        SectorSearch encoding, std::span<const std::uint8_t> buffer, int& status) {
  return GuardAllocation(access.context, "trk_writeSectorData", kLimitReached, [&] {
    status = kSectorsOk;
    if (!SideExists(access, track, side) || count <= 0 || size <= 0 ||
        buffer.size() < static_cast<std::size_t>(count) * static_cast<std::size_t>(size))
      return 0;
    TSide& record = *access.floppy->Side(track, side);
    int written = 0;
    for (std::int32_t i = 0; i < count; ++i) {
      const std::int32_t id = firstId + i;
      const auto sector = SearchSector(access, track, side, id, encoding);
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
  });
}

void trk_freeSectorConfig(TSectorAccess& /*access*/, std::unique_ptr<TSectorConfig> sector) {
  sector.reset();
}

}  // namespace hfe
