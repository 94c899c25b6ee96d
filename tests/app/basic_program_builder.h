// Builds tokenised MSX-BASIC programs in the binary SAVE form: 0xFF, then per line the link to
// the next line (its MSX address), the line number, the tokens and 0x00; 0x0000 ends it.
#pragma once

#include <cstdint>
#include <vector>

namespace app::testing {

class BasicProgramBuilder {
 public:
  BasicProgramBuilder& Line(std::uint16_t number, const std::vector<std::uint8_t>& tokens) {
    const std::size_t link = kFirstLinkAddress + bytes_.size() - 1 + 4 + tokens.size() + 1;
    PutWord(static_cast<std::uint16_t>(link));
    PutWord(number);
    bytes_.insert(bytes_.end(), tokens.begin(), tokens.end());
    bytes_.push_back(0x00);
    return *this;
  }
  // The program with its end mark.
  std::vector<std::uint8_t> Bytes() const {
    std::vector<std::uint8_t> bytes = bytes_;
    bytes.insert(bytes.end(), {0x00, 0x00});
    return bytes;
  }

 private:
  static constexpr std::size_t kFirstLinkAddress = 0x8001;
  void PutWord(std::uint16_t value) {
    bytes_.push_back(static_cast<std::uint8_t>(value & 0xFF));
    bytes_.push_back(static_cast<std::uint8_t>(value >> 8));
  }
  std::vector<std::uint8_t> bytes_{0xFF};
};

}  // namespace app::testing
