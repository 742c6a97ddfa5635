// CaeStamp: visit marks for walks over graphs of engine objects.
//
// CaeStamp::New() starts a new process-wide generation; a stamp Set() during a generation Test()s
// true until the next New(). A new stamp tests false. Generations only grow, so stamps never test
// true by accident after an engine reset.
#pragma once
#include <cstdint>

class CaeStamp {
 public:
  CaeStamp() = default;

  static void New();
  static std::uint64_t CurrentGeneration();

  void Set();
  bool Test() const;

 private:
  std::uint64_t generation_ = 0;
};
