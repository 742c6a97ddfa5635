// Solver jobs: the child process, its polling, and every way a run can end. A small shell script
// stands in for the solver so that each ending can be made on purpose.
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <thread>

#include "amg/CaeConfig.h"
#include "amg/CaeInterupt.h"
#include "fea/AnlJob.h"
#include "fea_fixture.h"
#include "test_env.h"

namespace {

class JobTest : public FeaTest {
 protected:
  void SetUp() override {
    FeaTest::SetUp();
    CaeConfig::SetValue(CaeString("Solver Threads"), CaeString("1"), 0);
    job.Create(CaeString((dir / "run" / "case").string()));
    std::filesystem::create_directories(dir / "run");
  }
  void TearDown() override {
    CaeConfig::SetValue(CaeString("Solver Program"), CaeString("ccx"), 0);
    FeaTest::TearDown();
  }

  // Installs a solver script; it is run as "<script> -i case" in the job's folder.
  void Solver(const std::string& body) {
    const std::filesystem::path script = dir / "solver.sh";
    std::ofstream(script) << "#!/bin/sh\n" << body << "\n";
    ::chmod(script.c_str(), 0755);
    CaeConfig::SetValue(CaeString("Solver Program"), CaeString(script.string()), 0);
  }

  std::string Log() { return kestrum::test::readFile(dir / "run" / "case.log"); }

  kestrum::test::TempDir dir;
  AnlDrvJob job;
};

constexpr const char* kGoodRun = "echo solving $2; printf '    1C\\n 9999\\n' > $2.frd";

TEST_F(JobTest, ASolverThatEndsWellLeavesResults) {
  Solver(std::string("echo threads=$OMP_NUM_THREADS; ") + kGoodRun);
  ASSERT_EQ(job.Run(), 1);
  EXPECT_EQ(job.Wait(), 1);
  EXPECT_EQ(job.HaveResults(), 1);
  EXPECT_EQ(job.Failed(), 0);
  EXPECT_EQ(job.GetErrMsgNum(), AnlJob::kErrNone);
  EXPECT_NE(Log().find("solving case"), std::string::npos) << "run in the job's folder on its base name";
  EXPECT_NE(Log().find("threads=1"), std::string::npos) << "threads from the configuration";
}

TEST_F(JobTest, TheEquationSolverRunsOnOneThreadWhateverTheSetting) {
  // An inherited setting must not reach the solver either.
  ::setenv("CCX_NPROC_EQUATION_SOLVER", "8", 1);
  Solver(std::string("echo omp=$OMP_NUM_THREADS equations=$CCX_NPROC_EQUATION_SOLVER results=$CCX_NPROC_RESULTS "
                     "stiffness=$CCX_NPROC_STIFFNESS; ") +
         kGoodRun);
  const std::string cores = std::to_string(std::max(1u, std::thread::hardware_concurrency()));
  struct Row {
    const char* setting;  // "Solver Threads"; empty: not set
    std::string others;
  };
  const Row rows[] = {{"", cores}, {"3", "3"}, {"1", "1"}};
  for (const Row& r : rows) {
    CaeConfig::SetValue(CaeString("Solver Threads"), CaeString(r.setting), 0);
    AnlDrvJob one;
    one.Create(job.BaseName());
    ASSERT_EQ(one.Run(), 1);
    EXPECT_EQ(one.Wait(), 1);
    const std::string expected = "omp=" + r.others + " equations=1 results=" + r.others + " stiffness=" + r.others;
    EXPECT_NE(Log().find(expected), std::string::npos) << "setting '" << r.setting << "': " << Log();
  }
  ::unsetenv("CCX_NPROC_EQUATION_SOLVER");
}

TEST_F(JobTest, TheStatusQueriesOnlyAnswerAndPollNoticesTheEnd) {
  Solver(kGoodRun);
  ASSERT_EQ(job.Run(), 1);
  // Long enough for the solver to have ended: only Poll may notice it.
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_EQ(job.IsPending(), 1);
  EXPECT_EQ(job.HaveResults(), 0);
  EXPECT_EQ(job.Failed(), 0);
  job.Poll();
  EXPECT_EQ(job.IsPending(), 0);
  EXPECT_EQ(job.HaveResults(), 1);

  AnlDrvJob due;
  due.Create(job.BaseName());
  std::filesystem::remove(dir / "run" / "case.log");
  const std::time_t soon = std::time(nullptr) + 2;
  due.SetDelayedStart(*std::localtime(&soon));
  ASSERT_EQ(due.Run(), 1);
  while (std::time(nullptr) <= soon) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(due.IsPending(), 1);
  EXPECT_FALSE(std::filesystem::exists(dir / "run" / "case.log")) << "a query never starts the solver";
  due.Poll();
  EXPECT_TRUE(std::filesystem::exists(dir / "run" / "case.log")) << "a poll starts it once its time has come";
  EXPECT_EQ(due.Wait(), 1);
}

// Two stacked unit cubes of steel standing on four restrained corners, pushed sideways at the top.
// Node 1 (0,0,0) and node 3 (1,1,0) are opposite corners of the base.
constexpr const char* kCubes = R"(*NODE, NSET=NALL
1,0,0,0
2,1,0,0
3,1,1,0
4,0,1,0
5,0,0,1
6,1,0,1
7,1,1,1
8,0,1,1
9,0,0,2
10,1,0,2
11,1,1,2
12,0,1,2
*ELEMENT, TYPE=C3D8, ELSET=EALL
1,1,2,3,4,5,6,7,8
2,5,6,7,8,9,10,11,12
*MATERIAL, NAME=M
*ELASTIC
2e11,0.3
*DENSITY
7800
*SOLID SECTION, ELSET=EALL, MATERIAL=M
*STEP
*STATIC
*BOUNDARY
1,1,3,0
2,1,3,0
3,1,3,0
4,1,3,0
*CLOAD
11,1,1000
12,2,500
10,3,-2000
)";

TEST_F(JobTest, AStaticSolveWhoseSupportsDoNotBalanceItsLoadsFails) {
  // Each script runs the solver, then damages its results file as a faulty solve would.
  const std::string forces = "/ -4  FORC/,/^ -3/";
  struct Row {
    const char* name;
    std::string extra;   // deck lines of the step
    std::string edit;    // sed program on the results file; empty: left alone
    const char* logged;  // empty: the solve passes
    const char* model;   // deck lines before the step
  };
  const Row rows[] = {
      {"an untouched solve", "", "", "", ""},
      {"gravity is not checked", "*DLOAD\nEALL,GRAV,9.81,0,0,-1\n", forces + "s/^( -1 {9}1.{24}).{12}/\\1 9.99999E+05/",
       "", ""},
      {"temperatures are not checked", "*TEMPERATURE\n1,400\n", forces + "s/^( -1 {9}1.{24}).{12}/\\1 9.99999E+05/", "",
       "*INITIAL CONDITIONS, TYPE=TEMPERATURE\n1,300\n"},
      {"a support force changed", "", forces + "s/^( -1 {9}1.{24}).{12}/\\1 9.99999E+05/", "do not balance the loads",
       ""},
      {"two support forces swapped", "",
       forces + "{s/^ -1 {9}1/ -1         X/;s/^ -1 {9}3/ -1         1/;s/^ -1 {9}X/ -1         3/}",
       "do not balance the moment", ""},
      {"a support force missing", "", forces + "{/^ -1 {9}2/d}", "no force at the restrained node 2", ""},
      {"a displacement that is not a number under gravity", "*DLOAD\nEALL,GRAV,9.81,0,0,-1\n",
       "/ -4  DISP/,/^ -3/s/^( -1 {8}12).{12}/\\1         nan/", "not a finite number (node 12", ""},
      {"a displacement that is not a number", "", "/ -4  DISP/,/^ -3/s/^( -1 {8}12).{12}/\\1         nan/",
       "not a finite number (node 12", ""},
  };
  for (const Row& r : rows) {
    std::string deck = kCubes;
    deck.insert(deck.find("*STEP"), r.model);
    std::ofstream(dir / "run" / "case.inp") << deck << "*NODE FILE\nU,RF\n" << std::string(r.extra) << "*END STEP\n";
    std::string script = "ccx -i $2 || exit $?";
    if (!r.edit.empty()) script += "; sed -E '" + r.edit + "' $2.frd > $2.tmp && mv $2.tmp $2.frd";
    Solver(script);
    AnlDrvJob one;
    one.Create(job.BaseName());
    ASSERT_EQ(one.Run(), 1) << r.name;
    const bool passes = std::string(r.logged).empty();
    EXPECT_EQ(one.Wait(), passes ? 1 : 0) << r.name << ": " << Log();
    EXPECT_EQ(one.GetErrMsgNum(), passes ? AnlJob::kErrNone : AnlJob::kErrUnbalanced) << r.name;
    if (!passes) {
      EXPECT_NE(Log().find(r.logged), std::string::npos) << r.name << ": " << Log();
    }
  }
}

TEST_F(JobTest, EveryBadEndingLeavesTheJobFailedWithItsReason) {
  struct Row {
    const char* script;
    int error;
    const char* logged;
  };
  const Row rows[] = {
      {"echo '*ERROR in calinput: unknown keyword'; exit 201", AnlJob::kErrSolver, "exit code 201"},
      {"echo '*ERROR reading the deck'; printf ' 9999\\n' > $2.frd", AnlJob::kErrSolver, "reported an error"},
      {"echo done", AnlJob::kErrNoResults, "no complete results file"},
      {"printf '    1C\\n -1' > $2.frd", AnlJob::kErrNoResults, "no complete results file"},
      {"kill -9 $$", AnlJob::kErrSolver, "signal 9"},
  };
  for (const Row& r : rows) {
    Solver(r.script);
    AnlDrvJob one;
    one.Create(job.BaseName());
    ASSERT_EQ(one.Run(), 1) << r.script;
    EXPECT_EQ(one.Wait(), 0) << r.script;
    EXPECT_EQ(one.Failed(), 1) << r.script;
    EXPECT_EQ(one.HaveResults(), 0) << r.script;
    EXPECT_EQ(one.GetErrMsgNum(), r.error) << r.script;
    EXPECT_NE(Log().find(r.logged), std::string::npos) << r.script << ": " << Log();
  }
}

TEST_F(JobTest, AMissingSolverProgramFailsTheJob) {
  CaeConfig::SetValue(CaeString("Solver Program"), CaeString((dir / "no-such-solver").string()), 0);
  job.Run();
  EXPECT_EQ(job.Wait(), 0);
  EXPECT_EQ(job.GetErrMsgNum(), AnlJob::kErrNotStarted);
  EXPECT_TRUE(Logged(1, "could not be run"));
}

TEST_F(JobTest, PollingNeverWaitsAndTheInterruptStopsTheSolver) {
  Solver(std::string("sleep 30; ") + kGoodRun);
  CaeInterupt interrupt;
  CaeInterupt::SetCurrent(&interrupt);
  interrupt.Initialize();
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(job.Run(), 1);
  EXPECT_EQ(job.IsPending(), 1);
  EXPECT_EQ(job.HaveResults(), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << "Run and polls return at once";
  interrupt.Cancel();
  job.Poll();
  EXPECT_EQ(job.IsPending(), 0);
  EXPECT_EQ(job.Failed(), 1);
  EXPECT_EQ(job.GetErrMsgNum(), AnlJob::kErrCancelled);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_FALSE(std::filesystem::exists(dir / "run" / "case.frd"));
  CaeInterupt::SetCurrent(nullptr);
}

TEST_F(JobTest, DestroyingARunningJobStopsItsSolver) {
  Solver(std::string("sleep 30; ") + kGoodRun);
  const auto start = std::chrono::steady_clock::now();
  {
    AnlDrvJob running;
    running.Create(job.BaseName());
    ASSERT_EQ(running.Run(), 1);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_FALSE(std::filesystem::exists(dir / "run" / "case.frd"));
}

TEST_F(JobTest, DeckOnlyAndDelayedStartAreExecutionModes) {
  Solver(kGoodRun);
  job.SetWriteDeckOnly(1);
  EXPECT_EQ(job.Run(), 1);
  EXPECT_EQ(job.GetStatus(), AnlStatusNew);
  EXPECT_EQ(job.IsPending(), 0);
  EXPECT_FALSE(std::filesystem::exists(dir / "run" / "case.log")) << "no solver ran";

  AnlDrvJob later, due;
  later.Create(job.BaseName());
  std::time_t inAnHour = std::time(nullptr) + 3600;
  later.SetDelayedStart(*std::localtime(&inAnHour));
  EXPECT_EQ(later.Run(), 1);
  EXPECT_EQ(later.IsPending(), 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  later.Check();
  EXPECT_FALSE(std::filesystem::exists(dir / "run" / "case.log")) << "not started before its time";

  due.Create(job.BaseName());
  std::time_t past = std::time(nullptr) - 1;
  due.SetDelayedStart(*std::localtime(&past));
  EXPECT_EQ(due.Run(), 1);
  EXPECT_EQ(due.Wait(), 1);
}

TEST_F(JobTest, CleanUpRemovesTheJobsFiles) {
  // The solver's equation solver leaves its log under a fixed name in the folder it ran in.
  Solver(std::string("touch $2.sta $2.dat spooles.out; ") + kGoodRun);
  std::ofstream(dir / "run" / "case.inp") << "*NODE\n";
  job.Run();
  ASSERT_EQ(job.Wait(), 1);
  ASSERT_TRUE(std::filesystem::exists(dir / "run" / "spooles.out"));
  EXPECT_EQ(job.CleanUp(), 4);
  for (const char* ext : {".inp", ".frd", ".dat", ".log", ".sta"})
    EXPECT_FALSE(std::filesystem::exists(dir / "run" / (std::string("case") + ext))) << ext;
  EXPECT_FALSE(std::filesystem::exists(dir / "run" / "spooles.out"));
}

}  // namespace
