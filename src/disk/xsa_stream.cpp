#include "disk/xsa_stream.h"

namespace disk {

namespace {

constexpr char kNoSize[] = "Can not get size on XSA encoder mode.";
constexpr char kNoSetSize[] = "Can not set size on XSA file format.";
constexpr char kNoRead[] = "Can not read data on XSA encoder mode.";
constexpr char kNoWrite[] = "Can not write data on XSA decoder mode.";
constexpr char kNoSeek[] = "Can not seek offset on XSA encoder mode.";

}  // namespace

TXSStream::TXSStream(rtl::TStream& streamToDecode)
    : FDecoder(std::make_unique<TXSDecode>(streamToDecode)) {}

TXSStream::TXSStream(rtl::TStream& streamToEncode, std::wstring_view originalName)
    : FEncoder(std::make_unique<TXSEncode>(streamToEncode, originalName)), FWrited(true) {}

TXSStream::~TXSStream() = default;

std::int64_t TXSStream::Size() {
  if (FWrited) throw EXsaError(kNoSize);
  return FDecoder->OrgSize();
}

void TXSStream::SetSize(std::int64_t) {
  throw EXsaError(kNoSetSize);
}

std::size_t TXSStream::Read(std::span<std::uint8_t> buffer) {
  if (FWrited) throw EXsaError(kNoRead);
  return FDecoder->Read(buffer);
}

std::size_t TXSStream::Write(std::span<const std::uint8_t> data) {
  if (!FWrited) throw EXsaError(kNoWrite);
  FEncoder->Write(data);
  return data.size();
}

std::int64_t TXSStream::Seek(std::int64_t offset, rtl::SeekOrigin origin) {
  if (FWrited) throw EXsaError(kNoSeek);
  // Positions never exceed the unpacked size (below 2^32), so none of these can overflow.
  const auto position = static_cast<std::int64_t>(FDecoder->Position());
  const std::int64_t size = FDecoder->OrgSize();
  std::int64_t skip = 0;
  switch (origin) {
    case rtl::SeekOrigin::Begin:
      skip = offset > position ? offset - position : 0;
      break;
    case rtl::SeekOrigin::Current:
      skip = offset;
      break;
    case rtl::SeekOrigin::End:
      // As for every stream, the target is the unpacked size plus the offset: a target at or past
      // the end decodes to the end, one behind the current position moves nothing.
      skip = offset >= 0 ? size - position : offset + (size - position);
      break;
  }
  if (skip > 0) FDecoder->Skip(static_cast<std::uint64_t>(skip));
  return static_cast<std::int64_t>(FDecoder->Position());
}

void TXSStream::Finish() {
  if (!FWrited) throw EXsaError(kNoWrite);
  FEncoder->Finish();
}

const std::string& TXSStream::OrgName() const {
  return FWrited ? FEncoder->OrgName() : FDecoder->OrgName();
}

bool TXSStream::Eof() const {
  return !FWrited && FDecoder->Eof();
}

}  // namespace disk
