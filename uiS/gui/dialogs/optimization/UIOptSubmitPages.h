// The pages of the optimisation parameter sheets: "General" (result-set name, sensitivity only or
// optimisation, design cycles), the shape "Options" page (convergence criteria and constraint
// tolerances, fractions shown as percentages) and the Concept "Options" page (first-iteration
// change and convergence speed). Each page fills itself from an OptParameters record and writes
// its fields back into one.
#pragma once
#include "fea/OptModel.h"
#include "mfc/afx.h"
#include "mfc/propsheet.h"
#include "res/ResourceIds.h"

class CSubmitOptOverviewPP : public CPropertyPage {
 public:
  // Radio order of the optimisation type.
  enum Kind : int { kSensitivityOnly = 0, kOptimize = 1 };
  static constexpr int kMinCycles = 1;
  static constexpr int kMaxCycles = 50;

  explicit CSubmitOptOverviewPP(UINT templateId = IDD_SUBMIT_OPT_GENERAL);

  void FromParameters(const OptParameters& parameters);
  void ToParameters(OptParameters& parameters) const;

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;

  CString m_strResultName;
  int m_nKind = kOptimize;
  int m_nMaxCycles = 0;
};

class CSubmitConvergePP : public CPropertyPage {
 public:
  CSubmitConvergePP();

  // The fractions are shown x 100; the absolute change in objective as stored. ToParameters
  // takes the record the page was filled from: an unchanged percentage keeps its fraction.
  void FromParameters(const OptParameters& parameters);
  void ToParameters(OptParameters& parameters) const;

  void DoDataExchange(CDataExchange* dx) override;

  double m_dActive = 0.0;
  double m_dViolated = 0.0;
  double m_dRelObjective = 0.0;
  double m_dAbsObjective = 0.0;
  double m_dRelVariables = 0.0;
  double m_dMaxViolation = 0.0;
};

class CSubmitConvergeTopoPP : public CPropertyPage {
 public:
  // Radio order of the change mode; the record keeps 2 - index (relative 2, absolute 1, default 0).
  enum Change : int { kRelative = 0, kAbsolute = 1, kDefault = 2 };
  static constexpr int kSlowest = 5;

  CSubmitConvergeTopoPP();

  // The first change is shown x 100 when it is relative.
  void FromParameters(const OptParameters& parameters);
  void ToParameters(OptParameters& parameters) const;

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;

  int m_nChange = kDefault;
  double m_dFirstChange = 0.0;
  int m_nSpeed = 1;

 protected:
  void OnChange();
  DECLARE_MESSAGE_MAP()

 private:
  void EnableForChange(int change);
};
