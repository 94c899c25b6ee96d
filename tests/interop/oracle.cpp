#include "oracle.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <regex>
#include <sstream>
#include <stdexcept>

namespace interop {

const OracleTools& Tools() {
  static const OracleTools tools{QB_TOOL_MDIR, QB_TOOL_MCOPY, QB_TOOL_MINFO,    QB_TOOL_MFORMAT,
                                 QB_TOOL_MMD,  QB_TOOL_MDEL,  QB_TOOL_MKFS_FAT, QB_TOOL_FSCK_FAT};
  return tools;
}

std::string MissingTools() {
  const OracleTools& t = Tools();
  for (const std::string* path :
       {&t.mdir, &t.mcopy, &t.minfo, &t.mformat, &t.mmd, &t.mdel, &t.mkfsFat, &t.fsckFat})
    if (path->empty()) return "install mtools and dosfstools, then configure again";
  return {};
}

void PrepareToolEnvironment() {
  setenv("TZ", "UTC", 1);
  setenv("MTOOLS_SKIP_CHECK", "1", 1);
  tzset();
}

CommandResult RunTool(const std::string& commandLine) {
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

std::string Quote(const std::string& text) {
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

std::string Quote(const std::filesystem::path& path) {
  return Quote(path.string());
}

namespace {

// Lines fsck.fat -n prints on a sound MSX image; none of them is a complaint.
const std::vector<std::regex>& InformationalFsckLines() {
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

}  // namespace

FsckVerdict CheckWithFsck(const std::filesystem::path& image) {
  const CommandResult run = RunTool(Quote(Tools().fsckFat) + " -n " + Quote(image));
  FsckVerdict verdict{run.exitStatus, {}, run.output};
  std::istringstream lines(run.output);
  for (std::string line; std::getline(lines, line);) {
    if (line.empty()) continue;
    bool known = false;
    for (const std::regex& pattern : InformationalFsckLines()) {
      if (std::regex_match(line, pattern)) {
        known = true;
        break;
      }
    }
    if (!known) verdict.complaints.push_back(line);
  }
  return verdict;
}

std::ostream& operator<<(std::ostream& out, const TreeEntry& entry) {
  if (entry.isDir) return out << "<DIR> " << entry.stamp;
  return out << entry.size << " bytes " << entry.stamp;
}

namespace {

std::string TrimRight(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

}  // namespace

std::string TreeDifferences(const Tree& actual, const Tree& expected) {
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

Tree ParseMdirTree(const std::string& output) {
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
    const std::string name = TrimRight(match[1].str());
    const std::string ext = TrimRight(match[2].str());
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

Tree ListWithMdir(const std::filesystem::path& image) {
  // An image without any entry makes mdir -/ report "not found"; that parses as an empty tree.
  return ParseMdirTree(RunTool(Quote(Tools().mdir) + " -/ -a -i " + Quote(image) + " ::").output);
}

std::map<std::string, std::string> ParseMinfo(const std::string& output) {
  std::map<std::string, std::string> fields;
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    const auto colon = line.find(':');
    if (colon == std::string::npos || colon == 0) continue;
    std::string value = line.substr(colon + 1);
    const auto first = value.find_first_not_of(' ');
    value = first == std::string::npos ? "" : TrimRight(value.substr(first));
    fields.emplace(line.substr(0, colon), value);
  }
  return fields;
}

}  // namespace interop
