#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "rtl/exceptions.h"
#include "rtl/stream.h"

namespace rtl {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Moves at most `chunk` bytes per call, like a pipe or a slow device; its size comes from the
// base class's Seek-based default.
class TTrickleStream : public TStream {
 public:
  TTrickleStream(Bytes bytes, std::size_t chunk) : inner_(std::move(bytes)), chunk_(chunk) {}
  std::size_t Read(std::span<std::uint8_t> buffer) override {
    return inner_.Read(buffer.first(std::min(buffer.size(), chunk_)));
  }
  std::size_t Write(std::span<const std::uint8_t> data) override {
    return inner_.Write(data.first(std::min(data.size(), chunk_)));
  }
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override {
    return inner_.Seek(offset, origin);
  }
  void SetSize(std::int64_t size) override { inner_.SetSize(size); }
  const Bytes& Contents() const { return inner_.Bytes(); }

 private:
  TMemoryStream inner_;
  std::size_t chunk_;
};

TEST(MemoryStream, WritesReadsSeeksAndResizes) {
  TMemoryStream stream;
  stream.WriteBuffer(Bytes{1, 2, 3, 4, 5});
  EXPECT_EQ(stream.Seek(1, SeekOrigin::Begin), 1);
  stream.WriteBuffer(Bytes{9});
  EXPECT_EQ(stream.Seek(-2, SeekOrigin::End), 3);
  EXPECT_EQ(stream.Seek(-1, SeekOrigin::Current), 2);
  Bytes buffer(10, 0xEE);
  EXPECT_EQ(stream.Read(buffer), 3u);  // short read at the end
  EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 3), (Bytes{3, 4, 5}));
  EXPECT_EQ(stream.Read(buffer), 0u);
  EXPECT_EQ(stream.Bytes(), (Bytes{1, 9, 3, 4, 5}));

  // Seeking past the end does not grow the stream; writing there zero-fills the gap.
  EXPECT_EQ(stream.Seek(2, SeekOrigin::End), 7);
  EXPECT_EQ(stream.Size(), 5);
  stream.WriteBuffer(Bytes{8});
  EXPECT_EQ(stream.Bytes(), (Bytes{1, 9, 3, 4, 5, 0, 0, 8}));

  stream.SetSize(2);  // truncating pulls the position back, growing leaves it
  EXPECT_EQ(stream.Position(), 2);
  stream.SetSize(4);
  EXPECT_EQ(stream.Position(), 2);
  EXPECT_EQ(stream.Bytes(), (Bytes{1, 9, 0, 0}));

  EXPECT_EQ(stream.TakeBytes(), (Bytes{1, 9, 0, 0}));
  EXPECT_EQ(stream.Size(), 0);
  EXPECT_EQ(stream.Position(), 0);
  stream.WriteBuffer(Bytes{4, 5});
  stream.Clear();
  EXPECT_EQ(stream.Size(), 0);
  EXPECT_EQ(stream.Position(), 0);

  // Nothing moves before the start.
  stream.WriteBuffer(Bytes{1, 2, 3, 4});
  stream.SetPosition(3);
  EXPECT_THROW(stream.Seek(-1, SeekOrigin::Begin), EStreamError);
  EXPECT_THROW(stream.Seek(-4, SeekOrigin::Current), EStreamError);
  EXPECT_THROW(stream.Seek(-5, SeekOrigin::End), EStreamError);
  EXPECT_EQ(stream.Position(), 3);
  EXPECT_THROW(stream.SetSize(-1), EStreamError);
}

TEST(Stream, WholeTransfersRetryShortOnesAndRaiseWhenStuck) {
  TTrickleStream stream(Bytes{1, 2, 3, 4, 5, 6, 7}, 2);
  Bytes buffer(5);
  stream.ReadBuffer(buffer);
  EXPECT_EQ(buffer, (Bytes{1, 2, 3, 4, 5}));
  EXPECT_EQ(stream.Size(), 7);  // the default size keeps the position
  EXPECT_EQ(stream.Position(), 5);
  Bytes rest(10);
  EXPECT_EQ(stream.ReadFully(rest), 2u);
  EXPECT_EQ(rest[1], 7);
  stream.WriteBuffer(Bytes{8, 9, 10});
  EXPECT_EQ(stream.Contents(), (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  EXPECT_THROW(stream.ReadBuffer(buffer), EStreamError);  // short at the end

  TTrickleStream stuck(Bytes{}, 0);
  EXPECT_THROW(stuck.WriteBuffer(Bytes{1}), EStreamError);
  EXPECT_NO_THROW(stuck.WriteBuffer(Bytes{}));
}

}  // namespace
}  // namespace rtl
