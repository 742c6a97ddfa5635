// Codes of the messages the core itself reports (their texts are in the engine's message table).
#pragma once
#include <cstdint>

namespace amg_msg {
constexpr std::uint32_t kConfigBadLine = 0x80002001;      // %1 file, %2 line number, %3 line
constexpr std::uint32_t kConfigWriteFailed = 0x80002002;  // %1 file, %2 reason
constexpr std::uint32_t kConfigNoFolder = 0x80002003;     // %1 file
constexpr std::uint32_t kUnknownUnitType = 0x80002004;    // %1 type
constexpr std::uint32_t kUnitMismatch = 0x80002005;       // %1 unit, %2 type
constexpr std::uint32_t kUnknownUnitId = 0x80002006;      // %1 unit id
}  // namespace amg_msg
