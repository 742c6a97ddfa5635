// Host drawing utilities against a started host with one drawing.
#include <gtest/gtest.h>

#include <string>

#include "amg/CaeEngine.h"
#include "amg/CaeExcept.h"
#include "arx/acdocman.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/dbentity.h"
#include "arx/hostcmds.h"
#include "cadInterface/CadResources.h"
#include "util/acDbClass.h"
#include "util/acLayer.h"
#include "util/acPost.h"
#include "util/acString.h"

namespace {

class DrawingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CaeEngine::ResetState();
    cadhost::clearPrintedText();
    cadhost::startHost(true);
    db = acdbHostApplicationServices()->workingDatabase();
    ASSERT_NE(db, nullptr);
  }
  void TearDown() override {
    while (acCurrentTransactionManager() && acCurrentTransactionManager()->numActiveTransactions() > 0)
      acCurrentTransactionManager()->endTransaction();
    cadhost::shutdownHost();
    cadhost::clearPrintedText();
  }

  AcDbLayerTableRecord* openLayer(const char* name, AcDb::OpenMode mode = AcDb::kForRead) {
    AcDbLayerTable* layers = nullptr;
    EXPECT_EQ(db->getLayerTable(layers, AcDb::kForRead), Acad::eOk);
    AcDbLayerTableRecord* record = nullptr;
    layers->getAt(name, record, mode);
    layers->close();
    return record;
  }

  bool hasLayer(const char* name) {
    AcDbLayerTable* layers = nullptr;
    EXPECT_EQ(db->getLayerTable(layers, AcDb::kForRead), Acad::eOk);
    bool has = layers->has(name);
    layers->close();
    return has;
  }

  AcDbObjectId postEntity() {
    AcDbObjectId id;
    acPostToModelSpaceAndClose(new AcDbEntity, id);
    return id;
  }

  void erase(AcDbObjectId id) {
    AcDbObject* object = nullptr;
    ASSERT_EQ(acdbOpenObject(object, id, AcDb::kForWrite), Acad::eOk);
    object->erase(true);
    object->close();
  }

  AcDbDatabase* db = nullptr;
};

TEST_F(DrawingTest, GetLayerCreatesOnceAnUnlockedVisibleContinuousLayer) {
  AcDbObjectId first, second;
  acGetLayer("CAE_LBC", first);
  acGetLayer("CAE_LBC", second);
  EXPECT_FALSE(first.isNull());
  EXPECT_EQ(first, second);

  AcDbLayerTableRecord* record = openLayer("CAE_LBC");
  ASSERT_NE(record, nullptr);
  EXPECT_FALSE(record->isOff());
  EXPECT_FALSE(record->isFrozen());
  EXPECT_FALSE(record->isLocked());
  EXPECT_FALSE(record->VPDFLT());
  EXPECT_EQ(record->linetypeObjectId(), db->continuousLinetype());
  record->close();
}

TEST_F(DrawingTest, GetLayerWithoutNameIsAConsistencyCheck) {
  AcDbObjectId id;
  EXPECT_THROW(acGetLayer(nullptr, id), CaeExcept);
}

TEST_F(DrawingTest, ShowCaeLayerAnswersWhetherTheLayerWasOn) {
  // Missing layer: 0 and nothing is created.
  EXPECT_EQ(acShowCaeLayer(kCaeLayerLbc, 0), 0);
  EXPECT_FALSE(hasLayer("CAE_LBC"));

  AcDbObjectId id;
  acGetLayer("CAE_LBC", id);
  EXPECT_EQ(acShowCaeLayer(kCaeLayerLbc, 0), 1);
  AcDbLayerTableRecord* record = openLayer("CAE_LBC");
  EXPECT_TRUE(record->isOff());
  record->close();

  EXPECT_EQ(acShowCaeLayer(kCaeLayerLbc, 1), 0);
  record = openLayer("CAE_LBC");
  EXPECT_FALSE(record->isOff());
  record->close();

  for (int outside : {0, 5, -1}) EXPECT_EQ(acShowCaeLayer(outside, 0), 0) << outside;
}

TEST_F(DrawingTest, ShowCaeLayersSwitchesAllFourAndAnswersForTheLast) {
  const char* names[] = {"CAE_MESH", "CAE_LBC", "CAE_OPT", "CAE_MATEREL"};
  AcDbObjectId id;
  for (const char* name : names) acGetLayer(name, id);
  EXPECT_EQ(acShowCaeLayers(0), 1);
  for (const char* name : names) {
    AcDbLayerTableRecord* record = openLayer(name);
    EXPECT_TRUE(record->isOff()) << name;
    record->close();
  }
  EXPECT_EQ(acShowCaeLayers(1), 0);
}

TEST_F(DrawingTest, PostWithoutCloseLeavesTheEntityOpenForWrite) {
  auto* entity = new AcDbEntity;
  AcDbObjectId id;
  acPostToModelSpace(entity, id, 0);
  EXPECT_FALSE(id.isNull());
  EXPECT_TRUE(entity->isWriteEnabled());
  EXPECT_EQ(entity->close(), Acad::eOk);

  AcDbBlockTable* blocks = nullptr;
  ASSERT_EQ(db->getBlockTable(blocks, AcDb::kForRead), Acad::eOk);
  AcDbBlockTableRecord* modelSpace = nullptr;
  ASSERT_EQ(blocks->getAt(ACDB_MODEL_SPACE, modelSpace, AcDb::kForRead), Acad::eOk);
  blocks->close();
  auto ids = modelSpace->entityIds();
  modelSpace->close();
  EXPECT_EQ(ids.size(), 1u);
  EXPECT_EQ(ids.front(), id);
}

TEST_F(DrawingTest, AddDbObjectAcceptsAnObjectAlreadyInTheDatabase) {
  auto* dictionary = new AcDbDictionary;
  AcDbObjectId first;
  acAddDbObject(dictionary, first, 0);
  AcDbObjectId again;
  acAddDbObject(dictionary, again, 1);
  EXPECT_FALSE(first.isNull());
  EXPECT_EQ(again, first);
  EXPECT_EQ(cadhost::printedText(), "");
}

TEST_F(DrawingTest, CountOpenableIdsPassesOverErasedObjects) {
  AcDbObjectIdArray ids;
  ids.append(postEntity());
  ids.append(postEntity());
  ids.append(postEntity());
  erase(ids[1]);
  acCurrentTransactionManager()->startTransaction();
  EXPECT_EQ(acCountOpenableIds(ids), 2);
}

TEST_F(DrawingTest, OpenObjectFollowsTheErasedRuleAndTheModeAsked) {
  const AcDbObjectId live = postEntity();
  const AcDbObjectId erased = postEntity();
  erase(erased);
  acCurrentTransactionManager()->startTransaction();

  Acad::ErrorStatus status = Acad::eOk;
  AcDbObject* object = acOpenObject(live, status, 1, AcDb::kForRead);
  ASSERT_NE(object, nullptr);
  // Asked for write after a read open in the same transaction: write-enabled, never read-only.
  EXPECT_EQ(acOpenForWrite(live), object);
  EXPECT_TRUE(object->isWriteEnabled());

  // Tolerant: an erased object is null with status 80 and no report.
  EXPECT_EQ(acOpenObject(erased, status, 1, AcDb::kForWrite), nullptr);
  EXPECT_EQ(status, Acad::eWasErased);
  EXPECT_EQ(acOpenForWrite(erased), nullptr);
  // Not tolerant: erased objects open.
  object = acOpenObjectErased(erased, status, 0);
  ASSERT_NE(object, nullptr);
  EXPECT_TRUE(object->isErased());
}

TEST_F(DrawingTest, OpenObjectReportsWhatItCannotOpen) {
  const AcDbObjectId id = postEntity();
  Acad::ErrorStatus status = Acad::eOk;
  // No transaction open.
  EXPECT_THROW(acOpenObject(id, status, 1, AcDb::kForRead), CaeExcept);

  acCurrentTransactionManager()->startTransaction();
  AcDbObject* direct = nullptr;
  ASSERT_EQ(acdbOpenObject(direct, id, AcDb::kForWrite), Acad::eOk);
  // Open for write directly: a write request is refused and reported, not downgraded.
  EXPECT_THROW(acOpenObject(id, status, 1, AcDb::kForWrite), CaeExcept);
  EXPECT_EQ(status, Acad::eWasOpenForWrite);
  direct->close();
}

TEST_F(DrawingTest, StringsLoadAndPrintFromTheResourceLibrary) {
  HINSTANCE library = resLoadResourceModule();
  ASSERT_NE(library, nullptr);
  resSetModuleState(library, nullptr);
  CaeString text;
  EXPECT_EQ(acLoadString(683, text), 1);
  EXPECT_EQ(text, "Kestrum Inside for Mechanical Desktop V6.2");
  EXPECT_EQ(acPrintString(53), 1);
  EXPECT_EQ(cadhost::printedText(), "_.REGENALL\n");
  EXPECT_THROW(acLoadString(64999, text), CaeExcept);
  EXPECT_THROW(acPrintString(64999), CaeExcept);
  resResetModuleState();
}

class PostedEntity : public AcDbClass {
 public:
  AcDbEntity* MakeEntity(void*) override { return new AcDbEntity; }
};

TEST_F(DrawingTest, DbClassPostsOnceAndFollowsItsEntity) {
  PostedEntity holder;
  EXPECT_EQ(holder.Exists(), 0);
  EXPECT_THROW(holder.Erase(), CaeExcept);
  holder.Post(nullptr);
  EXPECT_FALSE(holder.Id().isNull());
  EXPECT_EQ(holder.Exists(), 1);
  EXPECT_THROW(holder.Post(nullptr), CaeExcept);
  EXPECT_EQ(holder.MarkModified(), Acad::eOk);
  EXPECT_EQ(holder.Erase(), Acad::eOk);
  EXPECT_EQ(holder.Exists(), 0);
  EXPECT_EQ(holder.MarkModified(), Acad::eWasErased);

  AcDbClass base;
  EXPECT_THROW(base.Post(nullptr), CaeExcept);
}

}  // namespace
