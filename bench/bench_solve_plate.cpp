// The sample plate (quadratic tetrahedra of 12 mm) solved through the add-in in the host, in this
// process: the mesh deferred until the submission makes it, "CAEP_ANALYZE" answered by "@" lines
// with the outputs the study tool writes (displacements, stress, strain energy), waiting on the job
// itself, and the job opened from the Explorer into a result set. Against it, the study
// tool on the same description (data/studies/plate_hole_static.study). Both run the solver on one
// thread and alternate three times; the aim is the add-in within 1.05 times the study tool
// (medians). The split of the add-in: check (the sheet opened on its check page and cancelled),
// submit (the sheet's OK: deferred mesh, deck, solver start; the check again), solve (waiting on
// the job) and
// read (the double click: results read into a set and shown); the study's: mesh, deck, solve,
// read. The Explorer's 3000 ms poll is not counted.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "CadInterface/AcCadEntry.h"
#include "Study.h"
#include "amg/CaeConfig.h"
#include "amg/CaeEngine.h"
#include "arx/acdocman.h"
#include "arx/acutads.h"
#include "arx/hostcmds.h"
#include "arx/hostinput.h"
#include "arx/rxdlinkr.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadTransactionScope.h"
#include "fea/AnlJob.h"
#include "frontend.h"
#include "gui/dialogs/analysis/UISubmitAnalysis.h"
#include "mcad/amiapp.h"
#include "mfc/winapi.h"
#include "own_config.h"

namespace {

using Clock = std::chrono::steady_clock;

std::filesystem::path WorkDir() {
  static const auto dir =
      std::filesystem::temp_directory_path() / ("kestrum-bench-solve-plate-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  return dir;
}

// The plate made a simulation model in millimetres, meshed (deferred), held at its left end and
// pulled at its right end, as the shipped solve example makes it.
const char kSetUp[] =
    "PART plate_with_hole\n"
    "CAEP_MODEL\n@check IDC_MODEL_NEW on\n@set IDC_MODEL_NAME Plate\n@check IDC_TYPE_STRESS on\n"
    "@select IDC_MODEL_UNIT millimeter\n@click IDOK\n"
    "CAEP_MESH\nplate/hole1/side|plate/bottom\n@select IDC_MESH_MATERIAL S275\n@set IDC_MESH_SIZE 12\n"
    "@check IDC_MESH_DEFER on\n"
    // The study's mesh follows curvature at the engine's 0.5 rad per element: the same here.
    "@select IDC_SHEET_TABS Elements\n@check IDC_ELEM_CURVED on\n@check IDC_ELEM_SCALING_YES on\n"
    "@set IDC_ELEM_ANGLE 28.6479\n@click IDOK\n"
    "CAEP_REST_TAB\n@check IDC_REST_FIXED_T1 on\n@check IDC_REST_FIXED_T2 on\n@check IDC_REST_FIXED_T3 on\n"
    "@select IDC_SHEET_TABS Geometry\n@click IDC_GEOM_FACE\nplate/plate/left\n@click IDOK\n"
    "CAEP_LOAD_TAB\n@select IDC_LOAD_TYPE \"Total Force\"\n@set IDC_LOAD_VALUE1 1000\n@set IDC_LOAD_VALUE2 0\n"
    "@set IDC_LOAD_VALUE3 0\n@select IDC_SHEET_TABS Geometry\n@click IDC_GEOM_FACE\nplate/plate/right\n@click IDOK\n";

const char kCheck[] = "CAEP_ANALYZE\n@click IDCANCEL\n";

const char kSubmit[] =
    "CAEP_ANALYZE\n@select IDC_SHEET_TABS Options\n"
    "@check IDC_OUT_DISPLACEMENTS on\n@check IDC_OUT_STRESS on\n@check IDC_OUT_STRAIN_ENERGY on\n"
    "@check IDC_OUT_STRAIN off\n@check IDC_OUT_REACTION_FORCES off\n@check IDC_OUT_APPLIED_LOADS off\n"
    "@check IDC_OUT_ELEMENT_FORCES off\n@click IDOK\n";

const char kRead[] = "CAEP_EXPLORER\n@dblclick IDC_EXPLORER_TREE \"Analysis Job PlateJob1: Completed\"\n@menu Close\n";

// The host with the part modeller and the add-in, fed by one script; each step's commands are
// run and timed on their own.
class Host {
 public:
  explicit Host(const std::string& script) : input_(script) {
    CaeEngine::ResetState();
    frontEnd_ = std::make_unique<cadhost::FrontEnd>(input_, false, false, [this](const std::string& t) { out_ += t; });
    frontEnd_->install();
    cadhost::setPrintEcho([this](std::string_view t) { out_ += t; });
    cadhost::setScriptMode(true);
    cadhost::startHost(true);
    ok_ = mcadLoadApiModule() && acrxModuleAttach() &&
          acrxDynamicLinker->loadBuiltinApplication("kestrum.arx", acrxEntryPoint);
  }
  ~Host() {
    cadhost::setPrintEcho({});
    cadhost::shutdownHost();
    acrxModuleDetach();
    cadhost::clearInput();
    frontEnd_.reset();
  }
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  // Runs `commands` commands; seconds taken.
  double Run(int commands) {
    const auto start = Clock::now();
    for (int i = 0; i < commands && ok_; ++i) ok_ = cadhost::runNextCommand() && cadhost::failedLines() == 0;
    return std::chrono::duration<double>(Clock::now() - start).count();
  }
  bool Ok() const { return ok_; }
  const std::string& Output() const { return out_; }

 private:
  std::istringstream input_;
  std::string out_;
  std::unique_ptr<cadhost::FrontEnd> frontEnd_;
  bool ok_ = false;
};

// Waits on the submitted job itself (not on the Explorer's poll, which shows its end up to 3000 ms
// later); seconds taken.
double WaitOnJob() {
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad) return 0.0;
  CadTransactionScope scope(*cad);
  scope.Start();
  const auto start = Clock::now();
  if (AnlJob* job = UISubmittedJob()) job->Wait();
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  scope.Commit();
  return seconds;
}

struct AddInRun {
  double check = 0, submit = 0, solve = 0, read = 0;
  long nodes = -1;  // of the mesh the submission made
  double Total() const { return submit + solve + read; }
};

bool RunAddIn(AddInRun& run, std::string& why) {
  const std::filesystem::path folder = WorkDir() / "add-in";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  std::filesystem::current_path(folder);
  Host host(std::string(kSetUp) + kCheck + kSubmit + kRead + "BROWSERTABS show\n");
  host.Run(5);  // PART, CAEP_MODEL, CAEP_MESH, CAEP_REST_TAB, CAEP_LOAD_TAB
  run.check = host.Run(1);
  run.submit = host.Run(1);
  run.solve = WaitOnJob();
  run.read = host.Run(1);
  host.Run(1);
  const std::string generated = "Generated ";
  if (const std::size_t at = host.Output().find(generated); at != std::string::npos)
    run.nodes = std::strtol(host.Output().c_str() + at + generated.size(), nullptr, 10);
  // The tab lists the set read from the job as the current one ("*").
  if (host.Ok() && host.Output().find("PlateStress* [icon 105]") != std::string::npos) return true;
  const std::string& out = host.Output();
  why = out.substr(out.size() > 2000 ? out.size() - 2000 : 0);
  return false;
}

bool RunStudy(study::Summary& summary, double& seconds, std::string& why) {
  const std::filesystem::path file =
      std::filesystem::path(KESTRUM_BENCH_SOURCE_DIR) / "data/studies/plate_hole_static.study";
  std::ostringstream text;
  text << std::ifstream(file).rdbuf();
  auto description = study::ParseStudy(text.str(), file);
  if (!description) {
    why = description.problem().Describe();
    return false;
  }
  const std::filesystem::path folder = WorkDir() / "study";
  std::filesystem::remove_all(folder);
  const auto start = Clock::now();
  auto run = study::Run(*description, folder);
  seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (!run) {
    why = run.problem().Describe();
    return false;
  }
  summary = *run;
  return true;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void BM_PlateThroughAddInAgainstStudyTool(benchmark::State& state) {
  CaeConfig::SetValue(CaeString("Solver Threads"), CaeString("1"), 0);
  std::vector<double> addIn, study, check, submit, solve, read, mesh, deck, studySolve, studyRead;
  long nodes = 0;
  for (auto _ : state) {
    for (int round = 0; round < 3; ++round) {
      AddInRun a;
      study::Summary s;
      double studySeconds = 0;
      std::string why;
      if (!RunAddIn(a, why)) return state.SkipWithError(("the add-in's solve failed: " + why).c_str());
      if (!RunStudy(s, studySeconds, why)) return state.SkipWithError(("the study failed: " + why).c_str());
      if (a.nodes != s.nodes)
        return state.SkipWithError(("not the same mesh: the add-in's has " + std::to_string(a.nodes) +
                                    " nodes, the study's " + std::to_string(s.nodes))
                                       .c_str());
      nodes = s.nodes;
      addIn.push_back(a.Total());
      check.push_back(a.check);
      submit.push_back(a.submit);
      solve.push_back(a.solve);
      read.push_back(a.read);
      study.push_back(studySeconds);
      mesh.push_back(s.seconds[0]);
      deck.push_back(s.seconds[1]);
      studySolve.push_back(s.seconds[2]);
      studyRead.push_back(s.seconds[3]);
    }
  }
  state.counters["nodes"] = static_cast<double>(nodes);
  state.counters["addin_s"] = Median(addIn);
  state.counters["study_s"] = Median(study);
  state.counters["ratio"] = Median(addIn) / Median(study);
  state.counters["addin_check_s"] = Median(check);
  state.counters["addin_submit_s"] = Median(submit);
  state.counters["addin_solve_s"] = Median(solve);
  state.counters["addin_read_s"] = Median(read);
  state.counters["study_mesh_s"] = Median(mesh);
  state.counters["study_deck_s"] = Median(deck);
  state.counters["study_solve_s"] = Median(studySolve);
  state.counters["study_read_s"] = Median(studyRead);
}
BENCHMARK(BM_PlateThroughAddInAgainstStudyTool)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  RunWithOwnConfig(argc, argv, "bench-solve-plate");
  std::error_code ignored;
  std::filesystem::remove_all(WorkDir(), ignored);
  return 0;
}
