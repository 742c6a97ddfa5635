#include "gui/wizard/UIAnalysisWizard.h"

#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadCommands.h"
#include "cadInterface/CadDocServices.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "fea/AmgMesh.h"
#include "gui/commands/UICommandHandlers.h"
#include "gui/dialogs/mesh/UIMeshPS.h"
#include "gui/dialogs/model/UIConvertModelDlg.h"
#include "gui/dialogs/units/UIMaterialPP.h"
#include "gui/doctor/UIDoctor.h"
#include "gui/explorer/UICommands.h"
#include "gui/wizard/UILoadWizard.h"
#include "gui/wizard/UIMeshWizard.h"
#include "gui/wizard/UIProbDefWizard.h"
#include "gui/wizard/UIRestraintWizard.h"
#include "gui/wizard/UIUnitWizard.h"
#include "gui/wizard/UIWizBasePP.h"
#include "gui/wizard/UIWizPS.h"
#include "gui/wizard/UIWizard.h"
#include "mfc/afx.h"
#include "res/ResourceIds.h"

namespace {

// The p-orders and error tolerance of a mesh made in the guide, and its shell thickness.
constexpr int kWizardPStart = 3;
constexpr int kWizardPMax = 10;
constexpr double kWizardPTolerance = 0.1;
constexpr double kWizardShellThickness = 0;

constexpr int kStepUnits = 2;
constexpr int kStepAnalyze = 6;
constexpr int kStepResults = 7;

// The guide is hidden while a step's dialogs run and shown again afterwards, unless the step
// parked a pick (the pick's prompt is then what the user sees).
class GuideHiddenDuringStep {
 public:
  GuideHiddenDuringStep() : guide_(UIGetGuideSheet()) {
    if (guide_ && guide_->m_hWnd) guide_->ShowWindow(SW_HIDE);
  }
  ~GuideHiddenDuringStep() {
    CAnlWizPS* guide = UIGetGuideSheet();  // the step may have replaced it
    if (guide && guide == guide_ && guide->m_hWnd && !cmdIsPickPending()) guide->ShowWindow(SW_SHOW);
  }
  GuideHiddenDuringStep(const GuideHiddenDuringStep&) = delete;
  GuideHiddenDuringStep& operator=(const GuideHiddenDuringStep&) = delete;

 private:
  CAnlWizPS* guide_;
};

void MoveGuideOn() {
  CAnlWizPS* guide = UIGetGuideSheet();
  if (guide && guide->m_hWnd && guide->GetActiveIndex() + 1 < guide->GetPageCount())
    guide->SetActivePage(guide->GetActiveIndex() + 1);
}

// The analysis kind the task wizards work for: the guide's (stress before any guide).
int GuideAnalysisKind() { return UIGetWizardKind() < 0 ? 0 : UIGetWizardKind(); }

// The conversion dialog when the current model is of another kind; false when it was cancelled.
bool OfferConversion(int kind) {
  if (!CadHasCurrentModel()) return true;
  const int current = CadCurrentModelType();
  if (current == kind) return true;
  CConvertModelDlg dialog;
  dialog.currentType = current;
  dialog.targetType = kind;
  return dialog.DoModal() != IDCANCEL;
}

}  // namespace

int UIRunAnalysisWizard(int kind) {
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad || !cad->CanStartCommand(1)) return 0;
  ResourceSetter resources(1);
  OSVERSIONINFO version;
  GetVersionEx(&version);
  const bool windows9x = version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
  CWizBasePP::SetUseTemplateCopy(windows9x);
  if (!OfferConversion(kind)) return 0;
  if (CAnlWizPS* guide = UIGetGuideSheet(); guide && guide->Kind() != kind) UIDestroyWizardSheet();
  CAnlWizPS* guide = UIGetGuideSheet();
  if (!guide) {
    CWnd* main = CWnd::FromHandle(cad->GetMainWindow());
    guide = new CAnlWizPS(resLoadString(IDS_GUIDE_CAPTION).c_str(), windows9x ? 1 : 0, kind, main, 0);
    if (!guide->CreateModeless()) {
      guide->Destroy();
      return 0;
    }
  } else {
    guide->ShowStep(UIGetWizardStep());
  }
  guide->AnalyzePage().MaterialName = UICurrentMaterialName;
  guide->ShowWindow(SW_SHOW);
  guide->SetActiveWindow();
  guide->SetFocus();
  cad->RefreshAfterCommand();
  return 0;
}

int UICmdStressWizard() { return UIRunAnalysisWizard(0); }
int UICmdVibWizard() { return UIRunAnalysisWizard(1); }
int UICmdBuckWizard() { return UIRunAnalysisWizard(2); }
int UICmdThermWizard() { return UIRunAnalysisWizard(3); }

int UIRunProblemDefinitionWizard() {
  GuideHiddenDuringStep hidden;
  ResourceSetter resources(1);
  CPDWizPS sheet(resLoadString(IDS_PD_WIZARD_CAPTION).c_str(), nullptr, 0);
  sheet.SetWizardMode();
  sheet.finished = FALSE;
  sheet.DoModal();
  if (sheet.ModelPage().kind != -1) UISetWizardKind(sheet.ModelPage().kind);
  if (sheet.finished) MoveGuideOn();
  return 0;
}

int UIRunUnitsWizard() {
  GuideHiddenDuringStep hidden;
  ResourceSetter resources(1);
  CUnitWizPS sheet(resLoadString(IDS_UNIT_WIZARD_CAPTION).c_str(), nullptr, 0);
  sheet.SetWizardMode();
  sheet.finished = FALSE;
  sheet.DoModal();
  if (sheet.finished) {
    UISetWizardTabState(kStepUnits, 1);
    MoveGuideOn();
  }
  return 0;
}

int UIRunLoadWizard() {
  GuideHiddenDuringStep hidden;
  if (UIRunLoadSheet(GuideAnalysisKind())) MoveGuideOn();
  return 0;
}

int UIRunRestraintsWizard() {
  GuideHiddenDuringStep hidden;
  if (UIRunRestraintSheet(GuideAnalysisKind())) MoveGuideOn();
  return 0;
}

int UIRunMaterialsWizard() { return 0; }

int UIRunMeshStep() {
  GuideHiddenDuringStep hidden;
  // The analyze wizard needs a model to mesh and submit.
  if (!CadHasCurrentModel()) return 0;
  if (UIRunMeshWizard()) MoveGuideOn();
  return 0;
}

int UIRunAnalyzeStep() { return UIRunMeshStep(); }

int UIRunResultsStep() {
  {
    GuideHiddenDuringStep hidden;
    UIRunDoctorFromWizard();
  }
  if (!CadHasCurrentResultSet()) return 0;
  UISetWizardTabState(kStepResults, 1);
  CAnlWizPS* guide = UIGetGuideSheet();
  CPropertyPage* page = guide ? guide->GetActivePage() : nullptr;
  CWnd* finish = page ? page->GetDlgItem(IDC_GUIDE_FINISH) : nullptr;
  if (!finish) return 0;
  finish->EnableWindow(TRUE);
  finish->SetFocus();
  page->SendMessage(DM_SETDEFID, IDC_GUIDE_FINISH);
  return 0;
}

int UIGenerateWizardMesh(AmgMesh*& mesh, const char* material) {
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad || !mesh) return 0;
  cad->GenerateMesh(mesh, material, kWizardPStart, kWizardPMax, kWizardPTolerance, kWizardShellThickness);
  cad->FlushGraphics();
  return mesh && mesh->Successful() ? 1 : 0;  // a failed mesh is gone: never ask it
}

int UICmdResultsRequired() {
  if (!CadHasCurrentResultSet()) {
    CadMessageBoxId(IDS_MODEL_WITH_RESULTS_REQUIRED, MB_TASKMODAL);
    return 1;
  }
  if (CadInterface* cad = CadInterface::GetCurrent()) cad->RunResultsCommand();
  return 0;
}
