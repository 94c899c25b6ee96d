// The rich-edit control: lines, options, selection and text queries, undo, search with the
// find and replace dialogs, notifications and the window's own messages.
#include "ux/win32/rich_edit.h"

#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "rtl/exceptions.h"
#include "ui/win32/forms.h"
#include "ux/win32/rich_edit_ole.h"
#include "ux/win32/window_hook.h"
#include "ux/word_bounds.h"

namespace ux {

namespace {

UINT FindMessage() {
  static const UINT message = RegisterWindowMessageW(FINDMSGSTRINGW);
  return message;
}

// The break that ends a line the lines operations put in.
std::wstring LineBreak() {
  return RichEditVersion() >= 2 ? L"\r" : L"\r\n";
}

}  // namespace

// TRichEditStrings: lines

int TRichEditStrings::Count() const {
  if (!richEdit_.HandleAllocated()) return 0;
  const HWND window = Window();
  auto count = static_cast<int>(SendMessageW(window, EM_GETLINECOUNT, 0, 0));
  if (count > 0) {
    const LRESULT start = SendMessageW(window, EM_LINEINDEX, static_cast<WPARAM>(count - 1), 0);
    if (start >= 0 && SendMessageW(window, EM_LINELENGTH, static_cast<WPARAM>(start), 0) == 0)
      --count;
  }
  return count;
}

std::wstring TRichEditStrings::Get(int index) const {
  if (!richEdit_.HandleAllocated() || index < 0) return {};
  const HWND window = Window();
  const LRESULT start = SendMessageW(window, EM_LINEINDEX, static_cast<WPARAM>(index), 0);
  if (start < 0) return {};
  const auto length =
      static_cast<std::size_t>(SendMessageW(window, EM_LINELENGTH, static_cast<WPARAM>(start), 0));
  // The line message takes its buffer size in 16 bits: a longer line is read as a text range.
  if (length + 3 > 0xFFFF)
    return richEdit_.GetTextRange(static_cast<int>(start),
                                  static_cast<int>(start + static_cast<LRESULT>(length)));
  // Room for the line, its break and the count word the message reads first.
  std::vector<wchar_t> buffer(std::max<std::size_t>(length + 3, 2));
  buffer[0] = static_cast<wchar_t>(std::min<std::size_t>(buffer.size(), 0xFFFF));
  const auto got = static_cast<std::size_t>(SendMessageW(
      window, EM_GETLINE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data())));
  return StripLineBreak(std::wstring(buffer.data(), std::min(got, buffer.size())));
}

// The empty line after a final break is no line of the list: it is not written either.
void TRichEditStrings::Put(int index, const std::wstring& text) {
  if (!richEdit_.HandleAllocated() || index < 0 || index >= Count()) return;
  const HWND window = Window();
  const LRESULT start = SendMessageW(window, EM_LINEINDEX, static_cast<WPARAM>(index), 0);
  if (start < 0) return;
  const LRESULT length = SendMessageW(window, EM_LINELENGTH, static_cast<WPARAM>(start), 0);
  // Emptied, the last line of a text without a final break would leave the text ending in a
  // break, which counts as no line: it keeps a break of its own.
  const bool last = SendMessageW(window, EM_LINEINDEX, static_cast<WPARAM>(index + 1), 0) < 0;
  const std::wstring replacement = text.empty() && last ? LineBreak() : text;
  richEdit_.SetSelection(static_cast<int>(start), static_cast<int>(start + length), false);
  SendMessageW(window, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(replacement.c_str()));
}

void TRichEditStrings::Insert(int index, const std::wstring& text) {
  if (index < 0 || index > Count()) return;
  const HWND window = Window();
  const std::wstring lineBreak = LineBreak();
  const LRESULT start = SendMessageW(window, EM_LINEINDEX, static_cast<WPARAM>(index), 0);
  std::wstring inserted;
  int at = 0;
  if (start >= 0) {  // line Index exists: the text goes before it
    at = static_cast<int>(start);
    inserted = text + lineBreak;
  } else {  // after the last line, which has no break yet
    at = richEdit_.TextLength();
    inserted = lineBreak + text;
    // An empty line there would end the text in a break, which counts as no line: it gets a
    // break of its own.
    if (text.empty()) inserted += lineBreak;
  }
  const int before = richEdit_.TextLength();
  richEdit_.SetSelection(at, at, false);
  SendMessageW(window, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(inserted.c_str()));
  if (richEdit_.TextLength() == before) throw rtl::Exception("RichEdit line insertion error");
}

void TRichEditStrings::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  const HWND window = Window();
  const auto start =
      static_cast<int>(SendMessageW(window, EM_LINEINDEX, static_cast<WPARAM>(index), 0));
  auto end =
      static_cast<int>(SendMessageW(window, EM_LINEINDEX, static_cast<WPARAM>(index + 1), 0));
  if (end < 0) end = richEdit_.TextLength();
  richEdit_.SetSelection(start, end, false);
  SendMessageW(window, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(L""));
}

void TRichEditStrings::Clear() {
  richEdit_.Clear();
}

void TRichEditStrings::Assign(const std::vector<std::wstring>& lines) {
  std::wstring text;
  for (const std::wstring& line : lines) text += line + L"\r\n";
  const HWND window = Window();  // made first: its notifications are what the scope puts back
  const TUxCustomRichEdit::TChangeNotificationOff quiet(richEdit_);
  SetWindowTextW(window, text.c_str());
}

void TRichEditStrings::AddStrings(const ui::TStrings& lines) {
  const std::vector<std::wstring> added = lines.ToVector();
  BeginUpdate();
  try {
    for (const std::wstring& line : added) Add(line);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TRichEditStrings::SetUpdateState(bool updating) {
  richEdit_.linesUpdating_ = updating;
  if (!richEdit_.HandleAllocated()) return;
  SendMessageW(Window(), WM_SETREDRAW, !updating, 0);
  if (!updating) InvalidateRect(Window(), nullptr, TRUE);
}

// Options

TUxCustomRichEdit::TChangeNotificationOff::TChangeNotificationOff(TUxCustomRichEdit& richEdit)
    : richEdit_(richEdit) {
  if (!richEdit_.HandleAllocated()) return;
  mask_ = static_cast<DWORD>(richEdit_.Send(EM_GETEVENTMASK));
  taken_ = true;
  richEdit_.Send(EM_SETEVENTMASK, 0, mask_ & ~static_cast<DWORD>(ENM_CHANGE));
}

// A window made meanwhile has its own mask already.
TUxCustomRichEdit::TChangeNotificationOff::~TChangeNotificationOff() {
  if (taken_ && richEdit_.HandleAllocated()) richEdit_.Send(EM_SETEVENTMASK, 0, mask_);
}

void TUxCustomRichEdit::SetDrawEndPage(bool value) {
  drawEndPage_ = value;
  if (HandleAllocated()) InvalidateRect(Handle(), nullptr, TRUE);
}

void TUxCustomRichEdit::SetHideScrollBars(bool value) {
  if (value == hideScrollBars_) return;
  hideScrollBars_ = value;
  RecreateWnd();
}

void TUxCustomRichEdit::SetSelectionBar(bool value) {
  if (value == selectionBar_) return;
  selectionBar_ = value;
  RecreateWnd();
}

void TUxCustomRichEdit::SetHideSelection(bool value) {
  hideSelection_ = value;
  if (HandleAllocated()) Send(EM_HIDESELECTION, value, 0);
}

bool TUxCustomRichEdit::AutoURLDetect() {
  if (HandleAllocated() && RichEditVersion() >= 2) autoURLDetect_ = Send(EM_GETAUTOURLDETECT) != 0;
  return autoURLDetect_;
}

void TUxCustomRichEdit::SetAutoURLDetect(bool value) {
  autoURLDetect_ = value;
  if (HandleAllocated() && RichEditVersion() >= 2) Send(EM_AUTOURLDETECT, value, 0);
}

bool TUxCustomRichEdit::WordSelection() {
  if (HandleAllocated()) wordSelection_ = (Send(EM_GETOPTIONS) & ECO_AUTOWORDSELECTION) != 0;
  return wordSelection_;
}

void TUxCustomRichEdit::SetWordSelection(bool value) {
  wordSelection_ = value;
  if (!HandleAllocated()) return;
  auto options = static_cast<DWORD>(Send(EM_GETOPTIONS));
  options = value ? options | ECO_AUTOWORDSELECTION : options & ~DWORD{ECO_AUTOWORDSELECTION};
  Send(EM_SETOPTIONS, ECOOP_SET, options);
}

TRichLangOptions TUxCustomRichEdit::LangOptions() {
  if (HandleAllocated() && RichEditVersion() >= 2)
    langOptions_ = static_cast<TRichLangOptions>(Send(EM_GETLANGOPTIONS) & 0xF);
  return langOptions_;
}

void TUxCustomRichEdit::SetLangOptions(TRichLangOptions value) {
  langOptions_ = value;
  if (!HandleAllocated() || RichEditVersion() < 2) return;
  const auto others = static_cast<DWORD>(Send(EM_GETLANGOPTIONS)) & ~DWORD{0xF};
  Send(EM_SETLANGOPTIONS, 0, others | value);
}

// A negative limit means no undo, also when it is set before the window exists.
void TUxCustomRichEdit::SetUndoLimit(int value) {
  const bool multiLevel = undoLimit_ >= 2;
  undoLimit_ = std::max(value, 0);
  if (!HandleAllocated() || RichEditVersion() < 2) return;
  undoLimit_ = static_cast<int>(Send(EM_SETUNDOLIMIT, static_cast<WPARAM>(undoLimit_), 0));
  if ((undoLimit_ >= 2) != multiLevel) SwitchTextMode(plainText_);
}

void TUxCustomRichEdit::SetPlainText(bool value) {
  if (value == plainText_) return;
  plainText_ = value;
  if (HandleAllocated() && RichEditVersion() >= 2) SwitchTextMode(value);
}

// The text mode applies only to an empty control with no undo history: the content goes out
// and comes back.
void TUxCustomRichEdit::SwitchTextMode(bool saveAsPlain) {
  rtl::TMemoryStream stream;
  const bool modified = Modified();
  {
    const TRichEditStrings::TFormatScope scope(
        *lines_, saveAsPlain ? TRichStreamFormat::sfPlainText : TRichStreamFormat::sfRichText, 0);
    lines_->SaveToStream(stream);
    {
      const TChangeNotificationOff quiet(*this);
      SetWindowTextW(Handle(), L"");
      Send(EM_EMPTYUNDOBUFFER);  // the mode changes only without text and without undo history
      ApplyTextMode();
    }
    stream.SetPosition(0);
    lines_->LoadFromStream(stream);
  }
  SetModified(modified);
}

// 0, or a meaningless negative length, is the largest text the control takes.
void TUxCustomRichEdit::SetMaxLength(int value) {
  maxLength_ = value;
  if (HandleAllocated()) Send(EM_EXLIMITTEXT, 0, value <= 0 ? 0xFFFFFF : value);
}

void TUxCustomRichEdit::SetAllowObjects(bool value) {
  if (value == allowObjects_) return;
  allowObjects_ = value;
  RecreateWnd();
}

void TUxCustomRichEdit::SetTitle(const std::wstring& title) {
  title_ = title;
  if (!richEditOle_) return;
  const auto ansi = [](const std::wstring& text) {
    const int length =
        WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(std::max(length, 1)), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, result.data(), length, nullptr, nullptr);
    return result;
  };
  const std::string application = ansi(ui::Application ? ui::Application->Title() : L"");
  const std::string document = ansi(title);
  richEditOle_->SetHostNames(application.c_str(), document.c_str());
}

void TUxCustomRichEdit::SetFontCharset(BYTE charset) {
  fontCharset_ = charset;
  if (!HandleAllocated()) return;
  CHARFORMAT2W format{};
  format.cbSize = RichEditVersion() >= 2 ? sizeof(CHARFORMAT2W) : sizeof(CHARFORMATW);
  format.dwMask = CFM_CHARSET;
  format.bCharSet = charset;
  Send(EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
}

// Selection and text

CHARRANGE TUxCustomRichEdit::GetSelection() {
  CHARRANGE range{0, 0};
  if (HandleAllocated()) Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  return range;
}

void TUxCustomRichEdit::SetSelection(int startPos, int endPos, bool scrollCaret) {
  if (!HandleAllocated()) return;
  CHARRANGE range{startPos, endPos};
  Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  if (scrollCaret) Send(EM_SCROLLCARET);
}

int TUxCustomRichEdit::SelStart() {
  return GetSelection().cpMin;
}
void TUxCustomRichEdit::SetSelStart(int value) {
  SetSelection(value, value, false);
}
int TUxCustomRichEdit::SelLength() {
  const CHARRANGE range = GetSelection();
  return range.cpMax - range.cpMin;
}
void TUxCustomRichEdit::SetSelLength(int value) {
  const int start = GetSelection().cpMin;
  SetSelection(start, start + value, true);
}

std::wstring TUxCustomRichEdit::SelText() {
  const CHARRANGE range = GetSelection();
  return GetTextRange(range.cpMin, range.cpMax);
}

void TUxCustomRichEdit::SetSelText(const std::wstring& text) {
  if (HandleAllocated()) Send(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring TUxCustomRichEdit::Text() {
  if (!HandleAllocated()) return {};
  const int length = GetWindowTextLengthW(Handle());
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(Handle(), text.data(), length + 1)));
  return text;
}

int TUxCustomRichEdit::TextLength() {
  if (!HandleAllocated()) return 0;
  GETTEXTLENGTHEX request{GTL_NUMCHARS | GTL_PRECISE, 1200};
  return static_cast<int>(Send(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&request), 0));
}

bool TUxCustomRichEdit::Modified() {
  if (HandleAllocated()) modified_ = Send(EM_GETMODIFY) != 0;
  return modified_;
}

void TUxCustomRichEdit::SetModified(bool value) {
  modified_ = value;
  if (HandleAllocated()) Send(EM_SETMODIFY, value, 0);
}

void TUxCustomRichEdit::Clear() {
  if (!HandleAllocated()) {
    memStream_.reset();
    modified_ = false;
    return;
  }
  // The control's OLE interface is kept, where the plain rule releases it with the objects: it
  // is fetched when the window is made, so a cleared control would take no object again, and run
  // none of the object dialogs, until it had a new window.
  CloseObjects();
  SetWindowTextW(Handle(), L"");
  SetModified(false);
}

std::wstring TUxCustomRichEdit::GetTextRange(int startPos, int endPos) {
  if (!HandleAllocated()) return {};
  const TCharRange range = NormalizeRange(startPos, endPos, TextLength());
  std::vector<wchar_t> buffer(static_cast<std::size_t>(range.end - range.start) + 1);
  TEXTRANGEW request{{range.start, range.end}, buffer.data()};
  const auto got = static_cast<std::size_t>(
      std::max<LRESULT>(Send(EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&request)), 0));
  return std::wstring(buffer.data(), std::min(got, buffer.size() - 1));
}

int TUxCustomRichEdit::LineFromChar(int charIndex) {
  return HandleAllocated() ? static_cast<int>(Send(EM_EXLINEFROMCHAR, 0, charIndex)) : 0;
}
int TUxCustomRichEdit::GetLineIndex(int line) {
  return HandleAllocated() ? static_cast<int>(Send(EM_LINEINDEX, static_cast<WPARAM>(line))) : -1;
}
int TUxCustomRichEdit::GetLineLength(int charIndex) {
  return HandleAllocated() ? static_cast<int>(Send(EM_LINELENGTH, static_cast<WPARAM>(charIndex)))
                           : 0;
}

POINT TUxCustomRichEdit::GetCharPos(int charIndex) {
  POINT point{0, 0};
  if (!HandleAllocated()) return point;
  if (RichEditVersion() < 2) {
    POINTL at{0, 0};
    Send(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), charIndex);
    return {at.x, at.y};
  }
  const auto packed = static_cast<DWORD>(Send(EM_POSFROMCHAR, static_cast<WPARAM>(charIndex), 0));
  return {static_cast<short>(LOWORD(packed)), static_cast<short>(HIWORD(packed))};
}

POINT TUxCustomRichEdit::GetCaretPos() {
  const int start = GetSelection().cpMin;
  const int line = LineFromChar(start);
  return {start - GetLineIndex(line), line};
}

// The word around the caret, within its line: the control's delimiter tests find it and its left
// and right word breaks bound it; white space bounds it when the control answers no such test.
std::wstring TUxCustomRichEdit::WordAtCursor() {
  const CHARRANGE word = WordRange();
  return word.cpMin < word.cpMax ? GetTextRange(word.cpMin, word.cpMax) : std::wstring();
}

CHARRANGE TUxCustomRichEdit::WordRange() {
  if (!HandleAllocated()) return {0, 0};
  const int caret = GetSelection().cpMin;
  const int lineStart = GetLineIndex(LineFromChar(caret));
  const std::wstring line = GetTextRange(lineStart, lineStart + GetLineLength(caret));
  const auto ask = [&](WPARAM code, int at) {
    return static_cast<int>(Send(EM_FINDWORDBREAK, code, lineStart + at));
  };
  const TCharRange word = WordAround(
      line, caret - lineStart, [&](int at) { return ask(WB_ISDELIMITER, at) != 0; },
      [&](int at) { return ask(WB_LEFT, at) - lineStart; },
      [&](int at) { return ask(WB_RIGHTBREAK, at) - lineStart; });
  return {lineStart + word.start, lineStart + word.end};
}

int TUxCustomRichEdit::GetSelTextBuf(wchar_t* buffer, int bufSize) {
  if (!buffer || bufSize <= 0) return 0;
  const std::wstring text = SelText();
  const int count = SelTextCopyCount(static_cast<int>(text.size()), bufSize);
  std::copy_n(text.begin(), count, buffer);
  buffer[count] = L'\0';
  return count;
}

std::string TUxCustomRichEdit::RtfSelText() {
  rtl::TMemoryStream stream;
  const TRichEditStrings::TFormatScope scope(*lines_, lines_->Format(),
                                             lines_->Mode() | smSelection);
  lines_->SaveToStream(stream);
  return std::string(stream.Bytes().begin(), stream.Bytes().end());
}

void TUxCustomRichEdit::SetRtfSelText(const std::string& rtf) {
  rtl::TMemoryStream stream(std::vector<std::uint8_t>(rtf.begin(), rtf.end()));
  const TRichEditStrings::TFormatScope scope(*lines_, lines_->Format(),
                                             lines_->Mode() | smSelection);
  lines_->LoadFromStream(stream);
}

// Undo

bool TUxCustomRichEdit::CanUndo() {
  return HandleAllocated() && Send(EM_CANUNDO) != 0;
}
void TUxCustomRichEdit::Undo() {
  if (HandleAllocated()) Send(EM_UNDO);
}
bool TUxCustomRichEdit::CanRedo() {
  return HandleAllocated() && RichEditVersion() >= 2 && Send(EM_CANREDO) != 0;
}
void TUxCustomRichEdit::Redo() {
  if (HandleAllocated() && RichEditVersion() >= 2) Send(EM_REDO);
}
bool TUxCustomRichEdit::CanPaste() {
  return HandleAllocated() && Send(EM_CANPASTE) != 0;
}
void TUxCustomRichEdit::ClearUndo() {
  if (HandleAllocated()) Send(EM_EMPTYUNDOBUFFER);
}
void TUxCustomRichEdit::StopGroupTyping() {
  if (HandleAllocated() && RichEditVersion() >= 2) Send(EM_STOPGROUPTYPING);
}

namespace {

TUndoName UndoNameOf(LRESULT id) {
  return id >= 0 && id <= static_cast<LRESULT>(TUndoName::unPaste) ? static_cast<TUndoName>(id)
                                                                   : TUndoName::unUnknown;
}

}  // namespace

TUndoName TUxCustomRichEdit::UndoName() {
  if (!HandleAllocated() || RichEditVersion() < 2) return TUndoName::unUnknown;
  return UndoNameOf(Send(EM_GETUNDONAME));
}
TUndoName TUxCustomRichEdit::RedoName() {
  if (!HandleAllocated() || RichEditVersion() < 2) return TUndoName::unUnknown;
  return UndoNameOf(Send(EM_GETREDONAME));
}
TRichSelectionTypes TUxCustomRichEdit::SelectionType() {
  if (!HandleAllocated()) return 0;
  return static_cast<TRichSelectionTypes>(Send(EM_SELECTIONTYPE) & 0xF);
}

// Search

int TUxCustomRichEdit::FindText(const std::wstring& searchStr, int startPos, int length,
                                TRichSearchTypes options) {
  if (!HandleAllocated()) return -1;
  const int version = RichEditVersion();
  const TCharRange range = FindRange(startPos, length, options, version);
  FINDTEXTEXW request{};
  request.lpstrText = searchStr.c_str();
  const auto search = [&](TCharRange within, TRichSearchTypes how) {
    request.chrg = {within.start, within.end};
    return static_cast<int>(
        Send(EM_FINDTEXTEXW, FindFlags(how, version), reinterpret_cast<LPARAM>(&request)));
  };
  int found = -1;
  // Some rich edits (Wine's) miss, searching backward for whole words, the hit that ends right
  // where the search starts. That hit is the nearest a backward search can give, so a forward
  // search over just its stretch is asked first.
  const int patternLength = static_cast<int>(searchStr.size());
  if ((options & stBackward) && (options & stWholeWord) && version >= 2 && patternLength > 0 &&
      range.start - patternLength >= range.end)
    found = search({range.start - patternLength, range.start},
                   static_cast<TRichSearchTypes>(options & ~stBackward));
  if (found < 0) found = search(range, options);
  if (found >= 0 && (options & stSetSelection))
    SetSelection(request.chrgText.cpMin, request.chrgText.cpMax, true);
  return found;
}

void TUxCustomRichEdit::FindDialog(const std::wstring& searchStr) {
  ShowFindDialog(TFindDialogKind::fdFind, searchStr, {});
}

void TUxCustomRichEdit::ReplaceDialog(const std::wstring& searchStr,
                                      const std::wstring& replaceStr) {
  ShowFindDialog(TFindDialogKind::fdReplace, searchStr, replaceStr);
}

HWND TUxCustomRichEdit::FindDialogWindow(TFindDialogKind kind) const {
  const FindState* state =
      kind == TFindDialogKind::fdFind ? findDialog_.get() : replaceDialog_.get();
  return state ? state->window : nullptr;
}

void TUxCustomRichEdit::ShowFindDialog(TFindDialogKind kind, const std::wstring& searchStr,
                                       const std::wstring& replaceStr) {
  std::unique_ptr<FindState>& state =
      kind == TFindDialogKind::fdFind ? findDialog_ : replaceDialog_;
  if (!state) {
    state = std::make_unique<FindState>();
    state->kind = kind;
    state->request.Flags = FR_DOWN;
  }
  lastFind_ = state.get();
  lstrcpynW(state->findWhat, searchStr.c_str(), 256);
  lstrcpynW(state->replaceWith, replaceStr.c_str(), 256);
  if (state->window) {
    SetDlgItemTextW(state->window, edt1, state->findWhat);
    if (kind == TFindDialogKind::fdReplace)
      SetDlgItemTextW(state->window, edt2, state->replaceWith);
    SetForegroundWindow(state->window);
    return;
  }
  FINDREPLACEW& request = state->request;
  request.lStructSize = sizeof request;
  request.hwndOwner = FindDialogOwner();
  request.lpstrFindWhat = state->findWhat;
  request.wFindWhatLen = 256;
  request.lpstrReplaceWith = state->replaceWith;
  request.wReplaceWithLen = 256;
  if (RichEditVersion() < 2) request.Flags |= FR_DOWN | FR_HIDEUPDOWN;
  state->window =
      kind == TFindDialogKind::fdFind ? ::FindTextW(&request) : ::ReplaceTextW(&request);
  // Modeless: the application's loop gives it the dialog keys.
  if (ui::Application) ui::Application->AddModelessDialog(state->window);
}

// A dialog sends its requests to the window it was made for, for as long as it is open. This
// control's window may be replaced meanwhile (some options need a new one), its form's stays:
// the dialog reports to the form, where a hook hands this control's requests over. Without a
// form the control's own window takes them.
HWND TUxCustomRichEdit::FindDialogOwner() {
  ui::TCustomForm* form = ParentForm();
  if (!form) return Handle();
  if (!findHook_) {
    findHook_ = ui::Create<win32::TUxWindowHook>(*this);
    findHook_->BeforeMessage = [this](win32::TUxWindowHook&, TMessage& message, bool& handled) {
      const auto* request = reinterpret_cast<const FINDREPLACEW*>(message.lParam);
      if (message.msg != FindMessage() || !DialogOf(request)) return;  // another control's
      handled = true;
      FindDialogRequest(*request);
    };
  }
  findHook_->SetWinControl(form);
  return form->Handle();
}

bool TUxCustomRichEdit::CanFindNext() const {
  return lastFind_ && lastFind_->findWhat[0] != L'\0';
}

bool TUxCustomRichEdit::FindNext() {
  return CanFindNext() && SearchFromDialog(lastFind_->request);
}

bool TUxCustomRichEdit::SearchFromDialog(const FINDREPLACEW& request) {
  TRichSearchTypes options = stSetSelection;
  if (request.Flags & FR_WHOLEWORD) options |= stWholeWord;
  if (request.Flags & FR_MATCHCASE) options |= stMatchCase;
  const CHARRANGE selection = GetSelection();
  int found = -1;
  if ((request.Flags & FR_DOWN) || RichEditVersion() < 2) {
    found =
        FindText(request.lpstrFindWhat, selection.cpMax, TextLength() - selection.cpMax, options);
  } else {
    found = FindText(request.lpstrFindWhat, 0, selection.cpMin, options | stBackward);
  }
  if (found < 0) {
    if (OnTextNotFound) OnTextNotFound(this, request.lpstrFindWhat);
    return false;
  }
  if (const FindState* state = DialogOf(&request); state && state->window)
    MoveDialogOffSelection(state->window);
  return true;
}

// A dialog over the found text moves above it, or below it when there is no room above.
void TUxCustomRichEdit::MoveDialogOffSelection(HWND dialog) {
  const CHARRANGE selection = GetSelection();
  POINT top = GetCharPos(selection.cpMin);
  POINT bottom = GetCharPos(selection.cpMax);
  ClientToScreen(Handle(), &top);
  ClientToScreen(Handle(), &bottom);
  const int lineHeight = std::max(Font().Height() < 0 ? -Font().Height() : Font().Height(), 8) * 2;
  RECT selected{std::min(top.x, bottom.x), top.y, std::max(top.x, bottom.x) + 1,
                bottom.y + lineHeight};
  RECT box;
  GetWindowRect(dialog, &box);
  RECT overlap;
  if (!IntersectRect(&overlap, &box, &selected)) return;
  const int height = box.bottom - box.top;
  int y = selected.top - height;
  if (y < 0)
    y = std::min(static_cast<int>(selected.bottom), GetSystemMetrics(SM_CYSCREEN) - height);
  SetWindowPos(dialog, nullptr, box.left, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

TUxCustomRichEdit::FindState* TUxCustomRichEdit::DialogOf(const FINDREPLACEW* request) const {
  for (FindState* state : {findDialog_.get(), replaceDialog_.get()})
    if (state && &state->request == request) return state;
  return nullptr;
}

void TUxCustomRichEdit::FindDialogRequest(const FINDREPLACEW& request) {
  FindState* state = DialogOf(&request);
  if (request.Flags & FR_DIALOGTERM) {
    if (state && ui::Application) ui::Application->RemoveModelessDialog(state->window);
    if (state) state->window = nullptr;
    if (findHook_ && !FindDialogWindow(TFindDialogKind::fdFind) &&
        !FindDialogWindow(TFindDialogKind::fdReplace))
      findHook_->SetWinControl(nullptr);  // the form's own procedure again
    if (OnCloseFindDialog && state) OnCloseFindDialog(this, state->kind);
    return;
  }
  if (state) lastFind_ = state;
  const std::wstring what = request.lpstrFindWhat ? request.lpstrFindWhat : L"";
  const std::wstring with = request.lpstrReplaceWith ? request.lpstrReplaceWith : L"";
  if (request.Flags & FR_FINDNEXT) {
    SearchFromDialog(request);
  } else if (request.Flags & FR_REPLACE) {
    const std::wstring selected = SelText();
    const bool matches = (request.Flags & FR_MATCHCASE)
                             ? selected == what
                             : CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE,
                                              selected.c_str(), -1, what.c_str(), -1) == CSTR_EQUAL;
    if (!what.empty() && matches) SetSelText(with);
    SearchFromDialog(request);
  } else if (request.Flags & FR_REPLACEALL) {
    if (what.empty()) return;
    TRichSearchTypes options = 0;
    if (request.Flags & FR_WHOLEWORD) options |= stWholeWord;
    if (request.Flags & FR_MATCHCASE) options |= stMatchCase;
    int replaced = 0;
    {
      const TChangeNotificationOff quiet(*this);
      int position = 0;  // every hit of the text, those before the caret too
      // Each replacement moves the search past the text put in, so it ends.
      for (int length = TextLength(); position <= length; length = TextLength()) {
        FINDTEXTEXW find{};
        find.chrg = {position, length};
        find.lpstrText = what.c_str();
        if (Send(EM_FINDTEXTEXW, FindFlags(options, RichEditVersion()),
                 reinterpret_cast<LPARAM>(&find)) < 0)
          break;
        SetSelection(find.chrgText.cpMin, find.chrgText.cpMax, false);
        SetSelText(with);
        ++replaced;
        position = GetSelection().cpMax;
        if (position <= find.chrgText.cpMin && with.empty()) position = find.chrgText.cpMin;
        if (find.chrgText.cpMax == find.chrgText.cpMin) break;  // an empty hit would not move
      }
    }
    if (replaced == 0 && OnTextNotFound) OnTextNotFound(this, what);
  }
}

// Notifications and messages

bool TUxCustomRichEdit::CommandReflected(WORD code, LRESULT&) {
  if (code != EN_CHANGE) return false;
  if (OnChange) OnChange(this);
  return true;
}

bool TUxCustomRichEdit::LinkNotification(const ENLINK& link) {
  switch (link.msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      clickRange_ = link.chrg;
      clickBtn_ = link.msg == WM_LBUTTONDOWN ? ui::TMouseButton::mbLeft : ui::TMouseButton::mbRight;
      return false;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
      const auto button =
          link.msg == WM_LBUTTONUP ? ui::TMouseButton::mbLeft : ui::TMouseButton::mbRight;
      const bool same = button == clickBtn_ && link.chrg.cpMin == clickRange_.cpMin &&
                        link.chrg.cpMax == clickRange_.cpMax;
      clickRange_ = {-1, -1};
      if (same && OnURLClick)
        OnURLClick(this, GetTextRange(link.chrg.cpMin, link.chrg.cpMax), button);
      return false;
    }
    default:
      return false;
  }
}

bool TUxCustomRichEdit::NotifyReflected(NMHDR& header, LRESULT& result) {
  result = 0;
  switch (header.code) {
    case EN_SELCHANGE:
      if (OnSelectionChange) OnSelectionChange(this);
      return true;
    case EN_REQUESTRESIZE:
      if (OnResizeRequest) {
        const RECT& r = reinterpret_cast<REQRESIZE&>(header).rc;
        OnResizeRequest(this, {r.left, r.top, r.right, r.bottom});
      }
      return true;
    case EN_PROTECTED: {
      const auto& info = reinterpret_cast<ENPROTECTED&>(header);
      bool allow = true;
      if (OnProtectChange) OnProtectChange(this, info.chrg.cpMin, info.chrg.cpMax, allow);
      if (OnProtectChangeEx) {
        const ui::TMessage message{info.msg, info.wParam, info.lParam, 0};
        OnProtectChangeEx(this, message, info.chrg.cpMin, info.chrg.cpMax, allow);
      }
      result = allow ? 0 : 1;
      return true;
    }
    case EN_SAVECLIPBOARD: {
      const auto& info = reinterpret_cast<ENSAVECLIPBOARD&>(header);
      bool save = true;
      if (OnSaveClipboard) OnSaveClipboard(this, info.cObjectCount, info.cch, save);
      result = save ? 0 : 1;
      return true;
    }
    case EN_LINK:
      result = LinkNotification(reinterpret_cast<ENLINK&>(header)) ? 1 : 0;
      return true;
    default:
      return false;
  }
}

void TUxCustomRichEdit::WndProc(ui::TMessage& message) {
  if (message.Msg == FindMessage() && message.LParam) {
    FindDialogRequest(*reinterpret_cast<const FINDREPLACEW*>(message.LParam));
    return;
  }
  switch (message.Msg) {
    case WM_DESTROY:
      if (!destroying_) KeepContent();
      CloseObjects();
      ReleaseOle();
      break;
    case WM_NCDESTROY:
      ui::TMemo::WndProc(message);
      HandleDestroyed();
      return;
    case WM_RBUTTONUP: {
      rightButtonUp_ = true;
      ui::TMemo::WndProc(message);
      rightButtonUp_ = false;
      if (!HandleAllocated()) return;
      POINT at{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
      ClientToScreen(Handle(), &at);
      Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Handle()), MAKELPARAM(at.x, at.y));
      return;
    }
    case WM_CONTEXTMENU:
      if (rightButtonUp_) return;  // ours follows the release
      if (ContextMenu(message)) return;
      break;
    case WM_PAINT:
      Paint(message);
      return;
    case EM_REPLACESEL:
      if (message.WParam == 0 && undoLimit_ >= 2 && RichEditVersion() >= 2 && !linesUpdating_ &&
          message.LParam) {
        // Undoable, and the text put in is selected and shown.
        const CHARRANGE selection = GetSelection();
        const int kept = TextLength() - (selection.cpMax - selection.cpMin);
        message.WParam = TRUE;
        ui::TMemo::WndProc(message);
        SetSelection(selection.cpMin, selection.cpMin + TextLength() - kept, true);
        return;
      }
      break;
    default:
      break;
  }
  ui::TMemo::WndProc(message);
}

}  // namespace ux
