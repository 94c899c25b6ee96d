// The interop tests' support: the independent FAT tools (mtools, dosfstools) run on image files
// and what they print parsed; conveniences over the disk model (new, saved and loaded images,
// stamps as the tools print them, model paths, the whole tree through the model); the base
// fixture.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "../disk/disk_test_support.h"
#include "../rtl/temp_folder.h"
#include "disk/msx_disk.h"
#include "rtl/clock.h"
#include "rtl/file_stream.h"
#include "rtl/stream.h"

namespace interop {

// Paths of the tools, found at configure time; empty when the tool is missing.
struct OracleTools {
  std::string mdir, mcopy, minfo, mformat, mmd, mdel, mkfsFat, fsckFat;
};

struct CommandResult {
  int exitStatus = -1;
  std::string output;  // stdout and stderr together
};

// The disk tests' helpers: scratch folders, host files and deterministic contents.
using ScratchDir = TTempFolder;
inline constexpr auto& WriteHostFile = disk_test::WriteFile;
inline constexpr auto& ReadHostFile = disk_test::ReadFile;
inline constexpr auto& PatternBytes = disk_test::Pattern;

// fsck.fat -n: the complaints that remain once the informational lines and the expected
// boot-record lines are removed. An MSX boot sector carries Z80 code where an extended boot record
// would be, so fsck.fat reports its "label" as invalid and, when byte 37 happens to be odd, its
// "dirty bit" as set (and exits 1); those are the only complaints tolerated.
struct FsckVerdict {
  int exitStatus = -1;
  std::vector<std::string> complaints;
  std::string output;
  bool Clean() const { return complaints.empty() && (exitStatus == 0 || exitStatus == 1); }
};

// One entry of a listing: a directory, or a file with its size; the stamp as "YYYY-MM-DD HH:MM".
struct TreeEntry {
  bool isDir = false;
  std::uint32_t size = 0;
  std::string stamp;
  friend bool operator==(const TreeEntry&, const TreeEntry&) = default;
};
// Keyed by the full path, "/DIR/FILE.EXT"; "." and ".." are left out.
using Tree = std::map<std::string, TreeEntry>;

inline const OracleTools& Tools() {
  static const OracleTools tools{QB_TOOL_MDIR, QB_TOOL_MCOPY, QB_TOOL_MINFO,    QB_TOOL_MFORMAT,
                                 QB_TOOL_MMD,  QB_TOOL_MDEL,  QB_TOOL_MKFS_FAT, QB_TOOL_FSCK_FAT};
  return tools;
}

// Empty when every tool is present.
inline std::string MissingTools() {
  const OracleTools& t = Tools();
  for (const std::string* path :
       {&t.mdir, &t.mcopy, &t.minfo, &t.mformat, &t.mmd, &t.mdel, &t.mkfsFat, &t.fsckFat})
    if (path->empty()) return "install mtools and dosfstools, then configure again";
  return {};
}

// Sets the environment every tool call and every stamp comparison relies on (TZ=UTC,
// MTOOLS_SKIP_CHECK=1).
inline void PrepareToolEnvironment() {
  setenv("TZ", "UTC", 1);
  setenv("MTOOLS_SKIP_CHECK", "1", 1);
  tzset();
}

// Runs a shell command line; the arguments must already be quoted with Quote.
inline CommandResult RunTool(const std::string& commandLine) {
  CommandResult result;
  const std::string full = commandLine + " 2>&1";
  struct PipeCloser {
    int* status;
    void operator()(FILE* pipe) const { *status = pclose(pipe); }
  };
  int rawStatus = -1;
  {
    std::unique_ptr<FILE, PipeCloser> pipe(popen(full.c_str(), "r"), PipeCloser{&rawStatus});
    if (!pipe) throw std::runtime_error("cannot run: " + commandLine);
    std::array<char, 4096> chunk{};
    while (const std::size_t got = std::fread(chunk.data(), 1, chunk.size(), pipe.get())) {
      result.output.append(chunk.data(), got);
    }
  }
  result.exitStatus = WIFEXITED(rawStatus) ? WEXITSTATUS(rawStatus) : -1;
  return result;
}

inline std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

inline std::string Quote(const std::filesystem::path& path) {
  return Quote(path.string());
}

namespace detail {

// Lines fsck.fat -n prints on a sound MSX image; none of them is a complaint.
inline const std::vector<std::regex>& InformationalFsckLines() {
  static const std::vector<std::regex> lines{
      std::regex(R"(^fsck\.fat \d.*$)"),
      std::regex(R"(^Leaving filesystem unchanged\.$)"),
      std::regex(R"(^.*: \d+ files, \d+/\d+ clusters$)"),
      // The boot code at byte 28 read as an extended boot record: its label and, at byte 37,
      // its dirty flag.
      std::regex(R"(^Label '.*' stored in boot sector is not valid\.$)"),
      std::regex(R"(^ *Auto-removing label from boot sector\.$)"),
      std::regex(
          R"(^Dirty bit is set\. Fs was not properly unmounted and some data may be corrupt\.$)"),
      std::regex(R"(^ *Automatically removing dirty bit\.$)"),
  };
  return lines;
}

inline std::string TrimRight(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

}  // namespace detail

inline FsckVerdict CheckWithFsck(const std::filesystem::path& image) {
  const CommandResult run = RunTool(Quote(Tools().fsckFat) + " -n " + Quote(image));
  FsckVerdict verdict{run.exitStatus, {}, run.output};
  std::istringstream lines(run.output);
  for (std::string line; std::getline(lines, line);) {
    if (line.empty()) continue;
    bool known = false;
    for (const std::regex& pattern : detail::InformationalFsckLines()) {
      if (std::regex_match(line, pattern)) {
        known = true;
        break;
      }
    }
    if (!known) verdict.complaints.push_back(line);
  }
  return verdict;
}

inline std::ostream& operator<<(std::ostream& out, const TreeEntry& entry) {
  if (entry.isDir) return out << "<DIR> " << entry.stamp;
  return out << entry.size << " bytes " << entry.stamp;
}

// One line per path that is missing, unexpected or different; empty when the trees are equal.
inline std::string TreeDifferences(const Tree& actual, const Tree& expected) {
  std::ostringstream differences;
  for (const auto& [path, entry] : expected) {
    const auto found = actual.find(path);
    if (found == actual.end()) {
      differences << "missing " << path << " (" << entry << ")\n";
    } else if (!(found->second == entry)) {
      differences << path << ": " << found->second << ", expected " << entry << "\n";
    }
  }
  for (const auto& [path, entry] : actual) {
    if (!expected.contains(path)) differences << "unexpected " << path << " (" << entry << ")\n";
  }
  return differences.str();
}

// Parses `mdir -/ -a` output.
inline Tree ParseMdirTree(const std::string& output) {
  static const std::regex heading(R"(^Directory for ::(/.*?)/?$)");
  static const std::regex entryLine(
      R"(^(.{8}) (.{3}) +(<DIR>|\d+) +(\d{4}-\d{2}-\d{2}) +(\d{1,2}):(\d{2})\b.*$)");
  Tree tree;
  std::string directory;
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    std::smatch match;
    if (std::regex_match(line, match, heading)) {
      directory = match[1].str() == "/" ? "" : match[1].str();
      continue;
    }
    if (!std::regex_match(line, match, entryLine)) continue;
    const std::string name = detail::TrimRight(match[1].str());
    const std::string ext = detail::TrimRight(match[2].str());
    if (name == "." || name == "..") continue;
    TreeEntry entry;
    entry.isDir = match[3].str() == "<DIR>";
    entry.size = entry.isDir ? 0 : static_cast<std::uint32_t>(std::stoul(match[3].str()));
    const std::string hour = match[5].str();
    entry.stamp =
        match[4].str() + " " + (hour.size() == 1 ? "0" : "") + hour + ":" + match[6].str();
    tree[directory + "/" + name + (ext.empty() ? "" : "." + ext)] = entry;
  }
  return tree;
}

inline Tree ListWithMdir(const std::filesystem::path& image) {
  // An image without any entry makes mdir -/ report "not found"; that parses as an empty tree.
  return ParseMdirTree(RunTool(Quote(Tools().mdir) + " -/ -a -i " + Quote(image) + " ::").output);
}

// `minfo` output as "key: value" pairs ("sectors per fat" -> "3").
inline std::map<std::string, std::string> ParseMinfo(const std::string& output) {
  std::map<std::string, std::string> fields;
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    const auto colon = line.find(':');
    if (colon == std::string::npos || colon == 0) continue;
    std::string value = line.substr(colon + 1);
    const auto first = value.find_first_not_of(' ');
    value = first == std::string::npos ? "" : detail::TrimRight(value.substr(first));
    fields.emplace(line.substr(0, colon), value);
  }
  return fields;
}

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

// The base fixture: the tools must be present, the environment is set for them, and every test
// gets a fresh scratch folder.
class InteropTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(MissingTools(), "");
    PrepareToolEnvironment();
  }

  ScratchDir scratch_;
};

// Asserts that fsck.fat finds nothing wrong with the image but the expected boot-label lines.
#define EXPECT_FSCK_CLEAN(image)                                            \
  do {                                                                      \
    const ::interop::FsckVerdict verdict = ::interop::CheckWithFsck(image); \
    EXPECT_TRUE(verdict.Clean()) << verdict.output;                         \
  } while (false)

}  // namespace interop
