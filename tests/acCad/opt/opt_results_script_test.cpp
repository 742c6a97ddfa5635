// "CAEP_OPT_UPDATE_MODEL" and the graph commands in the host program, driven by "@" lines: without
// a model, or with one that has no finished run, each says so and the drawing is left as it was.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_env.h"

namespace {

using kestrum::test::ProgramRun;
using kestrum::test::runHostScript;
using kestrum::test::shownWindows;
using kestrum::test::TempDir;

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(OptResultsScript, UpdateModelWithoutResultsSaysSoAndChangesNothing) {
  TempDir dir;
  const ProgramRun r = runHostScript(dir, "ARXLOAD " + kestrum::test::buildPath("lib/kestrum.arx").string() +
                                              "\n"
                                              "PART plate_with_hole\n"
                                              "CAEP_MODEL\n"
                                              "@click IDOK\n"
                                              "CAEP_OPT_UPDATE_MODEL\n"
                                              "@show\n"
                                              "@click IDOK\n"
                                              "CAEP_OPT_MODEL\n"
                                              "@click IDOK\n"
                                              "SAVEAS before.dwg\n"
                                              "CAEP_OPT_UPDATE_MODEL\n"
                                              "@show\n"
                                              "@click IDOK\n"
                                              "SAVEAS after.dwg\n"
                                              "QUIT\nNo\n");
  EXPECT_EQ(r.exitCode, 0) << r.output;
  const std::vector<std::string> shown = shownWindows(r.output);
  ASSERT_EQ(shown.size(), 2u) << r.output;
  for (const std::string& box : shown)
    EXPECT_TRUE(has(box, "There are no active optimization results in the current optimization model.")) << box;
  EXPECT_FALSE(has(r.output, "not available yet")) << r.output;
  EXPECT_EQ(kestrum::test::readFile(dir.path() / "before.dwg"), kestrum::test::readFile(dir.path() / "after.dwg"))
      << "the drawing is byte-identical";
}

TEST(OptResultsScript, GraphCommandsWithoutResultsSaySoAndChangeNothing) {
  TempDir dir;
  const ProgramRun r = runHostScript(dir, "ARXLOAD " + kestrum::test::buildPath("lib/kestrum.arx").string() +
                                              "\n"
                                              "PART plate_with_hole\n"
                                              "CAEP_MODEL\n"
                                              "@click IDOK\n"
                                              "CAEP_OPT_HISTORY_GRAPH\n"
                                              "@show\n"
                                              "@click IDOK\n"
                                              "CAEP_OPT_MODEL\n"
                                              "@click IDOK\n"
                                              "SAVEAS before.dwg\n"
                                              "CAEP_OPT_SENSITIVITY_GRAPH\n"
                                              "@show\n"
                                              "@click IDOK\n"
                                              "CAEP_OPT_LOCALTREND_GRAPH\n"
                                              "@show\n"
                                              "@click IDOK\n"
                                              "SAVEAS after.dwg\n"
                                              "QUIT\nNo\n");
  EXPECT_EQ(r.exitCode, 0) << r.output;
  const std::vector<std::string> shown = shownWindows(r.output);
  ASSERT_EQ(shown.size(), 3u) << r.output;
  EXPECT_TRUE(has(shown[0], "An open optimization model is required before issuing this command.")) << shown[0];
  for (int i = 1; i < 3; ++i)
    EXPECT_TRUE(has(shown[i], "There are no active optimization results in the current optimization model."))
        << shown[i];
  EXPECT_FALSE(has(r.output, "not available yet")) << r.output;
  EXPECT_EQ(kestrum::test::readFile(dir.path() / "before.dwg"), kestrum::test::readFile(dir.path() / "after.dwg"));
}

}  // namespace
