// The "Modes" page of vibration and buckling sheets: how many modes (or load factors) to
// extract and from which range.
#pragma once
#include "mfc/afx.h"
#include "mfc/propsheet.h"
#include "res/ResourceIds.h"

class CSubmitModesPP : public CPropertyPage {
 public:
  // The page's extraction choices (radio order).
  enum Choice : int { kLowest = 0, kAllInRange = 1, kAbove = 2, kLowestInRange = 3 };

  CSubmitModesPP();

  // Stores the type; choice "'n' Lowest Modes" and 3 modes for vibration, 2 otherwise.
  void SetAnalysisType(int type);
  // The deck writer's extraction method of a choice (AnlWriter::kModes*).
  static int MethodOf(int choice);

  BOOL OnInitDialog() override;
  BOOL OnKillActive() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  void DoDataExchange(CDataExchange* dx) override;

  int m_nAnalysisType = 0;
  double m_dLower = 0.0;
  double m_dUpper = 0.0;
  int m_nNumModes = 0;
  int m_nMethod = -1;

 protected:
  void OnChoice();
  DECLARE_MESSAGE_MAP()

 private:
  void EnableForChoice(int choice);
  int CheckedChoice() const;
};
