#include "gui/doctor/UIDocTests.h"

#include "fea/FerDoctor.h"

namespace {

DocTestParameters parameters;

constexpr int kEnginePassed = 0;
constexpr int kEngineFailed = 1;
constexpr int kEngineNotApplicable = 2;

}  // namespace

DocTestParameters& UIDocParameters() { return parameters; }

void UIDocResetModuleState() { parameters = DocTestParameters(); }

int UIDocStatusOfEngine(int engineStatus) {
  switch (engineStatus) {
    case kEnginePassed: return kDocPassed;
    case kEngineNotApplicable: return kDocNotRun;
    default: return kDocFailed;
  }
}

int UIDocRunTest(int kind, double first, double second, int type) {
  FerDoctor doctor(1);
  int status = kEngineFailed;
  switch (kind) {
    case kDocMeshingError: status = doctor.TestQuality(type, first); break;
    case kDocYieldStress: status = doctor.TestValidity(type); break;
    case kDocFactorOfSafety:
    case kDocLoadFactor: status = doctor.TestDesign(type, first); break;
    case kDocFrequencyRange:
    case kDocTemperatureRange: status = doctor.TestDesign(type, first, second); break;
    default: break;
  }
  return UIDocStatusOfEngine(status);
}
