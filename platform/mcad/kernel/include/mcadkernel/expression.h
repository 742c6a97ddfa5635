// Arithmetic expressions over named parameters, as written in parameter definitions and feature
// dimensions ("L/5", "max(W, 2*T) + 1", "-D^2").
//
// Grammar (whitespace is free):
//   sum     := product (('+' | '-') product)*
//   product := unary (('*' | '/') unary)*
//   unary   := ('-' | '+') unary | power
//   power   := primary ('^' unary)?          right-associative; -2^2 is -4
//   primary := number | name | name '(' sum (',' sum)* ')' | '(' sum ')'
// Numbers use '.' as the decimal separator and may have an exponent ("1.5e3"), whatever the locale.
// Names start with a letter or '_' and go on with letters, digits and '_'; they are case-sensitive.
// Functions: sqrt, abs, sin, cos, tan (argument in degrees), asin, acos, atan (result in degrees),
// min and max (two or more arguments).
#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace mcadkernel {

struct ExpressionNode;

class Expression {
 public:
  // Looks up the value of a referenced name; nullopt when the name is unknown.
  using Lookup = std::function<std::optional<double>(const std::string&)>;

  // An expression that is the constant 0 (source text "0").
  Expression();

  // Parses text. Throws KernelError naming the position and what was expected when the text does not
  // parse, or when a function is unknown or called with the wrong number of arguments.
  static Expression parse(const std::string& text);

  // The constant value, written back in the shortest form that reads back to the same double.
  static Expression constant(double value);

  // The text as given to parse (or written by constant).
  const std::string& text() const { return text_; }

  // The distinct names the expression refers to, in order of first appearance.
  const std::vector<std::string>& references() const { return references_; }

  // Evaluates with the given lookup. Throws KernelError for an unknown name, a division by zero, or a
  // result that is not a finite number (sqrt of a negative number, asin(2), overflow ...).
  double evaluate(const Lookup& lookup) const;

 private:
  std::string text_;
  std::shared_ptr<const ExpressionNode> root_;  // immutable, so copies may share it
  std::vector<std::string> references_;
};

// Formats a double in the "C" locale, shortest form that reads back to the same value.
std::string formatNumber(double value);

// True when text is a valid parameter or feature name (a letter or '_', then letters, digits, '_').
bool isValidName(const std::string& text);

}  // namespace mcadkernel
