// The bitmap's device-independent section under Wine: GDI and direct pixel access share the
// block, a canvas and a font draw into it, and platform bitmaps, icons and BMP streams come in.
#include <gtest/gtest.h>

#include <cstring>
#include <tuple>
#include <vector>

#include "../test_resampler.h"
#include "gfx/win32/bitmap32.h"
#include "rtl/stream.h"

namespace gfx {
namespace {

class DibBitmap : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::RegisterStubResamplers();
    InitializeBitmapUnit();
  }
  void TearDown() override { FinalizeBitmapUnit(); }
};

// The colour GDI reads from a context, as 0x00RRGGBB.
TColor32 Probe(HDC dc, int x, int y) {
  const COLORREF c = GetPixel(dc, x, y);
  return GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
}

TEST_F(DibBitmap, SectionIsTopDownAndSharedWithTheContext) {
  TBitmap32 b;
  b.SetSize(4, 3);
  TDIBStorage& dib = DIB(b);
  const BITMAPINFOHEADER& h = dib.BitmapInfo().bmiHeader;
  EXPECT_EQ(std::make_tuple(h.biSize, h.biPlanes, h.biBitCount, h.biWidth, h.biHeight),
            std::make_tuple(DWORD{40}, WORD{1}, WORD{32}, LONG{4}, LONG{-3}));
  ASSERT_NE(dib.Handle(), nullptr);

  b.Clear(0xFF000000);
  b.SetPixel(1, 2, 0xFF102030);
  EXPECT_EQ(Probe(dib.Handle(), 1, 2), 0x102030u);
  EXPECT_EQ(Probe(dib.Handle(), 1, 0), 0u);
  // Copied to a screen-compatible context.
  const HDC screen = GetDC(nullptr);
  const HDC dc = CreateCompatibleDC(screen);
  ui::TGdiHandle<HBITMAP> page(CreateCompatibleBitmap(screen, 8, 8));
  ReleaseDC(nullptr, screen);
  const HGDIOBJ old = SelectObject(dc, page.get());
  BitBlt(dc, 2, 2, 4, 3, dib.Handle(), 0, 0, SRCCOPY);
  EXPECT_EQ(Probe(dc, 3, 4), 0x102030u);
  SelectObject(dc, old);
  DeleteDC(dc);

  // The canvas draws into the same pixels; a new size drops it, and the next one is made on the
  // new context.
  ui::TCanvas& canvas = dib.Canvas();
  canvas.Brush().SetColor(RGB(255, 0, 0));
  canvas.FillRect(ui::TRect{0, 0, 2, 1});
  GdiFlush();
  EXPECT_EQ(b.GetPixel(1, 0) & 0xFFFFFF, 0xFF0000u);
  // Each drawing call of the canvas reports a change of the bitmap.
  int changes = 0;
  b.OnChange = [&](ui::TPersistent*) { ++changes; };
  canvas.FillRect(ui::TRect{0, 0, 1, 1});
  canvas.MoveTo(0, 0);
  canvas.LineTo(3, 2);
  EXPECT_EQ(changes, 2);
  b.SetSize(5, 5);
  EXPECT_FALSE(dib.CanvasAllocated());
  EXPECT_EQ(dib.Canvas().Handle(), dib.Handle());
}

TEST_F(DibBitmap, TextDrawsWithTheSelectedFontAndSizeChangesDeselectIt) {
  TBitmap32 b;
  b.SetSize(64, 24);
  b.Clear(0xFFFFFFFF);
  TDIBStorage& dib = DIB(b);
  dib.Font().SetHeight(-16);
  dib.Font().SetColor(RGB(0, 0, 255));
  dib.UpdateFont();
  ASSERT_NE(dib.FontHandle(), nullptr);
  EXPECT_EQ(GetCurrentObject(dib.Handle(), OBJ_FONT), dib.FontHandle());
  TextOutW(dib.Handle(), 2, 2, L"Hg", 2);
  GdiFlush();
  int blue = 0;
  for (int i = 0; i < 64 * 24; ++i) blue += (b.Bits()[i] & 0xFFFFFF) == 0x0000FF;
  EXPECT_GT(blue, 10);

  dib.Font().SetHeight(-20);  // a font change deselects
  EXPECT_EQ(dib.FontHandle(), nullptr);
  EXPECT_EQ(GetCurrentObject(dib.Handle(), OBJ_FONT), StockFont());
  dib.UpdateFont();
  b.SetSize(10, 10);
  EXPECT_EQ(dib.FontHandle(), nullptr);
  EXPECT_NE(StockBitmap(), nullptr);
}

TEST_F(DibBitmap, PlatformBitmapsIconsAndStreamsComeIn) {
  // A 24-bit platform bitmap: its pixels, every alpha 255; the transparent colour gets alpha 0.
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 3, -2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  ui::TGdiHandle<HBITMAP> bitmap(
      CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  const std::uint8_t rows[2][12] = {{1, 2, 3, 0, 0, 255, 1, 2, 3, 0, 0, 0},
                                    {9, 9, 9, 1, 2, 3, 0, 0, 255, 0, 0, 0}};
  std::memcpy(bits, rows, sizeof(rows));
  TBitmap32 b;
  int changes = 0;
  b.OnChange = [&](ui::TPersistent*) { ++changes; };
  AssignFromBitmap(b, bitmap.get(), true, RGB(255, 0, 0));
  EXPECT_EQ(changes, 1);
  ASSERT_EQ(b.Width(), 3);
  EXPECT_EQ(b.GetPixel(0, 0), 0xFF030201u);
  EXPECT_EQ(b.GetPixel(1, 0), 0x00FF0000u);
  EXPECT_EQ(b.GetPixel(0, 1), 0xFF090909u);

  // BMP round trip keeps alpha; a 24-bit file loads opaque; damaged files are refused.
  rtl::TMemoryStream saved;
  SaveToStream(b, saved);
  EXPECT_EQ(saved.Size(), 54 + 3 * 2 * 4);
  TBitmap32 back;
  saved.SetPosition(0);
  LoadFromStream(back, saved);
  EXPECT_TRUE(back.Equal(b));
  std::vector<std::uint8_t> file = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0,  0, 0, 40, 0, 0,
                                    0,   2,   0, 0, 0, 1, 0, 0, 0, 1, 0,  24, 0, 0, 0,  0, 0};
  file.resize(54);
  for (std::uint8_t v : {10, 20, 30, 40, 50, 60, 0, 0}) file.push_back(v);
  rtl::TMemoryStream bmp24(file);
  LoadFromStream(back, bmp24);
  EXPECT_EQ(back.GetPixel(0, 0), 0xFF1E140Au);
  EXPECT_EQ(back.GetPixel(1, 0), 0xFF3C3228u);
  // A palette hint of 256 colours that the file does not hold changes nothing.
  std::vector<std::uint8_t> hinted = file;
  hinted[47] = 1;
  rtl::TMemoryStream bmpHinted(hinted);
  LoadFromStream(back, bmpHinted);
  EXPECT_EQ(back.GetPixel(0, 0), 0xFF1E140Au);
  EXPECT_EQ(back.GetPixel(1, 0), 0xFF3C3228u);
  for (std::size_t cut : {std::size_t{20}, std::size_t{57}}) {
    rtl::TMemoryStream damaged(std::vector<std::uint8_t>(file.begin(), file.begin() + cut));
    EXPECT_THROW(LoadFromStream(back, damaged), rtl::Exception);
  }
  file[22] = 0xFF;  // height 255 rows that the file does not hold
  rtl::TMemoryStream tall(file);
  EXPECT_THROW(LoadFromStream(back, tall), rtl::Exception);
  // 2^31 - 1 square at 32 bits: rows of 8 GB each, far more than the file holds.
  for (const std::size_t at : {std::size_t{18}, std::size_t{22}})
    for (std::size_t i = 0; i < 4; ++i) file[at + i] = i < 3 ? 0xFF : 0x7F;
  file[28] = 32;
  rtl::TMemoryStream huge(file);
  try {
    LoadFromStream(back, huge);
    FAIL();
  } catch (const rtl::Exception& e) {
    EXPECT_STREQ(e.what(), "Bitmap image is not valid");
  }

  // An icon: the masked-out pixels come out transparent.
  const BYTE andMask[2 * 2] = {0x3F, 0, 0x3F, 0};  // x 0 and 1 opaque, 2 and 3 masked
  const std::vector<DWORD> color(4 * 2, 0x0000FF00);
  ui::TGdiHandle<HBITMAP> colorBitmap(CreateBitmap(4, 2, 1, 32, color.data()));
  ui::TGdiHandle<HBITMAP> mask(CreateBitmap(4, 2, 1, 1, andMask));
  ICONINFO ii{TRUE, 0, 0, mask.get(), colorBitmap.get()};
  const HICON icon = CreateIconIndirect(&ii);
  ASSERT_NE(icon, nullptr);
  AssignFromIcon(b, icon);
  DestroyIcon(icon);
  ASSERT_EQ(b.Width(), 4);
  EXPECT_EQ(b.GetPixel(0, 0), 0xFF00FF00u);
  EXPECT_EQ(b.GetPixel(3, 1) >> 24, 0u);

  // Sized as a graphic is assigned.
  TBitmap32 sized;
  SetSizeFrom(sized, bitmap.get());
  EXPECT_EQ(std::make_pair(sized.Width(), sized.Height()), std::make_pair(3, 2));

  // Out again: a 32-bit section with the pixels, alpha included, drawn at (0, 0).
  b.SetPixel(1, 1, 0x80112233);
  ui::TGdiHandle<HBITMAP> copy(CopyToBitmap(b));
  DIBSECTION section{};
  ASSERT_EQ(GetObjectW(copy.get(), sizeof(section), &section), static_cast<int>(sizeof(section)));
  EXPECT_EQ(section.dsBm.bmBitsPixel, 32);
  const auto* copied = static_cast<const TColor32*>(section.dsBm.bmBits);
  EXPECT_EQ(std::vector<TColor32>(copied, copied + 8),
            std::vector<TColor32>(b.Bits(), b.Bits() + 8));
}

TEST_F(DibBitmap, ClipboardRoundTrip) {
  TBitmap32 b;
  b.SetSize(3, 2);
  for (int i = 0; i < 6; ++i) b.Bits()[i] = 0xFF000000u | (0x102030u * (i + 1));
  CopyToClipboard(b);
  TBitmap32 c;
  AssignFromClipboard(c);
  EXPECT_TRUE(c.Equal(b));
}

TEST_F(DibBitmap, AllocationFailureAndSystemColours) {
  TBitmap32 b;
  b.SetSize(2, 2);
  // Too large; 65536 x 16385 x 4 bytes wraps to 256 KB in 32 bits.
  for (SIZE size : {SIZE{30000, 30000}, SIZE{65536, 16385}}) {
    try {
      b.SetSize(size.cx, size.cy);
      FAIL() << "no exception";
    } catch (const rtl::Exception& e) {
      EXPECT_STREQ(e.what(), "Can't allocate the DIB handle");
    }
  }
  EXPECT_TRUE(b.Empty());
  EXPECT_EQ(DIB(b).Handle(), nullptr);
  EXPECT_EQ(b.GetPixelS(0, 0), 0u);
  const COLORREF window = GetSysColor(COLOR_WINDOW);
  EXPECT_EQ(WinColorToColor32(static_cast<TWinColor>(0x80000000 | COLOR_WINDOW)),
            0xFF000000u | GetRValue(window) << 16 | GetGValue(window) << 8 | GetBValue(window));
}

}  // namespace
}  // namespace gfx
