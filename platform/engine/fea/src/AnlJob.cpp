#include "fea/AnlJob.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <thread>

#include "amg/CaeConfig.h"
#include "amg/CaeInterupt.h"
#include "amg/CaeMsgCall.h"
#include "fea/FeaMessages.h"

extern char** environ;

namespace {

std::filesystem::path ToPath(const CaeString& text) {
  std::string s = text.Str();
  for (char& c : s)
    if (c == '\\') c = '/';
  return std::filesystem::path(s);
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

// The environment of the solver: ours, with its thread count.
std::vector<std::string> SolverEnvironment(int threadCount) {
  std::vector<std::string> env;
  for (char** e = environ; e && *e; ++e)
    if (std::strncmp(*e, "OMP_NUM_THREADS=", 16) != 0 && std::strncmp(*e, "CCX_NPROC", 9) != 0) env.emplace_back(*e);
  const std::string threads = std::to_string(threadCount > 0 ? threadCount : SolverThreads());
  env.push_back("OMP_NUM_THREADS=" + threads);
  env.push_back("CCX_NPROC_EQUATION_SOLVER=" + threads);
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

int AnlJob::IsPending() const {
  Poll();
  return status_ == AnlStatusPending;
}

int AnlJob::Failed() const {
  Poll();
  return status_ == AnlStatusFailed;
}

int AnlJob::HaveResults() const {
  Poll();
  return status_ == AnlStatusDone;
}

void AnlJob::SetDelayedStart(const std::tm& when) {
  std::tm copy = when;
  startAt_ = std::mktime(&copy);
  delayed_ = true;
  time_ = when;
}

void AnlJob::FailWith(int number, const std::string& reason) const {
  status_ = AnlStatusFailed;
  errorNumber_ = number;
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

static bool SolverReportedError(const CaeString& errorFile) {
  std::ifstream in(ToPath(errorFile));
  std::string line;
  while (std::getline(in, line))
    if (line.find("*ERROR") != std::string::npos) return true;
  return false;
}

void AnlJob::Finish(int waitStatus) const {
  pid_ = 0;
  if (WIFSIGNALED(waitStatus))
    return FailWith(kErrSolver, "the solver was stopped by signal " + std::to_string(WTERMSIG(waitStatus)) + ".");
  const int code = WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : -1;
  if (code == 127) return FailWith(kErrNotStarted, "the solver program " + SolverProgram() + " could not be run.");
  if (code != 0 || SolverReportedError(errorFile_))
    return FailWith(kErrSolver, "the solver reported an error (exit code " + std::to_string(code) + ").");
  if (!ResultsComplete()) return FailWith(kErrNoResults, "the solver wrote no complete results file.");
  status_ = AnlStatusDone;
  errorNumber_ = kErrNone;
}

void AnlJob::StopSolver() const {
  if (pid_ <= 0) return;
  ::kill(static_cast<pid_t>(pid_), SIGKILL);
  int waitStatus = 0;
  ::waitpid(static_cast<pid_t>(pid_), &waitStatus, 0);
  pid_ = 0;
}

void AnlJob::Poll() const {
  if (status_ != AnlStatusPending) return;
  if (delayed_ && pid_ == 0) {
    // A status query is what notices that a delayed job's time has come.
    if (std::time(nullptr) >= startAt_) const_cast<AnlJob*>(this)->Start();
    return;
  }
  if (pid_ <= 0) return;
  if (CaeInterupt::Poll()) {
    StopSolver();
    return FailWith(kErrCancelled, "the analysis was cancelled.");
  }
  int waitStatus = 0;
  const pid_t done = ::waitpid(static_cast<pid_t>(pid_), &waitStatus, WNOHANG);
  if (done == static_cast<pid_t>(pid_)) Finish(waitStatus);
  else if (done < 0) {
    pid_ = 0;
    FailWith(kErrSolver, "the solver process was lost.");
  }
}

int AnlJob::Start() {
  delayed_ = false;
  std::error_code error;
  std::filesystem::remove(ToPath(resultsFile_), error);
  const int log = ::open(ToPath(errorFile_).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (log < 0) {
    FailWith(kErrNotStarted, "the error file " + std::string(errorFile_.Str()) + " could not be made.");
    return 0;
  }
  // Everything the child needs is made before fork: after it only async-signal-safe calls.
  std::vector<std::string> args = {SolverProgram(), "-i", ToPath(baseName_).filename().string()};
  std::vector<std::string> env = SolverEnvironment(threads_);
  std::vector<char*> argv = Pointers(args), envp = Pointers(env);
  const std::string dir = anlDir_.IsEmpty() ? std::string(".") : ToPath(anlDir_).string();
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
  status_ = AnlStatusPending;
  errorNumber_ = kErrNone;
  return 1;
}

int AnlJob::Wait() {
  while (IsPending()) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  return HaveResults();
}

bool AnlJob::GetResltCaseNames(int index, CaeString& first, CaeString& second) const {
  if (index < 0 || index >= NumRCNames()) return false;
  first = rcNames_[index].first;
  second = rcNames_[index].second;
  return true;
}

void AnlJob::AddResltCaseNames(const CaeString& first, const CaeString& second) {
  rcNames_.emplace_back(first, second);
}

int AnlJob::DoConvert(CaeString& message) {
  message = CaeString("Converting solver output is not available yet.");
  FeaReportNotAvailable("Converting solver output");
  return 1;
}

int AnlJob::Create(const CaeString& baseName) {
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
  // The solver's own side files.
  if (!baseName_.IsEmpty())
    for (const char* extension : {".sta", ".cvg", ".12d"}) {
      std::error_code error;
      std::filesystem::remove(ToPath(baseName_ + extension), error);
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
    status_ = AnlStatusNew;
    return 1;
  }
  if (delayed_ && std::time(nullptr) < startAt_) {
    status_ = AnlStatusPending;
    return 1;
  }
  return Start();
}

void AnlJob::Check() {
  if (status_ == AnlStatusPending && pid_ == 0 && !delayed_ && !resultsFile_.IsEmpty()) {
    if (ResultsComplete()) status_ = AnlStatusDone;
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
  if (index >= 0 && index < 3) texts_[index] = text;
}
