#include "kestrum/raster_text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdlib>
#include <mutex>

namespace kestrum::raster {
namespace {

constexpr const char* kFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr int kSmallestPixels = 4;
constexpr int kLargestPixels = 200;

// The font library and face, loaded once and released at exit.
class Font {
 public:
  Font() {
    if (FT_Init_FreeType(&library_) != 0) {
      library_ = nullptr;
      return;
    }
    if (FT_New_Face(library_, kFontFile, 0, &face_) != 0) face_ = nullptr;
  }
  ~Font() {
    if (face_) FT_Done_Face(face_);
    if (library_) FT_Done_FreeType(library_);
  }
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;
  // The face at a pixel size (clamped to a sane range); null without the font.
  FT_Face Face(int pixelSize) {
    if (!face_) return nullptr;
    const int size = std::clamp(pixelSize, kSmallestPixels, kLargestPixels);
    if (size != size_ && FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(size)) != 0) return nullptr;
    size_ = size;
    return face_;
  }
  std::mutex& Lock() { return mutex_; }

 private:
  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
  int size_ = 0;
  std::mutex mutex_;
};

Font& TheFont() {
  static Font font;
  return font;
}

std::uint8_t Blend(std::uint8_t under, std::uint8_t over, int alpha) {
  return static_cast<std::uint8_t>((under * (255 - alpha) + over * alpha + 127) / 255);
}

void BlendPixel(Image& image, int px, int py, Rgb color, int alpha) {
  if (!image.Contains(px, py)) return;
  const Rgb under = image.At(px, py);
  image.Set(px, py, {Blend(under.r, color.r, alpha), Blend(under.g, color.g, alpha), Blend(under.b, color.b, alpha)});
}

// Walks the glyphs of `text`: place(glyph, pen) for each, answers the pen after the text.
template <class Place>
int Walk(const std::string& text, int pixelSize, int pen, const Place& place) {
  Font& font = TheFont();
  std::lock_guard lock(font.Lock());
  FT_Face face = font.Face(pixelSize);
  if (!face) return pen;
  for (unsigned char c : text) {
    if (FT_Load_Char(face, c < 128 ? c : '?', FT_LOAD_RENDER) != 0) continue;
    place(face->glyph, pen);
    pen += static_cast<int>(face->glyph->advance.x >> 6);
  }
  return pen;
}

}  // namespace

int DrawText(Image& image, int x, int baseline, const std::string& text, Rgb color, int pixelSize) {
  return Walk(text, pixelSize, x, [&](FT_GlyphSlot glyph, int pen) {
    const FT_Bitmap& bitmap = glyph->bitmap;
    for (unsigned row = 0; row < bitmap.rows; ++row)
      for (unsigned column = 0; column < bitmap.width; ++column) {
        const int alpha = bitmap.buffer[row * static_cast<unsigned>(std::abs(bitmap.pitch)) + column];
        if (alpha)
          BlendPixel(image, pen + glyph->bitmap_left + static_cast<int>(column),
                     baseline - glyph->bitmap_top + static_cast<int>(row), color, alpha);
      }
  });
}

int DrawTextUp(Image& image, int baseline, int y, const std::string& text, Rgb color, int pixelSize) {
  const int advanced = Walk(text, pixelSize, 0, [&](FT_GlyphSlot glyph, int pen) {
    const FT_Bitmap& bitmap = glyph->bitmap;
    for (unsigned row = 0; row < bitmap.rows; ++row)
      for (unsigned column = 0; column < bitmap.width; ++column) {
        const int alpha = bitmap.buffer[row * static_cast<unsigned>(std::abs(bitmap.pitch)) + column];
        if (!alpha) continue;
        // Upright (u right, v down from the baseline) turned a quarter left: x = baseline + v, y = y0 - u.
        const int u = pen + glyph->bitmap_left + static_cast<int>(column);
        const int v = static_cast<int>(row) - glyph->bitmap_top;
        BlendPixel(image, baseline + v, y - u, color, alpha);
      }
  });
  return y - advanced;
}

int TextWidth(const std::string& text, int pixelSize) {
  return Walk(text, pixelSize, 0, [](FT_GlyphSlot, int) {});
}

}  // namespace kestrum::raster
