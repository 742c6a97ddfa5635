#include <gtest/gtest.h>

#include "arx/dbdatabase.h"
#include "test_thing.h"

namespace {

class Objects : public ::testing::Test {
 protected:
  void SetUp() override { TestThing::registerClass(); }
  AcDbDatabase db;
};

TEST_F(Objects, NewDatabaseHoldsTheStandardTables) {
  AcDbBlockTable* blocks = nullptr;
  ASSERT_EQ(db.getBlockTable(blocks, AcDb::kForRead), Acad::eOk);
  AcDbObjectId space;
  EXPECT_EQ(blocks->getAt("*Model_Space", space), Acad::eOk);
  EXPECT_EQ(space, db.modelSpaceId());
  blocks->close();

  AcDbLinetypeTable* linetypes = nullptr;
  ASSERT_EQ(db.getLinetypeTable(linetypes, AcDb::kForRead), Acad::eOk);
  AcDbObjectId continuous;
  EXPECT_EQ(linetypes->getAt("CONTINUOUS", continuous), Acad::eOk);
  EXPECT_EQ(linetypes->getAt("continuous", continuous), Acad::eOk);  // names ignore case
  linetypes->close();

  AcDbLayerTable* layers = nullptr;
  ASSERT_EQ(db.getLayerTable(layers, AcDb::kForRead), Acad::eOk);
  EXPECT_TRUE(layers->has("0"));
  EXPECT_FALSE(layers->has("CAE_MESH"));
  layers->close();
  EXPECT_FALSE(db.canUndo());  // building the default drawing is not an undoable change
}

TEST_F(Objects, LayerCreatedAsTheAddInDoesKeepsItsFlags) {
  AcDbLayerTable* layers = nullptr;
  ASSERT_EQ(db.getLayerTable(layers, AcDb::kForWrite), Acad::eOk);
  auto* layer = new AcDbLayerTableRecord();
  layer->setName("CAE_MESH");
  layer->setIsFrozen(false);
  layer->setIsOff(true);
  layer->setVPDFLT(false);
  layer->setIsLocked(true);
  layer->setLinetypeObjectId(db.continuousLinetype());
  AcDbObjectId id;
  ASSERT_EQ(layers->add(id, layer), Acad::eOk);
  layer->close();

  auto* duplicate = new AcDbLayerTableRecord();
  duplicate->setName("cae_mesh");
  EXPECT_EQ(layers->add(duplicate), Acad::eDuplicateKey);
  EXPECT_EQ(duplicate->database(), nullptr);
  delete duplicate;
  layers->close();

  AcDbLayerTableRecord* read = nullptr;
  ASSERT_EQ(acdbOpenObject(read, id, AcDb::kForRead), Acad::eOk);
  EXPECT_TRUE(read->isOff());
  EXPECT_TRUE(read->isLocked());
  EXPECT_FALSE(read->isFrozen());
  EXPECT_EQ(read->linetypeObjectId(), db.continuousLinetype());
  EXPECT_EQ(read->ownerId(), db.layerTableId());
  read->close();
}

TEST_F(Objects, AddAndAppendGiveIdsAndOwners) {
  auto* thing = new TestThing();
  EXPECT_TRUE(thing->objectId().isNull());  // not in a database yet
  AcDbObjectId id;
  ASSERT_EQ(db.addAcDbObject(id, thing), Acad::eOk);
  EXPECT_FALSE(id.isNull());
  EXPECT_EQ(thing->objectId(), id);
  EXPECT_EQ(id.database(), &db);

  AcDbObjectId again;
  EXPECT_EQ(db.addAcDbObject(again, thing), Acad::eAlreadyInDb);
  EXPECT_EQ(again, id);
  thing->close();

  AcDbObjectId entity = addThing(db, "placed");
  AcDbEntity* opened = nullptr;
  ASSERT_EQ(acdbOpenAcDbEntity(opened, entity, AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(opened->ownerId(), db.modelSpaceId());
  EXPECT_EQ(opened->layer(), "0");
  EXPECT_EQ(opened->colorIndex(), 256);
  opened->close();

  AcDbObjectId lookedUp;
  EXPECT_EQ(db.getAcDbObjectId(lookedUp, false, entity.handle()), Acad::eOk);
  EXPECT_EQ(lookedUp, entity);
  EXPECT_EQ(db.getAcDbObjectId(lookedUp, false, AcDbHandle(999999)), Acad::eUnknownHandle);
}

TEST_F(Objects, DirectOpenStatuses) {
  AcDbObjectId id = addThing(db, "a");
  AcDbObject* writer = nullptr;
  ASSERT_EQ(acdbOpenObject(writer, id, AcDb::kForWrite), Acad::eOk);
  AcDbObject* other = nullptr;
  EXPECT_EQ(acdbOpenObject(other, id, AcDb::kForWrite), Acad::eWasOpenForWrite);
  EXPECT_EQ(acdbOpenObject(other, id, AcDb::kForRead), Acad::eWasOpenForWrite);
  EXPECT_EQ(other, nullptr);
  ASSERT_EQ(writer->erase(), Acad::eOk);
  writer->close();

  EXPECT_EQ(acdbOpenObject(other, id, AcDb::kForRead), Acad::eWasErased);
  ASSERT_EQ(acdbOpenObject(other, id, AcDb::kForRead, true), Acad::eOk);
  AcDbObject* second = nullptr;
  EXPECT_EQ(acdbOpenObject(second, id, AcDb::kForWrite, true), Acad::eWasOpenForRead);
  other->close();

  // A sole reader may become the writer and back; with a second reader it may not.
  ASSERT_EQ(acdbOpenObject(other, id, AcDb::kForRead, true), Acad::eOk);
  EXPECT_EQ(other->upgradeOpen(), Acad::eOk);
  EXPECT_TRUE(other->isWriteEnabled());
  EXPECT_EQ(other->downgradeOpen(), Acad::eOk);
  EXPECT_FALSE(other->isWriteEnabled());
  ASSERT_EQ(acdbOpenObject(second, id, AcDb::kForRead, true), Acad::eOk);
  EXPECT_EQ(other->upgradeOpen(), Acad::eWasOpenForRead);
  second->close();
  other->close();
  EXPECT_EQ(other->close(), Acad::eNotOpenForRead);

  AcDbEntity* entity = nullptr;
  EXPECT_EQ(acdbOpenAcDbEntity(entity, db.namedObjectsDictionaryId(), AcDb::kForRead), Acad::eNotThatKindOfClass);
  EXPECT_EQ(acdbOpenObject(other, AcDbObjectId::kNull, AcDb::kForRead), Acad::eNullObjectId);
  // Nothing stayed open: a writer can get in.
  ASSERT_EQ(acdbOpenObject(other, db.namedObjectsDictionaryId(), AcDb::kForWrite), Acad::eOk);
  other->close();
}

TEST_F(Objects, EraseAndUneraseCallSubEraseAndNotify) {
  AcDbObjectId id = addThing(db, "a");
  RecordingReactor reactor;
  TestThing* thing = nullptr;
  ASSERT_EQ(acdbOpenObject(thing, id, AcDb::kForWrite), Acad::eOk);
  thing->addReactor(&reactor);
  thing->addReactor(&reactor);
  EXPECT_EQ(thing->reactors().size(), 1u);

  thing->refuseErase = Acad::eInvalidInput;
  EXPECT_EQ(thing->erase(), Acad::eInvalidInput);  // subErase's status stops the erase
  EXPECT_FALSE(thing->isErased());
  thing->refuseErase = Acad::eOk;

  EXPECT_EQ(thing->erase(false), Acad::eWasNotErased);
  EXPECT_EQ(thing->erase(), Acad::eOk);
  EXPECT_TRUE(thing->isErased());
  EXPECT_EQ(thing->erase(), Acad::eWasErased);
  EXPECT_EQ(thing->erase(false), Acad::eOk);
  EXPECT_FALSE(thing->isErased());
  thing->close();
  EXPECT_EQ(reactor.events, (std::vector<std::string>{"erased a 1", "erased a 0"}));

  ASSERT_EQ(acdbOpenObject(thing, id, AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(thing->erase(), Acad::eNotOpenForWrite);
  thing->close();
}

TEST_F(Objects, EraseCascadesBackThroughAPartner) {
  AcDbObjectId a = addThing(db, "a");
  AcDbObjectId b = addThing(db, "b");
  for (auto [self, partner] : {std::pair{a, b}, std::pair{b, a}}) {
    TestThing* thing = nullptr;
    acdbOpenObject(thing, self, AcDb::kForWrite);
    thing->setPartner(partner);
    thing->cascadeToPartner = true;
    thing->close();
  }
  TestThing* first = nullptr;
  ASSERT_EQ(acdbOpenObject(first, a, AcDb::kForWrite), Acad::eOk);
  EXPECT_EQ(first->erase(), Acad::eOk);  // a erases b, whose subErase comes back to a
  first->close();
  EXPECT_TRUE(a.isErased());
  EXPECT_TRUE(b.isErased());

  ASSERT_EQ(acdbOpenObject(first, a, AcDb::kForWrite, true), Acad::eOk);
  EXPECT_EQ(first->erase(false), Acad::eOk);
  first->close();
  EXPECT_FALSE(a.isErased());
  EXPECT_FALSE(b.isErased());
}

TEST_F(Objects, ModifiedReachesObjectAndDatabaseReactorsOnClose) {
  struct DatabaseLog : AcDbDatabaseReactor {
    void objectAppended(const AcDbDatabase*, const AcDbObject*) override { events.push_back("appended"); }
    void objectModified(const AcDbDatabase*, const AcDbObject*) override { events.push_back("modified"); }
    void objectErased(const AcDbDatabase*, const AcDbObject*, Adesk::Boolean e) override {
      events.push_back(e ? "erased" : "unerased");
    }
    std::vector<std::string> events;
  } log;
  struct Throwing : AcDbObjectReactor {
    void modified(const AcDbObject*) override { throw 42; }
  } throwing;
  db.addReactor(&log);
  AcDbObjectId id = addThing(db, "a");
  RecordingReactor reactor;
  TestThing* thing = nullptr;
  acdbOpenObject(thing, id, AcDb::kForWrite);
  thing->addReactor(&throwing);  // a throwing reactor does not stop the others
  thing->addReactor(&reactor);
  thing->setCount(3);
  EXPECT_TRUE(reactor.events.empty());  // nothing until the close
  thing->close();
  EXPECT_EQ(reactor.events, std::vector<std::string>{"modified a"});

  acdbOpenObject(thing, id, AcDb::kForWrite);
  thing->erase();
  thing->close();  // erased but not modified: no modified notification
  db.removeReactor(&log);
  // The append also modified model space, which notifies when it is closed.
  EXPECT_EQ(log.events, (std::vector<std::string>{"appended", "modified", "modified", "erased"}));
  EXPECT_EQ(reactor.events, (std::vector<std::string>{"modified a", "erased a 1"}));
}

TEST_F(Objects, EntityPropertiesAndGraphicsRequests) {
  AcDbObjectId id = addThing(db, "a");
  AcDbLayerTable* layers = nullptr;
  db.getLayerTable(layers, AcDb::kForWrite);
  auto* record = new AcDbLayerTableRecord();
  record->setName("CAE_LBC");
  AcDbObjectId layer;
  layers->add(layer, record);
  record->close();
  layers->close();

  AcDbEntity* entity = nullptr;
  ASSERT_EQ(acdbOpenAcDbEntity(entity, id, AcDb::kForWrite), Acad::eOk);
  EXPECT_EQ(entity->setLayer("cae_lbc"), Acad::eOk);
  EXPECT_EQ(entity->setLayer("NO_SUCH_LAYER"), Acad::eKeyNotFound);
  EXPECT_EQ(entity->setColorIndex(3), Acad::eOk);
  EXPECT_EQ(entity->setColorIndex(300), Acad::eInvalidInput);
  EXPECT_EQ(entity->setVisibility(AcDb::kInvisible), Acad::eOk);
  entity->recordGraphicsModified(true);
  EXPECT_TRUE(entity->worldDraw(nullptr));
  entity->close();

  ASSERT_EQ(acdbOpenAcDbEntity(entity, id, AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(entity->layerId(), layer);
  EXPECT_EQ(entity->layer(), "CAE_LBC");
  EXPECT_EQ(entity->colorIndex(), 3);
  EXPECT_EQ(entity->visibility(), AcDb::kInvisible);
  EXPECT_EQ(entity->setColorIndex(4), Acad::eNotOpenForWrite);
  entity->close();
  EXPECT_EQ(db.takeGraphicsModified(), std::vector<AcDbObjectId>{id});
  EXPECT_TRUE(db.takeGraphicsModified().empty());
}

TEST_F(Objects, WorkingDatabaseIsClearedWhenItGoesAway) {
  auto* other = new AcDbDatabase();
  acdbHostApplicationServices()->setWorkingDatabase(other);
  EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), other);
  delete other;
  EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), nullptr);
}

TEST(ObjectIdArray, EditsAsMemberListsDo) {
  AcDbDatabase db;
  AcDbObjectId a = db.layerZero(), b = db.modelSpaceId(), c = db.namedObjectsDictionaryId();
  AcDbObjectIdArray ids;
  EXPECT_EQ(ids.growLength(), 8);
  EXPECT_EQ(ids.append(a), 0);
  EXPECT_EQ(ids.append(c), 1);
  EXPECT_TRUE(ids.insertAt(1, b));
  EXPECT_FALSE(ids.insertAt(5, b));
  ids.append(a);
  int at = -1;
  EXPECT_TRUE(ids.find(a, at, 1));
  EXPECT_EQ(at, 3);
  EXPECT_TRUE(ids.remove(a));  // the first occurrence only
  EXPECT_EQ(ids.length(), 3);
  EXPECT_EQ(ids[0], b);
  EXPECT_EQ(ids[2], a);
  EXPECT_FALSE(ids.contains(AcDbObjectId::kNull));
}

}  // namespace
