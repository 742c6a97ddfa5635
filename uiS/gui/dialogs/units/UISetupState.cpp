#include "gui/dialogs/units/UISetupState.h"

#include "gui/dialogs/analysis/UISubmitAnalysis.h"
#include "gui/dialogs/analysis/UISubmitExecPP.h"
#include "gui/dialogs/lbc/UIAttCommands.h"
#include "gui/dialogs/mesh/UIMeshPS.h"
#include "gui/dialogs/model/UIMateRelPP.h"
#include "gui/dialogs/optimization/UIOptResultGraphs.h"
#include "gui/dialogs/optimization/UIOptResults.h"
#include "gui/dialogs/results/UIResTabPS.h"
#include "gui/dialogs/units/UIGenericPS.h"
#include "gui/dialogs/units/UISetupPS.h"
#include "gui/dialogs/units/UISymbolPP.h"
#include "gui/doctor/UIDocTests.h"
#include "gui/optwizard/UIOptWizardKind.h"

void UISetupResetModuleState() {
  UIResetSheetPositions();
  UIResetSymbolDefaults();
  UIResetOptWizardKind();
  UIResetSubmittedJobName();
  UISetSubmitClock(nullptr);
  UIAttResetModuleState();
  UIMeshResetModuleState();
  UIMateRelRememberedColor() = 1;
  UISetupActivePage = 0;
  UICurrentMaterialName.Empty();
  UIResetResultsSheetPage();
  UIDocResetModuleState();
  UIOptResetGraphState(0);
  UIOptResetUpdateMeshChoice();
}
