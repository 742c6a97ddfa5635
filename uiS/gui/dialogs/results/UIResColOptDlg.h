// "Contour Range": the value range, the number of increments, the colour scale and the factor of
// safety of the colour display, in host units of the result's unit type.
#pragma once
#include "amg/CaeUnit.h"
#include "fea/FerSettings.h"
#include "mfc/afx.h"
#include "mfc/dialog.h"

class FerResult;

class CResColOptDlg : public CDialog {
 public:
  enum RangeType { kFullRange = 0, kMinMax = 1, kMaxIncrement = 2, kMinIncrement = 3 };
  enum SafetyKind { kMaterialBased = 0, kUserDefined = 1 };
  static constexpr int kMinIncrements = 2, kMaxIncrements = 150;

  CResColOptDlg();
  void SetColorSetting(const FerColorSetting& setting) { m_setting = setting; }
  // The members from the dialog's setting and the displayed result (unchanged without one).
  void LoadSettings();
  // Fails the exchange (focus in the minimum) when the minimum is above the maximum.
  void CheckRange(CDataExchange* dx, double minimum, double maximum);

  BOOL OnInitDialog() override;

  FerColorSetting m_setting;
  int m_nRangeType = kFullRange;
  int m_nColorStyle = 0;
  double m_dIncrement = 0.0;
  double m_dMaximum = 0.0;
  double m_dMinimum = 0.0;
  int m_nIncrements = 9;
  CaeUnitType m_nUnitType = CaeUtNone;
  int m_bSafety = 0;
  double m_dAllowable = 0.0;
  int m_nSafetyKind = kUserDefined;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void OnCancel() override;
  void OnRangeType();
  void OnSafety();
  void OnHelp();
  DECLARE_MESSAGE_MAP()

 private:
  // The displayed result of the setting's quantity, or null.
  const FerResult* Result() const;
  void ShowDataRange();
  void EnableRangeControls();
  void EnableSafetyControls();
};
