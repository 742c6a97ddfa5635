// The drawing object that files a drawing's "Designer" global parameters (an entry of the
// named-objects dictionary). The live parameter set stays at one address for the object's life,
// so parts built against it can keep a pointer; every change bumps a process-wide stamp that
// tells parts to rebuild.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "arx/dbobject.h"
#include "mcadkernel/parameters.h"

class AmiDesignerParams : public AcDbObject {
 public:
  ACRX_DECLARE_MEMBERS(AmiDesignerParams);
  AmiDesignerParams();
  ~AmiDesignerParams() override;

  const mcadkernel::ParameterSet& parameters() const { return *set_; }
  unsigned long long stamp() const { return stamp_; }
  // Replaces the set (the object open for write).
  void assign(const mcadkernel::ParameterSet& set);

  // Names and expression texts in definition order.
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;

  // Makes the object the one designerParamsOf finds for `db`.
  void registerWith(AcDbDatabase* db);

 private:
  std::unique_ptr<mcadkernel::ParameterSet> set_;
  unsigned long long stamp_ = 0;
  AcDbDatabase* registered_ = nullptr;
};

// The drawing's globals object, found without opening it; null when the drawing has none.
AmiDesignerParams* designerParamsOf(AcDbDatabase* db);
// The stamp of the drawing's globals (0 when it has none).
unsigned long long designerStamp(AcDbDatabase* db);
// Opens the drawing's globals object for write, creating it when missing (the caller closes it).
AmiDesignerParams* openDesignerParamsForWrite(AcDbDatabase* db);
