// The "Deformed Geometry" page of the results sheet: whether the deformed shape is shown, which
// result and component deform it, in which coordinate system; "Ad&vanced..." opens the options.
#pragma once
#include "gui/dialogs/results/UIResDGOptDlg.h"
#include "mfc/propsheet.h"

class CResDGDlg : public CPropertyPage {
 public:
  CResDGDlg();

  void LoadSettings();
  void StoreControls(FerDeformedSetting& setting);
  void Apply();
  void ApplyIfModified() {
    if (m_hWnd) Apply();
  }
  void OnAdvanced();

  BOOL OnInitDialog() override;
  BOOL OnApply() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

  CResDGOptDlg m_optionsDlg;
  int m_nInitialized = 0;
  int m_bOptionsConfirmed = 0;

 protected:
  void OnDatasetChange();
  DECLARE_MESSAGE_MAP()
};
