// An object whose class is not registered when its drawing is read (the application that defines
// it is not loaded). It keeps the object's record byte for byte, so that saving the drawing writes
// the object back unchanged and a later reading with the class registered restores it. The handles
// inside the record stay valid because a drawing keeps every handle it read.
//
// A proxy opens for read (LIST shows it as a proxy of its class); opening it for write fails with
// eIsWriteProtected, so nothing can change, erase or un-erase it and undo never sees it. It has no
// DXF form: DXFOUT leaves it out, with every reference to it.
#pragma once

#include <string>

#include "arx/dbobject.h"

class AcDbProxyObject : public AcDbObject {
 public:
  ACRX_DECLARE_MEMBERS(AcDbProxyObject);
  // The name of the class the record belongs to.
  const std::string& originalClassName() const { return className_; }
  // The record's fields as that class wrote them (the owner first).
  const std::string& record() const { return fields_; }

  Acad::ErrorStatus subOpen(AcDb::OpenMode mode) override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;

 private:
  friend class AcDbProxyAccess;
  std::string className_;
  std::string fields_;
};
