// The results sheet: colour contours, deformed shape, symbols and animation for simulation
// results; graphs, colours and animation for shape-optimisation results; animation (and the
// VRML page) for Concept-optimisation results. The sheet assembles the pages, routes OK, Apply
// and Cancel ("Results Off" hides the results window) and redraws; each page applies its own
// settings to the view.
#pragma once
#include "gui/dialogs/results/UIResAnmDlg.h"
#include "gui/dialogs/results/UIResColDlg.h"
#include "gui/dialogs/results/UIResDGDlg.h"
#include "gui/dialogs/results/UIResGraphPP.h"
#include "gui/dialogs/results/UIResSymDlg.h"
#include "gui/dialogs/units/UIGenericPS.h"
#include "gui/optwizard/results/UIResOptVRMLPP.h"

class CResTabPS : public CGenericPS {
 public:
  CResTabPS(const char* caption, CWnd* parent, UINT selectPage);
  ~CResTabPS() override;

  BOOL OnInitDialog() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  // Redraws the results window (stopping the animation for OK), keeping the active window.
  void Redraw(UINT command);

  CResAnmDlg m_animationPage;
  CResColDlg m_colorPage;
  CResDGDlg m_deformedPage;
  CResSymDlg m_symbolPage;
  CResOptVRMLPP m_vrmlPage{IDD_VRML_PAGE};  // concept optimisation results only
  bool m_hasVrmlPage = false;
  CResGraphPP m_graphPage;
  int m_bApplied = 0;

 private:
  void ApplyAndShow(UINT command);
  void OutputGraph();
};

// "CAEP_RESULTS_TAB": the newest results of the current model, then the sheet ("Simulation
// Results"); without a current result set message 87 and no sheet.
void UIShowResultsSheet();
// The page the next simulation-results sheet opens on (the one last active), for tests; the
// reset hook forgets it (add-in load and unload).
int UIResultsSheetPage();
void UIResetResultsSheetPage();
