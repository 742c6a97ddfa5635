#include "mcadkernel/part.h"

#include <algorithm>
#include <set>

#include "mcadkernel/error.h"
#include "part_builder.h"

namespace mcadkernel {

Part::Part(std::string name, const ParameterSet* globals)
    : name_(std::move(name)), parameters_(name_, globals), names_(std::make_shared<const TopologyNames>()) {
  if (!isValidName(name_)) throw KernelError("\"" + name_ + "\" is not a valid part name");
}

Part::~Part() = default;

const Feature* Part::findFeature(const std::string& name) const {
  for (const Feature& feature : features_)
    if (feature.name == name) return &feature;
  return nullptr;
}

void Part::checkFeatureNames(const std::vector<Feature>& features) const {
  std::set<std::string> seen;
  for (const Feature& feature : features) {
    if (!isValidName(feature.name))
      throw FeatureError(feature.name, "\"" + feature.name + "\" is not a valid feature name");
    if (!seen.insert(feature.name).second)
      throw FeatureError(feature.name, "there are two features named " + feature.name);
  }
}

// Builds from candidate parameters and features, and keeps them only when the build succeeds.
void Part::rebuild(ParameterSet parameters, std::vector<Feature> features) {
  checkFeatureNames(features);
  BuiltSolid built = buildSolid(features, parameters);
  parameters_ = std::move(parameters);
  features_ = std::move(features);
  shape_ = built.solid;
  names_ = built.names;
}

void Part::defineParameters(const std::vector<std::pair<std::string, std::string>>& definitions) {
  ParameterSet candidate = parameters_;
  candidate.define(definitions);
  rebuild(std::move(candidate), features_);
}

void Part::defineParameter(const std::string& name, const std::string& expressionText) {
  defineParameters({{name, expressionText}});
}

void Part::setParameterValue(const std::string& name, double value) {
  ParameterSet candidate = parameters_;
  candidate.setValue(name, value);
  rebuild(std::move(candidate), features_);
}

void Part::setParameterValues(const std::vector<std::pair<std::string, double>>& values) {
  ParameterSet candidate = parameters_;
  for (const auto& [name, value] : values) candidate.setValue(name, value);
  rebuild(std::move(candidate), features_);
}

void Part::removeParameter(const std::string& name) {
  std::vector<std::string> users = featuresUsing(name);
  if (!users.empty())
    throw KernelError("parameter " + name + " cannot be removed: feature " + users.front() + " uses it");
  ParameterSet candidate = parameters_;
  candidate.remove(name);
  rebuild(std::move(candidate), features_);
}

void Part::addFeature(Feature feature) {
  std::vector<Feature> candidate = features_;
  candidate.push_back(std::move(feature));
  rebuild(parameters_, std::move(candidate));
}

void Part::replaceFeature(const std::string& name, Feature feature) {
  std::vector<Feature> candidate = features_;
  auto it = std::find_if(candidate.begin(), candidate.end(), [&](const Feature& f) { return f.name == name; });
  if (it == candidate.end()) throw KernelError("no feature " + name + " in part " + name_);
  *it = std::move(feature);
  rebuild(parameters_, std::move(candidate));
}

void Part::removeFeature(const std::string& name) {
  std::vector<Feature> candidate = features_;
  auto it = std::find_if(candidate.begin(), candidate.end(), [&](const Feature& f) { return f.name == name; });
  if (it == candidate.end()) throw KernelError("no feature " + name + " in part " + name_);
  candidate.erase(it);
  rebuild(parameters_, std::move(candidate));
}

void Part::define(const std::vector<std::pair<std::string, std::string>>& parameters, std::vector<Feature> features) {
  ParameterSet candidate = parameters_;
  if (!parameters.empty()) candidate.define(parameters);
  rebuild(std::move(candidate), std::move(features));
}

void Part::regenerate() {
  ParameterSet candidate = parameters_;
  candidate.reevaluate();
  rebuild(std::move(candidate), features_);
}

std::vector<std::string> Part::featuresUsing(const std::string& parameterName) const {
  std::vector<std::string> result;
  for (const Feature& feature : features_)
    for (const Expression* expression : expressionsOf(feature)) {
      const auto& refs = expression->references();
      if (std::find(refs.begin(), refs.end(), parameterName) != refs.end()) {
        result.push_back(feature.name);
        break;
      }
    }
  return result;
}

bool Part::usesGlobal(const std::string& globalName) const {
  if (parameters_.contains(globalName)) return false;  // the part's own parameter hides the global one
  if (!featuresUsing(globalName).empty()) return true;
  for (const std::string& name : parameters_.names()) {
    auto deps = parameters_.dependencies(name);
    if (std::find(deps.begin(), deps.end(), globalName) != deps.end()) return true;
  }
  return false;
}

TopoDS_Shape Part::resolve(const std::string& name) const { return names_->resolve(name); }
std::string Part::nameOf(const TopoDS_Shape& subshape) const { return names_->nameOf(subshape); }
std::vector<std::string> Part::faceNames() const { return names_->faceNames(); }
std::vector<std::string> Part::edgeNames() const { return names_->edgeNames(); }
std::vector<std::string> Part::vertexNames() const { return names_->vertexNames(); }

}  // namespace mcadkernel
