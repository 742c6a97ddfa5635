// Object keys of part geometry: keys from B-rep entities and back, staleness, release and the
// binding of drawing objects to keys.
#include <gtest/gtest.h>
#include <BRepBuilderAPI_MakeVertex.hxx>
#include <BRepPrimAPI_MakeBox.hxx>

#include <functional>
#include <memory>
#include <vector>

#include "amg/CaeAttrib.h"
#include "amg/CaeExcept.h"
#include "arx/acutads.h"
#include "arx/brtrav.h"
#include "arx/dbdatabase.h"
#include "arx/dbsymtb.h"
#include "arx/hostinput.h"
#include "topo/acTopoRef.h"
#include "topo/acTopoUtil.h"
#include "topo_fixture.h"
#include "util/acObjKey.h"

namespace {

using topotest::TestSolid;
using topotest::TopoTest;

class KeyTest : public TopoTest {
 protected:
  static void erase(AcDbObjectId id, bool erasing = true) {
    AcDbObject* object = nullptr;
    ASSERT_EQ(acdbOpenObject(object, id, AcDb::kForWrite, true), Acad::eOk);
    ASSERT_EQ(object->erase(erasing), Acad::eOk);
    object->close();
  }
  static bool isErased(AcDbObjectId id) {
    AcDbObject* object = nullptr;
    if (acdbOpenObject(object, id, AcDb::kForRead, true) != Acad::eOk) return false;
    const bool erased = object->isErased();
    object->close();
    return erased;
  }
  // Runs `work` with the object open for read.
  static void withObject(AcDbObjectId id, const std::function<void(AcDbObject*)>& work) {
    AcDbObject* object = nullptr;
    ASSERT_EQ(acdbOpenObject(object, id, AcDb::kForRead), Acad::eOk);
    work(object);
    object->close();
  }
  static bool equivalent(const AmiObjectKey* a, const AmiObjectKey* b) {
    bool same = false;
    return amiAreKeysEquivalent(a, b, same) == Ami::eOk && same;
  }
};

TEST_F(KeyTest, StalenessByKindOfKey) {
  AcDbObjectId block = loadPart(fixturePath("pocket_block.part"));
  AcDbObjectId solid = addSolid(BRepPrimAPI_MakeBox(1, 1, 1).Shape());
  AmiObjectKey* bottom = faceKey(block, "pocket/bottom");
  AmiObjectKey* side = faceKey(block, "pocket/side");
  AmiObjectKey* comp = keep(new AmiObjectKey(Ami::kCompKey, block));
  AmiObjectKey* object = keep(new AmiObjectKey(Ami::kObjectKey, solid));
  const struct {
    const char* name;
    AmiObjectKey* key;
    bool afterEdit;
    bool afterErase;
  } cases[] = {
      {"face removed by the edit", bottom, true, true},
      {"face that survives", side, false, true},
      {"component", comp, false, true},
      {"plain object", object, false, true},
  };
  for (const auto& c : cases) EXPECT_FALSE(acKeyIsStale(c.key)) << c.name;

  command("PARAM set block/Depth 12");
  for (const auto& c : cases) EXPECT_EQ(acKeyIsStale(c.key), c.afterEdit) << c.name;
  command("UNDO 1");
  for (const auto& c : cases) EXPECT_FALSE(acKeyIsStale(c.key)) << c.name;

  erase(block);
  erase(solid);
  for (const auto& c : cases) EXPECT_EQ(acKeyIsStale(c.key), c.afterErase) << c.name;
  EXPECT_THROW(acKeyIsStale(nullptr), CaeExcept);
}

TEST_F(KeyTest, KeysFromBrepEntitiesAndBack) {
  AcDbObjectId plate = loadPart("plate_with_hole");
  AmiObjectKey* named = faceKey(plate, "hole1/side");
  std::unique_ptr<AcBrEntity> face(acBrepFromKey(named));
  ASSERT_NE(dynamic_cast<AcBrFace*>(face.get()), nullptr);
  AmiObjectKey* derived = keep(acKeyFromBrep(face.get()));
  EXPECT_TRUE(equivalent(derived, named));
  AmiObjectKey* byId = keep(acKeyFromBrepById(face.get()));
  EXPECT_TRUE(equivalent(byId, named));

  // A body's key is its component's; through ids it is the body key of the part entity.
  AcBrBrep body;
  ASSERT_EQ(face->getBrep(body), AcBr::eOk);
  AmiObjectKey* bodyKey = keep(acKeyFromBrep(&body));
  ASSERT_NE(bodyKey, nullptr);
  EXPECT_EQ(bodyKey->keyType(), Ami::kCompKey);
  EXPECT_EQ(bodyKey->objectId(), plate);
  AmiObjectKey* bodyById = keep(acKeyFromBrepById(&body));
  EXPECT_EQ(bodyById->keyType(), Ami::kBodyKey);
  std::unique_ptr<AcBrEntity> fromBodyKey(acBrepFromKey(bodyById));
  EXPECT_NE(dynamic_cast<AcBrBrep*>(fromBodyKey.get()), nullptr);

  EXPECT_EQ(acBrepFromKey(nullptr), nullptr);
  EXPECT_EQ(acBrepFromKey(faceKey(plate, "no/such")), nullptr);
  EXPECT_EQ(acBrEntityFromKey(faceKey(plate, "no/such")), nullptr);
  EXPECT_TRUE(acKeyNotNull(named));
  EXPECT_FALSE(acKeyNotNull(nullptr));
}

TEST_F(KeyTest, EntitiesThatAreNoPartGetNoKeyAndAFacelessBodyIsReported) {
  AcDbObjectId box = addSolid(BRepPrimAPI_MakeBox(1, 1, 1).Shape());
  AcBrFace face;
  ASSERT_EQ(face.setSubentPath(AcDbFullSubentPath(box, AcDbSubentId(AcDb::kFaceSubentType, 1))), AcBr::eOk);
  EXPECT_EQ(acKeyFromBrep(&face), nullptr);

  AcDbObjectId point = addSolid(BRepBuilderAPI_MakeVertex(gp_Pnt(1, 2, 3)).Shape());
  AcBrBrep faceless;
  ASSERT_EQ(faceless.setSubentPath(AcDbFullSubentPath(point, kNullSubent)), AcBr::eOk);
  cadhost::clearPrintedText();
  EXPECT_EQ(acKeyFromBrep(&faceless), nullptr);
  EXPECT_NE(cadhost::printedText().find("has no faces"), std::string::npos) << cadhost::printedText();
}

TEST_F(KeyTest, ReleaseKeepsKeysThatBoundObjectsStillNeed) {
  AcDbObjectId plate = loadPart("plate_with_hole");
  AcDbObjectId holder = addSolid(BRepPrimAPI_MakeBox(1, 1, 1).Shape());
  auto* bound = new AmiObjectKey(Ami::kFaceKey, plate, "plate/top");
  withObject(holder, [&](AcDbObject* object) { acBindObjectToKey(bound, object); });
  AmiObjectKey* pointer = bound;
  acReleaseKey(&pointer);
  EXPECT_EQ(pointer, nullptr);
  EXPECT_TRUE(bound->hasBoundObject());  // still alive: its object needs it

  // The holder gives the key up: the key hears of it and may then go.
  pointer = bound;
  acReleaseBoundKey(&pointer);
  EXPECT_EQ(pointer, nullptr);
  EXPECT_FALSE(bound->hasBoundObject());
  pointer = bound;
  acReleaseKey(&pointer);  // deletes it; the sanitiser reports a leak otherwise
  EXPECT_EQ(pointer, nullptr);
  acReleaseKey(nullptr);
}

TEST_F(KeyTest, BindingUnbindingAndErasureNotices) {
  AcDbObjectId plate = loadPart("plate_with_hole");
  AcDbObjectId first = addSolid(BRepPrimAPI_MakeBox(1, 1, 1).Shape());
  AmiObjectKey* key = faceKey(plate, "plate/top");
  acBindObjectToKey(nullptr, nullptr);
  withObject(first, [&](AcDbObject* object) { acBindObjectToKey(key, object); });
  EXPECT_TRUE(key->hasBoundObject());
  EXPECT_EQ(key->boundObjectId(), first);
  acNotifyKeyErased(key, 1);
  EXPECT_FALSE(key->hasBoundObject());
  acNotifyKeyErased(key, 0);
  EXPECT_TRUE(key->hasBoundObject());
  acNotifyKeyErased(nullptr, 1);
  acBindObjectToKey(key, nullptr);
  EXPECT_FALSE(key->hasBoundObject());
}

TEST_F(KeyTest, ARefusedBindNeverBringsBackAnObjectTheUserErased) {
  AcDbObjectId plate = loadPart("plate_with_hole");
  AcDbObjectId deleted = addSolid(BRepPrimAPI_MakeBox(1, 1, 1).Shape());
  AcDbObjectId next = addSolid(BRepPrimAPI_MakeBox(2, 2, 2).Shape());
  AmiObjectKey* key = faceKey(plate, "plate/top");
  withObject(deleted, [&](AcDbObject* object) { acBindObjectToKey(key, object); });
  erase(deleted);
  acNotifyKeyErased(key, 1);

  // An object the key refuses (not in a drawing): a report, and the erased object stays erased.
  TestSolid outside;
  EXPECT_THROW(acBindObjectToKey(key, &outside), CaeExcept);
  EXPECT_TRUE(isErased(deleted));

  // Another object binds while the first stays erased.
  withObject(next, [&](AcDbObject* object) { acBindObjectToKey(key, object); });
  EXPECT_TRUE(key->hasBoundObject());
  EXPECT_EQ(key->boundObjectId(), next);
  EXPECT_TRUE(isErased(deleted));
  acBindObjectToKey(key, nullptr);
}

TEST_F(KeyTest, AnAttributeGivesItsReferencesKey) {
  AcDbObjectId plate = loadPart("plate_with_hole");
  AcTopoRef* top = refOf(plate, Ami::kFaceKey, "plate/top");
  CaeAttrib without;
  CaeAttrib with(top);
  EXPECT_EQ(acKeyOfAttrib(nullptr), nullptr);
  EXPECT_EQ(acKeyOfAttrib(&without), nullptr);
  EXPECT_EQ(acKeyOfAttrib(&with), top->GetKey());
  EXPECT_TRUE(equivalent(acKeyOfAttrib(&with), faceKey(plate, "plate/top")));
}

}  // namespace

namespace {

// A drawing object that is also an engine attribute, as the condition and mesh objects are.
class AttribSolid : public topotest::TestSolid, public CaeAttrib {};

TEST_F(KeyTest, RebindingMovesEveryObjectOnASubentityToItsReferencesKey) {
  AcDbObjectId plate = loadPart("plate_with_hole");
  AcTopoRef* top = refOf(plate, Ami::kFaceKey, "plate/top");
  // Two objects as they come from a drawing file: each holds a key of its own for the same face.
  std::vector<AttribSolid*> objects;
  std::vector<AmiObjectKey*> held;
  for (int i = 0; i < 2; ++i) {
    auto* object = new AttribSolid();
    AcDbBlockTableRecord* modelSpace = nullptr;
    ASSERT_EQ(acdbOpenObject(modelSpace, db()->modelSpaceId(), AcDb::kForWrite), Acad::eOk);
    AcDbObjectId id;
    ASSERT_EQ(modelSpace->appendAcDbEntity(id, object), Acad::eOk);
    modelSpace->close();
    held.push_back(faceKey(plate, "plate/top"));
    acBindObjectToKey(held.back(), object);
    objects.push_back(object);
  }
  std::vector<AmiObjectKey*> filed = held;
  for (int i = 0; i < 2; ++i) {
    objects[i]->SetTopoRef(top);
    acRebindAttribToKey(&held[i], objects[i]);
    EXPECT_EQ(held[i], top->GetKey());
    EXPECT_FALSE(filed[i]->hasBoundObject());  // given up, not released: the test still owns it
  }
  EXPECT_TRUE(top->GetKey()->hasBoundObject());
  EXPECT_EQ(top->GetKey()->boundObjectId(), objects[1]->objectId());

  // Without a reference the object is left without a key; nothing is bound anywhere.
  AmiObjectKey* own = faceKey(plate, "plate/top");
  AmiObjectKey* ownFiled = own;
  acBindObjectToKey(own, objects[0]);
  objects[0]->SetTopoRef(nullptr);
  acRebindAttribToKey(&own, objects[0]);
  EXPECT_EQ(own, nullptr);
  EXPECT_FALSE(ownFiled->hasBoundObject());
  acRebindAttribToKey(nullptr, objects[0]);
  acBindObjectToKey(top->GetKey(), nullptr);
  for (AttribSolid* object : objects) object->close();
}

}  // namespace
