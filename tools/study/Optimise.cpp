// A study's shape optimisation: the engine's optimiser over the part's parameters, each design
// cycle rebuilt, meshed and solved here, the sensitivity steps solved side by side.
#include <chrono>
#include <iomanip>
#include <ostream>
#include <sstream>

#include "Design.h"
#include "amg/CaeUnit.h"
#include "fea/AnlJob.h"
#include "fea/OptRun.h"

namespace study {
namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

kestrum::Problem ProblemIn(const Description& description, std::string message, int line = 0) {
  return kestrum::Problem{std::move(message), description.file, line};
}

class StudyEvaluator : public OptDesignEvaluator {
 public:
  StudyEvaluator(const Description& description, std::filesystem::path workDir, std::ostream* progress,
                 Summary& summary)
      : description_(description),
        workDir_(std::move(workDir)),
        progress_(progress),
        summary_(*summary.optimisation),
        nodes_(summary.nodes) {}

  std::vector<OptEvaluation> Evaluate(const std::vector<std::vector<double>>& designs, bool) override {
    const Clock::time_point start = Clock::now();
    const int cycle = cycles_++;
    const std::filesystem::path folder = workDir_ / ("cycle" + std::to_string(cycle));
    std::vector<OptEvaluation> out(designs.size());
    double meshSeconds = 0.0, solveSeconds = 0.0;
    auto finish = [&] {
      summary_.cycleSeconds.push_back(Since(start));
      summary_.meshSeconds.push_back(meshSeconds);
      summary_.solveSeconds.push_back(solveSeconds);
      summary_.analyses.push_back(static_cast<int>(designs.size()));
      return out;
    };
    auto failAll = [&](const std::string& reason) {
      for (OptEvaluation& e : out) e.reason = reason;
      return finish();
    };

    // Every design rebuilt first: an unbuildable one ends the cycle before anything is solved.
    std::vector<std::unique_ptr<Design>> shapes;
    for (const std::vector<double>& values : designs) {
      auto design = Design::Make(description_, Values(values));
      if (!design) return failAll(design.problem().message);
      shapes.push_back(std::move(design).value());
    }
    Design& base = *shapes.front();
    Clock::time_point meshStart = Clock::now();
    if (kestrum::Status meshed = base.Mesh(); !meshed) return failAll(meshed.problem().message);
    meshSeconds += Since(meshStart);
    const double baseMeshSeconds = meshSeconds;
    nodes_ = base.Nodes();

    // The cycle's design and its steps, solved side by side on one solver thread each; a step
    // carries the cycle's mesh when its solid is an axis-wise move of the cycle's (no mesh noise
    // in the differences), else it is meshed on its own.
    const int threads = designs.size() > 1 ? 1 : 0;
    std::vector<Design*> meshOf(designs.size(), &base);
    std::vector<AnlJob*> jobs;
    const Clock::time_point solveStart = Clock::now();
    for (std::size_t d = 0; d < designs.size(); ++d) {
      const Design* onto = nullptr;
      if (d > 0 && base.CarriesOnto(*shapes[d])) {
        onto = shapes[d].get();
      } else if (d > 0) {
        meshStart = Clock::now();
        if (kestrum::Status meshed = shapes[d]->Mesh(); !meshed) return failAll(meshed.problem().message);
        meshSeconds += Since(meshStart);
        meshOf[d] = shapes[d].get();
      }
      const std::string name = d == 0 ? std::string("design") : "step" + std::to_string(d);
      auto job = meshOf[d]->Start(folder / name, threads, onto);
      if (!job) return failAll(job.problem().message);
      jobs.push_back(*job);
    }
    const std::string failed = WaitForAll(jobs);
    // The solver's share: from the first start to the last end, less the steps' meshing inside it.
    solveSeconds = Since(solveStart) - (meshSeconds - baseMeshSeconds);
    if (!failed.empty()) return failAll(failed);
    for (std::size_t d = 0; d < designs.size(); ++d) {
      auto responses = meshOf[d]->Read(*jobs[d], *shapes[d], d == 0);
      if (!responses) return failAll(responses.problem().message);
      out[d].ok = true;
      out[d].objective = description_.objective == "volume" ? responses->volume : responses->mass;
      out[d].constraints = responses->constraints;
    }
    return finish();
  }

  void CycleDone(const OptCycle& cycle) override {
    if (cycle.index == 0)
      (void)opt_history::Start(workDir_ / "history.txt", static_cast<int>(cycle.design.size()),
                               static_cast<int>(cycle.constraints.size()));
    (void)opt_history::Append(workDir_ / "history.txt", cycle);
    if (!progress_) return;
    std::ostringstream line;
    line.imbue(std::locale::classic());
    line << "Cycle " << cycle.index << ":";
    for (std::size_t i = 0; i < cycle.design.size(); ++i)
      line << " " << description_.variables[i].name << " = " << std::setprecision(6) << cycle.design[i];
    line << ", " << description_.objective << " " << cycle.objective;
    for (std::size_t j = 0; j < cycle.constraints.size(); ++j)
      line << ", " << description_.designConstraints[j].response << " " << cycle.constraints[j];
    *progress_ << line.str() << "\n" << std::flush;
  }

 private:
  ParameterValues Values(const std::vector<double>& values) const {
    ParameterValues named;
    for (std::size_t i = 0; i < values.size(); ++i) named.emplace_back(description_.variables[i].name, values[i]);
    return named;
  }

  const Description& description_;
  std::filesystem::path workDir_;
  std::ostream* progress_;
  OptimisationSummary& summary_;
  int& nodes_;
  int cycles_ = 0;
};

}  // namespace

kestrum::Result<Summary> Optimise(const Description& description, const std::filesystem::path& workDir,
                                  std::ostream* progress) {
  // The variables start at the part's values.
  auto start = Design::Make(description, {});
  if (!start) return start.problem();
  std::vector<OptRunVariable> variables;
  for (const DesignVariable& v : description.variables) {
    double value = 0.0;
    if (!(*start)->Parameter(v.name, value))
      return ProblemIn(description, "the part has no parameter \"" + v.name + "\"", v.line);
    variables.push_back({v.name, v.lower, v.upper, value});
  }
  std::vector<OptRunConstraint> constraints;
  for (const DesignConstraint& c : description.designConstraints)
    constraints.push_back({c.response + " " + c.faces, -OptBounds::kUnbounded, c.limit});
  if (const std::string problem = OptCheckProblem(variables, constraints); !problem.empty())
    return ProblemIn(description, problem, description.optimiseLine);

  OptParameters parameters;
  parameters.shapeMaxCycles = description.maxCycles;
  parameters.relativeObjectiveChange = 1e-4;
  parameters.absoluteObjectiveChange = 0.0;
  parameters.relativeVariableChange = 1e-4;
  parameters.constraintViolatedTolerance = 1e-3;
  parameters.maxConstraintViolation = 3e-3;
  std::error_code ignored;
  std::filesystem::create_directories(workDir, ignored);

  Summary summary;
  summary.analysis = "shape optimisation";
  OptimisationSummary& run = summary.optimisation.emplace();
  for (const OptRunVariable& v : variables) run.variables.push_back(v.name);
  for (const OptRunConstraint& c : constraints) run.constraints.push_back(c.name);
  StudyEvaluator evaluator(description, workDir, progress, summary);
  OptShapeRun optimiser(variables, constraints, parameters);
  run.exitCode = optimiser.Run(evaluator);
  run.exitMessage = optimiser.ExitMessage();
  run.algorithm = optimiser.Algorithm();
  run.cycles = optimiser.Cycles();
  run.finalDesign = optimiser.FinalDesign();
  return summary;
}

}  // namespace study

namespace study {
namespace {

// Solves the meshed design with the run's material groups, one analysis per cycle.
class ConceptEvaluator : public OptConceptEvaluator {
 public:
  ConceptEvaluator(Design& design, std::vector<long> ids, std::filesystem::path workDir, std::ostream* progress,
                   OptimisationSummary& summary)
      : design_(design), ids_(std::move(ids)), workDir_(std::move(workDir)), progress_(progress), summary_(summary) {}

  bool Solve(const std::vector<int>& group, const std::vector<double>& scales, std::vector<double>& energies,
             std::vector<double>& compliance, std::string& reason) override {
    const Clock::time_point start = Clock::now();
    std::unordered_map<long, int> groups;
    for (std::size_t e = 0; e < ids_.size(); ++e) groups.emplace(ids_[e], group[e]);
    design_.SetMaterialGroups(scales, std::move(groups));
    auto job = design_.Start(workDir_ / ("cycle" + std::to_string(cycle_++)), 0);
    if (!job) return reason = job.problem().message, false;
    const Clock::time_point solveStart = Clock::now();
    if (const std::string failed = WaitForAll({*job}); !failed.empty()) return reason = failed, false;
    const double solveSeconds = Since(solveStart);
    double total = 0.0;
    auto read = design_.ReadEnergies(**job, ids_, total);
    if (!read) return reason = read.problem().message, false;
    energies = std::move(read).value();
    compliance = {total};
    (*job)->CleanUp();
    summary_.cycleSeconds.push_back(Since(start));
    summary_.meshSeconds.push_back(0.0);
    summary_.solveSeconds.push_back(solveSeconds);
    summary_.analyses.push_back(1);
    return true;
  }

  void CycleDone(const OptConceptCycle& cycle) override {
    if (!progress_) return;
    std::ostringstream line;
    line.imbue(std::locale::classic());
    line << "Cycle " << cycle.index << ": volume " << cycle.volumeFraction << ", compliance " << cycle.compliance[0]
         << ", largest change " << cycle.change;
    *progress_ << line.str() << "\n" << std::flush;
  }

 private:
  Design& design_;
  std::vector<long> ids_;
  std::filesystem::path workDir_;
  std::ostream* progress_;
  OptimisationSummary& summary_;
  int cycle_ = 0;
};

}  // namespace

kestrum::Result<Summary> OptimiseConcept(const Description& description, const std::filesystem::path& workDir,
                                         std::ostream* progress) {
  auto design = Design::Make(description, {});
  if (!design) return design.problem();
  if (kestrum::Status meshed = (*design)->Mesh(); !meshed) return meshed.problem();
  auto elements = (*design)->Elements();
  if (!elements) return elements.problem();
  OptConceptSettings settings;
  settings.method = description.method;
  settings.targetFraction = description.targetFraction;
  settings.maxCycles = description.maxCycles;
  settings.filterRadius = description.filterRadius > 0 ? description.filterRadius : 1.5 * description.meshSize;
  std::vector<long> ids;
  for (const OptConceptElement& e : *elements) ids.push_back(e.id);
  std::error_code ignored;
  std::filesystem::create_directories(workDir, ignored);

  Summary summary;
  summary.analysis = "Concept optimisation";
  summary.nodes = (*design)->Nodes();
  summary.elements = static_cast<int>(ids.size());
  OptimisationSummary& run = summary.optimisation.emplace();
  run.algorithm = description.method == OptConceptMethod::Beso ? "BESO" : "SIMP";
  ConceptEvaluator evaluator(**design, ids, workDir, progress, run);
  OptConceptRun optimiser(*elements, settings);
  run.exitCode = optimiser.Run(evaluator);
  run.exitMessage = optimiser.ExitMessage();
  run.conceptCycles = optimiser.Cycles();
  run.elements = std::move(elements).value();
  run.densities = optimiser.Densities();
  return summary;
}

}  // namespace study
