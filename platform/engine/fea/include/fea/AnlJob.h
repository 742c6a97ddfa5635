// Analysis jobs: one run of the solver (or of a Concept optimisation) in a folder of its own.
//
// Create(baseName) derives the job's file names from a base path (without extension): the deck
// "<base>.inp", the solver's results "<base>.frd", its printed output "<base>.dat" (the analysis
// database) and its log "<base>.log" (the error file); the analysis folder is the base's folder.
//
// Run starts the solver (CalculiX's ccx; the configuration's "Solver Program" overrides the
// program) as a child process in the analysis folder, with its printed output and errors in the
// error file, and returns at once. The solver's threads are the configuration's "Solver Threads",
// else the machine's cores, for every phase but its equation solver, which runs on one thread (on
// several it gives wrong answers now and then). Poll looks at the child without waiting; the status
// queries only answer what the last poll found: a job is pending
// while the solver runs (or until its delayed start), done when the solver ended well and left a
// complete results file whose static solves pass their balance check, and failed otherwise
// (solver error, killed, cancelled through the engine's interrupt, no or a truncated results file,
// supports that do not balance the loads, a result that is not a number), with the reason at the end of its error
// file and in GetErrMsgNum. A job never claims results it does not have. Destroying a job whose
// solver still runs stops the solver.
#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "amg/CaeActive.h"
#include "amg/CaeString.h"
#include "amg/CaeUnit.h"
#include "fea/AnlTypes.h"
#include "kestrum/result.h"

class AnlJob : public virtual CaeActive {
 public:
  AnlJob();
  ~AnlJob() override;

  // Reasons of a failure (GetErrMsgNum).
  enum : int {
    kErrNone = 0,
    kErrCancelled = -2,  // stopped through the interrupt
    kErrNotStarted = 1,  // the solver could not be started
    kErrSolver = 2,      // the solver reported an error or was killed
    kErrNoResults = 3,   // the solver ended without a complete results file
    kErrUnbalanced = 4,  // a static solve's results fail their balance check (see Balance.h)
  };
  // The status as last polled (SetStatus overrides it, as a drawing does when it restores a job).
  AnlStatus GetStatus() const { return status_; }
  void SetStatus(AnlStatus status) { ChangeStatus(status); }
  // The status as last polled; they only answer.
  int IsPending() const;
  int Failed() const;
  int HaveResults() const;
  // Looks at the solver without waiting: starts a delayed job whose time has come, stops a
  // cancelled one (through the engine's interrupt), and when the solver has ended records how,
  // writing the reason of a failure to the error file.
  void Poll();
  // The job's code; the reason number of a failure (kErr*).
  AnlCode AnalysisCode() const { return code_; }
  void SetAnalysisCode(AnlCode code) {
    AboutToChange();
    code_ = code;
  }
  int GetErrMsgNum() const { return errorNumber_; }
  // Why the job failed, in words: the reason recorded when this process saw it fail, else the last
  // reason line of its error file (a job restored from a drawing); empty when there is none.
  CaeString FailureReason() const;

  // Execution modes: write the deck only (Run then leaves the job new, without starting the
  // solver), or start at a given local time (Run then leaves the job pending until a status query
  // at or after that time starts the solver).
  void SetWriteDeckOnly(int flag) { deckOnly_ = flag != 0; }
  int WriteDeckOnly() const { return deckOnly_ ? 1 : 0; }
  void SetDelayedStart(const std::tm& when);
  // The solver's threads for this job; 0 (the default) takes the configuration's.
  void SetThreads(int threads) { threads_ = threads > 0 ? threads : 0; }
  int Threads() const { return threads_; }
  // Waits for the solver to end (polling it and the interrupt); answers HaveResults(). For callers that
  // have nothing else to do, such as a study run from the command line.
  int Wait();

  const CaeString& Name() const { return name_; }
  void SetName(const CaeString& name) {
    AboutToChange();
    name_ = name;
  }
  const CaeString& BaseName() const { return baseName_; }
  const CaeString& DeckName() const { return deckName_; }
  const CaeString& AnalysisDB() const { return analysisDB_; }
  const CaeString& ResultsFile() const { return resultsFile_; }
  const CaeString& ErrorFile() const { return errorFile_; }
  const CaeString& AnlDir() const { return anlDir_; }
  // The deck's and database's paths can be changed (a converted job).
  void DeckName(const CaeString& path) {
    AboutToChange();
    deckName_ = path;
  }
  void AnalysisDB(const CaeString& path) {
    AboutToChange();
    analysisDB_ = path;
  }

  // The units the job's deck was written in.
  const CaeUnitSystem& UnitSystem() const { return units_; }
  void SetUnitSystem(const CaeUnitSystem& units) {
    AboutToChange();
    units_ = units;
  }
  void SetTime(const std::tm& when) { time_ = when; }
  const std::tm& Time() const { return time_; }

  // Pairs of result-case names (first, second) of the cases the job solves.
  int NumRCNames() const { return static_cast<int>(rcNames_.size()); }
  // 0-based; false (texts unchanged) out of range.
  bool GetResltCaseNames(int index, CaeString& first, CaeString& second) const;
  void AddResltCaseNames(const CaeString& first, const CaeString& second);
  // Drops every pair (a drawing restoring the job's pairs replaces them).
  void ClearResltCaseNames() {
    AboutToChange();
    rcNames_.clear();
  }

  // A job value that drawings file and restore as it was.
  int JobValue() const { return jobValue_; }
  void SetJobValue(int value) {
    AboutToChange();
    jobValue_ = value;
  }

  // Converts results computed elsewhere: AnalysisDB names a solver results file (".frd") and
  // DeckName the input deck it was computed from. The deck's analysis step gives the type, its
  // node and element ids must be the file's; the file is then copied to the job's ResultsFile and
  // the job's units become SI. Answers 0 on success; else nonzero with the reason in `message`
  // (nothing is copied).
  int DoConvert(CaeString& message);
  // The analysis type the last successful conversion found (an AnlType); -1 before one.
  int ConvertedType() const { return convertedType_; }

  // --- virtual operations, in the engine's order (after the destructor) ------------------
  // Called before anything a drawing files of the job changes (status, code, names, units, job
  // value, result-case names), by the setters and by the solver's progress alike: a job kept
  // elsewhere (a drawing's) makes itself ready to record the change.
  virtual void AboutToChange() {}
  virtual int Create(const CaeString& baseName);
  virtual CaeString AnlCommand();
  virtual CaeString ConvertCommand();
  virtual int AnlCheck();
  virtual int ConvertCheck();
  // Stops a running solver and removes the job's files (deck, results, database, log, and the
  // solver's side files); answers how many of the first four were removed.
  virtual int CleanUp();
  virtual int Run();
  // Refreshes the status: polls a running solver, starts a delayed one whose time has come, and
  // for a job with no solver of this process (a restored drawing) takes a complete results file
  // as done.
  virtual void Check();
  virtual int ExternalEvaluator() { return 0; }

 private:
  void ChangeStatus(AnlStatus status);
  int Start();
  void Finish(int waitStatus);
  void FailWith(int number, const std::string& reason);
  bool ResultsComplete() const;
  kestrum::Status CheckResults() const;
  void StopSolver();

  AnlStatus status_ = AnlStatusNew;
  int errorNumber_ = 0;
  std::string reason_;
  long pid_ = 0;
  bool deckOnly_ = false;
  int threads_ = 0;
  bool delayed_ = false;
  std::time_t startAt_ = 0;
  AnlCode code_ = AnlCodeSolve;
  int convertedType_ = -1;
  int jobValue_ = 0;
  CaeString name_;
  CaeString baseName_;
  CaeString deckName_;
  CaeString analysisDB_;
  CaeString resultsFile_;
  CaeString errorFile_;
  CaeString anlDir_;
  CaeUnitSystem units_;
  std::tm time_{};
  std::vector<std::pair<CaeString, CaeString>> rcNames_;
};

// A solver job (one analysis of a model). The constructor's argument is the engine's creation
// flag, 1 for every caller; it changes nothing.
class AnlDrvJob : public AnlJob {
 public:
  explicit AnlDrvJob(int = 1) {}
};

// A Concept optimisation job, sized by its node count; it carries three texts of its own.
class AnlConstrJob : public AnlJob {
 public:
  explicit AnlConstrJob(int nodeCount = 0);
  int NodeCount() const { return nodeCount_; }
  // The three texts (0 to 2) that drawings file and restore; an index out of range is ignored.
  const CaeString& Text(int index) const;
  void SetText(int index, const CaeString& text);

 private:
  int nodeCount_;
  CaeString texts_[3];
};
