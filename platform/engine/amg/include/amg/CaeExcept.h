// CaeExcept: the only exception type the engine raises.
//
// Raised after every level-2 message (CaeMsgCall::Message) and by engine operations that cannot go
// on. String() is the message text as the message routine received it; Code() is the message code
// (0 when the exception was not raised by a message).
#pragma once
#include <cstdint>
#include <exception>

#include "amg/CaeString.h"

class CaeExcept : public std::exception {
 public:
  explicit CaeExcept(CaeString text, std::uint32_t code = 0) : text_(std::move(text)), code_(code) {}

  const CaeString& String() const { return text_; }
  std::uint32_t Code() const { return code_; }
  const char* what() const noexcept override { return text_.Text(); }

 private:
  CaeString text_;
  std::uint32_t code_;
};
