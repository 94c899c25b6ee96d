#include "app/shell_texts.h"

#include <algorithm>
#include <cwctype>

#include "disk/msx_disk.h"

namespace app {

namespace {

std::wstring Upper(std::wstring text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](wchar_t c) { return static_cast<wchar_t>(std::towupper(c)); });
  return text;
}

std::wstring UpperExtension(const std::filesystem::path& path) {
  return Upper(path.extension().wstring());
}

}  // namespace

std::wstring DamagedImageText(int unreadableSectors) {
  return std::to_wstring(unreadableSectors) + (unreadableSectors == 1 ? L" sector" : L" sectors") +
         L" could not be read; the image may be damaged.";
}

std::wstring MediaByteRefusalText(std::uint8_t mediaByte) {
  constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
  return std::wstring(L"Its media byte ") + kDigits[mediaByte >> 4] + kDigits[mediaByte & 0xF] +
         L" is not one of an MSX disk (F8 or F9).";
}

std::wstring ExtractFailureText(const std::filesystem::path& folder, std::size_t total,
                                const std::vector<std::pair<std::wstring, std::wstring>>& failed) {
  constexpr std::size_t kListed = 10;
  std::wstring text = L"Cannot extract " + std::to_wstring(failed.size()) + L" of " +
                      std::to_wstring(total) + (total == 1 ? L" file" : L" files") + L" to \"" +
                      folder.wstring() + L"\".";
  for (std::size_t i = 0; i < failed.size() && i < kListed; ++i)
    text += L"\r\n" + failed[i].first + L": " + failed[i].second;
  if (failed.size() > kListed)
    text += L"\r\n(" + std::to_wstring(failed.size() - kListed) + L" more)";
  return text;
}

std::wstring CaptionText(const std::wstring& fileName, bool modified) {
  return L"Quollbox - " + fileName + (modified ? L" *" : L"");
}

std::wstring SizePanelText(const disk::TMSXDisk* image) {
  if (!image) return L"none";
  return std::to_wstring(image->DiskByteSize() / 1024) + L"k";
}

std::wstring UsedPanelText(std::int32_t used, std::int32_t total) {
  return std::to_wstring(used) + L" of " + std::to_wstring(total) + L" bytes used";
}

std::wstring FreePanelText(std::int32_t free) {
  return std::to_wstring(free) + L" bytes free";
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

std::filesystem::path SaveFileName(const std::filesystem::path& entered,
                                   const std::wstring& typeExtension) {
  if (SaveKind(entered) != ImageKind::Unknown || typeExtension.empty()) return entered;
  std::filesystem::path name = entered;
  name += L"." + typeExtension;
  return name;
}

std::filesystem::path EnteredSaveName(const std::filesystem::path& result,
                                      const std::wstring& entered) {
  const std::wstring typed = std::filesystem::path(entered).filename().wstring();
  const std::wstring chosen = result.filename().wstring();
  if (typed.empty() || !Upper(chosen).starts_with(Upper(typed))) return result;
  return result.parent_path() / typed;
}

bool SameFileName(const std::filesystem::path& a, const std::filesystem::path& b) {
  return Upper(a.lexically_normal().wstring()) == Upper(b.lexically_normal().wstring());
}

std::wstring ReplaceQuestionText(const std::filesystem::path& fileName) {
  return L"\"" + fileName.wstring() + L"\" already exists.\r\nDo you want to replace it?";
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

std::wstring DriveTypeName(unsigned type) {
  static const wchar_t* const kNames[] = {L"No Root Dir", L"Removable", L"Fixed",
                                          L"Remote",      L"CD-ROM",    L"RAM-Disk"};
  return type >= 1 && type <= 6 ? kNames[type - 1] : L"Unknown";
}

std::wstring MissingRecentText(const std::wstring& fileName) {
  return L"File \"" + fileName + L"\" doesn't exist.\r\nRemove it from MRU?";
}

TPanelState ToggledPanel(TPanelState s) {
  s.visible = !(s.visible && s.width > 0);
  if (s.visible && s.width < 160) s.width = 160;
  return s;
}

TSideDockWidths FittedDockWidths(int clientWidth, TSideDockWidths stored) {
  TSideDockWidths w{std::max(stored.left, 0), std::max(stored.right, 0)};
  const int room = std::max(clientWidth - kMinListWidth, 0);
  if (w.left <= room - w.right) return w;
  const int half = room / 2;
  if (w.left <= half) return {w.left, room - w.left};
  if (w.right <= half) return {room - w.right, w.right};
  return {half, half};
}

ListKeyCommand KeyCommand(wchar_t key, KeyFocus focus) {
  switch (key) {
    case L'\\':
    case 28:
      return ListKeyCommand::RootDir;
    case 8:
      if (focus == KeyFocus::FileList) return ListKeyCommand::ParentDir;
      if (focus == KeyFocus::Other) return ListKeyCommand::Consumed;
      return ListKeyCommand::BrowserParent;
    case 13:
      switch (focus) {
        case KeyFocus::FileList:
          return ListKeyCommand::OpenRow;
        case KeyFocus::ImageList:
          return ListKeyCommand::OpenImage;
        case KeyFocus::FolderBrowser:
          return ListKeyCommand::OpenFolder;
        case KeyFocus::Other:
          break;
      }
      return ListKeyCommand::Consumed;
    default:
      return ListKeyCommand::None;
  }
}

std::wstring BrowserParentFolder(std::wstring folder) {
  if (folder.size() > 1 && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
  const std::size_t cut = folder.find_last_of(L"\\/:");
  if (cut == std::wstring::npos) return folder;
  folder.resize(cut + 1);
  if (folder.back() == L':') folder += L'\\';
  return folder;
}

}  // namespace app
