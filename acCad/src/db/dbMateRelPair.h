// The mating relation pair: a named drawing object (not an entity) that joins two mating relation
// entities (db/dbMateRel.h) as the engine's AnlMateRelPair. The analysis model soft-owns it
// (CaepAnlModelObj::AddMateRelPair) and resolves it after a drawing is read.
//
// Erasing the pair erases both relations; un-erasing it (UnErase, or erase(false) outside the
// host's history) brings both back. A pair whose side lost its geometry when the drawing was read
// stays in the drawing, marked erased for the engine with both relations, so that the deck passes
// over it, until the side's geometry returns (the re-resolution after a part edit, undo or redo
// resolves it again). So does a pair one of whose relations the drawing lost (its record could
// not be read), for good.
//
// Record (the host object's own data first): UInt16 data version (0: nothing follows), String
// name (never empty), first and second relation as soft pointers. A failed filer call, a damaged
// record or an engine exception prints "\nTLX Exception: %s" and answers eFilerError.
#pragma once

#include "amg/CaeString.h"
#include "arx/dbobject.h"
#include "fea/AnlMateRel.h"

class CaepAnlModelObj;
class CaepMateRelEnt;
class CaeTopoRef;
class DbLbcFields;

class CaepMateRelPair : public AnlMateRelPair, public AcDbObject {
 public:
  ACRX_DECLARE_MEMBERS(CaepMateRelPair);
  static void rxInit();

  // A pair without data (data version 0), no relations and an empty name.
  CaepMateRelPair();
  // Makes a relation on each reference with the colour and the scale, appends both to model space
  // on layer "CAE_MATEREL", lists each on its reference and binds it to its key. The pair itself
  // enters the drawing when a model adds it. An empty name is a consistency check.
  CaepMateRelPair(CaeTopoRef* first, CaeTopoRef* second, const CaeString& name, int colorIndex, double symbolScale);
  CaepMateRelPair(const CaepMateRelPair&) = delete;
  CaepMateRelPair& operator=(const CaepMateRelPair&) = delete;

  static constexpr int kDataVersion = 630;

  int DataVersion() const { return dataVersion_; }
  AcDbObjectId FirstId() const { return firstId_; }
  AcDbObjectId SecondId() const { return secondId_; }
  bool SideMissing() const { return sideMissing_; }

  // The relations, each opened for write in a transaction of the pair's drawing, erased ones
  // included; null for one the drawing does not have; both null when the pair has none.
  void GetMateRels(AttMateRel*& first, AttMateRel*& second) override;
  AttMateRel* MateRel1() override;
  AttMateRel* MateRel2() override;
  // Gives each relation this pair.
  void AttachToEntities();
  // The first relation's colour and scale (no first relation is a consistency check).
  int ColorIndex();
  double SymbolScale();
  void MarkAsCurrent() override;
  void MarkAsNotCurrent() override;
  // Held while a side is missing (see above).
  void MarkAsNotErased() override;
  // Brings back the pair and both relations (the pair open for write).
  void UnErase();
  // After reading: the model becomes the owner, both relations resolve, and a pair with a side
  // that names no geometry is marked erased for the engine, with both relations. A pair read
  // erased watches the parts of its relations that their faces took.
  void ResolveTopoRefs(CaepAnlModelObj* model);
  // After the re-attachment (while a side is missing) or a relation's revival: the relations that
  // have not resolved, or miss their geometry, resolve again; once both sides have it, the pair
  // and both relations are active again. An erased pair does nothing.
  void ResolveMissingSides();

  // ---- host side ----
  Acad::ErrorStatus subErase(Adesk::Boolean erasing) override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

 private:
  CaepMateRelEnt* OpenRelation(AcDbObjectId id);
  Acad::ErrorStatus FileFields(AcDbDwgFiler* dwg, AcDbDxfFiler* dxf, bool reading);
  void FileRecord(DbLbcFields& fields, bool writing);
  // Resolves the relations (all of them after reading, else those unresolved or missing their
  // geometry) and holds or releases the erased marks by whether a side is missing.
  void ResolveSides(bool afterReading);
  // Erases (or un-erases) both relations, each once.
  void CascadeToRelations(bool erasing);

  int dataVersion_ = 0;
  AcDbObjectId firstId_;
  AcDbObjectId secondId_;
  bool sideMissing_ = false;
};

// The model's hooks (db/dbSubModel.h): attach a newly added pair, resolve a read one.
void dbAttachPairToEntities(AnlMateRelPair* pair);
void dbResolvePair(AnlMateRelPair* pair, CaepAnlModelObj* model);
