#include "rtl/stream.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

#include "rtl/exceptions.h"

namespace rtl {

std::int64_t TStream::Size() {
  const std::int64_t position = Position();
  const std::int64_t size = Seek(0, SeekOrigin::End);
  SetPosition(position);
  return size;
}

void TStream::ReadBuffer(std::span<std::uint8_t> buffer) {
  if (ReadFully(buffer) != buffer.size()) throw EStreamError("Stream read error");
}

void TStream::WriteBuffer(std::span<const std::uint8_t> data) {
  while (!data.empty()) {
    const std::size_t written = Write(data);
    if (written == 0) throw EStreamError("Stream write error");
    data = data.subspan(written);
  }
}

std::size_t TStream::ReadFully(std::span<std::uint8_t> buffer) {
  std::size_t total = 0;
  while (total < buffer.size()) {
    const std::size_t count = Read(buffer.subspan(total));
    if (count == 0) break;
    total += count;
  }
  return total;
}

std::size_t TMemoryStream::Read(std::span<std::uint8_t> buffer) {
  if (position_ >= bytes_.size()) return 0;
  const std::size_t count = std::min(buffer.size(), bytes_.size() - position_);
  std::memcpy(buffer.data(), bytes_.data() + position_, count);
  position_ += count;
  return count;
}

std::size_t TMemoryStream::Write(std::span<const std::uint8_t> data) {
  if (data.empty()) return 0;
  if (data.size() > bytes_.max_size() - position_) throw EStreamError("Stream write error");
  // Growing also zero-fills any gap left by a seek beyond the end.
  if (position_ + data.size() > bytes_.size()) bytes_.resize(position_ + data.size());
  std::memcpy(bytes_.data() + position_, data.data(), data.size());
  position_ += data.size();
  return data.size();
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, SeekOrigin origin) {
  std::int64_t base = 0;
  switch (origin) {
    case SeekOrigin::Begin:
      break;
    case SeekOrigin::Current:
      base = static_cast<std::int64_t>(position_);
      break;
    case SeekOrigin::End:
      base = static_cast<std::int64_t>(bytes_.size());
      break;
  }
  if (offset < -base) throw EStreamError("Stream seek to a negative position");
  // A memory stream's position must fit in its address space.
  const auto limit = static_cast<std::int64_t>(
      std::min<std::uint64_t>(bytes_.max_size(), std::numeric_limits<std::int64_t>::max()));
  if (offset > limit - base) throw EStreamError("Stream seek beyond the addressable range");
  position_ = static_cast<std::size_t>(base + offset);
  return base + offset;
}

void TMemoryStream::SetSize(std::int64_t size) {
  if (size < 0 || static_cast<std::uint64_t>(size) > bytes_.max_size())
    throw EStreamError("Stream size out of range");
  bytes_.resize(static_cast<std::size_t>(size));
  position_ = std::min(position_, bytes_.size());
}

void TMemoryStream::Clear() {
  bytes_.clear();
  position_ = 0;
}

std::vector<std::uint8_t> TMemoryStream::TakeBytes() {
  position_ = 0;
  return std::exchange(bytes_, {});
}

}  // namespace rtl
