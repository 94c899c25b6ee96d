// Whether a drag over the file list may drop, decided afresh for every drag: a flag kept from
// one drag to the next would report no effect on the first entry after a drop, and would let our
// own drag drop its entries into the image once a foreign drag had entered before it.
#pragma once

#include <cstdint>

namespace app::files {

// The platform's drop-effect bits and the Shift bit of a key state.
inline constexpr std::uint32_t kDropNone = 0;
inline constexpr std::uint32_t kDropCopy = 1;
inline constexpr std::uint32_t kDropMove = 2;
inline constexpr std::uint32_t kKeyShift = 4;

class TDropGate {
 public:
  // A drag enters: our own drag-out, or one that offers neither a file list nor file
  // descriptors, is refused until it leaves.
  std::uint32_t Enter(bool isOwnDrag, bool offersFiles, std::uint32_t allowed,
                      std::uint32_t keyState) {
    FCanDrop = !isOwnDrag && offersFiles;
    return DropEffectFor(allowed, keyState);
  }
  std::uint32_t Over(std::uint32_t allowed, std::uint32_t keyState) const {
    return DropEffectFor(allowed, keyState);
  }
  void Leave() { FCanDrop = false; }
  // True when the drop is to be processed. The effect reported back is always none, so the
  // source never deletes its items.
  bool Drop() {
    const bool process = FCanDrop;
    FCanDrop = false;
    return process;
  }

 private:
  // Move with Shift when the source allows it, else copy when allowed.
  std::uint32_t DropEffectFor(std::uint32_t allowed, std::uint32_t keyState) const {
    if (!FCanDrop) return kDropNone;
    if ((keyState & kKeyShift) != 0 && (allowed & kDropMove) != 0) return kDropMove;
    return allowed & kDropCopy;
  }

  bool FCanDrop = false;
};

}  // namespace app::files
