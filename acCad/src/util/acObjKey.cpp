#include "util/acObjKey.h"

#include "amg/CaeMsgCall.h"
#include "arx/aced.h"
#include "arx/acutads.h"
#include "arx/adscodes.h"
#include "arx/brtrav.h"
#include "mcad/amikey.h"
#include "util/acBrEnt.h"

namespace {

bool isKindOf(const AmiObjectKey* key, Ami::KeyType type, bool& answer) {
  return amiIsKeyKindOf(key, type, answer) == Ami::eOk;
}

// A body that no longer yields a B-rep through its key is rebuilt from the key's object ids.
AcBrEntity* brepFromKeyIds(const AmiObjectKey* key) {
  bool isBody = false;
  if (!isKindOf(key, Ami::kBodyKey, isBody) || !isBody) return nullptr;
  AcDbObjectIdArray ids;
  if (amiGetDbIdsFromKey(key, ids) != Ami::eOk) CAE_GENERAL_ERROR();
  auto* brep = new AcBrBrep();
  if (brep->setSubentPath(AcDbFullSubentPath(ids, kNullSubent)) != AcBr::eOk) {
    delete brep;
    return nullptr;
  }
  return brep;
}

// The modeller may ask for another view of the part: turn the UCS a little, ask again, turn back.
AmiStatus keyFromBrepInTurnedView(const AcBrEntity& entity, AmiObjectKey*& key) {
  resbuf echo;
  acedGetVar("CMDECHO", &echo);
  resbuf quiet;
  quiet.restype = RTSHORT;
  quiet.resval.rint = 0;
  acedSetVar("CMDECHO", &quiet);
  acedCommand(RTSTR, "_.ucs", RTSTR, "_Y", RTREAL, 1.0, RTNONE);
  AmiStatus status = amiGetKeyFromBrep(entity, key);
  acedCommand(RTSTR, "_.ucs", RTSTR, "_Y", RTREAL, -1.0, RTNONE);
  acedSetVar("CMDECHO", &echo);
  return status;
}

AmiObjectKey* keyFromSubentity(const AcBrEntity& entity) {
  AmiObjectKey* key = nullptr;
  AmiStatus status = amiGetKeyFromBrep(entity, key);
  if (status == Ami::eRetryInOtherView) {
    acReleaseKey(&key);
    status = keyFromBrepInTurnedView(entity, key);
  }
  if (status != Ami::eOk) {
    acReleaseKey(&key);
    return nullptr;
  }
  if (!key) CAE_GENERAL_ERROR();  // success without a key
  return key;
}

AmiObjectKey* keyFromBody(const AcBrBrep& body) {
  AcBrBrepFaceTraverser faces;
  AcBrFace face;
  if (faces.setBrep(body) != AcBr::eOk || faces.done() || faces.getFace(face) != AcBr::eOk) {
    // A key from an unset face would name nothing; the body simply gets none.
    acutPrintf("\nThe body has no faces and cannot be referenced.");
    return nullptr;
  }
  AmiObjectKey* faceKey = keyFromSubentity(face);
  if (!faceKey) return nullptr;  // not a part: its body has no key either
  AmiObjectKey* compKey = nullptr;
  AmiStatus status = amiGetContainingComp(faceKey, compKey);
  acReleaseKey(&faceKey);
  if (status == Ami::eOk) return compKey;
  acReleaseKey(&compKey);
  AcDbFullSubentPath path;
  if (body.getSubentPath(path) != AcBr::eOk || path.objectIds().length() == 0) CAE_GENERAL_ERROR();
  AmiObjectKey* bodyKey = nullptr;
  const AcDbObjectId last = path.objectIds()[path.objectIds().length() - 1];
  if (amiGetKeyFromId(last, Ami::kBodyKey, 1, nullptr, nullptr, bodyKey) != Ami::eOk) CAE_GENERAL_ERROR();
  return bodyKey;
}

}  // namespace

AcBrEntity* acBrepFromKey(const AmiObjectKey* key) {
  if (!key) return nullptr;
  AcBrEntity* entity = nullptr;
  if (amiGetBrepFromKey(key, entity) == Ami::eOk && entity) return entity;
  delete entity;
  return brepFromKeyIds(key);
}

AcBrEntity* acBrEntityFromKey(const AmiObjectKey* key) {
  AcBrEntity* temporary = acBrepFromKey(key);
  if (!temporary) return nullptr;
  AcBrEntity* canonical = nullptr;
  try {
    canonical = acCanonicalBrEntity(temporary);
  } catch (...) {
    delete temporary;
    throw;
  }
  delete temporary;
  return canonical;
}

AmiObjectKey* acKeyFromBrep(const AcBrEntity* entity) {
  if (!entity) CAE_GENERAL_ERROR();
  if (const auto* body = dynamic_cast<const AcBrBrep*>(entity)) return keyFromBody(*body);
  return keyFromSubentity(*entity);
}

AmiObjectKey* acKeyFromBrepById(const AcBrEntity* entity) {
  if (!entity) CAE_GENERAL_ERROR();
  AmiObjectKey* key = nullptr;
  if (!dynamic_cast<const AcBrBrep*>(entity)) {
    if (amiGetKeyFromBrep(*entity, key) != Ami::eOk || !key) CAE_GENERAL_ERROR();
    return key;
  }
  AcDbFullSubentPath path;
  if (entity->getSubentPath(path) != AcBr::eOk || path.objectIds().length() == 0) CAE_GENERAL_ERROR();
  const AcDbObjectId first = path.objectIds()[0];
  if (amiGetKeyFromId(first, Ami::kBodyKey, 1, nullptr, nullptr, key) == Ami::eOk && key) return key;
  acReleaseKey(&key);
  if (amiGetKeyFromId(first, Ami::kPartKey, 1, nullptr, nullptr, key) != Ami::eOk || !key) CAE_GENERAL_ERROR();
  return key;
}

bool acKeyIsStale(const AmiObjectKey* key) {
  bool answer = false;
  if (isKindOf(key, Ami::kObjectKey, answer) && answer) {
    bool erased = false;
    amiObjectWasErased(key, erased);
    return erased;
  }
  if (!isKindOf(key, Ami::kCompKey, answer)) CAE_GENERAL_ERROR();
  if (answer) {
    char* name = nullptr;
    if (amiGetCompName(key, name) != Ami::eOk) return true;
    delete[] name;
    AcBrEntity* brep = nullptr;
    AmiStatus status = amiGetBrepFromKey(key, brep);
    delete brep;
    return status != Ami::eOk;
  }
  AcDbObjectIdArray ids;
  return amiGetDbIdsFromKey(key, ids) == Ami::eStaleKey;
}

bool acKeyNotNull(const AmiObjectKey* key) {
  bool isNull = true;
  if (amiIsKeyNull(key, isNull) != Ami::eOk) CAE_GENERAL_ERROR();
  return !isNull;
}

void acReleaseKey(AmiObjectKey** key) {
  if (!key) return;
  if (*key && (*key)->isReleasable()) (*key)->release();
  *key = nullptr;
}
