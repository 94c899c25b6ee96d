// Services on a whole floppy: a deep copy, the two numbered properties and the getters and
// setters of floppy, cylinder and side fields.
#pragma once

#include <cstdint>
#include <memory>

#include "hfe/hfe_types.h"

namespace hfe {

// Property ids of trk_getFloppyProperty and trk_setFloppyProperty.
inline constexpr int kPropertyDoubleStep = 1;     // 0 or 0xFF
inline constexpr int kPropertyInterfaceMode = 2;  // 0 .. 0xFFFF

// A copy of the floppy with its own cylinders, sides and side tables.
std::unique_ptr<TFloppy> trk_floppyCopy(const TFloppy& floppy);

// The property's value, or -4 for another id.
int trk_getFloppyProperty(const TFloppy& floppy, int id);
// 0 done; -4 for another id or a value the property cannot hold. Any non-zero double step
// stores 0xFF.
int trk_setFloppyProperty(TFloppy& floppy, int id, std::int32_t value);

std::int32_t trk_getFloppyInterfaceType(const TFloppy& floppy);
std::int32_t trk_getFloppyDoubleStep(const TFloppy& floppy);
// Any non-zero value switches double stepping on (stored as 0xFF).
int trk_setFloppyDoubleStep(TFloppy& floppy, std::int32_t doubleStep);
std::int32_t trk_getNumberOfTrack(const TFloppy& floppy);
std::int32_t trk_getNumberOfSide(const TFloppy& floppy);

// Side fields; -4 when the track side does not exist.
std::int32_t trk_getSideBitrate(const TFloppy& floppy, std::int32_t track, std::int32_t side);
std::int32_t trk_getSideEncoding(const TFloppy& floppy, std::int32_t track, std::int32_t side);
std::int32_t trk_getSideLength(const TFloppy& floppy, std::int32_t track, std::int32_t side);
// Cylinder fields; -4 when the track does not exist.
std::int32_t trk_getCylinderRPM(const TFloppy& floppy, std::int32_t track);
std::int32_t trk_getCylinderNumberOfSide(const TFloppy& floppy, std::int32_t track);

// The library's version and licence texts.
const char* trk_getVersion();
const char* trk_getLicense();

}  // namespace hfe
