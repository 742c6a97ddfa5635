// One way for our own code to say "this failed, here is why": a value or a Problem.
// Readers, the study tool, the part kernel and the mesher return Result<T>; the engine classes
// keep raising CaeExcept where their contract says they raise.
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace kestrum {

// What went wrong, and for a file where: the file and its line (0 when no line applies).
struct Problem {
  std::string message;
  std::string file;
  int line = 0;

  // "file:line: message", "file: message" or just the message, as much as is known.
  std::string Describe() const {
    std::string where = file;
    if (line > 0) where += (where.empty() ? "line " : ":") + std::to_string(line);
    return where.empty() ? message : where + ": " + message;
  }
};

// A T, or the Problem that kept it from being made.
template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
  Result(Problem problem) : state_(std::in_place_index<1>, std::move(problem)) {}

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }

  T& value() & { return std::get<0>(state_); }
  const T& value() const& { return std::get<0>(state_); }
  T&& value() && { return std::get<0>(std::move(state_)); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }

  const Problem& problem() const { return std::get<1>(state_); }

 private:
  std::variant<T, Problem> state_;
};

// Success with nothing to hand back.
struct Done {};
using Status = Result<Done>;
inline Status Ok() { return Done{}; }

}  // namespace kestrum
