// Writes the seed corpus of the HFE fuzzer: small HFE files made by the track library itself, in
// MFM and FM, in order and interleaved, with one and two sides, each side a few sectors long.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz_util.h"
#include "hfe/floppy_builder.h"
#include "hfe/hfe_format.h"

namespace {

struct TSeed {
  const char* name;
  std::int32_t tracks, sides;
  hfe::TrackFormat format;
  std::int32_t interleave;
  std::int32_t sectorSize;
  std::int32_t sectors;
};

// Short tracks keep the inputs small: at this speed a revolution is shorter than the sectors'
// layout, so a side holds its sectors and no filler.
constexpr std::int32_t kSeedRpm = 3000;

std::vector<std::uint8_t> Build(const TSeed& seed) {
  auto context = hfe::trk_init();
  auto loader = hfe::trk_imgInitLoader(*context);
  auto builder = hfe::trk_init_floppy(*context, seed.tracks, seed.sides);
  for (std::int32_t track = 0; track < seed.tracks; ++track) {
    for (std::int32_t side = 0; side < seed.sides; ++side) {
      hfe::trk_pushTrack(*builder, kSeedRpm, track, side, seed.format);
      hfe::trk_setTrackInterleave(*builder, seed.interleave);
      for (std::int32_t id = 1; id <= seed.sectors; ++id) {
        std::vector<std::uint8_t> data(static_cast<std::size_t>(seed.sectorSize));
        for (std::size_t i = 0; i < data.size(); ++i)
          data[i] = static_cast<std::uint8_t>(i * 31 + static_cast<std::size_t>(id + track));
        if (track == 0 && side == 0 && id == 1) data[21] = 0xF9;
        hfe::trk_addSector(*builder, id, side, track, data, seed.sectorSize);
      }
      hfe::trk_popTrack(*builder);
    }
  }
  const auto floppy = hfe::trk_getFloppy(std::move(builder));
  std::vector<std::uint8_t> file;
  hfe::HFE_libWrite_DiskFile(*loader, *floppy, file, seed.name);
  return file;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const TSeed seeds[] = {
      {"mfm_2x2", 2, 2, hfe::TrackFormat::IsoIbmMfm, 1, 512, 2},
      {"mfm_1x1_interleaved", 1, 1, hfe::TrackFormat::IsoIbmMfm, 2, 512, 4},
      {"mfm_2x1_small_sectors", 2, 1, hfe::TrackFormat::IsoIbmMfm, 1, 256, 4},
      {"fm_1x2", 1, 2, hfe::TrackFormat::IsoIbmFm, 1, 256, 2},
  };
  for (const auto& seed : seeds) WriteSeed(std::filesystem::path(argv[1]) / seed.name, Build(seed));
  return 0;
}
