// The Explorer dialog ("CAEP_EXPLORER"): a modal, resizable window with a File menu over a tree of
// the current drawing's analysis objects. Its File menu follows the selected item's availability
// bits and runs the tree's actions, the results import and a rebuild; while a job is pending it
// polls the jobs every 3000 ms and rebuilds the tree once all have ended.
#pragma once

#include "gui/dialogs/common/UIResizableDlg.h"
#include "gui/explorer/CExpTreeCtl.h"
#include "res/ResourceIds.h"

class CExplorerDlg : public CResizableDlg {
 public:
  static constexpr UINT kTemplateId = IDD_EXPLORER;
  static constexpr UINT_PTR kPollTimer = 0;
  static constexpr UINT kPollMs = 3000;
  static constexpr DWORD_PTR kHelpContext = 0x20000 + IDD_EXPLORER;

  explicit CExplorerDlg(CWnd* parent = nullptr);

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  int ResizeContents(int width, int height) override;
  // Enables the File menu's entries from the selected item's availability bits.
  void UpdateMenu();

  CExpTreeCtl& Tree() { return tree_; }

 protected:
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  void OnTimer(UINT_PTR id);
  void OnTreeSelChanged(NMHDR* header, LRESULT* result);
  DECLARE_MESSAGE_MAP()

 private:
  bool AnyJobPending();
  void Poll();
  void RebuildTree();
  void OpenResultsFile();

  CExpTreeCtl tree_;
};
