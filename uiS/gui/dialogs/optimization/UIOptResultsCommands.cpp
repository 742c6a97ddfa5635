// "CAEP_OPT_UPDATE_MODEL" and the completed dialog's actions: a finished run kept, discarded or
// applied to the part.
#include <memory>
#include <string>
#include <vector>

#include "amg/CaeExcept.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "fea/AmgMesh.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/FerResult.h"
#include "fea/OptModel.h"
#include "gui/dialogs/optimization/UIOptCommands.h"
#include "gui/dialogs/optimization/UIOptCompletedDlg.h"
#include "gui/dialogs/optimization/UIOptResults.h"
#include "gui/utils/UIPickers.h"
#include "res/ResourceIds.h"

namespace {

constexpr int kWritingDesignVariables = 2;  // CadInterface part-update mode
constexpr int kNormalUpdates = 0;

// The "Update the mesh with the geometry" choice last made in Update Model.
int updateMeshChoice = 0;

void Refuse(UINT message) { CadMessageBoxId(message, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL); }

// The part-update mode for as long as this lives, whatever way the scope is left.
class UpdateModeScope {
 public:
  UpdateModeScope(CadInterface& cad, bool on) : cad_(cad), on_(on) {
    if (on_) cad_.SetDocControl(kWritingDesignVariables);
  }
  ~UpdateModeScope() {
    if (on_) cad_.SetDocControl(kNormalUpdates);
  }
  UpdateModeScope(const UpdateModeScope&) = delete;
  UpdateModeScope& operator=(const UpdateModeScope&) = delete;

 private:
  CadInterface& cad_;
  bool on_;
};

// The simulation model that was current before a command made another one current: made current
// again when the scope ends, on every path.
class CurrentModelScope {
 public:
  explicit CurrentModelScope(AnlControl* control) : control_(control) {
    if (control_) before_ = control_->CurrentAnlModel();
  }
  ~CurrentModelScope() {
    if (!control_ || control_->CurrentAnlModel() == before_) return;
    if (before_)
      control_->SetCurrentAnlModel(before_);
    else
      control_->ClearCurrentAnlModel();
  }
  CurrentModelScope(const CurrentModelScope&) = delete;
  CurrentModelScope& operator=(const CurrentModelScope&) = delete;

 private:
  AnlControl* control_;
  AnlModel* before_ = nullptr;
};

struct VariableValue {
  OptVariable* variable;
  double value;
};

// The live design variable for each of the run's variables, with its value at the cycle. A
// variable missing since the run asks whether to go on without it; false when the user stops.
bool MatchVariables(OptResultCase& resultCase, OptVariableSet& live, int cycle, std::vector<VariableValue>& matched) {
  for (int i = 0; i < resultCase.NumResultVariable(); ++i) {
    const OptResultData* record = resultCase.ResultVariable(i);
    OptVariable* found = nullptr;
    for (OptVariable* v = live.FirstVariable(); v && !found; v = live.NextVariable())
      if (std::string(v->Name().Text()) == record->Name().Text()) found = v;
    if (found) {
      matched.push_back({found, record->Value(cycle)});
      continue;
    }
    std::string text = resLoadString(IDS_OPT_VARIABLE_NOT_FOUND).Text();
    const size_t insert = text.find("%s");
    if (insert != std::string::npos) text.replace(insert, 2, record->Name().Text());
    if (CadMessageBoxText(text.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES) return false;
  }
  return true;
}

std::vector<FerResultSet*> LiveResultSets(AnlModel& model) {
  std::vector<FerResultSet*> live;
  for (int i = 0; i < model.NumResultSets(); ++i)
    if (FerResultSet* set = model.GetResultSet(i); set && !set->IsMarkedAsErased()) live.push_back(set);
  return live;
}

// Writes the values to the variables and the part; on failure the variables get their values back.
bool WriteValues(CadInterface& cad, const std::vector<VariableValue>& values, bool meshMode) {
  std::vector<double> before;
  for (const VariableValue& v : values) before.push_back(v.variable->InitialValue());
  bool written = false;
  try {
    for (const VariableValue& v : values) v.variable->InitialValue(v.value);
    UpdateModeScope mode(cad, meshMode);
    written = cad.SetDesignVariableValues(nullptr) != 0;
  } catch (...) {
    for (size_t i = 0; i < values.size(); ++i) values[i].variable->InitialValue(before[i]);
    throw;
  }
  if (!written)
    for (size_t i = 0; i < values.size(); ++i) values[i].variable->InitialValue(before[i]);
  return written;
}

void RemakeMeshes(CadInterface& cad, AnlModel& model) {
  for (int i = 0; i < model.NumSubModels(); ++i) {
    AnlSubModel* sub = model.GetSubModel(i);
    AmgMesh* mesh = sub ? sub->Mesh() : nullptr;
    if (mesh && !mesh->IsMarkedAsErased()) cad.UpdateMesh(mesh);
  }
}

// Mode 1 asks before the result model's results go: the mode to go on with, or -1 (Cancel).
int ConfirmMeshMode(AnlModel* resultModel, int mode) {
  if (mode != kOptApplyAskMesh || !resultModel || LiveResultSets(*resultModel).empty()) return mode;
  const int answer = CadMessageBoxId(IDS_OPT_UPDATE_MESH_QUESTION, MB_YESNOCANCEL | MB_ICONQUESTION);
  if (answer == IDYES) return mode;
  return answer == IDNO ? kOptApplyVariablesOnly : -1;
}

}  // namespace

void UIOptResetUpdateMeshChoice() { updateMeshChoice = 0; }

OptResultCase* UIOptReadyResultCase(OptResultCase* resultCase) {
  if (!resultCase) {
    Refuse(IDS_OPT_NO_ACTIVE_RESULTS);
    return nullptr;
  }
  if (!resultCase->Initialized()) {
    Refuse(IDS_OPT_RESULTS_NOT_INITIALIZED);
    return nullptr;
  }
  return resultCase;
}

int UIOptApplyDesignCycle(OptResultCase* resultCase, int cycle, int mode) {
  CadInterface* cad = CadInterface::GetCurrent();
  AnlControl* control = AnlControl::GetCurrent();
  OptModel* owner = resultCase ? resultCase->Owner() : nullptr;
  if (!resultCase || !cad || !control || !owner) return 0;
  std::unique_ptr<OptVariableSet> live(owner->Variables());
  if (!live || live->Count() == 0) {
    Refuse(IDS_OPT_NO_DESIGN_VARIABLES);
    return 0;
  }
  std::vector<VariableValue> values;
  if (!MatchVariables(*resultCase, *live, cycle, values)) return 0;
  AnlModel* resultModel = mode != kOptApplyVariablesOnly ? resultCase->ResultAnlModel() : nullptr;
  CurrentModelScope current(resultModel ? control : nullptr);
  if (resultModel) control->SetCurrentAnlModel(resultModel);
  mode = ConfirmMeshMode(resultModel, mode);
  if (mode < 0) return 0;
  if (!WriteValues(*cad, values, mode != kOptApplyVariablesOnly)) return 0;
  if (mode != kOptApplyVariablesOnly && resultModel) {
    for (FerResultSet* set : LiveResultSets(*resultModel)) resultModel->DeleteResultSet(set->Name());
    RemakeMeshes(*cad, *resultModel);
  }
  cad->FlushGraphics();
  cad->RegenAll();
  return 1;
}

CaeString UIOptShapeResultSetName(const OptResultCase& resultCase) { return resultCase.Name(); }

FerResultSet* UIOptFindShapeResultSet(OptResultCase* resultCase) {
  AnlModel* model = resultCase ? resultCase->ResultAnlModel() : nullptr;
  if (!model) return nullptr;
  const std::string wanted = UIOptShapeResultSetName(*resultCase).Text();
  if (wanted.empty()) return nullptr;
  for (FerResultSet* set : LiveResultSets(*model))
    if ((set->IsModelShape() || set->IsModelConcept()) && wanted == set->Name().Text()) return set;
  return nullptr;
}

void UIOptDeleteShapeResultSet(OptResultCase* resultCase) {
  if (FerResultSet* set = UIOptFindShapeResultSet(resultCase))
    resultCase->ResultAnlModel()->DeleteResultSet(set->Name());
}

int UIOptCompleted(OptResultCase* resultCase, int choice) {
  if (!UIOptReadyResultCase(resultCase)) return 1;
  const bool conceptRun = resultCase->Owner() && resultCase->Owner()->Type() == CaeOptConcept;
  COptCompletedDlg dialog(conceptRun ? IDD_OPT_COMPLETED_CONCEPT : IDD_OPT_COMPLETED);
  dialog.m_pResultCase = resultCase;
  dialog.m_nChoice = choice;
  // Only OK acts: Esc or the end of the input keeps the results as they are.
  if (dialog.DoModal() != IDOK || !choice || dialog.m_nAction == COptCompletedDlg::kKeep) return 1;
  if (dialog.m_nAction == COptCompletedDlg::kUpdateAndDiscard) {
    if (!UIOptApplyDesignCycle(resultCase, resultCase->NumCycles(), kOptApplyWithMesh)) return 1;
  } else {
    UIOptDeleteShapeResultSet(resultCase);
  }
  if (AnlModel* second = resultCase->SecondAnlModel())
    if (AnlControl* control = AnlControl::GetCurrent()) control->DeleteAnlModel(second);
  return 0;
}

int UIOptUpdateModel() {
  OptResultCase* resultCase = UIOptReadyResultCase(UIPickOptResultCase());
  if (!resultCase) return 0;
  if (resultCase->NumCycles() <= 0) {
    Refuse(IDS_OPT_NO_HISTORY_DATA);
    return 0;
  }
  CUpdateModelDlg dialog;
  dialog.m_pResultCase = resultCase;
  dialog.m_nUpdateMesh = updateMeshChoice;
  if (dialog.DoModal() != IDOK || dialog.m_nCycle < 0) return 0;
  updateMeshChoice = dialog.m_nUpdateMesh ? 1 : 0;
  return UIOptApplyDesignCycle(resultCase, dialog.m_nCycle, updateMeshChoice);
}
