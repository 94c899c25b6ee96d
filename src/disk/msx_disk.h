// The in-memory MSX-DOS (FAT12) disk image: a fixed 737,280-byte buffer in sector order with its
// geometry, FAT, directories and file operations.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "disk/records.h"
#include "rtl/stream.h"

namespace disk {

class TDirEntryList;

// Result codes of the file operations; FLastError keeps the last stored one.
enum class DiskResult : std::uint8_t {
  Ok = 0,
  DiskFull = 1,
  DirFull = 2,
  NameExists = 3,
  DirNotEmpty = 4,
  DirNotFound = 5,
  FileNotFound = 6,
  None = 255,
};

// Where a cluster chain walk stopped.
enum class ChainEnd {
  EndOfChain,  // a value 0xFF8-0xFFF: a well-formed end
  Broken,      // a link to 0 (free), 1, a reserved value or a cluster out of range
  Cycle,       // more links than the disk has clusters
};

struct TChainWalk {
  std::vector<std::int32_t> Clusters;  // valid clusters only, in chain order
  ChainEnd End = ChainEnd::EndOfChain;
};

inline constexpr std::int32_t kImageCapacity = 737280;
inline constexpr std::int32_t kSingleSidedSize = 368640;
// Where a raw image holds its media byte (in the boot sector).
inline constexpr std::int32_t kMediaByteOffset = 21;

class TMSXDisk {
 public:
  TMSXDisk();
  TMSXDisk(const TMSXDisk&) = delete;
  TMSXDisk& operator=(const TMSXDisk&) = delete;

  // --- Fields. Read by the shell and the track bridge; written only by the model. ---
  std::filesystem::path FFileName;
  PBootRecord FBootRecord;
  std::int32_t FFatOffset = 0;
  std::int32_t FDirOffset = 0;
  std::int32_t FRootDirOffset = 0;
  std::int32_t FDataOffset = 0;
  std::int32_t FClusterCount = 0;  // valid clusters are 2 .. FClusterCount-1
  std::int32_t FDirCount = 0;
  std::int32_t FRootDirCount = 0;
  std::int32_t FDirIndex = 0;
  std::int32_t FSectorSize = 512;
  std::int32_t FClusterSize = 1024;
  std::int32_t FSectorsPerCluster = 2;
  std::int32_t FReservedCount = 0;
  std::int32_t FFatTableCount = 0;
  std::int32_t FSectorsPerFat = 0;
  std::int32_t FSectorCount = 0;
  std::int32_t FFatSize = 0;
  DiskResult FLastError = DiskResult::None;
  std::string FDirectory = "\\";
  std::int32_t FBufferSize = 0;
  bool FCustomDisk = false;
  bool FModified = false;

  // The image bytes; never moves while the object lives (entries are pointed into it).
  std::span<std::uint8_t> Buffer() { return buffer_; }
  std::span<const std::uint8_t> Buffer() const { return buffer_; }

  // --- Properties ---
  PBootRecord BootRecord() const { return FBootRecord; }
  std::int32_t DirCount() const { return FDirCount; }
  const std::filesystem::path& FileName() const { return FFileName; }
  void SetFileName(const std::filesystem::path& fileName) { FFileName = fileName; }
  const std::string& Directory() const { return FDirectory; }
  void SetDirectory(std::string_view directory);
  std::int32_t FileCount();
  std::int64_t FileUsage();
  std::int32_t DiskUsage() const;
  std::int32_t DiskFree() const;
  std::int32_t DiskByteSize() const { return FBufferSize; }
  std::int32_t NumSides() const { return FBufferSize / kSingleSidedSize; }
  std::int32_t NumTracks() const { return 80; }
  bool IsModified() const { return FModified; }
  bool CustomDisk() const { return FCustomDisk; }

  // --- Image, boot sector and FAT ---
  void PrepareNewImage(bool DoubleSided);
  void AttachBootCode(const TBootCodeRec& CodeRec);
  void EraseBootSector();
  void ResetModifiedState() { FModified = false; }
  [[noreturn]] void Assign(const TMSXDisk& Source);
  // The cluster's bytes in the buffer, or null when the cluster is not a valid data cluster
  // (the bare formula would point before the data area or past the image's bytes).
  std::uint8_t* GetDataPointer(std::int32_t ACluster);

  void ReadGeometry();
  std::int32_t GetFatEntry(std::int32_t Cluster) const;
  void SetFatEntry(std::int32_t Cluster, std::int32_t Value);
  std::int32_t FindFreeCluster(std::int32_t Start) const;
  void FreeClusterChain(std::int32_t Cluster);
  std::int32_t GetChainSize(std::int32_t Cluster) const;
  // The one bounded walk every chain traversal goes through: a chain that loops back on itself
  // in a damaged FAT would otherwise be walked for ever.
  TChainWalk WalkChain(std::int32_t first) const;
  bool IsDataCluster(std::int32_t cluster) const { return cluster >= 2 && cluster < FClusterCount; }
  // Buffer offset of a valid data cluster whose bytes lie inside the image; -1 otherwise, so that
  // a cluster number read from a damaged image never leads outside the loaded bytes.
  std::int32_t ClusterToOffset(std::int32_t Cluster) const;
  std::int32_t OffsetToCluster(std::int32_t Offset) const;

  // --- Loading and saving raw images ---
  // Copies at most 737,280 bytes; a refused load leaves the object inert (no geometry) and named
  // after the bytes' source (AFileName, empty included), so no save puts them over another file.
  bool LoadFromBuffer(std::span<const std::uint8_t> ABuf, const std::filesystem::path& AFileName);
  bool LoadFromStream(rtl::TStream& AStream, const std::filesystem::path& AFileName);
  void SaveToStream(rtl::TStream& AStream) const;
  // By name: ".XSA" (any case) goes through the XSA container, anything else is raw. A missing
  // file gives a fresh double-sided image with the empty boot block and False, FFileName kept.
  bool LoadFromFile(const std::filesystem::path& AFileName);
  bool LoadFromFile();
  // Writes a temporary file beside the target and replaces the target only when all was
  // written; FFileName changes only on success. Host failures raise rtl::EStreamError, XSA
  // failures EXsaError. Only the form without a name clears the modified flag.
  void SaveToFile(const std::filesystem::path& AFileName);
  void SaveToFile();

  // --- Directories ---
  PDirEntry GetDirEntry(std::int32_t Index);
  std::int32_t IndexOf(std::string_view FileName);
  std::int32_t IndexOfSubDir(std::string_view ADirName);
  PDirEntry Lookup(std::string_view FileName);
  PDirEntry LookupSubDir(std::string_view ADirName);
  bool FileNameExists(std::string_view FileName);
  bool SubDirExists(std::string_view ADirName);
  static std::string IncludePathDelim(std::string_view s);
  static std::string ExcludePathDelim(std::string_view s);
  void ResetDir() { FDirIndex = 0; }
  PDirEntry FetchDir(bool IncludeDeleted);
  // Copies of the current directory's used, non-deleted slots up to the first unused one.
  void GetCurrentDirList(TDirEntryList& AList);
  std::int32_t GetSubDirFileCount(std::string_view ADirName);
  // Entries of the directory that starts at `entry`'s cluster, not counting ".", "..", deleted
  // and long-name slots; the current directory does not change.
  std::int32_t CountDirectoryEntries(const TDirEntry& entry) const;
  bool ChangeDir(std::string_view ADirName);
  DiskResult CreateSubDir(std::string_view ADirName);

  // --- Files ---
  // Replaces an existing file in place or makes a new entry; either way the entry is stamped
  // with the current local time (callers with a host time stamp it afterwards). A name that is
  // empty, "." or ".." is refused with NameExists.
  PDirEntry Add(std::wstring_view AFileName, rtl::TStream& AStream);
  bool Add(const std::filesystem::path& AFileName);
  std::int32_t Add(std::span<const std::filesystem::path> AList);
  // Renames a used entry of the current directory (not "." or "..") to the 8.3 form of
  // `NewName`: Ok; NameExists when the name is empty, "." or "..", or another entry holds it
  // (stored bytes compared, a-z folded); FileNotFound when the entry is not renamable. Only the
  // 11 name bytes change, and the long-name slots of a renamed entry are marked deleted. The
  // code is also stored in FLastError.
  DiskResult Rename(PDirEntry DirEntry, std::string_view NewName);
  // Whether an entry of the current directory other than `except` holds the 8.3 name.
  bool NameTaken(std::string_view ShortName, const TDirEntry* except);
  DiskResult Delete(std::string_view FileName);
  DiskResult Delete(PDirEntry DirEntry);
  bool ExtractToStream(rtl::TStream& AStream, std::string_view FileName);
  bool ExtractToStream(rtl::TStream& AStream, const TDirEntry* DirEntry);
  // The host file is written only once the whole entry was extracted, through a temporary
  // file: a failed extraction leaves no cut-off file behind and an existing one as it was.
  bool ExtractToFile(const std::filesystem::path& ADestName, std::string_view AFileName);
  bool ExtractToFile(const std::filesystem::path& ADestName, const TDirEntry* DirEntry);
  // Nothing when the extraction failed: a cut-off copy handed out as the file would pass a
  // failure off as success.
  std::optional<std::vector<std::uint8_t>> ExtractToMem(std::string_view FileName);

  // --- Names ---
  // Host name -> 8.3 disk name: last component, a-z upper-cased, 8-bit through the code page,
  // base and extension each trimmed of blanks at both ends and cut to 8 and 3 characters; inner
  // blanks and characters FAT names cannot hold become "_". "." and ".." come back as they are.
  static std::string MakeShortFileName(std::wstring_view AFileName);
  // A stored name as a safe host file name: no separators, drive letters, device names,
  // wildcards or control characters; never empty, "." or "..".
  static std::wstring HostSafeName(const TDirEntry& entry);

 private:
  // The current directory, saved so a failed change can be undone.
  struct TDirState {
    std::int32_t Offset = 0;
    std::int32_t Count = 0;
    std::string Path;
    std::vector<std::int32_t> Clusters;
  };
  // Where a new entry goes: a free slot of the current directory, or the first slot of one
  // more cluster linked after `Chain` (the directory's bounded walk).
  struct TSlotPlan {
    DiskResult Result = DiskResult::Ok;
    std::int32_t Index = -1;  // -1: the directory grows
    std::vector<std::int32_t> Chain;
  };

  void ResetGeometry();
  bool FinishLoad(std::int32_t size, const std::filesystem::path& AFileName);
  std::int32_t CountFreeClusters() const;
  // The first `count` clusters, lowest first, that are free or listed in `reusable`, skipping
  // `reserved`; fewer when the disk has not enough.
  std::vector<std::int32_t> PickClusters(std::size_t count, std::span<const std::int32_t> reusable,
                                         std::int32_t reserved) const;
  void WriteChain(std::span<const std::int32_t> clusters);

  TDirState SaveDirState() const;
  void RestoreDirState(TDirState state);
  void EnterRoot();
  void EnterSubDir(std::vector<std::int32_t> clusters);
  std::int32_t FindSubDirKey(std::string_view key);
  std::int32_t FindFreeSlot();
  TSlotPlan PlanNewSlot();
  // Commits a plan that passed its checks; nothing here can fail.
  PDirEntry TakeSlot(const TSlotPlan& plan);
  std::int32_t IndexOfEntry(const TDirEntry* entry);
  // Marks deleted the long-name slots that other systems wrote right before the entry at `index`.
  void DropLongNameSlots(std::int32_t index);

  // Upper-cases a-z, byte by byte.
  static std::string UpperCase(std::string_view text);
  // Trims leading and trailing blanks and control bytes.
  static std::string_view Trim(std::string_view text);
  // The part after the last "\" or ":".
  static std::string_view LastComponent(std::string_view path);
  // A path component as it is stored: "." and ".." as they are, anything else as an 8.3 name.
  static std::string ShortComponent(std::string_view part);
  // The 8.3 name a new or renamed entry gets; empty for an empty name, "." or "..".
  static std::string NewEntryName(std::string_view name);

  alignas(16) std::array<std::uint8_t, kImageCapacity> buffer_{};
  // Clusters of the current sub-directory (empty for the root), so entry lookups need no FAT walk.
  std::vector<std::int32_t> dirClusters_;
};

}  // namespace disk
