// A parametric part: its own parameters, a feature list, and the solid regenerated from them, with a
// persistent name for every face, edge and vertex.
//
// Every change (a parameter, a feature) regenerates the solid. A change whose regeneration fails throws
// KernelError and leaves the part exactly as it was: parameters, features, solid and names.
//
// Names. A face is named "<feature>/<role>" after the feature that made it (see feature.h), with an
// ordinal "#1", "#2" ... when a later feature split it into several faces; the ordinals follow the
// faces' centroids ordered by x, then y, then z (coordinates within 1e-6 of the part's size count as
// equal), an order that does not change under small changes of the parameters. An edge is named by
// the names of its two faces, sorted and joined by '|' ("box1/front|box1/top"; a seam edge names its
// face twice); a vertex by the distinct names of the faces around it, sorted and joined by '&'. An edge
// or vertex sharing its name with others gets an ordinal ":1", ":2" ... by its midpoint or point in the
// same order. Names are computed from the feature history only, so the same parameters always give the
// same names: a name that no longer resolves after an edit resolves again once the edit is undone.
//
// Shapes returned belong to the solid current at the time of the call; after a change, resolve the
// name again. Not thread-safe (names of edges and vertices are computed on first use).
#pragma once
#include <TopoDS_Shape.hxx>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "mcadkernel/feature.h"
#include "mcadkernel/massprops.h"
#include "mcadkernel/parameters.h"

namespace mcadkernel {

class TopologyNames;

class Part {
 public:
  // globals, when given, is the drawing's "Designer" parameter set; it must outlive the part.
  explicit Part(std::string name, const ParameterSet* globals = nullptr);
  ~Part();
  Part(const Part&) = delete;
  Part& operator=(const Part&) = delete;

  const std::string& name() const { return name_; }
  const ParameterSet& parameters() const { return parameters_; }
  const std::vector<Feature>& features() const { return features_; }
  const Feature* findFeature(const std::string& name) const;

  // Parameter changes, each followed by a regeneration.
  void defineParameters(const std::vector<std::pair<std::string, std::string>>& definitions);
  void defineParameter(const std::string& name, const std::string& expressionText);
  void setParameterValue(const std::string& name, double value);
  // Several values in one regeneration; nothing changes when it fails.
  void setParameterValues(const std::vector<std::pair<std::string, double>>& values);
  // Refused while a parameter or feature of the part uses it.
  void removeParameter(const std::string& name);

  // Feature changes, each followed by a regeneration. Names must be unique within the part.
  void addFeature(Feature feature);
  void replaceFeature(const std::string& name, Feature feature);
  void removeFeature(const std::string& name);

  // Sets parameters and features in one step (used when reading a file).
  void define(const std::vector<std::pair<std::string, std::string>>& parameters, std::vector<Feature> features);

  // Regenerates with the current values of the global parameters.
  void regenerate();

  // The features using a parameter name directly (in feature order).
  std::vector<std::string> featuresUsing(const std::string& parameterName) const;
  // True when a parameter or feature of the part refers to a global parameter of that name.
  bool usesGlobal(const std::string& globalName) const;

  // The regenerated solid; null while the part has no features.
  const TopoDS_Shape& shape() const { return shape_; }

  // The face, edge or vertex with this name, or a null shape when the name resolves to nothing.
  TopoDS_Shape resolve(const std::string& name) const;
  // The name of a face, edge or vertex of shape(); empty for anything else.
  std::string nameOf(const TopoDS_Shape& subshape) const;
  std::vector<std::string> faceNames() const;
  std::vector<std::string> edgeNames() const;
  std::vector<std::string> vertexNames() const;

  MassProperties massProperties() const { return massPropertiesOf(shape_); }

 private:
  void rebuild(ParameterSet parameters, std::vector<Feature> features);
  void checkFeatureNames(const std::vector<Feature>& features) const;

  std::string name_;
  ParameterSet parameters_;
  std::vector<Feature> features_;
  TopoDS_Shape shape_;
  std::shared_ptr<const TopologyNames> names_;
};

}  // namespace mcadkernel
