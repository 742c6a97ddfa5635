// The design doctor's command in the host program: what it says when there is nothing to test.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "png_image.h"
#include "test_env.h"

namespace {

using kestrum::test::countOf;
using kestrum::test::ProgramRun;
using kestrum::test::runHostScript;
using kestrum::test::TempDir;

std::string moduleLine() { return "ARXLOAD " + kestrum::test::buildPath("lib/kestrum.arx").string() + "\n"; }

const char kNothingToTest[] = "An open model with analysis jobs or results is required prior to issuing this command";

// No model at all, then a model without jobs or results: the doctor has no subject either time.
TEST(DoctorScript, NothingToTestSaysSoAndOpensNoSheet) {
  TempDir dir;
  const ProgramRun run = runHostScript(dir, moduleLine() +
                                                "CAEP_SIM_DOCTOR\n"
                                                "@click IDOK\n"
                                                "PART plate_with_hole\n"
                                                "CAEP_MODEL\n"
                                                "@click IDOK\n"
                                                "CAEP_SIM_DOCTOR\n"
                                                "@click IDOK\n"
                                                "QUIT\nN\n");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(countOf(run.output, kNothingToTest), 2) << run.output;
  EXPECT_EQ(run.output.find("General Error"), std::string::npos) << run.output;
}

// A shipped script with the module lines pointing at this build.
std::string ShippedScript(const std::string& name) {
  const std::string script = kestrum::test::readFile(kestrum::test::sourcePath("data/demo/" + name));
  const std::string build = kestrum::test::buildPath("lib").parent_path().string();
  return std::regex_replace(script, std::regex("@BUILD@"), build);
}

// The shipped solve example, solved and waited for.
std::string SolvedPlate() {
  const std::string script = ShippedScript("solve_plate.scr");
  return script.substr(0, script.find("CAEP_EXPLORER"));
}

// Every number the pattern's first group catches, in order.
std::vector<double> NumbersAfter(const std::string& text, const std::string& pattern) {
  std::vector<double> numbers;
  const std::regex re(pattern);
  for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator(); ++it)
    numbers.push_back(std::stod((*it)[1].str()));
  return numbers;
}

// The coarse plate: the doctor loads the job's results on its worker, lists the stress tests,
// fails the meshing error (the diagnosis names the computed error against 10 %), and Refine
// remakes the mesh and leads to the analysis sheet; the next solve is what the doctor examines.
TEST(DoctorScript, ACoarsePlateFailsTheErrorTestAndRefineLeadsToTheNextSolve) {
  TempDir dir;
  const ProgramRun run = runHostScript(dir, SolvedPlate() +
                                                "CAEP_SIM_DOCTOR\n@click ID_WIZNEXT\n@show\n"
                                                "@click IDC_DOC_DIAGNOSIS\n@show\n@click IDC_DOC_REFINE\n"
                                                "@select 12320 Options\n@click IDOK\nWAIT\n"
                                                "CAEP_SIM_DOCTOR\n@click ID_WIZNEXT\n@show\n@click ID_WIZFINISH\n"
                                                "QUIT\nN\n");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("[Kestrum Execution|*Meshing Error|Yield Stress(es)|Factor Of Safety/Animation]"),
            std::string::npos)
      << "the first failed row is selected" << run.output;
  EXPECT_NE(run.output.find("Warning, some tests have completed unsuccessfully."), std::string::npos) << run.output;
  const std::string failed = "The maximum computed error is ";
  const std::size_t at = run.output.find(failed);
  ASSERT_NE(at, std::string::npos) << run.output;
  EXPECT_GT(std::stod(run.output.substr(at + failed.size())), 10.0);
  EXPECT_NE(run.output.find("acceptable target value of 10 %"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("dialog \"Design Doctor Diagnosis - Meshing Error\""), std::string::npos);
  EXPECT_NE(run.output.find("static 1623 \"PlateJob2\""), std::string::npos)
      << "the refined model's new job is the next subject" << run.output;
  EXPECT_EQ(run.output.find("General Error"), std::string::npos) << run.output;
}

// The shipped yield demo: 200 kN takes the plate past S275's yield. The factor of safety is the
// yield over the peak von Mises stress, so a yield of 900 MPa entered on the page passes both
// tests with the factor scaled by 900/275; U of that doctor command gives the material its yield
// back. Animate changes the display and returning to the diagnosis restores its picture.
TEST(DoctorScript, TheYieldDemoFailsYieldAndSafetyPassesWithAnEditedYieldAndUndoRestoresIt) {
  TempDir dir;
  const ProgramRun run = runHostScript(dir, ShippedScript("doctor_yield.scr"));
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output.find("; ignored"), std::string::npos) << "every script line was carried out" << run.output;
  EXPECT_EQ(countOf(run.output, "Computed stresses have exceeded your maximum yield values."), 1) << run.output;
  EXPECT_EQ(countOf(run.output, "Computed stresses are less than the material maximum yield."), 1) << run.output;
  const std::vector<double> low = NumbersAfter(run.output, "minimum factor of safety is ([0-9.e+-]+) which is less");
  const std::vector<double> high =
      NumbersAfter(run.output, "minimum factor of safety is ([0-9.e+-]+) which is greater");
  ASSERT_EQ(low.size(), 1u) << run.output;
  ASSERT_EQ(high.size(), 1u) << run.output;
  EXPECT_LT(low[0], 1.0);
  EXPECT_NEAR(high[0], low[0] * 900.0 / 275.0, 1e-5 * high[0]) << "the factor is proportional to the yield";
  const std::vector<double> yields = NumbersAfter(run.output, "edit 1580 \"([0-9.]+)\"");
  EXPECT_EQ(yields, (std::vector<double>{900.0, 275.0})) << "the edited yield is kept, and U restores S275's";

  AcGiImage failed, animated, back;
  ASSERT_TRUE(kestrum::test::readPng(dir / "doctor-yield-2.png", failed)) << run.output;
  ASSERT_TRUE(kestrum::test::readPng(dir / "doctor-yield-animate.png", animated)) << run.output;
  ASSERT_TRUE(kestrum::test::readPng(dir / "doctor-yield-3.png", back)) << run.output;
  EXPECT_NE(animated.rgb, failed.rgb) << "Animate shows the deformed stress";
  EXPECT_EQ(back.rgb, failed.rgb) << "back on the diagnosis, its display is restored";
}

// Entries the parameters page refuses: a message naming the field, the page stays, and neither the
// parameters nor the materials change (the next run shows the defaults and S275's yield).
TEST(DoctorScript, RefusedParametersKeepThePageAndChangeNothing) {
  struct Case {
    const char* lines;
    const char* message;
  };
  const Case cases[] = {
      {"@set IDC_DOC_MAX_ERROR abc\n", "Please enter a number."},
      {"@set IDC_DOC_MAX_ERROR 0\n", "The maximum meshing error must be greater than 0."},
      {"@set IDC_DOC_MAX_ERROR -5\n", "The maximum meshing error must be greater than 0."},
      {"@set IDC_DOC_YIELD -1\n", "The yield stress must be greater than 0."},
      {"@set IDC_DOC_YIELD 0\n", "The yield stress must be greater than 0."},
      {"@set IDC_DOC_MINIMUM 0\n", "The minimum factor of safety or load factor multiplier must be greater than 0."},
      {"@select IDC_DOC_TYPE Vibration\n@set IDC_DOC_LOWER -1\n", "An acceptable frequency must not be negative."},
      {"@select IDC_DOC_TYPE Vibration\n@set IDC_DOC_LOWER 5\n@set IDC_DOC_UPPER 2\n",
       "The lower end of the acceptable range must not be above its upper end."},
      {"@select IDC_DOC_TYPE Buckling\n@set IDC_DOC_MINIMUM -2\n",
       "The minimum factor of safety or load factor multiplier must be greater than 0."},
      {"@select IDC_DOC_TYPE \"Heat Transfer\"\n@set IDC_DOC_LOWER -1000\n",
       "An acceptable temperature must not be below absolute zero."},
  };
  std::string script = SolvedPlate();
  for (const Case& c : cases)
    script += std::string("CAEP_SIM_DOCTOR\n") + c.lines + "@click ID_WIZNEXT\n@click IDOK\n@show\n@click IDCANCEL\n";
  script += "CAEP_SIM_DOCTOR\n@show\n@click IDCANCEL\nQUIT\nN\n";
  TempDir dir;
  const ProgramRun run = runHostScript(dir, script);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output.find("; ignored"), std::string::npos) << run.output;
  const std::string command = "Command: CAEP_SIM_DOCTOR";
  std::vector<std::string> runs;
  for (std::size_t at = run.output.find(command); at != std::string::npos;) {
    const std::size_t next = run.output.find(command, at + 1);
    runs.push_back(run.output.substr(at, next == std::string::npos ? std::string::npos : next - at));
    at = next;
  }
  ASSERT_EQ(runs.size(), std::size(cases) + 1) << run.output;
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].lines);
    EXPECT_NE(runs[i].find(std::string("message box [Kestrum Inside] ") + cases[i].message), std::string::npos)
        << runs[i];
    EXPECT_NE(runs[i].find("[*Design Doctor|Design Doctor Results]"), std::string::npos) << "the page stays";
    EXPECT_EQ(runs[i].find("page 139 \"Design Doctor Results\"\n"), std::string::npos) << "no test ran";
  }
  const std::string& after = runs.back();
  for (const char* field : {"edit 1592 \"10\"", "edit 1580 \"275.00000\"", "edit 1659 \"1.0000000\""})
    EXPECT_NE(after.find(field), std::string::npos) << field << after;
}

}  // namespace
