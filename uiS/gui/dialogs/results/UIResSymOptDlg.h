// "Symbol Options": the symbols' colour and size (a fixed size in the host length unit or a
// percentage of the model).
#pragma once
#include "fea/FerSettings.h"
#include "mfc/afx.h"
#include "mfc/dialog.h"

class CResSymOptDlg : public CDialog {
 public:
  enum SizeMode { kFixed = 0, kPercent = 1 };

  CResSymOptDlg();
  void SetSymbolSetting(const FerSymbolSetting& setting);
  // The members from the view's symbol setting.
  void LoadSettings();

  BOOL OnInitDialog() override;

  FerSymbolSetting m_setting;
  CString m_unitLabel;
  int m_nColor = -1;
  int m_nSizeMode = kPercent;
  double m_dValue = 5.0;
  double m_dFixedSize = 1.0;
  double m_dFactor = 1.0;
  double m_dPercent = 5.0;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void OnCancel() override;
  void OnFixed();
  void OnPercent();
  void OnValueChange();
  void OnHelp();
  DECLARE_MESSAGE_MAP()

 private:
  struct Values {
    int color;
    int mode;
    double value;
    double fixedSize;
    double percent;
  };
  Values Current() const { return {m_nColor, m_nSizeMode, m_dValue, m_dFixedSize, m_dPercent}; }
  void TakeValuesFrom(const FerSymbolSetting& setting);
  void ApplySizeRule(int mode);
  Values opening_{};
  bool exchanging_ = false;
};
