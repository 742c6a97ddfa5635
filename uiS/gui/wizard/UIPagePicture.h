// The picture a page shows at a placeholder control: a device-independent bitmap from the
// resources, drawn with a logical palette made from its own colour table (none above 8 bits per
// pixel). A member of the page that shows it; empty until Attach.
#pragma once
#include "mfc/afx.h"

class CPagePicture {
 public:
  CPagePicture() = default;
  // Deletes the palette, then the bitmap, each only when present.
  ~CPagePicture();
  CPagePicture(const CPagePicture&) = delete;
  CPagePicture& operator=(const CPagePicture&) = delete;

  // Records `page`, loads bitmap `bitmapId` of `resourceModule` and places it at the top-left
  // corner of control `placeholderId` in the page's client coordinates (0, 0 without it).
  void Attach(HINSTANCE resourceModule, CWnd* page, int placeholderId, UINT bitmapId);
  // Draws the picture with its palette realised; nothing without a bitmap.
  void Paint();
  // With a picture loaded: replaces it by `bitmapId` and draws it at once; else nothing at all.
  void Reload(HINSTANCE resourceModule, UINT bitmapId);

  // Loads the bitmap (and its palette); a missing or damaged resource leaves the picture empty.
  void LoadDib(HINSTANCE resourceModule, UINT bitmapId);
  // A palette of the colour table of `info`: 2^biBitCount entries at 8 bits per pixel or less,
  // else none (null, count 0).
  static HPALETTE CreateDibPalette(const BITMAPINFO* info, int& colourCount);

  bool HasBitmap() const { return bitmap_ != nullptr; }
  HBITMAP Bitmap() const { return bitmap_; }
  HPALETTE Palette() const { return palette_; }
  POINT Position() const { return {x_, y_}; }

 private:
  void DeleteObjects();

  CWnd* owner_ = nullptr;
  int x_ = 0;
  int y_ = 0;
  HBITMAP bitmap_ = nullptr;
  HPALETTE palette_ = nullptr;
};
