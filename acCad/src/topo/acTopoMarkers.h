// Where the markers of an object that sits on part geometry stand: one on each vertex and a few
// spread along each edge, found by walking a face or body down to its edges and vertices. Mesh
// refinements and optimisation constraints draw their markers at these points.
#pragma once

#include <functional>

#include "amg/CaeTopoRef.h"
#include "amg/CaeVector.h"

// `n` parameters of `edge`, each in the middle of one of n equal parts of its parameter range.
void acEdgeMarkerParameters(CaeTopoRef* edge, double* parameters, int n);

// Calls `mark` with the kind (CaeTopoRef::kVertex or kEdge) and the point of each marker: one on
// each vertex and `perEdge` along each edge that `ref` is or holds (a face or body through its
// children). A null or hidden reference marks nothing; a reference of no kind is a consistency
// check.
void acWalkMarkerPoints(CaeTopoRef* ref, int perEdge, const std::function<void(int on, const CaeVector& point)>& mark);
