// The design doctor's sheet: the parameters page, then the results page that runs the tests on a
// worker thread and lists each with a running, passed or failed icon.
//
// Threads: the window thread builds the ordered test list before it starts the worker and then
// only writes the cancel flag until the run has ended. The worker makes the engine's judgements;
// everything that touches a window or the drawing (loading the job's results, showing the set,
// the Explorer, the material write-back, a diagnosis display) is handed to the window thread
// with a sent message and waited for.
#pragma once
#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "amg/CaeString.h"
#include "gui/dialogs/units/UIGenericPS.h"
#include "gui/doctor/UIDocOptStress.h"
#include "gui/doctor/UIDocTests.h"
#include "gui/wizard/UIWizBasePP.h"
#include "mfc/afx.h"

class AnlJob;
class FerResultSet;
class CDocWizPS;

struct DocTestRow {
  int row = 0;
  CaeString name;
  int kind = 0;
  int status = kDocNotRun;
};

class CDocExecPP : public CWizBasePP {
 public:
  CDocExecPP();
  ~CDocExecPP() override;

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  BOOL OnQueryCancel() override;
  BOOL OnWizardFinish() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  void DoDataExchange(CDataExchange* dx) override;

  // The worker's body; also run on the window thread when runs are inline (tests).
  int RunTests();
  // Runs `call` on the window thread and waits for it; an exception it raised is raised again here.
  void OnWindow(const std::function<void()>& call);
  bool RunActive() const { return running_.load(); }
  // The list position selected after a run, -1 none.
  int SelectedRow() const { return selected_; }
  void OnDiagnosis();

  // Runs are made on the window thread (deterministic tests) instead of a worker.
  static void SetInlineRuns(bool inlineRuns);

 protected:
  void OnPaint();
  BOOL OnQueryNewPalette();
  void OnPaletteChanged(CWnd* changedBy);
  void OnTimer(UINT_PTR id);
  LRESULT OnWindowCall(WPARAM, LPARAM lParam);
  void OnListClick(NMHDR*, LRESULT* result);
  void OnListKey(NMHDR* header, LRESULT* result);
  DECLARE_MESSAGE_MAP()

 private:
  friend UINT UIDocTestThread(void* page);
  void StartProgress();
  void StopProgress();
  void ReadSelection();
  void UpdateDiagnosisButton();
  void SelectRow(int position);
  int SelectCompletedRow(int position) const;
  bool AnyTestNotCompleted() const;
  // A fault escaped the run: reported, the bar stops, the sheet ends.
  void EndAfterFault();
  void RunEnded();

  CProgressCtrl progress_;
  int closeResults_ = 0;
  std::unique_ptr<CImageList> images_;
  CDocWizPS* sheet_ = nullptr;
  std::atomic<int> cancel_{0};
  std::atomic<bool> running_{false};
  int selected_ = -1;
  int busyPosition_ = 0;
  UINT_PTR busyTimer_ = 0;
  std::thread::id windowThread_;
};

class CDocWizPS : public CGenericPS {
 public:
  CDocWizPS(const char* caption, CWnd* parent, UINT firstPage);
  ~CDocWizPS() override;

  void SetSubject(AnlJob* job, FerResultSet* resultSet, const CaeString& name);
  void SetFromWizard(int flag) { fromWizard_ = flag; }
  int FromWizard() const { return fromWizard_; }
  void NoteJobFailed() { jobFailed_ = 1; }
  int JobFailed() const { return jobFailed_; }
  AnlJob* Job() const { return job_; }
  FerResultSet* ResultSet() const { return resultSet_; }
  const CaeString& SubjectName() const { return name_; }
  void SetSubjectName(const CaeString& name) { name_ = name; }
  void SetResultSet(FerResultSet* set) { resultSet_ = set; }
  int AnalysisType() const { return type_; }
  int RememberedTest() const { return remembered_; }

  void BuildTestRows();
  void BuildTestList();
  std::vector<int>& TestList() { return list_; }
  int RunTest(int kind);
  int RowStatus(int kind) const;
  const DocTestRow& Row(int kind) const { return rows_[static_cast<size_t>(kind)]; }
  int ShowDiagnosis(int kind, int show);

  CDocOptStress& ParametersPage() { return parameters_; }
  CDocExecPP& ResultsPage() { return results_; }

 private:
  int RunExecution();
  // The job's results read into a new set; null when the reader made none (it said why).
  FerResultSet* LoadJobResults();
  void AdoptResultSet(FerResultSet* set);

  CDocOptStress parameters_;
  CDocExecPP results_;
  int type_ = 0;
  AnlJob* job_ = nullptr;
  FerResultSet* resultSet_ = nullptr;
  CaeString name_;
  std::vector<DocTestRow> rows_;
  std::vector<int> list_;
  int rowCounter_ = 0;
  int fromWizard_ = 0;
  int jobFailed_ = 0;
  int remembered_ = -1;
};

// The worker thread's procedure: the run under a guard against every fault but the engine's.
UINT UIDocTestThread(void* page);
