// Runs the independent FAT tools (mtools, dosfstools) on image files and parses what they print.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "../disk/disk_test_support.h"
#include "../rtl/temp_folder.h"

namespace interop {

// Paths of the tools, found at configure time; empty when the tool is missing.
struct OracleTools {
  std::string mdir, mcopy, minfo, mformat, mmd, mdel, mkfsFat, fsckFat;
};
const OracleTools& Tools();
// Empty when every tool is present.
std::string MissingTools();

// Sets the environment every tool call and every stamp comparison relies on (TZ=UTC,
// MTOOLS_SKIP_CHECK=1).
void PrepareToolEnvironment();

struct CommandResult {
  int exitStatus = -1;
  std::string output;  // stdout and stderr together
};
// Runs a shell command line; the arguments must already be quoted with Quote.
CommandResult RunTool(const std::string& commandLine);
std::string Quote(const std::string& text);
std::string Quote(const std::filesystem::path& path);

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
FsckVerdict CheckWithFsck(const std::filesystem::path& image);

// One entry of a listing: a directory, or a file with its size; the stamp as "YYYY-MM-DD HH:MM".
struct TreeEntry {
  bool isDir = false;
  std::uint32_t size = 0;
  std::string stamp;
  friend bool operator==(const TreeEntry&, const TreeEntry&) = default;
};
std::ostream& operator<<(std::ostream& out, const TreeEntry& entry);
// Keyed by the full path, "/DIR/FILE.EXT"; "." and ".." are left out.
using Tree = std::map<std::string, TreeEntry>;
// One line per path that is missing, unexpected or different; empty when the trees are equal.
std::string TreeDifferences(const Tree& actual, const Tree& expected);
// Parses `mdir -/ -a` output.
Tree ParseMdirTree(const std::string& output);
Tree ListWithMdir(const std::filesystem::path& image);

// `minfo` output as "key: value" pairs ("sectors per fat" -> "3").
std::map<std::string, std::string> ParseMinfo(const std::string& output);

}  // namespace interop
