// The use of a mesh by another mesh's topology, kept in the drawing as an entity that draws
// nothing. It files only the host entity's own data: its mesh is set again when it is made.
#pragma once

#include "arx/dbentity.h"
#include "fea/AmgMesh.h"

class CaepMeshUse : public AcDbEntity, public AmgMeshUse {
 public:
  ACRX_DECLARE_MEMBERS(CaepMeshUse);
  static void rxInit();

  CaepMeshUse() = default;
  explicit CaepMeshUse(CaeTopoRef* ref) : AmgMeshUse(ref) {}
  // A use of `mesh` (an entity in the drawing, else no mesh) on the reference.
  CaepMeshUse(CaeTopoRef* ref, AmgMesh* mesh);

  // The mesh is kept by its entity's id, not filed.
  void SetMesh(AmgMesh* mesh) override;
  // The mesh's entity opened for write in the caller's transaction; null without a mesh or when
  // the mesh is erased.
  AmgMesh* Mesh() override;
  AcDbObjectId MeshId() const { return meshId_; }

  // Set when erasing its mesh took the use with it.
  void SetErasedWithMesh(bool mark) { erasedWithMesh_ = mark; }
  bool ErasedWithMesh() const { return erasedWithMesh_; }

  Acad::ErrorStatus subErase(Adesk::Boolean erasing) override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

 private:
  bool erasedWithMesh_ = false;
  AcDbObjectId meshId_;
};
