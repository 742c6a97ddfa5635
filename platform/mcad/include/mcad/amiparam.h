// Parameters, regeneration and mass properties of the parts in a drawing.
//
// A parameter is named by an AmiParamKey: a part's own parameter or a "Designer" global of the
// drawing. Setting a value changes the parameter's expression to that number and rebuilds what
// uses it; a value that a part cannot be rebuilt with is refused (eRegenFailed) and nothing
// changes. Key arrays handed out are allocated with new[]: the caller releases every key and
// deletes the array with delete[].
#pragma once

#include "arx/gebasic.h"
#include "mcad/amikey.h"

namespace Ami {
// amiSetParamValue: write the value without rebuilding.
inline constexpr int kParamNoRegen = 1;
}  // namespace Ami

// Density is 1, so mass equals volume. Values are in world coordinates (the placement applied);
// the inertia is about the centre of mass, axes parallel to x, y, z.
struct AmiMassProps {
  AcGePoint3d centroid;
  AcGeVector3d momentsOfInertia;   // Ixx, Iyy, Izz
  AcGeVector3d productsOfInertia;  // Ixy, Iyz, Izx (the integrals of x*y, y*z, z*x)
  double mass = 0.0;
  double density = 1.0;
  double volume = 0.0;
};

// The "Designer" globals of the current drawing, in definition order; count 0 and a null array when
// there are none (not an error). eBadInput for another scope, eNoDocument without a drawing.
AmiStatus amiGetGlobalParams(const char* scope, int& count, AmiParamKey**& keys);
// A part's own parameters, in definition order (partKey: a body, part or component key).
AmiStatus amiGetPartParams(const AmiObjectKey* partKey, int& count, AmiParamKey**& keys);
// The named parameter of the current drawing: "Name" for a global, "component/Name" for a part's.
AmiStatus amiFindParam(const char* name, AmiParamKey*& key);

AmiStatus amiGetParamName(const AmiParamKey* key, char*& name);  // the caller deletes it with delete[]
AmiStatus amiGetParamValue(const AmiParamKey* key, double& value);
// Without flags the parts that use the parameter are rebuilt at once and a value they cannot be
// built with is refused (eRegenFailed), nothing changed. With Ami::kParamNoRegen the value is only
// written: several parameters may be written, then each part rebuilt once with amiRegen.
AmiStatus amiSetParamValue(const AmiParamKey* key, double value, int flags = 0);
// The parameters the key's expression refers to (a part parameter may refer to globals).
AmiStatus amiGetParamDeps(const AmiParamKey* key, int& count, AmiParamKey**& keys);
// What uses the parameter directly: parameters (kParamKey) whose expressions refer to it, then
// parts (kPartKey) whose features refer to it (for a global: parts whose parameters or features do).
AmiStatus amiGetParamUsers(const AmiParamKey* key, int& count, AmiKey**& keys);
// The part (kPartKey) a part parameter belongs to; eNotFound for a global.
AmiStatus amiGetContainingPart(const AmiParamKey* key, AmiObjectKey*& partKey);

// Rebuilds a part (body, part or component key) with the current parameters and the values written
// with kParamNoRegen; eRegenFailed when it cannot be built (its written values are dropped; after a
// deferred global write the part stays unbuilt until the global is set back). flags are not used.
AmiStatus amiRegen(const AmiObjectKey* partKey, int flags = 0);
// The first part of the current drawing (kPartKey); eNotFound when it has none.
AmiStatus amiGetActivePart(const char* scope, AmiObjectKey*& partKey);
AmiStatus amiGetMassProps(const AmiObjectKey* partKey, AmiMassProps& props);
