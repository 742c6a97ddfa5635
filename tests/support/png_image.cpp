#include "png_image.h"

#include <png.h>

#include <cstdlib>

namespace kestrum::test {

bool readPng(const std::filesystem::path& path, AcGiImage& image) {
  png_image read{};
  read.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&read, path.c_str())) return false;
  read.format = PNG_FORMAT_RGB;
  image.width = static_cast<int>(read.width), image.height = static_cast<int>(read.height);
  image.rgb.resize(PNG_IMAGE_SIZE(read));
  const bool ok = png_image_finish_read(&read, nullptr, image.rgb.data(), 0, nullptr) != 0;
  png_image_free(&read);
  return ok;
}

GreenCyanTally tallyGreenAndCyan(const AcGiImage& image) {
  GreenCyanTally t;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      const AcGiImage::Pixel p = image.at(x, y);
      if (p.g > p.r + 60 && p.g > p.b + 60) ++t.green;
      if (p.g > p.r + 60 && p.b > p.r + 60 && std::abs(p.g - p.b) < 60) ++t.cyan;
    }
  return t;
}

}  // namespace kestrum::test
