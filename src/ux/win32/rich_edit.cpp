// The rich-edit control: the library, the window's making and keeping, and streaming.
#include "ux/win32/rich_edit.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "rtl/exceptions.h"
#include "rtl/file_stream.h"
#include "ui/boolean_prop.h"
#include "ui/properties.h"
#include "ui/win32/forms.h"
#include "ux/win32/rich_edit_ole.h"

namespace ux {

namespace {

struct Module {
  HMODULE library = nullptr;
  bool pending = false;  // the library is loaded when first needed
  int version = 1;
  TRichEditClipboardFormats formats;
  int windows = 0;       // rich-edit windows alive: the library stays while there are any
  bool oleUsed = false;  // a control's OLE interface was handed out: the library stays
};

Module& State() {
  static Module module;
  return module;
}

// Loads a library; a handle below 32 is a failure, as NULL is.
HMODULE LoadChecked(const wchar_t* name) {
  const HMODULE library = LoadLibraryW(name);
  if (LibraryHandleLoaded(reinterpret_cast<std::uintptr_t>(library))) return library;
  if (library) FreeLibrary(library);
  return nullptr;
}

// The system code page's text, a trailing lead byte of a double-byte character kept for the
// next read.
class TWin32AnsiDecoder : public TAnsiDecoder {
 public:
  std::u16string Decode(std::string_view bytes, bool atEnd, std::size_t& consumed) const override {
    consumed = bytes.size();
    if (!atEnd && !bytes.empty()) {
      std::size_t i = 0;
      while (i < bytes.size()) {
        const bool lead = IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(bytes[i]));
        if (lead && i + 1 == bytes.size()) {
          consumed = i;
          break;
        }
        i += lead ? 2 : 1;
      }
    }
    if (consumed == 0) return {};
    const int length =
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(consumed), nullptr, 0);
    std::u16string text(static_cast<std::size_t>(std::max(length, 0)), u'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(consumed),
                        reinterpret_cast<wchar_t*>(text.data()), length);
    return text;
  }
};

// What one EM_STREAMIN or EM_STREAMOUT call works with; an exception of the stream is kept
// here and ends the transfer with an error.
struct StreamInContext {
  StreamInFeeder* feeder;
  std::exception_ptr error;
};
struct StreamOutContext {
  rtl::TStream* stream;
  TConversion* conversion;
  std::vector<std::uint8_t>* text;  // UTF-16 LE text collected for another encoding, or null
  std::exception_ptr error;
};

DWORD CALLBACK StreamInCallback(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
  auto& context = *reinterpret_cast<StreamInContext*>(cookie);
  try {
    *done = static_cast<LONG>(context.feeder->Fill(buffer, static_cast<std::size_t>(size)));
    return 0;
  } catch (...) {
    context.error = std::current_exception();
    *done = 0;
    return 1;
  }
}

DWORD CALLBACK StreamOutCallback(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
  auto& context = *reinterpret_cast<StreamOutContext*>(cookie);
  try {
    const auto count = static_cast<std::size_t>(size);
    if (context.text) {
      context.text->insert(context.text->end(), buffer, buffer + count);
      *done = size;
      return 0;
    }
    const std::size_t written =
        context.conversion->ConvertWriteStream(*context.stream, std::span(buffer, count));
    *done = static_cast<LONG>(written);
    return written == count ? 0 : 1;
  } catch (...) {
    context.error = std::current_exception();
    *done = 0;
    return 1;
  }
}

// A UTF-16 text in another encoding.
std::string Encode(std::u16string_view text, TStreamEncoding encoding) {
  std::string bytes;
  if (encoding == TStreamEncoding::Utf16BE) {
    for (const char16_t unit : text) {
      bytes += static_cast<char>(unit >> 8);
      bytes += static_cast<char>(unit & 0xFF);
    }
    return bytes;
  }
  const UINT codePage = encoding == TStreamEncoding::Utf8 ? CP_UTF8 : CP_ACP;
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length = WideCharToMultiByte(codePage, 0, wide, static_cast<int>(text.size()), nullptr,
                                         0, nullptr, nullptr);
  bytes.resize(static_cast<std::size_t>(std::max(length, 0)));
  WideCharToMultiByte(codePage, 0, wide, static_cast<int>(text.size()), bytes.data(), length,
                      nullptr, nullptr);
  return bytes;
}

}  // namespace

// Module

namespace {

void LoadPendingLibrary() {
  Module& state = State();
  if (!std::exchange(state.pending, false) || state.library) return;
  const UINT previousMode = SetErrorMode(SEM_NOOPENFILEERRORBOX);
  state.version = 1;
  state.library = LoadChecked(L"RICHED20.DLL");
  if (state.library) {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    const bool known = GetVersionExW(&info) != 0;
    state.version = ChooseRichEditVersion(true, known && info.dwPlatformId == VER_PLATFORM_WIN32_NT,
                                          known ? static_cast<int>(info.dwMajorVersion) : 0);
  } else {
    state.library = LoadChecked(L"RICHED32.DLL");
  }
  SetErrorMode(previousMode);
}

}  // namespace

int RichEditVersion() {
  LoadPendingLibrary();
  return State().version;
}

const TRichEditClipboardFormats& RichEditClipboardFormats() {
  return State().formats;
}

void LoadRichEditLibrary() {
  Module& state = State();
  // Loading the library (and the script library it needs) takes a few milliseconds of start-up:
  // it is loaded when the version is first asked, which making a rich-edit window does.
  state.pending = true;
  state.formats.embeddedObject = RegisterClipboardFormatW(L"Embedded Object");
  state.formats.linkSource = RegisterClipboardFormatW(L"Link Source");
  state.formats.richText = RegisterClipboardFormatW(L"Rich Text Format");
  state.formats.richTextNoObjects = RegisterClipboardFormatW(L"Rich Text Format Without Objects");
}

void FreeRichEditLibrary() {
  Module& state = State();
  state.pending = false;
  // The formats registered since start-up go; the two built-in ones stay, so that a control made
  // after this (a later start-up in the same process) still reads and writes text and RTF files.
  ConversionFormats().Reset();
  // A rich-edit window still alive would lose its window procedure, and the library's OLE
  // objects (client sites held by embedded objects) may outlive every window: the library then
  // stays until the process ends.
  if (!state.library || state.windows > 0 || state.oleUsed) return;
  FreeLibrary(state.library);
  state.library = nullptr;
  state.version = 1;
}

TRichEditPreview::~TRichEditPreview() {
  for (const HENHMETAFILE page : pages) DeleteEnhMetaFile(page);
}

// TUxCustomRichEdit: making and keeping the window

TUxCustomRichEdit::TUxCustomRichEdit(ui::TComponent* owner) : ui::TMemo(owner) {
  lines_ = std::make_unique<TRichEditStrings>(*this);
  selAttributes_ = std::make_unique<TUxTextAttributes>(*this, TUxAttributeType::atSelected);
  defAttributes_ = std::make_unique<TUxTextAttributes>(*this, TUxAttributeType::atDefaultText);
  wordAttributes_ = std::make_unique<TUxTextAttributes>(*this, TUxAttributeType::atWord);
  paragraph_ = std::make_unique<TUxParaAttributes>(*this);
  const HDC screen = GetDC(nullptr);
  screenLogPixels_ = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  callback_ = new TRichEditOleCallback(*this);  // our reference, released at destruction
  SetWordWrap(true);
  SetBounds(Left(), Top(), 185, 89);
  ui::TMemo::SetScrollBars(ui::TScrollStyle::ssBoth);
}

TUxCustomRichEdit::~TUxCustomRichEdit() {
  for (auto* state : {findDialog_.get(), replaceDialog_.get()})
    if (state && state->window) {
      if (ui::Application) ui::Application->RemoveModelessDialog(state->window);
      DestroyWindow(state->window);
    }
  if (HandleAllocated()) {
    destroying_ = true;
    DestroyHandle();
  }
  ReleaseOle();
  callback_->Detach();
  callback_->Release();
}

LRESULT TUxCustomRichEdit::Send(UINT msg, WPARAM wParam, LPARAM lParam) {
  return SendMessageW(Handle(), msg, wParam, lParam);
}

void TUxCustomRichEdit::CreateParams(TCreateParams& params) {
  ui::TWinControl::CreateParams(params);
  params.windowClass = RichEditVersion() >= 2 ? L"RichEdit20W" : L"RICHEDIT";
  params.systemClass = true;
  params.classStyle &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
  params.style |= ES_MULTILINE | ES_AUTOVSCROLL | WS_TABSTOP;
  if (!WordWrap()) params.style |= ES_AUTOHSCROLL;
  if (ReadOnly()) params.style |= ES_READONLY;
  if (BorderVisible()) params.exStyle |= WS_EX_CLIENTEDGE;
  params.style &= ~static_cast<DWORD>(WS_HSCROLL | WS_VSCROLL);
  params.style |= ES_SAVESEL | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  const ui::TScrollStyle bars = ScrollBars();
  if (bars == ui::TScrollStyle::ssVertical || bars == ui::TScrollStyle::ssBoth)
    params.style |= WS_VSCROLL;
  if ((bars == ui::TScrollStyle::ssHorizontal || bars == ui::TScrollStyle::ssBoth) && !WordWrap())
    params.style |= WS_HSCROLL;
  if (!hideScrollBars_) params.style |= ES_DISABLENOSCROLL;
  if (selectionBar_) params.style |= ES_SELECTIONBAR;
  if (!hideSelection_) params.style |= ES_NOHIDESEL;
}

void TUxCustomRichEdit::HandleCreated() {
  ++State().windows;
  const int version = RichEditVersion();
  if (GetSystemMetrics(SM_DBCSENABLED) && PRIMARYLANGID(GetSystemDefaultLangID()) != LANG_JAPANESE)
    fontCharset_ = DEFAULT_CHARSET;
  if (fontCharset_ != DEFAULT_CHARSET) SetFontCharset(fontCharset_);
  Send(EM_SETEVENTMASK, 0,
       version >= 2 ? ENM_CHANGE | ENM_SELCHANGE | ENM_REQUESTRESIZE | ENM_PROTECTED | ENM_LINK
                    : ENM_CHANGE | ENM_SELCHANGE | ENM_REQUESTRESIZE | ENM_PROTECTED);
  Send(EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ui::ColorToRGB(Color())));
  SetMaxLength(maxLength_);
  SetWordSelection(wordSelection_);
  if (version >= 2) {
    Send(EM_AUTOURLDETECT, autoURLDetect_, 0);
    undoLimit_ = static_cast<int>(Send(EM_SETUNDOLIMIT, static_cast<WPARAM>(undoLimit_), 0));
    ApplyTextMode();
    SetLangOptions(langOptions_);
  }
  if (allowObjects_) {
    Send(EM_SETOLECALLBACK, 0,
         reinterpret_cast<LPARAM>(static_cast<IRichEditOleCallback*>(callback_)));
    Send(EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&richEditOle_));
    if (richEditOle_) State().oleUsed = true;
    SetTitle(title_);
  }
  RestoreContent();
  if (version < 2) Send(WM_SETFONT, 0, 0);
  Send(EM_SETMODIFY, modified_, 0);
}

void TUxCustomRichEdit::HandleDestroyed() {
  --State().windows;
}

void TUxCustomRichEdit::ApplyTextMode() {
  Send(EM_SETTEXTMODE,
       (plainText_ ? TM_PLAINTEXT : TM_RICHTEXT) |
           (undoLimit_ < 2 ? TM_SINGLELEVELUNDO : TM_MULTILEVELUNDO),
       0);
}

// The whole content, as plain text (UTF-16 LE with its mark) or as rich text, behind one byte
// that tells which; never only the selection, whatever Lines' mode is.
void TUxCustomRichEdit::KeepContent() {
  modified_ = Send(EM_GETMODIFY) != 0;
  auto stream = std::make_unique<rtl::TMemoryStream>();
  const std::uint8_t plain = plainText_ ? 1 : 0;
  stream->WriteBuffer(std::span(&plain, 1));
  {
    const TRichEditStrings::TFormatScope scope(
        *lines_, plain ? TRichStreamFormat::sfPlainText : TRichStreamFormat::sfRichText, 0);
    lines_->SaveToStream(*stream);
  }
  stream->SetPosition(0);
  memStream_ = std::move(stream);
}

void TUxCustomRichEdit::RestoreContent() {
  if (!memStream_) return;
  const std::unique_ptr<rtl::TMemoryStream> stream = std::move(memStream_);
  std::uint8_t plain = 0;
  if (stream->ReadFully(std::span(&plain, 1)) != 1) return;
  const TRichEditStrings::TFormatScope scope(
      *lines_, plain ? TRichStreamFormat::sfPlainText : TRichStreamFormat::sfRichText, 0);
  lines_->LoadFromStream(*stream);
}

void TUxCustomRichEdit::RecreateWnd() {
  if (!HandleAllocated()) return;
  DestroyHandle();
  HandleNeeded();
}

void TUxCustomRichEdit::SetScrollBars(ui::TScrollStyle scrollBars) {
  if (scrollBars == ScrollBars()) return;
  ui::TMemo::SetScrollBars(scrollBars);
  RecreateWnd();
}

void TUxRichEdit::GetPublishedProps(std::vector<const ui::PropInfo*>& out) const {
  TUxCustomRichEdit::GetPublishedProps(out);
  using R = TUxRichEdit;
  static constexpr ui::PropInfo kProps[] = {
      ui::BoolProp<R, &R::AllowInPlace, &R::SetAllowInPlace>(L"AllowInPlace"),
      ui::BoolProp<R, &R::AllowObjects, &R::SetAllowObjects>(L"AllowObjects"),
      ui::BoolProp<R, &R::AutoVerbMenu, &R::SetAutoVerbMenu>(L"AutoVerbMenu"),
      ui::BoolProp<R, &R::DrawEndPage, &R::SetDrawEndPage>(L"DrawEndPage"),
      ui::BoolProp<R, &R::HideScrollBars, &R::SetHideScrollBars>(L"HideScrollBars"),
      ui::BoolProp<R, &R::HideSelection, &R::SetHideSelection>(L"HideSelection"),
      ui::IntProp<R, &R::MaxLength, &R::SetMaxLength>(L"MaxLength"),
      ui::BoolProp<R, &R::PlainText, &R::SetPlainText>(L"PlainText"),
      ui::BoolProp<R, &R::SelectionBar, &R::SetSelectionBar>(L"SelectionBar"),
      ui::StringProp<R, &R::Title, &R::SetTitle>(L"Title"),
      ui::IntProp<R, &R::UndoLimit, &R::SetUndoLimit>(L"UndoLimit"),
  };
  for (const ui::PropInfo& prop : kProps) out.push_back(&prop);
}

// TRichEditStrings: streaming

TRichEditStrings::TFormatScope::TFormatScope(TRichEditStrings& lines, TRichStreamFormat format,
                                             TRichStreamModes mode)
    : lines_(lines), format_(lines.format_), mode_(lines.mode_) {
  lines.format_ = format;
  lines.mode_ = mode;
}

TRichEditStrings::TFormatScope::~TFormatScope() {
  lines_.format_ = format_;
  lines_.mode_ = mode_;
}

HWND TRichEditStrings::Window() const {
  return richEdit_.Handle();
}

bool TRichEditStrings::PlainTextMeant() const {
  return format_ == TRichStreamFormat::sfPlainText ||
         (format_ == TRichStreamFormat::sfDefault && richEdit_.PlainText());
}

void TRichEditStrings::LoadFromStream(rtl::TStream& stream) {
  LoadFromStream(stream, DetectEncoding(stream));
}

void TRichEditStrings::LoadFromStream(rtl::TStream& stream, TStreamEncoding encoding) {
  std::unique_ptr<TConversion> fresh;
  TConversion* conversion = converter_.get();
  if (!conversion) {
    fresh = richEdit_.DefaultConverter()();
    conversion = fresh.get();
  }
  StreamIn(stream, encoding, *conversion);
}

void TRichEditStrings::StreamIn(rtl::TStream& stream, TStreamEncoding encoding,
                                TConversion& conversion) {
  const TWin32AnsiDecoder ansi;
  // Made (with the content it keeps) before the selection below is taken from it.
  const HWND window = Window();
  const auto attempt = [&](DWORD flags, bool plain) {
    StreamInFeeder feeder(stream, conversion, plain, encoding, ansi);
    StreamInContext context{&feeder, nullptr};
    EDITSTREAM editStream{reinterpret_cast<DWORD_PTR>(&context), 0, StreamInCallback};
    SendMessageW(window, EM_STREAMIN, flags, reinterpret_cast<LPARAM>(&editStream));
    return editStream.dwError == 0 && !context.error;
  };
  const bool plain = PlainTextMeant();
  DWORD flags = plain ? SF_TEXT | SF_UNICODE : SF_RTF;
  if (!plain && (mode_ & smPlainRtf)) flags |= SFF_PLAINRTF;
  if (mode_ & smSelection) flags |= SFF_SELECTION;
  const std::int64_t position = stream.Position();
  const CHARRANGE selection = richEdit_.GetSelection();
  const int kept = richEdit_.TextLength() - (selection.cpMax - selection.cpMin);
  if (!attempt(flags, plain)) {
    stream.SetPosition(position);
    // The other format goes in place of the selection when only that was to be replaced (and of
    // what the failed try put there): the rest of the document is never given up for a text the
    // control did not take.
    if (flags & SFF_SELECTION)
      richEdit_.SetSelection(selection.cpMin,
                             selection.cpMin + std::max(richEdit_.TextLength() - kept, 0), false);
    const DWORD other = (plain ? SF_RTF : SF_TEXT | SF_UNICODE) | (flags & SFF_SELECTION);
    if (!attempt(other, !plain)) throw rtl::Exception("Failed to Load Stream");
  }
  richEdit_.SetSelection(0, 0, true);
}

void TRichEditStrings::SaveToStream(rtl::TStream& stream) {
  SaveToStream(stream, TStreamEncoding::Utf16LE);
}

void TRichEditStrings::SaveToStream(rtl::TStream& stream, TStreamEncoding encoding) {
  std::unique_ptr<TConversion> fresh;
  TConversion* conversion = converter_.get();
  if (!conversion) {
    fresh = richEdit_.DefaultConverter()();
    conversion = fresh.get();
  }
  StreamOut(stream, encoding, *conversion);
}

void TRichEditStrings::StreamOut(rtl::TStream& stream, TStreamEncoding encoding,
                                 TConversion& conversion) {
  const bool plain = PlainTextMeant();
  DWORD flags = plain ? SF_TEXT | SF_UNICODE : (mode_ & smNoObjects) != 0 ? SF_RTFNOOBJS : SF_RTF;
  if (!plain && (mode_ & smPlainRtf)) flags |= SFF_PLAINRTF;
  if (mode_ & smSelection) flags |= SFF_SELECTION;
  std::vector<std::uint8_t> text;
  const bool recode = plain && encoding != TStreamEncoding::Utf16LE;
  if (plain) {
    const auto preamble = Preamble(encoding);
    if (!preamble.empty()) conversion.ConvertWriteStream(stream, preamble);
  }
  StreamOutContext context{&stream, &conversion, recode ? &text : nullptr, nullptr};
  EDITSTREAM editStream{reinterpret_cast<DWORD_PTR>(&context), 0, StreamOutCallback};
  SendMessageW(Window(), EM_STREAMOUT, flags, reinterpret_cast<LPARAM>(&editStream));
  if (editStream.dwError != 0 || context.error) throw rtl::Exception("Failed to Save Stream");
  if (recode) {
    std::u16string units;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2)
      units.push_back(static_cast<char16_t>(text[i] | (text[i + 1] << 8)));
    const std::string bytes = Encode(units, encoding);
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    if (conversion.ConvertWriteStream(stream, std::span(data, bytes.size())) != bytes.size())
      throw rtl::Exception("Failed to Save Stream");
  }
}

namespace {

// The conversion format of a file, by its extension; none: the format in force.
const TConversionFormat* FormatOf(const std::filesystem::path& path) {
  return ConversionFormats().Find(path.extension().wstring());
}

}  // namespace

void TRichEditStrings::LoadFromFile(const std::filesystem::path& path) {
  rtl::TFileStream stream(path, rtl::FileMode::OpenRead);
  const TConversionFormat* format = FormatOf(path);
  if (!format) {
    LoadFromStream(stream);
    return;
  }
  const TFormatScope scope(
      *this, format->plainText ? TRichStreamFormat::sfPlainText : TRichStreamFormat::sfRichText,
      mode_);
  const std::unique_ptr<TConversion> conversion = format->conversionClass();
  StreamIn(stream, DetectEncoding(stream), *conversion);
}

// The whole text is made before the file is touched: a save that fails leaves the file as it
// was instead of cut short.
void TRichEditStrings::SaveToFile(const std::filesystem::path& path) {
  rtl::TMemoryStream stream;
  if (const TConversionFormat* format = FormatOf(path)) {
    const TFormatScope scope(
        *this, format->plainText ? TRichStreamFormat::sfPlainText : TRichStreamFormat::sfRichText,
        mode_);
    const std::unique_ptr<TConversion> conversion = format->conversionClass();
    StreamOut(stream, TStreamEncoding::Utf16LE, *conversion);
  } else {
    SaveToStream(stream);
  }
  rtl::WriteFileAtomically(path, stream.Bytes());
}

}  // namespace ux
