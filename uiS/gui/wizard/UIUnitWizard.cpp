#include "gui/wizard/UIUnitWizard.h"

#include "amg/CaeUnit.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "gui/dialogs/units/UIUnitsDlg.h"
#include "gui/wizard/UIProbDefWizard.h"
#include "gui/wizard/UIWizard.h"
#include "res/ResourceIds.h"

namespace {
constexpr int kStepUnits = 2;
constexpr DWORD kHelpTemplateBase = 0x20000;
}  // namespace

BEGIN_MESSAGE_MAP(CUnit_SetPP, CWizBasePP)
ON_BN_CLICKED(IDC_UNITWIZ_SI_M, OnSIm)
ON_BN_CLICKED(IDC_UNITWIZ_CGS, OnCgs)
ON_BN_CLICKED(IDC_UNITWIZ_ENGLISH, OnEnglish)
ON_BN_CLICKED(IDC_UNITWIZ_SI_CM, OnSIcm)
ON_BN_CLICKED(IDC_UNITWIZ_CUSTOM, OnCustom)
END_MESSAGE_MAP()

CUnit_SetPP::CUnit_SetPP() : CWizBasePP(IDD_UNIT_WIZARD) { m_psp.dwFlags |= PSP_HASHELP; }

void CUnit_SetPP::DoDataExchange(CDataExchange* dx) {
  CWizBasePP::DoDataExchange(dx);
  DDX_Radio(dx, IDC_UNITWIZ_SI_M, system);
  DDX_CBString(dx, IDC_UNITWIZ_ANGLE, angle);
  DDX_CBString(dx, IDC_UNITWIZ_ENERGY, energy);
  DDX_CBString(dx, IDC_UNITWIZ_FORCE, force);
  DDX_CBString(dx, IDC_UNITWIZ_LENGTH, length);
  DDX_CBString(dx, IDC_UNITWIZ_MASS, mass);
  DDX_CBString(dx, IDC_UNITWIZ_TEMPERATURE, temperature);
  DDX_CBString(dx, IDC_UNITWIZ_TIME, time);
  DDX_CBString(dx, IDC_UNITWIZ_FREQUENCY, frequency);
}

BOOL CUnit_SetPP::OnInitDialog() {
  CWizBasePP::OnInitDialog();
  UIUnitsFillCombos(this);
  UIUnitsSelectSystem(this, UIUnitsHost, FALSE);
  system = UIUnitsDetectHostSystem();
  UIUnitsSelectSystem(this, system, FALSE);
  UpdateData(FALSE);
  return TRUE;
}

void CUnit_SetPP::OnSystemChosen(int chosen) {
  system = chosen;
  UIUnitsSelectSystem(this, chosen, FALSE);
  UpdateData(FALSE);
}

BOOL CUnit_SetPP::OnSetActive() {
  if (CPropertySheet* owner = sheet()) owner->SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
  endedByBack_ = FALSE;
  return CWizBasePP::OnSetActive();
}

LRESULT CUnit_SetPP::OnWizardBack() {
  endedByBack_ = TRUE;
  if (CPropertySheet* owner = sheet()) owner->EndDialog(-1);
  return -1;
}

void CUnit_SetPP::MakeHostSystem() {
  const CaeUnitStrTable* table = CaeUnitStrTable::GetCurrent();
  CadInterface* cad = CadInterface::GetCurrent();
  if (!table || !cad) return;
  auto id = [table](const CString& text) { return table->StringToId(CaeString(text)); };
  // The drawing's data owns the new system and frees the one it replaces: nothing is freed here.
  cad->SetHostUnitSystem(new CadUnitSystem(id(length), id(angle), id(temperature), id(force), id(mass), id(time),
                                           id(energy), id(frequency)));
}

BOOL CUnit_SetPP::OnWizardFinish() {
  if (!endedByBack_) {
    if (auto* owner = dynamic_cast<CUnitWizPS*>(sheet())) owner->finished = TRUE;
    UISetWizardTabState(kStepUnits, 1);
    UpdateData(TRUE);
    MakeHostSystem();
  }
  return CWizBasePP::OnWizardFinish();
}

BOOL CUnit_SetPP::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header && header->code == static_cast<UINT>(PSN_HELP)) {
    UIShowHelp(kHelpTemplateBase + IDD_UNIT_WIZARD, HELP_CONTEXT);
    *result = 1;
    return TRUE;
  }
  return CWizBasePP::OnNotify(wParam, lParam, result);
}

CUnitWizPS::CUnitWizPS(const char* caption, CWnd* parent, UINT firstPage) : CPropertySheet(caption, parent, firstPage) {
  AddPage(&page_);
}

BOOL CUnitWizPS::OnInitDialog() {
  const BOOL result = CPropertySheet::OnInitDialog();
  UIOpenStepWizardOverGuide(*this);
  return result;
}
