// A static study of a cantilever (1 m x 0.1 m x 0.1 m, quadratic tetrahedra) end to end through the
// engine (mesh, deck, solver job, results), against gmsh and the solver alone on the same geometry,
// mesh size and deck; the rate of reading the solver's results file; and the cost of each stage as
// the mesh grows. Aims: the engine within 1.15 times gmsh plus the solver; reading at 100 MB/s.
// The solver runs with one thread so that the figures compare like with like.
#include <benchmark/benchmark.h>
#include <gmsh.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "Study.h"
#include "amg/CaeConfig.h"
#include "amg/CaeUnit.h"
#include "fea/FerResult.h"
#include "fea/FrdReader.h"

namespace {

std::filesystem::path WorkDir(const std::string& name) {
  const auto dir = std::filesystem::temp_directory_path() / ("kestrum-bench-study-" + std::to_string(::getpid())) / name;
  std::filesystem::create_directories(dir);
  return dir;
}

study::Spec Cantilever(double meshSize) {
  study::Spec spec;
  std::string error;
  const std::string text = "geometry box 1.0 0.1 0.1\nmaterial steel 2.1e11 0.3 7850\nanalysis static\nmesh " +
                           std::to_string(meshSize) + "\nrestrain x=min\nforce x=max 0 0 -1000\n";
  if (!study::Parse(text, spec, error)) std::abort();
  return spec;
}

void OneSolverThread() {
  static bool done = false;
  if (!done) CaeConfig::SetValue(CaeString("Solver Threads"), CaeString("1"), 0);
  done = true;
}

// Mesh sizes (mm) for about 10 and 100 thousand nodes.
constexpr int kSizes[] = {20, 9};

void BM_StudyThroughEngine(benchmark::State& state) {
  OneSolverThread();
  const study::Spec spec = Cantilever(state.range(0) / 1000.0);
  const auto dir = WorkDir("engine-" + std::to_string(state.range(0)));
  study::Summary last;
  for (auto _ : state) {
    last = study::Run(spec, dir);
    if (!last.ok) state.SkipWithError(last.error.c_str());
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
  if (!std::filesystem::exists(dir / "study.inp")) study::Run(Cantilever(size), dir);
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
    gmsh::finalize();
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

void BM_ReadResults(benchmark::State& state) {
  OneSolverThread();
  const auto dir = WorkDir("engine-" + std::to_string(kSizes[1]));
  const auto frd = dir / "study.frd";
  if (!std::filesystem::exists(frd)) study::Run(Cantilever(kSizes[1] / 1000.0), dir);
  const auto bytes = static_cast<std::int64_t>(std::filesystem::file_size(frd));
  for (auto _ : state) {
    FerResultSet set(CaeString("read"));
    CaeString error;
    if (!FrdReader::Read(frd.string(), AnlStress, CaeUnitSystem(), set, error)) state.SkipWithError(error.Str().c_str());
    benchmark::DoNotOptimize(set.NumResults());
  }
  state.SetBytesProcessed(state.iterations() * bytes);
  state.counters["file_MB"] = bytes / 1e6;
}
BENCHMARK(BM_ReadResults)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
