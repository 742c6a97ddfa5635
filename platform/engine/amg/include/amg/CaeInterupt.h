// CaeInterupt: the cancel flag that the engine's long operations poll.
//
// One interrupt object is current (not owned by the engine); destroying it unsets it. Cancel() may
// be called from any thread. Initialize() clears an earlier cancel request at the start of an
// operation; Close() marks the operation ended and keeps the request readable.
#pragma once
#include <atomic>

class CaeInterupt {
 public:
  CaeInterupt() = default;
  CaeInterupt(const CaeInterupt&) = delete;
  CaeInterupt& operator=(const CaeInterupt&) = delete;
  virtual ~CaeInterupt();

  // Makes `interrupt` current (null unsets); returns the previous one.
  static CaeInterupt* SetCurrent(CaeInterupt* interrupt);
  static CaeInterupt* GetCurrent();
  // The current object's cancel state; 0 when none is current.
  static int Poll();

  virtual void Initialize();
  // 1 when a cancel was requested since the last Initialize, else 0.
  virtual int Check() const;
  virtual void Cancel();
  virtual void Close();
  bool IsRunning() const { return running_; }

 private:
  std::atomic<bool> cancelled_{false};
  std::atomic<bool> running_{false};
};
