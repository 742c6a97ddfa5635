#include "db/dbLbcVis.h"

#include <utility>

#include "amg/CaeCoordSys.h"
#include "amg/CaeMsgCall.h"
#include "amg/CaeTopoRef.h"
#include "amg/CaeUnit.h"
#include "arx/adesk.h"
#include "arx/gidisplay.h"
#include "cadInterface/CadInterface.h"
#include "fea/AttCodes.h"
#include "fea/AttLbcDescript.h"
#include "topo/acTopoRef.h"
#include "util/acSymbol.h"

namespace {

constexpr int kEdgeSamples = 3;

bool isForceLike(int unit) {
  return unit == CaeUtForce || unit == CaeUtForcePerArea || unit == CaeUtStress || unit == CaeUtForcePerLength;
}

// The symbol name by the first rule after the convection's that applies; null when none does.
const char* symbolNameFor(const AttLbcDescript& descriptor, const CaepLbcVis& condition, const CaeVector& point) {
  const int unit = descriptor.Dimension();
  if (descriptor.kind == AttKindModelTemp) return "scalarSym";
  if (descriptor.kind == AttKindRestraint && unit == CaeUtNone) return "bowtie";
  if (isForceLike(unit)) {
    if (dynamic_cast<const CaeCoordSysFace*>(condition.CoordSys()))
      return condition.LocalValueAt(point)[2] >= 0.0 ? "pressurearrow" : "arrow";
    return "arrow";
  }
  switch (unit) {
    case CaeUtLength:
    case CaeUtAngularVelocity:
    case CaeUtAcceleration: return "arrow";
    case CaeUtTemperature: return "scalarSym";
    case CaeUtHeatGeneration: return "diamond";
    case CaeUtHeatFlow:
    case CaeUtHeatFlowPerLength:
    case CaeUtHeatFlux: return "pyramid";
    case CaeUtMoment: return "momentarrow";
    default: return nullptr;
  }
}

}  // namespace

int CaepLbcVis::Draw(AcGiWorldDraw* draw, CaeTopoRef* ref) const {
  if (!ref || !SymbolsShown()) return 0;
  // Drawing changes no part: each reference is checked against its part once per regeneration.
  AcTopoCheckScope checkedOnce(acgiRegenerationNumber());
  // The children lie in the reference's own component: one answer serves them all.
  if (!ref->IsVisible()) return 0;
  if (DrawKept(draw, ref)) return 1;
  kept_.valid = false;
  std::vector<Placement> found;
  const bool keep = MayKeepPlacements();
  const std::uint64_t geometry = acTopoGeometryGeneration();
  DrawReference(draw, ref, keep ? &found : nullptr);
  // A re-resolution during the drawing may have placed the first symbols on the geometry before it.
  if (keep && geometry == acTopoGeometryGeneration())
    kept_ = KeptPlacements{true, ref, geometry, acSymbolTableGeneration(), std::move(found)};
  return 1;
}

bool CaepLbcVis::DrawKept(AcGiWorldDraw* draw, CaeTopoRef* ref) const {
  if (!kept_.valid || kept_.ref != ref || kept_.symbols != acSymbolTableGeneration() || !MayKeepPlacements())
    return false;
  if (!ReferencesUnchanged(ref, kept_.geometry)) return false;
  int free[6] = {0, 0, 0, 0, 0, 0};
  FreeComponents(free);
  for (const Placement& placement : kept_.placements) DrawPlacement(draw, placement, free);
  return true;
}

bool CaepLbcVis::ReferencesUnchanged(CaeTopoRef* ref, std::uint64_t geometry) const {
  if (auto* own = dynamic_cast<AcTopoRef*>(ref)) own->Reresolve();
  if (acTopoGeometryGeneration() != geometry) return false;
  if (ref->Kind() != CaeTopoRef::kFace && ref->Kind() != CaeTopoRef::kBody) return true;
  int flag = 0;
  for (CaeTopoRef* child = ref->FirstChild(flag); child; child = ref->NextChild(child, flag, flag))
    if (!ReferencesUnchanged(child, geometry)) return false;
  return true;
}

bool CaepLbcVis::SymbolsShown() const {
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad) return true;
  SymbolVisibility flags;
  cad->GetSymbolVisibility(flags);
  const AttLbcDescriptTable table;
  const AttLbcDescript* descriptor = table.Find(TypeCode());
  const bool restraint = descriptor && descriptor->kind == AttKindRestraint;
  return (restraint ? flags.restraints : flags.loads) != 0;
}

void CaepLbcVis::DrawReference(AcGiWorldDraw* draw, CaeTopoRef* ref, std::vector<Placement>* found) const {
  switch (ref->Kind()) {
    case CaeTopoRef::kVertex: {
      CaeVector point;
      ref->Feval(CaeVector(), point);
      const AcSymbol* symbol = nullptr;
      int perAxis = 0;
      SymbolName(symbol, perAxis, point);
      DrawAt(draw, *symbol, perAxis, point, found);
      break;
    }
    case CaeTopoRef::kEdge: {
      double params[kEdgeSamples];
      EdgeSamples(ref, params, kEdgeSamples);
      CaeVector point;
      ref->Feval(CaeVector(params[0], 0, 0), point);
      const AcSymbol* symbol = nullptr;
      int perAxis = 0;
      SymbolName(symbol, perAxis, point);
      for (double t : params) {
        ref->Feval(CaeVector(t, 0, 0), point);
        DrawAt(draw, *symbol, perAxis, point, found);
      }
      break;
    }
    case CaeTopoRef::kFace:
    case CaeTopoRef::kBody: {
      int flag = 0;
      for (CaeTopoRef* child = ref->FirstChild(flag); child; child = ref->NextChild(child, flag, flag))
        DrawReference(draw, child, found);
      break;
    }
    default: CAE_GENERAL_ERROR();
  }
}

void CaepLbcVis::DrawAt(AcGiWorldDraw* draw, const AcSymbol& symbol, int perAxis, const CaeVector& point,
                        std::vector<Placement>* found) const {
  Placement placement{&symbol, perAxis, point, CaeTransform()};
  SymbolTransform(point, perAxis, placement.transform);
  int free[6] = {0, 0, 0, 0, 0, 0};
  FreeComponents(free);
  DrawPlacement(draw, placement, free);
  if (found) found->push_back(placement);
}

void CaepLbcVis::DrawPlacement(AcGiWorldDraw* draw, const Placement& placement, const int* free) const {
  placement.symbol->acDrawSymbol(static_cast<Adesk::UInt16>(ColorIndex()), scale_, draw, placement.point,
                                 placement.transform, placement.perAxis, free);
}

void CaepLbcVis::SymbolName(const AcSymbol*& symbol, int& perAxis, const CaeVector& point) const {
  const AttLbcDescriptTable table;
  const int type = TypeCode();
  const AttLbcDescript* descriptor = table.Find(type);
  perAxis = descriptor ? descriptor->perAxis : 0;
  const char* name = nullptr;
  if (type == ToAttType(AttCode::FaceConvection))
    name = "cube";
  else if (descriptor)
    name = symbolNameFor(*descriptor, *this, point);
  if (!name) CAE_GENERAL_ERROR();
  symbol = acFindSymbolName(name);
  if (!symbol) CAE_GENERAL_ERROR();
}

void CaepLbcVis::SymbolTransform(const CaeVector& point, int perAxis, CaeTransform& transform) const {
  transform = CaeTransform();
  transform.SetTranslation(point);
  switch (ValueKind()) {
    case AttValueScalar:
      if (TypeCode() == ToAttType(AttCode::Pressure)) transform = CaeTransform(point, ValueAt(point));
      break;
    case AttValueVector:
      if (!perAxis) {
        transform = CaeTransform(point, ValueAt(point));
        break;
      }
      if (const CaeCoordSys* axes = CoordSys()) {
        for (int i = 0; i < 3; ++i) {
          CaeVector unit;
          unit[i] = 1.0;
          axes->VectorsToGlobal(1, &point, &unit);
          transform.SetUnitVector(i, unit);
        }
      }
      transform.SetTranslation(point);
      break;
    default: break;
  }
}

void CaepLbcVis::EdgeSamples(CaeTopoRef* edge, double* params, int n) {
  CaeVector lower, upper;
  edge->ParamRange(lower, upper);
  const double t0 = lower[0], t1 = upper[0];
  for (int i = 0; i < n; ++i) params[i] = t0 + (i + 0.5) * (t1 - t0) / n;
}
