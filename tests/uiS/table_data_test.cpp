// The table data dialog: rows kept in ascending temperature as they are added, the duplicate
// question, Modify that puts a row back when refused, Delete, and the numbers compared in single
// precision.
#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

#include "amg/CaeGraph.h"
#include "cadInterface/CadResources.h"
#include "gui/dialogs/lbc/UITableDataDlg.h"
#include "gui/graph2d/UIGraphDlg.h"
#include "res/ResourceIds.h"
#include "uis_fixture.h"

namespace {

using Rows = std::vector<std::pair<double, double>>;

class TableDataTest : public uistest::FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    resources_.emplace(1);
  }
  void TearDown() override {
    resources_.reset();
    FrameTest::TearDown();
  }
  // Runs the dialog on `rows`; `steps` act on it; the rows it hands back (empty after Cancel).
  Rows Run(const Rows& rows, std::vector<uistest::RecordingDriver::Step> steps, INT_PTR* result = nullptr) {
    CTableDataDlg dialog;
    dialog.m_strTempLabel = "Temperature";
    dialog.m_strTempUnit = "K";
    dialog.m_strValueLabel = "Film Coefficient";
    dialog.m_strValueUnit = "W/m^2/K";
    for (const auto& [t, v] : rows) {
      dialog.m_temps.Add(t);
      dialog.m_values.Add(v);
    }
    for (auto& step : steps) driver.add(std::move(step));
    const INT_PTR ended = dialog.DoModal();
    if (result) *result = ended;
    Rows out;
    if (ended != IDOK) return out;
    for (int i = 0; i < dialog.m_temps.GetSize(); ++i)
      out.emplace_back(dialog.m_temps.GetAt(i), dialog.m_values.GetAt(i));
    return out;
  }
  static void Type(CWnd& w, int id, const char* text) { w.GetDlgItem(id)->SetWindowText(text); }
  static void Press(CWnd& w, int id) { w.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
  static void Select(CWnd& w, int row) {
    static_cast<CListBox*>(w.GetDlgItem(IDC_TABLE_TEMP_LIST))->SetCurSel(row);
    w.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_TABLE_TEMP_LIST, LBN_SELCHANGE), 0);
  }
  static void AddRow(CWnd& w, const char* t, const char* v) {
    Type(w, IDC_TABLE_TEMP, t);
    Type(w, IDC_TABLE_VALUE, v);
    Press(w, IDC_TABLE_ADD);
  }

 private:
  std::optional<ResourceSetter> resources_;
};

TEST_F(TableDataTest, NumbersCompareInSinglePrecision) {
  struct Row {
    const char* a;
    const char* b;
    int order;
  };
  const Row rows[] = {{"2", "10", -1}, {"10", "2", 1}, {"1", "1.00000001", 0}, {"-5", "-4.5", -1}, {"3e2", "300", 0}};
  for (const Row& row : rows) EXPECT_EQ(CSortedNumListBox::CompareNumbers(row.a, row.b), row.order) << row.a;
}

TEST_F(TableDataTest, AddedRowsGoInTemperatureOrder) {
  const Rows out =
      Run({{20, 1}, {50, 2}, {80, 3}}, {[](CWnd& w) { AddRow(w, "35", "1.5"); }, [](CWnd& w) { AddRow(w, "90", "4"); },
                                        [](CWnd& w) { AddRow(w, "-10", "0.5"); }, [](CWnd& w) { Press(w, IDOK); }});
  const Rows expected = {{-10, 0.5}, {20, 1}, {35, 1.5}, {50, 2}, {80, 3}, {90, 4}};
  ASSERT_EQ(out.size(), expected.size());
  for (size_t i = 0; i < out.size(); ++i) {
    EXPECT_NEAR(out[i].first, expected[i].first, 1e-4) << i;
    EXPECT_NEAR(out[i].second, expected[i].second, 1e-6) << i;
  }
}

TEST_F(TableDataTest, ADuplicateTemperatureIsReplacedOnlyWhenConfirmed) {
  driver.answer(IDCANCEL);
  driver.answer(IDOK);
  const Rows out = Run({{20, 1}, {50, 2}}, {[](CWnd& w) { AddRow(w, "50", "7"); },  // cancelled
                                            [](CWnd& w) { AddRow(w, "20", "9"); },  // replaced
                                            [](CWnd& w) { Press(w, IDOK); }});
  ASSERT_EQ(out.size(), 2u);
  EXPECT_NEAR(out[0].second, 9.0, 1e-6);
  EXPECT_NEAR(out[1].second, 2.0, 1e-6);
  ASSERT_GE(driver.boxes().size(), 2u);
  EXPECT_NE(driver.boxes()[0].text.find("same x value"), std::string::npos);
}

TEST_F(TableDataTest, ModifyDeleteAndRefusals) {
  driver.answer(IDCANCEL);  // Modify onto 80's temperature, refused: the row comes back
  const Rows out = Run({{20, 1}, {50, 2}, {80, 3}},
                       {[](CWnd& w) { Select(w, 1); }, [](CWnd& w) { Type(w, IDC_TABLE_TEMP, "80"); },
                        [](CWnd& w) { Press(w, IDC_TABLE_MODIFY); }, [](CWnd& w) { Select(w, 0); },
                        [](CWnd& w) { Type(w, IDC_TABLE_VALUE, "6"); }, [](CWnd& w) { Press(w, IDC_TABLE_MODIFY); },
                        [](CWnd& w) { Select(w, 2); }, [](CWnd& w) { Press(w, IDC_TABLE_DELETE); },
                        [](CWnd& w) { AddRow(w, "abc", "1"); },  // not a number: the platform refuses
                        [](CWnd& w) { Type(w, IDC_TABLE_TEMP, "0"); }, [](CWnd& w) { Press(w, IDOK); }});
  const Rows expected = {{20, 6}, {50, 2}};
  ASSERT_EQ(out.size(), expected.size());
  for (size_t i = 0; i < out.size(); ++i) {
    EXPECT_NEAR(out[i].first, expected[i].first, 1e-4) << i;
    EXPECT_NEAR(out[i].second, expected[i].second, 1e-6) << i;
  }
}

// "&Graph" shows the rows as they stand (an added one in its place) in a graph window of its own.
TEST_F(TableDataTest, GraphShowsTheRowsInTemperatureOrder) {
  Run({{20, 1}, {80, 3}}, {[](CWnd& w) { AddRow(w, "50", "2"); }, [](CWnd& w) { Press(w, IDC_TABLE_GRAPH); },
                           [](CWnd& w) { Press(w, IDCANCEL); }});
  const std::vector<CGraphDlg*> windows = CGraphDlg::OpenWindows();
  ASSERT_EQ(windows.size(), 1u);
  const CaeGraph* graph = windows[0]->m_graph;
  ASSERT_NE(graph, nullptr);
  EXPECT_STREQ(graph->Name().c_str(), "Film Coefficient vs. Temperature");
  EXPECT_STREQ(graph->XAxis().Name().c_str(), "Temperature K");
  EXPECT_STREQ(graph->YAxis().Name().c_str(), "Film Coefficient W/m^2/K");
  ASSERT_EQ(graph->NumPolyLine(), 1);
  const Rows expected = {{20, 1}, {50, 2}, {80, 3}};
  ASSERT_EQ(graph->GetPolyLine(0)->NumPoints(), static_cast<int>(expected.size()));
  for (int i = 0; i < 3; ++i) {
    double x = 0, y = 0;
    ASSERT_TRUE(graph->GetPolyLine(0)->GetPoint(x, y, i));
    EXPECT_NEAR(x, expected[static_cast<size_t>(i)].first, 1e-4) << i;
    EXPECT_NEAR(y, expected[static_cast<size_t>(i)].second, 1e-6) << i;
  }
  CGraphDlg::CloseAll();
}

TEST_F(TableDataTest, CancelHandsNothingBack) {
  INT_PTR result = 0;
  Run({{20, 1}}, {[](CWnd& w) { AddRow(w, "30", "2"); }, [](CWnd& w) { Press(w, IDCANCEL); }}, &result);
  EXPECT_EQ(result, IDCANCEL);
}

}  // namespace
