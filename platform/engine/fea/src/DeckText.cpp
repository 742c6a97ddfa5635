#include "DeckText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <set>

#include "CylinderFit.h"
#include "SolverDofs.h"
#include "amg/CaeCoordSys.h"
#include "amg/CaeMaterial.h"
#include "amg/CaeMsgCall.h"
#include "amg/CaeTopoRef.h"
#include "amg/CaeUnit.h"
#include "fea/AmgMesh.h"
#include "fea/AnlMateRel.h"
#include "fea/AnlModel.h"
#include "fea/AnlResltCase.h"
#include "fea/AnlWriter.h"
#include "fea/AttCodes.h"
#include "fea/AttLbc.h"
#include "fea/AttLbcCase.h"
#include "fea/CaeFunc.h"
#include "fea/FeaMessages.h"

namespace fea_detail {

std::string DeckNumber(double value) {
  // The solver reads at most 20 characters of a field: the shortest exact form when it fits,
  // else as many significant digits as fit.
  constexpr std::ptrdiff_t kField = 20;
  char buffer[32];
  std::to_chars_result made = std::to_chars(buffer, buffer + sizeof buffer, value);
  for (int digits = 14; made.ec == std::errc() && made.ptr - buffer > kField && digits >= 10; --digits)
    made = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
  return made.ec == std::errc() ? std::string(buffer, made.ptr) : std::string("0");
}

namespace {

const CaeUnitSystem& SI() {
  static const CaeUnitSystem si;
  return si;
}

// Native value of a quantity type to SI.
double ToSI(int type, double value) { return CaeUnit::Convert(type, value, nullptr, &SI()); }

CaeVector ToSI(int type, const CaeVector& v) { return {ToSI(type, v[0]), ToSI(type, v[1]), ToSI(type, v[2])}; }

CaeString Msg(std::uint32_t code, std::initializer_list<CaeString> args = {}) {
  CaeArray<CaeString> list;
  for (const CaeString& a : args) list.Append(a);
  return CaeMsgTxt::GetMessage(code, list);
}

struct Part {
  AnlSubModel* sub;
  AmgMesh* mesh;
  int number;  // 1-based: element set P<n>, material M<n>
  bool shell;
};

// Where a condition lies: a sub-shape of one part's body, or the whole body.
struct Target {
  const Part* part = nullptr;
  int kind = CaeTopoRef::kNone;
  int index = 0;
};

// A nodal weight: the share of a unit distributed value that a node carries.
struct Weighted {
  CaeNode* node;
  double weight;
  CaeVector normal;  // outward unit normal of the element face (faces only)
};

bool Structural(AnlType type) { return type != AnlHeatTransfer; }

bool AppliesTo(AttCode c, AnlType type) {
  if (type == AnlHeatTransfer) return IsThermal(c);
  if (IsThermal(c)) return false;
  if (type == AnlVibration) return IsRestraint(c);
  return true;
}

class DeckBuilder {
 public:
  DeckBuilder(const DeckRequest& request, std::vector<CaeString>& reasons)
      : req_(request), reasons_(reasons), type_(request.model ? request.model->Type() : AnlStress) {}

  bool Build(std::string& text, bool& ignored) {
    if (!req_.model) {
      reasons_.push_back(CaeString("No model was given to the deck."));
      return false;
    }
    if (req_.cases.empty()) reasons_.push_back(CaeString("No result case was given to the deck."));
    GatherParts();
    CheckParts();
    for (std::size_t i = 0; i < req_.cases.size(); ++i) GatherCase(i);
    CheckConditions();
    CheckModes();
    if (!reasons_.empty()) return false;
    WriteModel();
    for (std::size_t i = 0; i < steps_.size(); ++i) WriteStep(i);
    ignored = ignored_;
    text = std::move(out_);
    return true;
  }

 private:
  struct StepData {
    std::map<std::pair<long, int>, double> boundary;  // (node, dof) -> value
    std::map<std::pair<long, int>, double> cload;     // (node, dof) -> summed load
    std::vector<std::string> dload, dflux, film;
    bool hasTemperature = false;
    double modelTemperature = 0.0;
    std::map<long, double> nodalTemperatures;  // node -> temperature taken from results (SI)
    int restraints = 0;
    int loads = 0;
    std::vector<std::pair<const AttBaseLbc*, std::vector<CaeNode*>>> loadTargets;
  };

  // --- the model's parts ----------------------------------------------------------------

  void GatherParts() {
    AnlModel& model = *req_.model;
    long node = 0, element = 0;
    model.HighestNodeElementIds(node, element);
    for (int i = 0; i < model.NumSubModels(); ++i) {
      AnlSubModel* sub = model.GetSubModel(i);
      if (!sub || sub->IsMarkedAsErased()) continue;
      AmgMesh* mesh = sub->Mesh();
      if (mesh && !SizesFinite(*mesh, sub)) mesh = nullptr;
      if (mesh && !mesh->IsMarkedAsErased() && mesh->NumElements() == 0 && !mesh->Generated()) {
        // A deferred mesh is made now, numbering on from what is there.
        mesh->SetFirstIds(node + 1, element + 1);
        if (mesh->MeshIt()) model.HighestNodeElementIds(node, element);
      }
      sub->SetMeshProps(mesh);
      parts_.push_back({sub, mesh, static_cast<int>(parts_.size()) + 1, sub->MeshIsShell() != 0});
    }
  }

  bool SizesFinite(const AmgMesh& mesh, const AnlSubModel* sub) {
    const std::pair<const char*, double> sizes[] = {{"element size", mesh.GetDefaultSize()},
                                                    {"smallest element size", mesh.GetMinSize()},
                                                    {"largest element size", mesh.GetMaxSize()},
                                                    {"angle per element", mesh.GetAnglePerElement()}};
    for (const auto& [what, value] : sizes)
      if (!std::isfinite(value)) {
        const std::string part =
            sub->Name().IsEmpty() ? "number " + std::to_string(parts_.size() + 1) : sub->Name().Str();
        reasons_.push_back(CaeString::Format("The mesh of the part %s has an %s that is not a finite number (%g).",
                                             part.c_str(), what, value));
        return false;
      }
    return true;
  }

  void CheckParts() {
    bool noMesh = parts_.empty(), noMaterial = false, noThickness = false;
    for (const Part& part : parts_) {
      if (!part.mesh || part.mesh->IsMarkedAsErased() || part.mesh->NumElements() == 0) noMesh = true;
      CaeMaterial* material = part.sub->GetMaterial();
      if (!material || material->NumProp() == 0) {
        noMaterial = true;
      } else {
        for (const CaeString& problem : MaterialProblems(*material))
          reasons_.push_back(Msg(kFeaMsgMaterialValue, {material->Name(), problem}));
      }
      if (part.shell && !(part.sub->GetProp() && part.sub->GetProp()->GetPropValue(CaeElemProp::kThickness) > 0))
        noThickness = true;
    }
    if (noMesh) reasons_.push_back(Msg(kFeaMsgNoMesh));
    if (noMaterial) reasons_.push_back(Msg(kFeaMsgNoMaterial));
    if (noThickness) reasons_.push_back(Msg(kFeaMsgNoElementProps));
    CheckNodeIds();
  }

  std::vector<CaeString> MaterialProblems(const CaeMaterial& material) const {
    return fea_detail::MaterialProblems(material, type_);
  }

  // Meshes that share nodes give them the same id and place; anything else is a clash.
  void CheckNodeIds() {
    std::map<long, CaeVector> seen;
    for (const Part& part : parts_) {
      if (!part.mesh) continue;
      CaeList<CaeNode> nodes;
      part.mesh->Nodes(nodes);
      for (CaeNode* n : nodes) {
        auto [it, added] = seen.emplace(n->Id(), n->Coordinate());
        if (!added && !it->second.Equal(n->Coordinate(), 1e-9)) {
          reasons_.push_back(CaeString::Format("Node %ld is used twice at different places.", n->Id()));
          return;
        }
      }
    }
  }

  // --- conditions -------------------------------------------------------------------------

  bool Resolve(CaeTopoRef* ref, Target& target) const {
    if (!ref) return false;
    for (const Part& part : parts_) {
      if (!part.mesh) continue;
      if (part.mesh->GetTopoRef() == ref || part.sub->GetTopoRef() == ref) {
        target = {&part, CaeTopoRef::kBody, 0};
        return true;
      }
    }
    for (const Part& part : parts_) {
      if (!part.mesh) continue;
      CaeTopoRef* body = ref->Body();
      const bool mine =
          parts_.size() == 1 || (body && (body == part.mesh->GetTopoRef() || body == part.sub->GetTopoRef()));
      int kind = 0, index = 0;
      if (mine && part.mesh->LocateRef(ref, kind, index)) {
        target = {&part, kind, index};
        return true;
      }
    }
    return false;
  }

  std::vector<CaeNode*> NodesOf(const Target& t) const {
    std::vector<CaeNode*> nodes;
    if (t.kind == CaeTopoRef::kBody) {
      CaeList<CaeNode> list;
      t.part->mesh->Nodes(list);
      for (CaeNode* n : list) nodes.push_back(n);
    } else {
      t.part->mesh->NodesOnShape(t.kind, t.index, nodes);
    }
    return nodes;
  }

  // Consistent nodal shares of a uniform value over the element faces of a face: corners of
  // quadratic triangles carry nothing, mid-side nodes a third of the area each.
  std::vector<Weighted> FaceWeights(const Target& t) const {
    std::vector<Weighted> weights;
    std::vector<CaeElemRef> faces;
    t.part->mesh->ElemFacesOnFace(t.index, faces);
    for (const CaeElemRef& f : faces) {
      const CaeVector a = f.Node(0)->Coordinate(), b = f.Node(1)->Coordinate(), c = f.Node(2)->Coordinate();
      CaeVector n = (b - a).Cross(c - a) * 0.5;
      const double area = n.Length();
      if (!(area > 0)) continue;
      n *= 1.0 / area;
      if (f.Element()->Type() == CaeElemSolid) {
        // The corner off this face lies inside: the outward normal points away from it.
        for (int k = 0; k < 4; ++k) {
          CaeNode* corner = f.Element()->Node(k);
          if (corner != f.Node(0) && corner != f.Node(1) && corner != f.Node(2)) {
            if ((corner->Coordinate() - a).Dot(n) > 0) n = -n;
            break;
          }
        }
      }
      if (f.NumNodes() == 6) {
        for (int k = 3; k < 6; ++k) weights.push_back({f.Node(k), area / 3.0, n});
      } else {
        for (int k = 0; k < 3; ++k) weights.push_back({f.Node(k), area / 3.0, n});
      }
    }
    return weights;
  }

  std::vector<Weighted> EdgeWeights(const Target& t) const {
    std::vector<Weighted> weights;
    std::vector<std::vector<CaeNode*>> segments;
    t.part->mesh->SegmentsOnEdge(t.index, segments);
    for (const auto& s : segments) {
      const CaeVector a = s[0]->Coordinate(), b = s[1]->Coordinate();
      if (s.size() == 3) {
        const CaeVector m = s[2]->Coordinate();
        const double length = (m - a).Length() + (b - m).Length();
        weights.push_back({s[0], length / 6, {}});
        weights.push_back({s[1], length / 6, {}});
        weights.push_back({s[2], 2 * length / 3, {}});
      } else {
        const double length = (b - a).Length();
        weights.push_back({s[0], length / 2, {}});
        weights.push_back({s[1], length / 2, {}});
      }
    }
    return weights;
  }

  std::vector<Weighted> WeightsOf(const Target& t) const {
    if (t.kind == CaeTopoRef::kFace) return FaceWeights(t);
    if (t.kind == CaeTopoRef::kEdge) return EdgeWeights(t);
    std::vector<Weighted> weights;
    for (CaeNode* n : NodesOf(t)) weights.push_back({n, 1.0, {}});
    return weights;
  }

  static double TotalWeight(const std::vector<Weighted>& weights) {
    double total = 0;
    for (const Weighted& w : weights) total += w.weight;
    return total;
  }

  void AddForce(StepData& step, CaeNode* node, const CaeVector& force) {
    for (int i = 0; i < 3; ++i)
      if (force[i] != 0.0) step.cload[{node->Id(), kDofMoveX + i}] += force[i];
  }

  void GatherCase(std::size_t index) {
    steps_.emplace_back();
    AnlResltCase* rc = req_.cases[index];
    if (!rc) return;
    std::vector<std::pair<AttLbcCase*, double>> sets;
    for (int category : {AttLbcCase::kLoadSet, AttLbcCase::kRestraintSet})
      for (AnlLbcCase* e = rc->FirstLbcCase(category); e; e = rc->NextLbcCase())
        sets.emplace_back(e->LbcCase(), e->Scale());
    for (auto& [set, scale] : sets) {
      if (!std::isfinite(scale)) {
        reasons_.push_back(
            CaeString::Format("The result case %s scales the set %s by a factor that is not a finite number.",
                              rc->Name().Text(), set->Name().Text()));
        continue;
      }
      for (AttBaseLbc* c = set->FirstLbc(); c; c = set->NextLbc())
        if (!c->IsMarkedAsErased()) Apply(steps_.back(), *c, scale);
    }
    WarnLoadsOnRestraints(steps_.back());
  }

  // A load where the model is held in the load's direction goes straight into the support: the
  // deck is still good, but the designer may have picked the wrong face.
  void WarnLoadsOnRestraints(const StepData& step) {
    for (const auto& [condition, nodes] : step.loadTargets) {
      if (warned_.count(condition)) continue;
      const bool held = std::any_of(nodes.begin(), nodes.end(), [&](CaeNode* n) {
        for (SolverDof dof : {kDofMoveX, kDofMoveY, kDofMoveZ, kDofTemperature})
          if (step.cload.count({n->Id(), dof}) && step.boundary.count({n->Id(), dof})) return true;
        return false;
      });
      if (!held) continue;
      warned_.insert(condition);
      CaeMsgCall::Message(1, kFeaMsgLoadOnRestraint, {ConditionName(*condition)});
    }
  }

  static CaeString ConditionName(const AttBaseLbc& c) {
    const std::string_view kind = AttCodeName(c.Type());
    return !c.Name().IsEmpty() ? c.Name()
           : kind.empty()      ? CaeString::Format("of type %d", c.Type())
                               : CaeString::Format("of type %.*s", static_cast<int>(kind.size()), kind.data());
  }

  void NotApplied(const AttBaseLbc& c, const char* why) {
    const CaeString name = ConditionName(c);
    reasons_.push_back(Msg(kFeaMsgConditionNotApplied, {name, CaeString(why)}));
  }

  void Apply(StepData& step, AttBaseLbc& c, double scale) {
    const AttCode code = static_cast<AttCode>(c.Type());
    if (!AppliesTo(code, type_)) {
      ignored_ = true;
      return;
    }
    if (IsModelLevel(code)) return ApplyModelLevel(step, c, scale);
    auto* attrib = dynamic_cast<CaeAttrib*>(&c);
    Target target;
    if (!attrib || !Resolve(attrib->GetTopoRef(), target)) return NotApplied(c, "it lies on nothing of the mesh");
    if (NodesOf(target).empty()) return NotApplied(c, "the mesh has no nodes there");
    if (!Finite(c, NodesOf(target))) return NotApplied(c, "its value is not a finite number");
    if (IsRestraint(code) || IsFixedTemperature(code))
      ++step.restraints;
    else {
      ++step.loads;
      step.loadTargets.push_back({&c, NodesOf(target)});
    }
    if (Structural(type_))
      ApplyStructural(step, c, code, target, scale);
    else
      ApplyThermal(step, c, code, target, scale);
  }

  // Every value of the condition where it applies (at `nodes`; at the origin for the whole model).
  static bool Finite(AttBaseLbc& c, const std::vector<CaeNode*>& nodes) {
    auto finite = [](const CaeVector& v) { return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]); };
    if (nodes.empty() && !finite(c.EvaluateVecAtPoint(CaeVector()))) return false;
    for (CaeNode* n : nodes)
      if (!finite(c.EvaluateVecAtPoint(n->Coordinate()))) return false;
    if (auto* conv = dynamic_cast<AttLbcConv*>(&c);
        conv && !(std::isfinite(conv->FilmCoef()) && std::isfinite(conv->AmbientTemp())))
      return false;
    if (auto* hgen = dynamic_cast<AttLbcHgen*>(&c); hgen && !std::isfinite(hgen->HeatGeneration())) return false;
    if (auto* temp = dynamic_cast<AttModelTemp*>(&c);
        temp && !(std::isfinite(temp->ModelTemp()) && std::isfinite(temp->RefTemp())))
      return false;
    return true;
  }

  void ApplyModelLevel(StepData& step, AttBaseLbc& c, double scale) {
    const AttCode code = static_cast<AttCode>(c.Type());
    if (!Finite(c, {})) return NotApplied(c, "its value is not a finite number");
    ++step.loads;
    if (code == AttCode::BodyTemperature) {
      auto* temp = dynamic_cast<AttModelTemp*>(&c);
      if (!temp) return;
      step.hasTemperature = true;
      step.modelTemperature = ToSI(CaeUtTemperature, temp->ModelTemp());
      step.nodalTemperatures = NodalTemperatures(*temp);
      referenceTemperature_ = ToSI(CaeUtTemperature, temp->RefTemp());
      hasReference_ = true;
      return;
    }
    if (Varies(c)) return NotApplied(c, "a load on the whole model cannot vary with position");
    const CaeVector value = c.EvaluateVecAtPoint(CaeVector()) * scale;
    const double magnitude = value.Length();
    if (!(magnitude > 0)) return;
    CaeVector direction = value * (1.0 / magnitude);
    std::string line = "EALL,";
    if (code == AttCode::Spin) {
      const double omega = ToSI(CaeUtAngularVelocity, magnitude);
      CaeVector origin = c.CoordSys() ? c.CoordSys()->GetTransform().TranslationVector() : CaeVector();
      origin = ToSI(CaeUtLength, origin);
      line += "CENTRIF," + DeckNumber(omega * omega) + "," + Triple(origin) + "," + Triple(direction);
    } else {
      // An acceleration of the body loads it like gravity the other way.
      if (code == AttCode::Acceleration) direction = -direction;
      line += "GRAV," + DeckNumber(ToSI(CaeUtAcceleration, magnitude)) + "," + Triple(direction);
    }
    step.dload.push_back(line);
  }

  // The temperatures a results-based body temperature gives node by node, for the nodes of the
  // deck's meshes (a value of a node no mesh has any more is not the model's). Non-finite values
  // are left to the uniform temperature.
  std::map<long, double> NodalTemperatures(AttBaseLbc& temperature) const {
    std::map<long, double> values;
    if (temperature.NumFlbcs() == 0) return values;
    std::set<const CaeNode*> live;
    for (const Part& part : parts_) {
      CaeList<CaeNode> nodes;
      part.mesh->Nodes(nodes);
      for (CaeNode* n : nodes) live.insert(n);
    }
    for (AttFlbc* flbc = temperature.FirstFlbc(); flbc; flbc = temperature.NextFlbc()) {
      const auto found = live.find(flbc->GetNode());
      const double value = flbc->Value()[0];
      if (found != live.end() && flbc->IsOn(**found) && std::isfinite(value))
        values[(*found)->Id()] = ToSI(CaeUtTemperature, value);
    }
    return values;
  }

  // A pressure's value at a point, positive when it pushes into the material. In the axes of a
  // face coordinate system (z into the material) it is given as (0, 0, p); otherwise as (p, 0, 0)
  // in global axes.
  static double PressureAt(const AttBaseLbc& c, const CaeVector& at) {
    if (dynamic_cast<const CaeCoordSysFace*>(c.CoordSys())) return c.EvaluateVecAtPointLocal(at)[2];
    return c.EvaluateVecAtPoint(at)[0];
  }

  void ApplyStructural(StepData& step, AttBaseLbc& c, AttCode code, const Target& t, double scale) {
    const int* free = c.FreeComponents();
    const int dofs = t.part->shell ? 6 : 3;
    switch (code) {
      case AttCode::PinnedRestraint:
        if (!c.CoordSys()) return ApplyPin(step, c, t);
        [[fallthrough]];
      case AttCode::VertexRestraint:
      case AttCode::EdgeRestraint:
      case AttCode::FaceRestraint:
        Transform(c, t);
        for (CaeNode* n : NodesOf(t))
          for (int d = 0; d < dofs; ++d)
            if (!free[d]) step.boundary[{n->Id(), kDofMoveX + d}] = 0.0;
        return;
      case AttCode::VertexEnforcedDisplacement:
      case AttCode::EdgeEnforcedDisplacement:
      case AttCode::FaceEnforcedDisplacement:
        for (CaeNode* n : NodesOf(t)) {
          // In a condition's own axes the components are the local ones.
          const CaeVector v = ToSI(CaeUtLength, Transform(c, t) ? c.EvaluateVecAtPointLocal(n->Coordinate())
                                                                : c.EvaluateVecAtPoint(n->Coordinate())) *
                              scale;
          for (int d = 0; d < 3; ++d)
            if (!free[d]) step.boundary[{n->Id(), kDofMoveX + d}] = v[d];
        }
        return;
      case AttCode::VertexForce:
        for (CaeNode* n : NodesOf(t))
          AddForce(step, n, ToSI(CaeUtForce, c.EvaluateVecAtPoint(n->Coordinate())) * scale);
        return;
      case AttCode::FaceDistributedForce:
      case AttCode::EdgeDistributedForce: {
        const bool face = code == AttCode::FaceDistributedForce;
        const int unit = face ? CaeUtForcePerArea : CaeUtForcePerLength;
        const double lengthScale = ToSI(CaeUtLength, 1.0);
        const double measure = face ? lengthScale * lengthScale : lengthScale;
        for (const Weighted& w : WeightsOf(t))
          AddForce(step, w.node, ToSI(unit, c.EvaluateVecAtPoint(w.node->Coordinate())) * (w.weight * measure * scale));
        return;
      }
      case AttCode::Pressure: {
        if (t.kind != CaeTopoRef::kFace) return NotApplied(c, "a pressure needs a face");
        const double lengthScale = ToSI(CaeUtLength, 1.0);
        for (const Weighted& w : FaceWeights(t)) {
          const double p = ToSI(CaeUtStress, PressureAt(c, w.node->Coordinate()));
          AddForce(step, w.node, w.normal * (-p * w.weight * lengthScale * lengthScale * scale));
        }
        return;
      }
      case AttCode::FaceTotalForce:
      case AttCode::EdgeTotalForce: {
        const std::vector<Weighted> weights = WeightsOf(t);
        const double total = TotalWeight(weights);
        if (!(total > 0)) return NotApplied(c, "the mesh has no element faces there");
        // A value that varies over the shape weights each node's share: the total is then the
        // value's mean over the shape.
        for (const Weighted& w : weights) {
          const CaeVector force = ToSI(CaeUtForce, c.EvaluateVecAtPoint(w.node->Coordinate()));
          AddForce(step, w.node, force * (scale * w.weight / total));
        }
        return;
      }
      case AttCode::Moment: return ApplyMoment(step, c, t, scale);
      default: return NotApplied(c, "the condition type is unknown");
    }
  }

  // A moment on a face as nodal forces: each node pushes tangentially in proportion to its
  // share and its distance from the axis through the face's centre, so the forces add up to
  // no force and exactly the moment.
  void ApplyMoment(StepData& step, AttBaseLbc& c, const Target& t, double scale) {
    if (Varies(c)) return NotApplied(c, "a moment cannot vary with position");
    const std::vector<Weighted> weights = FaceWeights(t);
    const double total = TotalWeight(weights);
    const CaeVector moment = ToSI(CaeUtMoment, c.EvaluateVecAtPoint(CaeVector())) * scale;
    CaeVector axis = moment;
    if (!(total > 0) || !axis.Normalize()) return;
    CaeVector centre;
    for (const Weighted& w : weights) centre += w.node->Coordinate() * (w.weight / total);
    auto perpendicular = [&](const Weighted& w) {
      const CaeVector r = ToSI(CaeUtLength, w.node->Coordinate() - centre);
      return r - axis * r.Dot(axis);
    };
    double inertia = 0;
    for (const Weighted& w : weights) {
      const CaeVector r = perpendicular(w);
      inertia += w.weight * r.Dot(r);
    }
    if (!(inertia > 0)) return NotApplied(c, "the face has no extent across the moment's axis");
    for (const Weighted& w : weights) AddForce(step, w.node, moment.Cross(perpendicular(w)) * (w.weight / inertia));
  }

  // Thermal values are scalars: a condition's axes (a face system, say) give them no direction to turn.
  void ApplyThermal(StepData& step, AttBaseLbc& c, AttCode code, const Target& t, double scale) {
    const double lengthScale = ToSI(CaeUtLength, 1.0);
    switch (code) {
      case AttCode::VertexFixedTemperature:
      case AttCode::FaceFixedTemperature:
      case AttCode::EdgeFixedTemperature:
        for (CaeNode* n : NodesOf(t))
          step.boundary[{n->Id(), kDofTemperature}] =
              ToSI(CaeUtTemperature, c.EvaluateVecAtPointLocal(n->Coordinate())[0] * scale);
        return;
      case AttCode::VertexHeatFlow:
        for (CaeNode* n : NodesOf(t))
          step.cload[{n->Id(), kDofTemperature}] +=
              ToSI(CaeUtHeatFlow, c.EvaluateVecAtPointLocal(n->Coordinate())[0]) * scale;
        return;
      case AttCode::EdgeHeatFlow:
        for (const Weighted& w : EdgeWeights(t))
          step.cload[{w.node->Id(), kDofTemperature}] +=
              ToSI(CaeUtHeatFlowPerLength, c.EvaluateVecAtPointLocal(w.node->Coordinate())[0]) * w.weight *
              lengthScale * scale;
        return;
      case AttCode::FaceHeatFlux: {
        if (t.kind != CaeTopoRef::kFace) return NotApplied(c, "a heat flux needs a face");
        auto flux = [&](const CaeVector& at) { return ToSI(CaeUtHeatFlux, c.EvaluateVecAtPointLocal(at)[0]) * scale; };
        if (t.part->shell) {
          for (const Weighted& w : FaceWeights(t))
            step.cload[{w.node->Id(), kDofTemperature}] +=
                flux(w.node->Coordinate()) * w.weight * lengthScale * lengthScale;
          return;
        }
        // The solver takes one flux per element face: a varying flux is taken at the face's centre,
        // exact in total for a linear flux.
        std::vector<CaeElemRef> faces;
        t.part->mesh->ElemFacesOnFace(t.index, faces);
        for (const CaeElemRef& f : faces) {
          const CaeVector centre =
              (f.Node(0)->Coordinate() + f.Node(1)->Coordinate() + f.Node(2)->Coordinate()) * (1.0 / 3);
          step.dflux.push_back(std::to_string(f.Element()->Id()) + ",S" + std::to_string(f.Face() + 1) + "," +
                               DeckNumber(flux(centre)));
        }
        return;
      }
      case AttCode::FaceConvection: {
        auto* conv = dynamic_cast<AttLbcConv*>(&c);
        if (!conv || t.kind != CaeTopoRef::kFace) return NotApplied(c, "a convection needs a face");
        if (t.part->shell) return NotApplied(c, "convection on shell elements is not supported");
        double film = conv->FilmCoef();
        if (!conv->Constant() && conv->NumValues() > 0) {
          // The solver's deck has film coefficients that change in time only, not with temperature.
          if (!SingleValue(conv->FirstFilmValue(), [&] { return conv->NextFilmValue(); }))
            return NotApplied(c, "a film coefficient that depends on temperature cannot be given to the solver");
          film = conv->FirstFilmValue()->Value();
        }
        const std::string values = DeckNumber(ToSI(CaeUtTemperature, conv->AmbientTemp())) + "," +
                                   DeckNumber(ToSI(CaeUtFilmCoefficient, film) * scale);
        for (const std::string& face : FaceLabels(t, "F")) step.film.push_back(face + "," + values);
        return;
      }
      case AttCode::VolumetricHeatFlow: {
        auto* hgen = dynamic_cast<AttLbcHgen*>(&c);
        if (!hgen) return NotApplied(c, "it has no heat generation value");
        double value = hgen->HeatGeneration();
        if (!hgen->Constant() && hgen->NumValues() > 0) {
          if (!SingleValue(hgen->FirstHGenValue(), [&] { return hgen->NextHGenValue(); }))
            return NotApplied(c, "a heat generation that depends on temperature cannot be given to the solver");
          value = hgen->FirstHGenValue()->Value();
        }
        step.dflux.push_back("P" + std::to_string(t.part->number) + ",BF," +
                             DeckNumber(ToSI(CaeUtHeatGeneration, value) * scale));
        return;
      }
      default: return NotApplied(c, "the condition type is unknown");
    }
  }

  // Whether a temperature table holds one value only (a table of equal rows is a constant).
  template <typename Next>
  static bool SingleValue(AttTableTempValue* first, Next next) {
    for (AttTableTempValue* row = next(); row; row = next())
      if (row->Value() != first->Value()) return false;
    return true;
  }

  static bool Varies(const AttBaseLbc& c) { return c.Function() && c.Function()->VariesInSpace(); }

  // A restraint in its own Cartesian or cylindrical axes: its nodes get those axes (the solver's
  // *TRANSFORM), so its components are fixed along them. Answers whether the condition has axes.
  bool Transform(const AttBaseLbc& c, const Target& t) {
    const CaeCoordSys* axes = c.CoordSys();
    if (!axes) return false;
    // Cartesian axes placed at the identity are the global axes (a condition read back from a
    // drawing carries them where it was made with none): its nodes need no transform.
    if (std::string(axes->KindName()) == "cartesian" && axes->GetTransform().IsIdentity()) return false;
    if (transformed_.count(&c)) return true;
    transformed_.insert(&c);
    const std::string kind = axes->KindName();
    const CaeTransform& placement = axes->GetTransform();
    const CaeVector origin = ToSI(CaeUtLength, placement.TranslationVector());
    std::string definition;
    if (kind == "cylindric") {
      definition = "C\n" + Triple(origin) + "," + Triple(origin + placement.UnitVector(2));
    } else if (kind == "cartesian") {
      definition = "R\n" + Triple(placement.UnitVector(0)) + "," + Triple(placement.UnitVector(1));
    } else {
      NotApplied(c, "restraints follow Cartesian or cylindrical axes only");
      return true;
    }
    AddTransform(t, definition);
    return true;
  }

  // Gives the target's nodes the axes of `definition` (the text after "TYPE=").
  void AddTransform(const Target& t, const std::string& definition) {
    const std::string set = "TR" + std::to_string(transformed_.size());
    transforms_.push_back("*NSET, NSET=" + set);
    for (CaeNode* n : NodesOf(t)) transforms_.push_back(std::to_string(n->Id()));
    transforms_.push_back("*TRANSFORM, NSET=" + set + ", TYPE=" + definition);
  }

  // A pin in a hole: the face's nodes keep their distance from the hole's axis and their place
  // along it, and may turn about it. The axis is found from the face's mesh.
  void ApplyPin(StepData& step, const AttBaseLbc& c, const Target& t) {
    if (t.kind != CaeTopoRef::kFace) return NotApplied(c, "a pinned restraint needs a cylindrical face");
    if (!transformed_.count(&c)) {
      Cylinder cylinder;
      if (!FitCylinder(FacetsOf(t), PointsOf(t), cylinder))
        return NotApplied(c, "a pinned restraint needs a cylindrical face");
      transformed_.insert(&c);
      const CaeVector origin = ToSI(CaeUtLength, cylinder.origin);
      AddTransform(t, "C\n" + Triple(origin) + "," + Triple(origin + cylinder.axis));
    }
    // In the cylindrical axes the node's directions are radial, tangential, axial.
    for (CaeNode* n : NodesOf(t)) {
      step.boundary[{n->Id(), kDofMoveX}] = 0.0;  // radial
      step.boundary[{n->Id(), kDofMoveZ}] = 0.0;  // axial
    }
  }

  std::vector<Facet> FacetsOf(const Target& t) const {
    std::vector<CaeElemRef> faces;
    t.part->mesh->ElemFacesOnFace(t.index, faces);
    std::vector<Facet> facets;
    for (const CaeElemRef& f : faces) {
      const CaeVector p0 = f.Node(0)->Coordinate();
      const CaeVector normal = (f.Node(1)->Coordinate() + p0 * -1.0).Cross(f.Node(2)->Coordinate() + p0 * -1.0);
      const double twiceArea = normal.Length();
      if (twiceArea > 0) facets.push_back({normal * (1.0 / twiceArea), twiceArea / 2});
    }
    return facets;
  }

  std::vector<CaeVector> PointsOf(const Target& t) const {
    std::vector<CaeVector> points;
    for (CaeNode* n : NodesOf(t)) points.push_back(n->Coordinate());
    return points;
  }

  // "element,<prefix><face>" for each element face on the target face (solver face numbers).
  std::vector<std::string> FaceLabels(const Target& t, const char* prefix) const {
    std::vector<std::string> labels;
    std::vector<CaeElemRef> faces;
    t.part->mesh->ElemFacesOnFace(t.index, faces);
    for (const CaeElemRef& f : faces)
      labels.push_back(std::to_string(f.Element()->Id()) + "," + prefix + std::to_string(f.Face() + 1));
    return labels;
  }

  void CheckConditions() {
    if (!req_.model || req_.cases.empty() || parts_.empty()) return;
    bool noRestraint = false, noLoad = false;
    for (const StepData& step : steps_) {
      if (step.restraints == 0) noRestraint = true;
      if (step.loads == 0 && (type_ == AnlStress || type_ == AnlBuckling)) noLoad = true;
    }
    // Heat flows without a fixed temperature are balanced by convection alone.
    if (noRestraint && type_ == AnlHeatTransfer) noRestraint = !AnyFilm();
    if (noRestraint) reasons_.push_back(Msg(kFeaMsgNoRestraints));
    if (noLoad) reasons_.push_back(Msg(kFeaMsgNoLoads));
    CheckTies();
    if (!noRestraint && Structural(type_)) CheckPartsHeld();
  }

  // Why a mating relation cannot become a tie, or null when it can: its two sides must be faces
  // of two different solid parts.
  const char* WhyNotTied(AnlMateRelPair& pair, Target& a, Target& b) const {
    AttMateRel* first = pair.MateRel1();
    AttMateRel* second = pair.MateRel2();
    if (!first || !second || !Resolve(first->GetTopoRef(), a) || !Resolve(second->GetTopoRef(), b))
      return "a side lies on nothing of the mesh";
    if (a.part->shell || b.part->shell || a.kind != CaeTopoRef::kFace || b.kind != CaeTopoRef::kFace)
      return "only faces of solid parts can be tied";
    if (a.part == b.part) return "both faces belong to the same part";
    return nullptr;
  }

  void CheckTies() {
    AnlModel& model = *req_.model;
    int number = 0;
    for (AnlMateRelPair* pair = model.FirstLiveMateRelPair(); pair; pair = model.NextLiveMateRelPair()) {
      ++number;
      Target a, b;
      const char* why = WhyNotTied(*pair, a, b);
      if (!why) continue;
      const std::string name = pair->Name().IsEmpty() ? "number " + std::to_string(number) : pair->Name().Str();
      reasons_.push_back(CaeString::Format("The mating relation %s cannot be tied: %s.", name.c_str(), why));
    }
  }

  // A part that is neither restrained nor joined (shared nodes or a tie) to a held part is free
  // to move: the solver would find no solution.
  void CheckPartsHeld() {
    if (parts_.size() < 2) return;
    std::map<long, std::vector<std::size_t>> partsOfNode;
    for (std::size_t i = 0; i < parts_.size(); ++i) {
      if (!parts_[i].mesh) return;
      CaeList<CaeNode> nodes;
      parts_[i].mesh->Nodes(nodes);
      for (CaeNode* n : nodes) partsOfNode[n->Id()].push_back(i);
    }
    std::vector<bool> held(parts_.size(), false);
    for (const auto& [key, value] : steps_.front().boundary)
      for (std::size_t i : partsOfNode[key.first]) held[i] = true;
    std::vector<std::pair<std::size_t, std::size_t>> links = TiedParts();
    for (const auto& [id, parts] : partsOfNode)
      for (std::size_t k = 1; k < parts.size(); ++k) links.emplace_back(parts[0], parts[k]);
    for (bool changed = true; changed;) {
      changed = false;
      for (const auto& [a, b] : links)
        if (held[a] != held[b]) held[a] = held[b] = changed = true;
    }
    for (std::size_t i = 0; i < parts_.size(); ++i)
      if (!held[i])
        reasons_.push_back(CaeString::Format("The part %s is neither restrained nor joined to a restrained part.",
                                             PartName(parts_[i]).c_str()));
  }

  static std::string PartName(const Part& part) {
    return part.sub->Name().IsEmpty() ? "number " + std::to_string(part.number) : part.sub->Name().Str();
  }

  std::vector<std::pair<std::size_t, std::size_t>> TiedParts() const {
    std::vector<std::pair<std::size_t, std::size_t>> links;
    AnlModel& model = *req_.model;
    for (AnlMateRelPair* pair = model.FirstLiveMateRelPair(); pair; pair = model.NextLiveMateRelPair()) {
      Target a, b;
      if (!WhyNotTied(*pair, a, b)) links.emplace_back(a.part - parts_.data(), b.part - parts_.data());
    }
    return links;
  }

  bool AnyFilm() const {
    for (const StepData& step : steps_)
      if (!step.film.empty()) return true;
    return false;
  }

  // --- writing ----------------------------------------------------------------------------

  static std::string Triple(const CaeVector& v) {
    return DeckNumber(v[0]) + "," + DeckNumber(v[1]) + "," + DeckNumber(v[2]);
  }

  void Line(const std::string& text) {
    out_ += text;
    out_ += '\n';
  }

  int NodeCount() const {
    int count = 0;
    for (const Part& part : parts_) count += part.mesh->NumNodes();
    return count;
  }

  void WriteModel() {
    Line("** Analysis deck of the model " + std::string(req_.model->Name().Str()) + " (SI units)");
    Line("*NODE, NSET=NALL");
    std::set<long> written;
    for (const Part& part : parts_) {
      CaeList<CaeNode> nodes;
      part.mesh->Nodes(nodes);
      for (CaeNode* n : nodes)
        if (written.insert(n->Id()).second)
          Line(std::to_string(n->Id()) + "," + Triple(ToSI(CaeUtLength, n->Coordinate())));
    }
    for (const Part& part : parts_) WriteElements(part);
    Line("*ELSET, ELSET=EALL");
    for (const Part& part : parts_) Line("P" + std::to_string(part.number));
    for (const Part& part : parts_) WriteMaterial(part);
    WriteTies();
    for (const std::string& line : transforms_) Line(line);
    if (hasReference_ || type_ == AnlHeatTransfer) {
      Line("*INITIAL CONDITIONS, TYPE=TEMPERATURE");
      Line("NALL," + DeckNumber(hasReference_ ? referenceTemperature_ : InitialTemperature()));
    }
  }

  // A start value for the steady heat solution: the first fixed temperature, else room
  // temperature.
  double InitialTemperature() const {
    for (const StepData& step : steps_)
      for (const auto& [key, value] : step.boundary)
        if (key.second == kDofTemperature) return value;
    return 293.15;
  }

  void WriteElements(const Part& part) {
    CaeList<CaeElem> elements;
    part.mesh->Elements(elements);
    bool quadratic = false;
    for (CaeElem* e : elements) {
      quadratic = e->Order() == CaeElemQuadratic;
      break;
    }
    const char* type = part.shell ? (quadratic ? "S6" : "S3") : (quadratic ? "C3D10" : "C3D4");
    Line(std::string("*ELEMENT, TYPE=") + type + ", ELSET=P" + std::to_string(part.number));
    for (CaeElem* e : elements) {
      std::string line = std::to_string(e->Id());
      for (int k = 0; k < e->NumNodes(); ++k) line += "," + std::to_string(e->Node(k)->Id());
      Line(line);
    }
  }

  // A part's elements in material groups: one element set per group that has elements.
  void WriteMaterialGroups(const Part& part) {
    const std::vector<double>& scales = part.mesh->MaterialGroupScales();
    std::vector<std::vector<long>> members(scales.size());
    CaeList<CaeElem> elements;
    part.mesh->Elements(elements);
    for (CaeElem* e : elements) members[static_cast<std::size_t>(part.mesh->MaterialGroup(e->Id()))].push_back(e->Id());
    for (std::size_t k = 0; k < members.size(); ++k) {
      if (members[k].empty()) continue;
      Line("*ELSET, ELSET=P" + std::to_string(part.number) + "G" + std::to_string(k));
      for (std::size_t i = 0; i < members[k].size(); i += 16) {
        std::string line;
        for (std::size_t j = i; j < std::min(i + 16, members[k].size()); ++j)
          line += (line.empty() ? "" : ",") + std::to_string(members[k][j]);
        Line(line);
      }
      WriteMaterial(part, "P" + std::to_string(part.number) + "G" + std::to_string(k),
                    "M" + std::to_string(part.number) + "G" + std::to_string(k), scales[k]);
    }
  }

  void WriteMaterial(const Part& part) {
    if (!part.shell && Structural(type_) && !part.mesh->MaterialGroupScales().empty()) return WriteMaterialGroups(part);
    WriteMaterial(part, "P" + std::to_string(part.number), "M" + std::to_string(part.number), 1.0);
  }

  // The material of an element set, its modulus scaled (a material group).
  void WriteMaterial(const Part& part, const std::string& elementSet, const std::string& name, double modulusScale) {
    const CaeMaterial& material = *part.sub->GetMaterial();
    Line("** material " + std::string(material.Name().Str()));
    Line("*MATERIAL, NAME=" + name);
    CaeArray<double> temps;
    material.GetTemps(temps);
    const bool byTemperature = temps.Count() > 1;
    auto rows = [&](const char* keyword, std::initializer_list<std::pair<int, int>> props) {
      Line(keyword);
      for (int i = 0; i < temps.Count(); ++i) {
        double v[CaeMaterial::kPropCount];
        material.GetProp(temps[i], v);
        std::string line;
        for (auto [prop, unit] : props)
          line += (line.empty() ? "" : ",") +
                  DeckNumber(ToSI(unit, v[prop]) * (prop == CaeMaterial::kModulus ? modulusScale : 1.0));
        if (byTemperature) line += "," + DeckNumber(ToSI(CaeUtTemperature, temps[i]));
        Line(line);
      }
    };
    if (Structural(type_)) {
      rows("*ELASTIC", {{CaeMaterial::kModulus, CaeUtStress}, {CaeMaterial::kPoisson, CaeUtNone}});
      rows("*DENSITY", {{CaeMaterial::kDensity, CaeUtDensity}});
      if (hasReference_)
        rows(("*EXPANSION, ZERO=" + DeckNumber(referenceTemperature_)).c_str(),
             {{CaeMaterial::kExpansion, CaeUtExpansion}});
    } else {
      if (byTemperature) heatStepIterates_ = true;
      rows("*CONDUCTIVITY", {{CaeMaterial::kConductivity, CaeUtConductivity}});
      rows("*SPECIFIC HEAT", {{CaeMaterial::kSpecificHeat, CaeUtSpecificHeat}});
      rows("*DENSITY", {{CaeMaterial::kDensity, CaeUtDensity}});
    }
    if (part.shell) {
      Line("*SHELL SECTION, ELSET=" + elementSet + ", MATERIAL=" + name);
      Line(DeckNumber(ToSI(CaeUtLength, part.sub->GetProp()->GetPropValue(CaeElemProp::kThickness))));
    } else {
      Line("*SOLID SECTION, ELSET=" + elementSet + ", MATERIAL=" + name);
    }
  }

  // Mated faces of different parts are tied: the first face's nodes follow the second face.
  void WriteTies() {
    AnlModel& model = *req_.model;
    int number = 0;
    for (AnlMateRelPair* pair = model.FirstLiveMateRelPair(); pair; pair = model.NextLiveMateRelPair()) {
      Target a, b;
      if (WhyNotTied(*pair, a, b)) continue;  // refused by the check
      ++number;
      const std::string n = std::to_string(number);
      Line("*SURFACE, NAME=TS" + n + ", TYPE=NODE");
      for (CaeNode* node : NodesOf(a)) Line(std::to_string(node->Id()));
      Line("*SURFACE, NAME=TM" + n + ", TYPE=ELEMENT");
      for (const std::string& face : FaceLabels(b, "S")) Line(face);
      Line("*TIE, NAME=T" + n +
           ", POSITION TOLERANCE=" + DeckNumber(ToSI(CaeUtLength, std::max(model.GetMateRelTolerance(), 1e-9))));
      Line("TS" + n + ",TM" + n);
    }
  }

  void WriteStepHeader() {
    const bool iterative = NodeCount() > AnlWriter::kIterativeSolverNodes;
    switch (type_) {
      case AnlStress: Line(iterative ? "*STATIC, SOLVER=ITERATIVE CHOLESKY" : "*STATIC"); break;
      case AnlVibration:
        Line("*FREQUENCY");
        Line(FrequencyLine());
        break;
      case AnlBuckling:
        Line("*BUCKLE");
        Line(std::to_string(req_.numModes > 0 ? req_.numModes : 1));
        break;
      case AnlHeatTransfer:
        Line(iterative ? "*HEAT TRANSFER, STEADY STATE, SOLVER=ITERATIVE CHOLESKY" : "*HEAT TRANSFER, STEADY STATE");
        Line("1.,1.");
        WriteTemperatureConvergence();
        break;
    }
  }

  // The criterion on the temperature correction of an iterating heat step: the largest correction
  // as a fraction of the largest temperature change (the second field); the residual keeps the
  // solver's default.
  void WriteTemperatureConvergence() {
    if (!heatStepIterates_ || !(req_.tempConv > 0.0) || !std::isfinite(req_.tempConv)) return;
    Line("*CONTROLS, PARAMETERS=FIELD");
    Line(DeckNumber(kDefaultResidualCriterion) + "," + DeckNumber(req_.tempConv / 100.0));
  }

  // The solver's frequency line: how many modes, then the range they are taken from.
  std::string FrequencyLine() const {
    const std::string n = std::to_string(req_.numModes > 0 ? req_.numModes : 5);
    const std::string low = DeckNumber(ToSI(CaeUtFrequency, req_.lowMode));
    const std::string high = DeckNumber(ToSI(CaeUtFrequency, req_.highMode));
    switch (req_.modeMethod) {
      case AnlWriter::kModesLowestInRange: return n + "," + low + "," + high;
      case AnlWriter::kModesAllInRange: return std::to_string(AnlWriter::kModesInRangeAsked) + "," + low + "," + high;
      case AnlWriter::kModesAbove: return n + "," + low;
      default: return n;
    }
  }

  void CheckModes() {
    const int method = req_.modeMethod;
    if (type_ != AnlVibration && type_ != AnlBuckling) return;
    if (method < AnlWriter::kModesLowest || method > AnlWriter::kModesAbove) {
      reasons_.push_back(CaeString::Format("The mode extraction method %d is not known.", method));
      return;
    }
    if (type_ == AnlBuckling && method != AnlWriter::kModesLowest) {
      reasons_.push_back(CaeString(
          "Buckling load factors can only be found from the lowest on: choose the lowest modes, without a range."));
      return;
    }
    const bool ranged = method == AnlWriter::kModesLowestInRange || method == AnlWriter::kModesAllInRange;
    if (ranged && !(req_.highMode > req_.lowMode))
      reasons_.push_back(CaeString("The upper bound of the mode range must be above its lower bound."));
    if (method != AnlWriter::kModesLowest && !(req_.lowMode >= 0))
      reasons_.push_back(CaeString("The lower bound of the mode range cannot be below zero."));
  }

  void Block(const std::string& keyword, bool renew, const std::vector<std::string>& lines) {
    if (lines.empty() && !renew) return;
    Line(keyword + (renew ? ", OP=NEW" : ""));
    for (const std::string& l : lines) Line(l);
  }

  static std::vector<std::string> NodalLines(const std::map<std::pair<long, int>, double>& values, bool range) {
    std::vector<std::string> lines;
    for (const auto& [key, value] : values) {
      const std::string node = std::to_string(key.first), dof = std::to_string(key.second);
      lines.push_back(node + "," + dof + (range ? "," + dof : "") + "," + DeckNumber(value));
    }
    return lines;
  }

  void WriteStep(std::size_t index) {
    const StepData& step = steps_[index];
    const bool renew = index > 0;
    Line("** result case " + std::string(req_.cases[index]->Name().Str()));
    Line("*STEP");
    WriteStepHeader();
    Block("*BOUNDARY", renew, NodalLines(step.boundary, true));
    if (type_ == AnlHeatTransfer) {
      Block("*CFLUX", renew, NodalLines(step.cload, false));
      Block("*DFLUX", renew, step.dflux);
      Block("*FILM", renew, step.film);
    } else if (type_ != AnlVibration) {
      Block("*CLOAD", renew, NodalLines(step.cload, false));
      Block("*DLOAD", renew, step.dload);
      if (step.hasTemperature) {
        Line("*TEMPERATURE");
        Line("NALL," + DeckNumber(step.modelTemperature));
        // Later lines override the uniform value at their nodes.
        for (const auto& [node, value] : step.nodalTemperatures) Line(std::to_string(node) + "," + DeckNumber(value));
      }
    }
    WriteOutputs();
    Line("*END STEP");
  }

  void WriteOutputs() {
    const std::uint32_t asked = req_.outputs;
    auto wants = [&](std::uint32_t bit, bool byDefault) { return asked ? (asked & bit) != 0 : byDefault; };
    std::vector<std::string> nodal, element;
    bool elementEnergy = false;
    if (type_ == AnlHeatTransfer) {
      if (wants(AnlWriter::kOutTemperature, true)) nodal.push_back("NT");
      if (wants(AnlWriter::kOutHeatFlux, true)) element.push_back("HFL");
    } else {
      if (wants(AnlWriter::kOutDisplacement, true)) nodal.push_back("U");
      // A static solve's nodal forces are always written: the job checks them against the loads.
      if (wants(AnlWriter::kOutReaction, type_ == AnlStress) || type_ == AnlStress) nodal.push_back("RF");
      if (wants(AnlWriter::kOutStress, type_ != AnlBuckling)) element.push_back("S");
      if (wants(AnlWriter::kOutStrain, false)) element.push_back("E");
      // Shells (expanded by the solver) are left to an explicit request. The solver estimates the
      // error from the stresses' jumps between quadratic solid elements only.
      const bool solidStatic =
          type_ == AnlStress && std::none_of(parts_.begin(), parts_.end(), [](const Part& p) { return p.shell; });
      const bool quadratic = std::all_of(parts_.begin(), parts_.end(),
                                         [](const Part& p) { return p.mesh && p.mesh->GetElementOrder() != 1; });
      if (wants(AnlWriter::kOutStrainEnergy, solidStatic)) {
        element.push_back("ENER");
        elementEnergy = true;
      }
      if (wants(AnlWriter::kOutErrorEstimate, solidStatic && quadratic)) element.push_back("ERR");
    }
    auto join = [](const std::vector<std::string>& items) {
      std::string s;
      for (const std::string& i : items) s += (s.empty() ? "" : ",") + i;
      return s;
    };
    if (!nodal.empty()) {
      Line("*NODE FILE");
      Line(join(nodal));
    }
    if (!element.empty()) {
      Line("*EL FILE");
      Line(join(element));
    }
    // The energy of each element is printed (the results file has nodal values only).
    if (elementEnergy)
      for (const Part& part : parts_) {
        Line("*EL PRINT, ELSET=P" + std::to_string(part.number));
        Line("ELSE");
      }
    // So are the stresses and strains at the integration points, which the reader averages into
    // element values. Shells are expanded by the solver, whose printed points would not be ours.
    std::vector<std::string> printed;
    if (std::find(element.begin(), element.end(), "S") != element.end()) printed.push_back("S");
    if (std::find(element.begin(), element.end(), "E") != element.end()) printed.push_back("E");
    if (!printed.empty())
      for (const Part& part : parts_)
        if (!part.shell) {
          Line("*EL PRINT, ELSET=P" + std::to_string(part.number));
          Line(join(printed));
        }
  }

  const DeckRequest& req_;
  std::vector<CaeString>& reasons_;
  AnlType type_;
  std::vector<Part> parts_;
  std::vector<StepData> steps_;
  bool hasReference_ = false;
  double referenceTemperature_ = 0.0;
  // A conductivity given by temperature makes the heat step nonlinear, so that it iterates.
  bool heatStepIterates_ = false;
  // The solver's default residual criterion, written with the temperature criterion after it.
  static constexpr double kDefaultResidualCriterion = 0.005;
  bool ignored_ = false;
  std::set<const AttBaseLbc*> transformed_;
  std::set<const AttBaseLbc*> warned_;
  std::vector<std::string> transforms_;
  std::string out_;
};

}  // namespace

// Each value the analysis uses must keep its rule; every value must be finite.
std::vector<CaeString> MaterialProblems(const CaeMaterial& material, AnlType type) {
  std::vector<int> used;
  if (Structural(type))
    used = {CaeMaterial::kModulus, CaeMaterial::kPoisson};
  else
    used = {CaeMaterial::kConductivity};
  if (type == AnlVibration) used.push_back(CaeMaterial::kDensity);
  std::vector<CaeString> problems;
  CaeArray<double> temps;
  material.GetTemps(temps);
  for (int i = 0; i < temps.Count(); ++i) {
    double v[CaeMaterial::kPropCount];
    material.GetProp(temps[i], v);
    for (int prop = 0; prop < CaeMaterial::kPropCount; ++prop) {
      const bool ruled = std::find(used.begin(), used.end(), prop) != used.end();
      CaeString problem = CaeMaterial::ValueProblem(prop, v[prop]);
      if (problem.IsEmpty() || (!ruled && std::isfinite(v[prop]))) continue;
      if (temps.Count() > 1) problem += CaeString::Format(" (at temperature %g)", temps[i]);
      problems.push_back(problem);
    }
  }
  return problems;
}

bool BuildDeck(const DeckRequest& request, std::string& text, std::vector<CaeString>& reasons, bool& ignored) {
  ignored = false;
  DeckBuilder builder(request, reasons);
  return builder.Build(text, ignored);
}

}  // namespace fea_detail
