#include "skbar/win32/sk_button_options.h"

#include <algorithm>

#include "skbar/win32/sk_item_globals.h"
#include "skbar/win32/sk_toolbar.h"
#include "ui/win32/graphics.h"

namespace skbar {

TSkBarButtonOptions::TSkBarButtonOptions(ui::TControl* owner, TSkBarToolbar* toolbar)
    : owner_(owner), toolbar_(toolbar) {}

void TSkBarButtonOptions::Create() {
  BuildCaptionItems();
  SetTitleBarMaxSize(titleBarMaxSize_);
}

void TSkBarButtonOptions::BuildCaptionItems() {
  tb::TTBCustomItem& root = toolbar_->Items();
  captionLabel_ = ui::Create<TSkBarRightAlignSpacerItem>(*toolbar_);
  captionLabel_->FontSettings().SetStyle(ui::fsBold);
  captionLabel_->SetWrapping(twEndEllipsis);
  captionLabel_->SetCaption(captionText_);
  root.Add(captionLabel_);
  editableItems_ = ui::Create<tb::TTBGroupItem>(*toolbar_);
  root.Add(editableItems_);
  for (TSkBarItem** button : {&minimizeButton_, &maximizeButton_, &closeButton_}) {
    *button = ui::Create<TSkBarItem>(*toolbar_);
    InitButton(**button);
  }
  UpdateButtons();
}

void TSkBarButtonOptions::InitButton(TSkBarItem& button) {
  button.SetCustomWidth(ButtonWidth());
  button.SetCustomHeight(titleBarMaxSize_);
  button.SetDisplayMode(tb::TTBItemDisplayMode::nbdmImageAndText);
  button.SetOnClick([this, &button](ui::TComponent*) { ButtonClicked(button); });
  button.OnDrawItem = [this](TSkBarCustomItem* sender, TSkBarDrawItemArgs& args) {
    DrawButtonFrame(sender, args);
  };
  button.OnDrawImage = [this](TSkBarCustomItem* sender, TSkBarDrawImageArgs& args) {
    DrawButtonImage(sender, args);
  };
  button.SetVisible(false);
  toolbar_->Items().Add(&button);
  SetupButtonIcon(button);
}

void TSkBarButtonOptions::DrawButtonFrame(TSkBarCustomItem*, TSkBarDrawItemArgs& args) {
  if (!buttonBorders_ && args.PaintStage == pstPrePaint && args.PaintDefault)
    *args.PaintDefault = false;
}

void TSkBarButtonOptions::UpdateCaptionLabel() {
  if (captionLabel_) captionLabel_->SetVisible(caption_ || close_ || minimize_ || maximize_);
}

void TSkBarButtonOptions::UpdateButtons() {
  if (!closeButton_) return;
  minimizeButton_->SetVisible(minimize_);
  maximizeButton_->SetVisible(maximize_);
  closeButton_->SetVisible(close_);
  UpdateCaptionLabel();
}

void TSkBarButtonOptions::SetupButtonIcon(TSkBarCustomItem& button) {
  int index = -1;
  int glyph = -1;
  if (&button == captionLabel_) {
    index = captionImageIndex_;
  } else if (&button == closeButton_) {
    index = closeImageIndex_;
    glyph = 0;
  } else if (&button == maximizeButton_ || &button == minimizeButton_) {
    const bool toggled = ButtonToggled(static_cast<const TSkBarItem&>(button));
    const bool maximize = &button == maximizeButton_;
    index = toggled ? restoreImageIndex_ : maximize ? maximizeImageIndex_ : minimizeImageIndex_;
    glyph = toggled ? 3 : maximize ? 1 : 2;
  }
  if (index < 0 && glyph >= 0) {
    button.SetImages(&SkCaptionGlyphs());
    button.SetImageIndex(glyph);
  } else {
    button.SetImages(nullptr);
    button.SetImageIndex(index);
  }
}

void TSkBarButtonOptions::RefreshIcons() {
  for (TSkBarCustomItem* item : std::initializer_list<TSkBarCustomItem*>{
           captionLabel_, minimizeButton_, maximizeButton_, closeButton_})
    if (item) SetupButtonIcon(*item);
}

void TSkBarButtonOptions::MoveItemToTheLeft(tb::TTBCustomItem* item) {
  if (!item || !editableItems_ || item->Parent() != editableItems_) return;
  editableItems_->Remove(item);
  tb::TTBCustomItem& root = toolbar_->Items();
  root.Insert(root.IndexOf(captionLabel_), item);
}

void TSkBarButtonOptions::SetButtonBorders(bool value) {
  buttonBorders_ = value;
  toolbar_->Invalidate();
}

void TSkBarButtonOptions::SetCaption(bool value) {
  caption_ = value;
  UpdateButtons();
}

void TSkBarButtonOptions::SetClose(bool value) {
  close_ = value;
  UpdateButtons();
}

void TSkBarButtonOptions::SetMinimize(bool value) {
  minimize_ = value;
  UpdateButtons();
}

void TSkBarButtonOptions::SetMaximize(bool value) {
  maximize_ = value;
  UpdateButtons();
}

void TSkBarButtonOptions::SetIndex(int& field, int value) {
  field = std::max(value, -1);
  RefreshIcons();
}

void TSkBarButtonOptions::SetCaptionImageIndex(int value) {
  SetIndex(captionImageIndex_, value);
}
void TSkBarButtonOptions::SetCloseImageIndex(int value) {
  SetIndex(closeImageIndex_, value);
}
void TSkBarButtonOptions::SetMinimizeImageIndex(int value) {
  SetIndex(minimizeImageIndex_, value);
}
void TSkBarButtonOptions::SetMaximizeImageIndex(int value) {
  SetIndex(maximizeImageIndex_, value);
}
void TSkBarButtonOptions::SetRestoreImageIndex(int value) {
  SetIndex(restoreImageIndex_, value);
}

void TSkBarButtonOptions::SetTitleBarMaxSize(int value) {
  titleBarMaxSize_ = value;
  toolbar_->SetFixedItemSize(value);
  for (TSkBarItem* button : {minimizeButton_, maximizeButton_, closeButton_})
    if (button) button->SetCustomHeight(value);
}

void TSkBarButtonOptions::SetCaptionText(const std::wstring& text) {
  captionText_ = text;
  if (captionLabel_) captionLabel_->SetCaption(text);
}

}  // namespace skbar
