// The rich-edit control over the platform's rich-edit library.
//   Module: LoadRichEditLibrary (start-up: the four clipboard formats, and "RICHED20.DLL", else
//   "RICHED32.DLL", loaded when RichEditVersion is first asked) sets RichEditVersion (1, 2, or 3
//   on NT 5 or later); FreeRichEditLibrary releases it once no rich-edit window is left.
//   TUxCustomRichEdit (a memo): Lines (TRichEditStrings: the control's lines, and whole RTF or
//   text streams in and out), the selection, text and paragraph attributes, options, undo,
//   search with the find and replace dialogs, notifications as events, OLE objects and their
//   dialogs, and printing. Destroying its window keeps the whole content; a new window gets it
//   back with the modified flag. TUxRichEdit publishes it.
#pragma once

#include <windows.h>

#include <commdlg.h>
#include <richedit.h>
#include <richole.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "rtl/stream.h"
#include "ui/win32/memo.h"
#include "ux/rich_text.h"
#include "ux/win32/rich_edit_attributes.h"

namespace ux {

namespace win32 {
class TUxWindowHook;
}

// Module state
int RichEditVersion();
void LoadRichEditLibrary();
void FreeRichEditLibrary();
struct TRichEditClipboardFormats {
  UINT embeddedObject = 0;
  UINT linkSource = 0;
  UINT richText = 0;
  UINT richTextNoObjects = 0;
};
const TRichEditClipboardFormats& RichEditClipboardFormats();

class TUxCustomRichEdit;
class TRichEditOleCallback;

class TRichEditStrings : public ui::TStrings {
 public:
  explicit TRichEditStrings(TUxCustomRichEdit& richEdit) : richEdit_(richEdit) {}
  std::wstring_view ClassName() const override { return L"TRichEditStrings"; }

  int Count() const override;
  std::wstring Get(int index) const override;
  void Put(int index, const std::wstring& text) override;
  void Insert(int index, const std::wstring& text) override;
  void Delete(int index) override;
  void Clear() override;
  // Replaces the whole text, without change notifications meanwhile.
  void Assign(const std::vector<std::wstring>& lines) override;
  // Appends every line of `lines` (this list itself too), with redrawing off meanwhile.
  void AddStrings(const ui::TStrings& lines);

  // Replaces the text (or the selection with smSelection) by the stream's content from its
  // position; the encoding of plain text comes from its byte-order mark, else the system's.
  void LoadFromStream(rtl::TStream& stream) override;
  void LoadFromStream(rtl::TStream& stream, TStreamEncoding encoding);
  // Plain text is written as UTF-16 LE after its byte-order mark unless another encoding is given.
  void SaveToStream(rtl::TStream& stream);
  void SaveToStream(rtl::TStream& stream, TStreamEncoding encoding);
  // Through the conversion format of the file's extension.
  void LoadFromFile(const std::filesystem::path& path);
  void SaveToFile(const std::filesystem::path& path);

  TRichStreamFormat Format() const { return format_; }
  void SetFormat(TRichStreamFormat format) { format_ = format; }
  TRichStreamModes Mode() const { return mode_; }
  void SetMode(TRichStreamModes mode) { mode_ = mode; }
  void SetConverter(std::unique_ptr<TConversion> converter) { converter_ = std::move(converter); }

  // Another format and mode for the length of a scope.
  class TFormatScope {
   public:
    TFormatScope(TRichEditStrings& lines, TRichStreamFormat format, TRichStreamModes mode);
    TFormatScope(const TFormatScope&) = delete;
    TFormatScope& operator=(const TFormatScope&) = delete;
    ~TFormatScope();

   private:
    TRichEditStrings& lines_;
    TRichStreamFormat format_;
    TRichStreamModes mode_;
  };

 protected:
  void SetUpdateState(bool updating) override;

 private:
  bool PlainTextMeant() const;
  HWND Window() const;
  void StreamIn(rtl::TStream& stream, TStreamEncoding encoding, TConversion& conversion);
  void StreamOut(rtl::TStream& stream, TStreamEncoding encoding, TConversion& conversion);

  TUxCustomRichEdit& richEdit_;
  TRichStreamFormat format_ = TRichStreamFormat::sfDefault;
  TRichStreamModes mode_ = 0;
  std::unique_ptr<TConversion> converter_;
};

using TRichEditResizeEvent = std::function<void(ui::TComponent* sender, const ui::TRect& rect)>;
using TRichEditProtectChange =
    std::function<void(ui::TComponent* sender, int startPos, int endPos, bool& allowChange)>;
using TRichEditProtectChangeEx =
    std::function<void(ui::TComponent* sender, const ui::TMessage& message, int startPos,
                       int endPos, bool& allowChange)>;
using TRichEditSaveClipboard =
    std::function<void(ui::TComponent* sender, int numObjects, int numChars, bool& saveClipboard)>;
using TRichEditURLClickEvent = std::function<void(
    ui::TComponent* sender, const std::wstring& urlText, ui::TMouseButton button)>;
using TRichEditFindErrorEvent =
    std::function<void(ui::TComponent* sender, const std::wstring& findText)>;
enum class TFindDialogKind { fdFind, fdReplace };
using TRichEditFindCloseEvent = std::function<void(ui::TComponent* sender, TFindDialogKind dialog)>;

// The pages of a preview: one enhanced metafile per page.
struct TRichEditPreview {
  TRichEditPreview() = default;
  TRichEditPreview(const TRichEditPreview&) = delete;
  TRichEditPreview& operator=(const TRichEditPreview&) = delete;
  TRichEditPreview(TRichEditPreview&&) = default;
  ~TRichEditPreview();
  std::vector<HENHMETAFILE> pages;
};

class TUxCustomRichEdit : public ui::TMemo {
 public:
  explicit TUxCustomRichEdit(ui::TComponent* owner);
  ~TUxCustomRichEdit() override;
  std::wstring_view ClassName() const override { return L"TUxCustomRichEdit"; }

  TRichEditStrings& Lines() { return *lines_; }

  // Options (applied to the window at once when it exists)
  bool DrawEndPage() const { return drawEndPage_; }
  void SetDrawEndPage(bool value);
  bool HideScrollBars() const { return hideScrollBars_; }
  void SetHideScrollBars(bool value);
  bool SelectionBar() const { return selectionBar_; }
  void SetSelectionBar(bool value);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool value);
  bool AutoURLDetect();
  void SetAutoURLDetect(bool value);
  bool WordSelection();
  void SetWordSelection(bool value);
  TRichLangOptions LangOptions();
  void SetLangOptions(TRichLangOptions value);
  int UndoLimit() const { return undoLimit_; }
  void SetUndoLimit(int value);
  bool PlainText() const { return plainText_; }
  void SetPlainText(bool value);
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int value);
  bool AllowObjects() const { return allowObjects_; }
  void SetAllowObjects(bool value);
  bool AllowInPlace() const { return allowInPlace_; }
  void SetAllowInPlace(bool value) { allowInPlace_ = value; }
  bool AutoVerbMenu() const { return autoVerbMenu_; }
  void SetAutoVerbMenu(bool value) { autoVerbMenu_ = value; }
  const std::wstring& Title() const { return title_; }
  void SetTitle(const std::wstring& title);
  ui::TRect PageRect() const { return pageRect_; }
  void SetPageRect(const ui::TRect& rect) { pageRect_ = rect; }
  // The font's character set, the default format's when the window is made.
  BYTE FontCharset() const { return fontCharset_; }
  void SetFontCharset(BYTE charset);
  TConversionClass DefaultConverter() const { return defaultConverter_; }
  void SetDefaultConverter(TConversionClass converter) { defaultConverter_ = std::move(converter); }
  // Changing the scroll bars makes a new window, which keeps the content.
  void SetScrollBars(ui::TScrollStyle scrollBars);
  void RecreateWnd();

  // Attributes
  TUxTextAttributes& SelAttributes() { return *selAttributes_; }
  TUxTextAttributes& DefAttributes() { return *defAttributes_; }
  TUxTextAttributes& WordAttributes() { return *wordAttributes_; }
  TUxParaAttributes& Paragraph() { return *paragraph_; }
  int ScreenLogPixels() const { return screenLogPixels_; }

  // Selection and text
  CHARRANGE GetSelection();
  void SetSelection(int startPos, int endPos, bool scrollCaret);
  int SelStart();
  void SetSelStart(int value);
  int SelLength();
  void SetSelLength(int value);
  std::wstring SelText();
  void SetSelText(const std::wstring& text);
  std::wstring Text();
  int TextLength();
  bool Modified();
  void SetModified(bool value);
  void Clear();
  std::wstring GetTextRange(int startPos, int endPos);
  int LineFromChar(int charIndex);
  int GetLineIndex(int line);
  int GetLineLength(int charIndex);
  POINT GetCharPos(int charIndex);
  POINT GetCaretPos();  // x: column, y: line
  std::wstring WordAtCursor();
  // The range of the word around the caret (empty when the caret is at no word).
  CHARRANGE WordRange();
  // Copies the selection into `buffer` with a terminating zero; returns the characters copied.
  int GetSelTextBuf(wchar_t* buffer, int bufSize);
  std::string RtfSelText();
  void SetRtfSelText(const std::string& rtf);

  // Undo
  bool CanUndo();
  void Undo();
  bool CanRedo();
  void Redo();
  bool CanPaste();
  void ClearUndo();
  void StopGroupTyping();
  TUndoName UndoName();
  TUndoName RedoName();
  TRichSelectionTypes SelectionType();

  // Search
  int FindText(const std::wstring& searchStr, int startPos, int length, TRichSearchTypes options);
  void FindDialog(const std::wstring& searchStr);
  void ReplaceDialog(const std::wstring& searchStr, const std::wstring& replaceStr);
  bool FindNext();
  bool CanFindNext() const;
  // The open find or replace dialog's window, or null.
  HWND FindDialogWindow(TFindDialogKind kind) const;
  // Handles a request of the find and replace dialogs (their registered message).
  void FindDialogRequest(const FINDREPLACEW& request);

  // OLE objects
  IRichEditOle* RichEditOle() const { return richEditOle_; }
  TRichEditOleCallback* Callback() const { return callback_; }
  bool InsertObjectDialog();
  bool PasteSpecialDialog();
  bool ObjectPropertiesDialog();
  // Closes every object without saving (one active in place is deactivated first).
  void CloseObjects();

  // Printing: to the default printer, or to a printer's DC (`output` a file name or null).
  void Print(const std::wstring& caption);
  int PrintTo(HDC printer, const std::wstring& caption, const wchar_t* output);
  TRichEditPreview CreatePrnPrew(const std::wstring& caption);
  int CreatePrnPrewOn(HDC printer, TRichEditPreview& preview);

  void WndProc(ui::TMessage& message) override;

  ui::TNotifyEvent OnChange;
  ui::TNotifyEvent OnSelectionChange;
  TRichEditResizeEvent OnResizeRequest;
  TRichEditProtectChange OnProtectChange;
  TRichEditProtectChangeEx OnProtectChangeEx;
  TRichEditSaveClipboard OnSaveClipboard;
  TRichEditURLClickEvent OnURLClick;
  TRichEditFindErrorEvent OnTextNotFound;
  TRichEditFindCloseEvent OnCloseFindDialog;

 protected:
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;
  bool NotifyReflected(NMHDR& header, LRESULT& result) override;
  bool CommandReflected(WORD code, LRESULT& result) override;

 private:
  friend class TRichEditStrings;
  friend class TRichEditOleCallback;
  friend class TUxTextAttributes;
  friend class TUxParaAttributes;
  // A find or replace dialog and the request record it works on while it is open.
  struct FindState {
    TFindDialogKind kind = TFindDialogKind::fdFind;
    FINDREPLACEW request{};
    wchar_t findWhat[256] = {};
    wchar_t replaceWith[256] = {};
    HWND window = nullptr;
  };

  // Change notification off for the length of a scope; the event mask is then put back as it
  // was, so a nested scope leaves it off.
  class TChangeNotificationOff {
   public:
    explicit TChangeNotificationOff(TUxCustomRichEdit& richEdit);
    TChangeNotificationOff(const TChangeNotificationOff&) = delete;
    TChangeNotificationOff& operator=(const TChangeNotificationOff&) = delete;
    ~TChangeNotificationOff();

   private:
    TUxCustomRichEdit& richEdit_;
    DWORD mask_ = 0;
    bool taken_ = false;  // the mask was read from a window
  };

  LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  void KeepContent();
  void HandleDestroyed();
  void ReleaseOle();
  // Saves the content, empties the control, applies the text mode and loads the content back.
  void SwitchTextMode(bool saveAsPlain);
  void RestoreContent();
  void ApplyTextMode();
  void ShowFindDialog(TFindDialogKind kind, const std::wstring& searchStr,
                      const std::wstring& replaceStr);
  bool SearchFromDialog(const FINDREPLACEW& request);
  HWND FindDialogOwner();
  // The dialog whose request record this is, or null.
  FindState* DialogOf(const FINDREPLACEW* request) const;
  void MoveDialogOffSelection(HWND dialog);
  bool ContextMenu(ui::TMessage& message);
  void Paint(ui::TMessage& message);
  bool LinkNotification(const ENLINK& link);

  std::unique_ptr<TRichEditStrings> lines_;
  std::unique_ptr<TUxTextAttributes> selAttributes_, defAttributes_, wordAttributes_;
  std::unique_ptr<TUxParaAttributes> paragraph_;
  bool drawEndPage_ = false;
  bool hideScrollBars_ = true;
  bool selectionBar_ = true;
  bool autoURLDetect_ = true;
  bool wordSelection_ = true;
  bool rightButtonUp_ = false;  // the control's own WM_CONTEXTMENU during a release is dropped
  int endPageX_ = -1;           // the printed page's width on screen, once known
  bool plainText_ = false;
  int screenLogPixels_ = 96;
  int undoLimit_ = 100;
  std::unique_ptr<rtl::TMemoryStream> memStream_;  // content kept while there is no window
  bool hideSelection_ = true;
  TRichLangOptions langOptions_ = rlAutoFont;
  bool modified_ = false;
  bool linesUpdating_ = false;
  bool destroying_ = false;
  ui::TRect pageRect_{180, 180, 1308, 1924};
  CHARRANGE clickRange_{-1, -1};
  ui::TMouseButton clickBtn_ = ui::TMouseButton::mbLeft;
  std::unique_ptr<FindState> findDialog_, replaceDialog_;
  FindState* lastFind_ = nullptr;
  win32::TUxWindowHook* findHook_ = nullptr;  // owned: the dialogs' requests at the form
  bool allowObjects_ = true;
  TRichEditOleCallback* callback_ = nullptr;  // counted: one reference of ours
  IRichEditOle* richEditOle_ = nullptr;
  ui::TPopupMenu* popupVerbMenu_ = nullptr;
  std::wstring title_;
  bool autoVerbMenu_ = true;
  bool allowInPlace_ = true;
  TConversionClass defaultConverter_ = DefaultConversionClass();
  int maxLength_ = 0;
  BYTE fontCharset_ = DEFAULT_CHARSET;
};

// Publishes the control's stored settings by name (for the settings components).
class TUxRichEdit : public TUxCustomRichEdit {
 public:
  using TUxCustomRichEdit::TUxCustomRichEdit;
  std::wstring_view ClassName() const override { return L"TUxRichEdit"; }
  void GetPublishedProps(std::vector<const ui::PropInfo*>& out) const override;
};

}  // namespace ux
