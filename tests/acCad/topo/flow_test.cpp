// The user's road: parts loaded with PART, a parameter changed with PARAM, UNDO, SAVEAS and OPEN;
// references found through their keys follow their faces, go stale with them and come back.
#include <gtest/gtest.h>

#include <cmath>

#include "arx/acdocman.h"
#include "arx/dbdatabase.h"
#include "arx/dbdict.h"
#include "arx/dbfiler.h"
#include "key_holder.h"
#include "topo/acTopoRef.h"
#include "topo/acTopoTables.h"
#include "topo_fixture.h"
#include "util/acObjKey.h"

namespace {

using topotest::TopoTest;

void addHolder(AcDbDatabase* db, const char* name, AmiObjectKey* key) {
  AcDbDictionary* dictionary = nullptr;
  ASSERT_EQ(db->getNamedObjectsDictionary(dictionary, AcDb::kForWrite), Acad::eOk);
  auto* holder = new KeyHolder();
  holder->key = key;
  AcDbObjectId id;
  ASSERT_EQ(dictionary->setAt(name, holder, id), Acad::eOk);
  holder->close();
  dictionary->close();
}

// The reference of the key filed under `name` in the current drawing, or null.
AcTopoRef* filedReference(const char* name) {
  AcDbDictionary* dictionary = nullptr;
  EXPECT_EQ(TopoTest::db()->getNamedObjectsDictionary(dictionary, AcDb::kForRead), Acad::eOk);
  AcDbObject* object = nullptr;
  EXPECT_EQ(dictionary->getAt(name, object, AcDb::kForRead), Acad::eOk);
  dictionary->close();
  auto* holder = KeyHolder::cast(object);
  AcTopoRef* reference = holder ? acTopoRefFromKey(holder->key) : nullptr;
  if (object) object->close();
  return reference;
}

// The distance from the hole's axis (vertical through (100, 50)) of the hole face's closest point
// to a probe beside it: the hole's radius.
double holeRadius(AcTopoRef* hole) {
  CaeVector closest, params;
  hole->Project(CaeVector(160, 50, 5), closest, params);
  return std::hypot(closest[0] - 100, closest[1] - 50);
}

// The height of a horizontal face under (20, 15).
double floorHeight(AcTopoRef* floor) {
  CaeVector closest, params;
  floor->Project(CaeVector(20, 15, 100), closest, params);
  return closest[2];
}

class FlowTest : public TopoTest {
 protected:
  void SetUp() override {
    TopoTest::SetUp();
    KeyHolder::desc();
  }
};

TEST_F(FlowTest, ReferencesFollowEditsGoStaleComeBackWithUndoAndSurviveReopening) {
  AcDbObjectId plate = loadPart("plate_with_hole");
  AcDbObjectId block = loadPart(fixturePath("pocket_block.part"));
  AmiObjectKey* holeKey = faceKey(plate, "hole1/side");
  AmiObjectKey* bottomKey = faceKey(block, "pocket/bottom");
  AcTopoRef* hole = acTopoRefFromKey(holeKey);
  AcTopoRef* bottom = acTopoRefFromKey(bottomKey);
  ASSERT_NE(hole, nullptr);
  ASSERT_NE(bottom, nullptr);
  EXPECT_NEAR(holeRadius(hole), 15.0, 1e-9);
  EXPECT_NEAR(floorHeight(bottom), 6.0, 1e-9);

  command("PARAM set plate/D 40");
  command("PARAM set block/Depth 12");
  // The surviving face: its key finds the same logical face with its new geometry.
  AcTopoRef* holeAfter = acTopoRefFromKey(holeKey);
  ASSERT_NE(holeAfter, nullptr);
  EXPECT_EQ(holeAfter->Kind(), CaeTopoRef::kFace);
  EXPECT_NEAR(holeRadius(holeAfter), 20.0, 1e-9);
  AmiObjectKey* again = keep(acKeyFromBrep(holeAfter->Entity()));
  bool same = false;
  ASSERT_EQ(amiAreKeysEquivalent(again, holeKey, same), Ami::eOk);
  EXPECT_TRUE(same);
  // The pocket's floor went with the edit.
  EXPECT_EQ(acTopoRefFromKey(bottomKey), nullptr);
  EXPECT_TRUE(acKeyIsStale(bottomKey));
  EXPECT_FALSE(bottom->IsValid());

  command("UNDO 1");
  EXPECT_TRUE(bottom->IsValid());
  AcTopoRef* bottomBack = acTopoRefFromKey(bottomKey);
  ASSERT_NE(bottomBack, nullptr);
  EXPECT_NEAR(floorHeight(bottomBack), 6.0, 1e-9);

  addHolder(db(), "hole", new AmiObjectKey(Ami::kFaceKey, plate, "hole1/side"));
  addHolder(db(), "bottom", new AmiObjectKey(Ami::kFaceKey, block, "pocket/bottom"));
  kestrum::test::TempDir dir;
  const std::string path = (dir / "topology.dwg").string();
  command("SAVEAS " + path);
  command("CLOSE");
  command("OPEN " + path);
  ASSERT_NE(acDocManagerPtr()->curDocument(), nullptr);
  ASSERT_NE(AcTopoTables::Current(), nullptr);
  EXPECT_EQ(AcTopoTables::Current()->References().Count(), 0);  // a new drawing's own tables

  AcTopoRef* holeReopened = filedReference("hole");
  ASSERT_NE(holeReopened, nullptr);
  EXPECT_NEAR(holeRadius(holeReopened), 20.0, 1e-9);
  AcTopoRef* bottomReopened = filedReference("bottom");
  ASSERT_NE(bottomReopened, nullptr);
  EXPECT_NEAR(floorHeight(bottomReopened), 6.0, 1e-9);
  EXPECT_TRUE(bottomReopened->IsValid());
}

}  // namespace
