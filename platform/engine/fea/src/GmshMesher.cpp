#include "GmshMesher.h"

#include <gmsh.h>
#include <BRepBndLib.hxx>
#include <BRepBuilderAPI_Transform.hxx>
#include <BRepGProp.hxx>
#include <BRep_Tool.hxx>
#include <Bnd_Box.hxx>
#include <GProp_GProps.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Shape.hxx>
#include <gp_Trsf.hxx>

#include <algorithm>
#include <cmath>
#include <limits>
#include <mutex>
#include <regex>
#include <stdexcept>
#include <unordered_map>

namespace fea_detail {
namespace {

std::mutex g_gmshLock;
bool g_gmshStarted = false;

// gmsh element type numbers.
constexpr int kLine2 = 1, kTri3 = 2, kTet4 = 4, kTri6 = 9, kTet10 = 11, kLine3 = 8;

// gmsh numbers the last two mid-edge nodes of a quadratic tetrahedron the other way round from
// the solver: (2,3) then (1,3) against (1,3) then (2,3).
constexpr int kTet10FromGmsh[10] = {0, 1, 2, 3, 4, 5, 6, 7, 9, 8};
constexpr int kTetFaceCorners[4][3] = {{0, 1, 2}, {0, 3, 1}, {1, 3, 2}, {2, 3, 0}};

// Starts gmsh once per process, quietly; the caller holds the lock.
void StartGmsh() {
  if (g_gmshStarted) return;
  gmsh::initialize(0, nullptr, false);
  gmsh::option::setNumber("General.Terminal", 0);
  gmsh::option::setNumber("General.Verbosity", 1);
  g_gmshStarted = true;
}

// Clears gmsh's model whatever happens to the mesh, so the next mesh starts empty.
struct ModelScope {
  ModelScope() {
    gmsh::clear();
    gmsh::logger::start();
    gmsh::model::add("kestrum");
  }
  ~ModelScope() {
    try {
      gmsh::logger::stop();
      gmsh::clear();
    } catch (...) {}
  }
};

struct Measure {
  double centre[3];
  double size;  // length, area or 0 for a vertex
};

Measure OccMeasure(const TopoDS_Shape& sub, int kind) {
  Measure m{{0, 0, 0}, 0};
  if (kind == 0) {
    gp_Pnt p = BRep_Tool::Pnt(TopoDS::Vertex(sub));
    m = {{p.X(), p.Y(), p.Z()}, 0};
    return m;
  }
  GProp_GProps props;
  if (kind == 1)
    BRepGProp::LinearProperties(sub, props);
  else if (kind == 2)
    BRepGProp::SurfaceProperties(sub, props);
  else
    BRepGProp::VolumeProperties(sub, props);
  gp_Pnt c = props.CentreOfMass();
  return {{c.X(), c.Y(), c.Z()}, props.Mass()};
}

Measure GmshMeasure(int dim, int tag) {
  if (dim == 0) {
    double x0, y0, z0, x1, y1, z1;
    gmsh::model::getBoundingBox(0, tag, x0, y0, z0, x1, y1, z1);
    return {{(x0 + x1) / 2, (y0 + y1) / 2, (z0 + z1) / 2}, 0};
  }
  Measure m{{0, 0, 0}, 0};
  gmsh::model::occ::getMass(dim, tag, m.size);
  gmsh::model::occ::getCenterOfMass(dim, tag, m.centre[0], m.centre[1], m.centre[2]);
  return m;
}

double Mismatch(const Measure& a, const Measure& b, double scale) {
  double d = 0;
  for (int i = 0; i < 3; ++i) d += (a.centre[i] - b.centre[i]) * (a.centre[i] - b.centre[i]);
  return std::sqrt(d) / scale + std::fabs(a.size - b.size) / std::max(std::max(a.size, b.size), 1e-300);
}

// gmsh tag -> TopExp index for one kind, by nearest measure; 0 where no sub-shape fits.
std::unordered_map<int, int> MatchEntities(const TopoDS_Shape& shape, int kind, double scale) {
  static const TopAbs_ShapeEnum kTypes[3] = {TopAbs_VERTEX, TopAbs_EDGE, TopAbs_FACE};
  TopTools_IndexedMapOfShape map;
  TopExp::MapShapes(shape, kTypes[kind], map);
  std::vector<Measure> occ;
  for (int i = 1; i <= map.Extent(); ++i) occ.push_back(OccMeasure(map(i), kind));
  std::vector<bool> used(occ.size(), false);
  gmsh::vectorpair entities;
  gmsh::model::getEntities(entities, kind);
  std::unordered_map<int, int> result;
  for (const auto& [dim, tag] : entities) {
    const Measure g = GmshMeasure(dim, tag);
    int best = -1;
    double bestMismatch = 1e-3;
    for (std::size_t i = 0; i < occ.size(); ++i) {
      if (used[i]) continue;
      const double mismatch = Mismatch(g, occ[i], scale);
      if (mismatch < bestMismatch) {
        bestMismatch = mismatch;
        best = static_cast<int>(i);
      }
    }
    if (best >= 0) {
      used[best] = true;
      result[tag] = best + 1;
    }
  }
  return result;
}

// The mesher works in metres (see MeshSettings::metresPerUnit): the shape and every length of the
// settings are scaled on the way in, the nodes (and where an error happened) on the way out.
bool ValidUnit(double metresPerUnit) { return std::isfinite(metresPerUnit) && metresPerUnit > 0.0; }

TopoDS_Shape InMetres(const TopoDS_Shape& shape, double metresPerUnit) {
  if (metresPerUnit == 1.0) return shape;
  gp_Trsf scale;
  scale.SetScale(gp_Pnt(0, 0, 0), metresPerUnit);
  BRepBuilderAPI_Transform scaled(shape, scale, true);
  if (!scaled.IsDone()) throw std::runtime_error("the body cannot be scaled to metres for meshing");
  return scaled.Shape();
}

MeshSettings InMetres(const MeshSettings& given) {
  const double f = given.metresPerUnit;
  MeshSettings s = given;
  s.metresPerUnit = 1.0;
  s.defaultSize *= f;
  s.minSize *= f;
  s.maxSize *= f;
  for (MeshSettings::LocalSize& local : s.localSizes) {
    local.size *= f;
    for (double& x : local.point) x *= f;
  }
  for (std::array<double, 16>& tet : s.sizeField)
    for (double& value : tet) value *= f;  // corners and sizes alike are lengths
  return s;
}

void BackFromMetres(MeshOutcome& out, double metresPerUnit) {
  if (metresPerUnit == 1.0) return;
  for (std::array<double, 3>& node : out.nodes)
    for (double& x : node) x /= metresPerUnit;
}

double Extent(const TopoDS_Shape& shape) {
  Bnd_Box box;
  BRepBndLib::Add(shape, box);
  if (box.IsVoid()) return 0.0;
  double x0, y0, z0, x1, y1, z1;
  box.Get(x0, y0, z0, x1, y1, z1);
  return std::max({x1 - x0, y1 - y0, z1 - z0});
}

void ApplySizes(const MeshSettings& s, double extent) {
  double size = s.defaultSize > 0 ? s.defaultSize : extent / 10.0;
  if (s.maxSize > 0) size = std::min(size, s.maxSize);
  gmsh::option::setNumber("Mesh.MeshSizeMax", size);
  gmsh::option::setNumber("Mesh.MeshSizeMin", s.minSize > 0 ? s.minSize : 0.0);
  gmsh::option::setNumber("Mesh.MeshSizeFromCurvature",
                          s.anglePerElement > 0 ? std::ceil(2 * M_PI / s.anglePerElement) : 0);
  // Imported points carry sizes of their own that would override the default size.
  gmsh::option::setNumber("Mesh.MeshSizeFromPoints", 0);
  gmsh::option::setNumber("Mesh.MeshSizeExtendFromBoundary", 1);
  gmsh::option::setNumber("Mesh.ElementOrder", s.order == 1 ? 1 : 2);
  gmsh::option::setNumber("Mesh.SecondOrderLinear", 0);
  gmsh::option::setNumber("Mesh.Algorithm", 6);
  gmsh::option::setNumber("Mesh.Algorithm3D", 1);
  gmsh::option::setNumber("Mesh.Optimize", 1);
  gmsh::option::setNumber("Mesh.HighOrderOptimize", 0);
}

// Local sizes as gmsh fields: a size near each listed entity or point, growing to the default
// size over a few elements; the smallest size wins.
void ApplyLocalSizes(const MeshSettings& s, const std::unordered_map<int, int> toTag[3], double size) {
  std::vector<double> fields;
  for (const auto& local : s.localSizes) {
    if (!(local.size > 0)) continue;
    int distance = gmsh::model::mesh::field::add("Distance");
    if (local.kind < 0) {
      int point = gmsh::model::occ::addPoint(local.point[0], local.point[1], local.point[2]);
      gmsh::model::occ::synchronize();
      gmsh::model::mesh::field::setNumbers(distance, "PointsList", {static_cast<double>(point)});
    } else {
      int tag = -1;
      for (const auto& [gmshTag, index] : toTag[local.kind])
        if (index == local.index) tag = gmshTag;
      if (tag < 0) continue;
      static const char* kLists[3] = {"PointsList", "CurvesList", "SurfacesList"};
      gmsh::model::mesh::field::setNumbers(distance, kLists[local.kind], {static_cast<double>(tag)});
      if (local.kind > 0) gmsh::model::mesh::field::setNumber(distance, "NumPointsPerCurve", 40);
    }
    int threshold = gmsh::model::mesh::field::add("Threshold");
    gmsh::model::mesh::field::setNumber(threshold, "InField", distance);
    gmsh::model::mesh::field::setNumber(threshold, "SizeMin", local.size);
    gmsh::model::mesh::field::setNumber(threshold, "SizeMax", size);
    gmsh::model::mesh::field::setNumber(threshold, "DistMin", local.size);
    gmsh::model::mesh::field::setNumber(threshold, "DistMax", local.size + 3 * size);
    fields.push_back(threshold);
  }
  if (!s.sizeField.empty()) {
    const int view = gmsh::view::add("sizes");
    std::vector<double> data;
    data.reserve(s.sizeField.size() * 16);
    for (const auto& tet : s.sizeField) data.insert(data.end(), tet.begin(), tet.end());
    gmsh::view::addListData(view, "SS", static_cast<int>(s.sizeField.size()), data);
    const int field = gmsh::model::mesh::field::add("PostView");
    gmsh::model::mesh::field::setNumber(field, "ViewTag", view);
    fields.push_back(field);
  }
  if (fields.empty()) return;
  int minimum = gmsh::model::mesh::field::add("Min");
  gmsh::model::mesh::field::setNumbers(minimum, "FieldsList", fields);
  gmsh::model::mesh::field::setAsBackgroundMesh(minimum);
}

// Where gmsh says it failed ("surface 3", "curve 7", "volume 1"): that entity's centre.
bool LocateError(const std::string& error, std::array<double, 3>& location) {
  static const std::regex kEntity(R"((point|curve|surface|volume)\s+(\d+))", std::regex::icase);
  std::smatch match;
  if (!std::regex_search(error, match, kEntity)) return false;
  std::string word = match[1].str();
  std::transform(word.begin(), word.end(), word.begin(), ::tolower);
  const int dim = word == "point" ? 0 : word == "curve" ? 1 : word == "surface" ? 2 : 3;
  try {
    double x0, y0, z0, x1, y1, z1;
    gmsh::model::getBoundingBox(dim, std::stoi(match[2].str()), x0, y0, z0, x1, y1, z1);
    location = {(x0 + x1) / 2, (y0 + y1) / 2, (z0 + z1) / 2};
    return true;
  } catch (...) {
    return false;
  }
}

std::string LastError() {
  std::string error;
  try {
    gmsh::logger::getLastError(error);
  } catch (...) {}
  if (error.empty()) {
    std::vector<std::string> log;
    gmsh::logger::get(log);
    for (const std::string& line : log)
      if (line.rfind("Error", 0) == 0) error = line;
  }
  return error;
}

class Collector {
 public:
  explicit Collector(MeshOutcome& out) : out_(out) {}

  // Every node of gmsh's mesh, by tag; a body keeps those its elements use.
  void ReadNodes() {
    std::vector<std::size_t> tags;
    std::vector<double> coords, params;
    gmsh::model::mesh::getNodes(tags, coords, params, -1, -1, false, false);
    for (std::size_t i = 0; i < tags.size(); ++i)
      all_[tags[i]] = {static_cast<long>(i), {coords[3 * i], coords[3 * i + 1], coords[3 * i + 2]}};
  }

  // The elements of the given volumes (or surfaces, for shells); -1 alone: all of them. With
  // `joined`, nodes keep their number in the whole mesh so that bodies share them.
  void ReadElements(bool shell, bool quadratic, const std::vector<int>& entities, bool joined) {
    const int type = shell ? (quadratic ? kTri6 : kTri3) : (quadratic ? kTet10 : kTet4);
    const int count = shell ? (quadratic ? 6 : 3) : (quadratic ? 10 : 4);
    out_.nodesPerElement = count;
    for (int entity : entities) {
      std::vector<std::size_t> tags, nodeTags;
      gmsh::model::mesh::getElementsByType(type, tags, nodeTags, entity);
      for (std::size_t e = 0; e < tags.size(); ++e)
        for (int k = 0; k < count; ++k) {
          const int from = shell ? k : (quadratic ? kTet10FromGmsh[k] : k);
          out_.connectivity.push_back(Local(nodeTags[e * count + from], joined));
        }
    }
    if (!shell) IndexTetFaces();
  }

  void ReadShapes(const std::unordered_map<int, int> toIndex[3], bool shell, bool quadratic) {
    for (int kind = 0; kind < 3; ++kind)
      for (const auto& [tag, index] : toIndex[kind]) {
        std::vector<std::size_t> tags;
        std::vector<double> coords, params;
        gmsh::model::mesh::getNodes(tags, coords, params, kind, tag, true, false);
        std::vector<int>& list = out_.nodesOnShape[{kind, index}];
        for (std::size_t t : tags) {
          auto found = index_.find(t);
          if (found != index_.end()) list.push_back(found->second);
        }
        std::sort(list.begin(), list.end());
        list.erase(std::unique(list.begin(), list.end()), list.end());
        if (kind == 1) ReadSegments(tag, index, quadratic);
        if (kind == 2) ReadFaces(tag, index, shell, quadratic);
      }
  }

 private:
  using Key = std::array<int, 3>;
  struct KeyHash {
    std::size_t operator()(const Key& k) const {
      return (static_cast<std::size_t>(k[0]) * 73856093u) ^ (static_cast<std::size_t>(k[1]) * 19349663u) ^
             (static_cast<std::size_t>(k[2]) * 83492791u);
    }
  };
  static Key Sorted(int a, int b, int c) {
    Key k{a, b, c};
    std::sort(k.begin(), k.end());
    return k;
  }

  void IndexTetFaces() {
    const int n = out_.nodesPerElement;
    for (int e = 0; e < out_.NumElements(); ++e)
      for (int f = 0; f < 4; ++f) {
        const int* c = &out_.connectivity[e * n];
        tetFaces_[Sorted(c[kTetFaceCorners[f][0]], c[kTetFaceCorners[f][1]], c[kTetFaceCorners[f][2]])] = {e, f};
      }
  }

  void ReadSegments(int tag, int index, bool quadratic) {
    std::vector<std::size_t> tags, nodeTags;
    const int count = quadratic ? 3 : 2;
    gmsh::model::mesh::getElementsByType(quadratic ? kLine3 : kLine2, tags, nodeTags, tag);
    auto& segments = out_.segmentsOnEdge[index];
    for (std::size_t s = 0; s < tags.size(); ++s) {
      std::vector<int> segment;
      for (int k = 0; k < count; ++k) segment.push_back(index_.at(nodeTags[s * count + k]));
      segments.push_back(std::move(segment));
    }
  }

  void ReadFaces(int tag, int index, bool shell, bool quadratic) {
    std::vector<std::size_t> tags, nodeTags;
    const int count = quadratic ? 6 : 3;
    gmsh::model::mesh::getElementsByType(quadratic ? kTri6 : kTri3, tags, nodeTags, tag);
    auto& faces = out_.facesOnFace[index];
    for (std::size_t t = 0; t < tags.size(); ++t) {
      const int a = index_.at(nodeTags[t * count]), b = index_.at(nodeTags[t * count + 1]),
                c = index_.at(nodeTags[t * count + 2]);
      if (shell) {
        faces.push_back({ShellElement(a, b, c), 0});
        continue;
      }
      auto found = tetFaces_.find(Sorted(a, b, c));
      if (found != tetFaces_.end()) faces.push_back(found->second);
    }
  }

  // Shell elements are the surface triangles themselves; find the one with these corners.
  int ShellElement(int a, int b, int c) {
    if (shellIndex_.empty()) {
      const int n = out_.nodesPerElement;
      for (int e = 0; e < out_.NumElements(); ++e) {
        const int* k = &out_.connectivity[e * n];
        shellIndex_[Sorted(k[0], k[1], k[2])] = e;
      }
    }
    return shellIndex_.at(Sorted(a, b, c));
  }

  int Local(std::size_t tag, bool joined) {
    auto found = index_.find(tag);
    if (found != index_.end()) return found->second;
    const auto& [number, at] = all_.at(tag);
    const int local = static_cast<int>(out_.nodes.size());
    out_.nodes.push_back(at);
    if (joined) out_.nodeNumbers.push_back(number + 1);
    index_[tag] = local;
    return local;
  }

  MeshOutcome& out_;
  std::unordered_map<std::size_t, std::pair<long, std::array<double, 3>>> all_;
  std::unordered_map<std::size_t, int> index_;
  std::unordered_map<Key, ElemFace, KeyHash> tetFaces_;
  std::unordered_map<Key, int, KeyHash> shellIndex_;
};

void Generate(const TopoDS_Shape& shape, const MeshSettings& settings, MeshOutcome& out) {
  gmsh::vectorpair imported;
  gmsh::model::occ::importShapesNativePointer(&shape, imported, false);
  gmsh::model::occ::synchronize();
  const double extent = Extent(shape);
  std::unordered_map<int, int> toIndex[3];
  for (int kind = 0; kind < 3; ++kind) toIndex[kind] = MatchEntities(shape, kind, std::max(extent, 1e-300));
  ApplySizes(settings, extent);
  double size = 0;
  gmsh::option::getNumber("Mesh.MeshSizeMax", size);
  ApplyLocalSizes(settings, toIndex, size);
  gmsh::model::mesh::generate(settings.shell ? 2 : 3);
  Collector collect(out);
  collect.ReadNodes();
  collect.ReadElements(settings.shell, settings.order != 1, {-1}, false);
  collect.ReadShapes(toIndex, settings.shell, settings.order != 1);
  out.ok = out.NumElements() > 0;
}

// Several solids fused into one conforming mesh; each outcome holds one body's part of it.
void GenerateJoined(const std::vector<TopoDS_Shape>& shapes, const MeshSettings& settings,
                    std::vector<MeshOutcome>& outs) {
  gmsh::vectorpair all;
  std::vector<gmsh::vectorpair> volumes(shapes.size());
  double extent = 0;
  for (std::size_t i = 0; i < shapes.size(); ++i) {
    gmsh::model::occ::importShapesNativePointer(&shapes[i], volumes[i], true);
    all.insert(all.end(), volumes[i].begin(), volumes[i].end());
    extent = std::max(extent, Extent(shapes[i]));
  }
  gmsh::vectorpair fused;
  std::vector<gmsh::vectorpair> pieces;
  gmsh::model::occ::fragment(gmsh::vectorpair(all.begin(), all.begin() + 1),
                             gmsh::vectorpair(all.begin() + 1, all.end()), fused, pieces);
  gmsh::model::occ::synchronize();
  ApplySizes(settings, extent);
  gmsh::model::mesh::generate(3);
  // `pieces` follows the order of the input entities: the first body's volumes, then the rest.
  std::size_t input = 0;
  for (std::size_t i = 0; i < shapes.size(); ++i) {
    std::vector<int> mine;
    for (std::size_t v = 0; v < volumes[i].size(); ++v, ++input)
      for (const auto& [dim, tag] : pieces.at(input))
        if (dim == 3) mine.push_back(tag);
    std::unordered_map<int, int> toIndex[3];
    for (int kind = 0; kind < 3; ++kind) toIndex[kind] = MatchEntities(shapes[i], kind, std::max(extent, 1e-300));
    Collector collect(outs[i]);
    collect.ReadNodes();
    collect.ReadElements(false, settings.order != 1, mine, true);
    collect.ReadShapes(toIndex, false, settings.order != 1);
    outs[i].ok = outs[i].NumElements() > 0;
  }
}

}  // namespace

std::vector<MeshOutcome> MeshShapesJoined(const std::vector<TopoDS_Shape>& shapes, const MeshSettings& settings) {
  std::lock_guard<std::mutex> lock(g_gmshLock);
  std::vector<MeshOutcome> outs(shapes.size());
  std::string error;
  for (const TopoDS_Shape& shape : shapes)
    if (shape.IsNull()) error = "a body has no geometry";
  if (shapes.size() < 2) error = "joining needs two bodies or more";
  if (!ValidUnit(settings.metresPerUnit)) error = "the length unit is not a positive number of metres";
  if (error.empty()) {
    StartGmsh();
    ModelScope scope;
    try {
      std::vector<TopoDS_Shape> inMetres;
      for (const TopoDS_Shape& shape : shapes) inMetres.push_back(InMetres(shape, settings.metresPerUnit));
      GenerateJoined(inMetres, InMetres(settings), outs);
      for (MeshOutcome& out : outs) BackFromMetres(out, settings.metresPerUnit);
      for (const MeshOutcome& out : outs)
        if (!out.ok) error = LastError().empty() ? std::string("a body got no tetrahedra") : LastError();
    } catch (const std::exception& e) {
      error = LastError().empty() ? std::string(e.what()) : LastError();
    } catch (...) {
      error = LastError().empty() ? std::string("the mesher failed") : LastError();
    }
  }
  if (!error.empty()) {
    outs.assign(shapes.size(), MeshOutcome());
    for (MeshOutcome& out : outs) out.error = error;
  }
  return outs;
}

MeshOutcome MeshShape(const TopoDS_Shape& shape, const MeshSettings& settings) {
  std::lock_guard<std::mutex> lock(g_gmshLock);
  MeshOutcome out;
  if (shape.IsNull()) {
    out.error = "the body has no geometry";
    return out;
  }
  if (!ValidUnit(settings.metresPerUnit)) {
    out.error = "the length unit is not a positive number of metres";
    return out;
  }
  StartGmsh();
  ModelScope scope;
  try {
    Generate(InMetres(shape, settings.metresPerUnit), InMetres(settings), out);
    BackFromMetres(out, settings.metresPerUnit);
    if (!out.ok) out.error = LastError();
    if (!out.ok && out.error.empty()) out.error = settings.shell ? "no triangles were made" : "no tetrahedra were made";
  } catch (const std::exception& e) {
    out.ok = false;
    out.error = LastError();
    if (out.error.empty()) out.error = e.what();
  } catch (...) {
    out.ok = false;
    out.error = LastError();
    if (out.error.empty()) out.error = "the mesher failed";
  }
  if (!out.ok) {
    if (LocateError(out.error, out.errorLocation))
      for (double& x : out.errorLocation) x /= settings.metresPerUnit;
    out.nodes.clear();
    out.connectivity.clear();
    out.nodesOnShape.clear();
    out.facesOnFace.clear();
    out.segmentsOnEdge.clear();
  }
  return out;
}

}  // namespace fea_detail
