#include "disk/xsa_core.h"

#include <utility>

namespace disk {

namespace {

constexpr std::uint16_t kEmptyNode = 0xFFFF;
constexpr std::uint16_t kRebuildInterval = 127;  // countdown: rebuild after 128 distances

}  // namespace

TXSCore::TXSCore() : cpdist(kXsaBase) {
  for (int c = 0; c < kXsaClassCount; ++c)
    cpdbmask[c] = static_cast<std::uint16_t>(1u << kXsaExtraBits[c]);
  Rebuild();
}

int TXSCore::DistanceClass(int distance) {
  int c = kXsaClassCount - 1;
  while (c > 0 && kXsaBase[c] > distance) --c;
  return c;
}

bool TXSCore::CountDistance(int c) {
  ++tblsizes[c];
  if (updhufcnt > 0) {
    --updhufcnt;
    return false;
  }
  Rebuild();
  return true;
}

void TXSCore::Rebuild() {
  for (int c = 0; c < kXsaClassCount; ++c) {
    tblsizes[c] = static_cast<std::uint16_t>(tblsizes[c] >> 1);
    huftbl[c] = THufNode{static_cast<std::uint16_t>(tblsizes[c] + 1), 0, 0};
  }
  for (int n = kXsaClassCount; n < kXsaNodeCount; ++n) huftbl[n] = THufNode{kEmptyNode, 0, 0};

  // Weights stay far below 0x8000, so comparing them unsigned equals comparing them signed.
  // Merged nodes have weight 0 and take no further part.
  for (int next = kXsaClassCount; next < kXsaNodeCount; ++next) {
    int first = 0;
    while (huftbl[first].weight == 0) ++first;
    int second = first + 1;
    while (huftbl[second].weight == 0) ++second;
    const int scanFrom = second + 1;
    int smallest = first;
    if (huftbl[second].weight < huftbl[first].weight) std::swap(smallest, second);
    for (int n = scanFrom; n < next; ++n) {
      const std::uint16_t weight = huftbl[n].weight;
      if (weight == 0) continue;
      if (weight < huftbl[smallest].weight) {
        second = smallest;
        smallest = n;
      } else if (weight < huftbl[second].weight) {
        second = n;
      }
    }
    huftbl[next] =
        THufNode{static_cast<std::uint16_t>(huftbl[smallest].weight + huftbl[second].weight),
                 static_cast<std::uint8_t>(smallest), static_cast<std::uint8_t>(second)};
    huftbl[smallest].weight = 0;
    huftbl[second].weight = 0;
  }
  updhufcnt = kRebuildInterval;
}

void TXSCore::MakeCodes(THufCodes& codes) const {
  struct Pending {
    int node;
    THufCode code;
  };
  std::array<Pending, kXsaNodeCount> stack{};
  int top = 0;
  stack[top++] = {kXsaRoot, {}};
  while (top > 0) {
    const Pending item = stack[--top];
    if (item.node < kXsaClassCount) {
      codes[item.node] = item.code;
      continue;
    }
    const auto length = static_cast<std::uint8_t>(item.code.length + 1);
    const auto bits = static_cast<std::uint16_t>(item.code.bits << 1);
    stack[top++] = {huftbl[item.node].child1, {length, bits}};
    stack[top++] = {huftbl[item.node].child2, {length, static_cast<std::uint16_t>(bits | 1)}};
  }
}

}  // namespace disk
