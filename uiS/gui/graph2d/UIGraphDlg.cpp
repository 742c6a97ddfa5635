#include "gui/graph2d/UIGraphDlg.h"

#include <algorithm>

#include "amg/CaeGraph.h"
#include "cadInterface/CadResources.h"
#include "mfc/ddx.h"
#include "mfc/menu.h"
#include "res/ResourceIds.h"

namespace {

constexpr UINT kRaiseMessage = 0x7101;
constexpr DWORD_PTR kTemplateHelp = 0x20000;
constexpr UINT kContextHelpCommand = 1;
constexpr UINT kContentsCommand = 11;
constexpr BOOL kFirstTrackPosition = TRUE;
constexpr BOOL kFirstTrackMarkers = FALSE;

// The track choices of the last Graph window, for the next one.
BOOL sharedTrackPosition = kFirstTrackPosition;
BOOL sharedTrackMarkers = kFirstTrackMarkers;

std::vector<CGraphDlg*>& openWindows() {
  static std::vector<CGraphDlg*> windows;
  return windows;
}

}  // namespace

BEGIN_MESSAGE_MAP(CGraphDlg, CResizableDlg)
ON_COMMAND(ID_GRAPH_PROPERTIES, OnProperties)
ON_COMMAND(ID_GRAPH_TRACK_POSITION, OnTrackPosition)
ON_COMMAND(ID_GRAPH_TRACK_MARKERS, OnTrackMarkers)
ON_COMMAND(ID_GRAPH_SAVE_AS, OnSaveAs)
ON_COMMAND(ID_GRAPH_COPY, OnCopy)
ON_COMMAND(ID_GRAPH_PRINT, OnPrint)
ON_COMMAND(ID_GRAPH_PAGE_SETUP, OnPageSetup)
ON_COMMAND(ID_GRAPH_CLOSE, OnGraphClose)
ON_COMMAND(ID_GRAPH_HELP, OnGraphHelp)
ON_COMMAND(ID_GRAPH_PRODUCT_HELP, OnProductHelp)
ON_WM_CLOSE()
ON_MESSAGE(kRaiseMessage, OnRaise)
END_MESSAGE_MAP()

BEGIN_EVENTSINK_MAP(CGraphDlg, CResizableDlg)
ON_EVENT(CGraphDlg, IDC_GRAPH_CHART, -605, OnMouseDownChart, VTS_I2 VTS_I2 VTS_I4 VTS_I4)
ON_EVENT(CGraphDlg, IDC_GRAPH_CHART, -606, OnMouseMoveChart, VTS_I2 VTS_I2 VTS_I4 VTS_I4)
ON_EVENT(CGraphDlg, IDC_GRAPH_CHART, -607, OnMouseUpChart, VTS_I2 VTS_I2 VTS_I4 VTS_I4)
END_EVENTSINK_MAP()

CGraphDlg::CGraphDlg(CWnd* parent)
    : CResizableDlg(IDD_GRAPH, parent), m_trackPosition(sharedTrackPosition), m_trackMarkers(sharedTrackMarkers) {
  openWindows().push_back(this);
}

CGraphDlg::~CGraphDlg() {
  auto& windows = openWindows();
  windows.erase(std::remove(windows.begin(), windows.end(), this), windows.end());
  delete m_graph;
  m_chart.DestroyWindow();
}

std::vector<CGraphDlg*> CGraphDlg::OpenWindows() { return openWindows(); }

void CGraphDlg::CloseAll() {
  for (CGraphDlg* window : OpenWindows())
    if (window->GetSafeHwnd()) window->DestroyWindow();
}

void CGraphDlg::ResetModule() {
  sharedTrackPosition = kFirstTrackPosition;
  sharedTrackMarkers = kFirstTrackMarkers;
}

void CGraphDlg::DoDataExchange(CDataExchange* dx) {
  CResizableDlg::DoDataExchange(dx);
  DDX_Control(dx, IDC_GRAPH_CHART, m_chart);
}

BOOL CGraphDlg::OnInitDialog() {
  CResizableDlg::OnInitDialog();
  m_chart.SetGraph(m_graph, FALSE);
  if (m_graph) SetWindowText(m_graph->Name().c_str());
  m_trackPosition = !m_trackPosition;
  OnTrackPosition();
  m_trackMarkers = !m_trackMarkers;
  OnTrackMarkers();
  return TRUE;
}

void CGraphDlg::PostNcDestroy() { delete this; }

void CGraphDlg::OnTrackPosition() {
  m_trackPosition = !m_trackPosition;
  sharedTrackPosition = m_trackPosition;
  if (CMenu* menu = GetMenu())
    menu->CheckMenuItem(ID_GRAPH_TRACK_POSITION, m_trackPosition ? MF_CHECKED : MF_UNCHECKED);
  if (CWnd* readout = GetDlgItem(IDC_GRAPH_READOUT)) readout->ShowWindow(m_trackPosition ? SW_SHOW : SW_HIDE);
  RECT client{};
  GetClientRect(&client);
  ResizeContents(client.right - client.left, client.bottom - client.top);
}

void CGraphDlg::OnTrackMarkers() {
  m_trackMarkers = !m_trackMarkers;
  sharedTrackMarkers = m_trackMarkers;
  m_chart.ShowMarkers(m_trackMarkers);
  if (CMenu* menu = GetMenu()) menu->CheckMenuItem(ID_GRAPH_TRACK_MARKERS, m_trackMarkers ? MF_CHECKED : MF_UNCHECKED);
}

int CGraphDlg::ResizeContents(int width, int height) {
  if (!m_chart.GetSafeHwnd()) return 1;
  if (m_chart.GetProp7()) m_chart.SetProp7(FALSE);
  int chartHeight = height;
  CWnd* readout = GetDlgItem(IDC_GRAPH_READOUT);
  if (m_trackPosition && readout) {
    RECT r{};
    readout->GetWindowRect(&r);
    const int lineHeight = r.bottom - r.top;
    readout->MoveWindow(1, height - lineHeight - 1, width - 2, lineHeight);
    chartHeight = height - lineHeight - 3;
  }
  m_chart.MoveWindow(0, 0, width, chartHeight, TRUE);
  return 1;
}

void CGraphDlg::OnMouseDownChart(short, short, LONG, LONG) { m_buttonHeld = TRUE; }
void CGraphDlg::OnMouseUpChart(short, short, LONG, LONG) { m_buttonHeld = FALSE; }

void CGraphDlg::OnMouseMoveChart(short button, short shift, LONG x, LONG y) {
  if (!m_trackPosition && !m_trackMarkers) return;
  CString text("  ");
  text += m_chart.FormatTrackPosition(m_buttonHeld, button, shift, x, y);
  SetDlgItemText(IDC_GRAPH_READOUT, m_trackPosition ? text.str().c_str() : "");
}

void CGraphDlg::OnGraphClose() { DestroyWindow(); }
void CGraphDlg::OnClose() { DestroyWindow(); }

void CGraphDlg::OnGraphHelp() { UIShowHelp(kTemplateHelp + IDD_GRAPH, kContextHelpCommand); }
void CGraphDlg::OnProductHelp() { UIShowHelp(0, kContentsCommand); }

LRESULT CGraphDlg::OnRaise(WPARAM, LPARAM) {
  BringWindowToTop();
  return 1;
}
