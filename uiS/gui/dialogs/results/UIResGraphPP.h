// The "Graphs" page of the shape-optimisation results sheet: the graphs the engine builds from an
// optimisation result case (histories, sensitivities, local trends) with a scaling; the sheet
// shows the chosen one in a graph window or saves it as text.
#pragma once
#include "mfc/propsheet.h"

class CaeGraph;
class OptResultCase;

class CResGraphPP : public CPropertyPage {
 public:
  enum Output { kDisplay = 0, kSaveText = 1 };

  CResGraphPP();

  // The selected graph, built by the engine and owned by the caller; null when the selection
  // names none.
  CaeGraph* MakeGraph();
  // Reads the controls into the members when the page's window exists.
  void ReadBack();

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

  int m_bNoCycles = 0;
  int m_bInitialized = 0;
  OptResultCase* m_pResultCase = nullptr;
  int m_nScaling = 0;
  int m_nGraph = 0;
  int m_nOutput = kDisplay;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void OnGraphChange();
  void OnAdvanced();
  DECLARE_MESSAGE_MAP()

 private:
  void FillScaling();
};
