// Analysis jobs kept in the drawing: a solver job (made by analysis models and shape
// optimisation) and the constrained job of Concept optimisation. The engine job holds the state;
// these classes file it. Of the stored file names only the base name reaches the engine, which
// derives the others from it.
#pragma once

#include "arx/dbobject.h"
#include "fea/AnlJob.h"

class DbFields;

class CaepAnlDrvJobObj : public AcDbObject, public AnlDrvJob {
 public:
  ACRX_DECLARE_MEMBERS(CaepAnlDrvJobObj);
  static void rxInit();

  CaepAnlDrvJobObj() = default;
  ~CaepAnlDrvJobObj() override = default;

  // Set by a sub-model whose erase took the job with it; cleared when the job is un-erased.
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
  void Read(DbFields& fields);

  bool erasedWithSubModel_ = false;
};

class CaepAnlConstrJobObj : public AcDbObject, public AnlConstrJob {
 public:
  ACRX_DECLARE_MEMBERS(CaepAnlConstrJobObj);
  static void rxInit();

  explicit CaepAnlConstrJobObj(int nodeCount = 0) : AnlConstrJob(nodeCount) {}
  ~CaepAnlConstrJobObj() override = default;

  // As the solver job's: a sub-model's erase takes a model's constrained jobs too and must be able
  // to bring them back.
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
  void Read(DbFields& fields);

  bool erasedWithSubModel_ = false;
};

// The unit system a job's record holds, in stored order (types 0, 1, 5, 3, 4, 2, 7, 6); a unit
// that does not measure its quantity is a consistency check.
inline constexpr int kDbJobUnitOrder[8] = {0, 1, 5, 3, 4, 2, 7, 6};
