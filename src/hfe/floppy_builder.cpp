// The floppy builder's track context stack.
#include "hfe/floppy_builder.h"

#include <algorithm>

#include "hfe/allocation_guard.h"
#include "hfe/track_generator.h"

namespace hfe {

namespace {

constexpr std::int32_t kDefaultBitRate = 250000;

TSectorConfig& Template(TFloppyBuilder& builder) {
  return builder.Current().sectorTemplate;
}

// Builder steps without the allocation guard, so that the public entry points that combine them
// see an allocation failure once, where it happened.
int PushTrack(TFloppyBuilder& builder, std::int32_t rpm, std::int32_t track, std::int32_t side,
              TrackFormat format) {
  if (builder.stackPointer >= kTrackContexts - 1) return kBadParameter;
  const TTrackContext& current = builder.Current();
  TTrackContext& next = builder.contexts[static_cast<std::size_t>(builder.stackPointer + 1)];
  next = current;
  next.sectors.clear();
  next.largestCount = 0;
  next.rpm = rpm;
  next.track = track;
  next.side = side;
  next.trackFormat = format;
  next.sectorTemplate.trackFormat = format;
  ++builder.stackPointer;
  return kOk;
}

// Generates the current context's track side into the floppy.
int GenerateTrack(TFloppyBuilder& builder) {
  TTrackContext& context = builder.Current();
  TFloppy& floppy = *builder.floppy;
  if (context.track < 0 || context.track >= floppy.trackCount || context.side < 0 ||
      context.side >= floppy.sideCount)
    return kBadParameter;
  auto side = GenerateSide(context);
  if (!side) return kBadParameter;
  for (std::size_t entry = 1; entry < context.indexPulses.size(); ++entry)
    if (context.indexPulses[entry].lengthUs != 0)
      ApplyIndexPulse(*side, context.indexPulses[entry].positionUs,
                      context.indexPulses[entry].lengthUs);
  if (context.indexFlag == 0)
    ApplyIndexPulse(*side, context.indexPulses[0].positionUs, context.indexPulses[0].lengthUs);
  auto& cylinder = floppy.cylinders[static_cast<std::size_t>(context.track)];
  if (!cylinder) {
    auto made = std::make_unique<TCylinder>();
    made->rpm = static_cast<std::uint16_t>(std::clamp(context.rpm, 0, 0xFFFF));
    made->sideCount = floppy.sideCount;
    made->sides.resize(static_cast<std::size_t>(floppy.sideCount));
    cylinder = std::move(made);
  }
  cylinder->sides[static_cast<std::size_t>(context.side)] = std::move(side);
  return kOk;
}

// Closes the current context whatever the generation gives, an allocation failure included, so
// the stack stays usable.
int PopTrack(TFloppyBuilder& builder) {
  if (builder.stackPointer == 0) return kBadParameter;
  struct TCloseContext {
    TFloppyBuilder& builder;
    ~TCloseContext() {
      builder.Current().sectors.clear();
      --builder.stackPointer;
    }
  } close{builder};
  return GenerateTrack(builder);
}

// Generates every side no context produced, settles the floppy's bit rate (-1 when the sides
// differ) and hands the floppy over.
std::unique_ptr<TFloppy> TakeFloppy(TFloppyBuilder& builder) {
  TFloppy& floppy = *builder.floppy;
  const TTrackContext& base = builder.contexts[0];
  for (std::int32_t track = 0; track < floppy.trackCount; ++track) {
    for (std::int32_t side = 0; side < floppy.sideCount; ++side) {
      if (floppy.Side(track, side)) continue;
      builder.stackPointer = 0;
      PushTrack(builder, base.rpm, track, side, base.trackFormat);
      PopTrack(builder);
    }
  }
  const TSide* first = floppy.Side(0, 0);
  floppy.bitRate = first ? first->bitRate : kDefaultBitRate;
  for (std::int32_t track = 0; track < floppy.trackCount; ++track)
    for (std::int32_t side = 0; side < floppy.sideCount; ++side) {
      const TSide* record = floppy.Side(track, side);
      if (record && record->bitRate != floppy.bitRate) floppy.bitRate = -1;
    }
  return std::move(builder.floppy);
}

}  // namespace

std::unique_ptr<TFloppyBuilder> trk_init_floppy(TLibContext& context, std::int32_t tracks,
                                                std::int32_t sides) {
  if (tracks < 1 || tracks > 256 || sides < 1 || sides > 2) return nullptr;
  context.Log(kLogDetail, "trk_init_floppy : floppy builder init");
  return GuardAllocation(&context, "trk_init_floppy", std::unique_ptr<TFloppyBuilder>(), [&] {
    auto builder = std::make_unique<TFloppyBuilder>();
    builder->context = &context;
    builder->contexts.resize(kTrackContexts);
    auto floppy = std::make_unique<TFloppy>();
    floppy->bitRate = kDefaultBitRate;
    floppy->sideCount = sides;
    floppy->trackCount = tracks;
    floppy->sectorsPerTrack = -1;
    floppy->interfaceType = 7;
    floppy->doubleStep = 0;
    floppy->cylinders.resize(static_cast<std::size_t>(tracks));
    builder->floppy = std::move(floppy);
    return builder;
  });
}

int trk_pushTrack(TFloppyBuilder& builder, std::int32_t rpm, std::int32_t track, std::int32_t side,
                  TrackFormat format) {
  return GuardAllocation(builder.context, "trk_pushTrack", kLimitReached,
                         [&] { return PushTrack(builder, rpm, track, side, format); });
}

int trk_addSector(TFloppyBuilder& builder, std::int32_t id, std::int32_t side, std::int32_t track,
                  std::span<const std::uint8_t> data, std::int32_t size) {
  TTrackContext& context = builder.Current();
  if (context.sectors.size() >= kMaxTrackSectors) return kLimitReached;
  if (size < 0 || size > kMaxSectorSize ||
      (!data.empty() && data.size() < static_cast<std::size_t>(size)))
    return kBadParameter;
  return GuardAllocation(builder.context, "trk_addSector", kLimitReached, [&] {
    TSectorConfig sector = context.sectorTemplate;
    sector.cylinder = track;
    sector.head = side;
    sector.sector = id;
    sector.size = size;
    if (!data.empty()) sector.data.assign(data.begin(), data.begin() + size);
    context.sectors.push_back(std::move(sector));
    context.largestCount = std::max(context.largestCount, context.sectors.size());
    return kOk;
  });
}

int trk_addSectors(TFloppyBuilder& builder, std::int32_t side, std::int32_t track,
                   std::span<const std::uint8_t> data, std::int32_t count) {
  const TTrackContext& context = builder.Current();
  if (count < 0 || static_cast<std::size_t>(count) > kMaxSectorRun) return kBadParameter;
  const auto size = static_cast<std::size_t>(context.sectorSize);
  if (!data.empty() && data.size() < size * static_cast<std::size_t>(count)) return kBadParameter;
  const std::int32_t firstId = context.firstSectorId;
  for (std::int32_t i = 0; i < count; ++i) {
    const auto bytes = data.empty() ? data : data.subspan(static_cast<std::size_t>(i) * size, size);
    const int result = trk_addSector(builder, firstId + i, side, track, bytes, context.sectorSize);
    if (result != kOk) return result;
  }
  return kOk;
}

int trk_popTrack(TFloppyBuilder& builder) {
  return GuardAllocation(builder.context, "trk_popTrack", kLimitReached,
                         [&] { return PopTrack(builder); });
}

std::unique_ptr<TFloppy> trk_getFloppy(std::unique_ptr<TFloppyBuilder> builder) {
  if (!builder) return nullptr;
  return GuardAllocation(builder->context, "trk_getFloppy", std::unique_ptr<TFloppy>(),
                         [&] { return TakeFloppy(*builder); });
}

int trk_setTrackBitrate(TFloppyBuilder& builder, std::int32_t bitRate) {
  if (bitRate <= 0) return kBadParameter;
  builder.Current().bitRate = bitRate;
  Template(builder).bitRate = bitRate;
  return kOk;
}

int trk_setSectorGap3(TFloppyBuilder& builder, std::int32_t gap3) {
  Template(builder).gap3 = gap3;
  return kOk;
}

int trk_setSectorEncoding(TFloppyBuilder& builder, TrackFormat format) {
  Template(builder).trackFormat = format;
  return kOk;
}

int trk_setSectorFill(TFloppyBuilder& builder, std::uint8_t fill) {
  Template(builder).fillByte = fill;
  return kOk;
}

int trk_setSectorDataMark(TFloppyBuilder& builder, std::uint8_t mark) {
  Template(builder).dataMark = mark;
  Template(builder).useDataMark = 0xFF;
  return kOk;
}

int trk_setSectorCrcModes(TFloppyBuilder& builder, CrcMode header, CrcMode data) {
  Template(builder).headerCrcMode = header;
  Template(builder).dataCrcMode = data;
  return kOk;
}

int trk_setTrackInterleave(TFloppyBuilder& builder, std::int32_t interleave) {
  builder.Current().interleave = interleave;
  return kOk;
}

int trk_setTrackSkew(TFloppyBuilder& builder, std::int32_t skew) {
  builder.Current().skew = skew;
  return kOk;
}

int trk_setTrackPreGap(TFloppyBuilder& builder, std::int32_t bytes) {
  if (bytes < 0) return kBadParameter;
  builder.Current().preIndexGap = bytes;
  return kOk;
}

int trk_setTrackRPM(TFloppyBuilder& builder, std::int32_t rpm) {
  builder.Current().rpm = rpm;
  return kOk;
}

int trk_setStartSectorID(TFloppyBuilder& builder, std::int32_t id) {
  builder.Current().firstSectorId = id;
  return kOk;
}

int trk_setSectorSize(TFloppyBuilder& builder, std::int32_t size) {
  if (size <= 0 || size > kMaxSectorSize) return kBadParameter;
  builder.Current().sectorSize = size;
  Template(builder).size = size;
  return kOk;
}

int trk_setIndexLength(TFloppyBuilder& builder, std::int32_t entry, std::int32_t lengthUs) {
  if (entry >= 0 && static_cast<std::size_t>(entry) < kIndexPulses)
    builder.Current().indexPulses[static_cast<std::size_t>(entry)].lengthUs = lengthUs;
  return kOk;
}

int trk_setIndexPosition(TFloppyBuilder& builder, std::int32_t entry, std::int32_t positionUs) {
  if (entry >= 0 && static_cast<std::size_t>(entry) < kIndexPulses)
    builder.Current().indexPulses[static_cast<std::size_t>(entry)].positionUs = positionUs;
  return kOk;
}

}  // namespace hfe
