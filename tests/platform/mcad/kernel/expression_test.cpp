#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "mcadkernel/error.h"
#include "mcadkernel/expression.h"

using mcadkernel::Expression;
using mcadkernel::KernelError;

namespace {

std::optional<double> sampleValues(const std::string& name) {
  static const std::map<std::string, double> values = {{"L", 100}, {"W", 20}, {"_t2", 3}};
  auto it = values.find(name);
  if (it == values.end()) return std::nullopt;
  return it->second;
}

TEST(Expression, EvaluatesTableOfCases) {
  struct Case {
    const char* text;
    double expected;
  };
  const Case cases[] = {
      {"42", 42},
      {"1.5e3", 1500},
      {".5", 0.5},
      {"L/5", 20},
      {"L - W - 10", 70},
      {"2 + 3 * 4", 14},
      {"(2 + 3) * 4", 20},
      {"2 ^ 3 ^ 2", 512},  // right-associative
      {"-2^2", -4},        // unary minus binds looser than ^
      {"2^-1", 0.5},
      {"--3", 3},
      {"+W", 20},
      {"L / W / 5", 1},  // left-associative
      {"sqrt(W*W + 21*21)", 29},
      {"sin(30)", 0.5},  // degrees
      {"cos(60)", 0.5},
      {"tan(45)", 1},
      {"atan(1)", 45},
      {"asin(0.5)", 30},
      {"min(L, W, _t2)", 3},
      {"max(L, 2*L)", 200},
      {"abs(W - L)", 80},
      {"  L\t*\t2 ", 200},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Expression e = Expression::parse(c.text);
    EXPECT_NEAR(e.evaluate(sampleValues), c.expected, 1e-12);
  }
}

TEST(Expression, RefusesTextThatDoesNotParse) {
  struct Case {
    const char* text;
    const char* fragment;  // expected in the message
  };
  const Case cases[] = {
      {"", "expected a number, a name or '('"},
      {"L/", "expected a number, a name or '(' at position 3"},
      {"(L", "expected ')'"},
      {"L)", "unexpected ')'"},
      {"2 3", "unexpected '3'"},
      {"1.2.3", "unexpected '.'"},
      {"3L", "malformed number"},
      {"1,5", "unexpected ','"},
      {"foo(2)", "unknown function 'foo'"},
      {"sqrt(1, 2)", "wrong number of arguments to 'sqrt'"},
      {"min(1)", "wrong number of arguments to 'min'"},
      {"L $ 2", "unexpected '$'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    try {
      Expression::parse(c.text);
      ADD_FAILURE() << "accepted";
    } catch (const KernelError& e) {
      EXPECT_NE(std::string(e.what()).find(c.fragment), std::string::npos) << e.what();
    }
  }
}

TEST(Expression, RefusesValuesThatCannotBeComputed) {
  struct Case {
    const char* text;
    const char* fragment;
  };
  const Case cases[] = {
      {"L / (W - 20)", "division by zero"}, {"sqrt(-1)", "sqrt is not defined"},
      {"asin(2)", "asin is not defined"},   {"(-8) ^ 0.5", "not a finite number"},
      {"10 ^ 400", "not a finite number"},  {"Missing + 1", "unknown parameter 'Missing'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Expression e = Expression::parse(c.text);
    try {
      e.evaluate(sampleValues);
      ADD_FAILURE() << "computed";
    } catch (const KernelError& error) {
      EXPECT_NE(std::string(error.what()).find(c.fragment), std::string::npos) << error.what();
    }
  }
}

TEST(Expression, ListsReferencesOnceInOrderOfAppearance) {
  Expression e = Expression::parse("W + L*W - sqrt(H) + max(L, H)");
  EXPECT_EQ(e.references(), (std::vector<std::string>{"W", "L", "H"}));
  EXPECT_TRUE(Expression::parse("sin(30) + 2").references().empty());
}

TEST(Expression, ConstantsReadBackToTheSameNumber) {
  // Part files store values set from numbers as text; the text must give back the very same double.
  for (double value : {0.1, 1.0 / 3.0, -2.5e10, 1e-300, 123456789.125, 0.0}) {
    SCOPED_TRACE(value);
    Expression e = Expression::constant(value);
    EXPECT_EQ(e.evaluate({}), value);
    EXPECT_EQ(Expression::parse(e.text()).evaluate({}), value);
  }
  EXPECT_EQ(Expression::constant(0.1).text(), "0.1");
}

}  // namespace
