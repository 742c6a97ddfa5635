#include "db/dbControl.h"

#include "CadInterface/AcCadEntry.h"
#include "amg/CaeConfig.h"
#include "amg/CaeMsgCall.h"
#include "arx/dbdict.h"
#include "db/dbDict.h"
#include "db/dbRecords.h"

namespace {

CaeString rootDirectory() {
  CaeString value;
  CaeConfig::GetValue(1, "Root Directory", value);
  return value;
}

}  // namespace

CaepAnlControl::CaepAnlControl() { Location(rootDirectory()); }

CaepAnlControl::CaepAnlControl(const CaeString& name) : AnlControl(name) { Location(rootDirectory()); }

CaepAnlControl::~CaepAnlControl() {
  if (CaeUnitSystem::GetNativeSystem() == &nativeUnits_) CaeUnitSystem::SetNativeSystem(nullptr);
}

bool CaepAnlControl::SetLengthUnit(int unit) {
  if (!dbIsDrawingLengthUnit(unit)) return false;
  lengthUnit_ = unit;
  nativeUnits_.SetUnit(CaeUtLength, unit);
  return true;
}

void CaepAnlControl::ApplyNativeUnits() { CaeUnitSystem::SetNativeSystem(&nativeUnits_); }

void CaepAnlControl::SetVersionRecordId(const CaepVersionObj* record) {
  versionRecordId_ = record ? record->objectId() : AcDbObjectId();
}

void CaepAnlControl::SetLengthUnitRecordId(const CaepUnitsObj* record) {
  lengthUnitRecordId_ = record ? record->objectId() : AcDbObjectId();
}

bool CaepAnlControl::RegisterId(DbStoredKind kind, AcDbObjectId id) {
  CAE_CHECK(!id.isNull());
  if (!listed_[index(kind)].insert(id).second) return false;
  ids_[index(kind)].push_back(id);
  return true;
}

int CaepAnlControl::CountLive(DbStoredKind kind) const {
  int count = 0;
  for (const AcDbObjectId& id : Ids(kind)) {
    AcDbObject* object = nullptr;
    const Acad::ErrorStatus status = acdbOpenObject(object, id, AcDb::kForRead);
    if (status == Acad::eOk) object->close();
    if (status == Acad::eOk || status == Acad::eWasOpenForWrite) ++count;
  }
  return count;
}

int CaepAnlControl::ClearCurrentObjects() {
  ClearCurrentAnlModel();
  ClearCurrentOptModel();
  ClearCurrentLoadCase();
  ClearCurrentRestraintCase();
  ClearCurrentResultSet();
  return 1;
}

namespace {

// Opens a record for write, erased refused; null when it does not open.
AcDbObject* openRecord(AcDbObjectId id) {
  AcDbObject* object = nullptr;
  return acdbOpenObject(object, id, AcDb::kForWrite) == Acad::eOk ? object : nullptr;
}

}  // namespace

void CaepAnlControl::UpdateRecords(int flag) {
  if (versionRecordId_.isNull() || lengthUnitRecordId_.isNull()) return;
  if (flag == 1) {
    if (CountLive(DbStoredKind::LoadCase) + CountLive(DbStoredKind::RestraintCase) + CountLive(DbStoredKind::AnlModel) +
            CountLive(DbStoredKind::OptModel) !=
        0)
      return;
    for (AcDbObjectId id : {versionRecordId_, lengthUnitRecordId_})
      if (AcDbObject* record = openRecord(id)) {
        record->erase();
        record->close();
      }
    return;
  }
  AcDbDictionary* dictionary = nullptr;
  CAE_CHECK(dbGetCaepDict(dictionary) == Acad::eOk && dictionary);
  if (AcDbObject* record = openRecord(versionRecordId_)) {
    record->close();
  } else {
    const AcCadVersionInfo* running = acCurrentVersionInfo();
    auto* created = running ? new CaepVersionObj(running->version, running->buildText, running->platformText)
                            : new CaepVersionObj();
    AcDbObjectId id;
    if (dictionary->setAt(kVersionRecordKey, created, id) != Acad::eOk) {
      delete created;
      dictionary->close();
      CAE_GENERAL_ERROR();
    }
    versionRecordId_ = id;
    created->close();
  }
  if (AcDbObject* record = openRecord(lengthUnitRecordId_)) {
    record->close();
  } else {
    auto* created = new CaepUnitsObj();
    AcDbObjectId id;
    if (dictionary->setAt(kUnitsRecordKey, created, id) != Acad::eOk) {
      delete created;
      dictionary->close();
      CAE_GENERAL_ERROR();
    }
    lengthUnitRecordId_ = id;
    created->close();
  }
  dictionary->close();
}
