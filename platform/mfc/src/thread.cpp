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
  std::atomic<bool> ended{false};
};

CWinThread::~CWinThread() { delete state_; }

bool CWinThread::ended() const { return state_ && state_->ended; }

CWinThread* AfxBeginThread(AFX_THREADPROC proc, void* param, int, UINT, DWORD, void*) {
  auto* thread = new CWinThread;
  thread->state_ = new CWinThread::State;
  {
    std::lock_guard lock(workersMutex);
    ++workersRunning;
  }
  std::thread([thread, proc, param] {
    DWORD code = 0;
    try {
      code = proc(param);
    } catch (const std::exception& e) {
      mfc::log(std::string("worker thread ended by an exception: ") + e.what());
    } catch (...) {
      mfc::log("worker thread ended by an exception");
    }
    thread->m_exitCode = code;
    if (thread->m_bAutoDelete) delete thread;
    else thread->state_->ended = true;
    {
      std::lock_guard lock(workersMutex);
      --workersRunning;
    }
    workersChanged.notify_all();
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
