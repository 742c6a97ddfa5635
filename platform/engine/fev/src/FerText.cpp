#include "FerText.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>

namespace fev_detail {
namespace {

constexpr const char* kFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr int kPixelSize = 13;

// The font library and face, loaded once and released at exit.
class Font {
 public:
  Font() {
    if (FT_Init_FreeType(&library_) != 0) {
      library_ = nullptr;
      return;
    }
    if (FT_New_Face(library_, kFontFile, 0, &face_) != 0 || FT_Set_Pixel_Sizes(face_, 0, kPixelSize) != 0)
      face_ = nullptr;
  }
  ~Font() {
    if (face_) FT_Done_Face(face_);
    if (library_) FT_Done_FreeType(library_);
  }
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;
  FT_Face Face() const { return face_; }

 private:
  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
};

Font& TheFont() {
  static Font font;
  return font;
}

std::uint8_t Blend(std::uint8_t under, std::uint8_t over, int alpha) {
  return static_cast<std::uint8_t>((under * (255 - alpha) + over * alpha + 127) / 255);
}

}  // namespace

int DrawText(kestrum::raster::Image& image, int x, int baseline, const std::string& text, kestrum::raster::Rgb color) {
  FT_Face face = TheFont().Face();
  if (!face) return x;
  for (unsigned char c : text) {
    if (FT_Load_Char(face, c < 128 ? c : '?', FT_LOAD_RENDER) != 0) continue;
    const FT_GlyphSlot glyph = face->glyph;
    const FT_Bitmap& bitmap = glyph->bitmap;
    for (unsigned row = 0; row < bitmap.rows; ++row)
      for (unsigned column = 0; column < bitmap.width; ++column) {
        const int alpha = bitmap.buffer[row * static_cast<unsigned>(std::abs(bitmap.pitch)) + column];
        if (!alpha) continue;
        const int px = x + glyph->bitmap_left + static_cast<int>(column);
        const int py = baseline - glyph->bitmap_top + static_cast<int>(row);
        if (!image.Contains(px, py)) continue;
        const kestrum::raster::Rgb under = image.At(px, py);
        image.Set(px, py,
                  {Blend(under.r, color.r, alpha), Blend(under.g, color.g, alpha), Blend(under.b, color.b, alpha)});
      }
    x += static_cast<int>(glyph->advance.x >> 6);
  }
  return x;
}

}  // namespace fev_detail
