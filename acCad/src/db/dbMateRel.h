// The mating relation entity: one side of a mating relation, on a face (or, for shell meshes, an
// edge) of an assembly part. It carries the engine's AttMateRel on its topology reference, draws
// two "doubleArrow" markers on each edge of its face (standing along the face normal) and lives on
// layer "CAE_MATEREL". Two relations and a CaepMateRelPair make one mating relation; the pair is
// found through a soft pointer (db/dbMateRelPair.h).
//
// Erase: erasing either relation erases the pair and the other relation too (the pair's erase
// does the cascade); un-erasing one brings all three back. While the host replays its history
// (undo, redo) each of the three comes back by its own record and nothing cascades. Every erase
// and un-erase marks the engine attribute and tells the key once.
//
// Record (the host entity's own data first, so the layer and colour are filed): UInt16 data
// version (0: nothing follows), Int16 colour, Double symbol scale, the topology key, the pair as a
// soft pointer, and from version 631 the Int32 topology-lost flag (0 or 1; older records read 0).
// A key that did not resolve when the drawing was read is kept and written back unchanged, so the
// relation returns when its geometry does; one saved erased by its face comes back, with its pair,
// at the first change of its part that brings the face back. A failed filer call, a damaged record
// or an engine exception prints "\nTLX Exception: %s" and answers eFilerError.
#pragma once

#include "arx/dbentity.h"
#include "fea/AnlMateRel.h"
#include "topo/acTopoUtil.h"

class AcGiWorldDraw;
class AmiObjectKey;
class CaepMateRelPair;
class CaeTopoRef;

class DbLbcFields;

class CaepMateRelEnt : public AttMateRel, public AcDbEntity, public AcTopoAttribObject {
 public:
  ACRX_DECLARE_MEMBERS(CaepMateRelEnt);
  static void rxInit();

  // An entity without data (data version 0), colour 3, scale 1.
  CaepMateRelEnt();
  // A relation on `ref` (which must have a key): data version 630, no pair yet.
  CaepMateRelEnt(CaeTopoRef* ref, int colorIndex, double symbolScale);
  ~CaepMateRelEnt() override;
  CaepMateRelEnt(const CaepMateRelEnt&) = delete;
  CaepMateRelEnt& operator=(const CaepMateRelEnt&) = delete;

  static constexpr int kDataVersion = 631;

  int DataVersion() const { return dataVersion_; }
  int IsUnresolved() const { return unresolved_; }
  int ColorIndex() const { return colorIndex_; }
  double SymbolScale() const { return symbolScale_; }
  AmiObjectKey* Key() const { return key_; }
  AcDbObjectId PairId() const { return pairId_; }
  // True while the key read from the drawing names no geometry: the relation stays marked erased
  // for the engine and keeps the key.
  bool GeometryMissing() const { return geometryMissing_; }

  // The pair's drawing object, opened for write in a transaction of the entity's drawing; null
  // without a pair or when the pair is erased.
  AnlMateRelPair* Pair() override;
  // Null clears the pair; otherwise the id of the pair's drawing object.
  void SetPair(AnlMateRelPair* pair) override;

  // Brings back this relation with its pair and the other relation (open for write).
  void UnErase();
  // After reading: the reference of the key, the rebind to the reference's own key and the
  // listing by the reference; without a reference the engine attribute is marked erased and the
  // filed key is kept.
  void ResolveTopoRef();
  // The pair's resolution holds (or releases) the engine's erased mark while a side is missing.
  void HoldErasedMark(bool hold) { holdErased_ = hold; }
  void MarkAsNotErased() override;

  // ---- re-resolution ----
  void UponTopoRefModify() override;
  void UponTopoRefErase() override;
  AmiObjectKey* TopoKey() const override { return key_; }
  bool TopologyLost() const override { return topologyLost_ != 0; }
  // Un-erases the three; a relation read erased resolves with its pair then.
  void ReviveTopology() override;

  // ---- host side ----
  Adesk::Boolean worldDraw(AcGiWorldDraw* mode) override;
  Acad::ErrorStatus subErase(Adesk::Boolean erasing) override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

  // The markers on `ref`: two on an edge at 1/4 and 3/4 of its parameter range, two on each edge of
  // a face or of a body's faces; nothing for a hidden reference. A vertex is a consistency check.
  void DrawSymbol(AcGiWorldDraw* mode, CaeTopoRef* ref);

 private:
  Acad::ErrorStatus FileFields(AcDbDwgFiler* dwg, AcDbDxfFiler* dxf, bool reading);
  void AdoptFiledKey(AmiObjectKey* key);
  void ReleaseOwnedKey();
  // The pair's drawing object open for write, erased included; null without one.
  CaepMateRelPair* OpenPair(bool erasedToo);

  int dataVersion_ = 0;
  AmiObjectKey* key_ = nullptr;
  bool ownsKey_ = false;  // a key read from a record, until the relation moves to its reference's
  int unresolved_ = 0;
  int topologyLost_ = 0;
  AcDbObjectId pairId_;
  int colorIndex_ = 3;
  double symbolScale_ = 1.0;
  bool geometryMissing_ = false;
  bool holdErased_ = false;
};

// The head both mating records start with: the record version (0: no data) as a UInt16 in a
// drawing file, after the class marker as an Int32 in DXF. Writing files `version` and answers it;
// reading answers the version read (0, or from kMateOldestDataVersion to `dataVersion`, else the
// fields fail), or -1 when a DXF record does not carry the class's marker.
inline constexpr int kMateOldestDataVersion = 630;
int dbFileMateRecordHead(DbLbcFields& fields, AcDbDwgFiler* dwg, AcDbDxfFiler* dxf, bool reading, const char* className,
                         int version, int dataVersion);
