// Checks an image that Quollbox saved: a 360 KB disk with the chosen boot code at byte 28 and an
// empty root directory. Usage: image_check <image.dsk> <boot code 0-2>. Exit code 0 when it holds.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "disk/msx_disk.h"
#include "rtl/file_stream.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::puts("usage: image_check <image.dsk> <boot code>");
    return 2;
  }
  auto image = std::make_unique<disk::TMSXDisk>();
  rtl::TFileStream stream(argv[1], rtl::FileMode::OpenRead);
  if (!image->LoadFromStream(stream, argv[1]) || image->DiskByteSize() != disk::kSingleSidedSize) {
    std::puts("not a 360 KB image");
    return 1;
  }
  const disk::TBootCodeRec code = disk::GetBootCode(std::atoi(argv[2]));
  const auto bytes = image->Buffer().subspan(28, code.Bytes().size());
  if (!std::equal(bytes.begin(), bytes.end(), code.Bytes().begin())) {
    std::puts("boot code differs");
    return 1;
  }
  for (std::int32_t i = 0; i < image->DirCount(); ++i) {
    const disk::TDirEntry* entry = image->GetDirEntry(i);
    if (entry->IsUsed() && !entry->IsDeleted()) {
      std::printf("unexpected entry %s\n", entry->GetFileName().c_str());
      return 1;
    }
  }
  std::puts("image holds the chosen boot code and no files");
  return 0;
}
