// The one error type of the part kernel.
//
// Every operation that refuses input (a bad expression, a cycle, a feature that cannot be built, a
// bad line in a part file) throws KernelError with a message meant for the person who typed or wrote
// the input, and leaves the object it was called on exactly as it was before the call.
#pragma once
#include <stdexcept>
#include <string>
#include <utility>

namespace mcadkernel {

class KernelError : public std::runtime_error {
 public:
  explicit KernelError(const std::string& message) : std::runtime_error(message) {}
};

// A refusal caused by one parameter's definition (bad expression, unknown name, cycle).
class ParameterError : public KernelError {
 public:
  ParameterError(std::string parameter, const std::string& message)
      : KernelError(message), parameter_(std::move(parameter)) {}
  const std::string& parameter() const { return parameter_; }

 private:
  std::string parameter_;
};

// A refusal caused by one feature (bad dimension, geometry that cannot be built).
class FeatureError : public KernelError {
 public:
  FeatureError(std::string feature, const std::string& message) : KernelError(message), feature_(std::move(feature)) {}
  const std::string& feature() const { return feature_; }

 private:
  std::string feature_;
};

}  // namespace mcadkernel
