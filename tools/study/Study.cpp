#include "Study.h"

#include <BRepAdaptor_Surface.hxx>
#include <BRepAlgoAPI_Cut.hxx>
#include <BRepBndLib.hxx>
#include <BRepBuilderAPI_Transform.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <Bnd_Box.hxx>
#include <TopExp.hxx>
#include <TopoDS.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <gp_Ax2.hxx>
#include <gp_Trsf.hxx>
#include <sys/resource.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <functional>
#include <memory>
#include <sstream>

#include "ShapeRefs.h"
#include "amg/CaeMaterial.h"
#include "amg/CaeMsgCall.h"
#include "fea/AmgMesh.h"
#include "fea/AnlJob.h"
#include "fea/AnlModel.h"
#include "fea/AnlResltCase.h"
#include "fea/AnlWriter.h"
#include "fea/AttLbc.h"
#include "fea/AttLbcCase.h"
#include "fea/AttLbcDescript.h"
#include "fea/CaeFunc.h"
#include "fea/FerResult.h"
#include "fea/FrdReader.h"
#include "mcadkernel/error.h"
#include "mcadkernel/part.h"
#include "mcadkernel/partfile.h"

namespace study {

namespace {

// A "#" at the start of a line or after a blank starts a comment; inside a word it is part of it
// (a split face's name, "plate/top#2").
std::vector<std::string> Words(const std::string& line) {
  std::size_t comment = line.find('#');
  while (comment != std::string::npos && comment > 0 && line[comment - 1] != ' ' && line[comment - 1] != '\t')
    comment = line.find('#', comment + 1);
  std::istringstream in(line.substr(0, comment));
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

bool Number(const std::string& text, double& value) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

// Reads `count` numbers from words[first...]; false when they are missing or not numbers.
bool Numbers(const std::vector<std::string>& words, std::size_t first, std::size_t count, std::vector<double>& out) {
  if (words.size() < first + count) return false;
  out.clear();
  for (std::size_t i = first; i < first + count; ++i) {
    double v = 0;
    if (!Number(words[i], v)) return false;
    out.push_back(v);
  }
  return true;
}

struct Statement {
  const char* keyword;
  std::size_t minValues;  // numbers after the faces (conditions) or after the keyword
  bool onFaces;
};

constexpr Statement kConditions[] = {
    {"restrain", 0, true}, {"force", 3, true},       {"pressure", 1, true},   {"displacement", 3, true},
    {"temperature", 1, true}, {"flux", 1, true}, {"convection", 2, true}, {"refine", 1, true},
};

bool ParseCondition(const std::vector<std::string>& w, Description& description, std::string& why) {
  for (const Statement& s : kConditions) {
    if (w[0] != s.keyword) continue;
    Condition c;
    c.kind = w[0];
    if (w.size() < 2) return why = "which faces?", false;
    c.faces = w[1];
    if (c.kind == "restrain") {
      if (w.size() > 2 && w[2] != "free") return why = "expected \"free\" and directions", false;
      for (std::size_t i = 3; i < w.size(); ++i) {
        if (w[i].size() != 1 || w[i][0] < 'x' || w[i][0] > 'z') return why = "directions are x, y and z", false;
        c.free[w[i][0] - 'x'] = 1;
      }
    } else if (!Numbers(w, 2, s.minValues, c.values) || w.size() != 2 + s.minValues) {
      return why = "expected " + std::to_string(s.minValues) + " number(s) after the faces", false;
    }
    description.conditions.push_back(c);
    return true;
  }
  return why = "unknown statement \"" + w[0] + "\"", false;
}

bool ParseLine(const std::vector<std::string>& w, Description& description, std::string& why) {
  const std::string& key = w[0];
  if (key == "geometry") {
    static const std::pair<const char*, std::size_t> kShapes[] = {{"box", 3}, {"cylinder", 2}, {"plate-with-hole", 4}};
    for (auto [name, count] : kShapes)
      if (w.size() > 1 && w[1] == name) {
        description.geometry = name;
        if (!Numbers(w, 2, count, description.dimensions) || w.size() != 2 + count)
          return why = "expected " + std::to_string(count) + " dimensions", false;
        for (double d : description.dimensions)
          if (!(d > 0)) return why = "dimensions must be positive", false;
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
    std::vector<double> v;
    if (w.size() < 2 || w.size() > 3 || !Numbers(w, 1, w.size() - 1, v) || !(v[0] > 0))
      return why = "expected a positive target error (percent) and an optional number of passes", false;
    description.adaptTarget = v[0];
    if (v.size() == 2) {
      if (v[1] < 1 || v[1] > 10 || v[1] != std::floor(v[1])) return why = "passes are a whole number from 1 to 10", false;
      description.adaptIterations = static_cast<int>(v[1]);
    }
    return true;
  }
  if (key == "material") {
    if (w.size() != 5 && w.size() != 8) return why = "expected a name and 3 or 6 values", false;
    description.materialName = w[1];
    return Numbers(w, 2, w.size() - 2, description.material) || (why = "material values must be numbers", false);
  }
  if (key == "analysis") {
    if (w.size() == 2 && (w[1] == "static" || w[1] == "frequency" || w[1] == "buckling" || w[1] == "heat")) {
      description.analysis = w[1];
      return true;
    }
    return why = "analysis is static, frequency, buckling or heat", false;
  }
  if (key == "mesh") {
    std::vector<double> size;
    if (!Numbers(w, 1, 1, size) || !(size[0] > 0) || w.size() > 3) return why = "expected a positive size", false;
    description.meshSize = size[0];
    if (w.size() == 3) {
      if (w[2] != "linear" && w[2] != "quadratic") return why = "order is linear or quadratic", false;
      description.order = w[2] == "linear" ? 1 : 2;
    }
    return true;
  }
  if (key == "modes") {
    std::vector<double> n;
    if (!Numbers(w, 1, 1, n) || n[0] < 1 || n[0] != std::floor(n[0])) return why = "expected a whole number", false;
    description.modes = static_cast<int>(n[0]);
    return true;
  }
  if (key == "gravity") {
    std::vector<double> g;
    if (!Numbers(w, 1, 3, g) || w.size() != 4) return why = "expected 3 numbers", false;
    std::copy(g.begin(), g.end(), description.gravity);
    description.hasGravity = true;
    return true;
  }
  return ParseCondition(w, description, why);
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
  bool Load(const Description& description, std::string& why) {
    if (description.partFile.empty()) {
      shape_ = MakeShape(description);
      return true;
    }
    try {
      part_ = mcadkernel::readPartFile(description.partFile);
    } catch (const std::exception& e) {
      return why = e.what(), false;
    }
    gp_Trsf scale;
    scale.SetScale(gp_Pnt(0, 0, 0), description.partUnit);
    scaled_ = std::make_unique<BRepBuilderAPI_Transform>(part_->shape(), scale, true);
    if (!scaled_->IsDone()) return why = "the part's solid cannot be scaled", false;
    shape_ = scaled_->Shape();
    return true;
  }

  const TopoDS_Shape& Shape() const { return shape_; }

  // The faces (TopExp indexes of Shape()) a persistent name selects: the face of that name, or the
  // pieces "NAME#1", "NAME#2" ... of a face that a later feature split.
  std::vector<int> Named(const std::string& name, std::string& why) const {
    std::vector<int> faces;
    if (!part_) return why = "faces are named only on a part (\"" + name + "\")", faces;
    std::vector<std::string> names;
    if (!part_->resolve(name).IsNull()) names.push_back(name);
    else
      for (const std::string& n : part_->faceNames())
        if (n.rfind(name + "#", 0) == 0) names.push_back(n);
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
  TopoDS_Shape shape_;
  std::unique_ptr<mcadkernel::Part> part_;
  std::unique_ptr<BRepBuilderAPI_Transform> scaled_;
};

void Bounds(const TopoDS_Shape& shape, double lo[3], double hi[3]) {
  Bnd_Box box;
  BRepBndLib::Add(shape, box, false);
  box.Get(lo[0], lo[1], lo[2], hi[0], hi[1], hi[2]);
}

// The face indexes a selector names: "3", "x=min" ... "z=max", "curved", or a part's face name.
std::vector<int> SelectFaces(const std::string& selector, ShapeBody& body, const Geometry& geometry, std::string& why) {
  if (selector.find('/') != std::string::npos) return geometry.Named(selector, why);
  std::vector<int> faces;
  int index = 0;
  auto [end, error] = std::from_chars(selector.data(), selector.data() + selector.size(), index);
  if (error == std::errc() && end == selector.data() + selector.size()) {
    if (index >= 1 && index <= body.Count(2)) faces.push_back(index);
    else why = "there is no face " + selector;
    return faces;
  }
  TopTools_IndexedMapOfShape map;
  TopExp::MapShapes(body.Shape(), TopAbs_FACE, map);
  if (selector == "curved") {
    for (int i = 1; i <= map.Extent(); ++i)
      if (BRepAdaptor_Surface(TopoDS::Face(map(i))).GetType() != GeomAbs_Plane) faces.push_back(i);
    if (faces.empty()) why = "the body has no curved face";
    return faces;
  }
  if (selector.size() != 5 || selector[0] < 'x' || selector[0] > 'z' || selector[1] != '=' ||
      (selector.substr(2) != "min" && selector.substr(2) != "max")) {
    why = "faces are an index, x=min ... z=max, curved or a part's face name, not \"" + selector + "\"";
    return faces;
  }
  const int axis = selector[0] - 'x';
  const bool atMax = selector.substr(2) == "max";
  double lo[3], hi[3];
  Bounds(body.Shape(), lo, hi);
  const double target = atMax ? hi[axis] : lo[axis];
  const double tolerance = 1e-6 * std::max({hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2]});
  for (int i = 1; i <= map.Extent(); ++i) {
    double flo[3], fhi[3];
    Bounds(map(i), flo, fhi);
    if (std::fabs(flo[axis] - target) <= tolerance && std::fabs(fhi[axis] - target) <= tolerance) faces.push_back(i);
  }
  if (faces.empty()) why = "no face lies at " + selector;
  return faces;
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

bool AddCondition(Model& m, const Condition& c, std::string& why) {
  std::vector<int> faces = SelectFaces(c.faces, m.body, m.geometry, why);
  if (faces.empty()) return false;
  for (int face : faces) {
    CaeTopoRef* ref = m.body.Ref(CaeTopoRef::kFace, face);
    const auto& v = c.values;
    auto add = [&](int code, const CaeVector& value, AttLbcCase& set, const AttLbcComponents* components = nullptr) {
      m.conditions.push_back(
          std::make_unique<AttLbc>(m.descriptors.Find(code), ref, Constant(value), nullptr, components));
      set.AddLbc(m.conditions.back().get());
    };
    AttLbcComponents components;
    std::copy(c.free, c.free + 6, components.flag);
    if (c.kind == "restrain") add(7, CaeVector(), m.restraints, &components);
    else if (c.kind == "displacement") add(10, CaeVector(v[0], v[1], v[2]), m.restraints, &components);
    else if (c.kind == "force") add(23, CaeVector(v[0] / faces.size(), v[1] / faces.size(), v[2] / faces.size()), m.loads);
    else if (c.kind == "pressure") add(4, CaeVector(v[0], 0, 0), m.loads);
    else if (c.kind == "temperature") add(21, CaeVector(v[0], 0, 0), m.restraints);
    else if (c.kind == "flux") add(16, CaeVector(v[0], 0, 0), m.loads);
    else if (c.kind == "convection") {
      m.conditions.push_back(std::make_unique<AttLbcConv>(m.descriptors.Find(18), ref, v[0], v[1]));
      m.loads.AddLbc(m.conditions.back().get());
    }
  }
  return true;
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
  for (int i = 0; i < set.NumSubSets(); ++i) {
    if (set.AnalType() == AnlVibration) s.frequencies.push_back(set.GetSubSet(i)->GetValue());
    if (set.AnalType() == AnlBuckling && i == 0) s.bucklingFactor = set.GetSubSet(i)->GetValue();
  }
}

double PeakMB(int who) {
  rusage usage{};
  ::getrusage(who, &usage);
  return usage.ru_maxrss / 1024.0;
}

Summary Fail(Summary s, const std::string& why) {
  s.ok = false;
  s.error = why;
  return s;
}

}  // namespace

bool Parse(const std::string& text, Description& description, std::string& error, const std::filesystem::path& folder) {
  std::istringstream in(text);
  std::string line;
  int number = 0;
  Description parsed;
  while (std::getline(in, line)) {
    ++number;
    const std::vector<std::string> words = Words(line);
    if (words.empty()) continue;
    std::string why;
    if (!ParseLine(words, parsed, why)) {
      error = "line " + std::to_string(number) + ": " + why;
      return false;
    }
  }
  if (parsed.geometry.empty() && parsed.partFile.empty()) return error = "no geometry or part was given", false;
  if (!parsed.geometry.empty() && !parsed.partFile.empty()) return error = "give a geometry or a part, not both", false;
  if (parsed.adaptTarget > 0 && parsed.analysis != "static") return error = "only a static analysis adapts its mesh", false;
  if (parsed.partFile.is_relative() && !parsed.partFile.empty()) parsed.partFile = folder / parsed.partFile;
  if (parsed.material.empty()) return error = "no material was given", false;
  if (!(parsed.meshSize > 0)) return error = "no mesh size was given", false;
  description = parsed;
  return true;
}

namespace {

// One analysis of the model as it is meshed now: deck, solver, results into a new result set.
bool Analyse(Model& m, AnlWriter& writer, const std::filesystem::path& workDir, Summary& summary,
             const std::function<void(int)>& lap, FerResultSet*& set) {
  CaeString message;
  AnlJob* job = m.model.SubmitAnalysis(&writer, CaeString((workDir / "study.inp").string()), nullptr, 0, message,
                                       AnlCodeSolve);
  if (!job) return summary = Fail(summary, message.Str()), false;
  lap(1);
  if (!job->Wait()) return summary = Fail(summary, "the solver failed; see " + std::string(job->ErrorFile().Str())), false;
  lap(2);
  m.model.DeleteResultSet(CaeString("Case 1"));
  auto keep = [&] { return set = m.model.NewResultSet(CaeString("Case 1")); };
  if (const kestrum::Status read = FrdReader::Read(job->ResultsFile().Str(), m.model.Type(), job->UnitSystem(), keep); !read)
    return summary = Fail(summary, read.problem().Describe()), false;
  lap(3);
  return true;
}

}  // namespace

Summary Run(const Description& description, const std::filesystem::path& workDir) {
  Summary summary;
  auto mark = std::chrono::steady_clock::now();
  const std::function<void(int)> lap = [&mark, &summary](int stage) {
    const auto now = std::chrono::steady_clock::now();
    summary.seconds[stage] = std::chrono::duration<double>(now - mark).count();
    summary.peakMB[stage] = PeakMB(stage == 2 ? RUSAGE_CHILDREN : RUSAGE_SELF);
    mark = now;
  };
  summary.analysis = description.analysis;
  Geometry geometry;
  std::string why;
  if (!geometry.Load(description, why)) return Fail(summary, why);
  Model m(description, geometry);
  AnlSubModel* sub = m.model.NewSubModelForBody(m.body.BodyRef());
  auto* material = new CaeMaterial(CaeString(description.materialName.c_str()));
  const auto& p = description.material;
  auto at = [&p](std::size_t i) { return i < p.size() ? p[i] : 0.0; };
  material->AddProp(293.15, at(2), at(0), at(1), 0, 0, at(3), at(4), at(5));
  sub->AssignMaterial(material);
  AmgMesh* mesh = m.model.NewMesh(m.body.BodyRef());
  mesh->SetShape(m.body.Shape());
  mesh->SetDefaultSize(description.meshSize);
  mesh->SetElementOrder(description.order);
  sub->SetMesh(mesh);
  for (const Condition& c : description.conditions) {
    if (c.kind != "refine") continue;
    const std::vector<int> faces = SelectFaces(c.faces, m.body, m.geometry, why);
    if (faces.empty()) return Fail(summary, "refine " + c.faces + ": " + why);
    for (int face : faces) mesh->AddLocalSize(CaeTopoRef::kFace, face, c.values[0]);
  }
  if (!mesh->MeshIt()) return Fail(summary, "the mesh failed: " + std::string(mesh->ErrorText().Str()));
  summary.nodes = mesh->NumNodes();
  summary.elements = mesh->NumElements();
  lap(0);
  for (const Condition& c : description.conditions) {
    if (c.kind != "refine" && !AddCondition(m, c, why)) return Fail(summary, c.kind + " " + c.faces + ": " + why);
  }
  if (description.hasGravity) {
    m.conditions.push_back(std::make_unique<AttModelLbc>(
        m.descriptors.Find(12), Constant(CaeVector(description.gravity[0], description.gravity[1], description.gravity[2])), nullptr, nullptr));
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
    if (!Analyse(m, *writer, workDir, summary, lap, set)) return summary;
    Summarise(*set, summary);
    if (!(description.adaptTarget > 0)) break;
    summary.adaptErrors.push_back(summary.maxErrorEstimate);
    CaeString message;
    int stop = 1;
    const int unchanged = m.model.AdaptMeshes(set, FerQtyStress, message, stop);
    if (!message.IsEmpty()) return Fail(summary, message.Str());
    if (unchanged || stop) break;
    summary.nodes = mesh->NumNodes();
    summary.elements = mesh->NumElements();
  }
  summary.ok = true;
  return summary;
}

std::string Format(const Summary& s) {
  std::ostringstream out;
  out.imbue(std::locale::classic());
  if (!s.ok) {
    out << "Study failed: " << s.error << "\n";
    return out.str();
  }
  out << "Analysis: " << s.analysis << "\n";
  out << "Mesh: " << s.nodes << " nodes, " << s.elements << " elements\n";
  if (s.analysis == "static" || s.analysis == "buckling") {
    out << "Maximum displacement: " << s.maxDisplacement << " m\n";
    if (s.analysis == "static") out << "Maximum von Mises stress: " << s.maxVonMises << " Pa\n";
  }
  if (s.analysis == "frequency") {
    out << "Frequencies:";
    for (double f : s.frequencies) out << " " << f;
    out << " Hz\n";
  }
  if (s.analysis == "static" && s.strainEnergy > 0) out << "Strain energy: " << s.strainEnergy << " J\n";
  if (s.analysis == "static" && s.maxErrorEstimate > 0)
    out << "Largest estimated stress error: " << s.maxErrorEstimate << " %\n";
  if (!s.adaptErrors.empty()) {
    out << "Adaptive passes, largest estimated error:";
    for (double e : s.adaptErrors) out << " " << e;
    out << " %\n";
  }
  if (s.analysis == "buckling") out << "First buckling factor: " << s.bucklingFactor << "\n";
  if (s.analysis == "heat")
    out << "Temperature: minimum " << s.minTemperature << " K, maximum " << s.maxTemperature << " K\n";
  return out.str();
}

}  // namespace study
