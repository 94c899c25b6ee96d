// TSkBarCustomSplitter (published as TSkBarSplitter): a skinned bar that resizes the sibling it
// is aligned against by dragging, collapses it to MinSize and restores it, with a grip that
// toggles both by a click. The decisions are TSplitterModel's (skbar/splitter_model.h); this
// window finds the sibling, turns mouse input into model calls, draws the drag line of the line
// styles, ends a drag on Escape (a thread keyboard hook while it lasts) or lost capture, and
// paints: the skin's splitter background under a skin, else its colour (the parent's while
// ParentColor), and the grip's dots.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "skbar/sk_paint_stage.h"
#include "skbar/skin_options.h"
#include "skbar/splitter_model.h"
#include "ui/win32/controls.h"
#include "ui/win32/forms.h"

namespace skbar {

using TSkBarDrawBackgroundEvent =
    std::function<void(ui::TComponent* sender, ui::TCanvas& canvas, const TRect& rect,
                       TSkBarPaintStage stage, bool& paintDefault)>;

class TSkBarCustomSplitter : public ui::TCustomControl {
 public:
  explicit TSkBarCustomSplitter(ui::TComponent* owner);
  ~TSkBarCustomSplitter() override;
  void BeforeDestruction() noexcept override;
  std::wstring_view ClassName() const override { return L"TSkBarSplitter"; }
  // Publishes "SkinType", so that the skin manager's ChangeControlSkinType reaches it.
  void GetPublishedProps(std::vector<const ui::PropInfo*>& out) const override;
  void WndProc(ui::TMessage& message) override;

  // Every alignment request also sets Cursor: crSizeNS for alTop and alBottom, else crSizeWE.
  void SetAlign(TAlign align);
  // The cursor shown over the splitter.
  ui::TCursor Cursor() const { return cursor_; }
  void SetCursor(ui::TCursor cursor) { cursor_ = cursor; }
  int GripSize() const { return model_.GripSize(); }
  void SetGripSize(int value);
  int MinSize() const { return model_.MinSize(); }
  void SetMinSize(int value) { model_.SetMinSize(value); }
  bool AutoCalcMaxSize() const { return model_.AutoCalcMaxSize; }
  void SetAutoCalcMaxSize(bool value) { model_.AutoCalcMaxSize = value; }
  TResizeStyle ResizeStyle() const { return model_.ResizeStyle; }
  void SetResizeStyle(TResizeStyle value) { model_.ResizeStyle = value; }
  TSkBarSkinType SkinType() const { return skinType_; }
  void SetSkinType(TSkBarSkinType value);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool value);
  int RestorePos() const { return model_.RestorePos(); }

  // The sibling the splitter resizes now, or null.
  ui::TControl* FindControl();
  void Minimize();
  void Restore();
  void Toggle();
  void ChangeSplitControlSize(int newSize);
  bool Dragging() const { return model_.Dragging(); }
  // The grip in client coordinates.
  TRect GripRect();
  void InvalidateGrip();

  TSkBarDrawBackgroundEvent OnDrawBackground;
  std::function<void(ui::TComponent* sender, int& newSize, bool& accept)> OnMoving;
  ui::TNotifyEvent OnMoved;

 protected:
  void Paint() override;
  void MouseDown(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override;
  void MouseMove(ui::TShiftState shift, int x, int y) override;
  virtual void FireDrawBackground(const TRect& rect, TSkBarPaintStage stage, bool& paintDefault);
  // Fires OnMoved.
  virtual void FireMoved();
  // Fires OnMoving (Accept starting true) and answers Accept; an accepted size below MinSize
  // becomes 0 afterwards.
  virtual bool FireMoving(int& newSize);

 private:
  class Target;
  class DragLine;
  static LRESULT CALLBACK KeyHook(int code, WPARAM wParam, LPARAM lParam);
  int AxisPos(int x, int y) const;
  void FinishDrag(int x, int y);
  void EndDrag(bool cancelled);
  void ShowLine();

  TSplitterModel model_;
  TSkBarSkinType skinType_ = sknSkin;
  ui::TCursor cursor_ = ui::crSizeWE;
  bool parentColor_ = true;
  std::unique_ptr<Target> target_;
  std::unique_ptr<DragLine> line_;
  HHOOK keyHook_ = nullptr;
  bool tracking_ = false;
};

}  // namespace skbar
