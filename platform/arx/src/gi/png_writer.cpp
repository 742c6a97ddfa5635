#include <fcntl.h>
#include <png.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "arx/gidisplay.h"

namespace {

void appendBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

bool encode(const AcGiImage& image, std::vector<std::uint8_t>& out) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, info ? &info : nullptr);
    return false;
  }
  png_set_write_fn(png, &out, appendBytes, nullptr);
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < image.height; ++y)
    png_write_row(png, const_cast<png_bytep>(image.rgb.data() + static_cast<std::size_t>(y * image.width) * 3));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

// Temporary file beside the target, synced, then renamed over it.
bool writeAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error) {
  std::string temporary = path + ".tmp" + std::to_string(::getpid());
  int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  std::size_t written = 0;
  while (written < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    written += static_cast<std::size_t>(n);
  }
  bool ok = written == bytes.size() && ::fsync(fd) == 0;
  if (!ok) error = std::strerror(errno);
  ::close(fd);
  if (ok && std::rename(temporary.c_str(), path.c_str()) != 0) {
    error = std::strerror(errno);
    ok = false;
  }
  if (!ok) std::remove(temporary.c_str());
  return ok;
}

}  // namespace

bool acgiWritePng(const AcGiImage& image, const std::string& path, std::string& error) {
  std::vector<std::uint8_t> bytes;
  if (image.width <= 0 || image.height <= 0 || !encode(image, bytes)) {
    error = "the image cannot be encoded";
    return false;
  }
  return writeAtomically(path, bytes, error);
}
