#include "topo/acTopoTables.h"

#include <vector>

#include "CadInterface/AcCadDocControl.h"
#include "arx/brbrep.h"
#include "cadInterface/CadApplication.h"
#include "topo/acTopoNav.h"
#include "topo/acTopoRef.h"
#include "util/acBrEnt.h"

AcTopoTables::AcTopoTables() : entities_(&acBrEntityCompare), references_(&acTopoRefCompare) {}

AcTopoTables::~AcTopoTables() {
  AcTopoNav::ResetBodyWalk();  // it may stand on one of the entities deleted below
  references_.RemoveAll();
  // References first: their destructors release keys but never touch the entities.
  for (AcTopoRef* reference : owned_) delete reference;
  std::vector<AcBrEntity*> entities;
  for (auto* node = entities_.FirstNode(); node->HasItem(); node = node->Next()) entities.push_back(node->Item());
  entities_.RemoveAll();
  for (AcBrEntity* entity : entities) delete entity;
}

AcTopoRef* AcTopoTables::FindReference(const AcBrEntity* entity) {
  if (!entity) return nullptr;
  AcTopoRef probe(const_cast<AcBrEntity*>(entity), nullptr);
  CaeLible<AcTopoRef>* node = references_.Find(&probe);
  return node->HasItem() ? node->Item() : nullptr;
}

void AcTopoTables::InsertReference(AcTopoRef* reference) {
  // At the front whatever the ring's own default is: a walk that re-validates (and so re-inserts)
  // every reference must not meet the ones it already moved.
  references_.NewNodeAtFront(reference);
  owned_.insert(reference);
}

void AcTopoTables::UnlinkReference(AcTopoRef* reference) {
  CaeLible<AcTopoRef>* node = references_.Find(reference);
  if (node->HasItem() && node->Item() == reference) node->Unlink();
}

AcTopoTables* AcTopoTables::Current() {
  auto* data = dynamic_cast<AcCadDocData*>(CadCurrentDocData());
  return data ? &data->TopoTables() : nullptr;
}
