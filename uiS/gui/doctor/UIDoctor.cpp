#include "gui/doctor/UIDoctor.h"

#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlJob.h"
#include "fea/FerResult.h"
#include "gui/dialogs/analysis/UISubmitAnalysis.h"
#include "gui/doctor/UIDocWizPS.h"
#include "gui/utils/UIFerSAPI.h"
#include "gui/utils/UIResults.h"
#include "mfc/afx.h"
#include "res/ResourceIds.h"

int UIRunDoctorCommand() { return UIRunDoctor(nullptr, nullptr, 0); }

int UIRunDoctor(AnlJob* job, FerResultSet* resultSet, int fromWizard) {
  CaeString name;
  if (job) {
    name = job->Name();
  } else if (resultSet) {
    name = resultSet->Name();
  } else if (!UIFindDoctorTarget(job, resultSet, name)) {
    CadMessageBoxId(IDS_DOC_NO_SUBJECT, MB_TASKMODAL);
    return 0;
  }
  CDocWizPS sheet(resLoadString(IDS_DOC_CAPTION).c_str(), nullptr, 0);
  sheet.SetSubject(job, resultSet, name);
  sheet.SetWizardMode();
  sheet.SetFromWizard(fromWizard);
  sheet.DoModal();
  return 0;
}

int UIRunDoctorOnJob(AnlJob* job) { return UIRunDoctor(job, nullptr, 0); }

int UIRunDoctorOnResultSet(FerResultSet* resultSet) { return UIRunDoctor(nullptr, resultSet, 0); }

int UIRunDoctorFromWizard() { return UIRunDoctor(nullptr, nullptr, 1); }

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
