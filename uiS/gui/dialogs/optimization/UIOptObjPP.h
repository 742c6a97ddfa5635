// The objective sheet's pages: "Objective" (shape: minimise or maximise which response for which
// mode; Concept: the target volume, a percentage of the part's volume or a volume) and "Input",
// the result set a frequency or load-factor response is read from, added to the sheet only while
// such a response is chosen.
#pragma once

#include "mfc/afx.h"
#include "mfc/propsheet.h"
#include "res/ResourceIds.h"

class OptFunction;
class COptObjResCasePP;

class COptObjPP : public CPropertyPage {
 public:
  // The choice of the radio pair: shape minimise/maximise, Concept percentage/volume.
  enum Choice : int { kConverting = -1, kFirst = 0, kSecond = 1 };
  static constexpr double kMinPercent = 1.0;
  static constexpr double kMaxPercent = 100.0;
  static constexpr int kMinMode = 1;
  static constexpr int kMaxMode = 100000;

  explicit COptObjPP(UINT templateId);

  // The response type of the chosen list position.
  int ChosenResponseType() const;
  // Frequency and load factor are read from a result set.
  static bool NeedsResultSet(int responseType);

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  void OnOK() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

  UINT m_nTemplateId;
  COptObjResCasePP* m_pResultSetPage = nullptr;
  OptFunction* m_pObjective = nullptr;
  BOOL m_bWizard = FALSE;
  int m_nResultSetPageState = -1;  // -1 never decided, 1 added to the sheet, 0 removed
  BOOL m_bMissingResultSet = FALSE;
  BOOL m_bConcept = FALSE;
  int m_nRadio = kFirst;
  int m_nModeNumber = 1;
  int m_nResponse = -1;
  double m_dTarget = 1.0;

 protected:
  void OnSelectResponse();
  void OnFirstChoice() { OnChoice(kFirst); }
  void OnSecondChoice() { OnChoice(kSecond); }
  DECLARE_MESSAGE_MAP()

 private:
  void OnChoice(int choice);
  // Converts the target between percentage and volume while the radio says kConverting; shows
  // the unit of the choice.
  void UpdateTarget();
};

class COptObjResCasePP : public CPropertyPage {
 public:
  COptObjResCasePP();

  // Lists the model's result sets that give the objective page's response; selects the
  // objective's own (by its exact name) or the last.
  void FillResultSets();

  BOOL OnSetActive() override;
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

  COptObjPP* m_pObjectivePage = nullptr;
  CString m_strResultSet;

 protected:
  void OnDefine();
  DECLARE_MESSAGE_MAP()
};
