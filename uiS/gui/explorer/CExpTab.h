// The Explorer tab: the tree docked in the part modeller's browser, one tab per drawing, placed
// there by the application frame. It lists the objects of the drawing's analysis control, keeps up
// with running jobs by a poll every 3000 ms that rebuilds the tree only when the number of pending
// jobs changed, and keeps Enter and Esc in the tree from ending the tab.
#pragma once

#include "gui/explorer/CExpTreeCtl.h"
#include "mfc/afx.h"
#include "res/ResourceIds.h"

class AnlControl;

class CExpTab : public CDialog {
 public:
  static constexpr UINT kTemplateId = IDD_EXPLORER_TAB;
  static constexpr UINT_PTR kPollTimer = 0;
  static constexpr UINT kPollMs = 3000;

  explicit CExpTab(CWnd* parent = nullptr);
  ~CExpTab() override;

  // The analysis control whose drawing the tab belongs to; given before the window is made.
  void SetAnlControl(AnlControl* control) { control_ = control; }
  AnlControl* GetAnlControl() const { return control_; }

  // Rebuilds the tree from the current analysis control and counts the pending jobs again
  // without asking the jobs for their status.
  void Refresh();
  // Counts the pending jobs of the current simulation and optimisation models (with `check`, each
  // job's status refreshed first) and keeps the count.
  int CountPendingJobs(int check);
  // The count kept by the last CountPendingJobs.
  int PendingJobs() const { return pendingJobs_; }

  CExpTreeCtl& Tree() { return tree_; }

  BOOL OnInitDialog() override;

 protected:
  // Enter and Esc arrive as the commands IDOK and IDCANCEL: swallowed, the tab stays.
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnTimer(UINT_PTR id);
  void OnSize(UINT type, int cx, int cy);
  DECLARE_MESSAGE_MAP()

 private:
  void Poll();
  void FitTree(int width, int height);

  CExpTreeCtl tree_;
  AnlControl* control_ = nullptr;
  int pendingJobs_ = 0;
};
