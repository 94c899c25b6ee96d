// Byte streams: the way files, images and extracted entries pass between subsystems.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace rtl {

enum class SeekOrigin { Begin, Current, End };

class TStream {
 public:
  TStream() = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;
  virtual ~TStream() = default;

  // Reads up to buffer.size() bytes; returns how many were read (0 at the end).
  virtual std::size_t Read(std::span<std::uint8_t> buffer) = 0;
  // Writes up to data.size() bytes; returns how many were written.
  virtual std::size_t Write(std::span<const std::uint8_t> data) = 0;
  // Moves the position; returns the new position.
  virtual std::int64_t Seek(std::int64_t offset, SeekOrigin origin) = 0;
  virtual std::int64_t Size();
  virtual void SetSize(std::int64_t size) = 0;

  std::int64_t Position() { return Seek(0, SeekOrigin::Current); }
  void SetPosition(std::int64_t position) { Seek(position, SeekOrigin::Begin); }

  // Read or write exactly the whole span; a short transfer raises EStreamError.
  void ReadBuffer(std::span<std::uint8_t> buffer);
  void WriteBuffer(std::span<const std::uint8_t> data);
  // Reads until the span is full or the stream ends; returns the count (retries short reads).
  std::size_t ReadFully(std::span<std::uint8_t> buffer);
};

// A growable stream in memory.
class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

  std::size_t Read(std::span<std::uint8_t> buffer) override;
  std::size_t Write(std::span<const std::uint8_t> data) override;
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
  std::int64_t Size() override { return static_cast<std::int64_t>(bytes_.size()); }
  void SetSize(std::int64_t size) override;

  void Clear();
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
  std::vector<std::uint8_t> TakeBytes();

 private:
  std::vector<std::uint8_t> bytes_;
  std::size_t position_ = 0;
};

}  // namespace rtl
