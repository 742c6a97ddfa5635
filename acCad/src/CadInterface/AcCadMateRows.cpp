// The mating-relation operations of the CAD interface: a relation picked on two faces (two edges
// when the current model has shell meshes), a relation made again from an existing pair, and the
// pair's colour and scale for the setup sheet.
#include <memory>

#include "CadInterface/AcCadInterface.h"
#include "amg/CaeMsgCall.h"
#include "arx/acutads.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadResources.h"
#include "db/dbMateRel.h"
#include "db/dbMateRelPair.h"
#include "db/dbModel.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "res/ResourceIds.h"
#include "topo/acTopoRef.h"

namespace {

// CAD-neutral pick kinds of the two sides.
constexpr int kPickFaceKind = 2;
constexpr int kPickEdgeKind = 3;

CaepAnlModelObj* currentModel() {
  AnlControl* control = AnlControl::GetCurrent();
  auto* model = dynamic_cast<CaepAnlModelObj*>(control ? control->CurrentAnlModel() : nullptr);
  CAE_CHECK(model != nullptr);
  return model;
}

// Shell meshes are tied along their edges, solids on their faces.
int sidePickKind() { return currentModel()->HasShellMesh() ? kPickEdgeKind : kPickFaceKind; }

bool refuseEmptyName(const CaeString& name) {
  if (!name.IsEmpty()) return false;
  acutPrintf("\n%s", resLoadString(IDS_MATE_NAME_EMPTY).Text());
  return true;
}

}  // namespace

void AcCadInterface::CreateMateRelation(CaeString name, int colour, double symbolScale) {
  if (refuseEmptyName(name)) return;
  AcBrEntity* first = PickEntity(sidePickKind());
  if (!first) return;
  AcBrEntity* second = PickEntity(sidePickKind());
  while (second && second == first) {
    const CaeString text = resLoadString(IDS_MATE_SAME_FACE) + "\n" + resLoadString(IDS_MATE_PICK_HINT);
    CadMessageBoxText(text.Text(), MB_OK);
    second = PickEntity(sidePickKind());
  }
  if (!second) return;
  CreateMateRelPair(first, second, name, colour, symbolScale);
}

void AcCadInterface::CreateMateRelPair(AcBrEntity* first, AcBrEntity* second, const CaeString& name, int colour,
                                       double symbolScale) {
  CaepAnlModelObj* model = currentModel();
  AcTopoRef* firstRef = acTopoRefFromBrEntity(first);
  AcTopoRef* secondRef = acTopoRefFromBrEntity(second);
  CAE_CHECK(firstRef != nullptr && secondRef != nullptr);
  auto pair = std::make_unique<CaepMateRelPair>(firstRef, secondRef, name, colour, symbolScale);
  model->AddMateRelPair(pair.get());
  pair.release();  // the drawing owns it now
}

void AcCadInterface::RecreateMateRelation(AnlMateRelPair* old, CaeString name, int colour, double symbolScale) {
  CAE_CHECK(old != nullptr);
  if (refuseEmptyName(name)) return;
  AttMateRel* first = nullptr;
  AttMateRel* second = nullptr;
  old->GetMateRels(first, second);
  // A side whose geometry is gone cannot be tied again: the pair stays as it is.
  const bool sidesLive = first && second && !first->IsMarkedAsErased() && !second->IsMarkedAsErased();
  auto* firstRef = static_cast<AcTopoRef*>(sidesLive ? first->GetTopoRef() : nullptr);
  auto* secondRef = static_cast<AcTopoRef*>(sidesLive ? second->GetTopoRef() : nullptr);
  AcBrEntity* firstEntity = firstRef ? firstRef->GetBrEntity() : nullptr;
  AcBrEntity* secondEntity = secondRef ? secondRef->GetBrEntity() : nullptr;
  if (!firstEntity || !secondEntity) {
    acutPrintf("\n%s", resLoadString(IDS_MATE_SIDE_LOST).Text());
    return;
  }
  CreateMateRelPair(firstEntity, secondEntity, name, colour, symbolScale);
  currentModel()->DeleteMateRelPair(old);
}

void AcCadInterface::GetMateRelColorAndScale(AnlMateRelPair* pair, int* colour, double* scale) {
  auto* drawn = dynamic_cast<CaepMateRelPair*>(pair);
  if (!drawn) return;
  if (colour) *colour = drawn->ColorIndex();
  if (scale) *scale = drawn->SymbolScale();
}
