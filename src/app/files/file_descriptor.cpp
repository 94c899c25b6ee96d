// Byte layout of the file-group descriptor block.
#include "app/files/file_descriptor.h"

#include <algorithm>
#include <cstring>

namespace app::files {

namespace {

constexpr std::size_t kCountSize = 4;
constexpr std::size_t kFlagsAt = 0;
constexpr std::size_t kAttributesAt = 36;
constexpr std::size_t kCreationAt = 40;
constexpr std::size_t kAccessAt = 48;
constexpr std::size_t kWriteAt = 56;
constexpr std::size_t kSizeHighAt = 64;
constexpr std::size_t kSizeLowAt = 68;
constexpr std::size_t kNameAt = 72;
static_assert(kNameAt + kDescriptorNameUnits * 2 == kDescriptorSize);

void Put32(std::uint8_t* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void Put64(std::uint8_t* at, std::uint64_t value) {
  Put32(at, static_cast<std::uint32_t>(value));
  Put32(at + 4, static_cast<std::uint32_t>(value >> 32));
}

std::uint32_t Get32(const std::uint8_t* at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | at[i];
  return value;
}

std::uint64_t Get64(const std::uint8_t* at) {
  return Get32(at) | (std::uint64_t{Get32(at + 4)} << 32);
}

}  // namespace

std::vector<std::uint8_t> EncodeFileGroupDescriptor(std::span<const TFileDescriptor> descriptors) {
  std::vector<std::uint8_t> block(kCountSize + kDescriptorSize * descriptors.size(), 0);
  Put32(block.data(), static_cast<std::uint32_t>(descriptors.size()));
  for (std::size_t i = 0; i < descriptors.size(); ++i) {
    const TFileDescriptor& descriptor = descriptors[i];
    std::uint8_t* record = block.data() + kCountSize + kDescriptorSize * i;
    Put32(record + kFlagsAt, descriptor.Flags);
    Put32(record + kAttributesAt, descriptor.Attributes);
    Put64(record + kCreationAt, descriptor.CreationTime);
    Put64(record + kAccessAt, descriptor.LastAccessTime);
    Put64(record + kWriteAt, descriptor.LastWriteTime);
    Put32(record + kSizeHighAt, static_cast<std::uint32_t>(descriptor.Size >> 32));
    Put32(record + kSizeLowAt, static_cast<std::uint32_t>(descriptor.Size));
    const std::size_t units = std::min(descriptor.Name.size(), kMaxDescriptorPath);
    for (std::size_t u = 0; u < units; ++u) {
      const auto unit = static_cast<std::uint16_t>(descriptor.Name[u]);
      record[kNameAt + 2 * u] = static_cast<std::uint8_t>(unit);
      record[kNameAt + 2 * u + 1] = static_cast<std::uint8_t>(unit >> 8);
    }
  }
  return block;
}

TParsedDescriptors ParseFileGroupDescriptor(std::span<const std::uint8_t> block) {
  TParsedDescriptors parsed;
  if (block.size() < kCountSize) return parsed;
  const std::size_t announced = Get32(block.data());
  const std::size_t held = (block.size() - kCountSize) / kDescriptorSize;
  const std::size_t count = std::min(announced, held);
  parsed.Rejected = announced - count;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* record = block.data() + kCountSize + kDescriptorSize * i;
    std::wstring name;
    bool terminated = false;
    for (std::size_t u = 0; u < kDescriptorNameUnits; ++u) {
      const auto unit =
          static_cast<std::uint16_t>(record[kNameAt + 2 * u] | (record[kNameAt + 2 * u + 1] << 8));
      if (unit == 0) {
        terminated = true;
        break;
      }
      name.push_back(static_cast<wchar_t>(unit));
    }
    if (!terminated) {
      ++parsed.Rejected;
      continue;
    }
    TFileDescriptor descriptor;
    descriptor.Flags = Get32(record + kFlagsAt);
    descriptor.Attributes = Get32(record + kAttributesAt);
    descriptor.CreationTime = Get64(record + kCreationAt);
    descriptor.LastAccessTime = Get64(record + kAccessAt);
    descriptor.LastWriteTime = Get64(record + kWriteAt);
    descriptor.Size =
        (std::uint64_t{Get32(record + kSizeHighAt)} << 32) | Get32(record + kSizeLowAt);
    descriptor.Name = std::move(name);
    parsed.Items.push_back({i, std::move(descriptor)});
  }
  return parsed;
}

}  // namespace app::files
