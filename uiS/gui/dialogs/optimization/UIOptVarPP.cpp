#include "gui/dialogs/optimization/UIOptVarPP.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "amg/CaeUnit.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadDocServices.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "fea/OptModel.h"

namespace {

constexpr DWORD_PTR kHelpBase = 0x20000;
constexpr int kShownDigits = 2;
constexpr double kLowerFactor = 0.9;
constexpr double kUpperFactor = 1.1;
// The units of a conversion system beside length and angle: their unit names stay fixed.
constexpr int kFixedUnits[] = {8, 12, 17, 21, 24, 28};
constexpr int kDefaultLengthUnit = 0;
constexpr int kDefaultAngleUnit = 5;

CString CurrentUnitText(int unitType) {
  CaeUnitStrTable* table = CaeUnitStrTable::GetCurrent();
  return table ? table->IdToShortString(CaeUnitSystem::GetHostUnit(unitType)).Text() : "";
}

// A conversion system whose unit of `unitType` is the one named `unitText`.
CaeUnitSystem SystemNaming(int unitType, const CString& unitText) {
  CaeUnitStrTable* table = CaeUnitStrTable::GetCurrent();
  const int named = table ? table->StringToId(CaeString(static_cast<const char*>(unitText))) : CaeUnitNone;
  return CaeUnitSystem(unitType == 0 ? named : kDefaultLengthUnit, unitType == 1 ? named : kDefaultAngleUnit,
                       kFixedUnits[0], kFixedUnits[1], kFixedUnits[2], kFixedUnits[3], kFixedUnits[4], kFixedUnits[5]);
}

// The whole text as a number in the "C" form; false when it is not one.
bool ReadNumber(const CString& text, double& value) {
  const char* begin = text;
  char* end = nullptr;
  const double read = std::strtod(begin, &end);
  if (end == begin || !std::isfinite(read)) return false;
  while (*end == ' ') ++end;
  if (*end != '\0') return false;
  value = read;
  return true;
}

bool HelpRequested(LPARAM lParam) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  return header && static_cast<int>(header->code) == PSN_HELP;
}

}  // namespace

std::vector<CaeString> UIOptFreeGlobalParameters(int* all) {
  CadInterface* cad = CadInterface::GetCurrent();
  int count = 0;
  CaeString* names = nullptr;
  if (cad) cad->GetGlobalParams(&count, &names);
  std::unique_ptr<CaeString[]> owned(names);
  if (all) *all = count;
  AnlControl* control = AnlControl::GetCurrent();
  std::unique_ptr<OptVariableSet> variables(control ? control->GetDesignVariables(nullptr) : nullptr);
  std::vector<CaeString> free;
  for (int i = 0; i < count; ++i) {
    bool used = false;
    for (OptVariable* v = variables ? variables->FirstVariable() : nullptr; v && !used; v = variables->NextVariable())
      used = v->Name() == names[i];
    if (!used) free.push_back(names[i]);
  }
  return free;
}

double UIOptVariableSpinStep(double& value) {
  const bool small = value < 1.0;
  const int decimals = CadRoundToDigits(value, kShownDigits);
  return std::pow(10.0, 1 - decimals - (small ? 1 : 0));
}

bool UIOptBoundsInOrder(double lower, double initial, double upper) {
  return lower < upper && lower <= initial && initial <= upper;
}

BEGIN_MESSAGE_MAP(COptVarPP, CPropertyPage)
ON_CBN_SELCHANGE(IDC_OPT_VAR_PARAMS, OnSelectParameter)
ON_CBN_SELCHANGE(IDC_OPT_VAR_MEASURE, OnSelectMeasure)
ON_BN_CLICKED(IDC_OPT_VAR_CONVERT, OnConvert)
END_MESSAGE_MAP()

COptVarPP::COptVarPP(UINT templateId) : CPropertyPage(templateId), m_nTemplateId(templateId) {
  m_psp.dwFlags |= PSP_HASHELP;
}

void COptVarPP::DoDataExchange(CDataExchange* dx) {
  CPropertyPage::DoDataExchange(dx);
  DDX_Text(dx, IDC_OPT_VAR_LOWER, m_dLower);
  DDX_Text(dx, IDC_OPT_VAR_UPPER, m_dUpper);
  DDX_CBString(dx, IDC_OPT_VAR_PARAMS, m_strGlobal);
  DDX_Text(dx, IDC_OPT_VAR_NAME, m_strName);
  DDX_CBIndex(dx, IDC_OPT_VAR_MEASURE, m_nMeasure);
}

BOOL COptVarPP::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  CPropertySheet* owner = sheet();
  if (!m_bWizard && m_nApplyState >= 0 && owner) {
    if (CWnd* add = owner->GetDlgItem(ID_APPLY_NOW)) add->SetWindowText(resLoadString(IDS_ATT_ADD_BUTTON).Text());
    if (m_nApplyState > 0) m_nApplyState = kApplyEnable;
  }
  if (auto* measure = static_cast<CComboBox*>(GetDlgItem(IDC_OPT_VAR_MEASURE))) {
    measure->AddString(resLoadString(IDS_OPT_MEASURE_LENGTH).Text());
    measure->AddString(resLoadString(IDS_OPT_MEASURE_ANGLE).Text());
    measure->SetCurSel(m_nMeasure);
  }
  if (CWnd* convert = GetDlgItem(IDC_OPT_VAR_CONVERT)) {
    const CString current = CurrentUnitText(GetMode());
    m_bUnitsDiffer = m_strUnitText != current;
    CString label;
    convert->GetWindowText(label);
    CString text;
    text.Format(label, static_cast<const char*>(current));
    convert->SetWindowText(text);
    convert->ShowWindow(!m_bWizard && m_bShowConvert ? SW_SHOW : SW_HIDE);
    convert->EnableWindow(m_bUnitsDiffer);
  }
  const bool typed = !m_bNamesFromGlobals;
  if (CWnd* edit = GetDlgItem(IDC_OPT_VAR_NAME)) edit->ShowWindow(typed && m_bNewVariable ? SW_SHOW : SW_HIDE);
  if (CWnd* combo = GetDlgItem(IDC_OPT_VAR_PARAMS))
    combo->ShowWindow(m_bNamesFromGlobals && m_bNewVariable ? SW_SHOW : SW_HIDE);
  if (CWnd* fixed = GetDlgItem(IDC_OPT_VAR_FIXED_NAME)) fixed->ShowWindow(m_bNewVariable ? SW_HIDE : SW_SHOW);

  if (m_bNamesFromGlobals) {
    CadInterface* cad = CadInterface::GetCurrent();
    auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_OPT_VAR_PARAMS));
    for (const CaeString& name : UIOptFreeGlobalParameters())
      if (combo) combo->AddString(name.Text());
    m_strGlobal = m_strName;
    if (m_bNewVariable && combo && combo->GetCount() > 0) {
      int chosen = combo->FindString(-1, m_strName);
      if (chosen < 0 || m_strName.IsEmpty()) chosen = 0;
      combo->SetCurSel(chosen);
      combo->GetLBText(chosen, m_strName);
      m_strGlobal = m_strName;
      m_dInitial = cad->GetParamValueByName(CaeString(static_cast<const char*>(m_strName)));
      m_dLower = kLowerFactor * m_dInitial;
      m_dUpper = kUpperFactor * m_dInitial;
    }
    SetDlgItemText(IDC_OPT_VAR_NAME, m_strName);
  }
  ShowValues();
  ShowUnit(m_strUnitText);
  return TRUE;
}

void COptVarPP::ShowValues() {
  CString text;
  text.Format(" %s", static_cast<const char*>(m_strName));
  SetDlgItemText(IDC_OPT_VAR_FIXED_NAME, text);
  m_dSpinStep = UIOptVariableSpinStep(m_dInitial);
  CadFormatValue(text, m_dInitial, kShownDigits);
  SetDlgItemText(IDC_OPT_VAR_INITIAL, " " + text);
  CadSetDlgItemValue(text, this, IDC_OPT_VAR_LOWER, m_dLower, kShownDigits);
  CadSetDlgItemValue(text, this, IDC_OPT_VAR_UPPER, m_dUpper, kShownDigits);
}

void COptVarPP::ShowUnit(const CString& unit) {
  for (int id : {IDC_OPT_VAR_UPPER_UNIT, IDC_OPT_VAR_LOWER_UNIT, IDC_OPT_VAR_INITIAL_UNIT}) SetDlgItemText(id, unit);
}

void COptVarPP::SetFromParameter(const CString& name) {
  CadInterface* cad = CadInterface::GetCurrent();
  m_strName = name;
  m_dInitial = cad ? cad->GetParamValueByName(CaeString(static_cast<const char*>(name))) : 0.0;
  m_dLower = kLowerFactor * m_dInitial;
  m_dUpper = kUpperFactor * m_dInitial;
  ShowValues();
}

void COptVarPP::OnSelectParameter() {
  auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_OPT_VAR_PARAMS));
  if (!combo || combo->GetCurSel() < 0) return;
  CString chosen;
  combo->GetLBText(combo->GetCurSel(), chosen);
  SetDlgItemText(IDC_OPT_VAR_NAME, chosen);
  SetFromParameter(chosen);
}

void COptVarPP::OnSelectMeasure() {
  auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_OPT_VAR_MEASURE));
  const int chosen = combo ? combo->GetCurSel() : m_nMeasure;
  const bool stored = chosen == m_nMeasure;
  ShowUnit(stored ? m_strUnitText : CurrentUnitText(chosen == kAngle ? 1 : 0));
  if (CWnd* convert = GetDlgItem(IDC_OPT_VAR_CONVERT)) convert->EnableWindow(stored && !m_bWizard && m_bUnitsDiffer);
}

void COptVarPP::ConvertBounds() {
  if (!UpdateData(TRUE)) return;
  const int type = GetMode();
  const CaeUnitSystem from = SystemNaming(type, m_strUnitText);
  m_strUnitText = CurrentUnitText(type);
  const CaeUnitSystem to = SystemNaming(type, m_strUnitText);
  const CaeUnit unit(type);
  m_dLower = unit.Convert(m_dLower, &from, &to);
  m_dUpper = unit.Convert(m_dUpper, &from, &to);
  CString text;
  CadSetDlgItemValue(text, this, IDC_OPT_VAR_LOWER, m_dLower, kShownDigits);
  CadSetDlgItemValue(text, this, IDC_OPT_VAR_UPPER, m_dUpper, kShownDigits);
  ShowUnit(m_strUnitText);
  m_bUnitsDiffer = FALSE;
  if (CWnd* convert = GetDlgItem(IDC_OPT_VAR_CONVERT)) convert->EnableWindow(FALSE);
}

bool COptVarPP::AcceptValues() {
  if (!UpdateData(TRUE)) return false;
  if (m_bUnitsDiffer) {
    CString question;
    question.Format(resLoadString(IDS_OPT_CONVERT_BOUNDS).Text(), static_cast<const char*>(CurrentUnitText(GetMode())));
    if (CadMessageBoxText(question, MB_YESNO | MB_ICONQUESTION) != IDYES) return false;
    ConvertBounds();
  }
  if (!UIOptBoundsInOrder(m_dLower, m_dInitial, m_dUpper)) {
    CadMessageBoxId(IDS_INVALID_INPUT, MB_OK | MB_TASKMODAL);
    return false;
  }
  if (m_bNewVariable && m_bNamesFromGlobals) m_strName = m_strGlobal;
  return true;
}

BOOL COptVarPP::OnKillActive() { return AcceptValues() ? TRUE : FALSE; }

BOOL COptVarPP::OnSetActive() {
  CPropertySheet* owner = sheet();
  if (m_nApplyState == kApplyEnable && owner) {
    if (CWnd* add = owner->GetDlgItem(ID_APPLY_NOW)) add->EnableWindow(TRUE);
    m_nApplyState = 0;
  }
  if (m_nApplyState < 0) m_nApplyState = 0;
  if (m_bWizard && owner) owner->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
  return CPropertyPage::OnSetActive();
}

LRESULT COptVarPP::OnWizardBack() {
  if (CPropertySheet* owner = sheet()) owner->EndDialog(-1);
  return -1;
}

void COptVarPP::Spin(int editId, int delta) {
  CString text;
  GetDlgItemText(editId, text);
  double value = 0.0;
  // Text that is no number stays as it is.
  if (!ReadNumber(text, value)) return;
  value += delta > 0 ? -m_dSpinStep : m_dSpinStep;
  CadSetDlgItemValue(text, this, editId, value, kShownDigits);
}

BOOL COptVarPP::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (HelpRequested(lParam)) {
    UIShowHelp(kHelpBase + m_nTemplateId, HELP_CONTEXT);
    return TRUE;
  }
  if (header && static_cast<int>(header->code) == UDN_DELTAPOS) {
    const int id = static_cast<int>(header->idFrom);
    if (id == IDC_OPT_VAR_LOWER_SPIN || id == IDC_OPT_VAR_UPPER_SPIN) {
      Spin(id == IDC_OPT_VAR_LOWER_SPIN ? IDC_OPT_VAR_LOWER : IDC_OPT_VAR_UPPER,
           reinterpret_cast<const NMUPDOWN*>(lParam)->iDelta);
      if (result) *result = 1;  // the edit shows the step, not the control's position
      return TRUE;
    }
  }
  // "&Add" (Apply Now, not OK) commits like OK and asks for another variable.
  if (header && static_cast<int>(header->code) == PSN_APPLY && !reinterpret_cast<const PSHNOTIFY*>(lParam)->lParam) {
    m_nApplyState = kApplyPressed;
    if (CPropertySheet* owner = sheet()) owner->EndDialog(IDOK);
    return TRUE;
  }
  return CPropertyPage::OnNotify(wParam, lParam, result);
}

BEGIN_MESSAGE_MAP(COptMorePP, CPropertyPage)
ON_BN_CLICKED(IDC_OPT_MORE_YES, OnYes)
END_MESSAGE_MAP()

COptMorePP::COptMorePP(UINT templateId) : CPropertyPage(templateId), m_nTemplateId(templateId) {
  m_psp.dwFlags |= PSP_HASHELP;
}

BOOL COptMorePP::OnSetActive() {
  if (CPropertySheet* owner = sheet()) owner->SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
  return CPropertyPage::OnSetActive();
}

void COptMorePP::OnYes() {
  m_bYes = TRUE;
  if (CPropertySheet* owner = sheet()) owner->EndDialog(ID_WIZFINISH);
}

BOOL COptMorePP::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (HelpRequested(lParam)) {
    UIShowHelp(kHelpBase + m_nTemplateId, HELP_CONTEXT);
    return TRUE;
  }
  return CPropertyPage::OnNotify(wParam, lParam, result);
}
