// Shape optimisation runs: NLopt over the design variables, each design evaluated by the caller.
//
// A design cycle is one design evaluated: the caller writes the values to the part, regenerates
// it, re-resolves conditions and meshes, solves and answers the responses. The run asks for a
// cycle's design together with one forward-difference step per variable (one analysis each, the
// step relative to the variable's range, kept inside its bounds), so a caller may run them as
// parallel solver processes and may carry the cycle's mesh onto the stepped designs instead of
// remeshing them (a remesh per step would differentiate mesh noise).
//
// With sensitivities the optimiser is MMA (or SLSQP); a caller that cannot step its designs gets
// COBYLA, which needs none. Run settings come from OptParameters: design cycles, relative and
// absolute objective change, relative variable change, the violated tolerance (constraints are
// scaled by |limit|) and the maximum violation that "converged" also needs.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "fea/OptModel.h"
#include "kestrum/result.h"

// How a run ended, in OptResultCase::ExitCode. 1 to 4 leave a usable final design, 5 and 6 none.
// A Concept run ends 1, 3, 5 or 6 only.
enum OptExitCode : int {
  OptExitRunning = 0,        // the run has not ended
  OptExitConverged = 1,      // a convergence criterion met with every constraint within the maximum violation
  OptExitNotConverged = 2,   // shape: cycles used up, or the criteria met with a constraint violated beyond it
  OptExitLastDesign = 3,     // shape: sensitivity analysis only; Concept: cycles used up; the last design stands
  OptExitStopped = 4,        // shape: a cycle failed or the run was interrupted; the last good design is final
  OptExitNothingUsable = 5,  // the starting design could not be evaluated, or the run stopped before it was
  OptExitNotRun = 6,         // the problem was refused or the optimiser failed
};

// The text that ends an exit message of each code ("converged", ...).
const char* OptExitText(int code);

// One design variable of a run: bounds and starting value, in the variable's native units.
struct OptRunVariable {
  std::string name;
  double lower = 0.0;
  double upper = 0.0;
  double start = 0.0;
};

// One constrained response: its bounds (+-OptBounds::kUnbounded: that side is free).
struct OptRunConstraint {
  std::string name;
  double lower = -OptBounds::kUnbounded;
  double upper = OptBounds::kUnbounded;
};

// The responses of one design, or why it could not be evaluated.
struct OptEvaluation {
  bool ok = false;
  std::string reason;  // when not ok: "the part could not be rebuilt", "the solver failed: ...", ...
  double objective = 0.0;
  std::vector<double> constraints;  // one value per constraint of the run, in its order
};

// One recorded design cycle. Sensitivities are d(response)/d(variable) at the cycle's design;
// empty when the cycle has none (COBYLA). The local trend of a response to a variable is its
// elasticity, (dr/dx) * x / r: the percent change of the response per percent change of the
// variable (0 where the response is 0).
struct OptCycle {
  int index = 0;
  std::vector<double> design;
  double objective = 0.0;
  std::vector<double> constraints;
  // The largest scaled constraint value: (value - upper) / |upper| or (lower - value) / |lower|;
  // at most 0 when every constraint holds. 0 without constraints.
  double maxConstraint = 0.0;
  std::vector<double> objectiveSensitivity;                // one per variable
  std::vector<std::vector<double>> constraintSensitivity;  // [constraint][variable]
  double LocalTrend(double sensitivity, int variable, double response) const;
};

// Evaluates designs for a run. designs[0] is a new cycle's design; with steps, designs[1 + i] is
// that design with variable i stepped. Answers one evaluation per design.
class OptDesignEvaluator {
 public:
  virtual ~OptDesignEvaluator() = default;
  virtual std::vector<OptEvaluation> Evaluate(const std::vector<std::vector<double>>& designs, bool withSteps) = 0;
  // Whether stepped designs can be evaluated (sensitivities); without, the run uses COBYLA.
  virtual bool CanStep() const { return true; }
  // Asked before each cycle: true ends the run (interrupt, drawing closed).
  virtual bool Interrupted() { return false; }
  // Each recorded cycle, as it is recorded (history file, command line).
  virtual void CycleDone(const OptCycle&) {}
};

// The scaled value of constraint bounds at a response value: the largest of (value - upper) /
// |upper| and (lower - value) / |lower| over the bounded sides; -kUnbounded when neither is.
double OptScaledConstraint(const OptRunConstraint& constraint, double value);

// What makes a problem unrunnable, in words; empty when it can run. Bounds must be finite with
// lower < upper and the start inside them; constraint limits at least 1e-10 in size.
std::string OptCheckProblem(const std::vector<OptRunVariable>& variables,
                            const std::vector<OptRunConstraint>& constraints);

// A shape optimisation run (minimising the objective).
class OptShapeRun {
 public:
  OptShapeRun(std::vector<OptRunVariable> variables, std::vector<OptRunConstraint> constraints,
              const OptParameters& parameters);
  // Runs to the end (blocking) and answers the exit code.
  int Run(OptDesignEvaluator& evaluator);
  // Forward-difference step of a variable: relative to its range, kept inside its bounds (a step
  // past the upper bound is taken downwards).
  double Step(int variable, double value) const;
  // Setting: MMA (default) or SLSQP for runs with sensitivities.
  void UseSlsqp(bool slsqp) { slsqp_ = slsqp; }
  // Relative size of a forward-difference step (fraction of the variable's range).
  void SetStepFraction(double fraction) { stepFraction_ = fraction; }

  int ExitCode() const { return exitCode_; }
  // "<reason> (cycle n)" for a failed cycle, else the exit code's text.
  const std::string& ExitMessage() const { return exitMessage_; }
  const std::vector<OptCycle>& Cycles() const { return cycles_; }
  // The final design: the optimum found, or the last good cycle's design after a failure; the
  // starting design when none was evaluated.
  const std::vector<double>& FinalDesign() const { return final_; }
  // The algorithm that ran ("MMA", "SLSQP", "COBYLA").
  const char* Algorithm() const { return algorithm_; }

 private:
  friend struct OptShapeRunCallbacks;
  // Evaluates a design (once per distinct design; repeated queries answer from the last).
  const OptCycle* Cycle(const double* x);
  double MaxConstraint(const std::vector<double>& values) const;
  // Whether the change from one cycle to the next meets a criterion, the design being feasible
  // within the maximum violation.
  bool Converged(const OptCycle& previous, const OptCycle& current) const;

  std::vector<OptRunVariable> variables_;
  std::vector<OptRunConstraint> constraints_;
  OptParameters parameters_;
  OptDesignEvaluator* evaluator_ = nullptr;
  bool slsqp_ = false;
  bool steps_ = true;
  double stepFraction_ = 1e-3;
  int maxCycles_ = 1;
  std::vector<OptCycle> cycles_;
  int lastGood_ = -1;
  bool failed_ = false;
  bool converged_ = false;
  bool interrupted_ = false;
  std::string failure_;
  int exitCode_ = OptExitRunning;
  std::string exitMessage_;
  std::vector<double> final_;
  const char* algorithm_ = "MMA";
  void* optimiser_ = nullptr;
};

// The constraint rows of a run, in OptCheckProblem's terms, each with its scaled constraints for
// the optimiser: one per bounded side.
struct OptScaledRow {
  int constraint = 0;
  bool upperSide = true;
  double limit = 0.0;
};
std::vector<OptScaledRow> OptScaledRows(const std::vector<OptRunConstraint>& constraints);

// Writes a cycle into a result case's records (objective, maximum constraint, one per variable,
// one per constraint, in their order), values and sensitivities; marks history (and sensitivity
// when the cycle has them) and counts the cycle.
void OptRecordCycle(OptResultCase& results, const OptCycle& cycle);

// The run's history file: readable text, versioned, one line per cycle appended as the run goes.
//   kestrum-optimisation-history 1
//   variables N / constraints M
//   cycle K objective O max C design x1..xN constraints c1..cM [sensitivity o1..oN c11..cMN]
namespace opt_history {
inline constexpr int kVersion = 1;
inline constexpr int kMaxVariables = 1000;
inline constexpr int kMaxConstraints = 10000;
inline constexpr int kMaxCycles = 100000;
// Starts a file for a run (replacing one of that name), atomically.
kestrum::Status Start(const std::filesystem::path& file, int variables, int constraints);
// Appends one cycle.
kestrum::Status Append(const std::filesystem::path& file, const OptCycle& cycle);
// Reads every cycle; a damaged file names its line and answers nothing.
kestrum::Result<std::vector<OptCycle>> Read(const std::filesystem::path& file);
}  // namespace opt_history
