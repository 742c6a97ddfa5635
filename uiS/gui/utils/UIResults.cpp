#include "gui/utils/UIResults.h"

#include "fea/AnlControl.h"
#include "fea/AnlJob.h"
#include "fea/AnlModel.h"
#include "fea/OptModel.h"

namespace {

bool Matches(AnlJob& job, int flags) {
  job.Check();
  return ((flags & kUIJobFailed) && job.Failed()) || ((flags & kUIJobPending) && job.IsPending()) ||
         ((flags & kUIJobHasResults) && job.HaveResults());
}

bool Live(const AnlJob* job) { return job && !job->IsMarkedAsErased(); }

AnlModel* CurrentModel() {
  AnlControl* control = AnlControl::GetCurrent();
  return control ? control->CurrentAnlModel() : nullptr;
}

}  // namespace

AnlJob* UIFindModelJob(int flags) {
  AnlModel* model = CurrentModel();
  if (!model) return nullptr;
  for (int i = 0; i < model->NumJobs(); ++i) {
    AnlJob* job = model->GetJob(i);
    if (Live(job) && Matches(*job, flags)) return job;
  }
  return nullptr;
}

AnlJob* UIFindOptModelJob(int flags) {
  AnlControl* control = AnlControl::GetCurrent();
  OptModel* model = control ? control->CurrentOptModel() : nullptr;
  if (!model) return nullptr;
  for (int i = 0; i < model->NumJobs(); ++i) {
    AnlJob* job = model->Job(i);
    if (Live(job) && Matches(*job, flags)) return job;
  }
  return nullptr;
}

int UICountModelJobs() {
  AnlModel* model = CurrentModel();
  if (!model) return 0;
  int count = 0;
  for (int i = 0; i < model->NumJobs(); ++i)
    if (Live(model->GetJob(i))) ++count;
  return count;
}
