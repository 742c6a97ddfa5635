#include "test_thing.h"

#include <stdexcept>

#include "arx/dbdxffiler.h"
#include "arx/dbfiler.h"

ACRX_CONS_DEFINE_MEMBERS(TestThing, AcDbEntity, "KESTRUM_TEST_THING")

void TestThing::registerClass() { TestThing::desc(); }

Acad::ErrorStatus TestThing::subErase(Adesk::Boolean erasing) {
  Acad::ErrorStatus status = AcDbEntity::subErase(erasing);
  if (status != Acad::eOk) return status;
  if (refuseErase != Acad::eOk) return refuseErase;
  if (cascadeToPartner && !partner_.isNull()) {
    AcDbObject* partner = nullptr;
    if (acdbOpenObject(partner, partner_, AcDb::kForWrite, true) == Acad::eOk) {
      partner->erase(erasing);
      partner->close();
    }
  }
  return Acad::eOk;
}

Acad::ErrorStatus TestThing::dwgInFields(AcDbDwgFiler* filer) {
  assertWriteEnabled();
  Acad::ErrorStatus status = AcDbEntity::dwgInFields(filer);
  if (status != Acad::eOk) return status;
  filedIn.push_back(filer->filerType());
  if (throwOnRestore && filer->filerType() == AcDb::kUndoFiler) throw std::runtime_error("restore refused");
  filer->readInt32(&count_);
  filer->readDouble(&value_);
  filer->readString(&label_);
  AcDbSoftPointerId partner;
  filer->readSoftPointerId(&partner);
  partner_ = partner;
  return filer->filerStatus();
}

Acad::ErrorStatus TestThing::dwgOutFields(AcDbDwgFiler* filer) const {
  assertReadEnabled();
  Acad::ErrorStatus status = AcDbEntity::dwgOutFields(filer);
  if (status != Acad::eOk) return status;
  if (failWriting) return Acad::eFilerError;
  if (writeUnreadableRecord)
    filer->writeInt16(static_cast<Adesk::Int16>(count_));
  else
    filer->writeInt32(count_);
  filer->writeDouble(value_);
  filer->writeString(label_);
  filer->writeSoftPointerId(partner_);
  return filer->filerStatus();
}

Acad::ErrorStatus TestThing::dxfInFields(AcDbDxfFiler* filer) {
  assertWriteEnabled();
  Acad::ErrorStatus status = AcDbEntity::dxfInFields(filer);
  if (status != Acad::eOk) return status;
  std::string marker;
  filer->readString(100, &marker);
  filer->readInt32(90, &count_);
  filer->readDouble(40, &value_);
  filer->readString(1, &label_);
  return filer->filerStatus();
}

Acad::ErrorStatus TestThing::dxfOutFields(AcDbDxfFiler* filer) const {
  assertReadEnabled();
  if (failWriting) return Acad::eFilerError;
  Acad::ErrorStatus status = AcDbEntity::dxfOutFields(filer);
  if (status != Acad::eOk) return status;
  filer->writeString(100, "KestrumTestThing");
  filer->writeInt32(90, count_);
  filer->writeDouble(40, value_);
  filer->writeString(1, label_);
  return filer->filerStatus();
}

namespace {

std::string labelOf(const AcDbObject* object) {
  auto* thing = TestThing::cast(object);
  return thing ? thing->label() : std::string("?");
}

}  // namespace

void RecordingReactor::modified(const AcDbObject* object) { events.push_back("modified " + labelOf(object)); }

void RecordingReactor::erased(const AcDbObject* object, Adesk::Boolean erasing) {
  events.push_back("erased " + labelOf(object) + (erasing ? " 1" : " 0"));
}

void RecordingReactor::modifyUndone(const AcDbObject* object) { events.push_back("undone " + labelOf(object)); }

AcDbObjectId addThing(AcDbDatabase& db, const std::string& label, Adesk::Int32 count) {
  auto* thing = new TestThing();
  thing->setLabel(label);
  thing->setCount(count);
  AcDbBlockTableRecord* space = nullptr;
  acdbOpenObject(space, db.modelSpaceId(), AcDb::kForWrite);
  AcDbObjectId id;
  space->appendAcDbEntity(id, thing);
  thing->close();
  space->close();
  return id;
}
