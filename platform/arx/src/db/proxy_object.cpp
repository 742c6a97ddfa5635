#include "arx/dbproxy.h"

#include "arx/dbfiler.h"
#include "database_impl.h"

// No constructor: a file naming this class is not read as a proxy of nothing.
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbProxyObject, AcDbObject)

Acad::ErrorStatus AcDbProxyObject::subOpen(AcDb::OpenMode mode) {
  // Without its class nobody knows what a change would mean; the record stays as it was read.
  return mode == AcDb::kForWrite ? Acad::eIsWriteProtected : AcDbObject::subOpen(mode);
}

Acad::ErrorStatus AcDbProxyObject::dwgInFields(AcDbDwgFiler* filer) {
  std::string_view rest = AcDbFilerAccess::takeRest(*filer);
  Adesk::UInt64 owner = 0;
  if (!wellFormedFields(rest, &owner)) return Acad::eFilerError;
  fields_ = rest;
  AcDbDatabase* db = filer->database() ? filer->database() : database();
  AcDbObjectAccess::setOwner(this, db && owner ? db->impl().idOf(AcDbHandle(owner)) : AcDbObjectId());
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbProxyObject::dwgOutFields(AcDbDwgFiler* filer) const {
  // The record is written back as read, owner included, so the base class writes nothing.
  if (filer->filerStatus() != Acad::eOk) return filer->filerStatus();
  AcDbFilerAccess::appendRaw(*filer, fields_.data(), fields_.size());
  return Acad::eOk;
}
