// Small conveniences over the disk model for the interop tests: new, saved and loaded images,
// stamps as the tools print them, model paths, and a listing of the whole tree through the model.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "disk/msx_disk.h"
#include "oracle.h"
#include "rtl/clock.h"
#include "rtl/file_stream.h"
#include "rtl/stream.h"

namespace interop {

using disk_test::AddBytes;

// Loads through LoadFromBuffer, or through LoadFromStream over a host file stream.
enum class LoadVia { Buffer, FileStream };
// "YYYY-MM-DD HH:MM", the precision mdir shows; SecondStamp adds ":SS".
inline std::string MinuteStamp(const rtl::TDateTime& time) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", time.Year, time.Month, time.Day,
                time.Hour, time.Minute);
  return text;
}

inline std::string SecondStamp(const rtl::TDateTime& time) {
  char text[8];
  std::snprintf(text, sizeof text, ":%02d", time.Second);
  return MinuteStamp(time) + text;
}

// A prepared image with the MSX-DOS 1 boot block, as the program makes it.
inline std::unique_ptr<disk::TMSXDisk> NewImage(bool doubleSided) {
  auto image = std::make_unique<disk::TMSXDisk>();
  image->PrepareNewImage(doubleSided);
  image->AttachBootCode(disk::GetBootCode(1));
  return image;
}

inline void SaveImage(const disk::TMSXDisk& image, const std::filesystem::path& path) {
  rtl::TMemoryStream stream;
  image.SaveToStream(stream);
  WriteHostFile(path, stream.Bytes());
}

inline std::unique_ptr<disk::TMSXDisk> LoadImage(const std::filesystem::path& path,
                                                 LoadVia via = LoadVia::Buffer) {
  auto image = std::make_unique<disk::TMSXDisk>();
  bool loaded = false;
  if (via == LoadVia::Buffer) {
    loaded = image->LoadFromBuffer(ReadHostFile(path), path);
  } else {
    rtl::TFileStream stream(path, rtl::FileMode::OpenRead);
    loaded = image->LoadFromStream(stream, path);
  }
  if (!loaded) throw std::runtime_error("the model rejected " + path.string());
  return image;
}

// "/A/B" -> "\A\B".
inline std::string ModelPath(const std::string& slashPath) {
  std::string result = "\\";
  for (const char c : slashPath) {
    if (c == '/') {
      if (result.back() != '\\') result += '\\';
    } else {
      result += c;
    }
  }
  return result;
}

// "/A/B/FILE.EXT" -> "\A\B" and "FILE.EXT".
inline std::string ParentOf(const std::string& path) {
  return ModelPath(path.substr(0, path.rfind('/')));
}

inline std::string LeafOf(const std::string& path) {
  return path.substr(path.rfind('/') + 1);
}

namespace detail {
inline void ListDirectory(disk::TMSXDisk& image, const std::string& path, Tree& tree) {
  if (!image.ChangeDir(ModelPath(path.empty() ? "/" : path))) {
    throw std::runtime_error("the model cannot enter " + path);
  }
  std::vector<std::string> subDirectories;
  image.ResetDir();
  while (const disk::TDirEntry* entry = image.FetchDir(false)) {
    if (!entry->IsUsed()) break;
    if (entry->IsLabelOrLongName()) continue;
    const std::string name = entry->GetFileName();
    if (name == "." || name == "..") continue;
    TreeEntry item;
    item.isDir = entry->IsDirectory();
    if (item.isDir) {
      subDirectories.push_back(path + "/" + name);
    } else {
      item.size = entry->Size;
      item.stamp = SecondStamp(entry->GetDateTime());
    }
    tree[path + "/" + name] = item;
  }
  for (const std::string& subDirectory : subDirectories) ListDirectory(image, subDirectory, tree);
}

}  // namespace detail

// The whole tree as the model sees it (directories without stamps, files with stamps to the
// second); the current directory is the root afterwards.
inline Tree ListWithModel(disk::TMSXDisk& image) {
  Tree tree;
  detail::ListDirectory(image, "", tree);
  image.ChangeDir("\\");
  return tree;
}

}  // namespace interop
