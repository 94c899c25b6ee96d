// File descriptors as the shell's "FileGroupDescriptorW" format carries them: a 32-bit count and
// that many 592-byte records (flags, attributes, three FILETIMEs, a 64-bit size and a name of at
// most 259 UTF-16 units with its terminator). Encoded and parsed here byte by byte, so the layout
// is tested without the platform's headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "rtl/file_stream.h"

namespace app::files {

// Flags of a descriptor record: which fields are valid.
inline constexpr std::uint32_t kFdAttributes = 0x04;
inline constexpr std::uint32_t kFdCreateTime = 0x08;
inline constexpr std::uint32_t kFdAccessTime = 0x10;
inline constexpr std::uint32_t kFdWriteTime = 0x20;
inline constexpr std::uint32_t kFdFileSize = 0x40;
inline constexpr std::uint32_t kFdAllOffered =
    kFdAttributes | kFdCreateTime | kFdAccessTime | kFdWriteTime | kFdFileSize;

// Host attribute bits (the same values as in a FAT entry).
inline constexpr std::uint32_t kHostDirectory = 0x10;

inline constexpr std::size_t kDescriptorSize = 592;
inline constexpr std::size_t kDescriptorNameUnits = 260;  // including the terminator
inline constexpr std::size_t kMaxDescriptorPath = kDescriptorNameUnits - 1;

struct TFileDescriptor {
  std::uint32_t Flags = kFdAllOffered;
  std::uint32_t Attributes = 0;
  rtl::FileTime CreationTime = 0;
  rtl::FileTime LastAccessTime = 0;
  rtl::FileTime LastWriteTime = 0;
  std::uint64_t Size = 0;
  std::wstring Name;  // relative path, parts joined with "\"
  friend bool operator==(const TFileDescriptor&, const TFileDescriptor&) = default;
};

// The block: count, then one record per descriptor; names longer than 259 units are cut.
std::vector<std::uint8_t> EncodeFileGroupDescriptor(std::span<const TFileDescriptor> descriptors);

struct TIndexedDescriptor {
  std::size_t Index = 0;  // the record's position in the block: its "FileContents" index
  TFileDescriptor Descriptor;
};

struct TParsedDescriptors {
  std::vector<TIndexedDescriptor> Items;
  // Records the count announced but the block does not hold, or whose name has no terminator.
  std::size_t Rejected = 0;
};

// Parses a block from another program: the count is bounded by the block's size and every name
// must end within its 260 units; nothing else is trusted here.
TParsedDescriptors ParseFileGroupDescriptor(std::span<const std::uint8_t> block);

}  // namespace app::files
