// Layers: objects an image control paints above its bitmap and routes mouse input to.
//   TLayerCollection: the ordered list (owns its layers; the last is topmost), update counting
//   (reaching 0 fires OnChange), list notifications (added, inserted, deleted, cleared), the
//   viewport mapping through the owner's scale and shift handlers, and mouse routing: a press
//   goes to the listener or the topmost hit layer taking mouse events, which becomes the
//   listener unless it has the no-capture bit; the listener is dropped once it holds no button.
//   TCustomLayer: joins its collection visible; Changed reports to the collection's handlers
//   and change event unless the layer is updating, detached or marked no-update; a hidden layer
//   reports only the change that hides it.
//   The screen cursor and the owner control's cursor come through TLayerCursorHost.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string_view>
#include <vector>

#include "gfx/bitmap32.h"

namespace gfx {

inline constexpr std::uint32_t LOB_VISIBLE = 0x80000000;
inline constexpr std::uint32_t LOB_GDI_OVERLAY = 0x40000000;
inline constexpr std::uint32_t LOB_MOUSE_EVENTS = 0x20000000;
inline constexpr std::uint32_t LOB_NO_UPDATE = 0x10000000;
inline constexpr std::uint32_t LOB_NO_CAPTURE = 0x08000000;
inline constexpr std::uint32_t LOB_INVALID = 0x04000000;
inline constexpr std::uint32_t LOB_FORCE_UPDATE = 0x02000000;
inline constexpr std::uint32_t LOB_RESERVED_MASK = 0xFF000000;

enum TLayerListNotification { lnLayerAdded, lnLayerInserted, lnLayerDeleted, lnCleared };

enum TMouseButton { mbLeft, mbRight, mbMiddle };
using TShiftState = std::uint32_t;
using TCursor = std::int32_t;
inline constexpr TCursor crDefault = 0;

// The owner control's side of cursors.
class TLayerCursorHost {
 public:
  virtual ~TLayerCursorHost() = default;
  virtual TCursor ControlCursor() const = 0;
  virtual void SetScreenCursor(TCursor Cursor) = 0;
};

class TLayerCollection;
class TCustomLayer;

// Told when a collection is destroyed, while its layers and handlers are still there.
class TLayerCollectionObserver {
 public:
  virtual void LayerCollectionDestroying(TLayerCollection& Collection) = 0;

 protected:
  ~TLayerCollectionObserver() = default;
};

// A layer class: its name and how to make one inside a collection.
struct TLayerClass {
  std::wstring_view Name;
  TCustomLayer* (*Create)(TLayerCollection& Collection);
};

class TCustomLayer : public TNotifiablePersistent {
 public:
  // Joins the collection (appended, notified as added) with options = visible.
  explicit TCustomLayer(TLayerCollection* Collection);
  // Tells the objects on the notify list, then leaves the collection.
  ~TCustomLayer() override;

  std::wstring_view ClassName() const override { return L"TCustomLayer"; }
  static const TLayerClass Class;
  virtual const TLayerClass& LayerClass() const { return Class; }
  // Copies cursor and options from a layer.
  virtual void Assign(const TCustomLayer& Source);

  TLayerCollection* LayerCollection() const { return FLayerCollection; }
  std::int32_t Index() const;
  // Clamped to 0 .. count - 1; moved inside a collection update when visible.
  void SetIndex(std::int32_t Value);
  void BringToFront();
  void SendToBack();

  std::uint32_t LayerOptions() const { return FLayerOptions; }
  void SetLayerOptions(std::uint32_t Value);
  bool Visible() const { return (FLayerOptions & LOB_VISIBLE) != 0; }
  // Hiding still reports one change (handler and collection change), with the force-update bit
  // set during it.
  void SetVisible(bool Value);
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value);
  bool MouseEvents() const { return (FLayerOptions & LOB_MOUSE_EVENTS) != 0; }
  // Sets or clears the invalid mark without reporting a change (the repaint optimiser's flag).
  void MarkInvalid(bool Value);

  void Changed() override;
  void Changed(const TRect& Rect, std::uint32_t Info = AREAINFO_RECT);

  // The layer's own test (true by default), then OnHitTest may change the answer.
  bool HitTest(std::int32_t X, std::int32_t Y);
  void SetAsMouseListener();
  // Paint, then OnPaint.
  void PaintLayer(TBitmap32& Buffer);

  void AddNotification(TCustomLayer* Layer);
  void RemoveNotification(TCustomLayer* Layer);

  // Mouse events from the collection.
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y);
  virtual void MouseMove(TShiftState Shift, std::int32_t X, std::int32_t Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y);

  std::function<void(TCustomLayer* Sender, std::int32_t X, std::int32_t Y, bool& Passed)> OnHitTest;
  std::function<void(TCustomLayer*Sender, TMouseButton, TShiftState, std::int32_t X,
                     std::int32_t Y)>
      OnMouseDown, OnMouseUp;
  std::function<void(TCustomLayer* Sender, TShiftState, std::int32_t X, std::int32_t Y)>
      OnMouseMove;
  std::function<void(TCustomLayer* Sender, TBitmap32& Buffer)> OnPaint;
  std::function<void(TCustomLayer* Sender)> OnDestroy;

 protected:
  virtual bool DoHitTest(std::int32_t /*X*/, std::int32_t /*Y*/) { return true; }
  virtual void Paint(TBitmap32& /*Buffer*/) {}
  // A layer on the notify list is going away.
  virtual void Notification(TCustomLayer* /*Layer*/) {}

 private:
  friend class TLayerCollection;
  template <class Handler>
  void Report(Handler&& ToCollection);

  TLayerCollection* FLayerCollection = nullptr;
  TCursor FCursor = crDefault;
  std::uint32_t FLayerOptions = LOB_VISIBLE;
  std::set<TMouseButton> FClicked;
  std::vector<TCustomLayer*> FFreeNotifies;
};

class TLayerCollection : public ui::TPersistent {
 public:
  explicit TLayerCollection(TLayerCursorHost* Owner = nullptr);
  // Tells its observers first, then frees its layers without notifying anyone.
  ~TLayerCollection() override;
  TLayerCollection(const TLayerCollection&) = delete;
  TLayerCollection& operator=(const TLayerCollection&) = delete;

  std::wstring_view ClassName() const override { return L"TLayerCollection"; }

  std::int32_t Count() const { return static_cast<std::int32_t>(FItems.size()); }
  TCustomLayer* Items(std::int32_t Index) const {
    return FItems.at(static_cast<std::size_t>(Index));
  }
  TLayerCursorHost* Owner() const { return FOwner; }

  TCustomLayer* Add(const TLayerClass& LayerClass);
  template <class Layer>
  Layer* Add() {
    return static_cast<Layer*>(Add(Layer::Class));
  }
  // One update: Add, then the layer moves to Index; notifies "inserted".
  TCustomLayer* Insert(std::int32_t Index, const TLayerClass& LayerClass);
  void Delete(std::int32_t Index);
  // Frees the layers last to first inside one update, then notifies "cleared".
  void Clear();
  // Recreates Source's layers by class and assigns each.
  void Assign(const TLayerCollection& Source);

  void AddObserver(TLayerCollectionObserver* Observer);
  void RemoveObserver(TLayerCollectionObserver* Observer);

  void BeginUpdate() { ++FUpdateCount; }
  // Raises EAssertionFailed "Unpaired EndUpdate" below zero; reaching 0 fires OnChange.
  void EndUpdate();
  void Changed();
  void GDIUpdate();

  TFloatPoint LocalToViewport(const TFloatPoint& P, bool Scaled) const;
  TFloatPoint ViewportToLocal(const TFloatPoint& P, bool Scaled) const;

  // Mouse routing; each returns the layer that got the event (or null).
  TCustomLayer* MouseDown(TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y);
  TCustomLayer* MouseMove(TShiftState Shift, std::int32_t X, std::int32_t Y);
  TCustomLayer* MouseUp(TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y);
  // The topmost layer with any of OptionMask's bits whose hit test passes.
  TCustomLayer* FindLayerAtPos(std::int32_t X, std::int32_t Y, std::uint32_t OptionMask);
  TCustomLayer* MouseListener() const { return FMouseListener; }
  void SetMouseListener(TCustomLayer* Value);
  bool MouseEvents() const { return FMouseEvents; }
  void SetMouseEvents(bool Value) { FMouseEvents = Value; }

  TNotifyEvent OnChange;
  TNotifyEvent OnGDIUpdate;
  std::function<void(TLayerCollection* Sender, TLayerListNotification Action, TCustomLayer* Layer,
                     std::int32_t Index)>
      OnListNotify;
  std::function<void(TLayerCollection* Sender, TCustomLayer* Layer)> OnLayerUpdated;
  std::function<void(TLayerCollection* Sender, const TRect& Area, std::uint32_t Info)>
      OnAreaUpdated;
  std::function<void(TLayerCollection* Sender, float& ScaleX, float& ScaleY)> OnGetViewportScale;
  std::function<void(TLayerCollection* Sender, float& ShiftX, float& ShiftY)> OnGetViewportShift;

 private:
  friend class TCustomLayer;
  void InsertItem(TCustomLayer* Item);
  void RemoveItem(TCustomLayer* Item);
  void MoveItem(TCustomLayer* Item, std::int32_t NewIndex);
  void Notify(TLayerListNotification Action, TCustomLayer* Layer, std::int32_t Index);
  void ViewportScaleAndShift(float& ScaleX, float& ScaleY, float& ShiftX, float& ShiftY) const;
  TCustomLayer* StillAnItem(TCustomLayer* Layer) const;

  TLayerCursorHost* FOwner;
  std::vector<TLayerCollectionObserver*> FObservers;
  std::vector<TCustomLayer*> FItems;
  std::int32_t FUpdateCount = 0;
  TCustomLayer* FMouseListener = nullptr;
  bool FMouseEvents = true;
};

}  // namespace gfx
