#include "gui/dialogs/optimization/UIOptCompletedDlg.h"

#include "cadInterface/CadDocServices.h"
#include "cadInterface/CadResources.h"
#include "fea/OptModel.h"
#include "res/ResourceIds.h"

namespace {

constexpr DWORD_PTR kHelpBase = 0x20000;
constexpr int kValueDigits = 2;
constexpr int kVariableDigits = 3;
constexpr double kPerCent = 100.0;
// Exit codes of a run: 0 not ended, 1-3 usable, 4 usable (update and discard), 5-6 not usable.
constexpr int kLastUsableExit = 4;
constexpr int kUpdateAndDiscardExit = 4;
constexpr int kLastDefinedExit = 6;

CString ValueText(double value, int digits, const CaeString& unit) {
  CString number, text;
  CadFormatValue(number, value, digits);
  text.Format(" %s %s", static_cast<const char*>(number), unit.Text());
  return text;
}

void Enable(CWnd& dialog, int id, bool on) {
  if (CWnd* control = dialog.GetDlgItem(id)) control->EnableWindow(on ? TRUE : FALSE);
}

void FillVariables(CWnd& dialog, const OptResultCase& resultCase, int cycle) {
  auto* list = static_cast<CListBox*>(dialog.GetDlgItem(IDC_OPT_DONE_VARIABLES));
  if (!list) return;
  list->ResetContent();
  for (int i = 0; i < resultCase.NumResultVariable(); ++i) list->AddString(UIOptVariableLine(resultCase, i, cycle));
}

void ShowCycleValues(CWnd& dialog, const OptResultCase& resultCase, int cycle) {
  dialog.SetDlgItemText(IDC_OPT_DONE_OBJECTIVE, UIOptObjectiveText(resultCase, cycle));
  dialog.SetDlgItemText(IDC_OPT_DONE_MAX_CONSTRAINT, UIOptMaxConstraintText(resultCase, cycle));
  FillVariables(dialog, resultCase, cycle);
}

}  // namespace

CString UIOptObjectiveText(const OptResultCase& resultCase, int cycle) {
  const OptResultData* record = resultCase.Objective();
  return record ? ValueText(record->Value(cycle), kValueDigits, record->unitText) : CString();
}

CString UIOptMaxConstraintText(const OptResultCase& resultCase, int cycle) {
  const OptResultData* record = resultCase.MaxConstraintRecord();
  return record ? ValueText(kPerCent * record->Value(cycle), kValueDigits, record->unitText) : CString();
}

CString UIOptVariableLine(const OptResultCase& resultCase, int variable, int cycle) {
  const OptResultData* record = resultCase.ResultVariable(variable);
  if (!record) return CString();
  CString number, line;
  CadFormatValue(number, record->Value(cycle), kVariableDigits);
  line.Format("%s  %s %s", record->Name().Text(), static_cast<const char*>(number), record->unitText.Text());
  return line;
}

// ---- the completed dialog ------------------------------------------------------------------

BEGIN_MESSAGE_MAP(COptCompletedDlg, CDialog)
ON_BN_CLICKED(IDHELP, OnHelp)
END_MESSAGE_MAP()

COptCompletedDlg::COptCompletedDlg(UINT templateId, CWnd* parent)
    : CDialog(templateId, parent), m_nTemplate(templateId) {}

void COptCompletedDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Radio(dx, IDC_OPT_DONE_KEEP, m_nAction);
}

bool COptCompletedDlg::PresetByExitCode(int exitCode) {
  const bool usable = exitCode >= 1 && exitCode <= kLastUsableExit;
  const bool shape = m_nTemplate == IDD_OPT_COMPLETED;
  Enable(*this, IDC_OPT_DONE_UPDATE, shape && usable && m_nChoice);
  // Concept offers no update: its dialog keeps the results unless the user picks Discard.
  if (m_nChoice && exitCode == kUpdateAndDiscardExit && shape) m_nAction = kUpdateAndDiscard;
  if (m_nChoice && exitCode > kLastUsableExit && exitCode <= kLastDefinedExit) m_nAction = kDiscard;
  Enable(*this, IDC_OPT_DONE_KEEP, usable && m_nChoice);
  Enable(*this, IDC_OPT_DONE_DISCARD, m_nChoice != 0);
  return usable;
}

void COptCompletedDlg::ShowShapeValues(int cycle, bool usable) {
  ShowCycleValues(*this, *m_pResultCase, cycle);
  for (int id : {IDC_OPT_DONE_OBJECTIVE, IDC_OPT_DONE_MAX_CONSTRAINT, IDC_OPT_DONE_VARIABLES})
    Enable(*this, id, usable);
}

void COptCompletedDlg::ShowConceptValues(int cycle) {
  const OptResultData* record = m_pResultCase->Objective();
  if (!record) return;
  SetDlgItemText(IDC_OPT_DONE_VOLUME, UIOptObjectiveText(*m_pResultCase, cycle));
  const double initial = record->Value(0);
  const double percent = initial == 0.0 ? initial : kPerCent * record->Value(cycle) / initial;
  CString number, text;
  CadFormatValue(number, percent, kValueDigits);
  text.Format(" %s %%", static_cast<const char*>(number));
  SetDlgItemText(IDC_OPT_DONE_PERCENT, text);
}

void COptCompletedDlg::ShowMessage(int cycles, int exitCode) {
  const CaeString& exitMessage = m_pResultCase->ExitMessage();
  CString text;
  if (cycles > 0 && exitCode != 0 && exitCode != 3) {
    text.Format("%s %s %d.", exitMessage.Text(), resLoadString(IDS_OPT_NUMBER_OF_CYCLES).Text(), cycles);
  } else if (cycles > 0) {
    text = exitMessage.Text();
  } else if (m_pResultCase->HasSensitivity()) {
    text = resLoadString(IDS_OPT_ONLY_SENSITIVITY).Text();
    Enable(*this, IDC_OPT_DONE_UPDATE, false);
  } else {
    text.Format("%s %s", exitMessage.Text(), resLoadString(IDS_OPT_NO_RESULT_DATA).Text());
    if (exitCode == kUpdateAndDiscardExit || m_nAction == kKeep) m_nAction = kDiscard;
    Enable(*this, IDC_OPT_DONE_KEEP, false);
    Enable(*this, IDC_OPT_DONE_UPDATE, false);
  }
  SetDlgItemText(IDC_OPT_DONE_MESSAGE, text);
}

BOOL COptCompletedDlg::OnInitDialog() {
  if (!m_nChoice)
    if (CWnd* ok = GetDlgItem(IDOK)) ok->SetWindowText(resLoadString(IDS_RESULTS_CLOSE).Text());
  if (!m_pResultCase) return CDialog::OnInitDialog();
  m_nAction = kKeep;
  const int exitCode = m_pResultCase->ExitCode();
  const bool usable = PresetByExitCode(exitCode);
  const int cycles = m_pResultCase->NumCycles();
  if (m_nTemplate == IDD_OPT_COMPLETED)
    ShowShapeValues(cycles, usable);
  else
    ShowConceptValues(cycles);
  CString name;
  name.Format(" %s", m_pResultCase->Name().Text());
  SetDlgItemText(IDC_OPT_DONE_NAME, name);
  ShowMessage(cycles, exitCode);
  return CDialog::OnInitDialog();
}

// An action whose radio this dialog does not offer (absent, disabled, none checked) is Keep.
bool COptCompletedDlg::Offers(int action) {
  static const int radios[] = {IDC_OPT_DONE_KEEP, IDC_OPT_DONE_DISCARD, IDC_OPT_DONE_UPDATE};
  if (action < kKeep || action > kUpdateAndDiscard) return false;
  CWnd* radio = GetDlgItem(radios[action]);
  return radio && radio->IsWindowEnabled();
}

void COptCompletedDlg::OnOK() {
  if (!UpdateData(TRUE)) return;
  if (!Offers(m_nAction)) m_nAction = kKeep;
  EndDialog(IDOK);
}

void COptCompletedDlg::OnHelp() { UIShowHelp(kHelpBase + m_nTemplate, HELP_CONTEXT); }

// ---- Update Model --------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CUpdateModelDlg, CDialog)
ON_LBN_SELCHANGE(IDC_OPT_UPDATE_CYCLES, OnSelectCycle)
ON_BN_CLICKED(IDHELP, OnHelp)
END_MESSAGE_MAP()

CUpdateModelDlg::CUpdateModelDlg(CWnd* parent) : CDialog(IDD_OPT_UPDATE_MODEL, parent) {}

void CUpdateModelDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Check(dx, IDC_OPT_UPDATE_MESH, m_nUpdateMesh);
}

BOOL CUpdateModelDlg::OnInitDialog() {
  if (!m_pResultCase) return CDialog::OnInitDialog();
  auto* cycles = static_cast<CListBox*>(GetDlgItem(IDC_OPT_UPDATE_CYCLES));
  const int n = m_pResultCase->NumCycles();
  cycles->AddString(resLoadString(IDS_OPT_INITIAL_DESIGN).Text());
  for (int i = 1; i <= n; ++i) {
    CString line;
    line.Format("%s %d", resLoadString(IDS_OPT_DESIGN_CYCLE).Text(), i);
    cycles->AddString(line);
  }
  cycles->SetCurSel(n);
  OnSelectCycle();
  const bool withModel = m_pResultCase->ResultAnlModel() != nullptr;
  if (!withModel) m_nUpdateMesh = 0;
  Enable(*this, IDC_OPT_UPDATE_MESH, withModel);
  return CDialog::OnInitDialog();
}

void CUpdateModelDlg::OnSelectCycle() {
  const auto* cycles = static_cast<CListBox*>(GetDlgItem(IDC_OPT_UPDATE_CYCLES));
  m_nCycle = cycles ? cycles->GetCurSel() : -1;
  const bool chosen = m_nCycle >= 0 && m_pResultCase;
  for (int id : {IDC_OPT_DONE_OBJECTIVE, IDC_OPT_DONE_MAX_CONSTRAINT, IDC_OPT_DONE_VARIABLES})
    Enable(*this, id, chosen);
  if (chosen) ShowCycleValues(*this, *m_pResultCase, m_nCycle);
}

void CUpdateModelDlg::OnOK() {
  const auto* cycles = static_cast<CListBox*>(GetDlgItem(IDC_OPT_UPDATE_CYCLES));
  m_nCycle = cycles ? cycles->GetCurSel() : -1;
  CDialog::OnOK();
}

void CUpdateModelDlg::OnHelp() { UIShowHelp(kHelpBase + IDD_OPT_UPDATE_MODEL, HELP_CONTEXT); }
