// The optimisation result set of one run kept in the drawing: the engine's OptResultCase and a
// drawing object in one. It keeps its model (owner), the simulation model that receives the run's
// results and a second model of the run by object id.
//
// Record (after the host object's fields): UInt16 version (630), String name, the result model
// and second model (soft pointers), Int16 initialised, has history, has sensitivity and exit code.
// An ended run (exit code not 0) then files only its results file's last component (the run's
// data lives in that file; it is found again under the analysis control's location). A pending
// run files its job name, the objective record (above version 200 behind a presence flag, with the
// objective scale), the maximum-constraint record (likewise), and the counted result variables and
// result constraints. An empty unit text is filed as "**".
#pragma once

#include "arx/dbid.h"
#include "arx/dbobject.h"
#include "fea/OptModel.h"

class DbFields;

class CaepOptResultCase : public OptResultCase, public AcDbObject {
 public:
  ACRX_DECLARE_MEMBERS(CaepOptResultCase);
  static void rxInit();

  // The longest count of result records a record may announce.
  static constexpr int kMaxRecords = 10000;

  CaepOptResultCase();
  explicit CaepOptResultCase(const CaeString& name);
  ~CaepOptResultCase() override;

  AcDbObjectId OwnerId() const { return ownerId_; }
  AcDbObjectId ResultModelId() const { return resultModelId_; }
  AcDbObjectId SecondModelId() const { return secondModelId_; }

  // ---- engine side ----
  ::AnlModel* ResultAnlModel() override;
  void SetResultAnlModel(::AnlModel* model) override;
  ::AnlModel* SecondAnlModel() override;
  void SetSecondAnlModel(::AnlModel* model) override;
  ::OptModel* Owner() override;
  void SetOwner(::OptModel* model) override;

  // ---- host side ----
  Acad::ErrorStatus subErase(Adesk::Boolean erasing) override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

 private:
  template <class Engine>
  Engine* OpenLink(AcDbObjectId id) const;
  void File(DbFields& fields, bool dxf) const;
  void Read(DbFields& fields);

  AcDbObjectId ownerId_;
  AcDbObjectId resultModelId_;
  AcDbObjectId secondModelId_;
};

// The last component of a file name: the text after its last "\" or "/" (the whole name when it
// has neither).
CaeString dbOptFileLeaf(const CaeString& fileName);
