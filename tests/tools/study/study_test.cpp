// Whole studies through the engine (gmsh mesh, CalculiX deck and job, results file) checked
// against closed-form solutions, and the study description's errors.
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Study.h"
#include "amg/CaeConfig.h"
#include "fea_fixture.h"
#include "test_env.h"

namespace {

// A study file among the shipped parts, so that part files are named relative to them.
std::filesystem::path StudyFile() { return kestrum::test::sourcePath("data/parts") / "test.study"; }

class StudyTest : public FeaTest {
 protected:
  void SetUp() override {
    FeaTest::SetUp();
    CaeConfig::SetValue(CaeString("Solver Threads"), CaeString("1"), 0);
  }

  study::Summary Run(const std::string& text, std::ostream* progress = nullptr) {
    const kestrum::Result<study::Description> parsed = study::ParseStudy(text, StudyFile());
    EXPECT_TRUE(parsed.ok()) << (parsed ? "" : parsed.problem().Describe());
    if (!parsed) return {};
    kestrum::Result<study::Summary> summary = study::Run(*parsed, work.path(), progress);
    EXPECT_TRUE(summary.ok()) << (summary ? "" : summary.problem().Describe());
    return summary ? *summary : study::Summary();
  }

  // The problem that stops a study that parses, on the box below unless the text gives a shape.
  kestrum::Problem Refusal(const std::string& text) {
    const kestrum::Result<study::Description> parsed = study::ParseStudy(text, StudyFile());
    EXPECT_TRUE(parsed.ok()) << text << (parsed ? "" : parsed.problem().Describe());
    if (!parsed) return {};
    const kestrum::Result<study::Summary> summary = study::Run(*parsed, work.path());
    EXPECT_FALSE(summary.ok()) << text;
    return summary ? kestrum::Problem() : summary.problem();
  }

  kestrum::test::TempDir work;
};

// Steel: E 210 GPa, nu 0.3, density 7850 kg/m3.
constexpr double kE = 2.1e11, kDensity = 7850.0;
const std::string kBox = "geometry box 1 0.2 0.2\nmaterial s 2e11 0.3 7850\nmesh 0.1 linear\n";

// A 1 m cantilever of 50 mm square section, 100 N at its tip: deflection P L^3 / (3 E I).
TEST_F(StudyTest, CantileverTipDeflectionWithinTwoPercent) {
  const study::Summary s =
      Run("geometry box 1.0 0.05 0.05\nmaterial steel 2.1e11 0.3 7850\nanalysis static\nmesh 0.025\n"
          "restrain x=min\nforce x=max 0 0 -100\n");
  const double inertia = std::pow(0.05, 4) / 12;
  const double expected = 100.0 * 1.0 / (3 * kE * inertia);
  EXPECT_NEAR(s.maxDisplacement, expected, 0.02 * expected);
  // The bending stress at the root, M c / I, is the largest stress away from the clamp's corners.
  EXPECT_GT(s.maxVonMises, 0.9 * 100.0 * 1.0 * 0.025 / inertia);
  // The strain energy stored is the work of the load, P delta / 2.
  EXPECT_NEAR(s.strainEnergy, 0.5 * 100.0 * expected, 0.03 * 0.5 * 100.0 * expected);
  EXPECT_TRUE(s.warnings.empty());
}

// The same beam's first bending frequency: (1.8751^2 / 2 pi) sqrt(E I / (rho A L^4)).
TEST_F(StudyTest, CantileverFirstFrequencyWithinTwoPercent) {
  const study::Summary s =
      Run("geometry box 1.0 0.05 0.05\nmaterial steel 2.1e11 0.3 7850\nanalysis frequency\nmodes 3\nmesh 0.025\n"
          "restrain x=min\n");
  const double inertia = std::pow(0.05, 4) / 12, area = 0.05 * 0.05;
  const double expected = 1.8751 * 1.8751 / (2 * M_PI) * std::sqrt(kE * inertia / (kDensity * area));
  ASSERT_GE(s.frequencies.size(), 3u);
  EXPECT_NEAR(s.frequencies[0], expected, 0.02 * expected);
  EXPECT_NEAR(s.frequencies[1], expected, 0.02 * expected) << "the square section bends alike both ways";
  EXPECT_GT(s.frequencies[2], 5 * expected);
  const std::string printed = study::Format(s);
  for (double f : s.frequencies) {
    std::ostringstream value;
    value << " " << f;
    EXPECT_NE(printed.find(value.str()), std::string::npos) << printed;
  }
}

// A 1 m column of 20 mm square section, fixed at its base and free at its top: Euler's load
// pi^2 E I / (4 L^2); the buckling factor is that load over the 1000 N applied. The square
// section buckles alike both ways, so the first two factors agree; every factor asked is printed
// and no displacement (a mode shape's size means nothing).
TEST_F(StudyTest, ColumnBucklingFactorsWithinTwoPercent) {
  const study::Summary s =
      Run("geometry box 0.02 0.02 1.0\nmaterial steel 2.1e11 0.3 7850\nanalysis buckling\nmodes 3\nmesh 0.01\n"
          "restrain z=min\nforce z=max 0 0 -1000\n");
  const double inertia = std::pow(0.02, 4) / 12;
  const double expected = M_PI * M_PI * kE * inertia / 4.0 / 1000.0;
  ASSERT_EQ(s.bucklingFactors.size(), 3u);
  EXPECT_NEAR(s.bucklingFactors[0], expected, 0.02 * expected);
  EXPECT_NEAR(s.bucklingFactors[1], expected, 0.02 * expected);
  EXPECT_GT(s.bucklingFactors[2], 5 * expected) << "the next mode is the second Euler mode, 9 times the first";
  const std::string printed = study::Format(s);
  EXPECT_EQ(printed.find("isplacement"), std::string::npos) << printed;
  for (double f : s.bucklingFactors) {
    std::ostringstream value;
    value << " " << f;
    EXPECT_NE(printed.find(value.str()), std::string::npos) << printed;
  }
}

// A 100 mm copper wall held at 100 C on one side, cooled by air (h 50 W/m2K, 20 C) on the other:
// the heat flow (T1 - Tair) / (L/k + 1/h) sets the cooled face's temperature.
TEST_F(StudyTest, WallConductionWithinATenthOfAPercent) {
  const study::Summary s =
      Run("geometry box 0.1 0.5 0.5\nmaterial copper 1.1e11 0.34 8900 400 1.7e-5 385\nanalysis heat\nmesh 0.05\n"
          "temperature x=min 373.15\nconvection x=max 50 293.15\n");
  const double flux = (373.15 - 293.15) / (0.1 / 400 + 1 / 50.0);
  const double cooled = 373.15 - flux * 0.1 / 400;
  EXPECT_NEAR(s.maxTemperature, 373.15, 1e-6);
  EXPECT_NEAR(s.minTemperature, cooled, 0.001 * (373.15 - cooled) + 1e-3);
}

// A 300 x 100 x 5 mm plate with a 20 mm hole, pulled with 1000 N: the peak stress at the hole is
// Kt times the net-section stress, Kt = 2 + (1 - d/W)^3 (Heywood) for a finite-width plate.
TEST_F(StudyTest, StressConcentrationAtAHoleWithinFivePercent) {
  const study::Summary s =
      Run("geometry plate-with-hole 0.3 0.1 0.005 0.01\nmaterial steel 2.1e11 0.3 7850\nanalysis static\n"
          "mesh 0.01\nrefine curved 0.0015\nrestrain x=min\nforce x=max 1000 0 0\n");
  const double ratio = 0.02 / 0.1;
  const double expected = (2 + std::pow(1 - ratio, 3)) * 1000.0 / ((0.1 - 0.02) * 0.005);
  EXPECT_LT(s.nodes, 20000);
  EXPECT_NEAR(s.maxVonMises, expected, 0.05 * expected);
}

// The shipped column part (20 x 20 x 1000 mm), with its conditions on the faces' persistent names:
// the same Euler load as above.
TEST_F(StudyTest, ColumnPartBucklesAtTheEulerLoadWithinOnePercent) {
  const study::Summary s =
      Run("part column.part mm\nmaterial steel 2.1e11 0.3 7850\nanalysis buckling\nmesh 0.01\n"
          "restrain shaft/bottom\nforce shaft/top 0 0 -1000\n");
  const double expected = M_PI * M_PI * kE * (std::pow(0.02, 4) / 12) / 4.0 / 1000.0;
  ASSERT_FALSE(s.bucklingFactors.empty());
  EXPECT_NEAR(s.bucklingFactors[0], expected, 0.01 * expected);
}

// A face is named as the host prints it, with the part's name in front, or without it: both hold
// the column alike; a wrong part name or face name selects nothing.
TEST_F(StudyTest, APartFaceIsNamedWithOrWithoutThePartName) {
  auto sag = [&](const std::string& held) {
    return Run("part column.part\nmaterial s 2.1e11 0.3 7850\nmesh 0.01 linear\nrestrain " + held +
               "\ngravity 9.81 0 0\n")
        .maxDisplacement;
  };
  const double plain = sag("shaft/bottom"), prefixed = sag("column/shaft/bottom");
  EXPECT_GT(plain, 0.0);
  EXPECT_DOUBLE_EQ(prefixed, plain);
  for (const char* wrong : {"pillar/shaft/bottom", "column/shaft/side", "column/column/shaft/bottom"}) {
    const kestrum::Problem p =
        Refusal(std::string("part column.part\nmaterial s 2.1e11 0.3 7850\nmesh 0.05 linear\nrestrain ") + wrong);
    EXPECT_NE(p.message.find("no face named"), std::string::npos) << wrong << " gave: " << p.message;
    EXPECT_EQ(p.line, 4) << wrong;
  }
}

// The shipped plate (200 x 100 x 10 mm, 30 mm hole) pulled with 1000 N, held on three faces by
// rollers so that no corner is singular: each adaptive pass lowers the estimated error, and the
// refined mesh finds the peak stress Kt sigma_net, Kt = 2 + (1 - d/W)^3, within five percent.
TEST_F(StudyTest, AdaptingThePlatePartLowersTheErrorAndFindsTheStressConcentration) {
  const study::Summary s =
      Run("part plate_with_hole.part\nmaterial steel 2.1e11 0.3 7850\nanalysis static\nmesh 0.012\n"
          "restrain plate/left free y z\nrestrain plate/bottom free x y\nrestrain plate/front free x z\n"
          "force plate/right 1000 0 0\nadapt 4 2\n");
  ASSERT_EQ(s.adaptErrors.size(), 3u) << "a first analysis and two refined ones";
  EXPECT_LT(s.adaptErrors[1], s.adaptErrors[0]);
  EXPECT_LT(s.adaptErrors[2], s.adaptErrors[1]);
  EXPECT_LT(s.adaptErrors[2], 0.75 * s.adaptErrors[0]);
  EXPECT_EQ(s.maxErrorEstimate, s.adaptErrors.back());
  EXPECT_LT(s.nodes, 20000);
  const double expected = (2 + std::pow(1 - 0.3, 3)) * 1000.0 / ((0.1 - 0.03) * 0.01);
  EXPECT_NEAR(s.maxVonMises, expected, 0.05 * expected);
  EXPECT_TRUE(s.warnings.empty()) << "the force acts along the free direction of no roller";
}

// An adaptive run says whether it reached its target or stopped above it, and after how many
// refinements (the first analysis is not one).
TEST(StudyFormat, AnAdaptiveRunSaysWhetherItReachedItsTarget) {
  struct Row {
    std::vector<double> errors;
    double target;
    const char* line;
  };
  const Row rows[] = {
      {{13.3, 10.9, 8.5, 7.6}, 4, "Adaptive refinement stopped after 3 passes above the target of 4 %"},
      {{37.7, 14.1}, 1, "Adaptive refinement stopped after 1 pass above the target of 1 %"},
      {{9, 3.9}, 4, "Adaptive refinement reached the target of 4 % after 1 pass"},
      {{3}, 4, "Adaptive refinement reached the target of 4 % after 0 passes"},
      {{5}, 4, "Adaptive refinement stopped after 0 passes above the target of 4 %"},
  };
  for (const Row& row : rows) {
    study::Summary s;
    s.analysis = "static";
    s.adaptErrors = row.errors;
    s.adaptTarget = row.target;
    s.maxErrorEstimate = row.errors.back();
    const std::string printed = study::Format(s);
    EXPECT_NE(printed.find(std::string(row.line) + "\n"), std::string::npos) << printed;
  }
}

// A slot cut across the top splits it into "body/top#1" and "body/top#2"; the name "body/top"
// selects both pieces, so holding the whole top holds the beam more than holding one piece.
TEST_F(StudyTest, ANameSelectsThePiecesOfASplitFace) {
  std::ofstream(work.path() / "slotted.part") << "part slotted\nbox body corner=(0, 0, 0) size=(100, 20, 10)\n"
                                                 "box slot op=cut corner=(45, 0, 5) size=(10, 20, 5)\n";
  auto displacement = [&](const std::string& held) {
    return Run("part " + (work.path() / "slotted.part").string() +
               "\nmaterial steel 2.1e11 0.3 7850\nanalysis static\nmesh 0.005 linear\nrestrain " + held +
               "\ngravity 0 0 -9.81\n")
        .maxDisplacement;
  };
  const double whole = displacement("body/top"), piece = displacement("body/top#1");
  EXPECT_GT(whole, 0.0);
  EXPECT_LT(whole, 0.5 * piece);
}

// A load that a restraint on its face takes is reported and the run goes on; a load along the
// free direction of a roller is not.
TEST_F(StudyTest, ALoadOnARestrainedFaceIsWarnedAbout) {
  struct Row {
    const char* conditions;
    const char* warning;  // null: none
  };
  const Row rows[] = {
      {"restrain x=min\nrestrain x=max\nforce x=max 0 0 -100\n", "line 6: the force on x=max"},
      {"restrain x=min\nrestrain 2 free y z\nforce x=max 100 0 0\n", "the restraint of line 5 holds"},
      {"restrain x=min\nrestrain x=max free y z\nforce x=max 0 100 0\n", nullptr},
      {"restrain x=min\npressure x=min 1000\nforce x=max 0 0 -100\n", "line 5: the pressure on x=min"},
  };
  for (const Row& row : rows) {
    std::ostringstream progress;
    const study::Summary s = Run(kBox + row.conditions, &progress);
    if (!row.warning) {
      EXPECT_TRUE(s.warnings.empty()) << row.conditions;
      continue;
    }
    ASSERT_EQ(s.warnings.size(), 1u) << row.conditions;
    EXPECT_NE(s.warnings[0].find(row.warning), std::string::npos) << s.warnings[0];
    EXPECT_NE(study::Format(s).find("Warning: " + s.warnings[0]), std::string::npos);
    EXPECT_GT(s.nodes, 0) << "the run went on";
    for (const char* phase : {"] Meshing", "] Solving...", "] Done"})
      EXPECT_NE(progress.str().find(phase), std::string::npos) << phase << " missing from:\n" << progress.str();
  }
}

TEST_F(StudyTest, DescriptionErrorsNameTheirLine) {
  struct Row {
    const char* text;
    int line;
    const char* fragment;
  };
  const std::string valid = "geometry box 1 1 1\nmaterial s 2e11 0.3 7850\nmesh 0.1\n";
  const Row rows[] = {
      {"geometry sphere 1\n", 1, "geometry is box"},
      {"geometry box 1 1\n", 1, "expected 3 dimensions"},
      {"geometry box 1 1 -1\n", 1, "positive"},
      {"geometry plate-with-hole 1 0.1 0.01 0.05\n", 1, "hole must lie inside"},
      {"geometry box 1 1 1\nmaterial steel 2e11 x 7850\n", 2, "material values"},
      {"geometry box 1 1 1\nanalysis dynamic\n", 2, "analysis is"},
      {"geometry box 1 1 1\nforce x=max 1 2\n", 2, "expected 3 numbers"},
      {"geometry box 1 1 1\nrestrain x=min free w\n", 2, "directions"},
      {"geometry box 1 1 1\nrestrain x=mid\n", 2, "faces are an index"},
      {"geometry box 1 1 1\nbolt x=min\n", 2, "unknown statement \"bolt\""},
      {"geometry box 1 1 1\nmesh 0.1\n", 0, "no material"},
      {"geometry box 1 1 1\nmaterial steel 2e11 0.3 7850\n", 0, "no mesh size"},
      {"part column.part inch\n", 1, "the part's unit is mm, cm or m"},
      {"part\n", 1, "expected a part file"},
      {"mesh 0.1\nmaterial s 2e11 0.3 7850\n", 0, "no geometry or part"},
      {"geometry box 1 1 1\nadapt 0\n", 2, "expected a positive target"},
      {"method annealing\n", 4, "the method is simp or beso"},
      {"geometry box 1 1 1\nadapt 5 11\n", 2, "passes are a whole number from 1 to 10"},
      {"geometry box 1 1 1\nmesh 0.1 quadratic curvature on\n", 2, "curvature can only be turned off"},
      {"geometry box 1 1 1\nmesh 0.1 quadratic curved\n", 2, "expected a positive size"},
      {"geometry box 1 1 1\nmesh curvature off\n", 2, "expected a positive size"},
      {"geometry box 1 1 1\nmaterial s 2e11 0.3 7850\nmesh 0.1\nanalysis heat\nadapt 5\n", 5, "only a static"},
      // One geometry or part.
      {"geometry box 1 1 1\ngeometry box 2 2 2\n", 2, "a second geometry or part (the first is on line 1)"},
      {"part column.part\ngeometry box 1 1 1\n", 2, "a second geometry or part"},
      {"part column.part\n\npart column.part\n", 3, "a second geometry or part"},
      // Counts are bounded whole numbers.
      {"modes 1e10\n", 4, "modes are a whole number from 1 to 100"},
      {"modes inf\n", 4, "modes are a whole number"},
      {"modes nan\n", 4, "modes are a whole number"},
      {"modes -3\n", 4, "modes are a whole number"},
      {"modes 2.5\n", 4, "modes are a whole number"},
      {"modes 101\n", 4, "modes are a whole number"},
      {"adapt 5 1e10\n", 4, "passes are a whole number"},
      {"adapt 5 nan\n", 4, "passes are a whole number"},
      {"restrain 0\n", 4, "a face index is a whole number from 1"},
      {"restrain 99999999999\n", 4, "a face index is a whole number from 1"},
      {"restrain -2\n", 4, "a face index is a whole number from 1"},
      // Every value is finite; sizes, temperatures and material constants are physical.
      {"force x=max 0 nan 0\n", 4, "\"nan\" is not a finite number"},
      {"force x=max inf 0 0\n", 4, "\"inf\" is not a finite number"},
      {"pressure x=max -inf\n", 4, "\"-inf\" is not a finite number"},
      {"displacement x=max 0 0 NAN\n", 4, "not a finite number"},
      {"gravity 0 0 -infinity\n", 4, "not a finite number"},
      {"temperature x=min nan\n", 4, "not a finite number"},
      {"temperature x=min -5\n", 4, "kelvin"},
      {"flux x=min inf\n", 4, "not a finite number"},
      {"convection x=min 10 nan\n", 4, "not a finite number"},
      {"convection x=min 0 293\n", 4, "film coefficient"},
      {"refine x=min nan\n", 4, "not a finite number"},
      {"refine x=min 0\n", 4, "element size must be positive"},
      {"mesh nan\n", 4, "not a finite number"},
      {"mesh inf\n", 4, "not a finite number"},
      {"adapt inf\n", 4, "not a finite number"},
      {"material s nan 0.3 7850\n", 4, "not a finite number"},
      {"material s 2e11 0.3 inf\n", 4, "not a finite number"},
      {"material s 2e11 0.3 7850 400 nan 385\n", 4, "not a finite number"},
      {"material s 0 0.3 7850\n", 4, "Young's modulus"},
      {"material s 2e11 0.5 7850\n", 4, "Poisson's ratio"},
      {"material s 2e11 0.3 -1\n", 4, "density"},
      {"material s 2e11 0.3 7850 0 1e-5 385\n", 4, "conductivity and specific heat"},
      // Shape optimisation statements.
      {"optimise topology\n", 4, "expected \"optimise shape|concept [CYCLES]\""},
      {"optimise concept 201\n", 4, "design cycles are a whole number from 1 to 200"},
      {"target 0\n", 4, "the target is a fraction in (0, 1]"},
      {"target 1.5\n", 4, "the target is a fraction in (0, 1]"},
      {"filter -1\n", 4, "the filter radius must be positive"},
      {"freeze\n", 4, "which faces?"},
      {"optimise concept\nvariable T 1 2\n", 4, "no variables or constraints"},
      {"optimise shape 51\n", 4, "design cycles are a whole number from 1 to 50"},
      {"optimise shape 0\n", 4, "design cycles are a whole number"},
      {"variable T 5\n", 4, "a parameter name and two bounds"},
      {"variable T 5 nan\n", 4, "not a finite number"},
      {"variable T 30 5\n", 4, "lower bound must lie below"},
      {"variable T 5 30\nvariable T 1 2\n", 2, "already a variable (line 1)"},
      {"objective stress\n", 4, "the objective is mass or volume"},
      {"constraint strain x=max 1\n", 4, "on stress or displacement"},
      {"constraint stress x=max\n", 4, "1 limit after the faces"},
      {"constraint stress x=max 1e-12\n", 4, "at least 1e-10"},
      {"constraint stress x=max -5\n", 4, "at least 1e-10"},
      {"variable T 5 30\n", 4, "need \"optimise shape\""},
      {"constraint stress x=max 1e8\n", 4, "need \"optimise shape\""},
      {"optimise shape\n", 4, "give a part"},
  };
  for (const Row& row : rows) {
    const std::string text = row.line == 4 ? valid + row.text : std::string(row.text);
    const kestrum::Result<study::Description> parsed = study::ParseStudy(text, "beam.study");
    ASSERT_FALSE(parsed.ok()) << text;
    const kestrum::Problem& p = parsed.problem();
    EXPECT_NE(p.message.find(row.fragment), std::string::npos) << text << " gave: " << p.message;
    EXPECT_EQ(p.line, row.line) << text << " gave: " << p.Describe();
    EXPECT_EQ(p.file, "beam.study");
  }
  const kestrum::Result<study::Description> nanBox = study::ParseStudy("geometry box 1 nan 1\n", "beam.study");
  ASSERT_FALSE(nanBox.ok());
  EXPECT_EQ(nanBox.problem().Describe(), "beam.study:1: \"nan\" is not a finite number");
}

// The reader reads no file: a part file is only named, relative to the study's folder.
TEST_F(StudyTest, TheReaderTakesAPartFileFromTheStudysFolderWithoutReadingIt) {
  const kestrum::Result<study::Description> parsed =
      study::ParseStudy("part ../parts/none.part cm\nmaterial s 2e11 0.3 7850\nmesh 0.1\n", "/nowhere/studies/a.study");
  ASSERT_TRUE(parsed.ok()) << parsed.problem().Describe();
  EXPECT_EQ(parsed->partFile, std::filesystem::path("/nowhere/studies/../parts/none.part"));
  EXPECT_DOUBLE_EQ(parsed->partUnit, 0.01);
}

TEST_F(StudyTest, AStudyThatCannotRunSaysWhy) {
  struct Row {
    const char* text;
    int line;
    const char* fragment;
  };
  const Row rows[] = {
      {"restrain 99\n", 4, "there is no face 99"},
      {"refine curved 0.01\nrestrain x=min\n", 4, "no curved face"},
      {"force x=max 0 0 1\n", 0, "restraints"},
      {"restrain box/left\n", 4, "faces are named only on a part"},
      {"restrain x=min\nforce x=max 0 0 1\nadapt 5\n", 6, "quadratic solid elements"},
  };
  for (const Row& row : rows) {
    const kestrum::Problem p = Refusal(kBox + row.text);
    EXPECT_NE(p.message.find(row.fragment), std::string::npos) << row.text << " gave: " << p.message;
    EXPECT_EQ(p.line, row.line) << row.text << " gave: " << p.Describe();
  }
}

TEST_F(StudyTest, APartStudyThatCannotRunSaysWhy) {
  struct Row {
    const char* text;
    const char* fragment;
  };
  const Row rows[] = {
      {"part missing.part\nrestrain shaft/bottom\n", "missing.part"},
      {"part column.part\nrestrain shaft/side\n", "the part has no face named \"shaft/side\""},
      {"part column.part\nrestrain shaft/bottom|shaft/left\n", "is not a face"},
  };
  for (const Row& row : rows) {
    const kestrum::Problem p = Refusal(std::string("material s 2e11 0.3 7850\nmesh 0.05 linear\n") + row.text);
    EXPECT_NE(p.message.find(row.fragment), std::string::npos) << row.text << " gave: " << p.message;
  }
}

TEST_F(StudyTest, AShapeOptimisationThatCannotStartSaysWhy) {
  struct Row {
    const char* text;
    const char* fragment;
  };
  const Row rows[] = {
      {"variable X 1 2\n", "the part has no parameter \"X\""},
      {"variable D 40 60\n", "starts outside its bounds"},
      {"variable D 20 60\nconstraint stress plate/side 1e8\n", "the part has no face named \"plate/side\""},
  };
  for (const Row& row : rows) {
    const kestrum::Problem p =
        Refusal(std::string("part plate_with_hole.part\nmaterial s 2e11 0.3 7850\nmesh 0.01\n"
                            "restrain plate/left\nforce plate/right 1000 0 0\noptimise shape\n") +
                row.text);
    EXPECT_NE(p.message.find(row.fragment), std::string::npos) << row.text << " gave: " << p.message;
  }
}

// Least mass of the plate with a hole over the hole's diameter: the optimiser widens the hole
// until the part modeller refuses the design (the hole no longer fits its face). The run ends at
// that cycle with the reason, and the last design that was built and solved is final.
TEST_F(StudyTest, AnUnbuildableDesignEndsTheRunWithItsReason) {
  const study::Summary s =
      Run("part plate_with_hole.part\nmaterial s 2e11 0.3 7850\nmesh 0.01\nrestrain plate/left\n"
          "force plate/right 1000 0 0\noptimise shape 8\nvariable D 20 160\nobjective mass\n");
  ASSERT_TRUE(s.optimisation);
  const study::OptimisationSummary& o = *s.optimisation;
  EXPECT_EQ(o.exitCode, OptExitStopped) << o.exitMessage;
  ASSERT_GE(o.cycles.size(), 2u);
  EXPECT_NE(o.exitMessage.find("could not be rebuilt"), std::string::npos) << o.exitMessage;
  EXPECT_NE(o.exitMessage.find("(cycle " + std::to_string(o.cycles.size()) + ")"), std::string::npos) << o.exitMessage;
  EXPECT_EQ(o.finalDesign, o.cycles.back().design);
  // The plate is 200 x 100 x 10 mm: its mass falls by the hole's area times the thickness.
  for (const OptCycle& c : o.cycles) {
    const double d = c.design[0] / 1000;
    EXPECT_NEAR(c.objective, kDensity * (0.2 * 0.1 - M_PI * d * d / 4) * 0.01, 1e-6 * c.objective);
  }
  EXPECT_LT(o.cycles.back().objective, o.cycles.front().objective);
}

// A cantilever beam (200 mm long, 50 mm deep, 10 mm thick), clamped at one end and loaded at the
// other, keeping half its volume: bending wants material far from the neutral axis, so the
// flanges stay and the web thins. Away from the clamp and the load, the mean density of the
// depth's middle third falls below half that of its outer sixths. SIMP starts uniform at the
// target (its frozen elements full), BESO full and removes material down to it; the volume then
// stays at the target, and from the reference cycle on the compliance never rises by 1% from one
// cycle to the next and ends below the reference's.
TEST_F(StudyTest, AConceptBeamKeepsItsFlanges) {
  struct Method {
    const char* statement;
    int firstAtTarget;  // the first cycle analysed at the target volume
    int reference;
    double finalRatio;  // the last compliance is below this times the reference cycle's
  };
  const Method methods[] = {{"method simp\n", 1, 0, 0.5}, {"method beso\n", 7, 7, 1.0}};
  for (const Method& m : methods) {
    SCOPED_TRACE(m.statement);
    const study::Summary s =
        Run(std::string("geometry box 0.2 0.01 0.05\nmaterial s 2.1e11 0.3 7850\nmesh 0.004 linear\nrestrain x=min\n"
                        "force x=max 0 0 -1000\nfreeze x=max\noptimise concept 30\ntarget 0.5\n") +
            m.statement);
    ASSERT_TRUE(s.optimisation);
    const study::OptimisationSummary& o = *s.optimisation;
    EXPECT_TRUE(o.exitCode == OptExitConverged || o.exitCode == OptExitLastDesign) << o.exitMessage;
    const auto& cycles = o.conceptCycles;
    ASSERT_GE(cycles.size(), static_cast<std::size_t>(m.firstAtTarget) + 5);
    EXPECT_LE(cycles[0].volumeFraction, m.firstAtTarget == 1 ? 0.52 : 1.0);
    for (std::size_t i = 1; i < cycles.size(); ++i) {
      const int cycle = static_cast<int>(i);
      EXPECT_LE(cycles[i].volumeFraction, cycles[i - 1].volumeFraction + 1e-3) << "cycle " << i;
      if (cycle >= m.firstAtTarget) {
        EXPECT_NEAR(cycles[i].volumeFraction, 0.5, 2e-3) << "cycle " << i;
      }
      if (cycle > m.reference) {
        EXPECT_LE(cycles[i].compliance[0], 1.01 * cycles[i - 1].compliance[0]) << "cycle " << i;
      }
    }
    EXPECT_LT(cycles.back().compliance[0], m.finalRatio * cycles[static_cast<std::size_t>(m.reference)].compliance[0]);
    ASSERT_EQ(o.densities.size(), o.elements.size());
    double middle = 0, middleVolume = 0, outer = 0, outerVolume = 0;
    for (std::size_t e = 0; e < o.elements.size(); ++e) {
      const CaeVector& c = o.elements[e].centroid;
      if (c.X() < 0.05 || c.X() > 0.15) continue;
      const double depth = c.Z() / 0.05;
      const double v = o.elements[e].volume;
      if (depth > 1.0 / 3 && depth < 2.0 / 3) middle += o.densities[e] * v, middleVolume += v;
      if (depth < 1.0 / 6 || depth > 5.0 / 6) outer += o.densities[e] * v, outerVolume += v;
    }
    ASSERT_GT(middleVolume, 0);
    ASSERT_GT(outerVolume, 0);
    EXPECT_LT(middle / middleVolume, 0.5 * outer / outerVolume)
        << "middle third " << middle / middleVolume << ", outer sixths " << outer / outerVolume;
  }
}

// Sizes that would make a mesh of billions of elements are refused at once, before meshing (a
// study typed in millimetres used to mesh for minutes and gigabytes), with the likely cause.
TEST_F(StudyTest, AMeshFarTooFineIsRefusedBeforeMeshing) {
  struct Row {
    const char* text;
    int line;
    const char* fragment;
  };
  const Row rows[] = {
      {"geometry box 200 20 10\nmaterial steel 210e9 0.3 7850\nmesh 0.004\nrestrain x=min\nforce x=max 0 0 -100\n", 3,
       "are the lengths in millimetres? Study lengths are in metres"},
      {"geometry box 1 0.2 0.2\nmaterial steel 210e9 0.3 7850\nmesh 0.0005\nrestrain x=min\n", 3,
       "choose a larger element size"},
      {"geometry plate-with-hole 0.3 0.1 0.005 0.01\nmaterial steel 210e9 0.3 7850\nmesh 0.01\n"
       "refine curved 0.000001\nrestrain x=min\n",
       3, "elements, more than the"},
  };
  for (const Row& row : rows) {
    const kestrum::Problem p = Refusal(row.text);
    EXPECT_NE(p.message.find(row.fragment), std::string::npos) << row.text << " gave: " << p.message;
    EXPECT_EQ(p.line, row.line);
  }
}

}  // namespace
