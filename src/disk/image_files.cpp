// TMSXDisk: image files. Raw sector images, and XSA containers chosen by the ".XSA" extension.
// Loads are staged and saves go through a temporary file, so a failure never leaves a half
// image in memory or a half file on disk.
#include <filesystem>
#include <system_error>

#include "disk/msx_disk.h"
#include "disk/xsa_stream.h"
#include "rtl/file_stream.h"

namespace disk {

namespace {

bool IsXsaName(const std::filesystem::path& name) {
  std::wstring extension = name.extension().wstring();
  for (wchar_t& c : extension) {
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
  }
  return extension == L".XSA";
}

}  // namespace

bool TMSXDisk::LoadFromFile(const std::filesystem::path& AFileName) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(AFileName, error);
  if (status.type() == std::filesystem::file_type::not_found) {
    // No such file: a fresh double-sided image with the empty boot block; the name is kept.
    PrepareNewImage(true);
    AttachBootCode(GetBootCode(0));
    return false;
  }
  // A folder or a device is refused before anything changes.
  if (!error && !std::filesystem::is_regular_file(status)) return false;
  rtl::TFileStream file(AFileName, rtl::FileMode::OpenRead);
  // Named as it loads, so a refused image's bytes are never saved over another file; a file
  // that cannot be read at all leaves both the bytes and the name as they were.
  if (IsXsaName(AFileName)) {
    TXSStream container(file);
    return LoadFromStream(container, AFileName);
  }
  return LoadFromStream(file, AFileName);
}

bool TMSXDisk::LoadFromFile() {
  return LoadFromFile(std::filesystem::path(FFileName));
}

void TMSXDisk::SaveToFile(const std::filesystem::path& AFileName) {
  rtl::TMemoryStream bytes;
  if (IsXsaName(AFileName)) {
    TXSStream container(bytes, AFileName.wstring());
    SaveToStream(container);
    container.Finish();
  } else {
    SaveToStream(bytes);
  }
  rtl::WriteFileAtomically(AFileName, bytes.Bytes());
  FFileName = AFileName;
}

void TMSXDisk::SaveToFile() {
  SaveToFile(std::filesystem::path(FFileName));
  FModified = false;
}

}  // namespace disk
