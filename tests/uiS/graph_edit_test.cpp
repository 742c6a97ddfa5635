// The graph editor and its Table page: the table, the chart and the stored graph stay in step
// through new rows, removals, moves, typed values, column switches, drags and double-clicks.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <optional>
#include <vector>

#include "amg/CaeGraph.h"
#include "cadInterface/CadDocServices.h"
#include "cadInterface/CadResources.h"
#include "chart/chart.h"
#include "gui/graph2d/UIGraphEditDlg.h"
#include "mfc/ole.h"
#include "mfc/user_actions.h"
#include "res/ResourceIds.h"
#include "uis_fixture.h"

namespace {

using Points = std::vector<std::pair<double, double>>;

CaeGraph* makeGraph(const std::vector<Points>& lines) {
  auto* graph = new CaeGraph(0);
  graph->SetName(CaeString("Load"));
  graph->XAxis(CaeGraphAxis(CaeString("Position")));
  graph->YAxis(CaeGraphAxis(CaeString("Pressure")));
  for (std::size_t s = 0; s < lines.size(); ++s) {
    auto* line = new CaePolyLine(CaeString(("Curve " + std::to_string(s + 1)).c_str()));
    for (const auto& [x, y] : lines[s]) line->AddPoint(x, y, 0);
    graph->AddPolyLine(line);
  }
  return graph;
}

// A chart text object's text.
std::string textOf(ChartText text) {
  BSTR value = nullptr;
  text.InvokeHelper(1, DISPATCH_PROPERTYGET, VT_BSTR, &value, VTS_NONE);
  std::string result;
  for (UINT i = 0; i < SysStringLen(value); ++i) result += static_cast<char>(value[i]);
  SysFreeString(value);
  return result;
}

VARIANT axisName(const wchar_t* name) {
  VARIANT v;
  v.vt = VT_BSTR;
  v.text = name;
  return v;
}

std::vector<Points> pointsOf(const CaeGraph& graph) {
  std::vector<Points> lines;
  for (int i = 0; i < graph.NumPolyLine(); ++i) {
    Points points;
    const CaePolyLine* line = graph.GetPolyLine(i);
    for (int j = 0; j < line->NumPoints(); ++j) {
      double x = 0, y = 0;
      line->GetPoint(x, y, j);
      points.emplace_back(x, y);
    }
    lines.push_back(points);
  }
  return lines;
}

class GraphEditTest : public uistest::FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    chart::RegisterChartControl();
    resources_.emplace(1);
  }
  void TearDown() override {
    if (editor_ && editor_->GetSafeHwnd()) editor_->DestroyWindow();
    editor_.reset();
    CResizableDlg::ForgetRectangles();
    resources_.reset();
    FrameTest::TearDown();
  }

  // An editor over `graph` (null: new data) with an x column and `curves` y columns, created
  // modelessly; switchable columns start on.
  CGraphEditDlg& Open(CaeGraph* graph, int curves = 1, bool switchable = false) {
    graph_.reset(graph);
    editor_ = std::make_unique<CGraphEditDlg>();
    editor_->SetTitles("Functionally Varying Load", "", "", CGraphEditDlg::kEditAll);
    editor_->SetColumn(0, "Position", FALSE, FALSE);
    for (int i = 1; i <= curves; ++i)
      editor_->SetColumn(i, ("Y" + std::to_string(i)).c_str(), switchable ? TRUE : FALSE, TRUE);
    editor_->m_graph = graph;
    EXPECT_TRUE(editor_->Create(nullptr));
    editor_->ShowWindow(SW_SHOW);
    return *editor_;
  }
  HWND Page() const { return editor_->m_tablePage.m_hWnd; }
  CListCtrl& List() const { return editor_->m_tablePage.m_list; }
  std::string Cell(int row, int column) const { return List().GetItemText(row, column).str(); }
  static std::string Formatted(double value) {
    CString text;
    return CadFormatValue(text, value, 2).str();
  }
  void Type(int column, const std::string& text) {
    EXPECT_EQ(mfc::userSetText(Page(), IDC_GTABLE_EDIT0 + column, text), "");
  }
  void Click(int id) { EXPECT_EQ(mfc::userClick(Page(), id), ""); }
  void Key(UINT key) { EXPECT_EQ(mfc::userKey(Page(), IDC_GTABLE_LIST, key), ""); }
  std::vector<Points> Stored() {
    CaeGraph graph;
    editor_->StoreGraph(&graph);
    return pointsOf(graph);
  }
  // The columns, the list texts and the chart's points all hold the same rows.
  void ExpectInStep() {
    const CGraphEditDlg& editor = *editor_;
    const int rows = editor.m_columns[0].Count();
    ASSERT_EQ(List().GetItemCount(), rows);
    CGraphCtl& chart = editor_->m_chart;
    for (int r = 0; r < rows; ++r) {
      for (int c = 0; c < editor.m_tablePage.m_visibleColumns; ++c) {
        // A cell shows its value formatted, or the number typed for it.
        const double value = editor.m_columns[c].GetValue(r, TRUE);
        const std::string cell = Cell(r, c);
        EXPECT_TRUE(cell == Formatted(value) || (!cell.empty() && std::stod(cell) == value))
            << "row " << r << " column " << c << ": " << cell << " for " << value;
      }
      for (int c = 1; c < editor.m_tablePage.m_visibleColumns; ++c) {
        double x = -1, y = -1;
        ASSERT_TRUE(chart.GetPoint(c - 1, r, x, y)) << "row " << r;
        EXPECT_DOUBLE_EQ(x, editor.m_columns[0].GetValue(r, TRUE));
        EXPECT_DOUBLE_EQ(y, editor.m_columns[c].GetValue(r, TRUE));
      }
    }
    double x = 0, y = 0;
    EXPECT_FALSE(chart.GetPoint(0, rows, x, y)) << "the chart holds no extra point";
  }
  // Axes fixed to 0..10 so that pixels map to known data.
  void FixAxes() {
    editor_->MoveWindow(0, 0, 1400, 900);  // a plot of about 10 pixels per 0.1
    ChartAxisCollection axes = editor_->m_chart.GetChartArea().GetAxes();
    for (const wchar_t* name : {L"x", L"y"}) {
      ChartAxis axis = axes.Item(axisName(name));
      axis.GetMin().SetValue(0);
      axis.GetMax().SetValue(10);
    }
  }
  // The chart's pixel of data (x, y) on the fixed axes (the chart's geometry contract).
  POINT Pixel(double x, double y) const {
    RECT client{};
    editor_->m_chart.GetClientRect(&client);
    const double right = client.right - chart::kInsetRight, bottom = client.bottom - chart::kInsetBottom;
    return {static_cast<LONG>(std::lround(chart::kInsetLeft + x / 10 * (right - chart::kInsetLeft))),
            static_cast<LONG>(std::lround(bottom - y / 10 * (bottom - chart::kInsetTop)))};
  }
  void Mouse(mfc::MouseAction action, POINT at, bool shift = false) {
    mfc::HostedControl* control = mfc::hostedControl(editor_->m_chart.m_hWnd);
    ASSERT_NE(control, nullptr);
    control->mouse(action, at.x, at.y, shift);
  }

  std::optional<ResourceSetter> resources_;
  std::unique_ptr<CaeGraph> graph_;
  std::unique_ptr<CGraphEditDlg> editor_;
};

TEST_F(GraphEditTest, ANewGraphStartsWithTwoRowsAndTypedValuesReachTableChartAndGraph) {
  CGraphEditDlg& editor = Open(nullptr);
  CString caption;
  editor.GetWindowText(caption);
  EXPECT_EQ(caption.str(), "Edit Functionally Varying Load");
  EXPECT_EQ(editor.m_sheet.GetPageCount(), 1) << "only the Table page is offered";
  EXPECT_EQ(Stored(), (std::vector<Points>{{{0, 0}, {1, 0}}}));
  ExpectInStep();

  Key(VK_DOWN);
  Type(1, "5");
  Type(0, ".5");
  EXPECT_EQ(Stored(), (std::vector<Points>{{{0, 0}, {0.5, 5}}}));
  ExpectInStep();

  // Empty text is 0; text that is not a number is refused: value and cell keep the number, and
  // leaving the edit says so and shows the kept value again.
  Type(1, "");
  EXPECT_EQ(Stored(), (std::vector<Points>{{{0, 0}, {0.5, 0}}}));
  Type(1, "7");
  for (const char* text : {"abc", "7x", "1e999", "-"}) {
    Type(1, text);
    EXPECT_EQ(Stored(), (std::vector<Points>{{{0, 0}, {0.5, 7}}})) << text;
    EXPECT_EQ(Cell(1, 1), "7") << text;
  }
  ExpectInStep();
  Click(IDC_GTABLE_NEW);  // leaves the edit
  ASSERT_EQ(driver.boxes().size(), 1u);
  EXPECT_NE(driver.boxes()[0].text.find("\"-\" is not a number"), std::string::npos) << driver.boxes()[0].text;
  ExpectInStep();
}

TEST_F(GraphEditTest, NewRowsAndInsertionsFollowTheNeighbouringRowsInX) {
  struct Case {
    const char* what;
    Points rows;
    int current;  // for "NEW"; -1: an insertion at `x` instead
    double x;
    Points expected;
  };
  const Case cases[] = {
      {"NEW after three rows extrapolates", {{0, 0}, {1, 10}, {2, 20}}, 2, 0, {{0, 0}, {1, 10}, {2, 20}, {3, 30}}},
      {"NEW between two rows halves", {{0, 0}, {2, 10}}, 0, 0, {{0, 0}, {1, 5}, {2, 10}}},
      {"NEW after a single row keeps its y", {{1, 5}}, 0, 0, {{1, 5}, {2, 5}}},
      {"an insertion after two rows is linear in its x", {{0, 0}, {1, 10}}, -1, 5, {{0, 0}, {1, 10}, {5, 50}}},
      {"an insertion between rows", {{0, 0}, {4, 40}}, -1, 1, {{0, 0}, {1, 10}, {4, 40}}},
      {"an insertion before the first row starts at the origin",
       {{2, 20}, {4, 40}},
       -1,
       1,
       {{1, 10}, {2, 20}, {4, 40}}},
      {"an insertion after one row keeps its y", {{1, 5}}, -1, 3, {{1, 5}, {3, 5}}},
      {"NEW in an empty table", {}, 0, 0, {{0, 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Open(makeGraph({c.rows}));
    if (c.current >= 0) {
      editor_->m_tablePage.SelectRow(c.current);
      Click(IDC_GTABLE_NEW);
    } else {
      editor_->m_tablePage.InsertRowAtX(c.x, -1);
    }
    EXPECT_EQ(Stored(), (std::vector<Points>{c.expected}));
    ExpectInStep();
    editor_->DestroyWindow();
  }
}

TEST_F(GraphEditTest, RemovingMovingAndKeysKeepRowsAndButtonsRight) {
  Open(makeGraph({{{0, 0}, {1, 10}, {2, 20}}}));
  CGraphTablePP& page = editor_->m_tablePage;
  EXPECT_EQ(page.CurrentRow(), 0);
  EXPECT_FALSE(page.m_moveUpButton.IsWindowEnabled());
  EXPECT_TRUE(page.m_moveDownButton.IsWindowEnabled());

  // Moving a row down and up again restores the order; moved rows keep their values.
  Click(IDC_GTABLE_MOVE_DOWN);
  EXPECT_EQ(page.CurrentRow(), 1);
  EXPECT_EQ(Stored(), (std::vector<Points>{{{1, 10}, {0, 0}, {2, 20}}}));
  ExpectInStep();
  Click(IDC_GTABLE_MOVE_UP);
  EXPECT_EQ(Stored(), (std::vector<Points>{{{0, 0}, {1, 10}, {2, 20}}}));
  ExpectInStep();

  // Keys move the current row; the edits follow it.
  Key(VK_END);
  EXPECT_EQ(page.CurrentRow(), 2);
  CString text;
  page.GetDlgItemText(IDC_GTABLE_EDIT1, text);
  EXPECT_EQ(text.str(), Cell(2, 1));
  EXPECT_FALSE(page.m_moveDownButton.IsWindowEnabled());
  Key(VK_HOME);
  EXPECT_EQ(page.CurrentRow(), 0);
  Key(VK_DOWN);
  EXPECT_EQ(page.CurrentRow(), 1);
  Key(VK_UP);
  Key(VK_UP);
  EXPECT_EQ(page.CurrentRow(), 0);
  Key(VK_NEXT);
  EXPECT_EQ(page.CurrentRow(), 2);
  Key(VK_INSERT);
  EXPECT_EQ(Stored(), (std::vector<Points>{{{0, 0}, {1, 10}, {2, 20}, {3, 30}}}));
  Key(VK_DELETE);
  EXPECT_EQ(Stored(), (std::vector<Points>{{{0, 0}, {1, 10}, {2, 20}}}));
  ExpectInStep();

  // Removing every row leaves nothing to delete, move or edit.
  for (int i = 0; i < 3; ++i) Click(IDC_GTABLE_DELETE);
  EXPECT_EQ(List().GetItemCount(), 0);
  EXPECT_EQ(Stored(), (std::vector<Points>{{}}));
  for (int id : {IDC_GTABLE_DELETE, IDC_GTABLE_MOVE_UP, IDC_GTABLE_MOVE_DOWN, IDC_GTABLE_EDIT0, IDC_GTABLE_EDIT1})
    EXPECT_FALSE(page.GetDlgItem(id)->IsWindowEnabled()) << id;
  EXPECT_TRUE(page.m_insertButton.IsWindowEnabled());
  ExpectInStep();
}

// Three component columns of a graph that has fewer curves, or shorter ones: an edit lands in
// its own row, the short columns padded with zeros.
TEST_F(GraphEditTest, ComponentColumnsLoadSwitchAndStoreWithTheirRows) {
  CGraphEditDlg& editor = Open(makeGraph({{{0, 1}, {1, 2}, {2, 3}}, {{0, 0}}}), 3, true);
  EXPECT_EQ(editor.m_columns[1].m_state, CGraphColumn::kSwitchedOn);
  EXPECT_EQ(editor.m_columns[2].m_state, CGraphColumn::kSwitchedOff) << "all zeros opens switched off";
  EXPECT_EQ(editor.m_columns[3].m_state, CGraphColumn::kSwitchedOn) << "no curve: as set up";
  EXPECT_EQ(Stored(), (std::vector<Points>{{{0, 1}, {1, 2}, {2, 3}}, {{0, 0}}, {}}));

  editor.m_tablePage.SelectRow(2);
  Type(3, "9");
  EXPECT_EQ(Stored(), (std::vector<Points>{{{0, 1}, {1, 2}, {2, 3}}, {{0, 0}}, {{0, 0}, {1, 0}, {2, 9}}}));
  ExpectInStep();

  // The header of a switchable column switches it; the x column's header does nothing.
  EXPECT_EQ(mfc::userClickColumn(Page(), IDC_GTABLE_LIST, 2), "");
  EXPECT_EQ(editor.m_columns[2].m_state, CGraphColumn::kSwitchedOn);
  EXPECT_TRUE(editor.m_tablePage.GetDlgItem(IDC_GTABLE_EDIT2)->IsWindowEnabled());
  Type(2, "4");
  EXPECT_EQ(mfc::userClickColumn(Page(), IDC_GTABLE_LIST, 1), "");
  EXPECT_FALSE(editor.m_tablePage.GetDlgItem(IDC_GTABLE_EDIT1)->IsWindowEnabled());
  EXPECT_EQ(mfc::userClickColumn(Page(), IDC_GTABLE_LIST, 0), "");
  EXPECT_EQ(editor.m_columns[0].m_state, CGraphColumn::kAlwaysOn);
  EXPECT_TRUE(editor.m_tablePage.GetDlgItem(IDC_GTABLE_EDIT0)->IsWindowEnabled());
  VARIANT group;
  group.vt = VT_I2;
  group.lVal = 1;
  ChartData data = editor.m_chart.GetChartGroups().Item(group).GetData();
  for (const auto& [series, display] : {std::pair{1, 2}, std::pair{2, 1}, std::pair{3, 1}}) {
    short shown = 0;
    data.InvokeHelper(21, DISPATCH_PROPERTYGET, VT_I2, &shown, VTS_I4, static_cast<LONG>(series));
    EXPECT_EQ(shown, display) << "series " << series << ": 2 is drawn switched off";
  }
  EXPECT_EQ(Stored(),
            (std::vector<Points>{{{0, 0}, {1, 0}, {2, 0}}, {{0, 0}, {1, 0}, {2, 4}}, {{0, 0}, {1, 0}, {2, 9}}}))
      << "a switched-off curve is stored with y = 0";
}

TEST_F(GraphEditTest, DraggingAPointWritesOnlyItsXAndY) {
  CGraphEditDlg& editor = Open(makeGraph({{{2, 3}, {6, 7}}, {{2, 1.234}, {6, 5.678}}}), 2);
  FixAxes();
  // Drag the first curve's point (6, 7) by (+1, -2) in data.
  Mouse(mfc::MouseAction::Down, Pixel(6, 7));
  EXPECT_TRUE(editor.m_dragging);
  EXPECT_EQ(editor.m_tablePage.CurrentRow(), 1);
  Mouse(mfc::MouseAction::Move, Pixel(7, 5));
  Mouse(mfc::MouseAction::Up, Pixel(7, 5));
  EXPECT_FALSE(editor.m_dragging);
  std::vector<Points> stored = Stored();
  ASSERT_EQ(stored.size(), 2u);
  EXPECT_NEAR(stored[0][1].first, 7, 0.03);
  EXPECT_NEAR(stored[0][1].second, 5, 0.03);
  EXPECT_EQ(stored[1][1].second, 5.678) << "the other curve's value is not replaced by its rounded text";
  EXPECT_EQ(stored[1][0].second, 1.234);
  ExpectInStep();
  CString readout;
  editor.GetDlgItemText(IDC_GRAPH_READOUT, readout);
  EXPECT_EQ(readout.str().rfind("  (x, y) = (", 0), 0u) << readout.str();

  // With Shift the point moves along the axis the mouse moved more: here only in y.
  Mouse(mfc::MouseAction::Down, Pixel(2, 3));
  Mouse(mfc::MouseAction::Move, Pixel(2.5, 6), true);
  Mouse(mfc::MouseAction::Up, Pixel(2.5, 6), true);
  stored = Stored();
  EXPECT_NEAR(stored[0][0].first, 2, 1e-9) << "x kept";
  EXPECT_NEAR(stored[0][0].second, 6, 0.03);
  ExpectInStep();

  // A press away from every point drags nothing.
  Mouse(mfc::MouseAction::Down, Pixel(4, 9));
  EXPECT_FALSE(editor.m_dragging);
  Mouse(mfc::MouseAction::Up, Pixel(4, 9));
}

TEST_F(GraphEditTest, ADoubleClickOnTheChartInsertsARowAtItsXInOrder) {
  Open(makeGraph({{{0, 0}, {2, 4}, {8, 16}}}));
  FixAxes();
  Mouse(mfc::MouseAction::DoubleClick, Pixel(5, 1));
  std::vector<Points> stored = Stored();
  ASSERT_EQ(stored[0].size(), 4u);
  EXPECT_NEAR(stored[0][2].first, 5, 0.03);
  EXPECT_NEAR(stored[0][2].second, 10, 0.06) << "interpolated between its neighbours";
  EXPECT_EQ(editor_->m_tablePage.CurrentRow(), 2);
  ExpectInStep();
}

TEST_F(GraphEditTest, TitlesUnitsMenuAndLayout) {
  CaeGraph* graph = makeGraph({{{0, 1}}});
  graph_.reset(graph);
  editor_ = std::make_unique<CGraphEditDlg>();
  editor_->SetTitles("", "", "", 0);
  editor_->SetXUnit(2, "K");
  editor_->SetColumn(0, "Temperature", FALSE, FALSE);
  editor_->SetColumn(1, "Value", FALSE, FALSE);
  editor_->SetColumn(7, "Ignored", FALSE, FALSE);
  editor_->m_graph = graph;
  ASSERT_TRUE(editor_->Create(nullptr));
  CGraphEditDlg& editor = *editor_;
  EXPECT_EQ(editor.m_title.str(), "Load") << "the graph's name";
  ChartAxisCollection axes = editor.m_chart.GetChartArea().GetAxes();
  EXPECT_EQ(textOf(axes.Item(axisName(L"x")).GetTitle()), "Position (K)");
  EXPECT_EQ(textOf(axes.Item(axisName(L"y")).GetTitle()), "Pressure") << "no unit label: no parentheses";
  EXPECT_EQ(textOf(editor.m_chart.GetHeader().GetText()), "Load");
  for (int id : {IDC_GEDIT_TITLE, IDC_GEDIT_X_NAME, IDC_GEDIT_Y_NAME})
    EXPECT_NE(editor.GetDlgItem(id)->GetStyle() & ES_READONLY, 0u) << id;
  CMenu* menu = editor.GetMenu();
  ASSERT_NE(menu, nullptr);
  EXPECT_NE(menu->GetMenuState(ID_GRAPH_TRACK_POSITION, MF_BYCOMMAND) & MF_CHECKED, 0u);
  EXPECT_NE(menu->GetMenuState(ID_GRAPH_CLOSE, MF_BYCOMMAND) & MF_GRAYED, 0u);
  EXPECT_NE(menu->GetMenuState(ID_GRAPH_TRACK_MARKERS, MF_BYCOMMAND) & MF_GRAYED, 0u);
  EXPECT_FALSE(editor.GetDlgItem(IDC_GTABLE_EDIT2) && editor.GetDlgItem(IDC_GTABLE_EDIT2)->IsWindowVisible());

  // Too small a window leaves chart and readout where they were.
  RECT before{}, after{};
  editor.m_chart.GetWindowRect(&before);
  editor.ResizeContents(150, 90);
  editor.m_chart.GetWindowRect(&after);
  EXPECT_EQ(std::vector<long>({before.left, before.top, before.right, before.bottom}),
            std::vector<long>({after.left, after.top, after.right, after.bottom}));
  editor.ResizeContents(1000, 700);
  editor.m_chart.GetWindowRect(&after);
  EXPECT_GT(after.right - after.left, before.right - before.left);
}

}  // namespace
