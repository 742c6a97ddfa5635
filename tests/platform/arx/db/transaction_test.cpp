#include <gtest/gtest.h>

#include "arx/dbdatabase.h"
#include "test_thing.h"

namespace {

class Transactions : public ::testing::Test {
 protected:
  void SetUp() override {
    TestThing::registerClass();
    tm = db.transactionManager();
    a = addThing(db, "a", 1);
    b = addThing(db, "b", 2);
  }
  void TearDown() override {
    while (tm->numActiveTransactions() > 0) tm->endTransaction();
  }
  TestThing* get(AcDbObjectId id, AcDb::OpenMode mode = AcDb::kForWrite) {
    TestThing* thing = nullptr;
    EXPECT_EQ(tm->getObject(thing, id, mode, true), Acad::eOk);
    return thing;
  }
  Adesk::Int32 countOf(AcDbObjectId id) {
    return readThing(id, [](TestThing& t) { return t.count(); });
  }
  AcDbDatabase db;
  AcDbTransactionManager* tm = nullptr;
  AcDbObjectId a, b;
};

TEST_F(Transactions, ObjectsStayOpenUntilTheTransactionEnds) {
  RecordingReactor reactor;
  ASSERT_NE(tm->startTransaction(), nullptr);
  EXPECT_EQ(tm->numActiveTransactions(), 1);
  TestThing* thing = get(a, AcDb::kForRead);
  thing->addReactor(&reactor);
  // Opening again inside the transactions succeeds in the mode asked.
  TestThing* again = get(a, AcDb::kForWrite);
  EXPECT_EQ(again, thing);
  EXPECT_TRUE(thing->isWriteEnabled());
  thing->setCount(10);
  tm->startTransaction();
  EXPECT_EQ(get(a, AcDb::kForWrite), thing);
  // A direct open of a transaction-resident object succeeds too (the bind-to-key case).
  AcDbObject* direct = nullptr;
  ASSERT_EQ(acdbOpenObject(direct, a, AcDb::kForWrite), Acad::eOk);
  direct->close();
  tm->endTransaction();
  EXPECT_TRUE(thing->isWriteEnabled());  // handed to the outer transaction, still open
  EXPECT_TRUE(reactor.events.empty());
  tm->endTransaction();
  EXPECT_FALSE(thing->isReadEnabled());
  EXPECT_EQ(reactor.events, std::vector<std::string>{"modified a"});
  EXPECT_EQ(countOf(a), 10);
  EXPECT_EQ(tm->endTransaction(), Acad::eNoActiveTransactions);
  EXPECT_EQ(tm->abortTransaction(), Acad::eNoActiveTransactions);
}

TEST_F(Transactions, StatusesForWriteOpenOutsideAndErased) {
  AcDbObject* outside = nullptr;
  ASSERT_EQ(acdbOpenObject(outside, a, AcDb::kForWrite), Acad::eOk);
  tm->startTransaction();
  AcDbObject* object = nullptr;
  EXPECT_EQ(tm->getObject(object, a, AcDb::kForWrite), Acad::eWasOpenForWrite);
  EXPECT_EQ(tm->getObject(object, a, AcDb::kForRead), Acad::eWasOpenForWrite);
  outside->erase();
  outside->close();
  EXPECT_EQ(tm->getObject(object, a, AcDb::kForWrite), Acad::eWasErased);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(tm->getObject(object, a, AcDb::kForWrite, true), Acad::eOk);
  EXPECT_EQ(tm->getObject(object, AcDbObjectId::kNull, AcDb::kForRead), Acad::eNullObjectId);
  AcDbDatabase other;
  EXPECT_EQ(tm->getObject(object, other.modelSpaceId(), AcDb::kForRead), Acad::eWrongDatabase);
  tm->endTransaction();
  EXPECT_EQ(tm->getObject(object, b, AcDb::kForRead), Acad::eNoActiveTransactions);
}

TEST_F(Transactions, NestedAbortRestoresEachLevel) {
  tm->startTransaction();
  get(a)->setCount(10);
  tm->startTransaction();
  get(a)->setCount(20);
  get(b)->setCount(30);
  get(b)->erase();
  ASSERT_EQ(tm->abortTransaction(), Acad::eOk);
  EXPECT_EQ(get(a)->count(), 10);  // back to the outer transaction's state
  EXPECT_EQ(get(b)->count(), 2);
  EXPECT_FALSE(b.isErased());
  ASSERT_EQ(tm->abortTransaction(), Acad::eOk);
  EXPECT_EQ(countOf(a), 1);
  // Nothing stays open after the abort.
  AcDbObject* direct = nullptr;
  ASSERT_EQ(acdbOpenObject(direct, a, AcDb::kForWrite), Acad::eOk);
  direct->close();
}

TEST_F(Transactions, CommittedInnerChangesAreUndoneByTheOuterAbort) {
  tm->startTransaction();
  tm->startTransaction();
  get(a)->setCount(50);
  tm->endTransaction();
  EXPECT_EQ(get(a, AcDb::kForRead)->count(), 50);
  tm->abortTransaction();
  EXPECT_EQ(countOf(a), 1);
}

TEST_F(Transactions, InnerCommitThenMiddleAbortRestoresTheMiddleStart) {
  tm->startTransaction();
  get(a)->setCount(10);
  tm->startTransaction();  // the middle transaction never opens `a` itself
  tm->startTransaction();
  get(a)->setCount(20);
  tm->endTransaction();
  get(a)->setCount(30);  // reopened in the middle one: no second snapshot is taken
  tm->abortTransaction();
  EXPECT_EQ(get(a)->count(), 10);
  tm->abortTransaction();
  EXPECT_EQ(countOf(a), 1);
}

TEST_F(Transactions, AbortRemovesAddedObjectsAndTheirEntries) {
  tm->startTransaction();
  AcDbObjectId outer = addThing(db, "outer");
  tm->startTransaction();
  AcDbObjectId inner = addThing(db, "inner");
  AcDbDictionary* named = nullptr;
  ASSERT_EQ(tm->getObject(named, db.namedObjectsDictionaryId(), AcDb::kForWrite), Acad::eOk);
  auto* models = new AcDbDictionary();
  AcDbObjectId modelsId;
  ASSERT_EQ(named->setAt("ANALYSIS_MODELS", models, modelsId), Acad::eOk);
  models->close();
  tm->abortTransaction();

  AcDbObject* object = nullptr;
  EXPECT_EQ(acdbOpenObject(object, inner, AcDb::kForRead), Acad::ePermanentlyErased);
  EXPECT_EQ(acdbOpenObject(object, modelsId, AcDb::kForRead), Acad::ePermanentlyErased);
  EXPECT_FALSE(named->has("ANALYSIS_MODELS"));
  AcDbBlockTableRecord* space = nullptr;
  ASSERT_EQ(tm->getObject(space, db.modelSpaceId(), AcDb::kForRead), Acad::eOk);
  auto entities = space->entityIds();
  EXPECT_EQ(entities.size(), 3u);  // a, b and outer: the inner append was rolled back
  EXPECT_EQ(entities.back(), outer);
  EXPECT_EQ(tm->getObject(object, outer, AcDb::kForRead), Acad::eOk);
  tm->abortTransaction();
  EXPECT_EQ(acdbOpenObject(object, outer, AcDb::kForRead), Acad::ePermanentlyErased);
  EXPECT_EQ(db.numObjects(), 9);  // the default drawing (7) and a, b
}

TEST_F(Transactions, GraphicsFlushBookkeeping) {
  tm->startTransaction();
  tm->enableGraphicsFlush(true);
  get(a)->recordGraphicsModified(true);
  get(b)->recordGraphicsModified(true);
  EXPECT_EQ(tm->queueForGraphicsFlush(), Acad::eOk);
  EXPECT_EQ(tm->numQueuedForFlush(), 2);
  EXPECT_EQ(tm->flushGraphics(), Acad::eOk);
  EXPECT_EQ(tm->numQueuedForFlush(), 0);
  EXPECT_EQ(tm->numGraphicsFlushes(), 1);
  tm->enableGraphicsFlush(false);
  tm->flushGraphics();
  EXPECT_EQ(tm->numGraphicsFlushes(), 1);
  tm->endTransaction();
}

TEST_F(Transactions, OnlyTheInnermostTransactionOpens) {
  AcTransaction* outer = tm->startTransaction();
  AcTransaction* inner = tm->startTransaction();
  AcDbObject* object = nullptr;
  EXPECT_EQ(outer->getObject(object, a, AcDb::kForRead), Acad::eNotTopTransaction);
  EXPECT_EQ(inner->getObject(object, a, AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(inner->numOpenedObjects(), 1);
  EXPECT_EQ(tm->topTransaction(), inner);
}

}  // namespace
