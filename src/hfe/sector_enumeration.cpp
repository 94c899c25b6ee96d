// Whole-side sector walks and what is built on them.
#include "hfe/sector_enumeration.h"

#include <algorithm>
#include <array>
#include <new>

#include "hfe/allocation_guard.h"

namespace hfe {

namespace {

constexpr std::array<SectorSearch, 2> kSearches = {SectorSearch::IsoIbmMfm, SectorSearch::IsoIbmFm};

TrackEncoding SideEncodingOf(SectorSearch search) {
  return search == SectorSearch::IsoIbmFm ? TrackEncoding::IsoIbmFm : TrackEncoding::IsoIbmMfm;
}

// Walks each side with the encoding that last found sectors first; `visit` gets every side's
// sectors and the encoding that found them (nothing for sides where none did).
template <typename Visit>
void WalkFloppy(TLibContext& context, TFloppy& floppy, Visit&& visit) {
  auto access = trk_initSectorAccess(context, floppy);
  if (!access) throw std::bad_alloc();  // the callers' guard answers for the whole walk
  std::size_t preferred = 0;
  for (std::int32_t track = 0; track < floppy.trackCount; ++track) {
    for (std::int32_t side = 0; side < floppy.sideCount; ++side) {
      if (!floppy.Side(track, side)) continue;
      for (std::size_t attempt = 0; attempt < kSearches.size(); ++attempt) {
        const std::size_t index = (preferred + attempt) % kSearches.size();
        TSectorList sectors = trk_getAllTrackSectors(*access, track, side, kSearches[index]);
        if (sectors.empty()) continue;
        preferred = index;
        visit(track, side, kSearches[index], sectors);
        break;
      }
    }
  }
}

std::int32_t Field(const TSectorConfig* sector, std::int32_t TSectorConfig::*field) {
  return sector ? sector->*field : 0;
}

}  // namespace

TSectorList trk_getAllTrackSectors(TSectorAccess& access, std::int32_t track, std::int32_t side,
                                   SectorSearch encoding) {
  return GuardAllocation(access.context, "trk_getAllTrackSectors", TSectorList(), [&] {
    TSectorList sectors;
    access.track = track;
    access.side = side;
    trk_resetSearchPosition(access);
    while (sectors.size() < kMaxEnumeratedSectors) {
      auto sector = trk_getNextSector(access, track, side, encoding);
      if (!sector) break;
      sectors.push_back(std::move(sector));
    }
    return sectors;
  });
}

TSectorList trk_getAllTrackISOSectors(TSectorAccess& access, std::int32_t track,
                                      std::int32_t side) {
  return GuardAllocation(access.context, "trk_getAllTrackISOSectors", TSectorList(), [&] {
    TSectorList sectors = trk_getAllTrackSectors(access, track, side, SectorSearch::IsoIbmMfm);
    TSectorList fm = trk_getAllTrackSectors(access, track, side, SectorSearch::IsoIbmFm);
    for (auto& sector : fm) sectors.push_back(std::move(sector));
    std::stable_sort(sectors.begin(), sectors.end(),
                     [](const auto& a, const auto& b) { return a->startCell < b->startCell; });
    if (sectors.size() > kMaxEnumeratedSectors) sectors.resize(kMaxEnumeratedSectors);
    return sectors;
  });
}

std::int64_t trk_getFloppyDataSize(TLibContext& context, TFloppy& floppy,
                                   std::int32_t* sectorCount) {
  return GuardAllocation(&context, "trk_getFloppyDataSize", std::int64_t{kLimitReached}, [&] {
    std::int64_t bytes = 0;
    std::int32_t count = 0;
    WalkFloppy(context, floppy,
               [&](std::int32_t, std::int32_t, SectorSearch, TSectorList& sectors) {
                 for (const auto& sector : sectors) {
                   if (!sector->hasHeader()) continue;
                   bytes += sector->size;
                   ++count;
                 }
               });
    if (sectorCount) *sectorCount = count;
    return bytes;
  });
}

int trk_detectSideEncodings(TLibContext& context, TFloppy& floppy) {
  return GuardAllocation(&context, "trk_detectSideEncodings", kLimitReached, [&] {
    int detected = 0;
    WalkFloppy(context, floppy,
               [&](std::int32_t track, std::int32_t side, SectorSearch search, TSectorList&) {
                 floppy.Side(track, side)->trackEncoding = SideEncodingOf(search);
                 ++detected;
               });
    return detected;
  });
}

std::int32_t trk_getSectorHead(const TSectorConfig* s) {
  return Field(s, &TSectorConfig::head);
}
std::int32_t trk_getSectorID(const TSectorConfig* s) {
  return Field(s, &TSectorConfig::sector);
}
std::int32_t trk_getSectorOrder(const TSectorConfig* s) {
  return Field(s, &TSectorConfig::order);
}
std::int32_t trk_getSectorCylinder(const TSectorConfig* s) {
  return Field(s, &TSectorConfig::cylinder);
}
std::int32_t trk_getSectorSize(const TSectorConfig* s) {
  return Field(s, &TSectorConfig::size);
}
std::int32_t trk_getSectorSizeCode(const TSectorConfig* s) {
  return s ? s->sizeCode : 0;
}
std::int32_t trk_getSectorHeaderCrcError(const TSectorConfig* s) {
  return Field(s, &TSectorConfig::headerCrcError);
}
std::int32_t trk_getSectorHeaderCrc(const TSectorConfig* s) {
  return Field(s, &TSectorConfig::headerCrc);
}
std::int32_t trk_getSectorDataCrcError(const TSectorConfig* s) {
  return Field(s, &TSectorConfig::dataCrcError);
}
std::int32_t trk_getSectorDataCrc(const TSectorConfig* s) {
  return Field(s, &TSectorConfig::dataCrc);
}
std::int32_t trk_getSectorUseDataMark(const TSectorConfig* s) {
  return Field(s, &TSectorConfig::useDataMark);
}
std::int32_t trk_getSectorDataMark(const TSectorConfig* s) {
  return Field(s, &TSectorConfig::dataMark);
}
std::int32_t trk_getSectorUseIdMark(const TSectorConfig* s) {
  return Field(s, &TSectorConfig::useIdMark);
}
std::int32_t trk_getSectorIdMark(const TSectorConfig* s) {
  return Field(s, &TSectorConfig::idMark);
}
std::int32_t trk_getSectorStartCell(const TSectorConfig* s) {
  return Field(s, &TSectorConfig::startCell);
}
std::int32_t trk_getSectorDataStartCell(const TSectorConfig* s) {
  return Field(s, &TSectorConfig::dataStartCell);
}
std::int32_t trk_getSectorEndCell(const TSectorConfig* s) {
  return Field(s, &TSectorConfig::endCell);
}
std::int32_t trk_getSectorEncoding(const TSectorConfig* s) {
  return s ? static_cast<std::int32_t>(s->encoding) : 0;
}
std::int32_t trk_getSectorGap3(const TSectorConfig* s) {
  return Field(s, &TSectorConfig::gap3);
}
std::int32_t trk_getSectorBitrate(const TSectorConfig* s) {
  return Field(s, &TSectorConfig::bitRate);
}
std::int32_t trk_getSectorFillByte(const TSectorConfig* s) {
  return s ? s->fillByte : 0;
}
std::int32_t trk_getSectorFillFlag(const TSectorConfig* s) {
  return s ? s->fillFlag : 0;
}
std::span<const std::uint8_t> trk_getSectorData(const TSectorConfig* s) {
  return s ? std::span<const std::uint8_t>(s->data) : std::span<const std::uint8_t>();
}

}  // namespace hfe
