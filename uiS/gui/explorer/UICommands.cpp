#include "gui/explorer/UICommands.h"

#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadInterface.h"
#include "fea/AnlControl.h"
#include "fea/AnlJob.h"
#include "fea/AnlModel.h"
#include "fea/OptModel.h"
#include "gui/utils/UINotAvailable.h"
#include "mfc/wintypes.h"
#include "res/ResourceIds.h"

int UICmdStressWizard() { return UINotAvailableYet("CAEP_STRESS_WIZARD"); }
int UICmdVibWizard() { return UINotAvailableYet("CAEP_VIB_WIZARD"); }
int UICmdBuckWizard() { return UINotAvailableYet("CAEP_BUCK_WIZARD"); }
int UICmdThermWizard() { return UINotAvailableYet("CAEP_THERM_WIZARD"); }
int UICmdMateRel() { return UINotAvailableYet("CAEP_MATE_REL"); }
int UICmdAnalyze() { return UINotAvailableYet("CAEP_ANALYZE"); }
int UICmdExplorer() { return UINotAvailableYet("CAEP_EXPLORER"); }
int UICmdWriteSummary() { return UINotAvailableYet("CAEP_WRITE_SUMMARY"); }

int UIRunProblemDefinitionWizard() { return UINotAvailableYet("The problem definition step"); }
int UIRunUnitsWizard() { return UINotAvailableYet("The units step"); }
int UIRunLoadWizard() { return UINotAvailableYet("The loads step"); }
int UIRunRestraintsWizard() { return UINotAvailableYet("The restraints step"); }
int UIRunMaterialsWizard() { return 0; }
int UIRunMeshStep() { return UINotAvailableYet("The mesh step"); }
int UIRunAnalyzeStep() { return UINotAvailableYet("The analyze step"); }
int UIRunResultsStep() { return UINotAvailableYet("The results step"); }

int UICmdResultsRequired() {
  if (!CadHasCurrentResultSet()) {
    CadMessageBoxId(IDS_MODEL_WITH_RESULTS_REQUIRED, MB_TASKMODAL);
    return 1;
  }
  if (CadInterface* cad = CadInterface::GetCurrent()) cad->RunResultsCommand();
  return 0;
}
