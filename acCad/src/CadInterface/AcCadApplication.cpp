#include "CadInterface/AcCadApplication.h"

#include <algorithm>
#include <array>
#include <vector>

#include "CadInterface/AcCadAppControl.h"
#include "CadInterface/AcCadDocControl.h"
#include "CadInterface/AcCadInterface.h"
#include "amg/CaeMsgCall.h"
#include "arx/accmd.h"
#include "arx/acdocman.h"
#include "arx/rxobject.h"
#include "db/dbCase.h"
#include "db/dbCon.h"
#include "db/dbJob.h"
#include "db/dbLbc.h"
#include "db/dbLbcConv.h"
#include "db/dbLbcHtGen.h"
#include "db/dbLbcSet.h"
#include "db/dbMateRel.h"
#include "db/dbMateRelPair.h"
#include "db/dbMesh.h"
#include "db/dbMeshUse.h"
#include "db/dbModel.h"
#include "db/dbModelLbc.h"
#include "db/dbModelTemp.h"
#include "db/dbOptCon.h"
#include "db/dbOptModel.h"
#include "db/dbOptObj.h"
#include "db/dbOptResult.h"
#include "db/dbOptVar.h"
#include "db/dbRecords.h"
#include "db/dbResultSet.h"
#include "db/dbSubModel.h"
#include "topo/acShapeSource.h"
#include "util/acEditor.h"

namespace {

constexpr char kCommandGroup[] = "CAEP";

// Registration order is the table's order; unregistration follows unregisterPosition.
constexpr std::array<AcCustomClassEntry, 26> kCustomClasses{{
    {"CaepVersionObj", &CaepVersionObj::rxInit, &CaepVersionObj::desc, 1},
    {"CaepUnitsObj", &CaepUnitsObj::rxInit, &CaepUnitsObj::desc, 2},
    {"CaepAnlModelObj", &CaepAnlModelObj::rxInit, &CaepAnlModelObj::desc, 3},
    {"CaepAnlSubModelObj", &CaepAnlSubModelObj::rxInit, &CaepAnlSubModelObj::desc, 4},
    {"CaepMeshEnt", &CaepMeshEnt::rxInit, &CaepMeshEnt::desc, 12},
    {"CaepLoadCaseObj", &CaepLoadCaseObj::rxInit, &CaepLoadCaseObj::desc, 5},
    {"CaepRestraintCaseObj", &CaepRestraintCaseObj::rxInit, &CaepRestraintCaseObj::desc, 6},
    {"CaepLbcEnt", &CaepLbcEnt::rxInit, &CaepLbcEnt::desc, 7},
    {"CaepModelLbcEnt", &CaepModelLbcEnt::rxInit, &CaepModelLbcEnt::desc, 8},
    {"CaepModelTempEnt", &CaepModelTempEnt::rxInit, &CaepModelTempEnt::desc, 9},
    {"CaepLbcConvEnt", &CaepLbcConvEnt::rxInit, &CaepLbcConvEnt::desc, 10},
    {"CaepLbcHtGenEnt", &CaepLbcHtGenEnt::rxInit, &CaepLbcHtGenEnt::desc, 11},
    {"CaepAnlDrvJobObj", &CaepAnlDrvJobObj::rxInit, &CaepAnlDrvJobObj::desc, 14},
    {"CaepAnlConstrJobObj", &CaepAnlConstrJobObj::rxInit, &CaepAnlConstrJobObj::desc, 15},
    {"CaepResultCaseObj", &CaepResultCaseObj::rxInit, &CaepResultCaseObj::desc, 16},
    {"CaepOptModel", &CaepOptModel::rxInit, &CaepOptModel::desc, 17},
    {"CaepOptVariable", &CaepOptVariable::rxInit, &CaepOptVariable::desc, 18},
    {"CaepOptConstraint", &CaepOptConstraint::rxInit, &CaepOptConstraint::desc, 19},
    {"CaepOptObjective", &CaepOptObjective::rxInit, &CaepOptObjective::desc, 20},
    {"CaepOptResultCase", &CaepOptResultCase::rxInit, &CaepOptResultCase::desc, 21},
    {"CaepAnlResultCase", &CaepAnlResultCase::rxInit, &CaepAnlResultCase::desc, 22},
    {"CaepAnlLbcCase", &CaepAnlLbcCase::rxInit, &CaepAnlLbcCase::desc, 23},
    {"CaepMeshUse", &CaepMeshUse::rxInit, &CaepMeshUse::desc, 26},
    {"CaepConEnt", &CaepConEnt::rxInit, &CaepConEnt::desc, 13},
    {"CaepMateRelEnt", &CaepMateRelEnt::rxInit, &CaepMateRelEnt::desc, 24},
    {"CaepMateRelPair", &CaepMateRelPair::rxInit, &CaepMateRelPair::desc, 25},
}};

}  // namespace

std::span<const AcCustomClassEntry> acCustomClasses() { return kCustomClasses; }

AcCadApplication::AcCadApplication() {
  SetAppControl(new AcCadAppControl());
  try {
    RegisterClasses();
    acrxBuildClassHierarchy();
    acInstallReactors();
    shapeSource_ = std::make_unique<AcShapeSource>();
  } catch (...) {
    UnregisterClasses();
    SetAppControl(nullptr);
    throw;
  }
}

AcCadApplication::~AcCadApplication() {
  shapeSource_.reset();
  acRemoveReactors();
  acedRegCmds->removeGroup(kCommandGroup);
  UnregisterClasses();
  SetCurrentDocControl(nullptr);
}

void AcCadApplication::RegisterClasses() {
  for (const AcCustomClassEntry& entry : acCustomClasses()) {
    entry.rxInit();
    ++registeredClasses_;
  }
}

void AcCadApplication::UnregisterClasses() {
  std::vector<const AcCustomClassEntry*> registered;
  const auto classes = acCustomClasses();
  for (int i = 0; i < registeredClasses_; ++i) registered.push_back(&classes[static_cast<std::size_t>(i)]);
  std::sort(registered.begin(), registered.end(), [](const AcCustomClassEntry* a, const AcCustomClassEntry* b) {
    return a->unregisterPosition < b->unregisterPosition;
  });
  for (const AcCustomClassEntry* entry : registered)
    if (AcRxClass* record = entry->desc()) deleteAcRxClass(record);
  registeredClasses_ = 0;
}

CadDocControl* AcCadApplication::CreateDocControl(void* document) {
  return new AcCadDocControl(static_cast<AcApDocument*>(document));
}

bool AcCadApplication::IsDocumentUsable(void* /*token*/) { return true; }

void* AcCadApplication::CurrentDocument() { return acDocManagerPtr()->curDocument(); }

void AcCadApplication::OnDocumentActivated(void* /*document*/) {
  if (CadInterface* cad = CadInterface::GetCurrent()) cad->RebuildExplorer();
}

void AcCadApplication::OnDocumentBecameCurrent(void* /*document*/) {
  if (!CurrentDocControl()) ActivateDocument(nullptr);
}

void AcCadApplication::OnApplicationUnloading() {
  CadApplication::OnApplicationUnloading();
  delete this;
}
