// The topology fixture with attribute-carrying entities: posting them to the drawing, listing
// them on references, walking references' lists and tracing the passes.
#pragma once

#include <string>
#include <vector>

#include "amg/CaeTypeInfo.h"
#include "attrib_standins.h"
#include "topo_fixture.h"

class CaeAttrib;

namespace topotest {

class AttribTest : public TopoTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Appends a new entity to model space (closed) and answers it.
  template <class T>
  T* post(T* entity) {
    postEntity(entity);
    return entity;
  }
  // A stand-in of type T for the subentity `name` of `part`, posted and listed on its reference.
  template <class T>
  T* attachNew(AcDbObjectId part, Ami::KeyType type, const std::string& name) {
    T* entity = post(new T());
    entity->SetKey(new AmiObjectKey(type, part, name));
    listOn(refOf(part, type, name), entity);
    return entity;
  }
  static void postEntity(AcDbEntity* entity);
  // AddAttribute and SetTopoRef, as a drawing object does when it attaches.
  static void listOn(AcTopoRef* reference, CaeAttrib* attribute);
  // The attributes a First/Next walk answers (inside a transaction of its own).
  static std::vector<CaeAttrib*> walk(AcTopoRef* reference, CaeTypeId type, int activeOnly);

  // Names of the passes heard since the fixture started or the last call.
  static std::vector<std::string> takePasses();
  static int count(const std::vector<std::string>& passes, const std::string& name);
};

}  // namespace topotest
