#include "mcad/amiparam.h"

#include <cstring>
#include <string>
#include <vector>

#include "arx/acdocman.h"
#include "mcad/amipart.h"
#include "mcadkernel/error.h"

namespace {

AcDbDatabase* currentDatabase() {
  AcApDocument* doc = acDocManagerPtr()->curDocument();
  return doc ? doc->database() : nullptr;
}

char* copyText(const std::string& text) {
  char* copy = new char[text.size() + 1];
  std::memcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

template <class Key>
void handOut(std::vector<Key*>& list, int& count, Key**& keys) {
  count = static_cast<int>(list.size());
  keys = nullptr;
  if (list.empty()) return;
  keys = new Key*[list.size()];
  for (std::size_t i = 0; i < list.size(); ++i) keys[i] = list[i];
}

// Reads what a key's parameter set says, with the part entity open for read around it.
template <class Work>
AmiStatus withParameterSet(const AmiParamKey* key, Work work) {
  if (!key || !key->database()) return Ami::eBadInput;
  if (key->isGlobal()) {
    const mcadkernel::ParameterSet* globals = mcadGlobals(key->database());
    if (!globals || !globals->contains(key->name())) return Ami::eNotFound;
    return work(*globals, static_cast<const mcadkernel::Part*>(nullptr));
  }
  AmiPartEntity* entity = nullptr;
  if (acdbOpenObject(entity, key->partId(), AcDb::kForRead) != Acad::eOk) return Ami::eStaleKey;
  const mcadkernel::Part* part = entity->part();
  AmiStatus status = Ami::eNotFound;
  if (!part)
    status = Ami::eRegenFailed;
  else if (part->parameters().contains(key->name()))
    status = work(part->parameters(), part);
  entity->close();
  return status;
}

AmiStatus partEntityOf(const AmiObjectKey* key, AcDbObjectId& id) {
  if (!key) return Ami::eBadInput;
  Ami::KeyType type = key->keyType();
  if (type != Ami::kBodyKey && type != Ami::kPartKey && type != Ami::kCompKey) return Ami::eWrongKeyType;
  id = key->objectId();
  return Ami::eOk;
}

}  // namespace

AmiStatus amiGetGlobalParams(const char* scope, int& count, AmiParamKey**& keys) {
  count = 0;
  keys = nullptr;
  if (!scope || std::strcmp(scope, "Designer") != 0) return Ami::eBadInput;
  AcDbDatabase* db = currentDatabase();
  if (!db) return Ami::eNoDocument;
  std::vector<AmiParamKey*> list;
  if (const mcadkernel::ParameterSet* globals = mcadGlobals(db))
    for (const std::string& name : globals->names()) list.push_back(new AmiParamKey(db, AcDbObjectId::kNull, name));
  handOut(list, count, keys);
  return Ami::eOk;
}

AmiStatus amiGetPartParams(const AmiObjectKey* partKey, int& count, AmiParamKey**& keys) {
  count = 0;
  keys = nullptr;
  AcDbObjectId id;
  AmiStatus status = partEntityOf(partKey, id);
  if (status != Ami::eOk) return status;
  AmiPartEntity* entity = nullptr;
  if (acdbOpenObject(entity, id, AcDb::kForRead) != Acad::eOk) return Ami::eStaleKey;
  std::vector<AmiParamKey*> list;
  if (const mcadkernel::Part* part = entity->part())
    for (const std::string& name : part->parameters().names()) list.push_back(new AmiParamKey(nullptr, id, name));
  entity->close();
  handOut(list, count, keys);
  return Ami::eOk;
}

AmiStatus amiFindParam(const char* name, AmiParamKey*& key) {
  key = nullptr;
  AcDbDatabase* db = currentDatabase();
  if (!db) return Ami::eNoDocument;
  if (!name || !*name) return Ami::eBadInput;
  std::string text = name;
  std::size_t slash = text.find('/');
  if (slash == std::string::npos) {
    const mcadkernel::ParameterSet* globals = mcadGlobals(db);
    if (!globals || !globals->contains(text)) return Ami::eNotFound;
    key = new AmiParamKey(db, AcDbObjectId::kNull, text);
    return Ami::eOk;
  }
  AcDbObjectId part = mcadFindComponent(db, text.substr(0, slash));
  if (part.isNull()) return Ami::eNotFound;
  auto* candidate = new AmiParamKey(db, part, text.substr(slash + 1));
  double value = 0.0;
  if (amiGetParamValue(candidate, value) != Ami::eOk) {
    delete candidate;
    return Ami::eNotFound;
  }
  key = candidate;
  return Ami::eOk;
}

AmiStatus amiGetParamName(const AmiParamKey* key, char*& name) {
  name = nullptr;
  if (!key) return Ami::eBadInput;
  name = copyText(key->name());
  return Ami::eOk;
}

AmiStatus amiGetParamValue(const AmiParamKey* key, double& value) {
  const AmiStatus status = withParameterSet(key, [&](const mcadkernel::ParameterSet& set, const mcadkernel::Part*) {
    value = set.value(key->name());
    return Ami::eOk;
  });
  if (status == Ami::eOk && !key->isGlobal()) {
    AmiPartEntity* entity = nullptr;
    if (acdbOpenObject(entity, key->partId(), AcDb::kForRead) == Acad::eOk) {
      entity->pendingParameterValue(key->name(), value);
      entity->close();
    }
  }
  return status;
}

AmiStatus amiSetParamValue(const AmiParamKey* key, double value, int flags) {
  if (!key || !key->database()) return Ami::eBadInput;
  const bool deferred = (flags & Ami::kParamNoRegen) != 0;
  try {
    if (key->isGlobal()) {
      if (deferred)
        mcadSetGlobalDeferred(key->database(), key->name(), value);
      else
        mcadSetGlobal(key->database(), key->name(), value);
      return Ami::eOk;
    }
    AmiPartEntity* entity = nullptr;
    if (acdbOpenObject(entity, key->partId(), AcDb::kForWrite) != Acad::eOk) return Ami::eStaleKey;
    AmiStatus status = Ami::eOk;
    const mcadkernel::Part* part = entity->part();
    if (!part || !part->parameters().contains(key->name())) {
      status = part ? Ami::eNotFound : Ami::eRegenFailed;
    } else {
      try {
        if (deferred)
          entity->setPendingParameterValue(key->name(), value);
        else
          entity->setParameterValue(key->name(), value);
      } catch (const mcadkernel::KernelError&) {
        status = Ami::eRegenFailed;
      }
    }
    entity->close();
    return status;
  } catch (const mcadkernel::KernelError&) {
    return Ami::eRegenFailed;
  }
}

AmiStatus amiGetParamDeps(const AmiParamKey* key, int& count, AmiParamKey**& keys) {
  count = 0;
  keys = nullptr;
  std::vector<AmiParamKey*> list;
  AmiStatus status = withParameterSet(key, [&](const mcadkernel::ParameterSet& set, const mcadkernel::Part*) {
    for (const std::string& name : set.dependencies(key->name())) {
      bool own = set.contains(name);  // else a global seen through the part's outer set
      list.push_back(new AmiParamKey(key->database(), own ? key->partId() : AcDbObjectId::kNull, name));
    }
    return Ami::eOk;
  });
  handOut(list, count, keys);
  return status;
}

AmiStatus amiGetParamUsers(const AmiParamKey* key, int& count, AmiKey**& keys) {
  count = 0;
  keys = nullptr;
  std::vector<AmiKey*> list;
  AmiStatus status = withParameterSet(key, [&](const mcadkernel::ParameterSet& set, const mcadkernel::Part* part) {
    for (const std::string& name : set.users(key->name()))
      list.push_back(new AmiParamKey(key->database(), key->partId(), name));
    if (part) {
      if (!part->featuresUsing(key->name()).empty()) list.push_back(new AmiObjectKey(Ami::kPartKey, key->partId()));
      return Ami::eOk;
    }
    for (AcDbObjectId id : mcadPartIds(key->database())) {
      AmiPartEntity* entity = nullptr;
      if (acdbOpenObject(entity, id, AcDb::kForRead) != Acad::eOk) continue;
      if (entity->part() && entity->part()->usesGlobal(key->name()))
        list.push_back(new AmiObjectKey(Ami::kPartKey, id));
      entity->close();
    }
    return Ami::eOk;
  });
  handOut(list, count, keys);
  return status;
}

AmiStatus amiGetContainingPart(const AmiParamKey* key, AmiObjectKey*& partKey) {
  partKey = nullptr;
  if (!key) return Ami::eBadInput;
  if (key->isGlobal()) return Ami::eNotFound;
  partKey = new AmiObjectKey(Ami::kPartKey, key->partId());
  return Ami::eOk;
}

AmiStatus amiRegen(const AmiObjectKey* partKey, int) {
  AcDbObjectId id;
  AmiStatus status = partEntityOf(partKey, id);
  if (status != Ami::eOk) return status;
  AmiPartEntity* entity = nullptr;
  if (acdbOpenObject(entity, id, AcDb::kForWrite) != Acad::eOk) return Ami::eStaleKey;
  try {
    entity->regenerate();
  } catch (const mcadkernel::KernelError&) {
    status = Ami::eRegenFailed;
  }
  entity->close();
  return status;
}

AmiStatus amiGetActivePart(const char* scope, AmiObjectKey*& partKey) {
  partKey = nullptr;
  if (!scope || std::strcmp(scope, "Designer") != 0) return Ami::eBadInput;
  AcDbDatabase* db = currentDatabase();
  if (!db) return Ami::eNoDocument;
  std::vector<AcDbObjectId> parts = mcadPartIds(db);
  if (parts.empty()) return Ami::eNotFound;
  partKey = new AmiObjectKey(Ami::kPartKey, parts.front());
  return Ami::eOk;
}

AmiStatus amiGetMassProps(const AmiObjectKey* partKey, AmiMassProps& props) {
  AcDbObjectId id;
  AmiStatus status = partEntityOf(partKey, id);
  if (status != Ami::eOk) return status;
  TopoDS_Shape solid;
  status = amiGetShapeFromKey(partKey, solid);
  if (status != Ami::eOk) return status;
  mcadkernel::MassProperties mass = mcadkernel::massPropertiesOf(solid);
  props = AmiMassProps{};
  props.volume = mass.volume;
  props.mass = mass.volume;
  props.centroid = AcGePoint3d(mass.centre[0], mass.centre[1], mass.centre[2]);
  props.momentsOfInertia = AcGeVector3d(mass.inertia[0][0], mass.inertia[1][1], mass.inertia[2][2]);
  props.productsOfInertia = AcGeVector3d(-mass.inertia[0][1], -mass.inertia[1][2], -mass.inertia[2][0]);
  return Ami::eOk;
}
