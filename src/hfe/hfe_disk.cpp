// LoadHFE and SaveHFE: the track library's contexts live for one call and are freed on every
// path; file I/O happens here only.
#include "hfe/hfe_disk.h"

#include <algorithm>
#include <cstddef>

#include "hfe/floppy_builder.h"
#include "hfe/hfe_file.h"
#include "hfe/hfe_format.h"
#include "hfe/sector_access.h"
#include "hfe/track_library.h"
#include "rtl/exceptions.h"
#include "rtl/file_stream.h"

namespace hfe {

namespace {

constexpr std::int32_t kImageTracks = 80;
constexpr std::int32_t kSavedTracks = 84;
constexpr std::int32_t kSectorsPerTrack = 9;
constexpr std::int32_t kSectorSize = 512;
constexpr std::size_t kTrackSideBytes = kSectorsPerTrack * kSectorSize;  // 4,608
constexpr std::size_t kSideBytes = disk::kSingleSidedSize;               // 368,640
constexpr std::uint8_t kSingleSidedMedia = 0xF8;

std::size_t TrackSideOffset(std::int32_t track, std::int32_t sides, std::int32_t side) {
  return static_cast<std::size_t>(track * sides + side) * kTrackSideBytes;
}

std::string NameForLog(const std::filesystem::path& path) {
  return LogName(path.u8string());
}

}  // namespace

std::vector<std::uint8_t> DecodeHFEImage(std::span<const std::uint8_t> file,
                                         THfeReadReport* report) {
  // A library call that ran out of memory answers nothing or a negative result: the file is then
  // refused like a damaged one.
  auto context = trk_init();
  if (!context) return {};
  auto loader = trk_imgInitLoader(*context);
  if (!loader) return {};
  TFloppy floppy;
  if (HFE_libLoad_DiskFile(*loader, floppy, file, "") != kOk) return {};
  const std::int32_t sides = floppy.sideCount;
  if (sides < 1 || sides > 2) return {};
  auto access = trk_initSectorAccess(*context, floppy);
  if (!access) return {};

  std::vector<std::uint8_t> image(static_cast<std::size_t>(sides) * kSideBytes, 0);
  THfeReadReport perSide[2];
  int copiedPerSide[2] = {0, 0};
  for (std::int32_t track = 0; track < kImageTracks; ++track) {
    for (std::int32_t side = 0; side < sides; ++side) {
      const auto trackSide =
          std::span(image).subspan(TrackSideOffset(track, sides, side), kTrackSideBytes);
      // One sector at a time, so that every sector's own status is known: a run of nine would
      // end at the first sector not found and leave the readable sectors after it unread.
      for (std::int32_t id = 1; id <= kSectorsPerTrack; ++id) {
        int status = kSectorsOk;
        const int copied = trk_readSectorData(
            *access, track, side, id, 1, kSectorSize, SectorSearch::IsoIbmMfm,
            trackSide.subspan(static_cast<std::size_t>(id - 1) * kSectorSize, kSectorSize), status);
        if (copied < 0) return {};
        copiedPerSide[side] += copied;
        if (status == kSectorBadCrc)
          ++perSide[side].badCrcSectors;
        else if (copied == 0 || status != kSectorsOk)
          ++perSide[side].missingSectors;
        else
          continue;
        // Numbered as on a one-sided disk; placed by the image's sides below.
        perSide[side].unreadableSectors.push_back(track * kSectorsPerTrack + id - 1);
      }
    }
  }
  if (copiedPerSide[0] + copiedPerSide[1] == 0) return {};
  THfeReadReport total = perSide[0];
  // A one-sided disk stored in a two-sided file: keep side 0 in one-sided order. A disk whose
  // boot sector says two sides keeps its layout when side 1 cannot be read, so that the sectors
  // of side 0 stay where its geometry looks for them.
  const bool oneSidedDisk =
      image[offsetof(disk::TBootRecord, MediaType)] == kSingleSidedMedia && copiedPerSide[1] == 0;
  if (sides == 2 && oneSidedDisk) {
    for (std::int32_t track = 0; track < kImageTracks; ++track)
      std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(TrackSideOffset(track, 2, 0)),
                  kTrackSideBytes,
                  image.begin() + static_cast<std::ptrdiff_t>(TrackSideOffset(track, 1, 0)));
    image.resize(kSideBytes);
  } else {
    total.unreadableSectors.clear();
    for (std::int32_t side = 0; side < sides; ++side)
      for (const std::int32_t sector : perSide[side].unreadableSectors)
        total.unreadableSectors.push_back(
            static_cast<std::int32_t>(TrackSideOffset(sector / kSectorsPerTrack, sides, side) /
                                      kSectorSize) +
            sector % kSectorsPerTrack);
    std::sort(total.unreadableSectors.begin(), total.unreadableSectors.end());
    if (sides == 2) {
      total.missingSectors += perSide[1].missingSectors;
      total.badCrcSectors += perSide[1].badCrcSectors;
    }
  }
  if (report) *report = std::move(total);
  return image;
}

bool THfeReadReport::AnyUnreadable(std::int32_t first, std::int32_t count) const {
  const auto from = std::lower_bound(unreadableSectors.begin(), unreadableSectors.end(), first);
  return from != unreadableSectors.end() && *from - first < count;
}

bool LoadHFEFromBytes(std::span<const std::uint8_t> file, const std::filesystem::path& FileName,
                      disk::TMSXDisk& Disk, THfeReadReport* report) {
  THfeReadReport read;
  const std::vector<std::uint8_t> image = DecodeHFEImage(file, &read);
  if (image.empty() || image.size() > static_cast<std::size_t>(disk::kImageCapacity)) return false;
  if (!Disk.LoadFromBuffer(image, FileName)) return false;
  if (report) *report = std::move(read);
  return true;
}

bool LoadHFE(const std::filesystem::path& FileName, disk::TMSXDisk& Disk, THfeReadReport* report) {
  return LoadHFEFromBytes(ReadHfeFile(FileName), FileName, Disk, report);
}

std::vector<std::uint8_t> BuildHFE(const disk::TMSXDisk& Disk) {
  const auto used = static_cast<std::size_t>(std::max(Disk.FBufferSize, 0));
  // An image longer than one side (a cut 720 KB image, an image the model could not read) is
  // written as two sides, the bytes it lacks as zeros: one side would drop the bytes past it.
  const std::int32_t sides = used > kSideBytes ? 2 : Disk.NumSides();
  if (sides < 1 || sides > 2) return {};
  std::span<const std::uint8_t> image = Disk.Buffer();
  std::vector<std::uint8_t> padded;
  if (used < static_cast<std::size_t>(sides) * kSideBytes) {
    padded.assign(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(used));
    padded.resize(static_cast<std::size_t>(sides) * kSideBytes, 0);
    image = padded;
  }
  auto context = trk_init();
  if (!context) return {};
  auto loader = trk_imgInitLoader(*context);
  if (!loader) return {};
  auto builder = trk_init_floppy(*context, kSavedTracks, sides);
  if (!builder) return {};
  trk_setTrackBitrate(*builder, 250000);
  trk_setSectorGap3(*builder, 255);
  trk_setSectorEncoding(*builder, TrackFormat::IsoIbmMfm);
  for (std::int32_t track = 0; track < kSavedTracks; ++track) {
    for (std::int32_t side = 0; side < sides; ++side) {
      if (trk_pushTrack(*builder, 300, track, side, TrackFormat::IsoIbmMfm) != kOk) return {};
      if (track < kImageTracks) {
        const auto trackSide = image.subspan(TrackSideOffset(track, sides, side), kTrackSideBytes);
        for (std::int32_t s = 0; s < kSectorsPerTrack; ++s)
          if (trk_addSector(
                  *builder, s + 1, side, track,
                  trackSide.subspan(static_cast<std::size_t>(s) * kSectorSize, kSectorSize),
                  kSectorSize) != kOk)
            return {};
      }
      if (trk_popTrack(*builder) != kOk) return {};
    }
  }
  const auto floppy = trk_getFloppy(std::move(builder));
  if (!floppy) return {};
  std::vector<std::uint8_t> file;
  if (HFE_libWrite_DiskFile(*loader, *floppy, file, NameForLog(Disk.FileName())) != kOk) return {};
  return file;
}

bool SaveHFE(const std::filesystem::path& FileName, const disk::TMSXDisk& Disk) {
  const std::vector<std::uint8_t> file = BuildHFE(Disk);
  if (file.empty()) return false;
  try {
    rtl::WriteFileAtomically(FileName, file);
  } catch (const rtl::EStreamError&) {
    const auto context = trk_init();
    if (context) context->Log(kLogError, "Cannot create %s!", NameForLog(FileName).c_str());
    return false;
  }
  return true;
}

}  // namespace hfe
