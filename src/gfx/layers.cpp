#include "gfx/layers.h"

#include <algorithm>

namespace gfx {

// ---- TCustomLayer ----

const TLayerClass TCustomLayer::Class{
    L"TCustomLayer", [](TLayerCollection& c) -> TCustomLayer* { return new TCustomLayer(&c); }};

TCustomLayer::TCustomLayer(TLayerCollection* Collection) {
  if (Collection) Collection->InsertItem(this);
}

TCustomLayer::~TCustomLayer() {
  if (OnDestroy) OnDestroy(this);
  const std::vector<TCustomLayer*> notifies = std::move(FFreeNotifies);
  for (TCustomLayer* layer : notifies) layer->Notification(this);
  if (FLayerCollection) FLayerCollection->RemoveItem(this);
}

void TCustomLayer::Assign(const TCustomLayer& Source) {
  FCursor = Source.FCursor;
  SetLayerOptions(Source.FLayerOptions);
}

std::int32_t TCustomLayer::Index() const {
  if (!FLayerCollection) return -1;
  const auto& items = FLayerCollection->FItems;
  return static_cast<std::int32_t>(std::find(items.begin(), items.end(), this) - items.begin());
}

void TCustomLayer::SetIndex(std::int32_t Value) {
  if (!FLayerCollection) return;
  const std::int32_t clamped = std::clamp(Value, 0, FLayerCollection->Count() - 1);
  if (clamped == Index()) return;
  if (!Visible()) {
    FLayerCollection->MoveItem(this, clamped);
    return;
  }
  FLayerCollection->BeginUpdate();
  FLayerCollection->MoveItem(this, clamped);
  FLayerCollection->EndUpdate();
}

void TCustomLayer::BringToFront() {
  if (FLayerCollection) SetIndex(FLayerCollection->Count());
}

void TCustomLayer::SendToBack() {
  SetIndex(0);
}

void TCustomLayer::SetLayerOptions(std::uint32_t Value) {
  if (Value == FLayerOptions) return;
  FLayerOptions = Value;
  Changed();
}

void TCustomLayer::SetVisible(bool Value) {
  if (Value == Visible()) return;
  if (Value) {
    FLayerOptions |= LOB_VISIBLE;
    Changed();
    return;
  }
  FLayerOptions = (FLayerOptions | LOB_FORCE_UPDATE) & ~LOB_VISIBLE;
  Changed();
  FLayerOptions &= ~LOB_FORCE_UPDATE;
}

void TCustomLayer::MarkInvalid(bool Value) {
  FLayerOptions = Value ? FLayerOptions | LOB_INVALID : FLayerOptions & ~LOB_INVALID;
}

void TCustomLayer::SetCursor(TCursor Value) {
  if (Value == FCursor) return;
  FCursor = Value;
  if (FLayerCollection && FLayerCollection->MouseListener() == this && FLayerCollection->Owner())
    FLayerCollection->Owner()->SetScreenCursor(Value);
}

void TCustomLayer::Changed() {
  Report([this](TLayerCollection& collection) {
    if (collection.OnLayerUpdated) collection.OnLayerUpdated(&collection, this);
  });
}

void TCustomLayer::Changed(const TRect& Rect, std::uint32_t Info) {
  Report([&Rect, Info](TLayerCollection& collection) {
    if (collection.OnAreaUpdated) collection.OnAreaUpdated(&collection, Rect, Info);
  });
}

// Unless updating, detached or marked no-update: when visible or forced (being hidden), the
// collection's handler and then its change event, so that the area the layer covered is
// repainted whatever the repaint mode; otherwise its overlay event for an overlay layer. Then
// the layer's own change event.
template <class Handler>
void TCustomLayer::Report(Handler&& ToCollection) {
  if (FUpdateCount > 0 || !FLayerCollection || (FLayerOptions & LOB_NO_UPDATE)) return;
  TLayerCollection& collection = *FLayerCollection;
  if (Visible() || (FLayerOptions & LOB_FORCE_UPDATE)) {
    ToCollection(collection);
    collection.Changed();
  } else if (FLayerOptions & LOB_GDI_OVERLAY) {
    collection.GDIUpdate();
  }
  TNotifiablePersistent::Changed();
}

bool TCustomLayer::HitTest(std::int32_t X, std::int32_t Y) {
  bool passed = DoHitTest(X, Y);
  if (OnHitTest) OnHitTest(this, X, Y, passed);
  return passed;
}

void TCustomLayer::SetAsMouseListener() {
  if (!FLayerCollection) return;
  FLayerCollection->SetMouseListener(this);
  if (FLayerCollection->Owner()) FLayerCollection->Owner()->SetScreenCursor(FCursor);
}

void TCustomLayer::PaintLayer(TBitmap32& Buffer) {
  Paint(Buffer);
  if (OnPaint) OnPaint(this, Buffer);
}

void TCustomLayer::AddNotification(TCustomLayer* Layer) {
  if (Layer && std::find(FFreeNotifies.begin(), FFreeNotifies.end(), Layer) == FFreeNotifies.end())
    FFreeNotifies.push_back(Layer);
}

void TCustomLayer::RemoveNotification(TCustomLayer* Layer) {
  std::erase(FFreeNotifies, Layer);
}

void TCustomLayer::MouseDown(TMouseButton Button, TShiftState Shift, std::int32_t X,
                             std::int32_t Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TCustomLayer::MouseMove(TShiftState Shift, std::int32_t X, std::int32_t Y) {
  if (FLayerCollection && FLayerCollection->Owner())
    FLayerCollection->Owner()->SetScreenCursor(FCursor);
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TCustomLayer::MouseUp(TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y) {
  if (FLayerCollection && FLayerCollection->Owner())
    FLayerCollection->Owner()->SetScreenCursor(crDefault);
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

// ---- TLayerCollection ----

TLayerCollection::TLayerCollection(TLayerCursorHost* Owner) : FOwner(Owner) {}

TLayerCollection::~TLayerCollection() {
  // A repaint optimiser that lists this collection lets go of it and of its layers, which
  // would otherwise stay on its lists after they are freed.
  const std::vector<TLayerCollectionObserver*> observers = std::move(FObservers);
  for (TLayerCollectionObserver* observer : observers) observer->LayerCollectionDestroying(*this);
  // The owner's handlers may be gone already: the layers leave silently.
  OnChange = nullptr;
  OnGDIUpdate = nullptr;
  OnListNotify = nullptr;
  OnLayerUpdated = nullptr;
  OnAreaUpdated = nullptr;
  ++FUpdateCount;
  while (!FItems.empty()) delete FItems.back();
}

void TLayerCollection::AddObserver(TLayerCollectionObserver* Observer) {
  if (Observer && std::find(FObservers.begin(), FObservers.end(), Observer) == FObservers.end())
    FObservers.push_back(Observer);
}

void TLayerCollection::RemoveObserver(TLayerCollectionObserver* Observer) {
  std::erase(FObservers, Observer);
}

TCustomLayer* TLayerCollection::Add(const TLayerClass& LayerClass) {
  return LayerClass.Create(*this);
}

TCustomLayer* TLayerCollection::Insert(std::int32_t Index, const TLayerClass& LayerClass) {
  BeginUpdate();
  TCustomLayer* layer = nullptr;
  try {
    layer = Add(LayerClass);
    layer->SetIndex(Index);
    Notify(lnLayerInserted, layer, layer->Index());
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  return layer;
}

void TLayerCollection::Delete(std::int32_t Index) {
  delete Items(Index);
}

void TLayerCollection::Clear() {
  BeginUpdate();
  while (!FItems.empty()) delete FItems.back();
  Notify(lnCleared, nullptr, 0);
  EndUpdate();
}

void TLayerCollection::Assign(const TLayerCollection& Source) {
  if (&Source == this) return;
  BeginUpdate();
  try {
    while (!FItems.empty()) delete FItems.back();
    for (TCustomLayer* source : Source.FItems) {
      TCustomLayer* layer = Add(source->LayerClass());
      layer->Assign(*source);
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TLayerCollection::EndUpdate() {
  if (FUpdateCount <= 0) throw EAssertionFailed("Unpaired EndUpdate");
  if (--FUpdateCount == 0) Changed();
}

void TLayerCollection::Changed() {
  if (FUpdateCount == 0 && OnChange) OnChange(this);
}

void TLayerCollection::GDIUpdate() {
  if (FUpdateCount == 0 && OnGDIUpdate) OnGDIUpdate(this);
}

void TLayerCollection::InsertItem(TCustomLayer* Item) {
  BeginUpdate();
  FItems.push_back(Item);
  Item->FLayerCollection = this;
  Notify(lnLayerAdded, Item, Count() - 1);
  EndUpdate();
}

void TLayerCollection::RemoveItem(TCustomLayer* Item) {
  const auto it = std::find(FItems.begin(), FItems.end(), Item);
  if (it == FItems.end()) return;
  BeginUpdate();
  const auto index = static_cast<std::int32_t>(it - FItems.begin());
  if (FMouseListener == Item) FMouseListener = nullptr;
  FItems.erase(it);
  Item->FLayerCollection = nullptr;
  Notify(lnLayerDeleted, Item, index);
  EndUpdate();
}

void TLayerCollection::MoveItem(TCustomLayer* Item, std::int32_t NewIndex) {
  const auto it = std::find(FItems.begin(), FItems.end(), Item);
  if (it == FItems.end()) return;
  FItems.erase(it);
  FItems.insert(FItems.begin() + NewIndex, Item);
}

void TLayerCollection::Notify(TLayerListNotification Action, TCustomLayer* Layer,
                              std::int32_t Index) {
  if (OnListNotify) OnListNotify(this, Action, Layer, Index);
}

void TLayerCollection::ViewportScaleAndShift(float& ScaleX, float& ScaleY, float& ShiftX,
                                             float& ShiftY) const {
  ScaleX = ScaleY = 1.0f;
  ShiftX = ShiftY = 0.0f;
  auto* self = const_cast<TLayerCollection*>(this);
  if (OnGetViewportScale) OnGetViewportScale(self, ScaleX, ScaleY);
  if (OnGetViewportShift) OnGetViewportShift(self, ShiftX, ShiftY);
}

TFloatPoint TLayerCollection::LocalToViewport(const TFloatPoint& P, bool Scaled) const {
  if (!Scaled) return P;
  float sx, sy, dx, dy;
  ViewportScaleAndShift(sx, sy, dx, dy);
  return TFloatPoint{P.X * sx + dx, P.Y * sy + dy};
}

TFloatPoint TLayerCollection::ViewportToLocal(const TFloatPoint& P, bool Scaled) const {
  if (!Scaled) return P;
  float sx, sy, dx, dy;
  ViewportScaleAndShift(sx, sy, dx, dy);
  return TFloatPoint{(P.X - dx) / sx, (P.Y - dy) / sy};
}

TCustomLayer* TLayerCollection::FindLayerAtPos(std::int32_t X, std::int32_t Y,
                                               std::uint32_t OptionMask) {
  for (auto it = FItems.rbegin(); it != FItems.rend(); ++it)
    if (((*it)->FLayerOptions & OptionMask) && (*it)->HitTest(X, Y)) return *it;
  return nullptr;
}

void TLayerCollection::SetMouseListener(TCustomLayer* Value) {
  FMouseListener = Value;
}

TCustomLayer* TLayerCollection::MouseDown(TMouseButton Button, TShiftState Shift, std::int32_t X,
                                          std::int32_t Y) {
  TCustomLayer* target = FMouseListener ? FMouseListener : FindLayerAtPos(X, Y, LOB_MOUSE_EVENTS);
  if (target && target != FMouseListener && !(target->FLayerOptions & LOB_NO_CAPTURE))
    FMouseListener = target;
  if (target) {
    target->FClicked.insert(Button);
    target->MouseDown(Button, Shift, X, Y);
  }
  return StillAnItem(target);
}

TCustomLayer* TLayerCollection::MouseMove(TShiftState Shift, std::int32_t X, std::int32_t Y) {
  TCustomLayer* target = FMouseListener ? FMouseListener : FindLayerAtPos(X, Y, LOB_MOUSE_EVENTS);
  if (target)
    target->MouseMove(Shift, X, Y);
  else if (FOwner)
    FOwner->SetScreenCursor(FOwner->ControlCursor());
  return StillAnItem(target);
}

TCustomLayer* TLayerCollection::MouseUp(TMouseButton Button, TShiftState Shift, std::int32_t X,
                                        std::int32_t Y) {
  TCustomLayer* target = FMouseListener ? FMouseListener : FindLayerAtPos(X, Y, LOB_MOUSE_EVENTS);
  if (target) {
    target->FClicked.erase(Button);
    target->MouseUp(Button, Shift, X, Y);
  }
  if (FMouseListener && FMouseListener->FClicked.empty()) FMouseListener = nullptr;
  return StillAnItem(target);
}

// A layer that its own handler freed (or moved to another collection) is not handed on.
TCustomLayer* TLayerCollection::StillAnItem(TCustomLayer* Layer) const {
  return std::find(FItems.begin(), FItems.end(), Layer) != FItems.end() ? Layer : nullptr;
}

}  // namespace gfx
