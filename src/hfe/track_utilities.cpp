// Track utilities over the generator and the byte coders.
#include "hfe/track_utilities.h"

#include <algorithm>

#include "hfe/allocation_guard.h"
#include "hfe/fm_codec.h"
#include "hfe/mfm_codec.h"
#include "hfe/track_generator.h"

namespace hfe {

namespace {

constexpr std::int32_t kMaxBitRate = 10000000;
constexpr std::int32_t kIndexPulseUs = 2500;

bool InRange(std::size_t size, std::int32_t first, std::int32_t count) {
  return first >= 0 && count >= 0 &&
         static_cast<std::size_t>(first) + static_cast<std::size_t>(count) <= size;
}

std::size_t SideBytes(const TSide& side) {
  return std::min(static_cast<std::size_t>(std::max(side.trackLength, 0)) / 8,
                  side.cellData.size());
}

std::unique_ptr<TSide> EmptySide(TrackFormat format, std::int32_t rpm, std::int32_t bitRate) {
  if (bitRate <= 0 || bitRate > kMaxBitRate) return nullptr;
  TTrackContext context;
  context.trackFormat = format;
  context.sectorTemplate.trackFormat = format;
  context.rpm = rpm;
  context.bitRate = bitRate;
  auto side = GenerateSide(context);
  if (side)
    ApplyIndexPulse(*side, context.indexPulses[0].positionUs, context.indexPulses[0].lengthUs);
  return side;
}

std::unique_ptr<TSide> RawSide(std::span<const std::uint8_t> bytes,
                               std::span<const std::uint8_t> clocks, bool fm, std::int32_t bitRate,
                               TrackEncoding encoding) {
  const std::int64_t cellsPerByte = fm ? 32 : 16;
  if (bitRate <= 0 || (!clocks.empty() && clocks.size() != bytes.size()) ||
      static_cast<std::int64_t>(bytes.size()) * cellsPerByte > kMaxTrackCells)
    return nullptr;
  const std::int64_t cells = std::max<std::int64_t>(
      (static_cast<std::int64_t>(bytes.size()) * cellsPerByte + 31) / 32 * 32, 32);
  auto side = std::make_unique<TSide>();
  side->trackLength = static_cast<std::int32_t>(cells);
  side->cellData.assign(static_cast<std::size_t>(cells / 8), 0);
  side->indexMap.assign(side->cellData.size(), 0);
  side->bitRate = bitRate;
  side->trackEncoding = encoding;
  side->sectorCount = -1;
  TCellWriter writer(side->cellData, side->trackLength);
  TMfmEncoder mfm{writer, 0};
  if (!fm && clocks.empty()) {
    mfmEncode(mfm, bytes);  // every clock kept: the whole run at once
    ApplyIndexPulse(*side, 0, kIndexPulseUs);
    return side;
  }
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const std::uint8_t clock = clocks.empty() ? 0xFF : clocks[i];
    if (fm) {
      fmEncodeWithClock(writer, bytes[i], clock);
    } else {
      mfmEncodeRepeated(mfm, bytes[i], clock, 1);
    }
  }
  ApplyIndexPulse(*side, 0, kIndexPulseUs);
  return side;
}

}  // namespace

std::int64_t trk_getTrackSize(TrackFormat format, std::span<const TSectorConfig> sectors) {
  return TrackLayoutBytes(format, 0, sectors).value_or(kBadParameter);
}

std::unique_ptr<TSide> trk_generateEmptySide(TrackFormat format, std::int32_t rpm,
                                             std::int32_t bitRate) {
  return GuardAllocation(nullptr, "trk_generateEmptySide", std::unique_ptr<TSide>(),
                         [&] { return EmptySide(format, rpm, bitRate); });
}

std::unique_ptr<TSide> trk_generateRawSide(std::span<const std::uint8_t> bytes,
                                           std::span<const std::uint8_t> clocks, bool fm,
                                           std::int32_t bitRate, TrackEncoding encoding) {
  return GuardAllocation(nullptr, "trk_generateRawSide", std::unique_ptr<TSide>(),
                         [&] { return RawSide(bytes, clocks, fm, bitRate, encoding); });
}

int trk_fillTimingTable(TSide& side, std::int32_t firstByte, std::int32_t count,
                        std::int32_t bitRate) {
  return GuardAllocation(nullptr, "trk_fillTimingTable", kLimitReached, [&] {
    const std::size_t bytes = SideBytes(side);
    if (bitRate <= 0 || !InRange(bytes, firstByte, count)) return kBadParameter;
    if (side.timing.size() != bytes)
      side.timing.assign(bytes, static_cast<std::uint32_t>(std::max(side.bitRate, 0)));
    std::fill_n(side.timing.begin() + firstByte, count, static_cast<std::uint32_t>(bitRate));
    return kOk;
  });
}

int trk_fillSideTable(TSide& side, TSideTable table, std::int32_t firstByte, std::int32_t count,
                      std::uint8_t value) {
  return GuardAllocation(nullptr, "trk_fillSideTable", kLimitReached, [&] {
    const std::size_t bytes = SideBytes(side);
    if (!InRange(bytes, firstByte, count)) return kBadParameter;
    auto& target = table == TSideTable::Index ? side.indexMap : side.flakeyBits;
    if (target.size() != bytes) target.assign(bytes, 0);
    std::fill_n(target.begin() + firstByte, count, value);
    return kOk;
  });
}

std::int64_t trk_getCellTimeUs(const TSide& side, std::int32_t from, std::int32_t to) {
  const std::int32_t length = static_cast<std::int32_t>(std::min<std::int64_t>(
      std::max(side.trackLength, 0), static_cast<std::int64_t>(side.cellData.size()) * 8));
  if (length <= 0 || from < 0 || to < 0 || from >= length || to >= length) return kBadParameter;
  const std::int64_t cells = (static_cast<std::int64_t>(to) - from + length) % length;
  const bool perByte =
      side.timing.size() >= static_cast<std::size_t>(length) / 8 && side.bitRate <= 0;
  if (!perByte) {
    if (side.bitRate <= 0) return kBadParameter;
    return cells * 500000 / side.bitRate;
  }
  // A cell lasts 500,000,000,000 / bit rate picoseconds at its byte's bit rate.
  std::int64_t picoseconds = 0;
  for (std::int64_t i = 0; i < cells; ++i) {
    const auto byte = static_cast<std::size_t>(((from + i) % length) / 8);
    const std::uint32_t rate = byte < side.timing.size() ? side.timing[byte] : 0;
    if (rate == 0) return kBadParameter;
    picoseconds += 500000000000 / rate;
  }
  return picoseconds / 1000000;
}

std::int32_t trk_getSizeCode(std::int32_t size) {
  return SizeCodeOf(size);
}

}  // namespace hfe
