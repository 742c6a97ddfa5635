#include "gui/dialogs/optimization/UIOptResultPages.h"

#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadResources.h"
#include "fea/OptModel.h"
#include "res/ResourceIds.h"

namespace {

constexpr DWORD_PTR kHelpBase = 0x20000;
constexpr int kNoScaling = 0;
constexpr int kSecondScaling = 1;   // bounds, feasibility
constexpr int kOptimumScaling = 2;  // normalised to the optimum (or initial) value
constexpr int kValueScaling = 3;    // normalised to the typed value
constexpr int kObjectiveData = 0;
constexpr int kVariablesData = 1;
constexpr int kConstraintsData = 2;
constexpr int kMaxConstraintData = 3;
constexpr int kSeveralConstraints = 2;

// Ticks from the marks (entries beyond the list are dropped); the marks are then emptied.
void TickFromMarks(CCheckListBox& list, std::vector<int>& marks) {
  for (int i = 0; i < list.GetCount() && i < static_cast<int>(marks.size()); ++i) list.SetCheck(i, marks[i]);
  marks.clear();
}

std::vector<int> MarksOf(const CCheckListBox& list) {
  std::vector<int> marks;
  for (int i = 0; i < list.GetCount(); ++i) marks.push_back(list.GetCheck(i) ? 1 : 0);
  return marks;
}

bool AnyTicked(const CCheckListBox& list) {
  for (int i = 0; i < list.GetCount(); ++i)
    if (list.GetCheck(i)) return true;
  return false;
}

}  // namespace

// ---- both pages ----------------------------------------------------------------------------

OptResultCase* COptGraphPageBase::ResultCase() const {
  if (m_pResultCase) return m_pResultCase;
  return m_pModel ? m_pModel->CurrentOptResultCase() : nullptr;
}

void COptGraphPageBase::ExchangeScaling(CDataExchange* dx) {
  DDX_Radio(dx, IDC_OPT_SCALE_NONE, m_nScaling);
  DDX_Text(dx, IDC_OPT_SCALE_NORMALIZATION, m_dNormalization);
}

void COptGraphPageBase::EnableControl(int id, bool on) {
  if (CWnd* control = GetDlgItem(id)) control->EnableWindow(on ? TRUE : FALSE);
}

void COptGraphPageBase::EnableNormalization() {
  const auto* value = static_cast<CButton*>(GetDlgItem(IDC_OPT_SCALE_VALUE));
  EnableControl(IDC_OPT_SCALE_NORMALIZATION, value && value->GetCheck());
}

BOOL COptGraphPageBase::OnSetActive() {
  m_bVisited = 1;
  if (m_pShownPage) *m_pShownPage = PageKind();
  return CPropertyPage::OnSetActive();
}

BOOL COptGraphPageBase::LeaveIfComplete() {
  if (!UpdateGraphButtons()) {
    CadMessageBoxId(IDS_OPT_INSUFFICIENT_GRAPH_INPUT, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
    return FALSE;
  }
  if (!UpdateData(TRUE)) return FALSE;
  SaveState();
  return TRUE;
}

void COptGraphPageBase::OnGraph() {
  if (!UpdateData(TRUE)) return;
  m_bGraph = 1;
  SaveState();
  sheet()->EndDialog(IDOK);
}

void COptGraphPageBase::OnReport() {
  if (!UpdateData(TRUE)) return;
  CFileDialog dialog(FALSE, resLoadString(IDS_GRAPH_TEXT_EXT).Text(), m_reportName.Text(), OFN_HIDEREADONLY,
                     resLoadString(IDS_GRAPH_TEXT_FILTER).Text(), this);
  if (dialog.DoModal() != IDOK) return;
  m_reportName = CaeString(static_cast<const char*>(dialog.GetPathName()));
  m_bReport = 1;
  SaveState();
  sheet()->EndDialog(IDOK);
}

// ---- History ------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(COptHistPP, CPropertyPage)
ON_BN_CLICKED(IDC_OPT_GRAPH_OBJECTIVE, OnObjective)
ON_BN_CLICKED(IDC_OPT_GRAPH_VARIABLES, OnVariables)
ON_BN_CLICKED(IDC_OPT_GRAPH_CONSTRAINTS, OnConstraints)
ON_BN_CLICKED(IDC_OPT_GRAPH_MAX_CONSTRAINT, OnMaxConstraint)
ON_CLBN_CHKCHANGE(IDC_OPT_GRAPH_LIST, OnListChange)
ON_LBN_SELCHANGE(IDC_OPT_GRAPH_LIST, OnListChange)
ON_BN_CLICKED(IDC_OPT_SCALE_NONE, OnScaling)
ON_BN_CLICKED(IDC_OPT_SCALE_SECOND, OnScaling)
ON_BN_CLICKED(IDC_OPT_SCALE_OPTIMUM, OnScaling)
ON_BN_CLICKED(IDC_OPT_SCALE_VALUE, OnScaling)
ON_BN_CLICKED(IDC_OPT_GRAPH_BUTTON, OnGraph)
ON_BN_CLICKED(IDC_OPT_REPORT_BUTTON, OnReport)
END_MESSAGE_MAP()

COptHistPP::COptHistPP() : COptGraphPageBase(IDD_OPT_HISTORY) {
  m_nScaling = kSecondScaling;
  m_psp.dwFlags |= PSP_HASHELP;
}

void COptHistPP::DoDataExchange(CDataExchange* dx) {
  CPropertyPage::DoDataExchange(dx);
  DDX_Radio(dx, IDC_OPT_GRAPH_OBJECTIVE, m_nGraphData);
  ExchangeScaling(dx);
}

BOOL COptHistPP::OnInitDialog() {
  const bool conceptModel = m_pModel && m_pModel->Type() != CaeOptShape;
  if (conceptModel) m_nGraphData = kObjectiveData;
  CPropertyPage::OnInitDialog();
  m_list.SubclassDlgItem(IDC_OPT_GRAPH_LIST, this);
  if (conceptModel) {
    for (int id : {IDC_OPT_GRAPH_VARIABLES, IDC_OPT_GRAPH_CONSTRAINTS, IDC_OPT_GRAPH_MAX_CONSTRAINT})
      EnableControl(id, false);
    SetDlgItemText(IDC_OPT_SCALE_OPTIMUM, resLoadString(IDS_OPT_SCALE_INITIAL).Text());
  }
  FillGraphList(m_nGraphData);
  TickFromMarks(m_list, m_marks);
  UpdateGraphButtons();
  return TRUE;
}

void COptHistPP::FillGraphList(int data) {
  OptResultCase* resultCase = ResultCase();
  m_list.ResetContent();
  const bool variables = data == kVariablesData;
  const int count = !resultCase                ? 0
                    : variables                ? resultCase->NumResultVariable()
                    : data == kConstraintsData ? resultCase->NumResultConstraint()
                                               : 0;
  for (int i = 0; i < count; ++i) {
    const OptResultData* record = variables ? resultCase->ResultVariable(i) : resultCase->ResultConstraint(i);
    m_list.SetCheck(m_list.AddString(record->Name().Text()), 1);
  }
  m_list.EnableWindow(count > 0 ? TRUE : FALSE);
  UpdateGraphButtons();
  UpdateScaling();
}

int COptHistPP::UpdateGraphButtons() {
  const auto* objective = static_cast<CButton*>(GetDlgItem(IDC_OPT_GRAPH_OBJECTIVE));
  const auto* maximum = static_cast<CButton*>(GetDlgItem(IDC_OPT_GRAPH_MAX_CONSTRAINT));
  const bool chosen = (objective && objective->GetCheck()) || (maximum && maximum->GetCheck()) || AnyTicked(m_list);
  EnableControl(IDC_OPT_GRAPH_BUTTON, chosen);
  EnableControl(IDC_OPT_REPORT_BUTTON, chosen);
  return chosen ? 1 : 0;
}

void COptHistPP::UpdateScaling() {
  UpdateData(TRUE);
  const int g = m_nGraphData;
  EnableControl(IDC_OPT_SCALE_NONE, g != kMaxConstraintData);
  if (g == kMaxConstraintData && m_nScaling == kNoScaling) m_nScaling = kSecondScaling;
  EnableControl(IDC_OPT_SCALE_SECOND, g != kObjectiveData);
  if (g == kObjectiveData && m_nScaling == kSecondScaling) m_nScaling = kNoScaling;
  const bool normalised = g != kConstraintsData && g != kMaxConstraintData;
  EnableControl(IDC_OPT_SCALE_OPTIMUM, normalised);
  EnableControl(IDC_OPT_SCALE_VALUE, normalised);
  if (!normalised && (m_nScaling == kOptimumScaling || m_nScaling == kValueScaling)) m_nScaling = kSecondScaling;
  const bool constraints = g == kConstraintsData || g == kMaxConstraintData;
  SetDlgItemText(IDC_OPT_SCALE_SECOND,
                 resLoadString(constraints ? IDS_OPT_SCALE_FEASIBILITY : IDS_OPT_SCALE_BOUNDS).Text());
  UpdateData(FALSE);
  EnableNormalization();
}

void COptHistPP::SaveState() {
  m_marks = MarksOf(m_list);
  UpdateData(TRUE);
  if (m_nScaling != kValueScaling) m_dNormalization = 1.0;
}

// ---- Sensitivity and Local Trend ------------------------------------------------------------

BEGIN_MESSAGE_MAP(COptSensPP, CPropertyPage)
ON_BN_CLICKED(IDC_OPT_SENS_OBJECTIVE, OnObjective)
ON_BN_CLICKED(IDC_OPT_SENS_SINGLE, OnSingle)
ON_BN_CLICKED(IDC_OPT_SENS_SEVERAL, OnSeveral)
ON_CLBN_CHKCHANGE(IDC_OPT_SENS_VARIABLES, OnChoiceChange)
ON_CLBN_CHKCHANGE(IDC_OPT_SENS_CONSTRAINTS, OnChoiceChange)
ON_CBN_SELCHANGE(IDC_OPT_SENS_VARIABLE, OnChoiceChange)
ON_CBN_SELCHANGE(IDC_OPT_SENS_CONSTRAINT, OnChoiceChange)
ON_BN_CLICKED(IDC_OPT_SCALE_NONE, OnScaling)
ON_BN_CLICKED(IDC_OPT_SCALE_SECOND, OnScaling)
ON_BN_CLICKED(IDC_OPT_SCALE_OPTIMUM, OnScaling)
ON_BN_CLICKED(IDC_OPT_SCALE_VALUE, OnScaling)
ON_BN_CLICKED(IDC_OPT_GRAPH_BUTTON, OnGraph)
ON_BN_CLICKED(IDC_OPT_REPORT_BUTTON, OnReport)
END_MESSAGE_MAP()

COptSensPP::COptSensPP(UINT templateId) : COptGraphPageBase(templateId), m_nTemplate(templateId) {
  m_psp.dwFlags |= PSP_HASHELP;
}

COptSensPP::COptSensPP() : COptSensPP(IDD_OPT_LOCAL_TREND) {}

void COptSensPP::DoDataExchange(CDataExchange* dx) {
  CPropertyPage::DoDataExchange(dx);
  DDX_Radio(dx, IDC_OPT_SENS_OBJECTIVE, m_nGraphOf);
  DDX_CBIndex(dx, IDC_OPT_SENS_CONSTRAINT, m_nConstraint);
  DDX_CBIndex(dx, IDC_OPT_SENS_VARIABLE, m_nVariable);
  ExchangeScaling(dx);
}

BOOL COptSensPP::OnInitDialog() {
  m_variables.SubclassDlgItem(IDC_OPT_SENS_VARIABLES, this);
  m_constraints.SubclassDlgItem(IDC_OPT_SENS_CONSTRAINTS, this);
  auto* variable = static_cast<CComboBox*>(GetDlgItem(IDC_OPT_SENS_VARIABLE));
  auto* constraint = static_cast<CComboBox*>(GetDlgItem(IDC_OPT_SENS_CONSTRAINT));
  if (OptResultCase* resultCase = ResultCase()) {
    for (int i = 0; i < resultCase->NumResultVariable(); ++i) {
      m_variables.AddString(resultCase->ResultVariable(i)->Name().Text());
      variable->AddString(resultCase->ResultVariable(i)->Name().Text());
    }
    for (int i = 0; i < resultCase->NumResultConstraint(); ++i) {
      m_constraints.AddString(resultCase->ResultConstraint(i)->Name().Text());
      constraint->AddString(resultCase->ResultConstraint(i)->Name().Text());
    }
  }
  TickFromMarks(m_variables, m_variableMarks);
  TickFromMarks(m_constraints, m_constraintMarks);
  if (m_nVariable >= variable->GetCount()) m_nVariable = 0;
  if (m_nConstraint >= constraint->GetCount()) m_nConstraint = 0;
  CPropertyPage::OnInitDialog();
  SetGraphOf(m_nGraphOf);
  return TRUE;
}

void COptSensPP::SetGraphOf(int graphOf) {
  m_variables.ShowWindow(graphOf != kSeveralConstraints ? SW_SHOW : SW_HIDE);
  GetDlgItem(IDC_OPT_SENS_VARIABLE)->ShowWindow(graphOf == kSeveralConstraints ? SW_SHOW : SW_HIDE);
  m_constraints.EnableWindow(graphOf == kSeveralConstraints ? TRUE : FALSE);
  EnableControl(IDC_OPT_SENS_CONSTRAINT, graphOf == 1);
  UpdateGraphButtons();
  UpdateScaling(graphOf);
}

int COptSensPP::UpdateGraphButtons() {
  const int g = IsDlgButtonChecked(IDC_OPT_SENS_SEVERAL) ? 2 : IsDlgButtonChecked(IDC_OPT_SENS_SINGLE) ? 1 : 0;
  const auto* variable = static_cast<CComboBox*>(GetDlgItem(IDC_OPT_SENS_VARIABLE));
  const auto* constraint = static_cast<CComboBox*>(GetDlgItem(IDC_OPT_SENS_CONSTRAINT));
  const bool complete = (g == 0 && AnyTicked(m_variables)) ||
                        (g == 1 && constraint->GetCurSel() >= 0 && AnyTicked(m_variables)) ||
                        (g == 2 && AnyTicked(m_constraints) && variable->GetCurSel() >= 0);
  EnableControl(IDC_OPT_GRAPH_BUTTON, complete);
  EnableControl(IDC_OPT_REPORT_BUTTON, complete);
  return complete ? 1 : 0;
}

void COptSensPP::UpdateScaling(int graphOf) {
  UpdateData(TRUE);
  if (m_nScaling == kSecondScaling && graphOf == 0) m_nScaling = kNoScaling;
  if ((m_nScaling == kOptimumScaling || m_nScaling == kValueScaling) && graphOf > 0) m_nScaling = kSecondScaling;
  EnableControl(IDC_OPT_SCALE_SECOND, graphOf > 0);
  EnableControl(IDC_OPT_SCALE_OPTIMUM, graphOf == 0);
  EnableControl(IDC_OPT_SCALE_VALUE, graphOf == 0);
  UpdateData(FALSE);
  EnableNormalization();
}

void COptSensPP::SaveState() {
  m_variableMarks = MarksOf(m_variables);
  m_constraintMarks = MarksOf(m_constraints);
  UpdateData(TRUE);
}
