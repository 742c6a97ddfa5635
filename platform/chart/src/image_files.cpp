// The chart's picture as image files: a 24-bit BMP, the same bitmap inside a placeable Windows
// metafile or an enhanced metafile (one stretch-blit record each), and JPEG through libjpeg.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include "kestrum/atomic_file.h"
#include "model.h"

namespace chart {
namespace {

constexpr int kPixelsPerMetre = 3780;  // 96 pixels an inch
constexpr int kPixelsPerInch = 96;
constexpr std::uint32_t kSourceCopy = 0x00CC0020;

void U16(std::string& out, unsigned value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}
void U32(std::string& out, std::uint32_t value) {
  U16(out, value & 0xFFFF);
  U16(out, value >> 16);
}
void I32(std::string& out, std::int32_t value) { U32(out, static_cast<std::uint32_t>(value)); }

std::uint32_t RowBytes(int width) { return (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u; }

std::string BitmapRows(const kestrum::raster::Image& image) {
  std::string rows;
  const std::uint32_t stride = RowBytes(image.width);
  rows.reserve(stride * static_cast<std::uint32_t>(image.height));
  for (int y = image.height - 1; y >= 0; --y) {
    std::uint32_t written = 0;
    for (int x = 0; x < image.width; ++x, written += 3) {
      const kestrum::raster::Rgb c = image.At(x, y);
      rows += static_cast<char>(c.b);
      rows += static_cast<char>(c.g);
      rows += static_cast<char>(c.r);
    }
    rows.append(stride - written, '\0');
  }
  return rows;
}

std::string InfoHeader(const kestrum::raster::Image& image) {
  std::string h;
  U32(h, 40);
  I32(h, image.width);
  I32(h, image.height);
  U16(h, 1);
  U16(h, 24);
  U32(h, 0);
  U32(h, RowBytes(image.width) * static_cast<std::uint32_t>(image.height));
  I32(h, kPixelsPerMetre);
  I32(h, kPixelsPerMetre);
  U32(h, 0);
  U32(h, 0);
  return h;
}

}  // namespace

std::string DibBytes(const kestrum::raster::Image& image) { return InfoHeader(image) + BitmapRows(image); }

std::string BmpBytes(const kestrum::raster::Image& image) {
  const std::string dib = DibBytes(image);
  std::string file = "BM";
  U32(file, static_cast<std::uint32_t>(14 + dib.size()));
  U32(file, 0);
  U32(file, 14 + 40);
  return file + dib;
}

std::string WmfBytes(const kestrum::raster::Image& image) {
  const std::string dib = DibBytes(image);
  std::string placeable;
  U32(placeable, 0x9AC6CDD7);
  U16(placeable, 0);
  U16(placeable, 0);
  U16(placeable, 0);
  U16(placeable, static_cast<unsigned>(image.width));
  U16(placeable, static_cast<unsigned>(image.height));
  U16(placeable, kPixelsPerInch);
  U32(placeable, 0);
  unsigned checksum = 0;
  for (std::size_t i = 0; i < placeable.size(); i += 2)
    checksum ^= static_cast<unsigned char>(placeable[i]) | (static_cast<unsigned char>(placeable[i + 1]) << 8);
  U16(placeable, checksum);

  std::string records;
  const auto record = [&records](unsigned function, const std::string& parameters) {
    U32(records, static_cast<std::uint32_t>(3 + parameters.size() / 2));
    U16(records, function);
    records += parameters;
  };
  std::string origin, extent, blit;
  U16(origin, 0);
  U16(origin, 0);
  record(0x020B, origin);  // window origin
  U16(extent, static_cast<unsigned>(image.height));
  U16(extent, static_cast<unsigned>(image.width));
  record(0x020C, extent);  // window extent
  U32(blit, kSourceCopy);
  U16(blit, 0);  // colours in the bitmap itself
  for (int v : {image.height, image.width, 0, 0, image.height, image.width, 0, 0}) U16(blit, static_cast<unsigned>(v));
  blit += dib;
  record(0x0F43, blit);  // stretch the bitmap over the picture
  const std::size_t largest = 3 + blit.size() / 2;
  record(0x0000, "");  // end

  std::string header;
  U16(header, 1);
  U16(header, 9);
  U16(header, 0x0300);
  U32(header, static_cast<std::uint32_t>(9 + records.size() / 2));
  U16(header, 0);
  U32(header, static_cast<std::uint32_t>(largest));
  U16(header, 0);
  return placeable + header + records;
}

std::string EmfBytes(const kestrum::raster::Image& image) {
  const std::uint32_t rows = RowBytes(image.width) * static_cast<std::uint32_t>(image.height);
  constexpr std::uint32_t kHeaderSize = 88, kBlitFixed = 80, kInfoSize = 40, kEndSize = 20;
  const std::uint32_t blitSize = kBlitFixed + kInfoSize + rows;
  const std::uint32_t total = kHeaderSize + blitSize + kEndSize;
  const auto bounds = [&](std::string& out) {
    I32(out, 0);
    I32(out, 0);
    I32(out, image.width - 1);
    I32(out, image.height - 1);
  };
  std::string e;
  U32(e, 1);
  U32(e, kHeaderSize);
  bounds(e);
  I32(e, 0);  // frame in hundredths of millimetres
  I32(e, 0);
  I32(e, image.width * 2540 / kPixelsPerInch);
  I32(e, image.height * 2540 / kPixelsPerInch);
  U32(e, 0x464D4520);  // " EMF"
  U32(e, 0x10000);
  U32(e, total);
  U32(e, 3);  // records
  U16(e, 1);  // handles
  U16(e, 0);
  U32(e, 0);  // no description
  U32(e, 0);
  U32(e, 0);  // no palette
  I32(e, 1024);
  I32(e, 768);
  I32(e, 1024 * 254 / (kPixelsPerInch * 10));
  I32(e, 768 * 254 / (kPixelsPerInch * 10));

  U32(e, 81);  // stretch DIB bits
  U32(e, blitSize);
  bounds(e);
  for (int v : {0, 0, 0, 0, image.width, image.height}) I32(e, v);
  U32(e, kBlitFixed);
  U32(e, kInfoSize);
  U32(e, kBlitFixed + kInfoSize);
  U32(e, rows);
  U32(e, 0);
  U32(e, kSourceCopy);
  I32(e, image.width);
  I32(e, image.height);
  e += DibBytes(image);

  U32(e, 14);  // end of file
  U32(e, kEndSize);
  U32(e, 0);
  U32(e, 16);
  U32(e, kEndSize);
  return e;
}

namespace {

struct JpegError {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void OnJpegError(j_common_ptr info) {
  auto* error = reinterpret_cast<JpegError*>(info->err);
  (*info->err->format_message)(info, error->message);
  std::longjmp(error->jump, 1);
}

// Compresses into a malloc'ed buffer (freed by the caller); false with the library's message.
// Nothing with a destructor lives here, since the library's errors come back by a long jump.
bool Compress(const kestrum::raster::Image& image, int quality, unsigned char** buffer, unsigned long* size,
              JpegError& error) {
  jpeg_compress_struct info;
  info.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = OnJpegError;
  if (setjmp(error.jump)) {
    jpeg_destroy_compress(&info);
    return false;
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, buffer, size);
  info.image_width = static_cast<JDIMENSION>(image.width);
  info.image_height = static_cast<JDIMENSION>(image.height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(
        &image.rgb[static_cast<std::size_t>(info.next_scanline) * 3 * static_cast<std::size_t>(image.width)]);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return true;
}

}  // namespace

bool WriteJpeg(const kestrum::raster::Image& image, const std::string& path, int quality, std::string& error) {
  if (quality < 1 || quality > 100) {
    error = "the JPEG quality " + std::to_string(quality) + " is outside 1 to 100";
    return false;
  }
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  JpegError jpegError{};
  const bool compressed = Compress(image, quality, &buffer, &size, jpegError);
  const std::string bytes = compressed ? std::string(reinterpret_cast<const char*>(buffer), size) : std::string();
  std::free(buffer);
  if (!compressed) {
    error = jpegError.message;
    return false;
  }
  return kestrum::writeFileAtomically(path, bytes, &error);
}

}  // namespace chart
