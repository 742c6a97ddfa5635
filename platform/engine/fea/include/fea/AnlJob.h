// Analysis jobs: one run of the solver (or of a Concept optimisation) in a folder of its own.
//
// Create(baseName) derives the job's file names from a base path (without extension): the deck
// "<base>.inp", the solver's results "<base>.frd", its printed output "<base>.dat" (the analysis
// database) and its log "<base>.log" (the error file); the analysis folder is the base's folder.
// Running the solver comes with the solver itself: until then Run reports "not available yet",
// leaves the job failed and answers 0, so a job never claims results it does not have.
#pragma once

#include <ctime>
#include <vector>

#include "amg/CaeActive.h"
#include "amg/CaeString.h"
#include "amg/CaeUnit.h"
#include "fea/AnlTypes.h"

class AnlJob : public virtual CaeActive {
 public:
  AnlJob();
  ~AnlJob() override;

  AnlStatus GetStatus() const { return status_; }
  void SetStatus(AnlStatus status) { status_ = status; }
  int IsPending() const { return status_ == AnlStatusPending; }
  int Failed() const { return status_ == AnlStatusFailed; }
  int HaveResults() const { return status_ == AnlStatusDone; }
  // The job's code; the reason number of a failure (0 none).
  AnlCode AnalysisCode() const { return code_; }
  void SetAnalysisCode(AnlCode code) { code_ = code; }
  int GetErrMsgNum() const { return errorNumber_; }

  const CaeString& Name() const { return name_; }
  void SetName(const CaeString& name) { name_ = name; }
  const CaeString& BaseName() const { return baseName_; }
  const CaeString& DeckName() const { return deckName_; }
  const CaeString& AnalysisDB() const { return analysisDB_; }
  const CaeString& ResultsFile() const { return resultsFile_; }
  const CaeString& ErrorFile() const { return errorFile_; }
  const CaeString& AnlDir() const { return anlDir_; }
  // The deck's and database's paths can be changed (a converted job).
  void DeckName(const CaeString& path) { deckName_ = path; }
  void AnalysisDB(const CaeString& path) { analysisDB_ = path; }

  // The units the job's deck was written in.
  const CaeUnitSystem& UnitSystem() const { return units_; }
  void SetUnitSystem(const CaeUnitSystem& units) { units_ = units; }
  void SetTime(const std::tm& when) { time_ = when; }
  const std::tm& Time() const { return time_; }

  // Pairs of result-case names (first, second) of the cases the job solves.
  int NumRCNames() const { return static_cast<int>(rcNames_.size()); }
  // 0-based; false (texts unchanged) out of range.
  bool GetResltCaseNames(int index, CaeString& first, CaeString& second) const;
  void AddResltCaseNames(const CaeString& first, const CaeString& second);

  // A job value that drawings file and restore as it was.
  int JobValue() const { return jobValue_; }
  void SetJobValue(int value) { jobValue_ = value; }

  // Converting the solver's output needs the solver; reports "not available yet", sets the
  // message and answers nonzero (failure).
  int DoConvert(CaeString& message);

  // --- virtual operations, in the engine's order (after the destructor) ------------------
  virtual int Create(const CaeString& baseName);
  virtual CaeString AnlCommand();
  virtual CaeString ConvertCommand();
  virtual int AnlCheck();
  virtual int ConvertCheck();
  // Removes the job's files (deck, results, database, log); answers how many were removed.
  virtual int CleanUp();
  virtual int Run();
  // Refreshes the status from the job's files: a pending job whose results file exists is done.
  virtual void Check();
  virtual int ExternalEvaluator() { return 0; }

 private:
  AnlStatus status_ = AnlStatusNew;
  AnlCode code_ = AnlCodeSolve;
  int errorNumber_ = 0;
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
