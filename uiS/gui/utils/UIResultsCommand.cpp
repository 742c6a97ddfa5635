#include "gui/utils/UIResultsCommand.h"

#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/FerResult.h"
#include "mfc/afx.h"
#include "mfc/services.h"
#include "res/ResourceIds.h"

int UIRunResultsCommand(const std::function<void()>& showDialog) {
  ResourceSetter resources(1);
  if (!CadHasCurrentResultSet()) {
    CadMessageBoxId(IDS_MODEL_WITH_RESULTS_REQUIRED, MB_OK);
    return 1;
  }
  showDialog();
  return 0;
}

void UIOpenWrittenFile(CDialog& dialog, const char* path) {
  ShellExecute(nullptr, nullptr, path, nullptr, nullptr, SW_SHOWNORMAL);
  dialog.EndDialog(IDOK);
}

CString UIResultsDefaultFile(unsigned extensionId) {
  AnlControl* control = CadCurrentAnlControl();
  CString name;
  if (FerResultSet* set = control ? control->CurrentResultSet() : nullptr)
    name = set->Name().Text();
  else if (AnlModel* model = control ? control->CurrentAnlModel() : nullptr)
    name = model->Name().Text();
  return name + "." + resLoadString(extensionId).c_str();
}
