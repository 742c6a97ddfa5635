// The "Scale Factor" dialog: one real number, the factor of a load set inside a result set.
#pragma once

#include "mfc/afx.h"
#include "res/ResourceIds.h"

class CScaleFactorDlg : public CDialog {
 public:
  static constexpr UINT kTemplateId = IDD_SCALE_FACTOR;
  static constexpr DWORD_PTR kHelpContext = 0x20000 + IDD_SCALE_FACTOR;

  explicit CScaleFactorDlg(CWnd* parent = nullptr);
  double m_value = 0.0;

  void DoDataExchange(CDataExchange* dx) override;

 protected:
  void OnHelp();
  DECLARE_MESSAGE_MAP()
};

// Runs the dialog modally without a parent starting from `value`: the edited value after OK,
// `value` itself after Cancel.
double UIGetScaleFactor(double value);
