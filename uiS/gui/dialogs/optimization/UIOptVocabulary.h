// The response vocabulary shared by the objective and constraint pages: response type names and
// list positions, the component flags of stress, strain and displacement responses with their
// list positions and labels, the titles of objectives and constraints, and the names of the
// geometry scopes a constraint applies to. Pure: they read their arguments and the string table.
//
// Component flags: 1, 2, 4 the first, second and third axis of the response's coordinate system;
// 8, 16, 32 maximum, middle and minimum principal; 64 maximum shear; 128 von Mises.
// Coordinate-system kinds: 0 cartesian, 1 cylindrical, 2 spherical.
#pragma once

#include "amg/CaeString.h"

// The response type's name ("mass", "volume", ...); empty for a type outside 0 to 7.
CaeString UIOptResponseTypeName(int type);
// How many types a response list holds: 7 positions for constraints, 4 for objectives.
int UIOptNumResponseTypes(int constraintList);
// The list position of a response type (types 6 and 7 share position 6); -1 outside 0 to 7.
int UIOptResponseTypeToListIndex(int type);
// The response type at a list position; positions outside 0 to 7 give 0.
int UIOptListIndexToResponseType(int position);
// The component list position of a response's flags.
int UIOptComponentsToListIndex(int flags, int type);
// The flags of a component list position; 0 for responses without components and positions
// outside 0 to 10.
int UIOptListIndexToComponents(int position, int type);
// The component label ("xy", "x+y+z", "von Mises", "magnitude"); 1 for a named component
// (principal, shear, von Mises), else 0.
int UIOptResponseLabel(int type, int flags, int coordSysKind, CaeString& text);
// The title of an objective or constraint ("- mass", "- frequency - mode 2", "- stress - sigma xy").
CaeString UIOptFunctionTitle(int type, int flags, int coordSysKind, int modeNumber);
// The scope a constraint's geometry kind gives (-1 several kinds, 0 all solids, 1 a solid, 2 a
// face, 3 an edge, 4 a vertex); empty for any other kind.
CaeString UIOptComponentName(int geometryKind);
