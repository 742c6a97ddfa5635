// A result set kept in the drawing: the engine's result set, with file results whose bulk data
// stay in data files beside the drawing. The whole set is filed: header, subsets and results.
//
// The bulk data (mesh and values, FerResultData.h) go into one file per set in the drawing's
// folder (the drawing's path without its extension) when the drawing is saved; every result of
// the set names that file. A drawing read from a file gives its sets that folder, and a set brings
// its data in when it is first shown. An undo restoring the set's fields keeps the data in memory.
//
// A set filed at data version 100 names data files in the old work area; reading it copies each
// file next to the drawing being read (the folder named after the drawing) under a free name.
#pragma once

#include <string>

#include "amg/CaeString.h"
#include "arx/dbobject.h"
#include "fea/FerResult.h"

class DbFields;

class CaepResultCaseObj : public AcDbObject, public FerResultSet {
 public:
  ACRX_DECLARE_MEMBERS(CaepResultCaseObj);
  static void rxInit();

  CaepResultCaseObj() = default;
  ~CaepResultCaseObj() override = default;

  // Adds a new set to the working drawing without an owner and closes it; the status of the close.
  static Acad::ErrorStatus CreateInDatabase();
  // Lists the set with the current control's current analysis model; without one, a consistency
  // check.
  void AttachToCurrentModel();

  // Set by a sub-model whose erase took the set with it; cleared when the set is un-erased.
  void SetErasedWithSubModel(bool mark) { erasedWithSubModel_ = mark; }
  bool ErasedWithSubModel() const { return erasedWithSubModel_; }

  // A job or set opened for read through a listing is write-enabled before it changes.
  void AboutToChange() override;
  Acad::ErrorStatus subErase(Adesk::Boolean erasing) override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

 private:
  void File(DbFields& fields) const;
  // `fromFile`: the fields come from a drawing file (not an undo record).
  void Read(DbFields& fields, bool fromFile);
  // Copies the data files of a version-100 set from `sourceFolder` of the work area.
  void Relocate(const std::string& sourceFolder);

  bool erasedWithSubModel_ = false;
};

// Where a version-100 set's files go: the folder of the drawing being read (its path without the
// extension) followed by "\".
CaeString dbResultTargetFolder(AcDbDatabase* database);

// The folder beside a drawing file that holds its result data: the path without its extension.
std::string dbResultDataFolder(const std::string& drawingPath);

// Files the data of every live result set of the drawing's models in the folder of the drawing
// about to be written to `drawingPath`, where that folder does not hold them yet (a set read from
// another drawing's folder brings them in first). A set whose data cannot be had or written is
// named in a warning; the drawing is saved all the same and the set shows why when reopened.
void dbFileResultData(AcDbDatabase* database, const std::string& drawingPath);

// After the drawing was written to `drawingPath`: removes the data files in its folder that no live
// result set names any more (deleted sets', and files no set of the drawing names). A deleted set
// may come back by undo, so it takes its data into memory first and is filed again by the next
// save; its file stays when the data cannot be read.
void dbRemoveUnusedResultData(AcDbDatabase* database, const std::string& drawingPath);
