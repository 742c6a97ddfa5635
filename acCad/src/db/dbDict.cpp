#include "db/dbDict.h"

#include "CadInterface/AcCadEntry.h"
#include "amg/CaeMsgCall.h"
#include "arx/dbdatabase.h"
#include "arx/dbdict.h"
#include "db/dbControl.h"
#include "db/dbFiling.h"
#include "db/dbLbcSet.h"
#include "db/dbModel.h"
#include "db/dbOpen.h"
#include "db/dbOptModel.h"
#include "db/dbOptVar.h"
#include "db/dbRecords.h"
#include "db/dbSubModel.h"

namespace {

AcDbDatabase* workingDatabase() { return acdbHostApplicationServices()->workingDatabase(); }

// Looks `key` up for write, falling back to read when another holds it for write.
Acad::ErrorStatus lookUp(const AcDbDictionary* owner, const char* key, AcDbObject*& object, AcDb::OpenMode mode) {
  Acad::ErrorStatus status = owner->getAt(key, object, mode);
  if (status == Acad::eWasOpenForWrite && mode == AcDb::kForWrite) status = owner->getAt(key, object, AcDb::kForRead);
  return status;
}

CaepVersionObj* newVersionRecord() {
  if (const AcCadVersionInfo* running = acCurrentVersionInfo())
    return new CaepVersionObj(running->version, running->buildText, running->platformText);
  return new CaepVersionObj(kDbDataVersion, CaeString(), CaeString());
}

// Finds the record under `key` or enters a new one; hands it to `give` and closes it.
template <class Record, class Make, class Give>
void findOrEnterRecord(AcDbDictionary* dictionary, const char* key, Make make, Give give) {
  AcDbObject* object = nullptr;
  if (lookUp(dictionary, key, object, AcDb::kForWrite) != Acad::eOk) {
    Record* record = make();
    AcDbObjectId id;
    if (dictionary->setAt(key, record, id) != Acad::eOk) {
      delete record;
      CAE_GENERAL_ERROR();
    }
    object = record;
  }
  if (Record* record = Record::cast(object)) give(record);
  object->close();
}

}  // namespace

void dbCreateCaepDict(AcDbDictionary*& dictionary) {
  AcDbDatabase* db = workingDatabase();
  CAE_CHECK(db != nullptr);
  AcDbDictionary* named = nullptr;
  CAE_CHECK(db->getNamedObjectsDictionary(named, AcDb::kForWrite) == Acad::eOk);
  AcDbObject* found = nullptr;
  if (lookUp(named, kCaepDictName, found, AcDb::kForWrite) == Acad::eOk) {
    dictionary = AcDbDictionary::cast(found);
  } else {
    dictionary = new AcDbDictionary();
    AcDbObjectId id;
    if (named->setAt(kCaepDictName, dictionary, id) != Acad::eOk) {
      delete dictionary;
      dictionary = nullptr;
    }
  }
  named->close();
  CAE_CHECK(dictionary != nullptr);

  CaepAnlControl* control = dbControlOf(db);
  findOrEnterRecord<CaepVersionObj>(dictionary, kVersionRecordKey, newVersionRecord, [&](CaepVersionObj* record) {
    if (control) control->SetVersionRecordId(record);
  });
  findOrEnterRecord<CaepUnitsObj>(
      dictionary, kUnitsRecordKey, [] { return new CaepUnitsObj(); },
      [&](CaepUnitsObj* record) {
        if (control) control->SetLengthUnitRecordId(record);
      });
  for (const char* key : {kOptimizationModelsKey, kAnalysisModelsKey, kLoadCasesKey, kRestraintCasesKey}) {
    AcDbObject* sub = nullptr;
    if (lookUp(dictionary, key, sub, AcDb::kForWrite) != Acad::eOk) {
      auto* created = new AcDbDictionary();
      AcDbObjectId id;
      if (dictionary->setAt(key, created, id) != Acad::eOk) {
        delete created;
        CAE_GENERAL_ERROR();
      }
      sub = created;
    }
    sub->close();
  }
  if (control) control->ClearCurrentObjects();
}

Acad::ErrorStatus dbGetCaepDict(AcDbDictionary*& dictionary) {
  dictionary = nullptr;
  AcDbDatabase* db = workingDatabase();
  AcDbDictionary* named = nullptr;
  Acad::ErrorStatus status = db ? db->getNamedObjectsDictionary(named, AcDb::kForWrite) : Acad::eNullObjectPointer;
  if (status == Acad::eWasOpenForWrite) status = db->getNamedObjectsDictionary(named, AcDb::kForRead);
  if (status == Acad::eOk) {
    AcDbObject* found = nullptr;
    const bool present = lookUp(named, kCaepDictName, found, AcDb::kForWrite) == Acad::eOk;
    named->close();
    if (present) {
      dictionary = AcDbDictionary::cast(found);
      if (dictionary) return Acad::eOk;
      found->close();
    }
  }
  dbCreateCaepDict(dictionary);
  return Acad::eOk;
}

Acad::ErrorStatus dbGetCaepSubDict(AcDbDictionary*& dictionary, const char* name, AcDb::OpenMode mode) {
  dictionary = nullptr;
  AcDbDictionary* root = nullptr;
  dbGetCaepDict(root);
  AcDbObject* found = nullptr;
  Acad::ErrorStatus status = lookUp(root, name, found, mode);
  if (status == Acad::eOk) {
    dictionary = AcDbDictionary::cast(found);
    if (!dictionary) {
      found->close();
      status = Acad::eNotThatKindOfClass;
    }
  } else {
    auto* created = new AcDbDictionary();
    AcDbObjectId id;
    status = root->setAt(name, created, id);
    if (status == Acad::eOk)
      dictionary = created;
    else
      delete created;
  }
  root->close();
  return status;
}

Acad::ErrorStatus dbGetOptimizationModelsDict(AcDbDictionary*& dictionary, AcDb::OpenMode mode) {
  return dbGetCaepSubDict(dictionary, kOptimizationModelsKey, mode);
}
Acad::ErrorStatus dbGetAnalysisModelsDict(AcDbDictionary*& dictionary, AcDb::OpenMode mode) {
  return dbGetCaepSubDict(dictionary, kAnalysisModelsKey, mode);
}
Acad::ErrorStatus dbGetLoadCasesDict(AcDbDictionary*& dictionary) {
  return dbGetCaepSubDict(dictionary, kLoadCasesKey, AcDb::kForWrite);
}
Acad::ErrorStatus dbGetRestraintCasesDict(AcDbDictionary*& dictionary) {
  return dbGetCaepSubDict(dictionary, kRestraintCasesKey, AcDb::kForWrite);
}

void dbReconcileStoredObjects() {
  auto* control = dynamic_cast<CaepAnlControl*>(AnlControl::GetCurrent());
  AcDbDatabase* db = workingDatabase();
  if (!control || !db) return;
  // Models and sets are only read; what the pass changes lives in their members and engine parts.
  DbTransaction transaction(db);
  DbMaterialSource materials;
  for (AcDbObjectId id : control->Ids(DbStoredKind::AnlModel))
    if (auto* model = dynamic_cast<CaepAnlModelObj*>(dbOpenMember(db, id, AcDb::kForRead))) model->Reconcile(materials);
  for (DbStoredKind kind : {DbStoredKind::LoadCase, DbStoredKind::RestraintCase})
    for (AcDbObjectId id : control->Ids(kind))
      if (auto* set = dynamic_cast<CaepLbcSetObj*>(dbOpenMember(db, id, AcDb::kForRead))) set->Reconcile();
  // Optimisation models: owners and geometry of their parts; design variables: unit texts.
  for (AcDbObjectId id : control->Ids(DbStoredKind::OptModel))
    if (auto* model = dynamic_cast<CaepOptModel*>(dbOpenMember(db, id, AcDb::kForRead))) dbOptModelRelinkObjects(model);
  // Opened for write only when there is a text to fill, so that the pass records nothing else.
  for (AcDbObjectId id : control->Ids(DbStoredKind::OptVariable))
    if (auto* variable = dynamic_cast<CaepOptVariable*>(dbOpenMember(db, id, AcDb::kForRead)))
      if (variable->UnitText().IsEmpty())
        dbOptVarFillUnitText(dynamic_cast<CaepOptVariable*>(dbOpenMember(db, id, AcDb::kForWrite)));
}
