#include "mfc/gdi.h"

#include <unordered_map>

#include "mfc/log.h"
#include "mfc/window_drawing.h"
#include "mfc/wnd.h"
#include "text_format.h"
#include "window_internal.h"
#include "window_state.h"

namespace {

HINSTANCE holderOf(HINSTANCE module, const std::string& key, UINT id, ResourceType type) {
  if (module) return module;
  return key.empty() || key[0] == '#' ? AfxFindResourceHandle(id, type) : AfxFindResourceHandle(key.c_str(), type);
}

HBITMAP loadBitmapKey(HINSTANCE module, const std::string& key, UINT id, const std::string& label) {
  HINSTANCE holder = holderOf(module, key, id, RT_BITMAP);
  auto resources = mfc::moduleOf(holder);
  const mfc::PictureTemplate* picture = resources ? resources->bitmap(key) : nullptr;
  if (!picture) {
    mfc::log("warning: bitmap " + label + " is not in the resource module");
    return nullptr;
  }
  return new HBITMAP__{"bitmap " + label, picture->width, picture->height, picture->bitsPerPixel};
}

}  // namespace

HICON LoadIcon(HINSTANCE module, UINT id) {
  std::string key = mfc::pictureKey(id);
  auto resources = mfc::moduleOf(holderOf(module, key, id, RT_GROUP_ICON));
  const mfc::PictureTemplate* picture = resources ? resources->icon(key) : nullptr;
  if (!picture) {
    mfc::log("warning: icon " + std::to_string(id) + " is not in the resource module");
    return nullptr;
  }
  return new HICON__{"icon " + std::to_string(id), picture->width, picture->height};
}

BOOL DestroyIcon(HICON icon) {
  delete icon;
  return icon ? TRUE : FALSE;
}

HBITMAP LoadBitmap(HINSTANCE module, UINT id) {
  return loadBitmapKey(module, mfc::pictureKey(id), id, std::to_string(id));
}

HBITMAP LoadBitmap(HINSTANCE module, const char* name) {
  return loadBitmapKey(module, name ? name : "", 0, name ? name : "");
}

BOOL DeleteObject(HBITMAP bitmap) {
  delete bitmap;
  return bitmap ? TRUE : FALSE;
}

CBitmap::~CBitmap() { DeleteObject(); }

BOOL CBitmap::LoadBitmap(UINT id) {
  DeleteObject();
  m_hObject = ::LoadBitmap(nullptr, id);
  return m_hObject ? TRUE : FALSE;
}

BOOL CBitmap::LoadBitmap(const char* name) {
  DeleteObject();
  m_hObject = ::LoadBitmap(nullptr, name);
  return m_hObject ? TRUE : FALSE;
}

BOOL CBitmap::Attach(HBITMAP bitmap) {
  if (m_hObject) return FALSE;
  m_hObject = bitmap;
  return bitmap ? TRUE : FALSE;
}

HBITMAP CBitmap::Detach() {
  HBITMAP bitmap = m_hObject;
  m_hObject = nullptr;
  return bitmap;
}

BOOL CBitmap::DeleteObject() {
  if (!m_hObject) return FALSE;
  ::DeleteObject(m_hObject);
  m_hObject = nullptr;
  return TRUE;
}

int CBitmap::GetBitmap(BITMAP* info) const {
  if (!m_hObject || !info) return 0;
  *info = BITMAP{};
  info->bmWidth = m_hObject->width;
  info->bmHeight = m_hObject->height;
  info->bmBitsPixel = static_cast<WORD>(m_hObject->bitsPerPixel);
  info->bmWidthBytes = (m_hObject->width * m_hObject->bitsPerPixel + 15) / 16 * 2;
  return static_cast<int>(sizeof(BITMAP));
}

BOOL CPalette::CreatePalette(int entries) {
  if (entries <= 0) return FALSE;
  entries_ = entries;
  return TRUE;
}

BOOL CPalette::DeleteObject() {
  BOOL had = entries_ > 0;
  entries_ = 0;
  return had;
}

CPalette* CDC::SelectPalette(CPalette* palette, BOOL background) {
  CPalette* previous = palette_;
  palette_ = palette;
  operations_.push_back(mfc::detail::format("select palette %d%s", palette ? palette->GetEntryCount() : 0,
                                            background ? " background" : ""));
  return previous;
}

UINT CDC::RealizePalette() {
  UINT count = palette_ ? static_cast<UINT>(palette_->GetEntryCount()) : 0;
  operations_.push_back("realize " + std::to_string(count));
  return count;
}

BOOL CDC::BitBlt(int x, int y, int width, int height, const CBitmap* source, int, int, DWORD) {
  if (!source || !source->m_hObject) return FALSE;
  operations_.push_back(
      mfc::detail::format("blt %s at %d,%d size %dx%d", source->m_hObject->name.c_str(), x, y, width, height));
  return TRUE;
}

int CDC::SetMapMode(int mode) {
  int previous = mapMode_;
  mapMode_ = mode;
  return previous;
}

void CDC::LPtoDP(POINT* points, int count) const {
  for (int i = 0; i < count; ++i) {
    POINT& p = points[i];
    if (mapMode_ == MM_HIMETRIC) {
      p.x = static_cast<LONG>(p.x * 96.0 / 2540.0);
      p.y = static_cast<LONG>(-p.y * 96.0 / 2540.0);
    } else if (mapMode_ == MM_HIENGLISH) {
      p.x = static_cast<LONG>(p.x * 96.0 / 1000.0);
      p.y = static_cast<LONG>(-p.y * 96.0 / 1000.0);
    }
  }
}

CPaintDC::CPaintDC(CWnd* window) {
  if (window) window->ValidateRect(nullptr);
}

// ---- Win32 GDI over handles ----

namespace {
// The window of each live GetDC context.
std::unordered_map<HDC, HWND>& windowContexts() {
  static std::unordered_map<HDC, HWND> contexts;
  return contexts;
}
}  // namespace

HDC GetDC(HWND window) {
  HDC dc = (new CDC)->GetSafeHdc();
  if (window) windowContexts()[dc] = window;
  return dc;
}

int ReleaseDC(HWND, HDC dc) {
  auto found = windowContexts().find(dc);
  if (found != windowContexts().end()) {
    CDC* cdc = CDC::FromHandle(dc);
    if (mfc::detail::isLive(found->second)) {
      auto& drawn = found->second->drawn;
      drawn.insert(drawn.end(), cdc->operations().begin(), cdc->operations().end());
    }
    windowContexts().erase(found);
  }
  return DeleteDC(dc);
}

std::vector<std::string> mfc::windowDrawing(HWND window) {
  return mfc::detail::isLive(window) ? window->drawn : std::vector<std::string>();
}

void mfc::clearWindowDrawing(HWND window) {
  if (mfc::detail::isLive(window)) window->drawn.clear();
}

HDC CreateCompatibleDC(HDC) { return (new CDC)->GetSafeHdc(); }

BOOL DeleteDC(HDC dc) {
  windowContexts().erase(dc);
  delete CDC::FromHandle(dc);
  return dc ? TRUE : FALSE;
}

HPALETTE CreatePalette(const LOGPALETTE* palette) {
  if (!palette || palette->palNumEntries == 0) return nullptr;
  return new HPALETTE__{palette->palNumEntries};
}

BOOL DeleteObject(HPALETTE palette) {
  delete palette;
  return palette ? TRUE : FALSE;
}

HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL background) {
  CDC* cdc = CDC::FromHandle(dc);
  if (!cdc) return nullptr;
  HPALETTE previous = cdc->selectedPalette;
  cdc->selectedPalette = palette;
  cdc->record(
      mfc::detail::format("select palette %d%s", palette ? palette->entries : 0, background ? " background" : ""));
  return previous;
}

UINT RealizePalette(HDC dc) {
  CDC* cdc = CDC::FromHandle(dc);
  if (!cdc) return 0;
  UINT count = cdc->selectedPalette ? static_cast<UINT>(cdc->selectedPalette->entries) : 0;
  cdc->record("realize " + std::to_string(count));
  return count;
}

HBITMAP CreateDIBitmap(HDC, const BITMAPINFOHEADER* header, DWORD, const void*, const BITMAPINFO*, UINT) {
  if (!header || header->biWidth <= 0 || header->biHeight == 0) return nullptr;
  LONG height = header->biHeight < 0 ? -header->biHeight : header->biHeight;
  return new HBITMAP__{mfc::detail::format("bitmap dib %dx%d", header->biWidth, height), header->biWidth, height,
                       header->biBitCount};
}

HBITMAP SelectObject(HDC dc, HBITMAP bitmap) {
  CDC* cdc = CDC::FromHandle(dc);
  if (!cdc) return nullptr;
  HBITMAP previous = cdc->selectedBitmap;
  cdc->selectedBitmap = bitmap;
  return previous;
}

BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int, int, DWORD) {
  CDC* target = CDC::FromHandle(dst);
  CDC* source = CDC::FromHandle(src);
  if (!target || !source || !source->selectedBitmap) return FALSE;
  target->record(
      mfc::detail::format("blt %s at %d,%d size %dx%d", source->selectedBitmap->name.c_str(), x, y, width, height));
  return TRUE;
}

int GetObject(HBITMAP bitmap, int size, void* info) {
  if (!bitmap || !info || size < static_cast<int>(sizeof(BITMAP))) return 0;
  CBitmap wrapper;
  wrapper.Attach(bitmap);
  int written = wrapper.GetBitmap(static_cast<BITMAP*>(info));
  wrapper.Detach();
  return written;
}
