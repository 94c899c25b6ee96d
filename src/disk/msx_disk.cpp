// TMSXDisk: construction, new images, boot code, geometry, the FAT and cluster chains.
#include "disk/msx_disk.h"

#include <algorithm>
#include <bitset>
#include <cstring>

#include "rtl/exceptions.h"

namespace disk {

namespace {

constexpr std::int32_t kBootCodeOffset = 28;
constexpr std::int32_t kBootCodeSize = 484;
constexpr std::int32_t kRootEntries = 112;
constexpr std::int32_t kEntrySize = 32;
constexpr std::int32_t kFirstEndOfChain = 0xFF8;
constexpr std::int32_t kFirstReserved = 0xFF0;
// More clusters than any image of at most 737,280 bytes can hold.
constexpr std::size_t kMaxClusters = 1024;

}  // namespace

TMSXDisk::TMSXDisk() : FBootRecord(nullptr) {
  FBootRecord = reinterpret_cast<PBootRecord>(buffer_.data());
}

void TMSXDisk::Assign(const TMSXDisk& /*Source*/) {
  throw rtl::Exception("Can not assign TMSXDisk for now.");
}

void TMSXDisk::PrepareNewImage(bool DoubleSided) {
  buffer_.fill(0);
  TBootRecord& boot = *FBootRecord;
  const std::uint8_t jump[] = {0xEB, 0xFE, 0x90};
  std::memcpy(boot.JumpCode, jump, sizeof jump);
  std::memcpy(boot.OemName, "QUOLLBOX", sizeof boot.OemName);
  boot.BytesPerSector = 512;
  boot.SectorsPerCluster = 2;
  boot.ReservedSectorCount = 1;
  boot.FatTableCount = 2;
  boot.MaxRootEntry = kRootEntries;
  boot.TotalSectorCount = DoubleSided ? 1440 : 720;
  boot.MediaType = DoubleSided ? 0xF9 : 0xF8;
  boot.SectorsPerFat = DoubleSided ? 3 : 2;
  boot.SectorsPerTrack = 9;
  boot.TotalHeadCount = DoubleSided ? 2 : 1;

  FBufferSize = boot.TotalSectorCount * 512;
  ReadGeometry();
  SetFatEntry(0, DoubleSided ? 0xFF9 : 0xFF8);
  SetFatEntry(1, 0xFFF);
  FModified = true;
}

void TMSXDisk::AttachBootCode(const TBootCodeRec& CodeRec) {
  const auto code = CodeRec.Code ? CodeRec.Bytes() : std::span<const std::uint8_t>{};
  const auto size = std::min<std::size_t>(code.size(), kBootCodeSize);
  std::memcpy(buffer_.data() + kBootCodeOffset, code.data(), size);
  FModified = true;
}

void TMSXDisk::EraseBootSector() {
  std::memset(buffer_.data() + kBootCodeOffset, 0, kBootCodeSize);
  FModified = true;
}

void TMSXDisk::ResetGeometry() {
  FFatOffset = FDirOffset = FRootDirOffset = FDataOffset = 0;
  FClusterCount = FDirCount = FRootDirCount = FDirIndex = 0;
  FReservedCount = FFatTableCount = FSectorsPerFat = FSectorCount = FFatSize = 0;
  FSectorSize = 512;
  FSectorsPerCluster = 2;
  FClusterSize = 1024;
  EnterRoot();
}

void TMSXDisk::ReadGeometry() {
  FReservedCount = 1;
  FFatTableCount = 2;
  FSectorSize = 512;
  FSectorsPerCluster = 2;
  const bool singleSided = FBootRecord->MediaType == 0xF8;
  FSectorCount = singleSided ? 720 : 1440;
  FSectorsPerFat = singleSided ? 2 : 3;
  FClusterSize = FSectorSize * FSectorsPerCluster;
  FFatOffset = FSectorSize * FReservedCount;
  FFatSize = FSectorsPerFat * FSectorSize;
  FRootDirOffset = FFatTableCount * FFatSize + FFatOffset;
  FDataOffset =
      (kRootEntries * kEntrySize + FSectorSize - 1) / FSectorSize * FSectorSize + FRootDirOffset;

  // Only bytes that were loaded hold clusters or root slots: nothing may live past FBufferSize.
  const std::int32_t imageBytes = std::min(FBufferSize, FSectorCount * FSectorSize);
  const std::int32_t dataBytes = imageBytes - FDataOffset;
  FClusterCount = dataBytes >= 0 ? dataBytes / FClusterSize + 2 : 0;
  FRootDirCount = std::clamp((imageBytes - FRootDirOffset) / kEntrySize, 0, kRootEntries);
  EnterRoot();
  FDirIndex = 0;
}

std::int32_t TMSXDisk::GetFatEntry(std::int32_t Cluster) const {
  if (Cluster < 0 || Cluster >= FClusterCount) return 0xFFF;
  const std::uint8_t* p = buffer_.data() + FFatOffset + (Cluster >> 1) * 3;
  if ((Cluster & 1) == 0) return ((p[1] & 0x0F) << 8) | p[0];
  return (p[2] << 4) | (p[1] >> 4);
}

void TMSXDisk::SetFatEntry(std::int32_t Cluster, std::int32_t Value) {
  if (Cluster < 0 || Cluster >= FClusterCount) return;
  std::uint8_t* p = buffer_.data() + FFatOffset + (Cluster >> 1) * 3;
  if ((Cluster & 1) == 0) {
    p[0] = static_cast<std::uint8_t>(Value & 0xFF);
    p[1] = static_cast<std::uint8_t>((p[1] & 0xF0) | ((Value >> 8) & 0x0F));
  } else {
    p[1] = static_cast<std::uint8_t>((p[1] & 0x0F) | ((Value & 0x0F) << 4));
    p[2] = static_cast<std::uint8_t>((Value >> 4) & 0xFF);
  }
  if (FFatTableCount > 1) {
    std::memcpy(buffer_.data() + FFatOffset + FFatSize, buffer_.data() + FFatOffset, FFatSize);
  }
  FModified = true;
}

std::int32_t TMSXDisk::FindFreeCluster(std::int32_t Start) const {
  for (std::int32_t k = std::max(Start, 2); k < FClusterCount; ++k) {
    if (GetFatEntry(k) == 0) return k;
  }
  return -1;
}

std::int32_t TMSXDisk::CountFreeClusters() const {
  std::int32_t count = 0;
  for (std::int32_t k = 2; k < FClusterCount; ++k) count += GetFatEntry(k) == 0 ? 1 : 0;
  return count;
}

TChainWalk TMSXDisk::WalkChain(std::int32_t first) const {
  TChainWalk walk;
  std::bitset<kMaxClusters> visited;
  std::int32_t cluster = first;
  while (true) {
    if (cluster >= kFirstEndOfChain) return walk;  // End stays EndOfChain
    if (!IsDataCluster(cluster)) break;
    if (visited[static_cast<std::size_t>(cluster)]) {
      walk.End = ChainEnd::Cycle;
      return walk;
    }
    const std::int32_t next = GetFatEntry(cluster);
    // A free or reserved-marked cluster belongs to no chain.
    if (next == 0 || (next >= kFirstReserved && next < kFirstEndOfChain)) break;
    visited[static_cast<std::size_t>(cluster)] = true;
    walk.Clusters.push_back(cluster);
    cluster = next;
  }
  walk.End = ChainEnd::Broken;
  return walk;
}

void TMSXDisk::FreeClusterChain(std::int32_t Cluster) {
  for (const std::int32_t k : WalkChain(Cluster).Clusters) SetFatEntry(k, 0);
  FModified = true;
}

std::int32_t TMSXDisk::GetChainSize(std::int32_t Cluster) const {
  return static_cast<std::int32_t>(WalkChain(Cluster).Clusters.size()) * FClusterSize;
}

std::int32_t TMSXDisk::ClusterToOffset(std::int32_t Cluster) const {
  if (!IsDataCluster(Cluster)) return -1;
  const std::int32_t offset = (Cluster - 2) * FClusterSize + FDataOffset;
  if (offset + FClusterSize > std::min(FBufferSize, kImageCapacity)) return -1;
  return offset;
}

std::int32_t TMSXDisk::OffsetToCluster(std::int32_t Offset) const {
  if (Offset == FRootDirOffset) return 0;
  return (Offset - FDataOffset) / FClusterSize + 2;
}

std::uint8_t* TMSXDisk::GetDataPointer(std::int32_t ACluster) {
  const std::int32_t offset = ClusterToOffset(ACluster);
  return offset < 0 ? nullptr : buffer_.data() + offset;
}

std::vector<std::int32_t> TMSXDisk::PickClusters(std::size_t count,
                                                 std::span<const std::int32_t> reusable,
                                                 std::int32_t reserved) const {
  std::bitset<kMaxClusters> reuse;
  for (const std::int32_t k : reusable) reuse[static_cast<std::size_t>(k)] = true;
  std::vector<std::int32_t> picked;
  for (std::int32_t k = 2; k < FClusterCount && picked.size() < count; ++k) {
    if (k != reserved && (GetFatEntry(k) == 0 || reuse[static_cast<std::size_t>(k)])) {
      picked.push_back(k);
    }
  }
  return picked;
}

void TMSXDisk::WriteChain(std::span<const std::int32_t> clusters) {
  for (std::size_t i = 0; i < clusters.size(); ++i) {
    SetFatEntry(clusters[i], i + 1 < clusters.size() ? clusters[i + 1] : 0xFFF);
  }
}

std::int32_t TMSXDisk::DiskUsage() const {
  std::int32_t used = 0;
  for (std::int32_t k = 0; k < FClusterCount; ++k) used += GetFatEntry(k) != 0 ? 1 : 0;
  return used * FClusterSize;
}

std::int32_t TMSXDisk::DiskFree() const {
  std::int32_t free = 0;
  for (std::int32_t k = 0; k < FClusterCount; ++k) free += GetFatEntry(k) == 0 ? 1 : 0;
  return free * FClusterSize;
}

std::int32_t TMSXDisk::FileCount() {
  std::int32_t count = 0;
  for (std::int32_t i = 0; i < FDirCount; ++i) {
    const TDirEntry* entry = GetDirEntry(i);
    if (!entry || !entry->IsUsed()) break;
    if (!entry->IsDeleted() && (entry->Attr & (faDirectory | faVolumeID)) == 0) ++count;
  }
  return count;
}

std::int64_t TMSXDisk::FileUsage() {
  std::int64_t usage = 0;
  for (std::int32_t i = 0; i < FDirCount; ++i) {
    const TDirEntry* entry = GetDirEntry(i);
    if (!entry || !entry->IsUsed()) break;
    if (!entry->IsDeleted() && (entry->Attr & (faDirectory | faVolumeID)) == 0) {
      usage += entry->Size;
    }
  }
  return usage;
}

}  // namespace disk
