// Shared helpers of the file-command tests: images on the heap, a fixed clock, crafted directory
// entries, and the host file system in memory (files by normalised generic path, folders made
// explicitly or implied by what they hold, listings sorted by name as the real ones are, files
// that cannot be read or written, and a log of the writes).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
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

class TFakeHostFs : public app::files::IHostFs {
 public:
  static constexpr rtl::FileTime kWriteTime = 133'000'000'000'000'000ull;  // 2022-06-18 UTC

  app::files::HostKind Kind(const std::filesystem::path& path) const override {
    const std::string key = Key(path);
    if (files.contains(key)) return app::files::HostKind::File;
    if (folders.contains(key) || !Children(key).empty()) return app::files::HostKind::Folder;
    return app::files::HostKind::Missing;
  }
  std::optional<std::uint64_t> FileSize(const std::filesystem::path& path) const override {
    const auto found = files.find(Key(path));
    if (found == files.end()) return std::nullopt;
    return found->second.size();
  }
  std::vector<std::filesystem::path> List(const std::filesystem::path& folder) const override {
    std::vector<std::filesystem::path> paths;
    for (const std::string& child : Children(Key(folder))) paths.push_back(folder / child);
    return paths;
  }
  std::unique_ptr<rtl::TStream> OpenRead(const std::filesystem::path& path) const override {
    const auto found = files.find(Key(path));
    if (found == files.end() || unreadable.contains(found->first))
      throw rtl::EStreamError("Cannot open file " + Key(path));
    return std::make_unique<rtl::TMemoryStream>(found->second);
  }
  rtl::FileTime LastWriteTime(const std::filesystem::path&) const override { return kWriteTime; }
  void WriteFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) override {
    if (failWrites.contains(Key(path))) throw rtl::EStreamError("Disk full");
    files[Key(path)].assign(bytes.begin(), bytes.end());
    writes.push_back(Key(path));
  }
  std::filesystem::path CurrentDirectory() const override { return cwd; }
  void ChangeDirectory(const std::filesystem::path& path) override { cwd = path; }

  void File(const std::string& path, std::vector<std::uint8_t> bytes, bool locked = false) {
    files[Key(path)] = std::move(bytes);
    if (locked) unreadable.insert(Key(path));
  }
  // `size` bytes that differ from file to file.
  void File(const std::string& path, std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    std::uint32_t state = static_cast<std::uint32_t>(std::hash<std::string>{}(path));
    for (auto& byte : bytes)
      byte = static_cast<std::uint8_t>((state = state * 1103515245u + 12345u) >> 16);
    File(path, std::move(bytes));
  }
  void Folder(const std::string& path) { folders.insert(Key(path)); }
  const std::vector<std::uint8_t>& Bytes(const std::string& path) const {
    return files.at(Key(path));
  }

  static std::string Key(const std::filesystem::path& path) {
    return path.lexically_normal().generic_string();
  }

  std::map<std::string, std::vector<std::uint8_t>> files;
  std::set<std::string> folders;  // empty ones; others exist through their contents
  std::set<std::string> unreadable;
  std::set<std::string> failWrites;
  std::vector<std::string> writes;
  std::filesystem::path cwd = "/work";

 private:
  // The names directly inside `folder`, sorted.
  std::set<std::string> Children(const std::string& folder) const {
    std::set<std::string> names;
    const std::string prefix = folder + "/";
    for (auto it = files.lower_bound(prefix); it != files.end() && it->first.starts_with(prefix);
         ++it)
      names.insert(
          it->first.substr(prefix.size(), it->first.find('/', prefix.size()) - prefix.size()));
    for (auto it = folders.lower_bound(prefix); it != folders.end() && it->starts_with(prefix);
         ++it)
      names.insert(it->substr(prefix.size(), it->find('/', prefix.size()) - prefix.size()));
    return names;
  }
};

}  // namespace files_test
