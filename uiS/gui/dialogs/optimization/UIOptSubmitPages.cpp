#include "gui/dialogs/optimization/UIOptSubmitPages.h"

#include "mfc/controls.h"
#include "mfc/ddx.h"

namespace {

// The record keeps fractions; the pages show percentages.
constexpr double kPercent = 100.0;
constexpr double kLargest = 100000.0;
constexpr double kSmallestPercent = 0.0001;
constexpr double kSmallestAbsolute = 1e-6;
constexpr int kRelativeMode = 2;  // OptParameters::conceptChangeMode

// The fraction a shown percentage stands for; an untouched one keeps the stored fraction exactly
// (x 100 / 100 need not give the same double).
double Fraction(double shown, double stored) { return shown == stored * kPercent ? stored : shown / kPercent; }

}  // namespace

CSubmitOptOverviewPP::CSubmitOptOverviewPP(UINT templateId) : CPropertyPage(templateId) {}

void CSubmitOptOverviewPP::FromParameters(const OptParameters& parameters) {
  m_nMaxCycles = parameters.shapeMaxCycles;
  m_nKind = parameters.sensitivityOnly ? kSensitivityOnly : kOptimize;
}

void CSubmitOptOverviewPP::ToParameters(OptParameters& parameters) const {
  parameters.shapeMaxCycles = m_nMaxCycles;
  parameters.sensitivityOnly = m_nKind == kSensitivityOnly ? 1 : 0;
}

void CSubmitOptOverviewPP::DoDataExchange(CDataExchange* dx) {
  CPropertyPage::DoDataExchange(dx);
  DDX_Text(dx, IDC_OPT_RESULT_NAME, m_strResultName);
  DDX_Radio(dx, IDC_OPT_SENSITIVITY, m_nKind);
  DDX_Text(dx, IDC_OPT_CYCLES, m_nMaxCycles);
  DDV_MinMaxInt(dx, m_nMaxCycles, kMinCycles, kMaxCycles);
}

BOOL CSubmitOptOverviewPP::OnInitDialog() {
  if (auto* spin = static_cast<CSpinButtonCtrl*>(GetDlgItem(IDC_OPT_CYCLES_SPIN)))
    spin->SetRange32(kMinCycles, kMaxCycles);
  return CPropertyPage::OnInitDialog();
}

CSubmitConvergePP::CSubmitConvergePP() : CPropertyPage(IDD_SUBMIT_CONVERGE) {}

void CSubmitConvergePP::FromParameters(const OptParameters& p) {
  m_dActive = p.constraintActiveTolerance * kPercent;
  m_dViolated = p.constraintViolatedTolerance * kPercent;
  m_dRelObjective = p.relativeObjectiveChange * kPercent;
  m_dAbsObjective = p.absoluteObjectiveChange;
  m_dRelVariables = p.relativeVariableChange * kPercent;
  m_dMaxViolation = p.maxConstraintViolation * kPercent;
}

void CSubmitConvergePP::ToParameters(OptParameters& p) const {
  p.constraintActiveTolerance = Fraction(m_dActive, p.constraintActiveTolerance);
  p.constraintViolatedTolerance = Fraction(m_dViolated, p.constraintViolatedTolerance);
  p.relativeObjectiveChange = Fraction(m_dRelObjective, p.relativeObjectiveChange);
  p.absoluteObjectiveChange = m_dAbsObjective;
  p.relativeVariableChange = Fraction(m_dRelVariables, p.relativeVariableChange);
  p.maxConstraintViolation = Fraction(m_dMaxViolation, p.maxConstraintViolation);
}

void CSubmitConvergePP::DoDataExchange(CDataExchange* dx) {
  CPropertyPage::DoDataExchange(dx);
  DDX_Text(dx, IDC_CONV_ACTIVE, m_dActive);
  DDV_MinMaxDouble(dx, m_dActive, -kLargest, -kSmallestPercent);
  DDX_Text(dx, IDC_CONV_VIOLATED, m_dViolated);
  DDV_MinMaxDouble(dx, m_dViolated, kSmallestPercent, kLargest);
  DDX_Text(dx, IDC_CONV_REL_OBJECTIVE, m_dRelObjective);
  DDV_MinMaxDouble(dx, m_dRelObjective, kSmallestPercent, kLargest);
  DDX_Text(dx, IDC_CONV_ABS_OBJECTIVE, m_dAbsObjective);
  DDV_MinMaxDouble(dx, m_dAbsObjective, kSmallestAbsolute, kLargest);
  DDX_Text(dx, IDC_CONV_REL_VARIABLES, m_dRelVariables);
  DDV_MinMaxDouble(dx, m_dRelVariables, kSmallestPercent, kLargest);
  DDX_Text(dx, IDC_CONV_MAX_VIOLATION, m_dMaxViolation);
  DDV_MinMaxDouble(dx, m_dMaxViolation, kSmallestPercent, kLargest);
}

BEGIN_MESSAGE_MAP(CSubmitConvergeTopoPP, CPropertyPage)
ON_BN_CLICKED(IDC_TOPO_RELATIVE, OnChange)
ON_BN_CLICKED(IDC_TOPO_ABSOLUTE, OnChange)
ON_BN_CLICKED(IDC_TOPO_DEFAULT, OnChange)
END_MESSAGE_MAP()

CSubmitConvergeTopoPP::CSubmitConvergeTopoPP() : CPropertyPage(IDD_SUBMIT_CONVERGE_TOPO) {}

void CSubmitConvergeTopoPP::FromParameters(const OptParameters& p) {
  m_nSpeed = p.conceptConvergenceSpeed;
  m_nChange = kRelativeMode - p.conceptChangeMode;
  m_dFirstChange = p.conceptChangeMode == kRelativeMode ? p.conceptFirstChange * kPercent : p.conceptFirstChange;
}

void CSubmitConvergeTopoPP::ToParameters(OptParameters& p) const {
  p.conceptConvergenceSpeed = m_nSpeed;
  const bool wasRelative = p.conceptChangeMode == kRelativeMode;
  p.conceptChangeMode = kRelativeMode - m_nChange;
  if (p.conceptChangeMode != kRelativeMode)
    p.conceptFirstChange = m_dFirstChange;
  else
    p.conceptFirstChange = wasRelative ? Fraction(m_dFirstChange, p.conceptFirstChange) : m_dFirstChange / kPercent;
}

void CSubmitConvergeTopoPP::DoDataExchange(CDataExchange* dx) {
  CPropertyPage::DoDataExchange(dx);
  DDX_Radio(dx, IDC_TOPO_RELATIVE, m_nChange);
  DDX_Text(dx, IDC_TOPO_VALUE, m_dFirstChange);
  DDX_Slider(dx, IDC_TOPO_SPEED, m_nSpeed);
}

BOOL CSubmitConvergeTopoPP::OnInitDialog() {
  if (auto* slider = static_cast<CSliderCtrl*>(GetDlgItem(IDC_TOPO_SPEED))) slider->SetRange(1, kSlowest);
  const BOOL result = CPropertyPage::OnInitDialog();
  EnableForChange(m_nChange);
  return result;
}

// The value means nothing when the engine picks the first change itself.
void CSubmitConvergeTopoPP::EnableForChange(int change) {
  for (int id : {IDC_TOPO_VALUE, IDC_TOPO_UNIT})
    if (CWnd* control = GetDlgItem(id)) control->EnableWindow(change != kDefault);
  if (CWnd* unit = GetDlgItem(IDC_TOPO_UNIT)) unit->ShowWindow(change == kRelative ? SW_SHOW : SW_HIDE);
}

void CSubmitConvergeTopoPP::OnChange() {
  const int ids[] = {IDC_TOPO_RELATIVE, IDC_TOPO_ABSOLUTE, IDC_TOPO_DEFAULT};
  for (int i = 0; i < 3; ++i)
    if (auto* radio = static_cast<CButton*>(GetDlgItem(ids[i])); radio && radio->GetCheck() == BST_CHECKED)
      EnableForChange(i);
}
