// Stand-ins for the entities that sit in the store's objects until their own classes exist: a
// mesh (a host entity joined with the engine's mesh) that files its sub-model's id and takes the
// sub-model with it when erased, and a condition (a host entity joined with the engine's
// condition) that files its type code. Both file their fields in DWG and DXF.
//
// The same classes are built into the store tests and into the test module that the host program
// loads, so that a drawing made by one opens whole in the other.
#pragma once

#include "arx/dbentity.h"
#include "fea/AmgMesh.h"
#include "fea/AttLbc.h"

class StoreMeshStandIn : public AcDbEntity, public AmgMesh {
 public:
  ACRX_DECLARE_MEMBERS(StoreMeshStandIn);
  AcDbObjectId subModel;

  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
  Acad::ErrorStatus subErase(Adesk::Boolean erasing) override;
};

class StoreLbcStandIn : public AcDbEntity, public AttLbc {
 public:
  ACRX_DECLARE_MEMBERS(StoreLbcStandIn);
  StoreLbcStandIn() : StoreLbcStandIn(0) {}
  explicit StoreLbcStandIn(AttType type);

  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
  Acad::ErrorStatus subErase(Adesk::Boolean erasing) override;
};

// Registers both classes (once) and removes them again.
void registerStoreStandIns();
void unregisterStoreStandIns();

// The first condition code of a descriptor kind (load, restraint ...).
AttType storeFirstTypeOfKind(int kind);
