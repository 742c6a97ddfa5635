#include "gui/commands/UICommandHandlers.h"

#include <memory>

#include "amg/CaeList.h"
#include "amg/CaeString.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadMaterialLibrary.h"
#include "cadInterface/CadResources.h"
#include "res/ResourceIds.h"

namespace {

int box(unsigned stringId) {
  CadMessageBoxId(stringId, MB_TASKMODAL);
  return 0;
}

// Hands a library back to the CAD that made it (its DeleteObject knows the real type).
struct ReturnLibrary {
  CadInterface* cad;
  void operator()(MaterialLibrary* library) const { cad->DeleteObject(library); }
};

// True when the library at the configured location holds at least one material.
bool materialLibraryUsable(CadInterface& cad) {
  CaeString path;
  cad.MaterialLibraryLocation(path);
  const std::unique_ptr<MaterialLibrary, ReturnLibrary> library(cad.OpenMaterialLibrary(path), ReturnLibrary{&cad});
  if (!library) return false;
  CaeOwningList<CaeString> names;
  library->ListNames(names);
  return names.Count() > 0;
}

}  // namespace

int UICmdMesh() {
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad) return 0;
  if (!CadHasCurrentModel() || CadCountResultSets() != 0) return box(IDS_MODEL_WITHOUT_RESULTS_REQUIRED);
  if (!materialLibraryUsable(*cad)) return box(IDS_MATERIAL_LIBRARY_REQUIRED);
  if (!cad->IsGeometryValid()) return box(IDS_INVALID_GEOMETRY);
  UIMeshAdd();
  return 0;
}

int UICmdTopics() {
  UIShowHelp(0, HELP_FINDER);
  return 0;
}

int UICmdUndo() {
  if (CadInterface* cad = CadInterface::GetCurrent()) cad->UndoLastStep();
  return 0;
}

int UICmdLoadTab() {
  UIAttNew(0);
  return 0;
}

int UICmdRestTab() {
  UIAttNew(1);
  return 0;
}

int UICmdThermTab() {
  UIAttNew(2);
  return 0;
}

int UICmdLoadImport() { return box(IDS_NOT_YET_SUPPORTED); }

int UICmdResultsTab() {
  UIShowResultsSheet();
  return 0;
}

int UICmdOptWizard() { return UIOptWizardCommand(0); }
int UICmdOptWizardTopo() { return UIOptWizardCommand(1); }
int UICmdOptModel() { return UIOptEditModel(0, nullptr, 0); }
int UICmdOptModelTopo() { return UIOptEditModel(1, nullptr, 0); }
int UICmdOptObjective() { return UIOptEditObjective(0); }
int UICmdOptObjectiveTopo() { return UIOptEditObjective(1); }
int UICmdOptVariable() { return UIOptDefineVariable(0, 0); }
int UICmdOptAnlResCase() { return UIOptNewResultSet(0); }
int UICmdOptConstraint() { return UIOptNewConstraint(0); }
int UICmdOptConstraintTopo() { return UIOptNewConstraint(1); }
int UICmdOptSubmit() { return UIOptSubmit(0); }
int UICmdOptSubmitTopo() { return UIOptSubmit(1); }
int UICmdOptUpdateModel() { return UIOptUpdateModel(); }
int UICmdOptHistoryGraph() { return UIOptHistoryGraphCommand(0); }
int UICmdOptSensitivityGraph() { return UIOptSensitivityGraphCommand(); }
int UICmdOptLocalTrendGraph() { return UIOptLocalTrendGraphCommand(); }
int UICmdOptResTab() { return UIOptShowResults(0, 1); }
int UICmdOptResTabTopo() { return UIOptShowResults(1, 1); }
