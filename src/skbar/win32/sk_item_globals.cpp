#include "skbar/win32/sk_item_globals.h"

#include <algorithm>
#include <cstdint>

#include "skbar/sk_form_popup.h"
#include "skbar/sk_geometry.h"
#include "skbar/sk_item.h"
#include "tb/win32/common.h"
#include "ui/win32/system_fonts.h"

namespace skbar {

namespace {

constexpr DWORD kNcRenderingPolicy = 2;  // DWMWA_NCRENDERING_POLICY
constexpr DWORD kNcUseWindowStyle = 0, kNcDisabled = 1;

HMODULE Dwmapi() {
  static const HMODULE module = LoadLibraryW(L"dwmapi.dll");
  return module;
}

template <class Proc>
Proc DwmProc(const char* name) {
  const HMODULE module = Dwmapi();
  return module ? reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                : nullptr;
}

}  // namespace

bool SkControlVisible(const ui::TComponent* control, bool& visible) {
  const auto* c = dynamic_cast<const ui::TControl*>(control);
  if (!c) return false;
  visible = c->Visible();
  return true;
}

void SkSetControlVisible(ui::TComponent* control, bool visible) {
  if (auto* c = dynamic_cast<ui::TControl*>(control)) c->SetVisible(visible);
}

bool TSkBarCustomLabelItem::HandleAccelerator(wchar_t key) {
  auto* control = dynamic_cast<ui::TWinControl*>(Control());
  if (!Enabled() || !Visible() || !control || !control->CanFocus()) return false;
  const std::wstring& caption = Caption();
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != L'&') continue;
    if (caption[i + 1] == L'&') {
      ++i;
      continue;
    }
    if (CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(caption[i + 1]))) !=
        CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(key)))) {
      return false;
    }
    control->SetFocus();
    return true;
  }
  return false;
}

ui::TImageList& SkCaptionGlyphs() {
  static ui::Owned<ui::TImageList> glyphs = [] {
    ui::Owned<ui::TImageList> list = ui::New<ui::TImageList>();
    int height = 0;
    for (int i = 0; i < kSkGlyphCount; ++i) height = std::max(height, SkGlyphPattern(i).height);
    list->SetSize(8, height);
    // Each glyph in black on white, white being the mask colour, so that a plain drawing of the
    // list shows the glyphs too (the skinned viewers draw them in their text colour).
    for (int i = 0; i < kSkGlyphCount; ++i) {
      const TSkGlyphPattern& glyph = SkGlyphPattern(i);
      BITMAPINFO info{};
      info.bmiHeader = {sizeof(BITMAPINFOHEADER), 8, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
      void* bits = nullptr;
      const ui::TGdiHandle<HBITMAP> bitmap(
          CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
      if (!bitmap || !bits) continue;
      auto* pixels = static_cast<std::uint32_t*>(bits);
      for (int y = 0; y < height; ++y) {
        for (int x = 0; x < 8; ++x) {
          const bool set = y < glyph.height && (glyph.rows[y] & (0x80 >> x));
          pixels[y * 8 + x] = set ? 0 : 0xFFFFFF;
        }
      }
      list->AddMasked(bitmap.get(), ui::clWhite);
    }
    return list;
  }();
  return *glyphs;
}

ui::TFont& SkSmallCaptionFont() {
  static ui::TFont font;
  static const bool filled = [] {
    NONCLIENTMETRICSW metrics;
    const bool ok = ui::ReadNonClientMetrics(metrics);
    if (ok) {
      font.SetName(metrics.lfSmCaptionFont.lfFaceName);
      font.SetHeight(metrics.lfSmCaptionFont.lfHeight);
    }
    return ok;
  }();
  static_cast<void>(filled);
  return font;
}

TPoint SkPopupPositionForControl(ui::TControl& control, TSize size, bool side) {
  const ui::TRect b = control.BoundsRect();
  RECT r{b.left, b.top, b.right, b.bottom};
  if (ui::TWinControl* parent = control.Parent()) {
    MapWindowPoints(parent->Handle(), nullptr, reinterpret_cast<POINT*>(&r), 2);
  }
  const RECT work = tb::GetRectOfMonitorContainingRect(r, true);
  return SkFormPopupPosition({r.left, r.top, r.right, r.bottom}, size,
                             {work.left, work.top, work.right, work.bottom}, side);
}

void SkSetWindowPosNoActivate(HWND wnd, int x, int y) {
  SetWindowPos(wnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool SkIsCompositionEnabled() {
  using Proc = HRESULT(WINAPI*)(BOOL*);
  const auto isEnabled = DwmProc<Proc>("DwmIsCompositionEnabled");
  BOOL enabled = FALSE;
  return isEnabled && SUCCEEDED(isEnabled(&enabled)) && enabled;
}

void SkSetNCRenderingPolicy(ui::TWinControl& control, bool enable) {
  using Proc = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
  const auto setAttribute = DwmProc<Proc>("DwmSetWindowAttribute");
  if (!setAttribute || !control.HandleAllocated()) return;
  const DWORD policy = enable ? kNcUseWindowStyle : kNcDisabled;
  setAttribute(control.Handle(), kNcRenderingPolicy, &policy, sizeof policy);
}

}  // namespace skbar
