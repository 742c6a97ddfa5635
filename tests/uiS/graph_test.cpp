// The graph control over the chart control (content from engine graphs, fonts, point editing,
// the readout and its markers, Save As, print and copy failures) and the Graph window (several at
// once, shared track choices, the readout line, each freeing its graph).
#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <filesystem>
#include <fstream>
#include <optional>

#include "amg/CaeConfig.h"
#include "amg/CaeExcept.h"
#include "amg/CaeGraph.h"
#include "amg/CaeList.h"
#include "cadInterface/CadMaterialLibrary.h"
#include "cadInterface/CadResources.h"
#include "chart/chart.h"
#include "gui/graph2d/UIGraphCtl.h"
#include "gui/graph2d/UIGraphDlg.h"
#include "gui/graph2d/UIGraphMaterialDlg.h"
#include "gui/graph2d/UIGraphPageSetupDlg.h"
#include "gui/utils/UIPickers.h"
#include "mfc/action_lines.h"
#include "mfc/ddx.h"
#include "mfc/driver.h"
#include "mfc/menu.h"
#include "mfc/print.h"
#include "mfc/user_actions.h"
#include "res/ResourceIds.h"
#include "test_env.h"
#include "uis_fixture.h"

namespace fs = std::filesystem;

namespace {

VARIANT axisName(const wchar_t* name) {
  VARIANT v;
  v.vt = VT_BSTR;
  v.text = name;
  return v;
}
VARIANT groupOne() {
  VARIANT v;
  v.vt = VT_I2;
  v.lVal = 1;
  return v;
}

CaeGraph* makeGraph(int type, const std::vector<std::vector<std::pair<double, double>>>& lines,
                    const char* name = "E vs. Temperature") {
  auto* graph = new CaeGraph(type);
  graph->SetName(CaeString(name));
  graph->XAxis(CaeGraphAxis(CaeString("Temperature")));
  graph->YAxis(CaeGraphAxis(CaeString("Modulus")));
  for (std::size_t s = 0; s < lines.size(); ++s) {
    graph->SetSeriesTitle(static_cast<int>(s), CaeString(("Line " + std::to_string(s + 1)).c_str()));
    for (const auto& [x, y] : lines[s]) graph->AddPoint(x, y, static_cast<int>(s));
  }
  return graph;
}

// Answers file dialogs from a queue (cancel when empty), records message boxes.
class FilesDriver : public uistest::RecordingDriver {
 public:
  std::deque<std::string> files;
  std::optional<std::string> onFileDialog(const mfc::FileDialogRequest&) override {
    if (files.empty()) return std::nullopt;
    std::string file = files.front();
    files.pop_front();
    return file;
  }
};

// A window with one graph control (the Graph window's template, used as a plain dialog).
class ChartDialog : public CDialog {
 public:
  ChartDialog() : CDialog(IDD_GRAPH) {}
  CGraphCtl chart;
  void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, IDC_GRAPH_CHART, chart); }
};

class GraphTest : public uistest::FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    chart::RegisterChartControl();
    resources_.emplace(1);
    dir_ = fs::temp_directory_path() / ("graph-test-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    CGraphDlg::CloseAll();
    CGraphDlg::ResetModule();
    UIGraphCtlResetModule();
    CGraphPageSetupDlg::ResetModule();
    CResizableDlg::ForgetRectangles();
    resources_.reset();
    fs::remove_all(dir_);
    FrameTest::TearDown();
  }
  // Opens a dialog whose chart shows `graph` (kept by the test).
  CGraphCtl& Show(CaeGraph* graph) {
    graph_.reset(graph);
    dialog_ = std::make_unique<ChartDialog>();
    EXPECT_TRUE(dialog_->Create(IDD_GRAPH));
    dialog_->chart.SetGraph(graph);
    return dialog_->chart;
  }
  static void FixAxes(CGraphCtl& chart, double low, double high) {
    ChartAxisCollection axes = chart.GetChartArea().GetAxes();
    for (const wchar_t* name : {L"x", L"y"}) {
      ChartAxis axis = axes.Item(axisName(name));
      axis.GetMin().SetValue(low);
      axis.GetMax().SetValue(high);
    }
  }
  // Pixels of data on 0..10 axes in the 600 x 450 chart (the chart's geometry contract).
  static long Px(double x) { return std::lround(72 + x / 10.0 * (600 - 150 - 72)); }
  static long Py(double y) { return std::lround((450 - 56) - y / 10.0 * (450 - 56 - 40)); }
  static long GetInt(COleDispatchDriver& d, DISPID id) {
    LONG v = -1;
    d.InvokeHelper(id, DISPATCH_PROPERTYGET, VT_I4, &v, VTS_NONE);
    return v;
  }
  void TearDownDialog() {
    if (dialog_) dialog_->DestroyWindow();
    dialog_.reset();
  }

  std::optional<ResourceSetter> resources_;
  std::unique_ptr<CaeGraph> graph_;
  std::unique_ptr<ChartDialog> dialog_;
  fs::path dir_;
};

TEST_F(GraphTest, SetGraphChoosesTheLayoutFromThePolylines) {
  struct Case {
    const char* what;
    int type;
    std::vector<std::vector<std::pair<double, double>>> lines;
    long layout, chartType, secondSeriesOwnCount;
  };
  const Case cases[] = {
      {"equal counts and x", 0, {{{0, 1}, {1, 2}}, {{0, 3}, {1, 4}}}, 1, 1, 0},
      {"one x differs", 0, {{{0, 1}, {1, 2}}, {{0, 3}, {1.5, 4}}}, 2, 1, 2},
      {"counts differ", 2, {{{0, 1}, {1, 2}}, {{0, 3}}}, 2, 5, 1},
      {"type 1 whatever its lines", 1, {{{0, 1}, {1, 2}}, {{0, 3}}}, 1, 2, 0},
  };
  for (const Case& c : cases) {
    CGraphCtl& chart = Show(makeGraph(c.type, c.lines));
    ChartGroup group = chart.GetChartGroups().Item(groupOne());
    ChartData data = group.GetData();
    EXPECT_EQ(data.GetLayout(), c.layout) << c.what;
    EXPECT_EQ(group.GetChartType(), c.chartType) << c.what;
    EXPECT_EQ(data.GetNumSeries(), 2) << c.what;
    EXPECT_EQ(data.GetY(2, 1), 3) << c.what;
    data.SetLayout(2);
    EXPECT_EQ(data.GetNumPoints(2), c.secondSeriesOwnCount) << c.what << ": only layout 2 gives series 2 a count";
    ChartAxis y = chart.GetChartArea().GetAxes().Item(axisName(L"y"));
    LONG property21 = 0;
    y.InvokeHelper(21, DISPATCH_PROPERTYGET, VT_I4, &property21, VTS_NONE);
    EXPECT_EQ(property21, c.type == 1 ? 1 : 0) << c.what;
    EXPECT_EQ(group.GetSeriesLabels().GetCount(), 2) << c.what;
    TearDownDialog();
  }
}

TEST_F(GraphTest, ATypeZeroGraphWithoutLinesIsAConsistencyFailureAndNoGraphOnlyResets) {
  CGraphCtl& chart = Show(makeGraph(0, {{{0, 1}}}));
  EXPECT_EQ(chart.GetGraph(), graph_.get());
  chart.SetGraph(nullptr);
  EXPECT_EQ(chart.GetGraph(), nullptr) << "no graph forgets the previous one";
  CaeGraph empty(0);
  EXPECT_THROW(chart.SetGraph(&empty), CaeExcept);
  TearDownDialog();
}

TEST_F(GraphTest, FontsComeFromTheConfigurationWithArialWhenMissing) {
  const auto fonts = [&](CGraphCtl& chart) {
    std::string header = chart.GetHeader().GetFont().GetName().str();
    std::string axis = chart.GetChartArea().GetAxes().Item(axisName(L"y")).GetFont().GetName().str();
    std::string legend = chart.GetLegend().GetFont().GetName().str();
    return header + "/" + axis + "/" + legend;
  };
  EXPECT_EQ(fonts(Show(makeGraph(0, {{{0, 1}}}))), "Arial/Arial/Arial");
  TearDownDialog();
  CaeConfig::SetValue(CaeString("Graph Font"), CaeString("Courier"), 1);
  EXPECT_EQ(fonts(Show(makeGraph(0, {{{0, 1}}}))), "Courier/Courier/Courier");
  TearDownDialog();
  CaeConfig::SetValue(CaeString("Graph Axes Font"), CaeString("Times"), 1);
  EXPECT_EQ(fonts(Show(makeGraph(0, {{{0, 1}}}))), "Courier/Times/Courier");
  TearDownDialog();
}

TEST_F(GraphTest, TheReadoutSnapsWithinSixPixelsAndParksOutsideTheAxes) {
  CGraphCtl& chart = Show(makeGraph(0, {{{2, 3}, {5, 5}}}));
  FixAxes(chart, 0, 10);
  chart.ShowMarkers(TRUE);
  EXPECT_EQ(chart.FormatTrackPosition(FALSE, 0, 0, Px(5) + 6, Py(5)).str(), "(x, y) = (5.000, 5.000)");
  const CString free = chart.FormatTrackPosition(FALSE, 0, 0, Px(5) + 7, Py(5));
  EXPECT_NE(free.str(), "(x, y) = (5.000, 5.000)") << "7 pixels off shows the cursor's own place";
  EXPECT_EQ(free.str().rfind("(x, y) = (5.1", 0), 0u) << free.str();
  EXPECT_NE(chart.FormatTrackPosition(TRUE, 1, 0, Px(5) + 2, Py(5)).str(), "(x, y) = (5.000, 5.000)")
      << "no snapping while a button is held";
  EXPECT_TRUE(chart.GetProp7());
  ChartMarkerCollection markers = chart.GetChartArea().GetMarkers();
  EXPECT_EQ(markers.Item(axisName(L"y")).GetStyle().GetPattern(), 5);
  EXPECT_EQ(chart.FormatTrackPosition(FALSE, 0, 0, 30, 200).str(), "") << "left of the plot area parks";
  EXPECT_EQ(markers.Item(axisName(L"x")).GetStyle().GetPattern(), 4);
  EXPECT_EQ(markers.Item(axisName(L"y")).GetPosition().GetY(), 0);

  chart.ShowMarkers(FALSE);
  EXPECT_EQ(chart.FormatTrackPosition(FALSE, 0, 0, Px(2), Py(3)).str(), "(x, y) = (2.000, 3.000)");
  EXPECT_EQ(markers.Item(axisName(L"x")).GetStyle().GetPattern(), 4) << "markers off stay hidden";
  TearDownDialog();
}

TEST_F(GraphTest, ABarChartReadsOnlyYAndRoundsToThreeDigits) {
  struct Case {
    double y;
    const char* text;
  };
  const Case cases[] = {{1234.5, "y = 1235"}, {0.012345, "y = 0.0123"}, {0, "y = 0.000"}};
  for (const Case& c : cases) {
    CGraphCtl& chart = Show(makeGraph(1, {{{5, c.y}}}));
    ChartAxisCollection axes = chart.GetChartArea().GetAxes();
    ChartAxis x = axes.Item(axisName(L"x")), y = axes.Item(axisName(L"y"));
    x.GetMin().SetValue(0);
    x.GetMax().SetValue(10);
    y.GetMin().SetValue(-2 * std::abs(c.y) - 1);
    y.GetMax().SetValue(2 * std::abs(c.y) + 1);
    long series = 0, point = 0, distance = 0;
    chart.GetChartGroups().Item(groupOne()).PickPoint(300, 200, 3, &series, &point, &distance);
    // The bar's top centre, found by asking the chart where the point is drawn.
    long px = 0, py = 0;
    for (long tryX = 72; tryX <= 450 && !px; ++tryX)
      for (long tryY = 40; tryY <= 394 && !px; ++tryY) {
        chart.GetChartGroups().Item(groupOne()).PickPoint(tryX, tryY, 3, &series, &point, &distance);
        if (distance == 0) px = tryX, py = tryY;
      }
    ASSERT_NE(px, 0);
    EXPECT_EQ(chart.FormatTrackPosition(FALSE, 0, 0, px, py).str(), c.text);
    EXPECT_NE(chart.FormatTrackPosition(FALSE, 0, 0, px, py + 1).str(), c.text) << "only on the point itself";
    TearDownDialog();
  }
}

TEST_F(GraphTest, PointEditingKeepsSharedAndOwnColumnsInStep) {
  CGraphCtl& chart = Show(makeGraph(0, {{{1, 10}, {2, 20}}, {{1, 100}, {2, 200}}}));
  ASSERT_EQ(chart.GetChartGroups().Item(groupOne()).GetData().GetLayout(), 1);
  ASSERT_TRUE(chart.InsertPoint(1, 1, 1.5, 150));
  double x = 0, y = 0;
  ASSERT_TRUE(chart.GetPoint(1, 1, x, y));
  EXPECT_EQ(std::make_pair(x, y), std::make_pair(1.5, 150.0));
  ASSERT_TRUE(chart.GetPoint(0, 1, x, y));
  EXPECT_EQ(std::make_pair(x, y), std::make_pair(1.5, 20.0)) << "series 1 keeps a copy of its value there";
  ASSERT_TRUE(chart.GetPoint(0, 2, x, y));
  EXPECT_EQ(std::make_pair(x, y), std::make_pair(2.0, 20.0));
  EXPECT_TRUE(chart.InsertPoint(0, 3, 3, 30)) << "insert at the end";
  EXPECT_FALSE(chart.InsertPoint(0, 5, 9, 9)) << "past the end";
  EXPECT_FALSE(chart.GetPoint(0, 4, x, y));
  ASSERT_TRUE(chart.DeletePoint(0, 0));
  ASSERT_TRUE(chart.GetPoint(1, 0, x, y));
  EXPECT_EQ(std::make_pair(x, y), std::make_pair(1.5, 150.0));
  EXPECT_EQ(chart.GetChartGroups().Item(groupOne()).GetData().GetNumPoints(1), 3);
  EXPECT_FALSE(chart.DeletePoint(2, 0)) << "no third series";
  EXPECT_EQ(chart.AddSeries("Added"), 3);
  EXPECT_EQ(chart.GetChartGroups().Item(groupOne()).GetSeriesLabels().GetCount(), 3);
  TearDownDialog();
}

TEST_F(GraphTest, SaveAsWritesTheChosenTypeAndAsksAboutThePathWritten) {
  CGraphCtl& chart = Show(makeGraph(0, {{{0, 1}, {1, 2}}}));
  FilesDriver user;
  mfc::ScopedUserDriver scoped(&user);
  std::ofstream(dir_ / "x.wmf") << "older";
  user.files.push_back((dir_ / "x.emf").string());
  user.answer(IDNO);
  chart.OnSaveAs();
  ASSERT_EQ(user.boxes().size(), 1u) << "x.wmf exists: the question names it";
  EXPECT_NE(user.boxes()[0].text.find("x.wmf"), std::string::npos);
  std::ifstream kept(dir_ / "x.wmf");
  std::string text;
  kept >> text;
  EXPECT_EQ(text, "older") << "No keeps the file";

  user.files.push_back((dir_ / "y.emf").string());
  chart.OnSaveAs();
  EXPECT_TRUE(fs::exists(dir_ / "y.wmf")) << "the metafile type's extension wins";
  EXPECT_FALSE(fs::exists(dir_ / "y.emf"));

  user.files.push_back((dir_ / "missing" / "z.wmf").string());
  chart.OnSaveAs();
  ASSERT_EQ(user.boxes().size(), 2u) << "a failed save says so";
  EXPECT_NE(user.boxes()[1].text.find("could not be saved"), std::string::npos);
  TearDownDialog();
}

TEST_F(GraphTest, AFailedPrintSaysSo) {
  CGraphCtl& chart = Show(makeGraph(0, {{{0, 1}, {1, 2}}}));
  FilesDriver user;
  mfc::ScopedUserDriver scoped(&user);
  user.files.push_back((dir_ / "page.png").string());
  chart.OnPrint();
  EXPECT_TRUE(user.boxes().empty());
  EXPECT_TRUE(fs::exists(dir_ / "page.png"));
  chart.OnPrint();
  EXPECT_TRUE(user.boxes().empty()) << "a cancelled print says nothing";
  user.files.push_back((dir_ / "missing" / "page.png").string());
  chart.OnPrint();
  ASSERT_EQ(user.boxes().size(), 1u);
  EXPECT_NE(user.boxes()[0].text.find("could not be printed"), std::string::npos);
  TearDownDialog();
}

// Page setup on the toolkit's printer: Letter (8.5 x 11 in), 0.25 in minimum margins, 96 device
// units an inch; the owner chart is 600 x 450 pixels (aspect 4:3).
TEST_F(GraphTest, PageSetupPlacesTheImageByUnitModeAndCentring) {
  CGraphCtl& chart = Show(makeGraph(0, {{{0, 1}, {1, 2}}}));
  struct Case {
    const char* what;
    bool millimetres;
    std::vector<uistest::RecordingDriver::Step> steps;
    const char* widthBox;
    const char* heightBox;
    RECT image;  // printer device units relative to the printable area
    int sizeMode;
  };
  const auto set = [](int id, const char* text) {
    return [id, text](CWnd& w) { EXPECT_EQ(mfc::userSetText(w.m_hWnd, id, text), ""); };
  };
  const auto click = [](int id) { return [id](CWnd& w) { EXPECT_EQ(mfc::userClick(w.m_hWnd, id), ""); }; };
  const Case cases[] = {
      // Width mode at first: the largest 4:3 image between the minimum margins, centred across.
      {"first opening, inches", false, {}, "8", "6", {0, 0, 768, 576}, 2},
      // 4 in wide, centred: left margin 2.25 in -> 2.0 in past the minimum.
      {"4 in wide", false, {set(IDC_PSETUP_WIDTH, "4")}, "4", "3.000", {192, 0, 576, 288}, 2},
      // Typed too wide: clamped and written back.
      {"too wide", false, {set(IDC_PSETUP_WIDTH, "20")}, "8.000", "6.000", {0, 0, 768, 576}, 2},
      // Full page ignores the aspect ratio: the margins are the minimum margins.
      {"full page", false, {click(IDC_PSETUP_FULL_PAGE)}, "8.000", "10.500", {0, 0, 768, 1008}, 5},
      // Millimetres: hundredths of a millimetre, 2 decimals, the width cut (not rounded).
      {"first opening, mm", true, {}, "203.2", "152.4", {0, 0, 768, 576}, 2},
      {"50 mm wide", true, {set(IDC_PSETUP_WIDTH, "50")}, "50", "37.50", {289, 0, 478, 141}, 2},
  };
  for (const Case& c : cases) {
    mfc::usePrinterMillimetres(c.millimetres);
    CString width, height, sizeGroup;
    for (const auto& step : c.steps) driver.add(step);
    driver.add([&](CWnd& w) {
      w.GetDlgItemText(IDC_PSETUP_WIDTH, width);
      w.GetDlgItemText(IDC_PSETUP_HEIGHT, height);
      w.GetDlgItemText(IDC_PSETUP_SIZE_GROUP, sizeGroup);
      w.SendMessage(WM_COMMAND, IDOK);
    });
    chart.OnPageSetup();
    EXPECT_EQ(width.str(), c.widthBox) << c.what;
    EXPECT_EQ(height.str(), c.heightBox) << c.what;
    EXPECT_EQ(sizeGroup.str(), c.millimetres ? "Image Size (mm)" : "Image Size (in)") << c.what;
    EXPECT_EQ(chart.m_imageRect.left, c.image.left) << c.what;
    EXPECT_EQ(chart.m_imageRect.top, c.image.top) << c.what;
    EXPECT_EQ(chart.m_imageRect.right, c.image.right) << c.what;
    EXPECT_EQ(chart.m_imageRect.bottom, c.image.bottom) << c.what;
    EXPECT_EQ(chart.m_sizeMode, c.sizeMode) << c.what;
    chart.m_sizeMode = 2;
  }
  mfc::usePrinterMillimetres(false);

  // The page printed with the 4 in placement: the chart 384 pixels wide, centred on the page.
  driver.add([&](CWnd& w) {
    mfc::userSetText(w.m_hWnd, IDC_PSETUP_WIDTH, "4");
    w.SendMessage(WM_COMMAND, IDOK);
  });
  chart.OnPageSetup();
  FilesDriver user;
  mfc::ScopedUserDriver scoped(&user);
  user.files.push_back((dir_ / "page.png").string());
  chart.OnPrint();
  ASSERT_TRUE(fs::exists(dir_ / "page.png"));
  TearDownDialog();
}

// The preview of a chart without an engine graph goes through a scratch file of its own: a file
// someone else keeps in the scratch folder under the old fixed name is neither read nor removed,
// and nothing is left behind.
TEST_F(GraphTest, PageSetupPreviewUsesItsOwnScratchFileOnly) {
  CGraphCtl& chart = Show(makeGraph(0, {{{0, 1}, {1, 2}, {2, 5}}}));
  chart.m_graph = nullptr;  // the data stays in the chart; the preview must copy it from there
  const fs::path scratch = dir_ / "scratch";
  fs::create_directories(scratch);
  CaeString previousScratch;
  CaeConfig::GetValue(1, CaeString("Scratch Directory"), previousScratch);
  CaeConfig::SetValue(1, CaeString("Scratch Directory"), CaeString(scratch.string().c_str()));
  {
    std::ofstream stranger(scratch / "chartdata.tmp");
    stranger << "not a chart";
  }
  long previewPoints = -1;
  double previewY = 0;
  driver.add([&](CWnd& w) {
    auto* dialog = dynamic_cast<CGraphPageSetupDlg*>(&w);
    ASSERT_NE(dialog, nullptr);
    ChartData data = dialog->m_preview.GetChartGroups().Item(groupOne()).GetData();
    previewPoints = data.GetNumPoints(1);
    previewY = data.GetY(1, 3);
    w.SendMessage(WM_COMMAND, IDCANCEL);
  });
  chart.OnPageSetup();
  EXPECT_EQ(previewPoints, 3);
  EXPECT_EQ(previewY, 5);
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(scratch)) left.push_back(entry.path().filename().string());
  EXPECT_EQ(left, std::vector<std::string>{"chartdata.tmp"});
  std::ifstream stranger(scratch / "chartdata.tmp");
  std::string text;
  std::getline(stranger, text);
  EXPECT_EQ(text, "not a chart");
  CaeConfig::SetValue(1, CaeString("Scratch Directory"), previousScratch);
  TearDownDialog();
}

// A chart of no height has no aspect ratio: the page setup takes 1 (a square image).
TEST_F(GraphTest, PageSetupOfAChartWithoutHeightTakesASquareImage) {
  CGraphCtl& chart = Show(makeGraph(0, {{{0, 1}, {1, 2}}}));
  chart.MoveWindow(0, 0, 600, 0);
  CString width, height;
  driver.add([&](CWnd& w) {
    w.GetDlgItemText(IDC_PSETUP_WIDTH, width);
    w.GetDlgItemText(IDC_PSETUP_HEIGHT, height);
    mfc::userSetText(w.m_hWnd, IDC_PSETUP_WIDTH, "4");
    w.GetDlgItemText(IDC_PSETUP_HEIGHT, height);
    w.SendMessage(WM_COMMAND, IDOK);
  });
  chart.OnPageSetup();
  EXPECT_EQ(width.str(), "8");
  EXPECT_EQ(height.str(), "4.000");
  EXPECT_EQ(chart.m_imageRect.right - chart.m_imageRect.left, 384);
  EXPECT_EQ(chart.m_imageRect.bottom - chart.m_imageRect.top, 384);
  TearDownDialog();
}

TEST_F(GraphTest, GraphWindowsOpenSideBySideShareTrackChoicesAndFreeTheirGraphs) {
  UIShowGraphWindow(makeGraph(0, {{{0, 1}, {10, 9}}}, "Young's Modulus vs. Temperature"));
  UIShowGraphWindow(makeGraph(0, {{{0, 5}, {10, 6}}}, "Thermal Conductivity vs. Temperature"));
  std::vector<CGraphDlg*> windows = CGraphDlg::OpenWindows();
  ASSERT_EQ(windows.size(), 2u);
  CString title;
  windows[1]->GetWindowText(title);
  EXPECT_EQ(title.str(), "Thermal Conductivity vs. Temperature");
  EXPECT_TRUE(windows[0]->IsWindowVisible());

  // Mouse moves over the chart show the readout.
  CGraphDlg* first = windows[0];
  FixAxes(first->m_chart, 0, 10);
  mfc::HostedControl* control = mfc::hostedControl(first->m_chart.m_hWnd);
  ASSERT_NE(control, nullptr);
  control->mouse(mfc::MouseAction::Move, Px(10) - 3, Py(9) + 2, false);
  CString readout;
  first->GetDlgItemText(IDC_GRAPH_READOUT, readout);
  EXPECT_EQ(readout.str(), "  (x, y) = (10.00, 9.000)");

  // Track Position off in the first window: a later window opens without the readout line.
  first->SendMessage(WM_COMMAND, ID_GRAPH_TRACK_POSITION);
  EXPECT_FALSE(first->GetDlgItem(IDC_GRAPH_READOUT)->IsWindowVisible());
  RECT chartRect{};
  first->m_chart.GetWindowRect(&chartRect);
  RECT client{};
  first->GetClientRect(&client);
  EXPECT_EQ(chartRect.bottom - chartRect.top, client.bottom) << "the chart takes the whole height";
  UIShowGraphWindow(makeGraph(0, {{{0, 1}}}, "Third"));
  CGraphDlg* third = CGraphDlg::OpenWindows().back();
  EXPECT_FALSE(third->m_trackPosition);
  EXPECT_EQ(third->GetMenu()->GetMenuState(ID_GRAPH_TRACK_POSITION, MF_BYCOMMAND) & MF_CHECKED, 0u);
  EXPECT_FALSE(third->GetDlgItem(IDC_GRAPH_READOUT)->IsWindowVisible());

  // With the readout line back, it sits 1 pixel from the edges with a 2-pixel gap above.
  third->SendMessage(WM_COMMAND, ID_GRAPH_TRACK_POSITION);
  third->MoveWindow(0, 0, 700, 500);
  RECT line{}, chartArea{};
  third->GetDlgItem(IDC_GRAPH_READOUT)->GetWindowRect(&line);
  third->m_chart.GetWindowRect(&chartArea);
  third->ScreenToClient(&line);
  third->ScreenToClient(&chartArea);
  third->GetClientRect(&client);
  EXPECT_EQ(line.left, 1);
  EXPECT_EQ(line.right, client.right - 1);
  EXPECT_EQ(line.bottom, client.bottom - 1);
  EXPECT_EQ(line.top - chartArea.bottom, 2);

  // Close frees each window and its graph (LSan watches); the others stay.
  first->SendMessage(WM_COMMAND, ID_GRAPH_CLOSE);
  EXPECT_EQ(CGraphDlg::OpenWindows().size(), 2u);
  CGraphDlg::CloseAll();
  EXPECT_TRUE(CGraphDlg::OpenWindows().empty());
}

// The "@" lines a script drives Graph windows with: choose a window by title, move the mouse over
// its chart, wait, and write its picture.
TEST_F(GraphTest, ScriptLinesChooseAGraphWindowMoveTheMouseAndWriteItsPicture) {
  UIShowGraphWindow(makeGraph(0, {{{0, 1}, {10, 9}}}, "First Graph"));
  UIShowGraphWindow(makeGraph(0, {{{0, 5}, {10, 6}}}, "Second Graph"));
  for (CGraphDlg* window : CGraphDlg::OpenWindows()) FixAxes(window->m_chart, 0, 10);
  std::string printed;
  mfc::ActionLineDriver script(nullptr, [&](const std::string& text) { printed += text; });
  int number = 0;
  const auto run = [&](const std::string& text) { script.handleLineWithoutWindow({text, ++number}); };
  run("@window First Graph");
  run("@mouse 1425 move " + std::to_string(Px(10) - 3) + " " + std::to_string(Py(9) + 2));
  run("@wait 20");
  run("@png \"First Graph\" " + (dir_ / "first.png").string());
  run("@window Second Graph");
  run("@mouse 1425 move " + std::to_string(Px(10) - 3) + " " + std::to_string(Py(9) + 2));
  EXPECT_EQ(printed, "");
  CString first, second;
  CGraphDlg::OpenWindows()[0]->GetDlgItemText(IDC_GRAPH_READOUT, first);
  CGraphDlg::OpenWindows()[1]->GetDlgItemText(IDC_GRAPH_READOUT, second);
  EXPECT_EQ(first.str(), "  (x, y) = (10.00, 9.000)") << "snapped to the point 3.6 pixels away";
  EXPECT_EQ(second.str().rfind("  (x, y) = (9.9", 0), 0u) << second.str() << ": the second graph's point is far";
  EXPECT_GT(fs::file_size(dir_ / "first.png"), 1000u);

  run("@window No Such Graph");
  run("@mouse 1427 move 1 1");
  run("@mouse 1425 wiggle 1 1");
  run("@png Nowhere x.png");
  run("@wait forever");
  EXPECT_NE(printed.find("line 7: there is no window \"No Such Graph\""), std::string::npos) << printed;
  EXPECT_NE(printed.find("line 8: control 1427 is not a hosted control"), std::string::npos) << printed;
  EXPECT_NE(printed.find("line 9: @mouse needs down, move, up or dblclick"), std::string::npos) << printed;
  EXPECT_NE(printed.find("line 10: there is no window \"Nowhere\""), std::string::npos) << printed;
  EXPECT_NE(printed.find("line 11: @wait needs milliseconds"), std::string::npos) << printed;
}

// A library that lists one name it cannot find (a material removed behind the list's back).
class LibraryWithAGap : public MaterialLibrary {
 public:
  using MaterialLibrary::MaterialLibrary;
  int ListNames(CaeList<CaeString>& names) override {
    MaterialLibrary::ListNames(names);
    names.Append(new CaeString("Vanished"));
    return 0;
  }
};

TEST_F(GraphTest, MaterialGraphsOpenOneWindowPerPropertyWithACurvePerMaterial) {
  fs::copy_file(kestrum::test::sourcePath("data/zq_fea.mat"), dir_ / "lib.mat");
  LibraryWithAGap library(CaeString((dir_ / "lib.mat").string().c_str()));
  const auto run = [&](std::vector<uistest::RecordingDriver::Step> steps) {
    CGraphMaterialDlg dialog;
    const char* names[] = {"Density",         "Young's Modulus", "Shear Modulus", "Yield Stress",
                           "Ultimate Stress", "Conductivity",    "Expansion",     "Specific Heat"};
    const int units[] = {18, 15, 15, 15, 15, 22, 20, 23};
    for (int i = 0; i < 8; ++i) {
      dialog.m_propertyNames.Add(names[i]);
      dialog.m_unitLabels.Add("units");
      dialog.m_units.Append(CaeUnit(units[i]));
    }
    dialog.m_strTempUnit = "K";
    dialog.m_strMaterial = "S275";
    dialog.m_pLibrary = &library;
    for (auto& step : steps) driver.add(std::move(step));
    return dialog.DoModal();
  };
  const auto tick = [](int id, const char* entry, bool on) {
    return [=](CWnd& w) { EXPECT_EQ(mfc::userCheckEntry(w.m_hWnd, id, entry, on), ""); };
  };
  const auto ok = [](CWnd& w) { w.SendMessage(WM_COMMAND, IDOK); };

  // Two materials, Young's modulus and conductivity.
  std::vector<uistest::RecordingDriver::Step> steps = {tick(IDC_GRAPH_MATERIALS, "Stainless_1.4301", true)};
  for (const char* property : {"Density", "Shear Modulus", "Yield Stress", "Ultimate Stress"})
    steps.push_back(tick(IDC_GRAPH_PROPERTIES, property, false));
  steps.push_back(tick(IDC_GRAPH_PROPERTIES, "Conductivity", true));
  steps.push_back(ok);
  EXPECT_EQ(run(steps), IDOK);
  std::vector<CGraphDlg*> windows = CGraphDlg::OpenWindows();
  ASSERT_EQ(windows.size(), 2u);
  CString title;
  windows[0]->GetWindowText(title);
  EXPECT_EQ(title.str(), "Young's Modulus vs. Temperature");
  windows[1]->GetWindowText(title);
  EXPECT_EQ(title.str(), "Conductivity vs. Temperature");
  const CaeGraph* modulus = windows[0]->m_graph;
  ASSERT_EQ(modulus->NumPolyLine(), 2);
  EXPECT_EQ(modulus->Type(), 0);
  EXPECT_EQ(std::string(modulus->GetPolyLine(0)->Name().c_str()), "S275");
  EXPECT_EQ(std::string(modulus->XAxis().Name().c_str()), "Temperature K");
  double x = 0, y = 0;
  ASSERT_TRUE(modulus->GetPolyLine(0)->GetPoint(x, y, 0));
  EXPECT_DOUBLE_EQ(x, CaeUnit::NativeToHost(2, 293.15));
  EXPECT_DOUBLE_EQ(y, CaeUnit::NativeToHost(15, 2.1e11));
  EXPECT_EQ(driver.boxes().size(), 0u);
  CGraphDlg::CloseAll();

  // Nothing ticked among the materials: OK leaves the dialog open and opens nothing.
  EXPECT_EQ(run({tick(IDC_GRAPH_MATERIALS, "S275", false), ok, [](CWnd& w) { w.SendMessage(WM_COMMAND, IDCANCEL); }}),
            IDCANCEL);
  EXPECT_TRUE(CGraphDlg::OpenWindows().empty());

  // A listed name the library cannot find is left out and said.
  EXPECT_EQ(run({tick(IDC_GRAPH_MATERIALS, "Vanished", true), ok}), IDOK);
  ASSERT_EQ(driver.boxes().size(), 1u);
  EXPECT_NE(driver.boxes()[0].text.find("Vanished"), std::string::npos);
  ASSERT_EQ(CGraphDlg::OpenWindows().size(), 5u) << "the five properties ticked at the start";
  EXPECT_EQ(CGraphDlg::OpenWindows()[0]->m_graph->NumPolyLine(), 1);
  CGraphDlg::CloseAll();
}

TEST_F(GraphTest, AGraphTheWindowCannotShowIsFreedWithTheHalfMadeWindow) {
  EXPECT_THROW(UIShowGraphWindow(new CaeGraph(0)), CaeExcept);
  EXPECT_TRUE(CGraphDlg::OpenWindows().empty());
  EXPECT_THROW(UIShowGraphWindow(nullptr), CaeExcept);
}

}  // namespace
