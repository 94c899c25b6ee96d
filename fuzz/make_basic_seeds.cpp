// Writes the seed corpus of the BASIC lister's fuzzer: small tokenised programs covering the
// token tables, every numeric form, strings, comments and the colon forms.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "basic_program_builder.h"
#include "fuzz_util.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::vector<Bytes> Seeds() {
  using app::testing::BasicProgramBuilder;
  Bytes statements;
  for (unsigned token = 0x81; token <= 0xFC; ++token) {
    statements.push_back(static_cast<std::uint8_t>(token));
  }
  Bytes functions;
  for (unsigned token = 0x80; token <= 0xB1; ++token) {
    functions.insert(functions.end(), {0xFF, static_cast<std::uint8_t>(token)});
  }
  return {
      BasicProgramBuilder().Bytes(),
      BasicProgramBuilder().Line(10, statements).Line(20, functions).Bytes(),
      BasicProgramBuilder()
          .Line(10, {0x0B, 0x08, 0x00, 0x0C, 0xFF, 0x00, 0x0E, 0x0A, 0x00, 0x0F, 0x20, 0x1C, 0x34,
                     0x12, 0x11, 0x1A})
          .Line(20, {0x1D, 0x41, 0x15, 0x00, 0x00, 0x1D, 0x3E, 0x12, 0x34, 0x00})
          .Line(30, {0x1F, 0x41, 0x31, 0x41, 0x59, 0x26, 0x53, 0x58, 0x97})
          .Bytes(),
      BasicProgramBuilder()
          .Line(10, {0x91, 0x20, 0x22, 0x48, 0xC1, 0x01, 0x41, 0x22, 0x3A, 0xA1, 0x3A, 0x3A})
          .Line(20, {0x3A, 0x8F, 0xE6, 0x20, 0xE1, 0x91})
          .Line(30, {0x3A, 0x8F, 0x20, 0x48})
          .Line(40, {0x8F, 0x20, 0x91, 0x3A, 0x8F})
          .Bytes(),
  };
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  int index = 0;
  for (const Bytes& seed : Seeds())
    WriteSeed(std::filesystem::path(argv[1]) / ("seed" + std::to_string(index++) + ".bas"), seed);
  return 0;
}
