// The track generator: lays out one track side in a track format (gaps, syncs, address marks,
// CRCs) and encodes it into cells.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "hfe/floppy_builder.h"
#include "hfe/hfe_types.h"

namespace hfe {

// Longest side the generator makes (1 MiB of cells); longer layouts are refused.
inline constexpr std::int64_t kMaxTrackCells = std::int64_t{1} << 23;

// The side encoding that a track format produces.
TrackEncoding SideEncodingOf(TrackFormat format);
// The gap 3 that the gap table gives for a format, sector size and count, if any.
std::optional<std::int32_t> LookupGap3(TrackFormat format, std::int32_t size, std::size_t count);
// The size code N with 128 shl N = size (0 for sizes that are not such a power).
std::uint16_t SizeCodeOf(std::int32_t size);

// Bytes a format lays out for the sectors: prologue, sectors and their gap 3, without gap 4b.
// Nothing for a format without a row or a negative pre-index gap.
std::optional<std::int64_t> TrackLayoutBytes(TrackFormat format, std::int32_t preIndexGap,
                                             std::span<const TSectorConfig> sectors);

// Generates the side of a track context; null for a track format without a row.
std::unique_ptr<TSide> GenerateSide(const TTrackContext& context);
// Marks the index pulse of `lengthUs` microseconds from `positionUs` (negative: before the end).
void ApplyIndexPulse(TSide& side, std::int32_t positionUs, std::int32_t lengthUs);

}  // namespace hfe
