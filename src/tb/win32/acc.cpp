#include "tb/win32/acc.h"

#include <optional>
#include <vector>

#include "tb/acc.h"
#include "tb/win32/acc_platform.h"
#include "tb/win32/modal_handler.h"
#include "tb/win32/view_window.h"
#include "ui/win32/controls.h"

namespace tb {

namespace {

bool comInitialized = false;

// The list of live objects and its lock; once finished, objects no longer unlink.
struct TAccList {
  TAccList() { InitializeCriticalSection(&lock); }
  ~TAccList() {
    DisconnectAccessibleObjects();
    if (comInitialized) CoUninitialize();
    finished = true;
    DeleteCriticalSection(&lock);
  }
  CRITICAL_SECTION lock;
  class TTBCustomAccObject* head = nullptr;
  int count = 0;
  bool finished = false;
};
TAccList& List() {
  static TAccList list;
  return list;
}

struct TLock {
  TLock() { EnterCriticalSection(&List().lock); }
  ~TLock() { LeaveCriticalSection(&List().lock); }
  TLock(const TLock&) = delete;
  TLock& operator=(const TLock&) = delete;
};

HWND WindowOf(const TTBView& view) {
  const auto* window = dynamic_cast<const TTBViewWindow*>(view.Window());
  return window ? window->Handle() : nullptr;
}

BSTR Text(const std::wstring& text) {
  return AccString(text);
}

void SetDispatch(VARIANT* out, IAccessible* object) {
  AccVariantInit(out);
  if (!object) return;
  object->AddRef();
  out->vt = VT_DISPATCH;
  out->pdispVal = object;
}

HRESULT DispatchOf(IAccessible* object, IDispatch** out) {
  if (!object) return S_FALSE;
  object->AddRef();
  *out = object;
  return S_OK;
}

// A caller that gives no place for an answer gets E_POINTER instead of a write through null.
template <class... P>
bool Missing(P*... places) {
  return ((places == nullptr) || ...);
}

// Runs a COM method's body; an exception becomes E_FAIL.
template <class F>
HRESULT Guard(F body) noexcept {
  try {
    return body();
  } catch (...) {
    return E_FAIL;
  }
}

// The base of the accessibility objects: a counted COM object that offers no IDispatch
// operations; each kind says what its client's going means (ClientIsDestroying).
class TTBBaseAccObject : public IAccessible, public TTBAccObjectLink {
 public:
  TTBBaseAccObject() = default;
  virtual ~TTBBaseAccObject() = default;
  TTBBaseAccObject(const TTBBaseAccObject&) = delete;
  TTBBaseAccObject& operator=(const TTBBaseAccObject&) = delete;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        IsEqualIID(riid, IID_IAccessible)) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    return static_cast<ULONG>(InterlockedIncrement(&refs_));
  }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }
  // IDispatch: not offered.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }
  void ReleaseLink() noexcept override { Release(); }

 private:
  LONG refs_ = 1;
};

// The base of the view and viewer objects: every live object is on one list, so that all can
// be disconnected from their clients at the end.
class TTBCustomAccObject : public TTBBaseAccObject {
 public:
  TTBCustomAccObject() {
    TLock lock;
    TAccList& list = List();
    next_ = list.head;
    if (next_) next_->previous_ = this;
    list.head = this;
    ++list.count;
  }
  ~TTBCustomAccObject() override {
    if (List().finished) return;
    TLock lock;
    TAccList& list = List();
    if (previous_)
      previous_->next_ = next_;
    else if (list.head == this)
      list.head = next_;
    if (next_) next_->previous_ = previous_;
    --list.count;
  }
  TTBCustomAccObject(const TTBCustomAccObject&) = delete;
  TTBCustomAccObject& operator=(const TTBCustomAccObject&) = delete;

  // What neither kind answers.
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* out) override {
    if (Missing(out)) return E_POINTER;
    *out = nullptr;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* out) override {
    if (Missing(out)) return E_POINTER;
    *out = nullptr;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
    if (Missing(file, topic)) return E_POINTER;
    *file = nullptr;
    *topic = 0;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override {
    if (Missing(out)) return E_POINTER;
    AccVariantInit(out);
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return S_FALSE; }

 protected:
  // E_FAIL once the client is gone, E_INVALIDARG for a child other than CHILDID_SELF.
  HRESULT ValidateChild(const VARIANT& child) const {
    if (!ClientAlive()) return E_FAIL;
    if (child.vt != VT_I4 || child.lVal != CHILDID_SELF) return E_INVALIDARG;
    return S_OK;
  }
  virtual bool ClientAlive() const = 0;
  // A validated question answered by a text (none: S_FALSE) or a number.
  template <class F>
  HRESULT TextAnswer(const VARIANT& child, BSTR* out, F text) {
    if (Missing(out)) return E_POINTER;
    *out = nullptr;
    return Guard([&]() -> HRESULT {
      if (const HRESULT r = ValidateChild(child); r != S_OK) return r;
      const std::optional<std::wstring> answer = text();
      if (!answer) return S_FALSE;
      *out = Text(*answer);
      return S_OK;
    });
  }
  template <class F>
  HRESULT NumberAnswer(const VARIANT& child, VARIANT* out, F number) {
    if (Missing(out)) return E_POINTER;
    AccVariantInit(out);
    return Guard([&]() -> HRESULT {
      if (const HRESULT r = ValidateChild(child); r != S_OK) return r;
      out->vt = VT_I4;
      out->lVal = static_cast<LONG>(number());
      return S_OK;
    });
  }

 private:
  friend void tb::DisconnectAccessibleObjects();
  TTBCustomAccObject* previous_ = nullptr;
  TTBCustomAccObject* next_ = nullptr;
};

class TTBViewAccObject final : public TTBCustomAccObject {
 public:
  explicit TTBViewAccObject(TTBView& view) : view_(&view) {}
  void ClientIsDestroying() noexcept override { view_ = nullptr; }

  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** out) override {
    if (Missing(out)) return E_POINTER;
    *out = nullptr;
    return Guard([&]() -> HRESULT {
      if (!view_) return E_FAIL;
      if (TTBView* parent = view_->ParentView(); parent && parent->OpenViewer()) {
        return DispatchOf(GetViewerAccObject(*parent->OpenViewer()), out);
      }
      return WindowAccObject(WindowOf(*view_), out);
    });
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* out) override {
    if (Missing(out)) return E_POINTER;
    *out = 0;
    return Guard([&]() -> HRESULT {
      if (!view_) return E_FAIL;
      *out = AccessibleViewerCount(*view_);
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    if (Missing(out)) return E_POINTER;
    *out = nullptr;
    return Guard([&]() -> HRESULT {
      if (!view_) return E_FAIL;
      if (child.vt != VT_I4) return E_INVALIDARG;
      if (child.lVal == CHILDID_SELF) return DispatchOf(this, out);
      TTBItemViewer* viewer = AccessibleViewer(*view_, child.lVal);
      if (!viewer) return E_INVALIDARG;
      if (auto* item = dynamic_cast<TTBControlItem*>(&viewer->Item())) {
        if (auto* control = dynamic_cast<ui::TWinControl*>(item->Control());
            control && control->HandleAllocated()) {
          return WindowAccObject(control->Handle(), out);
        }
      }
      return DispatchOf(GetViewerAccObject(*viewer), out);
    });
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override {
    return TextAnswer(child, out, [&]() -> std::optional<std::wstring> {
      wchar_t text[256] = {};
      GetWindowTextW(WindowOf(*view_), text, 256);
      return ViewAccName(*view_, text);
    });
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT, BSTR* out) override {
    if (Missing(out)) return E_POINTER;
    *out = nullptr;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override {
    return NumberAnswer(child, out, [&] { return ViewAccRole(*view_); });
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override {
    return NumberAnswer(child, out, [] { return 0; });
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* out) override {
    return TextAnswer(child, out, [&]() -> std::optional<std::wstring> {
      if (!(view_->Style() & vsMenuBar)) return std::nullopt;
      return AltKeyName();
    });
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override {
    if (Missing(out)) return E_POINTER;
    AccVariantInit(out);
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT, BSTR* out) override {
    if (Missing(out)) return E_POINTER;
    *out = nullptr;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE accSelect(long, VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* w, long* h,
                                        VARIANT child) override {
    if (Missing(x, y, w, h)) return E_POINTER;
    *x = *y = *w = *h = 0;
    return Guard([&]() -> HRESULT {
      if (const HRESULT r = ValidateChild(child); r != S_OK) return r;
      RECT r{};
      GetWindowRect(WindowOf(*view_), &r);
      *x = r.left;
      *y = r.top;
      *w = r.right - r.left;
      *h = r.bottom - r.top;
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* out) override {
    if (Missing(out)) return E_POINTER;
    AccVariantInit(out);
    return Guard([&]() -> HRESULT {
      if (const HRESULT r = ValidateChild(start); r != S_OK) return r;
      if (direction != NAVDIR_FIRSTCHILD && direction != NAVDIR_LASTCHILD) return S_FALSE;
      const int count = AccessibleViewerCount(*view_);
      TTBItemViewer* viewer = AccessibleViewer(*view_, direction == NAVDIR_FIRSTCHILD ? 1 : count);
      if (!viewer) return S_FALSE;
      SetDispatch(out, GetViewerAccObject(*viewer));
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* out) override {
    if (Missing(out)) return E_POINTER;
    AccVariantInit(out);
    return Guard([&]() -> HRESULT {
      if (!view_) return E_FAIL;
      const HWND wnd = WindowOf(*view_);
      RECT r{};
      GetWindowRect(wnd, &r);
      const POINT screen{x, y};
      if (!PtInRect(&r, screen)) return S_FALSE;
      POINT client = screen;
      ScreenToClient(wnd, &client);
      const HWND child = ChildWindowFromPointEx(wnd, client, CWP_SKIPINVISIBLE);
      if (child && child != wnd) {
        IDispatch* disp = nullptr;
        if (SUCCEEDED(WindowAccObject(child, &disp)) && disp) {
          out->vt = VT_DISPATCH;
          out->pdispVal = disp;
          return S_OK;
        }
      }
      if (TTBItemViewer* viewer = view_->ViewerFromPoint({client.x, client.y})) {
        SetDispatch(out, GetViewerAccObject(*viewer));
        if (out->vt == VT_DISPATCH) return S_OK;
      }
      out->vt = VT_I4;
      out->lVal = CHILDID_SELF;
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT) override { return S_FALSE; }

 private:
  bool ClientAlive() const override { return view_ != nullptr; }
  TTBView* view_;
};

class TTBItemViewerAccObject final : public TTBCustomAccObject {
 public:
  explicit TTBItemViewerAccObject(TTBItemViewer& viewer) : viewer_(&viewer) {}
  void ClientIsDestroying() noexcept override { viewer_ = nullptr; }

  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** out) override {
    if (Missing(out)) return E_POINTER;
    *out = nullptr;
    return Guard([&]() -> HRESULT {
      if (!viewer_) return E_FAIL;
      return DispatchOf(GetViewAccObject(viewer_->View()), out);
    });
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* out) override {
    if (Missing(out)) return E_POINTER;
    *out = 0;
    return Guard([&]() -> HRESULT {
      if (!viewer_) return E_FAIL;
      *out = viewer_->View().OpenViewer() == viewer_ ? 1 : 0;
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    if (Missing(out)) return E_POINTER;
    *out = nullptr;
    return Guard([&]() -> HRESULT {
      if (!viewer_) return E_FAIL;
      if (child.vt != VT_I4) return E_INVALIDARG;
      if (child.lVal == CHILDID_SELF) return DispatchOf(this, out);
      if (child.lVal == 1) {
        if (TTBView* open = OpenView()) return DispatchOf(GetViewAccObject(*open), out);
      }
      return E_INVALIDARG;
    });
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override {
    return TextAnswer(child, out,
                      [&]() -> std::optional<std::wstring> { return ViewerAccName(*viewer_); });
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* out) override {
    if (Missing(out)) return E_POINTER;
    *out = nullptr;
    return Guard([&]() -> HRESULT {
      if (const HRESULT r = ValidateChild(child); r != S_OK) return r;
      std::wstring value;
      const bool has = viewer_->GetAccValue(value);
      *out = Text(has ? value : L"");
      return has ? S_OK : S_FALSE;
    });
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override {
    return NumberAnswer(child, out, [&] { return viewer_->GetAccRole(); });
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override {
    return NumberAnswer(
        child, out, [&] { return ViewerAccState(*viewer_, ViewWindowUsable(viewer_->View())); });
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* out) override {
    return TextAnswer(child, out,
                      [&] { return ViewerAccKeyboardShortcut(*viewer_, AltKeyName()); });
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override {
    if (Missing(out)) return E_POINTER;
    AccVariantInit(out);
    return Guard([&]() -> HRESULT {
      if (!viewer_) return E_FAIL;
      const TTBView& view = viewer_->View();
      if (!(view.State() & vsModal) || view.Selected() != viewer_) return S_FALSE;
      out->vt = VT_I4;
      out->lVal = CHILDID_SELF;
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* out) override {
    return TextAnswer(child, out, [&] {
      return ViewerAccDefaultAction(*viewer_, ViewWindowUsable(viewer_->View()));
    });
  }
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
    return Guard([&]() -> HRESULT {
      if (const HRESULT r = ValidateChild(child); r != S_OK) return r;
      if (flags != SELFLAG_TAKEFOCUS) return E_INVALIDARG;
      TTBView& view = viewer_->View();
      if (!ViewWindowUsable(view) || (!viewer_->Show() && !viewer_->Clipped())) return E_FAIL;
      view.Select(viewer_, false);
      view.ScrollSelectedIntoView();
      if (!(view.State() & vsModal) && !view.ParentView()) viewer_->PostExecute(0);
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* w, long* h,
                                        VARIANT child) override {
    if (Missing(x, y, w, h)) return E_POINTER;
    *x = *y = *w = *h = 0;
    return Guard([&]() -> HRESULT {
      if (const HRESULT r = ValidateChild(child); r != S_OK) return r;
      const TRect b = viewer_->BoundsRect();
      const TPoint p = viewer_->View().Window()->ClientToScreen({b.left, b.top});
      *x = p.x;
      *y = p.y;
      *w = b.Width();
      *h = b.Height();
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* out) override {
    if (Missing(out)) return E_POINTER;
    AccVariantInit(out);
    return Guard([&]() -> HRESULT {
      if (const HRESULT r = ValidateChild(start); r != S_OK) return r;
      IAccessible* target = nullptr;
      switch (direction) {
        case NAVDIR_FIRSTCHILD:
        case NAVDIR_LASTCHILD:
          if (TTBView* open = OpenView()) target = GetViewAccObject(*open);
          break;
        case NAVDIR_UP:
        case NAVDIR_LEFT:
        case NAVDIR_PREVIOUS:
        case NAVDIR_DOWN:
        case NAVDIR_RIGHT:
        case NAVDIR_NEXT: {
          const bool forward =
              direction == NAVDIR_DOWN || direction == NAVDIR_RIGHT || direction == NAVDIR_NEXT;
          if (TTBItemViewer* next = AccNeighbour(*viewer_, forward)) {
            target = GetViewerAccObject(*next);
          }
          break;
        }
        default:
          break;
      }
      if (!target) return S_FALSE;
      SetDispatch(out, target);
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* out) override {
    if (Missing(out)) return E_POINTER;
    AccVariantInit(out);
    return Guard([&]() -> HRESULT {
      if (!viewer_) return E_FAIL;
      const TPoint p = viewer_->View().Window()->ScreenToClient({x, y});
      if (!viewer_->BoundsRect().Contains(p)) return S_FALSE;
      out->vt = VT_I4;
      out->lVal = CHILDID_SELF;
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    return Guard([&]() -> HRESULT {
      if (const HRESULT r = ValidateChild(child); r != S_OK) return r;
      TTBView& view = viewer_->View();
      if (!ViewerAvailable(*viewer_, ViewWindowUsable(view))) return E_FAIL;
      if (view.OpenViewer() != viewer_) {
        view.Select(viewer_, false);
        view.ScrollSelectedIntoView();
        viewer_->PostExecute(1);
      } else {
        view.CancelChildPopups();
        if ((view.State() & vsModal) && !view.IsPopup()) view.EndModal();
      }
      return S_OK;
    });
  }

 private:
  bool ClientAlive() const override { return viewer_ != nullptr; }
  // The submenu view open from this viewer, or null.
  TTBView* OpenView() const {
    const TTBView& view = viewer_->View();
    return view.OpenViewer() == viewer_ ? view.OpenViewerView() : nullptr;
  }
  TTBItemViewer* viewer_;
};

// A deferred accessibility "select" (or execution) of a viewer arrives.
void HandleAccSelect(TTBItemViewer& viewer, bool execute) {
  TTBView& view = viewer.View();
  const bool usable = ViewWindowUsable(view);
  if (execute ? !ViewerAvailable(viewer, usable) : !usable) return;
  view.Select(&viewer, false);
  view.ScrollSelectedIntoView();
  if (view.State() & vsModal) {
    if (execute) view.ExecuteSelected(true);
  } else if (!view.ParentView() && !view.Capture()) {
    EnterToolbarLoop(view, execute ? tbetExecuteSelected | tbetFromMSAA : tbetFromMSAA);
  }
}

}  // namespace

bool ViewWindowUsable(const TTBView& view) {
  const HWND wnd = WindowOf(view);
  if (!wnd || !IsWindowVisible(wnd)) return false;
  for (HWND w = wnd; w; w = (GetWindowLongPtrW(w, GWL_STYLE) & WS_CHILD) ? GetParent(w) : nullptr) {
    if (!IsWindowEnabled(w)) return false;
  }
  const HWND active = GetActiveWindow();
  return (view.State() & vsModal) || wnd == active || (active && IsChild(active, wnd));
}

IAccessible* GetViewAccObject(TTBView& view) {
  if (!BindAccessibilityLibrary()) return nullptr;
  InitAccessibility();
  if (!view.AccObjectInstance()) view.SetAccObjectInstance(new TTBViewAccObject(view));
  return static_cast<TTBViewAccObject*>(view.AccObjectInstance());
}

IAccessible* GetViewerAccObject(TTBItemViewer& viewer) {
  if (!BindAccessibilityLibrary()) return nullptr;
  InitAccessibility();
  if (!viewer.AccObjectInstance()) viewer.SetAccObjectInstance(new TTBItemViewerAccObject(viewer));
  return static_cast<TTBItemViewerAccObject*>(viewer.AccObjectInstance());
}

bool HandleViewGetObject(TTBView& view, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (static_cast<LONG>(lParam) != OBJID_CLIENT) return false;
  IAccessible* object = GetViewAccObject(view);
  if (!object) return false;
  result = AccLresultFromObject(wParam, object);
  return true;
}

void InitAccessibility() {
  static bool done = false;
  if (done) return;
  done = true;
  List();  // the list outlives the objects made from here on
  comInitialized = SUCCEEDED(CoInitialize(nullptr));
  SetAccSelectHandler(&HandleAccSelect);
}

void DoneAccessibility() {
  DisconnectAccessibleObjects();
  if (comInitialized) CoUninitialize();
  comInitialized = false;
}

void DisconnectAccessibleObjects() {
  // Hold every object while disconnecting: a disconnect may drop the last outside reference.
  std::vector<TTBCustomAccObject*> held;
  {
    TLock lock;
    for (TTBCustomAccObject* object = List().head; object; object = object->next_) {
      object->AddRef();
      held.push_back(object);
    }
  }
  for (TTBCustomAccObject* object : held) {
    CoDisconnectObject(static_cast<IAccessible*>(object), 0);
    object->Release();
  }
}

int LiveAccObjectCount() {
  TLock lock;
  return List().count;
}

}  // namespace tb
