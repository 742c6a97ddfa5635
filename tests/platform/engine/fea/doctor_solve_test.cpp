// The design doctor's judge on real solves: each test's status and figures against the closed
// forms the studies verify (a plate with a hole, a cantilever's frequency, a column's buckling
// load, a wall's temperatures), the display a diagnosis leaves, and refinement by each kind of
// error estimate.
#include <cmath>
#include <string>
#include <vector>

#include "Study.h"
#include "amg/CaeConfig.h"
#include "amg/CaeMaterial.h"
#include "fea/AmgMesh.h"
#include "fea/AnlModel.h"
#include "fea/FerDoctor.h"
#include "fea/FerResult.h"
#include "fea/FerState.h"
#include "fea_fixture.h"
#include "test_env.h"

namespace {

constexpr int kPassed = 0, kFailed = 1, kNotApplicable = 2;
constexpr double kE = 2.1e11, kDensity = 7850.0;

// The shipped plate (200 x 100 x 10 mm, 30 mm hole) on rollers, pulled with 1000 N: the peak
// stress at the hole is Kt sigma_net, Kt = 2 + (1 - d/W)^3.
const char* const kPlate =
    "part plate_with_hole.part mm\nmaterial steel 210e9 0.3 7850\nanalysis static\nmesh 0.012 quadratic\n"
    "restrain plate/left free y z\nrestrain plate/bottom free x y\nrestrain plate/front free x z\n"
    "force plate/right 1000 0 0\n";
const double kPlatePeak = (2 + std::pow(1 - 0.03 / 0.1, 3)) * 1000.0 / (0.07 * 0.01);

// Gives each live sub-model's material `yield` in every row.
void SetYield(AnlModel& model, double yield) {
  for (int i = 0; i < model.NumSubModels(); ++i) {
    CaeMaterial* material = model.GetSubModel(i)->GetMaterial();
    CaeArray<double> temperatures;
    material->GetTemps(temperatures);
    for (int t = 0; t < temperatures.Count(); ++t) {
      double v[CaeMaterial::kPropCount] = {};
      material->GetProp(temperatures[t], v);
      material->AddProp(temperatures[t], v[CaeMaterial::kDensity], v[CaeMaterial::kModulus], v[CaeMaterial::kPoisson],
                        yield, v[CaeMaterial::kUltimate], v[CaeMaterial::kConductivity], v[CaeMaterial::kExpansion],
                        v[CaeMaterial::kSpecificHeat]);
    }
  }
}

double PeakVonMises(const FerResultSet& set) {
  double low = 0.0, high = 0.0;
  const FerResult* stress = set.FindResult(FerQtyStress);
  return stress && stress->Range(0, 0, low, high) ? high : 0.0;
}

// A results state with a current display and the engine's own interface, for the settings a
// diagnosis leaves.
struct View {
  View() {
    FerDisplay::SetCurrent(&display);
    FerState::SetState(&state);
    state.SetInterface(&view);
  }
  ~View() { FerState::SetState(nullptr); }
  FerDisplay display;
  FerState state;
  CaeFerInterface view;
};

class DoctorSolveTest : public FeaTest {
 protected:
  void SetUp() override {
    FeaTest::SetUp();
    CaeConfig::SetValue(CaeString("Solver Threads"), CaeString("1"), 0);
  }

  study::Summary Run(const std::string& text, const study::SolvedHook& solved) {
    const auto parsed = study::ParseStudy(text, kestrum::test::sourcePath("data/parts") / "doctor.study");
    EXPECT_TRUE(parsed.ok()) << (parsed ? "" : parsed.problem().Describe());
    if (!parsed) return {};
    auto summary = study::Run(*parsed, work.path(), nullptr, solved);
    EXPECT_TRUE(summary.ok()) << (summary ? "" : summary.problem().Describe());
    return summary ? *summary : study::Summary();
  }

  kestrum::test::TempDir work;
};

TEST_F(DoctorSolveTest, PlateWithAHoleIsJudgedAgainstYieldFactorOfSafetyAndMeshingError) {
  bool judged = false;
  Run(kPlate, [&](AnlModel& model, FerResultSet& set) {
    judged = true;
    const double peak = PeakVonMises(set);
    ASSERT_NEAR(peak, kPlatePeak, 0.08 * kPlatePeak) << "the coarse mesh still finds the concentration";
    struct Case {
      double yield, minimumSafety;
      int validity, design;
    };
    const Case cases[] = {
        {275e6, 1.0, kPassed, kPassed},    // S275: far below yield
        {275e6, 100.0, kPassed, kFailed},  // but not a hundredfold safe
        {0.9 * kPlatePeak, 0.5, kFailed, kPassed},
        {0.9 * kPlatePeak, 1.0, kFailed, kFailed},
    };
    for (const Case& c : cases) {
      SetYield(model, c.yield);
      FerDoctor doctor(&set, &model);
      EXPECT_EQ(doctor.TestValidity(0), c.validity) << c.yield;
      EXPECT_NEAR(doctor.MinFOS(), c.yield / peak, 1e-9 * c.yield / peak);
      EXPECT_NEAR(doctor.MinFOS(), c.yield / kPlatePeak, 0.08 * c.yield / kPlatePeak) << "against the closed form";
      FerDoctor designer(&set, &model);
      EXPECT_EQ(designer.TestDesign(0, c.minimumSafety), c.design) << c.yield << " " << c.minimumSafety;
    }
    // Tests of another analysis type, or without any yield known, have nothing to judge.
    FerDoctor doctor(&set, &model);
    EXPECT_EQ(doctor.TestValidity(1), kNotApplicable);
    EXPECT_EQ(doctor.TestDesign(1, 0.0, 100.0), kNotApplicable);
    EXPECT_EQ(doctor.TestDesign(2, 1.0), kNotApplicable);
    EXPECT_EQ(doctor.TestQuality(3, 10.0), kNotApplicable);
    FerDoctor noModel(&set, nullptr);
    EXPECT_EQ(noModel.TestValidity(0), kNotApplicable);

    // The meshing error is the solver's estimate: the coarse 12 mm mesh is above 10 %.
    FerDoctor quality(&set, &model);
    EXPECT_EQ(quality.TestQuality(0, 10.0), kFailed);
    const double error = quality.MaxError();
    double low = 0.0, high = 0.0;
    ASSERT_TRUE(set.FindResult(FerQtyErrorEstimate)->Range(0, 0, low, high));
    EXPECT_DOUBLE_EQ(error, high);
    EXPECT_EQ(quality.TestQuality(0, 1.01 * error), kPassed);
    EXPECT_EQ(quality.QuantityType(), FerQtyStress);

    FerElementShape worst;
    ASSERT_TRUE(quality.WorstElementShape(worst));
    EXPECT_GT(worst.scaledJacobian, 0.0) << "no inverted element";
    EXPECT_GE(worst.aspectRatio, 1.0);
    EXPECT_LT(worst.aspectRatio, 20.0);
    // Steel pulled at 1.43 MPa stretches about 7e-6 of its length.
    EXPECT_GT(quality.DisplacementToSize(), 1e-7);
    EXPECT_LT(quality.DisplacementToSize(), 1e-4);
  });
  EXPECT_TRUE(judged);
}

// A diagnosis leaves its finding in the display's settings; ResetDisplay puts back the view.
TEST_F(DoctorSolveTest, ADiagnosisShowsItsFindingAndResetRestoresTheView) {
  Run(kPlate, [&](AnlModel& model, FerResultSet& set) {
    SetYield(model, 0.9 * kPlatePeak);
    View view;
    FerDispSettings before;
    before.SetResultSet(CaeString("Earlier"));
    before.SetResultSubSet(1);
    FerColorSetting shown = before.GetColorSettings();
    shown.SetResult(FerQtyDisplacement);
    before.SetColorSettings(shown);
    view.display.SetSettings(before);

    FerDoctor doctor(&set, &model);
    EXPECT_EQ(doctor.DiagnoseQuality(0, 10.0), kFailed);
    FerColorSetting color = view.display.Settings().GetColorSettings();
    EXPECT_EQ(view.display.Settings().GetResultSet(), set.Name());
    EXPECT_EQ(color.GetResult(), FerQtyErrorEstimate);
    double minimum = 0, maximum = 0, increment = 0;
    color.GetRange(minimum, maximum, increment);
    EXPECT_EQ(color.GetRangeType(), 2);
    EXPECT_EQ(color.GetNumberIntervals(), 2);
    EXPECT_DOUBLE_EQ(minimum + (maximum - minimum) / 2, 10.0) << "the bands meet at the allowed error";

    EXPECT_EQ(doctor.DiagnoseValidity(0), kFailed);
    color = view.display.Settings().GetColorSettings();
    EXPECT_EQ(color.GetResult(), FerQtyStress);
    EXPECT_NE(color.FactorOfSafetyUsed(), 0);
    EXPECT_DOUBLE_EQ(color.GetFactorOfSafetyValue(), 0.9 * kPlatePeak) << "against the yield";

    doctor.ResetDisplay();
    EXPECT_EQ(view.display.Settings().GetResultSet(), CaeString("Earlier"));
    EXPECT_EQ(view.display.Settings().GetColorSettings().GetResult(), FerQtyDisplacement);
  });
}

// The meshing error falls as the mesh is refined where it is high, and the refined meshes find
// the closed-form peak stress; the hole is no singular point.
TEST_F(DoctorSolveTest, MeshingErrorFallsOnRefining) {
  std::vector<double> errors, peaks;
  std::vector<int> nodes;
  const study::Summary s = Run(std::string(kPlate) + "adapt 4 2\n", [&](AnlModel& model, FerResultSet& set) {
    FerDoctor doctor(&set, &model);
    EXPECT_EQ(doctor.TestQuality(0, 4.0), kFailed);
    errors.push_back(doctor.MaxError());
    peaks.push_back(PeakVonMises(set));
    nodes.push_back(set.Mesh()->NumNodes());
  });
  ASSERT_EQ(errors.size(), 3u);
  for (std::size_t i = 1; i < errors.size(); ++i) {
    EXPECT_LT(errors[i], errors[i - 1]) << "pass " << i;
    EXPECT_GT(nodes[i], nodes[i - 1]) << "pass " << i;
  }
  EXPECT_NEAR(peaks.back(), kPlatePeak, 0.05 * kPlatePeak);
  EXPECT_TRUE(s.warnings.empty()) << s.warnings.front();
}

// A beam clamped on its whole end face has singular stresses along the clamped edges: the
// largest error stays there while the stress grows, and the refinement stops, naming the place.
TEST_F(DoctorSolveTest, ASingularCornerStopsTheRefinementNamingThePlace) {
  const study::Summary s =
      Run("geometry box 0.1 0.02 0.02\nmaterial steel 2.1e11 0.3 7850\nanalysis static\nmesh 0.01\n"
          "restrain x=min\nforce x=max 0 0 -1000\nadapt 5 4\n",
          nullptr);
  ASSERT_EQ(s.warnings.size(), 1u);
  const std::string& warning = s.warnings.front();
  EXPECT_NE(warning.find("singular"), std::string::npos) << warning;
  const std::size_t open = warning.find('(');
  ASSERT_NE(open, std::string::npos) << warning;
  const double x = std::stod(warning.substr(open + 1));
  EXPECT_LT(x, 0.02) << "at the clamped end: " << warning;
  ASSERT_GE(s.adaptErrors.size(), 2u);
  EXPECT_LT(s.adaptErrors.size(), 5u) << "stopped before the passes ran out";
  EXPECT_GE(s.adaptErrors.back(), 0.9 * s.adaptErrors[s.adaptErrors.size() - 2]) << "the error did not fall";
}

// A cantilever's first bending frequency, (1.8751^2 / 2 pi) sqrt(E I / (rho A L^4)), against
// ranges; the error of modes is the doctor's own, and refinement follows it.
TEST_F(DoctorSolveTest, FrequenciesAgainstARangeAndRefiningByTheModesError) {
  const double inertia = std::pow(0.05, 4) / 12, area = 0.05 * 0.05;
  const double first = 1.8751 * 1.8751 / (2 * M_PI) * std::sqrt(kE * inertia / (kDensity * area));
  bool judged = false;
  Run("geometry box 1.0 0.05 0.05\nmaterial steel 2.1e11 0.3 7850\nanalysis frequency\nmodes 3\nmesh 0.025\n"
      "restrain x=min\n",
      [&](AnlModel& model, FerResultSet& set) {
        judged = true;
        struct Case {
          double lower, upper;
          int status;
        };
        const Case cases[] = {
            {0.0, 0.0, kFailed},
            {0.97 * first, 1e6, kPassed},
            {1.03 * first, 1e6, kFailed},  // the first mode lies below
            {0.0, 0.97 * first, kFailed},
        };
        for (const Case& c : cases) {
          FerDoctor doctor(&set, &model);
          EXPECT_EQ(doctor.TestDesign(1, c.lower, c.upper), c.status) << c.lower << " " << c.upper;
        }
        View view;
        FerDoctor doctor(&set, &model);
        EXPECT_EQ(doctor.DiagnoseDesign(1, 1.03 * first, 1e6), kFailed);
        EXPECT_EQ(view.display.Settings().GetResultSubSet(), 1) << "the first mode is out of range";
        EXPECT_EQ(view.display.Settings().GetDeformedSettings().IsVisible(), 1);

        EXPECT_NE(doctor.TestQuality(1, 100.0), kNotApplicable) << "modes have an estimate";
        const double error = doctor.MaxError();
        EXPECT_GT(error, 0.0);
        EXPECT_EQ(doctor.TestQuality(1, 0.99 * error), kFailed);

        AmgMesh* mesh = model.GetSubModel(0)->Mesh();
        const int before = mesh->NumNodes();
        model.SetAdaptTargetError(0.5 * error);
        model.SetAdaptIterations(1);
        CaeString message;
        int stop = 1;
        EXPECT_EQ(model.AdaptMeshes(&set, doctor.QuantityType(), message, stop), 0) << message.Str();
        EXPECT_EQ(stop, 0);
        EXPECT_GT(mesh->NumNodes(), before) << "refined by the modes' error";
        const int refined = mesh->NumNodes();
        EXPECT_EQ(model.AdaptMeshes(&set, doctor.QuantityType(), message, stop), 1);
        EXPECT_EQ(stop, 1);
        EXPECT_EQ(model.LastAdaptOutcome(), AnlModel::kAdaptPassesUsed);
        EXPECT_NE(message.Str().find("refined 1 times"), std::string::npos) << message.Str();
        EXPECT_EQ(mesh->NumNodes(), refined);
      });
  EXPECT_TRUE(judged);
}

// Euler's load of a fixed-free column, pi^2 E I / (4 L^2), over the 1000 N applied: 6.91.
TEST_F(DoctorSolveTest, BucklingFactorAgainstTheMinimumLoadFactor) {
  const double expected = M_PI * M_PI * kE * (std::pow(0.02, 4) / 12) / 4.0 / 1000.0;
  bool judged = false;
  Run("geometry box 0.02 0.02 1.0\nmaterial steel 2.1e11 0.3 7850\nanalysis buckling\nmodes 2\nmesh 0.01\n"
      "restrain z=min\nforce z=max 0 0 -1000\n",
      [&](AnlModel& model, FerResultSet& set) {
        judged = true;
        for (const auto& [minimum, status] : {std::pair{1.0, kPassed}, std::pair{10.0, kFailed}}) {
          FerDoctor doctor(&set, &model);
          EXPECT_EQ(doctor.TestDesign(2, minimum), status) << minimum;
          EXPECT_NEAR(doctor.MinFOS(), expected, 0.02 * expected);
        }
        FerDoctor doctor(&set, &model);
        EXPECT_EQ(doctor.TestDesign(0, 1.0), kNotApplicable);
        EXPECT_NE(doctor.TestQuality(2, 100.0), kNotApplicable) << "buckling modes have an estimate";
        EXPECT_GT(doctor.MaxError(), 0.0);
      });
  EXPECT_TRUE(judged);
}

// A copper wall held at 373.15 K, cooled by air on its other side: the cooled face sits at
// 373.15 - q L / k = 372.16 K.
TEST_F(DoctorSolveTest, TemperaturesAgainstARange) {
  const double flux = (373.15 - 293.15) / (0.1 / 400 + 1 / 50.0);
  const double cooled = 373.15 - flux * 0.1 / 400;
  bool judged = false;
  Run("geometry box 0.1 0.5 0.5\nmaterial copper 1.1e11 0.34 8900 400 1.7e-5 385\nanalysis heat\nmesh 0.05\n"
      "temperature x=min 373.15\nconvection x=max 50 293.15\n",
      [&](AnlModel& model, FerResultSet& set) {
        judged = true;
        struct Case {
          double lower, upper;
          int status;
        };
        const Case cases[] = {
            {cooled - 0.05, 373.15 + 0.05, kPassed},
            {cooled + 0.2, 400.0, kFailed},
            {200.0, 373.0, kFailed},
        };
        for (const Case& c : cases) {
          FerDoctor doctor(&set, &model);
          EXPECT_EQ(doctor.TestDesign(3, c.lower, c.upper), c.status) << c.lower << " " << c.upper;
        }
        View view;
        FerDoctor doctor(&set, &model);
        EXPECT_EQ(doctor.DiagnoseDesign(3, 300.0, 400.0), kPassed);
        const FerColorSetting color = view.display.Settings().GetColorSettings();
        double minimum = 0, maximum = 0, increment = 0;
        color.GetRange(minimum, maximum, increment);
        EXPECT_EQ(color.GetResult(), FerQtyTemperature);
        EXPECT_DOUBLE_EQ(minimum, 300.0);
        EXPECT_DOUBLE_EQ(maximum, 400.0);
        EXPECT_EQ(doctor.TestValidity(0), kNotApplicable);
        EXPECT_NE(doctor.TestQuality(3, 100.0), kNotApplicable) << "heat flux has an estimate";
        EXPECT_EQ(doctor.QuantityType(), FerQtyHeatFlux);
        EXPECT_FALSE(doctor.TemperaturesBeyondMaterials()) << "a one-row material holds at every temperature";
      });
  EXPECT_TRUE(judged);
}

}  // namespace
