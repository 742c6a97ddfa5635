#include "gui/dialogs/units/UISetupState.h"

#include "gui/dialogs/units/UIGenericPS.h"
#include "gui/dialogs/units/UISetupPS.h"
#include "gui/dialogs/units/UISymbolPP.h"
#include "gui/optwizard/UIOptWizardKind.h"

void UISetupResetModuleState() {
  UIResetSheetPositions();
  UIResetSymbolDefaults();
  UIResetOptWizardKind();
  UISetupActivePage = 0;
  UICurrentMaterialName.Empty();
}
