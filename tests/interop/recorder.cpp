#include "recorder.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string_view>

#include "model_helpers.h"

namespace interop {

namespace {

std::wstring Widen(std::string_view text) {
  return {text.begin(), text.end()};
}

}  // namespace

std::string ImageRecorder::EnterParent(const std::string& path) {
  if (!image_.ChangeDir(ParentOf(path))) throw std::runtime_error("cannot enter " + path);
  return LeafOf(path);
}

void ImageRecorder::MakeDir(const std::string& path) {
  const std::string name = EnterParent(path);
  if (image_.CreateSubDir(name) != disk::DiskResult::Ok) {
    throw std::runtime_error("cannot create " + path);
  }
  expected_[path] = TreeEntry{true, 0, stamp_};
}

disk::PDirEntry ImageRecorder::Add(const std::string& path,
                                   const std::vector<std::uint8_t>& bytes) {
  const std::string name = EnterParent(path);
  disk::PDirEntry entry = AddBytes(image_, Widen(name), bytes);
  if (entry == nullptr) throw std::runtime_error("cannot add " + path);
  expected_[path] = TreeEntry{false, static_cast<std::uint32_t>(bytes.size()), stamp_};
  contents_[path] = bytes;
  return entry;
}

void ImageRecorder::Replace(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  if (!expected_.contains(path)) throw std::runtime_error("nothing to replace at " + path);
  Add(path, bytes);
}

void ImageRecorder::Delete(const std::string& path) {
  const std::string name = EnterParent(path);
  if (image_.Delete(name) != disk::DiskResult::Ok)
    throw std::runtime_error("cannot delete " + path);
  expected_.erase(path);
  contents_.erase(path);
}

void ImageRecorder::AddHostFile(const std::string& path, const std::filesystem::path& hostFile,
                                const std::string& stamp) {
  EnterParent(path);
  if (!image_.Add(hostFile)) throw std::runtime_error("cannot add " + hostFile.string());
  const std::vector<std::uint8_t> bytes = ReadHostFile(hostFile);
  expected_[path] = TreeEntry{false, static_cast<std::uint32_t>(bytes.size()), stamp};
  contents_[path] = bytes;
}

void ExpectMcopyGivesContents(const std::filesystem::path& image, const ImageRecorder& recorder,
                              const std::filesystem::path& scratch) {
  const std::filesystem::path out = scratch / "mcopy.out";
  for (const auto& [path, bytes] : recorder.Contents()) {
    std::filesystem::remove(out);
    const CommandResult copy = RunTool(Quote(Tools().mcopy) + " -n -i " + Quote(image) + " " +
                                       Quote("::" + path) + " " + Quote(out));
    ASSERT_EQ(copy.exitStatus, 0) << path << ": " << copy.output;
    EXPECT_EQ(ReadHostFile(out), bytes) << path;
  }
}

}  // namespace interop
