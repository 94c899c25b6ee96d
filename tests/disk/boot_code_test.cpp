// The built-in boot-code blocks: lengths, option mapping and agreement with their Z80 sources
// (what the sources do is the emulation test's work).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "disk/records.h"

namespace disk {
namespace {

TEST(BootCodeTest, OptionsSelectBlocksOfTheFixedLengths) {
  const TBootCodeRec empty = GetBootCode(0);
  struct Case {
    int option;
    std::int32_t size;
    bool isEmpty;
  };
  for (const Case& c : {Case{0, 3, true}, Case{1, 244, false}, Case{2, 164, false},
                        Case{-1, 3, true}, Case{3, 3, true}}) {
    SCOPED_TRACE(c.option);
    const TBootCodeRec block = GetBootCode(c.option);
    EXPECT_EQ(block.Size, c.size);
    EXPECT_EQ(block.Code == empty.Code, c.isEmpty);
  }
}

#ifndef _WIN32
std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(BootCodeTest, DataMatchesTheAssembledSources) {
#ifndef QB_PASMO
  GTEST_SKIP() << "pasmo is not installed";
#else
  const std::filesystem::path sources = std::filesystem::path(QB_SOURCE_DIR) / "src/disk/bootcode";
  const std::filesystem::path out = QB_BOOT_CODE_OUT;
  std::filesystem::create_directories(out);
  for (const auto& [name, option] : {std::pair{"empty", 0}, {"msxdos1", 1}, {"msxdos2", 2}}) {
    SCOPED_TRACE(name);
    const auto source = sources / (std::string(name) + ".asm");
    const auto binary = out / (std::string(name) + ".bin");
    std::filesystem::remove(binary);
    const std::string command =
        std::string(QB_PASMO) + " --bin '" + source.string() + "' '" + binary.string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const auto block = GetBootCode(option).Bytes();
    EXPECT_EQ(ReadFile(binary), std::vector<std::uint8_t>(block.begin(), block.end()))
        << "run tools/assemble-boot-code";
  }
#endif
}
#endif

}  // namespace
}  // namespace disk
