#include "gui/graph2d/UIGraphCtl.h"

#include <atomic>
#include <cstdio>
#include <filesystem>

#include <unistd.h>

#include "amg/CaeConfig.h"
#include "amg/CaeGraph.h"
#include "amg/CaeMsgCall.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadDocServices.h"
#include "cadInterface/CadResources.h"
#include "gui/graph2d/UIGraphPageSetupDlg.h"
#include "mfc/services.h"
#include "res/ResourceIds.h"

namespace {

constexpr int kConfigGroup = 1;
constexpr long kPlotRegion = -100;
constexpr long kPickNearest = 3;
constexpr long kSnapPixels = 6;
constexpr long kPatternHidden = 4, kPatternShown = 5;
constexpr int kFirstSaveType = 2;
constexpr int kSaveTypes = 6;
const char* const kSaveExtensions[kSaveTypes + 1] = {"", ".bmp", ".wmf", ".wmf", ".wmf", ".jpg", ".png"};

// The Save As type, remembered while the add-in is loaded.
int saveType = kFirstSaveType;

VARIANT groupIndex() {
  VARIANT v;
  v.vt = VT_I2;
  v.lVal = 1;
  return v;
}

VARIANT axisName(const wchar_t* name) {
  VARIANT v;
  v.vt = VT_BSTR;
  v.text = name;
  return v;
}

CString stringOf(UINT id) {
  CaeString text;
  resLoadString(text, id);
  return CString(text.c_str());
}

// A two-stage format: the pattern takes the decimals, the result the values ("C" locale).
CString formatRounded(UINT patternId, int firstDecimals, int secondDecimals, double first, double second) {
  char pattern[128];
  std::snprintf(pattern, sizeof pattern, stringOf(patternId).str().c_str(), firstDecimals, secondDecimals);
  char text[256];
  std::snprintf(text, sizeof text, pattern, first, second);
  return CString(text);
}

void messageBox(CWnd* owner, const CString& text) {
  CadMessageBox(owner ? owner->GetSafeHwnd() : nullptr, text.str().c_str(), MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace

void UIGraphCtlResetModule() { saveType = kFirstSaveType; }

CGraphCtl::CGraphCtl() = default;
CGraphCtl::~CGraphCtl() = default;

ChartGroup CGraphCtl::Group() { return GetChartGroups().Item(groupIndex()); }

void CGraphCtl::Reset(BOOL keepTitles) {
  SetUserChangesAllowed(FALSE);
  GetProp6();
  if (!keepTitles) {
    CallMethod22(84, FALSE);
    CallMethod22(91, FALSE);
  }
  CaeString font("Arial");
  CaeConfig::GetValue(kConfigGroup, CaeString("Graph Font"), font);
  const CaeString headerFont = font;
  CaeConfig::GetValue(kConfigGroup, CaeString("Graph Axes Font"), font);
  const CaeString axesFont = font;

  ChartAxisCollection axes = GetChartArea().GetAxes();
  for (const wchar_t* name : {L"x", L"y"}) {
    ChartAxis axis = axes.Item(axisName(name));
    ChartFont f = axis.GetFont();
    f.SetName(axesFont.c_str());
    axis.SetFont(f.m_lpDispatch);
  }
  {
    ChartTitle header = GetHeader();
    ChartFont f = header.GetFont();
    f.SetName(headerFont.c_str());
    header.SetFont(f.m_lpDispatch);
  }
  {
    ChartTitle footer = GetFooter();
    ChartFont f = footer.GetFont();
    f.SetName(headerFont.c_str());
    footer.SetFont(f.m_lpDispatch);
  }
  ChartLegend legend = GetLegend();
  ChartFont f = legend.GetFont();
  f.SetName(headerFont.c_str());
  legend.SetFont(f.m_lpDispatch);
}

void CGraphCtl::SetGraph(CaeGraph* graph, BOOL keepTitles) {
  Reset(keepTitles);
  m_graph = graph;
  if (!graph) return;
  ChartGroup group = Group();
  static const long chartTypes[] = {1, 2, 5};
  if (graph->Type() >= 0 && graph->Type() <= 2) group.SetChartType(chartTypes[graph->Type()]);
  if (!keepTitles) {
    GetHeader().GetText().SetText(graph->Name().c_str());
    ChartLabels labels = group.GetSeriesLabels();
    labels.RemoveAll();
    for (CaePolyLine* line = graph->FirstPolyLine(); line; line = graph->NextPolyLine(line)) {
      VARIANT index;
      index.vt = VT_I4;
      index.lVal = static_cast<LONG>(labels.GetCount() + 1);
      labels.Add(line->Name().c_str(), index);
    }
    ChartAxisCollection axes = GetChartArea().GetAxes();
    axes.Item(axisName(L"x")).GetTitle().SetText(graph->XAxis().Name().c_str());
    axes.Item(axisName(L"y")).GetTitle().SetText(graph->YAxis().Name().c_str());
  }
  if (graph->Type() == 1) GetChartArea().GetAxes().Item(axisName(L"y")).SetProp21(1);

  ChartData data = group.GetData();
  data.SetBatched(TRUE);
  long layout = 1;
  if (graph->Type() != 1) {
    const CaePolyLine* first = graph->FirstPolyLine();
    CAE_CHECK(first != nullptr);
    const int n = first->NumPoints();
    for (CaePolyLine* line = graph->FirstPolyLine(); line; line = graph->NextPolyLine(line))
      if (line->NumPoints() != n) layout = 2;
    for (int i = 0; i < n && layout == 1; ++i) {
      double x0 = 0, y0 = 0;
      first->GetPoint(x0, y0, i);
      for (CaePolyLine* line = graph->FirstPolyLine(); line && layout == 1; line = graph->NextPolyLine(line)) {
        double x = 0, y = 0;
        line->GetPoint(x, y, i);
        if (x != x0) layout = 2;
      }
    }
  }
  data.SetLayout(layout);
  data.SetNumSeries(graph->NumPolyLine());
  data.SetFirstSeries(1);
  data.SetLastSeries(graph->NumPolyLine());
  data.SetFirstPoint(1, 1);
  data.SetLastPoint(1, 0);
  long j = 1;
  for (CaePolyLine* line = graph->FirstPolyLine(); line; line = graph->NextPolyLine(line), ++j) {
    const bool ownX = j == 1 || layout == 2;
    if (ownX) data.SetNumPoints(j, line->NumPoints());
    for (int i = 0; i < line->NumPoints(); ++i) {
      double x = 0, y = 0;
      line->GetPoint(x, y, i);
      if (ownX) data.SetX(j, i + 1, x);
      data.SetY(j, i + 1, y);
    }
  }
  data.SetBatched(FALSE);
  ReloadState();
}

// Saves the control's whole state and loads it back, through a scratch file of this process's
// own (a fixed name could be another window's file); only a file this call wrote is loaded
// and deleted.
void CGraphCtl::ReloadState() {
  static std::atomic<unsigned> counter{0};
  CaeString scratch;
  CaeConfig::GetValue(kConfigGroup, CaeString("Scratch Directory"), scratch);
  char name[64];
  std::snprintf(name, sizeof name, "chart-%ld-%u.oc2", static_cast<long>(::getpid()), counter++);
  const std::string path = std::string(scratch.c_str()) + "/" + name;
  if (!SaveState(path.c_str())) return;
  LoadState(path.c_str());
  std::error_code ignored;
  std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove(path, ignored);
}

void CGraphCtl::SetTitles(const char* header, const char* xTitle, const char* yTitle, int selection) {
  if (selection & 1) GetHeader().GetText().SetText(header);
  ChartAxisCollection axes = GetChartArea().GetAxes();
  if (selection & 2) axes.Item(axisName(L"x")).GetTitle().SetText(xTitle);
  if (selection & 4) axes.Item(axisName(L"y")).GetTitle().SetText(yTitle);
}

void CGraphCtl::ClearSeries() {
  ChartGroup group = Group();
  group.GetData().SetNumSeries(0);
  group.GetSeriesLabels().RemoveAll();
}

int CGraphCtl::AddSeries(const char* label) {
  ChartData data = Group().GetData();
  const long count = data.GetNumSeries() + 1;
  data.SetNumSeries(count);
  data.SetLastSeries(count);
  data.SetNumPoints(count, 0);
  data.SetFirstSeries(1);
  if (label && *label) SetSeriesLabel(static_cast<int>(count - 1), label);
  return static_cast<int>(count);
}

void CGraphCtl::SetSeriesLabel(int series, const char* label) {
  if (!IsValidSeries(series, 0)) return;
  ChartLabels labels = Group().GetSeriesLabels();
  const long count = labels.GetCount();
  VARIANT index;
  index.vt = VT_I4;
  if (count < series + 1) {
    index.lVal = static_cast<LONG>(count + 1);
    labels.Add(label, index);
  } else {
    index.lVal = series + 1;
    labels.GetItem(index).SetText(label);
  }
}

void CGraphCtl::SetSeriesStyle(int series, BOOL off) {
  if (!IsValidSeries(series, 0)) return;
  Group().GetData().SetSeriesStyle(series + 1, static_cast<short>(off ? 2 : 1));
}

void CGraphCtl::SetSharedX(BOOL shared) { Group().GetData().SetLayout(shared ? 1 : 2); }

BOOL CGraphCtl::SetBatched(BOOL on) {
  ChartData data = Group().GetData();
  const BOOL previous = data.GetBatched();
  data.SetBatched(on);
  return previous;
}

BOOL CGraphCtl::IsValidSeries(int series, int extra, ChartData* data) {
  ChartData own;
  if (!data) {
    own = Group().GetData();
    data = &own;
  }
  return series >= 0 && series + 1 <= data->GetNumSeries() + extra;
}

BOOL CGraphCtl::IsValidPoint(int series, int point, int extra, ChartData* data) {
  ChartData own;
  if (!data) {
    own = Group().GetData();
    data = &own;
  }
  return series >= 0 && point >= 0 && series + 1 <= data->GetNumSeries() &&
         point + 1 <= data->GetNumPoints(series + 1) + extra;
}

int CGraphCtl::XSeries(ChartData& data, int series) { return data.GetLayout() == 1 ? 1 : series + 1; }

BOOL CGraphCtl::GetPoint(int series, int point, double& x, double& y, ChartData* data) {
  ChartData own;
  if (!data) {
    own = Group().GetData();
    data = &own;
  }
  if (!IsValidPoint(series, point, 0, data)) return FALSE;
  x = data->GetX(XSeries(*data, series), point + 1);
  y = data->GetY(series + 1, point + 1);
  return TRUE;
}

BOOL CGraphCtl::SetPoint(int series, int point, double x, double y, ChartData* data) {
  ChartData own;
  if (!data) {
    own = Group().GetData();
    data = &own;
  }
  if (!IsValidPoint(series, point, 0, data)) return FALSE;
  data->SetX(XSeries(*data, series), point + 1, x);
  data->SetY(series + 1, point + 1, y);
  return TRUE;
}

BOOL CGraphCtl::InsertPoint(int series, int point, double x, double y, ChartData* data) {
  ChartData own;
  if (!data) {
    own = Group().GetData();
    data = &own;
  }
  if (!IsValidPoint(series, point, 1, data)) return FALSE;
  const bool shared = data->GetLayout() == 1;
  const long s = XSeries(*data, series);
  const long count = data->GetNumPoints(s) + 1;
  const long numSeries = data->GetNumSeries();
  data->SetNumPoints(s, count);
  for (long p = count; p >= point + 1; --p) {
    if (p == point + 1) {
      data->SetX(s, p, x);
      data->SetY(series + 1, p, y);
      break;
    }
    data->SetX(s, p, data->GetX(s, p - 1));
    if (shared) {
      for (long k = 1; k <= numSeries; ++k) data->SetY(k, p, data->GetY(k, p - 1));
    } else {
      data->SetY(series + 1, p, data->GetY(series + 1, p - 1));
    }
  }
  data->SetFirstPoint(s, 1);
  data->SetLastPoint(s, count);
  return TRUE;
}

BOOL CGraphCtl::DeletePoint(int series, int point, ChartData* data) {
  ChartData own;
  if (!data) {
    own = Group().GetData();
    data = &own;
  }
  if (!IsValidPoint(series, point, 0, data)) return FALSE;
  const bool shared = data->GetLayout() == 1;
  const long s = XSeries(*data, series);
  const long count = data->GetNumPoints(s);
  const long numSeries = data->GetNumSeries();
  for (long p = point + 1; p <= count - 1; ++p) {
    data->SetX(s, p, data->GetX(s, p + 1));
    if (shared) {
      for (long k = 1; k <= numSeries; ++k) data->SetY(k, p, data->GetY(k, p + 1));
    } else {
      data->SetY(series + 1, p, data->GetY(series + 1, p + 1));
    }
  }
  data->SetNumPoints(s, count - 1);
  return TRUE;
}

BOOL CGraphCtl::PixelToData(long px, long py, double& x, double& y) {
  return Group().PixelToData(px, py, &x, &y) == kPlotRegion;
}

BOOL CGraphCtl::PickPoint(long& series, long& point, long px, long py) {
  long distance = 0;
  if (!Group().PickPoint(px, py, kPickNearest, &series, &point, &distance)) return FALSE;
  return distance <= kSnapPixels;
}

void CGraphCtl::ParkMarkers() {
  if (!m_markersEnabled || m_markersParked) return;
  m_markersParked = TRUE;
  ShowMarkers(FALSE);
  ShowMarkers(TRUE);
}

void CGraphCtl::ShowMarkers(BOOL on) {
  if ((on != FALSE) == (m_markersEnabled != FALSE)) return;
  m_markersEnabled = on;
  if (on) return;
  GetProp7();
  ChartMarkerCollection markers = GetChartArea().GetMarkers();
  for (const wchar_t* name : {L"x", L"y"}) {
    ChartMarker marker = markers.Item(axisName(name));
    ChartStyle style = marker.GetStyle();
    if (style.GetPattern() != kPatternHidden) style.SetPattern(kPatternHidden);
    ChartCoord position = marker.GetPosition();
    const bool forX = name[0] == L'x';
    if ((forX ? position.GetX() : position.GetY()) != 0) {
      if (forX)
        position.SetX(0);
      else
        position.SetY(0);
    }
  }
}

CString CGraphCtl::FormatTrackPosition(BOOL noSnap, short /*button*/, short /*shift*/, long px, long py) {
  ChartGroup group = Group();
  ChartData data = group.GetData();
  if (data.GetNumSeries() < 1 || data.GetNumPoints(1) < 1) return CString();
  const long type = group.GetChartType();
  double x = 0, y = 0;
  ChartArea area = GetChartArea();
  ChartAxisCollection axes = area.GetAxes();
  ChartAxis xAxis = axes.Item(axisName(L"x")), yAxis = axes.Item(axisName(L"y"));
  ChartMarkerCollection markers = area.GetMarkers();
  ChartMarker xMarker = markers.Item(axisName(L"x")), yMarker = markers.Item(axisName(L"y"));
  const long region = group.PixelToData(px, py, &x, &y);
  if (region >= -99 && region <= -96) {
    ParkMarkers();
    return CString();
  }
  if (region != kPlotRegion) return CString();
  if (type != 1 && type != 2 && type != 5) return CString();

  long series = 0, point = 0, distance = 0;
  group.PickPoint(px, py, kPickNearest, &series, &point, &distance);
  const long threshold = type == 2 ? 0 : kSnapPixels;
  if (series >= 1 && distance <= threshold && !noSnap) {
    y = data.GetY(series, point);
    if (type != 2) x = data.GetX(data.GetLayout() == 2 ? series : 1, point);
  }
  if (x > xAxis.GetMax().GetValue() || x < xAxis.GetMin().GetValue() || y > yAxis.GetMax().GetValue() ||
      y < yAxis.GetMin().GetValue()) {
    ParkMarkers();
    return CString();
  }
  if (m_markersParked && !GetProp7()) SetProp7(TRUE);
  m_markersParked = FALSE;
  CString text;
  if (type == 2) {
    const int decimals = CadRoundToDigits(y, 3);
    text = formatRounded(IDS_GRAPH_Y_FORMAT, decimals, 0, y, 0);
    if (m_markersEnabled) {
      ChartStyle style = xMarker.GetStyle();
      if (style.GetPattern() != kPatternHidden) style.SetPattern(kPatternHidden);
      ChartCoord position = xMarker.GetPosition();
      if (position.GetX() != 0) position.SetX(0);
    }
  } else {
    const int yDecimals = CadRoundToDigits(y, 3);
    const int xDecimals = CadRoundToDigits(x, 3);
    text = formatRounded(IDS_GRAPH_XY_FORMAT, xDecimals, yDecimals, x, y);
    if (m_markersEnabled) {
      ChartStyle style = xMarker.GetStyle();
      if (style.GetPattern() != kPatternShown) style.SetPattern(kPatternShown);
      ChartCoord position = xMarker.GetPosition();
      if (position.GetX() != x) position.SetX(x);
    }
  }
  if (m_markersEnabled) {
    ChartStyle style = yMarker.GetStyle();
    if (style.GetPattern() != kPatternShown) style.SetPattern(kPatternShown);
    ChartCoord position = yMarker.GetPosition();
    if (position.GetY() != y) position.SetY(y);
  }
  return text;
}

void CGraphCtl::OnProperties() {
  SetUserChangesAllowed(TRUE);
  ShowPropertyEditor(11, 1, 1);
  SetUserChangesAllowed(FALSE);
  CaeConfig::SetValue(CaeString("Graph Font"), CaeString(GetHeader().GetFont().GetName().str().c_str()), kConfigGroup);
  CaeConfig::SetValue(CaeString("Graph Axes Font"),
                      CaeString(GetChartArea().GetAxes().Item(axisName(L"x")).GetFont().GetName().str().c_str()),
                      kConfigGroup);
}

void CGraphCtl::OnPrint() {
  if (!PrintChart(m_outputFormat, m_sizeMode, m_imageRect.left, m_imageRect.top, m_imageRect.right - m_imageRect.left,
                  m_imageRect.bottom - m_imageRect.top))
    messageBox(this, stringOf(IDS_GRAPH_PRINT_FAILED));
}

void CGraphCtl::OnCopyToClipboard() {
  if (!CopyToClipboard(m_outputFormat)) messageBox(this, stringOf(IDS_GRAPH_COPY_FAILED));
}

void CGraphCtl::OnPageSetup() {
  ResourceSetter resources(1);
  CGraphPageSetupDlg dialog(this);
  if (!dialog.HasPrinter()) return;
  if (m_sizeMode == 2) dialog.m_sizeIndex = 1;
  if (m_sizeMode == 3) dialog.m_sizeIndex = 2;
  if (m_sizeMode == 5) dialog.m_sizeIndex = 0;
  dialog.m_formatIndex = m_outputFormat - 1;
  GetClientRect(&dialog.m_imageRect);
  if (dialog.DoModal() != IDOK) return;
  static const int sizeModes[] = {5, 2, 3};
  if (dialog.m_sizeIndex >= 0 && dialog.m_sizeIndex <= 2) m_sizeMode = sizeModes[dialog.m_sizeIndex];
  m_outputFormat = dialog.m_formatIndex + 1;
  m_imageRect = dialog.m_imageRect;
}

void CGraphCtl::OnSaveAs() {
  CString fileName = stringOf(IDS_GRAPH_DEFAULT_NAME);
  fileName += kSaveExtensions[saveType];
  const CString filter = stringOf(IDS_GRAPH_SAVE_FILTER);
  // No overwrite prompt here: the question is asked about the path actually written below.
  CFileDialog dialog(FALSE, nullptr, fileName.str().c_str(), OFN_HIDEREADONLY, filter.str().c_str(), this);
  dialog.m_ofn.nFilterIndex = static_cast<DWORD>(saveType);
  if (dialog.DoModal() != IDOK) return;
  if (dialog.m_ofn.nFilterIndex >= 1 && dialog.m_ofn.nFilterIndex <= kSaveTypes)
    saveType = static_cast<int>(dialog.m_ofn.nFilterIndex);
  const std::string chosen = dialog.GetPathName().str();
  const std::size_t separator = chosen.find_last_of("\\/");
  const std::string folder = separator == std::string::npos ? std::string() : chosen.substr(0, separator + 1);
  const std::string path = folder + dialog.GetFileTitle().str() + kSaveExtensions[saveType];
  std::error_code ignored;
  if (std::filesystem::exists(path, ignored)) {
    char question[1024];
    std::snprintf(question, sizeof question, stringOf(IDS_GRAPH_REPLACE_FILE).str().c_str(), path.c_str());
    if (CadMessageBox(GetSafeHwnd(), question, MB_YESNO | MB_ICONEXCLAMATION) != IDYES) return;
  }
  BOOL saved = FALSE;
  if (saveType == 5)
    saved = SaveAsJpeg(path.c_str(), 85, FALSE, TRUE, TRUE);
  else if (saveType == 6)
    saved = SaveAsPng(path.c_str(), FALSE);
  else
    saved = DrawToFile(path.c_str(), saveType);
  if (!saved) {
    char text[1024];
    std::snprintf(text, sizeof text, stringOf(IDS_GRAPH_SAVE_FAILED).str().c_str(), path.c_str());
    messageBox(this, CString(text));
  }
}
