// The topology-lost flag of a record that files it from one data version on: older records read
// 0, the flag is 0 or 1, and a record of an unknown version is refused naming the class's source.
// What is read is written again at the current version with the flag and reads back the same.
// Shared by the drawing objects that file the flag (refinements, mating relations).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/dbentity.h"
#include "arx/dbfiler.h"
#include "mcad/amikey.h"

namespace kestrum::test {

// The head both hand-written records start with: the entity's own fields as the drawing file
// writes them (those of `probe`), the data version, colour 3, scale 2 and the key of `part`'s
// plate top.
inline void writeAttributeRecordHead(AcDbDwgFiler& filer, const AcDbEntity& probe, int version, AcDbObjectId part) {
  EXPECT_EQ(probe.AcDbEntity::dwgOutFields(&filer), Acad::eOk);
  AmiObjectKey key(Ami::kFaceKey, part, "plate/top");
  EXPECT_EQ(filer.writeUInt16(static_cast<Adesk::UInt16>(version)), Acad::eOk);
  EXPECT_EQ(filer.writeInt16(3), Acad::eOk);
  EXPECT_EQ(filer.writeDouble(2.0), Acad::eOk);
  EXPECT_EQ(amiWriteKey(&filer, &key), Ami::eOk);
}

// `record(version, lost)` writes a record of `Entity` by hand; `checkRead` checks the other
// fields of an entity read from it.
template <class Entity>
void expectTheLostFlagTable(AcDbDatabase* db, const std::function<std::string(int, long)>& record, const char* source,
                            const std::function<void(const Entity&)>& checkRead) {
  struct Case {
    const char* name;
    int version;
    long lost;
    bool read;
  };
  const Case cases[] = {
      {"630 has no flag", 630, 0, true}, {"631 not lost", 631, 0, true},  {"631 lost", 631, 1, true},
      {"631 flag 2", 631, 2, false},     {"631 flag -1", 631, -1, false}, {"a newer version", 632, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cadhost::clearPrintedText();
    const std::string filed = record(c.version, c.lost);
    Entity read;
    AcDbDwgFiler in(AcDb::kFileFiler, db, filed);
    const Acad::ErrorStatus status = read.dwgInFields(&in);
    if (!c.read) {
      EXPECT_NE(status, Acad::eOk);
      EXPECT_NE(cadhost::printedText().find(source), std::string::npos) << cadhost::printedText();
      EXPECT_EQ(read.DataVersion(), 0);
      continue;
    }
    ASSERT_EQ(status, Acad::eOk) << cadhost::printedText();
    EXPECT_TRUE(in.atEnd());
    EXPECT_EQ(read.TopologyLost(), c.lost == 1);
    checkRead(read);
    AcDbDwgFiler out(AcDb::kFileFiler, db);
    ASSERT_EQ(read.dwgOutFields(&out), Acad::eOk);
    const std::string again = out.takeBuffer();
    EXPECT_EQ(again, record(Entity::kDataVersion, c.lost));
    Entity back;
    AcDbDwgFiler reread(AcDb::kFileFiler, db, again);
    ASSERT_EQ(back.dwgInFields(&reread), Acad::eOk);
    EXPECT_EQ(back.TopologyLost(), c.lost == 1);
  }
}

}  // namespace kestrum::test
