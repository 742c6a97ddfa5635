#include "Study.h"

#include <sys/resource.h>
#include <BRepAlgoAPI_Cut.hxx>
#include <BRepBndLib.hxx>
#include <BRepBuilderAPI_Transform.hxx>
#include <BRepGProp.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <BRep_Tool.hxx>
#include <Bnd_Box.hxx>
#include <GProp_GProps.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS.hxx>
#include <gp_Ax2.hxx>
#include <gp_Trsf.hxx>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <cmath>
#include <fstream>
#include <functional>
#include <iomanip>
#include <limits>
#include <memory>
#include <ostream>
#include <set>
#include <sstream>
#include <thread>

#include "Design.h"
#include "FaceSelect.h"
#include "ShapeRefs.h"
#include "amg/CaeMaterial.h"
#include "amg/CaeMsgCall.h"
#include "fea/AmgMesh.h"
#include "fea/AnlJob.h"
#include "fea/AnlModel.h"
#include "fea/AnlResltCase.h"
#include "fea/AnlWriter.h"
#include "fea/AttCodes.h"
#include "fea/AttLbc.h"
#include "fea/AttLbcCase.h"
#include "fea/AttLbcDescript.h"
#include "fea/CaeFunc.h"
#include "fea/FerResult.h"
#include "fea/FrdReader.h"
#include "kestrum/text.h"
#include "mcadkernel/error.h"
#include "mcadkernel/part.h"
#include "mcadkernel/partfile.h"

namespace study {

namespace {

// A "#" at the start of a line or after a blank starts a comment; inside a word it is part of it
// (a split face's name, "plate/top#2").
std::vector<std::string> Words(std::string_view line) {
  std::size_t comment = line.find('#');
  while (comment != std::string_view::npos && comment > 0 && line[comment - 1] != ' ' && line[comment - 1] != '\t')
    comment = line.find('#', comment + 1);
  std::istringstream in{std::string(kestrum::Trim(line.substr(0, comment)))};
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

// One number; false with the reason when it is not a number or not finite ("nan", "inf").
bool Number(const std::string& text, double& value, std::string& why, const std::string& what) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return why = "expected " + what, false;
  if (!std::isfinite(value)) return why = "\"" + text + "\" is not a finite number", false;
  return true;
}

// Exactly `count` numbers from words[first...] to the end of the line.
bool Numbers(const std::vector<std::string>& words, std::size_t first, std::size_t count, std::vector<double>& out,
             std::string& why, const std::string& what) {
  if (words.size() != first + count) return why = "expected " + what, false;
  out.assign(count, 0.0);
  for (std::size_t i = 0; i < count; ++i)
    if (!Number(words[first + i], out[i], why, what)) return false;
  return true;
}

// A whole number in [low, high].
bool Count(const std::string& text, int low, int high, int& value) {
  double v = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(v)) return false;
  if (v < low || v > high || v != std::floor(v)) return false;
  value = static_cast<int>(v);
  return true;
}

// A face index, an extreme selector, "curved" or a face name; indexes are bounded here.
bool Faces(const std::string& faces, std::string& why) {
  if (faces.find('/') != std::string::npos) return true;
  const auto numeric = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '+'; };
  if (!faces.empty() && std::all_of(faces.begin(), faces.end(), numeric)) {
    int index = 0;
    if (Count(faces, 1, kMaxFaceIndex, index)) return true;
    return why = "a face index is a whole number from 1 to " + std::to_string(kMaxFaceIndex) + ", not " + faces, false;
  }
  if (IsShapeSelector(faces)) return true;
  return why = "faces are an index, x=min ... z=max, curved or a part's face name, not \"" + faces + "\"", false;
}

struct Statement {
  const char* keyword;
  std::size_t values;  // numbers after the faces
  const char* what;    // the numbers, for messages
};

constexpr Statement kConditions[] = {
    {"restrain", 0, ""},
    {"force", 3, "3 numbers after the faces (N)"},
    {"pressure", 1, "1 number after the faces (Pa)"},
    {"displacement", 3, "3 numbers after the faces (m)"},
    {"temperature", 1, "1 number after the faces (K)"},
    {"flux", 1, "1 number after the faces (W/m²)"},
    {"convection", 2, "2 numbers after the faces (W/(m²·K), K)"},
    {"refine", 1, "1 number after the faces (m)"},
};

bool ParseCondition(const std::vector<std::string>& w, int line, Description& description, std::string& why) {
  for (const Statement& s : kConditions) {
    if (w[0] != s.keyword) continue;
    Condition c;
    c.kind = w[0];
    c.line = line;
    if (w.size() < 2) return why = "which faces?", false;
    c.faces = w[1];
    if (!Faces(c.faces, why)) return false;
    if (c.kind == "restrain") {
      if (w.size() > 2 && w[2] != "free") return why = "expected \"free\" and directions", false;
      for (std::size_t i = 3; i < w.size(); ++i) {
        if (w[i].size() != 1 || w[i][0] < 'x' || w[i][0] > 'z') return why = "directions are x, y and z", false;
        c.free[w[i][0] - 'x'] = 1;
      }
    } else if (!Numbers(w, 2, s.values, c.values, why, s.what)) {
      return false;
    }
    if ((c.kind == "temperature" && !(c.values[0] > 0)) || (c.kind == "convection" && !(c.values[1] > 0)))
      return why = "temperatures are in kelvin, above 0", false;
    if (c.kind == "convection" && !(c.values[0] > 0)) return why = "the film coefficient must be positive", false;
    if (c.kind == "refine" && !(c.values[0] > 0)) return why = "the element size must be positive", false;
    description.conditions.push_back(c);
    return true;
  }
  return why = "unknown statement \"" + w[0] + "\"", false;
}

bool ParseMaterial(const std::vector<std::string>& w, Description& description, std::string& why) {
  if (w.size() != 5 && w.size() != 8) return why = "expected a name and 3 or 6 values", false;
  std::vector<double> v;
  if (!Numbers(w, 2, w.size() - 2, v, why, "material values as numbers")) return false;
  if (!(v[0] > 0)) return why = "Young's modulus must be positive", false;
  if (!(v[1] > -1 && v[1] < 0.5)) return why = "Poisson's ratio lies between -1 and 0.5", false;
  if (!(v[2] > 0)) return why = "the density must be positive", false;
  if (v.size() == 6 && !(v[3] > 0 && v[5] > 0)) return why = "conductivity and specific heat must be positive", false;
  description.materialName = w[1];
  description.material = v;
  return true;
}

// The statements of a shape optimisation: optimise, variable, objective, constraint.
bool ParseOptimisation(const std::vector<std::string>& w, int line, Description& description, std::string& why) {
  const std::string& key = w[0];
  if (key == "optimise") {
    if (w.size() < 2 || w.size() > 3 || (w[1] != "shape" && w[1] != "concept"))
      return why = "expected \"optimise shape|concept [CYCLES]\"", false;
    const int most = w[1] == "shape" ? kMaxDesignCycles : kMaxConceptCycles;
    if (w[1] == "concept") description.maxCycles = 40;
    if (w.size() == 3 && !Count(w[2], 1, most, description.maxCycles))
      return why = "design cycles are a whole number from 1 to " + std::to_string(most), false;
    description.optimise = w[1];
    description.optimiseLine = line;
    return true;
  }
  if (key == "variable") {
    DesignVariable v;
    std::vector<double> bounds;
    if (w.size() < 2 || !Numbers(w, 2, 2, bounds, why, "a parameter name and two bounds")) return false;
    if (!(bounds[0] < bounds[1])) return why = "the lower bound must lie below the upper", false;
    for (const DesignVariable& other : description.variables)
      if (other.name == w[1])
        return why = "\"" + w[1] + "\" is already a variable (line " + std::to_string(other.line) + ")", false;
    v.name = w[1];
    v.lower = bounds[0];
    v.upper = bounds[1];
    v.line = line;
    description.variables.push_back(v);
    return true;
  }
  if (key == "target" || key == "filter") {
    std::vector<double> value;
    if (!Numbers(w, 1, 1, value, why, "1 number")) return false;
    if (key == "target" && !(value[0] > 0 && value[0] <= 1)) return why = "the target is a fraction in (0, 1]", false;
    if (key == "filter" && !(value[0] > 0)) return why = "the filter radius must be positive", false;
    (key == "target" ? description.targetFraction : description.filterRadius) = value[0];
    return true;
  }
  if (key == "method") {
    if (w.size() != 2 || (w[1] != "simp" && w[1] != "beso")) return why = "the method is simp or beso", false;
    description.method = w[1] == "beso" ? OptConceptMethod::Beso : OptConceptMethod::Simp;
    return true;
  }
  if (key == "freeze") {
    if (w.size() != 2) return why = "which faces?", false;
    if (!Faces(w[1], why)) return false;
    description.frozenFaces.push_back(w[1]);
    return true;
  }
  if (key == "objective") {
    if (w.size() != 2 || (w[1] != "mass" && w[1] != "volume")) return why = "the objective is mass or volume", false;
    description.objective = w[1];
    return true;
  }
  DesignConstraint c;
  if (w.size() < 2 || (w[1] != "stress" && w[1] != "displacement"))
    return why = "a constraint is on stress or displacement", false;
  c.response = w[1];
  if (w.size() < 3) return why = "which faces?", false;
  c.faces = w[2];
  if (!Faces(c.faces, why)) return false;
  std::vector<double> limit;
  if (!Numbers(w, 3, 1, limit, why, "1 limit after the faces")) return false;
  if (!(limit[0] >= kSmallestLimit)) return why = "the limit must be at least 1e-10", false;
  c.limit = limit[0];
  c.line = line;
  description.designConstraints.push_back(c);
  return true;
}

bool ParseLine(const std::vector<std::string>& w, int line, Description& description, std::string& why) {
  const std::string& key = w[0];
  if (key == "optimise" || key == "variable" || key == "objective" || key == "constraint" || key == "target" ||
      key == "filter" || key == "freeze" || key == "method")
    return ParseOptimisation(w, line, description, why);
  if (key == "geometry" || key == "part") {
    if (description.shapeLine > 0)
      return why = "a second geometry or part (the first is on line " + std::to_string(description.shapeLine) + ")",
             false;
    description.shapeLine = line;
  }
  if (key == "geometry") {
    static const std::pair<const char*, std::size_t> kShapes[] = {{"box", 3}, {"cylinder", 2}, {"plate-with-hole", 4}};
    for (auto [name, count] : kShapes)
      if (w.size() > 1 && w[1] == name) {
        description.geometry = name;
        if (!Numbers(w, 2, count, description.dimensions, why, std::to_string(count) + " dimensions (m)")) return false;
        for (double d : description.dimensions)
          if (!(d > 0)) return why = "dimensions must be positive", false;
        const auto& d = description.dimensions;
        if (count == 4 && !(2 * d[3] < std::min(d[0], d[1]))) return why = "the hole must lie inside the plate", false;
        return true;
      }
    return why = "geometry is box, cylinder or plate-with-hole", false;
  }
  if (key == "part") {
    if (w.size() < 2 || w.size() > 3) return why = "expected a part file and an optional unit", false;
    static const std::pair<const char*, double> kUnits[] = {{"mm", 0.001}, {"cm", 0.01}, {"m", 1.0}};
    description.partFile = w[1];
    description.partUnit = 0;
    for (auto [name, metres] : kUnits)
      if (w.size() == 2 ? std::string(name) == "mm" : w[2] == name) description.partUnit = metres;
    if (description.partUnit == 0) return why = "the part's unit is mm, cm or m", false;
    return true;
  }
  if (key == "adapt") {
    const std::string what = "a positive target error (percent) and an optional number of passes";
    if (w.size() < 2 || w.size() > 3) return why = "expected " + what, false;
    double target = 0;
    if (!Number(w[1], target, why, what)) return false;
    if (!(target > 0 && target < 100)) return why = "expected " + what, false;
    description.adaptTarget = target;
    if (w.size() == 3 && !Count(w[2], 1, kMaxAdaptPasses, description.adaptIterations))
      return why = "passes are a whole number from 1 to " + std::to_string(kMaxAdaptPasses), false;
    description.adaptLine = line;
    return true;
  }
  if (key == "material") return ParseMaterial(w, description, why);
  if (key == "analysis") {
    if (w.size() == 2 && (w[1] == "static" || w[1] == "frequency" || w[1] == "buckling" || w[1] == "heat")) {
      description.analysis = w[1];
      return true;
    }
    return why = "analysis is static, frequency, buckling or heat", false;
  }
  if (key == "mesh") {
    const std::string what = "a positive size (m), an optional order and \"curvature off\"";
    std::vector<std::string> words = w;
    if (words.size() >= 3 && words[words.size() - 2] == "curvature") {
      if (words.back() != "off") return why = "curvature can only be turned off", false;
      description.curvatureScaling = false;
      words.resize(words.size() - 2);
    }
    if (words.size() < 2 || words.size() > 3) return why = "expected " + what, false;
    double size = 0;
    if (!Number(words[1], size, why, what)) return false;
    if (!(size > 0)) return why = "expected " + what, false;
    description.meshSize = size;
    description.meshLine = line;
    if (words.size() == 3) {
      if (words[2] != "linear" && words[2] != "quadratic") return why = "order is linear or quadratic", false;
      description.order = words[2] == "linear" ? 1 : 2;
    }
    return true;
  }
  if (key == "modes") {
    if (w.size() != 2 || !Count(w[1], 1, kMaxModes, description.modes))
      return why = "modes are a whole number from 1 to " + std::to_string(kMaxModes), false;
    return true;
  }
  if (key == "gravity") {
    std::vector<double> g;
    if (!Numbers(w, 1, 3, g, why, "3 numbers (m/s²)")) return false;
    std::copy(g.begin(), g.end(), description.gravity);
    description.hasGravity = true;
    return true;
  }
  return ParseCondition(w, line, description, why);
}

}  // namespace

kestrum::Result<Description> ParseStudy(std::string_view text, const std::filesystem::path& file) {
  auto problem = [&file](std::string message, int line) {
    kestrum::Problem p;
    p.message = std::move(message);
    p.file = file.string();
    p.line = line;
    return p;
  };
  Description parsed;
  parsed.file = file.string();
  int number = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    ++number;
    const std::vector<std::string> words = Words(line);
    if (words.empty()) continue;
    std::string why;
    if (!ParseLine(words, number, parsed, why)) return problem(why, number);
  }
  if (parsed.geometry.empty() && parsed.partFile.empty()) return problem("no geometry or part was given", 0);
  if (parsed.adaptTarget > 0 && parsed.analysis != "static")
    return problem("only a static analysis adapts its mesh", parsed.adaptLine);
  if (parsed.partFile.is_relative() && !parsed.partFile.empty()) parsed.partFile = file.parent_path() / parsed.partFile;
  if (parsed.material.empty()) return problem("no material was given", 0);
  if (!(parsed.meshSize > 0)) return problem("no mesh size was given", 0);
  const bool designs = !parsed.variables.empty() || !parsed.designConstraints.empty();
  if (designs && parsed.optimise.empty())
    return problem("variables and constraints need \"optimise shape\"",
                   parsed.variables.empty() ? parsed.designConstraints.front().line : parsed.variables.front().line);
  if (parsed.optimise == "concept") {
    if (designs) return problem("a Concept optimisation has no variables or constraints", parsed.optimiseLine);
    if (parsed.analysis != "static" || parsed.adaptTarget > 0)
      return problem("a Concept optimisation runs static analyses without adaptation", parsed.optimiseLine);
  } else if (!parsed.optimise.empty()) {
    if (parsed.partFile.empty())
      return problem("a shape optimisation varies a part's parameters: give a part", parsed.optimiseLine);
    if (parsed.variables.empty()) return problem("a shape optimisation needs a variable", parsed.optimiseLine);
    if (parsed.analysis != "static" || parsed.adaptTarget > 0)
      return problem("a shape optimisation runs static analyses without adaptation", parsed.optimiseLine);
  }
  return parsed;
}

namespace {

kestrum::Problem ProblemAt(const Description& description, std::string message, int line = 0) {
  kestrum::Problem p;
  p.message = std::move(message);
  p.file = description.file;
  p.line = line;
  return p;
}

TopoDS_Shape MakeShape(const Description& description) {
  const auto& d = description.dimensions;
  if (description.geometry == "cylinder") return BRepPrimAPI_MakeCylinder(d[0], d[1]).Shape();
  TopoDS_Shape box = BRepPrimAPI_MakeBox(d[0], d[1], d[2]).Shape();
  if (description.geometry == "box") return box;
  gp_Ax2 axis(gp_Pnt(d[0] / 2, d[1] / 2, -d[2]), gp::DZ());
  TopoDS_Shape hole = BRepPrimAPI_MakeCylinder(axis, d[3], 3 * d[2]).Shape();
  return BRepAlgoAPI_Cut(box, hole).Shape();
}

// The study's solid: a shape built from a geometry statement, or a part read from its file and
// scaled to metres, whose persistent face names then select faces.
class Geometry {
 public:
  // `values` set parameters of the part (in one rebuild; a refused one is the reason).
  bool Load(const Description& description, std::string& why,
            const std::vector<std::pair<std::string, double>>& values = {}) {
    if (description.partFile.empty()) {
      shape_ = MakeShape(description);
      return true;
    }
    try {
      part_ = mcadkernel::readPartFile(description.partFile);
    } catch (const std::exception& e) {
      return why = e.what(), false;
    }
    if (!values.empty()) {
      try {
        part_->setParameterValues(values);
      } catch (const std::exception& e) {
        return why = std::string("the part could not be rebuilt: ") + e.what(), false;
      }
    }
    gp_Trsf scale;
    scale.SetScale(gp_Pnt(0, 0, 0), description.partUnit);
    scaled_ = std::make_unique<BRepBuilderAPI_Transform>(part_->shape(), scale, true);
    if (!scaled_->IsDone()) return why = "the part's solid cannot be scaled", false;
    shape_ = scaled_->Shape();
    return true;
  }

  const TopoDS_Shape& Shape() const { return shape_; }
  // A parameter of the part: false when the part has none of that name.
  bool Parameter(const std::string& name, double& value) const {
    if (!part_ || !part_->parameters().contains(name)) return false;
    value = part_->parameters().value(name);
    return true;
  }

  // The faces (TopExp indexes of Shape()) a persistent name selects: the face of that name, or the
  // pieces "NAME#1", "NAME#2" ... of a face that a later feature split. The host prints names with
  // the part's name in front ("bracket/mount/side"); that prefix may be given or left out.
  std::vector<int> Named(const std::string& name, std::string& why) const {
    std::vector<int> faces;
    if (!part_) return why = "faces are named only on a part (\"" + name + "\")", faces;
    std::vector<std::string> names = Resolve(name);
    const std::string prefix = part_->name() + "/";
    if (names.empty() && name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0)
      names = Resolve(name.substr(prefix.size()));
    if (names.empty()) return why = "the part has no face named \"" + name + "\"", faces;
    TopTools_IndexedMapOfShape map;
    TopExp::MapShapes(shape_, TopAbs_FACE, map);
    for (const std::string& n : names) {
      const TopoDS_Shape original = part_->resolve(n);
      if (original.ShapeType() != TopAbs_FACE) return why = "\"" + name + "\" is not a face", std::vector<int>();
      const int index = map.FindIndex(scaled_->ModifiedShape(original));
      if (index > 0) faces.push_back(index);
    }
    if (faces.empty()) why = "the face \"" + name + "\" is not on the part's solid";
    return faces;
  }

 private:
  // The part's names `name` stands for: itself, or the pieces of a split face.
  std::vector<std::string> Resolve(const std::string& name) const {
    std::vector<std::string> names;
    if (!part_->resolve(name).IsNull())
      names.push_back(name);
    else
      for (const std::string& n : part_->faceNames())
        if (n.rfind(name + "#", 0) == 0) names.push_back(n);
    return names;
  }

  TopoDS_Shape shape_;
  std::unique_ptr<mcadkernel::Part> part_;
  std::unique_ptr<BRepBuilderAPI_Transform> scaled_;
};

// The face indexes a selector names: an index, "x=min" ... "z=max", "curved", or a part's face name.
std::vector<int> Select(const std::string& selector, const Geometry& geometry, std::string& why) {
  if (selector.find('/') != std::string::npos) return geometry.Named(selector, why);
  kestrum::Result<std::vector<int>> faces = SelectFaces(geometry.Shape(), selector);
  if (!faces) return why = faces.problem().message, std::vector<int>();
  return std::move(faces).value();
}

// Tetrahedra per cube of the element size: a regular tetrahedron fills h³/(6√2).
constexpr double kTetrahedraPerCube = 8.5;

// About how many elements meshing `shape` with the study's sizes makes; the refined faces add a
// few layers of their smaller elements.
double EstimatedElements(const Description& description, const Geometry& geometry) {
  GProp_GProps volume;
  BRepGProp::VolumeProperties(geometry.Shape(), volume);
  double elements = kTetrahedraPerCube * std::fabs(volume.Mass()) / std::pow(description.meshSize, 3);
  for (const Condition& c : description.conditions) {
    if (c.kind != "refine" || !(c.values[0] < description.meshSize)) continue;
    std::string ignored;
    TopTools_IndexedMapOfShape map;
    TopExp::MapShapes(geometry.Shape(), TopAbs_FACE, map);
    for (int face : Select(c.faces, geometry, ignored)) {
      GProp_GProps area;
      BRepGProp::SurfaceProperties(map(face), area);
      elements += 3 * kTetrahedraPerCube * area.Mass() / std::pow(c.values[0], 2);
    }
  }
  return elements;
}

double Diagonal(const TopoDS_Shape& shape) {
  Bnd_Box box;
  BRepBndLib::AddOptimal(shape, box, false, false);
  return std::sqrt(box.SquareExtent());
}

CaeFunc* Constant(const CaeVector& value) {
  auto* f = new CaeFuncLinear;
  f->SetDefiningValuesVec(1, &value, nullptr, nullptr, nullptr);
  return f;
}

AnlType TypeOf(const std::string& analysis) {
  if (analysis == "frequency") return AnlVibration;
  if (analysis == "buckling") return AnlBuckling;
  if (analysis == "heat") return AnlHeatTransfer;
  return AnlStress;
}

// Everything a study's model needs, alive together: the body, the model, its sets and conditions.
struct Model {
  Model(const Description& description, const Geometry& shape)
      : geometry(shape), body(shape.Shape()), model(CaeString("study"), TypeOf(description.analysis)) {}
  const Geometry& geometry;
  ShapeBody body;
  AnlModel model;
  AttLbcDescriptTable descriptors;
  AttLbcCase loads{CaeString("Loads"), AttLbcCase::kLoadSet};
  AttLbcCase restraints{CaeString("Restraints"), AttLbcCase::kRestraintSet};
  std::vector<std::unique_ptr<AttBaseLbc>> conditions;
};

void AddCondition(Model& m, const Condition& c, const std::vector<int>& faces) {
  for (int face : faces) {
    CaeTopoRef* ref = m.body.Ref(CaeTopoRef::kFace, face);
    const auto& v = c.values;
    auto add = [&](AttCode code, const CaeVector& value, AttLbcCase& set,
                   const AttLbcComponents* components = nullptr) {
      m.conditions.push_back(
          std::make_unique<AttLbc>(m.descriptors.Find(ToAttType(code)), ref, Constant(value), nullptr, components));
      set.AddLbc(m.conditions.back().get());
    };
    AttLbcComponents components;
    std::copy(c.free, c.free + 6, components.flag);
    const double share = 1.0 / static_cast<double>(faces.size());
    if (c.kind == "restrain")
      add(AttCode::FaceRestraint, CaeVector(), m.restraints, &components);
    else if (c.kind == "displacement")
      add(AttCode::FaceEnforcedDisplacement, CaeVector(v[0], v[1], v[2]), m.restraints, &components);
    else if (c.kind == "force")
      add(AttCode::FaceTotalForce, CaeVector(v[0] * share, v[1] * share, v[2] * share), m.loads);
    else if (c.kind == "pressure")
      add(AttCode::Pressure, CaeVector(v[0], 0, 0), m.loads);
    else if (c.kind == "temperature")
      add(AttCode::FaceFixedTemperature, CaeVector(v[0], 0, 0), m.restraints);
    else if (c.kind == "flux")
      add(AttCode::FaceHeatFlux, CaeVector(v[0], 0, 0), m.loads);
    else if (c.kind == "convection") {
      m.conditions.push_back(
          std::make_unique<AttLbcConv>(m.descriptors.Find(ToAttType(AttCode::FaceConvection)), ref, v[0], v[1]));
      m.loads.AddLbc(m.conditions.back().get());
    }
  }
}

// Loads that a restraint on the same face takes straight away: a force along a direction the
// restraint fixes, a pressure on a held face, a heat input on a face at a fixed temperature.
std::vector<std::string> LoadsOnRestrainedFaces(
    const std::vector<std::pair<const Condition*, std::vector<int>>>& selected) {
  std::vector<std::string> warnings;
  for (const auto& [load, loadFaces] : selected) {
    const bool mechanical = load->kind == "force" || load->kind == "pressure";
    const bool thermal = load->kind == "flux" || load->kind == "convection";
    if (!mechanical && !thermal) continue;
    for (const auto& [held, heldFaces] : selected) {
      const bool holds =
          mechanical ? held->kind == "restrain" || held->kind == "displacement" : held->kind == "temperature";
      if (!holds) continue;
      bool takes = load->kind != "force";
      for (int axis = 0; axis < 3 && !takes; ++axis) takes = !held->free[axis] && load->values[axis] != 0;
      const bool shared = std::any_of(loadFaces.begin(), loadFaces.end(), [&heldFaces = heldFaces](int f) {
        return std::find(heldFaces.begin(), heldFaces.end(), f) != heldFaces.end();
      });
      const std::string holder = held->kind == "restrain"       ? "restraint"
                                 : held->kind == "displacement" ? "enforced displacement"
                                                                : "fixed temperature";
      if (takes && shared)
        warnings.push_back("line " + std::to_string(load->line) + ": the " + load->kind + " on " + load->faces +
                           " acts on a face that the " + holder + " of line " + std::to_string(held->line) +
                           " holds; the " + holder + " takes it");
    }
  }
  return warnings;
}

// The strain energy: the sum of the elements' energies.
double StrainEnergy(const FerResult& elements) {
  double total = 0.0;
  for (long id : elements.ElementIds(0)) {
    double energy = 0.0;
    if (elements.ElementValue(0, id, 0, energy)) total += energy;
  }
  return total;
}

void Summarise(FerResultSet& set, Summary& s) {
  double lo = 0, hi = 0;
  if (FerResult* u = set.FindResult(FerQtyDisplacement)) {
    if (u->Range(0, 3, lo, hi)) s.maxDisplacement = hi;
  }
  if (FerResult* stress = set.FindResult(FerQtyStress)) {
    if (stress->Range(0, 0, lo, hi)) s.maxVonMises = hi;
  }
  if (FerResult* t = set.FindResult(FerQtyTemperature)) {
    if (t->Range(0, 0, lo, hi)) s.minTemperature = lo, s.maxTemperature = hi;
  }
  if (FerResult* energy = set.FindResult(FerQtyElementEnergy)) s.strainEnergy = StrainEnergy(*energy);
  if (FerResult* error = set.FindResult(FerQtyErrorEstimate)) {
    if (error->Range(0, 0, lo, hi)) s.maxErrorEstimate = hi;
  }
  s.frequencies.clear();
  s.bucklingFactors.clear();
  for (int i = 0; i < set.NumSubSets(); ++i) {
    if (set.AnalType() == AnlVibration) s.frequencies.push_back(set.GetSubSet(i)->GetValue());
    if (set.AnalType() == AnlBuckling) s.bucklingFactors.push_back(set.GetSubSet(i)->GetValue());
  }
}

double PeakMB(int who) {
  rusage usage{};
  ::getrusage(who, &usage);
  return usage.ru_maxrss / 1024.0;
}

// The last line the solver wrote to its log (it prints its steps as it goes); read from the end.
std::string LastLogLine(const std::filesystem::path& log) {
  std::ifstream in(log, std::ios::binary);
  if (!in) return {};
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  const std::streamoff tail = std::min<std::streamoff>(size, 4096);
  in.seekg(size - tail);
  std::string text(static_cast<std::size_t>(tail), '\0');
  in.read(text.data(), tail);
  text.resize(static_cast<std::size_t>(in.gcount()));
  // The last line with a word in it (the solver underlines its headings).
  std::string_view rest = text;
  while (!rest.empty()) {
    const std::size_t newline = rest.find_last_of("\r\n");
    const std::string_view line = kestrum::Trim(newline == std::string_view::npos ? rest : rest.substr(newline + 1));
    if (std::any_of(line.begin(), line.end(), [](char c) { return std::isalpha(static_cast<unsigned char>(c)); }))
      return std::string(line);
    rest = newline == std::string_view::npos ? std::string_view() : rest.substr(0, newline);
  }
  return {};
}

// Phases and elapsed times on the progress stream, when there is one.
class Progress {
 public:
  explicit Progress(std::ostream* out) : out_(out) {}
  double Seconds() const { return std::chrono::duration<double>(Clock::now() - start_).count(); }
  void Say(const std::string& text) const {
    if (!out_) return;
    std::ostringstream line;
    line.imbue(std::locale::classic());
    line << "[" << std::fixed << std::setprecision(1) << std::setw(6) << Seconds() << " s] " << text << "\n";
    *out_ << line.str() << std::flush;
  }
  bool On() const { return out_ != nullptr; }

 private:
  using Clock = std::chrono::steady_clock;
  std::ostream* out_;
  Clock::time_point start_ = Clock::now();
};

// Waits for the solver, passing on the newest line of its log every few seconds.
bool WaitForSolver(AnlJob& job, const Progress& progress) {
  using namespace std::chrono;
  auto lastReport = steady_clock::now();
  std::string lastLine;
  for (job.Poll(); job.IsPending(); job.Poll()) {
    std::this_thread::sleep_for(milliseconds(20));
    if (!progress.On() || steady_clock::now() - lastReport < seconds(2)) continue;
    const std::string line = LastLogLine(job.ErrorFile().Str());
    if (line != lastLine || steady_clock::now() - lastReport >= seconds(10)) {
      progress.Say("  solver: " + (line.empty() ? std::string("running") : line));
      lastLine = line;
      lastReport = steady_clock::now();
    }
  }
  return job.HaveResults() != 0;
}

// One analysis of the model as it is meshed now: deck, solver, results into a new result set.
kestrum::Status Analyse(const Description& description, Model& m, AnlWriter& writer,
                        const std::filesystem::path& workDir, const Progress& progress,
                        const std::function<void(int)>& lap, FerResultSet*& set) {
  CaeString message;
  AnlJob* job =
      m.model.SubmitAnalysis(&writer, CaeString((workDir / "study.inp").string()), nullptr, 0, message, AnlCodeSolve);
  if (!job) return ProblemAt(description, message.Str());
  lap(1);
  progress.Say("Solving...");
  if (!WaitForSolver(*job, progress))
    return ProblemAt(description, "the solver failed: " + LastLogLine(job->ErrorFile().Str()) + " (see " +
                                      std::string(job->ErrorFile().Str()) + ")");
  lap(2);
  progress.Say("Reading the results...");
  m.model.DeleteResultSet(CaeString("Case 1"));
  auto keep = [&] { return set = m.model.NewResultSet(CaeString("Case 1")); };
  if (const kestrum::Status read = FrdReader::Read(job->ResultsFile().Str(), m.model.Type(), job->UnitSystem(), keep);
      !read)
    return ProblemAt(description, read.problem().Describe());
  lap(3);
  return kestrum::Ok();
}

std::string Short(double value) {
  std::ostringstream out;
  out.imbue(std::locale::classic());
  out << std::setprecision(2) << value;
  return out.str();
}

}  // namespace

// The body's sub-model with the study's material, and its mesh with the study's settings and
// refinements, not yet made.
AmgMesh* NewBodyMesh(Model& m, const Description& description,
                     const std::vector<std::pair<const Condition*, std::vector<int>>>& selected) {
  AnlSubModel* sub = m.model.NewSubModelForBody(m.body.BodyRef());
  auto* material = new CaeMaterial(CaeString(description.materialName.c_str()));
  const auto& v = description.material;
  auto at = [&v](std::size_t i) { return i < v.size() ? v[i] : 0.0; };
  material->AddProp(293.15, at(2), at(0), at(1), 0, 0, at(3), at(4), at(5));
  sub->AssignMaterial(material);
  AmgMesh* mesh = m.model.NewMesh(m.body.BodyRef());
  mesh->SetShape(m.body.Shape());
  mesh->SetDefaultSize(description.meshSize);
  mesh->SetElementOrder(description.order);
  mesh->SetCurvatureScaling(description.curvatureScaling ? CaeOn : CaeOff);
  sub->SetMesh(mesh);
  for (const auto& [c, faces] : selected)
    if (c->kind == "refine")
      for (int face : faces) mesh->AddLocalSize(CaeTopoRef::kFace, face, c->values[0]);
  return mesh;
}

kestrum::Result<Summary> Run(const Description& description, const std::filesystem::path& workDir,
                             std::ostream* progressStream) {
  return Run(description, workDir, progressStream, SolvedHook());
}

kestrum::Result<Summary> Run(const Description& description, const std::filesystem::path& workDir,
                             std::ostream* progressStream, const SolvedHook& solved) {
  if (description.optimise == "concept") return OptimiseConcept(description, workDir, progressStream);
  if (!description.optimise.empty()) return Optimise(description, workDir, progressStream);
  const Progress progress(progressStream);
  Summary summary;
  auto mark = std::chrono::steady_clock::now();
  const std::function<void(int)> lap = [&mark, &summary](int stage) {
    const auto now = std::chrono::steady_clock::now();
    summary.seconds[stage] = std::chrono::duration<double>(now - mark).count();
    summary.peakMB[stage] = PeakMB(stage == 2 ? RUSAGE_CHILDREN : RUSAGE_SELF);
    mark = now;
  };
  summary.analysis = description.analysis;
  summary.adaptTarget = description.adaptTarget;
  Geometry geometry;
  std::string why;
  if (!geometry.Load(description, why)) return ProblemAt(description, why, description.shapeLine);

  // Every face set first, so that a bad selector stops the study before it meshes.
  std::vector<std::pair<const Condition*, std::vector<int>>> selected;
  for (const Condition& c : description.conditions) {
    std::vector<int> faces = Select(c.faces, geometry, why);
    if (faces.empty()) return ProblemAt(description, c.kind + " " + c.faces + ": " + why, c.line);
    selected.emplace_back(&c, std::move(faces));
  }
  summary.warnings = LoadsOnRestrainedFaces(selected);

  const double estimate = EstimatedElements(description, geometry);
  if (estimate > kMaxEstimatedElements) {
    std::string message = "the mesh would have about " + Short(estimate) + " elements, more than the " +
                          Short(kMaxEstimatedElements) + " a study may mesh";
    message += Diagonal(geometry.Shape()) > 10.0 ? ": are the lengths in millimetres? Study lengths are in metres"
                                                 : ": choose a larger element size";
    return ProblemAt(description, message, description.meshLine);
  }

  Model m(description, geometry);
  AmgMesh* mesh = NewBodyMesh(m, description, selected);
  progress.Say("Meshing (about " + Short(estimate) + " elements)...");
  if (!mesh->MeshIt())
    return ProblemAt(description, "the mesh failed: " + std::string(mesh->ErrorText().Str()), description.meshLine);
  summary.nodes = mesh->NumNodes();
  summary.elements = mesh->NumElements();
  progress.Say("Meshed: " + std::to_string(summary.nodes) + " nodes, " + std::to_string(summary.elements) +
               " elements");
  lap(0);
  for (const auto& [c, faces] : selected)
    if (c->kind != "refine") AddCondition(m, *c, faces);
  if (description.hasGravity) {
    const double* g = description.gravity;
    m.conditions.push_back(std::make_unique<AttModelLbc>(m.descriptors.Find(ToAttType(AttCode::Gravity)),
                                                         Constant(CaeVector(g[0], g[1], g[2])), nullptr, nullptr));
    m.loads.AddLbc(m.conditions.back().get());
  }
  AnlResltCase resultCase(CaeString("Case 1"));
  resultCase.AddLoadCase(&m.loads, 1.0);
  resultCase.AddBoundaryCase(&m.restraints, 1.0);
  std::unique_ptr<AnlWriter> writer(m.model.DeckWriter(AnlCodeSolve));
  writer->AddResltCase(&resultCase);
  writer->SetNumModes(description.modes);
  std::error_code ignored;
  std::filesystem::create_directories(workDir, ignored);
  m.model.SetAdaptTargetError(description.adaptTarget);
  m.model.SetAdaptIterations(description.adaptIterations);
  FerResultSet* set = nullptr;
  while (true) {
    if (kestrum::Status done = Analyse(description, m, *writer, workDir, progress, lap, set); !done)
      return done.problem();
    Summarise(*set, summary);
    if (solved) solved(m.model, *set);
    if (!(description.adaptTarget > 0)) break;
    summary.adaptErrors.push_back(summary.maxErrorEstimate);
    progress.Say("Largest estimated error " + Short(summary.maxErrorEstimate) + " %");
    CaeString message;
    int stop = 1;
    const int unchanged = m.model.AdaptMeshes(set, FerQtyStress, message, stop);
    const AnlModel::AdaptOutcome outcome = m.model.LastAdaptOutcome();
    if (outcome == AnlModel::kAdaptNoEstimate || outcome == AnlModel::kAdaptMeshFailed ||
        outcome == AnlModel::kAdaptNothingChosen)
      return ProblemAt(description, message.Str(), description.adaptLine);
    if (outcome == AnlModel::kAdaptSingular) summary.warnings.push_back(message.Str());
    if (unchanged || stop) break;
    summary.nodes = mesh->NumNodes();
    summary.elements = mesh->NumElements();
    progress.Say("Refined: " + std::to_string(summary.nodes) + " nodes, " + std::to_string(summary.elements) +
                 " elements");
  }
  progress.Say("Done");
  return summary;
}

namespace {

void FormatOptimisation(const OptimisationSummary& o, std::ostream& out) {
  out << "Optimiser: " << o.algorithm << "\n";
  for (const OptConceptCycle& c : o.conceptCycles) {
    out << "Cycle " << c.index << ": volume " << c.volumeFraction << " compliance " << c.compliance[0]
        << " largest change " << c.change;
    const auto k = static_cast<std::size_t>(c.index);
    if (k < o.cycleSeconds.size()) out << " (" << o.cycleSeconds[k] << " s: solver " << o.solveSeconds[k] << " s)";
    out << "\n";
  }
  for (const OptCycle& c : o.cycles) {
    out << "Cycle " << c.index << ":";
    for (std::size_t i = 0; i < c.design.size() && i < o.variables.size(); ++i)
      out << " " << o.variables[i] << " " << c.design[i];
    out << " objective " << c.objective;
    for (std::size_t j = 0; j < c.constraints.size() && j < o.constraints.size(); ++j)
      out << " " << o.constraints[j] << " " << c.constraints[j];
    const auto k = static_cast<std::size_t>(c.index);
    if (k < o.cycleSeconds.size())
      out << " (" << o.analyses[k] << " analyses, " << o.cycleSeconds[k] << " s: mesh " << o.meshSeconds[k]
          << " s, solver " << o.solveSeconds[k] << " s)";
    out << "\n";
    for (std::size_t i = 0; i < c.objectiveSensitivity.size() && i < o.variables.size(); ++i) {
      out << "  d/d" << o.variables[i] << ": objective " << c.objectiveSensitivity[i];
      for (std::size_t j = 0; j < c.constraintSensitivity.size() && j < o.constraints.size(); ++j)
        out << " " << o.constraints[j] << " " << c.constraintSensitivity[j][i] << " (local trend "
            << c.LocalTrend(c.constraintSensitivity[j][i], static_cast<int>(i), c.constraints[j]) << ")";
      out << "\n";
    }
  }
  out << "Exit " << o.exitCode << ": " << o.exitMessage << "\n";
  out << "Final design:";
  for (std::size_t i = 0; i < o.finalDesign.size() && i < o.variables.size(); ++i)
    out << " " << o.variables[i] << " " << o.finalDesign[i];
  out << "\n";
}

}  // namespace

std::string Format(const Summary& s) {
  std::ostringstream out;
  out.imbue(std::locale::classic());
  if (s.optimisation) {
    FormatOptimisation(*s.optimisation, out);
    return out.str();
  }
  for (const std::string& warning : s.warnings) out << "Warning: " << warning << "\n";
  out << "Analysis: " << s.analysis << "\n";
  out << "Mesh: " << s.nodes << " nodes, " << s.elements << " elements\n";
  if (s.analysis == "static") {
    out << "Maximum displacement: " << s.maxDisplacement << " m\n";
    out << "Maximum von Mises stress: " << s.maxVonMises << " Pa\n";
    if (s.strainEnergy > 0) out << "Strain energy: " << s.strainEnergy << " J\n";
    if (s.maxErrorEstimate > 0) out << "Largest estimated stress error: " << s.maxErrorEstimate << " %\n";
  }
  if (!s.adaptErrors.empty()) {
    out << "Adaptive passes, largest estimated error:";
    for (double e : s.adaptErrors) out << " " << e;
    out << " %\n";
    const std::size_t refinements = s.adaptErrors.size() - 1;
    const char* passes = refinements == 1 ? " pass" : " passes";
    if (s.adaptErrors.back() > s.adaptTarget)
      out << "Adaptive refinement stopped after " << refinements << passes << " above the target of " << s.adaptTarget
          << " %\n";
    else
      out << "Adaptive refinement reached the target of " << s.adaptTarget << " % after " << refinements << passes
          << "\n";
  }
  if (s.analysis == "frequency") {
    out << "Frequencies:";
    for (double f : s.frequencies) out << " " << f;
    out << " Hz\n";
  }
  if (s.analysis == "buckling") {
    out << "Buckling factors:";
    for (double f : s.bucklingFactors) out << " " << f;
    out << "\n";
  }
  if (s.analysis == "heat")
    out << "Temperature: minimum " << s.minTemperature << " K, maximum " << s.maxTemperature << " K\n";
  return out.str();
}

}  // namespace study

// --- designs of a shape optimisation -------------------------------------------------------

namespace study {

struct Design::Parts {
  const Description* description = nullptr;
  Geometry geometry;
  std::unique_ptr<Model> model;
  AmgMesh* mesh = nullptr;
  std::vector<std::pair<const Condition*, std::vector<int>>> selected;
  std::vector<std::vector<int>> constraintFaces;  // per design constraint
  std::unique_ptr<AnlResltCase> resultCase;
  std::unique_ptr<AnlWriter> writer;
  int jobs = 0;
};

Design::Design(std::unique_ptr<Parts> parts) : parts_(std::move(parts)) {}
Design::~Design() = default;

kestrum::Result<std::unique_ptr<Design>> Design::Make(const Description& description, const ParameterValues& values) {
  auto parts = std::make_unique<Parts>();
  parts->description = &description;
  std::string why;
  if (!parts->geometry.Load(description, why, values)) return ProblemAt(description, why, description.shapeLine);
  for (const Condition& c : description.conditions) {
    std::vector<int> faces = Select(c.faces, parts->geometry, why);
    if (faces.empty()) return ProblemAt(description, c.kind + " " + c.faces + ": " + why, c.line);
    parts->selected.emplace_back(&c, std::move(faces));
  }
  for (const DesignConstraint& c : description.designConstraints) {
    std::vector<int> faces = Select(c.faces, parts->geometry, why);
    if (faces.empty()) return ProblemAt(description, "constraint " + c.faces + ": " + why, c.line);
    parts->constraintFaces.push_back(std::move(faces));
  }
  return std::unique_ptr<Design>(new Design(std::move(parts)));
}

kestrum::Status Design::Mesh() {
  Parts& p = *parts_;
  const Description& description = *p.description;
  if (EstimatedElements(description, p.geometry) > kMaxEstimatedElements)
    return ProblemAt(description, "the design's mesh would be too large", description.meshLine);
  p.model = std::make_unique<Model>(description, p.geometry);
  Model& m = *p.model;
  p.mesh = NewBodyMesh(m, description, p.selected);
  if (!p.mesh->MeshIt())
    return ProblemAt(description, "the mesh failed: " + std::string(p.mesh->ErrorText().Str()), description.meshLine);
  for (const auto& [c, faces] : p.selected)
    if (c->kind != "refine") AddCondition(m, *c, faces);
  if (description.hasGravity) {
    const double* g = description.gravity;
    m.conditions.push_back(std::make_unique<AttModelLbc>(m.descriptors.Find(ToAttType(AttCode::Gravity)),
                                                         Constant(CaeVector(g[0], g[1], g[2])), nullptr, nullptr));
    m.loads.AddLbc(m.conditions.back().get());
  }
  p.resultCase = std::make_unique<AnlResltCase>(CaeString("Case 1"));
  p.resultCase->AddLoadCase(&m.loads, 1.0);
  p.resultCase->AddBoundaryCase(&m.restraints, 1.0);
  p.writer.reset(m.model.DeckWriter(AnlCodeSolve));
  p.writer->AddResltCase(p.resultCase.get());
  return kestrum::Ok();
}

bool Design::Parameter(const std::string& name, double& value) const { return parts_->geometry.Parameter(name, value); }

int Design::Nodes() const { return parts_->mesh ? parts_->mesh->NumNodes() : 0; }

kestrum::Result<std::vector<OptConceptElement>> Design::Elements() const {
  const Parts& p = *parts_;
  std::set<long> frozenNodes;
  std::string why;
  for (const std::string& faces : p.description->frozenFaces) {
    const std::vector<int> selected = Select(faces, p.geometry, why);
    if (selected.empty()) return ProblemAt(*p.description, "freeze " + faces + ": " + why);
    for (int face : selected) {
      std::vector<CaeNode*> nodes;
      p.mesh->NodesOnShape(CaeTopoRef::kFace, face, nodes);
      for (CaeNode* n : nodes) frozenNodes.insert(n->Id());
    }
  }
  std::vector<OptConceptElement> out;
  CaeList<CaeElem> elements;
  p.mesh->Elements(elements);
  for (CaeElem* e : elements) {
    if (e->NumNodes() < 4) continue;
    OptConceptElement element;
    element.id = e->Id();
    // The corners of a tetrahedron (a quadratic one lists them first).
    const CaeVector a = e->Node(0)->Coordinate(), b = e->Node(1)->Coordinate(), c = e->Node(2)->Coordinate(),
                    d = e->Node(3)->Coordinate();
    element.centroid = (a + b + c + d) * 0.25;
    const CaeVector u = b - a, v = c - a, w = d - a;
    element.volume = std::fabs(u.X() * (v.Y() * w.Z() - v.Z() * w.Y()) - u.Y() * (v.X() * w.Z() - v.Z() * w.X()) +
                               u.Z() * (v.X() * w.Y() - v.Y() * w.X())) /
                     6.0;
    for (int k = 0; k < e->NumNodes() && !element.frozen; ++k) element.frozen = frozenNodes.count(e->Node(k)->Id()) > 0;
    out.push_back(element);
  }
  return out;
}

void Design::SetMaterialGroups(std::vector<double> scales, std::unordered_map<long, int> groups) {
  parts_->mesh->SetMaterialGroups(std::move(scales), std::move(groups));
}

kestrum::Result<std::vector<double>> Design::ReadEnergies(AnlJob& job, const std::vector<long>& elements,
                                                          double& compliance) {
  Parts& p = *parts_;
  const CaeString name = CaeString::Format("Design %d", ++p.jobs);
  FerResultSet* set = nullptr;
  auto make = [&] { return set = p.model->model.NewResultSet(name); };
  const kestrum::Status read = FrdReader::Read(job.ResultsFile().Str(), p.model->model.Type(), job.UnitSystem(), make);
  if (!read) return ProblemAt(*p.description, read.problem().Describe());
  FerResult* energy = set->FindResult(FerQtyElementEnergy);
  if (!energy) return ProblemAt(*p.description, "the results have no element strain energies");
  std::vector<double> energies;
  compliance = 0.0;
  for (long id : elements) {
    double value = 0.0;
    if (!energy->ElementValue(0, id, 0, value) || !std::isfinite(value))
      return ProblemAt(*p.description, "no strain energy for element " + std::to_string(id));
    energies.push_back(value);
    compliance += 2.0 * value;
  }
  p.model->model.DeleteResultSet(name);
  return energies;
}

namespace {

std::vector<gp_Pnt> Vertices(const TopoDS_Shape& shape) {
  TopTools_IndexedMapOfShape map;
  TopExp::MapShapes(shape, TopAbs_VERTEX, map);
  std::vector<gp_Pnt> points;
  for (int i = 1; i <= map.Extent(); ++i) points.push_back(BRep_Tool::Pnt(TopoDS::Vertex(map(i))));
  return points;
}

// The axis-wise map x' = to.min + (x - from.min) * scale that takes one box onto the other.
struct AxisMap {
  double from[3] = {0, 0, 0};
  double to[3] = {0, 0, 0};
  double scale[3] = {1, 1, 1};
  gp_Pnt Apply(const gp_Pnt& p) const {
    return gp_Pnt(to[0] + (p.X() - from[0]) * scale[0], to[1] + (p.Y() - from[1]) * scale[1],
                  to[2] + (p.Z() - from[2]) * scale[2]);
  }
};

AxisMap MapBetween(const TopoDS_Shape& a, const TopoDS_Shape& b) {
  Bnd_Box boxA, boxB;
  BRepBndLib::AddOptimal(a, boxA, false, false);
  BRepBndLib::AddOptimal(b, boxB, false, false);
  double a0[3], a1[3], b0[3], b1[3];
  boxA.Get(a0[0], a0[1], a0[2], a1[0], a1[1], a1[2]);
  boxB.Get(b0[0], b0[1], b0[2], b1[0], b1[1], b1[2]);
  AxisMap map;
  for (int k = 0; k < 3; ++k) {
    map.from[k] = a0[k];
    map.to[k] = b0[k];
    map.scale[k] = a1[k] > a0[k] ? (b1[k] - b0[k]) / (a1[k] - a0[k]) : 1.0;
  }
  return map;
}

}  // namespace

bool Design::CarriesOnto(const Design& other) const {
  const TopoDS_Shape& a = parts_->geometry.Shape();
  const TopoDS_Shape& b = other.parts_->geometry.Shape();
  const std::vector<gp_Pnt> from = Vertices(a), to = Vertices(b);
  if (from.size() != to.size() || from.empty()) return false;
  const AxisMap map = MapBetween(a, b);
  const double tolerance = 1e-9 * Diagonal(b);
  for (std::size_t i = 0; i < from.size(); ++i)
    if (map.Apply(from[i]).Distance(to[i]) > tolerance) return false;
  return true;
}

kestrum::Result<AnlJob*> Design::Start(const std::filesystem::path& folder, int threads, const Design* onto) {
  Parts& p = *parts_;
  const Description& description = *p.description;
  if (!p.mesh) return ProblemAt(description, "the design has no mesh");
  // Carried nodes: moved for the deck, put back after it.
  std::vector<std::pair<CaeNode*, CaeVector>> moved;
  if (onto) {
    const AxisMap map = MapBetween(p.geometry.Shape(), onto->parts_->geometry.Shape());
    CaeList<CaeNode> nodes;
    p.mesh->Nodes(nodes);
    for (CaeNode* node : nodes) {
      const CaeVector& c = node->Coordinate();
      moved.emplace_back(node, c);
      const gp_Pnt q = map.Apply(gp_Pnt(c.X(), c.Y(), c.Z()));
      node->Coordinate(CaeVector(q.X(), q.Y(), q.Z()));
    }
  }
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);
  p.model->model.SetJobThreads(threads);
  CaeString message;
  AnlJob* job = p.model->model.SubmitAnalysis(p.writer.get(), CaeString((folder / "design.inp").string()), nullptr, 0,
                                              message, AnlCodeSolve);
  for (auto& [node, coordinate] : moved) node->Coordinate(coordinate);
  if (!job) return ProblemAt(description, "the deck could not be written: " + std::string(message.Str()));
  return job;
}

kestrum::Result<DesignResponses> Design::Read(AnlJob& job, const Design& shape, bool keep) {
  Parts& p = *parts_;
  const Description& description = *p.description;
  const CaeString name = CaeString::Format("Design %d", ++p.jobs);
  FerResultSet* set = nullptr;
  auto make = [&] { return set = p.model->model.NewResultSet(name); };
  const kestrum::Status read = FrdReader::Read(job.ResultsFile().Str(), p.model->model.Type(), job.UnitSystem(), make);
  if (!read) return ProblemAt(description, read.problem().Describe());
  DesignResponses r;
  GProp_GProps volume;
  BRepGProp::VolumeProperties(shape.parts_->geometry.Shape(), volume);
  r.volume = std::fabs(volume.Mass());
  r.mass = description.material[2] * r.volume;
  FerResult* stress = set->FindResult(FerQtyStress);
  FerResult* displacement = set->FindResult(FerQtyDisplacement);
  for (std::size_t j = 0; j < description.designConstraints.size(); ++j) {
    const bool isStress = description.designConstraints[j].response == "stress";
    FerResult* result = isStress ? stress : displacement;
    const int component = isStress ? 0 : 3;
    if (!result) return ProblemAt(description, "the results have no " + description.designConstraints[j].response);
    double largest = -std::numeric_limits<double>::infinity();
    for (int face : p.constraintFaces[j]) {
      std::vector<CaeNode*> nodes;
      p.mesh->NodesOnShape(CaeTopoRef::kFace, face, nodes);
      for (CaeNode* node : nodes) {
        double value = 0.0;
        if (result->NodeValue(0, node->Id(), component, value)) largest = std::max(largest, value);
      }
    }
    if (!std::isfinite(largest))
      return ProblemAt(description, "no result at the faces of the constraint", description.designConstraints[j].line);
    r.constraints.push_back(largest);
  }
  p.model->model.DeleteResultSet(name);
  if (!keep) job.CleanUp();
  return r;
}

std::string WaitForAll(const std::vector<AnlJob*>& jobs) {
  for (bool pending = true; pending;) {
    pending = false;
    for (AnlJob* job : jobs) {
      job->Poll();
      pending = pending || job->IsPending();
    }
    if (pending) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  for (AnlJob* job : jobs)
    if (!job->HaveResults())
      return "the solver failed: " + LastLogLine(job->ErrorFile().Str()) + " (see " + job->ErrorFile().Str() + ")";
  return {};
}

}  // namespace study
