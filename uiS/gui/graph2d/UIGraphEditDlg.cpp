#include "gui/graph2d/UIGraphEditDlg.h"

#include <cmath>
#include <cstdio>

#include "amg/CaeGraph.h"
#include "amg/CaeUnit.h"
#include "cadInterface/CadResources.h"
#include "mfc/ddx.h"
#include "mfc/menu.h"
#include "res/ResourceIds.h"

namespace {

constexpr int kNoUnit = 25;
constexpr DWORD_PTR kTemplateHelp = 0x20000;
constexpr UINT kContextHelpCommand = 1;
constexpr UINT kContentsCommand = 11;
constexpr int kMinimumChartExtent = 100;

// The short name of the host unit of a unit type; empty without a unit table or a unit.
CString hostUnitName(int unitType) {
  const CaeUnitStrTable* table = CaeUnitStrTable::GetCurrent();
  if (!table || unitType == kNoUnit) return CString();
  return CString(table->IdToShortString(CaeUnitSystem::GetHostUnit(unitType)).c_str());
}

// "name (unit)", or the bare name without a unit label.
CString axisTitle(const CString& name, const CString& unit) {
  if (unit.IsEmpty()) return name;
  return CString((name.str() + " (" + unit.str() + ")").c_str());
}

}  // namespace

// ---- CGraphColumn ----

double CGraphColumn::ToNative(double value, BOOL convert) const {
  return convert && m_unitType != kNoUnit ? CaeUnit::HostToNative(m_unitType, value) : value;
}

double CGraphColumn::GetValue(int index, BOOL convert) const {
  if (index < 0 || index >= Count()) return 0;
  const double value = m_values[static_cast<std::size_t>(index)];
  return convert && m_unitType != kNoUnit ? CaeUnit::NativeToHost(m_unitType, value) : value;
}

void CGraphColumn::SetValue(double value, int index, BOOL convert) {
  if (index < 0) return;
  if (index >= Count()) m_values.resize(static_cast<std::size_t>(index) + 1, 0.0);
  m_values[static_cast<std::size_t>(index)] = ToNative(value, convert);
}

void CGraphColumn::AddValue(double value, int index, BOOL convert) {
  if (index > Count()) m_values.resize(static_cast<std::size_t>(index), 0.0);
  const auto at = index < 0 ? m_values.end() : m_values.begin() + index;
  m_values.insert(at, ToNative(value, convert));
}

void CGraphColumn::RemoveValue(int index) {
  if (index < 0 || index >= Count()) return;
  m_values.erase(m_values.begin() + index);
}

// ---- CGraphEditDlg ----

BEGIN_MESSAGE_MAP(CGraphEditDlg, CResizableDlg)
ON_EN_CHANGE(IDC_GEDIT_TITLE, OnTitleChanged)
ON_EN_CHANGE(IDC_GEDIT_X_NAME, OnXNameChanged)
ON_EN_CHANGE(IDC_GEDIT_Y_NAME, OnYNameChanged)
ON_COMMAND(ID_GRAPH_PROPERTIES, OnProperties)
ON_COMMAND(ID_GRAPH_SAVE_AS, OnSaveAs)
ON_COMMAND(ID_GRAPH_COPY, OnCopy)
ON_COMMAND(ID_GRAPH_PAGE_SETUP, OnPageSetup)
ON_COMMAND(ID_GRAPH_PRINT, OnPrint)
ON_COMMAND(ID_GRAPH_HELP, OnGraphHelp)
ON_COMMAND(ID_GRAPH_PRODUCT_HELP, OnProductHelp)
ON_BN_CLICKED(IDHELP, OnHelpButton)
END_MESSAGE_MAP()

BEGIN_EVENTSINK_MAP(CGraphEditDlg, CResizableDlg)
ON_EVENT(CGraphEditDlg, IDC_GRAPH_CHART, -605, OnMouseDownChart, VTS_I2 VTS_I2 VTS_I4 VTS_I4)
ON_EVENT(CGraphEditDlg, IDC_GRAPH_CHART, -606, OnMouseMoveChart, VTS_I2 VTS_I2 VTS_I4 VTS_I4)
ON_EVENT(CGraphEditDlg, IDC_GRAPH_CHART, -601, OnDoubleClickChart, VTS_NONE)
ON_EVENT(CGraphEditDlg, IDC_GRAPH_CHART, -607, OnMouseUpChart, VTS_I2 VTS_I2 VTS_I4 VTS_I4)
END_EVENTSINK_MAP()

CGraphEditDlg::CGraphEditDlg(CWnd* parent) : CResizableDlg(IDD_GRAPH_EDIT, parent), m_sheet("") {}

CGraphEditDlg::~CGraphEditDlg() {
  if (m_sheet.GetSafeHwnd()) m_sheet.DestroyWindow();
  m_chart.DestroyWindow();
}

void CGraphEditDlg::SetTitles(const char* title, const char* xName, const char* yName, int editable) {
  m_title = title;
  m_xName = xName;
  m_yName = yName;
  m_editable = editable;
}

void CGraphEditDlg::SetXUnit(int unitType, const char* label) {
  m_xUnitType = unitType;
  m_xUnitLabel = label;
}

void CGraphEditDlg::SetYUnit(int unitType, const char* label) {
  m_yUnitType = unitType;
  m_yUnitLabel = label;
}

void CGraphEditDlg::SetColumn(int index, const char* title, BOOL switchable, BOOL on) {
  if (index < 0 || index >= m_columnCount) return;
  CGraphColumn& column = m_columns[index];
  column.m_title = title;
  column.m_unitType = index == 0 ? m_xUnitType : m_yUnitType;
  column.m_state = CGraphColumn::kAlwaysOn;
  if (index > 0 && switchable) column.m_state = on ? CGraphColumn::kSwitchedOn : CGraphColumn::kSwitchedOff;
  column.m_used = TRUE;
}

BOOL CGraphEditDlg::Create(CWnd* parent) { return CDialog::Create(IDD_GRAPH_EDIT, parent); }

void CGraphEditDlg::DoDataExchange(CDataExchange* dx) {
  CResizableDlg::DoDataExchange(dx);
  DDX_Control(dx, IDC_GRAPH_CHART, m_chart);
  DDX_Text(dx, IDC_GEDIT_TITLE, m_title);
  DDX_Text(dx, IDC_GEDIT_X_NAME, m_xName);
  DDX_Text(dx, IDC_GEDIT_Y_NAME, m_yName);
}

BOOL CGraphEditDlg::OnInitDialog() {
  CResizableDlg::OnInitDialog();
  m_chart.ShowMarkers(FALSE);
  m_chart.Reset(FALSE);
  Load();
  if (!m_graph) {
    for (int i = 0; i < m_columnCount; ++i) {
      CGraphColumn& column = m_columns[i];
      if (!column.m_used) continue;
      column.AddValue(0, -1, TRUE);
      column.AddValue(i == 0 ? 1 : 0, -1, TRUE);
    }
  }
  PlaceSheet();
  const struct {
    int id;
    int flag;
  } edits[] = {{IDC_GEDIT_TITLE, kEditTitle}, {IDC_GEDIT_X_NAME, kEditXName}, {IDC_GEDIT_Y_NAME, kEditYName}};
  for (const auto& edit : edits)
    if (auto* control = static_cast<CEdit*>(GetDlgItem(edit.id))) control->SetReadOnly(!(m_editable & edit.flag));
  if (CMenu* menu = GetMenu()) {
    menu->CheckMenuItem(ID_GRAPH_TRACK_MARKERS, MF_UNCHECKED);
    menu->EnableMenuItem(ID_GRAPH_TRACK_MARKERS, MF_GRAYED);
    menu->CheckMenuItem(ID_GRAPH_TRACK_POSITION, MF_CHECKED);
    menu->EnableMenuItem(ID_GRAPH_TRACK_POSITION, MF_GRAYED);
    menu->EnableMenuItem(ID_GRAPH_CLOSE, MF_GRAYED);
  }
  UpdateChartTitles(kEditAll);
  return TRUE;
}

// Fills the names and unit labels and, from the caller's graph, the columns (native values).
void CGraphEditDlg::Load() {
  if (m_windowTitle.IsEmpty()) {
    char caption[512];
    std::snprintf(caption, sizeof caption, resLoadString(IDS_GRAPH_EDIT_CAPTION).c_str(), m_title.str().c_str());
    m_windowTitle = caption;
  }
  SetWindowText(m_windowTitle);
  if (m_xUnitLabel.IsEmpty()) m_xUnitLabel = hostUnitName(m_xUnitType);
  SetDlgItemText(IDC_GEDIT_X_UNIT, m_xUnitLabel);
  if (m_yUnitLabel.IsEmpty()) m_yUnitLabel = hostUnitName(m_yUnitType);
  SetDlgItemText(IDC_GEDIT_Y_UNIT, m_yUnitLabel);
  if (!m_graph) return;

  if (m_title.IsEmpty()) m_title = m_graph->Name().c_str();
  if (m_xName.IsEmpty()) m_xName = m_graph->XAxis().Name().c_str();
  if (m_yName.IsEmpty()) m_yName = m_graph->YAxis().Name().c_str();
  SetDlgItemText(IDC_GEDIT_TITLE, m_title);
  SetDlgItemText(IDC_GEDIT_X_NAME, m_xName);
  SetDlgItemText(IDC_GEDIT_Y_NAME, m_yName);

  CGraphColumn& xColumn = m_columns[0];
  xColumn.m_values.clear();
  xColumn.m_unitType = m_xUnitType;
  xColumn.m_used = TRUE;
  xColumn.m_state = CGraphColumn::kAlwaysOn;
  for (int i = 1; i < m_columnCount && i <= m_graph->NumPolyLine(); ++i) {
    CGraphColumn& column = m_columns[i];
    column.m_values.clear();
    const CaePolyLine* line = m_graph->GetPolyLine(i - 1);
    // A switchable column comes back switched on only when it holds a nonzero value.
    if (column.m_state != CGraphColumn::kAlwaysOn) column.m_state = CGraphColumn::kSwitchedOff;
    for (int j = 0; j < line->NumPoints(); ++j) {
      double x = 0, y = 0;
      line->GetPoint(x, y, j);
      if (i == 1) xColumn.AddValue(x, -1, FALSE);
      column.AddValue(y, -1, FALSE);
      if (y != 0 && column.m_state != CGraphColumn::kAlwaysOn) column.m_state = CGraphColumn::kSwitchedOn;
    }
    column.m_unitType = m_yUnitType;
    column.m_used = TRUE;
  }
}

// The embedded sheet with the Table page takes the placeholder's place.
void CGraphEditDlg::PlaceSheet() {
  m_tablePage.m_owner = this;
  m_sheet.AddPage(&m_tablePage);
  m_sheet.Create(this, WS_CHILD | WS_VISIBLE, 0);
  RECT place{};
  if (CWnd* placeholder = GetDlgItem(IDC_GEDIT_PAGE_PLACE)) {
    placeholder->GetWindowRect(&place);
    ScreenToClient(&place);
    placeholder->ShowWindow(SW_HIDE);
  }
  const int width = place.right - place.left, height = place.bottom - place.top;
  if (CTabCtrl* tabs = m_sheet.GetTabControl()) tabs->MoveWindow(0, 0, width, height);
  m_sheet.SetWindowPos(nullptr, place.left, place.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  m_sheet.ModifyStyleEx(0, WS_EX_CONTROLPARENT);
  m_sheet.ModifyStyle(0, WS_TABSTOP);
  m_sheet.SetActivePage(0);
  for (int button : {IDOK, IDCANCEL, ID_APPLY_NOW})
    if (CWnd* control = m_sheet.GetDlgItem(button)) control->EnableWindow(FALSE);
}

void CGraphEditDlg::UpdateChartTitles(int selection) {
  GetDlgItemText(IDC_GEDIT_TITLE, m_title);
  GetDlgItemText(IDC_GEDIT_X_NAME, m_xName);
  GetDlgItemText(IDC_GEDIT_Y_NAME, m_yName);
  if (!m_chart.GetSafeHwnd()) return;
  m_chart.SetTitles(m_title, axisTitle(m_xName, m_xUnitLabel), axisTitle(m_yName, m_yUnitLabel), selection);
}

void CGraphEditDlg::StoreGraph(CaeGraph* graph) {
  if (!graph) return;
  if (GetSafeHwnd()) {
    GetDlgItemText(IDC_GEDIT_TITLE, m_title);
    GetDlgItemText(IDC_GEDIT_X_NAME, m_xName);
    GetDlgItemText(IDC_GEDIT_Y_NAME, m_yName);
  }
  graph->SetName(CaeString(m_title));
  CaeGraphAxis axis = graph->XAxis();
  axis.SetName(CaeString(m_xName));
  graph->XAxis(axis);
  axis = graph->YAxis();
  axis.SetName(CaeString(m_yName));
  graph->YAxis(axis);
  while (CaePolyLine* line = graph->FirstPolyLine()) {
    graph->RemovePolyLine(line);
    delete line;
  }
  const CGraphColumn& xColumn = m_columns[0];
  for (int i = 1; i < m_columnCount; ++i) {
    const CGraphColumn& column = m_columns[i];
    if (!column.m_used) continue;
    auto* line = new CaePolyLine(CaeString(column.m_title));
    for (int j = 0; j < column.Count(); ++j)
      line->AddPoint(xColumn.GetValue(j, FALSE), column.IsSwitchedOff() ? 0 : column.GetValue(j, FALSE), 0);
    graph->AddPolyLine(line);
  }
}

int CGraphEditDlg::ResizeContents(int width, int height) {
  if (!m_chart.GetSafeHwnd()) return 1;
  if (m_chart.GetProp7()) m_chart.SetProp7(FALSE);
  CWnd* readout = GetDlgItem(IDC_GRAPH_READOUT);
  if (!readout) return 1;
  RECT chart{}, line{};
  m_chart.GetWindowRect(&chart);
  ScreenToClient(&chart);
  readout->GetWindowRect(&line);
  const int margin = chart.top;
  const int lineHeight = line.bottom - line.top;
  const int chartWidth = width - margin - chart.left;
  const int chartHeight = height - 3 * margin - lineHeight;
  if (chartWidth > kMinimumChartExtent && height > kMinimumChartExtent) {
    m_chart.MoveWindow(chart.left, chart.top, chartWidth, chartHeight, TRUE);
    readout->MoveWindow(chart.left, chartHeight + 2 * margin, chartWidth, lineHeight);
  }
  return 1;
}

void CGraphEditDlg::OnMouseDownChart(short, short, LONG x, LONG y) {
  long series = 0, point = 0;
  if (!m_chart.PickPoint(series, point, x, y)) return;
  m_dragging = TRUE;
  m_dragStart = CPoint(x, y);
  m_hitSeries = series;
  m_hitPoint = point;
  const int row = static_cast<int>(point - 1);
  m_tablePage.SelectRow(row);
  m_tablePage.UpdateButtons(row);
  m_tablePage.FillEdits(row);
  m_chart.PixelToData(x, y, m_mouseAtStart[0], m_mouseAtStart[1]);
  m_chart.GetPoint(static_cast<int>(series - 1), row, m_pointAtStart[0], m_pointAtStart[1]);
}

void CGraphEditDlg::OnMouseMoveChart(short button, short shift, LONG x, LONG y) {
  if (m_dragging) {
    if (shift) {
      // Only along the axis the mouse has moved more.
      if (std::labs(y - m_dragStart.y) >= std::labs(x - m_dragStart.x))
        x = m_dragStart.x;
      else
        y = m_dragStart.y;
    }
    double mouseX = 0, mouseY = 0;
    if (m_chart.PixelToData(x, y, mouseX, mouseY)) {
      const double newX = mouseX + (m_pointAtStart[0] - m_mouseAtStart[0]);
      const double newY = mouseY + (m_pointAtStart[1] - m_mouseAtStart[1]);
      m_chart.SetPoint(static_cast<int>(m_hitSeries - 1), static_cast<int>(m_hitPoint - 1), newX, newY);
      m_tablePage.MovePoint(static_cast<int>(m_hitPoint - 1), static_cast<int>(m_hitSeries), newX, newY);
    }
  }
  CString text("  ");
  text += m_chart.FormatTrackPosition(m_dragging, button, shift, x, y);
  SetDlgItemText(IDC_GRAPH_READOUT, text);
}

void CGraphEditDlg::OnDoubleClickChart() { m_doubleClicked = TRUE; }

void CGraphEditDlg::OnMouseUpChart(short, short, LONG x, LONG y) {
  m_dragging = FALSE;
  if (!m_doubleClicked) return;
  m_doubleClicked = FALSE;
  double dataX = 0, dataY = 0;
  if (m_chart.PixelToData(x, y, dataX, dataY)) m_tablePage.InsertRowAtX(dataX, -1);
}

void CGraphEditDlg::OnGraphHelp() { UIShowHelp(kTemplateHelp + IDD_GRAPH, kContextHelpCommand); }
void CGraphEditDlg::OnProductHelp() { UIShowHelp(0, kContentsCommand); }
void CGraphEditDlg::OnHelpButton() { UIShowHelp(kTemplateHelp + IDD_GRAPH_EDIT, kContextHelpCommand); }
