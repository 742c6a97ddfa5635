// Pictures through the Win32 calls a page picture makes: an 8-bit bitmap resource with its colour
// table, a palette from it, realised and drawn with BitBlt, all as recorded operations.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "mfc_fixture.h"

namespace {

TEST(Pictures, AnEightBitBitmapResourceIsPaintedWithItsOwnPalette) {
  mfctest::ResourceScope resources("BITMAP 274 SIZE 37 9 BITS 8\nBITMAP \"NEWU\" SIZE 16 15 BITS 4\n");
  HRSRC found = FindResource(resources.handle(), MAKEINTRESOURCE(274), RT_BITMAP);
  ASSERT_NE(found, nullptr);
  auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(resources.handle(), found)));
  EXPECT_EQ(header->biSize, 40u);
  EXPECT_EQ(header->biWidth, 37);
  EXPECT_EQ(header->biHeight, 9);
  EXPECT_EQ(header->biBitCount, 8);
  EXPECT_EQ(header->biClrUsed, 0u);
  int colours = 1 << header->biBitCount;
  EXPECT_EQ(SizeofResource(resources.handle(), found), 40u + 4u * 256u + 40u * 9u) << "rows padded to 4 bytes";

  // The palette is built from the colour table that follows the header.
  std::vector<unsigned char> storage(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * static_cast<size_t>(colours));
  auto* logical = reinterpret_cast<LOGPALETTE*>(storage.data());
  logical->palVersion = 0x300;
  logical->palNumEntries = static_cast<WORD>(colours);
  const auto* table = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const char*>(header) + header->biSize);
  EXPECT_EQ(table[255].rgbRed, 255);
  HPALETTE palette = CreatePalette(logical);
  ASSERT_NE(palette, nullptr);

  HDC screen = GetDC(nullptr);
  SelectPalette(screen, palette, FALSE);
  EXPECT_EQ(RealizePalette(screen), 256u);
  const void* bits = reinterpret_cast<const char*>(table) + 4 * colours;
  HBITMAP bitmap =
      CreateDIBitmap(screen, header, CBM_INIT, bits, reinterpret_cast<const BITMAPINFO*>(header), DIB_RGB_COLORS);
  ASSERT_NE(bitmap, nullptr);
  BITMAP info;
  EXPECT_EQ(GetObject(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
  EXPECT_EQ(info.bmWidth, 37);
  EXPECT_EQ(info.bmBitsPixel, 8);

  HDC memory = CreateCompatibleDC(screen);
  HBITMAP previous = SelectObject(memory, bitmap);
  EXPECT_EQ(previous, nullptr);
  EXPECT_TRUE(BitBlt(screen, 4, 5, 37, 9, memory, 0, 0, SRCCOPY));
  EXPECT_EQ(CDC::FromHandle(screen)->operations(),
            (std::vector<std::string>{"select palette 256", "realize 256", "blt bitmap dib 37x9 at 4,5 size 37x9"}));
  EXPECT_FALSE(BitBlt(screen, 0, 0, 1, 1, screen, 0, 0, SRCCOPY)) << "nothing selected in the source";

  SelectObject(memory, previous);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  DeleteObject(bitmap);
  DeleteObject(palette);

  HRSRC named = FindResource(resources.handle(), "NEWU", RT_BITMAP);
  ASSERT_NE(named, nullptr);
  EXPECT_EQ(static_cast<const BITMAPINFOHEADER*>(named)->biBitCount, 4);
  EXPECT_EQ(FindResource(resources.handle(), MAKEINTRESOURCE(275), RT_BITMAP), nullptr);
  EXPECT_EQ(mfc::logLines().back(), "warning: resource 275 is not in the resource module");
}

}  // namespace
