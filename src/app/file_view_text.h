// What the file viewer shows for a file's bytes: the text, hex dump, BASIC listing or notice,
// the choice the Auto mode makes among them, and the window caption that goes with it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace app {

// The view menu's modes; the values are the menu items' tags.
enum class TViewerMode { vmAuto = 0, vmText = 1, vmHex = 2, vmBasic = 3, vmZ80 = 4 };

inline constexpr std::wstring_view kZ80Notice = L"Z80 Disassembly is not yet implemented";

// Binary: a byte below 32 other than tab, line feed and carriage return, except a 26 (end of
// file) as the very last byte. Empty data is text.
bool IsBinary(std::span<const std::uint8_t> data);

// Rows of 16 bytes: the offset (at least 4 upper-case hex digits), 4 blanks, "XX " per byte,
// 4 blanks plus 3 per missing byte, then the bytes 32 to 127 as characters and others as ".".
// Rows are separated by CR LF.
std::wstring HexDump(std::span<const std::uint8_t> data);

// The data as text: UTF-8 or UTF-16 after a byte-order mark, else the system code page; line
// breaks (CR LF, CR or LF) become CR LF, with none after the last line; a NUL shows as a blank.
std::wstring TextView(std::span<const std::uint8_t> data);

// The BASIC listing, lines separated by CR LF; nothing when the data is not a whole program.
std::optional<std::wstring> BasicListing(std::span<const std::uint8_t> data);

struct TViewerContent {
  TViewerMode shownAs = TViewerMode::vmText;  // vmText, vmHex, vmBasic or vmZ80
  std::wstring caption;
  std::wstring text;  // the whole text of the viewer, lines separated by CR LF
};

// Runs the viewer's mode choice: Auto shows text unless the data is binary, then the listing
// when the data is a whole BASIC program (one without lines included), else the hex dump; Basic
// falls back to Auto when the listing fails. A mode outside the enumeration shows nothing.
TViewerContent BuildViewerContent(std::span<const std::uint8_t> data, std::wstring_view fileName,
                                  TViewerMode mode);

// The status bar's size text, "<size> bytes".
std::wstring SizeStatusText(std::int32_t displaySize);

}  // namespace app
