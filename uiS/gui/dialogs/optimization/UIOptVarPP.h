// The "Design Variable" page: which global parameter of the part a design variable is, whether it
// measures a length or an angle, its bounds (with spin buttons), its initial value (the
// parameter's, read-only) and the unit its bounds are written in, with a conversion of the bounds
// when the drawing's units changed since. And the wizards' "More ...?" page.
#pragma once

#include <vector>

#include "amg/CaeString.h"
#include "mfc/afx.h"
#include "mfc/propsheet.h"
#include "res/ResourceIds.h"

// The part's independent global parameters that no design variable of the drawing bears (names
// compared byte for byte), in the CAD's order; `all` gets how many globals there are.
std::vector<CaeString> UIOptFreeGlobalParameters(int* all = nullptr);
// The spin step of a value: its rounding to two digits gives d decimals; the step is
// 10^(1 - d - k), k being 1 below 1.0. `value` becomes the rounded value.
double UIOptVariableSpinStep(double& value);
// Bounds a variable may have: lower < upper and the initial value between them.
bool UIOptBoundsInOrder(double lower, double initial, double upper);

class COptVarPP : public CPropertyPage {
 public:
  enum Measure : int { kLength = 0, kAngle = 1 };
  static constexpr int kNoApply = -1;
  static constexpr int kApplyPressed = 1;
  static constexpr int kApplyEnable = 2;

  explicit COptVarPP(UINT templateId = IDD_OPT_VARIABLE);

  void SetMode(int unitType) { m_nMeasure = unitType == 1 ? kAngle : kLength; }
  int GetMode() const { return m_nMeasure == kAngle ? 1 : 0; }
  // The initial value and bounds of a parameter of that name; the fields show them.
  void SetFromParameter(const CString& name);
  // Converts the bounds from the stored unit text to the current unit of the measure.
  void ConvertBounds();

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnSetActive() override;
  BOOL OnKillActive() override;
  LRESULT OnWizardBack() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

  UINT m_nTemplateId;
  BOOL m_bWizard = FALSE;
  BOOL m_bNamesFromGlobals = FALSE;
  BOOL m_bNewVariable = FALSE;
  double m_dInitial = 1.5;
  int m_nApplyState = kNoApply;
  BOOL m_bShowConvert = FALSE;
  BOOL m_bUnitsDiffer = FALSE;
  CString m_strUnitText;
  double m_dSpinStep = 0.1;
  double m_dLower = 1.0;
  double m_dUpper = 2.0;
  CString m_strGlobal;
  CString m_strName;
  int m_nMeasure = kLength;

 protected:
  void OnSelectParameter();
  void OnSelectMeasure();
  void OnConvert() { ConvertBounds(); }
  DECLARE_MESSAGE_MAP()

 private:
  void ShowValues();
  void ShowUnit(const CString& unit);
  void Spin(int editId, int delta);
  // Leaving the page: the conversion question, then the bounds rule; false keeps the page.
  bool AcceptValues();
};

class COptMorePP : public CPropertyPage {
 public:
  explicit COptMorePP(UINT templateId);
  BOOL OnSetActive() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

  UINT m_nTemplateId;
  BOOL m_bYes = FALSE;

 protected:
  void OnYes();
  DECLARE_MESSAGE_MAP()
};
