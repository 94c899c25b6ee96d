// Builder getters and the setters the track bridge does not need.
#include "hfe/builder_settings.h"

#include <algorithm>

#include "hfe/allocation_guard.h"

namespace hfe {

namespace {

constexpr std::int32_t kMaxTracks = 256;
constexpr std::int32_t kMaxBitRate = 10000000;
constexpr std::int32_t kTrackFormats = 18;

const TTrackContext& Current(const TFloppyBuilder& builder) {
  return builder.contexts[static_cast<std::size_t>(builder.stackPointer)];
}

const TSectorConfig& Template(const TFloppyBuilder& builder) {
  return Current(builder).sectorTemplate;
}

TSectorConfig& Template(TFloppyBuilder& builder) {
  return builder.Current().sectorTemplate;
}

const TIndexPulse* Pulse(const TFloppyBuilder& builder, std::int32_t entry) {
  if (entry < 0 || static_cast<std::size_t>(entry) >= kIndexPulses) return nullptr;
  return &Current(builder).indexPulses[static_cast<std::size_t>(entry)];
}

}  // namespace

int trk_setNumberOfTrack(TFloppyBuilder& builder, std::int32_t tracks) {
  return GuardAllocation(builder.context, "trk_setNumberOfTrack", kLimitReached, [&] {
    if (!builder.floppy) return kLimitReached;
    if (tracks < 1 || tracks > kMaxTracks) return kBadParameter;
    builder.floppy->trackCount = tracks;
    builder.floppy->cylinders.resize(static_cast<std::size_t>(tracks));
    return kOk;
  });
}

int trk_setNumberOfSide(TFloppyBuilder& builder, std::int32_t sides) {
  return GuardAllocation(builder.context, "trk_setNumberOfSide", kLimitReached, [&] {
    if (!builder.floppy) return kLimitReached;
    if (sides < 1 || sides > 2) return kBadParameter;
    builder.floppy->sideCount = sides;
    for (auto& cylinder : builder.floppy->cylinders) {
      if (!cylinder) continue;
      cylinder->sideCount = sides;
      cylinder->sides.resize(static_cast<std::size_t>(sides));
    }
    return kOk;
  });
}

int trk_setTrackType(TFloppyBuilder& builder, TrackFormat format) {
  const auto code = static_cast<std::int32_t>(format);
  if (code < 1 || code > kTrackFormats) return kBadParameter;
  builder.Current().trackFormat = format;
  Template(builder).trackFormat = format;
  return kOk;
}

int trk_setSectorIdMark(TFloppyBuilder& builder, std::uint8_t mark) {
  Template(builder).idMark = mark;
  Template(builder).useIdMark = 0xFF;
  return kOk;
}

int trk_setSectorSizeCode(TFloppyBuilder& builder, std::int32_t code) {
  if (code < 0 || code > 0xFF) return kBadParameter;
  Template(builder).sizeCode = static_cast<std::uint16_t>(code);
  Template(builder).useSizeCode = true;
  return kOk;
}

int trk_setSectorHeaderCrc(TFloppyBuilder& builder, std::int32_t crc) {
  if (crc < 0 || crc > 0xFFFF) return kBadParameter;
  Template(builder).headerCrc = crc;
  Template(builder).headerCrcMode = CrcMode::Stored;
  return kOk;
}

int trk_setSectorDataCrc(TFloppyBuilder& builder, std::int32_t crc) {
  if (crc < 0 || crc > 0xFFFF) return kBadParameter;
  Template(builder).dataCrc = crc;
  Template(builder).dataCrcMode = CrcMode::Stored;
  return kOk;
}

int trk_setSectorBitrate(TFloppyBuilder& builder, std::int32_t bitRate) {
  if (bitRate <= 0 || bitRate > kMaxBitRate) return kBadParameter;
  Template(builder).bitRate = bitRate;
  return kOk;
}

int trk_setIndexFlag(TFloppyBuilder& builder, std::int32_t flag) {
  builder.Current().indexFlag = flag ? 0xFF : 0;
  return kOk;
}

std::int32_t trk_getNumberOfTrack(const TFloppyBuilder& builder) {
  return builder.floppy ? builder.floppy->trackCount : 0;
}

std::int32_t trk_getNumberOfSide(const TFloppyBuilder& builder) {
  return builder.floppy ? builder.floppy->sideCount : 0;
}

std::int32_t trk_getCurrentTrack(const TFloppyBuilder& builder) {
  return Current(builder).track;
}

std::int32_t trk_getCurrentSide(const TFloppyBuilder& builder) {
  return Current(builder).side;
}

TrackFormat trk_getTrackType(const TFloppyBuilder& builder) {
  return Current(builder).trackFormat;
}

std::int32_t trk_getTrackBitrate(const TFloppyBuilder& builder) {
  return Current(builder).bitRate;
}

std::int32_t trk_getTrackRPM(const TFloppyBuilder& builder) {
  return Current(builder).rpm;
}

std::int32_t trk_getTrackInterleave(const TFloppyBuilder& builder) {
  return Current(builder).interleave;
}

std::int32_t trk_getTrackSkew(const TFloppyBuilder& builder) {
  return Current(builder).skew;
}

std::int32_t trk_getTrackPreGap(const TFloppyBuilder& builder) {
  return Current(builder).preIndexGap;
}

std::int32_t trk_getStartSectorID(const TFloppyBuilder& builder) {
  return Current(builder).firstSectorId;
}

std::int32_t trk_getSectorSize(const TFloppyBuilder& builder) {
  return Current(builder).sectorSize;
}

std::int32_t trk_getIndexLength(const TFloppyBuilder& builder, std::int32_t entry) {
  const TIndexPulse* pulse = Pulse(builder, entry);
  return pulse ? pulse->lengthUs : 0;
}

std::int32_t trk_getIndexPosition(const TFloppyBuilder& builder, std::int32_t entry) {
  const TIndexPulse* pulse = Pulse(builder, entry);
  return pulse ? pulse->positionUs : 0;
}

std::int32_t trk_getIndexFlag(const TFloppyBuilder& builder) {
  return Current(builder).indexFlag;
}

std::int32_t trk_getSectorGap3(const TFloppyBuilder& builder) {
  return Template(builder).gap3;
}

std::int32_t trk_getSectorFill(const TFloppyBuilder& builder) {
  return Template(builder).fillByte;
}

std::int32_t trk_getSectorBitrate(const TFloppyBuilder& builder) {
  return Template(builder).bitRate;
}

std::int32_t trk_getSectorDataMark(const TFloppyBuilder& builder) {
  return Template(builder).useDataMark ? Template(builder).dataMark : -1;
}

std::int32_t trk_getSectorIdMark(const TFloppyBuilder& builder) {
  return Template(builder).useIdMark ? Template(builder).idMark : -1;
}

std::int32_t trk_getSectorSizeCode(const TFloppyBuilder& builder) {
  return Template(builder).useSizeCode ? Template(builder).sizeCode : -1;
}

std::int32_t trk_getSectorHeaderCrc(const TFloppyBuilder& builder) {
  const TSectorConfig& sector = Template(builder);
  return sector.headerCrcMode == CrcMode::Stored ? sector.headerCrc : -1;
}

std::int32_t trk_getSectorDataCrc(const TFloppyBuilder& builder) {
  const TSectorConfig& sector = Template(builder);
  return sector.dataCrcMode == CrcMode::Stored ? sector.dataCrc : -1;
}

std::int32_t trk_getSectorCount(const TFloppyBuilder& builder) {
  return static_cast<std::int32_t>(Current(builder).sectors.size());
}

}  // namespace hfe
