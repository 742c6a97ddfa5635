// A shape optimisation run whose optimiser works on a thread of its own, so that starting it
// returns at once. NLopt's callbacks block until a design is evaluated; the worker hands each
// cycle's designs to the host's thread, which evaluates them when it polls: only the host's
// thread touches the drawing and the part modeller (and hears of each recorded cycle).
#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "fea/OptRun.h"

class OptBackgroundRun {
 public:
  explicit OptBackgroundRun(std::unique_ptr<OptShapeRun> run);
  // Stops a run still going (its pending design answered as failed) and waits for the worker.
  ~OptBackgroundRun();
  OptBackgroundRun(const OptBackgroundRun&) = delete;
  OptBackgroundRun& operator=(const OptBackgroundRun&) = delete;

  // Starts the optimiser on its worker and returns at once. `evaluator` is called on the host's
  // thread only, from Poll; it must outlive the run.
  void Start(OptDesignEvaluator& evaluator);
  // On the host's thread: delivers recorded cycles, evaluates a design waiting for it, and answers
  // whether the run has ended. A poll that finds the evaluator interrupted stops the run.
  bool Poll();
  // Ends the run at its next cycle (interrupt, drawing closed, add-in unloaded).
  void Stop();
  bool Ended() const;
  // The run, to be read once it has ended.
  const OptShapeRun& Run() const { return *run_; }

 private:
  class Proxy;
  struct Request {
    std::vector<std::vector<double>> designs;
    bool withSteps = true;
  };

  std::unique_ptr<OptShapeRun> run_;
  std::unique_ptr<Proxy> proxy_;
  OptDesignEvaluator* host_ = nullptr;
  std::thread worker_;
  mutable std::mutex mutex_;
  std::condition_variable answered_;
  bool pending_ = false;
  bool stop_ = false;
  bool ended_ = false;
  Request request_;
  std::vector<OptEvaluation> answer_;
  bool hasAnswer_ = false;
  std::deque<OptCycle> cycles_;
};
