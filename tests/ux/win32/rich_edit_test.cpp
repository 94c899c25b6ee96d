// The rich-edit control under Wine: long lines, its find and replace dialogs (replacing every hit,
// a dialog that outlives the control's window), and its form's menu, tool windows and scroll bars
// around an object active in place.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "../../ui/win32/gui_fixture.h"
#include "ui/win32/menus.h"
#include "ux/modules.h"
#include "ux/win32/rich_edit.h"
#include "ux/win32/rich_edit_ole.h"
#include "ux/win32/window_hook.h"

namespace ux {
namespace {

class RichEditUi : public UiGuiTest {
 protected:
  RichEditUi() {
    InitModules();
    form = ui::Create<ui::TForm>(*ui::Application);
    form->FinishLoading();
    form->SetClientSize(400, 300);
    edit = ui::Create<TUxRichEdit>(*form);
    edit->SetParent(form);
    edit->SetBounds(0, 0, 400, 150);
    form->Show();
    Pump();
  }
  ~RichEditUi() override {
    ui::Free(form);
    DoneModules();
  }

  void Load(std::string_view text) {
    rtl::TMemoryStream stream(std::vector<std::uint8_t>(text.begin(), text.end()));
    edit->Lines().LoadFromStream(stream);
  }
  // The text as the control keeps it.
  std::wstring Text() const { return edit->Text(); }

  ui::TForm* form = nullptr;
  TUxRichEdit* edit = nullptr;
};

// Replace All takes every hit of the text, those before the caret too, whatever the direction;
// a replacement that holds the searched text is not searched again.
TEST_F(RichEditUi, ReplaceAllTakesEveryHit) {
  const struct {
    const char* name;
    const wchar_t* what;
    const wchar_t* with;
    int caret;
    DWORD flags;
    const wchar_t* expected;
  } cases[] = {
      {"caret inside", L"a", L"x", 4, FR_DOWN, L"x b x b x"},
      {"caret at the end, upwards", L"a", L"x", 9, 0, L"x b x b x"},
      {"growing", L"a", L"aa", 4, FR_DOWN, L"aa b aa b aa"},
      {"shrinking to nothing", L"a ", L"", 4, FR_DOWN, L"b b a"},
      {"whole word", L"a", L"x", 9, FR_DOWN | FR_WHOLEWORD, L"x b x b x"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Load("{\\rtf1 a b a b a}");
    std::vector<std::wstring> misses;
    edit->OnTextNotFound = [&](ui::TComponent*, const std::wstring& what) {
      misses.push_back(what);
    };
    edit->SetSelection(c.caret, c.caret, false);
    std::wstring what = c.what, with = c.with;
    FINDREPLACEW request{};
    request.lStructSize = sizeof request;
    request.lpstrFindWhat = what.data();
    request.lpstrReplaceWith = with.data();
    request.Flags = c.flags | FR_REPLACEALL;
    edit->FindDialogRequest(request);
    EXPECT_EQ(Text(), c.expected);
    EXPECT_TRUE(misses.empty());
  }
}

// Changing an option that makes a new window while a dialog is open: the dialog's requests
// reach the new window.
TEST_F(RichEditUi, ADialogFollowsTheControlsNewWindow) {
  Load("{\\rtf1 a b a b a}");
  edit->FindDialog(L"b");
  const HWND finder = edit->FindDialogWindow(TFindDialogKind::fdFind);
  ASSERT_NE(finder, nullptr);
  const auto recreations = {
      +[](TUxRichEdit& e) { e.SetScrollBars(ui::TScrollStyle::ssNone); },
      +[](TUxRichEdit& e) { e.SetHideScrollBars(false); },
      +[](TUxRichEdit& e) { e.SetSelectionBar(false); },
      +[](TUxRichEdit& e) { e.SetAllowObjects(false); },
  };
  int expected = 2;
  for (const auto recreate : recreations) {
    const HWND before = edit->Handle();
    recreate(*edit);
    ASSERT_NE(edit->Handle(), before);
    ASSERT_TRUE(IsWindow(finder));
    edit->SetSelection(expected - 1, expected - 1, false);
    SendMessageW(finder, WM_COMMAND, IDOK, 0);  // the dialog's Find Next button
    Pump();
    EXPECT_EQ(edit->SelStart(), expected);
    expected = expected == 2 ? 6 : 2;
  }
  SendMessageW(finder, WM_COMMAND, IDCANCEL, 0);
  Pump();
  EXPECT_EQ(edit->FindDialogWindow(TFindDialogKind::fdFind), nullptr);
}

// Lines come back whole whatever their length (the line message counts in 16 bits), and the
// assignment leaves change notification as it found it.
TEST_F(RichEditUi, LinesOfAnyLengthAndTheirAssignment) {
  SendMessageW(edit->Handle(), EM_SETTARGETDEVICE, 0, 1);  // no wrapping: one line each
  for (const std::size_t length : {std::size_t{0}, std::size_t{10}, std::size_t{65533},
                                   std::size_t{65534}, std::size_t{65535}, std::size_t{70000}}) {
    SCOPED_TRACE(length);
    std::wstring longLine(length, L'x');
    if (length > 0) longLine.back() = L'y';
    edit->Lines().Assign({longLine, L"b"});
    ASSERT_EQ(edit->Lines().Count(), 2);
    const std::wstring first = edit->Lines().Get(0);
    EXPECT_EQ(first.size(), length);
    EXPECT_TRUE(first == longLine);  // not printed: it may be long
    EXPECT_EQ(edit->Lines().Get(1), L"b");
  }
  for (const bool notifying : {true, false}) {
    SCOPED_TRACE(notifying);
    const auto mask = [this] {
      return static_cast<DWORD>(SendMessageW(edit->Handle(), EM_GETEVENTMASK, 0, 0));
    };
    const DWORD before = notifying ? mask() | ENM_CHANGE : mask() & ~ENM_CHANGE;
    SendMessageW(edit->Handle(), EM_SETEVENTMASK, 0, before);
    edit->Lines().Assign({L"a"});
    EXPECT_EQ(mask(), before);
  }
}

// Lines assigned before the control has a window make it: the window's notifications, set as it
// is made, stay on afterwards.
TEST_F(RichEditUi, LinesAssignedBeforeTheWindowKeepItsNotifications) {
  auto* hidden = ui::Create<ui::TForm>(*ui::Application);
  hidden->FinishLoading();
  auto* fresh = ui::Create<TUxRichEdit>(*hidden);
  fresh->SetParent(hidden);
  ASSERT_FALSE(fresh->HandleAllocated());
  fresh->Lines().Assign({L"a", L"b"});
  ASSERT_TRUE(fresh->HandleAllocated());
  EXPECT_EQ(fresh->Lines().Get(1), L"b");
  const auto mask = static_cast<DWORD>(SendMessageW(fresh->Handle(), EM_GETEVENTMASK, 0, 0));
  EXPECT_EQ(mask & (ENM_CHANGE | ENM_SELCHANGE | ENM_LINK), ENM_CHANGE | ENM_SELCHANGE | ENM_LINK);
  ui::Free(hidden);
}

// Another list's lines are added after the control's own, whether its text ends in a line
// break or not, blanks and empty lines kept (an empty line added to a text without a final
// break used to vanish, and the next line took its place).
TEST_F(RichEditUi, AddStringsAppendsTheLines) {
  ui::TStringList more;
  more.Assign({L"c", L"", L" d ", L""});
  for (const bool endsWithBreak : {true, false}) {
    SCOPED_TRACE(endsWithBreak);
    if (endsWithBreak)
      edit->Lines().Assign({L"a", L"b"});
    else
      Load("{\\rtf1 a\\par b}");
    edit->Lines().AddStrings(more);
    EXPECT_EQ(edit->Lines().ToVector(),
              (std::vector<std::wstring>{L"a", L"b", L"c", L"", L" d ", L""}));
  }
}

// Emptying a line keeps it a line, the last one of a text without a final break too; the empty
// line after a final break is no line and is not written.
TEST_F(RichEditUi, PutAnEmptyTextKeepsTheLine) {
  const struct {
    const char* rtf;  // null: the lines {"a", "b"} assigned, ending in a break
    int index;
    std::vector<std::wstring> expected;
  } cases[] = {
      {"{\\rtf1 a\\par b}", 1, {L"a", L""}},
      {"{\\rtf1 a\\par b}", 0, {L"", L"b"}},
      {"{\\rtf1 b}", 0, {L""}},
      {nullptr, 1, {L"a", L""}},
      {nullptr, 2, {L"a", L"b"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.rtf ? c.rtf : "assigned") << " " << c.index);
    if (c.rtf)
      Load(c.rtf);
    else
      edit->Lines().Assign({L"a", L"b"});
    edit->Lines().Put(c.index, c.index < 2 ? L"" : L"x");
    EXPECT_EQ(edit->Lines().ToVector(), c.expected);
  }
}

// The word at the caret, on its own line: bounded by white space where the control answers no
// word-break question (this platform's answers 0 to each), by the control's own answers where it
// gives them (here a hook answers as a word-break procedure: its delimiter tests also end words
// at commas, or its left and right breaks do).
TEST_F(RichEditUi, WordAtCursorFollowsTheControlsWordBreaks) {
  const std::wstring text = L"alpha beta,gamma\rnext word";
  SetWindowTextW(edit->Handle(), text.c_str());
  enum class Answers { none, delimiters, breaks };
  const struct {
    Answers answers;
    int caret;
    const wchar_t* word;
  } cases[] = {
      {Answers::none, 7, L"beta,gamma"},
      {Answers::none, 21, L"next"},  // a line of its own, the caret just after the word
      {Answers::delimiters, 7, L"beta"},
      {Answers::breaks, 7, L"beta"},
      {Answers::breaks, 12, L"gamma"},
  };
  Answers answers = Answers::none;
  const auto at = [&text](std::size_t i) { return i < text.size() ? text[i] : L' '; };
  auto* hook = ui::Create<win32::TUxWindowHook>(*form);
  hook->BeforeMessage = [&](win32::TUxWindowHook&, TMessage& m, bool& handled) {
    if (m.msg != EM_FINDWORDBREAK || answers == Answers::none) return;
    auto i = static_cast<std::size_t>(m.lParam);
    const auto ends = [&](std::size_t k) { return at(k) == L' ' || at(k) == L','; };
    if (m.wParam == WB_ISDELIMITER) {
      m.result = at(i) == L' ' || (answers == Answers::delimiters && at(i) == L',');
    } else if (m.wParam == WB_LEFT && answers == Answers::breaks) {
      while (i > 0 && !ends(i - 1)) --i;
      m.result = static_cast<LRESULT>(i);
    } else if (m.wParam == WB_RIGHTBREAK && answers == Answers::breaks) {
      while (i < text.size() && !ends(i) && text[i] != L'\r') ++i;
      m.result = static_cast<LRESULT>(i);
    } else {
      return;
    }
    handled = true;
  };
  hook->SetWinControl(edit);
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(c.answers) << " " << c.caret);
    answers = c.answers;
    edit->SetSelStart(c.caret);
    EXPECT_EQ(edit->WordAtCursor(), c.word);
  }
}

// A backward whole-word search finds the hit that ends where it starts (this platform's control
// alone misses it), and still only a whole word.
TEST_F(RichEditUi, BackwardWholeWordSearchFindsTheHitEndingAtItsStart) {
  const struct {
    const wchar_t* text;
    const wchar_t* what;
    int start, length;
    TRichSearchTypes options;
    int found;
  } cases[] = {
      {L"ab foo bar foo", L"foo", 0, 6, stBackward | stWholeWord, 3},
      {L"ab foo bar foo", L"FOO", 0, 6, stBackward | stWholeWord | stMatchCase, -1},
      {L"ab foo bar foo", L"foo", 0, 14, stBackward | stWholeWord, 11},
      {L"ab foobar foo", L"foo", 0, 6, stBackward | stWholeWord, -1},
      {L"ab foo", L"foo", 4, 2, stBackward | stWholeWord, -1},  // the hit starts before the range
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.start << "+" << c.length << " " << int{c.options});
    SetWindowTextW(edit->Handle(), c.text);
    edit->SetSelection(0, 0, false);
    EXPECT_EQ(edit->FindText(c.what, c.start, c.length, c.options | stSetSelection), c.found);
    if (c.found >= 0) {
      EXPECT_EQ(edit->SelStart(), c.found);
    }
  }
}

// Negative limits (damaged stored settings, say): an undo limit means no undo, whether it comes
// before the window or after it; a text length means the largest text.
TEST_F(RichEditUi, NegativeUndoAndTextLimits) {
  auto* fresh = ui::Create<TUxRichEdit>(*form);
  fresh->SetUndoLimit(-5);
  fresh->SetParent(form);
  fresh->HandleNeeded();
  EXPECT_EQ(fresh->UndoLimit(), 0);
  edit->SetUndoLimit(-5);
  EXPECT_EQ(edit->UndoLimit(), 0);
  edit->SetMaxLength(10);
  edit->SetMaxLength(-5);
  EXPECT_EQ(SendMessageW(edit->Handle(), EM_GETLIMITTEXT, 0, 0), 0xFFFFFF);
}

// Every character attribute of a run of text, by name, as the attributes object reads it.
using TRunAttributes = std::map<std::string, int>;

TRunAttributes RunAttributes(TUxTextAttributes& a) {
  return {
      {"Charset", a.Charset()},
      {"Color", static_cast<int>(a.Color())},
      {"BackColor", static_cast<int>(a.BackColor())},
      {"Name", a.Name() == L"Arial"         ? 1
               : a.Name() == L"Courier New" ? 2
                                            : 0},
      {"Pitch", static_cast<int>(a.Pitch())},
      {"Size", a.Size()},
      {"Offset", a.Offset()},
      {"Style", a.Style()},
      {"Protected", a.Protected()},
      {"Link", a.Link()},
      {"Hidden", a.Hidden()},
      {"Disabled", a.Disabled()},
      {"SmallCaps", a.SmallCaps()},
      {"AllCaps", a.AllCaps()},
      {"Outline", a.Outline()},
      {"Shadow", a.Shadow()},
      {"Emboss", a.Emboss()},
      {"Imprint", a.Imprint()},
      {"SubscriptStyle", static_cast<int>(a.SubscriptStyle())},
      {"UnderlineType", static_cast<int>(a.UnderlineType())},
      {"RevAuthorIndex", a.RevAuthorIndex()},
      {"Animation", static_cast<int>(a.Animation())},
      {"Spacing", a.Spacing()},
      {"Kerning", a.Kerning()},
  };
}

// Each attribute set over a selection of two runs that differ in everything reaches both runs
// and leaves every other attribute of each run as it was (the pitch, which travels with the face
// in the control's record, used to give the second run the first one's face).
TEST_F(RichEditUi, EachAttributeSetOverMixedRunsChangesOnlyItself) {
  const std::string_view rtf =
      "{\\rtf1{\\fonttbl{\\f0\\fswiss\\fprq2 Arial;}{\\f1\\fmodern\\fprq1 Courier New;}}"
      "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
      "\\f0\\fs20\\b\\cf1 aaaa\\f1\\fs28\\b0\\i\\cf2\\up4 bbbb}";
  constexpr int kPixels = 40;
  const int pixelPoints = PixelsToPoints(kPixels, edit->ScreenLogPixels());
  const struct {
    const char* name;
    void (*set)(TUxTextAttributes&);
    TRunAttributes changed;
    bool underlined = false;   // the underline effect comes with it
    const char* follows = "";  // an attribute that follows it (a face's own pitch follows it)
  } cases[] = {
      {"Charset",
       [](TUxTextAttributes& a) { a.SetCharset(RUSSIAN_CHARSET); },
       {{"Charset", RUSSIAN_CHARSET}}},
      {"Color", [](TUxTextAttributes& a) { a.SetColor(0x00AA00); }, {{"Color", 0x00AA00}}},
      {"BackColor",
       [](TUxTextAttributes& a) { a.SetBackColor(0x00FFFF); },
       {{"BackColor", 0x00FFFF}}},
      {"Name",
       [](TUxTextAttributes& a) { a.SetName(L"Courier New"); },
       {{"Name", 2}},
       false,
       "Pitch"},
      {"Pitch",
       [](TUxTextAttributes& a) { a.SetPitch(ui::TFontPitch::fpFixed); },
       {{"Pitch", static_cast<int>(ui::TFontPitch::fpFixed)}}},
      {"Size", [](TUxTextAttributes& a) { a.SetSize(17); }, {{"Size", 17}}},
      {"Height", [](TUxTextAttributes& a) { a.SetHeight(kPixels); }, {{"Size", pixelPoints}}},
      {"Offset", [](TUxTextAttributes& a) { a.SetOffset(-3); }, {{"Offset", -3}}},
      {"Style",
       [](TUxTextAttributes& a) { a.SetStyle(ui::fsStrikeOut); },
       {{"Style", ui::fsStrikeOut}}},
      {"Protected", [](TUxTextAttributes& a) { a.SetProtected(true); }, {{"Protected", 1}}},
      {"Link", [](TUxTextAttributes& a) { a.SetLink(true); }, {{"Link", 1}}},
      {"Hidden", [](TUxTextAttributes& a) { a.SetHidden(true); }, {{"Hidden", 1}}},
      {"Disabled", [](TUxTextAttributes& a) { a.SetDisabled(true); }, {{"Disabled", 1}}},
      {"SmallCaps", [](TUxTextAttributes& a) { a.SetSmallCaps(true); }, {{"SmallCaps", 1}}},
      {"AllCaps", [](TUxTextAttributes& a) { a.SetAllCaps(true); }, {{"AllCaps", 1}}},
      {"Outline", [](TUxTextAttributes& a) { a.SetOutline(true); }, {{"Outline", 1}}},
      {"Shadow", [](TUxTextAttributes& a) { a.SetShadow(true); }, {{"Shadow", 1}}},
      {"Emboss", [](TUxTextAttributes& a) { a.SetEmboss(true); }, {{"Emboss", 1}}},
      {"Imprint", [](TUxTextAttributes& a) { a.SetImprint(true); }, {{"Imprint", 1}}},
      {"SubscriptStyle",
       [](TUxTextAttributes& a) { a.SetSubscriptStyle(TSubscriptStyle::ssSubscript); },
       {{"SubscriptStyle", static_cast<int>(TSubscriptStyle::ssSubscript)}}},
      {"UnderlineType",
       [](TUxTextAttributes& a) { a.SetUnderlineType(TUnderlineType::utDouble); },
       {{"UnderlineType", static_cast<int>(TUnderlineType::utDouble)}},
       true},
      {"RevAuthorIndex",
       [](TUxTextAttributes& a) { a.SetRevAuthorIndex(3); },
       {{"RevAuthorIndex", 3}}},
      {"Animation",
       [](TUxTextAttributes& a) { a.SetAnimation(TAnimationType::aniBlink); },
       {{"Animation", static_cast<int>(TAnimationType::aniBlink)}}},
      {"Spacing", [](TUxTextAttributes& a) { a.SetSpacing(40); }, {{"Spacing", 40}}},
      {"Kerning", [](TUxTextAttributes& a) { a.SetKerning(24); }, {{"Kerning", 24}}},
  };
  TUxTextAttributes& sel = edit->SelAttributes();
  const auto runs = [&] {
    std::vector<TRunAttributes> both;
    for (const int start : {0, 4}) {
      edit->SetSelection(start, start + 4, false);
      both.push_back(RunAttributes(sel));
    }
    return both;
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Load(rtf);
    std::vector<TRunAttributes> expected = runs();
    ASSERT_NE(expected[0], expected[1]);
    for (TRunAttributes& run : expected) {
      for (const auto& [name, value] : c.changed) run[name] = value;
      if (c.underlined) run["Style"] |= ui::fsUnderline;
    }
    edit->SetSelection(0, 8, false);
    c.set(sel);
    EXPECT_EQ(edit->GetSelection().cpMin, 0);
    EXPECT_EQ(edit->GetSelection().cpMax, 8);
    const std::vector<TRunAttributes> after = runs();
    for (std::size_t run = 0; run < after.size(); ++run) {
      for (const auto& [name, value] : expected[run]) {
        if (name == c.follows) continue;
        EXPECT_EQ(after[run].at(name), value) << "run " << run << " " << name;
      }
    }
  }
  // The two runs are one word: the word at the caret takes the pitch the same way.
  Load(rtf);
  edit->SetSelection(2, 2, false);
  edit->WordAttributes().SetPitch(ui::TFontPitch::fpFixed);
  EXPECT_EQ(edit->GetSelection().cpMin, 2);
  EXPECT_EQ(edit->GetSelection().cpMax, 2);
  const std::vector<TRunAttributes> after = runs();
  for (std::size_t run = 0; run < after.size(); ++run) {
    EXPECT_EQ(after[run].at("Pitch"), static_cast<int>(ui::TFontPitch::fpFixed)) << run;
    EXPECT_EQ(after[run].at("Name"), static_cast<int>(run) + 1) << run;
  }
}

// Face names are 16-bit text: a name beyond the system's code page comes back as it was set, and
// one longer than the record holds is cut to its 31 first characters.
TEST_F(RichEditUi, FaceNamesAreWideText) {
  const struct {
    std::wstring set, read;
  } cases[] = {
      {L"\uFF2D\uFF33 \u30B4\u30B7\u30C3\u30AF", L"\uFF2D\uFF33 \u30B4\u30B7\u30C3\u30AF"},
      {L"\u041F\u0422 Sans", L"\u041F\u0422 Sans"},
      {std::wstring(31, L'x'), std::wstring(31, L'x')},
      {std::wstring(40, L'y'), std::wstring(31, L'y')},
  };
  Load("{\\rtf1 abc}");
  edit->SetSelection(0, 3, false);
  for (const auto& c : cases) {
    edit->SelAttributes().SetName(c.set);
    EXPECT_EQ(edit->SelAttributes().Name(), c.read);
  }
}

// A top-level window owned by the form, shown without activation when asked.
class TOwnedWindow {
 public:
  TOwnedWindow(HWND owner, DWORD exStyle, bool visible)
      : window_(CreateWindowExW(exStyle, L"STATIC", L"", WS_POPUP, 0, 0, 20, 20, owner, nullptr,
                                nullptr, nullptr)) {
    if (visible) ShowWindow(window_, SW_SHOWNA);
  }
  TOwnedWindow(const TOwnedWindow&) = delete;
  TOwnedWindow& operator=(const TOwnedWindow&) = delete;
  ~TOwnedWindow() { DestroyWindow(window_); }
  bool Visible() const { return IsWindowVisible(window_) != FALSE; }

 private:
  HWND window_;
};

// Wine's control never asks for this: the callback is called as the control would call it.
TEST_F(RichEditUi, TheFormMakesWayForAnObjectActiveInPlace) {
  auto* menu = ui::Create<ui::TMainMenu>(*form);
  auto* file = ui::Create<ui::TMenuItem>(*form);
  file->SetCaption(L"&File");
  menu->Items().Add(file);
  form->SetMenu(menu);
  const HWND window = form->Handle();
  ShowScrollBar(window, SB_VERT, TRUE);
  const TOwnedWindow palette(window, WS_EX_TOOLWINDOW, true);
  const TOwnedWindow hiddenPalette(window, WS_EX_TOOLWINDOW, false);
  const TOwnedWindow popup(window, 0, true);
  const auto style = [window] { return GetWindowLongW(window, GWL_STYLE); };
  TRichEditOleCallback& callback = *edit->Callback();

  ASSERT_EQ(callback.ShowContainerUI(FALSE), S_OK);
  EXPECT_EQ(GetMenu(window), nullptr);
  EXPECT_FALSE(palette.Visible());
  EXPECT_TRUE(popup.Visible());  // not a tool window
  EXPECT_FALSE(style() & WS_VSCROLL);
  ASSERT_EQ(callback.ShowContainerUI(FALSE), S_OK);  // again: what was kept stays kept

  ASSERT_EQ(callback.ShowContainerUI(TRUE), S_OK);
  EXPECT_EQ(GetMenu(window), menu->Handle());
  EXPECT_TRUE(palette.Visible());
  EXPECT_FALSE(hiddenPalette.Visible());
  EXPECT_TRUE(style() & WS_VSCROLL);
  EXPECT_FALSE(style() & WS_HSCROLL);
}

// An object of the control that may be a link: it answers the link's update options and
// nothing else (the control draws no picture for it).
class TFakeObject : public IOleObject, public IOleLink {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleObject) *object = static_cast<IOleObject*>(this);
    if (iid == IID_IOleLink) *object = static_cast<IOleLink*>(this);
    if (!*object) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
  STDMETHODIMP_(ULONG) Release() override { return --references; }  // lives on the stack
  // IOleObject
  STDMETHODIMP SetClientSite(IOleClientSite*) override { return S_OK; }
  STDMETHODIMP GetClientSite(IOleClientSite**) override { return E_NOTIMPL; }
  STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
  STDMETHODIMP Close(DWORD) override { return S_OK; }
  STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
  STDMETHODIMP DoVerb(LONG, LPMSG, IOleClientSite*, LONG, HWND, LPCRECT) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
  STDMETHODIMP Update() override { return S_OK; }
  STDMETHODIMP IsUpToDate() override { return S_OK; }
  STDMETHODIMP GetUserClassID(CLSID* clsid) override {
    *clsid = CLSID_NULL;
    return S_OK;
  }
  STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
  STDMETHODIMP SetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
  STDMETHODIMP GetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
  STDMETHODIMP Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP Unadvise(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
  STDMETHODIMP GetMiscStatus(DWORD, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }
  // IOleLink
  STDMETHODIMP SetUpdateOptions(DWORD options) override {
    updateOptions = options;
    return S_OK;
  }
  STDMETHODIMP GetUpdateOptions(DWORD* options) override {
    *options = updateOptions;
    return S_OK;
  }
  STDMETHODIMP SetSourceMoniker(IMoniker*, REFCLSID) override { return E_NOTIMPL; }
  STDMETHODIMP GetSourceMoniker(IMoniker**) override { return E_NOTIMPL; }
  STDMETHODIMP SetSourceDisplayName(LPCOLESTR) override { return E_NOTIMPL; }
  STDMETHODIMP GetSourceDisplayName(LPOLESTR*) override { return E_NOTIMPL; }
  STDMETHODIMP BindToSource(DWORD, IBindCtx*) override { return E_NOTIMPL; }
  STDMETHODIMP BindIfRunning() override { return E_NOTIMPL; }
  STDMETHODIMP GetBoundSource(IUnknown**) override { return E_NOTIMPL; }
  STDMETHODIMP UnbindSource() override { return E_NOTIMPL; }
  STDMETHODIMP Update(IBindCtx*) override { return E_NOTIMPL; }

  ULONG references = 1;
  DWORD updateOptions = OLEUPDATE_ALWAYS;
};

// What the object-properties dialog was handed, and what its information objects answered
// while it ran.
struct TPropertiesSeen {
  bool called = false;
  DWORD flags = 0, object = 0, link = 0, nextLink = 0;
  HRESULT setOptions = E_FAIL;
  bool linkInfo = false;
};
TPropertiesSeen propertiesSeen;

UINT WINAPI FakeObjectProperties(LPOLEUIOBJECTPROPSW dialog) {
  TPropertiesSeen& seen = propertiesSeen;
  seen.called = true;
  seen.flags = dialog->dwFlags;
  seen.object = dialog->dwObject;
  seen.link = dialog->dwLink;
  seen.linkInfo = dialog->lpLinkInfo != nullptr;
  if (dialog->lpLinkInfo) {
    seen.nextLink = dialog->lpLinkInfo->GetNextLink(0);
    seen.setOptions = dialog->lpLinkInfo->SetLinkUpdateOptions(dialog->dwLink, OLEUPDATE_ONCALL);
  }
  return OLEUI_OK;
}

// The dialog is handed the selected object's key, and for a linked object the same key for the
// link, which its link operations take. Every round but the first runs on a control cleared by
// the round before: it keeps its OLE interface, and objects put in afterwards work as before.
TEST_F(RichEditUi, ObjectPropertiesDialogGetsTheObjectsKeys) {
  const TObjectPropertiesEntry previous = SetObjectPropertiesEntry(&FakeObjectProperties);
  for (const bool linked : {false, true, false}) {
    SCOPED_TRACE(testing::Message() << "linked " << linked);
    TFakeObject object;
    REOBJECT entry{};
    entry.cbStruct = sizeof entry;
    entry.cp = REO_CP_SELECTION;
    entry.poleobj = &object;
    entry.dvaspect = DVASPECT_CONTENT;
    entry.dwFlags = linked ? REO_LINK : 0;
    ASSERT_NE(edit->RichEditOle(), nullptr);
    ASSERT_EQ(edit->RichEditOle()->InsertObject(&entry), S_OK);
    edit->SetSelection(0, 1, false);
    propertiesSeen = {};
    EXPECT_TRUE(edit->ObjectPropertiesDialog());
    const TPropertiesSeen& seen = propertiesSeen;
    EXPECT_TRUE(seen.called);
    EXPECT_NE(seen.object, 0U);
    EXPECT_EQ(seen.link, seen.object);
    EXPECT_EQ((seen.flags & OPF_OBJECTISLINK) != 0, linked);
    EXPECT_EQ(seen.linkInfo, linked);
    if (linked) {
      EXPECT_EQ(seen.nextLink, seen.link);
      EXPECT_EQ(seen.setOptions, S_OK);
      EXPECT_EQ(object.updateOptions, static_cast<DWORD>(OLEUPDATE_ONCALL));
    }
    edit->Clear();
    EXPECT_EQ(object.references, 1U);  // the control and the dialog's helpers let it go
  }
  SetObjectPropertiesEntry(previous);
}

}  // namespace
}  // namespace ux
