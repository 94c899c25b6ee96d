// HFE files on the host.
#include "hfe/hfe_file.h"

#include <memory>
#include <string>

#include "hfe/allocation_guard.h"
#include "hfe/hfe_format.h"
#include "hfe/host_services.h"
#include "rtl/exceptions.h"
#include "rtl/file_stream.h"

namespace hfe {

namespace {

struct TCloseHostFile {
  void operator()(THostFile* file) const { HostServices().close(file); }
};
using THostFilePtr = std::unique_ptr<THostFile, TCloseHostFile>;

bool HasByteAt(const THostServices& host, THostFile* file, std::size_t offset) {
  host.seek(file, static_cast<std::int32_t>(offset), 0);
  std::uint8_t byte = 0;
  return host.read(&byte, 1, file) == 1;
}

}  // namespace

std::vector<std::uint8_t> ReadHfeFile(const std::filesystem::path& fileName) {
  static_assert(kMaxHfeFileBytes < 0x7FFFFFFF, "offsets must fit a seek");
  const THostServices& host = HostServices();
  const THostFilePtr file(host.open(fileName, "rb"));
  // A read tells only whether it got any byte, so the length is found first by probing single
  // bytes (a binary search over the bounded length); then one read takes it whole.
  std::size_t low = 0;
  std::size_t high = kMaxHfeFileBytes;
  while (low < high) {
    const std::size_t middle = low + (high - low + 1) / 2;
    if (HasByteAt(host, file.get(), middle - 1))
      low = middle;
    else
      high = middle - 1;
  }
  std::vector<std::uint8_t> bytes(low);
  host.seek(file.get(), 0, 0);
  if (!bytes.empty()) host.read(bytes.data(), bytes.size(), file.get());
  return bytes;
}

int HFE_libLoad_DiskFile(const TImgLoader& loader, TFloppy& floppy,
                         const std::filesystem::path& fileName) {
  return GuardAllocation(loader.context, "HFE_libLoad_DiskFile", kLimitReached, [&] {
    const std::string name = LogName(fileName.u8string());
    std::vector<std::uint8_t> file;
    try {
      file = ReadHfeFile(fileName);
    } catch (const rtl::EStreamError&) {
      loader.context->Log(kLogStartStop, "HFE_libLoad_DiskFile %s", name.c_str());
      loader.context->Log(kLogError, "Cannot open %s !", name.c_str());
      return kIoError;
    }
    return HFE_libLoad_DiskFile(loader, floppy, file, name);
  });
}

int HFE_libWrite_DiskFile(const TImgLoader& loader, const TFloppy& floppy,
                          const std::filesystem::path& fileName) {
  return GuardAllocation(loader.context, "HFE_libWrite_DiskFile", kLimitReached, [&] {
    const std::string name = LogName(fileName.u8string());
    std::vector<std::uint8_t> file;
    const int result = HFE_libWrite_DiskFile(loader, floppy, file, name);
    if (result != kOk) return result;
    // Not written in place through the open service's "wb": a write that failed half-way would
    // leave neither the old file nor the new one, so the bytes go through a temporary file.
    try {
      rtl::WriteFileAtomically(fileName, file);
    } catch (const rtl::EStreamError&) {
      loader.context->Log(kLogError, "Cannot create %s!", name.c_str());
      return kIoError;
    }
    return kOk;
  });
}

}  // namespace hfe
