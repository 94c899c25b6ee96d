// The file entries of the host services (see host_services.h) over the platform's file streams.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace hfe {

struct THostFile;

THostFile* OpenHostFile(const std::filesystem::path& name, const char* mode);
int ReadHostFile(void* buffer, std::size_t size, THostFile* file);
std::size_t WriteHostFile(const void* data, std::size_t size, std::size_t count, THostFile* file);
void CloseHostFile(THostFile* file);
void SeekHostFile(THostFile* file, std::int32_t offset, int whence);

}  // namespace hfe
