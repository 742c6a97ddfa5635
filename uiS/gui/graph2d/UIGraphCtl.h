// CGraphCtl: the system's 2-D chart window. It turns an engine graph into chart content, edits
// points, turns the mouse into a readout with two cross-hair markers, and carries out the graph
// menu (properties, print, page setup, copy, save as). Series and point indices it takes are
// 0-based; the control's are 1-based. The shown graph belongs to the host.
#pragma once

#include "gui/graph2d/UIChart2D.h"

class CaeGraph;

class CGraphCtl : public CChart2D {
 public:
  CGraphCtl();
  ~CGraphCtl() override;

  void SetGraph(CaeGraph* graph, BOOL keepTitles = FALSE);
  void Reset(BOOL keepTitles);
  // selection: 1 header, 2 x-axis title, 4 y-axis title.
  void SetTitles(const char* header, const char* xTitle, const char* yTitle, int selection);
  void ClearSeries();
  int AddSeries(const char* label);
  void SetSeriesLabel(int series, const char* label);
  void SetSeriesStyle(int series, BOOL off);
  void SetSharedX(BOOL shared);
  BOOL SetBatched(BOOL on);

  BOOL GetPoint(int series, int point, double& x, double& y, ChartData* data = nullptr);
  BOOL SetPoint(int series, int point, double x, double y, ChartData* data = nullptr);
  BOOL InsertPoint(int series, int point, double x, double y, ChartData* data = nullptr);
  BOOL DeletePoint(int series, int point, ChartData* data = nullptr);
  BOOL IsValidSeries(int series, int extra, ChartData* data = nullptr);
  BOOL IsValidPoint(int series, int point, int extra, ChartData* data = nullptr);

  BOOL PixelToData(long px, long py, double& x, double& y);
  // The control's 1-based series and point of the nearest point within 6 pixels.
  BOOL PickPoint(long& series, long& point, long px, long py);
  CString FormatTrackPosition(BOOL noSnap, short button, short shift, long px, long py);
  void ShowMarkers(BOOL on);

  void OnProperties();
  void OnPrint();
  void OnPageSetup();
  void OnCopyToClipboard();
  void OnSaveAs();

  CaeGraph* GetGraph() const { return m_graph; }

  // Printing: where the chart goes (printer units relative to the printable area), the output
  // format (1 bitmap, 2 metafile, 3 enhanced, 4 standard metafile) and the size mode (2 fixed
  // width, 3 fixed height, 5 full page).
  RECT m_imageRect{0, 0, 0, 0};
  int m_outputFormat = 3;
  int m_sizeMode = 2;
  CaeGraph* m_graph = nullptr;
  BOOL m_markersEnabled = TRUE;
  BOOL m_markersParked = TRUE;

 private:
  ChartGroup Group();
  // The series that holds the x column of a 0-based series.
  int XSeries(ChartData& data, int series);
  void ParkMarkers();
  void ReloadState();
};

// Forgets what the graph windows remember for the process (the Save As type).
void UIGraphCtlResetModule();
