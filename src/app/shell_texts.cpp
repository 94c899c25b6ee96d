#include "app/shell_texts.h"

#include <algorithm>
#include <cwctype>

#include "disk/msx_disk.h"
#include "rtl/code_page.h"

namespace app {

namespace {

std::wstring UpperExtension(const std::filesystem::path& path) {
  std::wstring extension = path.extension().wstring();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](wchar_t c) { return static_cast<wchar_t>(std::towupper(c)); });
  return extension;
}

std::wstring Field(const std::uint8_t* bytes, std::size_t size) {
  return rtl::CodePage().ToUnicode(std::string_view(reinterpret_cast<const char*>(bytes), size));
}

std::wstring TrimBlanks(std::wstring text) {
  const auto first = text.find_first_not_of(L' ');
  if (first == std::wstring::npos) return {};
  const auto last = text.find_last_not_of(L' ');
  return text.substr(first, last - first + 1);
}

}  // namespace

std::wstring CaptionText(const std::wstring& fileName, bool modified) {
  return L"Quollbox - " + fileName + (modified ? L" *" : L"");
}

std::wstring SizePanelText(const disk::TMSXDisk* image) {
  if (!image) return L"none";
  return std::to_wstring(image->DiskByteSize() / 1024) + L"k";
}

std::wstring TotalsPanelText(std::int64_t bytes, int files) {
  return std::to_wstring(bytes) + L" bytes in " + std::to_wstring(files) + L" file(s)";
}

std::wstring UsedPanelText(std::int32_t used, std::int32_t total) {
  return std::to_wstring(used) + L" of " + std::to_wstring(total) + L" bytes used";
}

std::wstring FreePanelText(std::int32_t free) {
  return std::to_wstring(free) + L" bytes free";
}

FileRow MakeFileRow(disk::TDirEntry& entry, const IDateTimeFormat& format) {
  FileRow row;
  row.entry = &entry;
  row.caption = TrimBlanks(Field(entry.Name, sizeof entry.Name));
  row.ext = Field(entry.Ext, sizeof entry.Ext);
  if (entry.IsDirectory())
    row.size = L"<Dir>";
  else if ((entry.Attr & disk::faVolumeID) != 0)
    row.size = L"<Label>";
  else
    row.size = std::to_wstring(entry.Size);
  const rtl::TDateTime stamp = entry.GetDateTime();
  row.dateTime = format.Date(stamp) + L" " +
                 (entry.ModifyTime.Value == 0 ? std::wstring(L"00:00:00") : format.Time(stamp));
  const std::string attrs = entry.GetAttrString();
  row.attrs.assign(attrs.begin(), attrs.end());
  return row;
}

ImageKind ClassifyImageFile(const std::filesystem::path& path, std::int64_t size) {
  const std::wstring extension = UpperExtension(path);
  if (extension == L".HFE") return ImageKind::Hfe;
  if (extension == L".XSA") return ImageKind::Xsa;
  if (extension != L".DSK") return ImageKind::Unknown;
  return size == disk::kSingleSidedSize || size == disk::kImageCapacity ? ImageKind::Dsk
                                                                        : ImageKind::DskWrongSize;
}

ImageKind SaveKind(const std::filesystem::path& path) {
  const std::wstring extension = UpperExtension(path);
  if (extension == L".HFE") return ImageKind::Hfe;
  if (extension == L".DSK") return ImageKind::Dsk;
  return ImageKind::Unknown;
}

std::wstring NextNewImageName(const std::function<bool(const std::wstring&)>& exists) {
  for (int number = 1;; ++number) {
    std::wstring name = L"NewImage" + std::to_wstring(number) + L".dsk";
    if (!exists(name)) return name;
  }
}

std::optional<std::wstring> CommandLineImage(const std::vector<std::wstring>& arguments) {
  std::optional<std::wstring> candidate;
  for (const std::wstring& argument : arguments)
    if (!argument.empty() && argument[0] != L'/' && argument[0] != L'-') candidate = argument;
  return candidate;
}

std::wstring SaveAsPresetName(const std::filesystem::path& fileName,
                              const std::wstring& extension) {
  return fileName.filename().replace_extension(L"." + extension).wstring();
}

std::wstring ExportTarget(const std::wstring& driveRoot, const std::filesystem::path& fileName) {
  std::wstring target = driveRoot;
  if (target.empty() || target.back() != L'\\') target += L'\\';
  return target + fileName.filename().replace_extension(L".HFE").wstring();
}

std::wstring SelectInExplorerParameters(const std::filesystem::path& fileName) {
  return L"/select,\"" + fileName.wstring() + L"\"";
}

std::wstring DriveRoot(int driveBit) {
  return std::wstring(1, static_cast<wchar_t>(L'A' + driveBit)) + L":\\";
}

}  // namespace app
