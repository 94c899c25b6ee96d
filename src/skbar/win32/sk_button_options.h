// Caption items of a caption toolbar (a panel's caption bar).
//   TSkBarButtonOptions builds on the toolbar, in order: the caption label (a bold right-align
//   spacer with an end ellipsis, which fills the room left), a group for extra items and the
//   minimise, maximise and close buttons. Switching Caption, Close, Minimize or Maximize shows
//   or hides its part; the label stays shown while any of them is on. A button's icon is an
//   index into the toolbar's images, or at -1 a glyph of the shared caption-glyph list (0 close,
//   1 maximise, 2 minimise, 3 restore for a toggled button). Clicks go to ButtonClicked; with
//   ButtonBorders off the buttons get no background. Built in two phases: construct, then
//   Create() (it calls virtual operations).
#pragma once

#include <string>

#include "skbar/sk_item.h"
#include "ui/persistent.h"

namespace ui {
class TControl;
}

namespace skbar {

class TSkBarToolbar;

class TSkBarButtonOptions : public ui::TPersistent {
 public:
  TSkBarButtonOptions(ui::TControl* owner, TSkBarToolbar* toolbar);
  std::wstring_view ClassName() const override { return L"TSkBarButtonOptions"; }

  // Virtual operations.
  virtual void DrawButtonImage(TSkBarCustomItem* /*sender*/, TSkBarDrawImageArgs& /*args*/) {}
  virtual void DrawButtonFrame(TSkBarCustomItem* sender, TSkBarDrawItemArgs& args);
  virtual void ButtonClicked(TSkBarItem& button) = 0;
  virtual void BuildCaptionItems();
  virtual void UpdateCaptionLabel();
  virtual void InitButton(TSkBarItem& button);
  virtual bool ButtonToggled(const TSkBarItem& button) const = 0;
  virtual void Create();
  virtual void SetupButtonIcon(TSkBarCustomItem& button);
  // The width of a caption button.
  virtual int ButtonWidth() const { return 17; }

  // Moves an item out of the group of extra items to just before the caption label.
  void MoveItemToTheLeft(tb::TTBCustomItem* item);
  void RefreshIcons();

  bool ButtonBorders() const { return buttonBorders_; }
  void SetButtonBorders(bool value);
  bool Caption() const { return caption_; }
  void SetCaption(bool value);
  bool Close() const { return close_; }
  void SetClose(bool value);
  bool Minimize() const { return minimize_; }
  void SetMinimize(bool value);
  bool Maximize() const { return maximize_; }
  void SetMaximize(bool value);
  int CaptionImageIndex() const { return captionImageIndex_; }
  void SetCaptionImageIndex(int value);
  int CloseImageIndex() const { return closeImageIndex_; }
  void SetCloseImageIndex(int value);
  int MinimizeImageIndex() const { return minimizeImageIndex_; }
  void SetMinimizeImageIndex(int value);
  int MaximizeImageIndex() const { return maximizeImageIndex_; }
  void SetMaximizeImageIndex(int value);
  int RestoreImageIndex() const { return restoreImageIndex_; }
  void SetRestoreImageIndex(int value);
  // The caption toolbar's fixed item size, and the buttons' height.
  int TitleBarMaxSize() const { return titleBarMaxSize_; }
  void SetTitleBarMaxSize(int value);

  const std::wstring& CaptionText() const { return captionText_; }
  void SetCaptionText(const std::wstring& text);
  ui::TControl* Owner() const { return owner_; }
  TSkBarToolbar* Toolbar() const { return toolbar_; }
  TSkBarRightAlignSpacerItem* CaptionLabel() const { return captionLabel_; }
  tb::TTBGroupItem* EditableItems() const { return editableItems_; }
  TSkBarItem* MinimizeButton() const { return minimizeButton_; }
  TSkBarItem* MaximizeButton() const { return maximizeButton_; }
  TSkBarItem* CloseButton() const { return closeButton_; }

 protected:
  void StoreTitleBarMaxSize(int value) { titleBarMaxSize_ = value; }
  void StoreMinimizeMaximize(bool minimize, bool maximize) {
    minimize_ = minimize;
    maximize_ = maximize;
  }

 private:
  void UpdateButtons();
  void SetIndex(int& field, int value);

  ui::TControl* owner_;
  TSkBarToolbar* toolbar_;
  std::wstring captionText_;
  TSkBarRightAlignSpacerItem* captionLabel_ = nullptr;
  tb::TTBGroupItem* editableItems_ = nullptr;
  TSkBarItem* minimizeButton_ = nullptr;
  TSkBarItem* maximizeButton_ = nullptr;
  TSkBarItem* closeButton_ = nullptr;
  bool buttonBorders_ = true;
  bool caption_ = true;
  bool close_ = true;
  bool minimize_ = true;
  bool maximize_ = true;
  int captionImageIndex_ = -1;
  int closeImageIndex_ = -1;
  int minimizeImageIndex_ = -1;
  int maximizeImageIndex_ = -1;
  int restoreImageIndex_ = -1;
  int titleBarMaxSize_ = 21;
};

}  // namespace skbar
