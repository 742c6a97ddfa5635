#include "util/acLayer.h"

#include "amg/CaeMsgCall.h"
#include "arx/dbdatabase.h"
#include "arx/dbsymtb.h"

namespace {

AcDbDatabase* workingDatabase() {
  AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
  CAE_CHECK(db != nullptr);
  return db;
}

AcDbObjectId continuousLinetype(AcDbDatabase* db) {
  AcDbLinetypeTable* linetypes = nullptr;
  CAE_CHECK(db->getLinetypeTable(linetypes, AcDb::kForRead) == Acad::eOk);
  AcDbObjectId continuous;
  Acad::ErrorStatus found = linetypes->getAt("CONTINUOUS", continuous);
  linetypes->close();
  CAE_CHECK(found == Acad::eOk);
  return continuous;
}

}  // namespace

const char* acCaeLayerName(int number) {
  switch (number) {
    case kCaeLayerMesh: return "CAE_MESH";
    case kCaeLayerLbc: return "CAE_LBC";
    case kCaeLayerOpt: return "CAE_OPT";
    case kCaeLayerMateRel: return "CAE_MATEREL";
    default: return nullptr;
  }
}

void acGetLayer(const char* name, AcDbObjectId& id) {
  CAE_CHECK(name != nullptr);
  AcDbDatabase* db = workingDatabase();
  AcDbLayerTable* layers = nullptr;
  CAE_CHECK(db->getLayerTable(layers, AcDb::kForWrite) == Acad::eOk);
  if (layers->getAt(name, id, false) == Acad::eOk) {
    layers->close();
    return;
  }
  // The drawing's current linetype may be anything: the add-in's layers always draw solid.
  AcDbObjectId linetype;
  try {
    linetype = continuousLinetype(db);
  } catch (...) {
    layers->close();
    throw;
  }
  auto* record = new AcDbLayerTableRecord;
  record->setName(name);
  record->setIsFrozen(false);
  record->setIsOff(false);
  record->setVPDFLT(false);
  record->setIsLocked(false);
  record->setLinetypeObjectId(linetype);
  Acad::ErrorStatus added = layers->add(id, record);
  if (added != Acad::eOk) {
    delete record;
    layers->close();
    CAE_GENERAL_ERROR();
  }
  record->close();
  layers->close();
}

int acShowCaeLayer(int number, int on) {
  const char* name = acCaeLayerName(number);
  if (!name) return 0;
  AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
  if (!db) return 0;
  AcDbLayerTable* layers = nullptr;
  if (db->getLayerTable(layers, AcDb::kForRead) != Acad::eOk) return 0;
  int wasOn = 0;
  AcDbLayerTableRecord* record = nullptr;
  if (layers->has(name) && layers->getAt(name, record, AcDb::kForWrite) == Acad::eOk) {
    wasOn = record->isOff() ? 0 : 1;
    record->setIsOff(on == 0);
    record->close();
  }
  layers->close();
  return wasOn;
}

int acShowCaeLayers(int on) {
  int result = 0;
  for (int number = kCaeLayerMesh; number <= kCaeLayerMateRel; ++number) result = acShowCaeLayer(number, on);
  return result;
}
