// COM streams for the shell and readers over received mediums.
#include "app/dragdrop/win32/com_streams.h"

#include <shlwapi.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "rtl/exceptions.h"

namespace app::dragdrop {

namespace {

// Reading only: a dropped file's contents are never written back.
class TReadOnlyStream : public rtl::TStream {
 public:
  std::size_t Write(std::span<const std::uint8_t>) override { return 0; }
  void SetSize(std::int64_t) override { throw rtl::EStreamError("The stream is read-only"); }
};

// A received COM stream. A hostile stream may claim more bytes than it was asked for; the count
// is bounded by the request.
class TIStreamReader final : public TReadOnlyStream {
 public:
  explicit TIStreamReader(TStgMedium medium) : medium_(std::move(medium)) {
    // Some sources hand over a stream left at its end.
    Seek(0, rtl::SeekOrigin::Begin);
  }

  std::size_t Read(std::span<std::uint8_t> buffer) override {
    const ULONG wanted = static_cast<ULONG>(std::min<std::size_t>(buffer.size(), LONG_MAX));
    ULONG read = 0;
    if (wanted == 0 || FAILED(Stream().Read(buffer.data(), wanted, &read))) return 0;
    return std::min(read, wanted);
  }
  std::int64_t Seek(std::int64_t offset, rtl::SeekOrigin origin) override {
    constexpr DWORD kOrigins[] = {STREAM_SEEK_SET, STREAM_SEEK_CUR, STREAM_SEEK_END};
    LARGE_INTEGER move;
    move.QuadPart = offset;
    ULARGE_INTEGER position{};
    if (FAILED(Stream().Seek(move, kOrigins[static_cast<int>(origin)], &position))) return -1;
    return static_cast<std::int64_t>(position.QuadPart);
  }

 private:
  IStream& Stream() const { return *medium_.Get().pstm; }

  TStgMedium medium_;
};

// A received global memory block, locked while it is read.
class TGlobalReader final : public TReadOnlyStream {
 public:
  explicit TGlobalReader(TStgMedium medium)
      : medium_(std::move(medium)), lock_(medium_.Get().hGlobal) {}

  std::size_t Read(std::span<std::uint8_t> buffer) override {
    const auto bytes = lock_.Bytes();
    const std::size_t count = std::min(buffer.size(), bytes.size() - position_);
    if (count > 0) std::memcpy(buffer.data(), bytes.data() + position_, count);
    position_ += count;
    return count;
  }
  std::int64_t Seek(std::int64_t offset, rtl::SeekOrigin origin) override {
    const auto size = static_cast<std::int64_t>(lock_.Bytes().size());
    const std::int64_t base = origin == rtl::SeekOrigin::Begin     ? 0
                              : origin == rtl::SeekOrigin::Current ? std::int64_t(position_)
                                                                   : size;
    position_ = static_cast<std::size_t>(std::clamp<std::int64_t>(base + offset, 0, size));
    return static_cast<std::int64_t>(position_);
  }

 private:
  TStgMedium medium_;
  TGlobalLock lock_;  // released before the medium
  std::size_t position_ = 0;
};

}  // namespace

TComRef<IStream> MakeMemoryIStream(std::span<const std::uint8_t> bytes) {
  if (bytes.size() > UINT_MAX) throw std::bad_alloc();
  TComRef<IStream> stream =
      TComRef<IStream>::Adopt(SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size())));
  if (!stream) throw std::bad_alloc();
  return stream;
}

std::unique_ptr<rtl::TStream> OpenMediumReader(TStgMedium medium) {
  const STGMEDIUM& held = medium.Get();
  if (held.tymed == TYMED_ISTREAM && held.pstm) {
    return std::make_unique<TIStreamReader>(std::move(medium));
  }
  if (held.tymed == TYMED_HGLOBAL && held.hGlobal) {
    return std::make_unique<TGlobalReader>(std::move(medium));
  }
  return nullptr;
}

}  // namespace app::dragdrop
