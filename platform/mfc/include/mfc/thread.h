// Worker threads. A worker changes windows only through messages (PostMessage, or SendMessage,
// which waits until the window's thread handles it, also while that thread runs a modal loop).
// An exception that leaves a worker's function is logged and ends that worker only.
#pragma once
#include "mfc/wintypes.h"

using AFX_THREADPROC = UINT (*)(void* param);

enum : int { THREAD_PRIORITY_NORMAL = 0 };
enum : DWORD { CREATE_SUSPENDED = 0x4 };

class CWinThread {
 public:
  CWinThread() = default;
  virtual ~CWinThread();
  CWinThread(const CWinThread&) = delete;
  CWinThread& operator=(const CWinThread&) = delete;
  // Deleted by the toolkit when the thread ends (the default), or by the caller, once ended(),
  // when FALSE. Read once, when the worker is released: a caller that wants FALSE starts the
  // thread with CREATE_SUSPENDED and sets it before ResumeThread.
  BOOL m_bAutoDelete = TRUE;
  // Exit code once the thread has ended.
  DWORD m_exitCode = 0;
  bool ended() const;
  // Releases a thread started with CREATE_SUSPENDED; returns the previous suspend count
  // (0: it was running already).
  DWORD ResumeThread();

 private:
  friend CWinThread* AfxBeginThread(AFX_THREADPROC, void*, int, UINT, DWORD, void*);
  struct State;
  State* state_ = nullptr;
};

// Starts `proc(param)` on a new thread; with CREATE_SUSPENDED it waits for ResumeThread. Other
// creation flags and the stack size are accepted and ignored.
CWinThread* AfxBeginThread(AFX_THREADPROC proc, void* param, int priority = THREAD_PRIORITY_NORMAL, UINT stackSize = 0,
                           DWORD flags = 0, void* security = nullptr);
