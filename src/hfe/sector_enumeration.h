// Sector enumeration over whole track sides, the data size of a floppy, encoding detection and
// the getters of the sector record's fields.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "hfe/hfe_types.h"
#include "hfe/sector_access.h"

namespace hfe {

// A walk stops after this many sectors of one track side.
inline constexpr std::size_t kMaxEnumeratedSectors = 1024;

using TSectorList = std::vector<std::unique_ptr<TSectorConfig>>;

// Every sector of the track side in the encoding, in track order (data decoded); empty for a
// missing side.
TSectorList trk_getAllTrackSectors(TSectorAccess& access, std::int32_t track, std::int32_t side,
                                   SectorSearch encoding);
// The MFM and FM sectors of the track side merged in the order of their start positions.
TSectorList trk_getAllTrackISOSectors(TSectorAccess& access, std::int32_t track, std::int32_t side);
// Bytes of data in the identified sectors of the whole floppy, each side read in the encoding
// that last found sectors first, then the others; `sectorCount`, when given, gets their number.
std::int64_t trk_getFloppyDataSize(TLibContext& context, TFloppy& floppy,
                                   std::int32_t* sectorCount = nullptr);
// Stores in every track side the encoding whose parser finds sectors there (sides where none
// does keep theirs); returns the number of sides that got one.
int trk_detectSideEncodings(TLibContext& context, TFloppy& floppy);

// The fields of a sector record; 0 for a null record.
std::int32_t trk_getSectorHead(const TSectorConfig* sector);
std::int32_t trk_getSectorID(const TSectorConfig* sector);
std::int32_t trk_getSectorOrder(const TSectorConfig* sector);
std::int32_t trk_getSectorCylinder(const TSectorConfig* sector);
std::int32_t trk_getSectorSize(const TSectorConfig* sector);
std::int32_t trk_getSectorSizeCode(const TSectorConfig* sector);
std::int32_t trk_getSectorHeaderCrcError(const TSectorConfig* sector);
std::int32_t trk_getSectorHeaderCrc(const TSectorConfig* sector);
std::int32_t trk_getSectorDataCrcError(const TSectorConfig* sector);
std::int32_t trk_getSectorDataCrc(const TSectorConfig* sector);
std::int32_t trk_getSectorUseDataMark(const TSectorConfig* sector);
std::int32_t trk_getSectorDataMark(const TSectorConfig* sector);
std::int32_t trk_getSectorUseIdMark(const TSectorConfig* sector);
std::int32_t trk_getSectorIdMark(const TSectorConfig* sector);
std::int32_t trk_getSectorStartCell(const TSectorConfig* sector);
std::int32_t trk_getSectorDataStartCell(const TSectorConfig* sector);
std::int32_t trk_getSectorEndCell(const TSectorConfig* sector);
std::int32_t trk_getSectorEncoding(const TSectorConfig* sector);
std::int32_t trk_getSectorGap3(const TSectorConfig* sector);
std::int32_t trk_getSectorBitrate(const TSectorConfig* sector);
std::int32_t trk_getSectorFillByte(const TSectorConfig* sector);
std::int32_t trk_getSectorFillFlag(const TSectorConfig* sector);
// The decoded data; empty for a null record or one without data.
std::span<const std::uint8_t> trk_getSectorData(const TSectorConfig* sector);

}  // namespace hfe
