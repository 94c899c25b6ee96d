// Writes the seed corpora of the XSA fuzzers: plain inputs for the round trip (runs, text,
// periodic and random bytes) and, for the decoder, the containers the encoder makes of them.
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "disk/xsa_stream.h"
#include "fuzz_util.h"
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

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;  // the round trip's folder and the decoder's
  const std::vector<Bytes> inputs = Inputs();
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    const std::string name = "seed" + std::to_string(i);
    WriteSeed(std::filesystem::path(argv[1]) / name, inputs[i]);
    WriteSeed(std::filesystem::path(argv[2]) / name, Encode(inputs[i]));
  }
  return 0;
}
