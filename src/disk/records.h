// The fixed on-disk records laid over the image buffer: directory entries, the boot sector and the
// packed FAT time and date words. All multi-byte fields are little-endian; text is 8-bit.
#pragma once

#include <bit>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "rtl/clock.h"
#include "rtl/file_stream.h"

namespace disk {

static_assert(std::endian::native == std::endian::little, "records are overlaid on image bytes");

// "." or "..": the names of a directory's own two slots, never of another entry.
inline bool IsDotName(std::string_view shortName) {
  return shortName == "." || shortName == "..";
}

// Attribute bits of a directory entry.
inline constexpr std::uint8_t faReadOnly = 0x01;
inline constexpr std::uint8_t faHidden = 0x02;
inline constexpr std::uint8_t faSysFile = 0x04;
inline constexpr std::uint8_t faVolumeID = 0x08;
inline constexpr std::uint8_t faDirectory = 0x10;
inline constexpr std::uint8_t faArchive = 0x20;
inline constexpr std::uint8_t faLongName = 0x0F;  // long-name slots written by other systems

inline constexpr std::uint8_t kDeletedMark = 0xE5;
inline constexpr std::uint8_t kEscapedE5 = 0x05;  // stored in place of a leading 0xE5 name byte

#pragma pack(push, 1)

// Seconds/2 in bits 0-4, minutes in 5-10, hours in 11-15. Getters clamp to a valid time.
struct TTimeStamp {
  std::uint16_t Value;

  int GetSecond() const;
  void SetSecond(int second);
  int GetMinute() const;
  void SetMinute(int minute);
  int GetHour() const;
  void SetHour(int hour);
  void SetTime(const rtl::TDateTime& time);
};

// Day in bits 0-4, month in 5-8, year-1980 in 9-15. Getters clamp to a valid date.
struct TDateStamp {
  std::uint16_t Value;

  int GetYear() const;
  void SetYear(int year);
  int GetMonth() const;
  void SetMonth(int month);
  int GetDay() const;
  void SetDay(int day);
  // Dates outside 1980-2107 are clamped to the nearest end of that range, where the bare year
  // field would wrap (2108 stored as 1980, 1979 as 2107) and stamp a file decades off.
  void SetDate(const rtl::TDateTime& date);
};

TTimeStamp ZeroTimeStamp();

struct TDirEntry {
  std::uint8_t Name[8];
  std::uint8_t Ext[3];
  std::uint8_t Attr;
  std::uint8_t Reserved;
  std::uint8_t CreateTimeMSec;
  TTimeStamp CreateTime;
  TDateStamp CreateDate;
  TDateStamp AccessDate;
  std::uint16_t ClusterHigh;
  TTimeStamp ModifyTime;
  TDateStamp ModifyDate;
  std::uint16_t ClusterLow;
  std::uint32_t Size;

  // New: a deleted-looking slot (E5 + blanks) stamped now; not New: all 32 bytes zero.
  void Init(bool New);
  std::int32_t GetCluster() const;
  // A negative value stores 0: its two halves would read back as cluster 0xFFFF, a first
  // cluster that no chain of the image holds.
  void SetCluster(std::int32_t cluster);
  // "NAME.EXT" with trailing blanks and control bytes trimmed; a stored 0x05 reads as 0xE5.
  std::string GetFileName() const;
  // Byte-faithful 8.3 store of the last path component (a-z upper-cased); a leading 0xE5 is
  // stored as 0x05 so the entry never reads as deleted.
  void SetFileName(std::string_view fileName);
  std::string GetAttrString() const;
  rtl::TDateTime GetDateTime() const;
  std::uint32_t GetDosDateTime() const;
  void SetDateTime(const rtl::TDateTime& dateTime);
  // Stamps a host last-write time (UTC file time) as local time, like every stamp on the disk.
  void SetFileTime(rtl::FileTime utc);
  bool IsDirectory() const { return (Attr & faDirectory) != 0; }
  bool IsUsed() const { return Name[0] != 0; }
  bool IsDeleted() const { return Name[0] == kDeletedMark; }
  // A long-name slot or a volume label: no file or directory of its own.
  bool IsLabelOrLongName() const { return (Attr & faVolumeID) != 0; }
};
using PDirEntry = TDirEntry*;

struct TBootRecord {
  std::uint8_t JumpCode[3];
  std::uint8_t OemName[8];
  std::uint16_t BytesPerSector;
  std::uint8_t SectorsPerCluster;
  std::uint16_t ReservedSectorCount;
  std::uint8_t FatTableCount;
  std::uint16_t MaxRootEntry;
  std::uint16_t TotalSectorCount;
  std::uint8_t MediaType;
  std::uint16_t SectorsPerFat;
  std::uint16_t SectorsPerTrack;
  std::uint16_t TotalHeadCount;
  std::uint8_t BootCode[484];
};
using PBootRecord = TBootRecord*;

#pragma pack(pop)

static_assert(sizeof(TDirEntry) == 32);
static_assert(sizeof(TBootRecord) == 512);

// Names one of the built-in boot-code blocks without copying it.
struct TBootCodeRec {
  const std::uint8_t* Code;
  std::int32_t Size;
  std::span<const std::uint8_t> Bytes() const {
    return {Code, static_cast<std::size_t>(Size < 0 ? 0 : Size)};
  }
};

// 0: empty block (3 bytes), 1: MSX-DOS 1 (244 bytes), 2: MSX-DOS 2 (164 bytes); other values: 0.
TBootCodeRec GetBootCode(int option);

// A civil date-time packed as a DOS date (high word) and time (low word): seconds/2 truncated,
// dates outside 1980-01-01 00:00:00 .. 2107-12-31 23:59:58 clamped to that range.
std::uint32_t PackDosDateTime(const rtl::TDateTime& civil);

}  // namespace disk
