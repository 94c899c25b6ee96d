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
  // `live` lists the nodes not merged yet, in index order; merged nodes get weight 0.
  std::array<std::uint8_t, kXsaNodeCount> live{};
  int liveCount = kXsaClassCount;
  for (int c = 0; c < kXsaClassCount; ++c) live[c] = static_cast<std::uint8_t>(c);
  for (int next = kXsaClassCount; next < kXsaNodeCount; ++next) {
    int smallest = 0;
    int second = 1;
    if (huftbl[live[1]].weight < huftbl[live[0]].weight) std::swap(smallest, second);
    for (int i = 2; i < liveCount; ++i) {
      const std::uint16_t weight = huftbl[live[i]].weight;
      if (weight < huftbl[live[smallest]].weight) {
        second = smallest;
        smallest = i;
      } else if (weight < huftbl[live[second]].weight) {
        second = i;
      }
    }
    const int a = live[smallest];
    const int b = live[second];
    huftbl[next] = THufNode{static_cast<std::uint16_t>(huftbl[a].weight + huftbl[b].weight),
                            static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(b)};
    huftbl[a].weight = 0;
    huftbl[b].weight = 0;
    int kept = 0;
    for (int i = 0; i < liveCount; ++i)
      if (i != smallest && i != second) live[kept++] = live[i];
    live[kept++] = static_cast<std::uint8_t>(next);
    liveCount = kept;
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
