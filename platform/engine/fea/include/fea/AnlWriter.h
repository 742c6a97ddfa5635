// The deck writer's settings: which result cases go into a deck, which outputs are requested
// and how modes are extracted.
//
// Writing decks comes with the solver: until then Check reports why no deck can be written,
// and Write and CreateDeck report "not available yet" and answer 0. The writer refers to its
// result cases without owning them.
#pragma once

#include <vector>

#include "amg/CaeArray.h"
#include "amg/CaeFlags.h"
#include "amg/CaeString.h"

class AnlJob;
class AnlResltCase;

class AnlWriter {
 public:
  AnlWriter() = default;
  virtual ~AnlWriter() = default;

  void AddResltCase(AnlResltCase* resultCase) { resultCases_.push_back(resultCase); }
  int NumResltCases() const { return static_cast<int>(resultCases_.size()); }
  AnlResltCase* ResltCase(int index) const;
  void SetOutputRequests(const CaeFlags& requests) { outputRequests_ = requests; }
  const CaeFlags& OutputRequests() const { return outputRequests_; }
  void SetModeMethod(int method) { modeMethod_ = method; }
  int ModeMethod() const { return modeMethod_; }
  void SetNumModes(int count) { numModes_ = count; }
  int NumModes() const { return numModes_; }
  void SetLowMode(double value) { lowMode_ = value; }
  double LowMode() const { return lowMode_; }
  void SetHighMode(double value) { highMode_ = value; }
  double HighMode() const { return highMode_; }
  void SetTempConv(double value) { tempConv_ = value; }
  double TempConv() const { return tempConv_; }

  // Nonzero when a deck can be written; otherwise appends the reasons to `report`.
  virtual int Check(CaeArray<CaeString>& report);
  // 0: not written (see the message).
  virtual int Write(const CaeString& fileName, CaeString& message);
  virtual int CreateDeck(AnlJob* job, const CaeString& deckFile, CaeString& message, int flag);

 private:
  std::vector<AnlResltCase*> resultCases_;
  CaeFlags outputRequests_;
  int modeMethod_ = 0;
  int numModes_ = 0;
  double lowMode_ = 0.0;
  double highMode_ = 0.0;
  double tempConv_ = 0.0;
};
