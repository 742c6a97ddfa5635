#include "mcadkernel/expression.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <numbers>

#include "mcadkernel/error.h"

namespace mcadkernel {

struct ExpressionNode {
  enum class Kind { Number, Name, Negate, Binary, Call };
  Kind kind = Kind::Number;
  double number = 0.0;
  std::string name;  // referenced name or function name
  char op = 0;       // for Binary
  std::vector<std::shared_ptr<const ExpressionNode>> args;
};

namespace {

using NodePtr = std::shared_ptr<const ExpressionNode>;

struct FunctionInfo {
  const char* name;
  int minArgs;
  int maxArgs;  // -1: any number from minArgs up
};

constexpr FunctionInfo kFunctions[] = {
    {"sqrt", 1, 1}, {"abs", 1, 1},  {"sin", 1, 1},  {"cos", 1, 1},  {"tan", 1, 1},
    {"asin", 1, 1}, {"acos", 1, 1}, {"atan", 1, 1}, {"min", 2, -1}, {"max", 2, -1},
};

const FunctionInfo* findFunction(const std::string& name) {
  for (const auto& f : kFunctions)
    if (name == f.name) return &f;
  return nullptr;
}

bool isNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool isNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

class Parser {
 public:
  explicit Parser(const std::string& text) : text_(text) {}

  NodePtr parseAll() {
    // Bounded so that parsing, evaluating and freeing the tree stay shallow whatever a file holds.
    if (text_.size() > kMaxLength) fail("longer than " + std::to_string(kMaxLength) + " characters");
    NodePtr root = parseSum();
    skipSpace();
    if (pos_ < text_.size()) fail("unexpected '" + std::string(1, text_[pos_]) + "'");
    return root;
  }

  std::vector<std::string> references;

 private:
  static constexpr std::size_t kMaxLength = 4096;
  static constexpr int kMaxNesting = 100;
  int depth_ = 0;

  [[noreturn]] void fail(const std::string& what) const {
    throw KernelError("expression \"" + text_ + "\": " + what + " at position " + std::to_string(pos_ + 1));
  }

  void skipSpace() {
    while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
  }

  bool accept(char c) {
    skipSpace();
    if (pos_ < text_.size() && text_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }

  static NodePtr binary(char op, NodePtr lhs, NodePtr rhs) {
    auto node = std::make_shared<ExpressionNode>();
    node->kind = ExpressionNode::Kind::Binary;
    node->op = op;
    node->args = {std::move(lhs), std::move(rhs)};
    return node;
  }

  NodePtr parseSum() {
    NodePtr lhs = parseProduct();
    for (;;) {
      if (accept('+'))
        lhs = binary('+', lhs, parseProduct());
      else if (accept('-'))
        lhs = binary('-', lhs, parseProduct());
      else
        return lhs;
    }
  }

  NodePtr parseProduct() {
    NodePtr lhs = parseUnary();
    for (;;) {
      if (accept('*'))
        lhs = binary('*', lhs, parseUnary());
      else if (accept('/'))
        lhs = binary('/', lhs, parseUnary());
      else
        return lhs;
    }
  }

  NodePtr parseUnary() {
    struct Nesting {
      explicit Nesting(Parser& p) : parser(p) {
        if (++parser.depth_ > kMaxNesting) parser.fail("nested more than " + std::to_string(kMaxNesting) + " deep");
      }
      ~Nesting() { --parser.depth_; }
      Parser& parser;
    } nesting(*this);
    if (accept('-')) {
      auto node = std::make_shared<ExpressionNode>();
      node->kind = ExpressionNode::Kind::Negate;
      node->args = {parseUnary()};
      return node;
    }
    if (accept('+')) return parseUnary();
    return parsePower();
  }

  NodePtr parsePower() {
    NodePtr base = parsePrimary();
    if (accept('^')) return binary('^', base, parseUnary());
    return base;
  }

  NodePtr parsePrimary() {
    skipSpace();
    if (pos_ >= text_.size()) fail("expected a number, a name or '('");
    char c = text_[pos_];
    if (c == '(') {
      ++pos_;
      NodePtr inner = parseSum();
      if (!accept(')')) fail("expected ')'");
      return inner;
    }
    if (std::isdigit(static_cast<unsigned char>(c)) || c == '.') return parseNumber();
    if (isNameStart(c)) return parseNameOrCall();
    fail("expected a number, a name or '('");
  }

  NodePtr parseNumber() {
    double value = 0.0;
    const char* begin = text_.data() + pos_;
    const char* end = text_.data() + text_.size();
    auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc() || ptr == begin) fail("malformed number");
    if (ptr < end && isNameChar(*ptr)) fail("malformed number");
    pos_ += static_cast<size_t>(ptr - begin);
    auto node = std::make_shared<ExpressionNode>();
    node->number = value;
    return node;
  }

  NodePtr parseNameOrCall() {
    size_t start = pos_;
    while (pos_ < text_.size() && isNameChar(text_[pos_])) ++pos_;
    std::string name = text_.substr(start, pos_ - start);
    auto node = std::make_shared<ExpressionNode>();
    if (!accept('(')) {
      node->kind = ExpressionNode::Kind::Name;
      node->name = name;
      if (std::find(references.begin(), references.end(), name) == references.end()) references.push_back(name);
      return node;
    }
    const FunctionInfo* function = findFunction(name);
    if (!function) {
      pos_ = start;
      fail("unknown function '" + name + "'");
    }
    node->kind = ExpressionNode::Kind::Call;
    node->name = name;
    do node->args.push_back(parseSum());
    while (accept(','));
    if (!accept(')')) fail("expected ')' or ','");
    int count = static_cast<int>(node->args.size());
    if (count < function->minArgs || (function->maxArgs >= 0 && count > function->maxArgs)) {
      pos_ = start;
      fail("wrong number of arguments to '" + name + "'");
    }
    return node;
  }

  const std::string& text_;
  size_t pos_ = 0;
};

constexpr double kDegree = std::numbers::pi / 180.0;

double callFunction(const std::string& name, const std::vector<double>& a) {
  if (name == "sqrt") return std::sqrt(a[0]);
  if (name == "abs") return std::fabs(a[0]);
  if (name == "sin") return std::sin(a[0] * kDegree);
  if (name == "cos") return std::cos(a[0] * kDegree);
  if (name == "tan") return std::tan(a[0] * kDegree);
  if (name == "asin") return std::asin(a[0]) / kDegree;
  if (name == "acos") return std::acos(a[0]) / kDegree;
  if (name == "atan") return std::atan(a[0]) / kDegree;
  double result = a[0];
  for (double v : a) result = (name == "min") ? std::min(result, v) : std::max(result, v);
  return result;
}

double evaluateNode(const ExpressionNode& node, const Expression::Lookup& lookup, const std::string& text) {
  auto fail = [&](const std::string& what) -> double { throw KernelError("expression \"" + text + "\": " + what); };
  switch (node.kind) {
    case ExpressionNode::Kind::Number: return node.number;
    case ExpressionNode::Kind::Name: {
      std::optional<double> value = lookup ? lookup(node.name) : std::nullopt;
      if (!value) return fail("unknown parameter '" + node.name + "'");
      return *value;
    }
    case ExpressionNode::Kind::Negate: return -evaluateNode(*node.args[0], lookup, text);
    case ExpressionNode::Kind::Binary: {
      double lhs = evaluateNode(*node.args[0], lookup, text);
      double rhs = evaluateNode(*node.args[1], lookup, text);
      switch (node.op) {
        case '+': return lhs + rhs;
        case '-': return lhs - rhs;
        case '*': return lhs * rhs;
        case '/': return rhs == 0.0 ? fail("division by zero") : lhs / rhs;
        default: return std::pow(lhs, rhs);
      }
    }
    case ExpressionNode::Kind::Call: {
      std::vector<double> args;
      for (const auto& arg : node.args) args.push_back(evaluateNode(*arg, lookup, text));
      double result = callFunction(node.name, args);
      if (!std::isfinite(result)) fail(node.name + " is not defined for its argument");
      return result;
    }
  }
  return 0.0;
}

}  // namespace

Expression::Expression() : text_("0"), root_(std::make_shared<const ExpressionNode>()) {}

Expression Expression::parse(const std::string& text) {
  Parser parser(text);
  Expression expression;
  expression.root_ = parser.parseAll();
  expression.text_ = text;
  expression.references_ = std::move(parser.references);
  return expression;
}

Expression Expression::constant(double value) { return parse(formatNumber(value)); }

double Expression::evaluate(const Lookup& lookup) const {
  double value = evaluateNode(*root_, lookup, text_);
  if (!std::isfinite(value)) throw KernelError("expression \"" + text_ + "\": the result is not a finite number");
  return value;
}

std::string formatNumber(double value) {
  char buffer[64];
  auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  (void)ec;  // 64 characters always hold the shortest form of a double
  return std::string(buffer, ptr);
}

bool isValidName(const std::string& text) {
  if (text.empty() || !isNameStart(text[0])) return false;
  for (char c : text)
    if (!isNameChar(c)) return false;
  return true;
}

}  // namespace mcadkernel
