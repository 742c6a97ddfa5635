#include "gui/wizard/UIPagePicture.h"

#include <cstddef>
#include <new>
#include <vector>

namespace {

// Colour-table entries of a depth (the table's size, biClrUsed is not consulted); 0 above 8 bits.
int TableEntries(int bitCount) { return bitCount >= 1 && bitCount <= 8 ? 1 << bitCount : 0; }

bool IsKnownDepth(int bitCount) {
  return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 || bitCount == 32;
}

// Whether `size` bytes hold the header, the colour table and at least the rows' start. A damaged
// resource must not make the bitmap read past its end.
bool IsWholeDib(const BITMAPINFOHEADER& header, std::size_t size) {
  if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biSize > size) return false;
  if (!IsKnownDepth(header.biBitCount) || header.biWidth <= 0 || header.biHeight == 0) return false;
  const std::size_t table = sizeof(RGBQUAD) * static_cast<std::size_t>(TableEntries(header.biBitCount));
  return header.biSize + table <= size;
}

}  // namespace

CPagePicture::~CPagePicture() { DeleteObjects(); }

void CPagePicture::DeleteObjects() {
  if (palette_) DeleteObject(palette_);
  if (bitmap_) DeleteObject(bitmap_);
  palette_ = nullptr;
  bitmap_ = nullptr;
}

HPALETTE CPagePicture::CreateDibPalette(const BITMAPINFO* info, int& colourCount) {
  colourCount = info ? TableEntries(info->bmiHeader.biBitCount) : 0;
  if (colourCount == 0) return nullptr;
  // LOGPALETTE ends in a one-entry array: room for the header and every entry.
  std::vector<PALETTEENTRY> block(static_cast<std::size_t>(colourCount) + 1);
  auto* logical = new (block.data()) LOGPALETTE;
  logical->palVersion = 0x300;
  logical->palNumEntries = static_cast<WORD>(colourCount);
  const RGBQUAD* table = info->bmiColors;
  for (int i = 0; i < colourCount; ++i) {
    PALETTEENTRY& entry = logical->palPalEntry[i];
    entry.peRed = table[i].rgbRed;
    entry.peGreen = table[i].rgbGreen;
    entry.peBlue = table[i].rgbBlue;
    entry.peFlags = 0;
  }
  return CreatePalette(logical);
}

void CPagePicture::LoadDib(HINSTANCE module, UINT bitmapId) {
  const HRSRC found = FindResource(module, MAKEINTRESOURCE(bitmapId), RT_BITMAP);
  if (!found) return;
  const HGLOBAL loaded = LoadResource(module, found);
  const auto* info = static_cast<const BITMAPINFO*>(loaded ? LockResource(loaded) : nullptr);
  if (!info || !IsWholeDib(info->bmiHeader, SizeofResource(module, found))) {
    if (loaded) FreeResource(loaded);
    return;
  }
  const HDC screen = GetDC(nullptr);
  int colours = 0;
  palette_ = CreateDibPalette(info, colours);
  if (palette_) {
    SelectPalette(screen, palette_, FALSE);
    RealizePalette(screen);
  }
  const auto* bytes = reinterpret_cast<const unsigned char*>(info);
  const void* bits = bytes + info->bmiHeader.biSize + sizeof(RGBQUAD) * TableEntries(info->bmiHeader.biBitCount);
  bitmap_ = CreateDIBitmap(screen, &info->bmiHeader, CBM_INIT, bits, info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  FreeResource(loaded);
}

void CPagePicture::Attach(HINSTANCE module, CWnd* page, int placeholderId, UINT bitmapId) {
  owner_ = page;
  LoadDib(module, bitmapId);
  CWnd* placeholder = page ? page->GetDlgItem(placeholderId) : nullptr;
  if (!placeholder) return;
  RECT rect;
  placeholder->GetWindowRect(&rect);
  page->ScreenToClient(&rect);
  x_ = rect.left;
  y_ = rect.top;
}

void CPagePicture::Paint() {
  if (!bitmap_ || !owner_ || !owner_->m_hWnd) return;
  BITMAP info;
  GetObject(bitmap_, sizeof info, &info);
  const HDC window = GetDC(owner_->m_hWnd);
  const HDC memory = CreateCompatibleDC(window);
  if (palette_) {
    SelectPalette(window, palette_, FALSE);
    RealizePalette(window);
    SelectPalette(memory, palette_, FALSE);
    RealizePalette(memory);
  }
  const HBITMAP previous = SelectObject(memory, bitmap_);
  BitBlt(window, x_, y_, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
  SelectObject(memory, previous);
  DeleteDC(memory);
  ReleaseDC(owner_->m_hWnd, window);
}

void CPagePicture::Reload(HINSTANCE module, UINT bitmapId) {
  if (!bitmap_) return;
  DeleteObjects();
  LoadDib(module, bitmapId);
  Paint();
}
