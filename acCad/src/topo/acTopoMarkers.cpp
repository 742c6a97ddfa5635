#include "topo/acTopoMarkers.h"

#include <vector>

#include "amg/CaeMsgCall.h"

void acEdgeMarkerParameters(CaeTopoRef* edge, double* parameters, int n) {
  CaeVector lower, upper;
  edge->ParamRange(lower, upper);
  const double t0 = lower[0], t1 = upper[0];
  for (int i = 0; i < n; ++i) parameters[i] = t0 + (i + 0.5) * (t1 - t0) / n;
}

void acWalkMarkerPoints(CaeTopoRef* ref, int perEdge, const std::function<void(int on, const CaeVector& point)>& mark) {
  if (!ref || !ref->IsVisible()) return;
  switch (ref->Kind()) {
    case CaeTopoRef::kVertex: {
      CaeVector point;
      ref->Feval(CaeVector(), point);
      mark(CaeTopoRef::kVertex, point);
      return;
    }
    case CaeTopoRef::kEdge: {
      std::vector<double> parameters(static_cast<std::size_t>(perEdge > 0 ? perEdge : 0));
      acEdgeMarkerParameters(ref, parameters.data(), static_cast<int>(parameters.size()));
      for (double t : parameters) {
        CaeVector point;
        ref->Feval(CaeVector(t, 0.0, 0.0), point);
        mark(CaeTopoRef::kEdge, point);
      }
      return;
    }
    case CaeTopoRef::kFace:
    case CaeTopoRef::kBody: {
      int flag = 0;
      for (CaeTopoRef* child = ref->FirstChild(flag); child;) {
        acWalkMarkerPoints(child, perEdge, mark);
        int next = 0;
        child = ref->NextChild(child, flag, next);
        flag = next;
      }
      return;
    }
    default: CAE_GENERAL_ERROR();
  }
}
