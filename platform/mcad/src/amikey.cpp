#include "mcad/amikey.h"

AmiSceneKey* AmiSceneKey::cast(AmiObject* object) { return dynamic_cast<AmiSceneKey*>(object); }
