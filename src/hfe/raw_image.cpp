// Raw image to floppy, through the floppy builder.
#include "hfe/raw_image.h"

#include "hfe/floppy_builder.h"

namespace hfe {

std::unique_ptr<TFloppy> trk_generateDisk(TLibContext& context, std::span<const std::uint8_t> image,
                                          const TRawGeometry& geometry, int& result) {
  result = kBadParameter;
  if (geometry.sectorsPerTrack < 0 || geometry.sectorSize <= 0) return nullptr;
  const auto sideBytes = static_cast<std::size_t>(geometry.sectorsPerTrack) *
                         static_cast<std::size_t>(geometry.sectorSize);
  auto builder = trk_init_floppy(context, geometry.tracks, geometry.sides);
  if (!builder) return nullptr;
  context.Log(kLogInfo,
              "Image Size:%dkB, %d tracks, %d side(s), %d sectors/track, interleave:%d,rpm:%d",
              static_cast<int>(image.size() / 1024), geometry.tracks, geometry.sides,
              geometry.sectorsPerTrack, geometry.interleave, geometry.rpm);
  if (image.size() < sideBytes * static_cast<std::size_t>(geometry.tracks * geometry.sides)) {
    context.Log(kLogError,
                "trk_generateDisk : Error while reading the file image ! Unexpected end of file ?");
    result = kBadFile;
    return nullptr;
  }
  if (trk_setTrackBitrate(*builder, geometry.bitRate) != kOk ||
      trk_setSectorSize(*builder, geometry.sectorSize) != kOk)
    return nullptr;
  trk_setSectorEncoding(*builder, geometry.format);
  trk_setSectorGap3(*builder, 255);
  trk_setStartSectorID(*builder, geometry.firstSectorId);
  trk_setTrackInterleave(*builder, geometry.interleave);
  trk_setTrackSkew(*builder, geometry.skew);
  for (std::int32_t track = 0; track < geometry.tracks; ++track) {
    for (std::int32_t side = 0; side < geometry.sides; ++side) {
      const int pushed = trk_pushTrack(*builder, geometry.rpm, track, side, geometry.format);
      if (pushed != kOk) {
        result = pushed;
        return nullptr;
      }
      const auto offset = static_cast<std::size_t>(track * geometry.sides + side) * sideBytes;
      const int added = trk_addSectors(*builder, side, track, image.subspan(offset, sideBytes),
                                       geometry.sectorsPerTrack);
      const int popped = trk_popTrack(*builder);
      if (added != kOk || popped != kOk) {
        result = added != kOk ? added : popped;
        return nullptr;
      }
    }
  }
  auto floppy = trk_getFloppy(std::move(builder));
  if (!floppy) {
    result = kLimitReached;
    return nullptr;
  }
  context.Log(kLogInfo, "track file successfully loaded and encoded!");
  result = kOk;
  return floppy;
}

}  // namespace hfe
