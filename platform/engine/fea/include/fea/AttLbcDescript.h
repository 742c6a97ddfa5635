// Condition descriptors: what kind of condition each condition type code is, what its value
// looks like, where it may be picked and which unit its value has.
//
// Callers read the descriptor fields directly. A table finds the same descriptors wherever it is
// built; a descriptor pointer stays valid while its table lives. The system never builds
// descriptors itself.
#pragma once

#include "fea/AttTypes.h"

// One condition type's description. Field order is part of the contract.
struct AttLbcDescript {
  AttType type;   // the condition type code
  int kind;       // AttLbcKind: 1 restraint, 2 model-level load, 3 model temperature, else a load
  int valueKind;  // AttValueKind: 1 scalar, 2 vector
  int reserved1;
  int reserved2;
  int vertexAllowed;  // nonzero: may be picked on a vertex
  int edgeAllowed;    // nonzero: may be picked on an edge
  int faceAllowed;    // nonzero: may be picked on a face
  int objectAllowed;  // nonzero: may be picked on a whole solid
  int reserved3[5];
  CaeUnitType unitType;  // the unit of the condition's value
  int perAxis;           // nonzero: the symbol repeats along each axis of the coordinate system

  // The unit type of the condition's value.
  CaeUnitType Dimension() const { return unitType; }
};

// The engine's table of condition descriptors, one per code 1 to 25 and 29.
class AttLbcDescriptTable {
 public:
  AttLbcDescriptTable();
  ~AttLbcDescriptTable();
  AttLbcDescriptTable(const AttLbcDescriptTable&) = delete;
  AttLbcDescriptTable& operator=(const AttLbcDescriptTable&) = delete;

  // The descriptor of a code, or null when the engine has none (codes 0, 26 to 28, 30 and up,
  // negative codes).
  const AttLbcDescript* Find(AttType type) const;
};

// Descriptor of a nodal condition (a value tied to one mesh node).
struct AttFlbcDescript {
  int type;  // AttFlbcType
  CaeUnitType unitType;
  CaeUnitType Dimension() const { return unitType; }
};

// The engine's table of nodal condition descriptors.
class AttFlbcDescriptTable {
 public:
  AttFlbcDescriptTable() = default;
  // The nodal descriptor of a type, or null when there is none.
  const AttFlbcDescript* Find(int type) const;
};
