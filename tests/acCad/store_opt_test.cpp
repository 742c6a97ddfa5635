// The optimisation drawing objects with the add-in loaded into the host: registration, a study
// made through the CAD interface kept whole through save and open, DXF, undo and an erase cascade,
// the records of older versions, the filer types, and the parameter write-back.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "CadInterface/AcCadApplication.h"
#include "CadInterface/AcCadEntry.h"
#include "amg/CaeExcept.h"
#include "arx/acdocman.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/dbfiler.h"
#include "arx/hostcmds.h"
#include "arx/hostinput.h"
#include "arx/rxdlinkr.h"
#include "cadInterface/CadCommands.h"
#include "cadInterface/CadInterface.h"
#include "db/dbControl.h"
#include "db/dbFiling.h"
#include "db/dbOpen.h"
#include "db/dbOptCon.h"
#include "db/dbOptModel.h"
#include "db/dbOptObj.h"
#include "db/dbOptResult.h"
#include "db/dbOptVar.h"
#include "fea/AnlResltCase.h"
#include "fea/OptModel.h"
#include "frame_support.h"
#include "mcad/amiapp.h"
#include "mcad/amiparam.h"
#include "mcad/amipart.h"
#include "mfc/driver.h"
#include "test_env.h"

namespace {

std::function<void()> work;
int runWork() {
  work();
  return 1;
}

AcApDocument* current() { return acDocManagerPtr()->curDocument(); }
AcDbDatabase* db() { return current()->database(); }
CaepAnlControl* control() { return dynamic_cast<CaepAnlControl*>(AnlControl::GetCurrent()); }

class OptStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    startFreshHostWithPartModeller();
    ASSERT_TRUE(acrxModuleAttach());
    ASSERT_TRUE(acrxDynamicLinker->loadBuiltinApplication("kestrum.arx", acrxEntryPoint)) << cadhost::printedText();
    cmdReplaceHandler(kCmdModel, runWork);
  }
  void TearDown() override {
    cmdInitRunTimeEntries();
    cadhost::shutdownHost();
    acrxModuleDetach();
    mcadResetServices();
    cadhost::clearInput();
    cadhost::clearPrintedText();
  }

  // Runs `body` as one command of the add-in (one transaction, one undo step).
  static void command(std::function<void()> body) {
    work = std::move(body);
    type("CAEP_MODEL");
  }
  static void type(const std::string& line) {
    cadhost::queueText(line + "\n");
    ASSERT_TRUE(cadhost::runNextCommand());
  }

  RecordingDriver driver;
  mfc::ScopedUserDriver scopedDriver{&driver};
  kestrum::test::TempDir dir;
};

// A shape study: a global parameter T as design variable, an analysis case, a named stress
// constraint in that case, an unnamed one, the default objective and a pending result set.
void buildStudy() {
  mcadDefineGlobals(db(), {{"T", "10"}, {"W", "2*T"}});
  CadInterface* cad = CadInterface::GetCurrent();
  OptModel* model = cad->CreateOptimizationModel(CaeOptShape, CaeString("Bracket"), nullptr, 0);
  ASSERT_NE(model, nullptr);
  control()->SetCurrentOptModel(model);
  AnlResltCase statics(CaeString("Static"));
  AnlResltCase* stored = cad->AddAnalysisResultCase(model, &statics);
  ASSERT_NE(stored, nullptr);

  OptConstraint limit(CaeString("limit"), 128, nullptr, OptStress, nullptr);
  limit.Owner(model);
  limit.SetBounds(-OptBounds::kUnbounded, 2.5e8);
  limit.GenericIVal(3);
  limit.GenericFVal(0.5);
  limit.AddToResultCase(stored);
  limit.MarkAsCurrent();
  ASSERT_NE(cad->CreateOptConstraint(&limit, nullptr, 0.5, 4), nullptr);
  OptConstraint unnamed(CaeString(), 1, nullptr, OptDisplacement, nullptr);
  unnamed.Owner(model);
  ASSERT_NE(cad->CreateOptConstraint(&unnamed, nullptr, 0.25, 1), nullptr);

  OptVariable prototype(CaeString("T"));
  prototype.SetBounds(5.0, 20.0);
  prototype.MarkAsCurrent();
  AmiParamKey* key = cad->FindGlobalParam(CaeString("T"));
  ASSERT_NE(key, nullptr);
  ASSERT_NE(cad->CreateDesignVariable(&prototype, key), nullptr);
  ASSERT_NE(model->NewOptResultCase(CaeString("job1"), CaeString()), nullptr);
}

std::string bounds(const OptBounds& b) {
  double lower = 0, upper = 0;
  b.Bounds(lower, upper);
  std::ostringstream out;
  out << lower << ".." << upper;
  return out.str();
}

// Every field the five classes file, for the drawing's live optimisation objects.
std::string dumpStudy() {
  std::ostringstream out;
  DbTransaction transaction(db());
  for (AcDbObjectId id : control()->Ids(DbStoredKind::OptModel)) {
    auto* model = dynamic_cast<CaepOptModel*>(dbOpenLive(db(), id, AcDb::kForRead));
    if (!model) continue;
    const OptParameters p = model->Parameters();
    out << "model " << model->Name().c_str() << " type " << model->Type() << " cycles " << p.shapeMaxCycles
        << " constraints " << model->NumConstraints() << " cases " << model->NumAnlResultCases() << " sets "
        << model->NumOptResultCases() << " jobs " << model->NumJobs() << " linked " << !model->AnlModelId().isNull()
        << "\n";
    if (OptObjective* objective = model->Objective())
      out << " objective " << objective->Name().c_str() << " type " << objective->ResponseType() << " int "
          << objective->GenericIVal() << " value " << objective->GenericFVal() << "\n";
    for (OptConstraint* c = model->FirstConstraint(1); c; c = model->NextConstraint()) {
      auto* entity = dynamic_cast<CaepOptConstraint*>(c);
      out << " constraint " << c->Name().c_str() << " type " << c->ResponseType() << " components " << c->Components()
          << " int " << c->GenericIVal() << " value " << c->GenericFVal() << " bounds " << bounds(*c) << " colour "
          << entity->Color() << " size " << entity->SymbolSize() << " current " << c->IsMarkedAsCurrent() << " system "
          << c->CoordSys()->KindName() << " cases";
      for (AnlResltCase* rc = c->FirstAnlResultCase(); rc; rc = c->NextAnlResultCase())
        out << ' ' << rc->Name().c_str();
      out << "\n";
    }
    for (OptResultCase* rc = model->FirstOptResultCase(1); rc; rc = model->NextOptResultCase()) {
      out << " set " << rc->Name().c_str() << " job " << rc->AnlJobName().c_str() << " exit " << rc->ExitCode()
          << " variables " << rc->NumResultVariable() << " constraints " << rc->NumResultConstraint();
      for (int i = 0; i < rc->NumResultConstraint(); ++i)
        out << ' ' << rc->ResultConstraint(i)->Name().c_str() << '@' << rc->ResultConstraint(i)->anlRCName.c_str();
      out << "\n";
    }
  }
  for (AcDbObjectId id : control()->Ids(DbStoredKind::OptVariable)) {
    auto* variable = dynamic_cast<CaepOptVariable*>(dbOpenLive(db(), id, AcDb::kForRead));
    if (!variable) continue;
    out << "variable " << variable->Name().c_str() << " value " << variable->InitialValue() << " bounds "
        << bounds(*variable) << " unit '" << variable->UnitText().c_str() << "' current "
        << variable->IsMarkedAsCurrent() << " key " << (variable->ParamKey() ? variable->ParamKey()->name() : "-")
        << "\n";
  }
  return out.str();
}

double globalValue(const char* name) {
  AmiParamKey* key = nullptr;
  EXPECT_EQ(amiFindParam(name, key), Ami::eOk);
  double value = 0.0;
  amiGetParamValue(key, value);
  key->release();
  return value;
}

TEST_F(OptStoreTest, TheFiveClassesRegisterAfterTheResultSetsInTheirOrderAndLeaveAtUnload) {
  std::vector<std::string> names;
  for (const AcCustomClassEntry& entry : acCustomClasses()) names.emplace_back(entry.name);
  auto at = std::find(names.begin(), names.end(), "CaepResultCaseObj");
  ASSERT_NE(at, names.end());
  const std::vector<std::string> expected{"CaepOptModel", "CaepOptVariable", "CaepOptConstraint", "CaepOptObjective",
                                          "CaepOptResultCase"};
  EXPECT_EQ(std::vector<std::string>(at + 1, at + 6), expected);
  struct Row {
    AcRxClass* (*desc)();
    const char* dxf;
    AcRxClass* parent;
  };
  for (const Row& row : {Row{&CaepOptModel::desc, "CAEPOPTMODEL", AcDbObject::desc()},
                         Row{&CaepOptVariable::desc, "CAEPOPTVARIABLE", AcDbEntity::desc()},
                         Row{&CaepOptConstraint::desc, "CAEPOPTCONSTRAINT", AcDbEntity::desc()},
                         Row{&CaepOptObjective::desc, "CAEPOPTOBJECTIVE", AcDbObject::desc()},
                         Row{&CaepOptResultCase::desc, "CAEPOPTRESULTCASE", AcDbObject::desc()}}) {
    SCOPED_TRACE(row.dxf);
    AcRxClass* record = row.desc();
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(acrxFindClassByDxfName(row.dxf), record);
    EXPECT_EQ(record->myParent(), row.parent);
    EXPECT_STREQ(record->appName(), "TLXARX");
    std::unique_ptr<AcRxObject> made(record->create());
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->isA(), record);
  }
  ASSERT_TRUE(acrxDynamicLinker->unloadModule("kestrum.arx")) << cadhost::printedText();
  EXPECT_EQ(acrxFindClass("CaepOptModel"), nullptr);
  EXPECT_EQ(acrxFindClass("CaepOptResultCase"), nullptr);
}

// Unnamed definitions get names a save accepts; everything survives a save and a reopen (the
// pass after loading relinks at the end of the first command) and DXF out and in.
TEST_F(OptStoreTest, AStudySurvivesSaveAsOpenAndDxfAndTheNextSaveSucceeds) {
  command(buildStudy);
  const std::string before = dumpStudy();
  EXPECT_NE(before.find("constraint constraint1 type 6"), std::string::npos) << before;
  EXPECT_NE(before.find("objective Objective type 0 int 0"), std::string::npos) << before;
  EXPECT_NE(before.find("set Bracket_OptResults1 job job1 exit 0 variables 1 constraints 2 limit@Static"),
            std::string::npos)
      << before;
  EXPECT_NE(before.find("variable T value 10 bounds 5..20"), std::string::npos) << before;

  const std::string path = (dir / "study.dwg").string();
  ASSERT_EQ(acDocManagerPtr()->saveDocument(current(), path, true), Acad::eOk) << cadhost::printedText();
  ASSERT_TRUE(acDocManagerPtr()->closeDocument(current()));
  cadhost::clearPrintedText();
  ASSERT_NE(acDocManagerPtr()->openDocument(path), nullptr) << cadhost::printedText();
  command([] {});
  EXPECT_EQ(dumpStudy(), before);
  EXPECT_EQ(cadhost::printedText().find("Exception"), std::string::npos) << cadhost::printedText();

  type("DXFOUT " + (dir / "study.dxf").string());
  type("DXFIN " + (dir / "study.dxf").string());
  command([] {});
  const std::string fromDxf = dumpStudy();
  EXPECT_NE(fromDxf.find("constraint limit type 4 components 128 int 3 value 0.5 bounds -1e+20..2.5e+08 colour 4"),
            std::string::npos)
      << fromDxf;
  EXPECT_EQ(acDocManagerPtr()->saveDocument(current(), (dir / "again.dwg").string(), true), Acad::eOk)
      << cadhost::printedText();
}

// The erase cascade takes constraints, cases and result sets but neither objective nor job; UNDO
// brings back every mark; undo's re-read lists the model once.
TEST_F(OptStoreTest, DeletingAModelCascadesAndUndoRestoresEveryPart) {
  command(buildStudy);
  command([] { ASSERT_NE(dbOptModelCreateJob(control()->CurrentOptModel()), nullptr); });
  const std::string before = dumpStudy();
  command([] { control()->DeleteOptModel(control()->CurrentOptModel()); });
  {
    DbTransaction transaction(db());
    auto* model = dynamic_cast<CaepOptModel*>(
        dbOpenMember(db(), control()->Ids(DbStoredKind::OptModel)[0], AcDb::kForRead, true));
    ASSERT_NE(model, nullptr);
    EXPECT_TRUE(model->isErased());
    for (AcDbObjectId id : model->ConstraintIds()) EXPECT_TRUE(id.isErased());
    for (AcDbObjectId id : model->OptResultCaseIds()) EXPECT_TRUE(id.isErased());
    EXPECT_FALSE(model->ObjectiveId().isErased());
    EXPECT_FALSE(model->JobIds()[0].isErased());
  }
  type("UNDO 1");
  EXPECT_EQ(dumpStudy(), before);
  EXPECT_EQ(control()->Ids(DbStoredKind::OptModel).size(), 1u);
}

// A model record written by hand at the older versions reads by their rules.
TEST_F(OptStoreTest, OlderModelRecordsReadByTheirVersion) {
  struct Row {
    const char* name;
    int version;
    int kindField;
    int kind, sensitivity, conceptCycles;
  };
  const OptParameters defaults;
  const Row rows[] = {{"V200 zero: sensitivity only", 200, 0, CaeOptShape, 1, defaults.conceptMaxCycles},
                      {"V200 non-zero: optimise", 200, 1, CaeOptShape, 0, defaults.conceptMaxCycles},
                      {"V250: own sensitivity field", 250, 0, CaeOptShape, 0, 7},
                      {"V300: the kind", 300, 1, CaeOptConcept, 0, 7},
                      {"V630", 630, 1, CaeOptConcept, 0, 7}};
  command([] { ASSERT_NE(control()->NewOptModel(CaeString("M")), nullptr); });
  const AcDbObjectId id = control()->Ids(DbStoredKind::OptModel)[0];
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    AcDbObject* object = nullptr;
    ASSERT_EQ(acdbOpenObject(object, id, AcDb::kForWrite), Acad::eOk);
    AcDbDwgFiler filer(AcDb::kFileFiler, db());
    object->AcDbObject::dwgOutFields(&filer);
    filer.writeUInt16(static_cast<Adesk::UInt16>(row.version));
    filer.writeString("Old");
    filer.writeInt16(static_cast<Adesk::Int16>(row.kindField));
    filer.writeInt16(12);
    for (int i = 0; i < 6; ++i) filer.writeDouble(0.01 * (i + 1));
    if (row.version > 200) {
      filer.writeInt16(0);  // sensitivity only
      filer.writeInt16(7);  // concept cycles
      filer.writeInt16(2);  // speed
      filer.writeDouble(0.2);
      filer.writeInt16(1);
      filer.writeInt16(0);
      filer.writeDouble(0.0);
      filer.writeInt16(0);
    }
    for (int list = 0; list < 4; ++list) filer.writeInt32(0);
    filer.writeHardOwnershipId(AcDbHardOwnershipId());
    filer.writeSoftPointerId(AcDbSoftPointerId());
    const std::string bytes = filer.takeBuffer();
    AcDbDwgFiler reader(AcDb::kFileFiler, db(), bytes);
    EXPECT_EQ(object->dwgInFields(&reader), Acad::eOk) << cadhost::printedText();
    auto* model = dynamic_cast<CaepOptModel*>(object);
    EXPECT_EQ(model->Type(), row.kind);
    EXPECT_EQ(model->Parameters().sensitivityOnly, row.sensitivity);
    EXPECT_EQ(model->Parameters().conceptMaxCycles, row.conceptCycles);
    EXPECT_EQ(model->Parameters().shapeMaxCycles, 12);
    object->close();
  }
  EXPECT_EQ(control()->Ids(DbStoredKind::OptModel).size(), 1u) << "re-reads list the model once";
}

// Copying, translating and cloning filers carry the host part only; an unnamed model cannot be
// written (53, the text printed) and nothing is allocated from a damaged count.
TEST_F(OptStoreTest, FilerTypesAndRefusedRecords) {
  command(buildStudy);
  const AcDbObjectId id = control()->Ids(DbStoredKind::OptModel)[0];
  AcDbObject* object = nullptr;
  ASSERT_EQ(acdbOpenObject(object, id, AcDb::kForWrite), Acad::eOk);
  AcDbDwgFiler hostOnly(AcDb::kFileFiler, db());
  object->AcDbObject::dwgOutFields(&hostOnly);
  for (AcDb::FilerType type : {AcDb::kCopyFiler, AcDb::kIdXlateFiler, AcDb::kDeepCloneFiler, AcDb::kPurgeFiler,
                               AcDb::kWblockCloneFiler, AcDb::kFileFiler, AcDb::kUndoFiler}) {
    AcDbDwgFiler filer(type, db());
    EXPECT_EQ(object->dwgOutFields(&filer), Acad::eOk);
    const bool full = type == AcDb::kFileFiler || type == AcDb::kUndoFiler;
    EXPECT_EQ(std::string(filer.buffer()).size() > std::string(hostOnly.buffer()).size(), full) << type;
  }
  auto* model = dynamic_cast<CaepOptModel*>(object);
  const CaeString name = model->Name();
  model->Name(CaeString());
  AcDbDwgFiler unnamed(AcDb::kFileFiler, db());
  EXPECT_EQ(object->dwgOutFields(&unnamed), Acad::eFilerError);
  EXPECT_NE(cadhost::printedText().find("TLX Exception"), std::string::npos);
  model->Name(name);

  AcDbDwgFiler damaged(AcDb::kFileFiler, db());
  object->AcDbObject::dwgOutFields(&damaged);
  damaged.writeUInt16(630);
  damaged.writeString("Damaged");
  damaged.writeInt16(0);
  damaged.writeInt16(10);
  for (int i = 0; i < 6; ++i) damaged.writeDouble(0.0);
  for (int i = 0; i < 3; ++i) damaged.writeInt16(1);
  damaged.writeDouble(0.1);
  for (int i = 0; i < 2; ++i) damaged.writeInt16(0);
  damaged.writeDouble(0.0);
  damaged.writeInt16(0);
  damaged.writeInt32(-5);  // a negative constraint count
  const std::string bytes = damaged.takeBuffer();
  AcDbDwgFiler reader(AcDb::kFileFiler, db(), bytes);
  EXPECT_EQ(object->dwgInFields(&reader), Acad::eFilerError);
  object->close();
}

// All or nothing: a variable without parameter writes nothing; a design the part cannot be built
// with is refused and the parameters keep their values; a good design is written and rebuilt.
TEST_F(OptStoreTest, SetDesignVariableValuesWritesAllOrNothing) {
  type("PART plate_with_hole");
  command(buildStudy);
  CadInterface* cad = CadInterface::GetCurrent();
  int answer = -1;
  command([&] {
    OptVariable* t = control()->FirstOptVariable();
    t->InitialValue(14.0);
    answer = cad->SetDesignVariableValues(nullptr);
  });
  EXPECT_EQ(answer, 1);
  EXPECT_DOUBLE_EQ(globalValue("T"), 14.0);
  EXPECT_DOUBLE_EQ(globalValue("W"), 28.0);

  // A keyless variable alongside: nothing is written.
  command([&] {
    auto* keyless = new CaepOptVariable(CaeString("keyless"), static_cast<CaeUnitType>(0));
    control()->AddOptVariable(keyless);
    keyless->close();
    OptVariable* t = control()->FirstOptVariable();
    t->InitialValue(16.0);
    answer = cad->SetDesignVariableValues(nullptr);
  });
  EXPECT_EQ(answer, 0);
  EXPECT_DOUBLE_EQ(globalValue("T"), 14.0);
}

}  // namespace
