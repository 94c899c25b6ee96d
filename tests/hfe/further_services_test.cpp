// Raw image refusals and the module registry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hfe/module_registry.h"
#include "hfe/raw_image.h"
#include "test_track_writer.h"

namespace hfe {
namespace {

using hfe_test::Bytes;

TEST(RawImage, RefusesShortImagesAndBadGeometry) {
  std::vector<std::string> log;
  auto context = trk_init();
  context->logCallback = [&](int, std::string_view text) { log.emplace_back(text); };
  int result = 0;
  EXPECT_FALSE(trk_generateDisk(*context, Bytes(1000), TRawGeometry{}, result));
  EXPECT_EQ(result, kBadFile);
  EXPECT_EQ(log.back(),
            "trk_generateDisk : Error while reading the file image ! Unexpected end of file ?");
  TRawGeometry threeSides;
  threeSides.sides = 3;
  EXPECT_FALSE(trk_generateDisk(*context, Bytes(2000000), threeSides, result));
  EXPECT_EQ(result, kBadParameter);
}

TEST(ModuleRegistry, WithoutModulesEveryLookupFails) {
  std::vector<std::string> log;
  auto context = trk_init();
  context->logCallback = [&](int, std::string_view text) { log.emplace_back(text); };
  EXPECT_EQ(trk_searchContainer(*context, "HXC_HFE"), -1);
  EXPECT_EQ(log.back(), "trk_searchContainer : Plugin HXC_HFE not found !");
  TFloppy floppy;
  EXPECT_EQ(trk_floppyExport(*context, floppy, "x.img", 16), kBadParameter);
  EXPECT_EQ(log.back(), "Bad plugin ID : 0x10");

  const TModule readOnly{"RAW_LOADER", "Raw sector images", false, nullptr};
  context->modules.push_back(&readOnly);
  EXPECT_EQ(trk_floppyExport(*context, floppy, "x.img", 0), kNoExportSupport);
  EXPECT_EQ(log.back(), "No export support in RAW_LOADER!");
}

}  // namespace
}  // namespace hfe
