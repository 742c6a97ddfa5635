// Codes shared by the condition classes: condition type codes, descriptor kinds and value kinds.
#pragma once

#include "amg/CaeUnit.h"

// A condition type code. The codes in use are 1 to 25 and 29:
//  1 vertex force, 2 face distributed force, 3 edge distributed force, 4 pressure,
//  5 vertex restraint, 6 edge restraint, 7 face restraint, 8 to 10 vertex, edge and face enforced
//  displacement, 11 spin, 12 gravity, 13 acceleration, 14 model temperature, 15 vertex heat flow,
//  16 face heat flux, 17 edge heat flow, 18 face convection, 19 volumetric heat flow, 20 to 22
//  vertex, face and edge fixed temperature, 23 face total force, 24 edge total force,
//  25 pinned restraint, 29 moment.
typedef int AttType;

// What a descriptor's kind says about where a condition belongs.
enum AttLbcKind : int {
  AttKindLoad = 0,       // a load on topology (joins the load set)
  AttKindRestraint = 1,  // joins the restraint set
  AttKindModelLoad = 2,  // acts on the whole model, no topology
  AttKindModelTemp = 3,  // the model temperature
};

enum AttValueKind : int {
  AttValueScalar = 1,
  AttValueVector = 2,
};

// Nodal condition types (values tied to single mesh nodes).
enum AttFlbcType : int {
  AttFlbcTemperature = 1,
};
