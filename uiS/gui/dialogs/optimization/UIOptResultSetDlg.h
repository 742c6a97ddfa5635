// "Add Result Set" / "Modify Result Set": one analysis result set of an optimisation model,
// assembled in an embedded Explorer tree (load and restraint sets dragged onto it) with its
// simulation type. After OK the tree's committed result sets are read from m_tree.ResultCases.
#pragma once

#include "gui/dialogs/common/UIResizableDlg.h"
#include "gui/explorer/CExpTreeCtl.h"
#include "res/ResourceIds.h"

class AnlResltCase;

class CAddResultSetDlg : public CResizableDlg {
 public:
  enum Mode : int { kAdd = 0, kModify = 1 };

  explicit CAddResultSetDlg(CWnd* parent = nullptr);

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  int ResizeContents(int width, int height) override;

  int m_nMode = kAdd;
  // Below 0: Add hidden; 0: shown, disabled; above 0: enabled. 1 after the user pressed Add.
  int m_nAddState = 0;
  AnlResltCase* m_pResultCase = nullptr;
  int m_nSimulationType = 0;
  CExpTreeCtl m_tree;

 protected:
  void OnAdd();
  void OnHelp();
  void OnSimulationType();
  DECLARE_MESSAGE_MAP()
};
