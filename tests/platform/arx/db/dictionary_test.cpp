#include <gtest/gtest.h>

#include <memory>

#include "arx/dbdatabase.h"
#include "test_thing.h"

namespace {

class Dictionaries : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(db.getNamedObjectsDictionary(named, AcDb::kForWrite), Acad::eOk);
    auto* models = new AcDbDictionary();
    ASSERT_EQ(named->setAt("ANALYSIS_MODELS", models, modelsId), Acad::eOk);
    models->close();
  }
  void TearDown() override {
    if (named) named->close();
  }
  AcDbDatabase db;
  AcDbDictionary* named = nullptr;
  AcDbObjectId modelsId;
};

TEST_F(Dictionaries, KeysIgnoreCaseAndKeepTheirSpelling) {
  EXPECT_EQ(modelsId.database(), &db);
  for (const char* key : {"ANALYSIS_MODELS", "analysis_models", "Analysis_Models"}) {
    AcDbObjectId id;
    EXPECT_EQ(named->getAt(key, id), Acad::eOk) << key;
    EXPECT_EQ(id, modelsId) << key;
    EXPECT_TRUE(named->has(key)) << key;
  }
  std::string key;
  ASSERT_EQ(named->nameAt(modelsId, key), Acad::eOk);
  EXPECT_EQ(key, "ANALYSIS_MODELS");
  AcDbObject* opened = nullptr;
  ASSERT_EQ(named->getAt("analysis_models", opened, AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(opened->ownerId(), db.namedObjectsDictionaryId());
  opened->close();
  AcDbObjectId missing;
  EXPECT_EQ(named->getAt("OPTIMIZATION_MODELS", missing), Acad::eKeyNotFound);
}

TEST_F(Dictionaries, DuplicateKeyChangesNothing) {
  auto* intruder = new AcDbDictionary();
  AcDbObjectId id;
  EXPECT_EQ(named->setAt("analysis_MODELS", intruder, id), Acad::eDuplicateKey);
  EXPECT_EQ(Acad::eDuplicateKey, 16);
  EXPECT_TRUE(id.isNull());
  EXPECT_EQ(intruder->database(), nullptr);  // not added to the database either
  delete intruder;
  EXPECT_EQ(named->numEntries(), 1u);
  AcDbObjectId stillThere;
  named->getAt("ANALYSIS_MODELS", stillThere);
  EXPECT_EQ(stillThere, modelsId);
  EXPECT_FALSE(modelsId.isErased());

  // Adding the same object under its own key again is not a conflict.
  AcDbObject* models = nullptr;
  acdbOpenObject(models, modelsId, AcDb::kForWrite);
  EXPECT_EQ(named->setAt("ANALYSIS_MODELS", models, id), Acad::eOk);
  models->close();
  EXPECT_EQ(id, modelsId);
  AcDbDictionary unnamed;
  EXPECT_EQ(named->setAt("", &unnamed, id), Acad::eInvalidKey);
}

TEST_F(Dictionaries, RemoveByKeyAndByIdAndIterate) {
  AcDbObjectId optId, otherId;
  auto* opt = new AcDbDictionary();
  named->setAt("OPTIMIZATION_MODELS", opt, optId);
  opt->close();
  auto* other = new AcDbDictionary();
  named->setAt("CAEP_DICT", other, otherId);
  other->close();

  std::unique_ptr<AcDbDictionaryIterator> it(named->newIterator());
  std::vector<std::string> keys;
  for (; !it->done(); it->next()) keys.push_back(it->name());
  EXPECT_EQ(keys, (std::vector<std::string>{"ANALYSIS_MODELS", "OPTIMIZATION_MODELS", "CAEP_DICT"}));

  AcDbObjectId removed;
  EXPECT_EQ(named->remove("optimization_models", removed), Acad::eOk);
  EXPECT_EQ(removed, optId);
  EXPECT_EQ(named->remove(otherId), Acad::eOk);
  EXPECT_EQ(named->remove(otherId), Acad::eKeyNotFound);
  EXPECT_EQ(named->remove("NOPE"), Acad::eKeyNotFound);
  EXPECT_EQ(named->numEntries(), 1u);
  EXPECT_TRUE(optId.isValid());  // removing an entry does not delete the object
}

TEST_F(Dictionaries, ErasedEntryIsNotFoundAndGivesItsKeyUp) {
  AcDbObject* models = nullptr;
  acdbOpenObject(models, modelsId, AcDb::kForWrite);
  models->erase();
  models->close();
  EXPECT_FALSE(named->has("ANALYSIS_MODELS"));
  auto* fresh = new AcDbDictionary();
  AcDbObjectId freshId;
  EXPECT_EQ(named->setAt("ANALYSIS_MODELS", fresh, freshId), Acad::eOk);
  fresh->close();
  AcDbObjectId found;
  named->getAt("ANALYSIS_MODELS", found);
  EXPECT_EQ(found, freshId);
}

TEST_F(Dictionaries, WritesNeedTheDictionaryOpenForWrite) {
  named->close();
  ASSERT_EQ(db.getNamedObjectsDictionary(named, AcDb::kForRead), Acad::eOk);
  auto* extra = new AcDbDictionary();
  AcDbObjectId id;
  EXPECT_EQ(named->setAt("EXTRA", extra, id), Acad::eNotOpenForWrite);
  delete extra;
  EXPECT_EQ(named->remove("ANALYSIS_MODELS"), Acad::eNotOpenForWrite);
}

}  // namespace
