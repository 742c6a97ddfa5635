// A drawing object that depends on a part modeller key, as the add-in's conditions and meshes do:
// it owns the key, files it with the object and tells it when the object is erased or un-erased.
// Tests that use it link kestrum_test_key_holder.
#pragma once

#include "arx/dbobject.h"
#include "mcad/amikey.h"

class KeyHolder : public AcDbObject {
 public:
  ACRX_DECLARE_MEMBERS(KeyHolder);
  KeyHolder() = default;
  ~KeyHolder() override;
  KeyHolder(const KeyHolder&) = delete;
  KeyHolder& operator=(const KeyHolder&) = delete;

  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus subErase(Adesk::Boolean erasing) override;

  AmiObjectKey* key = nullptr;  // owned
};
