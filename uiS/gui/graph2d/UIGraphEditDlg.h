// CGraphEditDlg: the "Graph Edit" dialog. It edits an engine graph of up to three curves that
// share one column of x values, in a table (CGraphTablePP) and in a chart where points are
// dragged; both show the dialog's data columns and change together. The caller sets titles, units
// and columns, runs the dialog and, on OK, writes the data back with StoreGraph.
#pragma once

#include <vector>

#include "gui/dialogs/common/UIResizableDlg.h"
#include "gui/dialogs/units/UIGenericPS.h"
#include "gui/graph2d/UIGraphCtl.h"
#include "gui/graph2d/UIGraphTablePP.h"

class CaeGraph;

// One column of the editor: x values (column 0) or the y values of one curve, in the engine's
// native units.
class CGraphColumn {
 public:
  enum State { kAlwaysOn = 0, kSwitchedOff = 1, kSwitchedOn = 2 };

  // Value `index`, host units when `convert`; 0 outside the column.
  double GetValue(int index, BOOL convert) const;
  // Stores at `index`; a column shorter than that is first padded with zeros so the value lands
  // in its row. A negative index changes nothing.
  void SetValue(double value, int index, BOOL convert);
  // Inserts before `index` (-1: appends); a column shorter than `index` is padded with zeros.
  void AddValue(double value, int index, BOOL convert);
  void RemoveValue(int index);
  int Count() const { return static_cast<int>(m_values.size()); }
  BOOL IsSwitchedOff() const { return m_state == kSwitchedOff; }

  int m_unitType = 25;  // 25: no unit
  std::vector<double> m_values;
  CString m_title;
  int m_state = kAlwaysOn;
  BOOL m_used = FALSE;

 private:
  double ToNative(double value, BOOL convert) const;
};

class CGraphEditDlg : public CResizableDlg {
 public:
  static constexpr int kMaxColumns = 4;
  // Editable flags (added up): which of the three names the user may change.
  enum { kEditTitle = 1, kEditXName = 2, kEditYName = 4, kEditAll = 7 };

  explicit CGraphEditDlg(CWnd* parent = nullptr);
  ~CGraphEditDlg() override;

  void SetTitles(const char* title, const char* xName, const char* yName, int editable);
  void SetXUnitType(int unitType) { SetXUnit(unitType, ""); }
  void SetXUnit(int unitType, const char* label);
  void SetYUnitType(int unitType) { SetYUnit(unitType, ""); }
  void SetYUnit(int unitType, const char* label);
  // Column 0 holds x, 1-3 the curves; `switchable` columns start switched on or off.
  void SetColumn(int index, const char* title, BOOL switchable, BOOL on);
  // Writes the title, axis names and curves into `graph` (its old polylines are destroyed).
  void StoreGraph(CaeGraph* graph);
  // Modeless creation from the dialog's template.
  BOOL Create(CWnd* parent);
  int ResizeContents(int width, int height) override;
  // The dialog's tooltip control, which its pages add their tools to.
  CToolTipCtrl& ToolTip() { return m_toolTip; }

  CString m_windowTitle;
  CString m_xUnitLabel;
  CString m_yUnitLabel;
  int m_editable = kEditAll;
  int m_xUnitType = 25;
  int m_yUnitType = 25;
  CPoint m_dragStart;
  long m_hitSeries = 0;  // the chart's 1-based series and point under a drag
  long m_hitPoint = 0;
  BOOL m_dragging = FALSE;
  BOOL m_doubleClicked = FALSE;
  double m_pointAtStart[2] = {0, 0};
  double m_mouseAtStart[2] = {0, 0};
  CGraphColumn m_columns[kMaxColumns];
  CaeGraph* m_graph = nullptr;  // the caller's; null = new data
  int m_columnCount = kMaxColumns;
  BOOL m_labelSeries = TRUE;
  CGraphCtl m_chart;
  CGenericPS m_sheet;
  CGraphTablePP m_tablePage;
  CGraphEquationPP m_equationPage;  // built, not offered
  CGraphFilePP m_filePage;          // built, not offered
  CString m_title;
  CString m_xName;
  CString m_yName;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnInitDialog() override;
  void PostNcDestroy() override {}

 private:
  void Load();
  void PlaceSheet();
  void UpdateChartTitles(int selection);
  void OnTitleChanged() { UpdateChartTitles(kEditTitle); }
  void OnXNameChanged() { UpdateChartTitles(kEditXName); }
  void OnYNameChanged() { UpdateChartTitles(kEditYName); }
  void OnProperties() { m_chart.OnProperties(); }
  void OnSaveAs() { m_chart.OnSaveAs(); }
  void OnCopy() { m_chart.OnCopyToClipboard(); }
  void OnPageSetup() { m_chart.OnPageSetup(); }
  void OnPrint() { m_chart.OnPrint(); }
  void OnGraphHelp();
  void OnProductHelp();
  void OnHelpButton();
  void OnMouseDownChart(short button, short shift, LONG x, LONG y);
  void OnMouseMoveChart(short button, short shift, LONG x, LONG y);
  void OnDoubleClickChart();
  void OnMouseUpChart(short button, short shift, LONG x, LONG y);
  DECLARE_MESSAGE_MAP()
  DECLARE_EVENTSINK_MAP()
};
