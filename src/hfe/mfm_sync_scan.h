// A fast search for the MFM address-mark sync (three sync words 0x4489) inside a track side.
#pragma once

#include <cstdint>
#include <span>

namespace hfe {

// The first position in [from, to) where the three sync words start, or -1. The caller keeps
// every cell looked at inside the side's bytes: (to >> 3) + 12 <= cells.size(), and
// to + 48 <= the side's length so that no match wraps.
std::int32_t FindMfmSyncInside(std::span<const std::uint8_t> cells, std::int32_t from,
                               std::int32_t to);

}  // namespace hfe
