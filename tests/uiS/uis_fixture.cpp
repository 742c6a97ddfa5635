#include "uis_fixture.h"

#include "amg/CaeEngine.h"
#include "cadInterface/CadResources.h"
#include "gui/dialogs/model/UIModDlg.h"
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

ScriptedUser::ScriptedUser(std::vector<std::string> lines)
    : driver_(
          [this]() -> std::optional<mfc::ActionLine> {
            if (lines_.empty()) return std::nullopt;
            mfc::ActionLine line = lines_.front();
            lines_.pop_front();
            return line;
          },
          [this](const std::string& text) { printed += text; }) {
  int number = 0;
  for (auto& text : lines) lines_.push_back(mfc::ActionLine{std::move(text), ++number});
  previous_ = mfc::installUserDriver(&driver_);
}

ScriptedUser::~ScriptedUser() { mfc::installUserDriver(previous_); }

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
  CModelDlg::ResetClosedFlags();
  if (resources_) FreeLibrary(resources_);
  CaeEngine::ResetState();
}

}  // namespace uistest
