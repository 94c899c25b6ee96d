// HFE reader: everything read from the file is bounds-checked; track data that the file does not
// hold reads as zero.
#include <algorithm>
#include <string>

#include "hfe/allocation_guard.h"
#include "hfe/cell_tables.h"
#include "hfe/hfe_format.h"

namespace hfe {

namespace {

std::uint32_t U16(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return static_cast<std::uint32_t>(bytes[offset] | bytes[offset + 1] << 8);
}

// The file's byte at `offset`, or zero past its end.
std::uint8_t ByteOrZero(std::span<const std::uint8_t> file, std::size_t offset) {
  return offset < file.size() ? file[offset] : 0;
}

// rpm of a side of `halfBytes` cell bytes at `bitRate`: 60 s over the revolution's
// halfBytes x 4 / bitRate seconds, to the nearest integer; 0 when either is 0.
std::uint16_t DerivedRpm(std::int64_t bitRate, std::int64_t halfBytes) {
  if (bitRate <= 0 || halfBytes <= 0) return 0;
  const std::int64_t rpm = (15 * bitRate + halfBytes / 2) / halfBytes;
  return static_cast<std::uint16_t>(std::min<std::int64_t>(rpm, 0xFFFF));
}

std::unique_ptr<TSide> ReadSide(std::span<const std::uint8_t> file, std::size_t trackOffset,
                                std::size_t length, int side, std::int32_t bitRate,
                                TrackEncoding encoding) {
  auto record = std::make_unique<TSide>();
  const std::size_t half = length / 2;
  record->bitRate = bitRate;
  record->trackEncoding = encoding;
  record->cellData.assign(half, 0);
  record->indexMap.assign(half, 0);
  std::fill_n(record->indexMap.begin(), std::min<std::size_t>(half, 256), 0xFF);
  // Blocks past the end of the file stay zero.
  for (std::size_t block = 0; block * 256 < half; ++block) {
    const std::size_t from = trackOffset + block * kHfeBlock + static_cast<std::size_t>(side) * 256;
    if (from >= file.size()) break;
    std::uint8_t* out = record->cellData.data() + block * 256;
    if (from + 256 <= file.size()) {
      ReverseBits(file.data() + from, out, 256);
    } else {
      for (std::size_t i = 0; i < 256; ++i) out[i] = kBitReverse[ByteOrZero(file, from + i)];
    }
  }
  record->trackLength = static_cast<std::int32_t>(half * 8);
  return record;
}

}  // namespace

int HFE_libLoad_DiskFile(const TImgLoader& loader, TFloppy& floppy,
                         std::span<const std::uint8_t> file, std::string_view fileName) {
  return GuardAllocation(loader.context, "HFE_libLoad_DiskFile", kLimitReached, [&] {
    const TLibContext& log = *loader.context;
    log.Log(kLogStartStop, "HFE_libLoad_DiskFile %s", std::string(fileName).c_str());
    if (file.size() < kHfeHeaderBytes ||
        std::string_view(reinterpret_cast<const char*>(file.data()), kHfeSignature.size()) !=
            kHfeSignature) {
      log.Log(kLogError, "bad header");
      return kBadFile;
    }
    const std::int32_t tracks = file[9];
    const std::int32_t sides = file[10];
    const auto headerEncoding = static_cast<TrackEncoding>(file[11]);
    const std::int32_t bitRate = static_cast<std::int32_t>(U16(file, 12)) * 1000;
    const auto headerRpm = static_cast<std::uint16_t>(U16(file, 14));
    const std::int32_t interfaceMode = file[16];
    // The track list is read where the header's offset puts it, in any block after the header,
    // and must lie wholly in the file. Our writer puts it at block 1, but a file whose list sits
    // elsewhere would otherwise have track data taken for its list.
    const std::size_t listStart = U16(file, 18) * kHfeBlock;
    const std::size_t listEnd = listStart + static_cast<std::size_t>(tracks) * 4;
    // A header that gives no track, no side or more than two, or no bit rate describes no floppy
    // the library can hold, and is refused as a bad one rather than read into a broken record.
    if (tracks == 0 || sides < 1 || sides > 2 || bitRate == 0 || listStart == 0 ||
        file.size() < listEnd) {
      log.Log(kLogError, "bad header");
      return kBadFile;
    }

    TFloppy result;
    result.trackCount = tracks;
    result.sideCount = sides;
    result.bitRate = bitRate;
    result.sectorsPerTrack = -1;
    result.interfaceType = interfaceMode;
    log.Log(kLogInfo,
            "HFE File : %d track, %d side, %d bit/s, %d sectors, interface mode %s, track "
            "encoding:%s",
            tracks, sides, bitRate, -1, std::string(InterfaceModeName(interfaceMode)).c_str(),
            std::string(EncodingName(file[11])).c_str());

    result.cylinders.resize(static_cast<std::size_t>(tracks));
    for (std::int32_t track = 0; track < tracks; ++track) {
      const std::size_t entry = listStart + static_cast<std::size_t>(track) * 4;
      const std::size_t trackOffset = U16(file, entry) * kHfeBlock;
      const std::size_t length = (U16(file, entry + 2) + kHfeBlock - 1) / kHfeBlock * kHfeBlock;
      log.Log(kLogDetail, "HFE File : reading track %d, track size:%d - file offset:%.8X", track,
              static_cast<int>(length), static_cast<unsigned>(trackOffset));
      auto cylinder = std::make_unique<TCylinder>();
      cylinder->rpm = headerRpm;
      cylinder->sideCount = sides;
      cylinder->sides.resize(static_cast<std::size_t>(sides));
      for (int side = 0; side < sides; ++side) {
        TrackEncoding encoding = headerEncoding;
        if (track == 0 && file[22 + side * 2] == 0)
          encoding = static_cast<TrackEncoding>(file[23 + side * 2]);
        cylinder->sides[static_cast<std::size_t>(side)] =
            ReadSide(file, trackOffset, length, side, bitRate, encoding);
        trk_imgCallProgressCallback(loader, track * 2 + side, tracks * 2);
      }
      if (cylinder->rpm == 0)
        cylinder->rpm = DerivedRpm(bitRate, static_cast<std::int64_t>(length / 2));
      result.cylinders[static_cast<std::size_t>(track)] = std::move(cylinder);
    }
    floppy = std::move(result);
    return kOk;
  });
}

}  // namespace hfe
