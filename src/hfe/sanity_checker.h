// The floppy sanity checker: mends what a loader got wrong in a floppy's counts and bit rates and
// reports what is missing, so the other services can trust the structure.
#pragma once

#include "hfe/hfe_types.h"
#include "hfe/track_library.h"

namespace hfe {

// 0 when the floppy was sound; -2 when something had to be mended or is missing (each finding
// logged at level 3). Afterwards the floppy has 1 or 2 sides, at most 256 tracks, one cylinder
// slot per track, one side slot per cylinder side, bit rates within 25 kbit/s to 1 Mbit/s
// (except -1, "differs") and side lengths within their cell data.
int trk_sanityCheck(const TLibContext& context, TFloppy& floppy);

}  // namespace hfe
