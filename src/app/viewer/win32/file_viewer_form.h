// The file viewer: one modeless window per viewed file, showing it as text, hex dump, BASIC
// listing or the Z80 notice (the choice is BuildViewerContent's), with the size from the
// directory entry in the status bar. The window keeps its own copy of the bytes, is freed when
// closed (Escape closes it) and keeps its placement under the "TFileViewerForm" section.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/file_view_text.h"
#include "rtl/stream.h"
#include "ui/win32/forms.h"
#include "ui/win32/memo.h"
#include "ui/win32/status_bar.h"
#include "ux/form_storage.h"

namespace app {

inline const std::wstring kViewerSettingsKey = L"Software\\Kelpfin\\Quollbox";

class TFileViewerForm : public ui::TForm {
 public:
  TFileViewerForm(ui::TComponent* owner, const std::wstring& settingsKey = kViewerSettingsKey);

  std::wstring_view ClassName() const override { return L"TFileViewerForm"; }
  // Builds the controls (no virtual call of the form's own runs in its constructor).
  void AfterConstruction() override;

  // Opens a new viewer window, owned by the application, for the whole content of `stream`
  // (read from its start; the caller keeps the stream). `displaySize` is the size the status
  // bar shows. Returns the window, already shown.
  static TFileViewerForm* ViewStream(rtl::TStream& stream, const std::wstring& fileName,
                                     std::int32_t displaySize, TViewerMode mode,
                                     const std::wstring& settingsKey = kViewerSettingsKey);

  // Replaces the window's copy with the whole content of `stream` and shows it in `mode`.
  void ShowContents(rtl::TStream& stream, TViewerMode mode);

  ui::TMemo& Memo() { return *memo_; }
  ui::TStatusBar& StatusBar() { return *statusBar_; }
  ux::TFormStorage& FormStorage() { return *formStorage_; }

 private:
  // Escape closes the window.
  void FormKeyDown(ui::TComponent* sender, WORD& key, ui::TShiftState shift);

  std::wstring settingsKey_;
  std::int32_t FDisplaySize = 0;
  rtl::TMemoryStream FDataStream;  // the window's own copy of the file
  std::wstring FFileName;
  ui::TMemo* memo_ = nullptr;
  ui::TStatusBar* statusBar_ = nullptr;
  ux::TFormStorage* formStorage_ = nullptr;
};

}  // namespace app
