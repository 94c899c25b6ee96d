#include "gfx/layers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace gfx {
namespace {

// A layer that is hit inside its rectangle.
class TBoxLayer : public TCustomLayer {
 public:
  using TCustomLayer::TCustomLayer;
  static const TLayerClass Class;
  const TLayerClass& LayerClass() const override { return Class; }
  void Assign(const TCustomLayer& Source) override {
    TCustomLayer::Assign(Source);
    if (const auto* box = dynamic_cast<const TBoxLayer*>(&Source)) Box = box->Box;
  }
  TRect Box{0, 0, 10, 10};
  std::vector<TCustomLayer*> gone;

 protected:
  bool DoHitTest(std::int32_t X, std::int32_t Y) override { return PtInRect(Box, TPoint{X, Y}); }
  void Notification(TCustomLayer* Layer) override { gone.push_back(Layer); }
};
const TLayerClass TBoxLayer::Class{
    L"TBoxLayer", [](TLayerCollection& c) -> TCustomLayer* { return new TBoxLayer(&c); }};

class TCursors : public TLayerCursorHost {
 public:
  TCursor ControlCursor() const override { return -99; }
  void SetScreenCursor(TCursor Cursor) override { screen.push_back(Cursor); }
  std::vector<TCursor> screen;
};

struct TCollectionLog {
  explicit TCollectionLog(TLayerCollection& c) {
    c.OnListNotify = [this](TLayerCollection*, TLayerListNotification a, TCustomLayer*, int i) {
      events.push_back("list " + std::to_string(a) + " " + std::to_string(i));
    };
    c.OnChange = [this](ui::TPersistent*) { events.push_back("change"); };
    c.OnLayerUpdated = [this](TLayerCollection*, TCustomLayer* l) {
      events.push_back("layer " + std::to_string(l->LayerOptions() >> 24));
    };
    c.OnAreaUpdated = [this](TLayerCollection*, const TRect& r, std::uint32_t) {
      events.push_back("area " + std::to_string(r.right));
    };
    c.OnGDIUpdate = [this](ui::TPersistent*) { events.push_back("gdi"); };
  }
  std::vector<std::string> Take() { return std::exchange(events, {}); }
  std::vector<std::string> events;
};

using Events = std::vector<std::string>;

TEST(Layers, ListNotificationsAndChangesInOrder) {
  TLayerCollection layers;
  TCollectionLog log(layers);
  EXPECT_EQ(layers.FindLayerAtPos(1, 1, ~0u), nullptr);
  TCustomLayer* a = layers.Add<TBoxLayer>();
  EXPECT_EQ(log.Take(), (Events{"list 0 0", "change"}));
  TCustomLayer* b = layers.Add(TCustomLayer::Class);
  TCustomLayer* c = layers.Insert(0, TBoxLayer::Class);
  EXPECT_EQ(log.Take(), (Events{"list 0 1", "change", "list 0 2", "list 1 0", "change"}));
  EXPECT_EQ(c->Index(), 0);
  EXPECT_EQ(a->Index(), 1);

  c->SetIndex(-3);
  EXPECT_EQ(c->Index(), 0);
  c->SetIndex(99);
  EXPECT_EQ(c->Index(), 2);
  EXPECT_EQ(log.Take(), (Events{"change"}));
  c->SendToBack();
  a->BringToFront();
  EXPECT_EQ(layers.Items(2), a);
  log.Take();

  layers.Delete(1);  // b
  EXPECT_EQ(log.Take(), (Events{"list 2 1", "change"}));
  (void)b;
  TLayerCollection copy;
  copy.Assign(layers);
  EXPECT_EQ(copy.Items(1)->LayerClass().Name, L"TBoxLayer");
  layers.Clear();
  EXPECT_EQ(log.Take(), (Events{"list 2 1", "list 2 0", "list 3 0", "change"}));
  EXPECT_THROW(layers.EndUpdate(), EAssertionFailed);
}

TEST(Layers, ChangesReportByVisibilityAndOptions) {
  TLayerCollection layers;
  auto* layer = layers.Add<TBoxLayer>();
  TCollectionLog log(layers);
  int own = 0;
  layer->OnChange = [&](ui::TPersistent*) { ++own; };

  layer->Changed(TRect{0, 0, 7, 7});
  EXPECT_EQ(log.Take(), (Events{"area 7", "change"}));
  // Hiding reports once, with the force-update bit (0x02) set while it does, and changes the
  // collection so that the owner repaints where the layer was.
  layer->SetVisible(false);
  EXPECT_EQ(log.Take(), (Events{"layer 2", "change"}));
  EXPECT_EQ(layer->LayerOptions(), 0u);
  layer->Changed();
  EXPECT_TRUE(log.Take().empty());
  layer->SetLayerOptions(LOB_GDI_OVERLAY);
  EXPECT_EQ(log.Take(), (Events{"gdi"}));
  layer->SetVisible(true);
  EXPECT_EQ(log.Take(), (Events{"layer 192", "change"}));
  EXPECT_EQ(own, 5);

  layer->SetLayerOptions(LOB_VISIBLE | LOB_NO_UPDATE);
  layer->Changed();
  EXPECT_TRUE(log.Take().empty());

  // A layer's removal tells the layers that asked.
  auto* watcher = layers.Add<TBoxLayer>();
  layer->AddNotification(watcher);
  delete layer;
  EXPECT_EQ(watcher->gone, (std::vector<TCustomLayer*>{layer}));
  EXPECT_EQ(layers.Count(), 1);
}

TEST(Layers, MouseGoesToTheListenerOrTheTopmostHit) {
  TCursors cursors;
  TLayerCollection layers(&cursors);
  auto* bottom = layers.Add<TBoxLayer>();
  auto* top = layers.Add<TBoxLayer>();
  auto* deaf = layers.Add<TBoxLayer>();  // no mouse events: never hit
  bottom->SetLayerOptions(LOB_VISIBLE | LOB_MOUSE_EVENTS);
  top->SetLayerOptions(LOB_VISIBLE | LOB_MOUSE_EVENTS);
  top->Box = TRect{5, 5, 20, 20};
  top->SetCursor(3);
  (void)deaf;

  EXPECT_EQ(layers.MouseMove(0, 30, 30), nullptr);
  EXPECT_EQ(cursors.screen.back(), -99);
  EXPECT_EQ(layers.MouseDown(mbLeft, 0, 6, 6), top);
  EXPECT_EQ(layers.MouseListener(), top);
  EXPECT_EQ(layers.MouseDown(mbRight, 0, 1, 1), top);
  EXPECT_EQ(layers.MouseMove(0, 1, 1), top);
  EXPECT_EQ(cursors.screen.back(), 3);
  EXPECT_EQ(layers.MouseUp(mbLeft, 0, 1, 1), top);
  EXPECT_EQ(layers.MouseListener(), top);  // the right button is still held
  EXPECT_EQ(cursors.screen.back(), crDefault);
  layers.MouseUp(mbRight, 0, 1, 1);
  EXPECT_EQ(layers.MouseListener(), nullptr);
  EXPECT_EQ(layers.MouseDown(mbLeft, 0, 1, 1), bottom);

  // The no-capture bit: hit, but no listener.
  layers.MouseUp(mbLeft, 0, 1, 1);
  top->SetLayerOptions(LOB_VISIBLE | LOB_MOUSE_EVENTS | LOB_NO_CAPTURE);
  EXPECT_EQ(layers.MouseDown(mbLeft, 0, 6, 6), top);
  EXPECT_EQ(layers.MouseListener(), nullptr);
  // A deleted listener is dropped.
  bottom->SetAsMouseListener();
  delete bottom;
  EXPECT_EQ(layers.MouseListener(), nullptr);
  // A layer that frees itself in its own handler is not handed on to the control's event.
  layers.MouseUp(mbLeft, 0, 6, 6);
  top->OnMouseDown = [&layers](TCustomLayer* Sender, TMouseButton, TShiftState, std::int32_t,
                               std::int32_t) { layers.Delete(Sender->Index()); };
  EXPECT_EQ(layers.MouseDown(mbLeft, 0, 6, 6), nullptr);
  EXPECT_EQ(layers.Count(), 1);
  EXPECT_EQ(layers.MouseListener(), nullptr);
}

}  // namespace
}  // namespace gfx
