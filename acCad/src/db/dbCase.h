// Analysis cases kept in the drawing: a case (CaepAnlResultCase, the engine's AnlResltCase)
// combines load sets, each with a scale factor, with restraint sets. Each set taking part is one
// entry object (CaepAnlLbcCase, the engine's AnlLbcCase) that refers to its set by a soft
// pointer. The case lists its entries' ids, one list per kind, as hard ownership on file.
//
// Removing an entry erases it and leaves its id listed; counts and walks pass over erased
// entries and over ids that never open again. Entries are opened in the innermost transaction of
// the case's drawing; the operations that open them need one to be active.
#pragma once

#include <string>
#include <vector>

#include "arx/dbid.h"
#include "arx/dbobject.h"
#include "fea/AnlResltCase.h"

class CaepAnlLbcCase : public AnlLbcCase, public AcDbObject {
 public:
  ACRX_DECLARE_MEMBERS(CaepAnlLbcCase);
  static void rxInit();

  // Scale 1, no set and no category (-1) until read.
  CaepAnlLbcCase();
  // An entry for `set`, a set kept in a drawing (its id is stored), of category 0 (load set) or
  // 1 (restraint set).
  CaepAnlLbcCase(AttLbcCase* set, double scale, int category);

  AcDbObjectId SetId() const { return setId_; }
  int CaseCategory() const { return category_; }

  // The referenced set, open for write in the innermost transaction; null when there is none or
  // it is erased.
  AttLbcCase* LbcCase() const override;

  // Every open brings the engine's erased mark in step with the drawing (see the sets).
  Acad::ErrorStatus subOpen(AcDb::OpenMode mode) override;
  Acad::ErrorStatus subErase(Adesk::Boolean erasing) override;
  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;

 private:
  void Adopt(int id, double scale, int category, AcDbObjectId setId);

  AcDbObjectId setId_;
  int category_ = -1;
};

class CaepAnlResultCase : public AnlResltCase, public AcDbObject {
 public:
  ACRX_DECLARE_MEMBERS(CaepAnlResultCase);
  static void rxInit();

  CaepAnlResultCase() = default;
  explicit CaepAnlResultCase(const CaeString& name) : AnlResltCase(name) {}
  ~CaepAnlResultCase() override;

  const AcDbObjectIdArray& LoadEntryIds() const { return loadIds_; }
  const AcDbObjectIdArray& RestraintEntryIds() const { return restraintIds_; }

  // --- engine side -----------------------------------------------------------------------
  // Makes an entry for the set, adds it to the case's drawing without an owner and lists it.
  AnlLbcCase* AddLoadCase(AttLbcCase* set, double scale) override;
  AnlLbcCase* AddBoundaryCase(AttLbcCase* set, double scale) override;
  // Erases the entry, which stays listed; 0 when it is not one of this case's of that kind. A
  // null entry is a consistency check.
  int RemoveLoadCase(AnlLbcCase* entry) override;
  int RemoveBoundaryCase(AnlLbcCase* entry) override;
  // The listed entries that open (erased ones not counted).
  int NumLoadCase() override;
  int NumBoundaryCase() override;
  // Kind 0 walks the load entries, any other kind the restraint entries: the live entries,
  // rebuilt from the ids, whose set still opens.
  AnlLbcCase* FirstLbcCase(int kind) override;
  AnlLbcCase* NextLbcCase() override;

  // Opens every entry for write in one transaction (the optimisation model's relink); an engine
  // exception is printed, not raised.
  void TouchEntries();

  // --- host side -------------------------------------------------------------------------
  Acad::ErrorStatus subOpen(AcDb::OpenMode mode) override;
  Acad::ErrorStatus subErase(Adesk::Boolean erasing) override;
  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;

 private:
  AnlLbcCase* AddEntry(AttLbcCase* set, double scale, int category, AcDbObjectIdArray& ids);
  int RemoveEntry(AnlLbcCase* entry, const AcDbObjectIdArray& ids);
  int CountEntries(const AcDbObjectIdArray& ids);
  AnlLbcCase* Advance();
  void Adopt(std::string name, int type, const AcDbObjectIdArray& loads, const AcDbObjectIdArray& restraints,
             int nullIds);

  AcDbObjectIdArray loadIds_{0, 8};
  AcDbObjectIdArray restraintIds_{0, 8};
  // The engine's view, rebuilt by FirstLbcCase; entries are the drawing's, never owned here.
  std::vector<AnlLbcCase*> walked_;
  std::size_t position_ = 0;
};
