// A stream over an XSA container: in decoder mode it reads the unpacked bytes, in encoder mode it
// packs the bytes written to it. The wrapped stream is not owned.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "disk/xsa_decode.h"
#include "disk/xsa_encode.h"
#include "rtl/stream.h"

namespace disk {

class TXSStream : public rtl::TStream {
 public:
  // Decoder mode: reads the header now (EXsaError when it is malformed).
  explicit TXSStream(rtl::TStream& streamToDecode);
  // Encoder mode: writes the header now; Finish completes the container.
  TXSStream(rtl::TStream& streamToEncode, std::wstring_view originalName);
  ~TXSStream() override;

  // Decoder: the header's unpacked size (the bytes delivered may stop earlier at the end code).
  std::int64_t Size() override;
  void SetSize(std::int64_t size) override;
  std::size_t Read(std::span<std::uint8_t> buffer) override;
  std::size_t Write(std::span<const std::uint8_t> data) override;
  // Decoder: forward only, by decoding and dropping bytes; End counts from the unpacked size.
  // Returns the number of bytes delivered so far.
  std::int64_t Seek(std::int64_t offset, rtl::SeekOrigin origin) override;

  // Encoder: codes the rest, ends the stream and patches the header's sizes.
  void Finish();
  const std::string& OrgName() const;
  bool Eof() const;

 private:
  std::unique_ptr<TXSDecode> FDecoder;
  std::unique_ptr<TXSEncode> FEncoder;
  bool FWrited = false;  // encoder mode
};

}  // namespace disk
