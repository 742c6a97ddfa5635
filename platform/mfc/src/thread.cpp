#include "mfc/thread.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#include "mfc/log.h"
#include "mfc/winapi.h"

namespace {

std::mutex workersMutex;
std::condition_variable workersChanged;
int workersRunning = 0;

}  // namespace

struct CWinThread::State {
  std::mutex mutex;
  std::condition_variable released;
  DWORD suspendCount = 0;
  bool autoDelete = true;  // m_bAutoDelete as it was when the worker was released
  std::atomic<bool> ended{false};
};

CWinThread::~CWinThread() { delete state_; }

bool CWinThread::ended() const { return state_ && state_->ended; }

DWORD CWinThread::ResumeThread() {
  std::lock_guard lock(state_->mutex);
  DWORD previous = state_->suspendCount;
  if (previous > 0 && --state_->suspendCount == 0) {
    state_->autoDelete = m_bAutoDelete;
    state_->released.notify_all();
  }
  return previous;
}

CWinThread* AfxBeginThread(AFX_THREADPROC proc, void* param, int, UINT, DWORD flags, void*) {
  auto* thread = new CWinThread;
  thread->state_ = new CWinThread::State;
  CWinThread::State* state = thread->state_;
  state->suspendCount = (flags & CREATE_SUSPENDED) ? 1 : 0;
  state->autoDelete = thread->m_bAutoDelete;
  {
    std::lock_guard lock(workersMutex);
    ++workersRunning;
  }
  // The worker never reads m_bAutoDelete itself: the caller may be writing it.
  std::thread([thread, state, proc, param] {
    bool autoDelete;
    {
      std::unique_lock lock(state->mutex);
      state->released.wait(lock, [state] { return state->suspendCount == 0; });
      autoDelete = state->autoDelete;
    }
    DWORD code = 0;
    try {
      code = proc(param);
    } catch (const std::exception& e) {
      mfc::log(std::string("worker thread ended by an exception: ") + e.what());
    } catch (...) {
      mfc::log("worker thread ended by an exception");
    }
    thread->m_exitCode = code;
    if (autoDelete)
      delete thread;
    else
      state->ended = true;
    {
      std::lock_guard lock(workersMutex);
      --workersRunning;
      // Under the lock: a waiter that sees no worker left may end the process, and with it this
      // condition variable, as soon as it has the lock.
      workersChanged.notify_all();
    }
  }).detach();
  return thread;
}

namespace mfc {

int runningWorkerThreads() {
  std::lock_guard lock(workersMutex);
  return workersRunning;
}

bool waitForWorkerThreads(int timeoutMs) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (runningWorkerThreads() > 0) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    pumpMessages();
    waitForMessage(5);
  }
  pumpMessages();
  return true;
}

}  // namespace mfc
