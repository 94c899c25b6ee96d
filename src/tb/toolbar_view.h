// Toolbars, portable part: the toolbar's view, its chevron item and the decisions a toolbar
// window makes without a window.
//   ToolbarViewSettings: the view's orientation, chevron offset and wrap offset for the dock
//   state the toolbar is in (docked top/bottom or left/right, floating, placed on a form) and
//   its shrink mode.
//   TTBToolbarView: the view of a toolbar's root item. It shows the toolbar's chevron item (and
//   MDI items) as internal viewers, uses the toolbar's font through the view's window, and lays
//   out at least as thick as the dock's row and, in chevron mode, at least as long as its wrap
//   offset (a floating toolbar's FloatingWidth); the toolbar (ITBToolbarViewHost) takes the
//   laid-out size.
//   TTBChevronItem: the "More Buttons" submenu at the end of a shortened toolbar; its popup
//   lists the viewers the toolbar could not show.
//   ToolbarKeyboardOpen: the keyboard entry into a toolbar (Alt, F10, Alt+letter, a dialog
//   character): the viewer to select and how the loop starts, or nothing.
//   Floating resize: the sizes a floating toolbar can take (each a wrap width at which its
//   items fill the width exactly) and the choice among them while an edge is dragged.
//   ToolbarKeyMenu: the system key-menu command (Alt, F10, Alt+letter reach a menu bar as
//   WM_SYSCOMMAND/SC_KEYMENU); answers whether the toolbar took it (a command it does not
//   take, such as Alt+Space, goes on to the default processing that opens the system menu).
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "tb/dock_layout.h"
#include "tb/modal_loop.h"
#include "tb/view.h"

namespace tb {

enum class TTBChevronPriorityForNewItems : std::uint8_t { tbcpHighest, tbcpLowest };

inline constexpr int kChevronSize = 12;

struct TTBToolbarViewInput {
  TTBDockType dockType = TTBDockType::dtNotDocked;  // not docked: placed on a form
  TTBShrinkMode shrinkMode = TTBShrinkMode::tbsmChevron;
  // On a form: the size follows the content (AutoResize) unless anchored on both sides.
  bool autoResize = true;
  bool anchoredLeftAndRight = false;
  int width = 0, nonClientWidth = 0;
  // Docked: the length the dock gives a shrunk toolbar (0: its full length), the dock's inner
  // length across its rows and the docked frame's length along the dock.
  int dockGivenLength = 0, dockInnerLength = 0, dockedFrameLength = 0;
  // Floating: the wrap width (FloatingWidth).
  int floatingWidth = 0;
};
struct TTBToolbarViewSettings {
  TTBViewOrientation orientation = TTBViewOrientation::tbvoHorizontal;
  int chevronOffset = 0, chevronSize = kChevronSize, wrapOffset = 0;
};
TTBToolbarViewSettings ToolbarViewSettings(const TTBToolbarViewInput& input);

class TTBToolbarView;

// What a toolbar's view asks of its toolbar.
class ITBToolbarViewHost {
 public:
  virtual TTBCustomItem* ChevronItem() = 0;
  virtual TTBCustomItem* MDIButtonsItem() { return nullptr; }
  virtual TTBCustomItem* MDISystemMenuItem() { return nullptr; }
  // The thickness of the toolbar's row on its dock (0 when not docked).
  virtual int MinRowSize() = 0;
  virtual TTBShrinkMode ShrinkMode() const = 0;
  // The view was laid out at this size (the toolbar resizes when it changed).
  virtual void ViewAutoSize(int width, int height) = 0;
  // Raised around the view's layout (the toolbar ignores size requests meanwhile).
  virtual void LayoutStarting() {}
  virtual void LayoutFinished() {}

 protected:
  ~ITBToolbarViewHost() = default;
};

class TTBToolbarView : public TTBView {
 public:
  TTBToolbarView(ui::TComponent* owner, ITBToolbarViewHost& toolbar, TTBCustomItem* rootItem,
                 ITBViewWindow* window, bool usePriorityList);
  std::wstring_view ClassName() const override { return L"TTBToolbarView"; }
  ITBToolbarViewHost& Toolbar() const { return toolbar_; }

  // Applies the settings (each change invalidates the positions).
  void ApplySettings(const TTBToolbarViewSettings& settings);

  void AutoSize(int width, int height) override;
  void DoUpdatePositions(int& width, int& height) override;
  TTBCustomItem* GetChevronItem() override { return toolbar_.ChevronItem(); }
  TTBCustomItem* GetMDIButtonsItem() override { return toolbar_.MDIButtonsItem(); }
  TTBCustomItem* GetMDISystemMenuItem() override { return toolbar_.MDISystemMenuItem(); }

 private:
  ITBToolbarViewHost& toolbar_;
};

// The chevron: a submenu that lists the toolbar's hidden items (its sub-items are the root
// item's, through LinkSubitems).
class TTBChevronItem : public TTBCustomItem {
 public:
  explicit TTBChevronItem(ui::TComponent* owner);
  std::wstring_view ClassName() const override { return L"TTBChevronItem"; }
  TTBView* GetChevronParentView() override { return toolbarView_; }
  std::unique_ptr<TTBItemViewer> CreateViewer(TTBView& view, int groupLevel) override;
  void SetToolbarView(TTBView* view) { toolbarView_ = view; }
  // The hint; the caption becomes its short part with ampersands doubled.
  void SetChevronHint(const std::wstring& hint);

 private:
  TTBView* toolbarView_ = nullptr;
};

// Draws the chevron's frame and double arrow (the Windows side; nothing elsewhere).
class TTBChevronItemViewer : public TTBItemViewer {
 public:
  using TTBItemViewer::TTBItemViewer;
  void Paint(ui::TCanvas& canvas, const TRect& clientAreaRect, bool isSelected, bool isPushed,
             bool useDisabledShadow) override;
};

// The chevron glyph: 8 x 8 monochrome rows, top to bottom, and its place in the viewer's
// rectangle (moved one pixel right and down when pushed).
struct TTBChevronGlyph {
  std::uint8_t rows[8] = {};
  TRect rect;
};
TTBChevronGlyph ChevronGlyph(bool vertical, const TRect& viewerRect, bool pushed);

// How a keyboard entry into a toolbar goes.
struct TTBKeyboardOpenChoice {
  bool enterLoop = false;
  TTBItemViewer* select = nullptr;
  TTBEnterToolbarLoopOptions options = 0;
};
// `key` 0: the first selectable viewer. Otherwise the next viewer with that accelerator: the
// only enabled match executes, an enabled match on a menu bar is selected, anything else
// (a disabled match, one of several on a plain toolbar, no match) enters nothing.
TTBKeyboardOpenChoice ChooseKeyboardOpen(const TTBView& view, wchar_t key, bool requirePrimaryAccel,
                                         bool menuBar);

// The loop entry of a toolbar as its window runs it.
class ITBToolbarLoopEntry {
 public:
  virtual void EnterLoop(TTBEnterToolbarLoopOptions options) = 0;
  virtual void Beep() = 0;

 protected:
  ~ITBToolbarLoopEntry() = default;
};
// Nothing while a loop runs; otherwise accelerators show, the choice above is carried out and
// accelerators are hidden again (as the view allows). True when a loop ran.
bool ToolbarKeyboardOpen(TTBView& view, wchar_t key, bool requirePrimaryAccel, bool menuBar,
                         ITBToolbarLoopEntry& entry);
// SC_KEYMENU with `key` (0 for Alt alone or F10) on a toolbar: taken by a usable menu bar when
// the key is not a space and nothing holds the capture; a failed entry beeps unless the key is
// "-". Answers whether it was taken (the message's result is then 1).
bool ToolbarKeyMenu(TTBView& view, bool menuBar, bool usable, bool captureHeld, wchar_t key,
                    ITBToolbarLoopEntry& entry);

// The shortest length a shrinking toolbar takes on its dock: its highest-priority viewer's
// length along the orientation, the docked frame and the chevron.
int ToolbarShrinkLimit(TTBView& view, int dockedFrameLength);

// A size a floating toolbar can take: its outer size and the wrap width (FloatingWidth) that
// gives it (0: everything on one line).
struct TTBFloatingSize {
  int width = 0, height = 0;
  int floatingWidth = 0;
  int lines = 0;
};
// The content laid out at a wrap width: its size and wrapped line count.
struct TTBFloatingLayout {
  int width = 0, height = 0, lines = 0;
};
// Lays out at wrap width 0, then at each width from that width - 1 down: a narrower result
// jumps there; an exact fit is a size (replacing the last one when its line count is the
// same); the walk stops when an item no longer fits or at `minWrap`. `frame` is the outer size
// less the content. Sorted longest first by width (`byWidth`) or by height.
std::vector<TTBFloatingSize> FloatingSizes(const std::function<TTBFloatingLayout(int)>& layoutAt,
                                           TPoint frame, int minWrap, bool byWidth);

// The size data kept while an edge of a floating toolbar is dragged: the sizes it can take
// (NewSizes), the dragged dimension's original length, the dead zone around it
// (DistanceToSmallerSize, DistanceToLargerSize) and its switch (DisableSensCheck, OpSide). The
// toolbar keeps the handle and the wrap width reached.
class TToolbarSizeData {
 public:
  // `original`: the outer size when the drag began.
  TToolbarSizeData(std::vector<TTBFloatingSize> sizes, bool byWidth, TPoint original);
  // The size for the dragged length (along the dragged edge's dimension). Near the original
  // (half way to a neighbouring size) the original stays, until the size has changed once.
  const TTBFloatingSize& Step(int draggedLength);
  bool Empty() const { return newSizes_.empty(); }

 private:
  int Length(const TTBFloatingSize& s) const { return byWidth_ ? s.width : s.height; }
  std::vector<TTBFloatingSize> newSizes_;
  bool byWidth_;
  int origLength_;
  int distanceToSmallerSize_ = 0, distanceToLargerSize_ = 0;
  bool disableSensCheck_ = false, opSide_ = false;
};

}  // namespace tb
