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

namespace {

constexpr int kAnyOptKind = 2;

bool IsOfKind(OptModel* model, int kind) { return kind == kAnyOptKind || static_cast<int>(model->Type()) == kind; }

// Newest to oldest, erased jobs passed over, each job's status refreshed before it is asked.
template <class Model>
AnlJob* NewestLiveJob(Model* model, AnlJob* (Model::*jobAt)(int)) {
  for (int i = model->NumJobs() - 1; i >= 0; --i) {
    AnlJob* job = (model->*jobAt)(i);
    if (!job || job->IsMarkedAsErased()) continue;
    job->Check();
    if (!job->Failed()) return job;
  }
  return nullptr;
}

}  // namespace

int UICmdStressWizard() { return UINotAvailableYet("CAEP_STRESS_WIZARD"); }
int UICmdVibWizard() { return UINotAvailableYet("CAEP_VIB_WIZARD"); }
int UICmdBuckWizard() { return UINotAvailableYet("CAEP_BUCK_WIZARD"); }
int UICmdThermWizard() { return UINotAvailableYet("CAEP_THERM_WIZARD"); }
int UICmdModel() { return UINotAvailableYet("CAEP_MODEL"); }
int UICmdMateRel() { return UINotAvailableYet("CAEP_MATE_REL"); }
int UICmdAnalyze() { return UINotAvailableYet("CAEP_ANALYZE"); }
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

OptModel* UIPickOptModel(int kind, int flags) {
  AnlControl* control = AnlControl::GetCurrent();
  if (!control) return nullptr;
  OptModel* current = control->CurrentOptModel();
  if (current && IsOfKind(current, kind)) return current;

  OptModel* first = nullptr;
  for (OptModel* model = control->FirstOptModel(); model; model = control->NextOptModel()) {
    if (!IsOfKind(model, kind)) continue;
    first = model;
    break;
  }
  if (first && (flags & 2)) control->SetCurrentOptModel(first);
  return first;
}

AnlJob* UINewestJob(int flag) {
  AnlControl* control = AnlControl::GetCurrent();
  if (!control) return nullptr;
  if (flag) {
    OptModel* model = control->CurrentOptModel();
    return model ? NewestLiveJob(model, &OptModel::Job) : nullptr;
  }
  AnlModel* model = control->CurrentAnlModel();
  return model ? NewestLiveJob(model, &AnlModel::GetJob) : nullptr;
}
