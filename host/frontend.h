// The host program's front end in the windowing toolkit: the host's main window (which receives
// copy-data messages and hands them to the command line as typed input) and the "@" action-line
// driver, which acts for the user on whatever window waits (dialogs, message boxes, file dialogs,
// popup menus). Lines come from one reader shared by the command line and the driver, so script
// line numbers in reports are the file's own.
#pragma once

#include <functional>
#include <istream>
#include <memory>
#include <optional>
#include <string>

#include "mfc/action_lines.h"

namespace cadhost {

class FrontEnd {
 public:
  // `in` gives the input lines; `echo` repeats each line read on the output (scripts and pipes);
  // `print` shows text.
  FrontEnd(std::istream& in, bool echo, bool interactive, std::function<void(const std::string&)> print);
  ~FrontEnd();
  FrontEnd(const FrontEnd&) = delete;
  FrontEnd& operator=(const FrontEnd&) = delete;

  // Creates the main window (the application's main window), installs the user driver, the
  // command line's input source and "@" line handler, and the toolkit's log output.
  void install();
  // Undoes install(): the previous driver, no main window, the command line's defaults.
  void uninstall();

 private:
  std::optional<mfc::ActionLine> readLine();
  bool nextHostLine(std::string& line);

  std::istream& in_;
  bool echo_;
  std::function<void(const std::string&)> print_;
  int lineNumber_ = 0;
  std::unique_ptr<mfc::ActionLineDriver> driver_;
  mfc::UserDriver* previousDriver_ = nullptr;
  class MainWindow;
  std::unique_ptr<MainWindow> mainWindow_;
  bool installed_ = false;
};

}  // namespace cadhost
