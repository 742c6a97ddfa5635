#include "mfc_fixture.h"

namespace mfctest {

ResourceScope::ResourceScope(const std::string& source) : previous_(AfxGetResourceHandle()) {
  auto module = std::make_shared<mfc::ResourceModule>();
  module->parse(source, "fixture");
  handle_ = mfc::registerModule(module, "fixture");
  AfxSetResourceHandle(handle_);
  mfc::clearLog();
  mfc::useTestClock(true);
}

ResourceScope::~ResourceScope() {
  AfxSetResourceHandle(previous_);
  FreeLibrary(handle_);
  mfc::useTestClock(false);
}

void StepDriver::click(int id) {
  add([id](CWnd& window) {
    std::string error = mfc::userClick(window.m_hWnd, id);
    EXPECT_EQ(error, "") << "clicking " << id;
  });
}

bool StepDriver::onModalIdle(CWnd& window) {
  CString caption;
  window.GetWindowText(caption);
  waited_.push_back(caption.str());
  if (steps_.empty()) return false;
  Step step = std::move(steps_.front());
  steps_.pop_front();
  step(window);
  return true;
}

int StepDriver::onMessageBox(const mfc::MessageBoxRequest& box) {
  boxes_.push_back(box);
  if (answers_.empty()) return 0;
  int answer = answers_.front();
  answers_.pop_front();
  return answer;
}

std::optional<std::string> StepDriver::onFileDialog(const mfc::FileDialogRequest&) {
  if (files_.empty()) return std::nullopt;
  auto path = files_.front();
  files_.pop_front();
  return path;
}

UINT StepDriver::onPopupMenu(const CMenu&, CWnd*) {
  if (menus_.empty()) return 0;
  UINT id = menus_.front();
  menus_.pop_front();
  return id;
}

std::string controlText(CWnd& window, int id) {
  CString text;
  window.GetDlgItemText(id, text);
  return text.str();
}

}  // namespace mfctest
