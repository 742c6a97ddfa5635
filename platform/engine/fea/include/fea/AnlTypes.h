// Codes shared by the analysis classes.
#pragma once

// The analysis type of a model: 0 stress, 1 vibration, 2 buckling, 3 heat transfer.
enum AnlType : int { AnlStress = 0, AnlVibration = 1, AnlBuckling = 2, AnlHeatTransfer = 3 };

// The state of a job.
enum AnlStatus : int {
  AnlStatusNew = 0,      // created, not submitted
  AnlStatusPending = 1,  // submitted, running
  AnlStatusDone = 2,     // finished with results
  AnlStatusFailed = 3,   // finished without results
};

// Which program a job runs: 0 the solver, 1 the converter of its output, 2 a Concept
// (constrained) job.
enum AnlCode : int { AnlCodeSolve = 0, AnlCodeConvert = 1, AnlCodeConcept = 2 };

// The analysis type of a result case: 0 static, 1 modal, 2 buckling.
enum AnlResltType : int { AnlResltStatic = 0, AnlResltModal = 1, AnlResltBuckling = 2 };
