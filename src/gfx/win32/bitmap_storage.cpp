#include <algorithm>
#include <array>
#include <cwctype>
#include <memory>
#include <mutex>
#include <type_traits>
#include <vector>

#include "gfx/bmp_layout.h"
#include "gfx/win32/bitmap32.h"
#include "gfx/win32/drawing.h"
#include "rtl/file_stream.h"
#include "ui/win32/clipboard.h"
#include "ui/win32/controls.h"

namespace gfx {

namespace {

HBITMAP stockBitmap = nullptr;
// Between the unit's start-up and its shutdown; the bitmap itself is made when first asked for.
bool stockObjectsLive = false;
std::mutex stockLock;

// Every alpha 255.
void ResetAlpha(TBitmap32& Bitmap) {
  if (Bitmap.Empty()) return;
  TColor32* p = Bitmap.Bits();
  const std::size_t n = static_cast<std::size_t>(Bitmap.Width()) * Bitmap.Height();
  for (std::size_t i = 0; i < n; ++i) p[i] |= 0xFF000000u;
}

// Runs Assign's frame around a platform source: one update, then Changed.
template <class Body>
void AssignFramed(TBitmap32& Dst, Body&& body) {
  Dst.BeginUpdate();
  try {
    body();
  } catch (...) {
    Dst.EndUpdate();
    throw;
  }
  Dst.EndUpdate();
  Dst.Changed();
}

// A memory context with one object selected, restored and deleted on the way out.
class TSelectedDC {
 public:
  explicit TSelectedDC(HGDIOBJ object) : dc_(CreateCompatibleDC(nullptr)) {
    if (dc_) old_ = SelectObject(dc_, object);
  }
  ~TSelectedDC() {
    if (!dc_) return;
    SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  TSelectedDC(const TSelectedDC&) = delete;
  TSelectedDC& operator=(const TSelectedDC&) = delete;
  HDC Get() const { return dc_; }

 private:
  HDC dc_;
  HGDIOBJ old_ = nullptr;
};

// Draws a graphic over white and over red and keeps as opaque what both agree on.
template <class Draw>
void AssignTwoBackgrounds(TBitmap32& Dst, std::int32_t Width, std::int32_t Height, Draw&& draw) {
  AssignFramed(Dst, [&] {
    Dst.SetSize(Width, Height);
    if (Dst.Empty()) return;
    Dst.Clear(0xFFFFFFFF);
    draw(DIB(Dst).Handle(), Width, Height);
    TBitmap32 red;
    red.SetSize(Width, Height);
    red.Clear(0xFFFF0000);
    draw(DIB(red).Handle(), Width, Height);
    GdiFlush();
    const std::size_t n = static_cast<std::size_t>(Width) * Height;
    TColor32* p = Dst.Bits();
    const TColor32* q = red.Bits();
    for (std::size_t i = 0; i < n; ++i)
      p[i] = (p[i] & 0x00FFFFFF) | (((p[i] ^ q[i]) & 0x00FFFFFF) == 0 ? 0xFF000000u : 0u);
  });
}

std::uint32_t Le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
void Put32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void Put16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

}  // namespace

// ---- TDIBStorage ----

TDIBStorage::TDIBStorage() {
  FBitmapInfo.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  FBitmapInfo.bmiHeader.biPlanes = 1;
  FBitmapInfo.bmiHeader.biBitCount = 32;
  FBitmapInfo.bmiHeader.biCompression = BI_RGB;
  FFont.OnChange = [this] { FontChanged(); };
}

TDIBStorage::~TDIBStorage() {
  FontChanged();
  DeleteCanvas();
  Release();
}

TColor32* TDIBStorage::Allocate(std::int32_t Width, std::int32_t Height) {
  Release();
  // Sizes whose byte count does not fit in 31 bits are refused before the platform could wrap
  // them.
  if (static_cast<std::int64_t>(Width) * Height > 0x7FFFFFFF / 4)
    throw rtl::Exception("Can't allocate the DIB handle");
  FBitmapInfo.bmiHeader.biWidth = Width;
  FBitmapInfo.bmiHeader.biHeight = -Height;
  void* bits = nullptr;
  FHandle = CreateDIBSection(nullptr, &FBitmapInfo, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bits) {
    if (FHandle) DeleteObject(FHandle);
    FHandle = nullptr;
    throw rtl::Exception("Can't allocate the DIB handle");
  }
  FHDC = CreateCompatibleDC(nullptr);
  if (!FHDC) {
    DeleteObject(FHandle);
    FHandle = nullptr;
    throw rtl::Exception("Can't create compatible DC");
  }
  if (!SelectObject(FHDC, FHandle)) {
    DeleteDC(FHDC);
    DeleteObject(FHandle);
    FHDC = nullptr;
    FHandle = nullptr;
    throw rtl::Exception("Can't select an object into DC");
  }
  return static_cast<TColor32*>(bits);
}

void TDIBStorage::Release() {
  if (FHDC) DeleteDC(FHDC);
  FHDC = nullptr;
  if (FHandle) DeleteObject(FHandle);
  FHandle = nullptr;
}

void TDIBStorage::FontChanged() {
  if (!FFontHandle) return;
  if (FHDC) SelectObject(FHDC, StockFont());
  FFontHandle.reset();
}

void TDIBStorage::UpdateFont() {
  if (!FHDC) return;
  if (!FFontHandle) {
    LOGFONTW font{};
    GetObjectW(FFont.Handle(), sizeof(font), &font);
    FFontHandle.reset(CreateFontIndirectW(&font));
  }
  SelectObject(FHDC, FFontHandle.get());
  SetTextColor(FHDC, ui::ColorToRGB(FFont.Color()));
  SetBkMode(FHDC, TRANSPARENT);
}

void TDIBStorage::SetFont(const ui::TFont& Value) {
  FFont.Assign(Value);
  FontChanged();
}

void TDIBStorage::AssignFont(const TBitmapStorage& Source) {
  if (const auto* dib = dynamic_cast<const TDIBStorage*>(&Source)) SetFont(dib->FFont);
}

void TDIBStorage::DeleteCanvas() {
  if (!FCanvas) return;
  FCanvas->SetHandle(nullptr);
  FCanvas.reset();
}

void TDIBStorage::HandleChanged() {
  if (FCanvas) FCanvas->SetHandle(FHDC);
}

ui::TCanvas& TDIBStorage::Canvas() {
  if (!FCanvas) {
    FCanvas = std::make_unique<ui::TCanvas>();
    FCanvas->SetHandle(FHDC);
    FCanvas->OnChange = [this] {
      GdiFlush();
      if (OnCanvasChanged) OnCanvasChanged();
    };
  }
  return *FCanvas;
}

TDIBStorage& DIB(const TBitmap32& Bitmap) {
  auto* dib = dynamic_cast<TDIBStorage*>(&Bitmap.Storage());
  if (!dib) throw rtl::Exception("The bitmap has no device-independent section");
  return *dib;
}

std::unique_ptr<TBitmapStorage> NewPlatformBitmapStorage() {
  return std::make_unique<TDIBStorage>();
}

std::uint32_t PlatformSysColor(std::int32_t Index) {
  return GetSysColor(Index);
}

bool PlatformObjectSize(const ui::TPersistent& Source, std::int32_t& Width, std::int32_t& Height) {
  const auto* control = dynamic_cast<const ui::TControl*>(&Source);
  if (!control) return false;
  Width = control->Width();
  Height = control->Height();
  return true;
}

// ---- Stock objects ----

HFONT StockFont() {
  return static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

// Made at its first use rather than at start-up: a bitmap compatible with the screen asks the
// window system about the display, and only text measuring without a device context needs it.
HBITMAP StockBitmap() {
  const std::lock_guard<std::mutex> guard(stockLock);
  if (stockObjectsLive && !stockBitmap) {
    const HDC screen = GetDC(nullptr);
    stockBitmap = CreateCompatibleBitmap(screen, 8, 8);
    ReleaseDC(nullptr, screen);
  }
  return stockBitmap;
}

void CreatePlatformStockObjects() {
  const std::lock_guard<std::mutex> guard(stockLock);
  stockObjectsLive = true;
}

void FreePlatformStockObjects() {
  const std::lock_guard<std::mutex> guard(stockLock);
  if (stockBitmap) DeleteObject(stockBitmap);
  stockBitmap = nullptr;
  stockObjectsLive = false;
}

// ---- Platform graphics ----

void AssignFromBitmap(TBitmap32& Dst, HBITMAP Source, bool Transparent,
                      TWinColor TransparentColor) {
  AssignFramed(Dst, [&] {
    BITMAP info{};
    SetSizeFrom(Dst, Source);
    if (Dst.Empty() || !GetObjectW(Source, sizeof(info), &info)) return;
    {
      TSelectedDC source(Source);
      BitBlt(DIB(Dst).Handle(), 0, 0, Dst.Width(), Dst.Height(), source.Get(), 0, 0, SRCCOPY);
      GdiFlush();
    }
    if (info.bmBitsPixel != 32) ResetAlpha(Dst);
    if (!Transparent) return;
    const TColor32 key = WinColorToColor32(TransparentColor) & 0x00FFFFFF;
    TColor32* p = Dst.Bits();
    const std::size_t n = static_cast<std::size_t>(Dst.Width()) * Dst.Height();
    for (std::size_t i = 0; i < n; ++i)
      if ((p[i] & 0x00FFFFFF) == key) p[i] &= 0x00FFFFFF;
  });
}

namespace {

SIZE IconSize(HICON Source) {
  ICONINFO info{};
  SIZE size{0, 0};
  if (Source && GetIconInfo(Source, &info)) {
    BITMAP bm{};
    if (info.hbmColor && GetObjectW(info.hbmColor, sizeof(bm), &bm)) {
      size = {bm.bmWidth, bm.bmHeight};
    } else if (info.hbmMask && GetObjectW(info.hbmMask, sizeof(bm), &bm)) {
      size = {bm.bmWidth, bm.bmHeight / 2};
    }
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
  }
  return size;
}

SIZE MetafileSize(HENHMETAFILE Source) {
  ENHMETAHEADER header{};
  if (!Source || !GetEnhMetaFileHeader(Source, sizeof(header), &header)) return {0, 0};
  return {header.rclBounds.right - header.rclBounds.left + 1,
          header.rclBounds.bottom - header.rclBounds.top + 1};
}

SIZE BitmapSize(HBITMAP Source) {
  BITMAP info{};
  if (!Source || !GetObjectW(Source, sizeof(info), &info)) return {0, 0};
  return {info.bmWidth, std::abs(info.bmHeight)};
}

}  // namespace

void AssignFromIcon(TBitmap32& Dst, HICON Source) {
  const SIZE size = IconSize(Source);
  AssignTwoBackgrounds(Dst, size.cx, size.cy, [Source](HDC dc, int w, int h) {
    DrawIconEx(dc, 0, 0, Source, w, h, 0, nullptr, DI_NORMAL);
  });
}

void AssignFromMetafile(TBitmap32& Dst, HENHMETAFILE Source) {
  const SIZE size = MetafileSize(Source);
  AssignTwoBackgrounds(Dst, size.cx, size.cy, [Source](HDC dc, int w, int h) {
    const RECT rect{0, 0, w, h};
    PlayEnhMetaFile(dc, Source, &rect);
  });
}

void SetSizeFrom(TCustomMap& Dst, HBITMAP Source) {
  const SIZE size = BitmapSize(Source);
  Dst.SetSize(size.cx, size.cy);
}

void SetSizeFrom(TCustomMap& Dst, HICON Source) {
  const SIZE size = IconSize(Source);
  Dst.SetSize(size.cx, size.cy);
}

void SetSizeFrom(TCustomMap& Dst, HENHMETAFILE Source) {
  const SIZE size = MetafileSize(Source);
  Dst.SetSize(size.cx, size.cy);
}

HBITMAP CopyToBitmap(const TBitmap32& Source) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = Source.Width();
  info.bmiHeader.biHeight = -Source.Height();
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  ui::TGdiHandle<HBITMAP> bitmap(
      CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) {
    if (Source.Empty()) return nullptr;
    throw rtl::Exception("Can't allocate the DIB handle");
  }
  // Drawn onto the new section at (0, 0) with the bitmap's font selected, as onto its canvas.
  {
    TSelectedDC target(bitmap.get());
    if (!target.Get()) throw rtl::Exception("Can't create compatible DC");
    const HGDIOBJ oldFont = SelectObject(target.Get(), DIB(Source).Font().Handle());
    DrawTo(Source, target.Get(), 0, 0);
    GdiFlush();
    SelectObject(target.Get(), oldFont);
  }
  return bitmap.release();
}

void AssignFromClipboard(TBitmap32& Dst) {
  ui::TGdiHandle<HBITMAP> bitmap(ui::ClipboardBitmap());
  if (!bitmap) throw rtl::Exception("Unsupported clipboard format");
  AssignFramed(Dst, [&] {
    BITMAP info{};
    GetObjectW(bitmap.get(), sizeof(info), &info);
    Dst.SetSize(info.bmWidth, std::abs(info.bmHeight));
    if (Dst.Empty()) return;
    TSelectedDC source(bitmap.get());
    BitBlt(DIB(Dst).Handle(), 0, 0, Dst.Width(), Dst.Height(), source.Get(), 0, 0, SRCCOPY);
    GdiFlush();
    ResetAlpha(Dst);
  });
}

void CopyToClipboard(const TBitmap32& Source) {
  ui::SetClipboardBitmap(CopyToBitmap(Source));
}

// ---- BMP streams ----

void LoadFromStream(TBitmap32& Dst, rtl::TStream& Stream) {
  const std::int64_t available = Stream.Size() - Stream.Position();
  // A stream too large for a bitmap file is not read in: the reader refuses it as a short one.
  std::vector<std::uint8_t> file(
      available > 0 && available <= 0x7FFFFFFF ? static_cast<std::size_t>(available) : 0);
  Stream.ReadBuffer(file);
  const TBmpLayout layout = ReadBmpLayout(file);
  AssignFramed(Dst, [&] {
    Dst.SetSize(layout.Width, layout.Rows);
    if (Dst.Empty()) return;
    const std::uint8_t* bits = file.data() + layout.BitsOffset;
    if (layout.BitCount == 32 && layout.Compression == BI_RGB) {
      // Copied as they are, alpha included.
      for (std::int32_t y = 0; y < layout.Rows; ++y) {
        const std::int64_t source = layout.BottomUp ? layout.Rows - 1 - y : y;
        const std::uint8_t* row = bits + source * layout.Stride;
        TColor32* out = Dst.ScanLine(y);
        for (std::int32_t x = 0; x < layout.Width; ++x) out[x] = Le32(row + 4 * x);
      }
      return;
    }
    // The platform decodes the other depths from the aligned header block.
    SetDIBitsToDevice(DIB(Dst).Handle(), 0, 0, static_cast<DWORD>(layout.Width),
                      static_cast<DWORD>(layout.Rows), 0, 0, 0, static_cast<UINT>(layout.Rows),
                      bits, reinterpret_cast<const BITMAPINFO*>(layout.Info.data()),
                      DIB_RGB_COLORS);
    GdiFlush();
    ResetAlpha(Dst);
  });
  Dst.Changed();
}

void SaveToStream(const TBitmap32& Source, rtl::TStream& Stream) {
  const std::int32_t width = Source.Empty() ? 0 : Source.Width();
  const std::int32_t height = Source.Empty() ? 0 : Source.Height();
  const std::uint32_t imageSize = static_cast<std::uint32_t>(width) * height * 4;
  std::array<std::uint8_t, 54> header{};
  header[0] = 'B';
  header[1] = 'M';
  Put32(&header[2], 54 + imageSize);
  Put32(&header[10], 54);
  Put32(&header[14], 40);
  Put32(&header[18], static_cast<std::uint32_t>(width));
  Put32(&header[22], static_cast<std::uint32_t>(height));
  Put16(&header[26], 1);
  Put16(&header[28], 32);
  Put32(&header[34], imageSize);
  Stream.WriteBuffer(header);
  std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * 4);
  for (std::int32_t y = height - 1; y >= 0; --y) {
    const TColor32* in = Source.ScanLine(y);
    for (std::int32_t x = 0; x < width; ++x) Put32(&row[4 * x], in[x]);
    Stream.WriteBuffer(row);
  }
}

void LoadFromFile(TBitmap32& Dst, const std::wstring& FileName) {
  const std::size_t dot = FileName.find_last_of(L'.');
  std::wstring extension = dot == std::wstring::npos ? L"" : FileName.substr(dot);
  for (wchar_t& c : extension) c = static_cast<wchar_t>(towlower(c));
  if (extension == L".ico") {
    const std::unique_ptr<std::remove_pointer_t<HICON>, decltype(&DestroyIcon)> icon(
        static_cast<HICON>(LoadImageW(nullptr, FileName.c_str(), IMAGE_ICON, 0, 0,
                                      LR_LOADFROMFILE | LR_DEFAULTSIZE)),
        &DestroyIcon);
    if (!icon) throw rtl::Exception("Icon image is not valid");
    AssignFromIcon(Dst, icon.get());
    return;
  }
  if (extension == L".emf") {
    const std::unique_ptr<std::remove_pointer_t<HENHMETAFILE>, decltype(&DeleteEnhMetaFile)>
        metafile(GetEnhMetaFileW(FileName.c_str()), &DeleteEnhMetaFile);
    if (!metafile) throw rtl::Exception("Metafile is not valid");
    AssignFromMetafile(Dst, metafile.get());
    return;
  }
  rtl::TFileStream stream(FileName, rtl::FileMode::OpenRead);
  LoadFromStream(Dst, stream);
}

void SaveToFile(const TBitmap32& Source, const std::wstring& FileName) {
  rtl::TFileStream stream(FileName, rtl::FileMode::Create);
  SaveToStream(Source, stream);
}

namespace {

void LoadFromResource(TBitmap32& Dst, HINSTANCE Instance, const wchar_t* Name) {
  ui::TGdiHandle<HBITMAP> bitmap(
      static_cast<HBITMAP>(LoadImageW(Instance, Name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (!bitmap) throw rtl::Exception("Bitmap resource not found");
  AssignFromBitmap(Dst, bitmap.get());
  Dst.Changed();
}

}  // namespace

void LoadFromResourceID(TBitmap32& Dst, HINSTANCE Instance, int ResID) {
  LoadFromResource(Dst, Instance, MAKEINTRESOURCEW(ResID));
}

void LoadFromResourceName(TBitmap32& Dst, HINSTANCE Instance, const std::wstring& ResName) {
  LoadFromResource(Dst, Instance, ResName.c_str());
}

}  // namespace gfx
