// The host services the track library takes its memory and its files through: one table of entry
// points that the bridge fills, and the list of the blocks the table has handed out and not yet
// taken back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace hfe {

// An open host file: its name and the platform's file stream.
struct THostFile;

struct THostServices {
  void* (*fill)(void* block, int value, std::size_t count);
  void* (*copy)(void* to, const void* from, std::size_t count);
  // An uninitialised block, listed and counted; null when the platform has no memory for it.
  void* (*allocate)(std::size_t size);
  // The block resized (its list entry follows it); null, with the old block kept, on failure.
  void* (*reallocate)(void* block, std::size_t size);
  // Unlists and frees a block (a block the list does not hold is only freed); null does nothing.
  void (*release)(void* block);
  // Compares at most `count` characters, up to a terminating zero: negative, zero or positive.
  int (*compare)(const char* a, const char* b, std::size_t count);
  // Mode "rb": an existing file for reading, "wb": a file created or truncated for writing, both
  // with writing by others denied while open (on Windows; other hosts have no sharing modes); any
  // other mode: null. A file that cannot be opened raises rtl::EStreamError.
  THostFile* (*open)(const std::filesystem::path& name, const char* mode);
  // Reads up to `size` bytes; 1 when at least one byte was read, else 0.
  int (*read)(void* buffer, std::size_t size, THostFile* file);
  // Writes size x count bytes and returns count; 0, writing nothing, when either is 0.
  std::size_t (*write)(const void* data, std::size_t size, std::size_t count, THostFile* file);
  // Frees the stream and the handle.
  void (*close)(THostFile* file);
  // Whence 0 from the start, 1 from the current position, 2 from the end; other values, and a
  // place before the start, do nothing.
  void (*seek)(THostFile* file, std::int32_t offset, int whence);
  // The console and character output and the two hooks of a host with a console: nothing here.
  int (*print)(const char* text);
  int (*putChar)(int character);
  void (*enterHook)();
  void (*leaveHook)();
};

// The bridge's table.
const THostServices& HostServices();

// The blocks allocated through the table and not yet released, in the order they were listed.
std::vector<void*> LiveBlocks();
std::size_t LiveBlockCount();

// For tests of the library's out-of-memory paths: the next `count` allocations and reallocations
// succeed and every later one fails as when the platform has no memory left; a negative count
// lifts the limit again.
void LimitAllocations(std::int64_t count);

}  // namespace hfe
