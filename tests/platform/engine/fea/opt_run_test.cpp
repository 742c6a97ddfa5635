// Shape optimisation runs against closed forms: the optimiser, its forward differences, the exit
// codes of failed and interrupted runs, the records and the history file.
#include <chrono>
#include <cmath>
#include <fstream>
#include <functional>
#include <thread>

#include "amg/CaeGraph.h"
#include "fea/OptBackgroundRun.h"
#include "fea/OptRun.h"
#include "fea_fixture.h"
#include "test_env.h"

namespace {

// A steel cantilever of rectangular section (width b, thickness T the design variable), length L,
// tip load F; the bending stress at distance a from the clamp is 6 F (L - a) / (b T^2). Its mass
// falls with T, so the least mass meeting sigma <= s has T = sqrt(6 F (L - a) / (b s)).
struct Cantilever {
  double L = 0.2, b = 0.04, a = 0.05, F = 2000.0, density = 7850.0, s = 150e6;
  double Stress(double T) const { return 6.0 * F * (L - a) / (b * T * T); }
  double Mass(double T) const { return density * L * b * T; }
  double Optimum() const { return std::sqrt(6.0 * F * (L - a) / (b * s)); }
};

// Evaluates designs with a function; counts designs and cycles, fails or interrupts on request.
class FunctionEvaluator : public OptDesignEvaluator {
 public:
  using Function = std::function<OptEvaluation(const std::vector<double>&)>;
  explicit FunctionEvaluator(Function f) : f_(std::move(f)) {}
  std::vector<OptEvaluation> Evaluate(const std::vector<std::vector<double>>& designs, bool withSteps) override {
    std::vector<OptEvaluation> out;
    for (std::size_t d = 0; d < designs.size(); ++d) {
      const bool failHere = cycles == failAtCycle && (failStepOnly ? d > 0 : d == 0);
      if (failHere) {
        OptEvaluation broken;
        broken.reason = "the part could not be rebuilt";
        out.push_back(broken);
      } else {
        out.push_back(f_(designs[d]));
      }
    }
    stepsSeen += withSteps ? static_cast<int>(designs.size()) - 1 : 0;
    ++cycles;
    return out;
  }
  bool CanStep() const override { return canStep; }
  bool Interrupted() override { return cycles >= interruptAtCycle; }
  void CycleDone(const OptCycle& c) override { done.push_back(c.index); }

  int cycles = 0;
  int stepsSeen = 0;
  int failAtCycle = -1;
  bool failStepOnly = false;
  int interruptAtCycle = 1000;
  bool canStep = true;
  std::vector<int> done;

 private:
  Function f_;
};

OptEvaluation CantileverResponses(const Cantilever& c, const std::vector<double>& x) {
  OptEvaluation e;
  e.ok = true;
  e.objective = c.Mass(x[0]);
  e.constraints = {c.Stress(x[0])};
  return e;
}

OptParameters Settings(int cycles) {
  OptParameters p;
  p.shapeMaxCycles = cycles;
  p.relativeObjectiveChange = 1e-4;
  p.absoluteObjectiveChange = 0.0;
  p.relativeVariableChange = 1e-4;
  p.constraintViolatedTolerance = 1e-4;
  p.maxConstraintViolation = 0.003;
  return p;
}

enum class Algorithm { Mma, Slsqp, Cobyla };

TEST(OptRun, CantileverReachesTheClosedFormThickness) {
  const Cantilever c;
  const double start = 0.012;
  for (Algorithm algorithm : {Algorithm::Mma, Algorithm::Slsqp, Algorithm::Cobyla}) {
    SCOPED_TRACE(static_cast<int>(algorithm));
    FunctionEvaluator evaluator([&c](const std::vector<double>& x) { return CantileverResponses(c, x); });
    evaluator.canStep = algorithm != Algorithm::Cobyla;
    OptShapeRun run({{"T", 0.004, 0.03, start}}, {{"stress", -OptBounds::kUnbounded, c.s}},
                    Settings(algorithm == Algorithm::Cobyla ? 40 : 15));
    run.UseSlsqp(algorithm == Algorithm::Slsqp);
    const int code = run.Run(evaluator);
    EXPECT_EQ(code, OptExitConverged) << run.ExitMessage();
    ASSERT_EQ(run.FinalDesign().size(), 1u);
    EXPECT_NEAR(run.FinalDesign()[0] / c.Optimum(), 1.0, 0.003);
    EXPECT_EQ(evaluator.cycles, static_cast<int>(run.Cycles().size()));
    EXPECT_EQ(evaluator.done.size(), run.Cycles().size());
    if (algorithm == Algorithm::Cobyla) {
      EXPECT_STREQ(run.Algorithm(), "COBYLA");
      EXPECT_EQ(evaluator.stepsSeen, 0);
      EXPECT_TRUE(run.Cycles().front().objectiveSensitivity.empty());
      continue;
    }
    EXPECT_LE(run.Cycles().size(), 16u);
    EXPECT_EQ(evaluator.stepsSeen, evaluator.cycles) << "one step per variable and cycle";
    // Forward differences at cycle 0: dsigma/dT = -2 sigma / T, dm/dT = m / T.
    const OptCycle& first = run.Cycles().front();
    EXPECT_EQ(first.design[0], start);
    EXPECT_NEAR(first.constraintSensitivity[0][0] / (-2.0 * c.Stress(start) / start), 1.0, 0.01);
    EXPECT_NEAR(first.objectiveSensitivity[0] / (c.Mass(start) / start), 1.0, 1e-6);
    EXPECT_NEAR(first.LocalTrend(first.constraintSensitivity[0][0], 0, first.constraints[0]), -2.0, 0.02);
  }
}

// Two variables: least (x - 1)^2 + (y - 2)^2 with x + y <= 2 lies at (0.5, 1.5).
TEST(OptRun, TwoVariablesMeetALinearConstraint) {
  FunctionEvaluator evaluator([](const std::vector<double>& x) {
    OptEvaluation e;
    e.ok = true;
    e.objective = (x[0] - 1) * (x[0] - 1) + (x[1] - 2) * (x[1] - 2);
    e.constraints = {x[0] + x[1]};
    return e;
  });
  OptShapeRun run({{"x", 0.0, 3.0, 0.2}, {"y", 0.0, 3.0, 0.2}}, {{"sum", -OptBounds::kUnbounded, 2.0}}, Settings(30));
  EXPECT_EQ(run.Run(evaluator), OptExitConverged) << run.ExitMessage();
  EXPECT_NEAR(run.FinalDesign()[0], 0.5, 0.01);
  EXPECT_NEAR(run.FinalDesign()[1], 1.5, 0.01);
  EXPECT_EQ(evaluator.stepsSeen, 2 * evaluator.cycles);
}

TEST(OptRun, StepsStayInsideTheBounds) {
  OptShapeRun run({{"T", 1.0, 3.0, 2.0}}, {}, Settings(5));
  EXPECT_GT(run.Step(0, 1.0), 0.0);
  EXPECT_NEAR(run.Step(0, 1.0), 2e-3, 1e-12) << "relative to the range";
  EXPECT_LT(run.Step(0, 3.0), 0.0) << "at the upper bound the step goes down";
  EXPECT_LE(3.0 - 1e-3 + run.Step(0, 3.0 - 1e-3), 3.0);
}

TEST(OptRun, EndingsAndTheirFinalDesigns) {
  const Cantilever c;
  struct Case {
    const char* what;
    int failAtCycle;
    bool failStepOnly;
    int interruptAtCycle;
    int sensitivityOnly;
    int maxCycles;
    int code;
    int recordedCycles;  // -1: not checked
    const char* message;
  };
  const Case cases[] = {
      {"a cycle fails after good ones", 3, false, 1000, 0, 15, OptExitStopped, 3, "could not be rebuilt (cycle 3)"},
      {"a step of a cycle fails", 2, true, 1000, 0, 15, OptExitStopped, 2, "a sensitivity step"},
      {"the starting design fails", 0, false, 1000, 0, 15, OptExitNothingUsable, 0, "(cycle 0)"},
      {"interrupted before the start", -1, false, 0, 0, 15, OptExitNothingUsable, 0, "interrupted"},
      {"interrupted after two cycles", -1, false, 2, 0, 15, OptExitStopped, 2, "interrupted"},
      {"sensitivity only", -1, false, 1000, 1, 15, OptExitLastDesign, 1, "last design"},
      {"one design cycle allowed", -1, false, 1000, 0, 1, OptExitNotConverged, 2, "without convergence"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    FunctionEvaluator evaluator([&c](const std::vector<double>& x) { return CantileverResponses(c, x); });
    evaluator.failAtCycle = k.failAtCycle;
    evaluator.failStepOnly = k.failStepOnly;
    evaluator.interruptAtCycle = k.interruptAtCycle;
    OptParameters p = Settings(k.maxCycles);
    p.sensitivityOnly = k.sensitivityOnly;
    OptShapeRun run({{"T", 0.004, 0.03, 0.012}}, {{"stress", -OptBounds::kUnbounded, c.s}}, p);
    EXPECT_EQ(run.Run(evaluator), k.code);
    EXPECT_EQ(run.ExitCode(), k.code);
    EXPECT_NE(run.ExitMessage().find(k.message), std::string::npos) << run.ExitMessage();
    EXPECT_EQ(static_cast<int>(run.Cycles().size()), k.recordedCycles);
    if (k.code == OptExitStopped) {
      EXPECT_EQ(run.FinalDesign(), run.Cycles().back().design) << "the last good design is final";
    }
    if (k.code == OptExitNothingUsable) {
      EXPECT_EQ(run.FinalDesign(), std::vector<double>{0.012});
    }
    if (k.sensitivityOnly) {
      EXPECT_EQ(run.Cycles().front().objectiveSensitivity.size(), 1u);
    }
  }
}

TEST(OptRun, ProblemsThatCannotRunAreNamed) {
  struct Case {
    std::vector<OptRunVariable> variables;
    std::vector<OptRunConstraint> constraints;
    const char* message;
  };
  const double inf = OptBounds::kUnbounded;
  const Case cases[] = {
      {{}, {}, "no design variables"},
      {{{"T", 1.0, inf, 2.0}}, {}, "two finite bounds"},
      {{{"T", 2.0, 1.0, 1.5}}, {}, "two finite bounds"},
      {{{"T", 1.0, 2.0, 2.5}}, {}, "outside its bounds"},
      {{{"T", 1.0, 2.0, std::nan("")}}, {}, "outside its bounds"},
      {{{"T", 1.0, 2.0, 1.5}}, {{"s", -inf, 1e-12}}, "below 1e-10"},
      {{{"T", 1.0, 2.0, 1.5}}, {{"s", -inf, inf}}, "no bound"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.message);
    FunctionEvaluator evaluator([](const std::vector<double>&) { return OptEvaluation{}; });
    OptShapeRun run(k.variables, k.constraints, Settings(5));
    EXPECT_EQ(run.Run(evaluator), OptExitNotRun);
    EXPECT_NE(run.ExitMessage().find(k.message), std::string::npos) << run.ExitMessage();
    EXPECT_EQ(evaluator.cycles, 0);
  }
}

TEST(OptRun, ScaledConstraintsUseTheLimitsSize) {
  EXPECT_DOUBLE_EQ(OptScaledConstraint({"u", -OptBounds::kUnbounded, 200.0}, 220.0), 0.1);
  EXPECT_DOUBLE_EQ(OptScaledConstraint({"l", -50.0, OptBounds::kUnbounded}, -45.0), -0.1);
  EXPECT_DOUBLE_EQ(OptScaledConstraint({"both", 10.0, 20.0}, 5.0), 0.5);
  EXPECT_EQ(OptScaledRows({{"both", 10.0, 20.0}, {"u", -OptBounds::kUnbounded, 1.0}}).size(), 3u);
}

// Evaluates on the thread that polls, remembering which threads it was called on.
class ThreadCheckingEvaluator : public FunctionEvaluator {
 public:
  using FunctionEvaluator::FunctionEvaluator;
  std::vector<OptEvaluation> Evaluate(const std::vector<std::vector<double>>& designs, bool withSteps) override {
    threads.push_back(std::this_thread::get_id());
    return FunctionEvaluator::Evaluate(designs, withSteps);
  }
  void CycleDone(const OptCycle& c) override {
    threads.push_back(std::this_thread::get_id());
    FunctionEvaluator::CycleDone(c);
  }
  std::vector<std::thread::id> threads;
};

TEST(OptBackgroundRun, StartReturnsAtOnceAndOnlyThePollingThreadEvaluates) {
  const Cantilever c;
  ThreadCheckingEvaluator evaluator([&c](const std::vector<double>& x) { return CantileverResponses(c, x); });
  OptBackgroundRun run(std::make_unique<OptShapeRun>(std::vector<OptRunVariable>{{"T", 0.004, 0.03, 0.012}},
                                                     std::vector<OptRunConstraint>{{"s", -OptBounds::kUnbounded, c.s}},
                                                     Settings(15)));
  run.Start(evaluator);
  EXPECT_EQ(evaluator.cycles, 0) << "nothing is evaluated before the host polls";
  while (!run.Poll()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_EQ(run.Run().ExitCode(), OptExitConverged) << run.Run().ExitMessage();
  EXPECT_NEAR(run.Run().FinalDesign()[0] / c.Optimum(), 1.0, 0.003);
  EXPECT_EQ(evaluator.done.size(), run.Run().Cycles().size()) << "every cycle reaches the host";
  ASSERT_FALSE(evaluator.threads.empty());
  for (std::thread::id id : evaluator.threads) EXPECT_EQ(id, std::this_thread::get_id());
}

TEST(OptBackgroundRun, StoppingEndsTheRunWithItsLastGoodDesign) {
  const Cantilever c;
  FunctionEvaluator evaluator([&c](const std::vector<double>& x) { return CantileverResponses(c, x); });
  evaluator.interruptAtCycle = 2;
  OptBackgroundRun run(std::make_unique<OptShapeRun>(std::vector<OptRunVariable>{{"T", 0.004, 0.03, 0.012}},
                                                     std::vector<OptRunConstraint>{{"s", -OptBounds::kUnbounded, c.s}},
                                                     Settings(15)));
  run.Start(evaluator);
  while (!run.Poll()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_EQ(run.Run().ExitCode(), OptExitStopped) << run.Run().ExitMessage();
  EXPECT_EQ(run.Run().Cycles().size(), 2u);
  EXPECT_EQ(run.Run().FinalDesign(), run.Run().Cycles().back().design);
  {
    // A run destroyed while its optimiser waits for a design stops without it.
    FunctionEvaluator idle([&c](const std::vector<double>& x) { return CantileverResponses(c, x); });
    OptBackgroundRun abandoned(std::make_unique<OptShapeRun>(std::vector<OptRunVariable>{{"T", 0.004, 0.03, 0.012}},
                                                             std::vector<OptRunConstraint>{}, Settings(15)));
    abandoned.Start(idle);
  }
}

// The run's cycles written to a result case, saved as a history file and read back into a fresh one.
TEST_F(FeaTest, OptHistorySurvivesSaveAndInitialize) {
  const Cantilever c;
  FunctionEvaluator evaluator([&c](const std::vector<double>& x) { return CantileverResponses(c, x); });
  OptShapeRun run({{"T", 0.004, 0.03, 0.012}}, {{"stress", -OptBounds::kUnbounded, c.s}}, Settings(15));
  ASSERT_EQ(run.Run(evaluator), OptExitConverged);
  auto prepared = [] {
    auto results = std::make_unique<OptResultCase>(CaeString("OptResults1"));
    results->NewObjective()->SetName(CaeString("mass"));
    results->NewMaxConstraint()->SetName(CaeString("max"));
    results->NewResVariable()->SetName(CaeString("T"));
    results->NewResConstraint()->SetName(CaeString("stress"));
    return results;
  };
  auto saved = prepared();
  for (const OptCycle& cycle : run.Cycles()) OptRecordCycle(*saved, cycle);
  EXPECT_EQ(saved->NumCycles(), static_cast<int>(run.Cycles().size()));
  EXPECT_TRUE(saved->HasSensitivity());
  kestrum::test::TempDir dir;
  const CaeString file((dir / "run.history").string().c_str());
  ASSERT_EQ(saved->SaveData(file), 1);

  auto read = prepared();
  ASSERT_EQ(read->InitializeData(file), 1);
  EXPECT_EQ(read->Initialized(), 1);
  ASSERT_EQ(read->NumCycles(), saved->NumCycles());
  for (int k = 0; k < read->NumCycles(); ++k) {
    EXPECT_EQ(read->Objective(k), saved->Objective(k));
    EXPECT_EQ(read->ResultVariable(0)->Value(k), saved->ResultVariable(0)->Value(k));
    EXPECT_EQ(read->ResultConstraint(0)->Value(k), saved->ResultConstraint(0)->Value(k));
    EXPECT_EQ(read->ResultConstraint(0)->Sensitivity(k, 0), saved->ResultConstraint(0)->Sensitivity(k, 0));
    EXPECT_EQ(read->MaxConstraint(k), saved->MaxConstraint(k));
  }

  // The graphs of cycle 0's sensitivities: dsigma/dT = -2 sigma / T, its local trend -2, and dm/dT
  // times T's range (26 mm) is the mass's linearised change over the range.
  std::unique_ptr<CaeGraph> trend(read->ConstraintLocalTrendGraph(0, nullptr, 0));
  ASSERT_NE(trend, nullptr);
  double x = -1, y = 0;
  ASSERT_TRUE(trend->GetPolyLine(0)->GetPoint(x, y, 0));
  EXPECT_EQ(x, 0.0);
  EXPECT_NEAR(y, -2.0, 0.02);
  std::unique_ptr<CaeGraph> sensitivity(read->ObjectiveSensitivityGraph(nullptr, 1, 0.0));
  ASSERT_NE(sensitivity, nullptr);
  ASSERT_TRUE(sensitivity->GetPolyLine(0)->GetPoint(x, y, 0));
  read->ResultVariable(0)->lower = 0.004;
  read->ResultVariable(0)->upper = 0.03;
  std::unique_ptr<CaeGraph> ranged(read->ObjectiveSensitivityGraph(nullptr, 1, 0.0));
  ASSERT_TRUE(ranged->GetPolyLine(0)->GetPoint(x, y, 0));
  EXPECT_NEAR(y, c.Mass(0.012) / 0.012 * 0.026, 1e-6);
  std::unique_ptr<CaeGraph> byVariable(read->VariableSensitivityGraph(0, nullptr, 0));
  ASSERT_TRUE(byVariable->GetPolyLine(0)->GetPoint(x, y, 0));
  EXPECT_NEAR(y / (-2.0 * c.Stress(0.012) / 0.012), 1.0, 0.01);
  EXPECT_EQ(read->VariableSensitivityGraph(1, nullptr, 0), nullptr) << "no second variable";
  OptResultCase empty(CaeString("empty"));
  empty.NewObjective();
  EXPECT_EQ(empty.ObjectiveLocalTrendGraph(nullptr, 0, 0.0), nullptr) << "no sensitivities recorded";

  // A file whose counts differ from the records is refused and leaves the case uninitialised.
  auto other = std::make_unique<OptResultCase>(CaeString("other"));
  other->NewObjective();
  EXPECT_EQ(other->InitializeData(file), 0);
  EXPECT_EQ(other->Initialized(), 0);
  EXPECT_TRUE(Logged(1, "does not match"));
}

TEST_F(FeaTest, DamagedHistoryFilesNameTheirLine) {
  struct Case {
    const char* text;
    int line;
    const char* message;
  };
  const Case cases[] = {
      {"", 1, "not a history file"},
      {"kestrum-optimisation-history 7\n", 1, "version 7"},
      {"kestrum-optimisation-history 1\nvariables -1\n", 2, "variables N"},
      {"kestrum-optimisation-history 1\nvariables 99999999\n", 2, "variables N"},
      {"kestrum-optimisation-history 1\nvariables 1\nconstraints 1\ncycle 0 objective 1 max 0 design 2\n", 4,
       "constraints"},
      {"kestrum-optimisation-history 1\nvariables 1\nconstraints 0\ncycle 0 objective nan max 0 design 2 "
       "constraints\n",
       4, "objective"},
      {"kestrum-optimisation-history 1\nvariables 1\nconstraints 0\ncycle 1 objective 1 max 0 design 2 "
       "constraints\n",
       4, "cycle 0"},
      {"kestrum-optimisation-history 1\nvariables 1\nconstraints 0\ncycle 0 objective 1 max 0 design 2 "
       "constraints sensitivity\n",
       4, "sensitivities"},
      {"kestrum-optimisation-history 1\nvariables 1\nconstraints 0\ncycle 0 objective 1 max 0 design 2 "
       "constraints extra\n",
       4, "sensitivities"},
  };
  kestrum::test::TempDir dir;
  for (const Case& k : cases) {
    SCOPED_TRACE(k.text);
    const auto file = dir / "bad.history";
    std::ofstream(file, std::ios::binary) << k.text;
    auto cycles = opt_history::Read(file);
    ASSERT_FALSE(cycles.ok());
    EXPECT_EQ(cycles.problem().line, k.line);
    EXPECT_NE(cycles.problem().message.find(k.message), std::string::npos) << cycles.problem().message;
  }
  EXPECT_FALSE(opt_history::Read(dir / "missing.history").ok());
}

}  // namespace
