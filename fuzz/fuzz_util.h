// Shared by the fuzz targets and their seed generators.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <span>
#include <string_view>
#include <vector>

// A broken invariant: libFuzzer reports the abort with the input that caused it.
inline void Require(bool condition) {
  if (!condition) std::abort();
}

// Reads an input's bytes in turn; past its end every read gives 0.
class TScript {
 public:
  explicit TScript(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  bool AtEnd() const { return pos_ >= bytes_.size(); }
  std::uint8_t Byte() { return pos_ < bytes_.size() ? bytes_[pos_++] : 0; }
  std::uint32_t Word() { return Byte() | Byte() << 8; }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
};

// A name part the host accepts: not empty, no control or reserved characters, no trailing dot
// or blank (so neither "." nor "..").
inline bool IsHostSafe(std::wstring_view part) {
  if (part.empty() || part.back() == L'.' || part.back() == L' ') return false;
  for (const wchar_t c : part)
    if (c < 32 || std::wstring_view(L"<>:\"/\\|?*").find(c) != std::wstring_view::npos)
      return false;
  return true;
}

// Loads bytes as a disk image; when the media check fails, again with the media byte forced so
// that the file system code gets to run.
template <class Image>
bool LoadForcingMedia(Image& image, std::span<const std::uint8_t> bytes) {
  constexpr std::size_t kMediaByteOffset = 21;
  if (image.LoadFromBuffer(bytes, "fuzz.dsk")) return true;
  if (bytes.size() <= kMediaByteOffset) return false;
  std::vector<std::uint8_t> patched(bytes.begin(), bytes.end());
  patched[kMediaByteOffset] = 0xF9;
  return image.LoadFromBuffer(patched, "fuzz.dsk");
}

// The virtual-drop fuzzer's name alphabet, in which its seed generator spells names.
inline constexpr std::wstring_view kDropNameAlphabet =
    L"\\/. :aBz1~-_*?\"<>|\u00e5\u00c4\u0416\u3042";

namespace hfe {
struct TFloppy;
}
// The track library's further services, driven by hfe_fuzz's input and the floppy read from it,
// if any, which they cut to its first tracks (hfe_services_walk.cpp).
void FuzzTrackServices(std::span<const std::uint8_t> input, hfe::TFloppy* read);

// Writes one seed file, making its folder first.
inline void WriteSeed(const std::filesystem::path& file, std::span<const std::uint8_t> bytes) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}
