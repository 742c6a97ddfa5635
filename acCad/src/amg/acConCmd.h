// Creating mesh-size constraints (refinements) and meshing mesh entities: the mesh requests of the
// setup pages turned into drawing objects on the part.
//
// A constraint is made on picked or given geometry, added to an analysis model (model space,
// "CAE_MESH"), attached to its topology reference and bound to the reference's key. A size that
// is not a positive finite number is refused with a message and nothing is made. A cancelled pick
// makes nothing.
//
// Meshing a mesh entity continues the model's node and element numbering, hands the model's
// live constraints on the body to the mesher as local sizes, generates through the document's
// mesh generation (which reports the outcome once) and, on success, gives the mesh its sub-model,
// element property and material. A failure keeps nothing it made: the sub-model that holds the
// mesh is deleted, a mesh already in the drawing is erased, one never posted is deleted.
#pragma once

#include "amg/CaeVector.h"

class AcBrEntity;
class AnlModel;
class CaepConEnt;
class CaepMeshEnt;

// Element sizes must be positive and finite; otherwise a message is printed and false answered.
bool acCheckElementSize(double size);

// Picks when `entity` is null (`pickKind` as acPickTopology takes it); answers 0 when the pick was
// cancelled or the size refused, else 1.
int acCreateMeshConstraint(int colour, double scale, int pickKind, double size, const CaeVector& location,
                           int pointFlag, AcBrEntity* entity);
// The same, into `model` (null is a consistency check).
int acRecreateMeshConstraint(int colour, double scale, int pickKind, double size, const CaeVector& location,
                             int pointFlag, AcBrEntity* entity, AnlModel* model);
// Without a current document control a consistency check; else the pick (null when cancelled).
AcBrEntity* acPickConstraintEntity(int pickKind);
// The new constraint on the entity's reference, in the current model or the given one; the
// entity is closed when these return.
CaepConEnt* acNewConstraintInModel(int colour, double scale, double size, const CaeVector& location, int pointFlag,
                                   AcBrEntity* entity);
CaepConEnt* acNewConstraintInMesh(int colour, double scale, double size, const CaeVector& location, int pointFlag,
                                  AcBrEntity* entity, AnlModel* model);

// Meshes one mesh entity (see above); `mesh` becomes null when the generation failed and the mesh
// was removed. Answers 1 on success.
int acGenerateMeshEntity(CaepMeshEnt*& mesh, const char* materialName);
