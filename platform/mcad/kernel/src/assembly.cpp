#include "mcadkernel/assembly.h"

#include <TopLoc_Location.hxx>

#include <cmath>

#include "mcadkernel/error.h"

namespace mcadkernel {

Assembly::Assembly() : globals_("Designer") {}

void Assembly::defineGlobals(const std::vector<std::pair<std::string, std::string>>& definitions) {
  ParameterSet previous = globals_;
  globals_.define(definitions);
  std::vector<Part*> regenerated;
  try {
    for (const auto& part : parts_) {
      bool uses = false;
      for (const auto& definition : definitions) uses = uses || part->usesGlobal(definition.first);
      if (!uses) continue;
      part->regenerate();
      regenerated.push_back(part.get());
    }
  } catch (const KernelError&) {
    // The parts regenerated so far were valid with the old values, so they regenerate again.
    globals_ = previous;
    for (Part* part : regenerated) part->regenerate();
    throw;
  }
}

void Assembly::setGlobalValue(const std::string& name, double value) {
  if (!globals_.contains(name)) throw KernelError("no global parameter " + name);
  defineGlobals({{name, formatNumber(value)}});
}

std::vector<Part*> Assembly::partsUsingGlobal(const std::string& name) const {
  std::vector<Part*> result;
  for (const auto& part : parts_)
    if (part->usesGlobal(name)) result.push_back(part.get());
  return result;
}

Part& Assembly::newPart(const std::string& name) {
  if (findPart(name)) throw KernelError("there is already a part named " + name);
  parts_.push_back(std::make_unique<Part>(name, &globals_));
  return *parts_.back();
}

Part& Assembly::adoptPart(std::unique_ptr<Part> part) {
  if (findPart(part->name())) throw KernelError("there is already a part named " + part->name());
  if (part->parameters().outer() != &globals_)
    throw KernelError("part " + part->name() + " was not built with this drawing's global parameters");
  parts_.push_back(std::move(part));
  return *parts_.back();
}

Part* Assembly::findPart(const std::string& name) const {
  for (const auto& part : parts_)
    if (part->name() == name) return part.get();
  return nullptr;
}

std::vector<Part*> Assembly::parts() const {
  std::vector<Part*> result;
  for (const auto& part : parts_) result.push_back(part.get());
  return result;
}

void Assembly::addComponent(const std::string& name, const std::string& partName, const gp_Trsf& placement) {
  if (!isValidName(name)) throw KernelError("\"" + name + "\" is not a valid component name");
  if (findComponent(name)) throw KernelError("there is already a component named " + name);
  Part* part = findPart(partName);
  if (!part) throw KernelError("component " + name + ": no part named " + partName);
  if (std::fabs(placement.ScaleFactor() - 1.0) > 1e-9 || placement.IsNegative())
    throw KernelError("component " + name + ": the placement must be a rotation and a translation");
  components_.push_back(Component{name, part, placement, TopLoc_Location(placement)});
}

const Assembly::Component* Assembly::findComponent(const std::string& name) const {
  for (const Component& component : components_)
    if (component.name == name) return &component;
  return nullptr;
}

TopoDS_Shape Assembly::placedShape(const std::string& componentName) const {
  const Component* component = findComponent(componentName);
  if (!component || component->part->shape().IsNull()) return TopoDS_Shape();
  return component->part->shape().Moved(component->location);
}

TopoDS_Shape Assembly::resolve(const std::string& qualifiedName) const {
  size_t slash = qualifiedName.find('/');
  if (slash == std::string::npos) return TopoDS_Shape();
  const Component* component = findComponent(qualifiedName.substr(0, slash));
  if (!component) return TopoDS_Shape();
  TopoDS_Shape local = component->part->resolve(qualifiedName.substr(slash + 1));
  if (local.IsNull()) return local;
  return local.Moved(component->location);
}

std::string Assembly::nameOf(const TopoDS_Shape& placedSubshape) const {
  if (placedSubshape.IsNull()) return {};
  for (const Component& component : components_) {
    // Undo this component's placement; the part knows the subshape only where it was built. Locations
    // compare by identity, so only this component's own location cancels out.
    TopoDS_Shape local = placedSubshape.Moved(component.location.Inverted());
    std::string name = component.part->nameOf(local);
    if (!name.empty()) return component.name + "/" + name;
  }
  return {};
}

}  // namespace mcadkernel
