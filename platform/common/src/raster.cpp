#include "kestrum/raster.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "kestrum/atomic_file.h"

namespace kestrum::raster {

Image::Image(int w, int h, Rgb background) : width(std::max(1, w)), height(std::max(1, h)) {
  rgb.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
  for (std::size_t i = 0; i < rgb.size(); i += 3)
    rgb[i] = background.r, rgb[i + 1] = background.g, rgb[i + 2] = background.b;
}

Rgb Image::At(int x, int y) const {
  const std::size_t index =
      (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 3;
  return {rgb[index], rgb[index + 1], rgb[index + 2]};
}

void Image::Set(int x, int y, Rgb color) {
  if (!Contains(x, y)) return;
  const std::size_t index =
      (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 3;
  rgb[index] = color.r, rgb[index + 1] = color.g, rgb[index + 2] = color.b;
}

// ---- bands ----------------------------------------------------------------------------------

Bands::Bands(double minimum, double maximum, std::vector<Rgb> colors)
    : minimum_(minimum), maximum_(maximum), colors_(std::move(colors)) {}

int Bands::IndexOf(double value) const {
  const int count = Count();
  if (count <= 1 || !(maximum_ > minimum_)) return count > 1 ? count - 1 : 0;
  const double position = (value - minimum_) / (maximum_ - minimum_) * count;
  if (!(position >= 0)) return 0;  // also NaN
  if (position >= count) return count - 1;
  return static_cast<int>(position);
}

double Bands::Edge(int i) const {
  const int count = std::max(1, Count());
  return minimum_ + (maximum_ - minimum_) * static_cast<double>(i) / count;
}

// ---- canvas ---------------------------------------------------------------------------------

namespace {

std::uint8_t Scaled(std::uint8_t channel, double light) {
  return static_cast<std::uint8_t>(std::lround(std::clamp(channel * light, 0.0, 255.0)));
}

Rgb Lit(Rgb color, double light) { return {Scaled(color.r, light), Scaled(color.g, light), Scaled(color.b, light)}; }

}  // namespace

Canvas::Canvas(Image& image)
    : image_(image),
      depth_(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height),
             -std::numeric_limits<double>::infinity()) {}

// Every pixel whose centre lies inside the triangle, with its barycentric weights.
template <class Shade>
void Canvas::Fill(const Point& a, const Point& b, const Point& c, const Shade& shade) {
  const double area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
  if (!(std::fabs(area) >= 1e-12)) return;
  const int x0 = std::max(0, static_cast<int>(std::floor(std::min({a.x, b.x, c.x}))));
  const int x1 = std::min(image_.width - 1, static_cast<int>(std::ceil(std::max({a.x, b.x, c.x}))));
  const int y0 = std::max(0, static_cast<int>(std::floor(std::min({a.y, b.y, c.y}))));
  const int y1 = std::min(image_.height - 1, static_cast<int>(std::ceil(std::max({a.y, b.y, c.y}))));
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      const double sx = x + 0.5, sy = y + 0.5;
      const double wa = ((b.x - sx) * (c.y - sy) - (b.y - sy) * (c.x - sx)) / area;
      const double wb = ((c.x - sx) * (a.y - sy) - (c.y - sy) * (a.x - sx)) / area;
      const double wc = 1.0 - wa - wb;
      if (wa < 0 || wb < 0 || wc < 0) continue;
      Plot(x, y, wa * a.z + wb * b.z + wc * c.z, shade(wa, wb, wc));
    }
}

void Canvas::Triangle(const Point& a, const Point& b, const Point& c, Rgb color, double light) {
  const Rgb lit = Lit(color, light);
  Fill(a, b, c, [&](double, double, double) { return lit; });
}

void Canvas::Triangle(const Point& a, const Point& b, const Point& c, const double values[3], const Bands& bands,
                      double light) {
  std::vector<Rgb> lit;
  lit.reserve(bands.Colors().size());
  for (Rgb color : bands.Colors()) lit.push_back(Lit(color, light));
  if (lit.empty()) return;
  Fill(a, b, c, [&](double wa, double wb, double wc) {
    return lit[static_cast<std::size_t>(bands.IndexOf(wa * values[0] + wb * values[1] + wc * values[2]))];
  });
}

void Canvas::Line(const Point& a, const Point& b, Rgb color, double bias) {
  const double span = std::max(std::fabs(b.x - a.x), std::fabs(b.y - a.y));
  if (!std::isfinite(span)) return;
  const int steps = std::max(1, static_cast<int>(std::ceil(std::min(span, 1e6))));
  for (int i = 0; i <= steps; ++i) {
    const double f = static_cast<double>(i) / steps;
    Plot(static_cast<int>(std::floor(a.x + (b.x - a.x) * f)), static_cast<int>(std::floor(a.y + (b.y - a.y) * f)),
         a.z + (b.z - a.z) * f + bias, color);
  }
}

void Canvas::Overlay(int x, int y, Rgb color) {
  if (!image_.Contains(x, y)) return;
  depth_[static_cast<std::size_t>(y) * static_cast<std::size_t>(image_.width) + static_cast<std::size_t>(x)] =
      std::numeric_limits<double>::infinity();
  image_.Set(x, y, color);
}

void Canvas::Plot(int x, int y, double z, Rgb color) {
  if (!image_.Contains(x, y)) return;
  double& depth =
      depth_[static_cast<std::size_t>(y) * static_cast<std::size_t>(image_.width) + static_cast<std::size_t>(x)];
  if (z < depth) return;
  depth = z;
  image_.Set(x, y, color);
}

// ---- PNG ------------------------------------------------------------------------------------

namespace {

void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::string*>(png_get_io_ptr(png));
  out->append(reinterpret_cast<const char*>(data), length);
}

bool Encode(const Image& image, std::string& out) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, info ? &info : nullptr);
    return false;
  }
  png_set_write_fn(png, &out, AppendBytes, nullptr);
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < image.height; ++y)
    png_write_row(png, const_cast<png_bytep>(image.rgb.data() +
                                             static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) * 3));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool WritePng(const Image& image, const std::string& path, std::string& error) {
  std::string bytes;
  if (image.width <= 0 || image.height <= 0 ||
      image.rgb.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 3 ||
      !Encode(image, bytes)) {
    error = "the image cannot be encoded";
    return false;
  }
  return writeFileAtomically(path, bytes, &error);
}

}  // namespace kestrum::raster
