#include "gui/dialogs/model/UIConvertModelDlg.h"

#include "cadInterface/CadDocServices.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "gui/dialogs/model/UIModelTypes.h"
#include "gui/wizard/UIWizard.h"

namespace {

// The guide's steps this dialog marks.
constexpr int kStepIntroduction = 0;
constexpr int kStepLoads = 3;
constexpr int kStepRestraints = 4;
constexpr int kStepAnalyze = 6;
constexpr int kStepResults = 7;

CaeString Text(UINT id) { return id ? resLoadString(id) : CaeString(); }

}  // namespace

BEGIN_MESSAGE_MAP(CConvertModelDlg, CDialog)
ON_BN_CLICKED(IDC_CONVERT, OnConvert)
ON_BN_CLICKED(IDC_CONVERT_NEW, OnNew)
ON_BN_CLICKED(IDC_MODEL_HELP, OnHelp)
END_MESSAGE_MAP()

CConvertModelDlg::CConvertModelDlg(CWnd* parent) : CDialog(kTemplateId, parent) {}

BOOL CConvertModelDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SetDlgItemText(IDC_CONVERT_CURRENT_TYPE, Text(UIModelTypeNameId(currentType)).c_str());
  SetDlgItemText(IDC_CONVERT_TARGET_TYPE, Text(UIModelTypeNameId(targetType)).c_str());
  SetDlgItemText(IDC_CONVERT_TARGET_GUIDE, Text(UIGuideNameId(targetType)).c_str());
  return TRUE;
}

void CConvertModelDlg::OnConvert() {
  CadOpenModel(CadCurrentModelName(), targetType);
  if (CadInterface* cad = CadInterface::GetCurrent()) cad->ShowResultsWindow(0);
  UISetWizardTabState(kStepLoads, CadLoadCaseHasLoads());
  UISetWizardTabState(kStepRestraints, CadRestraintCaseHasRestraints());
  UISetWizardTabState(kStepAnalyze, 0);
  UISetWizardTabState(kStepResults, 0);
  EndDialog(IDOK);
}

void CConvertModelDlg::OnNew() {
  CadCloseModel();
  CadCloseLoadCase();
  CadCloseRestraintCase();
  UIResetWizardSteps(0);
  UISetWizardTabState(kStepIntroduction, 0);
  if (CadInterface* cad = CadInterface::GetCurrent()) cad->FlushGraphics();
  EndDialog(IDOK);
}

void CConvertModelDlg::OnHelp() { UIShowHelp(kHelpContext, HELP_CONTEXT); }
