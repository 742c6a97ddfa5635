// CGraphDlg: the modeless, resizable "Graph" window: one engine graph in a graph control, a
// readout line under it and the graph menu. Several may be open at once; each owns its graph and
// deletes itself (and the graph) when closed.
#pragma once

#include "gui/dialogs/common/UIResizableDlg.h"
#include "gui/graph2d/UIGraphCtl.h"

class CaeGraph;

class CGraphDlg : public CResizableDlg {
 public:
  explicit CGraphDlg(CWnd* parent = nullptr);
  ~CGraphDlg() override;

  int ResizeContents(int width, int height) override;

  // The graph shown; set before the window is created, owned by the window from then on.
  CaeGraph* m_graph = nullptr;
  CGraphCtl m_chart;
  BOOL m_buttonHeld = FALSE;
  BOOL m_trackPosition = TRUE;
  BOOL m_trackMarkers = FALSE;

  // The Graph windows open now, oldest first.
  static std::vector<CGraphDlg*> OpenWindows();
  // Closes every Graph window (the add-in unloads; the host quits).
  static void CloseAll();
  // Forgets the track choices shared by all Graph windows.
  static void ResetModule();

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnInitDialog() override;
  void PostNcDestroy() override;
  void OnTrackPosition();
  void OnTrackMarkers();
  void OnGraphClose();
  void OnGraphHelp();
  void OnProductHelp();
  void OnProperties() { m_chart.OnProperties(); }
  void OnSaveAs() { m_chart.OnSaveAs(); }
  void OnCopy() { m_chart.OnCopyToClipboard(); }
  void OnPrint() { m_chart.OnPrint(); }
  void OnPageSetup() { m_chart.OnPageSetup(); }
  void OnClose();
  LRESULT OnRaise(WPARAM, LPARAM);
  void OnMouseDownChart(short button, short shift, LONG x, LONG y);
  void OnMouseMoveChart(short button, short shift, LONG x, LONG y);
  void OnMouseUpChart(short button, short shift, LONG x, LONG y);
  DECLARE_MESSAGE_MAP()
  DECLARE_EVENTSINK_MAP()
};
