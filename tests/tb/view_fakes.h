// Fakes for views: a window with fixed text metrics and recorded timers, and popups made by a
// factory that opens each child popup's window beside its parent viewer.
#pragma once

#include <algorithm>
#include <map>
#include <memory>
#include <string>

#include "tb/common.h"
#include "tb/view.h"

namespace tb::testing {

// For the length of a scope, letters fold as the platform folds them: ASCII and the Latin-1
// capitals too.
struct Latin1Lowering {
  Latin1Lowering() { SetCharLower(&Lower); }
  ~Latin1Lowering() { SetCharLower(nullptr); }
  static wchar_t Lower(wchar_t c) {
    const bool capital = (c >= L'A' && c <= L'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7);
    return capital ? static_cast<wchar_t>(c + 32) : c;
  }
};

// Text is 6 pixels per character and 13 high.
class FakeWindow : public ITBViewWindow, public ITBTextMeasure {
 public:
  explicit FakeWindow(bool popup, TPoint origin = {}) : popup_(popup), origin_(origin) {}

  bool HasHandle() const override { return true; }
  bool IsPopupWindow() const override { return popup_; }
  void SetTimer(int id, unsigned ms) override { timers[id] = ms; }
  void KillTimer(int id) override { timers.erase(id); }
  void InvalidateRect(const TRect&) override { ++invalidations; }
  void InvalidateAll() override { ++invalidations; }
  void Repaint() override {}
  TPoint ScreenToClient(TPoint p) const override { return {p.x - origin_.x, p.y - origin_.y}; }
  TPoint ClientToScreen(TPoint p) const override { return {p.x + origin_.x, p.y + origin_.y}; }
  bool ContainsScreenPoint(TPoint p) const override {
    return !hidden &&
           TRect{origin_.x, origin_.y, origin_.x + width, origin_.y + height}.Contains(p);
  }
  ITBTextMeasure& Measure() override { return *this; }
  void AutoSize(int w, int h) override {
    width = w;
    height = h;
  }
  void HideWindow() override { hidden = true; }
  void NotifyFocusEvent(int child) override { focusEvents.push_back(child); }
  bool ControlShown(ui::TComponent*) override { return controlShown; }

  int TextHeight(bool) override { return 13; }
  int ExternalLeading(bool) override { return 0; }
  int TextWidth(std::wstring_view text, bool) override { return 6 * static_cast<int>(text.size()); }
  // Scaled by the font's size; lines break at "\n" unless DT_SINGLELINE (0x20) is given.
  TTBTextExtent TextExtent(std::wstring_view text, const TTBTextFont& font,
                           std::uint32_t flags) override {
    const auto scaled = [&](int n) { return (n * font.sizePercent + 50) / 100; };
    int lines = 1, longest = 0, run = 0;
    for (const wchar_t c : text) {
      if (c == L'\n' && !(flags & 0x20)) {
        ++lines;
        run = 0;
      } else {
        longest = std::max(longest, ++run);
      }
    }
    return {scaled(6 * longest), scaled(13) * lines};
  }

  TPoint Origin() const { return origin_; }

  std::map<int, unsigned> timers;
  std::vector<int> focusEvents;
  int invalidations = 0;
  int width = 0, height = 0;
  bool hidden = false;
  bool controlShown = true;  // a hosted control is visible and sits on this window

 private:
  bool popup_;
  TPoint origin_;
};

// A popup: its window sits to the right of the parent viewer (submenus) or below it.
class FakePopup : public TTBPopupWindowBase {
 public:
  FakePopup(TTBCustomItem& item, const TTBPopupRequest& request)
      : window(true, Place(request)),
        view(ui::New<TTBView>(request.parentView, &item, &window, false, false, false)) {
    view->Include(vsModal);
    if (request.selectFirstItem) view->Select(view->FirstSelectable(), false);
    view->ValidatePositions();
    ++opened;
  }
  ~FakePopup() override { ++closed; }
  TTBView& View() override { return *view; }

  // A chevron's popup lists its toolbar's items, as a toolbar view.
  static TTBPopupWindowBase* Make(TTBCustomItem& item, const TTBPopupRequest& request) {
    TTBView* toolbar = item.GetChevronParentView();
    auto* popup = new FakePopup(toolbar ? *toolbar->ParentItem() : item, request);
    if (toolbar) {
      popup->view->BecomeChevronPopup(*toolbar);
      popup->view->ValidatePositions();
    }
    return popup;
  }
  static inline int opened = 0, closed = 0;

  FakeWindow window;
  ui::Owned<TTBView> view;

 private:
  static TPoint Place(const TTBPopupRequest& request) {
    if (!request.parentView) return request.popupPoint;
    const TRect r = request.parentViewer->BoundsRect();
    const auto* parent = static_cast<const FakeWindow*>(request.parentView->Window());
    const TPoint corner =
        request.positionAsSubmenu ? TPoint{r.right, r.top} : TPoint{r.left, r.bottom};
    return parent->ClientToScreen(corner);
  }
};

// A toolbar view with a chevron item, as toolbars have.
class ChevronView : public TTBView {
 public:
  ChevronView(ui::TComponent* owner, TTBCustomItem* item, ITBViewWindow* window,
              TTBCustomItem* chevron)
      : TTBView(owner, nullptr, item, window, true, false, true), chevron_(chevron) {
    RecreateAllViewers();
  }
  TTBCustomItem* GetChevronItem() override { return chevron_; }

 private:
  TTBCustomItem* chevron_;
};

}  // namespace tb::testing
