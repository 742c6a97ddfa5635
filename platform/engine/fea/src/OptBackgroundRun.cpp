// The optimiser on a worker thread, its designs evaluated on the host's.
#include "fea/OptBackgroundRun.h"

// The evaluator the optimiser sees on the worker: each call waits for the host's answer.
class OptBackgroundRun::Proxy : public OptDesignEvaluator {
 public:
  Proxy(OptBackgroundRun& owner, bool canStep) : owner_(owner), canStep_(canStep) {}

  std::vector<OptEvaluation> Evaluate(const std::vector<std::vector<double>>& designs, bool withSteps) override {
    std::unique_lock lock(owner_.mutex_);
    if (owner_.stop_) return Stopped(designs.size());
    owner_.request_ = {designs, withSteps};
    owner_.pending_ = true;
    owner_.hasAnswer_ = false;
    owner_.answered_.wait(lock, [this] { return owner_.hasAnswer_ || owner_.stop_; });
    owner_.pending_ = false;
    if (!owner_.hasAnswer_) return Stopped(designs.size());
    owner_.hasAnswer_ = false;
    return std::move(owner_.answer_);
  }
  bool CanStep() const override { return canStep_; }
  bool Interrupted() override {
    std::lock_guard lock(owner_.mutex_);
    return owner_.stop_;
  }
  void CycleDone(const OptCycle& cycle) override {
    std::lock_guard lock(owner_.mutex_);
    owner_.cycles_.push_back(cycle);
  }

 private:
  static std::vector<OptEvaluation> Stopped(std::size_t count) {
    std::vector<OptEvaluation> out(count);
    for (OptEvaluation& e : out) e.reason = "the run was stopped";
    return out;
  }
  OptBackgroundRun& owner_;
  bool canStep_;
};

OptBackgroundRun::OptBackgroundRun(std::unique_ptr<OptShapeRun> run) : run_(std::move(run)) {}

OptBackgroundRun::~OptBackgroundRun() {
  Stop();
  if (worker_.joinable()) worker_.join();
}

void OptBackgroundRun::Start(OptDesignEvaluator& evaluator) {
  if (worker_.joinable()) return;
  host_ = &evaluator;
  proxy_ = std::make_unique<Proxy>(*this, evaluator.CanStep());
  worker_ = std::thread([this] {
    run_->Run(*proxy_);
    std::lock_guard lock(mutex_);
    ended_ = true;
  });
}

bool OptBackgroundRun::Poll() {
  if (!host_) return true;
  std::deque<OptCycle> done;
  Request request;
  bool evaluate = false;
  {
    std::lock_guard lock(mutex_);
    done.swap(cycles_);
    evaluate = pending_ && !hasAnswer_ && !stop_;
    if (evaluate) request = request_;
  }
  for (const OptCycle& cycle : done) host_->CycleDone(cycle);
  if (host_->Interrupted()) {
    Stop();
  } else if (evaluate) {
    std::vector<OptEvaluation> answer = host_->Evaluate(request.designs, request.withSteps);
    std::lock_guard lock(mutex_);
    answer_ = std::move(answer);
    hasAnswer_ = true;
    answered_.notify_all();
  }
  std::lock_guard lock(mutex_);
  if (!ended_) return false;
  // Cycles recorded after the last poll still reach the host.
  done.swap(cycles_);
  for (const OptCycle& cycle : done) host_->CycleDone(cycle);
  return true;
}

void OptBackgroundRun::Stop() {
  std::lock_guard lock(mutex_);
  stop_ = true;
  answered_.notify_all();
}

bool OptBackgroundRun::Ended() const {
  std::lock_guard lock(mutex_);
  return ended_;
}
