// Shared fixtures for the CAD-neutral core's tests: the product's resource library made current,
// a CAD interface that records what it is asked, and a user driver that records message boxes.
#pragma once
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "cadInterface/CadInterface.h"
#include "mfc/action_lines.h"
#include "mfc/afx.h"

namespace uistest {

// Whether one of `boxes` showed a text holding `fragment`.
inline bool anyBoxHolds(const std::vector<mfc::MessageBoxRequest>& boxes, const std::string& fragment) {
  for (const mfc::MessageBoxRequest& box : boxes)
    if (box.text.find(fragment) != std::string::npos) return true;
  return false;
}

// Records message boxes (answering the next queued answer, else IDOK) and runs queued steps on
// modal windows that wait for a person.
class RecordingDriver : public mfc::UserDriver {
 public:
  using Step = std::function<void(CWnd&)>;
  void add(Step step) { steps_.push_back(std::move(step)); }
  void answer(int button) { answers_.push_back(button); }
  const std::vector<mfc::MessageBoxRequest>& boxes() const { return boxes_; }

  bool onModalIdle(CWnd& window) override;
  int onMessageBox(const mfc::MessageBoxRequest& box) override;
  std::optional<std::string> onFileDialog(const mfc::FileDialogRequest&) override { return std::nullopt; }
  UINT onPopupMenu(const CMenu&, CWnd*) override { return 0; }

 private:
  std::deque<Step> steps_;
  std::deque<int> answers_;
  std::vector<mfc::MessageBoxRequest> boxes_;
};

// A CAD that records command-line output and transaction calls.
class RecordingCad : public CadInterface {
 public:
  int PrintMessage(const char* text) override {
    printed.push_back(text);
    return 0;
  }
  // Whether `line` was printed, as a whole.
  bool hasPrinted(const std::string& line) const {
    for (const std::string& text : printed)
      if (text == line) return true;
    return false;
  }
  void StartTransaction() override { calls.push_back("start"); }
  void EndTransaction() override { calls.push_back("end"); }
  void AbortTransaction() override { calls.push_back("abort"); }

  std::vector<std::string> printed;
  std::vector<std::string> calls;
};

// Feeds "@" lines to the toolkit's script driver, as the host's script runner does, while it
// lives; what the driver prints (refused lines) is kept.
class ScriptedUser {
 public:
  explicit ScriptedUser(std::vector<std::string> lines);
  ~ScriptedUser();
  ScriptedUser(const ScriptedUser&) = delete;
  ScriptedUser& operator=(const ScriptedUser&) = delete;

  bool allRead() const { return lines_.empty(); }
  std::string printed;

 private:
  std::deque<mfc::ActionLine> lines_;
  mfc::ActionLineDriver driver_;
  mfc::UserDriver* previous_ = nullptr;
};

// Loads the built resource library and makes it the module's resource module; resets the
// engine, the module state and the guide state around each test.
class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  RecordingDriver driver;

 private:
  HINSTANCE resources_ = nullptr;
  mfc::UserDriver* previousDriver_ = nullptr;
};

}  // namespace uistest
