// The optimisation model kept in the drawing: the engine's OptModel and a drawing object in one.
//
// The model refers to the parts of its study by object id: its design constraints (soft pointers;
// model space owns them), its analysis result cases, optimisation result sets, jobs and objective
// (hard ownership) and its simulation model (soft pointer). The engine's own lists are never filed:
// they are rebuilt from the ids whenever the engine asks for a first element. A removed part is
// erased and stays listed; counts and walks pass over it (the result-set and job counts do not).
//
// Record (after the host object's fields; not for the copying, translating and cloning filers):
// UInt16 data version (630), String name, Int16 kind (below 300: 0 means sensitivity only),
// Int16 shape cycles, six Doubles of tolerances and criteria, then above version 200 the
// sensitivity-only flag, the Concept settings and the three spare values, then four counted id
// lists (constraints, analysis result cases, result sets, jobs), the objective id and the
// simulation-model id. DXF carries the same record after a "100" marker with the class name.
#pragma once

#include <vector>

#include "arx/dbid.h"
#include "arx/dbobject.h"
#include "db/dbControl.h"
#include "fea/OptModel.h"

class DbFields;

class CaepOptModel : public OptModel, public AcDbObject, public DbShownObject {
 public:
  ACRX_DECLARE_MEMBERS(CaepOptModel);
  static void rxInit();

  // Kind 0, no name, the engine's default settings, no parts, not current.
  CaepOptModel();
  // A new model of that name and kind, not yet in the drawing (the creator enters it).
  explicit CaepOptModel(const CaeString& name, CaeOptType type = CaeOptShape, int inMemory = 1);
  ~CaepOptModel() override;

  const std::vector<AcDbObjectId>& ConstraintIds() const { return constraintIds_; }
  const std::vector<AcDbObjectId>& AnlResultCaseIds() const { return anlCaseIds_; }
  const std::vector<AcDbObjectId>& OptResultCaseIds() const { return optCaseIds_; }
  const std::vector<AcDbObjectId>& JobIds() const { return jobIds_; }
  AcDbObjectId ObjectiveId() const { return objectiveId_; }
  AcDbObjectId AnlModelId() const { return anlModelId_; }

  // --- the engine's operations, in the engine's order ------------------------------------
  ::AnlModel* AnlModel() override;
  void SetAnlModel(::AnlModel* model) override;
  OptObjective* Objective() override;
  void SetObjective(OptObjective* objective) override;
  void AddConstraint(OptConstraint* constraint) override;
  void RemoveConstraint(OptConstraint* constraint) override;
  int NumConstraints() override;
  OptConstraint* FirstConstraint(int activeOnly) override;
  int MoveConstraint(OptConstraint* moved, OptConstraint* place) override;
  void AddAnlResultCase(AnlResltCase* resultCase) override;
  void RemoveAnlResultCase(AnlResltCase* resultCase) override;
  int NumAnlResultCases() override;
  AnlResltCase* FirstAnlResultCase(int activeOnly) override;
  int MoveAnlResultCase(AnlResltCase* moved, AnlResltCase* place) override;
  OptResultCase* NewOptResultCase(const CaeString& jobName, const CaeString& name) override;
  void AddOptResultCase(OptResultCase* resultCase) override;
  void RemoveOptResultCase(OptResultCase* resultCase) override;
  int NumOptResultCases() override;
  OptResultCase* FirstOptResultCase(int activeOnly) override;
  int MoveOptResultCase(OptResultCase* moved, OptResultCase* place) override;
  OptResultCase* FindOptResultCase(const CaeString& name) override;
  OptResultCase* CurrentOptResultCase() override;
  void SetCurrentOptResultCase(OptResultCase* resultCase) override;
  void AddJob(AnlJob* job) override;
  void RemoveJob(AnlJob* job) override;
  int NumJobs() override;
  AnlJob* FindJob(const CaeString& deckName) override;
  AnlJob* Job(int index) override;

  // The control redraws the model when it becomes or stops being current: its constraints'
  // markers (dbOptModelRedrawConstraints).
  void MarkGraphicsModified() override;

  // --- host side -------------------------------------------------------------------------
  // Erasing cascades to the constraints, analysis result cases and result sets (not to the
  // objective and the jobs); un-erasing brings back the model alone.
  Acad::ErrorStatus subErase(Adesk::Boolean erasing) override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

 private:
  // Opens a listed part for write in the innermost transaction of the model's drawing; null for an
  // erased one (unless `erasedToo`) or one that never opens again.
  AcDbObject* OpenPart(AcDbObjectId id, bool erasedToo = false) const;
  // Rebuilds an engine list from ids: live parts (activeOnly) or every part that opens.
  template <class Engine>
  void Refill(CaeCursorList<Engine>& list, const std::vector<AcDbObjectId>& ids, int activeOnly);
  template <class Engine>
  int CountLive(const std::vector<AcDbObjectId>& ids) const;
  int MoveId(std::vector<AcDbObjectId>& ids, AcDbObject* moved, AcDbObject* place);
  void ErasePart(AcDbObject* part);
  // Adds a non-entity part to the drawing; its id (a null id is a consistency check).
  AcDbObjectId AddToDrawing(AcDbObject* part);
  void File(DbFields& fields, bool dxf) const;
  void Read(DbFields& fields, bool dxf);

  std::vector<AcDbObjectId> jobIds_;
  std::vector<AcDbObjectId> constraintIds_;
  std::vector<AcDbObjectId> anlCaseIds_;
  std::vector<AcDbObjectId> optCaseIds_;
  AcDbObjectId currentOptCaseId_;  // not filed: nothing is current after loading
  AcDbObjectId objectiveId_;
  AcDbObjectId anlModelId_;
};

// The job of a run of `model`: a constrained job sized by the simulation model's node count for a
// Concept model, a solver job for a shape model. Listed by the model, closed and opened again for
// write in the command's transaction; answers its engine part.
AnlJob* dbOptModelCreateJob(OptModel* model);
// Marks the graphics of every active constraint of the model modified, in one CAD transaction.
void dbOptModelRedrawConstraints(OptModel* model);
// The pass after loading: the model becomes the engine and drawing owner of its objective,
// constraints (which resolve their geometry), analysis result cases (whose entries are opened) and
// result sets (marked not current). An engine exception ends the pass and is printed.
void dbOptModelRelinkObjects(CaepOptModel* model);
