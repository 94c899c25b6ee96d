// The rich-edit control on the platform's library under Wine: the window it makes, streams in
// and out, attributes, lines, search and replace, notifications, undo, printing to the
// prefix's print-to-file printer, and the OLE side as far as Wine's dialogs go.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "../../rtl/temp_folder.h"
#include "../../ui/win32/gui_fixture.h"
#include "rtl/exceptions.h"
#include "ui/properties.h"
#include "ui/text.h"
#include "ui/win32/menus.h"
#include "ux/modules.h"
#include "ux/win32/rich_edit.h"
#include "ux/win32/rich_edit_ole.h"

namespace ux {
namespace {

std::vector<std::uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

class RichEditTest : public UiGuiTest {
 protected:
  RichEditTest() {
    InitModules();
    form = ui::Create<ui::TForm>(*ui::Application);
    form->FinishLoading();
    form->SetClientSize(400, 300);
    edit = Add();
    form->Show();
    Pump();
  }
  ~RichEditTest() override {
    ui::Free(form);
    DoneModules();
  }

  TUxRichEdit* Add() {
    auto* control = ui::Create<TUxRichEdit>(*form);
    control->SetParent(form);
    control->SetBounds(0, 0, 400, 150);
    return control;
  }
  void LoadRtf(TUxCustomRichEdit& control, std::string_view rtf) {
    rtl::TMemoryStream stream(Bytes(rtf));
    control.Lines().LoadFromStream(stream);
  }
  static std::string SaveRtf(TUxCustomRichEdit& control) {
    rtl::TMemoryStream stream;
    control.Lines().SetFormat(TRichStreamFormat::sfRichText);
    control.Lines().SaveToStream(stream);
    return {stream.Bytes().begin(), stream.Bytes().end()};
  }
  // The text as the control keeps it (paragraphs end with a CR).
  static std::wstring RawText(TUxCustomRichEdit& control) {
    wchar_t text[4096] = {};
    GETTEXTEX request{sizeof text, GT_DEFAULT, 1200, nullptr, nullptr};
    SendMessageW(control.Handle(), EM_GETTEXTEX, reinterpret_cast<WPARAM>(&request),
                 reinterpret_cast<LPARAM>(text));
    return text;
  }

  ui::TForm* form = nullptr;
  TUxRichEdit* edit = nullptr;
};

TEST_F(RichEditTest, WindowOfTheNewerLibrary) {
  EXPECT_EQ(RichEditVersion(), 3);
  wchar_t className[64] = {};
  GetClassNameW(edit->Handle(), className, 64);
  EXPECT_STREQ(className, L"RichEdit20W");
  EXPECT_EQ(SendMessageW(edit->Handle(), EM_GETEVENTMASK, 0, 0), 0x42C0001);
  auto style = static_cast<DWORD>(GetWindowLongPtrW(edit->Handle(), GWL_STYLE));
  EXPECT_TRUE(style & ES_SAVESEL);
  EXPECT_TRUE(style & ES_SELECTIONBAR);
  EXPECT_FALSE(style & ES_DISABLENOSCROLL);
  // Scroll bars shown even when not needed: a new window with the vertical bar only (wrapped
  // lines need no horizontal one).
  edit->SetHideScrollBars(false);
  style = static_cast<DWORD>(GetWindowLongPtrW(edit->Handle(), GWL_STYLE));
  EXPECT_TRUE(style & ES_DISABLENOSCROLL);
  EXPECT_TRUE(style & WS_VSCROLL);
  EXPECT_FALSE(style & WS_HSCROLL);
  EXPECT_EQ(edit->UndoLimit(), 100);
  EXPECT_TRUE(edit->AutoURLDetect());
  EXPECT_TRUE(edit->WordSelection());
  EXPECT_NE(edit->RichEditOle(), nullptr);
  EXPECT_NE(RichEditClipboardFormats().richText, 0U);
  // Its stored settings by name.
  const ui::PropInfo* undoLimit = ui::FindProp(*edit, L"UndoLimit");
  ASSERT_NE(undoLimit, nullptr);
  EXPECT_TRUE(ui::SetPropText(*edit, *undoLimit, L"5"));
  EXPECT_EQ(edit->UndoLimit(), 5);
  EXPECT_EQ(ui::GetPropText(*edit, *ui::FindProp(*edit, L"Title")), L"");
  // Its options, each turned from its default and read back by name.
  const struct {
    const wchar_t* name;
    bool (TUxRichEdit::*get)() const;
  } options[] = {
      {L"AllowInPlace", &TUxRichEdit::AllowInPlace},
      {L"AllowObjects", &TUxRichEdit::AllowObjects},
      {L"AutoVerbMenu", &TUxRichEdit::AutoVerbMenu},
      {L"DrawEndPage", &TUxRichEdit::DrawEndPage},
      {L"HideScrollBars", &TUxRichEdit::HideScrollBars},
      {L"HideSelection", &TUxRichEdit::HideSelection},
      {L"PlainText", &TUxRichEdit::PlainText},
      {L"SelectionBar", &TUxRichEdit::SelectionBar},
  };
  for (const auto& option : options) {
    SCOPED_TRACE(ui::Utf8FromWide(option.name));
    const ui::PropInfo* prop = ui::FindProp(*edit, option.name);
    ASSERT_NE(prop, nullptr);
    const bool was = (edit->*option.get)();
    EXPECT_EQ(ui::GetPropText(*edit, *prop), was ? L"True" : L"False");
    EXPECT_TRUE(ui::SetPropText(*edit, *prop, was ? L"False" : L"True"));
    EXPECT_EQ((edit->*option.get)(), !was);
  }
}

// Streams in, out and in again: the second stream-out equals the first; plain text keeps its
// characters and lines whatever its encoding.
TEST_F(RichEditTest, StreamsRoundTrip) {
  LoadRtf(*edit,
          "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red200\\green10\\blue30;}"
          "\\f0\\fs24 plain \\b bold\\b0  \\i italic\\i0  \\cf1 red\\cf0\\par second}");
  EXPECT_EQ(RawText(*edit), L"plain bold italic red\rsecond");
  EXPECT_EQ(edit->SelStart(), 0);
  const std::string first = SaveRtf(*edit);
  TUxRichEdit* copy = Add();
  LoadRtf(*copy, first);
  EXPECT_EQ(SaveRtf(*copy), first);
  EXPECT_EQ(RawText(*copy), RawText(*edit));

  struct Case {
    const char* name;
    std::string bytes;
    bool plain;
    std::wstring expected;
  };
  const Case cases[] = {
      {"utf-8 with lf",
       "\xEF\xBB\xBF"
       "a\nb\n\xC3\xA9",
       true, L"a\rb\r\u00E9"},
      {"utf-16 le",
       std::string("\xFF\xFE"
                   "x\0\r\0\n\0\x16\x04",
                   10),
       true, L"x\r\u0416"},
      {"rtf read as text", "{\\rtf1 x}", true, L"{\\rtf1 x}"},
      {"rtf", "{\\rtf1 x}", false, L"x"},
  };
  for (const Case& c : cases) {
    edit->SetPlainText(c.plain);
    rtl::TMemoryStream stream(Bytes(c.bytes));
    edit->Lines().SetFormat(TRichStreamFormat::sfDefault);
    edit->Lines().LoadFromStream(stream);
    EXPECT_EQ(RawText(*edit), c.expected) << c.name;
  }
  // Plain text out: UTF-16 LE after its mark by default, or UTF-8 when asked.
  edit->SetPlainText(true);
  rtl::TMemoryStream in(Bytes("a\r\n\xC3\xA9"));
  edit->Lines().LoadFromStream(in, TStreamEncoding::Utf8);
  rtl::TMemoryStream utf16, utf8;
  edit->Lines().SaveToStream(utf16);
  edit->Lines().SaveToStream(utf8, TStreamEncoding::Utf8);
  EXPECT_EQ(utf16.Bytes(), Bytes(std::string("\xFF\xFE"
                                             "a\0\r\0\n\0\xE9\0",
                                             10)));
  EXPECT_EQ(utf8.Bytes(), Bytes("\xEF\xBB\xBF"
                                "a\r\n\xC3\xA9"));
}

TEST_F(RichEditTest, FilesThroughTheConversionFormats) {
  TTempFolder folder;
  LoadRtf(*edit, "{\\rtf1 \\b bold\\b0  text}");
  edit->Lines().SaveToFile(folder.Path() / "a.rtf");
  edit->Lines().SaveToFile(folder.Path() / "a.TXT");
  std::ifstream rtf(folder.Path() / "a.rtf", std::ios::binary);
  std::string head(5, '\0');
  rtf.read(head.data(), 5);
  EXPECT_EQ(head, "{\\rtf");
  EXPECT_EQ(std::filesystem::file_size(folder.Path() / "a.TXT"), 2 + 9 * 2U);  // mark and text
  edit->Clear();
  edit->Lines().LoadFromFile(folder.Path() / "a.txt");
  EXPECT_EQ(RawText(*edit), L"bold text");
  edit->Lines().LoadFromFile(folder.Path() / "a.rtf");
  edit->SetSelection(0, 4, false);
  EXPECT_EQ(edit->SelAttributes().Style(), ui::fsBold);

  // A save that fails on its way leaves the file there as it was.
  struct TFailingConversion : TConversion {
    std::size_t ConvertWriteStream(rtl::TStream&, std::span<const std::uint8_t>) override {
      throw rtl::Exception("The disk is full");
    }
  };
  RegisterConversionFormat(L"bad", false, [] { return std::make_unique<TFailingConversion>(); });
  const std::filesystem::path kept = folder.Path() / "kept.bad";
  std::ofstream(kept, std::ios::binary) << "the old text";
  EXPECT_THROW(edit->Lines().SaveToFile(kept), rtl::Exception);
  std::ifstream old(kept, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(old), {}), "the old text");
}

// Text that the control does not take as rich text comes in again as plain text, in place of
// the selection only: the rest of the document stays.
TEST_F(RichEditTest, ASelectionLoadedAgainAsTextKeepsTheRest) {
  const struct {
    const char* in;
    const wchar_t* expected;
  } cases[] = {
      {"{\\rtf1 ok}", L"hello ok"},
      {"not rtf at all", L"hello not rtf at all"},
      {"{\\rtf1 {broken", L"hello {\\rtf1 {broken"},
  };
  for (const auto& c : cases) {
    LoadRtf(*edit, "{\\rtf1 hello world}");
    edit->SetSelection(6, 11, false);
    edit->SetRtfSelText(c.in);
    EXPECT_EQ(RawText(*edit), c.expected) << c.in;
  }
}

TEST_F(RichEditTest, AttributesSetAndReadBack) {
  LoadRtf(*edit, "{\\rtf1 one two three\\par four}");
  TUxTextAttributes& sel = edit->SelAttributes();
  edit->SetSelection(0, 3, false);
  sel.SetStyle(ui::fsBold | ui::fsItalic);
  sel.SetColor(ui::clWindowText);
  sel.SetSize(14);
  sel.SetName(L"Liberation Serif");
  sel.SetUnderlineType(TUnderlineType::utDouble);
  sel.SetSubscriptStyle(TSubscriptStyle::ssSuperscript);
  edit->SetSelection(4, 7, false);
  sel.SetColor(0x3366CC);
  sel.SetHidden(true);
  sel.SetLink(true);

  edit->SetSelection(0, 3, false);
  EXPECT_EQ(sel.Style(), ui::fsBold | ui::fsItalic | ui::fsUnderline);
  EXPECT_EQ(sel.Color(), ui::clWindowText);
  EXPECT_EQ(sel.Size(), 14);
  EXPECT_EQ(sel.Name(), L"Liberation Serif");
  EXPECT_EQ(sel.UnderlineType(), TUnderlineType::utDouble);
  EXPECT_EQ(sel.SubscriptStyle(), TSubscriptStyle::ssSuperscript);
  EXPECT_TRUE(Has(sel.ConsistentAttributes(), caBold));
  edit->SetSelection(4, 7, false);
  EXPECT_EQ(sel.Color(), 0x3366CCU);
  EXPECT_TRUE(sel.Hidden());
  EXPECT_TRUE(sel.Link());
  EXPECT_FALSE(sel.Protected());
  // A range over bold and normal text is not consistently bold.
  edit->SetSelection(0, 7, false);
  EXPECT_FALSE(Has(sel.ConsistentAttributes(), caBold));
  EXPECT_EQ(edit->DefAttributes().ConsistentAttributes(), 0U);

  TUxParaAttributes& para = edit->Paragraph();
  edit->SetSelection(0, 0, false);
  para.SetAlignment(TParaAlignment::paCenter);
  para.SetFirstIndent(10);
  para.SetLeftIndent(5);
  para.SetRightIndent(3);
  para.SetNumbering(TUxNumbering::nsBullet);
  para.SetSpaceAfter(6);
  para.SetTab(3, 72);
  EXPECT_EQ(para.Alignment(), TParaAlignment::paCenter);
  EXPECT_EQ(para.FirstIndent(), 10);
  EXPECT_EQ(para.LeftIndent(), 5);
  EXPECT_EQ(para.RightIndent(), 3);
  EXPECT_EQ(para.Numbering(), TUxNumbering::nsBullet);
  EXPECT_EQ(para.SpaceAfter(), 6);
  EXPECT_EQ(para.TabCount(), 4);
  EXPECT_EQ(para.Tab(3), 72);
  // Tab stops beyond the record's 32 are refused, the others untouched.
  para.SetTab(40, 10);
  para.SetTab(-1, 10);
  EXPECT_EQ(para.TabCount(), 4);
  EXPECT_EQ(para.Tab(40), 0);
  // The second paragraph keeps its own format.
  edit->SetSelection(16, 16, false);
  EXPECT_EQ(para.Alignment(), TParaAlignment::paLeftJustify);

  // A font in and out.
  ui::TFont font;
  font.SetName(L"Liberation Mono");
  font.SetSize(9);
  font.SetStyle(ui::fsStrikeOut);
  edit->SetSelection(8, 13, false);
  sel.Assign(font);
  ui::TFont back;
  sel.AssignTo(back);
  EXPECT_EQ(back.Name(), L"Liberation Mono");
  EXPECT_EQ(back.Size(), 9);
  EXPECT_EQ(back.Style(), ui::fsStrikeOut);
}

TEST_F(RichEditTest, AttributesWithoutAWindowReadZero) {
  auto* loose = ui::Create<TUxRichEdit>(*form);  // no parent: no window
  EXPECT_EQ(loose->SelAttributes().Size(), 0);
  loose->SelAttributes().SetSize(20);
  EXPECT_FALSE(loose->HandleAllocated());
  EXPECT_EQ(loose->Paragraph().TabCount(), 0);
  EXPECT_EQ(loose->FindText(L"x", 0, -1, 0), -1);
  EXPECT_EQ(loose->GetTextRange(0, -1), L"");
}

TEST_F(RichEditTest, LinesEditing) {
  ui::TStrings& lines = edit->Lines();
  EXPECT_EQ(lines.Count(), 0);
  lines.Add(L"a");
  lines.Add(L"b");
  EXPECT_EQ(lines.Count(), 2);
  EXPECT_EQ(lines.Get(0), L"a");
  EXPECT_EQ(lines.Get(1), L"b");
  lines.Insert(0, L"z");
  lines.Put(2, L"B");
  lines.Delete(-1);  // not the caret's line
  lines.Delete(5);
  EXPECT_EQ(lines.ToVector(), (std::vector<std::wstring>{L"z", L"a", L"B"}));
  lines.Delete(1);
  EXPECT_EQ(lines.ToVector(), (std::vector<std::wstring>{L"z", L"B"}));
  // After text without a final break, a new line starts one.
  SetWindowTextW(edit->Handle(), L"x");
  lines.Add(L"y");
  EXPECT_EQ(lines.ToVector(), (std::vector<std::wstring>{L"x", L"y"}));
  lines.Assign({L"1", L"2", L"3"});
  EXPECT_EQ(lines.Count(), 3);
  lines.Clear();
  EXPECT_EQ(lines.Count(), 0);
  EXPECT_FALSE(edit->Modified());
}

TEST_F(RichEditTest, RangesAndQueries) {
  LoadRtf(*edit, "{\\rtf1 hello world\\par second line}");
  EXPECT_EQ(edit->GetTextRange(6, -1), L"world\rsecond line");
  EXPECT_EQ(edit->GetTextRange(11, 6), L"world");
  EXPECT_EQ(edit->GetTextRange(-4, 5), L"hello");
  EXPECT_EQ(edit->LineFromChar(14), 1);
  EXPECT_EQ(edit->GetLineIndex(1), 12);
  EXPECT_EQ(edit->GetLineLength(14), 11);
  edit->SetSelection(15, 15, false);
  EXPECT_EQ(edit->GetCaretPos().x, 3);
  EXPECT_EQ(edit->GetCaretPos().y, 1);
  edit->SetSelection(0, 5, false);
  wchar_t buffer[8];
  buffer[0] = L'#';
  EXPECT_EQ(edit->GetSelTextBuf(buffer, 0), 0);
  EXPECT_EQ(buffer[0], L'#');
  EXPECT_EQ(edit->GetSelTextBuf(buffer, 3), 2);
  EXPECT_STREQ(buffer, L"he");
  EXPECT_EQ(edit->GetSelTextBuf(buffer, 8), 5);
  EXPECT_STREQ(buffer, L"hello");
  EXPECT_EQ(edit->SelectionType(), stText | stMultiChar);
  edit->SetSelLength(2);
  EXPECT_EQ(edit->SelText(), L"he");
  // The selection as rich text, and rich text in its place.
  EXPECT_NE(edit->RtfSelText().find("he}"), std::string::npos);
  edit->SetSelection(6, 11, false);
  edit->SetRtfSelText("{\\rtf1 \\b there\\b0}");
  EXPECT_EQ(edit->GetTextRange(0, 12), L"hello there\r");
}

TEST_F(RichEditTest, FindText) {
  LoadRtf(*edit, "{\\rtf1 Cat cat category cat.}");
  struct Case {
    const char* name;
    const wchar_t* what;
    int start, length;
    TRichSearchTypes options;
    int expected;
  };
  const Case cases[] = {
      {"forward", L"cat", 0, -1, 0, 0},
      {"match case", L"cat", 0, -1, stMatchCase, 4},
      {"whole word from 5", L"cat", 5, -1, stWholeWord, 17},
      {"backward", L"cat", 0, 16, stBackward, 8},
      {"backward whole word", L"cat", 0, 16, stBackward | stWholeWord, 4},
      {"no hit", L"dog", 0, -1, 0, -1},
      {"outside the range", L"category", 0, 10, 0, -1},
  };
  for (const Case& c : cases) {
    edit->SetSelection(1, 2, false);
    EXPECT_EQ(edit->FindText(c.what, c.start, c.length, c.options), c.expected) << c.name;
    EXPECT_EQ(edit->SelStart(), 1) << c.name;  // the selection stays without stSetSelection
  }
  EXPECT_EQ(edit->FindText(L"category", 0, -1, stSetSelection), 8);
  EXPECT_EQ(edit->SelStart(), 8);
  EXPECT_EQ(edit->SelLength(), 8);
}

// The dialogs' requests: find next, replace, replace all (also when the replacement holds the
// searched text), a miss, and the dialog closing.
TEST_F(RichEditTest, FindAndReplaceDialogs) {
  std::vector<std::wstring> misses;
  std::vector<TFindDialogKind> closed;
  edit->OnTextNotFound = [&](ui::TComponent*, const std::wstring& what) { misses.push_back(what); };
  edit->OnCloseFindDialog = [&](ui::TComponent*, TFindDialogKind kind) { closed.push_back(kind); };
  LoadRtf(*edit, "{\\rtf1 a b a b a}");
  EXPECT_FALSE(edit->CanFindNext());
  edit->ReplaceDialog(L"a", L"aa");
  const HWND dialog = edit->FindDialogWindow(TFindDialogKind::fdReplace);
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(edit->CanFindNext());

  FINDREPLACEW request{};
  request.lStructSize = sizeof request;
  wchar_t what[8] = L"a", with[8] = L"aa";
  request.lpstrFindWhat = what;
  request.lpstrReplaceWith = with;
  request.Flags = FR_DOWN | FR_FINDNEXT;
  edit->SetSelection(1, 1, false);
  edit->FindDialogRequest(request);
  EXPECT_EQ(edit->SelStart(), 4);
  request.Flags = FR_DOWN | FR_REPLACE;
  edit->FindDialogRequest(request);
  EXPECT_EQ(RawText(*edit), L"a b aa b a");
  EXPECT_EQ(edit->SelStart(), 9);  // on to the next hit
  request.Flags = FR_FINDNEXT;     // backward from the selection's start
  edit->FindDialogRequest(request);
  EXPECT_EQ(edit->SelStart(), 5);
  edit->SetSelection(0, 0, false);
  request.Flags = FR_DOWN | FR_REPLACEALL;
  edit->FindDialogRequest(request);
  EXPECT_EQ(RawText(*edit), L"aa b aaaa b aa");
  wcscpy(what, L"zz");
  request.Flags = FR_DOWN | FR_FINDNEXT;
  edit->FindDialogRequest(request);
  EXPECT_EQ(misses, std::vector<std::wstring>{L"zz"});
  // The real dialog: Cancel closes it.
  SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  Pump();
  EXPECT_EQ(closed, std::vector<TFindDialogKind>{TFindDialogKind::fdReplace});
  EXPECT_EQ(edit->FindDialogWindow(TFindDialogKind::fdReplace), nullptr);
  // The real find dialog's Find Next button, then the same search again.
  edit->FindDialog(L"b");
  const HWND finder = edit->FindDialogWindow(TFindDialogKind::fdFind);
  ASSERT_NE(finder, nullptr);
  edit->SetSelection(0, 0, false);
  SendMessageW(finder, WM_COMMAND, IDOK, 0);
  Pump();
  EXPECT_EQ(edit->SelStart(), 3);
  EXPECT_TRUE(edit->FindNext());
  EXPECT_EQ(edit->SelStart(), 10);
}

// Keys typed into the modeless find dialog go through the application's loop to the dialog
// manager: Tab moves on from the text box, Enter finds the next match, Escape closes it.
TEST_F(RichEditTest, FindDialogTakesItsKeysFromTheLoop) {
  LoadRtf(*edit, "{\\rtf1 a b a b a}");
  edit->SetSelection(0, 0, false);
  edit->FindDialog(L"b");
  const HWND finder = edit->FindDialogWindow(TFindDialogKind::fdFind);
  ASSERT_NE(finder, nullptr);
  const HWND text = GetDlgItem(finder, edt1);
  SetForegroundWindow(finder);
  SetFocus(text);
  Pump();
  ASSERT_EQ(GetFocus(), text);
  const auto key = [](UINT vk) {
    const HWND focus = GetFocus();
    PostMessageW(focus, WM_KEYDOWN, vk, 1);
    PostMessageW(focus, WM_KEYUP, vk, 0xC0000001);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < until) {
      Pump();
      MSG pending;
      if (!PeekMessageW(&pending, nullptr, 0, 0, PM_NOREMOVE)) break;
    }
  };
  key(VK_TAB);
  EXPECT_EQ(GetAncestor(GetFocus(), GA_ROOT), finder);
  EXPECT_NE(GetFocus(), text);
  SetFocus(text);
  key(VK_RETURN);
  EXPECT_EQ(edit->SelStart(), 2);
  key(VK_ESCAPE);
  EXPECT_EQ(edit->FindDialogWindow(TFindDialogKind::fdFind), nullptr);
}

TEST_F(RichEditTest, NotificationsWithAndWithoutHandlers) {
  LoadRtf(*edit, "{\\rtf1 see http://example.com/x here}");
  edit->SetSelection(30, 30, false);  // nobody listens: nothing happens
  SendMessageW(edit->Handle(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(L"!"));
  Pump();
  int changes = 0, selections = 0;
  std::vector<std::wstring> urls;
  edit->OnChange = [&](ui::TComponent*) { ++changes; };
  edit->OnSelectionChange = [&](ui::TComponent*) { ++selections; };
  edit->OnURLClick = [&](ui::TComponent*, const std::wstring& url, ui::TMouseButton button) {
    if (button == ui::TMouseButton::mbLeft) urls.push_back(url);
  };
  edit->SetSelection(0, 1, false);
  EXPECT_GE(selections, 1);
  SendMessageW(edit->Handle(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(L"?"));
  EXPECT_GE(changes, 1);
  // A click on the detected link: press and release on the same range.
  const POINT at = edit->GetCharPos(12);
  const LPARAM where = MAKELPARAM(at.x + 2, at.y + 4);
  SendMessageW(edit->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, where);
  SendMessageW(edit->Handle(), WM_LBUTTONUP, 0, where);
  Pump();
  EXPECT_EQ(urls, std::vector<std::wstring>{L"http://example.com/x"});

  // Wine's control sends no EN_PROTECTED: the notifications as a parent receives them.
  const auto notify = [&](NMHDR& header, UINT code) {
    header.hwndFrom = edit->Handle();
    header.code = code;
    return SendMessageW(form->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
  };
  ENPROTECTED protectedChange{};
  protectedChange.chrg = {3, 7};
  EXPECT_EQ(notify(protectedChange.nmhdr, EN_PROTECTED), 0);  // no handler: allowed
  std::vector<int> asked;
  edit->OnProtectChange = [&](ui::TComponent*, int start, int end, bool& allow) {
    asked.insert(asked.end(), {start, end});
    allow = false;
  };
  edit->OnProtectChangeEx = [&](ui::TComponent*, const ui::TMessage&, int, int, bool& allow) {
    asked.push_back(allow ? 1 : 0);
  };
  EXPECT_EQ(notify(protectedChange.nmhdr, EN_PROTECTED), 1);
  EXPECT_EQ(asked, (std::vector<int>{3, 7, 0}));
  ENSAVECLIPBOARD clipboard{};
  clipboard.cch = 12;
  edit->OnSaveClipboard = [](ui::TComponent*, int, int chars, bool& save) { save = chars < 10; };
  EXPECT_EQ(notify(clipboard.nmhdr, EN_SAVECLIPBOARD), 1);
  REQRESIZE resize{};
  resize.rc = {1, 2, 30, 40};
  ui::TRect requested;
  edit->OnResizeRequest = [&](ui::TComponent*, const ui::TRect& rect) { requested = rect; };
  notify(resize.nmhdr, EN_REQUESTRESIZE);
  EXPECT_EQ(requested, (ui::TRect{1, 2, 30, 40}));
}

TEST_F(RichEditTest, UndoRedoAndOptions) {
  LoadRtf(*edit, "{\\rtf1 abc}");
  edit->ClearUndo();
  edit->SetSelection(3, 3, false);
  edit->SetSelText(L"def");
  EXPECT_EQ(edit->SelText(), L"def");  // the text put in is selected
  EXPECT_TRUE(edit->CanUndo());
  edit->Undo();
  EXPECT_EQ(RawText(*edit), L"abc");
  EXPECT_TRUE(edit->CanRedo());
  edit->Redo();
  EXPECT_EQ(RawText(*edit), L"abcdef");

  edit->SetWordSelection(false);
  EXPECT_FALSE(edit->WordSelection());
  edit->SetAutoURLDetect(false);
  EXPECT_FALSE(edit->AutoURLDetect());
  edit->SetMaxLength(8);
  edit->SetSelection(6, 6, false);
  for (const wchar_t c : std::wstring(L"ghijk")) SendMessageW(edit->Handle(), WM_CHAR, c, 0);
  EXPECT_EQ(RawText(*edit), L"abcdefgh");
  // One level of undo: the text goes out and back for the text mode, and stays.
  edit->SetUndoLimit(1);
  EXPECT_EQ(RawText(*edit), L"abcdefgh");
  EXPECT_EQ(edit->UndoLimit(), 1);  // Wine keeps its text mode's undo levels as they were
  // Plain text mode keeps the text, without its formats.
  LoadRtf(*edit, "{\\rtf1 \\b bold\\b0}");
  edit->SetPlainText(true);
  EXPECT_EQ(RawText(*edit), L"bold");
  EXPECT_EQ(SendMessageW(edit->Handle(), EM_GETTEXTMODE, 0, 0) & TM_PLAINTEXT, TM_PLAINTEXT);
}

// A new window (other scroll bars) keeps the formatted text and the modified flag, whatever
// Lines' mode; the selection mode does not cut the content down to the selection.
TEST_F(RichEditTest, RecreatedWindowKeepsTheContent) {
  LoadRtf(*edit, "{\\rtf1 \\b bold\\b0  normal}");
  edit->SetModified(true);
  edit->Lines().SetMode(smSelection);
  edit->SetSelection(0, 2, false);
  const HWND before = edit->Handle();
  edit->SetScrollBars(ui::TScrollStyle::ssNone);
  EXPECT_NE(edit->Handle(), before);
  EXPECT_FALSE(GetWindowLongPtrW(edit->Handle(), GWL_STYLE) & WS_VSCROLL);
  EXPECT_EQ(RawText(*edit), L"bold normal");
  EXPECT_TRUE(edit->Modified());
  edit->SetSelection(0, 4, false);
  EXPECT_EQ(edit->SelAttributes().Style(), ui::fsBold);
  edit->Lines().SetMode(0);
}

// Printing to the prefix's print-to-file printer: the job, its document and pages, and a loop
// that ends although Wine's page formatter renders nothing.
TEST_F(RichEditTest, PrintsToTheFilePrinter) {
  TTempFolder folder;
  std::string text = "{\\rtf1 ";
  for (int i = 0; i < 200; ++i) text += "line of text\\par ";
  LoadRtf(*edit, text + "}");
  const HDC printer = CreateDCW(L"WINSPOOL", L"FilePS", nullptr, nullptr);
  ASSERT_NE(printer, nullptr);
  const std::wstring output = (folder.Path() / "out.ps").wstring();
  const int pages = edit->PrintTo(printer, L"Quollbox test", output.c_str());
  EXPECT_GE(pages, 1);
  std::ifstream file(folder.Path() / "out.ps", std::ios::binary);
  std::string head(4, '\0');
  file.read(head.data(), 4);
  EXPECT_EQ(head, "%!PS");
  TRichEditPreview preview;
  const int previewPages = edit->CreatePrnPrewOn(printer, preview);
  EXPECT_EQ(previewPages, static_cast<int>(preview.pages.size()));
  EXPECT_GE(previewPages, 1);
  // A job whose output cannot be written fails as a whole, not quietly.
  const std::wstring nowhere = (folder.Path() / "no" / "such" / "out.ps").wstring();
  EXPECT_THROW(edit->PrintTo(printer, L"Quollbox test", nowhere.c_str()), rtl::Exception);
  DeleteDC(printer);
  edit->SetDrawEndPage(true);
  UpdateWindow(edit->Handle());
}

// The callback's answers, called directly (Wine's control asks only QueryInsertObject).
TEST_F(RichEditTest, OleCallbackAnswers) {
  TRichEditOleCallback& callback = *edit->Callback();
  IStorage* storage = nullptr;
  ASSERT_EQ(callback.GetNewStorage(&storage), S_OK);
  ASSERT_NE(storage, nullptr);
  storage->Release();
  EXPECT_EQ(callback.QueryInsertObject(nullptr, nullptr, 0), S_OK);
  EXPECT_EQ(callback.QueryAcceptData(nullptr, nullptr, 0, TRUE, nullptr), S_OK);
  EXPECT_EQ(callback.DeleteObject(nullptr), S_OK);
  EXPECT_EQ(callback.ContextSensitiveHelp(TRUE), S_OK);
  EXPECT_EQ(callback.GetClipboardData(nullptr, 0, nullptr), E_NOTIMPL);
  EXPECT_EQ(callback.GetDragDropEffect(FALSE, 0, nullptr), E_NOTIMPL);
  EXPECT_EQ(callback.GetContextMenu(0, nullptr, nullptr, nullptr), E_NOTIMPL);
  IOleInPlaceFrame* frame = nullptr;
  OLEINPLACEFRAMEINFO info{};
  info.cb = sizeof info;
  EXPECT_EQ(callback.GetInPlaceContext(&frame, nullptr, &info), S_OK);
  ASSERT_NE(frame, nullptr);
  HWND frameWindow = nullptr;
  frame->GetWindow(&frameWindow);
  EXPECT_EQ(frameWindow, form->Handle());
  EXPECT_EQ(frame->RequestBorderSpace(nullptr), INPLACE_E_NOTOOLSPACE);
  frame->Release();
  edit->SetAllowInPlace(false);
  EXPECT_EQ(callback.GetInPlaceContext(&frame, nullptr, &info), E_NOTIMPL);
  EXPECT_EQ(callback.ShowContainerUI(FALSE), S_OK);
  EXPECT_EQ(callback.ShowContainerUI(TRUE), S_OK);

  // No object selected: no properties dialog. Wine's wide insert-object dialog returns at once.
  EXPECT_FALSE(edit->ObjectPropertiesDialog());
  EXPECT_FALSE(edit->InsertObjectDialog());
}

// An object made from a bitmap on the clipboard and put into the control: selected it is one
// object (Wine's properties dialog returns at once); clearing the control closes it.
TEST_F(RichEditTest, EmbeddedObject) {
  const HDC screen = GetDC(nullptr);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
  ReleaseDC(nullptr, screen);
  OpenClipboard(nullptr);
  EmptyClipboard();
  SetClipboardData(CF_BITMAP, bitmap);
  CloseClipboard();
  IDataObject* data = nullptr;
  ASSERT_EQ(OleGetClipboard(&data), S_OK);
  IStorage* storage = nullptr;
  ASSERT_EQ(edit->Callback()->GetNewStorage(&storage), S_OK);
  IOleClientSite* site = nullptr;
  ASSERT_EQ(edit->RichEditOle()->GetClientSite(&site), S_OK);
  IOleObject* object = nullptr;
  ASSERT_EQ(OleCreateFromData(data, IID_IOleObject, OLERENDER_DRAW, nullptr, site, storage,
                              reinterpret_cast<void**>(&object)),
            S_OK);
  REOBJECT entry{};
  entry.cbStruct = sizeof entry;
  entry.cp = REO_CP_SELECTION;
  entry.poleobj = object;
  entry.pstg = storage;
  entry.polesite = site;
  entry.dvaspect = DVASPECT_CONTENT;
  EXPECT_EQ(edit->RichEditOle()->InsertObject(&entry), S_OK);
  edit->SetSelection(0, 1, false);
  EXPECT_EQ(edit->SelectionType(), stObject);
  EXPECT_FALSE(edit->ObjectPropertiesDialog());
  edit->Clear();
  EXPECT_EQ(edit->RichEditOle()->GetObjectCount(), 0);
  object->Release();
  site->Release();
  storage->Release();
  data->Release();
}

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  EndMenu();
}

// A right-button release opens the context menu once, although Wine's control sends its own.
TEST_F(RichEditTest, RightClickOpensTheMenuOnce) {
  auto* menu = ui::Create<ui::TPopupMenu>(*form);
  auto* item = ui::Create<ui::TMenuItem>(*form);
  item->SetCaption(L"Item");
  menu->Items().Add(item);
  int popups = 0;
  menu->OnPopup = [&](ui::TComponent*) {
    ++popups;
    SetTimer(nullptr, 0, 50, CloseMenu);
  };
  edit->SetPopupMenu(menu);
  SendMessageW(edit->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
  SendMessageW(edit->Handle(), WM_RBUTTONUP, 0, MAKELPARAM(10, 10));
  Pump();
  EXPECT_EQ(popups, 1);
}

// Closes the first dialog box of the thread that shows up, within a time limit.
UINT_PTR dialogTimer = 0;
int dialogTicks = 0;
bool dialogSeen = false;
BOOL CALLBACK CancelDialog(HWND window, LPARAM) {
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  if (wcscmp(className, L"#32770") != 0 || !IsWindowVisible(window)) return TRUE;
  dialogSeen = true;
  PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
  return FALSE;
}
BOOL CALLBACK CloseWindow(HWND window, LPARAM) {
  PostMessageW(window, WM_CLOSE, 0, 0);
  return TRUE;
}
void CALLBACK WatchDialogs(HWND, UINT, UINT_PTR, DWORD) {
  EnumThreadWindows(GetCurrentThreadId(), CancelDialog, 0);
  // After five seconds every window of the thread is asked to close, so the test ends.
  if (++dialogTicks > 250) EnumThreadWindows(GetCurrentThreadId(), CloseWindow, 0);
}

TEST_F(RichEditTest, PasteSpecialDialogOpensAndCancels) {
  OpenClipboard(nullptr);
  EmptyClipboard();
  const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, 6 * sizeof(wchar_t));
  wcscpy(static_cast<wchar_t*>(GlobalLock(memory)), L"paste");
  GlobalUnlock(memory);
  SetClipboardData(CF_UNICODETEXT, memory);
  CloseClipboard();
  dialogSeen = false;
  dialogTicks = 0;
  dialogTimer = SetTimer(nullptr, 0, 20, WatchDialogs);
  EXPECT_FALSE(edit->PasteSpecialDialog());
  KillTimer(nullptr, dialogTimer);
  EXPECT_TRUE(dialogSeen);
  EXPECT_EQ(RawText(*edit), L"");
}

// Loading a large document into an empty control: rich text beside the same text as plain
// text (times reported).
TEST_F(RichEditTest, LargeDocumentTimes) {
  std::string rtf = "{\\rtf1\\ansi ";
  std::string plain;
  while (rtf.size() < 1024 * 1024) {
    rtf += "Some \\b bold\\b0  and \\i italic\\i0  text on a line of its own.\\par\n";
    plain += "Some bold and italic text on a line of its own.\r\n";
  }
  rtf += "}";
  const auto time = [&](bool asPlain, const std::string& bytes) {
    TUxRichEdit* control = Add();
    control->SetPlainText(asPlain);
    rtl::TMemoryStream stream(Bytes(bytes));
    const auto start = std::chrono::steady_clock::now();
    control->Lines().LoadFromStream(stream);
    const auto end = std::chrono::steady_clock::now();
    EXPECT_GT(control->TextLength(), 700000);
    return std::chrono::duration<double, std::milli>(end - start).count();
  };
  const double rich = time(false, rtf);
  const double text = time(true, plain);
  std::cout << "Loading " << rtf.size() << " bytes of RTF: " << rich << " ms; the same text as "
            << plain.size() << " bytes of plain text: " << text << " ms\n";
}

}  // namespace
}  // namespace ux
