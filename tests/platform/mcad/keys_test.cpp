// Object keys: following faces through edits, staleness and undo, filing and drawing files,
// binding, equivalence, subentity paths and components.
#include <TopExp.hxx>
#include <TopTools_IndexedMapOfShape.hxx>

#include <memory>

#include "arx/brbrep.h"
#include "arx/dbdict.h"
#include "arx/dbfiler.h"
#include "key_holder.h"
#include "part_fixture.h"

namespace {

using mcadtest::PartDrawingTest;

AcDbObjectId addHolder(AcDbDatabase* db, const char* name, AmiObjectKey* key) {
  KeyHolder::desc();
  AcDbDictionary* dictionary = nullptr;
  EXPECT_EQ(db->getNamedObjectsDictionary(dictionary, AcDb::kForWrite), Acad::eOk);
  auto* holder = new KeyHolder();
  holder->key = key;
  AcDbObjectId id;
  EXPECT_EQ(dictionary->setAt(name, holder, id), Acad::eOk);
  EXPECT_EQ(key->bind(holder), Ami::eOk);
  holder->close();
  dictionary->close();
  return id;
}

TopoDS_Shape shapeOf(const AmiKey* key, AmiStatus expected = Ami::eOk) {
  TopoDS_Shape shape;
  EXPECT_EQ(amiGetShapeFromKey(key, shape), expected);
  return shape;
}

AmiStatus setParam(AcDbObjectId part, const char* name, double value) {
  AmiParamKey key(nullptr, part, name);
  return amiSetParamValue(&key, value);
}

TEST_F(PartDrawingTest, SurvivingFaceKeysFollowTheirFacesThroughAnEdit) {
  AcDbObjectId plate = loadShipped("plate_with_hole.part");
  AmiObjectKey* hole = faceKey(plate, "hole1/side");
  AmiObjectKey* top = faceKey(plate, "plate/top");
  EXPECT_NEAR(mcadtest::cylinderRadius(shapeOf(hole)), 15.0, 1e-9);
  double topBefore = mcadtest::area(shapeOf(top));

  ASSERT_EQ(setParam(plate, "D", 40.0), Ami::eOk);
  EXPECT_NEAR(mcadtest::cylinderRadius(shapeOf(hole)), 20.0, 1e-9);
  EXPECT_NEAR(mcadtest::area(shapeOf(top)), topBefore - M_PI * (400.0 - 225.0), 1e-6);
  EXPECT_NEAR(mcadtest::faceCentre(shapeOf(top)).Z(), 10.0, 1e-9);
}

TEST_F(PartDrawingTest, RemovedFaceKeyIsStaleUntilUndoBringsTheFaceBack) {
  AcDbObjectId block = loadFixture("pocket_block.part");
  AmiObjectKey* bottom = faceKey(block, "pocket/bottom");
  AmiObjectKey* side = faceKey(block, "pocket/side");
  EXPECT_NEAR(mcadtest::faceCentre(shapeOf(bottom)).Z(), 6.0, 1e-9);

  inUndoGroup("PARAM", [&] { ASSERT_EQ(setParam(block, "Depth", 12.0), Ami::eOk); });
  AcDbObjectIdArray ids;
  EXPECT_EQ(amiGetDbIdsFromKey(bottom, ids), Ami::eStaleKey);
  shapeOf(bottom, Ami::eStaleKey);
  EXPECT_EQ(amiGetDbIdsFromKey(side, ids), Ami::eOk);
  EXPECT_NEAR(mcadtest::area(shapeOf(side)), M_PI * 8.0 * 10.0, 1e-6);  // now through the block

  ASSERT_EQ(db()->undo(1), 1);
  EXPECT_EQ(amiGetDbIdsFromKey(bottom, ids), Ami::eOk);
  EXPECT_NEAR(mcadtest::faceCentre(shapeOf(bottom)).Z(), 6.0, 1e-9);
  EXPECT_NEAR(mcadtest::area(shapeOf(side)), M_PI * 8.0 * 4.0, 1e-6);
}

TEST_F(PartDrawingTest, ErasingThePartMakesItsKeysStaleAndUndoRestoresThem) {
  AcDbObjectId plate = loadShipped("plate_with_hole.part");
  AmiObjectKey* hole = faceKey(plate, "hole1/side");
  inUndoGroup("ERASE", [&] {
    AcDbObject* object = nullptr;
    ASSERT_EQ(acdbOpenObject(object, plate, AcDb::kForWrite), Acad::eOk);
    ASSERT_EQ(object->erase(), Acad::eOk);
    object->close();
  });
  AcDbObjectIdArray ids;
  EXPECT_EQ(amiGetDbIdsFromKey(hole, ids), Ami::eStaleKey);
  char* name = nullptr;
  AmiObjectKey comp(Ami::kCompKey, plate);
  EXPECT_EQ(amiGetCompName(&comp, name), Ami::eStaleKey);
  db()->undo(1);
  EXPECT_EQ(amiGetDbIdsFromKey(hole, ids), Ami::eOk);
  ASSERT_EQ(ids.length(), 1);
  EXPECT_EQ(ids[0], plate);
}

TEST_F(PartDrawingTest, FiledKeysReadBackEquivalentAndAFailingFilerIsReported) {
  AcDbObjectId plate = loadShipped("plate_with_hole.part");
  AmiObjectKey edge(Ami::kEdgeKey, plate, "hole1/side|plate/top");
  AmiParamKey global(db(), AcDbObjectId::kNull, "Lift");
  AmiParamKey own(nullptr, plate, "D");
  for (const AmiKey* key : std::vector<const AmiKey*>{&edge, &global, &own}) {
    AcDbDwgFiler out(AcDb::kFileFiler, db());
    ASSERT_EQ(amiWriteKey(&out, key), Ami::eOk);
    std::string data = out.takeBuffer();
    AcDbDwgFiler in(AcDb::kFileFiler, db(), data);
    AmiKey* read = nullptr;
    ASSERT_EQ(amiReadKey(&in, read), Ami::eOk);
    bool isNull = true, same = false;
    EXPECT_EQ(amiIsKeyNull(read, isNull), Ami::eOk);
    EXPECT_FALSE(isNull);
    EXPECT_EQ(amiAreKeysEquivalent(key, read, same), Ami::eOk);
    EXPECT_TRUE(same) << amiKeyName(key);
    EXPECT_TRUE(in.atEnd());
    read->release();
  }

  for (long failAt = 1; failAt <= 4; ++failAt) {
    AcDbDwgFiler out(AcDb::kFileFiler, db());
    out.setFailAt(failAt);
    EXPECT_EQ(amiWriteKey(&out, &edge), Ami::eFilerFailed) << failAt;
  }
  AcDbDwgFiler out(AcDb::kFileFiler, db());
  ASSERT_EQ(amiWriteKey(&out, &edge), Ami::eOk);
  std::string data = out.takeBuffer();
  AcDbDwgFiler failing(AcDb::kFileFiler, db(), data);
  failing.setFailAt(3);
  AmiKey* read = &edge;  // must be cleared
  EXPECT_EQ(amiReadKey(&failing, read), Ami::eFilerFailed);
  EXPECT_EQ(read, nullptr);
  AcDbDwgFiler notAKey(AcDb::kFileFiler, db());
  notAKey.writeInt32(7);
  notAKey.writeInt32(10);
  notAKey.writeSoftPointerId(plate);
  notAKey.writeString("plate/top");
  std::string bogus = notAKey.takeBuffer();
  AcDbDwgFiler bogusIn(AcDb::kFileFiler, db(), bogus);
  EXPECT_EQ(amiReadKey(&bogusIn, read), Ami::eFilerFailed);
  EXPECT_EQ(amiWriteKey(&out, nullptr), Ami::eBadInput);
}

TEST_F(PartDrawingTest, KeysFiledInADrawingResolveAfterReopening) {
  AcDbObjectId block = loadFixture("pocket_block.part");
  ASSERT_EQ(setParam(block, "Depth", 6.0), Ami::eOk);
  addHolder(db(), "bottom", new AmiObjectKey(Ami::kFaceKey, block, "pocket/bottom"));
  kestrum::test::TempDir dir;
  std::string path = (dir / "keys.dwg").string();
  ASSERT_EQ(db()->saveAs(path), Acad::eOk);

  AcDbDatabase reopened(false);
  std::vector<std::string> messages;
  ASSERT_EQ(reopened.readDwgFile(path, &messages), Acad::eOk);
  EXPECT_TRUE(messages.empty()) << messages.front();
  AcDbDictionary* dictionary = nullptr;
  ASSERT_EQ(reopened.getNamedObjectsDictionary(dictionary, AcDb::kForRead), Acad::eOk);
  AcDbObject* object = nullptr;
  ASSERT_EQ(dictionary->getAt("bottom", object, AcDb::kForRead), Acad::eOk);
  dictionary->close();
  auto* holder = KeyHolder::cast(object);
  ASSERT_NE(holder, nullptr);
  ASSERT_NE(holder->key, nullptr);
  EXPECT_EQ(holder->key->objectId().database(), &reopened);
  // The part was saved with its edited parameter: the pocket's floor is 6 deep.
  EXPECT_NEAR(mcadtest::faceCentre(shapeOf(holder->key)).Z(), 4.0, 1e-9);
  holder->close();
}

TEST_F(PartDrawingTest, SeveralObjectsBindToOneKeyAndReportTheirErasure) {
  AcDbObjectId plate = loadShipped("plate_with_hole.part");
  auto* key = new AmiObjectKey(Ami::kFaceKey, plate, "hole1/side");
  AcDbObjectId first = addHolder(db(), "first", key);
  AcDbObjectId second = addHolder(db(), "second", key);
  EXPECT_TRUE(key->hasBoundObject());
  EXPECT_FALSE(key->isReleasable());
  EXPECT_EQ(key->boundObjectId(), second);

  auto eraseHolder = [](AcDbObjectId id, bool erasing) {
    AcDbObject* object = nullptr;
    ASSERT_EQ(acdbOpenObject(object, id, AcDb::kForWrite, true), Acad::eOk);
    ASSERT_EQ(object->erase(erasing), Acad::eOk);
    object->close();
  };
  eraseHolder(first, true);
  EXPECT_TRUE(key->hasBoundObject());
  eraseHolder(second, true);
  EXPECT_FALSE(key->hasBoundObject());
  EXPECT_TRUE(key->isReleasable());
  eraseHolder(first, false);
  EXPECT_TRUE(key->hasBoundObject());

  AmiObjectKey loose(Ami::kFaceKey, plate, "plate/top");
  KeyHolder notInDrawing;
  EXPECT_EQ(loose.bind(&notInDrawing), Ami::eKeyRefused);
  EXPECT_EQ(loose.bind(nullptr), Ami::eKeyRefused);
  EXPECT_EQ(key->unbind(), Ami::eOk);
  EXPECT_FALSE(key->hasBoundObject());
  EXPECT_TRUE(key->boundObjectId().isNull());
  // The first holder owns the shared key.
  AcDbObject* object = nullptr;
  ASSERT_EQ(acdbOpenObject(object, second, AcDb::kForWrite, true), Acad::eOk);
  KeyHolder::cast(object)->key = nullptr;
  object->close();
}

TEST_F(PartDrawingTest, KeysAreEquivalentByKindPartAndName) {
  AcDbObjectId plate = loadShipped("plate_with_hole.part");
  AcDbObjectId other = loadShipped("plate_with_hole.part");
  AmiObjectKey top(Ami::kFaceKey, plate, "plate/top");
  struct Case {
    AmiObjectKey key;
    bool equivalent;
  } cases[] = {
      {AmiObjectKey(Ami::kFaceKey, plate, "plate/top"), true},
      {AmiObjectKey(Ami::kFaceKey, plate, "plate/bottom"), false},
      {AmiObjectKey(Ami::kFaceKey, other, "plate/top"), false},
      {AmiObjectKey(Ami::kBodyKey, plate), false},
  };
  for (const Case& c : cases) {
    bool equivalent = !c.equivalent;
    EXPECT_EQ(amiAreKeysEquivalent(&top, &c.key, equivalent), Ami::eOk);
    EXPECT_EQ(equivalent, c.equivalent) << amiKeyName(&c.key);
  }
  AmiKey* copy = nullptr;
  ASSERT_EQ(amiCopyKey(&top, copy), Ami::eOk);
  bool equivalent = false;
  amiAreKeysEquivalent(&top, copy, equivalent);
  EXPECT_TRUE(equivalent);
  copy->release();
  EXPECT_EQ(amiKeyName(&cases[2].key), "plate_2/plate/top");
}

TEST_F(PartDrawingTest, PathsAndKeysConvertBothWays) {
  AcDbObjectId plate = loadShipped("plate_with_hole.part");
  const TopoDS_Shape* solid = nullptr;
  AmiPartEntity* entity = nullptr;
  ASSERT_EQ(acdbOpenObject(entity, plate, AcDb::kForRead), Acad::eOk);
  solid = entity->brepShape();
  ASSERT_NE(solid, nullptr);
  struct Case {
    AcDb::SubentType subent;
    TopAbs_ShapeEnum shape;
    Ami::KeyType key;
  } cases[] = {{AcDb::kFaceSubentType, TopAbs_FACE, Ami::kFaceKey},
               {AcDb::kEdgeSubentType, TopAbs_EDGE, Ami::kEdgeKey},
               {AcDb::kVertexSubentType, TopAbs_VERTEX, Ami::kVertexKey}};
  for (const Case& c : cases) {
    TopTools_IndexedMapOfShape map;
    TopExp::MapShapes(*solid, c.shape, map);
    for (int index = 1; index <= map.Extent(); ++index) {
      AmiObjectKey* key = nullptr;
      ASSERT_EQ(amiGetKeyFromPath(AcDbFullSubentPath(plate, AcDbSubentId(c.subent, index)), Ami::kBodyKey, key),
                Ami::eOk);
      EXPECT_EQ(key->keyType(), c.key);
      EXPECT_EQ(key->name(), entity->nameOf(map(index)));
      AcDbFullSubentPath back;
      ASSERT_EQ(amiGetPathFromKey(key, back), Ami::eOk);
      EXPECT_EQ(back, AcDbFullSubentPath(plate, AcDbSubentId(c.subent, index)));
      key->release();
    }
    AmiObjectKey* key = nullptr;
    EXPECT_EQ(
        amiGetKeyFromPath(AcDbFullSubentPath(plate, AcDbSubentId(c.subent, map.Extent() + 1)), Ami::kBodyKey, key),
        Ami::eNotFound);
    EXPECT_EQ(key, nullptr);
  }
  entity->close();

  AmiObjectKey* body = nullptr;
  ASSERT_EQ(amiGetKeyFromPath(AcDbFullSubentPath(plate, kNullSubent), Ami::kBodyKey, body, 1, nullptr), Ami::eOk);
  EXPECT_EQ(body->keyType(), Ami::kBodyKey);
  body->release();
  AmiObjectKey* none = nullptr;
  EXPECT_EQ(amiGetKeyFromPath(AcDbFullSubentPath(db()->modelSpaceId(), kNullSubent), Ami::kBodyKey, none),
            Ami::eNotFound);
}

TEST_F(PartDrawingTest, ComponentsOfAnAssemblyAnswerNameDefinitionAndLeafQueries) {
  std::vector<AcDbObjectId> parts =
      mcadLoadPartFile(db(), kestrum::test::sourcePath("data/parts/plate_and_bracket.asm").string());
  ASSERT_EQ(parts.size(), 2u);
  AmiObjectKey mount(Ami::kFaceKey, parts[1], "mount/side");
  AmiObjectKey* comp = nullptr;
  ASSERT_EQ(amiGetContainingComp(&mount, comp), Ami::eOk);
  bool isComp = false;
  EXPECT_EQ(amiIsKeyKindOf(comp, Ami::kCompKey, isComp), Ami::eOk);
  EXPECT_TRUE(isComp);
  char* name = nullptr;
  ASSERT_EQ(amiGetCompName(comp, name), Ami::eOk);
  EXPECT_STREQ(name, "arm");
  delete[] name;
  AmiObjectKey* def = nullptr;
  ASSERT_EQ(amiGetCompDef(comp, def), Ami::eOk);
  bool leaf = false;
  EXPECT_EQ(amiIsCompDefLeafNode(def, leaf), Ami::eOk);
  EXPECT_TRUE(leaf);
  comp->release();
  EXPECT_EQ(amiGetCompDef(def, comp), Ami::eWrongKeyType);  // a definition is not a component
  EXPECT_EQ(comp, nullptr);
  def->release();

  // The arm is placed at (20, 30, Lift = 10): its mounting hole's axis is at x = 20 + 80 * 0.6.
  TopoDS_Shape hole;
  ASSERT_EQ(amiGetShapeFromKey(&mount, hole), Ami::eOk);
  gp_Pnt centre = mcadtest::faceCentre(hole);
  EXPECT_NEAR(centre.X(), 68.0, 1e-9);
  EXPECT_NEAR(centre.Y(), 50.0, 1e-9);
  EXPECT_NEAR(centre.Z(), 14.0, 1e-9);
}

TEST_F(PartDrawingTest, KeyKindsAndObjectKeys) {
  AcDbObjectId plate = loadShipped("plate_with_hole.part");
  struct Case {
    Ami::KeyType type;
    Ami::KeyType asked;
    bool answer;
  } cases[] = {
      {Ami::kFaceKey, Ami::kAnyKey, true},  {Ami::kEdgeKey, Ami::kAnyKey, true},
      {Ami::kBodyKey, Ami::kAnyKey, false}, {Ami::kFaceKey, Ami::kEdgeKey, false},
      {Ami::kCompKey, Ami::kCompKey, true}, {Ami::kBodyKey, Ami::kObjectKey, false},
  };
  for (const Case& c : cases) {
    AmiObjectKey key(c.type, plate, c.type == Ami::kFaceKey ? "plate/top" : "");
    bool answer = !c.answer;
    EXPECT_EQ(amiIsKeyKindOf(&key, c.asked, answer), Ami::eOk);
    EXPECT_EQ(answer, c.answer) << c.type << " as " << c.asked;
  }
  bool answer = false;
  EXPECT_EQ(amiIsKeyKindOf(nullptr, Ami::kAnyKey, answer), Ami::eBadInput);
  bool isNull = false;
  EXPECT_EQ(amiIsKeyNull(nullptr, isNull), Ami::eOk);
  EXPECT_TRUE(isNull);

  AmiObjectKey* objectKey = nullptr;
  ASSERT_EQ(amiGetKeyFromId(db()->layerZero(), Ami::kObjectKey, 1, nullptr, nullptr, objectKey), Ami::eOk);
  bool erased = true;
  EXPECT_EQ(amiObjectWasErased(objectKey, erased), Ami::eOk);
  EXPECT_FALSE(erased);
  objectKey->release();
  AmiObjectKey* partKey = nullptr;
  EXPECT_EQ(amiGetKeyFromId(plate, Ami::kPartKey, 1, nullptr, nullptr, partKey), Ami::eOk);
  EXPECT_EQ(partKey->keyType(), Ami::kPartKey);
  EXPECT_EQ(amiObjectWasErased(partKey, erased), Ami::eWrongKeyType);
  partKey->release();
}

TEST_F(PartDrawingTest, KeysAndBrepEntitiesConvertBothWays) {
  AcDbObjectId plate = loadShipped("plate_with_hole.part");
  AmiObjectKey top(Ami::kFaceKey, plate, "plate/top");
  AmiObjectKey gone(Ami::kFaceKey, plate, "hole9/side");
  AcBrEntity* entity = nullptr;
  ASSERT_EQ(amiGetBrepFromKey(&top, entity), Ami::eOk);
  std::unique_ptr<AcBrEntity> face(entity);
  ASSERT_NE(dynamic_cast<AcBrFace*>(face.get()), nullptr);

  AmiObjectKey* back = nullptr;
  ASSERT_EQ(amiGetKeyFromBrep(*face, back), Ami::eOk);
  bool same = false;
  EXPECT_EQ(amiAreKeysEquivalent(&top, back, same), Ami::eOk);
  EXPECT_TRUE(same);
  back->release();

  entity = nullptr;
  EXPECT_EQ(amiGetBrepFromKey(&gone, entity), Ami::eStaleKey);
  EXPECT_EQ(entity, nullptr);
}

}  // namespace
