// A set of named parameters, each defined by an expression over other parameters ("W = L/5").
//
// A part has its own set; a drawing has one global set whose scope is "Designer", shared by all its
// parts. A part's set looks names up in itself first and then in its outer (global) set; global
// parameters see only each other.
//
// Every change is checked as a whole before it is kept: an expression that does not parse, refers to
// an unknown name, refers to itself directly or through other parameters (a cycle), or evaluates to a
// non-finite number is refused with a KernelError and the set is left exactly as it was.
#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "mcadkernel/expression.h"

namespace mcadkernel {

class ParameterSet {
 public:
  // scope: "Designer" for the global set, the part's name for a part's own set. The outer set, when
  // given, must outlive this one.
  explicit ParameterSet(std::string scope, const ParameterSet* outer = nullptr);

  const std::string& scope() const { return scope_; }
  const ParameterSet* outer() const { return outer_; }

  // Defines or redefines several parameters in one step (the order among them does not matter, so
  // "W = L/5" may come before "L = 100"). All or nothing.
  void define(const std::vector<std::pair<std::string, std::string>>& definitions);

  // Defines or redefines one parameter from expression text.
  void define(const std::string& name, const std::string& expressionText);

  // Makes an existing parameter a plain number (its expression becomes that number).
  void setValue(const std::string& name, double value);

  // Removes a parameter; refused while another parameter of this set refers to it.
  void remove(const std::string& name);

  bool contains(const std::string& name) const;

  // Names in order of first definition.
  std::vector<std::string> names() const;

  // The current value and expression text; throw KernelError for an unknown name.
  double value(const std::string& name) const;
  const std::string& expressionText(const std::string& name) const;

  // Looks a name up here, then in the outer set; nullopt when neither has it. Values of the outer set
  // are read as they are now.
  std::optional<double> lookup(const std::string& name) const;

  // The names a parameter's expression refers to (direct dependencies, in order of appearance).
  std::vector<std::string> dependencies(const std::string& name) const;

  // The parameters of this set whose expressions refer to name directly, in definition order.
  std::vector<std::string> users(const std::string& name) const;

  // Names in an order where each parameter comes after every parameter of this set it refers to.
  std::vector<std::string> evaluationOrder() const;

  // Evaluates an expression against this set (and its outer set).
  double evaluate(const Expression& expression) const;

  // Recomputes every value from the expressions (after the outer set changed). Throws KernelError
  // and changes nothing when a value can no longer be computed.
  void reevaluate();

  // Counts every successful change, so that dependants can tell whether they are out of date.
  std::uint64_t revision() const { return revision_; }

 private:
  struct Parameter {
    Expression expression;
    double value = 0.0;
    int order = 0;  // definition order
  };
  const Parameter& find(const std::string& name) const;
  void checkAndEvaluate(std::map<std::string, Parameter>& parameters, const std::vector<std::string>& changed) const;

  std::string scope_;
  const ParameterSet* outer_;
  std::map<std::string, Parameter> parameters_;
  int nextOrder_ = 0;
  std::uint64_t revision_ = 0;
};

}  // namespace mcadkernel
