// Skinned toolbars, portable part.
//   TSkBarToolbarView: a toolbar's view that measures its largest item (across its direction)
//   before each layout, so that stretching items can be as thick as it (TSkBarItemViewer), and
//   that may hold a fixed item size (-1: none) cutting its items' thickness. Its own update
//   counter brackets the framework's; the outermost EndUpdate has the toolbar right-align and
//   anchor its items (ISkBarToolbarHost).
//   SkDisplayModeOptions: a toolbar's display mode carried into its item options.
//   SkRightAlignSpacerWidth: the room a right-align spacer fills.
//   TSkNonNegativeCounter: a begin/end counter that never goes below 0.
#pragma once

#include <cstdint>

#include "skbar/skin_options.h"
#include "tb/toolbar_view.h"

namespace skbar {

enum class TSkBarToolbarDisplayMode : std::uint8_t {
  tbdmSelectiveCaption,
  tbdmImageOnly,
  tbdmImageAboveCaption,
  tbdmTextOnly
};
using enum TSkBarToolbarDisplayMode;

// `options` with tboImageAboveCaption and tboSameWidth added for tbdmImageAboveCaption and
// removed for every other mode.
tb::TTBItemOptions SkDisplayModeOptions(tb::TTBItemOptions options, TSkBarToolbarDisplayMode mode);

// What a skinned toolbar's view and viewers ask of the skinned toolbar.
class ISkBarToolbarHost {
 public:
  virtual TSkBarToolbarDisplayMode DisplayMode() const = 0;
  // The toolbar's docked non-client thickness (0 when not docked).
  virtual int DockedNonClientHeight() const = 0;
  // The text colour of a toolbar-style item in `state` (clNone: the skin's).
  virtual TColor ItemTextColor(TSkBarSkinStatesType state) const = 0;
  // The window can be measured: it has a handle and a positive client size.
  virtual bool CanMeasureItems() const = 0;
  // The outermost view update ended: right-align, then anchor the items.
  virtual void ViewUpdateEnded() = 0;

 protected:
  ~ISkBarToolbarHost() = default;
};

class TSkBarToolbarView : public tb::TTBToolbarView {
 public:
  TSkBarToolbarView(ui::TComponent* owner, tb::ITBToolbarViewHost& toolbar,
                    ISkBarToolbarHost& skinned, tb::TTBCustomItem* rootItem,
                    tb::ITBViewWindow* window, bool usePriorityList);
  std::wstring_view ClassName() const override { return L"TSkBarToolbarView"; }
  ISkBarToolbarHost& Skinned() const { return skinned_; }

  int FixedItemSize() const { return fixedItemSize_; }
  // Re-lays the view out when it changes.
  void SetFixedItemSize(int size);
  int MaxItemSize() const { return maxItemSize_; }
  // True while the largest item is measured (stretching is off then).
  bool MeasuringItems() const { return measuring_; }

  void BeginUpdate();
  void EndUpdate();
  bool IsUpdating() const { return updating_ > 0; }

  void DoUpdatePositions(int& width, int& height) override;

 private:
  ISkBarToolbarHost& skinned_;
  int fixedItemSize_ = -1;
  int maxItemSize_ = 0;
  int updating_ = 0;
  bool measuring_ = false;
};

// The width a right-align spacer takes so that the items after it end at the dock's end:
// the dock's length less the margin and the other items' length, never below 0.
int SkRightAlignSpacerWidth(int dockLength, int margin, int totalLength, int spacerLength);

class TSkNonNegativeCounter {
 public:
  void Begin() { ++count_; }
  void End() {
    if (count_ > 0) --count_;
  }
  bool Active() const { return count_ > 0; }
  int Count() const { return count_; }

 private:
  int count_ = 0;
};

// Where an item dropped on a toolbar goes. `index` is the insertion index under the pointer
// (-1: no viewer there), `ownIndex` the item's index when it already sits in this toolbar's
// items (-1: it comes from elsewhere), `count` the toolbar's item count. Within the toolbar an
// index past the item's own one counts one less (the item leaves its place first); dropping on
// its own place, or where no viewer is, moves nothing. The index is kept within the items left
// once the item has been taken out.
struct TSkItemDropPlace {
  bool move = false;
  int index = -1;
};
TSkItemDropPlace SkItemDropPlace(int index, int ownIndex, int count);

}  // namespace skbar
