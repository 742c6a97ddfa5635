#include "gui/doctor/UIDoctor.h"

#include "cadInterface/CadAppControl.h"
#include "fea/AnlJob.h"
#include "fea/FerResult.h"
#include "gui/dialogs/analysis/UISubmitAnalysis.h"
#include "gui/utils/UIFerSAPI.h"
#include "gui/utils/UINotAvailable.h"
#include "gui/utils/UIResults.h"
#include "mfc/afx.h"
#include "res/ResourceIds.h"

int UIRunDoctorCommand() { return UIRunDoctor(nullptr, nullptr, 0); }

int UIRunDoctor(AnlJob* job, FerResultSet* resultSet, int fromWizard) {
  (void)fromWizard;
  CaeString name;
  if (job) {
    name = job->Name();
  } else if (resultSet) {
    name = resultSet->Name();
  } else if (!UIFindDoctorTarget(job, resultSet, name)) {
    CadMessageBoxId(IDS_DOC_NO_SUBJECT, MB_TASKMODAL);
    return 0;
  }
  // The doctor's sheet is not part of the add-in yet.
  return UINotAvailableYet("The design doctor's sheet");
}

int UIFindDoctorTarget(AnlJob*& job, FerResultSet*& resultSet, CaeString& name) {
  resultSet = nullptr;
  name = CaeString();
  job = UISubmittedJob();
  if (!job) job = UIFindModelJob(kUIJobFailed | kUIJobPending | kUIJobHasResults);
  if (!job) job = UIFindOptModelJob(kUIJobFailed);
  if (job) {
    name = job->Name();
    return 1;
  }
  resultSet = UIGetCurrentResultSet();
  // A model-shape set holds the geometry of an optimised design, nothing to diagnose.
  if (resultSet && resultSet->IsModelShape()) resultSet = nullptr;
  if (!resultSet) return 0;
  name = resultSet->Name();
  return 1;
}
