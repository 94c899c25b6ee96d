// Directory-entry accessors and the packed FAT time and date words.
#include "disk/records.h"

#include <algorithm>
#include <cstring>

namespace disk {

namespace {

constexpr int kFirstYear = 1980;
constexpr int kLastYear = 2107;
constexpr std::uint16_t kFirstDayWord = 0x0021;  // 1980-01-01

constexpr std::uint8_t kBlank = 0x20;

// Replaces the bits selected by `mask` (already shifted) with `bits << shift`.
constexpr std::uint16_t WithField(std::uint16_t word, int shift, std::uint16_t mask, int bits) {
  const auto field = static_cast<std::uint16_t>((static_cast<unsigned>(bits) << shift) & mask);
  return static_cast<std::uint16_t>((word & ~mask) | field);
}

// Length of `bytes` once trailing blanks and control bytes are dropped.
std::size_t TrimmedLength(const std::uint8_t* bytes, std::size_t size) {
  while (size > 0 && bytes[size - 1] <= kBlank) --size;
  return size;
}

std::uint8_t UpperAscii(std::uint8_t byte) {
  return (byte >= 'a' && byte <= 'z') ? static_cast<std::uint8_t>(byte - 'a' + 'A') : byte;
}

void CopyPadded(std::uint8_t* field, std::size_t fieldSize, std::string_view text) {
  std::memset(field, kBlank, fieldSize);
  const std::size_t count = std::min(fieldSize, text.size());
  for (std::size_t i = 0; i < count; ++i) {
    field[i] = UpperAscii(static_cast<std::uint8_t>(text[i]));
  }
}

}  // namespace

int TTimeStamp::GetSecond() const {
  return std::min((Value & 31) * 2, 59);
}

void TTimeStamp::SetSecond(int second) {
  Value = WithField(Value, 0, 0x001F, second >> 1);
}

int TTimeStamp::GetMinute() const {
  return std::min((Value >> 5) & 63, 59);
}

void TTimeStamp::SetMinute(int minute) {
  Value = WithField(Value, 5, 0x07E0, minute);
}

int TTimeStamp::GetHour() const {
  return std::min(Value >> 11, 23);
}

void TTimeStamp::SetHour(int hour) {
  Value = WithField(Value, 11, 0xF800, hour);
}

void TTimeStamp::SetTime(const rtl::TDateTime& time) {
  SetHour(time.Hour);
  SetMinute(time.Minute);
  SetSecond(time.Second);
}

int TDateStamp::GetYear() const {
  return (Value >> 9) + kFirstYear;
}

void TDateStamp::SetYear(int year) {
  Value = WithField(Value, 9, 0xFE00, year - kFirstYear);
}

int TDateStamp::GetMonth() const {
  return std::clamp((Value >> 5) & 15, 1, 12);
}

void TDateStamp::SetMonth(int month) {
  Value = WithField(Value, 5, 0x01E0, month);
}

void TDateStamp::SetDay(int day) {
  Value = WithField(Value, 0, 0x001F, day);
}

// Capped with the Gregorian month lengths (29 February 2100 reads as day 28): a date the
// platform's date conversion refuses must never come out of an entry.
int TDateStamp::GetDay() const {
  return std::clamp(Value & 31, 1, rtl::DaysInMonth(GetYear(), GetMonth()));
}

void TDateStamp::SetDate(const rtl::TDateTime& date) {
  Value = static_cast<std::uint16_t>(PackDosDateTime(date) >> 16);
}

TTimeStamp ZeroTimeStamp() {
  return TTimeStamp{0};
}

std::uint32_t PackDosDateTime(const rtl::TDateTime& civil) {
  if (civil.Year < kFirstYear) return std::uint32_t{kFirstDayWord} << 16;
  rtl::TDateTime clamped = civil;
  if (civil.Year > kLastYear) {
    clamped = rtl::TDateTime{kLastYear, 12, 31, 23, 59, 59, 0};
  }
  TDateStamp date{0};
  date.SetYear(clamped.Year);
  date.SetMonth(std::clamp(clamped.Month, 1, 12));
  date.SetDay(std::clamp(clamped.Day, 1, 31));
  TTimeStamp time{0};
  time.SetHour(std::clamp(clamped.Hour, 0, 23));
  time.SetMinute(std::clamp(clamped.Minute, 0, 59));
  time.SetSecond(std::clamp(clamped.Second, 0, 59));
  return (std::uint32_t{date.Value} << 16) | time.Value;
}

void TDirEntry::Init(bool New) {
  if (!New) {
    std::memset(static_cast<void*>(this), 0, sizeof(*this));
    return;
  }
  std::memset(Name, kBlank, sizeof(Name));
  std::memset(Ext, kBlank, sizeof(Ext));
  Name[0] = kDeletedMark;
  Attr = 0;
  Reserved = 0;
  CreateTime.Value = 0;
  CreateDate.Value = 0;
  AccessDate.Value = 0;
  SetCluster(0);
  Size = 0;
  SetDateTime(rtl::Clock().Now());
}

std::int32_t TDirEntry::GetCluster() const {
  return static_cast<std::int32_t>((std::uint32_t{ClusterHigh} << 16) | ClusterLow);
}

void TDirEntry::SetCluster(std::int32_t cluster) {
  const std::int32_t stored = std::max(cluster, 0);
  ClusterHigh = static_cast<std::uint16_t>(stored >> 16);
  ClusterLow = static_cast<std::uint16_t>(stored & 0xFFFF);
}

std::string TDirEntry::GetFileName() const {
  std::uint8_t base[sizeof(Name)];
  std::memcpy(base, Name, sizeof(Name));
  if (base[0] == kEscapedE5) base[0] = kDeletedMark;
  std::string result(reinterpret_cast<const char*>(base), TrimmedLength(base, sizeof(base)));
  const std::size_t extLength = TrimmedLength(Ext, sizeof(Ext));
  if (extLength > 0) {
    result += '.';
    result.append(reinterpret_cast<const char*>(Ext), extLength);
  }
  return result;
}

void TDirEntry::SetFileName(std::string_view fileName) {
  const std::size_t delim = fileName.find_last_of("\\:");
  if (delim != std::string_view::npos) fileName.remove_prefix(delim + 1);

  std::string_view base = fileName;
  std::string_view ext;
  // "." and ".." name a directory's own slots and have no extension.
  if (fileName != "." && fileName != "..") {
    const std::size_t dot = fileName.rfind('.');
    if (dot != std::string_view::npos) {
      base = fileName.substr(0, dot);
      ext = fileName.substr(dot + 1);
    }
  }
  CopyPadded(Name, sizeof(Name), base);
  CopyPadded(Ext, sizeof(Ext), ext);
  if (Name[0] == kDeletedMark) Name[0] = kEscapedE5;
}

std::string TDirEntry::GetAttrString() const {
  static constexpr char kLetters[] = "rhsvda";
  std::string result(6, '-');
  for (int bit = 0; bit < 6; ++bit) {
    if ((Attr >> bit) & 1) result[bit] = kLetters[bit];
  }
  return result;
}

rtl::TDateTime TDirEntry::GetDateTime() const {
  const TDateStamp date{ModifyDate.Value == 0 ? kFirstDayWord : ModifyDate.Value};
  return rtl::TDateTime{date.GetYear(),
                        date.GetMonth(),
                        date.GetDay(),
                        ModifyTime.GetHour(),
                        ModifyTime.GetMinute(),
                        ModifyTime.GetSecond(),
                        0};
}

std::uint32_t TDirEntry::GetDosDateTime() const {
  return (std::uint32_t{ModifyDate.Value} << 16) | ModifyTime.Value;
}

void TDirEntry::SetDateTime(const rtl::TDateTime& dateTime) {
  const std::uint32_t packed = PackDosDateTime(dateTime);
  ModifyDate.Value = static_cast<std::uint16_t>(packed >> 16);
  ModifyTime.Value = static_cast<std::uint16_t>(packed & 0xFFFF);
}

// Local time, as MSX-DOS and every other stamp on the disk keep it: the UTC word packed as it
// is would put an added file hours off the files an MSX writes, and off its own extraction,
// which reads the stamp as local time.
void TDirEntry::SetFileTime(rtl::FileTime utc) {
  SetDateTime(rtl::Clock().UtcToLocal(utc));
}

}  // namespace disk
