// Track utilities: layout sizes, side generators for empty and raw tracks, per-byte side tables,
// cell timing and sector size codes.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "hfe/hfe_types.h"

namespace hfe {

// Bytes a format lays out for the sectors without gap 4b; -4 for a format code without a row.
std::int64_t trk_getTrackSize(TrackFormat format, std::span<const TSectorConfig> sectors);
// A side of one revolution holding the format's prologue and gap only, with its index pulse;
// null for a format code without a row or a bit rate outside 1 bit/s to 10 Mbit/s.
std::unique_ptr<TSide> trk_generateEmptySide(TrackFormat format, std::int32_t rpm,
                                             std::int32_t bitRate);
// A side made of the given track bytes, each written with its clock (an MFM clock mask, or an FM
// clock byte; all 0xFF when `clocks` is empty), padded to a multiple of 32 cells; index pulse
// over the first 2,500 microseconds. Null when `clocks` is neither empty nor as long as `bytes`,
// the side would be longer than the generator makes, or the bit rate is not positive.
std::unique_ptr<TSide> trk_generateRawSide(std::span<const std::uint8_t> bytes,
                                           std::span<const std::uint8_t> clocks, bool fm,
                                           std::int32_t bitRate, TrackEncoding encoding);

// Which per-byte table of a side a fill writes.
enum class TSideTable { Index, FlakeyBits };

// Sets `count` cell bytes from `firstByte` of the side's per-byte bit rates (made from the side's
// bit rate when it has none) to `bitRate`; 0 done, -4 for a range outside the side or a bit rate
// that is not positive.
int trk_fillTimingTable(TSide& side, std::int32_t firstByte, std::int32_t count,
                        std::int32_t bitRate);
// Sets `count` bytes from `firstByte` of one of the side's byte tables (made empty when the side
// has none) to `value`; 0 done, -4 for a range outside the side.
int trk_fillSideTable(TSide& side, TSideTable table, std::int32_t firstByte, std::int32_t count,
                      std::uint8_t value);
// Microseconds from cell `from` to cell `to` of the side, going forward and wrapping at the end;
// -4 for positions outside the side or a side without a usable bit rate.
std::int64_t trk_getCellTimeUs(const TSide& side, std::int32_t from, std::int32_t to);
// The size code N with 128 shl N = size: 0 for 128 up to 7 for 16,384; 0 for other sizes.
std::int32_t trk_getSizeCode(std::int32_t size);

}  // namespace hfe
