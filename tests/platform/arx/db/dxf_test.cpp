#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "arx/dbdatabase.h"
#include "test_env.h"
#include "test_thing.h"

namespace {

using kestrum::test::readFile;
using kestrum::test::TempDir;

class Dxf : public ::testing::Test {
 protected:
  void SetUp() override {
    TestThing::registerClass();
    AcDbLayerTable* layers = nullptr;
    db.getLayerTable(layers, AcDb::kForWrite);
    auto* layer = new AcDbLayerTableRecord();
    layer->setName("CAE_LBC");
    layer->setIsOff(true);
    layer->setColorIndex(3);
    layer->setLinetypeObjectId(db.continuousLinetype());
    layers->add(layer);
    layer->close();
    layers->close();
    thing = addThing(db, "load 1\nline two ^ caret", 7);
    TestThing* opened = nullptr;
    acdbOpenObject(opened, thing, AcDb::kForWrite);
    opened->setLayer("CAE_LBC");
    opened->setValue(0.125);
    opened->setColorIndex(5);
    opened->close();
    AcDbDictionary* named = nullptr;
    db.getNamedObjectsDictionary(named, AcDb::kForWrite);
    auto* models = new AcDbDictionary();
    AcDbObjectId id;
    named->setAt("ANALYSIS_MODELS", models, id);
    models->close();
    named->close();
  }
  AcDbDatabase db;
  AcDbObjectId thing;
  TempDir dir;
};

TEST_F(Dxf, StandardReaderAuditsTheFileWithoutErrors) {
  const auto path = dir / "drawing.dxf";
  ASSERT_EQ(db.dxfOut(path.string()), Acad::eOk);
  const std::string text = readFile(path);
  // The sections, in the standard order.
  std::size_t at = 0;
  for (const char* section : {"HEADER", "CLASSES", "TABLES", "BLOCKS", "ENTITIES", "OBJECTS"}) {
    std::size_t found = text.find("  2\n" + std::string(section) + "\n", at);
    ASSERT_NE(found, std::string::npos) << section;
    at = found;
  }
  const auto script = dir / "audit.py";
  std::ofstream(script) << "import sys, ezdxf\n"
                           "doc = ezdxf.readfile(sys.argv[1])\n"
                           "auditor = doc.audit()\n"
                           "for e in auditor.errors: print(e.message)\n"
                           "layer = doc.layers.get('CAE_LBC')\n"
                           "assert layer is not None and layer.is_off(), 'layer CAE_LBC lost'\n"
                           "assert not auditor.has_errors\n";
  const std::string command =
      "/usr/bin/python3 " + script.string() + " " + path.string() + " > " + (dir / "audit.txt").string() + " 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0) << readFile(dir / "audit.txt");
}

TEST_F(Dxf, RoundTripKeepsTablesEntitiesAndDictionaries) {
  const auto path = dir / "drawing.dxf";
  ASSERT_EQ(db.dxfOut(path.string()), Acad::eOk);
  AcDbDatabase loaded(false);
  std::vector<std::string> messages;
  ASSERT_EQ(loaded.dxfIn(path.string(), &messages), Acad::eOk);
  EXPECT_TRUE(messages.empty()) << messages.front();

  AcDbLayerTable* layers = nullptr;
  ASSERT_EQ(loaded.getLayerTable(layers, AcDb::kForRead), Acad::eOk);
  AcDbLayerTableRecord* layer = nullptr;
  ASSERT_EQ(layers->getAt("CAE_LBC", layer, AcDb::kForRead), Acad::eOk);
  EXPECT_TRUE(layer->isOff());
  EXPECT_EQ(layer->colorIndex(), 3);
  EXPECT_EQ(layer->linetypeObjectId(), loaded.continuousLinetype());
  layer->close();
  layers->close();

  AcDbBlockTableRecord* space = nullptr;
  ASSERT_EQ(acdbOpenObject(space, loaded.modelSpaceId(), AcDb::kForRead), Acad::eOk);
  ASSERT_EQ(space->entityIds().size(), 1u);
  AcDbObjectId loadedThing = space->entityIds()[0];
  space->close();
  EXPECT_EQ(loadedThing.handle(), thing.handle());
  TestThing* read = nullptr;
  ASSERT_EQ(acdbOpenObject(read, loadedThing, AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(read->label(), "load 1\nline two ^ caret");  // one DXF line, read back whole
  EXPECT_EQ(read->count(), 7);
  EXPECT_EQ(read->value(), 0.125);
  EXPECT_EQ(read->layer(), "CAE_LBC");
  EXPECT_EQ(read->colorIndex(), 5);
  read->close();

  AcDbDictionary* named = nullptr;
  ASSERT_EQ(loaded.getNamedObjectsDictionary(named, AcDb::kForRead), Acad::eOk);
  EXPECT_TRUE(named->has("analysis_models"));
  named->close();
  EXPECT_GT(addThing(loaded, "new").handle(), thing.handle());
}

TEST_F(Dxf, FarOffHandlesFromAFileResolve) {
  const auto path = dir / "drawing.dxf";
  ASSERT_EQ(db.dxfOut(path.string()), Acad::eOk);
  std::string text = readFile(path);
  const std::string mine = "  5\n" + thing.handle().text() + "\n";
  ASSERT_NE(text.find(mine), std::string::npos);
  text.replace(text.find(mine), mine.size(), "  5\nFFFFFFFFF0\n");
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;

  AcDbDatabase loaded(false);
  ASSERT_EQ(loaded.dxfIn(path.string()), Acad::eOk);
  AcDbObjectId far;
  ASSERT_EQ(loaded.getAcDbObjectId(far, false, AcDbHandle(0xFFFFFFFFF0)), Acad::eOk);
  EXPECT_EQ(readThing(far, [](TestThing& t) { return t.count(); }), 7);
  AcDbObjectId added = addThing(loaded, "next");
  EXPECT_GT(added.handle().value(), 0xFFFFFFFFF0u);  // new handles never collide with the file's
  AcDbObjectId found;
  ASSERT_EQ(loaded.getAcDbObjectId(found, false, added.handle()), Acad::eOk);
  EXPECT_EQ(found, added);
}

TEST_F(Dxf, BadFilesGiveAClearMessageAndLoadNothing) {
  struct Case {
    const char* name;
    const char* text;
    const char* says;
  };
  const Case cases[] = {
      {"unknown section", "  0\nSECTION\n  2\nHEADER\n  0\nENDSEC\n  0\nSECTION\n  2\nGADGETS\n  0\nENDSEC\n  0\nEOF\n",
       "unknown section \"GADGETS\""},
      {"not DXF", "hello world\nthis is text\n", "is not a DXF file"},
      {"no EOF", "  0\nSECTION\n  2\nHEADER\n  0\nENDSEC\n", "is truncated"},
  };
  for (const Case& c : cases) {
    const auto path = dir / "bad.dxf";
    std::ofstream(path) << c.text;
    AcDbDatabase loaded(false);
    std::vector<std::string> messages;
    EXPECT_EQ(loaded.dxfIn(path.string(), &messages), Acad::eBadDxfFile) << c.name;
    ASSERT_EQ(messages.size(), 1u) << c.name;
    EXPECT_NE(messages[0].find(c.says), std::string::npos) << c.name << ": " << messages[0];
    EXPECT_EQ(loaded.numObjects(true), 0) << c.name;
  }
}

TEST_F(Dxf, FailingObjectStopsTheExportAndKeepsThePreviousFile) {
  const auto path = dir / "drawing.dxf";
  std::ofstream(path) << "previous";
  TestThing* opened = nullptr;
  acdbOpenObject(opened, thing, AcDb::kForWrite);
  opened->failWriting = true;
  opened->close();
  std::vector<std::string> messages;
  EXPECT_EQ(db.dxfOut(path.string(), &messages), Acad::eFilerError);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("(handle " + thing.handle().text() + ")"), std::string::npos) << messages[0];
  EXPECT_EQ(readFile(path), "previous");
}

// A DXF text cut short at every line, or with lines replaced by junk, read from memory: every
// answer is a status, every message names the file, and nothing crashes.
TEST_F(Dxf, DamagedTextFromMemoryIsAnsweredAndNamed) {
  const auto path = dir / "drawing.dxf";
  ASSERT_EQ(db.dxfOut(path.string()), Acad::eOk);
  const std::string text = readFile(path);
  std::vector<std::size_t> lineStarts{0};
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\n') lineStarts.push_back(i + 1);
  const std::string junk[] = {"99999999999999999999", "-1", std::string("\0\xff", 2), "", "  7 x", "1e308"};
  int refused = 0, skipped = 0;
  auto check = [&](const std::string& damaged, const std::string& what) {
    AcDbDatabase target(false);
    std::vector<std::string> messages;
    Acad::ErrorStatus status = target.dxfInText(damaged, "damaged.dxf", &messages);
    for (const std::string& message : messages)
      ASSERT_NE(message.find("damaged.dxf"), std::string::npos) << what << ": " << message;
    if (status != Acad::eOk) {
      ++refused;
      ASSERT_FALSE(messages.empty()) << what;
    } else if (!messages.empty()) {
      ++skipped;
    }
  };
  for (std::size_t i = 0; i < lineStarts.size(); ++i) {
    check(text.substr(0, lineStarts[i]), "cut at line " + std::to_string(i + 1));
    const std::size_t end = i + 1 < lineStarts.size() ? lineStarts[i + 1] : text.size();
    for (const std::string& j : junk)
      check(text.substr(0, lineStarts[i]) + j + "\n" + text.substr(end), "line " + std::to_string(i + 1) + " junk");
  }
  EXPECT_GT(refused, 0);
  EXPECT_GT(skipped, 0);  // some damage only cost an entry, which was reported with its line
}

}  // namespace
