// The pages of the optimisation graph sheet: "History" (template 287) and the sensitivity and
// local-trend pages (291, 853). The user chooses what to plot and how to scale it; Graph and
// Report... end the sheet with their flag set and the command draws or writes the graph.
#pragma once
#include <vector>

#include "amg/CaeString.h"
#include "mfc/afx.h"
#include "mfc/propsheet.h"

class OptModel;
class OptResultCase;

// The sheet: which graph page was shown last (0 history, 1 sensitivity, 2 local trend).
class COptGraphSheet;

// What both pages share: the flags, the report file, the scaling group and its edit.
class COptGraphPageBase : public CPropertyPage {
 public:
  explicit COptGraphPageBase(UINT templateId) : CPropertyPage(templateId) {}
  int m_bGraph = 0;
  int m_bReport = 0;
  int m_bVisited = 0;
  CaeString m_reportName;
  OptModel* m_pModel = nullptr;
  OptResultCase* m_pResultCase = nullptr;  // the model's current one when not given
  double m_dNormalization = 1.0;
  int m_nScaling = 0;
  int* m_pShownPage = nullptr;  // the sheet's "page last shown"

 protected:
  OptResultCase* ResultCase() const;
  void ExchangeScaling(CDataExchange* dx);
  void EnableNormalization();
  void EnableControl(int id, bool on);
  void OnGraph();
  void OnReport();
  BOOL LeaveIfComplete();
  virtual int UpdateGraphButtons() = 0;
  virtual void SaveState() = 0;
  virtual int PageKind() const = 0;
  BOOL OnSetActive() override;
  BOOL OnKillActive() override { return LeaveIfComplete(); }
};

class COptHistPP : public COptGraphPageBase {
 public:
  COptHistPP();
  std::vector<int> m_marks;
  int m_nGraphData = 2;
  CCheckListBox m_list;

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  void FillGraphList(int data);
  int UpdateGraphButtons() override;
  void UpdateScaling();
  void SaveState() override;

 protected:
  int PageKind() const override { return 0; }
  void OnObjective() { FillGraphList(0); }
  void OnVariables() { FillGraphList(1); }
  void OnConstraints() { FillGraphList(2); }
  void OnMaxConstraint() { FillGraphList(3); }
  void OnListChange() { UpdateGraphButtons(); }
  void OnScaling() { EnableNormalization(); }
  DECLARE_MESSAGE_MAP()
};

class COptSensPP : public COptGraphPageBase {
 public:
  explicit COptSensPP(UINT templateId);
  COptSensPP();
  std::vector<int> m_variableMarks;
  std::vector<int> m_constraintMarks;
  int m_bLocalTrend = 0;
  CCheckListBox m_variables;
  CCheckListBox m_constraints;
  UINT m_nTemplate;
  int m_nGraphOf = 0;
  int m_nConstraint = 0;
  int m_nVariable = 0;

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  void SetGraphOf(int graphOf);
  int UpdateGraphButtons() override;
  void UpdateScaling(int graphOf);
  void SaveState() override;

 protected:
  int PageKind() const override { return m_bLocalTrend ? 2 : 1; }
  void OnObjective() { SetGraphOf(0); }
  void OnSingle() { SetGraphOf(1); }
  void OnSeveral() { SetGraphOf(2); }
  void OnChoiceChange() { UpdateGraphButtons(); }
  void OnScaling() { EnableNormalization(); }
  DECLARE_MESSAGE_MAP()
};
