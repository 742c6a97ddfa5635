// The "Symbol Display" page of the results sheet: results drawn as symbols (arrows for vectors,
// marks for scalars) at nodes, element centroids or faces, which result and component, averaged
// or not, in which coordinate system; "Ad&vanced..." opens the options.
#pragma once
#include "gui/dialogs/results/UIResPageSupport.h"
#include "gui/dialogs/results/UIResSymOptDlg.h"
#include "mfc/propsheet.h"

class CResSymDlg : public CPropertyPage {
 public:
  CResSymDlg();

  void LoadSettings();
  void StoreControls(FerSymbolSetting& setting);
  FerResult* GetSelectedResult();
  void Apply();
  void ApplyIfModified() {
    if (m_hWnd) Apply();
  }
  void OnAdvanced();

  BOOL OnInitDialog() override;
  BOOL OnApply() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

  CResSymOptDlg m_optionsDlg;
  int m_nInitialized = 0;
  int m_bOptionsConfirmed = 0;

 protected:
  void OnDatasetChange();
  void OnTypeChange();
  DECLARE_MESSAGE_MAP()

 private:
  void ShowLocation(const FerSymbolSetting& setting);
};
