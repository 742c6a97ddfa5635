// The parts of one drawing: the drawing's global parameters (scope "Designer"), its parts, and the
// components that place parts in model space (a part may be placed several times).
//
// A component's subshapes are named "<component>/<name in its part>", e.g. "left/box1/top".
#pragma once
#include <TopLoc_Location.hxx>
#include <TopoDS_Shape.hxx>
#include <gp_Trsf.hxx>

#include <memory>
#include <string>
#include <vector>

#include "mcadkernel/parameters.h"
#include "mcadkernel/part.h"

namespace mcadkernel {

class Assembly {
 public:
  Assembly();
  Assembly(const Assembly&) = delete;
  Assembly& operator=(const Assembly&) = delete;

  // The global parameters; parts made with newPart see them.
  const ParameterSet& globals() const { return globals_; }

  // Defines or changes global parameters, then regenerates every part that uses one of them. All or
  // nothing: when a part cannot be regenerated, the globals and every part are left as they were.
  void defineGlobals(const std::vector<std::pair<std::string, std::string>>& definitions);
  void setGlobalValue(const std::string& name, double value);

  // The parts using a global parameter (directly, through their parameters or features).
  std::vector<Part*> partsUsingGlobal(const std::string& name) const;

  // A new, empty part that sees the globals. Part names are unique in the drawing.
  Part& newPart(const std::string& name);
  // Takes a part built against globals() (for example by readPart). Refused for a duplicate name or
  // a part built against other globals.
  Part& adoptPart(std::unique_ptr<Part> part);
  Part* findPart(const std::string& name) const;
  std::vector<Part*> parts() const;

  struct Component {
    std::string name;
    Part* part;
    gp_Trsf placement;         // rigid: a rotation and a translation
    TopLoc_Location location;  // the placement as the one location every placed subshape carries
  };

  // Places a part. Refused for an unknown part, a duplicate or invalid component name, or a placement
  // that is not rigid (it scales or mirrors).
  void addComponent(const std::string& name, const std::string& partName, const gp_Trsf& placement);
  const std::vector<Component>& components() const { return components_; }
  const Component* findComponent(const std::string& name) const;

  // The component's part solid moved by its placement; null for an unknown component.
  TopoDS_Shape placedShape(const std::string& componentName) const;

  // "<component>/<name>" to the placed face, edge or vertex; null when either part does not resolve.
  TopoDS_Shape resolve(const std::string& qualifiedName) const;

  // The qualified name of a subshape of a placed shape (as returned by placedShape or resolve); empty
  // when it belongs to no component.
  std::string nameOf(const TopoDS_Shape& placedSubshape) const;

 private:
  ParameterSet globals_;
  std::vector<std::unique_ptr<Part>> parts_;
  std::vector<Component> components_;
};

}  // namespace mcadkernel
