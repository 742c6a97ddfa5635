#include "gui/wizard/UIAnalysisWizard.h"

#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "fea/AmgMesh.h"
#include "gui/dialogs/model/UIModelTypes.h"
#include "gui/utils/UINotAvailable.h"
#include "gui/wizard/UIWizBasePP.h"
#include "mfc/afx.h"
#include "res/ResourceIds.h"

namespace {

// The p-orders and error tolerance of a mesh made in the guide, and its shell thickness.
constexpr int kWizardPStart = 3;
constexpr int kWizardPMax = 10;
constexpr double kWizardPTolerance = 0.1;
constexpr double kWizardShellThickness = 0;

}  // namespace

int UIRunAnalysisWizard(int kind) {
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad || !cad->CanStartCommand(1)) return 0;
  ResourceSetter resources(1);
  OSVERSIONINFO version;
  GetVersionEx(&version);
  CWizBasePP::SetUseTemplateCopy(version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS);
  // The guide sheet comes with the guided-wizards subsystem; until then nothing more is shown.
  UINotAvailableYet(resLoadString(UIGuideNameId(kind)).c_str());
  return 0;
}

int UICmdStressWizard() { return UIRunAnalysisWizard(0); }
int UICmdVibWizard() { return UIRunAnalysisWizard(1); }
int UICmdBuckWizard() { return UIRunAnalysisWizard(2); }
int UICmdThermWizard() { return UIRunAnalysisWizard(3); }

int UIRunProblemDefinitionWizard() { return UINotAvailableYet("The problem definition step"); }
int UIRunUnitsWizard() { return UINotAvailableYet("The units step"); }
int UIRunLoadWizard() { return UINotAvailableYet("The loads step"); }
int UIRunRestraintsWizard() { return UINotAvailableYet("The restraints step"); }
int UIRunMaterialsWizard() { return 0; }
int UIRunMeshStep() { return UINotAvailableYet("The mesh step"); }
int UIRunAnalyzeStep() { return UINotAvailableYet("The analyze step"); }
int UIRunResultsStep() { return UINotAvailableYet("The results step"); }

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
