// Floppy copies, properties and field getters.
#include "hfe/floppy_properties.h"

#include "hfe/allocation_guard.h"

namespace hfe {

namespace {

const TCylinder* CylinderOf(const TFloppy& floppy, std::int32_t track) {
  if (track < 0 || static_cast<std::size_t>(track) >= floppy.cylinders.size()) return nullptr;
  return floppy.cylinders[static_cast<std::size_t>(track)].get();
}

}  // namespace

std::unique_ptr<TFloppy> trk_floppyCopy(const TFloppy& floppy) {
  return GuardAllocation(nullptr, "trk_floppyCopy", std::unique_ptr<TFloppy>(), [&] {
    auto copy = std::make_unique<TFloppy>();
    copy->bitRate = floppy.bitRate;
    copy->sideCount = floppy.sideCount;
    copy->trackCount = floppy.trackCount;
    copy->sectorsPerTrack = floppy.sectorsPerTrack;
    copy->interfaceType = floppy.interfaceType;
    copy->doubleStep = floppy.doubleStep;
    copy->cylinders.reserve(floppy.cylinders.size());
    for (const auto& cylinder : floppy.cylinders) {
      if (!cylinder) {
        copy->cylinders.emplace_back();
        continue;
      }
      auto target = std::make_unique<TCylinder>();
      target->rpm = cylinder->rpm;
      target->sideCount = cylinder->sideCount;
      target->sides.reserve(cylinder->sides.size());
      for (const auto& side : cylinder->sides)
        target->sides.push_back(side ? std::make_unique<TSide>(*side) : nullptr);
      copy->cylinders.push_back(std::move(target));
    }
    return copy;
  });
}

int trk_getFloppyProperty(const TFloppy& floppy, int id) {
  switch (id) {
    case kPropertyDoubleStep:
      return floppy.doubleStep ? 0xFF : 0;
    case kPropertyInterfaceMode:
      return floppy.interfaceType & 0xFFFF;
    default:
      return kBadParameter;
  }
}

int trk_setFloppyProperty(TFloppy& floppy, int id, std::int32_t value) {
  switch (id) {
    case kPropertyDoubleStep:
      return trk_setFloppyDoubleStep(floppy, value);
    case kPropertyInterfaceMode:
      if (value < 0 || value > 0xFFFF) return kBadParameter;
      floppy.interfaceType = value;
      return kOk;
    default:
      return kBadParameter;
  }
}

std::int32_t trk_getFloppyInterfaceType(const TFloppy& floppy) {
  return floppy.interfaceType;
}

std::int32_t trk_getFloppyDoubleStep(const TFloppy& floppy) {
  return floppy.doubleStep;
}

int trk_setFloppyDoubleStep(TFloppy& floppy, std::int32_t doubleStep) {
  floppy.doubleStep = doubleStep ? 0xFF : 0;
  return kOk;
}

std::int32_t trk_getNumberOfTrack(const TFloppy& floppy) {
  return floppy.trackCount;
}

std::int32_t trk_getNumberOfSide(const TFloppy& floppy) {
  return floppy.sideCount;
}

std::int32_t trk_getSideBitrate(const TFloppy& floppy, std::int32_t track, std::int32_t side) {
  const TSide* record = floppy.Side(track, side);
  return record ? record->bitRate : kBadParameter;
}

std::int32_t trk_getSideEncoding(const TFloppy& floppy, std::int32_t track, std::int32_t side) {
  const TSide* record = floppy.Side(track, side);
  return record ? static_cast<std::int32_t>(record->trackEncoding) : kBadParameter;
}

std::int32_t trk_getSideLength(const TFloppy& floppy, std::int32_t track, std::int32_t side) {
  const TSide* record = floppy.Side(track, side);
  return record ? record->trackLength : kBadParameter;
}

std::int32_t trk_getCylinderRPM(const TFloppy& floppy, std::int32_t track) {
  const TCylinder* cylinder = CylinderOf(floppy, track);
  return cylinder ? cylinder->rpm : kBadParameter;
}

std::int32_t trk_getCylinderNumberOfSide(const TFloppy& floppy, std::int32_t track) {
  const TCylinder* cylinder = CylinderOf(floppy, track);
  return cylinder ? cylinder->sideCount : kBadParameter;
}

const char* trk_getVersion() {
  return "Quollbox track library 1.0.0";
}

const char* trk_getLicense() {
  return "The Quollbox track library is part of Quollbox and is licensed under the same terms as "
         "the program.";
}

}  // namespace hfe
