// CaeProgress: the engine's one progress control, which hands progress commands to the function
// the application installs.
//
// Codes: 0 open (argument: CaeString* title), 2 close, 4 enable Cancel, 6 show Cancel, 7 show
// activity, 8 activity count, 9 next activity (argument: CaeString* text), 10 activity percent,
// 12 overall percent, 14 wait (milliseconds), 15 query cancel, 16 pump, 17 iteration caption. For
// every code but 0 and 9 the argument points to an int; a null argument reads as 0.
#pragma once
#include "amg/CaeString.h"

class CaeProgress {
 public:
  enum Code {
    kOpen = 0,
    kClose = 2,
    kEnableCancel = 4,
    kShowCancel = 6,
    kShowActivity = 7,
    kActivityCount = 8,
    kNextActivity = 9,
    kActivityPercent = 10,
    kOverallPercent = 12,
    kWait = 14,
    kQueryCancel = 15,
    kPump = 16,
    kIterationCaption = 17,
  };
  using ControlFunction = int (*)(int code, void* arg);

  static CaeProgress* GetProgressControl();

  // Installs the function (null removes it); returns the previous one.
  ControlFunction SetControlFunction(ControlFunction function);
  ControlFunction GetControlFunction() const { return function_; }
  // Calls the function with the code and argument; 0 when none is installed.
  int DoProgressCommand(int code, void* arg = nullptr);
  int DoProgressCommand(int code, int value);
  int DoProgressCommand(int code, const CaeString& text);

 private:
  CaeProgress() = default;
  ControlFunction function_ = nullptr;
};
