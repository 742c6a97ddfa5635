// The records a page parks with the CAD interface while the user picks through the pick panel.
//
// Each record belongs to the page that parks it. The interface copies the whole record in when it
// is parked and back out when the result is collected; it reads the pick kind and writes the
// picked entity, and leaves the page's own members as they were.
#pragma once

#include "amg/CaeString.h"

class AcBrEntity;

// Load and restraint wizards: the pick kind is an index 0 to 3 into the page's geometry list.
struct ConditionPickRequest {
  CaeString name;
  int pickKind = 0;
  int pageData[8] = {};
  AcBrEntity* pickedEntity = nullptr;
};

struct LoadPickRequest : ConditionPickRequest {};
struct RestraintPickRequest : ConditionPickRequest {};

// Mesh wizard: pick kind 1 face, 2 edge, 3 vertex.
struct MeshPickRequest {
  CaeString name;
  CaeString material;
  double values[3] = {0, 0, 0};
  AcBrEntity* pickedEntity = nullptr;
  int pickKind = 0;
  int pageData[4] = {};
};
