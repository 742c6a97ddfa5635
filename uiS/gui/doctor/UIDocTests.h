// The design doctor's tests: the parameters they are judged against, kept while the add-in is
// loaded, and the engine call of each test.
#pragma once

// Test kinds; the kind is also the test's row in the doctor's test table.
enum DocTestKind : int {
  kDocExecution = 0,
  kDocMeshingError = 1,
  kDocYieldStress = 2,
  kDocFactorOfSafety = 3,
  kDocFrequencyRange = 4,
  kDocLoadFactor = 5,
  kDocTemperatureRange = 6,
  kDocTestKinds = 7,
};

// What a test found (the doctor's own numbering, not the engine's).
enum DocTestStatus : int { kDocFailed = 0, kDocPassed = 1, kDocNotRun = 2 };

// Bounds are native (K, Hz) while the parameters page is in use and between uses in the
// reference unit system (the page converts them); the meshing error is in percent.
struct DocTestParameters {
  double maxMeshingError = 10.0;
  double minFactorOfSafety = 1.0;
  double minLoadFactor = 1.0;
  double frequencyLower = 0.0;
  double frequencyUpper = 0.0;
  double temperatureLower = 0.0;
  double temperatureUpper = 0.0;
  int rangesInitialised = 0;
  int closeResultsOnFinish = 0;
};

// The process-wide parameters.
DocTestParameters& UIDocParameters();
// Back to the defaults (the add-in is unloaded).
void UIDocResetModuleState();

// The engine's status of a test (0 passed, 1 failed, 2 not applicable, anything else failed) in
// the doctor's numbering.
int UIDocStatusOfEngine(int engineStatus);

// Runs test `kind` (1 to 6) on the displayed result set with a new FerDoctor: the first and
// second values are the kind's parameters (the minimum, or the lower and upper bound), `type`
// the analysis type. Another kind counts as failed. Answers a DocTestStatus.
int UIDocRunTest(int kind, double first, double second, int type);
