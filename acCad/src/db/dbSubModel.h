// One meshed body of an analysis model kept in the drawing: the engine's sub-model joined to a
// host object, pointing to its mesh entity.
//
// Materials and element properties are engine objects that cannot be filed by id: the sub-model
// files the material's name and the element description and rebuilds both after the drawing is
// read (LoadMaterial). The element description is kept beside the engine's property, which does
// not carry one.
#pragma once

#include <memory>
#include <optional>

#include "amg/CaeString.h"
#include "arx/dbobject.h"
#include "fea/AnlModel.h"

class AmgConstraint;
class AmgMesh;
class AcMatLibrary;
class AnlMateRelPair;
class CadInterface;
class CaeMaterial;
class MaterialLibrary;
class CaeTopoRef;
class CaepAnlModelObj;
class DbFields;

// An element description as filed: order, shape, type and sub-type (the p-element flag).
struct DbElemDesc {
  int order = CaeElemQuadratic;
  int shape = CaeShapeTri;
  int type = CaeElemSolid;
  int subType = 0;
  friend bool operator==(const DbElemDesc&, const DbElemDesc&) = default;
};

// Coordinate-system kinds as filed.
enum DbCoordSysKind : int { kDbCoordNone = 0, kDbCoordCartesian = 1, kDbCoordCylindric = 2, kDbCoordSpheric = 4 };

// Where the post-load pass finds materials: the document's library, then the part modeller's
// file under "Root Directory". Each is opened at most once, when first needed, and the document
// library is let go (saving what was stored into it) when the source goes.
class DbMaterialSource {
 public:
  DbMaterialSource();
  ~DbMaterialSource();
  DbMaterialSource(const DbMaterialSource&) = delete;
  DbMaterialSource& operator=(const DbMaterialSource&) = delete;

  // A copy of the material of that name, or null. One found only in the part modeller's file is
  // stored into the document library.
  std::unique_ptr<CaeMaterial> Find(const CaeString& name);

 private:
  MaterialLibrary* Library();
  AcMatLibrary* ModellerFile();

  CadInterface* cad_;
  MaterialLibrary* library_ = nullptr;
  bool libraryOpened_ = false;
  std::unique_ptr<AcMatLibrary> modeller_;
  bool modellerOpened_ = false;
};

class CaepAnlSubModelObj : public AcDbObject, public AnlSubModel {
 public:
  ACRX_DECLARE_MEMBERS(CaepAnlSubModelObj);
  static void rxInit();

  CaepAnlSubModelObj() = default;
  ~CaepAnlSubModelObj() override = default;

  // --- engine operations -------------------------------------------------------------------
  // The mesh entity's engine part, opened for write (erased included); null when it never opens.
  AmgMesh* Mesh() override;
  // Keeps the id of the mesh's entity, puts it on "CAE_MESH" and takes the mesh's element kind.
  // The entity must be in the sub-model's drawing already or is added to model space.
  void SetMesh(AmgMesh* mesh) override;

  // --- the class's own ---------------------------------------------------------------------
  AcDbObjectId MeshId() const { return meshId_; }
  // A null id answers 3 (eInvalidInput) and changes nothing.
  Acad::ErrorStatus SetMeshId(AcDbObjectId id);
  // The model that lists this sub-model, or null.
  CaepAnlModelObj* FindOwnerModel();
  // Called by the mesh entity when erasing it takes the sub-model with it.
  void SetErasedWithMesh() { erasedWithMesh_ = true; }
  bool ErasedWithMesh() const { return erasedWithMesh_; }
  // The mesh came back: the sub-model and what its erase took from the model return.
  CaepAnlSubModelObj* Unerase();
  // After reading: the element property from the model's table and the material from the
  // document library, else the part modeller's file under "Root Directory" (stored into the
  // document library), else an empty material of the name and string 372; a sub-model that
  // already holds a material (made in this session) keeps it. The first form opens
  // the libraries for this sub-model alone; a pass over many sub-models hands one source to all.
  void LoadMaterial(CaepAnlModelObj* model);
  void LoadMaterial(CaepAnlModelObj* model, DbMaterialSource& source);
  // Whether LoadMaterial (and the pass's default name) would change what the sub-model files: its
  // owner, its name or its element description. Otherwise it may run on the sub-model open for read.
  bool ReconcileWrites(CaepAnlModelObj* model) const;

  // The element description of the assigned property and the material name to file.
  const std::optional<DbElemDesc>& ElementDesc() const { return elemDesc_; }
  double PropValue() const;
  // Gives the sub-model an element property of that description (shell thickness `value` for
  // element type 2).
  void AssignElement(const DbElemDesc& desc, double value);
  CaeString MaterialName() const;
  static int CoordSysKind(const CaeCoordSys* system);

  // --- host side ---------------------------------------------------------------------------
  Acad::ErrorStatus subErase(Adesk::Boolean erasing) override;
  void AboutToChange() override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

 private:
  // AssignElement without the write check: the pass restores the description the sub-model files.
  void RestoreElement(const DbElemDesc& desc, double value);
  void File(DbFields& fields) const;
  void Read(DbFields& fields);
  // The held material's rows, for undo and a transaction abort only: the drawing files the
  // material's name, but a change of its rows in place (the doctor's yield) must be undoable.
  void FileHeldRows(DbFields& fields) const;
  void ReadHeldRows(DbFields& fields);
  AcDbObject* OpenMeshEntity(AcDb::OpenMode mode = AcDb::kForWrite);
  void Cascade(bool erasing);

  AcDbObjectId meshId_;
  CaeString storedMaterial_;  // the material name read, until LoadMaterial
  std::optional<DbElemDesc> elemDesc_;
  double propValue_ = 0.0;
  bool erasedWithMesh_ = false;
};

// ---- calls into the mesh, constraint and mating-relation entities ------------------------------
// Those entities arrive with their own Parts; until then these do nothing (the first answers null).
// The pair's two are db/dbMateRelPair.cpp's.
AmgMesh* dbNewMeshEntity(CaeTopoRef* body);
bool dbMeshIsEngineCopy(AcDbObject* mesh);
void dbRestoreEngineMesh(AcDbObject* mesh);
// Whether the restore of a read mesh, and setting its shell thickness (none: no thickness to set),
// change what the mesh files.
bool dbMeshRestoreWrites(AcDbObject* mesh, std::optional<double> shellThickness);
void dbSetShellThickness(AcDbObject* mesh, double thickness);
void dbRegenerateMesh(AmgMesh* mesh, CaepAnlModelObj* model);
void dbResolveConstraint(AmgConstraint* constraint);
void dbAttachPairToEntities(AnlMateRelPair* pair);
void dbResolvePair(AnlMateRelPair* pair, CaepAnlModelObj* model);
