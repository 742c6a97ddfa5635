#include <gtest/gtest.h>

#include <memory>

#include "arx/dbdatabase.h"
#include "test_thing.h"

namespace {

class AppObject : public AcDbObject {
 public:
  ACRX_DECLARE_MEMBERS(AppObject);
};

AcRxObject* makeAppObject() { return new AppObject(); }

AcRxClass* AppObject::desc() {
  static AcRxClass* record = nullptr;
  if (!record) {
    AcDbObject::desc();
    record = newAcRxClass("AppObject", "AcDbObject", 23, 6, 0, makeAppObject, "APPOBJECT", "TLXARX");
    acrxBuildClassHierarchy();
  }
  return record;
}
AcRxClass* AppObject::isA() const { return AppObject::desc(); }

TEST(Runtime, ExactClassAndKindOf) {
  TestThing thing;
  EXPECT_EQ(thing.isA(), TestThing::desc());
  EXPECT_NE(thing.isA(), AcDbEntity::desc());
  EXPECT_TRUE(thing.isKindOf(AcDbEntity::desc()));
  EXPECT_TRUE(thing.isKindOf(AcDbObject::desc()));
  EXPECT_FALSE(thing.isKindOf(AcDbDictionary::desc()));
  EXPECT_EQ(TestThing::cast(&thing), &thing);
  AcDbDictionary dictionary;
  EXPECT_EQ(TestThing::cast(&dictionary), nullptr);
}

TEST(Runtime, ClassRecordsCreateObjectsByNameAndDxfName) {
  AppObject::desc();
  AcRxClass* byName = acrxFindClass("AppObject");
  ASSERT_NE(byName, nullptr);
  EXPECT_STREQ(byName->appName(), "TLXARX");
  EXPECT_STREQ(byName->dxfName(), "APPOBJECT");
  EXPECT_EQ(byName->dwgVersion(), 23);
  EXPECT_EQ(byName->myParent(), AcDbObject::desc());
  EXPECT_EQ(acrxFindClassByDxfName("APPOBJECT"), byName);

  std::unique_ptr<AcRxObject> made(byName->create());
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->isA(), AppObject::desc());

  // The host's own classes are creatable too, which reading drawings relies on.
  for (const char* name : {"AcDbDictionary", "AcDbLayerTableRecord", "AcDbBlockTableRecord", "AcDbLayerTable"}) {
    AcRxClass* cls = acrxFindClass(name);
    ASSERT_NE(cls, nullptr) << name;
    std::unique_ptr<AcRxObject> object(cls->create());
    ASSERT_NE(object, nullptr) << name;
    EXPECT_STREQ(object->isA()->name(), name);
  }
}

// A kept lookup answers the record registered now: none before, the new one after the class is
// removed and registered again (the old record is freed by then), none after it is removed.
TEST(Runtime, KeptClassLookupFollowsRegistrationAndRemoval) {
  AcRxClassLookup lookup("LookedUpLater");
  EXPECT_EQ(lookup.get(), nullptr);
  AcDbObject::desc();
  AcRxClass* first = newAcRxClass("LookedUpLater", "AcDbObject", 0, 0, 0, nullptr, nullptr, nullptr);
  EXPECT_EQ(lookup.get(), first);
  deleteAcRxClass(first);
  EXPECT_EQ(lookup.get(), nullptr);
  AcRxClass* second = newAcRxClass("LookedUpLater", "AcDbObject", 0, 0, 0, nullptr, nullptr, nullptr);
  EXPECT_EQ(lookup.get(), second);
  acrxClassDictionary()->remove("LookedUpLater");
  EXPECT_EQ(lookup.get(), nullptr);
  acrxClassDictionary()->atPut("LookedUpLater", second);
  EXPECT_EQ(lookup.get(), second);
  deleteAcRxClass(second);
}

}  // namespace
