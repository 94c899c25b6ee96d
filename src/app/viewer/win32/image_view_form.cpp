#include "app/viewer/win32/image_view_form.h"

#include <vector>

#include "app/msx_picture.h"
#include "gfx/bitmap32.h"

namespace app {

TfrmImageView::TfrmImageView(ui::TComponent* owner) : ui::TForm(owner) {}

void TfrmImageView::AfterConstruction() {
  ui::TForm::AfterConstruction();
  SetCaption(L"Image Viewer");
  Font().SetName(L"Tahoma");
  Font().SetHeight(-11);
  SetKeyPreview(true);
  SetClientSize(635, 510);

  imageView_ = ui::Create<gfx::TImgView32>(*this);
  imageView_->SetName(L"ImageView");
  imageView_->SetParent(this);
  imageView_->SetAlign(ui::TAlign::alClient);
  gfx::TCustomImgView32& view = imageView_->View();
  view.Bitmap().SetResamplerClassName(L"TNearestResampler");
  // The view keeps placing the picture through its offsets (centred while it fits, moved by the
  // bars when it does not); a centring alignment would leave the bars without effect.
  view.SetScale(2.0f);
  view.SetScaleMode(gfx::smScale);
  view.SetOverSize(0);
  view.SetSizeGrip(gfx::sgAuto);
  view.ScrollBars().SetStyle(gfx::rbsDefault);
  view.ScrollBars().SetShowHandleGrip(true);

  OnKeyDown = [this](ui::TComponent* sender, WORD& key, ui::TShiftState shift) {
    FormKeyDown(sender, key, shift);
  };
  // Each view opens a window of its own, so a closed one goes away with its picture.
  OnClose = [](ui::TComponent*, ui::TCloseAction& action) { action = ui::TCloseAction::caFree; };
}

TfrmImageView* TfrmImageView::ViewFile(const std::wstring& fileName, rtl::TStream& stream) {
  auto* form = ui::Create<TfrmImageView>(*ui::Application);
  form->FinishLoading();
  form->LoadImage(stream, fileName);
  form->Show();
  return form;
}

void TfrmImageView::LoadImage(rtl::TStream& stream, const std::wstring& fileName) {
  SetCaption(L"Image Viewer - " + fileName);
  stream.SetPosition(0);
  std::vector<std::uint8_t> data(static_cast<std::size_t>(stream.Size()));
  data.resize(stream.ReadFully(data));
  const auto picture = DecodeMsxPicture(data, MsxPictureKind(fileName));
  if (!picture) return;
  gfx::TBitmap32 bitmap;
  bitmap.SetSize(kMsxPictureWidth, kMsxPictureHeight);
  for (int y = 0; y < kMsxPictureHeight; ++y)
    for (int x = 0; x < kMsxPictureWidth; ++x) bitmap.SetPixel(x, y, picture->Pixel(x, y));
  imageView_->Bitmap().Assign(&bitmap);
}

void TfrmImageView::FormKeyDown(ui::TComponent*, WORD& key, ui::TShiftState) {
  if (key != VK_ESCAPE) return;
  key = 0;
  Close();
}

}  // namespace app
