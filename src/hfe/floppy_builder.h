// The floppy builder: track contexts that collect sectors and, when closed, have the track
// generator lay the track side out and encode it into the floppy under construction.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "hfe/hfe_types.h"
#include "hfe/track_library.h"

namespace hfe {

inline constexpr std::int32_t kTrackContexts = 128;
inline constexpr std::size_t kMaxTrackSectors = 511;
inline constexpr std::size_t kMaxSectorRun = 1024;
inline constexpr std::size_t kIndexPulses = 64;
inline constexpr std::int32_t kMaxSectorSize = 16384;

struct TIndexPulse {
  std::int32_t lengthUs = 0;
  std::int32_t positionUs = 0;  // negative: counted back from the end of the track
};

struct TTrackContext {
  TSectorConfig sectorTemplate = [] {
    TSectorConfig sector;
    sector.size = 512;
    sector.trackFormat = TrackFormat::IsoIbmMfm;
    sector.gap3 = 255;
    sector.bitRate = 250000;
    sector.fillByte = 0xF6;
    return sector;
  }();
  std::int32_t track = 0;
  std::int32_t side = 0;
  std::int32_t interleave = 1;
  std::int32_t firstSectorId = 1;
  std::int32_t sectorSize = 512;
  std::int32_t skew = 0;
  TrackFormat trackFormat = TrackFormat::IsoIbmMfm;
  std::int32_t rpm = 300;
  std::int32_t preIndexGap = 0;  // bytes added to gap 4a
  std::int32_t bitRate = 250000;
  std::array<TIndexPulse, kIndexPulses> indexPulses = [] {
    std::array<TIndexPulse, kIndexPulses> pulses{};
    pulses[0] = {2500, -2500};
    return pulses;
  }();
  std::int32_t indexFlag = 0;
  TLibVector<TSectorConfig> sectors;
  std::size_t largestCount = 0;
};

class TFloppyBuilder : public TLibRecord {
 public:
  std::unique_ptr<TFloppy> floppy;
  TLibContext* context = nullptr;
  std::int32_t stackPointer = 0;  // 0: the base context
  TLibVector<TTrackContext> contexts;

  TTrackContext& Current() { return contexts[static_cast<std::size_t>(stackPointer)]; }
};

// Null unless 1 <= tracks <= 256 and 1 <= sides <= 2.
std::unique_ptr<TFloppyBuilder> trk_init_floppy(TLibContext& context, std::int32_t tracks,
                                                std::int32_t sides);
// Note the order: rpm, track, side, format.
int trk_pushTrack(TFloppyBuilder& builder, std::int32_t rpm, std::int32_t track, std::int32_t side,
                  TrackFormat format);
// Note the order: id, side, track. An empty `data` makes a sector of fill bytes.
int trk_addSector(TFloppyBuilder& builder, std::int32_t id, std::int32_t side, std::int32_t track,
                  std::span<const std::uint8_t> data, std::int32_t size);
// `count` sectors with ids from the context's first sector id, each of the context's sector
// size, their data taken one after another from `data` (fill bytes when it is empty).
int trk_addSectors(TFloppyBuilder& builder, std::int32_t side, std::int32_t track,
                   std::span<const std::uint8_t> data, std::int32_t count);
int trk_popTrack(TFloppyBuilder& builder);
// Completes the floppy: missing track sides are generated empty.
std::unique_ptr<TFloppy> trk_getFloppy(std::unique_ptr<TFloppyBuilder> builder);

// Setters of the current track context and its sector template.
int trk_setTrackBitrate(TFloppyBuilder& builder, std::int32_t bitRate);
int trk_setSectorGap3(TFloppyBuilder& builder, std::int32_t gap3);
int trk_setSectorEncoding(TFloppyBuilder& builder, TrackFormat format);
int trk_setSectorFill(TFloppyBuilder& builder, std::uint8_t fill);
int trk_setSectorDataMark(TFloppyBuilder& builder, std::uint8_t mark);
int trk_setSectorCrcModes(TFloppyBuilder& builder, CrcMode header, CrcMode data);
int trk_setTrackInterleave(TFloppyBuilder& builder, std::int32_t interleave);
int trk_setTrackSkew(TFloppyBuilder& builder, std::int32_t skew);
int trk_setTrackPreGap(TFloppyBuilder& builder, std::int32_t bytes);
int trk_setTrackRPM(TFloppyBuilder& builder, std::int32_t rpm);
int trk_setStartSectorID(TFloppyBuilder& builder, std::int32_t id);
int trk_setSectorSize(TFloppyBuilder& builder, std::int32_t size);
// Index pulse entries 0-63; higher entries are ignored.
int trk_setIndexLength(TFloppyBuilder& builder, std::int32_t entry, std::int32_t lengthUs);
int trk_setIndexPosition(TFloppyBuilder& builder, std::int32_t entry, std::int32_t positionUs);

}  // namespace hfe
