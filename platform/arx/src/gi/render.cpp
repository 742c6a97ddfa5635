#include <algorithm>
#include <cmath>
#include <limits>

#include "arx/gidisplay.h"

namespace {

struct Triangle {
  AcGePoint3d a, b, c;  // eye coordinates
  Adesk::UInt16 color;
};
struct Segment {
  AcGePoint3d a, b;
  Adesk::UInt16 color;
  bool onOwnColor = false;  // an edge of a face of the same colour: drawn darker to show on it
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
  void segment(const AcGePoint3d& a, const AcGePoint3d& b, Adesk::UInt16 color, bool onOwnColor = false) {
    scene_.segments.push_back({eye(a), eye(b), color, onOwnColor});
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
      const Adesk::UInt16 faceColor = pick(p.faceColors, face, p.color);
      const bool filled = fill && !hole;
      if (filled)
        for (int k = 1; k + 1 < count; ++k) triangle(vertex(0), vertex(k), vertex(k + 1), faceColor);
      for (int k = 0; k < count; ++k, ++edge) {
        const Adesk::UInt16 edgeColor = pick(p.edgeColors, edge, p.color);
        if (visible(p, edge))
          segment(vertex(k), vertex((k + 1) % count), edgeColor,
                  filled && edge < p.edgeColors.size() && edgeColor == faceColor);
      }
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

class Raster {
 public:
  Raster(AcGiImage& image, const Fit& fit)
      : image_(image),
        fit_(fit),
        depth_(static_cast<std::size_t>(image.width * image.height), -std::numeric_limits<double>::infinity()) {}

  void fill(const Triangle& t) {
    AcGeVector3d normal = (t.b - t.a).crossProduct(t.c - t.a);
    if (normal.length() <= 0.0) return;
    // Lit from the viewer: faces seen square-on are brightest.
    double light = 0.3 + 0.7 * std::fabs(normal.normal().z);
    AcGiImage::Pixel base = acgiColorOf(t.color);
    AcGiImage::Pixel shaded{shade(base.r, light), shade(base.g, light), shade(base.b, light)};
    double ax = fit_.px(t.a), ay = fit_.py(t.a), bx = fit_.px(t.b), by = fit_.py(t.b), cx = fit_.px(t.c),
           cy = fit_.py(t.c);
    double area = (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
    if (std::fabs(area) < 1e-12) return;
    int x0 = std::max(0, static_cast<int>(std::floor(std::min({ax, bx, cx}))));
    int x1 = std::min(image_.width - 1, static_cast<int>(std::ceil(std::max({ax, bx, cx}))));
    int y0 = std::max(0, static_cast<int>(std::floor(std::min({ay, by, cy}))));
    int y1 = std::min(image_.height - 1, static_cast<int>(std::ceil(std::max({ay, by, cy}))));
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) {
        double sx = x + 0.5, sy = y + 0.5;
        double wa = ((bx - sx) * (cy - sy) - (by - sy) * (cx - sx)) / area;
        double wb = ((cx - sx) * (ay - sy) - (cy - sy) * (ax - sx)) / area;
        double wc = 1.0 - wa - wb;
        if (wa < 0 || wb < 0 || wc < 0) continue;
        plot(x, y, wa * t.a.z + wb * t.b.z + wc * t.c.z, shaded);
      }
  }

  void draw(const Segment& s, double bias) {
    constexpr double kOnOwnColor = 0.2;  // below the dimmest lit face (0.3)
    AcGiImage::Pixel color = acgiColorOf(s.color);
    if (s.onOwnColor) color = {shade(color.r, kOnOwnColor), shade(color.g, kOnOwnColor), shade(color.b, kOnOwnColor)};
    double ax = fit_.px(s.a), ay = fit_.py(s.a), bx = fit_.px(s.b), by = fit_.py(s.b);
    int steps = std::max(1, static_cast<int>(std::ceil(std::max(std::fabs(bx - ax), std::fabs(by - ay)))));
    for (int i = 0; i <= steps; ++i) {
      double f = static_cast<double>(i) / steps;
      plot(static_cast<int>(std::floor(ax + (bx - ax) * f)), static_cast<int>(std::floor(ay + (by - ay) * f)),
           s.a.z + (s.b.z - s.a.z) * f + bias, color);
    }
  }

 private:
  static std::uint8_t shade(std::uint8_t channel, double light) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(channel * light, 0.0, 255.0)));
  }
  void plot(int x, int y, double z, const AcGiImage::Pixel& color) {
    if (x < 0 || y < 0 || x >= image_.width || y >= image_.height) return;
    std::size_t index = static_cast<std::size_t>(y * image_.width + x);
    if (z < depth_[index]) return;
    depth_[index] = z;
    image_.rgb[index * 3] = color.r, image_.rgb[index * 3 + 1] = color.g, image_.rgb[index * 3 + 2] = color.b;
  }

  AcGiImage& image_;
  Fit fit_;
  std::vector<double> depth_;
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
  AcGiImage image;
  image.width = std::max(1, view.width), image.height = std::max(1, view.height);
  image.rgb.resize(static_cast<std::size_t>(image.width * image.height) * 3);
  for (std::size_t i = 0; i < image.rgb.size(); i += 3)
    image.rgb[i] = kAcGiBackground.r, image.rgb[i + 1] = kAcGiBackground.g, image.rgb[i + 2] = kAcGiBackground.b;
  Scene scene;
  SceneBuilder builder(scene, acgiModelToEye(view.direction));
  for (const auto& [id, primitives] : list.entries())
    for (const AcGiPrimitive& primitive : primitives) builder.add(primitive);
  Fit fit = fitTo(scene, image.width, image.height);
  Raster raster(image, fit);
  for (const Triangle& t : scene.triangles) raster.fill(t);
  // Lines win over the faces they lie on: a small depth bias, in pixels' worth of model units.
  double bias = 1.5 / fit.scale;
  for (const Segment& s : scene.segments) raster.draw(s, bias);
  return image;
}
