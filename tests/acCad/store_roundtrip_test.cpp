// A drawing of every kind of stored object, taken through the host program: opened and saved,
// written as DXF and read back, and opened and saved by a host without the add-in. Each file is
// opened here with the add-in and dumped whole; the dumps must not differ.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "CadInterface/AcCadEntry.h"
#include "amg/CaeConfig.h"
#include "arx/acdocman.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/hostcmds.h"
#include "arx/hostinput.h"
#include "arx/rxdlinkr.h"
#include "cadInterface/CadMaterialLibrary.h"
#include "db/dbFiling.h"
#include "db/dbModel.h"
#include "db/dbOpen.h"
#include "frame_support.h"
#include "mcad/amiapp.h"
#include "mfc/driver.h"
#include "store_drawing_build.h"
#include "store_drawing_dump.h"
#include "store_standins.h"
#include "test_env.h"

namespace fs = std::filesystem;

namespace {

struct ProgramRun {
  int exitCode = -1;
  std::string output;
};

ProgramRun runIn(const fs::path& dir, const std::string& commandLine) {
  const std::string out = (dir / "output.txt").string();
  const std::string full = "cd '" + dir.string() + "' && " + commandLine + " > '" + out + "' 2>&1";
  const int status = std::system(full.c_str());
  return ProgramRun{WIFEXITED(status) ? WEXITSTATUS(status) : -1, kestrum::test::readFile(out)};
}

ProgramRun runScript(const fs::path& dir, const std::string& script) {
  std::ofstream(dir / "test.scr") << script;
  return runIn(dir, "'" + kestrum::test::buildPath("bin/cadhost").string() + "' --script test.scr");
}

// The add-in and the module that brings the stand-in entities.
std::string loadLines() {
  return "ARXLOAD " + kestrum::test::buildPath("lib/kestrum.arx").string() + "\nARXLOAD " +
         kestrum::test::buildPath("tests/modules/store_module.so").string() + "\n";
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class StoreRoundTripTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The document library is a copy: whatever the post-load pass stores goes there, not to data/.
    fs::copy_file(kestrum::test::sourcePath("data/zq_fea.mat"), dir / "zq_fea.mat");
    ASSERT_TRUE(CaeConfig::SetValue("MatLibLoc", CaeString((dir / "zq_fea.mat").string()), 0));
    startFreshHostWithPartModeller();
    ASSERT_TRUE(acrxModuleAttach());
    ASSERT_TRUE(acrxDynamicLinker->loadBuiltinApplication("kestrum.arx", acrxEntryPoint)) << cadhost::printedText();
    registerStoreStandIns();
  }
  void TearDown() override {
    cadhost::shutdownHost();
    acrxModuleDetach();
    unregisterStoreStandIns();
    mcadResetServices();
    cadhost::clearInput();
    cadhost::clearPrintedText();
  }

  // Builds the drawing and saves it as a.dwg; the new drawing is closed. `built` holds its dump.
  void makeA() {
    AcApDocument* document = acDocManagerPtr()->curDocument();
    buildStoreDrawing(document, dir.path());
    built = dumpStoredDrawing(document, false);
    ASSERT_EQ(acDocManagerPtr()->saveDocument(document, (dir / "a.dwg").string(), true), Acad::eOk)
        << cadhost::printedText();
    ASSERT_TRUE(acDocManagerPtr()->closeDocument(document));
  }

  // Opens a file here, as the host's OPEN does, and dumps it.
  std::string dumpFile(const std::string& name, bool liveOnly, bool asDxf = false) {
    cadhost::clearPrintedText();
    AcApDocument* opened = acDocManagerPtr()->openDocument((dir / name).string(), asDxf);
    EXPECT_NE(opened, nullptr) << name << ": " << cadhost::printedText();
    if (!opened) return "not opened";
    EXPECT_FALSE(contains(cadhost::printedText(), "Skipped")) << name << ": " << cadhost::printedText();
    EXPECT_FALSE(contains(cadhost::printedText(), "TLX")) << name << ": " << cadhost::printedText();
    const std::string dump = dumpStoredDrawing(opened, liveOnly);
    EXPECT_TRUE(acDocManagerPtr()->closeDocument(opened));
    return dump;
  }

  RecordingDriver driver;
  mfc::ScopedUserDriver scopedDriver{&driver};
  kestrum::test::TempDir dir;
  std::string built;
};

// What a host run must not print: skipped or kept-as-proxy objects, filing exceptions, errors.
void expectCleanRun(const ProgramRun& run) {
  EXPECT_EQ(run.exitCode, 0) << run.output;
  for (const char* bad : {"Skipped", "proxies", "TLX", "General Error", "not saved", "AddressSanitizer",
                          "runtime error", "Unknown command"})
    EXPECT_FALSE(contains(run.output, bad)) << bad << "\n" << run.output;
}

TEST_F(StoreRoundTripTest, SaveAsDxfOutAndDxfInInTheHostProgramKeepEveryField) {
  makeA();
  const ProgramRun run = runScript(dir.path(), loadLines() +
                                                   "OPEN a.dwg\n"
                                                   "SAVEAS b.dwg\n"
                                                   "DXFOUT b.dxf\n"
                                                   "CLOSE\n"
                                                   "DXFIN b.dxf\n"
                                                   "SAVEAS c.dwg\n"
                                                   "QUIT\n");
  expectCleanRun(run);
  for (const char* file : {"b.dwg", "b.dxf", "c.dwg"}) ASSERT_TRUE(fs::exists(dir / file)) << file << run.output;

  // The file holds what was built.
  const std::string a = dumpFile("a.dwg", false);
  EXPECT_EQ(a, built);
  // The drawing holds what was built: every kind of object, the deleted load among them.
  for (const char* part :
       {"length 2 host 3 6 11 14 20 21 27 28\n", "model \"Bracket\" type 0", "model \"Housing modes\" type 1",
        "constrained job", "pairs \"Loads\"=\"Fixed\" \"Snow\"=\"Pinned\"", "result \"Displacement\"",
        "CaepLoadCaseObj", "CaepRestraintCaseObj", "CaepAnlResultCase", "CaepAnlLbcCase", "condition layer CAE_LBC",
        "type 1 erased\n", "mesh layer CAE_MESH"})
    EXPECT_TRUE(contains(a, part)) << part << "\n" << a;
  EXPECT_EQ(dumpFile("b.dwg", false), a);
  // DXF carries no erased objects: the rest is the same.
  const std::string live = dumpFile("a.dwg", true);
  EXPECT_FALSE(contains(live, "type 1 erased")) << live;
  EXPECT_EQ(dumpFile("b.dxf", true, true), live);
  EXPECT_EQ(dumpFile("c.dwg", true), live);

  // A standard reader audits the DXF file without errors or fixes.
  std::ofstream(dir / "audit.py") << "import sys, ezdxf\n"
                                     "doc = ezdxf.readfile(sys.argv[1])\n"
                                     "auditor = doc.audit()\n"
                                     "auditor.print_error_report()\n"
                                     "auditor.print_fixed_errors()\n"
                                     "assert not auditor.has_errors and not auditor.has_fixes\n"
                                     "print('audit ok')\n";
  const ProgramRun audit = runIn(dir.path(), "/usr/bin/python3 audit.py b.dxf");
  EXPECT_EQ(audit.exitCode, 0) << audit.output;
  EXPECT_TRUE(contains(audit.output, "audit ok")) << audit.output;
}

TEST_F(StoreRoundTripTest, AHostWithoutTheAddInKeepsTheObjectsAsProxies) {
  makeA();
  const ProgramRun run = runScript(dir.path(), "OPEN a.dwg\nSAVEAS d.dwg\nQUIT\n");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  // Each class of the store is reported once, as kept.
  for (const char* name : {"CaepAnlModelObj", "CaepAnlSubModelObj", "CaepAnlDrvJobObj", "CaepAnlConstrJobObj",
                           "CaepResultCaseObj", "CaepLoadCaseObj", "CaepRestraintCaseObj", "CaepAnlResultCase",
                           "CaepAnlLbcCase", "CaepVersionObj", "CaepUnitsObj"}) {
    const std::string notice = " object(s) of class " + std::string(name) + " kept as proxies";
    EXPECT_TRUE(contains(run.output, notice)) << name << "\n" << run.output;
  }
  EXPECT_FALSE(contains(run.output, "AddressSanitizer")) << run.output;
  EXPECT_EQ(dumpFile("d.dwg", false), built);
}

// On OPEN, the post-load pass at the first command end looks up each sub-model's material: one
// found only in the part modeller's file under "Root Directory" is stored into the document
// library (a copy here, never the shipped file); one found nowhere is reported once.
TEST_F(StoreRoundTripTest, OpenBringsAMaterialOnlyThePartModellersFileHasIntoTheDocumentLibrary) {
  const fs::path root = dir / "root";
  fs::create_directories(root / "MDT");
  fs::copy_file(kestrum::test::sourcePath("data/MDT/zq_fea.mat"), root / "MDT" / "zq_fea.mat");
  ASSERT_TRUE(CaeConfig::SetValue("Root Directory", CaeString(root.string()), 1));
  const std::string shipped = kestrum::test::readFile(kestrum::test::sourcePath("data/zq_fea.mat"));
  const std::string modellerFile = kestrum::test::readFile(root / "MDT" / "zq_fea.mat");
  const char* onlyInModeller = "Brass_CuZn37";
  {
    MaterialLibrary document(CaeString((dir / "zq_fea.mat").string()));
    ASSERT_EQ(document.Find(CaeString(onlyInModeller)), nullptr);
    ASSERT_NE(document.Find(CaeString("S275")), nullptr);
  }
  ASSERT_NE(modellerFile.find(std::string("*") + onlyInModeller + "_at_"), std::string::npos);

  AcApDocument* document = acDocManagerPtr()->curDocument();
  const StoreDrawing d = buildStoreDrawing(document, dir.path());
  {
    AcDbDatabase* db = document->database();
    db->beginUndoGroup("MATERIALS");
    {
      DbTransaction transaction(db);
      auto* model = CaepAnlModelObj::cast(dbOpenMember(db, d.modal, AcDb::kForWrite));
      storeAddSubModel(db, model, onlyInModeller);
      storeAddSubModel(db, model, "Unobtainium");
    }
    db->endUndoGroup();
  }
  ASSERT_EQ(acDocManagerPtr()->saveDocument(document, (dir / "a.dwg").string(), true), Acad::eOk);
  ASSERT_TRUE(acDocManagerPtr()->closeDocument(document));

  driver.boxes.clear();
  cadhost::queueText("OPEN " + (dir / "a.dwg").string() + "\nLIST\n");
  ASSERT_TRUE(cadhost::runNextCommand());
  EXPECT_TRUE(driver.boxes.empty());  // reading looks nothing up
  ASSERT_TRUE(cadhost::runNextCommand());
  ASSERT_EQ(driver.boxes.size(), 1u);
  EXPECT_NE(driver.boxes[0].find("The material 'Unobtainium' used in this model was not found."), std::string::npos)
      << driver.boxes[0];

  MaterialLibrary library(CaeString((dir / "zq_fea.mat").string()));
  CaeMaterial* brought = library.Find(CaeString(onlyInModeller));
  ASSERT_NE(brought, nullptr);
  EXPECT_GT(brought->NumProp(), 0);
  EXPECT_NE(library.Find(CaeString("S275")), nullptr);  // what the library had stays
  EXPECT_EQ(library.Find(CaeString("Unobtainium")), nullptr);
  // The shipped file and the part modeller's file are read, never written.
  EXPECT_EQ(kestrum::test::readFile(kestrum::test::sourcePath("data/zq_fea.mat")), shipped);
  EXPECT_EQ(kestrum::test::readFile(root / "MDT" / "zq_fea.mat"), modellerFile);
}

}  // namespace
