#include "frame_support.h"

#include <algorithm>

#include "amg/CaeEngine.h"
#include "arx/acutads.h"
#include "arx/hostcmds.h"
#include "mcad/amiapp.h"
#include "mfc/afx.h"
#include "mfc/log.h"

bool RecordingDriver::onModalIdle(CWnd& window) {
  ++modalWindowsEnded;
  if (auto* dialog = dynamic_cast<CDialog*>(&window)) {
    dialog->EndDialog(IDOK);
    return true;
  }
  return false;
}

int RecordingDriver::onMessageBox(const mfc::MessageBoxRequest& box) {
  boxes.push_back(box.text);
  return IDOK;
}

bool CommandRecorder::saw(const std::string& name) const {
  return std::find(started.begin(), started.end(), name) != started.end();
}

bool beeped() {
  const auto lines = mfc::logLines();
  return std::any_of(lines.begin(), lines.end(), [](const std::string& line) { return line.rfind("beep", 0) == 0; });
}

void startFreshHostWithPartModeller() {
  CaeEngine::ResetState();
  cadhost::clearPrintedText();
  mfc::clearLog();
  cadhost::startHost(true);
  mcadLoadApiModule();
}
