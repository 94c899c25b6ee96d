// The Windows side of TBitmap32: its pixels live in a device-independent section (top-down,
// 32 bits per pixel) selected into a memory device context, so GDI drawing and direct pixel
// access see the same memory. The section carries the bitmap's canvas (made on first use) and
// its font, which UpdateFont selects into the context (as a copy, so a font change never
// deletes a font that is still selected) for text drawing.
//   Assignment from and to platform bitmaps, icons and metafiles, BMP streams and files, and
//   resources.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "gfx/bitmap32.h"
#include "ui/win32/graphics.h"

namespace gfx {

class TDIBStorage : public TBitmapStorage {
 public:
  TDIBStorage();
  ~TDIBStorage() override;

  TColor32* Allocate(std::int32_t Width, std::int32_t Height) override;
  void Release() override;
  // Deselects the font (the stock font goes back into the context).
  void FontChanged() override;
  void DeleteCanvas() override;
  // Points an existing canvas at the new context.
  void HandleChanged() override;
  void AssignFont(const TBitmapStorage& Source) override;

  HDC Handle() const { return FHDC; }
  HBITMAP BitmapHandle() const { return FHandle; }
  const BITMAPINFO& BitmapInfo() const { return FBitmapInfo; }
  HFONT FontHandle() const { return FFontHandle.get(); }

  ui::TFont& Font() { return FFont; }
  // Assigns into the owned font, then deselects it.
  void SetFont(const ui::TFont& Value);
  // Selects the font (when none is) and sets the text colour and a transparent background.
  void UpdateFont();

  bool CanvasAllocated() const { return FCanvas != nullptr; }
  // Made on first use, on the bitmap's context.
  ui::TCanvas& Canvas();

 private:
  HBITMAP FHandle = nullptr;
  HDC FHDC = nullptr;
  BITMAPINFO FBitmapInfo{};
  ui::TFont FFont;
  ui::TGdiHandle<HFONT> FFontHandle;
  std::unique_ptr<ui::TCanvas> FCanvas;
};

// The section side of a bitmap made with the platform storage.
TDIBStorage& DIB(const TBitmap32& Bitmap);

// The system font (stock object 13) and the 8 x 8 bitmap that text measuring draws into;
// between InitializeBitmapUnit and FinalizeBitmapUnit (which frees it), made at its first use.
HFONT StockFont();
HBITMAP StockBitmap();

// A platform bitmap: its size and pixels (every alpha 255 unless it has 32 bits per pixel);
// when Transparent, pixels of TransparentColor get alpha 0. Inside one update, then Changed.
void AssignFromBitmap(TBitmap32& Dst, HBITMAP Source, bool Transparent = false,
                      TWinColor TransparentColor = 0);
// An icon or a metafile: drawn over white and over red; pixels that come out the same are
// opaque (with the colour drawn over white), the others transparent.
void AssignFromIcon(TBitmap32& Dst, HICON Source);
void AssignFromMetafile(TBitmap32& Dst, HENHMETAFILE Source);
// A map sized as a platform graphic (as the Assign functions size it; 0 x 0 for none).
void SetSizeFrom(TCustomMap& Dst, HBITMAP Source);
void SetSizeFrom(TCustomMap& Dst, HICON Source);
void SetSizeFrom(TCustomMap& Dst, HENHMETAFILE Source);
// A new 32-bit section holding the bitmap drawn at (0, 0); the caller owns it.
HBITMAP CopyToBitmap(const TBitmap32& Source);

// The clipboard's bitmap, every alpha 255 (rtl::Exception when it holds none); a copy of the
// pixels onto the clipboard.
void AssignFromClipboard(TBitmap32& Dst);
void CopyToClipboard(const TBitmap32& Source);

// A BMP file: uncompressed 1, 4, 8, 16, 24 or 32 bits per pixel (the platform decodes them);
// anything else, or a file whose parts do not fit, raises rtl::Exception. Assigned as a platform
// bitmap, then Changed once more.
void LoadFromStream(TBitmap32& Dst, rtl::TStream& Stream);
// A bottom-up 32-bit BMP file with the alpha channel kept.
void SaveToStream(const TBitmap32& Source, rtl::TStream& Stream);
// By extension: ".ico" an icon, ".emf" an enhanced metafile, anything else a BMP file.
void LoadFromFile(TBitmap32& Dst, const std::wstring& FileName);
void SaveToFile(const TBitmap32& Source, const std::wstring& FileName);
void LoadFromResourceID(TBitmap32& Dst, HINSTANCE Instance, int ResID);
void LoadFromResourceName(TBitmap32& Dst, HINSTANCE Instance, const std::wstring& ResName);

}  // namespace gfx
