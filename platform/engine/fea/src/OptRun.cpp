// Shape optimisation runs on NLopt, their records and their history file.
#include "fea/OptRun.h"

#include <nlopt.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>
#include <locale>
#include <sstream>

#include "kestrum/atomic_file.h"

namespace {

// A limit smaller than this cannot scale its constraint.
constexpr double kSmallestLimit = 1e-10;

bool Bounded(double bound) { return std::isfinite(bound) && std::fabs(bound) < OptBounds::kUnbounded; }

}  // namespace

const char* OptExitText(int code) {
  switch (code) {
    case OptExitRunning: return "running";
    case OptExitConverged: return "converged";
    case OptExitNotConverged: return "ended without convergence";
    case OptExitLastDesign: return "ended with the last design";
    case OptExitStopped: return "stopped: the last good design is final";
    case OptExitNothingUsable: return "stopped before a design was evaluated";
    default: return "could not run";
  }
}

double OptCycle::LocalTrend(double sensitivity, int variable, double response) const {
  if (response == 0.0 || variable < 0 || variable >= static_cast<int>(design.size())) return 0.0;
  return sensitivity * design[static_cast<std::size_t>(variable)] / response;
}

double OptScaledConstraint(const OptRunConstraint& c, double value) {
  double scaled = -OptBounds::kUnbounded;
  if (Bounded(c.upper)) scaled = std::max(scaled, (value - c.upper) / std::max(std::fabs(c.upper), kSmallestLimit));
  if (Bounded(c.lower)) scaled = std::max(scaled, (c.lower - value) / std::max(std::fabs(c.lower), kSmallestLimit));
  return scaled;
}

std::vector<OptScaledRow> OptScaledRows(const std::vector<OptRunConstraint>& constraints) {
  std::vector<OptScaledRow> rows;
  for (std::size_t j = 0; j < constraints.size(); ++j) {
    if (Bounded(constraints[j].upper)) rows.push_back({static_cast<int>(j), true, constraints[j].upper});
    if (Bounded(constraints[j].lower)) rows.push_back({static_cast<int>(j), false, constraints[j].lower});
  }
  return rows;
}

std::string OptCheckProblem(const std::vector<OptRunVariable>& variables,
                            const std::vector<OptRunConstraint>& constraints) {
  if (variables.empty()) return "the model has no design variables";
  for (const OptRunVariable& v : variables) {
    if (!Bounded(v.lower) || !Bounded(v.upper) || !(v.lower < v.upper))
      return "design variable \"" + v.name + "\" needs two finite bounds, the lower below the upper";
    if (!std::isfinite(v.start) || v.start < v.lower || v.start > v.upper)
      return "design variable \"" + v.name + "\" starts outside its bounds";
  }
  for (const OptRunConstraint& c : constraints) {
    for (double limit : {c.lower, c.upper})
      if (Bounded(limit) && std::fabs(limit) < kSmallestLimit)
        return "constraint \"" + c.name + "\" has a limit below 1e-10 in size";
    if (!Bounded(c.lower) && !Bounded(c.upper)) return "constraint \"" + c.name + "\" has no bound";
  }
  return {};
}

// --- OptShapeRun -----------------------------------------------------------------------------

struct OptShapeRunCallbacks {
  static double Objective(unsigned n, const double* x, double* gradient, void* data) {
    auto* run = static_cast<OptShapeRun*>(data);
    const OptCycle* cycle = run->Cycle(x);
    if (!cycle) return std::numeric_limits<double>::max();
    if (gradient)
      for (unsigned i = 0; i < n; ++i)
        gradient[i] = cycle->objectiveSensitivity.empty() ? 0.0 : cycle->objectiveSensitivity[i];
    return cycle->objective;
  }

  static void Constraints(unsigned m, double* result, unsigned n, const double* x, double* gradient, void* data) {
    auto* run = static_cast<OptShapeRun*>(data);
    const OptCycle* cycle = run->Cycle(x);
    const std::vector<OptScaledRow> rows = OptScaledRows(run->constraints_);
    for (unsigned r = 0; r < m; ++r) {
      const OptScaledRow& row = rows[r];
      const double sign = row.upperSide ? 1.0 : -1.0;
      const double scale = std::max(std::fabs(row.limit), kSmallestLimit);
      const auto j = static_cast<std::size_t>(row.constraint);
      result[r] = cycle ? sign * (cycle->constraints[j] - row.limit) / scale : 0.0;
      if (!gradient) continue;
      for (unsigned i = 0; i < n; ++i)
        gradient[r * n + i] =
            cycle && !cycle->constraintSensitivity.empty() ? sign * cycle->constraintSensitivity[j][i] / scale : 0.0;
    }
  }
};

OptShapeRun::OptShapeRun(std::vector<OptRunVariable> variables, std::vector<OptRunConstraint> constraints,
                         const OptParameters& parameters)
    : variables_(std::move(variables)), constraints_(std::move(constraints)), parameters_(parameters) {
  for (const OptRunVariable& v : variables_) final_.push_back(v.start);
}

double OptShapeRun::Step(int variable, double value) const {
  const OptRunVariable& v = variables_[static_cast<std::size_t>(variable)];
  const double step = stepFraction_ * (v.upper - v.lower);
  return value + step <= v.upper ? step : -step;
}

double OptShapeRun::MaxConstraint(const std::vector<double>& values) const {
  if (constraints_.empty()) return 0.0;
  double worst = -OptBounds::kUnbounded;
  for (std::size_t j = 0; j < constraints_.size(); ++j)
    worst = std::max(worst, OptScaledConstraint(constraints_[j], values[j]));
  return worst;
}

const OptCycle* OptShapeRun::Cycle(const double* x) {
  const std::size_t n = variables_.size();
  if (!cycles_.empty() && std::equal(x, x + n, cycles_.back().design.begin())) return &cycles_.back();
  auto stop = [this] {
    nlopt_force_stop(static_cast<nlopt_opt>(optimiser_));
    return nullptr;
  };
  if (failed_ || interrupted_) return stop();
  if (static_cast<int>(cycles_.size()) >= maxCycles_) return stop();
  if (evaluator_->Interrupted()) {
    interrupted_ = true;
    return stop();
  }
  OptCycle cycle;
  cycle.index = static_cast<int>(cycles_.size());
  cycle.design.assign(x, x + n);
  std::vector<std::vector<double>> designs{cycle.design};
  std::vector<double> steps(n, 0.0);
  if (steps_) {
    for (std::size_t i = 0; i < n; ++i) {
      steps[i] = Step(static_cast<int>(i), x[i]);
      designs.push_back(cycle.design);
      designs.back()[i] += steps[i];
    }
  }
  const std::vector<OptEvaluation> answers = evaluator_->Evaluate(designs, steps_);
  auto broken = [&](const OptEvaluation& e) { return !e.ok || e.constraints.size() != constraints_.size(); };
  const auto bad = std::find_if(answers.begin(), answers.end(), broken);
  if (answers.size() != designs.size() || bad != answers.end()) {
    failed_ = true;
    failure_ = answers.size() != designs.size() ? std::string("the evaluator answered the wrong number of designs")
               : bad->ok                        ? std::string("the evaluator answered the wrong number of responses")
                                                : bad->reason;
    if (bad != answers.end() && bad != answers.begin()) failure_ = "a sensitivity step: " + failure_;
    failure_ += " (cycle " + std::to_string(cycle.index) + ")";
    return stop();
  }
  const OptEvaluation& base = answers.front();
  cycle.objective = base.objective;
  cycle.constraints = base.constraints;
  cycle.maxConstraint = MaxConstraint(base.constraints);
  if (steps_) {
    cycle.objectiveSensitivity.resize(n);
    cycle.constraintSensitivity.assign(constraints_.size(), std::vector<double>(n, 0.0));
    for (std::size_t i = 0; i < n; ++i) {
      const OptEvaluation& stepped = answers[1 + i];
      cycle.objectiveSensitivity[i] = (stepped.objective - base.objective) / steps[i];
      for (std::size_t j = 0; j < constraints_.size(); ++j)
        cycle.constraintSensitivity[j][i] = (stepped.constraints[j] - base.constraints[j]) / steps[i];
    }
  }
  cycles_.push_back(std::move(cycle));
  lastGood_ = static_cast<int>(cycles_.size()) - 1;
  evaluator_->CycleDone(cycles_.back());
  // The run's own convergence test between successive designs: NLopt's MMA tests its criteria only
  // between outer iterations, and solver noise can keep it in inner ones for the rest of the cycles.
  if (cycles_.size() > 1 && Converged(cycles_[cycles_.size() - 2], cycles_.back())) {
    converged_ = true;
    nlopt_force_stop(static_cast<nlopt_opt>(optimiser_));
  }
  return &cycles_.back();
}

bool OptShapeRun::Converged(const OptCycle& previous, const OptCycle& current) const {
  if (current.maxConstraint > std::max(0.0, parameters_.maxConstraintViolation)) return false;
  const double change = std::fabs(current.objective - previous.objective);
  const bool objective = (parameters_.relativeObjectiveChange > 0 &&
                          change <= parameters_.relativeObjectiveChange * std::fabs(current.objective)) ||
                         (parameters_.absoluteObjectiveChange > 0 && change <= parameters_.absoluteObjectiveChange);
  bool variables = parameters_.relativeVariableChange > 0;
  for (std::size_t i = 0; i < current.design.size() && variables; ++i)
    variables = std::fabs(current.design[i] - previous.design[i]) <=
                parameters_.relativeVariableChange * std::fabs(current.design[i]);
  return objective || variables;
}

int OptShapeRun::Run(OptDesignEvaluator& evaluator) {
  evaluator_ = &evaluator;
  if (const std::string problem = OptCheckProblem(variables_, constraints_); !problem.empty()) {
    exitCode_ = OptExitNotRun;
    exitMessage_ = problem;
    return exitCode_;
  }
  steps_ = evaluator.CanStep();
  const auto n = static_cast<unsigned>(variables_.size());
  const bool sensitivityOnly = parameters_.sensitivityOnly != 0;
  maxCycles_ = sensitivityOnly ? 1 : std::max(1, parameters_.shapeMaxCycles) + 1;
  const nlopt_algorithm algorithm = !steps_ ? NLOPT_LN_COBYLA : slsqp_ ? NLOPT_LD_SLSQP : NLOPT_LD_MMA;
  algorithm_ = !steps_ ? "COBYLA" : slsqp_ ? "SLSQP" : "MMA";
  nlopt_opt opt = nlopt_create(algorithm, n);
  if (!opt) {
    exitCode_ = OptExitNotRun;
    exitMessage_ = "the optimiser could not be created";
    return exitCode_;
  }
  optimiser_ = opt;
  std::vector<double> lower, upper, x;
  for (const OptRunVariable& v : variables_) {
    lower.push_back(v.lower);
    upper.push_back(v.upper);
    x.push_back(v.start);
  }
  nlopt_set_lower_bounds(opt, lower.data());
  nlopt_set_upper_bounds(opt, upper.data());
  nlopt_set_min_objective(opt, &OptShapeRunCallbacks::Objective, this);
  const std::vector<OptScaledRow> rows = OptScaledRows(constraints_);
  if (!rows.empty()) {
    const std::vector<double> tolerances(rows.size(), std::max(0.0, parameters_.constraintViolatedTolerance));
    nlopt_add_inequality_mconstraint(opt, static_cast<unsigned>(rows.size()), &OptShapeRunCallbacks::Constraints, this,
                                     tolerances.data());
  }
  nlopt_set_maxeval(opt, maxCycles_);
  if (parameters_.relativeObjectiveChange > 0) nlopt_set_ftol_rel(opt, parameters_.relativeObjectiveChange);
  if (parameters_.absoluteObjectiveChange > 0) nlopt_set_ftol_abs(opt, parameters_.absoluteObjectiveChange);
  if (parameters_.relativeVariableChange > 0) nlopt_set_xtol_rel(opt, parameters_.relativeVariableChange);
  if (!steps_) {
    std::vector<double> initialStep;
    for (const OptRunVariable& v : variables_) initialStep.push_back(0.1 * (v.upper - v.lower));
    nlopt_set_initial_step(opt, initialStep.data());
  }

  double best = 0.0;
  nlopt_result result = NLOPT_SUCCESS;
  if (sensitivityOnly) {
    Cycle(x.data());
  } else {
    result = nlopt_optimize(opt, x.data(), &best);
  }
  nlopt_destroy(opt);
  optimiser_ = nullptr;

  if (lastGood_ < 0) {
    exitCode_ = failed_ || interrupted_ || cycles_.empty() ? OptExitNothingUsable : OptExitNotRun;
    exitMessage_ = failed_ ? failure_ : interrupted_ ? std::string("interrupted (cycle 0)") : OptExitText(exitCode_);
    return exitCode_;
  }
  if (failed_ || interrupted_) {
    exitCode_ = OptExitStopped;
    final_ = cycles_[static_cast<std::size_t>(lastGood_)].design;
    exitMessage_ = failed_ ? failure_ : "interrupted (cycle " + std::to_string(cycles_.size()) + ")";
    return exitCode_;
  }
  if (sensitivityOnly) {
    exitCode_ = OptExitLastDesign;
    final_ = cycles_.front().design;
    exitMessage_ = OptExitText(exitCode_);
    return exitCode_;
  }
  // NLopt answers the best feasible design it met; the recorded cycle of that design decides.
  if (converged_) {
    final_ = cycles_.back().design;
    exitCode_ = OptExitConverged;
    exitMessage_ = OptExitText(exitCode_);
    return exitCode_;
  }
  final_ = x;
  const auto sameDesign = [&x](const OptCycle& c) { return c.design == x; };
  const auto finalCycle = std::find_if(cycles_.rbegin(), cycles_.rend(), sameDesign);
  const double violation = finalCycle != cycles_.rend() ? finalCycle->maxConstraint : 0.0;
  const bool criterion = result == NLOPT_FTOL_REACHED || result == NLOPT_XTOL_REACHED || result == NLOPT_SUCCESS;
  const bool feasible = violation <= std::max(0.0, parameters_.maxConstraintViolation);
  if (result < 0 && result != NLOPT_FORCED_STOP && result != NLOPT_ROUNDOFF_LIMITED) {
    exitCode_ = OptExitNotRun;
    exitMessage_ = std::string("the optimiser failed: ") + nlopt_result_to_string(result);
    return exitCode_;
  }
  exitCode_ = criterion && feasible ? OptExitConverged : OptExitNotConverged;
  exitMessage_ = OptExitText(exitCode_);
  return exitCode_;
}

// --- records -------------------------------------------------------------------------------

void OptRecordCycle(OptResultCase& results, const OptCycle& cycle) {
  const int k = cycle.index;
  if (OptResultData* objective = results.Objective()) {
    objective->SetValue(k, cycle.objective);
    for (std::size_t i = 0; i < cycle.objectiveSensitivity.size(); ++i)
      objective->SetSensitivity(k, static_cast<int>(i), cycle.objectiveSensitivity[i]);
  }
  if (OptResultData* max = results.MaxConstraintRecord()) max->SetValue(k, cycle.maxConstraint);
  for (int i = 0; i < results.NumResultVariable() && i < static_cast<int>(cycle.design.size()); ++i)
    results.ResultVariable(i)->SetValue(k, cycle.design[static_cast<std::size_t>(i)]);
  for (int j = 0; j < results.NumResultConstraint() && j < static_cast<int>(cycle.constraints.size()); ++j) {
    OptResultData* record = results.ResultConstraint(j);
    const auto jj = static_cast<std::size_t>(j);
    record->SetValue(k, cycle.constraints[jj]);
    if (jj < cycle.constraintSensitivity.size())
      for (std::size_t i = 0; i < cycle.constraintSensitivity[jj].size(); ++i)
        record->SetSensitivity(k, static_cast<int>(i), cycle.constraintSensitivity[jj][i]);
  }
  results.SetHasHistory(1);
  if (!cycle.objectiveSensitivity.empty()) results.SetHasSensitivity(1);
  results.NumCycles(std::max(results.NumCycles(), k + 1));
}

// --- history file --------------------------------------------------------------------------

namespace opt_history {
namespace {

constexpr const char* kMagic = "kestrum-optimisation-history";

std::string Line(const OptCycle& c) {
  std::ostringstream out;
  out.imbue(std::locale::classic());
  out.precision(17);
  out << "cycle " << c.index << " objective " << c.objective << " max " << c.maxConstraint << " design";
  for (double x : c.design) out << ' ' << x;
  out << " constraints";
  for (double v : c.constraints) out << ' ' << v;
  if (!c.objectiveSensitivity.empty()) {
    out << " sensitivity";
    for (double s : c.objectiveSensitivity) out << ' ' << s;
    for (const auto& row : c.constraintSensitivity)
      for (double s : row) out << ' ' << s;
  }
  out << '\n';
  return out.str();
}

kestrum::Problem At(const std::filesystem::path& file, int line, const std::string& message) {
  return kestrum::Problem{message, file.string(), line};
}

// Reads `count` finite numbers after `word`.
bool Numbers(std::istringstream& in, const char* word, std::size_t count, std::vector<double>& out) {
  std::string w;
  if (!(in >> w) || w != word) return false;
  out.assign(count, 0.0);
  for (double& v : out)
    if (!(in >> v) || !std::isfinite(v)) return false;
  return true;
}

}  // namespace

kestrum::Status Start(const std::filesystem::path& file, int variables, int constraints) {
  std::ostringstream out;
  out << kMagic << ' ' << kVersion << "\nvariables " << variables << "\nconstraints " << constraints << '\n';
  std::string error;
  if (!kestrum::writeFileAtomically(file, out.str(), &error)) return At(file, 0, error);
  return kestrum::Ok();
}

kestrum::Status Append(const std::filesystem::path& file, const OptCycle& cycle) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return At(file, 0, "cannot read the history file");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  text += Line(cycle);
  std::string error;
  if (!kestrum::writeFileAtomically(file, text, &error)) return At(file, 0, error);
  return kestrum::Ok();
}

kestrum::Result<std::vector<OptCycle>> Read(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return At(file, 0, "cannot open the history file");
  std::string text;
  int lineNumber = 0;
  auto next = [&](std::istringstream& line) {
    if (!std::getline(in, text)) return false;
    ++lineNumber;
    line = std::istringstream(text);
    line.imbue(std::locale::classic());
    return true;
  };
  std::istringstream line;
  std::string word;
  int version = 0, variables = -1, constraints = -1;
  if (!next(line) || !(line >> word >> version) || word != kMagic) return At(file, 1, "not a history file");
  if (version < 1 || version > kVersion) return At(file, 1, "history version " + std::to_string(version) + " unknown");
  if (!next(line) || !(line >> word >> variables) || word != "variables" || variables < 0 || variables > kMaxVariables)
    return At(file, lineNumber, "expected \"variables N\" (0 to " + std::to_string(kMaxVariables) + ")");
  if (!next(line) || !(line >> word >> constraints) || word != "constraints" || constraints < 0 ||
      constraints > kMaxConstraints)
    return At(file, lineNumber, "expected \"constraints M\" (0 to " + std::to_string(kMaxConstraints) + ")");
  const auto n = static_cast<std::size_t>(variables);
  const auto m = static_cast<std::size_t>(constraints);
  std::vector<OptCycle> cycles;
  while (next(line)) {
    if (text.find_first_not_of(" \t\r") == std::string::npos) continue;
    OptCycle c;
    std::vector<double> one;
    if (!(line >> word >> c.index) || word != "cycle" || c.index != static_cast<int>(cycles.size()) ||
        c.index >= kMaxCycles)
      return At(file, lineNumber, "expected \"cycle " + std::to_string(cycles.size()) + "\"");
    if (!Numbers(line, "objective", 1, one)) return At(file, lineNumber, "expected the objective");
    c.objective = one[0];
    if (!Numbers(line, "max", 1, one)) return At(file, lineNumber, "expected the maximum constraint");
    c.maxConstraint = one[0];
    if (!Numbers(line, "design", n, c.design)) return At(file, lineNumber, "expected the design's values");
    if (!Numbers(line, "constraints", m, c.constraints)) return At(file, lineNumber, "expected the constraints");
    if (line >> word) {
      std::vector<double> all;
      line.seekg(-static_cast<std::streamoff>(word.size()), std::ios::cur);
      if (!Numbers(line, "sensitivity", n + m * n, all)) return At(file, lineNumber, "expected the sensitivities");
      c.objectiveSensitivity.assign(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(n));
      for (std::size_t j = 0; j < m; ++j)
        c.constraintSensitivity.emplace_back(all.begin() + static_cast<std::ptrdiff_t>(n + j * n),
                                             all.begin() + static_cast<std::ptrdiff_t>(n + (j + 1) * n));
    }
    if (line >> word) return At(file, lineNumber, "unexpected \"" + word + "\"");
    cycles.push_back(std::move(c));
  }
  return cycles;
}

}  // namespace opt_history
