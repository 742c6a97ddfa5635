// Shared test fixtures for the windowing toolkit: a resource module made from inline source and
// made current, and a driver that plays a list of steps.
#pragma once
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "mfc/afx.h"

namespace mfctest {

// Parses `source` into a module, registers it and makes it the current resource handle for the
// lifetime of the object; the log is cleared and the test clock is on.
class ResourceScope {
 public:
  explicit ResourceScope(const std::string& source);
  ~ResourceScope();
  ResourceScope(const ResourceScope&) = delete;
  ResourceScope& operator=(const ResourceScope&) = delete;
  HINSTANCE handle() const { return handle_; }

 private:
  HINSTANCE handle_;
  HINSTANCE previous_;
};

// Plays steps: each modal idle pops one step and runs it on the waiting window; message boxes
// take the next queued answer (0 when none) and are remembered.
class StepDriver : public mfc::UserDriver {
 public:
  using Step = std::function<void(CWnd&)>;
  void add(Step step) { steps_.push_back(std::move(step)); }
  // A step that clicks control `id` and expects it to work.
  void click(int id);
  void answer(int button) { answers_.push_back(button); }
  void file(std::optional<std::string> path) { files_.push_back(std::move(path)); }
  void menuChoice(UINT id) { menus_.push_back(id); }
  const std::vector<mfc::MessageBoxRequest>& boxes() const { return boxes_; }
  // Windows seen waiting, by caption, in order.
  const std::vector<std::string>& waited() const { return waited_; }
  bool finished() const { return steps_.empty(); }

  bool onModalIdle(CWnd& window) override;
  int onMessageBox(const mfc::MessageBoxRequest& box) override;
  std::optional<std::string> onFileDialog(const mfc::FileDialogRequest& dialog) override;
  UINT onPopupMenu(const CMenu& menu, CWnd* owner) override;

 private:
  std::deque<Step> steps_;
  std::deque<int> answers_;
  std::deque<std::optional<std::string>> files_;
  std::deque<UINT> menus_;
  std::vector<mfc::MessageBoxRequest> boxes_;
  std::vector<std::string> waited_;
};

// The text of a window's control.
std::string controlText(CWnd& window, int id);

}  // namespace mfctest
