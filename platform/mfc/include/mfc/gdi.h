// Pictures and drawing as bookkeeping: icons and bitmaps loaded from the resource modules keep
// their size and colour depth; palettes count their entries; device contexts record what was
// drawn on them, in order, so tests and renderings can see it. Nothing is rasterised.
#pragma once
#include <string>
#include <vector>

#include "mfc/geometry.h"
#include "mfc/resources.h"
#include "mfc/wintypes.h"

struct HDC__;
using HDC = HDC__*;
struct HPALETTE__ {
  int entries = 0;
};
using HPALETTE = HPALETTE__*;

struct HICON__ {
  std::string name;  // "icon 152"
  int width = 0;
  int height = 0;
};
struct HBITMAP__ {
  std::string name;  // "bitmap 451" or "bitmap NEWU"
  int width = 0;
  int height = 0;
  int bitsPerPixel = 8;
};

// Loads icon `id` from `module` (null: the current resource search); null and a logged warning
// when absent. Destroy with DestroyIcon.
HICON LoadIcon(HINSTANCE module, UINT id);
BOOL DestroyIcon(HICON icon);
HBITMAP LoadBitmap(HINSTANCE module, UINT id);
HBITMAP LoadBitmap(HINSTANCE module, const char* name);
BOOL DeleteObject(HBITMAP bitmap);

struct BITMAP {
  LONG bmType = 0;
  LONG bmWidth = 0;
  LONG bmHeight = 0;
  LONG bmWidthBytes = 0;
  WORD bmPlanes = 1;
  WORD bmBitsPixel = 0;
  void* bmBits = nullptr;
};

class CBitmap {
 public:
  CBitmap() = default;
  ~CBitmap();
  CBitmap(const CBitmap&) = delete;
  CBitmap& operator=(const CBitmap&) = delete;
  HBITMAP m_hObject = nullptr;
  // From the current resource search (AfxFindResourceHandle).
  BOOL LoadBitmap(UINT id);
  BOOL LoadBitmap(const char* name);
  BOOL Attach(HBITMAP bitmap);
  HBITMAP Detach();
  BOOL DeleteObject();
  int GetBitmap(BITMAP* info) const;
  operator HBITMAP() const { return m_hObject; }
};

// A logical palette: only the number of entries is kept.
class CPalette {
 public:
  BOOL CreatePalette(int entries);
  BOOL DeleteObject();
  int GetEntryCount() const { return entries_; }
  bool exists() const { return entries_ > 0; }

 private:
  int entries_ = 0;
};

enum : int { MM_TEXT = 1, MM_HIMETRIC = 3, MM_HIENGLISH = 5 };
enum : DWORD { SRCCOPY = 0x00CC0020 };

// A device context that records its operations ("select palette 256", "realize 256",
// "blt bitmap 451 at 0,0") in order.
class CDC {
 public:
  virtual ~CDC() = default;
  static CDC* FromHandle(HDC dc) { return reinterpret_cast<CDC*>(dc); }
  HDC GetSafeHdc() { return reinterpret_cast<HDC>(this); }
  // The palette and bitmap selected through the Win32 functions.
  HPALETTE selectedPalette = nullptr;
  HBITMAP selectedBitmap = nullptr;
  void record(const std::string& operation) { operations_.push_back(operation); }
  CPalette* SelectPalette(CPalette* palette, BOOL background);
  // The number of palette entries realised (0 without a palette).
  UINT RealizePalette();
  BOOL BitBlt(int x, int y, int width, int height, const CBitmap* source, int sx, int sy, DWORD rop);
  int SetMapMode(int mode);
  int GetMapMode() const { return mapMode_; }
  // Logical to device points: MM_HIMETRIC 0.01 mm, MM_HIENGLISH 0.001 in, at 96 pixels an inch;
  // y grows upwards in those modes, so device y is negated.
  void LPtoDP(POINT* points, int count = 1) const;
  const std::vector<std::string>& operations() const { return operations_; }

 protected:
  std::vector<std::string> operations_;
  CPalette* palette_ = nullptr;
  int mapMode_ = MM_TEXT;
};

// ---- the Win32 side over handles ----

struct BITMAPINFOHEADER {
  DWORD biSize = 40;
  LONG biWidth = 0;
  LONG biHeight = 0;
  WORD biPlanes = 1;
  WORD biBitCount = 0;
  DWORD biCompression = 0;
  DWORD biSizeImage = 0;
  LONG biXPelsPerMeter = 0;
  LONG biYPelsPerMeter = 0;
  DWORD biClrUsed = 0;
  DWORD biClrImportant = 0;
};
struct RGBQUAD {
  BYTE rgbBlue = 0, rgbGreen = 0, rgbRed = 0, rgbReserved = 0;
};
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};
struct PALETTEENTRY {
  BYTE peRed = 0, peGreen = 0, peBlue = 0, peFlags = 0;
};
struct LOGPALETTE {
  WORD palVersion = 0x300;
  WORD palNumEntries = 0;
  PALETTEENTRY palPalEntry[1];
};
enum : DWORD { CBM_INIT = 0x4 };
enum : UINT { DIB_RGB_COLORS = 0 };

// Device contexts are CDC objects behind their handle; DeleteDC / ReleaseDC delete them.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
// A palette of palNumEntries entries; delete with DeleteObject.
HPALETTE CreatePalette(const LOGPALETTE* palette);
BOOL DeleteObject(HPALETTE palette);
HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL background);
// The number of entries realised: those of the selected palette, 0 without one.
UINT RealizePalette(HDC dc);
// A bitmap of the header's size and depth ("bitmap dib WxH"); the bits are not kept.
HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits, const BITMAPINFO* info,
                       UINT usage);
// Selects a bitmap into a memory DC; returns the previous one.
HBITMAP SelectObject(HDC dc, HBITMAP bitmap);
// Records a copy of the source DC's selected bitmap onto the destination.
BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int sx, int sy, DWORD rop);
// Fills a BITMAP for a bitmap; returns the bytes written, 0 for a null bitmap.
int GetObject(HBITMAP bitmap, int size, void* info);

class CWnd;
// Painting a window: validates it.
class CPaintDC : public CDC {
 public:
  explicit CPaintDC(CWnd* window);
};
class CClientDC : public CDC {
 public:
  explicit CClientDC(CWnd*) {}
};
