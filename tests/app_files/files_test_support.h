// Shared helpers of the file-command tests: images on the heap, a fixed clock, the host file
// system in memory and crafted directory entries.
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
#include "disk/msx_disk.h"
#include "fake_host_fs.h"
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

}  // namespace files_test
