#include "mcadkernel/parameters.h"

#include <algorithm>
#include <functional>
#include <set>

#include "mcadkernel/error.h"

namespace mcadkernel {

ParameterSet::ParameterSet(std::string scope, const ParameterSet* outer) : scope_(std::move(scope)), outer_(outer) {}

void ParameterSet::define(const std::vector<std::pair<std::string, std::string>>& definitions) {
  std::map<std::string, Parameter> candidate = parameters_;
  int order = nextOrder_;
  for (const auto& [name, text] : definitions) {
    if (!isValidName(name)) throw ParameterError(name, "\"" + name + "\" is not a valid parameter name");
    Expression expression;
    try {
      expression = Expression::parse(text);
    } catch (const KernelError& e) {
      throw ParameterError(name, "parameter " + name + ": " + e.what());
    }
    auto it = candidate.find(name);
    if (it == candidate.end())
      candidate[name] = Parameter{expression, 0.0, order++};
    else
      it->second.expression = expression;
  }
  std::vector<std::string> changed;
  for (const auto& definition : definitions) changed.push_back(definition.first);
  checkAndEvaluate(candidate, changed);
  parameters_ = std::move(candidate);
  nextOrder_ = order;
  ++revision_;
}

void ParameterSet::define(const std::string& name, const std::string& expressionText) {
  define({{name, expressionText}});
}

void ParameterSet::setValue(const std::string& name, double value) {
  find(name);
  define(name, formatNumber(value));
}

void ParameterSet::remove(const std::string& name) {
  find(name);
  std::vector<std::string> usedBy = users(name);
  if (!usedBy.empty())
    throw KernelError("parameter " + name + " cannot be removed: " + usedBy.front() + " refers to it");
  parameters_.erase(name);
  ++revision_;
}

bool ParameterSet::contains(const std::string& name) const { return parameters_.count(name) != 0; }

std::vector<std::string> ParameterSet::names() const {
  std::vector<std::pair<int, std::string>> ordered;
  for (const auto& [name, p] : parameters_) ordered.emplace_back(p.order, name);
  std::sort(ordered.begin(), ordered.end());
  std::vector<std::string> result;
  for (auto& entry : ordered) result.push_back(std::move(entry.second));
  return result;
}

const ParameterSet::Parameter& ParameterSet::find(const std::string& name) const {
  auto it = parameters_.find(name);
  if (it == parameters_.end()) throw KernelError("no parameter " + name + " in " + scope_);
  return it->second;
}

double ParameterSet::value(const std::string& name) const { return find(name).value; }

const std::string& ParameterSet::expressionText(const std::string& name) const { return find(name).expression.text(); }

std::optional<double> ParameterSet::lookup(const std::string& name) const {
  auto it = parameters_.find(name);
  if (it != parameters_.end()) return it->second.value;
  return outer_ ? outer_->lookup(name) : std::nullopt;
}

std::vector<std::string> ParameterSet::dependencies(const std::string& name) const {
  return find(name).expression.references();
}

std::vector<std::string> ParameterSet::users(const std::string& name) const {
  std::vector<std::string> result;
  for (const std::string& candidate : names()) {
    const auto& refs = parameters_.at(candidate).expression.references();
    if (std::find(refs.begin(), refs.end(), name) != refs.end()) result.push_back(candidate);
  }
  return result;
}

namespace {

// Depth-first topological order over the parameters of one set; names of the outer set are leaves.
// Throws on a cycle, naming the chain that closes it.
template <typename Map>
std::vector<std::string> orderOf(const Map& parameters, const std::vector<std::string>& roots) {
  std::vector<std::string> order;
  std::set<std::string> done;
  std::vector<std::string> path;
  std::function<void(const std::string&)> visit = [&](const std::string& name) {
    if (done.count(name)) return;
    auto onPath = std::find(path.begin(), path.end(), name);
    if (onPath != path.end()) {
      std::string chain;
      for (auto it = onPath; it != path.end(); ++it) chain += *it + " -> ";
      throw ParameterError(name, "parameter " + name + " refers to itself (" + chain + name + ")");
    }
    path.push_back(name);
    for (const std::string& ref : parameters.at(name).expression.references())
      if (parameters.count(ref)) visit(ref);
    path.pop_back();
    done.insert(name);
    order.push_back(name);
  };
  for (const std::string& root : roots) visit(root);
  return order;
}

}  // namespace

std::vector<std::string> ParameterSet::evaluationOrder() const { return orderOf(parameters_, names()); }

void ParameterSet::checkAndEvaluate(std::map<std::string, Parameter>& parameters,
                                    const std::vector<std::string>& changed) const {
  // The changed parameters are visited first, so that a cycle is reported at the one just defined.
  std::vector<std::pair<int, std::string>> byOrder;
  for (const auto& [name, p] : parameters) byOrder.emplace_back(p.order, name);
  std::sort(byOrder.begin(), byOrder.end());
  std::vector<std::string> roots = changed;
  for (auto& entry : byOrder) roots.push_back(entry.second);

  for (const auto& [name, p] : parameters)
    for (const std::string& ref : p.expression.references())
      if (!parameters.count(ref) && !(outer_ && outer_->lookup(ref)))
        throw ParameterError(
            name, "parameter " + name + ": unknown parameter '" + ref + "' in \"" + p.expression.text() + "\"");

  for (const std::string& name : orderOf(parameters, roots)) {
    Parameter& p = parameters.at(name);
    try {
      p.value = p.expression.evaluate([&](const std::string& ref) -> std::optional<double> {
        auto it = parameters.find(ref);
        if (it != parameters.end()) return it->second.value;
        return outer_ ? outer_->lookup(ref) : std::nullopt;
      });
    } catch (const KernelError& e) {
      throw ParameterError(name, "parameter " + name + ": " + e.what());
    }
  }
}

double ParameterSet::evaluate(const Expression& expression) const {
  return expression.evaluate([this](const std::string& name) { return lookup(name); });
}

void ParameterSet::reevaluate() {
  std::map<std::string, Parameter> candidate = parameters_;
  checkAndEvaluate(candidate, {});
  parameters_ = std::move(candidate);
  ++revision_;
}

}  // namespace mcadkernel
