// Optimisation runs through the study tool's code, each against a baseline run alongside: one
// static analysis of the same starting design, same mesh size.
//  - Shape: the plate with a hole (about 10,000 quadratic-tetrahedron nodes), 5 design cycles over
//    the hole's diameter. Per cycle, the wall time against the meshing and solver time inside it;
//    the rest (rebuild, decks, reading, responses, optimiser, waiting) is overhead. Aim: overhead
//    at most 0.10 of the cycle time (median).
//  - Concept: a cantilever beam of about 20,000 linear tetrahedra, 10 cycles; the same split.
//  - Parallel steps: the first cycle of a 4-variable shape run (the design and its four steps
//    solved side by side, one solver thread each) against one analysis. Aim: within 1.5 times
//    one analysis; one after another they would take 5 analyses.
// The solver runs with one thread.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "Study.h"
#include "amg/CaeConfig.h"
#include "own_config.h"

namespace {

std::filesystem::path WorkDir(const std::string& name) {
  const auto dir = std::filesystem::temp_directory_path() / ("kestrum-bench-opt-" + std::to_string(::getpid())) / name;
  std::filesystem::create_directories(dir);
  return dir;
}

void OneSolverThread() { CaeConfig::SetValue(CaeString("Solver Threads"), CaeString("1"), 0); }

study::Description Parse(const std::string& text) {
  const std::filesystem::path file =
      std::filesystem::path(KESTRUM_BENCH_SOURCE_DIR) / "data" / "studies" / "bench.study";
  kestrum::Result<study::Description> description = study::ParseStudy(text, file);
  if (!description) std::abort();
  return std::move(description).value();
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The seconds of one static analysis of the description's starting design (mesh, deck, solve,
// read); its solver time in `solve`.
double Baseline(const std::string& analysis, const std::string& name, double& solve, int& nodes) {
  const study::Description description = Parse(analysis);
  kestrum::Result<study::Summary> run = study::Run(description, WorkDir(name));
  if (!run) return 0.0;
  solve = run->seconds[2];
  nodes = run->nodes;
  double total = 0.0;
  for (double s : run->seconds) total += s;
  return total;
}

// The split of an optimisation's cycles, as counters.
void CountCycles(benchmark::State& state, const study::OptimisationSummary& o, double baseline) {
  std::vector<double> overheadShare;
  for (std::size_t i = 0; i < o.cycleSeconds.size(); ++i) {
    const double cycle = o.cycleSeconds[i];
    if (cycle > 0) overheadShare.push_back((cycle - o.meshSeconds[i] - o.solveSeconds[i]) / cycle);
  }
  state.counters["cycles"] = static_cast<double>(o.cycleSeconds.size());
  state.counters["cycle_s_median"] = Median(o.cycleSeconds);
  state.counters["mesh_s_median"] = Median(o.meshSeconds);
  state.counters["solve_s_median"] = Median(o.solveSeconds);
  state.counters["overhead_share_median"] = Median(overheadShare);
  state.counters["baseline_analysis_s"] = baseline;
  state.counters["cycle_over_baseline"] = baseline > 0 ? Median(o.cycleSeconds) / baseline : 0.0;
}

// Runs the study once per iteration into `last`; false (the benchmark skipped) when it ends
// without an optimisation cycle.
bool RunStudy(benchmark::State& state, const study::Description& description, const std::string& dir,
              study::Summary& last) {
  for (auto _ : state) {
    kestrum::Result<study::Summary> run = study::Run(description, WorkDir(dir));
    if (!run || !run->optimisation || run->optimisation->cycleSeconds.empty()) {
      state.SkipWithError(run ? "no optimisation cycle" : run.problem().Describe().c_str());
      return false;
    }
    last = std::move(run).value();
  }
  return true;
}

// An optimisation (`analysis` followed by `optimisation`) against one analysis of its start.
void BenchOptimisation(benchmark::State& state, const std::string& analysis, const std::string& optimisation,
                       const std::string& name) {
  OneSolverThread();
  double solve = 0.0;
  int nodes = 0;
  const double baseline = Baseline(analysis, name + "-baseline", solve, nodes);
  study::Summary last;
  if (!RunStudy(state, Parse(analysis + optimisation), name, last)) return;
  state.counters["nodes"] = last.nodes;
  state.counters["elements"] = last.elements;
  CountCycles(state, *last.optimisation, baseline);
}

void BM_ShapeRunPlate(benchmark::State& state) {
  BenchOptimisation(state,
                    "part ../parts/plate_with_hole.part mm\nmaterial steel 2.1e11 0.3 7850\nanalysis static\n"
                    "mesh 0.006\nrestrain plate/left\nforce plate/right 1000 0 0\n",
                    "optimise shape 5\nvariable D 20 60\nobjective mass\nconstraint displacement plate/right 1.0e-6\n",
                    "plate-shape");
}
BENCHMARK(BM_ShapeRunPlate)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ConceptRunBeam(benchmark::State& state) {
  BenchOptimisation(state,
                    "geometry box 0.2 0.02 0.05\nmaterial s 2.1e11 0.3 7850\nmesh 0.0036 linear\nrestrain x=min\n"
                    "force x=max 0 0 -1000\n",
                    "freeze x=max\noptimise concept 10\ntarget 0.5\n", "beam-concept");
}
BENCHMARK(BM_ConceptRunBeam)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ParallelSteps(benchmark::State& state) {
  OneSolverThread();
  const std::string plate =
      "part ../parts/cantilever_plate.part mm\nmaterial steel 2.1e11 0.3 7850\nanalysis static\nmesh 0.004\n"
      "restrain inner/left\nforce outer/right 0 0 -1000\n";
  double solve = 0.0;
  int nodes = 0;
  const double baseline = Baseline(plate, "steps-baseline", solve, nodes);
  const study::Description description =
      Parse(plate +
            "optimise shape 1\nvariable T 10 20\nvariable B 30 50\nvariable A 40 60\nvariable L 180 220\n"
            "objective mass\nconstraint stress outer/top 150e6\n");
  study::Summary last;
  if (!RunStudy(state, description, "steps", last)) return;
  const study::OptimisationSummary& o = *last.optimisation;
  state.counters["nodes"] = nodes;
  state.counters["analyses"] = o.analyses.front();
  state.counters["one_analysis_solve_s"] = solve;
  state.counters["cycle_solve_s"] = o.solveSeconds.front();
  state.counters["cycle_solve_over_one"] = solve > 0 ? o.solveSeconds.front() / solve : 0.0;
  state.counters["one_after_another_over_one"] = o.analyses.front();
  state.counters["cycle_s"] = o.cycleSeconds.front();
  state.counters["baseline_analysis_s"] = baseline;
}
BENCHMARK(BM_ParallelSteps)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  RunWithOwnConfig(argc, argv, "bench-opt");
  return 0;
}
