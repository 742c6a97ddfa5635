// Shared pieces of the frame's tests: a user driver that records message boxes, and a reactor
// that records the commands the host starts.
#pragma once

#include <string>
#include <vector>

#include "arx/aced.h"
#include "mfc/driver.h"

class RecordingDriver : public mfc::UserDriver {
 public:
  bool onModalIdle(CWnd& window) override;                       // ends the window with IDOK
  int onMessageBox(const mfc::MessageBoxRequest& box) override;  // records; answers IDOK
  std::optional<std::string> onFileDialog(const mfc::FileDialogRequest&) override { return std::nullopt; }
  UINT onPopupMenu(const CMenu&, CWnd*) override { return 0; }

  std::vector<std::string> boxes;
  int modalWindowsEnded = 0;
};

class CommandRecorder : public AcEditorReactor {
 public:
  CommandRecorder() { acedEditor->addReactor(this); }
  ~CommandRecorder() override { acedEditor->removeReactor(this); }
  void commandWillStart(const char* name) override { started.emplace_back(name); }
  bool saw(const std::string& name) const;
  std::vector<std::string> started;
};

// True when the toolkit logged a beep since the log was last cleared.
bool beeped();

// A fresh host as a test starts from: the engine's state reset, printed text and the toolkit's log
// cleared, the host started with one drawing and the part modeller loaded.
void startFreshHostWithPartModeller();
