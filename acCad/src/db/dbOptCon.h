// The design constraint (a Concept control in Concept optimisation) kept in the drawing: the
// engine's OptConstraint and a model-space entity in one.
//
// It may sit on a vertex, edge or face of a part through a topology reference and then draws
// "cube" markers there while it and its optimisation model are active: one at a vertex, three
// along an edge (at 1/6, 1/2 and 5/6 of its parameter range), three on each edge of a face or of
// each face of a body. It keeps its model (owner) and the analysis result cases it is evaluated
// on by object id.
//
// Keys: a key read from a record is the entity's own until the constraint resolves, when it moves
// to its reference's key. A key that does not resolve is kept and written back unchanged; the
// engine part is then marked erased (walks over active constraints pass over it) and nothing is
// drawn until the key resolves again.
//
// Record (after the host entity's fields): UInt16 version (630), String name, Int16 response type,
// Int16 mode number, then above version 200 Int16 generic integer, Double generic value and the
// counted analysis result cases (soft pointers), at 200 and below one Int16 older single value;
// Double lower and upper bound, Int16 colour, Double symbol size, Int16 current mark, Int16 has
// topology and the key when it has, Int16 components, String coordinate-system kind ("cartesian",
// "cylindric", "spheric") and its 16 transform values row by row.
#pragma once

#include <vector>

#include "arx/dbentity.h"
#include "arx/dbid.h"
#include "fea/OptModel.h"
#include "topo/acTopoUtil.h"

class AcGiWorldDraw;
class AmiObjectKey;
class DbFields;

class CaepOptConstraint : public OptConstraint, public AcDbEntity, public AcTopoAttribObject {
 public:
  ACRX_DECLARE_MEMBERS(CaepOptConstraint);
  static void rxInit();

  static constexpr int kDefaultColor = 1;
  static constexpr double kDefaultSymbolSize = 0.25;

  CaepOptConstraint();
  // A new constraint, not yet in the drawing; it keeps the reference's key (the creator binds it).
  // The coordinate system is handed over.
  CaepOptConstraint(const CaeString& name, int components, CaeCoordSys* coordSys, OptResponseType responseType,
                    CaeTopoRef* topoRef, int inMemory = 1);
  ~CaepOptConstraint() override;

  int Color() const { return color_; }
  void SetColor(int color);
  double SymbolSize() const { return symbolSize_; }
  void SetSymbolSize(double size);
  // The key of its vertex, edge or face; null when it has none.
  AmiObjectKey* TopoRef() const { return topoKey_; }
  bool IsUnresolved() const { return unresolved_ != 0; }
  const std::vector<AcDbObjectId>& AnlResultCaseIds() const { return caseIds_; }
  AcDbObjectId OwnerId() const { return ownerId_; }

  // The pass after loading: the reference of the key, the rebind to the reference's own key and
  // the listing by the reference; a key that no longer resolves is kept and the engine part is
  // marked erased. The constraint draws again afterwards.
  void ResolveTopoRef();

  // ---- re-resolution (AcTopoAttribObject) ----
  AmiObjectKey* TopoKey() const override { return topoKey_; }
  bool TopologyLost() const override { return topologyLost_ != 0 || geometryMissing_; }
  void ReviveTopology() override;

  // ---- engine side ----
  void UponTopoRefModify() override;
  // Erases the entity, then records that its topology took it.
  void UponTopoRefErase() override;
  // A constraint whose filed key does not resolve stays marked erased for the engine.
  void MarkAsNotErased() override;
  ::OptModel* Owner() const override;
  void Owner(::OptModel* model) override;
  void AddAnlResultCase(AnlResltCase* resultCase) override;
  int RemoveAnlResultCase(AnlResltCase* resultCase) override;
  AnlResltCase* FirstAnlResultCase() override;
  CaeTypeId GetInfo() const override { return OptConstraint::GetInfo(); }

  // ---- host side ----
  Adesk::Boolean worldDraw(AcGiWorldDraw* mode) override;
  Acad::ErrorStatus subErase(Adesk::Boolean erasing) override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

 private:
  void File(DbFields& fields, bool dxf) const;
  void Read(DbFields& fields);
  // `markMissing`: a key without reference marks the engine part erased.
  void Resolve(bool markMissing);
  void DrawSymbol(AcGiWorldDraw* mode, CaeTopoRef* ref) const;
  void DrawCube(AcGiWorldDraw* mode, const CaeVector& point) const;
  void AdoptFiledKey(AmiObjectKey* key);
  void ReleaseOwnedKey();

  int color_ = kDefaultColor;
  double symbolSize_ = kDefaultSymbolSize;
  int unresolved_ = 0;
  AmiObjectKey* topoKey_ = nullptr;
  bool ownsKey_ = false;          // a key read from a record, not yet handed to its reference
  bool geometryMissing_ = false;  // the filed key did not resolve
  int topologyLost_ = 0;
  AcDbObjectId ownerId_;
  std::vector<AcDbObjectId> caseIds_;
};
