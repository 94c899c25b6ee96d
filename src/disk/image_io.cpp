// TMSXDisk: raw sector images in and out of buffers and streams.
#include <algorithm>
#include <cstring>
#include <memory>

#include "disk/msx_disk.h"

namespace disk {

namespace {

bool IsKnownMedia(std::uint8_t media) {
  return media == 0xF8 || media == 0xF9;
}

}  // namespace

bool TMSXDisk::FinishLoad(std::int32_t size, const std::filesystem::path& AFileName) {
  FBufferSize = size;
  // The bytes stay (they are saved back as they are), but without a known media byte no
  // geometry is derived, so no file operation can touch them. The name follows the bytes, an
  // empty one included: a save without a name then goes back where they came from, or fails,
  // and never writes them over the image loaded before.
  if (size <= kMediaByteOffset || !IsKnownMedia(buffer_[kMediaByteOffset])) {
    ResetGeometry();
    FFileName = AFileName;
    return false;
  }
  ReadGeometry();
  if (!AFileName.empty()) FFileName = AFileName;
  FModified = false;
  return true;
}

bool TMSXDisk::LoadFromBuffer(std::span<const std::uint8_t> ABuf,
                              const std::filesystem::path& AFileName) {
  // Nothing to load is refused before anything changes.
  if (ABuf.empty()) return false;
  const std::size_t size = std::min<std::size_t>(ABuf.size(), kImageCapacity);
  std::memmove(buffer_.data(), ABuf.data(), size);
  return FinishLoad(static_cast<std::int32_t>(size), AFileName);
}

bool TMSXDisk::LoadFromStream(rtl::TStream& AStream, const std::filesystem::path& AFileName) {
  // Staged, so a stream that fails half-way leaves the image as it was.
  // The staging block is written before it is read, so it is not cleared first.
  const auto staging = std::make_unique_for_overwrite<std::uint8_t[]>(kImageCapacity);
  const std::span<std::uint8_t> block(staging.get(), kImageCapacity);
  return LoadFromBuffer(block.first(AStream.ReadFully(block)), AFileName);
}

void TMSXDisk::SaveToStream(rtl::TStream& AStream) const {
  AStream.WriteBuffer(Buffer().first(static_cast<std::size_t>(FBufferSize)));
}

}  // namespace disk
