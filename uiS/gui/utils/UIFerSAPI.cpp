#include "gui/utils/UIFerSAPI.h"

#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "gui/utils/UINotAvailable.h"

int UIWriteVrml() { return UINotAvailableYet("CAEP_WRITE_VRML"); }
int UIPrintSetup() { return UINotAvailableYet("Print setup"); }
int UIPrintResults() { return UINotAvailableYet("Printing results"); }
void UIFreePrintSetup() {}
void UIShowResultsSheet() { UINotAvailableYet("CAEP_RESULTS_TAB"); }

void UISetResultSet(const CaeString& name) {
  AnlControl* control = AnlControl::GetCurrent();
  if (!control) return;
  AnlModel* model = control->CurrentAnlModel();
  FerResultSet* resultSet = model ? model->FindResultSet(name) : nullptr;
  if (resultSet) {
    control->SetCurrentResultSet(resultSet);
  } else {
    control->ClearCurrentResultSet();
  }
}
