// HFE writer: the whole file is laid out in memory; the caller writes it at once.
#include <algorithm>
#include <string>

#include "hfe/allocation_guard.h"
#include "hfe/bit_stream.h"
#include "hfe/cell_tables.h"
#include "hfe/hfe_format.h"

namespace hfe {

namespace {

constexpr std::size_t kMaxSideBytes = 32767;

void PutU16(std::vector<std::uint8_t>& file, std::size_t offset, std::uint32_t value) {
  file[offset] = static_cast<std::uint8_t>(value & 0xFF);
  file[offset + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

std::size_t SideBytes(const TSide* side) {
  if (!side) return 0;
  const auto cells = static_cast<std::size_t>(std::max(side->trackLength, 0));
  return std::min(cells / 8 + (cells % 8 ? 1 : 0), side->cellData.size());
}

// Bytes of a track side in the file: the longer of its sides.
std::size_t TrackBytes(const TFloppy& floppy, std::int32_t track) {
  const TCylinder* cylinder = floppy.cylinders[static_cast<std::size_t>(track)].get();
  std::size_t bytes = SideBytes(floppy.Side(track, 0));
  if (cylinder && cylinder->sideCount >= 2)
    bytes = std::max(bytes, SideBytes(floppy.Side(track, 1)));
  return bytes;
}

// The header's bit rate: the floppy's, else side 0 of track 0's, else that side's per-byte rate
// in the middle of the track.
std::uint32_t HeaderKbitRate(const TFloppy& floppy) {
  if (floppy.bitRate != -1) return static_cast<std::uint32_t>(floppy.bitRate / 1000);
  const TSide* side = floppy.Side(0, 0);
  if (!side) return 0;
  if (side->bitRate != -1) return static_cast<std::uint32_t>(side->bitRate / 1000);
  const auto middle = static_cast<std::size_t>(side->trackLength / 8) / 2;
  return middle < side->timing.size() ? side->timing[middle] / 1000 : 0;
}

void WriteHeader(const TFloppy& floppy, std::vector<std::uint8_t>& file) {
  std::copy(kHfeSignature.begin(), kHfeSignature.end(), file.begin());
  file[8] = 0;
  file[9] = static_cast<std::uint8_t>(floppy.trackCount);
  file[10] = static_cast<std::uint8_t>(floppy.sideCount);
  const TSide* middleSide = floppy.Side(floppy.trackCount / 2, 0);
  const auto headerEncoding = static_cast<std::uint8_t>(
      middleSide ? static_cast<std::int32_t>(middleSide->trackEncoding) : 0);
  file[11] = headerEncoding;
  PutU16(file, 12, HeaderKbitRate(floppy));
  PutU16(file, 14, 0);
  file[16] = static_cast<std::uint8_t>(floppy.interfaceType);
  file[17] = 1;
  PutU16(file, 18, 1);
  file[20] = 0xFF;
  file[21] = floppy.doubleStep ? 0x00 : 0xFF;
  const TCylinder* first = floppy.cylinders.empty() ? nullptr : floppy.cylinders[0].get();
  for (int side = 0; side < 2; ++side) {
    if (side == 1 && (!first || first->sideCount < 2)) break;
    const TSide* record = floppy.Side(0, side);
    const auto encoding =
        static_cast<std::uint8_t>(record ? static_cast<std::int32_t>(record->trackEncoding) : 0);
    if (record && encoding != headerEncoding) {
      file[22 + side * 2] = 0;
      file[23 + side * 2] = encoding;
    }
  }
}

// The half of a track side in the file: the side's first bytes, and in place of their trailing
// run of zero bytes (up to the end of the half) the two bytes before that run, alternately.
class THalf {
 public:
  THalf(const std::uint8_t* cells, std::size_t count)
      : cells_(cells), run_(cells ? LengthWithoutZeroTail(cells, count) : 0) {
    if (run_ > 0) {
      pair_[0] = cells_[run_ >= 2 ? run_ - 2 : 0];
      pair_[1] = cells_[run_ - 1];
    }
  }
  // Bytes [from, from + 256) bit-reversed into `out`.
  void ReversedBlock(std::size_t from, std::uint8_t* out) const {
    if (from + 256 <= run_) {
      ReverseBits(cells_ + from, out, 256);
      return;
    }
    if (from >= run_ && pair_[0] == pair_[1]) {
      std::fill_n(out, 256, kBitReverse[pair_[0]]);
      return;
    }
    for (std::size_t i = 0; i < 256; ++i) {
      const std::size_t at = from + i;
      out[i] = kBitReverse[at < run_ ? cells_[at] : pair_[(at - run_) & 1]];
    }
  }

 private:
  const std::uint8_t* cells_;
  std::size_t run_;
  std::uint8_t pair_[2] = {0, 0};
};

THalf HalfOf(const TSide* side, std::size_t half) {
  const std::size_t count = std::min({SideBytes(side), half, kMaxSideBytes});
  return count > 0 ? THalf(side->cellData.data(), count) : THalf(nullptr, 0);
}

}  // namespace

int HFE_libWrite_DiskFile(const TImgLoader& loader, const TFloppy& floppy,
                          std::vector<std::uint8_t>& file, std::string_view fileName) {
  return GuardAllocation(loader.context, "HFE_libWrite_DiskFile", kLimitReached, [&] {
    const TLibContext& log = *loader.context;
    log.Log(kLogInfo, "Write HFE file %s for the standalone emulator.",
            std::string(fileName).c_str());
    if (floppy.trackCount <= 0) {
      log.Log(kLogError, "Cannot create zero track HFE file");
      return kIoError;
    }
    // The header holds the track and side counts in one byte each and the format two sides:
    // anything more would be written as a count that no longer matches the track list.
    if (floppy.trackCount > kMaxHfeTracks || floppy.sideCount < 1 || floppy.sideCount > 2) {
      log.Log(kLogError, "Cannot write %d tracks and %d sides to an HFE file", floppy.trackCount,
              floppy.sideCount);
      return kIoError;
    }
    // Every track is looked up in the cylinder array: a shorter array is a damaged record.
    if (floppy.cylinders.size() < static_cast<std::size_t>(floppy.trackCount)) {
      log.Log(kLogError, "Cannot write %d tracks from %d cylinders", floppy.trackCount,
              static_cast<int>(floppy.cylinders.size()));
      return kIoError;
    }
    const std::size_t listBlocks = TrackListBlocks(floppy.trackCount);
    file.assign((1 + listBlocks) * kHfeBlock, 0xFF);
    WriteHeader(floppy, file);
    log.Log(kLogInfo, "Floppy interface mode %s (%s)",
            std::string(InterfaceModeName(floppy.interfaceType)).c_str(),
            std::string(InterfaceModeDescription(floppy.interfaceType)).c_str());

    std::size_t totalBlocks = 1 + listBlocks;
    for (std::int32_t track = 0; track < floppy.trackCount; ++track)
      totalBlocks +=
          (2 * std::min(TrackBytes(floppy, track), kMaxSideBytes) + kHfeBlock - 1) / kHfeBlock;

    file.resize(totalBlocks * kHfeBlock);
    std::size_t nextBlock = 1 + listBlocks;
    for (std::int32_t track = 0; track < floppy.trackCount; ++track) {
      const TCylinder* cylinder = floppy.cylinders[static_cast<std::size_t>(track)].get();
      const bool twoSides = cylinder && cylinder->sideCount >= 2;
      std::size_t bytes = TrackBytes(floppy, track);
      if (2 * bytes > 0xFFFF) {
        log.Log(kLogError, "Argg!! track %d too long (%x) and shorten to 0xFFFF !", track,
                static_cast<unsigned>(2 * bytes));
        bytes = kMaxSideBytes;
      }
      const std::size_t length = 2 * bytes;
      const std::size_t entry = kHfeBlock + static_cast<std::size_t>(track) * 4;
      PutU16(file, entry, static_cast<std::uint32_t>(nextBlock));
      PutU16(file, entry + 2, static_cast<std::uint32_t>(length));
      const std::size_t blocks = (length + kHfeBlock - 1) / kHfeBlock;
      const std::size_t half = blocks * kHfeBlock / 2;
      const THalf halves[2] = {HalfOf(floppy.Side(track, 0), half),
                               twoSides ? HalfOf(floppy.Side(track, 1), half) : THalf(nullptr, 0)};
      std::uint8_t* out = file.data() + nextBlock * kHfeBlock;
      for (std::size_t block = 0; block < blocks; ++block)
        for (int side = 0; side < 2; ++side)
          halves[side].ReversedBlock(block * 256, out + block * kHfeBlock + side * 256);
      nextBlock += blocks;
      trk_imgCallProgressCallback(loader, track, floppy.trackCount);
    }
    log.Log(kLogInfo, "%d tracks written to the file", floppy.trackCount);
    return kOk;
  });
}

}  // namespace hfe
