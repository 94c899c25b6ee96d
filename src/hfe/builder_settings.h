// The floppy builder's remaining setters and its getters: floppy geometry, the current track
// context and the current sector template. Values that come with a flag (identity mark, size
// code, stored CRCs) make the generator write that value instead of its own.
#pragma once

#include <cstdint>

#include "hfe/floppy_builder.h"

namespace hfe {

// Tracks 1-256 (cylinders past the new count are dropped); -4 outside, -5 without a floppy.
int trk_setNumberOfTrack(TFloppyBuilder& builder, std::int32_t tracks);
// Sides 1-2; cylinders already built get or lose their second side. -4 outside, -5 without a
// floppy.
int trk_setNumberOfSide(TFloppyBuilder& builder, std::int32_t sides);
// Track format 1-18 of the current context and its template; -4 otherwise.
int trk_setTrackType(TFloppyBuilder& builder, TrackFormat format);
int trk_setSectorIdMark(TFloppyBuilder& builder, std::uint8_t mark);
// Size code 0-255 written in the identity field instead of the one of the sector size.
int trk_setSectorSizeCode(TFloppyBuilder& builder, std::int32_t code);
// CRCs 0-0xFFFF written instead of the computed ones; -4 outside.
int trk_setSectorHeaderCrc(TFloppyBuilder& builder, std::int32_t crc);
int trk_setSectorDataCrc(TFloppyBuilder& builder, std::int32_t crc);
// The template's own bit rate (1 bit/s to 10 Mbit/s); -4 outside.
int trk_setSectorBitrate(TFloppyBuilder& builder, std::int32_t bitRate);
// Whether the first index pulse counts against the track's time (0) or not (non-zero).
int trk_setIndexFlag(TFloppyBuilder& builder, std::int32_t flag);

std::int32_t trk_getNumberOfTrack(const TFloppyBuilder& builder);
std::int32_t trk_getNumberOfSide(const TFloppyBuilder& builder);
std::int32_t trk_getCurrentTrack(const TFloppyBuilder& builder);
std::int32_t trk_getCurrentSide(const TFloppyBuilder& builder);
TrackFormat trk_getTrackType(const TFloppyBuilder& builder);
std::int32_t trk_getTrackBitrate(const TFloppyBuilder& builder);
std::int32_t trk_getTrackRPM(const TFloppyBuilder& builder);
std::int32_t trk_getTrackInterleave(const TFloppyBuilder& builder);
std::int32_t trk_getTrackSkew(const TFloppyBuilder& builder);
std::int32_t trk_getTrackPreGap(const TFloppyBuilder& builder);
std::int32_t trk_getStartSectorID(const TFloppyBuilder& builder);
std::int32_t trk_getSectorSize(const TFloppyBuilder& builder);
// Index entries 0-63; 0 for higher entries.
std::int32_t trk_getIndexLength(const TFloppyBuilder& builder, std::int32_t entry);
std::int32_t trk_getIndexPosition(const TFloppyBuilder& builder, std::int32_t entry);
std::int32_t trk_getIndexFlag(const TFloppyBuilder& builder);
std::int32_t trk_getSectorGap3(const TFloppyBuilder& builder);
std::int32_t trk_getSectorFill(const TFloppyBuilder& builder);
std::int32_t trk_getSectorBitrate(const TFloppyBuilder& builder);
// The template's flagged values: the value when its flag is set, else -1.
std::int32_t trk_getSectorDataMark(const TFloppyBuilder& builder);
std::int32_t trk_getSectorIdMark(const TFloppyBuilder& builder);
std::int32_t trk_getSectorSizeCode(const TFloppyBuilder& builder);
std::int32_t trk_getSectorHeaderCrc(const TFloppyBuilder& builder);
std::int32_t trk_getSectorDataCrc(const TFloppyBuilder& builder);
std::int32_t trk_getSectorCount(const TFloppyBuilder& builder);

}  // namespace hfe
