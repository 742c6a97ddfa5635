// The features a part is built from, in the order they are applied. Every dimension is an expression
// over the part's parameters, evaluated at each regeneration.
//
// A solid feature (box, cylinder, extrusion) is either added to the part's solid (Union) or cut from
// it (Cut); the first feature of a part must be a solid feature and starts the solid. A hole cuts a
// cylinder from a point on a face; a fillet rounds named edges of the solid built so far.
//
// The faces each feature makes are named "<feature>/<role>":
//   box       left right front back bottom top   (faces whose normals are -x +x -y +y -z +z)
//   cylinder  side bottom top                    (bottom at the base point, top along the axis)
//   extrude   side1 ... sideN bottom top         (sideK from the K-th profile segment; bottom in the
//                                                 profile plane, top at the far end)
//   hole      side bottom                        (bottom: the floor of a blind hole)
//   fillet    round1 ... roundN corner           (roundK along the K-th listed edge; corner where
//                                                 rounds meet at a vertex)
#pragma once
#include <array>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "mcadkernel/expression.h"

namespace mcadkernel {

enum class Operation { Union, Cut };

struct BoxFeature {
  std::array<Expression, 3> corner;  // the corner with the smallest x, y and z
  std::array<Expression, 3> size;    // extents along x, y, z; each must be positive
};

struct CylinderFeature {
  std::array<Expression, 3> base;  // centre of the bottom face
  std::array<Expression, 3> axis;  // direction from bottom to top; need not be unit length
  Expression radius;
  Expression height;
};

// The plane a profile is drawn in: (u, v) are (x, y) on "xy", (y, z) on "yz", (z, x) on "zx"; the
// plane lies at offset along its normal (+z, +x, +y) and the extrusion runs along the normal (or
// against it for a negative height).
enum class ProfilePlane { XY, YZ, ZX };

struct ProfileSegment {
  enum class Kind { Line, Arc };
  Kind kind = Kind::Line;
  std::array<Expression, 2> end;      // where the segment ends
  std::array<Expression, 2> through;  // Arc only: a point the arc passes through between its ends
};

struct ExtrudeFeature {
  ProfilePlane plane = ProfilePlane::XY;
  Expression offset;
  Expression height;
  std::array<Expression, 2> start;
  std::vector<ProfileSegment> segments;  // the last segment must end at start (closed profile)
};

struct HoleFeature {
  std::array<Expression, 3> at;         // a point on a face of the solid: the centre of the hole's mouth
  std::array<Expression, 3> direction;  // into the material
  Expression diameter;
  std::optional<Expression> depth;  // none: through all
};

struct FilletFeature {
  Expression radius;
  std::vector<std::string> edges;  // edge names of the solid as built by the features before
};

using FeatureShape = std::variant<BoxFeature, CylinderFeature, ExtrudeFeature, HoleFeature, FilletFeature>;

struct Feature {
  std::string name;                        // unique in the part; a valid name (see isValidName)
  Operation operation = Operation::Union;  // box, cylinder and extrude only
  FeatureShape shape;
};

// The keyword of a feature kind as used in part files: "box", "cylinder", "extrude", "hole", "fillet".
const char* featureKeyword(const Feature& feature);

// Every expression of a feature, for finding the parameters it uses.
std::vector<const Expression*> expressionsOf(const Feature& feature);

}  // namespace mcadkernel
