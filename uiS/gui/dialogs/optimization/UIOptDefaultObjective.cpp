#include "gui/dialogs/optimization/UIOptDefaultObjective.h"

#include "fea/OptModel.h"

namespace {

// The part of its volume a new Concept objective keeps.
constexpr double kConceptTargetFraction = 0.75;

}  // namespace

void UIOptDefaultObjective(OptFunction* objective) {
  OptModel* model = objective ? objective->Owner() : nullptr;
  if (!model) return;
  objective->GenericIVal(0);
  if (model->Type() == CaeOptShape) {
    objective->ResponseType(OptMass);
    return;
  }
  objective->ResponseType(OptVolume);
  objective->GenericFVal(kConceptTargetFraction);
}
