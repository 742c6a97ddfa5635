#include "key_holder.h"

#include "arx/dbfiler.h"

ACRX_CONS_DEFINE_MEMBERS(KeyHolder, AcDbObject, "TESTKEYHOLDER")

KeyHolder::~KeyHolder() { delete key; }

Acad::ErrorStatus KeyHolder::dwgOutFields(AcDbDwgFiler* filer) const {
  Acad::ErrorStatus status = AcDbObject::dwgOutFields(filer);
  if (status != Acad::eOk) return status;
  return amiWriteKey(filer, key) == Ami::eOk ? Acad::eOk : Acad::eFilerError;
}

Acad::ErrorStatus KeyHolder::dwgInFields(AcDbDwgFiler* filer) {
  Acad::ErrorStatus status = AcDbObject::dwgInFields(filer);
  if (status != Acad::eOk) return status;
  AmiKey* read = nullptr;
  if (amiReadKey(filer, read) != Ami::eOk) return Acad::eFilerError;
  delete key;
  key = dynamic_cast<AmiObjectKey*>(read);
  if (!key) delete read;
  return key ? Acad::eOk : Acad::eFilerError;
}

Acad::ErrorStatus KeyHolder::subErase(Adesk::Boolean erasing) {
  if (key) key->notifyErased(erasing);
  return AcDbObject::subErase(erasing);
}
