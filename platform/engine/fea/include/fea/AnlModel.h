// Analysis models and their sub-models.
//
// A model is one analysis of the part (stress, vibration, buckling or heat transfer): its
// sub-models (one per body, each with material, element property and mesh), mesh constraints,
// mating-relation pairs, jobs and result sets. The list operations are virtual: a drawing's model
// keeps its parts in the drawing; the engine's own operations keep them in engine lists and own
// what they create. Indexes are 0-based. Counts named Num* include erased parts, NumLive* and
// walks pass over them.
//
// Decks are written by AnlWriter and solved by jobs (AnlJob) that run the solver.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "amg/CaeActive.h"
#include "amg/CaeArray.h"
#include "amg/CaeAttrib.h"
#include "amg/CaeFlags.h"
#include "amg/CaeList.h"
#include "amg/CaeName.h"
#include "amg/CaeString.h"
#include "fea/AnlTypes.h"
#include "fea/CaeElem.h"

class AmgConstraint;
class AmgMesh;
class AnlJob;
class AnlMateRelPair;
class AnlResltCase;
class AnlWriter;
class CaeCoordSys;
class CaeMaterial;
class FerResultSet;

// One body of a model: its material, element property, coordinate system and mesh.
class AnlSubModel : public CaeAttrib, public virtual CaeName {
 public:
  CAE_DECLARE_TYPE_INFO;
  AnlSubModel();
  explicit AnlSubModel(CaeTopoRef* body);
  ~AnlSubModel() override;
  AnlSubModel(const AnlSubModel&) = delete;
  AnlSubModel& operator=(const AnlSubModel&) = delete;

  long Id() const { return id_; }
  void Id(long id) { id_ = id; }
  // A new id, one above every id handed out so far in the process.
  static long NextSubModelId();

  // The sub-model's own copy of a material. The sub-model deletes the material it holds when it
  // is destroyed; AssignMaterial does not delete the previous one: callers delete it (or keep
  // it) before assigning a new copy.
  CaeMaterial* GetMaterial() const { return material_; }
  void AssignMaterial(CaeMaterial* material) { material_ = material; }
  // Element property (owned).
  CaeElemProp* GetProp() const { return prop_.get(); }
  void AssignProp(CaeElemProp* prop);
  CaeCoordSys* GetCoordSys() const { return coordSys_.get(); }
  void AssignCoordSys(CaeCoordSys* coordSys);
  // Whether the mesh is made of shell elements.
  int MeshIsShell() const { return shell_; }
  void SetMeshIsShell(int flag) { shell_ = flag ? 1 : 0; }
  // Takes the sub-model's element kind from a mesh (shell when it holds shell elements).
  void SetMeshProps(AmgMesh* mesh);
  // Refinement needs the mesher; reports "not available yet" and answers null.
  AmgMesh* CreateRefinedMesh(int flag);
  // Grouping of changes (the engine keeps no transaction state of its own).
  void StartTransaction() { ++transactionDepth_; }
  void EndTransaction() {
    if (transactionDepth_ > 0) --transactionDepth_;
  }

  CaeTypeId GetInfo() const override { return Info; }
  // The mesh (not owned by the engine's sub-model).
  virtual AmgMesh* Mesh() { return mesh_; }
  virtual void SetMesh(AmgMesh* mesh) { mesh_ = mesh; }
  // Called before the held material's rows change in place, so that a stored sub-model can
  // keep its state for undo.
  virtual void AboutToChange() {}

 private:
  long id_ = 0;
  CaeMaterial* material_ = nullptr;
  std::unique_ptr<CaeElemProp> prop_;
  std::unique_ptr<CaeCoordSys> coordSys_;
  AmgMesh* mesh_ = nullptr;
  int shell_ = 0;
  int transactionDepth_ = 0;
};

class AnlModel : public virtual CaeActive, public virtual CaeName {
 public:
  AnlModel();
  AnlModel(const CaeString& name, AnlType type);
  ~AnlModel() override;
  AnlModel(const AnlModel&) = delete;
  AnlModel& operator=(const AnlModel&) = delete;

  AnlType Type() const { return type_; }
  void SetType(AnlType type) {
    AboutToChange();
    type_ = type;
  }
  long Id() const { return id_; }
  void SetId(long id) {
    AboutToChange();
    id_ = id;
  }
  // Native length within which two faces count as mated.
  double GetMateRelTolerance() const { return mateTolerance_; }
  void SetMateRelTolerance(double tolerance) {
    AboutToChange();
    mateTolerance_ = tolerance;
  }
  // h-adaptivity: CaeOn (0) or CaeOff (1); iterations 1 to 10; target error in percent.
  CaeOnOff GetHAdaptivity() const { return hAdaptivity_; }
  void SetHAdaptivity(CaeOnOff value) { hAdaptivity_ = value; }
  int GetAdaptIterations() const { return adaptIterations_; }
  void SetAdaptIterations(int iterations) { adaptIterations_ = iterations; }
  double GetAdaptTargetError() const { return adaptTargetError_; }
  void SetAdaptTargetError(double percent) { adaptTargetError_ = percent; }
  const AnlElemDescTable& GetDescTab() const { return descTab_; }
  void MakeCurrent() { MarkAsCurrent(); }
  void MakeUncurrent() { MarkAsNotCurrent(); }

  // Over the live sub-models' meshes.
  int HasShellMesh();
  int HasSolidMesh();
  // Appends every node of the live sub-models' meshes to `list`; answers how many.
  int Nodes(CaeList<CaeNode>& list, int flag);
  int NumNodes(int flag);
  // The highest node and element ids of the live meshes (0 when there are none).
  void HighestNodeElementIds(long& node, long& element);

  // Checks what can be known before a deck is written: every live sub-model has a material whose
  // values the analysis can use, a mesh (a deferred one not made yet passes), a shell mesh has
  // element properties with a thickness, no mesh is out of date with its part, and mating
  // relations lie on solid parts. A failed check appends a heading (message 0, its code
  // kFeaMsgSimCheckFailed), then one message per finding with its code at the same index in
  // `codes`; a passed check appends nothing. Answers 1 when it passes, 0 when not.
  int CheckModel(CaeArray<CaeString>& messages, CaeArray<std::uint32_t>& codes);
  // A new deck writer for this model (the caller deletes it).
  AnlWriter* DeckWriter(AnlCode code);
  // Makes a job (NewJob), writes the deck with the writer and runs the job; answers at once.
  //  - No deck file: the job is named uniquely in the model (UniqueJobName) and its files go to a
  //    fresh folder of its own under the "Scratch Directory".
  //  - A deck file and `deckOnly`: the deck is written exactly at that path and no solver starts.
  //  - A deck file without `deckOnly`: the job's files are named after it (".inp" optional).
  // The solver starts at once, or at `when` (local time) when given. Answers the job, whose status
  // tells how the run goes (see AnlJob); null when the deck could not be written or the solver could
  // not be started, with `message` saying why (no job is left). A deck written with conditions that
  // do not apply to the model's type leaves their warning in `message`.
  AnlJob* SubmitAnalysis(AnlWriter* writer, const CaeString& deckFile, const struct tm* when, int deckOnly,
                         CaeString& message, AnlCode code);
  // The solver threads of the jobs SubmitAnalysis starts (0: the configuration's). Analyses run
  // side by side (an optimisation cycle's sensitivity steps) take one each.
  void SetJobThreads(int threads) { jobThreads_ = threads > 0 ? threads : 0; }
  // "<model name>Job<n>" with the lowest n that no job of the model (erased ones included) has.
  CaeString UniqueJobName();
  // h-adaptive analysis, blocking under the engine's progress dialog (whose Cancel stops the
  // solver): solves, refines the meshes by the results' error estimate (AdaptMeshes) and solves
  // again until they stop changing. One job, the last, stays with its results; the jobs and files
  // of earlier passes go. Answers 1 on success; 0 with `message` saying why (meshes that give no
  // error estimate, a failed solve with the solver's reason, a refined mesh that could not be
  // made), the earlier passes' jobs removed then too.
  int SubmitHAdaptiveAnalysis(AnlWriter* writer, CaeString& message, AnlCode code);
  // One h-adaptive pass on solved results: where the estimated error of the results (percent of
  // the peak, by `quantityType` when the results hold it, else by what they hold: stresses,
  // displacements, heat flux, temperatures) exceeds the target error, local sizes shrink the
  // elements and the live meshes are made again, all of them or none. Answers 0 with `stop` 0
  // when the meshes were refined (the results and jobs made on the old meshes are then stale;
  // analyse again). Answers 1 with `stop` 1 when nothing changed: silently when the error is
  // within the target; else `message` says why (no estimate, which needs quadratic solid
  // elements; the passes, GetAdaptIterations over the model's life, used up; no element chosen;
  // the largest error staying at a singular point as the elements there shrink; a refined mesh
  // that could not be made, when every mesh keeps what it had). LastAdaptOutcome tells which.
  int AdaptMeshes(FerResultSet* results, int quantityType, CaeString& message, int& stop);
  // How many adaptive passes refined the meshes so far.
  int AdaptPasses() const { return adaptPasses_; }
  enum AdaptOutcome : int {
    kAdaptRefined = 0,
    kAdaptWithinTarget,
    kAdaptPassesUsed,
    kAdaptNothingChosen,
    kAdaptSingular,
    kAdaptNoEstimate,
    kAdaptMeshFailed,
  };
  AdaptOutcome LastAdaptOutcome() const { return lastAdapt_; }
  // Multi-point constraints are the solver's; nothing to validate yet (answers 1).
  int ValidateMPCs() { return 1; }
  void UpdateResultCaseForHAdaptivity() {}

  // --- virtual operations ----------------------------------------------------------------
  // Called before the type, id or mating tolerance changes: a model kept elsewhere (a drawing's)
  // makes itself ready to record the change.
  virtual void AboutToChange() {}
  void AboutToRename() override { AboutToChange(); }
  virtual AnlJob* NewJob();
  virtual AmgMesh* NewMesh(CaeTopoRef* body);
  virtual AnlSubModel* NewSubModelForBody(CaeTopoRef* body);
  virtual AnlSubModel* NewSubModel();
  virtual void DeleteSubModel(AnlSubModel* subModel);
  virtual int NumSubModels();
  virtual AnlSubModel* GetSubModel(int index);
  virtual void AddConstraint(AmgConstraint* constraint);
  virtual void DeleteConstraint(AmgConstraint* constraint);
  virtual int NumConstraints();
  virtual int NumLiveConstraints();
  virtual AmgConstraint* GetConstraint(int index);
  virtual void AddMateRelPair(AnlMateRelPair* pair);
  virtual void DeleteMateRelPair(AnlMateRelPair* pair);
  virtual int NumMateRelPairs();
  virtual int NumLiveMateRelPairs();
  virtual AnlMateRelPair* GetMateRelPair(int index);
  virtual AnlMateRelPair* FirstLiveMateRelPair();
  virtual AnlMateRelPair* NextLiveMateRelPair();
  virtual FerResultSet* NewResultSet(const CaeString& name);
  // Marks the result set of that name erased; 0 when there is none.
  virtual int DeleteResultSet(const CaeString& name);
  virtual int NumResultSets();
  virtual FerResultSet* GetResultSet(int index);
  virtual FerResultSet* FindResultSet(const CaeString& name);
  virtual void AddJob(AnlJob* job);
  virtual void DeleteJob(AnlJob* job);
  virtual int NumJobs();
  virtual AnlJob* GetJob(int index);
  virtual AnlJob* FindJobByDeck(const CaeString& deckName);

 protected:
  // The engine lists (not owning); the owned_ vectors hold what the engine's New made.
  std::vector<AnlSubModel*> subModels_;
  std::vector<AmgConstraint*> constraints_;
  std::vector<AnlMateRelPair*> pairs_;
  std::vector<FerResultSet*> resultSets_;
  std::vector<AnlJob*> jobs_;

 private:
  std::vector<AmgMesh*> LiveMeshes();
  bool HasLiveResults();
  bool TiesShells(AnlMateRelPair& pair);
  AnlType type_ = AnlStress;
  long id_ = 0;
  double mateTolerance_ = 1.0e-5;
  CaeOnOff hAdaptivity_ = CaeOff;
  int adaptIterations_ = 3;
  double adaptTargetError_ = 5.0;
  int adaptPasses_ = 0;
  AdaptOutcome lastAdapt_ = kAdaptWithinTarget;
  // The largest error when the meshes were last refined, to tell a singular point.
  struct AdaptMark {
    bool set = false;
    double size = 0.0;
    double error = 0.0;
    double field = 0.0;
  };
  AdaptMark lastWorst_;
  AnlElemDescTable descTab_;
  std::size_t pairCursor_ = 0;
  std::vector<std::unique_ptr<AnlSubModel>> ownedSubModels_;
  std::vector<std::unique_ptr<AmgMesh>> ownedMeshes_;
  std::vector<std::unique_ptr<FerResultSet>> ownedResultSets_;
  std::vector<std::unique_ptr<AnlJob>> ownedJobs_;
  int jobThreads_ = 0;
};
