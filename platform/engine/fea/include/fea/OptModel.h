// Optimisation: the model of a shape or Concept study and its parts (objective, design
// constraints, design variables, run settings and result cases).
//
// The named parts are engine objects with the core's marks (CaeActive) and name (CaeName). An
// optimisation model keeps engine lists of its constraints, analysis result cases, optimisation
// result cases and jobs; its list operations are virtual, and a drawing object that derives from
// it refills those lists before calling the engine's First operations. Walks pass over objects
// marked erased; with activeOnly they also pass over inactive ones.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "amg/CaeActive.h"
#include "amg/CaeArray.h"
#include "amg/CaeAttrib.h"
#include "amg/CaeCoordSys.h"
#include "amg/CaeList.h"
#include "amg/CaeName.h"
#include "amg/CaeString.h"
#include "amg/CaeUnit.h"
#include "fea/AnlTypes.h"

class AnlJob;
class AnlModel;
class AnlResltCase;
class AnlWriter;
class CaeGraph;
class OptModel;

// 0 shape optimisation, 1 Concept optimisation.
enum CaeOptType : int { CaeOptShape = 0, CaeOptConcept = 1 };

// 0 mass, 1 volume, 2 frequency, 3 load factor, 4 stress, 5 strain, 6 displacement component,
// 7 displacement magnitude.
enum OptResponseType : int {
  OptMass = 0,
  OptVolume = 1,
  OptFrequency = 2,
  OptLoadFactor = 3,
  OptStress = 4,
  OptStrain = 5,
  OptDisplacement = 6,
  OptDisplacementMagnitude = 7,
};

// The run settings of an optimisation model. Read and written whole; the field order is the
// filed order. The constructor gives the engine's defaults.
struct OptParameters {
  OptParameters();
  int shapeMaxCycles;                // upper bound of design cycles of a shape run (1 to 50)
  double constraintActiveTolerance;  // fraction, negative: a constraint is active above it
  double constraintViolatedTolerance;
  double relativeObjectiveChange;  // convergence criteria
  double absoluteObjectiveChange;  // in the objective's units
  double relativeVariableChange;
  double maxConstraintViolation;
  int sensitivityOnly;  // nonzero: sensitivity analysis only
  int conceptMaxCycles;
  int conceptConvergenceSpeed;  // 1 to 5
  double conceptFirstChange;    // material removed in the first iteration
  int conceptChangeMode;        // 0 engine default, 1 absolute, 2 relative
  int spareInt;
  double spareValue;
  int spareFlag;
  bool operator==(const OptParameters&) const = default;
};

// A lower and an upper bound; +-1.0e20 stand for "unbounded". The getter and the setter have
// different names: with one overloaded name, reading the bounds into two variables of a
// non-const object would silently set them.
class OptBounds {
 public:
  static constexpr double kUnbounded = 1.0e20;
  void Bounds(double& lower, double& upper) const {
    lower = lower_;
    upper = upper_;
  }
  void SetBounds(double lower, double upper) {
    lower_ = lower;
    upper_ = upper;
  }

 private:
  double lower_ = -kUnbounded;
  double upper_ = kUnbounded;
};

// The base of the objective and the constraints: a response of the analysis results.
class OptFunction : public CaeAttrib, public OptBounds, public virtual CaeActive, public virtual CaeName {
 public:
  OptFunction();
  OptFunction(const CaeString& name, OptResponseType responseType);
  ~OptFunction() override;

  OptResponseType ResponseType() const { return responseType_; }
  void ResponseType(OptResponseType type) { responseType_ = type; }
  int ModeNumber() const { return modeNumber_; }
  void ModeNumber(int mode) { modeNumber_ = mode; }
  // Bit set of the response's components.
  int Components() const { return components_; }
  void Components(int components) { components_ = components; }
  // The coordinate system of the components, or null for global axes. The function owns it.
  CaeCoordSys* CoordSys() const { return coordSys_.get(); }
  void CoordSys(CaeCoordSys* coordSys) { coordSys_.reset(coordSys); }
  int GenericIVal() const { return genericInt_; }
  void GenericIVal(int value) { genericInt_ = value; }
  double GenericFVal() const { return genericValue_; }
  void GenericFVal(double value) { genericValue_ = value; }
  // The owning model. A drawing's function keeps its owner by object id and overrides both.
  virtual ::OptModel* Owner() const { return owner_; }
  virtual void Owner(::OptModel* model) { owner_ = model; }

  // The response's name ("mass", "volume", ...), its unit type and its unit's short name in the
  // current unit-string table (empty when no table is current or the type has no unit).
  CaeString ResponseText() const;
  CaeUnitType UnitType() const;
  CaeString UnitText() const;
  // Whether values are in native units (the engine's answer: always).
  virtual int UseNativeUnits() const { return 1; }

  // The analysis result cases the function is evaluated on (not owned). A drawing's function
  // keeps them by object id: it overrides the three and refills the engine's list in First.
  virtual void AddAnlResultCase(AnlResltCase* resultCase);
  // Unlists the first occurrence; answers whether the case was listed.
  virtual int RemoveAnlResultCase(AnlResltCase* resultCase);
  virtual AnlResltCase* FirstAnlResultCase();
  AnlResltCase* NextAnlResultCase();

  CaeTypeId GetInfo() const override { return Info; }
  CAE_DECLARE_TYPE_INFO;

 private:
  OptResponseType responseType_ = OptMass;
  int modeNumber_ = 1;
  int components_ = 0;
  std::unique_ptr<CaeCoordSys> coordSys_;
  int genericInt_ = 0;
  double genericValue_ = 0.0;
  ::OptModel* owner_ = nullptr;

 protected:
  // The engine's list that First walks; a drawing's function refills it from its ids.
  CaeCursorList<AnlResltCase> resultCases_;
};

// The objective. It always has a name: the system never names objectives, so an empty name
// gives the engine's default "Objective".
class OptObjective : public OptFunction {
 public:
  static constexpr const char* kDefaultName = "Objective";
  OptObjective();
  OptObjective(const CaeString& name, OptResponseType responseType);
  CaeTypeId GetInfo() const override { return Info; }
  CAE_DECLARE_TYPE_INFO;
};

// A design constraint (shape) or concept control (Concept).
class OptConstraint : public OptFunction {
 public:
  OptConstraint();
  // The in-memory constructor (argument 1): default behaviour.
  explicit OptConstraint(int inMemory);
  // The coordinate system is handed over; the topology reference may be null.
  OptConstraint(const CaeString& name, int components, CaeCoordSys* coordSys, OptResponseType responseType,
                CaeTopoRef* topoRef);

  // Membership in the model's analysis result cases, through the function's own list (the
  // Add, Remove and First operations, which a drawing's constraint overrides).
  void AddToResultCase(AnlResltCase* resultCase);
  // Every live analysis result case of the owner model.
  void AddToAllResultCases();
  void RemoveFromResultCase(AnlResltCase* resultCase);
  // Unlists every live case the walk delivers (a walk that skips erased cases would never run
  // dry if it removed "the first" until none was left).
  void RemoveFromAllResultCases();
  int InResultCase(const AnlResltCase* resultCase);
  int InAnyResultCase();
  // Drops the cases that are no longer live analysis result cases of the owner model.
  void BuildResultCaseList();

  // The single limit of records older than version 200: an upper bound, lower unbounded.
  void SetOldSingleValue(double value) { SetBounds(-kUnbounded, value); }

  CaeTypeId GetInfo() const override { return Info; }
  CAE_DECLARE_TYPE_INFO;
};

// A design variable: a part parameter that the optimisation varies between bounds.
class OptVariable : public OptBounds, public virtual CaeActive, public virtual CaeName {
 public:
  OptVariable();
  explicit OptVariable(const CaeString& name);
  ~OptVariable() override;

  double InitialValue() const { return value_; }
  void InitialValue(double value) { value_ = value; }
  CaeUnitType UnitType() const { return unitType_; }
  void UnitType(CaeUnitType type) { unitType_ = type; }
  // The engine's text for the unit type: its unit's short name in the current unit-string table.
  virtual CaeString UnitText() const;
  // Sets the value; a drawing's variable also writes it to the part. Answers nonzero on success.
  virtual int ApplyValue(double value);
  // Reserved query; the engine's answer is 0.
  virtual int Reserved() const { return 0; }

 private:
  double value_ = 0.0;
  CaeUnitType unitType_{};
};

// A snapshot of design variables; it does not own them. The caller deletes the set.
class OptVariableSet {
 public:
  // The set's name, shown on the folder that lists the variables.
  const CaeString& Name() const { return name_; }
  void SetName(const CaeString& name) { name_ = name; }
  void Add(OptVariable* variable) { variables_.push_back(variable); }
  int Count() const { return static_cast<int>(variables_.size()); }
  // The first variable (null when empty), then each following one, then null.
  OptVariable* FirstVariable();
  OptVariable* NextVariable();

 private:
  CaeString name_{"Design Variables"};
  std::vector<OptVariable*> variables_;
  std::size_t cursor_ = 0;
};

// One recorded quantity of an optimisation run, by design cycle (cycle 0 is the initial design).
class OptResultData : public virtual CaeName {
 public:
  CaeString responseText;
  CaeString unitText;
  CaeString anlRCName;
  double lower = -OptBounds::kUnbounded;
  double upper = OptBounds::kUnbounded;
  int Id() const { return id_; }
  void SetId(int id) { id_ = id; }
  // The value at a cycle; 0.0 for a cycle that was not recorded.
  double Value(int cycle) const;
  void SetValue(int cycle, double value);
  int NumValues() const { return values_.Count(); }
  // The sensitivity d(record)/d(variable) at a cycle (variable 0-based, in the design's order);
  // 0.0 where none was recorded.
  double Sensitivity(int cycle, int variable) const;
  void SetSensitivity(int cycle, int variable, double value);
  // Whether the cycle has sensitivities.
  bool HasSensitivity(int cycle) const;

 private:
  int id_ = 0;
  CaeArray<double> values_;
  std::vector<std::vector<double>> sensitivities_;  // [cycle][variable]
};

// The results of one optimisation run.
class OptResultCase : public virtual CaeActive, public virtual CaeName {
 public:
  OptResultCase();
  explicit OptResultCase(const CaeString& name);
  ~OptResultCase() override;

  // Run status. ExitCode is 0 while the run has not ended.
  int Initialized() const { return initialized_; }
  void SetInitialized(int value) { initialized_ = value; }
  int HasHistory() const { return hasHistory_; }
  void SetHasHistory(int value) { hasHistory_ = value; }
  int HasSensitivity() const { return hasSensitivity_; }
  void SetHasSensitivity(int value) { hasSensitivity_ = value; }
  int ExitCode() const { return exitCode_; }
  void SetExitCode(int code) { exitCode_ = code; }
  const CaeString& ExitMessage() const { return exitMessage_; }
  void SetExitMessage(const CaeString& text) { exitMessage_ = text; }
  const CaeString& FileName() const { return fileName_; }
  void SetFileName(const CaeString& file) { fileName_ = file; }
  const CaeString& AnlJobName() const { return anlJobName_; }
  void AnlJobName(const CaeString& name) { anlJobName_ = name; }
  int NumCycles() const { return numCycles_; }
  virtual void NumCycles(int cycles) { numCycles_ = cycles; }
  double ObjectiveScale() const { return objectiveScale_; }
  void SetObjectiveScale(double scale) { objectiveScale_ = scale; }
  // Set after a pending run was read back.
  int PendingRead() const { return pendingRead_; }
  void SetPendingRead(int value) { pendingRead_ = value; }

  // Sets up the result records from the owner model: the objective, the maximum constraint, one
  // record per live design variable and one per (live constraint, analysis result case it is
  // evaluated on), each named, with a response text and a case name, as a drawing files them.
  // The run has not been read yet: initialised stays 0.
  void Prepare();
  // Processing a finished run needs the solver's results; it reports "not available yet" and
  // answers 0.
  int ProcessResults();
  // Reads the run's history file (see fea/OptRun.h) into the prepared records: values and
  // sensitivities of every cycle; then the case is initialised. A missing or damaged file, or one
  // whose counts differ from the records, is reported with its file and line, answers 0 and
  // leaves the case uninitialised. Without a file: FileName().
  int InitializeData(const CaeString& file);
  int InitializeData();
  // Writes the records' cycles as a history file (atomically); answers 0 when it cannot.
  int SaveData(const CaeString& file);
  int SaveData();

  virtual ::AnlModel* ResultAnlModel() { return resultModel_; }
  virtual void SetResultAnlModel(::AnlModel* model) { resultModel_ = model; }
  virtual ::AnlModel* SecondAnlModel() { return secondModel_; }
  virtual void SetSecondAnlModel(::AnlModel* model) { secondModel_ = model; }
  virtual ::OptModel* Owner() { return owner_; }
  virtual void SetOwner(::OptModel* model) { owner_ = model; }

  // Record factories; the case owns the records. ClearRecords drops every record.
  void ClearRecords();
  OptResultData* NewObjective();
  OptResultData* NewMaxConstraint();
  OptResultData* NewResVariable();
  OptResultData* NewResConstraint();
  // Record access; null when there is no such record.
  OptResultData* Objective() const { return objective_.get(); }
  double Objective(int cycle) const;
  OptResultData* MaxConstraintRecord() const { return maxConstraint_.get(); }
  double MaxConstraint(int cycle) const;
  int NumResultVariable() const { return static_cast<int>(variables_.size()); }
  OptResultData* ResultVariable(int index) const;
  int NumResultConstraint() const { return static_cast<int>(constraints_.size()); }
  OptResultData* ResultConstraint(int index) const;

  // History graphs over the recorded design cycles (x: the cycle, from 0), each a new graph
  // owned by the caller, or null when there is nothing to draw. Scaling methods: 0 true values,
  // 1 within the bounds (0 at the lower, 1 at the upper bound; for constraints the feasibility,
  // value over its bound), 2 relative to the last recorded value (the optimum), 3 relative to
  // `value`. A method that cannot apply (a zero divisor, an unbounded side) gives true values.
  // `positions` selects records by position; null or empty means all of them.
  CaeGraph* ObjectiveHistory(int method, double value) const;
  CaeGraph* VariableHistory(const CaeArray<int>* positions, int method, double value) const;
  CaeGraph* ConstraintHistory(const CaeArray<int>* positions, int method) const;
  CaeGraph* MaxConstraintHistory() const;
  // Sensitivities (d response / d variable) and local trends (the elasticity (dr/dx) x / r) over
  // the cycles that recorded them, one series per (response, variable): objective and constraint
  // graphs take variables by position, a variable's graph constraints by position. Method 1 shows
  // sensitivities times the variable's range; trends are shown as they are. Null without any.
  CaeGraph* ObjectiveSensitivityGraph(const CaeArray<int>* positions, int method, double value) const;
  CaeGraph* ConstraintSensitivityGraph(int constraint, const CaeArray<int>* positions, int method) const;
  CaeGraph* VariableSensitivityGraph(int variable, const CaeArray<int>* positions, int method) const;
  CaeGraph* ObjectiveLocalTrendGraph(const CaeArray<int>* positions, int method, double value) const;
  CaeGraph* ConstraintLocalTrendGraph(int constraint, const CaeArray<int>* positions, int method) const;
  CaeGraph* VariableLocalTrendGraph(int variable, const CaeArray<int>* positions, int method) const;

 private:
  int initialized_ = 0;
  int hasHistory_ = 0;
  int hasSensitivity_ = 0;
  int exitCode_ = 0;
  int numCycles_ = 0;
  int pendingRead_ = 0;
  double objectiveScale_ = 1.0;
  CaeString exitMessage_;
  CaeString fileName_;
  CaeString anlJobName_;
  ::AnlModel* resultModel_ = nullptr;
  ::AnlModel* secondModel_ = nullptr;
  ::OptModel* owner_ = nullptr;
  std::unique_ptr<OptResultData> objective_;
  std::unique_ptr<OptResultData> maxConstraint_;
  std::vector<std::unique_ptr<OptResultData>> variables_;
  std::vector<std::unique_ptr<OptResultData>> constraints_;
};

// The root of one optimisation study.
class OptModel : public virtual CaeActive, public virtual CaeName {
 public:
  // Kind 0 (shape), empty name, default parameters, not current.
  OptModel();
  explicit OptModel(const CaeString& name);
  ~OptModel() override;
  OptModel(const OptModel&) = delete;
  OptModel& operator=(const OptModel&) = delete;

  CaeOptType Type() const { return type_; }
  void Type(CaeOptType type) { type_ = type; }
  OptParameters Parameters() const { return parameters_; }
  void Parameters(const OptParameters& parameters) { parameters_ = parameters; }

  void MakeCurrent() { MarkAsCurrent(); }
  void MakeUncurrent() { MarkAsNotCurrent(); }

  // --- virtual operations, in the engine's order -----------------------------------------
  virtual ::AnlModel* AnlModel();
  virtual void SetAnlModel(::AnlModel* model);
  virtual OptObjective* Objective();
  // Links an objective (not owned; null clears) and makes the model its owner.
  virtual void SetObjective(OptObjective* objective);
  virtual void AddConstraint(OptConstraint* constraint);
  // Marks the constraint erased; it stays listed.
  virtual void RemoveConstraint(OptConstraint* constraint);
  // Listed constraints not marked erased (likewise NumAnlResultCases).
  virtual int NumConstraints();
  virtual OptConstraint* FirstConstraint(int activeOnly);
  // The Move operations put `moved` at the list position `place` has before the move (so an
  // item moved from before `place` ends up just after it); 0 when either is not listed. A walk
  // in progress ends.
  virtual int MoveConstraint(OptConstraint* moved, OptConstraint* place);
  virtual void AddAnlResultCase(AnlResltCase* resultCase);
  virtual void RemoveAnlResultCase(AnlResltCase* resultCase);
  virtual int NumAnlResultCases();
  virtual AnlResltCase* FirstAnlResultCase(int activeOnly);
  virtual int MoveAnlResultCase(AnlResltCase* moved, AnlResltCase* place);
  // A new result case owned by the model, listed and prepared.
  virtual OptResultCase* NewOptResultCase(const CaeString& jobName, const CaeString& name);
  virtual void AddOptResultCase(OptResultCase* resultCase);
  virtual void RemoveOptResultCase(OptResultCase* resultCase);
  // Listed result cases, erased ones included.
  virtual int NumOptResultCases();
  virtual OptResultCase* FirstOptResultCase(int activeOnly);
  virtual int MoveOptResultCase(OptResultCase* moved, OptResultCase* place);
  virtual OptResultCase* FindOptResultCase(const CaeString& name);
  virtual OptResultCase* CurrentOptResultCase();
  virtual void SetCurrentOptResultCase(OptResultCase* resultCase);
  virtual void AddJob(AnlJob* job);
  virtual void RemoveJob(AnlJob* job);
  // Listed jobs, erased ones included.
  virtual int NumJobs();
  virtual AnlJob* FindJob(const CaeString& deckName);
  // The job at a 0-based list position; null when erased. Out of range: consistency check.
  virtual AnlJob* Job(int index);

  // Continue the walks started by the First operations (same activeOnly choice).
  OptConstraint* NextConstraint();
  AnlResltCase* NextAnlResultCase();
  OptResultCase* NextOptResultCase();

  // The design variables of the current analysis control (empty without one); caller deletes.
  OptVariableSet* Variables();
  // Checks that the model can run: a linked simulation model without shells, an objective, and
  // for shape optimisation design variables. Appends a heading, then one message per finding;
  // `codes` (when given) gets each message's code at the same index. Nonzero when it can run.
  int CheckModel(CaeArray<CaeString>& messages, CaeArray<std::uint32_t>* codes = nullptr);
  // A new deck writer (the caller deletes it) over the linked simulation model: the deck of the
  // run's starting design. CreateDeck gives a job without files a fresh folder under the scratch
  // folder and the name "<model>Job<n>".
  AnlWriter* DeckWriter(int analysisCode);
  // Hands the writer the model's live analysis result cases and the outputs responses read.
  void SetWriterOptions(AnlWriter* writer);

 protected:
  CaeCursorList<OptConstraint> constraints_;
  CaeCursorList<AnlResltCase> anlResultCases_;
  CaeCursorList<OptResultCase> optResultCases_;
  CaeList<AnlJob> jobs_;

 private:
  CaeOptType type_ = CaeOptShape;
  OptParameters parameters_;
  ::AnlModel* anlModel_ = nullptr;
  OptObjective* objective_ = nullptr;
  OptResultCase* currentResultCase_ = nullptr;
  bool constraintsActiveOnly_ = false;
  bool anlCasesActiveOnly_ = false;
  bool optCasesActiveOnly_ = false;
  std::vector<std::unique_ptr<OptResultCase>> ownedResultCases_;
};
