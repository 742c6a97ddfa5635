#include "gui/dialogs/optimization/UIOptObjPP.h"

#include <clocale>
#include <cstdlib>

#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadDocServices.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlResltCase.h"
#include "fea/OptModel.h"
#include "gui/dialogs/optimization/UIOptCommands.h"
#include "gui/dialogs/optimization/UIOptVocabulary.h"
#include "gui/dialogs/units/UIGenericPS.h"

namespace {

constexpr DWORD_PTR kHelpBase = 0x20000;
constexpr int kPercentDigits = 1;
constexpr int kVolumeDigits = 4;
constexpr int kObjectiveList = 0;  // UIOptNumResponseTypes: the objective's response list

// The analysis type of the result sets a response is read from; -1 when it needs none.
int ResultSetTypeFor(int responseType) {
  if (responseType == OptFrequency) return AnlResltModal;
  if (responseType == OptLoadFactor) return AnlResltBuckling;
  return -1;
}

CString VolumeUnitText() {
  OptFunction volume(CaeString(), OptVolume);
  return volume.UnitText().Text();
}

double PartVolume() {
  CadInterface* cad = CadInterface::GetCurrent();
  return cad ? cad->GetPartMassProps() : 0.0;
}

// The whole text as a number in the "C" form; false when it is not one.
bool ReadNumber(const CString& text, double& value) {
  const char* begin = text;
  char* end = nullptr;
  const double read = std::strtod(begin, &end);
  if (end == begin) return false;
  while (*end == ' ') ++end;
  if (*end != '\0') return false;
  value = read;
  return true;
}

}  // namespace

BEGIN_MESSAGE_MAP(COptObjPP, CPropertyPage)
ON_LBN_SELCHANGE(IDC_OPT_OBJ_RESPONSE, OnSelectResponse)
ON_BN_CLICKED(IDC_OPT_OBJ_FIRST, OnFirstChoice)
ON_BN_CLICKED(IDC_OPT_OBJ_SECOND, OnSecondChoice)
END_MESSAGE_MAP()

COptObjPP::COptObjPP(UINT templateId)
    : CPropertyPage(templateId), m_nTemplateId(templateId), m_bConcept(templateId == IDD_OPT_OBJECTIVE_CONCEPT) {
  m_psp.dwFlags |= PSP_HASHELP;
}

bool COptObjPP::NeedsResultSet(int responseType) { return ResultSetTypeFor(responseType) >= 0; }

int COptObjPP::ChosenResponseType() const { return UIOptListIndexToResponseType(m_nResponse); }

void COptObjPP::DoDataExchange(CDataExchange* dx) {
  CPropertyPage::DoDataExchange(dx);
  if (m_bConcept) {
    DDX_Text(dx, IDC_OPT_OBJ_TARGET, m_dTarget);
    // A percentage lies in 1..100; a volume has no upper bound but must be positive.
    if (m_nRadio == kSecond) {
      if (dx->m_bSaveAndValidate && !(m_dTarget > 0.0)) {
        CadMessageBoxId(IDS_OPT_TARGET_NOT_POSITIVE, MB_OK | MB_ICONEXCLAMATION);
        dx->Fail();
      }
    } else {
      DDV_MinMaxDouble(dx, m_dTarget, kMinPercent, kMaxPercent);
    }
  }
  if (m_nRadio != kConverting) DDX_Radio(dx, IDC_OPT_OBJ_FIRST, m_nRadio);
  if (!m_bConcept) {
    DDX_Text(dx, IDC_OPT_OBJ_MODE, m_nModeNumber);
    DDV_MinMaxInt(dx, m_nModeNumber, kMinMode, kMaxMode);
    DDX_LBIndex(dx, IDC_OPT_OBJ_RESPONSE, m_nResponse);
  }
}

BOOL COptObjPP::OnInitDialog() {
  if (!m_bConcept) {
    if (auto* list = static_cast<CListBox*>(GetDlgItem(IDC_OPT_OBJ_RESPONSE))) {
      for (int i = 0; i < UIOptNumResponseTypes(kObjectiveList); ++i)
        list->AddString(UIOptResponseTypeName(UIOptListIndexToResponseType(i)).Text());
      list->SetCurSel(m_nResponse);
    }
    OnSelectResponse();
  }
  CPropertyPage::OnInitDialog();
  UpdateTarget();
  if (m_bConcept) {
    for (int id : {IDC_OPT_OBJ_FIRST, IDC_OPT_OBJ_SECOND}) GetDlgItem(id)->ShowWindow(SW_HIDE);
    CString text;
    CadSetDlgItemValue(text, this, IDC_OPT_OBJ_TARGET, m_dTarget, m_nRadio == kSecond ? kVolumeDigits : kPercentDigits);
    SetDlgItemText(IDC_OPT_OBJ_TOTAL_UNIT, VolumeUnitText());
    CadSetDlgItemValue(text, this, IDC_OPT_OBJ_TOTAL, PartVolume(), kVolumeDigits);
  }
  return TRUE;
}

void COptObjPP::OnSelectResponse() {
  if (auto* list = static_cast<CListBox*>(GetDlgItem(IDC_OPT_OBJ_RESPONSE))) m_nResponse = list->GetCurSel();
  const int type = ChosenResponseType();
  const bool needs = NeedsResultSet(type);
  for (int id : {IDC_OPT_OBJ_MODE_LABEL, IDC_OPT_OBJ_MODE})
    if (CWnd* control = GetDlgItem(id)) control->EnableWindow(needs);
  if (m_bWizard || !m_pResultSetPage) return;

  CPropertySheet* owner = sheet();
  if (owner) {
    const bool added = owner->GetPageIndex(m_pResultSetPage) >= 0;
    if (needs && !added) {
      owner->AddPage(m_pResultSetPage);
      if (auto* generic = dynamic_cast<CGenericPS*>(owner); generic && generic->m_bShowTabIcons)
        generic->SetAllTabImages(TRUE);
    } else if (!needs && added) {
      owner->RemovePage(m_pResultSetPage);
    }
    m_nResultSetPageState = needs ? 1 : 0;
  }

  CString chosen = m_pResultSetPage->m_strResultSet;
  if (needs) {
    OptModel* model = m_pObjective ? m_pObjective->Owner() : nullptr;
    CadInterface* cad = CadInterface::GetCurrent();
    AnlResltCase* own = cad ? cad->GetObjectiveResultCase(m_pObjective) : nullptr;
    bool anyValid = false;
    for (AnlResltCase* rc = model ? model->FirstAnlResultCase(1) : nullptr; rc; rc = model->NextAnlResultCase()) {
      if (static_cast<int>(rc->Type()) != ResultSetTypeFor(type)) continue;
      anyValid = true;
      if (rc == own) chosen = rc->Name().Text();
    }
    if (!anyValid) chosen.Empty();
  }
  m_pResultSetPage->m_strResultSet = chosen;
}

void COptObjPP::UpdateTarget() {
  if (!m_bConcept) return;
  CString text;
  GetDlgItemText(IDC_OPT_OBJ_TARGET, text);
  double target = 0.0;
  // Text that is no number is left as it is: nothing is computed from it.
  const bool isNumber = ReadNumber(text, target);
  const double total = PartVolume();
  const bool converting = m_nRadio == kConverting && isNumber && total != 0.0;
  const auto* percent = static_cast<CButton*>(GetDlgItem(IDC_OPT_OBJ_FIRST));
  CString unit;
  if (percent && percent->GetCheck() == BST_CHECKED) {
    unit = "%";
    if (converting) CadSetDlgItemValue(text, this, IDC_OPT_OBJ_TARGET, target / total * 100.0, kPercentDigits);
  } else {
    unit = VolumeUnitText();
    if (converting) CadSetDlgItemValue(text, this, IDC_OPT_OBJ_TARGET, total * target / 100.0, kVolumeDigits);
  }
  SetDlgItemText(IDC_OPT_OBJ_TARGET_UNIT, unit);
}

void COptObjPP::OnChoice(int choice) {
  if (choice == m_nRadio) return;
  m_nRadio = kConverting;
  UpdateTarget();
  m_nRadio = choice;
}

void COptObjPP::OnOK() {
  CPropertyPage::OnOK();
  if (m_bWizard || m_bConcept || !NeedsResultSet(ChosenResponseType()) || !m_pResultSetPage) return;
  const CString& name = m_pResultSetPage->m_strResultSet;
  if (name.IsEmpty() || name == resLoadString(IDS_OPT_NO_VALID_RESULT_SETS).Text()) {
    CadMessageBoxId(IDS_OPT_RESULT_SET_REQUIRED, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
    m_bMissingResultSet = TRUE;
  }
}

BOOL COptObjPP::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header && static_cast<int>(header->code) == PSN_HELP) {
    UIShowHelp(kHelpBase + m_nTemplateId, HELP_CONTEXT);
    return TRUE;
  }
  return CPropertyPage::OnNotify(wParam, lParam, result);
}

BEGIN_MESSAGE_MAP(COptObjResCasePP, CPropertyPage)
ON_BN_CLICKED(IDC_OPT_OBJ_DEFINE, OnDefine)
END_MESSAGE_MAP()

COptObjResCasePP::COptObjResCasePP() : CPropertyPage(IDD_OPT_OBJECTIVE_INPUT) { m_psp.dwFlags |= PSP_HASHELP; }

void COptObjResCasePP::DoDataExchange(CDataExchange* dx) {
  CPropertyPage::DoDataExchange(dx);
  DDX_CBString(dx, IDC_OPT_OBJ_RESULT_SETS, m_strResultSet);
}

void COptObjResCasePP::FillResultSets() {
  auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_OPT_OBJ_RESULT_SETS));
  if (!combo || !m_pObjectivePage) return;
  OptFunction* objective = m_pObjectivePage->m_pObjective;
  OptModel* model = objective ? objective->Owner() : nullptr;
  CadInterface* cad = CadInterface::GetCurrent();
  AnlResltCase* own = cad ? cad->GetObjectiveResultCase(objective) : nullptr;
  const int wanted = ResultSetTypeFor(m_pObjectivePage->ChosenResponseType());
  combo->ResetContent();
  int remembered = -1;
  for (AnlResltCase* rc = model ? model->FirstAnlResultCase(1) : nullptr; rc; rc = model->NextAnlResultCase()) {
    if (static_cast<int>(rc->Type()) != wanted) continue;
    const int added = combo->AddString(rc->Name().Text());
    if (rc == own) remembered = added;
  }
  // Each set is found by its own line: names that share a beginning or differ in case are others.
  if (combo->GetCount() > 0) {
    combo->SetCurSel(remembered >= 0 ? remembered : combo->GetCount() - 1);
    SetDlgItemText(IDC_OPT_OBJ_HINT, resLoadString(IDS_OPT_DEFINE_MORE_RESULT_SETS).Text());
    combo->EnableWindow(TRUE);
  } else {
    combo->SetCurSel(combo->AddString(resLoadString(IDS_OPT_NO_VALID_RESULT_SETS).Text()));
    combo->EnableWindow(FALSE);
    SetDlgItemText(IDC_OPT_OBJ_HINT, resLoadString(IDS_OPT_NO_RESULT_SETS_HINT).Text());
  }
  combo->GetLBText(combo->GetCurSel(), m_strResultSet);
}

BOOL COptObjResCasePP::OnSetActive() {
  FillResultSets();
  return CPropertyPage::OnSetActive();
}

void COptObjResCasePP::OnDefine() {
  if (!m_pObjectivePage) return;
  // The result set goes to the objective's own model, whichever model is current.
  OptFunction* objective = m_pObjectivePage->m_pObjective;
  UIOptNewResultSetIn(objective ? objective->Owner() : nullptr,
                      ResultSetTypeFor(m_pObjectivePage->ChosenResponseType()));
  FillResultSets();
  auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_OPT_OBJ_RESULT_SETS));
  if (combo && combo->IsWindowEnabled()) {
    combo->SetCurSel(combo->GetCount() - 1);
    combo->GetLBText(combo->GetCurSel(), m_strResultSet);
  }
}

BOOL COptObjResCasePP::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header && static_cast<int>(header->code) == PSN_HELP) {
    UIShowHelp(kHelpBase + IDD_OPT_OBJECTIVE_INPUT, HELP_CONTEXT);
    return TRUE;
  }
  return CPropertyPage::OnNotify(wParam, lParam, result);
}
