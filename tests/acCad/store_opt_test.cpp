// The optimisation drawing objects with the add-in loaded into the host: registration, a study
// made through the CAD interface kept whole through save and open, DXF, undo and an erase cascade,
// the records of older versions, the filer types, and the parameter write-back.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
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
#include "arx/gidisplay.h"
#include "arx/hostcmds.h"
#include "arx/hostinput.h"
#include "arx/rxdlinkr.h"
#include "cadInterface/CadCommands.h"
#include "cadInterface/CadInterface.h"
#include "db/dbControl.h"
#include "db/dbDict.h"
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
#include "util/acObjKey.h"

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
  type("REDO");
  EXPECT_EQ(dumpStudy(), before.substr(before.find("variable "))) << "the model erased again, the variable kept";
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

// A variable record older than version 300 has no unit: it reads as unit type 0 with an empty
// text, which the pass after loading fills with the engine's text for that type.
TEST_F(OptStoreTest, AnOlderVariableRecordTakesTheEngineUnitTextAfterLoading) {
  command(buildStudy);
  const AcDbObjectId id = control()->Ids(DbStoredKind::OptVariable).front();
  AcDbObject* object = nullptr;
  ASSERT_EQ(acdbOpenObject(object, id, AcDb::kForWrite), Acad::eOk);
  auto* variable = dynamic_cast<CaepOptVariable*>(object);
  AcDbDwgFiler filer(AcDb::kFileFiler, db());
  variable->AcDbEntity::dwgOutFields(&filer);
  filer.writeUInt16(250);
  filer.writeString("T");
  filer.writeInt16(5);  // a unit type older records do not carry
  filer.writeDouble(5.0);
  filer.writeDouble(20.0);
  filer.writeDouble(12.0);
  filer.writeInt16(1);
  ASSERT_EQ(amiWriteKey(&filer, variable->ParamKey()), Ami::eOk);
  const std::string bytes = filer.takeBuffer();
  AcDbDwgFiler reader(AcDb::kFileFiler, db(), bytes);
  ASSERT_EQ(variable->dwgInFields(&reader), Acad::eOk) << cadhost::printedText();
  EXPECT_EQ(static_cast<int>(variable->UnitType()), 0);
  EXPECT_TRUE(variable->UnitText().IsEmpty());
  EXPECT_DOUBLE_EQ(variable->InitialValue(), 12.0) << "the value last applied, not the parameter's";
  object->close();
  dbReconcileStoredObjects();
  OptVariable engine(CaeString("x"));
  engine.UnitType(static_cast<CaeUnitType>(0));
  ASSERT_FALSE(engine.UnitText().IsEmpty());
  ASSERT_EQ(acdbOpenObject(object, id, AcDb::kForRead), Acad::eOk);
  EXPECT_STREQ(dynamic_cast<CaepOptVariable*>(object)->UnitText().c_str(), engine.UnitText().c_str());
  object->close();
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

// A slab whose length is the global T (in the part's own length unit).
AcDbObjectId addSlab(const std::filesystem::path& folder) {
  const std::filesystem::path file = folder / "slab.part";
  std::ofstream(file) << "part slab\nbox body corner=(0, 0, 0) size=(T, 10, 10)\n";
  const std::vector<AcDbObjectId> ids = mcadLoadPartFile(db(), file.string());
  return ids.empty() ? AcDbObjectId() : ids.front();
}

// All or nothing: a design the part cannot be built with is refused and every parameter keeps its
// value; a variable without parameter writes nothing; a good design is written and rebuilt once.
TEST_F(OptStoreTest, SetDesignVariableValuesWritesAllOrNothing) {
  command(buildStudy);
  AcDbObjectId slab;
  command([&] { slab = addSlab(dir.path()); });
  ASSERT_FALSE(slab.isNull()) << cadhost::printedText();
  CadInterface* cad = CadInterface::GetCurrent();
  const double volumeAt10 = cad->GetPartMassProps();
  ASSERT_GT(volumeAt10, 0.0);
  struct Row {
    const char* name;
    double value;
    int answer;
    double t;
  };
  const Row rows[] = {{"a buildable design", 14.0, 1, 14.0}, {"a zero length: refused", 0.0, 0, 14.0}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    int answer = -1;
    command([&] {
      control()->FirstOptVariable()->InitialValue(row.value);
      answer = cad->SetDesignVariableValues(nullptr);
    });
    EXPECT_EQ(answer, row.answer);
    EXPECT_DOUBLE_EQ(globalValue("T"), row.t);
    command([] {});
    double variableValue = 0.0;
    command([&] { variableValue = control()->FirstOptVariable()->InitialValue(); });
    EXPECT_DOUBLE_EQ(variableValue, row.t) << "the variable follows its parameter";
    EXPECT_DOUBLE_EQ(globalValue("W"), 2 * row.t);
    EXPECT_NEAR(cad->GetPartMassProps() / volumeAt10, row.t / 10.0, 1e-9) << "the box is T long";
  }

  // ApplyValue: a refused write keeps the variable's value.
  int applied = -1;
  double kept = 0.0;
  command([&] {
    OptVariable* t = control()->FirstOptVariable();
    applied = t->ApplyValue(0.0);
    kept = t->InitialValue();
  });
  EXPECT_EQ(applied, 0);
  EXPECT_DOUBLE_EQ(kept, 14.0);

  // A keyless variable alongside: nothing is written.
  int answer = -1;
  command([&] {
    auto* keyless = new CaepOptVariable(CaeString("keyless"), static_cast<CaeUnitType>(0));
    control()->AddOptVariable(keyless);
    keyless->close();
    control()->FirstOptVariable()->InitialValue(16.0);
    answer = cad->SetDesignVariableValues(nullptr);
  });
  EXPECT_EQ(answer, 0);
  EXPECT_DOUBLE_EQ(globalValue("T"), 14.0);
}

// Model names compare ignoring case, as the dictionary that files them does.
TEST_F(OptStoreTest, SelectOrCreateFindsAModelWhateverItsCase) {
  command(buildStudy);
  int answer = -1;
  command([&] { answer = CadInterface::GetCurrent()->SelectOrCreateOptModel(CaeString("bracket"), nullptr); });
  EXPECT_EQ(answer, 1);
  EXPECT_EQ(control()->Ids(DbStoredKind::OptModel).size(), 1u);
  command([&] { answer = CadInterface::GetCurrent()->SelectOrCreateOptModel(CaeString("Frame"), nullptr); });
  EXPECT_EQ(answer, 0);
  EXPECT_EQ(control()->Ids(DbStoredKind::OptModel).size(), 2u);
}

// Markers: one cube at a vertex, three along an edge, three on each edge of a face; none once the
// constraint or its model is erased.
TEST_F(OptStoreTest, ConstraintsDrawCubesOnTheirGeometry) {
  command(buildStudy);
  AcDbObjectId slab;
  command([&] { slab = addSlab(dir.path()); });
  AmiPartEntity* entity = nullptr;
  ASSERT_EQ(acdbOpenObject(entity, slab, AcDb::kForRead), Acad::eOk);
  const std::string vertex = entity->part()->vertexNames().front();
  const std::string edge = entity->part()->edgeNames().front();
  const std::string face = entity->part()->faceNames().front();
  entity->close();
  struct Row {
    Ami::KeyType type;
    std::string name;
    int cubes;
    AcDbObjectId id;
  };
  std::vector<Row> rows = {
      {Ami::kVertexKey, vertex, 1, {}}, {Ami::kEdgeKey, edge, 3, {}}, {Ami::kFaceKey, face, 12, {}}};
  command([&] {
    OptModel* model = control()->CurrentOptModel();
    for (Row& row : rows) {
      AmiObjectKey key(row.type, slab, row.name);
      OptConstraint definition(CaeString(row.name), 128, nullptr, OptStress, nullptr);
      definition.Owner(model);
      auto* created = dynamic_cast<CaepOptConstraint*>(
          CadInterface::GetCurrent()->CreateOptConstraint(&definition, acBrEntityFromKey(&key), 0.5, 3));
      ASSERT_NE(created, nullptr);
      row.id = created->objectId();
    }
  });
  AcGiDisplayList list(db());
  list.regenerate();
  const std::size_t perCube = list.primitivesOf(rows[0].id).size();
  ASSERT_GT(perCube, 0u) << cadhost::printedText();
  for (const Row& row : rows) EXPECT_EQ(list.primitivesOf(row.id).size(), perCube * row.cubes) << row.name;

  // Reopened, they draw nothing until the pass after loading has resolved them.
  const std::string path = (dir / "markers.dwg").string();
  ASSERT_EQ(acDocManagerPtr()->saveDocument(current(), path, true), Acad::eOk) << cadhost::printedText();
  ASSERT_TRUE(acDocManagerPtr()->closeDocument(current()));
  ASSERT_NE(acDocManagerPtr()->openDocument(path), nullptr) << cadhost::printedText();
  {
    // The ids of the reopened drawing: after the study's two constraints without geometry.
    DbTransaction transaction(db());
    auto* model =
        dynamic_cast<CaepOptModel*>(dbOpenMember(db(), control()->Ids(DbStoredKind::OptModel).front(), AcDb::kForRead));
    ASSERT_NE(model, nullptr);
    ASSERT_EQ(model->ConstraintIds().size(), 5u);
    for (std::size_t i = 0; i < rows.size(); ++i) rows[i].id = model->ConstraintIds()[i + 2];
  }
  AcGiDisplayList reopened(db());
  reopened.regenerate();
  for (const Row& row : rows) EXPECT_TRUE(reopened.primitivesOf(row.id).empty()) << row.name;
  command([] {});
  AcGiDisplayList resolved(db());
  resolved.regenerate();
  for (const Row& row : rows) EXPECT_EQ(resolved.primitivesOf(row.id).size(), perCube * row.cubes) << row.name;
}

}  // namespace
