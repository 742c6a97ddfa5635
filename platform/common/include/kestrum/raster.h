// A small headless rasteriser: depth-buffered triangles and lines on an RGB picture, and the
// picture written as a PNG file. The drawing's PNGOUT and the results window both draw with it,
// so that the same data always give the same pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestrum::raster {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

// An RGB picture, row 0 at the top, 3 bytes per pixel.
struct Image {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgb;
  Image() = default;
  Image(int w, int h, Rgb background);
  Rgb At(int x, int y) const;
  void Set(int x, int y, Rgb color);
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

// A point in pixels (x to the right, y down) with a depth: larger z is nearer the viewer.
struct Point {
  double x = 0, y = 0, z = 0;
};

// Colours a value: the band it falls in.
class Bands {
 public:
  Bands() = default;
  Bands(double minimum, double maximum, std::vector<Rgb> colors);
  // The band index of a value (values outside the range take the end bands).
  int IndexOf(double value) const;
  Rgb ColorOf(double value) const { return colors_.empty() ? Rgb{} : colors_[IndexOf(value)]; }
  int Count() const { return static_cast<int>(colors_.size()); }
  const std::vector<Rgb>& Colors() const { return colors_; }
  double Minimum() const { return minimum_; }
  double Maximum() const { return maximum_; }
  // The value at the lower edge of band i (i == Count(): the top of the range).
  double Edge(int i) const;

 private:
  double minimum_ = 0, maximum_ = 0;
  std::vector<Rgb> colors_;
};

// Draws into an image with a depth buffer; what is nearer wins.
class Canvas {
 public:
  explicit Canvas(Image& image);
  // A flat triangle, its colour scaled by `light` (0..1).
  void Triangle(const Point& a, const Point& b, const Point& c, Rgb color, double light = 1.0);
  // A triangle whose vertex values are interpolated and coloured by band at each pixel.
  void Triangle(const Point& a, const Point& b, const Point& c, const double values[3], const Bands& bands,
                double light = 1.0);
  // A line; `bias` moves it towards the viewer so that it wins over the faces it lies on.
  void Line(const Point& a, const Point& b, Rgb color, double bias = 0.0);
  // A pixel above everything drawn (text, legends).
  void Overlay(int x, int y, Rgb color);

 private:
  template <class Shade>
  void Fill(const Point& a, const Point& b, const Point& c, const Shade& shade);
  void Plot(int x, int y, double z, Rgb color);
  Image& image_;
  std::vector<double> depth_;
};

// Writes the picture as a PNG file atomically: false (and `error` says why) when it cannot be
// written, in which case an existing file is left as it was and no partial file remains.
bool WritePng(const Image& image, const std::string& path, std::string& error);

}  // namespace kestrum::raster
