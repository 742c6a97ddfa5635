// A static study of a cantilever (1 m x 0.1 m x 0.1 m, quadratic tetrahedra) end to end through the
// engine (mesh, deck, solver job, results), against gmsh and the solver alone on the same geometry,
// mesh size and deck; the rate of reading the solver's results file; and the cost of each stage as
// the mesh grows (time and peak memory of each stage). Aims: the engine within 1.15 times gmsh plus
// the solver; reading at 100 MB/s.
// The solver runs with one thread so that the figures compare like with like.
#include <benchmark/benchmark.h>
#include <gmsh.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "Study.h"
#include "amg/CaeConfig.h"
#include "amg/CaeInterupt.h"
#include "amg/CaeUnit.h"
#include "fea/FerResult.h"
#include "fea/FrdReader.h"
#include "own_config.h"

namespace {

std::filesystem::path WorkDir(const std::string& name) {
  const auto dir =
      std::filesystem::temp_directory_path() / ("kestrum-bench-study-" + std::to_string(::getpid())) / name;
  std::filesystem::create_directories(dir);
  return dir;
}

study::Description Cantilever(double meshSize) {
  const std::string text = "geometry box 1.0 0.1 0.1\nmaterial steel 2.1e11 0.3 7850\nanalysis static\nmesh " +
                           std::to_string(meshSize) + "\nrestrain x=min\nforce x=max 0 0 -1000\n";
  kestrum::Result<study::Description> description = study::ParseStudy(text, "cantilever.study");
  if (!description) std::abort();
  return std::move(description).value();
}

// Sets the private configuration of this run (see main), never the user's.
void OneSolverThread() {
  static bool done = false;
  if (!done) CaeConfig::SetValue(CaeString("Solver Threads"), CaeString("1"), 0);
  done = true;
}

// Mesh sizes (mm) for about 10 and 100 thousand nodes.
constexpr int kSizes[] = {20, 9};

void BM_StudyThroughEngine(benchmark::State& state) {
  OneSolverThread();
  const study::Description description = Cantilever(state.range(0) / 1000.0);
  const auto dir = WorkDir("engine-" + std::to_string(state.range(0)));
  study::Summary last;
  for (auto _ : state) {
    kestrum::Result<study::Summary> run = study::Run(description, dir);
    if (!run) {
      state.SkipWithError(run.problem().Describe().c_str());
      break;
    }
    last = std::move(run).value();
  }
  state.counters["nodes"] = last.nodes;
  state.counters["mesh_s"] = last.seconds[0];
  state.counters["deck_s"] = last.seconds[1];
  state.counters["solve_s"] = last.seconds[2];
  state.counters["read_s"] = last.seconds[3];
  rusage self{}, children{};
  ::getrusage(RUSAGE_SELF, &self);
  ::getrusage(RUSAGE_CHILDREN, &children);
  state.counters["peak_MB_engine"] = self.ru_maxrss / 1024.0;
  state.counters["peak_MB_solver"] = children.ru_maxrss / 1024.0;
}
BENCHMARK(BM_StudyThroughEngine)->Arg(kSizes[0])->Arg(kSizes[1])->Unit(benchmark::kMillisecond)->Iterations(1);

// gmsh's own box with the same options, then the solver on the engine's deck of that size.
void BM_GmshAndSolverAlone(benchmark::State& state) {
  OneSolverThread();
  const double size = state.range(0) / 1000.0;
  const auto dir = WorkDir("engine-" + std::to_string(state.range(0)));
  if (!std::filesystem::exists(dir / "study.inp") && !study::Run(Cantilever(size), dir)) {
    state.SkipWithError("the engine's study of this size failed");
    return;
  }
  for (auto _ : state) {
    gmsh::initialize(0, nullptr, false);
    gmsh::option::setNumber("General.Terminal", 0);
    gmsh::model::add("alone");
    gmsh::model::occ::addBox(0, 0, 0, 1.0, 0.1, 0.1);
    gmsh::model::occ::synchronize();
    gmsh::option::setNumber("Mesh.MeshSizeMax", size);
    gmsh::option::setNumber("Mesh.MeshSizeFromPoints", 0);
    gmsh::option::setNumber("Mesh.ElementOrder", 2);
    gmsh::option::setNumber("Mesh.Algorithm", 6);
    gmsh::option::setNumber("Mesh.Algorithm3D", 1);
    gmsh::option::setNumber("Mesh.Optimize", 1);
    gmsh::model::mesh::generate(3);
    // Cleared, not finalised: the engine's mesher keeps gmsh started for the whole process.
    gmsh::clear();
    const pid_t pid = ::fork();
    if (pid == 0) {
      if (::chdir(dir.c_str()) != 0) ::_exit(127);
      ::setenv("OMP_NUM_THREADS", "1", 1);
      ::freopen("/dev/null", "w", stdout);
      ::execlp("ccx", "ccx", "-i", "study", static_cast<char*>(nullptr));
      ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("the solver failed");
  }
}
BENCHMARK(BM_GmshAndSolverAlone)->Arg(kSizes[0])->Arg(kSizes[1])->Unit(benchmark::kMillisecond)->Iterations(1);

// The solver's time limit in the growing-mesh benchmark (seconds; KESTRUM_BENCH_SOLVE_LIMIT):
// past it the engine's interrupt stops the solver, and the stages before it are still reported.
double SolveLimit() {
  const char* text = std::getenv("KESTRUM_BENCH_SOLVE_LIMIT");
  const double limit = text ? std::atof(text) : 0.0;
  return limit > 0 ? limit : 1800.0;
}

// One study in a child process of its own, so that the peak memory figures are that study's alone.
// Answers whether it ran to the end; a run that did not leaves only its whole time and the
// solver's peak.
bool RunIsolated(const study::Description& description, const std::filesystem::path& dir, study::Summary& summary) {
  int channel[2];
  if (::pipe(channel) != 0) return false;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(channel[0]);
    CaeInterupt interrupt;
    CaeInterupt::SetCurrent(&interrupt);
    std::thread([&interrupt] {
      std::this_thread::sleep_for(std::chrono::duration<double>(SolveLimit()));
      interrupt.Cancel();
    }).detach();
    const auto start = std::chrono::steady_clock::now();
    kestrum::Result<study::Summary> run = study::Run(description, dir);
    const bool finished = run.ok();
    study::Summary s = finished ? std::move(run).value() : study::Summary{};
    if (!finished) {
      // Stopped (at the time limit, in the solver): the stages' own figures are lost with the run,
      // so the whole time stands as the solve's and the peak is that of the reaped solver.
      s.seconds[2] = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      rusage solver{};
      ::getrusage(RUSAGE_CHILDREN, &solver);
      s.peakMB[2] = solver.ru_maxrss / 1024.0;
    }
    double figures[10] = {finished ? 1.0 : 0.0, static_cast<double>(s.nodes)};
    std::copy(s.seconds, s.seconds + 4, figures + 2);
    std::copy(s.peakMB, s.peakMB + 4, figures + 6);
    const bool sent = ::write(channel[1], figures, sizeof figures) == static_cast<ssize_t>(sizeof figures);
    ::_exit(sent ? 0 : 1);
  }
  ::close(channel[1]);
  double figures[10] = {};
  const bool got = pid > 0 && ::read(channel[0], figures, sizeof figures) == static_cast<ssize_t>(sizeof figures);
  ::close(channel[0]);
  int status = 0;
  if (pid > 0) ::waitpid(pid, &status, 0);
  if (!got) return false;
  summary.nodes = static_cast<int>(figures[1]);
  std::copy(figures + 2, figures + 6, summary.seconds);
  std::copy(figures + 6, figures + 10, summary.peakMB);
  return figures[0] == 1.0;
}

// The cost of each stage as the mesh grows: about 10 thousand, 100 thousand and 1 million nodes
// (mesh sizes in tenths of a millimetre). Peak memory is the process's after meshing, writing the
// deck and reading the results (each includes what came before), and the solver's own. A study
// whose solver passed the time limit is labelled so, with the figures of the stages it reached.
void BM_GrowingMesh(benchmark::State& state) {
  OneSolverThread();
  const study::Description description = Cantilever(state.range(0) / 10000.0);
  const auto dir = WorkDir("grow-" + std::to_string(state.range(0)));
  study::Summary last;
  for (auto _ : state)
    if (!RunIsolated(description, dir, last))
      state.SetLabel(last.seconds[2] >= SolveLimit() ? "solver stopped at the time limit" : "the study failed");
  static const char* kStages[] = {"mesh", "deck", "solve", "read"};
  state.counters["nodes"] = last.nodes;
  for (int i = 0; i < 4; ++i) {
    state.counters[std::string(kStages[i]) + "_s"] = last.seconds[i];
    state.counters[std::string(kStages[i]) + "_peak_MB"] = last.peakMB[i];
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_GrowingMesh)->Arg(200)->Arg(90)->Arg(42)->Unit(benchmark::kSecond)->Iterations(1);

void BM_ReadResults(benchmark::State& state) {
  OneSolverThread();
  const auto dir = WorkDir("engine-" + std::to_string(kSizes[1]));
  const auto frd = dir / "study.frd";
  if (!std::filesystem::exists(frd) && !study::Run(Cantilever(kSizes[1] / 1000.0), dir)) {
    state.SkipWithError("the engine's study of this size failed");
    return;
  }
  const auto bytes = static_cast<std::int64_t>(std::filesystem::file_size(frd));
  for (auto _ : state) {
    FerResultSet set(CaeString("read"));
    if (const kestrum::Status read = FrdReader::Read(frd.string(), AnlStress, CaeUnitSystem(), set); !read)
      state.SkipWithError(read.problem().Describe().c_str());
    benchmark::DoNotOptimize(set.NumResults());
  }
  state.SetBytesProcessed(state.iterations() * bytes);
  state.counters["file_MB"] = bytes / 1e6;
}
BENCHMARK(BM_ReadResults)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  RunWithOwnConfig(argc, argv, "bench-study");
  return 0;
}
