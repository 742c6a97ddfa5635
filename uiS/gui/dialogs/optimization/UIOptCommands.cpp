#include "gui/dialogs/optimization/UIOptCommands.h"

#include "gui/utils/UINotAvailable.h"

namespace {

const char* KindName(int kind, const char* shape, const char* conceptText) { return kind == 1 ? conceptText : shape; }

}  // namespace

int UIOptWizardCommand(int kind) {
  return UINotAvailableYet(KindName(kind, "The shape optimization wizard", "The Concept optimization wizard"));
}
int UIOptEditModel(int, OptModel*, int) { return UINotAvailableYet("Editing optimization models"); }
int UIOptEditObjective(int) { return UINotAvailableYet("Editing the objective"); }
int UIOptDefineVariable(const char*, int) { return UINotAvailableYet("Defining design variables"); }
int UIOptNewResultSet(int) { return UINotAvailableYet("New analysis result sets"); }
int UIOptNewConstraint(int kind) {
  return UINotAvailableYet(KindName(kind, "New design constraints", "New Concept controls"));
}
int UIOptSubmit(int kind) {
  return UINotAvailableYet(KindName(kind, "Submitting a shape optimization", "Submitting a Concept optimization"));
}
int UIOptUpdateModel() { return UINotAvailableYet("Updating the model"); }
int UIOptHistoryGraphCommand(int) { return UINotAvailableYet("The optimization history graph"); }
int UIOptSensitivityGraphCommand() { return UINotAvailableYet("The sensitivity graph"); }
int UIOptLocalTrendGraphCommand() { return UINotAvailableYet("The local trend graph"); }
int UIOptShowResults(int kind, int) {
  return UINotAvailableYet(KindName(kind, "Shape optimization results", "Concept optimization results"));
}
int UIOptWizardVariable() { return UINotAvailableYet("Defining design variables"); }
int UIOptWizardConstraint() { return UINotAvailableYet("New design constraints"); }
