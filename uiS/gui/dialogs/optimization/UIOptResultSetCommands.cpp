// "CAEP_OPT_ANLRES_CASE" and the "Define..." buttons of the objective and constraint pages: new
// analysis result sets of an optimisation model, one after the other while the user presses
// "&Add"; the Explorer's Properties action changes one.
#include <memory>
#include <vector>

#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "cadInterface/CadUiServices.h"
#include "fea/AnlControl.h"
#include "fea/AnlResltCase.h"
#include "fea/AttLbcCase.h"
#include "fea/OptModel.h"
#include "gui/dialogs/optimization/UIOptCommands.h"
#include "gui/dialogs/optimization/UIOptResultSetDlg.h"

namespace {

constexpr int kPickMayAskAndMakeCurrent = 3;  // UIPickOptModel flags
constexpr double kUnitScale = 1.0;

UINT TypeWord(int type) {
  if (type == AnlResltModal) return IDS_TYPE_VIBRATION;
  if (type == AnlResltBuckling) return IDS_TYPE_BUCKLING;
  return IDS_TYPE_STRESS;
}

// The committed cases of the dialog's tree, deleted when this goes.
struct CommittedCases {
  std::vector<std::unique_ptr<AnlResltCase>> cases;
  explicit CommittedCases(std::vector<AnlResltCase*>& taken) {
    for (AnlResltCase* resultCase : taken) cases.emplace_back(resultCase);
    taken.clear();
  }
};

// A result set that changes its analysis type is no longer one the constraints and the
// objective can read: they let go of it before it is replaced.
void ReleaseFromFunctions(OptModel& model, AnlResltCase& old) {
  std::vector<OptConstraint*> constraints;
  for (OptConstraint* constraint = model.FirstConstraint(1); constraint; constraint = model.NextConstraint())
    constraints.push_back(constraint);
  for (OptConstraint* constraint : constraints) constraint->RemoveFromResultCase(&old);
  OptObjective* objective = model.Objective();
  CadInterface* cad = CadInterface::GetCurrent();
  if (objective && cad && cad->GetObjectiveResultCase(objective) == &old) {
    OptObjective cleared(objective->Name(), objective->ResponseType());
    cleared.Owner(&model);
    cleared.GenericIVal(objective->GenericIVal());
    cleared.GenericFVal(objective->GenericFVal());
    cleared.ModeNumber(objective->ModeNumber());
    cad->ReplaceObjective(objective, &cleared);
  }
}

}  // namespace

CaeString UIOptDefaultAnalysisResultSetName(OptModel& model, int type) {
  return CaeString::Format("%s%s%d", resLoadString(TypeWord(type)).Text(), resLoadString(IDS_RESULT_SET_NAME).Text(),
                           model.NumAnlResultCases() + 1);
}

int UIOptResultSetDialog(OptModel* model, AnlResltCase* resultCase, int modify) {
  if (!model || !resultCase) return 0;
  CAddResultSetDlg dialog;
  dialog.m_pResultCase = resultCase;
  dialog.m_nMode = modify ? CAddResultSetDlg::kModify : CAddResultSetDlg::kAdd;
  dialog.m_nAddState = modify ? 0 : 1;
  dialog.m_tree.SimulationType = static_cast<int>(resultCase->Type());
  const INT_PTR ended = dialog.DoModal();
  CommittedCases committed(dialog.m_tree.ResultCases);
  if (ended != IDOK || committed.cases.empty()) return 0;
  AnlResltCase* edited = committed.cases.front().get();
  CadInterface& cad = *CadInterface::GetCurrent();
  if (modify) {
    if (edited->Type() != resultCase->Type()) ReleaseFromFunctions(*model, *resultCase);
    cad.ReplaceAnalysisResultCase(model, resultCase, edited);
    return 1;
  }
  cad.AddAnalysisResultCase(model, edited);
  return dialog.m_nAddState;
}

int UIOptNewResultSetIn(OptModel* model, int type) {
  if (!model) return 0;
  AnlControl* control = CadCurrentAnlControl();
  AttLbcCase* loads = control ? control->CurrentLoadCase() : nullptr;
  if (control && !loads) loads = control->FirstLoadCase();
  AttLbcCase* restraints = control ? control->CurrentRestraintCase() : nullptr;
  if (control && !restraints) restraints = control->FirstRestraintCase();
  int again = 0;
  int added = 0;
  do {
    AnlResltCase resultCase(UIOptDefaultAnalysisResultSetName(*model, type), 1);
    resultCase.Type(static_cast<AnlResltType>(type));
    if (type != AnlResltModal && loads) resultCase.AddLoadCase(loads, kUnitScale);
    if (restraints) resultCase.AddBoundaryCase(restraints, kUnitScale);
    const int before = model->NumAnlResultCases();
    again = UIOptResultSetDialog(model, &resultCase, 0);
    added += model->NumAnlResultCases() - before;
  } while (again);
  return added;
}

int UIOptNewResultSet(int type) {
  OptModel* model = UIPickOptModel(CaeOptShape, kPickMayAskAndMakeCurrent);
  if (!model) {
    CadMessageBoxId(IDS_OPT_MODEL_REQUIRED, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
    return 0;
  }
  return UIOptNewResultSetIn(model, type);
}
