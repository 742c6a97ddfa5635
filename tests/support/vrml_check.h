// A small reader of the VRML scenes the results export writes, for tests: it checks the grammar
// (header, nodes and their fields, DEF/USE, ROUTE, brackets) against a table of the nodes the
// export may use, and the sense of what it read (indexes within their points, one colour per
// point, keys rising within 0..1, key values matching the keys, routes between fields of the same
// type, scales above zero). The scene read back lets tests compare points and colours per frame.
// Also the outside parser: view3dscene's tovrmlx3d.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kestrum::test {

struct VrmlNode;

struct VrmlValue {
  std::vector<double> numbers;  // numbers and booleans (1, 0) in order
  std::vector<std::string> strings;
  std::vector<std::shared_ptr<VrmlNode>> nodes;
  std::string word;  // an enumerated value (VRML 1.0)
};

struct VrmlNode {
  std::string type;
  std::string def;
  std::map<std::string, VrmlValue> fields;
  std::vector<std::shared_ptr<VrmlNode>> children;  // VRML 1.0 group contents
  const VrmlValue* Field(const std::string& name) const {
    auto found = fields.find(name);
    return found == fields.end() ? nullptr : &found->second;
  }
  // The first node of a single-node field.
  const VrmlNode* Child(const std::string& field) const {
    const VrmlValue* value = Field(field);
    return value && !value->nodes.empty() ? value->nodes.front().get() : nullptr;
  }
};

struct VrmlRoute {
  std::string fromNode, fromField, toNode, toField;
};

struct VrmlScene {
  int version = 0;  // 1 or 2
  std::vector<std::shared_ptr<VrmlNode>> roots;
  std::map<std::string, std::shared_ptr<VrmlNode>> defs;
  std::vector<VrmlRoute> routes;
  std::vector<std::string> errors;  // empty when the scene is sound
  // Every node of a type, depth first in file order (USEs not followed).
  std::vector<const VrmlNode*> All(const std::string& type) const;
};

VrmlScene ReadVrml(const std::string& text);

// The points and colours (r, g, b in 0..1) of each frame of a scene as the results export
// writes it: the one face set of a static scene; per frame, the face sets under the Transforms
// "KestrumFrame<i>" (frame method), or the key values of the CoordinateInterpolator (the closing
// key left out) with each frame's colours (interpolation).
struct VrmlFrame {
  std::vector<double> points, colors;
};
std::vector<VrmlFrame> VrmlFramesOf(const VrmlScene& scene);

// tovrmlx3d's complaints about a file (its standard error), or a line saying it could not run.
std::string OutsideVrmlComplaints(const std::string& file);

}  // namespace kestrum::test
