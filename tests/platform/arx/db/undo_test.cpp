#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

#include "arx/dbdatabase.h"
#include "arx/dbfiler.h"
#include "test_thing.h"

namespace {

class Undo : public ::testing::Test {
 protected:
  void SetUp() override {
    TestThing::registerClass();
    a = addThing(db, "a", 1);
    TestThing* thing = open(a);
    thing->addReactor(&reactor);
    thing->close();
  }
  TestThing* open(AcDbObjectId id) {
    TestThing* thing = nullptr;
    EXPECT_EQ(acdbOpenObject(thing, id, AcDb::kForWrite, true), Acad::eOk);
    return thing;
  }
  // Runs `change` as one command (one undo group).
  template <class Change>
  void command(const std::string& name, Change change) {
    db.beginUndoGroup(name);
    change();
    db.endUndoGroup();
  }
  Adesk::Int32 countOf(AcDbObjectId id) {
    return readThing(id, [](TestThing& t) { return t.count(); });
  }
  AcDbDatabase db;
  AcDbObjectId a;
  RecordingReactor reactor;
};

TEST_F(Undo, ModificationIsUndoneThroughTheUndoFilerAndRedone) {
  command("EDIT", [&] {
    TestThing* thing = open(a);
    thing->setCount(5);
    thing->setCount(6);  // the snapshot is taken once, at the first write
    thing->close();
  });
  reactor.events.clear();
  ASSERT_TRUE(db.canUndo());
  EXPECT_EQ(db.undo(1), 1);
  EXPECT_EQ(countOf(a), 1);
  EXPECT_EQ(reactor.events, std::vector<std::string>{"undone a"});
  TestThing* thing = open(a);
  EXPECT_EQ(thing->filedIn.back(), AcDb::kUndoFiler);
  thing->close();

  ASSERT_TRUE(db.canRedo());
  EXPECT_TRUE(db.redo());
  EXPECT_EQ(countOf(a), 6);
  EXPECT_FALSE(db.canRedo());
}

TEST_F(Undo, EraseAndUneraseAcrossGroups) {
  command("ERASE", [&] {
    TestThing* thing = open(a);
    thing->erase();
    thing->close();
  });
  command("UNERASE", [&] {
    TestThing* thing = open(a);
    thing->erase(false);
    thing->setCount(9);
    thing->close();
  });
  EXPECT_EQ(db.undoGroupNames(), (std::vector<std::string>{"ERASE", "UNERASE"}));
  reactor.events.clear();

  EXPECT_EQ(db.undo(1), 1);  // back to erased, count 1
  EXPECT_TRUE(a.isErased());
  EXPECT_EQ(countOf(a), 1);
  EXPECT_EQ(db.undo(1), 1);  // back to the start
  EXPECT_FALSE(a.isErased());
  EXPECT_EQ(reactor.events, (std::vector<std::string>{"erased a 1", "undone a", "erased a 0", "undone a"}));
  EXPECT_EQ(db.undo(1), 0);

  EXPECT_TRUE(db.redo());
  EXPECT_TRUE(a.isErased());
  EXPECT_TRUE(db.redo());
  EXPECT_FALSE(a.isErased());
  EXPECT_EQ(countOf(a), 9);
}

TEST_F(Undo, UndoErasesWhatTheGroupAddedAndCallsSubErase) {
  AcDbObjectId added;
  command("NEW_THING", [&] { added = addThing(db, "new"); });
  AcDbObjectId partner = addThing(db, "partner");
  TestThing* thing = open(added);
  thing->setPartner(partner);
  thing->cascadeToPartner = true;  // proves undo calls subErase
  thing->close();

  EXPECT_EQ(db.undo(1), 1);
  EXPECT_TRUE(added.isErased());
  EXPECT_TRUE(partner.isErased());
  EXPECT_TRUE(db.redo());
  EXPECT_FALSE(added.isErased());
}

TEST_F(Undo, UndoOfSeveralGroupsAndANewChangeDropsRedo) {
  for (int count : {2, 3, 4})
    command("SET", [&] {
      TestThing* thing = open(a);
      thing->setCount(count);
      thing->close();
    });
  EXPECT_EQ(db.undo(2), 2);
  EXPECT_EQ(countOf(a), 2);
  command("SET", [&] {
    TestThing* thing = open(a);
    thing->setCount(7);
    thing->close();
  });
  EXPECT_FALSE(db.canRedo());
  EXPECT_FALSE(db.redo());
  EXPECT_EQ(db.undo(5), 2);  // the sets to 2 and to 7
  EXPECT_EQ(countOf(a), 1);
}

TEST_F(Undo, EmptyGroupsAndChangesOutsideGroupsRecordNothing) {
  command("REGENALL", [] {});
  EXPECT_FALSE(db.canUndo());
  TestThing* thing = open(a);
  thing->setCount(3);
  thing->close();
  EXPECT_FALSE(db.canUndo());
}

TEST_F(Undo, AbortedTransactionLeavesNothingToUndoOrRedo) {
  AcDbTransactionManager* tm = db.transactionManager();
  command("TRY", [&] {
    tm->startTransaction();
    TestThing* thing = nullptr;
    tm->getObject(thing, a, AcDb::kForWrite);
    thing->setCount(42);
    thing->erase();
    tm->abortTransaction();
    tm->startTransaction();
    tm->getObject(thing, a, AcDb::kForWrite);
    thing->setCount(8);
    tm->endTransaction();
  });
  EXPECT_EQ(db.undo(1), 1);
  EXPECT_EQ(countOf(a), 1);
  EXPECT_FALSE(a.isErased());
  EXPECT_TRUE(db.redo());
  EXPECT_EQ(countOf(a), 8);
  EXPECT_FALSE(a.isErased());  // the aborted erase is not redone
}

TEST_F(Undo, AssertWriteEnabledRecordsTheSnapshot) {
  TestThing* thing = open(a);  // opened before the group: the open itself recorded nothing
  db.beginUndoGroup("LATE");
  thing->setCount(12);
  thing->close();
  db.endUndoGroup();
  EXPECT_EQ(db.undo(1), 1);
  EXPECT_EQ(countOf(a), 1);
}

TEST_F(Undo, LayerAddedByACommandIsRemovedByUndo) {
  command("LAYER", [&] {
    AcDbLayerTable* layers = nullptr;
    db.getLayerTable(layers, AcDb::kForWrite);
    auto* layer = new AcDbLayerTableRecord();
    layer->setName("CAE_OPT");
    layers->add(layer);
    layer->close();
    layers->close();
  });
  AcDbLayerTable* layers = nullptr;
  db.getLayerTable(layers, AcDb::kForRead);
  EXPECT_TRUE(layers->has("CAE_OPT"));
  layers->close();
  db.undo(1);
  db.getLayerTable(layers, AcDb::kForRead);
  EXPECT_FALSE(layers->has("CAE_OPT"));
  layers->close();
}

// A reader that throws while undo or an abort rewrites its object must not leave undo recording
// off: the next command is still recorded, and the object is no longer write-enabled.
TEST_F(Undo, ExceptionWhileRestoringLeavesRecordingOn) {
  auto edit = [&](bool throwOnRestore) {
    TestThing* thing = open(a);
    thing->throwOnRestore = throwOnRestore;
    thing->setCount(7);
    thing->close();
  };
  struct Case {
    const char* name;
    std::function<void()> changeThenRestore;  // must throw from the restore
  };
  const Case cases[] = {
      {"undo",
       [&] {
         command("EDIT", [&] { edit(true); });
         db.undo(1);
       }},
      {"abort",
       [&] {
         command("EDIT", [&] {
           db.transactionManager()->startTransaction();
           edit(true);
           db.transactionManager()->abortTransaction();
         });
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (db.isUndoGroupOpen()) db.endUndoGroup();
    EXPECT_THROW(c.changeThenRestore(), std::runtime_error);
    if (db.isUndoGroupOpen()) db.endUndoGroup();
    EXPECT_EQ(db.transactionManager()->numActiveTransactions(), 0);
    edit(false);  // outside any group: only clears the test switch
    EXPECT_FALSE(readThing(a, [](TestThing& t) { return t.isWriteEnabled(); }));

    command("SET", [&] {
      TestThing* thing = open(a);
      thing->setCount(42);
      thing->close();
    });
    ASSERT_TRUE(db.canUndo());
    EXPECT_EQ(db.undoGroupNames().back(), "SET");
    EXPECT_EQ(db.undo(1), 1);
    EXPECT_EQ(countOf(a), 7);
  }
}

}  // namespace
