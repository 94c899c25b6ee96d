// Shared helpers of the file-command tests: images on the heap, a fixed clock, a host file system
// in memory and crafted directory entries.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "../disk/disk_test_support.h"
#include "app/files/host_fs.h"
#include "disk/msx_disk.h"
#include "rtl/clock.h"
#include "rtl/exceptions.h"
#include "rtl/stream.h"

namespace files_test {

// Images on the heap with the modified flag cleared, as a freshly opened image has it.
inline std::unique_ptr<disk::TMSXDisk> NewDisk(bool doubleSided = true) {
  auto disk = disk_test::NewDisk(doubleSided);
  disk->ResetModifiedState();
  return disk;
}

using disk_test::AddBytes;
using disk_test::Pattern;

inline std::vector<std::uint8_t> ExtractBytes(disk::TMSXDisk& disk, const std::string& name) {
  auto bytes = disk.ExtractToMem(name);
  return bytes ? *bytes : std::vector<std::uint8_t>{};
}

// Names of the current directory's listed entries in slot order ("." and ".." left out).
inline std::vector<std::string> DirNames(disk::TMSXDisk& disk) {
  std::vector<std::string> names;
  for (std::int32_t i = 0; i < disk.DirCount(); ++i) {
    const disk::TDirEntry* entry = disk.GetDirEntry(i);
    if (!entry || !entry->IsUsed()) break;
    const std::string name = entry->GetFileName();
    if (entry->IsDeleted() || name == "." || name == "..") continue;
    names.push_back(entry->IsDirectory() ? name + "\\" : name);
  }
  return names;
}

// Writes the 11 name bytes of an entry as they stand, without the model's name rules.
inline void SetRawName(disk::TDirEntry& entry, const char (&name)[12]) {
  std::memcpy(entry.Name, name, 8);
  std::memcpy(entry.Ext, name + 8, 3);
}

using disk_test::ClockTest;
using disk_test::TFakeClock;

// A host file system in memory. Paths are written with "/"; folders list their children in the
// order they were made.
class TFakeFs : public app::files::IHostFs {
 public:
  static constexpr rtl::FileTime kWriteTime = 133'000'000'000'000'000ull;  // 2022-06-18 UTC

  void File(const std::string& path, std::vector<std::uint8_t> bytes, bool unreadable = false) {
    Node& node = Make(path, app::files::HostKind::File);
    node.bytes = std::move(bytes);
    node.unreadable = unreadable;
  }
  void File(const std::string& path, std::size_t size) { File(path, Pattern(size, Seed(path))); }
  void Folder(const std::string& path) { Make(path, app::files::HostKind::Folder); }

  app::files::HostKind Kind(const std::filesystem::path& path) const override {
    const auto it = nodes_.find(Key(path));
    return it == nodes_.end() ? app::files::HostKind::Missing : it->second.kind;
  }
  std::optional<std::uint64_t> FileSize(const std::filesystem::path& path) const override {
    const auto it = nodes_.find(Key(path));
    if (it == nodes_.end()) return std::nullopt;
    return it->second.bytes.size();
  }
  std::vector<std::filesystem::path> List(const std::filesystem::path& folder) const override {
    const auto it = nodes_.find(Key(folder));
    if (it == nodes_.end()) return {};
    std::vector<std::filesystem::path> paths;
    for (const std::string& child : it->second.children) paths.emplace_back(child);
    return paths;
  }
  std::unique_ptr<rtl::TStream> OpenRead(const std::filesystem::path& path) const override {
    const auto it = nodes_.find(Key(path));
    if (it == nodes_.end() || it->second.unreadable) throw rtl::EStreamError("cannot open");
    return std::make_unique<rtl::TMemoryStream>(it->second.bytes);
  }
  rtl::FileTime LastWriteTime(const std::filesystem::path&) const override { return kWriteTime; }

  const std::vector<std::uint8_t>& Bytes(const std::string& path) const {
    return nodes_.at(path).bytes;
  }
  static unsigned Seed(const std::string& path) {
    return static_cast<unsigned>(std::hash<std::string>{}(path)&0xFFFF);
  }

 private:
  struct Node {
    app::files::HostKind kind = app::files::HostKind::Missing;
    std::vector<std::uint8_t> bytes;
    bool unreadable = false;
    std::vector<std::string> children;
  };

  static std::string Key(const std::filesystem::path& path) { return path.generic_string(); }

  Node& Make(const std::string& path, app::files::HostKind kind) {
    const auto cut = path.rfind('/');
    if (cut != std::string::npos && cut > 0) {
      const auto parent = nodes_.find(path.substr(0, cut));
      if (parent != nodes_.end()) parent->second.children.push_back(path);
    }
    Node& node = nodes_[path];
    node.kind = kind;
    return node;
  }

  std::map<std::string, Node> nodes_;
};

}  // namespace files_test
