// The walk over a reference's sub-entities (faces of a body, edges of a face over all its loops,
// vertices of an edge) and the orientation flags the children get.
//
// Every entity handed out is the drawing's canonical one. A flag starts at 0 and toggles once for
// each condition that holds:
//   body -> face:  face not oriented with its surface; the surface's du x dv against its normal
//   face -> edge:  edge not oriented with its curve; edge oriented with its loop; face not oriented
//                  with its surface; the surface's du x dv against its normal
//   edge -> vertex 1: edge not oriented with its curve; vertex 2 starts at 1 instead
// A seam edge comes out twice (once per flag), a closed edge's single vertex twice. Loops without
// edges (a cone apex, a sphere pole) are recorded as collapsed face boundaries; at most two per
// face. The body walk and the face walk each keep one module-wide traverser at the last entity
// they handed out, so walking all faces of a body, or all edges of a face, is linear; a walk that
// is not continued from there finds its place again from the start. Only one body walk and one
// face walk may be in progress at a time (building children never nests two).
#pragma once

class AcBrEntity;
class AcGeSurface;
class AcTopoRef;

// 0 becomes 1 and 1 becomes 0; any other value is a consistency check.
int acToggleOrientation(int flag);
// True when du x dv at the centre of the surface's envelope is the negated surface normal.
bool acSurfaceNormalReversed(const AcGeSurface& surface);
// The flag of an edge within a face (the four conditions above).
int acEdgeOrientationInFace(bool edgeAlongCurve, bool edgeAlongLoop, bool faceAlongSurface, bool surfaceReversed);

struct AcTopoNav {
  // The first sub-entity of the reference's entity with its flag, or null.
  static AcBrEntity* FirstSubEntity(AcTopoRef& reference, int& flag);
  // The sub-entity after (current, flag), or null at the end.
  static AcBrEntity* NextSubEntity(AcTopoRef& reference, AcBrEntity* current, int flag, int& nextFlag);
  // Forgets the walks' positions (when the entities they stand on go away).
  static void ResetBodyWalk();
};
