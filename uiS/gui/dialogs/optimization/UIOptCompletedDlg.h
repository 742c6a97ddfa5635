// How an optimisation run ended and what becomes of its results (the completed dialog), and the
// choice of the design cycle the part is set to (Update Model). Both only show values and hand
// back the user's choices; the results commands act on them.
#pragma once
#include "mfc/afx.h"

class OptResultCase;

class COptCompletedDlg : public CDialog {
 public:
  enum Action : int { kKeep = 0, kDiscard = 1, kUpdateAndDiscard = 2 };

  COptCompletedDlg(UINT templateId, CWnd* parent = nullptr);

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  void OnOK() override;

  OptResultCase* m_pResultCase = nullptr;
  int m_nChoice = 0;  // non-zero: the user may choose an action
  UINT m_nTemplate;
  int m_nAction = kKeep;

 protected:
  void OnHelp();
  // Presets the action and enables the radios by the exit code; whether the values are usable.
  bool PresetByExitCode(int exitCode);
  void ShowShapeValues(int cycle, bool usable);
  void ShowConceptValues(int cycle);
  void ShowMessage(int cycles, int exitCode);
  bool Offers(int action);
  DECLARE_MESSAGE_MAP()
};

class CUpdateModelDlg : public CDialog {
 public:
  explicit CUpdateModelDlg(CWnd* parent = nullptr);

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  void OnOK() override;

  int m_nCycle = -1;  // 0 the initial design, n the n-th design cycle; -1 none
  OptResultCase* m_pResultCase = nullptr;
  int m_nUpdateMesh = 0;

 protected:
  void OnSelectCycle();
  void OnHelp();
  DECLARE_MESSAGE_MAP()
};

// The value texts both dialogs show for a design cycle: objective, maximum constraint (per cent)
// and one line per design variable.
CString UIOptObjectiveText(const OptResultCase& resultCase, int cycle);
CString UIOptMaxConstraintText(const OptResultCase& resultCase, int cycle);
CString UIOptVariableLine(const OptResultCase& resultCase, int variable, int cycle);
