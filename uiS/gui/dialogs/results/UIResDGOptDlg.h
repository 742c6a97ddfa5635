// "Deformed Geometry Options": how the deflections are scaled (a factor or a percentage of the
// model size) and whether the undeformed geometry is superimposed, in which colour.
#pragma once
#include "fea/FerSettings.h"
#include "mfc/afx.h"
#include "mfc/dialog.h"

class CResDGOptDlg : public CDialog {
 public:
  enum ScaleMethod { kScaleFactor = 0, kPercentage = 1 };

  CResDGOptDlg();
  void SetDeformedSetting(const FerDeformedSetting& setting);
  // The members from the view's deformed setting. A view whose deformed quantity is 5 gives no
  // values: the members keep the setting's own (from SetDeformedSetting) and Loaded answers false.
  void LoadSettings();
  bool Loaded() const { return loaded_; }

  BOOL OnInitDialog() override;

  FerDeformedSetting m_setting;
  int m_bSuperimpose = 0;
  double m_dValue = 1.0;
  int m_nScaleMethod = kScaleFactor;
  int m_nColor = -1;
  double m_dFactor = 1.0;
  double m_dPercent = 10.0;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void OnCancel() override;
  void OnFactor();
  void OnPercent();
  void OnSuperimpose();
  void OnValueChange();
  void OnHelp();
  DECLARE_MESSAGE_MAP()

 private:
  struct Values {
    int superimpose;
    double value;
    int method;
    int color;
    double factor;
    double percent;
  };
  Values Current() const { return {m_bSuperimpose, m_dValue, m_nScaleMethod, m_nColor, m_dFactor, m_dPercent}; }
  void Restore(const Values& values);
  void ApplyScaleRule(int method);
  void ApplySuperimposeRule();
  void TakeValuesFrom(const FerDeformedSetting& setting);
  Values opening_{};
  bool loaded_ = false;
  bool exchanging_ = false;
};
