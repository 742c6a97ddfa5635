// The "Display" page of the options sheet (only with a host that has local coordinate systems):
// which symbols the views show and which of the add-in's toolbars are visible.
#pragma once
#include "mfc/afx.h"
#include "mfc/propsheet.h"

class CDisplayPP : public CPropertyPage {
 public:
  CDisplayPP();

  // Hands the symbol flags (and the toolbar flags, when the host has toolbars) to the CAD. 1, and
  // nothing sent, when the page was never shown.
  BOOL Apply();

  BOOL OnInitDialog() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

  BOOL m_bShown = FALSE;
  BOOL m_bHasToolbars = FALSE;
  int m_bLoads = 0;
  int m_bMeshData = 0;
  int m_bLocalCoordSys = 0;
  int m_bRestraints = 0;
  int m_bResults = 0;
  int m_bOptConstraints = 0;
  int m_bToolbarAdd = 0;
  int m_bToolbarShape = 0;
  int m_bToolbarTopology = 0;
  int m_bToolbarResults = 0;
  int m_bToolbarTools = 0;
  int m_bToolbarWizards = 0;
  int m_nApplyTo = 0;  // 0 the active view, 1 all views

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  // With a current result set the model symbols show only while results are hidden.
  void UpdateEnables();
  void OnSymbolCheck();
  void OnChange() { SetModified(TRUE); }
  DECLARE_MESSAGE_MAP()
};
