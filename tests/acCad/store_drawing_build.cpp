#include "store_drawing_build.h"

#include <gtest/gtest.h>

#include "CadInterface/AcCadDocControl.h"
#include "amg/CaeCoordSys.h"
#include "amg/CaeMaterial.h"
#include "amg/CaeTransform.h"
#include "amg/CaeUnit.h"
#include "arx/acdocman.h"
#include "arx/dbdatabase.h"
#include "arx/dbtrans.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadApplication.h"
#include "db/dbCase.h"
#include "db/dbControl.h"
#include "db/dbFiling.h"
#include "db/dbJob.h"
#include "db/dbLbcSet.h"
#include "db/dbModel.h"
#include "db/dbOpen.h"
#include "db/dbResultSet.h"
#include "db/dbSubModel.h"
#include "fea/AttTypes.h"
#include "store_standins.h"

namespace {

template <class T>
T* openForWrite(AcDbDatabase* db, AcDbObjectId id) {
  return dynamic_cast<T*>(dbOpenMember(db, id, AcDb::kForWrite));
}

}  // namespace

CaeTransform storePlacement(double shift) {
  CaeTransform transform;
  transform.Set(0, 3, 1.5 + shift);
  transform.Set(1, 3, -2.25);
  transform.Set(0, 1, 0.125);
  return transform;
}

CaepAnlSubModelObj* storeAddSubModel(AcDbDatabase* db, CaepAnlModelObj* model, const char* material) {
  auto* mesh = new StoreMeshStandIn();
  auto* sub = dynamic_cast<CaepAnlSubModelObj*>(model->NewSubModelFor(mesh));
  openForWrite<StoreMeshStandIn>(db, sub->MeshId())->subModel = sub->objectId();
  if (*material) sub->AssignMaterial(new CaeMaterial(CaeString(material)));
  return sub;
}

AnlJob* storeAddJob(CaepAnlModelObj* model, const std::filesystem::path& folder, const char* name) {
  AnlJob* job = model->NewJob();
  job->Create(CaeString((folder / name).string()));
  job->SetStatus(AnlStatusDone);
  job->SetName(CaeString(name));
  job->SetJobValue(42);
  job->SetUnitSystem(
      CaeUnitSystem(CaeInch, CaeDegree, CaeFahrenheit, CaePoundForce, CaePoundMass, CaeSecond, CaeBtu, CaeHertz));
  job->AddResltCaseNames(CaeString("Loads"), CaeString("Fixed"));
  job->AddResltCaseNames(CaeString("Snow"), CaeString("Pinned"));
  return job;
}

FerResultSet* storeAddResultSet(CaepAnlModelObj* model, const char* name) {
  FerResultSet* set = model->NewResultSet(CaeString(name));
  set->Modal(1);
  set->SetAnalType(1);
  set->SetAnlTypName(CaeString("Vibration"));
  set->SetSubSetUnits(CaeUtFrequency);
  set->SetSubSetName(CaeString("Mode"));
  set->AddSubSet(new FerResultSubSet(12.5));
  set->AddSubSet(new FerResultSubSet(40.75));
  auto* result = new FerFileResult(FerQtyDisplacement);
  result->SetDataFileFromDB(CaeString("run1.disp"));
  result->SetFieldValue(1);
  result->SetEntityCount(120);
  result->SetEntityType(2);
  result->SetDataType(3);
  result->SetDataCount(480);
  result->SetSubSetCount(2);
  result->SetMaxEnt(77);
  set->AddResult(result);
  return set;
}

AcDbObjectId storeAddCondition(AcDbDatabase* db, AcDbObjectId set, int type) {
  auto* entity = new StoreLbcStandIn(type);
  openForWrite<CaepLbcSetObj>(db, set)->AddLbc(entity);
  const AcDbObjectId id = entity->objectId();
  entity->close();
  return id;
}

StoreDrawing buildStoreDrawing(AcApDocument* document, const std::filesystem::path& folder) {
  EXPECT_EQ(acDocManagerPtr()->curDocument(), document);
  AcDbDatabase* db = document->database();
  CaepAnlControl* control = dbControlOf(db);
  StoreDrawing d;
  db->beginUndoGroup("BUILD");
  {
    DbTransaction transaction(db);
    EXPECT_TRUE(control->SetLengthUnit(2));  // millimetre
    CadDocData* data = CadGetApplication()->FindDocControl(document)->GetData();
    delete data->SetHostUnitSystem(
        new CadUnitSystem(CaeInch, CaeDegree, CaeFahrenheit, CaePoundForce, CaePoundMass, CaeSecond, CaeBtu, CaeHertz));

    auto* stress = dynamic_cast<CaepAnlModelObj*>(control->NewAnlModel(CaeString("Bracket"), AnlStress));
    auto* modal = dynamic_cast<CaepAnlModelObj*>(control->NewAnlModel(CaeString("Housing modes"), AnlVibration));
    d.stress = stress->objectId();
    d.modal = modal->objectId();
    stress->SetId(7);
    stress->SetMateRelTolerance(2.5e-4);
    CaepAnlSubModelObj* shell = storeAddSubModel(db, stress, "S275");
    shell->AssignElement(DbElemDesc{CaeElemQuadratic, CaeShapeTri, CaeElemShell, 0}, 2.5);
    shell->AssignCoordSys(new CaeCoordSysCylindric(storePlacement(0.0)));
    CaepAnlSubModelObj* solid = storeAddSubModel(db, stress, "Al_6061-T6");
    solid->AssignElement(DbElemDesc{}, 0.0);
    solid->AssignCoordSys(new CaeCoordSysSpheric(storePlacement(1.0)));
    storeAddJob(stress, folder, "run1");
    auto* constrained = new CaepAnlConstrJobObj(100);
    constrained->Create(CaeString((folder / "concept").string()));
    constrained->SetText(0, CaeString("first"));
    constrained->SetText(1, CaeString("second"));
    constrained->SetText(2, CaeString("third"));
    constrained->SetJobValue(-3);
    stress->AddJob(constrained);
    storeAddResultSet(stress, "Stresses");

    modal->SetId(8);
    CaepAnlSubModelObj* body = storeAddSubModel(db, modal, "S275");
    body->AssignElement(DbElemDesc{CaeElemLinear, CaeShapeTri, CaeElemSolid, 0}, 0.0);
    body->AssignCoordSys(new CaeCoordSysCartesian(storePlacement(2.0)));
    storeAddJob(modal, folder, "modes");
    storeAddResultSet(modal, "Modes");

    d.loads = dynamic_cast<AcDbObject*>(control->NewLoadCase(CaeString("Loads")))->objectId();
    d.restraints = dynamic_cast<AcDbObject*>(control->NewRestraintCase(CaeString("Fixed")))->objectId();
  }
  {
    DbTransaction transaction(db);
    const AttType load = storeFirstTypeOfKind(AttKindLoad);
    for (AcDbObjectId& member : d.loadMembers) member = storeAddCondition(db, d.loads, load);
    d.restraint = storeAddCondition(db, d.restraints, storeFirstTypeOfKind(AttKindRestraint));
    auto* loads = openForWrite<CaepLbcSetObj>(db, d.loads);
    loads->DeleteLbc(loads->GetLbc(2));

    auto* resultCase = new CaepAnlResultCase(CaeString("Case1"));
    resultCase->Type(AnlResltModal);
    EXPECT_EQ(db->addAcDbObject(d.resultCase, resultCase), Acad::eOk);
    resultCase->AddLoadCase(loads, 1.5)->Id(-3);
    resultCase->AddLoadCase(loads, 0.1 + 0.2)->Id(32767);
    resultCase->AddBoundaryCase(openForWrite<CaepLbcSetObj>(db, d.restraints), 1.0)->Id(-32768);
    resultCase->close();
  }
  db->endUndoGroup();
  return d;
}
