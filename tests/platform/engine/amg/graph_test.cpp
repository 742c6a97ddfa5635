#include <gtest/gtest.h>

#include "amg/CaeGraph.h"
#include "engine_fixture.h"
#include "test_env.h"

namespace {

std::vector<std::pair<double, double>> Points(const CaePolyLine& line) {
  std::vector<std::pair<double, double>> points;
  for (int i = 0; i < line.NumPoints(); ++i) {
    double x = 0, y = 0;
    EXPECT_TRUE(line.GetPoint(x, y, i));
    points.emplace_back(x, y);
  }
  return points;
}

using GraphTest = EngineTest;

TEST_F(GraphTest, PolylinesKeepTheGivenOrderOrSortByX) {
  CaePolyLine given, sorted;
  for (double x : {3.0, 1.0, 2.0}) {
    given.AddPoint(x, 10 * x, 0);
    sorted.AddPoint(x, 10 * x, 1);
  }
  EXPECT_EQ(Points(given), (std::vector<std::pair<double, double>>{{3, 30}, {1, 10}, {2, 20}}));
  EXPECT_EQ(Points(sorted), (std::vector<std::pair<double, double>>{{1, 10}, {2, 20}, {3, 30}}));
  double x = 7, y = 7;
  EXPECT_FALSE(given.GetPoint(x, y, 3));
  EXPECT_EQ(x, 7.0);
}

TEST_F(GraphTest, SeriesAreMadeOnDemandAndPolylinesCanBeDetached) {
  CaeGraph graph;
  graph.SetSeriesTitle(1, "Stress");
  EXPECT_EQ(graph.NumPolyLine(), 2);
  graph.AddPoint(0.0, 5.0, 1);
  graph.AddPoint(2.0, 7.0, 1, -1);
  graph.AddPoint(1.0, 6.0, 1, 1);
  EXPECT_EQ(Points(*graph.GetPolyLine(1)), (std::vector<std::pair<double, double>>{{0, 5}, {1, 6}, {2, 7}}));
  EXPECT_EQ(graph.GetPolyLine(1)->Name().Str(), "Stress");
  EXPECT_EQ(graph.NextPolyLine(graph.FirstPolyLine()), graph.GetPolyLine(1));
  EXPECT_EQ(graph.NextPolyLine(graph.GetPolyLine(1)), nullptr);
  EXPECT_EQ(graph.GetPolyLine(2), nullptr);

  CaePolyLine* detached = graph.GetPolyLine(0);
  EXPECT_TRUE(graph.RemovePolyLine(detached));
  EXPECT_FALSE(graph.RemovePolyLine(detached));
  EXPECT_EQ(graph.NumPolyLine(), 1);
  delete detached;  // the caller's now
}

TEST_F(GraphTest, ReportWritesTheGraphAsText) {
  kestrum::test::TempDir dir;
  CaeGraph graph(1);
  graph.Name("Objective History");
  graph.XAxis(CaeGraphAxis("Cycle", 25));
  graph.YAxis(CaeGraphAxis("Volume", 13));
  auto* line = new CaePolyLine("Volume");
  line->AddPoint(0, 1.5);
  line->AddPoint(1, 1.25);
  graph.AddPolyLine(line);
  ASSERT_TRUE(graph.Report(dir / "graph.txt"));
  EXPECT_EQ(kestrum::test::readFile(dir / "graph.txt"),
            "Graph\tObjective History\nType\t1\nX axis\tCycle\t25\nY "
            "axis\tVolume\t13\n\nSeries\tVolume\t2\n0\t1.5\n1\t1.25\n");
  EXPECT_FALSE(graph.Report(dir / "no-such-folder" / "graph.txt"));
  EXPECT_EQ(MessagesAt(1).size(), 1u);
}

}  // namespace
