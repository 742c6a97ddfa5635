// One static deck (a cantilever of quadratic tetrahedra, about 30 thousand nodes) solved again and
// again through the engine's job with the default settings ("Solver Threads" not set: the
// machine's cores): every run must give one answer. Also the solve time with the default settings
// against everything on one thread, and the old setting (the equation solver on the cores too)
// for comparison: how often it went wrong and how often the job's balance check caught it.
// Run by ./run bench only: it takes minutes. A private configuration file keeps the user's own
// settings out of it (and untouched).
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "Study.h"
#include "amg/CaeConfig.h"
#include "fea/AnlJob.h"
#include "fea/FrdReader.h"

namespace {

std::filesystem::path WorkDir() {
  static const auto dir =
      std::filesystem::temp_directory_path() / ("kestrum-bench-repeat-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  return dir;
}

// The deck, made once by a study of the cantilever (1 m x 0.1 m x 0.1 m, 13 mm elements).
std::filesystem::path Deck() {
  static const std::filesystem::path base = [] {
    const std::string text =
        "geometry box 1.0 0.1 0.1\nmaterial steel 2.1e11 0.3 7850\nanalysis static\nmesh 0.013\n"
        "restrain x=min\nforce x=max 0 0 -1000\n";
    const kestrum::Result<study::Description> description = study::ParseStudy(text, "cantilever.study");
    if (!description || !study::Run(*description, WorkDir() / "made")) std::abort();
    std::filesystem::create_directories(WorkDir() / "runs");
    std::filesystem::copy_file(WorkDir() / "made" / "study.inp", WorkDir() / "runs" / "deck.inp",
                               std::filesystem::copy_options::overwrite_existing);
    return WorkDir() / "runs" / "deck";
  }();
  return base;
}

struct Solve {
  bool done = false;
  int error = 0;
  double maxDisplacement = 0.0;
  double seconds = 0.0;
  std::string reason;  // the job's reason of a failure: the last line of its error file
};

// One run of the deck through a job; threads 0 takes the configuration's (here: unset).
Solve SolveOnce(int threads) {
  AnlDrvJob job;
  job.Create(CaeString(Deck().string()));
  job.SetThreads(threads);
  Solve solve;
  const auto start = std::chrono::steady_clock::now();
  if (job.Run()) job.Wait();
  solve.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  solve.done = job.HaveResults() != 0;
  solve.error = job.GetErrMsgNum();
  if (!solve.done) {
    std::ifstream log(job.ErrorFile().Str());
    for (std::string line; std::getline(log, line);)
      if (!line.empty()) solve.reason = line;
  }
  // The answer is read whether or not the job trusted it, to see what a failed check caught.
  const auto read = FrdReader::ReadNodalVectors(job.ResultsFile().Str());
  if (read && !read->empty()) {
    const auto& u = read->front().displacements.values;
    for (std::size_t i = 0; i + 2 < u.size(); i += 3)
      solve.maxDisplacement =
          std::max(solve.maxDisplacement, std::sqrt(u[i] * u[i] + u[i + 1] * u[i + 1] + u[i + 2] * u[i + 2]));
  }
  return solve;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0.0 : values[values.size() / 2];
}

// Runs the deck `runs` times and reports: runs failed by the job, answers that differ from the
// most common one (relative difference above 1e-6), the spread (max - min) / median, and how many
// of the differing answers the job failed. With `mustAgree`, any differing or failed run is an error.
void Repeat(benchmark::State& state, int runs, int threads, bool mustAgree) {
  std::vector<Solve> solves;
  for (auto _ : state)
    for (int i = 0; i < runs; ++i) solves.push_back(SolveOnce(threads));
  std::vector<double> answers;
  for (const Solve& s : solves) answers.push_back(s.maxDisplacement);
  const double median = Median(answers);
  int differing = 0, differingCaught = 0, failed = 0, unbalanced = 0;
  for (const Solve& s : solves) {
    const bool differs = std::abs(s.maxDisplacement - median) > 1e-6 * median;
    differing += differs;
    differingCaught += differs && !s.done;
    failed += !s.done;
    unbalanced += s.error == AnlJob::kErrUnbalanced;
    if (!s.done) std::fprintf(stderr, "failed run (answer %.6g m): %s\n", s.maxDisplacement, s.reason.c_str());
  }
  const auto [low, high] = std::minmax_element(answers.begin(), answers.end());
  state.counters["runs"] = static_cast<double>(solves.size());
  state.counters["median_u_m"] = median;
  state.counters["spread"] = median > 0 ? (*high - *low) / median : 0.0;
  state.counters["differing"] = differing;
  state.counters["differing_failed"] = differingCaught;
  state.counters["failed"] = failed;
  state.counters["failed_balance"] = unbalanced;
  std::vector<double> seconds;
  for (const Solve& s : solves) seconds.push_back(s.seconds);
  state.counters["median_s"] = Median(seconds);
  if (mustAgree && (differing > 0 || failed > 0)) state.SkipWithError("the default settings gave more than one answer");
}

// The default settings, 50 times: one answer every time.
void BM_DefaultSettingsGiveOneAnswer(benchmark::State& state) { Repeat(state, 50, 0, true); }
BENCHMARK(BM_DefaultSettingsGiveOneAnswer)->Unit(benchmark::kSecond)->Iterations(1);

// Solve time: the default settings (0) against everything on one thread (1), 5 runs each.
void BM_SolveTime(benchmark::State& state) { Repeat(state, 5, static_cast<int>(state.range(0)), true); }
BENCHMARK(BM_SolveTime)->Arg(0)->Arg(1)->Unit(benchmark::kSecond)->Iterations(1);

// The old setting, for comparison: the equation solver on every core too, 20 times, through a
// solver program that sets it. Wrong answers are expected here; the counters say how many the
// job's balance check failed.
void BM_EquationSolverOnAllCores(benchmark::State& state) {
  const std::filesystem::path script = WorkDir() / "all-cores-solver.sh";
  std::ofstream(script) << "#!/bin/sh\nCCX_NPROC_EQUATION_SOLVER=" << std::max(1u, std::thread::hardware_concurrency())
                        << " exec ccx \"$@\"\n";
  ::chmod(script.c_str(), 0755);
  CaeConfig::SetValue(CaeString("Solver Program"), CaeString(script.string()), 0);
  Repeat(state, 20, 0, false);
  CaeConfig::SetValue(CaeString("Solver Program"), CaeString("ccx"), 0);
}
BENCHMARK(BM_EquationSolverOnAllCores)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  // A configuration of this run's own: nothing here may read or change the user's settings.
  ::setenv("KESTRUM_CONFIG", (WorkDir() / "kestrum.ini").c_str(), 1);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(WorkDir());
  return 0;
}
