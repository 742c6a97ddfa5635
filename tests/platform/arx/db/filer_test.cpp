#include <gtest/gtest.h>

#include "arx/dbdatabase.h"
#include "arx/dbdxffiler.h"
#include "arx/dbfiler.h"
#include "test_thing.h"

namespace {

TEST(DwgFiler, EveryKindRoundTrips) {
  AcDbDatabase db;
  AcDbDwgFiler out(AcDb::kFileFiler, &db);
  out.writeBool(true);
  out.writeInt8(-5);
  out.writeInt16(-12345);
  out.writeUInt16(65000);
  out.writeInt32(-2000000000);
  out.writeUInt32(4000000000u);
  out.writeUInt64(1ull << 40);
  out.writeDouble(-0.1);
  out.writeString("naïve text");
  out.writeString(static_cast<const char*>(nullptr));
  const char bytes[3] = {1, 0, 2};
  out.writeBytes(bytes, 3);
  out.writeHardOwnershipId(db.modelSpaceId());
  out.writeSoftOwnershipId(db.namedObjectsDictionaryId());
  out.writeHardPointerId(db.layerZero());
  out.writeSoftPointerId(AcDbObjectId::kNull);
  out.writePoint3d(AcGePoint3d(1, 2, 3));
  out.writeVector3d(AcGeVector3d(0, 0, -1));
  ASSERT_EQ(out.filerStatus(), Acad::eOk);

  AcDbDwgFiler in(AcDb::kUndoFiler, &db, out.buffer());
  EXPECT_EQ(in.filerType(), AcDb::kUndoFiler);
  bool flag = false;
  Adesk::Int8 i8 = 0;
  Adesk::Int16 i16 = 0;
  Adesk::UInt16 u16 = 0;
  Adesk::Int32 i32 = 0;
  Adesk::UInt32 u32 = 0;
  Adesk::UInt64 u64 = 0;
  double d = 0;
  std::string text, empty = "x";
  char readBytes[3] = {};
  AcDbHardOwnershipId hardOwner;
  AcDbSoftOwnershipId softOwner;
  AcDbHardPointerId hardPointer;
  AcDbSoftPointerId softPointer = db.layerZero();
  AcGePoint3d point;
  AcGeVector3d vector;
  in.readBool(&flag);
  in.readInt8(&i8);
  in.readInt16(&i16);
  in.readUInt16(&u16);
  in.readInt32(&i32);
  in.readUInt32(&u32);
  in.readUInt64(&u64);
  in.readDouble(&d);
  in.readString(&text);
  in.readString(&empty);
  in.readBytes(readBytes, 3);
  in.readHardOwnershipId(&hardOwner);
  in.readSoftOwnershipId(&softOwner);
  in.readHardPointerId(&hardPointer);
  in.readSoftPointerId(&softPointer);
  in.readPoint3d(&point);
  in.readVector3d(&vector);
  ASSERT_EQ(in.filerStatus(), Acad::eOk);
  EXPECT_TRUE(in.atEnd());
  EXPECT_TRUE(flag);
  EXPECT_EQ(i8, -5);
  EXPECT_EQ(i16, -12345);
  EXPECT_EQ(u16, 65000);
  EXPECT_EQ(i32, -2000000000);
  EXPECT_EQ(u32, 4000000000u);
  EXPECT_EQ(u64, 1ull << 40);
  EXPECT_EQ(d, -0.1);
  EXPECT_EQ(text, "naïve text");
  EXPECT_EQ(empty, "");
  EXPECT_EQ(std::string(readBytes, 3), std::string(bytes, 3));
  EXPECT_EQ(hardOwner, db.modelSpaceId());
  EXPECT_EQ(softOwner, db.namedObjectsDictionaryId());
  EXPECT_EQ(hardPointer, db.layerZero());
  EXPECT_TRUE(softPointer.isNull());
  EXPECT_EQ(point, AcGePoint3d(1, 2, 3));
  EXPECT_EQ(vector, AcGeVector3d(0, 0, -1));
}

TEST(DwgFiler, ReadingTheWrongKindOrPastTheEndFailsAndSticks) {
  AcDbDwgFiler out(AcDb::kFileFiler, nullptr);
  out.writeInt16(7);
  out.writeHardPointerId(AcDbObjectId::kNull);

  struct Case {
    const char* name;
    Acad::ErrorStatus (*read)(AcDbDwgFiler&);
  };
  const Case cases[] = {
      {"int32 for int16",
       [](AcDbDwgFiler& f) {
         Adesk::Int32 v;
         return f.readInt32(&v);
       }},
      {"uint16 for int16",
       [](AcDbDwgFiler& f) {
         Adesk::UInt16 v;
         return f.readUInt16(&v);
       }},
      {"string for int16",
       [](AcDbDwgFiler& f) {
         std::string v;
         return f.readString(&v);
       }},
      {"soft id for hard id",
       [](AcDbDwgFiler& f) {
         Adesk::Int16 v;
         f.readInt16(&v);
         AcDbSoftPointerId id;
         return f.readSoftPointerId(&id);
       }},
      {"past the end",
       [](AcDbDwgFiler& f) {
         Adesk::Int16 v;
         AcDbHardPointerId id;
         f.readInt16(&v);
         f.readHardPointerId(&id);
         return f.readInt16(&v);
       }},
  };
  for (const Case& c : cases) {
    AcDbDwgFiler in(AcDb::kFileFiler, nullptr, out.buffer());
    EXPECT_EQ(c.read(in), Acad::eFilerError) << c.name;
    EXPECT_EQ(in.filerStatus(), Acad::eFilerError) << c.name;
    Adesk::Int16 v = 0;
    EXPECT_EQ(in.readInt16(&v), Acad::eFilerError) << c.name << ": a failure sticks";
  }
}

// A thing with every field set, as the record the failure tests file.
class FailingFiler : public ::testing::Test {
 protected:
  void SetUp() override {
    TestThing::registerClass();
    id = addThing(db, "full", 17);
    TestThing* thing = nullptr;
    acdbOpenObject(thing, id, AcDb::kForWrite);
    thing->setValue(2.5);
    thing->setPartner(db.modelSpaceId());
    thing->close();
  }
  AcDbDatabase db;
  AcDbObjectId id;
};

TEST_F(FailingFiler, WritingFailsAtEveryCallOfTheRecord) {
  TestThing* thing = nullptr;
  acdbOpenObject(thing, id, AcDb::kForRead);
  AcDbDwgFiler counting(AcDb::kFileFiler, &db);
  ASSERT_EQ(thing->dwgOutFields(&counting), Acad::eOk);
  long calls = counting.callCount();
  ASSERT_GT(calls, 5);
  for (long n = 1; n <= calls + 1; ++n) {
    AcDbDwgFiler filer(AcDb::kFileFiler, &db);
    filer.setFailAt(n);
    Acad::ErrorStatus status = thing->dwgOutFields(&filer);
    EXPECT_EQ(status, n <= calls ? Acad::eFilerError : Acad::eOk) << "call " << n;
  }
  thing->close();
}

TEST_F(FailingFiler, ReadingFailsAtEveryCallOfTheRecord) {
  TestThing* thing = nullptr;
  acdbOpenObject(thing, id, AcDb::kForRead);
  AcDbDwgFiler out(AcDb::kFileFiler, &db);
  thing->dwgOutFields(&out);
  thing->close();
  long calls = out.callCount();
  for (long n = 1; n <= calls + 1; ++n) {
    TestThing fresh;
    AcDbDwgFiler filer(AcDb::kFileFiler, &db, out.buffer());
    filer.setFailAt(n);
    Acad::ErrorStatus status = fresh.dwgInFields(&filer);
    EXPECT_EQ(status, n <= calls ? Acad::eFilerError : Acad::eOk) << "call " << n;
    if (n > calls) {
      EXPECT_EQ(fresh.count(), 17);
      EXPECT_EQ(fresh.partner(), db.modelSpaceId());
    }
  }
}

TEST_F(FailingFiler, DxfFilerFailsAtEveryCall) {
  TestThing* thing = nullptr;
  acdbOpenObject(thing, id, AcDb::kForRead);
  AcDbDxfFiler counting(&db);
  ASSERT_EQ(thing->dxfOutFields(&counting), Acad::eOk);
  std::size_t items = counting.items().size();
  for (long n = 1; n <= static_cast<long>(items); ++n) {
    AcDbDxfFiler filer(&db);
    filer.setFailAt(n);
    EXPECT_EQ(thing->dxfOutFields(&filer), Acad::eFilerError) << "call " << n;
  }
  thing->close();
}

TEST(DxfFiler, ValuesUseTheCLocaleAndTypedReadsCheckCodes) {
  AcDbDxfFiler out(nullptr);
  out.writeDouble(40, 0.5);
  out.writeDouble(41, 3);
  out.writeInt16(70, -4);
  out.writePoint3d(10, AcGePoint3d(1.25, -2, 1e-9));
  ASSERT_EQ(out.items().size(), 6u);
  EXPECT_EQ(out.items()[0].value, "0.5");
  EXPECT_EQ(out.items()[1].value, "3.0");
  EXPECT_EQ(out.items()[4].code, 20);

  AcDbDxfFiler in(nullptr, out.items());
  double half = 0, three = 0;
  Adesk::Int16 flags = 0;
  AcGePoint3d point;
  EXPECT_EQ(in.readDouble(40, &half), Acad::eOk);
  EXPECT_EQ(in.readDouble(41, &three), Acad::eOk);
  EXPECT_EQ(in.readInt16(70, &flags), Acad::eOk);
  EXPECT_EQ(in.readPoint3d(10, &point), Acad::eOk);
  EXPECT_EQ(half, 0.5);
  EXPECT_EQ(three, 3.0);
  EXPECT_EQ(flags, -4);
  EXPECT_EQ(point, AcGePoint3d(1.25, -2, 1e-9));

  AcDbDxfFiler wrong(nullptr, {{40, "0.5"}, {70, "seven"}});
  EXPECT_EQ(wrong.readDouble(41, &half), Acad::eFilerError);  // another code
  AcDbDxfFiler bad(nullptr, {{70, "seven"}});
  EXPECT_EQ(bad.readInt16(70, &flags), Acad::eFilerError);  // not a number
}

}  // namespace
