#include "app/msx_basic_tables.h"

#include <array>

namespace app::msx_basic {
namespace {

constexpr std::uint8_t kFirstToken = 0x81;

constexpr std::array<std::wstring_view, 124> kStatements = {
    L"END",      L"FOR",   L"NEXT",    L"DATA",    L"INPUT",  L"DIM",    L"READ",   L"LET",
    L"GOTO",     L"RUN",   L"IF",      L"RESTORE", L"GOSUB",  L"RETURN", L"REM",    L"STOP",
    L"PRINT",    L"CLEAR", L"LIST",    L"NEW",     L"ON",     L"WAIT",   L"DEF",    L"POKE",
    L"CONT",     L"CSAVE", L"CLOAD",   L"OUT",     L"LPRINT", L"LLIST",  L"CLS",    L"WIDTH",
    L"?? a1 ??", L"TRON",  L"TROFF",   L"SWAP",    L"ERASE",  L"ERROR",  L"RESUME", L"DELETE",
    L"AUTO",     L"RENUM", L"DEFSTR",  L"DEFINT",  L"DEFSNG", L"DEFDBL", L"LINE",   L"OPEN",
    L"FIELD",    L"GET",   L"PUT",     L"CLOSE",   L"LOAD",   L"MERGE",  L"FILES",  L"LSET",
    L"RSET",     L"SAVE",  L"LFILES",  L"CIRCLE",  L"COLOR",  L"DRAW",   L"PAINT",  L"BEEP",
    L"PLAY",     L"PSET",  L"PRESET",  L"SOUND",   L"SCREEN", L"VPOKE",  L"SPRITE", L"VDP",
    L"BASE",     L"CALL",  L"TIME",    L"KEY",     L"MAX",    L"MOTOR",  L"BLOAD",  L"BSAVE",
    L"DSKO$",    L"SET",   L"NAME",    L"KILL",    L"IPL",    L"COPY",   L"CMD",    L"LOCATE",
    L"TO",       L"THEN",  L"TAB(",    L"STEP",    L"USR",    L"FN",     L"SPC(",   L"NOT",
    L"ERL",      L"ERR",   L"STRING$", L"USING",   L"INSTR",  L"???",    L"VARPTR", L"CSRLIN",
    L"ATTR$",    L"DSKI$", L"OFF",     L"INKEY$",  L"POINT",  L">",      L"=",      L"<",
    L"+",        L"-",     L"*",       L"/",       L"^",      L"AND",    L"OR",     L"XOR",
    L"EQV",      L"IMP",   L"MOD",     L"\\"};

constexpr std::array<std::wstring_view, 48> kFunctions = {
    L"LEFT$", L"RIGHT$", L"MID$", L"SGN",   L"INT",    L"ABS",  L"SQR",  L"RND",  L"SIN",  L"LOG",
    L"EXP",   L"COS",    L"TAN",  L"ATN",   L"FRE",    L"INP",  L"POS",  L"LEN",  L"STR$", L"VAL",
    L"ASC",   L"CHR$",   L"PEEK", L"VPEEK", L"SPACE$", L"OCT$", L"HEX$", L"LPOS", L"BIN$", L"CINT",
    L"CSNG",  L"CDBL",   L"FIX",  L"STICK", L"STRIG",  L"PDL",  L"PAD",  L"DSKF", L"FPOS", L"CVI",
    L"CVS",   L"CVD",    L"EOF",  L"LOC",   L"LOF",    L"MKI$", L"MKS$", L"MKD$"};

// KOI8-R 0xC0 to 0xDF (lower case); the upper-case letters at 0xE0 to 0xFF lie 0x20 below.
constexpr std::array<wchar_t, 32> kKoi8rLower = {
    0x044E, 0x0430, 0x0431, 0x0446, 0x0434, 0x0435, 0x0444, 0x0433, 0x0445, 0x0438, 0x0439,
    0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, 0x044F, 0x0440, 0x0441, 0x0442, 0x0443,
    0x0436, 0x0432, 0x044C, 0x044B, 0x0437, 0x0448, 0x044D, 0x0449, 0x0447, 0x044A};

// Graphic characters for the codes 0x41 to 0x5E; 0 marks a code without one.
constexpr std::uint8_t kFirstGraph = 0x41;
constexpr std::array<wchar_t, 30> kGraphs = {
    0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022, 0x25D8, 0x25CB, 0x25D9,
    0x2642, 0x2640, 0x266A, 0x266B, 0x263C, 0,      0x2534, 0x252C, 0x251C, 0x2524,
    0x253C, 0x2502, 0x2500, 0x250C, 0x2510, 0x2514, 0x2518, 0x2573, 0x2571, 0x2572};

template <std::size_t N>
std::wstring_view Lookup(const std::array<std::wstring_view, N>& table, std::uint8_t token) {
  const std::size_t index = static_cast<std::size_t>(token) - kFirstToken;
  return token >= kFirstToken && index < N ? table[index] : std::wstring_view{};
}

}  // namespace

std::wstring_view StatementToken(std::uint8_t token) {
  return Lookup(kStatements, token);
}

std::wstring_view FunctionToken(std::uint8_t token) {
  return Lookup(kFunctions, token);
}

wchar_t MapChar(std::uint8_t code) {
  if (code < 0xC0) return static_cast<wchar_t>(code);
  const wchar_t lower = kKoi8rLower[(code - 0xC0) % 32];
  return code < 0xE0 ? lower : static_cast<wchar_t>(lower - 0x20);
}

wchar_t MapGraphChar(std::uint8_t code) {
  const std::size_t index = static_cast<std::size_t>(code) - kFirstGraph;
  if (code >= kFirstGraph && index < kGraphs.size() && kGraphs[index] != 0) return kGraphs[index];
  return static_cast<wchar_t>(code);
}

}  // namespace app::msx_basic
