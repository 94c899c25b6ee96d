#include "disk/xsa_core.h"

namespace disk {

namespace {

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

  // Weights stay far below 0x8000, so comparing them unsigned equals comparing them signed.
  // The two lightest live nodes, the earlier one first on equal weights, are the first two in
  // order of weight and index: the leaves sorted so, then the merged nodes in the order they were
  // made, as their weights never decrease and their indices exceed every leaf's.
  std::array<std::uint8_t, kXsaClassCount> leaves{};
  for (int c = 0; c < kXsaClassCount; ++c) {
    int at = c;
    for (; at > 0 && huftbl[leaves[at - 1]].weight > huftbl[c].weight; --at)
      leaves[at] = leaves[at - 1];
    leaves[at] = static_cast<std::uint8_t>(c);
  }
  int leaf = 0;
  int merged = kXsaClassCount;
  for (int next = kXsaClassCount; next < kXsaNodeCount; ++next) {
    const auto take = [&] {
      if (leaf < kXsaClassCount &&
          (merged == next || huftbl[leaves[leaf]].weight <= huftbl[merged].weight))
        return static_cast<int>(leaves[leaf++]);
      return merged++;
    };
    const int smallest = take();
    const int second = take();
    huftbl[next] =
        THufNode{static_cast<std::uint16_t>(huftbl[smallest].weight + huftbl[second].weight),
                 static_cast<std::uint8_t>(smallest), static_cast<std::uint8_t>(second)};
  }
  // Merged nodes keep weight 0.
  for (int n = 0; n < kXsaRoot; ++n) huftbl[n].weight = 0;
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
