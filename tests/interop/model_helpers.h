// Small conveniences over the disk model for the interop tests: new, saved and loaded images,
// streams of bytes, a fixed clock and a listing of the whole tree through the model.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "disk/msx_disk.h"
#include "oracle.h"
#include "rtl/clock.h"

namespace interop {

// "YYYY-MM-DD HH:MM", the precision mdir shows.
std::string MinuteStamp(const rtl::TDateTime& time);
// "YYYY-MM-DD HH:MM:SS".
std::string SecondStamp(const rtl::TDateTime& time);

// A prepared image with the MSX-DOS 1 boot block, as the program makes it.
std::unique_ptr<disk::TMSXDisk> NewImage(bool doubleSided);
using disk_test::AddBytes;
void SaveImage(const disk::TMSXDisk& image, const std::filesystem::path& path);
// Loads through LoadFromBuffer, or through LoadFromStream over a host file stream.
enum class LoadVia { Buffer, FileStream };
std::unique_ptr<disk::TMSXDisk> LoadImage(const std::filesystem::path& path,
                                          LoadVia via = LoadVia::Buffer);

// "/A/B/FILE.EXT" -> "\A\B" and "FILE.EXT".
std::string ParentOf(const std::string& path);
std::string LeafOf(const std::string& path);
std::string ModelPath(const std::string& slashPath);

// The whole tree as the model sees it (directories without stamps, files with stamps to the
// second); the current directory is the root afterwards.
Tree ListWithModel(disk::TMSXDisk& image);

}  // namespace interop
