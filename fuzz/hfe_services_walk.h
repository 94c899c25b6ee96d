// The track library's further services, driven by hfe_fuzz's input.
#pragma once

#include <cstdint>
#include <span>

void FuzzTrackServices(std::span<const std::uint8_t> input);
