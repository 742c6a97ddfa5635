// Concept optimisation by SIMP and BESO against closed forms: independent springs, each under its
// own load, sharing a volume.
#include <cmath>

#include "fea/OptConcept.h"
#include "fea/OptRun.h"
#include "fea_fixture.h"

namespace {

// Spring e of density x has stiffness x^p / c and carries load F_e: its energy is F_e^2 c / (2 x^p)
// and the compliance is their sum doubled. At a fixed volume sum(x_e v) the least compliance has
// p F_e^2 c x_e^(-p-1) = lambda v, so x_e is proportional to F_e^(2 / (p + 1)).
class Springs : public OptConceptEvaluator {
 public:
  explicit Springs(std::vector<double> loads) : loads_(std::move(loads)) {}
  bool Solve(const std::vector<int>& group, const std::vector<double>& scales, std::vector<double>& energies,
             std::vector<double>& compliance, std::string& reason) override {
    if (failAt == solves++) return reason = "the solver failed", false;
    energies.clear();
    double total = 0.0;
    for (std::size_t e = 0; e < loads_.size(); ++e) {
      energies.push_back(loads_[e] * loads_[e] / (2.0 * scales[static_cast<std::size_t>(group[e])]));
      total += 2.0 * energies.back();
    }
    compliance = {total};
    return true;
  }
  int failAt = -1;
  int solves = 0;

 private:
  std::vector<double> loads_;
};

// Springs side by side under one rigid plate carrying a load P: spring e of density x has stiffness
// x^p k_e, the plate moves d = P / sum(x^p k_e), spring e stores x^p k_e d^2 / 2 and the compliance
// is P d. Among designs of whole springs at a given volume the stiffest springs give the least
// compliance.
class ParallelSprings : public OptConceptEvaluator {
 public:
  explicit ParallelSprings(std::vector<double> stiffness) : stiffness_(std::move(stiffness)) {}
  bool Solve(const std::vector<int>& group, const std::vector<double>& scales, std::vector<double>& energies,
             std::vector<double>& compliance, std::string&) override {
    double total = 0.0;
    for (std::size_t e = 0; e < stiffness_.size(); ++e)
      total += scales[static_cast<std::size_t>(group[e])] * stiffness_[e];
    const double d = kLoad / total;
    energies.clear();
    for (std::size_t e = 0; e < stiffness_.size(); ++e)
      energies.push_back(0.5 * scales[static_cast<std::size_t>(group[e])] * stiffness_[e] * d * d);
    compliance = {kLoad * d};
    return true;
  }

 private:
  static constexpr double kLoad = 100.0;
  std::vector<double> stiffness_;
};

std::vector<OptConceptElement> Row(std::size_t count) {
  std::vector<OptConceptElement> elements(count);
  for (std::size_t e = 0; e < count; ++e) {
    elements[e].id = static_cast<long>(e + 1);
    elements[e].centroid = CaeVector(static_cast<double>(e), 0, 0);
    elements[e].volume = 1.0;
  }
  return elements;
}

TEST(OptConcept, SpringDensitiesMeetTheOptimalityCondition) {
  // Sixty springs, loads from 0.5 to 8: their densities spread over (0.17, 0.7).
  std::vector<double> loads;
  for (int e = 0; e < 60; ++e) loads.push_back(0.5 * std::pow(16.0, e / 59.0));
  Springs springs(loads);
  OptConceptSettings settings;
  settings.targetFraction = 0.5;
  settings.groups = 100;
  settings.maxCycles = 60;
  settings.damping = 1.0 / (settings.penalty + 1.0);
  OptConceptRun run(Row(loads.size()), settings);
  EXPECT_EQ(run.Run(springs), OptExitConverged) << run.ExitMessage();
  // x_e = k F_e^(1/2) for p = 3, k fixed by the volume (half of the unit volumes).
  double sum = 0.0;
  for (double f : loads) sum += std::sqrt(f);
  const double k = 0.5 * static_cast<double>(loads.size()) / sum;
  for (std::size_t e = 0; e < loads.size(); ++e)
    EXPECT_NEAR(run.Densities()[e], k * std::sqrt(loads[e]), 0.02) << "spring " << e;
  // The volume stays at the target and the compliance never rises by 1% from one cycle to the next.
  const auto& cycles = run.Cycles();
  ASSERT_GE(cycles.size(), 2u);
  for (std::size_t i = 0; i < cycles.size(); ++i) {
    EXPECT_NEAR(cycles[i].volumeFraction, 0.5, 1e-6);
    if (i > 0) {
      EXPECT_LE(cycles[i].compliance[0], 1.01 * cycles[i - 1].compliance[0]) << "cycle " << i;
    }
  }
  EXPECT_LT(cycles.back().compliance[0], cycles.front().compliance[0]);
}

TEST(OptConcept, ControlsAndEndings) {
  const std::vector<double> loads = {1.0, 1.0, 1.0, 1.0};
  {
    // A frozen element keeps its material, a removed one loses it, whatever its load.
    auto elements = Row(loads.size());
    elements[0].frozen = true;
    elements[1].removed = true;
    Springs springs(loads);
    OptConceptSettings settings;
    settings.targetFraction = 0.6;
    OptConceptRun run(elements, settings);
    EXPECT_EQ(run.Run(springs), OptExitConverged) << run.ExitMessage();
    EXPECT_EQ(run.Densities()[0], 1.0);
    EXPECT_EQ(run.Densities()[1], OptConceptSettings::kMinDensity);
    EXPECT_EQ(run.KeptElements(), (std::vector<long>{1, 3, 4})) << "the rest share 1.4 of 3 volumes: 0.7 each";
  }
  struct Case {
    const char* what;
    double target;
    int failAt;
    int maxCycles;
    int code;
  };
  const Case cases[] = {
      {"a target of nothing", 0.0, -1, 30, OptExitNotRun},
      {"a target above the volume", 1.5, -1, 30, OptExitNotRun},
      {"the first solve fails", 0.5, 0, 30, OptExitNothingUsable},
      {"a later solve fails: the last design analysed stands", 0.5, 2, 30, OptExitLastDesign},
      {"cycles used up", 0.5, -1, 1, OptExitLastDesign},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<double> uneven = {1.0, 5.0, 2.0, 9.0};
    Springs springs(uneven);
    springs.failAt = c.failAt;
    OptConceptSettings settings;
    settings.targetFraction = c.target;
    settings.maxCycles = c.maxCycles;
    OptConceptRun run(Row(uneven.size()), settings);
    EXPECT_EQ(run.Run(springs), c.code) << run.ExitMessage();
    EXPECT_FALSE(run.ExitMessage().empty());
  }
}

TEST(OptConcept, BesoKeepsTheStiffestSpringsOnItsSchedule) {
  // Twenty springs of stiffness 1 to 20 in a shuffled order: the least compliance at half the
  // volume keeps the ten stiffest.
  std::vector<double> stiffness;
  for (int e = 0; e < 20; ++e) stiffness.push_back(1.0 + (7 * e) % 20);
  ParallelSprings springs(stiffness);
  OptConceptSettings settings;
  settings.method = OptConceptMethod::Beso;
  settings.targetFraction = 0.5;
  settings.firstChange = 0.2;
  settings.evolutionRate = 0.1;
  OptConceptRun run(Row(stiffness.size()), settings);
  ASSERT_EQ(run.Run(springs), OptExitConverged) << run.ExitMessage();
  std::vector<long> expected;
  for (std::size_t e = 0; e < stiffness.size(); ++e) {
    EXPECT_TRUE(run.Densities()[e] == 1.0 || run.Densities()[e] == OptConceptSettings::kMinDensity) << "spring " << e;
    if (stiffness[e] > 10.0) expected.push_back(static_cast<long>(e + 1));
  }
  EXPECT_EQ(run.KeptElements(), expected);
  // The volume falls from full by the first change, then by the rate, and stays at the target;
  // once there the compliance never rises by 1% from one cycle to the next.
  const double schedule[] = {1.0, 0.8, 0.7, 0.6, 0.5};
  const auto& cycles = run.Cycles();
  ASSERT_GT(cycles.size(), std::size(schedule));
  for (std::size_t i = 0; i < cycles.size(); ++i) {
    const double expectedVolume = i < std::size(schedule) ? schedule[i] : 0.5;
    EXPECT_NEAR(cycles[i].volumeFraction, expectedVolume, 1e-3) << "cycle " << i;
    if (i > std::size(schedule) - 1) {
      EXPECT_LE(cycles[i].compliance[0], 1.01 * cycles[i - 1].compliance[0]) << "cycle " << i;
    }
  }
}

TEST(OptConcept, BesoHonoursFreezeAndPriorityControls) {
  // The softest spring is frozen, the stiffest removed: the rest are kept by stiffness.
  const std::vector<double> stiffness = {1.0, 9.0, 5.0, 2.0, 7.0, 3.0};
  auto elements = Row(stiffness.size());
  elements[0].frozen = true;
  elements[1].removed = true;
  ParallelSprings springs(stiffness);
  OptConceptSettings settings;
  settings.method = OptConceptMethod::Beso;
  settings.targetFraction = 0.5;
  OptConceptRun run(elements, settings);
  EXPECT_EQ(run.Run(springs), OptExitConverged) << run.ExitMessage();
  EXPECT_EQ(run.KeptElements(), (std::vector<long>{1, 3, 5}));
}

}  // namespace
