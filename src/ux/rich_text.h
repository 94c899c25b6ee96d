// The rich-edit control's portable logic: the stream formats and option sets, the text-conversion
// objects and their list by file extension, the encoding test of a stream's first bytes, the
// stream-in feeder that hands text to the control buffer by buffer, the print loop over pages,
// and the small range, search and line rules the control's messages follow.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "rtl/stream.h"

namespace ux {

enum class TRichStreamFormat { sfDefault, sfRichText, sfPlainText };
enum TRichStreamMode : std::uint8_t { smSelection = 1, smPlainRtf = 2, smNoObjects = 4 };
using TRichStreamModes = std::uint8_t;

enum TRichSearchType : std::uint8_t {
  stWholeWord = 1,
  stMatchCase = 2,
  stBackward = 4,
  stSetSelection = 8
};
using TRichSearchTypes = std::uint8_t;

enum TRichSelection : std::uint8_t { stText = 1, stObject = 2, stMultiChar = 4, stMultiObject = 8 };
using TRichSelectionTypes = std::uint8_t;

enum TRichLangOption : std::uint8_t {
  rlAutoKeyboard = 1,
  rlAutoFont = 2,
  rlImeCancelComplete = 4,
  rlImeAlwaysSendNotify = 8
};
using TRichLangOptions = std::uint8_t;

enum class TUndoName { unUnknown, unTyping, unDelete, unDragDrop, unCut, unPaste };

// Whether a library load succeeded: handles below 32 are failures, as null is.
constexpr bool LibraryHandleLoaded(std::uintptr_t handle) {
  return handle >= 32;
}
// The rich-edit version: 1 with only the old library (or none), 2 with the newer one, 3 with
// the newer one on an NT platform of major version 5 or later.
constexpr int ChooseRichEditVersion(bool newerLoaded, bool ntPlatform, int majorVersion) {
  return !newerLoaded ? 1 : ntPlatform && majorVersion >= 5 ? 3 : 2;
}

// Text encodings a stream is read in; Ansi is the system's code page.
enum class TStreamEncoding { Ansi, Utf8, Utf16LE, Utf16BE };

// The encoding the stream's first bytes announce (UTF-16 LE, UTF-16 BE, UTF-8 byte-order
// marks, else Ansi); the stream's position is left where it was.
TStreamEncoding DetectEncoding(rtl::TStream& stream);
// The byte-order mark of an encoding (none for Ansi).
std::span<const std::uint8_t> Preamble(TStreamEncoding encoding);

// A text-conversion object: reads and writes the raw bytes of a stream for the control. The
// base class passes them through unchanged.
class TConversion {
 public:
  virtual ~TConversion() = default;
  virtual std::size_t ConvertReadStream(rtl::TStream& stream, std::span<std::uint8_t> buffer);
  virtual std::size_t ConvertWriteStream(rtl::TStream& stream, std::span<const std::uint8_t> data);
};
using TConversionClass = std::function<std::unique_ptr<TConversion>()>;
TConversionClass DefaultConversionClass();

// The conversion formats by lower-case file extension, newest first; built in: "txt" (plain
// text) then "rtf", both with the base class.
struct TConversionFormat {
  std::wstring extension;
  bool plainText = false;
  TConversionClass conversionClass;
};
class TConversionFormats {
 public:
  TConversionFormats();
  // Puts a format at the head of the list.
  void Register(std::wstring_view extension, bool plainText, TConversionClass conversionClass);
  // The first format for the extension (without its dot, any case), or null.
  const TConversionFormat* Find(std::wstring_view extension) const;
  void Reset();

 private:
  std::vector<TConversionFormat> formats_;  // head first
};
TConversionFormats& ConversionFormats();
void RegisterConversionFormat(std::wstring_view extension, bool plainText,
                              TConversionClass conversionClass);

// Converts text in the system's 8-bit code page to UTF-16. `bytes` may end inside a character:
// Decode converts what is complete and sets `consumed`; at the end everything is converted.
class TAnsiDecoder {
 public:
  virtual ~TAnsiDecoder() = default;
  virtual std::u16string Decode(std::string_view bytes, bool atEnd, std::size_t& consumed) const;
};

// Hands a stream's text to the control, one buffer at a time. Rich text passes through byte
// for byte; plain text becomes UTF-16 LE with every line break a CR LF (a CR LF split between
// two reads stays one), a byte-order mark dropped only at the start of the stream, and a
// character split between two reads kept whole. No call writes more than its buffer's size;
// what does not fit waits for the next call. A result of 0 means the end of the text.
class StreamInFeeder {
 public:
  StreamInFeeder(rtl::TStream& stream, TConversion& conversion, bool plainText,
                 TStreamEncoding encoding, const TAnsiDecoder& ansi);
  std::size_t Fill(std::uint8_t* buffer, std::size_t size);

 private:
  static constexpr std::size_t kReadSize = 4096;
  void ReadMore();
  void Emit(char16_t unit);
  std::u16string Decode(bool atEnd);

  rtl::TStream& stream_;
  TConversion& conversion_;
  bool plainText_;
  TStreamEncoding encoding_;
  const TAnsiDecoder& ansi_;
  std::string input_;              // bytes read but not yet decoded
  std::vector<std::uint8_t> out_;  // bytes decoded but not yet handed out
  std::size_t outStart_ = 0;
  bool atStart_ = true;
  bool afterCr_ = false;
  bool ended_ = false;
};

// A wide string as UTF-16 code units (wide characters beyond the BMP as surrogate pairs).
std::u16string ToUtf16(std::wstring_view text);
// A UTF-16 text's code units as UTF-16 LE bytes.
std::vector<std::uint8_t> Utf16LEBytes(std::u16string_view text);

// The pages of a print job, through the control's page formatter.
class TPageFormatter {
 public:
  virtual ~TPageFormatter() = default;
  // False stops the job (it was aborted).
  virtual bool StartPage() = 0;
  virtual bool EndPage() = 0;
  // Renders one page from character `start`; returns the first character not rendered.
  virtual int FormatPage(int start, int textLength) = 0;
};
// Renders page after page until the whole text is out, the job is aborted, or a page makes no
// progress (a page that cannot hold its next object, or an empty print rectangle). Returns the
// number of pages; an empty text prints one empty page.
int PrintPageLoop(TPageFormatter& formatter, int textLength);

// A character range within a text of `length` characters: -1 as the end means the text's end,
// both ends are clamped, and a reversed range is put in order.
struct TCharRange {
  int start = 0;
  int end = 0;
};
TCharRange NormalizeRange(int start, int end, int length);

// How many characters of a selection fit a caller's buffer of `bufSize` characters with its
// terminating zero (none for a size of 0 or less).
int SelTextCopyCount(int selectionLength, int bufSize);

// The flags of a text search: FR_DOWN unless backward, and never with version 1, whose search
// runs forward only and takes no direction flag; FR_WHOLEWORD, FR_MATCHCASE.
std::uint32_t FindFlags(TRichSearchTypes options, int richEditVersion);
// The range EM_FINDTEXTEX searches: from StartPos over Length characters, read from its end
// towards its start for a backward search.
TCharRange FindRange(int startPos, int length, TRichSearchTypes options, int richEditVersion);

// A line as the control returns it, without its trailing CR LF or lone CR.
std::wstring StripLineBreak(std::wstring line);

// The RTF text of a string: "\", "{" and "}" escaped, characters outside printable ASCII as
// "\uN?" (N the signed 16-bit code unit, characters beyond the BMP as their surrogate pair).
std::string RtfEscape(std::wstring_view text);

}  // namespace ux
