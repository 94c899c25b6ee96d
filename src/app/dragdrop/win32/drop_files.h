// The shell's file list ("CF_HDROP"): a DROPFILES header and the paths that follow it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace app::dragdrop {

// The paths of a file-list block from another program, read within the block's bounds: wide or
// 8-bit (the ANSI code page) names, each ending in a zero, the list ending in an empty name. A
// name that runs past the block is left out, and so is everything after it.
std::vector<std::filesystem::path> ParseDropFiles(std::span<const std::uint8_t> block);

}  // namespace app::dragdrop
