// Writes the seed corpora of the XSA fuzzers: plain inputs for the round trip (runs, text,
// periodic and random bytes) and, for the decoder, the containers the encoder makes of them.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "disk/xsa_stream.h"
#include "rtl/stream.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::vector<Bytes> Inputs() {
  std::vector<Bytes> inputs = {{}, {0x41}, Bytes(2, 0), Bytes(300, 0), Bytes(1000, 0x41)};
  const std::string text = "10 SCREEN 2:COLOR 15,1,1\r\n20 PRINT \"HELLO MSX\"\r\n30 GOTO 20\r\n";
  Bytes program;
  while (program.size() < 3000) program.insert(program.end(), text.begin(), text.end());
  inputs.push_back(program);
  std::mt19937 random(1);
  Bytes noise(2000);
  for (std::uint8_t& byte : noise) byte = static_cast<std::uint8_t>(random());
  inputs.push_back(noise);
  // Repeats near the reach of a match and the size of the window.
  for (const std::size_t period : {7938u, 7939u, 8192u}) {
    Bytes periodic(2 * period + 300);
    for (std::size_t i = 0; i < periodic.size(); ++i)
      periodic[i] = static_cast<std::uint8_t>((i % period) * 2654435761u >> 24);
    inputs.push_back(periodic);
  }
  return inputs;
}

Bytes Encode(const Bytes& data) {
  rtl::TMemoryStream out;
  disk::TXSStream xsa(out, L"SEED.DSK");
  xsa.WriteBuffer(data);
  xsa.Finish();
  return out.Bytes();
}

void Save(const std::filesystem::path& folder, std::size_t index, const Bytes& bytes) {
  std::ofstream file(folder / ("seed" + std::to_string(index)), std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_xsa_seeds <roundtrip folder> <decode folder>\n");
    return 2;
  }
  const std::filesystem::path roundtrip = argv[1];
  const std::filesystem::path decode = argv[2];
  std::filesystem::create_directories(roundtrip);
  std::filesystem::create_directories(decode);
  const std::vector<Bytes> inputs = Inputs();
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    Save(roundtrip, i, inputs[i]);
    Save(decode, i, Encode(inputs[i]));
  }
  return 0;
}
