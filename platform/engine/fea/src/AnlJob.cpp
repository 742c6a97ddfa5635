#include "fea/AnlJob.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <thread>

#include "Balance.h"
#include "amg/CaeConfig.h"
#include "amg/CaeInterupt.h"
#include "amg/CaeMsgCall.h"
#include "fea/FeaMessages.h"
#include "fea/FrdReader.h"
#include "kestrum/text.h"

extern char** environ;

namespace {

std::filesystem::path ToPath(const CaeString& text) {
  std::string s = text.Str();
  for (char& c : s)
    if (c == '\\') c = '/';
  return std::filesystem::path(s);
}

// A problem of no file in particular.
kestrum::Problem Trouble(std::string message) { return {std::move(message), {}, 0}; }

// Whether the program can be run: a path must name an executable file, a bare name must be one
// on the PATH. Checked before the solver is started, so that a missing solver fails at once.
bool Runnable(const std::string& program) {
  auto executable = [](const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error) && ::access(path.c_str(), X_OK) == 0;
  };
  if (program.find('/') != std::string::npos) return executable(program);
  const char* path = std::getenv("PATH");
  std::string folders = path ? path : "";
  for (std::size_t start = 0; start <= folders.size();) {
    const std::size_t end = std::min(folders.find(':', start), folders.size());
    const std::string folder = folders.substr(start, end - start);
    if (executable(std::filesystem::path(folder.empty() ? "." : folder) / program)) return true;
    start = end + 1;
  }
  return false;
}

std::string SolverProgram() {
  if (auto configured = CaeConfig::GetValue(CaeString("Solver Program"), 0)) return configured->Str();
  return "ccx";
}

int SolverThreads() {
  long threads = 0;
  if (CaeConfig::GetValue(CaeString("Solver Threads"), 0, threads) && threads > 0) return static_cast<int>(threads);
  const unsigned cores = std::thread::hardware_concurrency();
  return cores > 0 ? static_cast<int>(cores) : 1;
}

// The solver's thread settings. Its equation solver gives different, sometimes wrong, answers to
// one deck when it runs on several threads, so it always runs on one; "Solver Threads" governs the
// other phases (stiffness, results and the rest).
constexpr const char* kEquationSolverThreads = "CCX_NPROC_EQUATION_SOLVER";
constexpr const char* kPhaseThreads[] = {"OMP_NUM_THREADS",        "CCX_NPROC_STIFFNESS", "CCX_NPROC_RESULTS",
                                         "CCX_NPROC_VIEWFACTOR",   "CCX_NPROC_SENS",      "CCX_NPROC_CFD",
                                         "CCX_NPROC_INTERPOLSTATE"};
// Read by the solver as its core count; left to the solver to find.
constexpr const char* kSolverCores = "NUMBER_OF_CPUS";
// The log the solver's equation solver writes in the folder the solver runs in.
constexpr const char* kEquationSolverLog = "spooles.out";

// The folder the solver runs in: the job's own, else the current one.
std::filesystem::path SolverFolder(const CaeString& anlDir) {
  return anlDir.IsEmpty() ? std::filesystem::path(".") : ToPath(anlDir);
}

bool Named(const char* entry, const char* name) {
  const std::size_t length = std::strlen(name);
  return std::strncmp(entry, name, length) == 0 && entry[length] == '=';
}

// The environment of the solver: ours, with its thread settings.
std::vector<std::string> SolverEnvironment(int threadCount) {
  std::vector<std::string> env;
  for (char** e = environ; e && *e; ++e) {
    bool ours = Named(*e, kEquationSolverThreads) || Named(*e, kSolverCores);
    for (const char* name : kPhaseThreads) ours = ours || Named(*e, name);
    if (!ours) env.emplace_back(*e);
  }
  const std::string threads = std::to_string(threadCount > 0 ? threadCount : SolverThreads());
  for (const char* name : kPhaseThreads) env.push_back(std::string(name) + "=" + threads);
  env.push_back(std::string(kEquationSolverThreads) + "=1");
  return env;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& t : texts) pointers.push_back(t.data());
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

AnlJob::AnlJob() = default;

AnlJob::~AnlJob() { StopSolver(); }

int AnlJob::IsPending() const { return status_ == AnlStatusPending; }

int AnlJob::Failed() const { return status_ == AnlStatusFailed; }

int AnlJob::HaveResults() const { return status_ == AnlStatusDone; }

void AnlJob::SetDelayedStart(const std::tm& when) {
  std::tm copy = when;
  startAt_ = std::mktime(&copy);
  delayed_ = true;
  time_ = when;
}

void AnlJob::ChangeStatus(AnlStatus status) {
  if (status == status_) return;
  AboutToChange();
  status_ = status;
}

void AnlJob::FailWith(int number, const std::string& reason) {
  ChangeStatus(AnlStatusFailed);
  errorNumber_ = number;
  reason_ = reason;
  // The reason goes to the end of the error file, which is what a person opens to see why.
  if (!errorFile_.IsEmpty()) {
    std::ofstream log(ToPath(errorFile_), std::ios::app);
    log << "\n*** " << reason << "\n";
  }
  CaeMsgCall::Message(1, kFeaMsgAnalysisFailed, {name_.IsEmpty() ? baseName_ : name_, CaeString(reason)});
}

// A results file is complete when the solver wrote its closing record.
bool AnlJob::ResultsComplete() const {
  std::ifstream in(ToPath(resultsFile_), std::ios::binary);
  if (!in) return false;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size <= 0) return false;
  const std::streamoff tail = std::min<std::streamoff>(size, 64);
  in.seekg(size - tail);
  std::string end(static_cast<std::size_t>(tail), '\0');
  in.read(end.data(), tail);
  return end.find("9999") != std::string::npos;
}

// The solver's first error line in its log (trimmed, at most 200 characters), or empty.
static std::string SolverError(const CaeString& errorFile) {
  std::ifstream in(ToPath(errorFile));
  std::string line;
  while (std::getline(in, line)) {
    const std::size_t at = line.find("*ERROR");
    if (at == std::string::npos) continue;
    std::string text = line.substr(at, 200);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
    return text;
  }
  return {};
}

void AnlJob::Finish(int waitStatus) {
  pid_ = 0;
  if (WIFSIGNALED(waitStatus))
    return FailWith(kErrSolver, "the solver was stopped by signal " + std::to_string(WTERMSIG(waitStatus)) + ".");
  const int code = WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : -1;
  if (code == 127) return FailWith(kErrNotStarted, "the solver program " + SolverProgram() + " could not be run.");
  if (const std::string error = SolverError(errorFile_); code != 0 || !error.empty())
    return FailWith(kErrSolver, "the solver reported an error (exit code " + std::to_string(code) + ")" +
                                    (error.empty() ? std::string(".") : ": " + error));
  if (!ResultsComplete()) return FailWith(kErrNoResults, "the solver wrote no complete results file.");
  if (kestrum::Status checked = CheckResults(); !checked) return FailWith(kErrUnbalanced, checked.problem().message);
  ChangeStatus(AnlStatusDone);
  errorNumber_ = kErrNone;
}

// A solve checks itself: its results must be finite numbers, and in a static solve the supports
// must balance the loads of the deck it solved.
kestrum::Status AnlJob::CheckResults() const {
  const kestrum::Result<std::string> deck = kestrum::ReadWholeFile(ToPath(baseName_ + ".inp"));
  if (!deck) return kestrum::Ok();
  const auto results = FrdReader::ReadNodalVectors(ToPath(resultsFile_).string());
  if (!results) return Trouble("the results cannot be checked: " + results.problem().Describe());
  return fea_detail::CheckBalance(*deck, *results);
}

void AnlJob::StopSolver() {
  if (pid_ <= 0) return;
  ::kill(static_cast<pid_t>(pid_), SIGKILL);
  int waitStatus = 0;
  ::waitpid(static_cast<pid_t>(pid_), &waitStatus, 0);
  pid_ = 0;
}

void AnlJob::Poll() {
  if (status_ != AnlStatusPending) return;
  if (delayed_ && pid_ == 0) {
    if (std::time(nullptr) >= startAt_) Start();
    return;
  }
  if (pid_ <= 0) return;
  if (CaeInterupt::Poll()) {
    StopSolver();
    return FailWith(kErrCancelled, "the analysis was cancelled.");
  }
  int waitStatus = 0;
  const pid_t done = ::waitpid(static_cast<pid_t>(pid_), &waitStatus, WNOHANG);
  if (done == static_cast<pid_t>(pid_))
    Finish(waitStatus);
  else if (done < 0) {
    pid_ = 0;
    FailWith(kErrSolver, "the solver process was lost.");
  }
}

int AnlJob::Start() {
  delayed_ = false;
  std::error_code error;
  std::filesystem::remove(ToPath(resultsFile_), error);
  if (const std::string program = SolverProgram(); !Runnable(program)) {
    FailWith(kErrNotStarted, "the solver program " + program + " could not be run.");
    return 0;
  }
  const int log = ::open(ToPath(errorFile_).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (log < 0) {
    FailWith(kErrNotStarted, "the error file " + std::string(errorFile_.Str()) + " could not be made.");
    return 0;
  }
  // Everything the child needs is made before fork: after it only async-signal-safe calls.
  std::vector<std::string> args = {SolverProgram(), "-i", ToPath(baseName_).filename().string()};
  std::vector<std::string> env = SolverEnvironment(threads_);
  std::vector<char*> argv = Pointers(args), envp = Pointers(env);
  const std::string dir = SolverFolder(anlDir_).string();
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::chdir(dir.c_str()) != 0) ::_exit(127);
    const int devNull = ::open("/dev/null", O_RDONLY);
    if (devNull >= 0) ::dup2(devNull, 0);
    ::dup2(log, 1);
    ::dup2(log, 2);
    ::execvpe(argv[0], argv.data(), envp.data());
    ::_exit(127);
  }
  ::close(log);
  if (pid < 0) {
    FailWith(kErrNotStarted, std::string("the solver process could not be made: ") + std::strerror(errno));
    return 0;
  }
  pid_ = pid;
  ChangeStatus(AnlStatusPending);
  errorNumber_ = kErrNone;
  return 1;
}

CaeString AnlJob::FailureReason() const {
  if (!reason_.empty()) return CaeString(reason_);
  if (errorFile_.IsEmpty()) return CaeString();
  std::ifstream log(ToPath(errorFile_));
  std::string line, last;
  while (std::getline(log, line))
    if (line.rfind("*** ", 0) == 0) last = line.substr(4);
  return CaeString(last);
}

int AnlJob::Wait() {
  for (Poll(); IsPending(); Poll()) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  return HaveResults();
}

bool AnlJob::GetResltCaseNames(int index, CaeString& first, CaeString& second) const {
  if (index < 0 || index >= NumRCNames()) return false;
  first = rcNames_[index].first;
  second = rcNames_[index].second;
  return true;
}

void AnlJob::AddResltCaseNames(const CaeString& first, const CaeString& second) {
  AboutToChange();
  rcNames_.emplace_back(first, second);
}

int AnlJob::DoConvert(CaeString& message) {
  const kestrum::Result<AnlType> type = FrdReader::CheckAgainstDeck(analysisDB_.Str(), deckName_.Str());
  if (!type) {
    message = CaeString(type.problem().Describe());
    return 1;
  }
  if (resultsFile_.IsEmpty()) {
    message = CaeString("the job has no results file");
    return 1;
  }
  std::error_code error;
  const std::filesystem::path from = ToPath(analysisDB_), to = ToPath(resultsFile_);
  if (!std::filesystem::equivalent(from, to, error) &&
      !std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error)) {
    message = CaeString("the results cannot be copied to " + to.string() + ": " + error.message());
    return 1;
  }
  AboutToChange();
  units_ = CaeUnitSystem();
  convertedType_ = *type;
  return 0;
}

int AnlJob::Create(const CaeString& baseName) {
  AboutToChange();
  baseName_ = baseName;
  deckName_ = baseName + ".inp";
  resultsFile_ = baseName + ".frd";
  analysisDB_ = baseName + ".dat";
  errorFile_ = baseName + ".log";
  anlDir_ = CaeString(ToPath(baseName).parent_path().string());
  return 1;
}

CaeString AnlJob::AnlCommand() { return CaeString(); }

CaeString AnlJob::ConvertCommand() { return CaeString(); }

int AnlJob::AnlCheck() { return 0; }

int AnlJob::ConvertCheck() { return 0; }

int AnlJob::CleanUp() {
  StopSolver();
  int removed = 0;
  for (const CaeString* file : {&deckName_, &resultsFile_, &analysisDB_, &errorFile_}) {
    if (file->IsEmpty()) continue;
    std::error_code error;
    if (std::filesystem::remove(ToPath(*file), error)) ++removed;
  }
  // The solver's own side files; its equation solver's log has a fixed name in the folder the
  // solver ran in, and a job's scratch folder is only removed once it is empty.
  if (!baseName_.IsEmpty()) {
    for (const char* extension : {".sta", ".cvg", ".12d"}) {
      std::error_code error;
      std::filesystem::remove(ToPath(baseName_ + extension), error);
    }
    std::error_code error;
    std::filesystem::remove(SolverFolder(anlDir_) / kEquationSolverLog, error);
  }
  return removed;
}

int AnlJob::Run() {
  if (pid_ > 0) return 0;
  if (baseName_.IsEmpty()) {
    FailWith(kErrNotStarted, "the job has no files.");
    return 0;
  }
  if (deckOnly_) {
    ChangeStatus(AnlStatusNew);
    return 1;
  }
  if (delayed_ && std::time(nullptr) < startAt_) {
    ChangeStatus(AnlStatusPending);
    return 1;
  }
  return Start();
}

void AnlJob::Check() {
  if (status_ == AnlStatusPending && pid_ == 0 && !delayed_ && !resultsFile_.IsEmpty()) {
    if (ResultsComplete()) ChangeStatus(AnlStatusDone);
    return;
  }
  Poll();
}

AnlConstrJob::AnlConstrJob(int nodeCount) : nodeCount_(nodeCount) { SetAnalysisCode(AnlCodeConcept); }

const CaeString& AnlConstrJob::Text(int index) const {
  static const CaeString empty;
  return index >= 0 && index < 3 ? texts_[index] : empty;
}

void AnlConstrJob::SetText(int index, const CaeString& text) {
  if (index < 0 || index >= 3) return;
  AboutToChange();
  texts_[index] = text;
}
