// The mesh entity: one engine mesh kept in the drawing.
//
// The engine meshes and keeps the live mesh; the entity carries it across save and reload. Its
// record holds the meshing settings, the persistent keys of the meshed body and of every face,
// edge and vertex under it, the nodes grouped by the topology they lie on, the nodes on no keyed
// topology (free nodes) and the elements. Reading does not rebuild the engine mesh, since the part
// may have changed meanwhile: what was read waits in lists until the post-load pass hands it to
// the engine mesh on the part's current topology (RestoreEngineMesh).
//
// Nodes are filed by id. A node met a second time in one save generation (shared by two groups
// or two meshes) is written with its id negated; the reader keeps those in its shared-node table.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "amg/CaeList.h"
#include "arx/dbentity.h"
#include "arx/gebasic.h"
#include "arx/gi.h"
#include "fea/AmgMesh.h"
#include "topo/acTopoUtil.h"

class AcDbDwgFiler;
class AmiObjectKey;
class AnlModel;
class CaeMaterial;
class CaepAnlModelObj;
class CaepAnlSubModelObj;
struct DbElemDesc;

// A growable array of keys; the array owns them (each is released with the array).
class MeshKeyArray {
 public:
  MeshKeyArray() = default;
  ~MeshKeyArray();
  MeshKeyArray(const MeshKeyArray&) = delete;
  MeshKeyArray& operator=(const MeshKeyArray&) = delete;

  // Takes the key; answers its index.
  int Append(AmiObjectKey* key);
  AmiObjectKey* At(int index) const;
  int Count() const { return static_cast<int>(keys_.size()); }
  void Clear();

 private:
  std::vector<AmiObjectKey*> keys_;
};

// The nodes read for one topology key while the mesh waits for its restore. The key belongs to
// the mesh's key arrays; a group made by the restore has a reference instead.
class MeshNodeGroup {
 public:
  explicit MeshNodeGroup(AmiObjectKey* key);
  AmiObjectKey* key;
  CaeTopoRef* ref = nullptr;
  CaeOwningList<CaeNode> nodes;
};

// Draws element faces as shells: a 3-node face as one triangle, a 6-node face as four (three corner
// triangles with their outer edges visible, the centre one without). One shell serves a whole draw.
class MeshFaceShell {
 public:
  // Faces of any other node count are skipped (false).
  bool Draw(AcGiWorldDraw* mode, const CaeElemRef& face);

 private:
  AcGePoint3d points_[6];
};

class CaepMeshEnt : public AcDbEntity, public AmgMesh, public AcTopoAttribObject {
 public:
  ACRX_DECLARE_MEMBERS(CaepMeshEnt);
  static void rxInit();

  CaepMeshEnt();
  explicit CaepMeshEnt(CaeTopoRef* ref);
  ~CaepMeshEnt() override;

  // The data version this entity was read with (630 when made in this session; 0: no mesh data).
  int DataVersion() const { return dataVersion_; }
  bool CopyMark() const { return copyMark_ != 0; }
  int Modified() const { return modified_; }
  bool AwaitingRestore() const { return awaitingRestore_ != 0; }
  AmiObjectKey* Key() const { return bodyKey_; }
  // ---- re-resolution (AcTopoAttribObject): the body key; a revived mesh brings back its
  // sub-model and uses ----
  AmiObjectKey* TopoKey() const override { return bodyKey_; }
  bool TopologyLost() const override { return topologyLost_ != 0; }
  void ReviveTopology() override { UnErase(); }
  const MeshKeyArray& FaceKeys() const { return faceKeys_; }
  const MeshKeyArray& EdgeKeys() const { return edgeKeys_; }
  const MeshKeyArray& VertexKeys() const { return vertexKeys_; }
  // The read nodes of the restore state: body, grouped and free.
  int ReadNodeCount() const;
  int NodeGroupCount() const { return groups_.Count(); }

  // Keeps a copy of the key as the body key, binds this entity to it and collects the keys of
  // every face, edge and vertex under the key's reference.
  void SetBodyKey(AmiObjectKey* key);
  void CollectTopologyKeys(CaeTopoRef* ref);

  void SetPStartOrder(int order) { pStartOrder_ = order; }
  int PStartOrder() const { return pStartOrder_; }
  void SetPMaxOrder(int order) { pMaxOrder_ = order; }
  int PMaxOrder() const { return pMaxOrder_; }
  void SetPErrorTolerance(double tolerance) { pErrorTolerance_ = tolerance; }
  double PErrorTolerance() const { return pErrorTolerance_; }
  void SetShellThickness(double thickness) { shellThickness_ = thickness; }
  double ShellThickness() const { return shellThickness_; }

  // The nodes of the engine mesh on a reference (FirstNodeOnTopo walk).
  int NodeCountOnTopo(CaeTopoRef* ref);
  // Hands what was read to the engine mesh on the part's current topology and puts the entity
  // back on "CAE_MESH". Called by the post-load pass with the entity open for write.
  void RestoreEngineMesh();
  // The sub-model that holds this mesh, opened for write, or null.
  CaepAnlSubModelObj* FindSubModel();

  // --- regeneration (dbMeshRegen.cpp) -----------------------------------------------------------
  // The next generation numbers on from the highest node and element ids of the model's live
  // meshes, so that no two meshes of a model share an id.
  void NumberOnFrom(AnlModel& model);
  // Gives this generated mesh a new sub-model in `model` (this entity is posted to the drawing if
  // it is not there yet): the body key and the keys under it, the element property `desc` (shell
  // thickness `value`) and a copy of `material` (none: no material). Answers the sub-model, open
  // for write.
  CaepAnlSubModelObj* AssignProperties(const CaeMaterial* material, AmiObjectKey* bodyKey, CaepAnlModelObj& model,
                                       const DbElemDesc& desc, double value);
  // After the part changed: replaces every live mesh of the model (none given: the model that owns
  // this mesh) by a new one made from the old one's controls, either by the engine's update of a
  // copy or, for a mesh not associated with the part and for shell models of several meshes,
  // meshed afresh. Each replacement keeps the old sub-model's name, material and element
  // property, the shell thickness and the mesh uses. A mesh whose replacement fails stays, with
  // its sub-model and uses. Answers this mesh's replacement; this mesh when it has no valid
  // reference or no sub-model; null when its own replacement failed.
  CaepMeshEnt* Regenerate(CaepAnlModelObj* model);
  // Unerases the entity, and the sub-model and mesh uses its erase took with it.
  void UnErase();

  // --- engine side -------------------------------------------------------------------------
  void UponTopoRefModify() override;
  void UponTopoRefErase() override;
  // A mesh use on the reference of `user`, posted to the drawing and listed on the reference.
  AmgMeshUse* NewMeshUse(CaeAttrib* user) override;
  // Lists the use (a drawing entity: by its id as well).
  void AddMeshUse(AmgMeshUse* use) override;
  const std::vector<AcDbObjectId>& MeshUseIds() const { return meshUseIds_; }

  // --- host side ---------------------------------------------------------------------------
  // The element faces (the exterior faces of solids outside the standard display); nothing for a
  // mesh without data, awaiting its restore, inactive, on a hidden part, with mixed element orders,
  // or while the mesh display is off.
  Adesk::Boolean worldDraw(AcGiWorldDraw* mode) override;
  Acad::ErrorStatus subErase(Adesk::Boolean erasing) override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

  // Data versions of the record's branches.
  static constexpr int kVersionNoData = 0;
  static constexpr int kVersionNoLocations = 100;
  static constexpr int kVersionNoBodyFlag = 200;
  static constexpr int kVersionCurrent = 630;

 private:
  class Record;
  void WriteFields(Record& record) const;
  void ReadFields(Record& record);
  void ClearReadState();
  void EraseMeshUses();
  void UpdateGuideStep(bool erasing);
  void BindToKey(AmiObjectKey* key);
  bool Drawable();
  void RefreshResultsImage();
  void KeyArrayAppend(int j, int faces, int edges, AmiObjectKey* key);
  void WriteNodesOnTopo(Record& record, CaeTopoRef* ref, std::map<long, CaeNode*>& written) const;

  int copyMark_ = 0;
  int dataVersion_ = kVersionCurrent;
  AmiObjectKey* bodyKey_ = nullptr;
  MeshKeyArray faceKeys_;
  MeshKeyArray edgeKeys_;
  MeshKeyArray vertexKeys_;
  std::vector<AcDbObjectId> meshUseIds_;
  int modified_ = 0;
  int associated_ = 1;
  int awaitingRestore_ = 0;
  int topologyLost_ = 0;
  int pStartOrder_ = 0;
  int pMaxOrder_ = 0;
  double pErrorTolerance_ = 0.0;
  double shellThickness_ = 0.0;
  // Restore state.
  CaeOwningList<CaeElem> readElements_;
  CaeOwningList<CaeNode> readBodyNodes_;
  std::map<long, CaeNode*> sharedNodes_;
  CaeList<CaeElem> sharedNodeElements_;
  CaeOwningList<CaeNode> readFreeNodes_;
  CaeOwningList<MeshNodeGroup> groups_;
  // p-nodes and p-elements read: the engine's elements point to them without owning them.
  std::vector<std::unique_ptr<CaeNode>> pNodes_;
  std::vector<std::unique_ptr<CaeElem>> pElems_;
};
