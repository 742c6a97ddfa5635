// "Convert Simulation Model": a guide of another type than the current model's was asked for.
// Convert gives the current model the guide's type; New closes the current model and sets and
// starts the guide afresh; Cancel starts no guide.
#pragma once
#include "mfc/afx.h"
#include "res/ResourceIds.h"

class CConvertModelDlg : public CDialog {
 public:
  static constexpr UINT kTemplateId = IDD_CONVERT_MODEL;
  static constexpr DWORD_PTR kHelpContext = 0x20000 + IDD_CONVERT_MODEL;

  explicit CConvertModelDlg(CWnd* parent = nullptr);
  BOOL OnInitDialog() override;

  // Set by the caller before the dialog runs (0 stress .. 3 heat transfer).
  int currentType = 0;
  int targetType = 0;

 protected:
  void OnConvert();
  void OnNew();
  void OnHelp();
  DECLARE_MESSAGE_MAP()
};
