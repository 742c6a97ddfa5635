// The summary report of the solved sample plate ("CAEP_WRITE_SUMMARY" after the shipped solve
// example): HTML that tidy accepts and a text form with the same values: the material, the
// 1000 N load and the restraint, the mesh, the maxima (the window's, and the study's displacement
// within 1 %), and a contour picture per ticked quantity beside the report.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <string>

#include "Study.h"
#include "test_env.h"

namespace {

using kestrum::test::ProgramRun;
using kestrum::test::TempDir;

// The shipped example up to its own summary, then the maxima of the set the window shows.
std::string SolvedPlate() {
  std::string script = kestrum::test::readFile(kestrum::test::sourcePath("data/demo/solve_plate.scr"));
  const std::string build = kestrum::test::buildPath("lib").parent_path().string();
  script = std::regex_replace(script, std::regex("@BUILD@"), build);
  return script.substr(0, script.find("CAEP_WRITE_SUMMARY")) + "ARXLOAD " + build +
         "/tests/modules/solve_module.so\nSOLVEMAXIMA\n";
}

std::string Summary(const std::string& file, bool html) {
  return "CAEP_WRITE_SUMMARY\n@set IDC_SUMMARY_TITLE Plate with a hole\n@set IDC_SUMMARY_FILE " + file + "\n" +
         (html ? "" : "@check IDC_SUMMARY_HTML off\n") +
         "@check IDC_SUMMARY_RESULTS Stress on\n@check IDC_SUMMARY_RESULTS Displacement on\n@click IDOK\n";
}

// The number after `label` in `text`, or NaN.
double After(const std::string& text, const std::string& label) {
  const std::size_t at = text.find(label);
  return at == std::string::npos ? std::nan("") : std::stod(text.substr(at + label.size()));
}

std::string Outcome(const std::string& command) {
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  std::string output;
  char buffer[512];
  while (pipe && std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
  if (!pipe || pclose(pipe) != 0) output += " (failed)";
  return output;
}

TEST(SummarySolve, TheSolvedPlatesReportHoldsItsModelAndMaxima) {
  TempDir dir;
  const ProgramRun run = kestrum::test::runHostScript(
      dir, SolvedPlate() + Summary("plate.htm", true) + Summary("plate-text.htm", false) + "QUIT\nN\n");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::string html = kestrum::test::readFile(dir / "plate.htm");
  const std::string text = kestrum::test::readFile(dir / "plate-text.htm");
  ASSERT_FALSE(html.empty()) << run.output;
  EXPECT_EQ(text.find('<'), std::string::npos) << "the text form is plain text, whatever its extension";
  EXPECT_EQ(Outcome("tidy -errors -quiet '" + (dir / "plate.htm").string() + "'"), "");
  // The drawing is in millimetres: E 210000 N/mm^2, rho 7.85e-06 kg/mm^3.
  for (const std::string* report : {&html, &text}) {
    for (const char* part :
         {"Analysis: Stress", "Young's modulus 210000 N/mm^2", "Poisson's ratio 0.3", "density 7.85e-06",
          "Pull: Face Total Force (1000, 0, 0) N on face", "Fixed: Face Restraint fixed X Y Z on face", " nodes, ",
          " elements", "Picture: ", "plate"}) {
      if (std::string(part) == "Picture: " && report == &html) continue;
      EXPECT_NE(report->find(part), std::string::npos) << part;
    }
    // The maxima are the window's (the solve module prints them) ...
    const double vonMises = After(*report, "Von Mises: minimum ");
    EXPECT_TRUE(std::isfinite(vonMises));
    const std::size_t stressAt = report->find("Von Mises:");
    const double maxStress = After(report->substr(stressAt), "maximum ");
    const std::size_t magnitudeAt = report->find("Magnitude:");
    const double maxDisplacement = After(report->substr(magnitudeAt), "maximum ");
    EXPECT_NEAR(maxStress, After(run.output, "Maximum von Mises stress: "), 1e-5 * maxStress);
    EXPECT_NEAR(maxDisplacement, After(run.output, "Maximum displacement: "), 1e-5 * maxDisplacement);
    // ... and the study's displacement within 1 % (mm against m).
    const auto studyFile = kestrum::test::sourcePath("data/studies/plate_hole_static.study");
    static const auto summary = [&] {
      auto description = study::ParseStudy(kestrum::test::readFile(studyFile), studyFile);
      return study::Run(*description, dir / "study");
    }();
    ASSERT_TRUE(summary) << summary.problem().Describe();
    EXPECT_NEAR(maxDisplacement * 1e-3, summary->maxDisplacement, 0.01 * summary->maxDisplacement);
    EXPECT_NEAR(maxStress * 1e6, summary->maxVonMises, 0.05 * summary->maxVonMises);
  }
  for (const char* picture : {"plate-Stress.png", "plate-Displacement.png"}) {
    EXPECT_NE(html.find(std::string("<img src=\"") + picture + "\" alt=\""), std::string::npos) << picture;
    EXPECT_GT(std::filesystem::file_size(dir / picture), 1000u) << picture;
  }
  EXPECT_NE(run.output.find("ShellExecute open plate.htm"), std::string::npos) << run.output;
}

}  // namespace
