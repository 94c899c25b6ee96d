// Builds an image through the model while recording what an independent reader must find in it:
// the tree with sizes and stamps, and every file's bytes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "disk/msx_disk.h"
#include "oracle.h"

namespace interop {

class ImageRecorder {
 public:
  // `stamp` is what new entries are stamped with ("YYYY-MM-DD HH:MM").
  ImageRecorder(disk::TMSXDisk& image, std::string stamp)
      : image_(image), stamp_(std::move(stamp)) {}

  // Paths are "/DIR/NAME.EXT"; each step must succeed.
  void MakeDir(const std::string& path);
  disk::PDirEntry Add(const std::string& path, const std::vector<std::uint8_t>& bytes);
  // Replaces an existing file through the stream form, which stamps it with the current time.
  void Replace(const std::string& path, const std::vector<std::uint8_t>& bytes);
  void Delete(const std::string& path);
  // Adds a host file through the model's host-file form; `stamp` is its expected stamp.
  void AddHostFile(const std::string& path, const std::filesystem::path& hostFile,
                   const std::string& stamp);
  // Enters the path's parent directory and returns the leaf name.
  std::string EnterParent(const std::string& path);

  const Tree& Expected() const { return expected_; }
  const std::map<std::string, std::vector<std::uint8_t>>& Contents() const { return contents_; }

 private:
  disk::TMSXDisk& image_;
  std::string stamp_;
  Tree expected_;
  std::map<std::string, std::vector<std::uint8_t>> contents_;
};

// Every recorded file, copied out with `mcopy -n`, must equal its recorded bytes.
void ExpectMcopyGivesContents(const std::filesystem::path& image, const ImageRecorder& recorder,
                              const std::filesystem::path& scratch);

}  // namespace interop
