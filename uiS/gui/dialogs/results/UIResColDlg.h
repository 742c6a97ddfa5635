// The "Color Display" page of the results sheet: which result and component the contours show,
// averaged or error values, contours or colour by value, the shell surface and the coordinate
// system; "Ad&vanced..." opens the Contour Range dialog. For shape-optimisation results the page
// also switches between the run's result sets.
#pragma once
#include <vector>

#include "gui/dialogs/results/UIResColOptDlg.h"
#include "mfc/propsheet.h"

class AnlModel;
class FerResultSet;

class CResColDlg : public CPropertyPage {
 public:
  CResColDlg();

  // Fills the controls from the view; nothing before the page's window exists.
  void LoadSettings();
  // Writes the controls (and, once confirmed, the Contour Range values) into `setting`.
  void StoreControls(FerColorSetting& setting);
  // Stores the page's choices in the view (no redraw).
  void Apply();
  void ApplyIfModified() {
    if (m_hWnd) Apply();
  }
  // Optimisation mode: shows the set chosen in the result-set combo (with the default display).
  void ShowSelectedResultSet(int applyDefaults);

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  BOOL OnApply() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

  std::vector<FerResultSet*> m_resultSets;  // set by the optimisation results command
  AnlModel* m_pModel = nullptr;
  CResColOptDlg m_rangeDlg;
  int m_nInitialized = 0;
  int m_bRangeConfirmed = 0;

 protected:
  void OnDatasetChange();
  void OnTypeChange();
  void OnAverage();
  void OnError();
  void OnAdvanced();
  void OnResultSetChange();
  DECLARE_MESSAGE_MAP()

 private:
  FerResultSet* DisplayedSet() const;
  void UpdateAverageEnables(bool clear);
};
