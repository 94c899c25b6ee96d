// The picture viewer: one modeless window per viewed SCREEN 5 or SCREEN 8 picture, decoded into
// a bitmap and shown twice its size with hard-edged pixels in a scrolling image view, centred
// while it fits. Escape closes the window, which then goes away.
#pragma once

#include <string>

#include "gfx/win32/image_view.h"
#include "rtl/stream.h"
#include "ui/win32/forms.h"

namespace app {

class TfrmImageView : public ui::TForm {
 public:
  explicit TfrmImageView(ui::TComponent* owner);

  std::wstring_view ClassName() const override { return L"TfrmImageView"; }
  // Builds the controls (no virtual call of the form's own runs in its constructor).
  void AfterConstruction() override;

  // Opens a new viewer window, owned by the application, for the picture in `stream` (the
  // whole file, read from its start) and shows it. Returns the window.
  static TfrmImageView* ViewFile(const std::wstring& fileName, rtl::TStream& stream);

  // The caption names the file; a ".SC5" or ".SC8" name decodes the picture into the view,
  // any other leaves the view empty.
  void LoadImage(rtl::TStream& stream, const std::wstring& fileName);

  gfx::TImgView32& ImageView() { return *imageView_; }

 private:
  // Escape closes the window.
  void FormKeyDown(ui::TComponent* sender, WORD& key, ui::TShiftState shift);

  gfx::TImgView32* imageView_ = nullptr;
};

}  // namespace app
