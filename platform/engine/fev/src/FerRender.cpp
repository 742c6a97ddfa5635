#include "fev/FerRender.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <mutex>
#include <stdexcept>
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
constexpr int kMinBands = 2;
constexpr int kMaxBands = 150;
constexpr int kSmoothSteps = 256;  // colour by value: a ramp too fine to see steps in
constexpr double kFrameInset = 50.0, kFrameLength = 36.0;
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

struct Outline {
  std::vector<Face> faces;                   // outer faces, in element order
  std::vector<int> faceElements;             // the element of each outer face
  std::vector<std::array<int, 2>> segments;  // beams
};

// Which of the faces (by sorted corners) occur more than once. Faces are grouped by their
// highest corner, a node index, and each small group sorted: a hash map of all the faces cost
// most of a scene build.
std::vector<char> SharedFaces(const std::vector<Face>& keys, int nodes) {
  std::vector<int> start(static_cast<std::size_t>(nodes) + 2, 0);
  for (const Face& key : keys) ++start[static_cast<std::size_t>(key[3]) + 2];
  for (std::size_t n = 2; n < start.size(); ++n) start[n] += start[n - 1];
  std::vector<int> order(keys.size());
  for (std::size_t i = 0; i < keys.size(); ++i)
    order[static_cast<std::size_t>(start[static_cast<std::size_t>(keys[i][3]) + 1]++)] = static_cast<int>(i);
  std::vector<char> shared(keys.size(), 0);
  auto byKey = [&](int a, int b) { return keys[static_cast<std::size_t>(a)] < keys[static_cast<std::size_t>(b)]; };
  for (std::size_t n = 0; n + 1 < start.size(); ++n) {
    const auto first = order.begin() + start[n], last = order.begin() + start[n + 1];
    std::sort(first, last, byKey);
    for (auto it = first; it + 1 < last; ++it)
      if (keys[static_cast<std::size_t>(*it)] == keys[static_cast<std::size_t>(*(it + 1))])
        shared[static_cast<std::size_t>(*it)] = shared[static_cast<std::size_t>(*(it + 1))] = 1;
  }
  return shared;
}

// Node ids to node indexes. Ids that run from zero to a few times the node count (as meshers and
// solvers number them) are looked up in a table: a hash map lookup per corner and per value was
// most of the time of a scene's frame.
class NodeIndex {
 public:
  explicit NodeIndex(const std::vector<long>& ids) {
    if (ids.empty()) return;
    const auto [low, high] = std::minmax_element(ids.begin(), ids.end());
    dense_ = *low >= 0 && static_cast<std::size_t>(*high) < kDenseFactor * ids.size() + kDenseSlack;
    if (dense_) table_.assign(static_cast<std::size_t>(*high) + 1, -1);
    // The first of repeated ids keeps it.
    for (std::size_t i = 0; i < ids.size(); ++i) {
      if (!dense_) {
        map_.emplace(ids[i], static_cast<int>(i));
      } else if (int& slot = table_[static_cast<std::size_t>(ids[i])]; slot < 0) {
        slot = static_cast<int>(i);
      }
    }
  }
  // The node's index, or -1 when the mesh has no node with that id.
  int Find(long id) const {
    if (dense_)
      return id >= 0 && static_cast<std::size_t>(id) < table_.size() ? table_[static_cast<std::size_t>(id)] : -1;
    const auto found = map_.find(id);
    return found == map_.end() ? -1 : found->second;
  }
  // The node's index; an id the mesh lacks is an error, as a map's at() makes it.
  int At(long id) const {
    const int node = Find(id);
    if (node < 0) throw std::out_of_range("node id not in the mesh");
    return node;
  }

 private:
  static constexpr std::size_t kDenseFactor = 4, kDenseSlack = 1024;
  bool dense_ = false;
  std::vector<int> table_;
  std::unordered_map<long, int> map_;
};

// Outer faces: the faces of solid elements that no other element shares, and every shell face.
Outline OuterFaces(const FerMesh& mesh, const NodeIndex& index) {
  Outline outline;
  if (mesh.elementStarts.size() != mesh.elementIds.size() + 1) return outline;
  std::vector<Face> candidates, keys;  // keys: the corners sorted
  std::vector<int> owners;
  for (int e = 0; e < mesh.NumElements(); ++e) {
    const int type = mesh.elementTypes[e];
    const long* nodes = &mesh.elementNodes[mesh.elementStarts[e]];
    auto at = [&](int corner) { return index.At(nodes[corner]); };
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
        outline.faceElements.push_back(e);
        continue;
      }
      Face key = face;
      std::sort(key.begin(), key.end());
      keys.push_back(key);
      candidates.push_back(face);
      owners.push_back(e);
    }
  }
  const std::vector<char> shared = SharedFaces(keys, mesh.NumNodes());
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    if (shared[i]) continue;
    outline.faces.push_back(candidates[i]);
    outline.faceElements.push_back(owners[i]);
  }
  return outline;
}

// The outer faces of the mesh drawn last: each frame of an animation, a view drawn again and each
// export of a view ask for the same mesh's, and finding them was most of the time of a scene's
// build. Kept while the mesh lives (a weak reference) with the sizes it had, so that a mesh
// changed in place is not taken for the same one.
class OutlineCache {
 public:
  std::shared_ptr<const Outline> Of(const std::shared_ptr<const FerMesh>& mesh, const NodeIndex& index) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (outline_ && mesh_.lock() == mesh && sizes_ == SizesOf(*mesh)) return outline_;
    outline_ = std::make_shared<const Outline>(OuterFaces(*mesh, index));
    mesh_ = mesh;
    sizes_ = SizesOf(*mesh);
    return outline_;
  }

 private:
  static std::array<std::size_t, 4> SizesOf(const FerMesh& mesh) {
    return {mesh.nodeIds.size(), mesh.elementIds.size(), mesh.elementNodes.size(), mesh.coordinates.size()};
  }

  std::mutex mutex_;
  std::weak_ptr<const FerMesh> mesh_;
  std::array<std::size_t, 4> sizes_{};
  std::shared_ptr<const Outline> outline_;
};

std::shared_ptr<const Outline> OuterFacesOf(const std::shared_ptr<const FerMesh>& mesh, const NodeIndex& index) {
  static OutlineCache cache;
  return cache.Of(mesh, index);
}

// ---- values ---------------------------------------------------------------------------------

int LowestBit(int mask) {
  for (int bit = 0; bit < FerResult::kMaxComponents; ++bit)
    if (mask & (1 << bit)) return bit;
  return 0;
}

// Results with these component counts are vectors (x, y, z, magnitude) and symmetric tensors
// (equivalent, three principal values, xx, yy, zz, xy, yz, zx).
constexpr int kVectorComponents = 4;
constexpr int kTensorComponents = 10;
constexpr int kFirstTensorEntry = 4;

// The axes components are taken along at a point: the frame's own (Cartesian), or radial,
// tangential and axial about the frame's z axis (cylindrical). Rows are unit vectors in global
// coordinates.
struct Axes {
  double e[3][3];
};

// The coordinate system of a setting: the identity with kind 0 or -1 needs no rotation.
class ComponentFrame {
 public:
  explicit ComponentFrame(const FerDispSetting& setting) {
    CaeTransform transform;
    setting.GetCS(transform, kind_);
    cylindrical_ = kind_ != 0 && kind_ != -1;
    local_ = !transform.IsIdentity();
    for (int i = 0; i < 3; ++i) {
      const CaeVector axis = transform.UnitVector(i);
      axes_.e[i][0] = axis.X(), axes_.e[i][1] = axis.Y(), axes_.e[i][2] = axis.Z();
    }
    const CaeVector origin = transform.TranslationVector();
    origin_[0] = origin.X(), origin_[1] = origin.Y(), origin_[2] = origin.Z();
  }
  bool Rotates() const { return cylindrical_ || local_; }
  bool Local() const { return local_; }
  bool Cylindrical() const { return cylindrical_; }
  const Axes& FrameAxes() const { return axes_; }

  Axes At(const double* xyz) const {
    if (!cylindrical_) return axes_;
    const double p[3] = {xyz[0] - origin_[0], xyz[1] - origin_[1], xyz[2] - origin_[2]};
    const double lx = Dot(p, axes_.e[0]), ly = Dot(p, axes_.e[1]);
    const double r = std::hypot(lx, ly);
    Axes axes;
    const double c = r > 0 ? lx / r : 1.0, s = r > 0 ? ly / r : 0.0;
    for (int k = 0; k < 3; ++k) {
      axes.e[0][k] = c * axes_.e[0][k] + s * axes_.e[1][k];   // radial
      axes.e[1][k] = -s * axes_.e[0][k] + c * axes_.e[1][k];  // tangential
      axes.e[2][k] = axes_.e[2][k];                           // axial
    }
    return axes;
  }

 private:
  int kind_ = 0;
  bool cylindrical_ = false;
  bool local_ = false;
  Axes axes_{};
  double origin_[3] = {0, 0, 0};
};

// One component of one node's (or element's) row of values, in the frame's axes.
double ComponentOf(const double* row, int components, int component, const Axes* axes) {
  if (!axes) return row[component];
  if (components == kVectorComponents && component < 3) return Dot(row, axes->e[component]);
  if (components == kTensorComponents && component >= kFirstTensorEntry) {
    const double s[3][3] = {{row[4], row[7], row[9]}, {row[7], row[5], row[8]}, {row[9], row[8], row[6]}};
    static constexpr int kPairs[6][2] = {{0, 0}, {1, 1}, {2, 2}, {0, 1}, {1, 2}, {2, 0}};
    const int a = kPairs[component - kFirstTensorEntry][0], b = kPairs[component - kFirstTensorEntry][1];
    double sum = 0;
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) sum += axes->e[a][i] * s[i][j] * axes->e[b][j];
    return sum;
  }
  return row[component];
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

// The stored range of a colour setting by its range type (2 minimum and maximum, 3 maximum and
// increment, 4 minimum and increment); false for the full range or a stored range that is empty.
bool StoredRange(const FerColorSetting& color, int count, double& minimum, double& maximum) {
  double low = 0, high = 0, increment = 0;
  color.GetRange(low, high, increment);
  switch (color.GetRangeType()) {
    case 2: break;
    case 3: low = high - count * increment; break;
    case 4: high = low + count * increment; break;
    default: return false;
  }
  if (!std::isfinite(low) || !std::isfinite(high) || !(low < high)) return false;
  minimum = low, maximum = high;
  return true;
}

// ---- drawing ----------------------------------------------------------------------------------

class Drawing {
 public:
  Drawing(const FerDispSettings& settings, const FerResultSet& set, FerPicture& picture, double deformFactor = 1.0,
          double materialAllowable = 0.0)
      : settings_(settings),
        set_(set),
        picture_(picture),
        mesh_(*set.Mesh()),
        deformFactor_(deformFactor),
        materialAllowable_(materialAllowable),
        index_(mesh_.nodeIds) {}

  void Draw() {
    Prepare(true);
    ComputeSymbols();
    std::vector<double> fitted = deformed_;
    if (showUndeformed_) fitted.insert(fitted.end(), mesh_.coordinates.begin(), mesh_.coordinates.end());
    for (const FerSymbol& symbol : picture_.symbols) fitted.insert(fitted.end(), symbol.tip, symbol.tip + 3);
    picture_.mapping.Fit(fitted, picture_.image.width - kLegendWidth, picture_.image.height);
    Canvas canvas(picture_.image);
    DrawFaces(canvas);
    DrawLines(canvas);
    DrawSymbols(canvas);
    DrawFrame(canvas);
    picture_.nodesDrawn = mesh_.NumNodes();
  }

  // The outer faces (when asked: a scene's later frames share the first's), the
  // drawn positions and the values and colours, without drawing.
  void Prepare(bool outline) {
    if (outline) outline_ = OuterFacesOf(set_.SharedMesh(), index_);
    subset_ = std::clamp(settings_.GetResultSubSet() - 1, 0, std::max(0, set_.NumSubSets() - 1));
    ComputePositions();
    ComputeColours();
  }
  const Outline& OuterOutline() const { return *outline_; }
  const std::vector<double>& Positions() const { return deformed_; }
  // The positions of `nodes` (x, y, z each) in another swing of the same view: the frame's factor
  // times the scale and displacement this drawing found, as Prepare would place them.
  std::vector<double> PositionsAt(double deformFactor, const std::vector<int>& nodes) const {
    std::vector<double> positions;
    positions.reserve(nodes.size() * 3);
    const double scale = unitScale_ * deformFactor;
    const bool moved = !displacement_[0].empty() && std::isfinite(scale);
    for (int node : nodes) {
      const double* at = &mesh_.coordinates[static_cast<std::size_t>(node) * 3];
      positions.insert(positions.end(), at, at + 3);
      if (moved) Displace(node, scale, &positions[positions.size() - 3]);
    }
    return positions;
  }

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
  const double* Position(int node) const { return &deformed_[static_cast<std::size_t>(node) * 3]; }

  // The index of the node with `id` (-1 when the mesh has none); `position` is where the id stands in
  // the result's list: results usually list the nodes in the mesh's order, which needs no lookup.
  int NodeOfId(long id, std::size_t position) const {
    if (position < mesh_.nodeIds.size() && mesh_.nodeIds[position] == id) return static_cast<int>(position);
    return index_.Find(id);
  }

  // A component of the result's subset at each node (NaN where the result has no value), in the
  // frame's axes when it rotates.
  std::vector<double> NodeValues(const FerResult& result, int component, const ComponentFrame& frame) const {
    std::vector<double> values(static_cast<std::size_t>(mesh_.NumNodes()), kNaN);
    if (subset_ >= result.NumNodalSubsets()) return values;
    const std::vector<long>& ids = result.NodeIds(subset_);
    const std::vector<double>& data = result.NodeValues(subset_);
    const int components = result.NumComponents();
    if (component >= components) return values;
    const bool rotates = frame.Rotates();
    for (std::size_t i = 0; i < ids.size(); ++i) {
      const int node = NodeOfId(ids[i], i);
      if (node < 0) continue;
      const std::size_t at = static_cast<std::size_t>(node);
      if (!rotates) {
        values[at] = ComponentOf(&data[i * components], components, component, nullptr);
        continue;
      }
      const Axes axes = frame.At(&mesh_.coordinates[at * 3]);
      values[at] = ComponentOf(&data[i * components], components, component, &axes);
    }
    return values;
  }

  // A component by element (in element order) from the result's own element values; empty when
  // the result has none for the subset.
  std::vector<double> ElementValues(const FerResult& result, int component, const ComponentFrame& frame) const {
    if (subset_ >= result.NumElementSubsets() || result.ElementIds(subset_).empty()) return {};
    std::unordered_map<long, int> elements;
    for (int e = 0; e < mesh_.NumElements(); ++e) elements.emplace(mesh_.elementIds[e], e);
    std::vector<double> values(static_cast<std::size_t>(mesh_.NumElements()), kNaN);
    const std::vector<long>& ids = result.ElementIds(subset_);
    const std::vector<double>& data = result.ElementValues(subset_);
    const int components = result.NumComponents();
    for (std::size_t i = 0; i < ids.size(); ++i) {
      const auto found = elements.find(ids[i]);
      if (found == elements.end()) continue;
      const Axes axes = frame.At(CentroidOf(found->second, mesh_.coordinates).data());
      values[static_cast<std::size_t>(found->second)] =
          ComponentOf(&data[i * components], components, component, frame.Rotates() ? &axes : nullptr);
    }
    return values;
  }

  // The centroid of an element's corner nodes in `positions`.
  std::array<double, 3> CentroidOf(int element, const std::vector<double>& positions) const {
    std::array<double, 3> centre = {0, 0, 0};
    const std::size_t begin = mesh_.elementStarts[element], end = mesh_.elementStarts[element + 1];
    const int corners = std::min<int>(static_cast<int>(end - begin), CornerCount(mesh_.elementTypes[element]));
    for (int k = 0; k < corners; ++k) {
      const int node = index_.At(mesh_.elementNodes[begin + k]);
      for (int c = 0; c < 3; ++c) centre[c] += positions[static_cast<std::size_t>(node) * 3 + c] / corners;
    }
    return centre;
  }

  static int CornerCount(int type) {
    switch (type) {
      case FerMesh::kHex8:
      case FerMesh::kHex20: return 8;
      case FerMesh::kWedge6:
      case FerMesh::kWedge15: return 6;
      case FerMesh::kTet4:
      case FerMesh::kTet10:
      case FerMesh::kQuad4:
      case FerMesh::kQuad8: return 4;
      case FerMesh::kTri3:
      case FerMesh::kTri6: return 3;
      default: return 2;
    }
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
    const ComponentFrame frame(color);
    NoteFrame(frame);
    const int component = LowestBit(color.GetComponent());
    values_ = NodeValues(*result, component, frame);
    PerElementValues(color, *result, component, frame);
    const bool safety = color.FactorOfSafetyUsed() && result->QuantityType() == FerQtyStress;
    CaeUnitType unit = result->UnitType();
    if (safety) {
      const double allowable = color.FactorOfSafetyUsed() == 2 && materialAllowable_ > 0
                                   ? materialAllowable_
                                   : color.GetFactorOfSafetyValue();
      auto factor = [&](double& v) {
        v = v > 0 ? allowable / v : (v == 0 ? std::numeric_limits<double>::infinity() : v);
      };
      for (double& v : values_) factor(v);
      for (double& v : elementValues_) factor(v);
      legend.quantity = "Factor of Safety";
      unit = CaeUtNone;
    } else {
      legend.quantity = FerQuantityName(result->QuantityType());
      CaeString names[FerResult::kMaxComponents];
      result->GetComponentNames(names, frame.Cylindrical() ? 1 : 0);
      legend.component = names[component].IsEmpty() ? result->CompName(component).Str() : names[component].Str();
      if (errorValues_) legend.component += " error";
    }
    double minimum = 0, maximum = 0;
    if (!DataRange(minimum, maximum)) return;
    // An unstressed point is as safe as the safest one drawn.
    if (safety) {
      for (double& v : values_)
        if (std::isinf(v) && v > 0) v = maximum;
      for (double& v : elementValues_)
        if (std::isinf(v) && v > 0) v = maximum;
    }
    const bool byValue = color.GetMethod() == 4;
    const int count = byValue ? kSmoothSteps : std::clamp(color.GetNumberIntervals(), kMinBands, kMaxBands);
    StoredRange(color, count, minimum, maximum);
    // Bands in native units; the legend tells them in host units.
    bands_ = Bands(minimum, maximum, FerBandColors(color.GetColorStyle(), count));
    banded_ = true;
    auto host = [&](double v) { return unit == CaeUtNone ? v : CaeUnit::NativeToHost(unit, v); };
    legend.banded = !byValue;
    legend.byValue = byValue;
    legend.unit = FerUnitText(unit).Str();
    legend.minimum = host(minimum);
    legend.maximum = host(maximum);
    if (!byValue)
      for (int i = 0; i <= count; ++i) legend.edges.push_back(host(bands_.Edge(i)));
    if (HasShells())
      picture_.notes.push_back("Shell surfaces: the results hold one value per node, the same on top and bottom.");
  }

  // Unaveraged colours take the result's own element values, one colour per element; error
  // values are, per element, the largest difference between the averaged value at one of its
  // corners and the element's own value. Without element values the averaged ones are drawn.
  void PerElementValues(const FerColorSetting& color, const FerResult& result, int component,
                        const ComponentFrame& frame) {
    if (!result.CanAverage() || color.IsAveraged()) return;
    elementValues_ = ElementValues(result, component, frame);
    if (elementValues_.empty()) return;
    errorValues_ = color.IsError() != 0;
    if (!errorValues_) return;
    for (int e = 0; e < mesh_.NumElements(); ++e) {
      const std::size_t begin = mesh_.elementStarts[e];
      const int corners =
          std::min<int>(static_cast<int>(mesh_.elementStarts[e + 1] - begin), CornerCount(mesh_.elementTypes[e]));
      double largest = 0;
      for (int k = 0; k < corners; ++k) {
        const double nodal = values_[static_cast<std::size_t>(index_.At(mesh_.elementNodes[begin + k]))];
        if (std::isfinite(nodal)) largest = std::max(largest, std::fabs(nodal - elementValues_[e]));
      }
      if (std::isfinite(elementValues_[e])) elementValues_[e] = largest;
    }
  }

  // The range of what is drawn: the element values when they are drawn, else the nodal ones.
  bool DataRange(double& minimum, double& maximum) const {
    const std::vector<double>& drawn = elementValues_.empty() ? values_ : elementValues_;
    minimum = std::numeric_limits<double>::infinity(), maximum = -minimum;
    for (double v : drawn)
      if (std::isfinite(v)) minimum = std::min(minimum, v), maximum = std::max(maximum, v);
    return minimum <= maximum;
  }

  bool HasShells() const {
    return std::any_of(mesh_.elementTypes.begin(), mesh_.elementTypes.end(), [](int t) { return IsShell(t); });
  }

  void NoteFrame(const ComponentFrame& frame) {
    if (!frame.Rotates()) return;
    std::string text = std::string("Frame: ") + (frame.Local() ? "Local" : "Global");
    if (frame.Cylindrical()) text += ", cylindrical";
    if (std::find(picture_.notes.begin(), picture_.notes.end(), text) == picture_.notes.end())
      picture_.notes.push_back(text);
    if (frame.Local()) {
      picture_.frameShown = true;
      frameAxes_ = frame.FrameAxes();
    }
  }

  void ComputePositions() {
    deformed_ = mesh_.coordinates;
    const FerDeformedSetting deformed = settings_.GetDeformedSettings();
    const FerResult* displacement =
        set_.FindResult(deformed.GetResult() > 0 ? deformed.GetResult() : static_cast<int>(FerQtyDisplacement));
    if (!deformed.IsVisible() || !displacement || displacement->NumComponents() < 3) return;
    // The magnitude (or no component) moves along the whole vector; x, y or z along that one.
    const int component = LowestBit(deformed.GetComponent());
    const bool oneDirection = deformed.GetComponent() != 0 && component < 3;
    std::vector<double>* u = displacement_;
    const ComponentFrame global(FerDispSetting{});
    for (int k = 0; k < 3; ++k) u[k] = NodeValues(*displacement, k, global);
    if (oneDirection)
      for (int k = 0; k < 3; ++k)
        if (k != component) std::fill(u[k].begin(), u[k].end(), 0.0);
    double largest = 0;
    for (int i = 0; i < mesh_.NumNodes(); ++i)
      if (std::isfinite(u[0][i]) && std::isfinite(u[1][i]) && std::isfinite(u[2][i]))
        largest = std::max(largest, std::sqrt(u[0][i] * u[0][i] + u[1][i] * u[1][i] + u[2][i] * u[2][i]));
    unitScale_ = deformed.GetFactor();
    if (deformed.GetMethod() == FerScalePercent)
      unitScale_ = largest > 0 ? deformed.GetPercent() / 100.0 * ModelSize() / largest : 0.0;
    const double scale = unitScale_ * deformFactor_;
    if (!std::isfinite(scale)) return;
    for (int i = 0; i < mesh_.NumNodes(); ++i) Displace(i, scale, &deformed_[static_cast<std::size_t>(i) * 3]);
    picture_.deformationScale = scale;
    showUndeformed_ = deformed.UndeformedShown() != 0;
    undeformedColor_ = FerColorRgb(deformed.GetUndeformedColor());
  }

  // Moves a node's position (x, y, z at `xyz`) by its displacement times `scale`, each component
  // the displacement has.
  void Displace(int node, double scale, double* xyz) const {
    for (int k = 0; k < 3; ++k)
      if (std::isfinite(displacement_[k][node])) xyz[k] += scale * displacement_[k][node];
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

  // ---- symbols ----

  // Where symbols sit: 1 the nodes of the outer faces, 2 the centroids of the elements that have
  // an outer face, 3 the centroids of the outer faces. Each place with the nodes it averages.
  struct Place {
    double at[3];
    std::vector<int> nodes;
    int element = -1;
  };

  std::vector<Place> Places(int location) const {
    std::vector<Place> places;
    auto centre = [&](const std::vector<int>& nodes) {
      Place place{{0, 0, 0}, nodes, -1};
      for (int n : nodes)
        for (int c = 0; c < 3; ++c) place.at[c] += Position(n)[c] / static_cast<double>(nodes.size());
      return place;
    };
    if (location == 3) {
      for (const Face& f : outline_->faces)
        places.push_back(
            centre(f[3] >= 0 ? std::vector<int>{f[0], f[1], f[2], f[3]} : std::vector<int>{f[0], f[1], f[2]}));
      return places;
    }
    if (location == 2) {
      std::vector<int> elements(outline_->faceElements.begin(), outline_->faceElements.end());
      std::sort(elements.begin(), elements.end());
      elements.erase(std::unique(elements.begin(), elements.end()), elements.end());
      for (int e : elements) {
        const std::size_t begin = mesh_.elementStarts[e];
        std::vector<int> nodes;
        const int corners =
            std::min<int>(static_cast<int>(mesh_.elementStarts[e + 1] - begin), CornerCount(mesh_.elementTypes[e]));
        for (int k = 0; k < corners; ++k) nodes.push_back(index_.At(mesh_.elementNodes[begin + k]));
        Place place = centre(nodes);
        place.element = e;
        places.push_back(place);
      }
      return places;
    }
    std::vector<char> onSurface(static_cast<std::size_t>(mesh_.NumNodes()), 0);
    for (const Face& f : outline_->faces)
      for (int n : f)
        if (n >= 0) onSurface[static_cast<std::size_t>(n)] = 1;
    for (int n = 0; n < mesh_.NumNodes(); ++n)
      if (onSurface[static_cast<std::size_t>(n)]) places.push_back(centre({n}));
    return places;
  }

  void ComputeSymbols() {
    const FerSymbolSetting symbol = settings_.GetSymbolSettings();
    if (!symbol.IsVisible()) return;
    const FerResult* result = set_.FindResult(symbol.GetResult());
    if (!result) return;
    const ComponentFrame frame(symbol);
    NoteFrame(frame);
    const int location =
        symbol.NodalOnly() || symbol.GetLocation() < 1 || symbol.GetLocation() > 3 ? 1 : symbol.GetLocation();
    const int component = LowestBit(symbol.GetComponent());
    const bool vector = result->NumComponents() == kVectorComponents;
    const ComponentFrame global(FerDispSetting{});
    std::vector<double> columns[3];
    const int wanted = vector ? 3 : 1;
    for (int k = 0; k < wanted; ++k) columns[k] = NodeValues(*result, vector ? k : component, vector ? global : frame);
    std::vector<Place> places = Places(location);
    // Each symbol's value: the mean over its place's nodes.
    struct Raw {
      double at[3];
      double v[3];
    };
    std::vector<Raw> raws;
    double largest = 0;
    for (const Place& place : places) {
      Raw raw{{place.at[0], place.at[1], place.at[2]}, {0, 0, 0}};
      bool complete = true;
      for (int k = 0; k < wanted; ++k) {
        double sum = 0;
        for (int n : place.nodes) sum += columns[k][static_cast<std::size_t>(n)];
        raw.v[k] = sum / static_cast<double>(place.nodes.size());
        complete = complete && std::isfinite(raw.v[k]);
      }
      if (!complete) continue;
      if (vector && component < 3) {
        // One component: along that axis of the frame only.
        const Axes axes = frame.At(place.at);
        const double along = Dot(raw.v, axes.e[component]);
        for (int k = 0; k < 3; ++k) raw.v[k] = along * axes.e[component][k];
      }
      const double size = vector ? std::sqrt(Dot(raw.v, raw.v)) : std::fabs(raw.v[0]);
      largest = std::max(largest, size);
      raws.push_back(raw);
    }
    // The largest symbol is the setting's size: a fixed length, or a percentage of the model.
    const double length = symbol.GetMethod() == 0 ? symbol.GetFixedSize() : symbol.GetPercent() / 100.0 * ModelSize();
    if (!(largest > 0) || !(length > 0) || !std::isfinite(length)) return;
    symbolColor_ = FerColorRgb(symbol.GetColor());
    for (const Raw& raw : raws) {
      FerSymbol drawn;
      std::copy(raw.at, raw.at + 3, drawn.at);
      drawn.arrow = vector;
      if (vector) {
        for (int k = 0; k < 3; ++k) drawn.tip[k] = raw.at[k] + raw.v[k] / largest * length;
      } else {
        // A mark: a cross whose half-width grows with the value, in the view's plane.
        drawn.size = std::fabs(raw.v[0]) / largest * length;
        std::copy(raw.at, raw.at + 3, drawn.tip);
      }
      picture_.symbols.push_back(drawn);
    }
    static const char* const kPlaces[] = {"nodes", "centroids", "faces"};
    picture_.notes.push_back("Symbols: " + std::to_string(picture_.symbols.size()) + " at " + kPlaces[location - 1]);
  }

  // ---- painting ----

  void DrawTriangle(Canvas& canvas, int a, int b, int c, double elementValue) const {
    const Point pa = At(deformed_, a), pb = At(deformed_, b), pc = At(deformed_, c);
    if (banded_) {
      const double values[3] = {std::isnan(elementValue) ? values_[a] : elementValue,
                                std::isnan(elementValue) ? values_[b] : elementValue,
                                std::isnan(elementValue) ? values_[c] : elementValue};
      if (!std::isnan(values[0]) && !std::isnan(values[1]) && !std::isnan(values[2])) {
        canvas.Triangle(pa, pb, pc, values, bands_);
        return;
      }
      canvas.Triangle(pa, pb, pc, kNoValue);
      return;
    }
    // The bare mesh, lit from the viewer.
    const double* p = Position(a);
    const double* q = Position(b);
    const double* r = Position(c);
    const double e1[3] = {q[0] - p[0], q[1] - p[1], q[2] - p[2]}, e2[3] = {r[0] - p[0], r[1] - p[1], r[2] - p[2]};
    const double n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
    const double length = std::sqrt(Dot(n, n));
    const double light = length > 0 ? 0.3 + 0.7 * std::fabs(Dot(n, kToward)) / length : 1.0;
    canvas.Triangle(pa, pb, pc, kPlain, light);
  }

  void DrawFaces(Canvas& canvas) const {
    for (std::size_t i = 0; i < outline_->faces.size(); ++i) {
      const Face& f = outline_->faces[i];
      const double elementValue =
          elementValues_.empty() ? kNaN : elementValues_[static_cast<std::size_t>(outline_->faceElements[i])];
      DrawTriangle(canvas, f[0], f[1], f[2], elementValue);
      if (f[3] >= 0) DrawTriangle(canvas, f[0], f[2], f[3], elementValue);
    }
  }

  void DrawLines(Canvas& canvas) const {
    const double bias = 1e-6 + 1.5 / std::max(1e-12, PixelScale());
    const bool edges = settings_.EdgesShown() != 0;
    auto faceEdges = [&](const std::vector<double>& positions, Rgb color, double lift) {
      for (const Face& f : outline_->faces) {
        const int corners = f[3] >= 0 ? 4 : 3;
        for (int k = 0; k < corners; ++k)
          canvas.Line(At(positions, f[k]), At(positions, f[(k + 1) % corners]), color, lift);
      }
    };
    if (showUndeformed_) faceEdges(mesh_.coordinates, undeformedColor_, bias);
    if (edges) faceEdges(deformed_, kEdge, bias);
    for (const auto& s : outline_->segments) canvas.Line(At(deformed_, s[0]), At(deformed_, s[1]), kPlain, bias);
  }

  // Symbols are drawn over the faces: arrows with a head in the view's plane, marks as crosses.
  void DrawSymbols(Canvas& canvas) const {
    const double lift = 1e6;
    for (const FerSymbol& symbol : picture_.symbols) {
      const Point from = picture_.mapping.ToPixel(symbol.at);
      if (!symbol.arrow) {
        const double half = std::max(2.0, symbol.size * PixelScale());
        canvas.Line({from.x - half, from.y - half, from.z}, {from.x + half, from.y + half, from.z}, symbolColor_, lift);
        canvas.Line({from.x - half, from.y + half, from.z}, {from.x + half, from.y - half, from.z}, symbolColor_, lift);
        continue;
      }
      const Point to = picture_.mapping.ToPixel(symbol.tip);
      canvas.Line(from, to, symbolColor_, lift);
      const double dx = to.x - from.x, dy = to.y - from.y, span = std::hypot(dx, dy);
      if (span < 3) continue;
      const double head = std::min(8.0, span / 3), ux = dx / span, uy = dy / span;
      canvas.Line(to, {to.x - head * (ux + 0.5 * uy), to.y - head * (uy - 0.5 * ux), to.z}, symbolColor_, lift);
      canvas.Line(to, {to.x - head * (ux - 0.5 * uy), to.y - head * (uy + 0.5 * ux), to.z}, symbolColor_, lift);
    }
  }

  // The local frame the components are taken in, as a small triad at the lower left: x red, y
  // green, z blue, each axis's direction as the view shows it.
  void DrawFrame(Canvas& canvas) const {
    if (!picture_.frameShown) return;
    const double origin[3] = {0, 0, 0};
    const Point o = picture_.mapping.ToPixel(origin);
    const Point base{kFrameInset, static_cast<double>(picture_.image.height) - kFrameInset, 0};
    static constexpr Rgb kAxisColors[3] = {{230, 40, 40}, {40, 200, 40}, {60, 90, 255}};
    for (int i = 0; i < 3; ++i) {
      const Point tip = picture_.mapping.ToPixel(frameAxes_.e[i]);
      const double dx = tip.x - o.x, dy = tip.y - o.y, span = std::hypot(dx, dy);
      Point end = base;
      if (span > 1e-9) end = {base.x + dx / span * kFrameLength, base.y + dy / span * kFrameLength, 0};
      canvas.Line(base, end, kAxisColors[i], 1e9);
      picture_.frameTips[i] = end;
    }
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
  double materialAllowable_ = 0.0;
  NodeIndex index_;
  std::shared_ptr<const Outline> outline_ = std::make_shared<const Outline>();
  int subset_ = 0;
  std::vector<double> values_;
  std::vector<double> elementValues_;  // by element when element values are drawn
  bool errorValues_ = false;
  std::vector<double> deformed_;
  // The displacement (x, y and z by node; empty when the shape is not deformed) and the scale of
  // a factor of one.
  std::vector<double> displacement_[3];
  double unitScale_ = 0.0;
  Bands bands_;
  bool banded_ = false;
  bool showUndeformed_ = false;
  Rgb undeformedColor_ = kUndeformed;
  Rgb symbolColor_{255, 0, 0};
  Axes frameAxes_{};
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
  if (legend.byValue && !colors.empty()) {
    // A ramp from the maximum at the top to the minimum at the bottom.
    constexpr int kRampHeight = 200;
    y += 6;
    fev_detail::DrawText(image, left + 30, y + 10, Format(legend.maximum), kText);
    for (int dy = 0; dy < kRampHeight; ++dy) {
      const std::size_t i =
          static_cast<std::size_t>((kRampHeight - 1 - dy) * static_cast<int>(colors.size()) / kRampHeight);
      for (int dx = 0; dx < 22; ++dx) image.Set(left + dx, y + dy, colors[i]);
    }
    fev_detail::DrawText(image, left + 30, y + kRampHeight, Format(legend.minimum), kText);
    return;
  }
  if (!legend.banded) return;
  const int count = static_cast<int>(colors.size());
  constexpr int kBox = 16;
  // Half a label's height below the boundary it names: each value sits on the line between the
  // two bands it separates, the maximum on the top of the highest band, the minimum on the bottom
  // of the lowest.
  constexpr int kLabelBaseline = 5;
  y += 6 + kLabelBaseline;
  // Highest band on top; edge i is the bottom of band i.
  for (int i = count - 1; i >= 0; --i, y += kBox) {
    for (int dy = 0; dy < kBox; ++dy)
      for (int dx = 0; dx < 22; ++dx) image.Set(left + dx, y + dy, colors[static_cast<std::size_t>(i)]);
    fev_detail::DrawText(image, left + 30, y + kLabelBaseline, Format(legend.edges[static_cast<std::size_t>(i) + 1]),
                         kText);
  }
  fev_detail::DrawText(image, left + 30, y + kLabelBaseline, Format(legend.edges.front()), kText);
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
  if (legend.byValue)
    lines.push_back("Color by value: Min " + Format(legend.minimum) + "  Max " + Format(legend.maximum));
  if (deformationScale != 0.0) lines.push_back("Deformed x " + Format(deformationScale));
  lines.insert(lines.end(), notes.begin(), notes.end());
  if (!status.empty()) lines.push_back(status);
  return lines;
}

Rgb FerColorRgb(int code) {
  switch (code) {
    case FerBlue: return {0, 0, 255};
    case FerGreen: return {0, 200, 0};
    case FerLightBlue: return {110, 180, 255};
    case FerRed: return {255, 0, 0};
    case FerMagenta: return {255, 0, 255};
    case FerYellow: return {255, 255, 0};
    case FerBrown: return {150, 90, 40};
    default: return {150, 150, 150};  // grey, and any code the display does not know
  }
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
                         int width, int height, double deformFactor, double materialAllowable) {
  FerPicture picture;
  picture.image = Image(width, height, kBackground);
  if (!set) {
    picture.status = missingName.empty() ? "No result set is displayed."
                                         : "The result set \"" + missingName + "\" is not available.";
  } else if (!set->Mesh() || set->Mesh()->NumNodes() == 0) {
    picture.legend.setName = set->Name().Str();
    picture.status = set->DataProblem().empty() ? "The result set has no mesh to draw." : set->DataProblem();
  } else {
    Drawing(settings, *set, picture, deformFactor, materialAllowable).Draw();
  }
  const FerColorSetting color = settings.GetColorSettings();
  const int count =
      picture.legend.byValue ? kSmoothSteps : std::clamp(color.GetNumberIntervals(), kMinBands, kMaxBands);
  DrawLegend(picture, picture.legend.banded || picture.legend.byValue ? FerBandColors(color.GetColorStyle(), count)
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

SceneTopology SceneFaces(const FerMesh& mesh, const Outline& outline) {
  SceneTopology topology;
  std::vector<int> vertexOfNode(static_cast<std::size_t>(mesh.NumNodes()), -1);
  for (const Face& face : outline.faces) {
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

FerScene FerBuildScene(const FerDispSettings& settings, const FerResultSet& set, const std::vector<FerSceneView>& views,
                       double materialAllowable) {
  FerScene scene;
  if (!set.Mesh() || set.Mesh()->NumNodes() == 0 || views.empty()) return scene;
  FerDispSettings firstSettings = settings;
  if (views[0].subset > 0) firstSettings.SetResultSubSet(views[0].subset);
  FerPicture firstPicture;
  Drawing first(firstSettings, set, firstPicture, views[0].deformFactor, materialAllowable);
  first.Prepare(true);
  const SceneTopology topology = SceneFaces(*set.Mesh(), first.OuterOutline());
  scene.faces = topology.faces;
  scene.contoured = first.Banded();
  scene.description = firstPicture.Describe();
  scene.frames.push_back(SceneFrame(first, topology.nodeOfVertex));
  for (std::size_t i = 1; i < views.size(); ++i) {
    // A swing of the first frame's subset has its colours and only moves: the values are not
    // looked up again, and only the scene's vertices are placed.
    if (views[i].subset == views[0].subset) {
      scene.frames.push_back({first.PositionsAt(views[i].deformFactor, topology.nodeOfVertex), scene.frames[0].colors});
      continue;
    }
    FerDispSettings frameSettings = settings;
    if (views[i].subset > 0) frameSettings.SetResultSubSet(views[i].subset);
    FerPicture picture;
    Drawing drawing(frameSettings, set, picture, views[i].deformFactor, materialAllowable);
    drawing.Prepare(false);
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
