#include "attrib_fixture.h"

#include <algorithm>

#include "amg/CaeAttrib.h"
#include "arx/dbdatabase.h"
#include "arx/dbsymtb.h"
#include "db/dbOpen.h"
#include "topo/acTopoRef.h"
#include "util/acDeferredPasses.h"

namespace topotest {

namespace {
std::vector<std::string> heardPasses;
void hear(const char* pass) { heardPasses.emplace_back(pass); }
}  // namespace

void AttribTest::SetUp() {
  TopoTest::SetUp();
  registerAttribStandIns();
  acTopoResetFlags();
  heardPasses.clear();
  acSetPassObserver(hear);
}

void AttribTest::TearDown() {
  acSetPassObserver(nullptr);
  TestAttribHost::mischief = Mischief::None;
  TestAttribHost::reenterOnModify = false;
  TestAttribHost::resolveWhileFiling = false;
  TopoTest::TearDown();
}

void AttribTest::postEntity(AcDbEntity* entity) {
  AcDbBlockTableRecord* modelSpace = nullptr;
  ASSERT_EQ(acdbOpenObject(modelSpace, db()->modelSpaceId(), AcDb::kForWrite), Acad::eOk);
  AcDbObjectId id;
  ASSERT_EQ(modelSpace->appendAcDbEntity(id, entity), Acad::eOk);
  modelSpace->close();
  entity->close();
}

void AttribTest::listOn(AcTopoRef* reference, CaeAttrib* attribute) {
  ASSERT_NE(reference, nullptr);
  reference->AddAttribute(attribute);
  attribute->SetTopoRef(reference);
}

std::vector<CaeAttrib*> AttribTest::walk(AcTopoRef* reference, CaeTypeId type, int activeOnly) {
  DbTransaction transaction(db());
  std::vector<CaeAttrib*> found;
  for (CaeAttrib* attribute = reference->FirstAttribute(type, activeOnly); attribute;
       attribute = reference->NextAttribute(type, attribute, activeOnly)) {
    found.push_back(attribute);
    if (found.size() > 100) break;  // a walk that does not end is a failure, not a hang
  }
  return found;
}

std::vector<std::string> AttribTest::takePasses() { return std::exchange(heardPasses, {}); }

int AttribTest::count(const std::vector<std::string>& passes, const std::string& name) {
  return static_cast<int>(std::count(passes.begin(), passes.end(), name));
}

}  // namespace topotest
