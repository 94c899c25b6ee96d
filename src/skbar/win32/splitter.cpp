#include "skbar/win32/splitter.h"
// Before <windowsx.h>, whose macros would rename the framework's members.
#include "skbar/win32/dk_panels.h"

#include <windowsx.h>

#include "skbar/skin_manager.h"
#include "skbar/win32/sk_paint.h"
#include "skbar/win32/sk_skin_paint.h"
#include "skbar/win32/skin_controls.h"
#include "tb/win32/dock.h"
#include "ui/properties.h"

namespace skbar {

namespace {

thread_local TSkBarCustomSplitter* tDragging = nullptr;

}  // namespace

// The resized sibling along the splitter's axis; the parent lays its children out again.
// A multi-dock holding panels is never thinner than their docked frames: that is its minimum.
class TSkBarCustomSplitter::Target : public ISplitControl {
 public:
  Target(ui::TControl& control, bool vertical) : control_(control), vertical_(vertical) {}
  int SplitSize() const override { return vertical_ ? control_.Width() : control_.Height(); }
  int MinConstraint() const override {
    auto* dock = dynamic_cast<TSkBarCustomMultiDock*>(&control_);
    return dock ? dock->MinThickness() : 0;
  }
  // The parent lays out the controls of one alignment in their order among its children, not
  // by their coordinates, so a resize never changes the order of the controls on one side.
  void SetSplitSize(int size) override {
    if (vertical_)
      control_.SetWidth(size);
    else
      control_.SetHeight(size);
    if (control_.Parent()) control_.Parent()->Realign();
  }
  ui::TControl& Control() const { return control_; }

 private:
  ui::TControl& control_;
  bool vertical_;
};

// The inverted line of the line styles, drawn on the parent with its window updates locked.
class TSkBarCustomSplitter::DragLine {
 public:
  DragLine(HWND parent, bool pattern) : parent_(parent) {
    dc_ = GetDCEx(parent, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS | DCX_LOCKWINDOWUPDATE);
    if (pattern) {
      static const WORD bits[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
      HBITMAP bitmap = CreateBitmap(8, 8, 1, 1, bits);
      brush_ = CreatePatternBrush(bitmap);
      DeleteObject(bitmap);
    }
    if (dc_) old_ = SelectObject(dc_, brush_ ? brush_ : GetStockObject(WHITE_BRUSH));
  }
  DragLine(const DragLine&) = delete;
  DragLine& operator=(const DragLine&) = delete;
  ~DragLine() {
    if (dc_) {
      SelectObject(dc_, old_);
      ReleaseDC(parent_, dc_);
    }
    if (brush_) DeleteObject(brush_);
  }
  void Invert(const TRect& r) {
    if (dc_) PatBlt(dc_, r.left, r.top, r.Width(), r.Height(), PATINVERT);
  }

 private:
  HWND parent_;
  HDC dc_ = nullptr;
  HBRUSH brush_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

TSkBarCustomSplitter::TSkBarCustomSplitter(ui::TComponent* owner) : TCustomControl(owner) {
  SetBounds(0, 0, 5, 100);
  SetAlign(TAlign::alLeft);
  StoreColor(ui::clWindow);
  model_.OnMoving = [this](int& size, bool& accept) { accept = FireMoving(size); };
  model_.OnMoved = [this] {
    Invalidate();
    FireMoved();
  };
  SkAddSkinNotification(*this);
}

TSkBarCustomSplitter::~TSkBarCustomSplitter() = default;

void TSkBarCustomSplitter::BeforeDestruction() noexcept {
  if (tDragging == this) EndDrag(true);
  SkRemoveSkinNotification(*this);
  TCustomControl::BeforeDestruction();
}

void TSkBarCustomSplitter::GetPublishedProps(std::vector<const ui::PropInfo*>& out) const {
  TCustomControl::GetPublishedProps(out);
  using S = TSkBarCustomSplitter;
  static constexpr ui::PropInfo kSkinType =
      ui::EnumProp<S, &S::SkinType, &S::SetSkinType>(L"SkinType", SkinTypeNames);
  out.push_back(&kSkinType);
}

void TSkBarCustomSplitter::SetAlign(TAlign align) {
  model_.SetAlign(align);
  cursor_ = align == TAlign::alTop || align == TAlign::alBottom ? ui::crSizeNS : ui::crSizeWE;
  TControl::SetAlign(align);
}

void TSkBarCustomSplitter::FireMoved() {
  if (OnMoved) OnMoved(this);
}

bool TSkBarCustomSplitter::FireMoving(int& newSize) {
  bool accept = true;
  if (OnMoving) OnMoving(this, newSize, accept);
  return accept;
}

void TSkBarCustomSplitter::SetGripSize(int value) {
  model_.SetGripSize(value);
  Invalidate();
}

void TSkBarCustomSplitter::SetSkinType(TSkBarSkinType value) {
  skinType_ = value;
  Invalidate();
}

void TSkBarCustomSplitter::SetParentColor(bool value) {
  parentColor_ = value;
  Invalidate();
}

ui::TControl* TSkBarCustomSplitter::FindControl() {
  ui::TWinControl* parent = Parent();
  if (!parent) return nullptr;
  std::vector<TSplitCandidate> candidates;
  std::vector<ui::TControl*> controls;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    ui::TControl* c = parent->Controls(i);
    if (c == this) continue;
    const std::wstring_view name = c->ClassName();
    const auto* dock = dynamic_cast<const tb::TTBDock*>(c);
    const bool multiDock = name == L"TSkBarMultiDock";
    const bool excluded = dynamic_cast<const TSkBarCustomSplitter*>(c) || name == L"TStatusBar" ||
                          name == L"TPanel" || (dock && !multiDock);
    candidates.push_back({c->BoundsRect(), c->Align(), c->Visible(), excluded,
                          multiDock && dock->DockVisibleList().empty()});
    controls.push_back(c);
  }
  const int found = FindSplitControl(BoundsRect(), Align(), candidates);
  return found < 0 ? nullptr : controls[static_cast<std::size_t>(found)];
}

void TSkBarCustomSplitter::ChangeSplitControlSize(int newSize) {
  if (ui::TControl* c = FindControl()) {
    Target target(*c, model_.IsVertical());
    model_.ChangeSplitControlSize(target, newSize);
  }
}

void TSkBarCustomSplitter::Minimize() {
  ChangeSplitControlSize(0);
}

void TSkBarCustomSplitter::Restore() {
  if (ui::TControl* c = FindControl()) {
    Target target(*c, model_.IsVertical());
    model_.Restore(target);
  }
}

void TSkBarCustomSplitter::Toggle() {
  if (ui::TControl* c = FindControl()) {
    Target target(*c, model_.IsVertical());
    model_.Toggle(target);
  }
}

TRect TSkBarCustomSplitter::GripRect() {
  return SplitterGripRect({0, 0, Width(), Height()}, model_.IsVertical(), model_.GripSize());
}

void TSkBarCustomSplitter::InvalidateGrip() {
  Invalidate();
}

int TSkBarCustomSplitter::AxisPos(int x, int y) const {
  return model_.IsVertical() ? x + Left() : y + Top();
}

void TSkBarCustomSplitter::ShowLine() {
  if (!line_ || !model_.LineVisible()) return;
  // The offset is the cursor's travel as the clamping allowed it.
  const TRect b = BoundsRect();
  const int d = model_.LineOffset();
  line_->Invert(model_.IsVertical() ? TRect{b.left + d, b.top, b.right + d, b.bottom}
                                    : TRect{b.left, b.top + d, b.right, b.bottom + d});
}

void TSkBarCustomSplitter::MouseDown(ui::TMouseButton button, ui::TShiftState shift, int x, int y) {
  TCustomControl::MouseDown(button, shift, x, y);
  if (button != ui::TMouseButton::mbLeft || (shift & ui::ssDouble) || Dragging()) return;
  ui::TControl* c = FindControl();
  if (!c) return;
  ui::TWinControl* parent = Parent();
  const bool vertical = model_.IsVertical();
  int aligned = 0;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    ui::TControl* s = parent->Controls(i);
    if (s == this || !s->Visible()) continue;
    const TAlign a = s->Align();
    if (vertical ? (a == TAlign::alLeft || a == TAlign::alRight)
                 : (a == TAlign::alTop || a == TAlign::alBottom))
      aligned += vertical ? s->Width() : s->Height();
  }
  const int client = vertical ? parent->ClientWidth() : parent->ClientHeight();
  const int own = vertical ? Width() : Height();
  target_ = std::make_unique<Target>(*c, vertical);
  const TRect grip = GripRect();
  const bool inGrip = x >= grip.left && x < grip.right && y >= grip.top && y < grip.bottom;
  model_.MouseDown(*target_, AxisPos(x, y), inGrip,
                   SplitMaxSize(client, model_.MinSize(), own, aligned, target_->SplitSize()));
  tDragging = this;
  keyHook_ = SetWindowsHookExW(WH_KEYBOARD, KeyHook, nullptr, GetCurrentThreadId());
  tracking_ = true;
  SetCapture(Handle());
  if (model_.LineVisible()) {
    line_ =
        std::make_unique<DragLine>(parent->Handle(), model_.ResizeStyle == TResizeStyle::rsPattern);
    ShowLine();
  }
}

void TSkBarCustomSplitter::MouseMove(ui::TShiftState shift, int x, int y) {
  TCustomControl::MouseMove(shift, x, y);
  if (Dragging()) {
    if (!(shift & ui::ssLeft)) return;
    ShowLine();  // erase
    model_.MouseMove(AxisPos(x, y));
    ShowLine();
    return;
  }
  const TRect grip = GripRect();
  const bool hot = x >= grip.left && x < grip.right && y >= grip.top && y < grip.bottom;
  if (model_.SetGripHot(hot)) InvalidateGrip();
  TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
  TrackMouseEvent(&track);
}

void TSkBarCustomSplitter::FinishDrag(int x, int y) {
  ShowLine();  // erase
  line_.reset();
  const TRect grip = GripRect();
  model_.MouseUp(x >= grip.left && x < grip.right && y >= grip.top && y < grip.bottom);
  EndDrag(false);
}

void TSkBarCustomSplitter::EndDrag(bool cancelled) {
  if (!tracking_) return;
  tracking_ = false;
  if (line_) {
    ShowLine();
    line_.reset();
  }
  if (cancelled) model_.Cancel();
  if (keyHook_) UnhookWindowsHookEx(keyHook_);
  keyHook_ = nullptr;
  if (tDragging == this) tDragging = nullptr;
  target_.reset();
  if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
  if (HandleAllocated()) InvalidateGrip();
}

LRESULT CALLBACK TSkBarCustomSplitter::KeyHook(int code, WPARAM wParam, LPARAM lParam) {
  // Escape while a drag lasts ends it; the key goes no further.
  if (code == HC_ACTION && wParam == VK_ESCAPE && tDragging && !(lParam & 0x80000000)) {
    tDragging->EndDrag(true);
    return 1;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void TSkBarCustomSplitter::WndProc(ui::TMessage& message) {
  switch (message.Msg) {
    case WM_SKINCHANGE:
      Invalidate();
      return;
    case WM_SETCURSOR:
      if (LOWORD(message.LParam) == HTCLIENT) {
        ::SetCursor(ui::Screen ? ui::Screen->Cursors(cursor_) : LoadCursorW(nullptr, IDC_SIZEWE));
        message.Result = TRUE;
        return;
      }
      break;
    case WM_LBUTTONUP:
      // Before the library releases the capture, which would cancel the drag.
      if (Dragging()) FinishDrag(GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam));
      break;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(message.LParam) != Handle()) EndDrag(true);
      break;
    case WM_MOUSELEAVE:
      if (model_.SetGripHot(false)) InvalidateGrip();
      break;
    default:
      break;
  }
  TCustomControl::WndProc(message);
}

void TSkBarCustomSplitter::FireDrawBackground(const TRect& rect, TSkBarPaintStage stage,
                                              bool& paintDefault) {
  if (OnDrawBackground) OnDrawBackground(this, Canvas(), rect, stage, paintDefault);
}

void TSkBarCustomSplitter::Paint() {
  ui::TCanvas& canvas = Canvas();
  const TRect r{0, 0, Width(), Height()};
  const bool vertical = model_.IsVertical();
  bool paintDefault = true;
  FireDrawBackground(r, TSkBarPaintStage::pstPrePaint, paintDefault);
  if (paintDefault) {
    const bool skin = SkEffectiveSkinType(skinType_) == sknSkin;
    const TSkBarSkinOptions& options = SkCurrentSkin();
    if (skin) {
      SkPaintBackground(options, canvas, r, skncSplitter, sknsNormal, true, true, vertical);
    } else {
      TColor color = parentColor_ && Parent() ? Parent()->Color() : Color();
      SkFillRect(canvas, r, color == clNone ? ui::clBtnFace : color);
    }
    if (model_.GripSize() > 0) {
      const TRect grip = SplitterGripDrawRect(GripRect(), vertical);
      if (skin) {
        if (model_.GripHot())
          SkPaintBackground(options, canvas, GripRect(), skncButton, sknsHotTrack, true, true,
                            vertical);
        const TSkBarSkinOptionEntry& dots = options.Options(skncToolbarGrip).Body;
        SkDrawDotsGrip(canvas, grip, dots.Color1, dots.Color2);
      } else {
        SkDrawDotsGrip(canvas, grip, ui::clBtnShadow, ui::clWindow);
      }
    }
  }
  FireDrawBackground(r, TSkBarPaintStage::pstPostPaint, paintDefault);
}

}  // namespace skbar
