// HFE files on the host.
#include "hfe/hfe_file.h"

#include <algorithm>
#include <string>
#include <vector>

#include "hfe/hfe_format.h"
#include "rtl/exceptions.h"
#include "rtl/file_stream.h"

namespace hfe {

int HFE_libLoad_DiskFile(const TImgLoader& loader, TFloppy& floppy,
                         const std::filesystem::path& fileName) {
  const std::string name = LogName(fileName.u8string());
  std::vector<std::uint8_t> file;
  try {
    rtl::TFileStream stream(fileName, rtl::FileMode::OpenRead);
    const std::int64_t size = stream.Size();
    file.resize(static_cast<std::size_t>(
        std::clamp<std::int64_t>(size, 0, static_cast<std::int64_t>(kMaxHfeFileBytes))));
    file.resize(stream.ReadFully(file));
  } catch (const rtl::EStreamError&) {
    loader.context->Log(kLogError, "Cannot open %s !", name.c_str());
    return kIoError;
  }
  return HFE_libLoad_DiskFile(loader, floppy, file, name);
}

int HFE_libWrite_DiskFile(const TImgLoader& loader, const TFloppy& floppy,
                          const std::filesystem::path& fileName) {
  const std::string name = LogName(fileName.u8string());
  std::vector<std::uint8_t> file;
  const int result = HFE_libWrite_DiskFile(loader, floppy, file, name);
  if (result != kOk) return result;
  try {
    rtl::WriteFileAtomically(fileName, file);
  } catch (const rtl::EStreamError&) {
    loader.context->Log(kLogError, "Cannot create %s!", name.c_str());
    return kIoError;
  }
  return kOk;
}

}  // namespace hfe
