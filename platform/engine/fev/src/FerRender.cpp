#include "fev/FerRender.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <unordered_map>

#include "FerText.h"
#include "amg/CaeUnit.h"

using kestrum::raster::Bands;
using kestrum::raster::Canvas;
using kestrum::raster::Image;
using kestrum::raster::Point;
using kestrum::raster::Rgb;

namespace {

constexpr Rgb kBackground{33, 40, 48};
constexpr Rgb kText{235, 235, 235};
constexpr Rgb kEdge{20, 20, 20};
constexpr Rgb kUndeformed{150, 150, 150};
constexpr Rgb kPlain{170, 185, 205};
constexpr Rgb kNoValue{110, 110, 110};
constexpr int kLegendWidth = 250;
constexpr int kLineHeight = 16;
constexpr int kMaxBands = 64;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// ---- the view ----------------------------------------------------------------------------

// Isometric: looking along (-1, 1, -1), z up on the screen.
constexpr double kRight[3] = {0.70710678118654752, 0.70710678118654752, 0.0};
constexpr double kUp[3] = {-0.40824829046386302, 0.40824829046386302, 0.81649658092772603};
constexpr double kToward[3] = {0.57735026918962576, -0.57735026918962576, 0.57735026918962576};

double Dot(const double a[3], const double b[3]) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// ---- the mesh's outer faces -----------------------------------------------------------------

// Corner positions within an element of each face, by element type (-1 ends a triangle).
struct FaceTable {
  int count;
  std::array<std::array<int, 4>, 6> faces;
};

const FaceTable* FacesOf(int type) {
  static const FaceTable kHex = {
      6, {{{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}}}};
  static const FaceTable kWedge = {5, {{{0, 2, 1, -1}, {3, 4, 5, -1}, {0, 1, 4, 3}, {1, 2, 5, 4}, {2, 0, 3, 5}}}};
  static const FaceTable kTet = {4, {{{0, 2, 1, -1}, {0, 1, 3, -1}, {1, 2, 3, -1}, {2, 0, 3, -1}}}};
  static const FaceTable kTri = {1, {{{0, 1, 2, -1}}}};
  static const FaceTable kQuad = {1, {{{0, 1, 2, 3}}}};
  switch (type) {
    case FerMesh::kHex8:
    case FerMesh::kHex20: return &kHex;
    case FerMesh::kWedge6:
    case FerMesh::kWedge15: return &kWedge;
    case FerMesh::kTet4:
    case FerMesh::kTet10: return &kTet;
    case FerMesh::kTri3:
    case FerMesh::kTri6: return &kTri;
    case FerMesh::kQuad4:
    case FerMesh::kQuad8: return &kQuad;
    default: return nullptr;
  }
}

bool IsShell(int type) { return type >= FerMesh::kTri3 && type <= FerMesh::kQuad8; }
bool IsBeam(int type) { return type == FerMesh::kBeam2 || type == FerMesh::kBeam3; }

// A face by node indexes; the fourth is -1 for a triangle.
using Face = std::array<int, 4>;

struct FaceKeyHash {
  std::size_t operator()(const Face& f) const {
    std::size_t h = 1469598103934665603ull;
    for (int v : f) h = (h ^ static_cast<std::size_t>(v + 1)) * 1099511628211ull;
    return h;
  }
};

struct Outline {
  std::vector<Face> faces;                   // outer faces, in element order
  std::vector<std::array<int, 2>> segments;  // beams
};

// Outer faces: the faces of solid elements that no other element shares, and every shell face.
Outline OuterFaces(const FerMesh& mesh, const std::unordered_map<long, int>& index) {
  Outline outline;
  if (mesh.elementStarts.size() != mesh.elementIds.size() + 1) return outline;
  std::unordered_map<Face, int, FaceKeyHash> seen;
  std::vector<Face> candidates;
  for (int e = 0; e < mesh.NumElements(); ++e) {
    const int type = mesh.elementTypes[e];
    const long* nodes = &mesh.elementNodes[mesh.elementStarts[e]];
    auto at = [&](int corner) { return index.at(nodes[corner]); };
    if (IsBeam(type)) {
      outline.segments.push_back({at(0), at(1)});
      continue;
    }
    const FaceTable* table = FacesOf(type);
    if (!table) continue;
    for (int f = 0; f < table->count; ++f) {
      const std::array<int, 4>& corners = table->faces[f];
      Face face = {at(corners[0]), at(corners[1]), at(corners[2]), corners[3] < 0 ? -1 : at(corners[3])};
      if (IsShell(type)) {
        outline.faces.push_back(face);
        continue;
      }
      Face key = face;
      std::sort(key.begin(), key.end());
      ++seen[key];
      candidates.push_back(face);
    }
  }
  for (const Face& face : candidates) {
    Face key = face;
    std::sort(key.begin(), key.end());
    if (seen[key] == 1) outline.faces.push_back(face);
  }
  return outline;
}

// ---- values ---------------------------------------------------------------------------------

int LowestBit(int mask) {
  for (int bit = 0; bit < FerResult::kMaxComponents; ++bit)
    if (mask & (1 << bit)) return bit;
  return 0;
}

// A component of a result's subset by node index (NaN where the result has no value).
std::vector<double> NodeValues(const FerResult& result, int subset, int component,
                               const std::unordered_map<long, int>& index, int nodes) {
  std::vector<double> values(static_cast<std::size_t>(nodes), kNaN);
  if (subset < 0 || subset >= result.NumNodalSubsets()) return values;
  const std::vector<long>& ids = result.NodeIds(subset);
  const std::vector<double>& data = result.NodeValues(subset);
  const int components = result.NumComponents();
  if (component >= components) return values;
  for (std::size_t i = 0; i < ids.size(); ++i) {
    const auto found = index.find(ids[i]);
    if (found != index.end()) values[static_cast<std::size_t>(found->second)] = data[i * components + component];
  }
  return values;
}

std::string Format(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.4g", value);
  return buffer;
}

std::string SubsetText(const FerResultSet& set, int subset) {
  std::string text = set.SubSetName().IsEmpty() ? std::string("Load Case") : set.SubSetName().Str();
  text += " " + std::to_string(subset + 1);
  const FerResultSubSet* sub = set.GetSubSet(subset);
  if (sub && set.IsModal()) {
    const double value =
        set.SubSetUnits() == CaeUtNone ? sub->GetValue() : CaeUnit::NativeToHost(set.SubSetUnits(), sub->GetValue());
    text += ": " + Format(value);
    const std::string unit = FerUnitText(set.SubSetUnits()).Str();
    if (!unit.empty()) text += " " + unit;
  }
  return text;
}

// ---- drawing ----------------------------------------------------------------------------------

class Drawing {
 public:
  Drawing(const FerDispSettings& settings, const FerResultSet& set, FerPicture& picture, double deformFactor = 1.0)
      : settings_(settings), set_(set), picture_(picture), mesh_(*set.Mesh()), deformFactor_(deformFactor) {}

  void Draw() {
    Prepare();
    const Outline outline = OuterFaces(mesh_, index_);
    std::vector<double> fitted = deformed_;
    if (showUndeformed_) fitted.insert(fitted.end(), mesh_.coordinates.begin(), mesh_.coordinates.end());
    picture_.mapping.Fit(fitted, picture_.image.width - kLegendWidth, picture_.image.height);
    Canvas canvas(picture_.image);
    DrawFaces(canvas, outline);
    DrawLines(canvas, outline);
    picture_.nodesDrawn = mesh_.NumNodes();
  }

  // The node index, values, colours and drawn positions, without drawing.
  void Prepare() {
    for (int i = 0; i < mesh_.NumNodes(); ++i) index_.emplace(mesh_.nodeIds[i], i);
    subset_ = std::clamp(settings_.GetResultSubSet() - 1, 0, std::max(0, set_.NumSubSets() - 1));
    ComputeColours();
    ComputePositions();
  }
  const std::unordered_map<long, int>& NodeIndex() const { return index_; }
  const std::vector<double>& Positions() const { return deformed_; }
  bool Banded() const { return banded_; }
  // The colour the picture gives a node where it is a face's corner.
  Rgb NodeColor(int node) const {
    if (!banded_) return kPlain;
    const double value = values_[static_cast<std::size_t>(node)];
    return std::isnan(value) ? kNoValue : bands_.ColorOf(value);
  }

 private:
  Point At(const std::vector<double>& positions, int node) const {
    return picture_.mapping.ToPixel(&positions[static_cast<std::size_t>(node) * 3]);
  }

  void ComputeColours() {
    FerLegend& legend = picture_.legend;
    legend.setName = set_.Name().Str();
    legend.subset = SubsetText(set_, subset_);
    const FerColorSetting color = settings_.GetColorSettings();
    if (!color.IsVisible()) return;
    const FerResult* result = set_.FindResult(color.GetResult());
    if (!result) {
      picture_.status =
          std::string("The result set has no ") + FerQuantityName(color.GetResult()) + ": the mesh is shown.";
      return;
    }
    const int component = LowestBit(color.GetComponent());
    values_ = NodeValues(*result, subset_, component, index_, mesh_.NumNodes());
    const bool safety = color.FactorOfSafetyUsed() && result->QuantityType() == FerQtyStress;
    CaeUnitType unit = result->UnitType();
    if (safety) {
      const double allowable = color.GetFactorOfSafetyValue();
      for (double& v : values_) v = v > 0 ? allowable / v : (v == 0 ? std::numeric_limits<double>::infinity() : v);
      legend.quantity = "Factor of Safety";
      unit = CaeUtNone;
    } else {
      legend.quantity = FerQuantityName(result->QuantityType());
      legend.component = result->CompName(component).Str();
    }
    double minimum = 0, maximum = 0;
    if (!Range(safety, *result, component, minimum, maximum)) return;
    // An unstressed node is as safe as the safest one drawn.
    if (safety)
      for (double& v : values_)
        if (std::isinf(v) && v > 0) v = maximum;
    // Bands in native units; the legend tells them in host units.
    const int count = std::clamp(color.GetNumberIntervals(), 1, kMaxBands);
    bands_ = Bands(minimum, maximum, FerBandColors(color.GetColorStyle(), count));
    banded_ = true;
    auto host = [&](double v) { return unit == CaeUtNone ? v : CaeUnit::NativeToHost(unit, v); };
    legend.banded = true;
    legend.unit = FerUnitText(unit).Str();
    legend.minimum = host(minimum);
    legend.maximum = host(maximum);
    for (int i = 0; i <= count; ++i) legend.edges.push_back(host(bands_.Edge(i)));
  }

  // The colour range: the stored one when the range type asks for it, else the result's own.
  bool Range(bool safety, const FerResult& result, int component, double& minimum, double& maximum) const {
    const FerColorSetting color = settings_.GetColorSettings();
    double storedMin = 0, storedMax = 0, increment = 0;
    color.GetRange(storedMin, storedMax, increment);
    if (color.GetRangeType() != 1 && storedMin < storedMax) {
      minimum = storedMin, maximum = storedMax;
      return true;
    }
    if (!safety) return result.Range(subset_, component, minimum, maximum);
    minimum = std::numeric_limits<double>::infinity(), maximum = -minimum;
    for (double v : values_)
      if (std::isfinite(v)) minimum = std::min(minimum, v), maximum = std::max(maximum, v);
    return minimum <= maximum;
  }

  void ComputePositions() {
    deformed_ = mesh_.coordinates;
    const FerDeformedSetting deformed = settings_.GetDeformedSettings();
    const FerResult* displacement = set_.FindResult(FerQtyDisplacement);
    if (!deformed.IsVisible() || !displacement) return;
    std::vector<double> u[3];
    double largest = 0;
    for (int k = 0; k < 3; ++k) u[k] = NodeValues(*displacement, subset_, k, index_, mesh_.NumNodes());
    for (int i = 0; i < mesh_.NumNodes(); ++i)
      if (std::isfinite(u[0][i]) && std::isfinite(u[1][i]) && std::isfinite(u[2][i]))
        largest = std::max(largest, std::sqrt(u[0][i] * u[0][i] + u[1][i] * u[1][i] + u[2][i] * u[2][i]));
    double scale = deformed.GetFactor();
    if (deformed.GetMethod() == FerScalePercent)
      scale = largest > 0 ? deformed.GetPercent() / 100.0 * ModelSize() / largest : 0.0;
    scale *= deformFactor_;
    if (!std::isfinite(scale)) return;
    for (int i = 0; i < mesh_.NumNodes(); ++i)
      for (int k = 0; k < 3; ++k)
        if (std::isfinite(u[k][i])) deformed_[static_cast<std::size_t>(i) * 3 + k] += scale * u[k][i];
    picture_.deformationScale = scale;
    showUndeformed_ = deformed.UndeformedShown() != 0;
  }

  double ModelSize() const {
    double low[3] = {std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
                     std::numeric_limits<double>::max()};
    double high[3] = {-low[0], -low[1], -low[2]};
    for (std::size_t i = 0; i + 2 < mesh_.coordinates.size(); i += 3)
      for (int k = 0; k < 3; ++k)
        low[k] = std::min(low[k], mesh_.coordinates[i + k]), high[k] = std::max(high[k], mesh_.coordinates[i + k]);
    double sum = 0;
    for (int k = 0; k < 3; ++k) sum += (high[k] - low[k]) * (high[k] - low[k]);
    return std::sqrt(sum);
  }

  void DrawTriangle(Canvas& canvas, int a, int b, int c) const {
    const Point pa = At(deformed_, a), pb = At(deformed_, b), pc = At(deformed_, c);
    if (banded_) {
      const double values[3] = {values_[a], values_[b], values_[c]};
      if (!std::isnan(values[0]) && !std::isnan(values[1]) && !std::isnan(values[2])) {
        canvas.Triangle(pa, pb, pc, values, bands_);
        return;
      }
      canvas.Triangle(pa, pb, pc, kNoValue);
      return;
    }
    // The bare mesh, lit from the viewer.
    const double* p = &deformed_[static_cast<std::size_t>(a) * 3];
    const double* q = &deformed_[static_cast<std::size_t>(b) * 3];
    const double* r = &deformed_[static_cast<std::size_t>(c) * 3];
    const double e1[3] = {q[0] - p[0], q[1] - p[1], q[2] - p[2]}, e2[3] = {r[0] - p[0], r[1] - p[1], r[2] - p[2]};
    const double n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
    const double length = std::sqrt(Dot(n, n));
    const double light = length > 0 ? 0.3 + 0.7 * std::fabs(Dot(n, kToward)) / length : 1.0;
    canvas.Triangle(pa, pb, pc, kPlain, light);
  }

  void DrawFaces(Canvas& canvas, const Outline& outline) const {
    for (const Face& f : outline.faces) {
      DrawTriangle(canvas, f[0], f[1], f[2]);
      if (f[3] >= 0) DrawTriangle(canvas, f[0], f[2], f[3]);
    }
  }

  void DrawLines(Canvas& canvas, const Outline& outline) const {
    const double bias = 1e-6 + 1.5 / std::max(1e-12, PixelScale());
    const bool edges = settings_.EdgesShown() != 0;
    auto faceEdges = [&](const std::vector<double>& positions, Rgb color, double lift) {
      for (const Face& f : outline.faces) {
        const int corners = f[3] >= 0 ? 4 : 3;
        for (int k = 0; k < corners; ++k)
          canvas.Line(At(positions, f[k]), At(positions, f[(k + 1) % corners]), color, lift);
      }
    };
    if (showUndeformed_) faceEdges(mesh_.coordinates, kUndeformed, bias);
    if (edges) faceEdges(deformed_, kEdge, bias);
    for (const auto& s : outline.segments) canvas.Line(At(deformed_, s[0]), At(deformed_, s[1]), kPlain, bias);
  }

  // Model units per pixel, for the lines' depth bias.
  double PixelScale() const {
    const double origin[3] = {0, 0, 0}, unit[3] = {kRight[0], kRight[1], kRight[2]};
    return std::fabs(picture_.mapping.ToPixel(unit).x - picture_.mapping.ToPixel(origin).x);
  }

  const FerDispSettings& settings_;
  const FerResultSet& set_;
  FerPicture& picture_;
  const FerMesh& mesh_;
  double deformFactor_ = 1.0;
  std::unordered_map<long, int> index_;
  int subset_ = 0;
  std::vector<double> values_;
  std::vector<double> deformed_;
  Bands bands_;
  bool banded_ = false;
  bool showUndeformed_ = false;
};

void DrawLegend(FerPicture& picture, const std::vector<Rgb>& colors) {
  Image& image = picture.image;
  const int left = image.width - kLegendWidth + 10;
  int y = 20;
  for (const std::string& line : picture.Describe()) {
    if (line.rfind("Bands:", 0) == 0) continue;
    fev_detail::DrawText(image, left, y, line, kText);
    y += kLineHeight;
  }
  const FerLegend& legend = picture.legend;
  if (!legend.banded) return;
  y += 6;
  const int count = static_cast<int>(colors.size());
  constexpr int kBox = 16;
  // Highest band on top.
  for (int i = count - 1; i >= 0; --i, y += kBox) {
    for (int dy = 0; dy < kBox - 1; ++dy)
      for (int dx = 0; dx < 22; ++dx) image.Set(left + dx, y + dy, colors[static_cast<std::size_t>(i)]);
    fev_detail::DrawText(image, left + 30, y + kBox - 2, Format(legend.edges[static_cast<std::size_t>(i) + 1]), kText);
  }
  fev_detail::DrawText(image, left + 30, y + kBox - 2, Format(legend.edges.front()), kText);
}

}  // namespace

// ---- public -----------------------------------------------------------------------------------

Point FerViewMapping::ToPixel(const double xyz[3]) const {
  return {width_ / 2.0 + (Dot(xyz, kRight) - centerX_) * scale_, height_ / 2.0 - (Dot(xyz, kUp) - centerY_) * scale_,
          Dot(xyz, kToward)};
}

void FerViewMapping::Fit(const std::vector<double>& points, int width, int height) {
  width_ = std::max(1, width), height_ = std::max(1, height);
  double minX = std::numeric_limits<double>::max(), minY = minX, maxX = -minX, maxY = -minX;
  for (std::size_t i = 0; i + 2 < points.size(); i += 3) {
    const double x = Dot(&points[i], kRight), y = Dot(&points[i], kUp);
    if (!std::isfinite(x) || !std::isfinite(y)) continue;
    minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = std::max(maxY, y);
  }
  if (minX > maxX) return;
  const double spanX = std::max(maxX - minX, 1e-12), spanY = std::max(maxY - minY, 1e-12);
  scale_ = 0.9 * std::min(width_ / spanX, height_ / spanY);
  centerX_ = (minX + maxX) / 2, centerY_ = (minY + maxY) / 2;
}

std::vector<std::string> FerPicture::Describe() const {
  std::vector<std::string> lines;
  if (!legend.setName.empty()) lines.push_back("Result set: " + legend.setName);
  if (!legend.subset.empty()) lines.push_back(legend.subset);
  if (!legend.quantity.empty()) {
    std::string line = legend.quantity;
    if (!legend.component.empty() && legend.component != legend.quantity) line += " (" + legend.component + ")";
    if (!legend.unit.empty()) line += " [" + legend.unit + "]";
    lines.push_back(line);
  }
  if (legend.banded) {
    lines.push_back("Min " + Format(legend.minimum) + "  Max " + Format(legend.maximum));
    std::string bands = "Bands:";
    for (double e : legend.edges) bands += " " + Format(e);
    lines.push_back(bands);
  }
  if (deformationScale != 0.0) lines.push_back("Deformed x " + Format(deformationScale));
  if (!status.empty()) lines.push_back(status);
  return lines;
}

std::vector<Rgb> FerBandColors(int style, int count) {
  std::vector<Rgb> colors;
  for (int i = 0; i < count; ++i) {
    const double t = count > 1 ? static_cast<double>(i) / (count - 1) : 1.0;
    auto channel = [](double v) { return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
    switch (style) {
      case 1: colors.push_back({channel(1 - t), channel(1 - t), 255}); break;  // white to blue
      case 2: colors.push_back({channel(0.2 + 0.7 * t), channel(0.2 + 0.7 * t), channel(0.2 + 0.7 * t)}); break;
      case 3: colors.push_back({channel(t), channel(t), channel(t)}); break;  // black to white
      default: {
        // Blue through cyan, green and yellow to red.
        const double h = 4.0 * (1.0 - t);
        const double r = std::clamp(2.0 - h, 0.0, 1.0) + std::clamp(h - 4.0, 0.0, 1.0);
        const double g = h < 2.0 ? std::clamp(h, 0.0, 1.0) : std::clamp(4.0 - h, 0.0, 1.0);
        const double b = std::clamp(h - 2.0, 0.0, 1.0);
        colors.push_back({channel(r), channel(g), channel(b)});
      }
    }
  }
  return colors;
}

FerPicture FerRenderView(const FerDispSettings& settings, const FerResultSet* set, const std::string& missingName,
                         int width, int height, double deformFactor) {
  FerPicture picture;
  picture.image = Image(width, height, kBackground);
  if (!set) {
    picture.status = missingName.empty() ? "No result set is displayed."
                                         : "The result set \"" + missingName + "\" is not available.";
  } else if (!set->Mesh() || set->Mesh()->NumNodes() == 0) {
    picture.legend.setName = set->Name().Str();
    picture.status = set->DataProblem().empty() ? "The result set has no mesh to draw." : set->DataProblem();
  } else {
    Drawing(settings, *set, picture, deformFactor).Draw();
  }
  const FerColorSetting color = settings.GetColorSettings();
  DrawLegend(picture, picture.legend.banded
                          ? FerBandColors(color.GetColorStyle(), std::clamp(color.GetNumberIntervals(), 1, kMaxBands))
                          : std::vector<Rgb>());
  return picture;
}

bool FerShowsNoResult(const FerDispSettings& settings) {
  return !settings.GetColorSettings().IsVisible() && !settings.GetDeformedSettings().IsVisible() &&
         !settings.GetSymbolSettings().IsVisible();
}

FerPicture FerRenderModel(const FerDispSettings& settings, const FerMesh* mesh, const std::string& modelName, int width,
                          int height) {
  FerPicture picture;
  picture.image = Image(width, height, kBackground);
  if (!mesh || mesh->NumNodes() == 0) {
    picture.status = "The model \"" + modelName + "\" has no mesh to draw.";
  } else {
    // A set of no results carries the mesh through the drawing, which then shows it bare.
    FerResultSet bare;
    bare.SetMesh(std::shared_ptr<const FerMesh>(mesh, [](const FerMesh*) {}));
    Drawing(settings, bare, picture).Draw();
    picture.legend.setName.clear();
    picture.legend.subset.clear();
    picture.status = "Model: " + modelName;
  }
  DrawLegend(picture, {});
  return picture;
}

// ---- the view as geometry -------------------------------------------------------------------

namespace {

// The outer faces over the vertices they use: `vertexOfNode` maps a mesh node index to its
// vertex (-1 when no face uses it), `nodeOfVertex` the other way.
struct SceneTopology {
  std::vector<FerSceneFace> faces;
  std::vector<int> nodeOfVertex;
};

SceneTopology SceneFaces(const FerMesh& mesh, const std::unordered_map<long, int>& index) {
  SceneTopology topology;
  std::vector<int> vertexOfNode(static_cast<std::size_t>(mesh.NumNodes()), -1);
  for (const Face& face : OuterFaces(mesh, index).faces) {
    FerSceneFace mapped = {-1, -1, -1, -1};
    for (int k = 0; k < 4 && face[k] >= 0; ++k) {
      int& vertex = vertexOfNode[static_cast<std::size_t>(face[k])];
      if (vertex < 0) {
        vertex = static_cast<int>(topology.nodeOfVertex.size());
        topology.nodeOfVertex.push_back(face[k]);
      }
      mapped[k] = vertex;
    }
    topology.faces.push_back(mapped);
  }
  return topology;
}

FerSceneFrame SceneFrame(const Drawing& drawing, const std::vector<int>& nodeOfVertex) {
  FerSceneFrame frame;
  frame.positions.reserve(nodeOfVertex.size() * 3);
  frame.colors.reserve(nodeOfVertex.size());
  const std::vector<double>& positions = drawing.Positions();
  for (int node : nodeOfVertex) {
    const double* xyz = &positions[static_cast<std::size_t>(node) * 3];
    frame.positions.insert(frame.positions.end(), xyz, xyz + 3);
    frame.colors.push_back(drawing.NodeColor(node));
  }
  return frame;
}

}  // namespace

FerScene FerBuildScene(const FerDispSettings& settings, const FerResultSet& set,
                       const std::vector<FerSceneView>& views) {
  FerScene scene;
  if (!set.Mesh() || set.Mesh()->NumNodes() == 0) return scene;
  SceneTopology topology;
  for (std::size_t i = 0; i < views.size(); ++i) {
    FerDispSettings frameSettings = settings;
    if (views[i].subset > 0) frameSettings.SetResultSubSet(views[i].subset);
    FerPicture picture;
    Drawing drawing(frameSettings, set, picture, views[i].deformFactor);
    drawing.Prepare();
    if (i == 0) {
      topology = SceneFaces(*set.Mesh(), drawing.NodeIndex());
      scene.faces = topology.faces;
      scene.contoured = drawing.Banded();
      scene.description = picture.Describe();
    }
    scene.frames.push_back(SceneFrame(drawing, topology.nodeOfVertex));
  }
  return scene;
}

FerScene FerBuildModelScene(const FerMesh& mesh) {
  FerResultSet bare;
  bare.SetMesh(std::shared_ptr<const FerMesh>(&mesh, [](const FerMesh*) {}));
  FerDispSettings plain;
  FerColorSetting color = plain.GetColorSettings();
  color.Visible(0);
  plain.SetColorSettings(color);
  FerDeformedSetting deformed = plain.GetDeformedSettings();
  deformed.Visible(0);
  plain.SetDeformedSettings(deformed);
  return FerBuildScene(plain, bare, {FerSceneView{}});
}
