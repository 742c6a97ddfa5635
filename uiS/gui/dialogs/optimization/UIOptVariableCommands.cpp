// "CAEP_OPT_VARIABLE", the wizard's variable step and the Explorer's edit of a design variable:
// the "Design Variable" sheet filled from an in-memory variable and committed through the CAD
// interface, which owns the drawing's variables.
#include <memory>

#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "fea/OptModel.h"
#include "gui/dialogs/optimization/UIOptCommands.h"
#include "gui/dialogs/optimization/UIOptVarPP.h"
#include "gui/dialogs/units/UIGenericPS.h"

namespace {

constexpr int kTabIconSize = 16;
constexpr int kNamesFromGlobals = 1;  // CadInterface::ParameterMode

// Set when the wizard added a variable; what the wizard's step answers when it stops early.
int optVariableAdded = 0;

// The drawing's global parameters that no design variable bears (exact names); -1 after the
// command has said why there is none to define.
int FreeGlobalParameters() {
  int all = 0;
  const int free = static_cast<int>(UIOptFreeGlobalParameters(&all).size());
  if (all <= 0 || free == 0) {
    CadMessageBoxId(all <= 0 ? IDS_OPT_NO_GLOBAL_PARAMS : IDS_OPT_ALL_PARAMS_USED, MB_OK | MB_TASKMODAL);
    return -1;
  }
  return free;
}

}  // namespace

void UIOptResetVariableState() { optVariableAdded = 0; }

int UIOptVariableSheet(OptVariable* variable, COptVarPP* page, AmiParamKey* key, int modify, int wizard) {
  if (!variable || !page) return 0;
  CGenericPS sheet(modify ? IDS_OPT_MODIFY_VARIABLE : IDS_OPT_ADD_VARIABLE);
  COptMorePP more(IDD_OPT_MORE_VARIABLES);
  sheet.AddPage(page);
  page->m_bWizard = wizard ? TRUE : FALSE;
  page->m_strUnitText = variable->UnitText().Text();
  page->SetMode(variable->UnitType());
  if (wizard) {
    sheet.AddPage(&more);
    sheet.SetWizardMode();
  } else {
    if (page->m_nApplyState < 0) sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
    sheet.CreateTabImageList(kTabIconSize);
    sheet.AddTabIcon(IDI_EXP_VARIABLE);
    sheet.m_bShowTabIcons = TRUE;
  }
  page->m_strName = variable->Name().Text();
  page->m_dInitial = variable->InitialValue();
  variable->Bounds(page->m_dLower, page->m_dUpper);

  if (sheet.DoModal() != (wizard ? ID_WIZFINISH : IDOK)) return 0;

  CadInterface& cad = *CadInterface::GetCurrent();
  std::unique_ptr<OptVariable> replacement(modify ? new OptVariable : nullptr);
  OptVariable& target = modify ? *replacement : *variable;
  target.UnitType(static_cast<CaeUnitType>(page->GetMode()));
  target.InitialValue(page->m_dInitial);
  target.SetBounds(page->m_dLower, page->m_dUpper);
  // A variable whose parameter is gone cannot be rebound; a new one takes the chosen parameter.
  if (!key && modify) return 0;
  if (!key) key = cad.FindGlobalParam(CaeString(static_cast<const char*>(page->m_strName)));
  if (!key) return 0;
  CaeString name;
  target.SetName(cad.GetParamName(name, key));
  if (modify) {
    cad.ReplaceDesignVariable(variable, &target, key);
  } else {
    cad.CreateDesignVariable(variable, key);
    if (wizard) cad.RebuildExplorer();
  }
  if (wizard) page->m_nApplyState = more.m_bYes;
  return 1;
}

int UIOptEditParameterVariable(OptVariable* variable, AmiParamKey* key, int modify) {
  if (!variable) return 0;
  CadInterface* cad = CadInterface::GetCurrent();
  COptVarPP page(IDD_OPT_VARIABLE);
  if (!key) key = cad->VariableParameterKey(variable);
  page.m_bNamesFromGlobals = cad->ParameterMode() == kNamesFromGlobals;
  page.m_bNewVariable = FALSE;
  page.m_nApplyState = 0;
  page.m_bShowConvert = TRUE;
  return UIOptVariableSheet(variable, &page, key, modify, 0);
}

int UIOptDefineVariable(int, int wizard) {
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad) return 0;
  if (!wizard || !cad->IsRequestPending()) optVariableAdded = 0;
  int again = 0;
  do {
    OptVariable variable;
    COptVarPP page(wizard ? IDD_OPT_VARIABLE_WIZARD : IDD_OPT_VARIABLE);
    page.m_bNewVariable = TRUE;
    page.m_bNamesFromGlobals = cad->ParameterMode() == kNamesFromGlobals;
    if (page.m_bNamesFromGlobals) {
      const int free = FreeGlobalParameters();
      if (free < 0) return optVariableAdded;
      // "&Add" is offered only while another parameter remains.
      page.m_nApplyState = free - 1;
    }
    if (!UIOptVariableSheet(&variable, &page, nullptr, 0, wizard)) return optVariableAdded;
    if (wizard) optVariableAdded = 1;
    again = page.m_nApplyState;
  } while (again != 0);
  return 1;
}
