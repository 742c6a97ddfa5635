#include "topo/acTopoUtil.h"

#include "amg/CaeAttrib.h"
#include "amg/CaeMsgCall.h"
#include "arx/dbobject.h"
#include "mcad/amikey.h"
#include "topo/acTopoRef.h"
#include "util/acObjKey.h"

void acBindObjectToKey(AmiObjectKey* key, AcDbObject* object) {
  if (!key) return;
  if (!object) {
    if (key->unbind() != Ami::eOk && key->unbind() != Ami::eOk) CAE_GENERAL_ERROR();
    return;
  }
  if (key->bind(object) == Ami::eOk) return;
  // The retry does not un-erase the object the key held last: that object was erased by the user
  // (or by undo) and bringing it back would resurrect what they deleted.
  if (key->bind(object) != Ami::eOk) CAE_GENERAL_ERROR();
}

void acNotifyKeyErased(AmiObjectKey* key, int erasing) {
  if (key) key->notifyErased(erasing != 0);
}

void acReleaseBoundKey(AmiObjectKey** key) {
  if (!key) return;
  if (*key && (*key)->hasBoundObject()) (*key)->notifyErased(true);
  *key = nullptr;
}

AmiObjectKey* acKeyOfAttrib(CaeAttrib* attribute) {
  if (!attribute) return nullptr;
  auto* reference = dynamic_cast<AcTopoRef*>(attribute->GetTopoRef());
  if (!reference) return nullptr;
  reference->Reresolve();
  AmiObjectKey* key = reference->GetKey();
  if (!acKeyNotNull(key)) CAE_GENERAL_ERROR();
  return key;
}

void acRebindAttribToKey(AmiObjectKey** key, CaeAttrib* attribute) {
  if (!key) return;
  acReleaseBoundKey(key);
  *key = acKeyOfAttrib(attribute);
  // The engine attribute and its drawing object are two bases of one object.
  if (auto* object = dynamic_cast<AcDbObject*>(attribute)) acBindObjectToKey(*key, object);
}

void acWatchSolid(AcBrEntity*) {}

bool acTopoSolidModified() { return false; }

void acTopoClearSolidModified() {}

void acReresolveAllTopology() {}
