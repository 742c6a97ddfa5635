// Whole studies through the engine (gmsh mesh, CalculiX deck and job, results file) checked
// against closed-form solutions, and the study description's errors.
#include <cmath>
#include <fstream>
#include <string>

#include "Study.h"
#include "amg/CaeConfig.h"
#include "fea_fixture.h"
#include "test_env.h"

namespace {

class StudyTest : public FeaTest {
 protected:
  void SetUp() override {
    FeaTest::SetUp();
    CaeConfig::SetValue(CaeString("Solver Threads"), CaeString("1"), 0);
  }

  // Part files are named relative to the shipped parts.
  study::Summary Run(const std::string& description) {
    study::Description parsed;
    std::string error;
    EXPECT_TRUE(study::Parse(description, parsed, error, kestrum::test::sourcePath("data/parts"))) << error;
    study::Summary summary = study::Run(parsed, work.path());
    EXPECT_TRUE(summary.ok) << summary.error;
    return summary;
  }

  kestrum::test::TempDir work;
};

// Steel: E 210 GPa, nu 0.3, density 7850 kg/m3.
constexpr double kE = 2.1e11, kDensity = 7850.0;

// A 1 m cantilever of 50 mm square section, 100 N at its tip: deflection P L^3 / (3 E I).
TEST_F(StudyTest, CantileverTipDeflectionWithinTwoPercent) {
  const study::Summary s = Run(
      "geometry box 1.0 0.05 0.05\nmaterial steel 2.1e11 0.3 7850\nanalysis static\nmesh 0.025\n"
      "restrain x=min\nforce x=max 0 0 -100\n");
  const double inertia = std::pow(0.05, 4) / 12;
  const double expected = 100.0 * 1.0 / (3 * kE * inertia);
  EXPECT_NEAR(s.maxDisplacement, expected, 0.02 * expected);
  // The bending stress at the root, M c / I, is the largest stress away from the clamp's corners.
  EXPECT_GT(s.maxVonMises, 0.9 * 100.0 * 1.0 * 0.025 / inertia);
  // The strain energy stored is the work of the load, P delta / 2.
  EXPECT_NEAR(s.strainEnergy, 0.5 * 100.0 * expected, 0.03 * 0.5 * 100.0 * expected);
}

// The same beam's first bending frequency: (1.8751^2 / 2 pi) sqrt(E I / (rho A L^4)).
TEST_F(StudyTest, CantileverFirstFrequencyWithinTwoPercent) {
  const study::Summary s = Run(
      "geometry box 1.0 0.05 0.05\nmaterial steel 2.1e11 0.3 7850\nanalysis frequency\nmodes 3\nmesh 0.025\n"
      "restrain x=min\n");
  const double inertia = std::pow(0.05, 4) / 12, area = 0.05 * 0.05;
  const double expected = 1.8751 * 1.8751 / (2 * M_PI) * std::sqrt(kE * inertia / (kDensity * area));
  ASSERT_GE(s.frequencies.size(), 3u);
  EXPECT_NEAR(s.frequencies[0], expected, 0.02 * expected);
  EXPECT_NEAR(s.frequencies[1], expected, 0.02 * expected) << "the square section bends alike both ways";
  EXPECT_GT(s.frequencies[2], 5 * expected);
}

// A 1 m column of 20 mm square section, fixed at its base and free at its top: Euler's load
// pi^2 E I / (4 L^2); the buckling factor is that load over the 1000 N applied.
TEST_F(StudyTest, ColumnBucklingFactorWithinTwoPercent) {
  const study::Summary s = Run(
      "geometry box 0.02 0.02 1.0\nmaterial steel 2.1e11 0.3 7850\nanalysis buckling\nmesh 0.01\n"
      "restrain z=min\nforce z=max 0 0 -1000\n");
  const double inertia = std::pow(0.02, 4) / 12;
  const double expected = M_PI * M_PI * kE * inertia / 4.0 / 1000.0;
  EXPECT_NEAR(s.bucklingFactor, expected, 0.02 * expected);
}

// A 100 mm copper wall held at 100 C on one side, cooled by air (h 50 W/m2K, 20 C) on the other:
// the heat flow (T1 - Tair) / (L/k + 1/h) sets the cooled face's temperature.
TEST_F(StudyTest, WallConductionWithinATenthOfAPercent) {
  const study::Summary s = Run(
      "geometry box 0.1 0.5 0.5\nmaterial copper 1.1e11 0.34 8900 400 1.7e-5 385\nanalysis heat\nmesh 0.05\n"
      "temperature x=min 373.15\nconvection x=max 50 293.15\n");
  const double flux = (373.15 - 293.15) / (0.1 / 400 + 1 / 50.0);
  const double cooled = 373.15 - flux * 0.1 / 400;
  EXPECT_NEAR(s.maxTemperature, 373.15, 1e-6);
  EXPECT_NEAR(s.minTemperature, cooled, 0.001 * (373.15 - cooled) + 1e-3);
}

// A 300 x 100 x 5 mm plate with a 20 mm hole, pulled with 1000 N: the peak stress at the hole is
// Kt times the net-section stress, Kt = 2 + (1 - d/W)^3 (Heywood) for a finite-width plate.
TEST_F(StudyTest, StressConcentrationAtAHoleWithinFivePercent) {
  const study::Summary s = Run(
      "geometry plate-with-hole 0.3 0.1 0.005 0.01\nmaterial steel 2.1e11 0.3 7850\nanalysis static\n"
      "mesh 0.01\nrefine curved 0.0015\nrestrain x=min\nforce x=max 1000 0 0\n");
  const double ratio = 0.02 / 0.1;
  const double expected = (2 + std::pow(1 - ratio, 3)) * 1000.0 / ((0.1 - 0.02) * 0.005);
  EXPECT_LT(s.nodes, 20000);
  EXPECT_NEAR(s.maxVonMises, expected, 0.05 * expected);
}

// The shipped column part (20 x 20 x 1000 mm), with its conditions on the faces' persistent names:
// the same Euler load as above.
TEST_F(StudyTest, ColumnPartBucklesAtTheEulerLoadWithinOnePercent) {
  const study::Summary s = Run(
      "part column.part mm\nmaterial steel 2.1e11 0.3 7850\nanalysis buckling\nmesh 0.01\n"
      "restrain shaft/bottom\nforce shaft/top 0 0 -1000\n");
  const double expected = M_PI * M_PI * kE * (std::pow(0.02, 4) / 12) / 4.0 / 1000.0;
  EXPECT_NEAR(s.bucklingFactor, expected, 0.01 * expected);
}

// The shipped plate (200 x 100 x 10 mm, 30 mm hole) pulled with 1000 N, held on three faces by
// rollers so that no corner is singular: each adaptive pass lowers the estimated error, and the
// refined mesh finds the peak stress Kt sigma_net, Kt = 2 + (1 - d/W)^3, within five percent.
TEST_F(StudyTest, AdaptingThePlatePartLowersTheErrorAndFindsTheStressConcentration) {
  const study::Summary s = Run(
      "part plate_with_hole.part\nmaterial steel 2.1e11 0.3 7850\nanalysis static\nmesh 0.012\n"
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
}

// A slot cut across the top splits it into "body/top#1" and "body/top#2"; the name "body/top"
// selects both pieces, so holding the whole top holds the beam more than holding one piece.
TEST_F(StudyTest, ANameSelectsThePiecesOfASplitFace) {
  std::ofstream(work.path() / "slotted.part")
      << "part slotted\nbox body corner=(0, 0, 0) size=(100, 20, 10)\n"
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

TEST_F(StudyTest, DescriptionErrorsNameTheirLine) {
  struct Row {
    const char* text;
    const char* fragment;
  };
  const Row rows[] = {
      {"geometry sphere 1\n", "line 1: geometry is box"},
      {"geometry box 1 1\n", "line 1: expected 3 dimensions"},
      {"geometry box 1 1 -1\n", "positive"},
      {"geometry box 1 1 1\nmaterial steel 2e11 x 7850\n", "line 2"},
      {"geometry box 1 1 1\nanalysis dynamic\n", "line 2: analysis is"},
      {"geometry box 1 1 1\nforce x=max 1 2\n", "line 2: expected 3 number"},
      {"geometry box 1 1 1\nrestrain x=min free w\n", "directions"},
      {"geometry box 1 1 1\nbolt x=min\n", "unknown statement \"bolt\""},
      {"geometry box 1 1 1\nmesh 0.1\n", "no material"},
      {"geometry box 1 1 1\nmaterial steel 2e11 0.3 7850\n", "no mesh size"},
      {"part column.part inch\n", "line 1: the part's unit is mm, cm or m"},
      {"part\n", "line 1: expected a part file"},
      {"mesh 0.1\nmaterial s 2e11 0.3 7850\n", "no geometry or part"},
      {"part column.part\ngeometry box 1 1 1\nmaterial s 2e11 0.3 7850\nmesh 0.1\n", "not both"},
      {"geometry box 1 1 1\nadapt 0\n", "line 2: expected a positive target"},
      {"geometry box 1 1 1\nadapt 5 11\n", "passes are a whole number from 1 to 10"},
      {"geometry box 1 1 1\nmaterial s 2e11 0.3 7850\nmesh 0.1\nanalysis heat\nadapt 5\n", "only a static"},
  };
  for (const Row& row : rows) {
    study::Description description;
    std::string error;
    EXPECT_FALSE(study::Parse(row.text, description, error)) << row.text;
    EXPECT_NE(error.find(row.fragment), std::string::npos) << row.text << " gave: " << error;
  }
}

TEST_F(StudyTest, AStudyThatCannotRunSaysWhy) {
  struct Row {
    const char* text;
    const char* fragment;
  };
  const Row rows[] = {
      {"restrain x=mid\n", "faces are an index"},
      {"restrain 99\n", "there is no face 99"},
      {"refine curved 0.01\nrestrain x=min\n", "no curved face"},
      {"force x=max 0 0 1\n", "restraints"},
      {"restrain box/left\n", "faces are named only on a part"},
      {"restrain x=min\nforce x=max 0 0 1\nadapt 5\n", "quadratic solid elements"},
  };
  for (const Row& row : rows) {
    study::Description description;
    std::string error;
    ASSERT_TRUE(study::Parse(std::string("geometry box 1 0.2 0.2\nmaterial s 2e11 0.3 7850\nmesh 0.1 linear\n") + row.text,
                             description, error))
        << error;
    const study::Summary s = study::Run(description, work.path());
    EXPECT_FALSE(s.ok);
    EXPECT_NE(s.error.find(row.fragment), std::string::npos) << row.text << " gave: " << s.error;
    EXPECT_NE(study::Format(s).find("Study failed"), std::string::npos);
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
    study::Description description;
    std::string error;
    ASSERT_TRUE(study::Parse(std::string("material s 2e11 0.3 7850\nmesh 0.05 linear\n") + row.text, description, error,
                             kestrum::test::sourcePath("data/parts")))
        << error;
    const study::Summary s = study::Run(description, work.path());
    EXPECT_FALSE(s.ok);
    EXPECT_NE(s.error.find(row.fragment), std::string::npos) << row.text << " gave: " << s.error;
  }
}

}  // namespace
