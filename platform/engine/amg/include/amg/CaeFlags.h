// CaeFlags: a 32-bit flag word (output requests and the like), and CaeOnOff.
#pragma once
#include <cstdint>

class CaeFlags {
 public:
  constexpr CaeFlags() = default;
  constexpr explicit CaeFlags(std::uint32_t bits) : bits_(bits) {}

  // Sets, clears or tests the bits of `mask` (for example 1, 2, 4, 8, 128).
  void Set(std::uint32_t mask) { bits_ |= mask; }
  void Clear(std::uint32_t mask) { bits_ &= ~mask; }
  bool IsSet(std::uint32_t mask) const { return (bits_ & mask) == mask && mask != 0; }
  void ClearAll() { bits_ = 0; }
  std::uint32_t Value() const { return bits_; }
  void SetValue(std::uint32_t bits) { bits_ = bits; }
  bool operator==(const CaeFlags& o) const { return bits_ == o.bits_; }

 private:
  std::uint32_t bits_ = 0;
};

// The engine's switch type: note that on is 0 and off is 1.
enum CaeOnOff : int { CaeOn = 0, CaeOff = 1 };
