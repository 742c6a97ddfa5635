#include <algorithm>
#include <cmath>
#include <limits>

#include "arx/gidisplay.h"
#include "kestrum/raster.h"

namespace {

struct Triangle {
  AcGePoint3d a, b, c;  // eye coordinates
  Adesk::UInt16 color;
};
struct Segment {
  AcGePoint3d a, b;
  Adesk::UInt16 color;
};

struct Scene {
  std::vector<Triangle> triangles;
  std::vector<Segment> segments;
};

class SceneBuilder {
 public:
  SceneBuilder(Scene& scene, const AcGeMatrix3d& toEye) : scene_(scene), toEye_(toEye) {}

  void add(const AcGiPrimitive& p) {
    switch (p.kind) {
      case AcGiPrimitive::kPolyline:
        for (std::size_t i = 1; i < p.points.size(); ++i) segment(p.points[i - 1], p.points[i], p.color);
        break;
      case AcGiPrimitive::kShell: addShell(p); break;
      case AcGiPrimitive::kMesh: addMesh(p); break;
    }
  }

 private:
  AcGePoint3d eye(const AcGePoint3d& p) const { return toEye_ * p; }
  void segment(const AcGePoint3d& a, const AcGePoint3d& b, Adesk::UInt16 color) {
    scene_.segments.push_back({eye(a), eye(b), color});
  }
  void triangle(const AcGePoint3d& a, const AcGePoint3d& b, const AcGePoint3d& c, Adesk::UInt16 color) {
    scene_.triangles.push_back({eye(a), eye(b), eye(c), color});
  }
  static Adesk::UInt16 pick(const std::vector<short>& colors, std::size_t index, Adesk::UInt16 fallback) {
    return index < colors.size() ? static_cast<Adesk::UInt16>(colors[index]) : fallback;
  }
  static bool visible(const AcGiPrimitive& p, std::size_t edge) {
    return edge >= p.edgeVisibility.size() || p.edgeVisibility[edge] != 0;
  }

  void addShell(const AcGiPrimitive& p) {
    bool fill = p.fillType != AcGi::kAcGiFillNever;
    std::size_t face = 0, edge = 0;
    for (std::size_t i = 0; i < p.faceList.size(); ++face) {
      int count = std::abs(p.faceList[i]);
      bool hole = p.faceList[i] < 0;
      auto vertex = [&](int k) {
        return p.points[static_cast<std::size_t>(p.faceList[i + 1 + static_cast<std::size_t>(k)])];
      };
      if (fill && !hole)
        for (int k = 1; k + 1 < count; ++k)
          triangle(vertex(0), vertex(k), vertex(k + 1), pick(p.faceColors, face, p.color));
      for (int k = 0; k < count; ++k, ++edge)
        if (visible(p, edge)) segment(vertex(k), vertex((k + 1) % count), pick(p.edgeColors, edge, p.color));
      i += static_cast<std::size_t>(count) + 1;
    }
  }

  void addMesh(const AcGiPrimitive& p) {
    auto at = [&](std::size_t r, std::size_t c) { return p.points[r * p.columns + c]; };
    std::size_t face = 0, edge = 0;
    if (p.fillType != AcGi::kAcGiFillNever)
      for (std::size_t r = 0; r + 1 < p.rows; ++r)
        for (std::size_t c = 0; c + 1 < p.columns; ++c, ++face) {
          Adesk::UInt16 color = pick(p.faceColors, face, p.color);
          triangle(at(r, c), at(r, c + 1), at(r + 1, c + 1), color);
          triangle(at(r, c), at(r + 1, c + 1), at(r + 1, c), color);
        }
    for (std::size_t r = 0; r < p.rows; ++r)
      for (std::size_t c = 0; c + 1 < p.columns; ++c, ++edge)
        if (visible(p, edge)) segment(at(r, c), at(r, c + 1), pick(p.edgeColors, edge, p.color));
    for (std::size_t r = 0; r + 1 < p.rows; ++r)
      for (std::size_t c = 0; c < p.columns; ++c, ++edge)
        if (visible(p, edge)) segment(at(r, c), at(r + 1, c), pick(p.edgeColors, edge, p.color));
  }

  Scene& scene_;
  AcGeMatrix3d toEye_;
};

// Eye coordinates to pixels: the scene's extents fitted into the picture with a margin.
struct Fit {
  double scale = 1.0, x0 = 0.0, y0 = 0.0;
  int width = 0, height = 0;
  double px(const AcGePoint3d& p) const { return width / 2.0 + (p.x - x0) * scale; }
  double py(const AcGePoint3d& p) const { return height / 2.0 - (p.y - y0) * scale; }
};

Fit fitTo(const Scene& scene, int width, int height) {
  double minX = std::numeric_limits<double>::max(), minY = minX, maxX = -minX, maxY = -minX;
  auto include = [&](const AcGePoint3d& p) {
    minX = std::min(minX, p.x), maxX = std::max(maxX, p.x), minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
  };
  for (const Triangle& t : scene.triangles) include(t.a), include(t.b), include(t.c);
  for (const Segment& s : scene.segments) include(s.a), include(s.b);
  Fit fit;
  fit.width = width, fit.height = height;
  if (minX > maxX) return fit;
  double spanX = std::max(maxX - minX, 1e-9), spanY = std::max(maxY - minY, 1e-9);
  fit.scale = 0.9 * std::min(width / spanX, height / spanY);
  fit.x0 = (minX + maxX) / 2.0, fit.y0 = (minY + maxY) / 2.0;
  return fit;
}

// Scene triangles and segments onto the shared canvas, in pixels.
class Raster {
 public:
  Raster(kestrum::raster::Image& image, const Fit& fit) : canvas_(image), fit_(fit) {}

  void fill(const Triangle& t) {
    AcGeVector3d normal = (t.b - t.a).crossProduct(t.c - t.a);
    if (normal.length() <= 0.0) return;
    // Lit from the viewer: faces seen square-on are brightest.
    double light = 0.3 + 0.7 * std::fabs(normal.normal().z);
    canvas_.Triangle(pixel(t.a), pixel(t.b), pixel(t.c), rgbOf(t.color), light);
  }

  void draw(const Segment& s, double bias) { canvas_.Line(pixel(s.a), pixel(s.b), rgbOf(s.color), bias); }

 private:
  kestrum::raster::Point pixel(const AcGePoint3d& p) const { return {fit_.px(p), fit_.py(p), p.z}; }
  static kestrum::raster::Rgb rgbOf(Adesk::UInt16 color) {
    AcGiImage::Pixel pixel = acgiColorOf(color);
    return {pixel.r, pixel.g, pixel.b};
  }

  kestrum::raster::Canvas canvas_;
  Fit fit_;
};

}  // namespace

AcGiImage::Pixel AcGiImage::at(int x, int y) const {
  std::size_t index = static_cast<std::size_t>(y * width + x) * 3;
  return {rgb[index], rgb[index + 1], rgb[index + 2]};
}

AcGiImage::Pixel acgiColorOf(Adesk::UInt16 colorIndex) {
  static const AcGiImage::Pixel standard[10] = {{255, 255, 255}, {255, 0, 0},    {255, 255, 0}, {0, 255, 0},
                                                {0, 255, 255},   {0, 0, 255},    {255, 0, 255}, {255, 255, 255},
                                                {128, 128, 128}, {192, 192, 192}};
  if (colorIndex >= 1 && colorIndex <= 9) return standard[colorIndex];
  if (colorIndex >= 10 && colorIndex <= 255) {
    auto grey = static_cast<std::uint8_t>(64 + (colorIndex - 10) * 191 / 245);
    return {grey, grey, grey};
  }
  return standard[7];
}

AcGiImage acgiRender(const AcGiDisplayList& list) {
  const AcGiView& view = list.view();
  kestrum::raster::Image picture(view.width, view.height, {kAcGiBackground.r, kAcGiBackground.g, kAcGiBackground.b});
  Scene scene;
  SceneBuilder builder(scene, acgiModelToEye(view.direction));
  for (const auto& [id, primitives] : list.entries())
    for (const AcGiPrimitive& primitive : primitives) builder.add(primitive);
  Fit fit = fitTo(scene, picture.width, picture.height);
  Raster raster(picture, fit);
  for (const Triangle& t : scene.triangles) raster.fill(t);
  // Lines win over the faces they lie on: a small depth bias, in pixels' worth of model units.
  double bias = 1.5 / fit.scale;
  for (const Segment& s : scene.segments) raster.draw(s, bias);
  AcGiImage image;
  image.width = picture.width, image.height = picture.height;
  image.rgb = std::move(picture.rgb);
  return image;
}
