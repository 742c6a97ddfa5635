// Queries of the analysis jobs of the current simulation or optimisation model by their state.
//
// A job matches a set of flags when, after its status has been refreshed (AnlJob::Check), it is
// in any of the flagged states. Jobs that cannot be opened or are marked erased are passed over.
#pragma once

class AnlJob;

enum UIJobStateFlags : int {
  kUIJobFailed = 1,
  kUIJobPending = 2,
  kUIJobHasResults = 4,
};

// The first matching job of the current simulation model, in list order (the store's positions
// are 0-based); null without one.
AnlJob* UIFindModelJob(int flags);
// The same over the current optimisation model's jobs.
AnlJob* UIFindOptModelJob(int flags);
// The live jobs of the current simulation model, whatever their state; 0 without a model.
int UICountModelJobs();
