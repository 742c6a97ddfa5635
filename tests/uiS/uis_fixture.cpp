#include "uis_fixture.h"

#include "amg/CaeEngine.h"
#include "cadInterface/CadResources.h"
#include "gui/dialogs/units/UISetupState.h"
#include "gui/wizard/UIWizard.h"
#include "test_env.h"

namespace uistest {

bool RecordingDriver::onModalIdle(CWnd& window) {
  if (steps_.empty()) return false;
  Step step = std::move(steps_.front());
  steps_.pop_front();
  step(window);
  return true;
}

int RecordingDriver::onMessageBox(const mfc::MessageBoxRequest& box) {
  boxes_.push_back(box);
  if (answers_.empty()) return IDOK;
  const int answer = answers_.front();
  answers_.pop_front();
  return answer;
}

void FrameTest::SetUp() {
  CaeEngine::ResetState();
  mfc::clearLog();
  resources_ = LoadLibraryA(kestrum::test::buildPath("res/ZqFEA_ENU").string().c_str());
  ASSERT_NE(resources_, nullptr);
  resSetModuleState(resources_, AfxGetResourceHandle());
  previousDriver_ = mfc::installUserDriver(&driver);
}

void FrameTest::TearDown() {
  mfc::installUserDriver(previousDriver_);
  resResetModuleState();
  UIClearWizardState();
  UISetupResetModuleState();
  if (resources_) FreeLibrary(resources_);
  CaeEngine::ResetState();
}

}  // namespace uistest
