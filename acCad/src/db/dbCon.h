// The mesh-size constraint entity (a refinement): the engine's AmgConstraint kept in the drawing.
//
// It asks the mesher for an element size at a vertex, along an edge, over a face or the whole
// body, or at one point of the part. The entity draws "diamond" markers on its geometry, sits on
// "CAE_MESH" in model space and is listed by its analysis model.
//
// Record (after the host entity's own fields): UInt16 data version; version 0 marks an entity
// without data and nothing follows. Otherwise Int16 colour, Double symbol scale, the topology key,
// 3 Double location, Double size, Int32 id, Int16 type (0 point, 1 spread), and from version 631
// Int32 topology-lost flag (0 or 1; older records read 0). The flag is filed so that a constraint
// its face took comes back when the face does, after a save and reopen or an undo alike.
//
// Keys: a key read from a record is the entity's own until the constraint resolves, when it moves
// to its reference's key. A key that does not resolve is kept and written back unchanged; the
// engine object is then marked erased (the mesher passes over it) and the constraint draws
// nothing until the key resolves again.
#pragma once

#include "amg/CaeVector.h"
#include "arx/dbentity.h"
#include "fea/AmgMesh.h"
#include "topo/acTopoUtil.h"

class AcGiWorldDraw;
class DbLbcFields;
class AnlModel;

class CaepConEnt : public AcDbEntity, public AmgConstraint, public AcTopoAttribObject {
 public:
  ACRX_DECLARE_MEMBERS(CaepConEnt);
  static void rxInit();
  static AcRxObject* make();

  // 630 before the topology-lost flag was filed; 631 files it.
  static constexpr int kFirstDataVersion = 630;
  static constexpr int kDataVersion = 631;

  // An entity without data (data version 0): colour 3, scale 1.0.
  CaepConEnt();
  // A new constraint on `ref`: type 0 when `pointFlag`, else 1; id 0; data version 630; the key is
  // the reference's own. The creator attaches it to the reference and binds it to the key.
  CaepConEnt(int colorIndex, double symbolScale, double size, double x, double y, double z, bool pointFlag,
             CaeTopoRef* ref);
  ~CaepConEnt() override;

  int DataVersion() const { return dataVersion_; }
  bool IsUnresolved() const { return unresolved_ != 0; }
  int Color() const { return colorIndex_; }
  double SymbolScale() const { return symbolScale_; }
  // The key the entity is bound to (the filed key until it resolved).
  AmiObjectKey* TopoRef() const { return topoKey_; }

  // After a read: the reference of the key, rebound to the reference's key and listed by it;
  // without one the filed key stays and the engine object is marked erased.
  void ResolveTopoRef();

  // ---- re-resolution (AcTopoAttribObject) ----
  AmiObjectKey* TopoKey() const override { return topoKey_; }
  bool TopologyLost() const override { return topologyLost_ != 0; }
  void ReviveTopology() override;

  // ---- engine side ----
  void UponTopoRefModify() override;
  // Erases the entity, then records that its topology took it.
  void UponTopoRefErase() override;

  // ---- host side ----
  Adesk::Boolean worldDraw(AcGiWorldDraw* mode) override;
  Acad::ErrorStatus subErase(Adesk::Boolean erasing) override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  // DXF: the same record after a "100" marker with the class name.
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

 private:
  Acad::ErrorStatus FileFields(AcDbDwgFiler* filer, bool reading);
  Acad::ErrorStatus FileDxf(AcDbDxfFiler* filer, bool reading);
  // The fields after the version word; reading applies them only once all were read.
  void FileRecord(DbLbcFields& fields, int version);
  // `markMissing`: a key without reference marks the engine object erased.
  void Resolve(bool markMissing);
  void DrawMarkers(AcGiWorldDraw* mode, CaeTopoRef* ref) const;
  void DrawMarker(AcGiWorldDraw* mode, const CaeVector& position, const CaeVector& translation) const;
  void AdoptFiledKey(AmiObjectKey* key);
  void ReleaseOwnedKey();

  int dataVersion_ = 0;
  AmiObjectKey* topoKey_ = nullptr;
  bool ownsKey_ = false;  // a key read from a record, not yet handed to its reference
  int colorIndex_ = 3;
  double symbolScale_ = 1.0;
  int unresolved_ = 0;
  int topologyLost_ = 0;
};

// Resolves a constraint read from a drawing (the analysis model's post-load pass).
void dbResolveConstraint(AmgConstraint* constraint);

// Gives a mesh the local sizes of the model's live constraints on its body: a spread constraint on
// its face, edge or vertex (every face for the body), a point constraint at its location. Erased
// constraints, those whose geometry is gone and those on other bodies give none. The mesh's
// earlier local sizes are cleared first. Answers how many constraints were taken.
int dbApplyMeshConstraints(AmgMesh& mesh, AnlModel& model);

// The drawing entity of an engine constraint, or null.
CaepConEnt* dbConstraintEntity(AmgConstraint* constraint);
