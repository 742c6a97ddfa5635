// Solver jobs: the child process, its polling, and every way a run can end. A small shell script
// stands in for the solver so that each ending can be made on purpose.
#include <sys/stat.h>

#include <chrono>
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
  Solver(std::string("touch $2.sta $2.dat; ") + kGoodRun);
  std::ofstream(dir / "run" / "case.inp") << "*NODE\n";
  job.Run();
  ASSERT_EQ(job.Wait(), 1);
  EXPECT_EQ(job.CleanUp(), 4);
  for (const char* ext : {".inp", ".frd", ".dat", ".log", ".sta"})
    EXPECT_FALSE(std::filesystem::exists(dir / "run" / (std::string("case") + ext))) << ext;
}

}  // namespace
