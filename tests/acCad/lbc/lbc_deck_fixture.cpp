#include "lbc_deck_fixture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <numbers>
#include <sstream>

#include "amg/CaeCoordSys.h"
#include "amg/CaeList.h"
#include "amg/CaeMaterial.h"
#include "amg/CaeString.h"
#include "amg/CaeTransform.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadTransactionScope.h"
#include "fea/AmgMesh.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/AnlResltCase.h"
#include "fea/AnlWriter.h"
#include "fea/AttLbc.h"
#include "fea/AttLbcCase.h"
#include "fea/AttLbcDescript.h"
#include "fea/CaeFunc.h"
#include "test_env.h"
#include "topo/acTopoRef.h"

namespace lbctest {

namespace {

// An empty temperature table.
class NoRows : public CaeList<AttTableTempValue> {
 public:
  // The base's destructor cannot reach DeleteItem: the rows go here.
  ~NoRows() override { RemoveAll(); }

 protected:
  void DeleteItem(AttTableTempValue* item) override { delete item; }
};

const AttLbcDescriptTable& descriptors() {
  static const AttLbcDescriptTable table;
  return table;
}

}  // namespace

const std::vector<Row>& structuralRows() {
  static const std::vector<Row> rows = {
      {AttCode::VertexForce, Where::Vertex, "plate/bottom&plate/front&plate/right", {0, 0, 50}, "000000", Axes::Global},
      {AttCode::FaceDistributedForce, Where::Face, "plate/front", {0, 0.2, 0}, "000000", Axes::Global},
      {AttCode::EdgeDistributedForce, Where::Edge, "plate/right|plate/top", {0, 0, -1.5}, "000000", Axes::Global},
      {AttCode::Pressure, Where::Face, "plate/top", {2, 0, 0}, "000000", Axes::Global},
      {AttCode::VertexRestraint, Where::Vertex, "plate/back&plate/bottom&plate/left", {}, "000111", Axes::Global},
      {AttCode::EdgeRestraint, Where::Edge, "plate/bottom|plate/left", {}, "100111", Axes::Global},
      {AttCode::FaceRestraint, Where::Face, "plate/left", {}, "010000", Axes::Rotated},
      {AttCode::VertexEnforcedDisplacement,
       Where::Vertex,
       "plate/back&plate/right&plate/top",
       {0, 0, 0.01},
       "110111",
       Axes::Global},
      {AttCode::EdgeEnforcedDisplacement, Where::Edge, "plate/back|plate/top", {0, 0, -0.01}, "110111", Axes::Global},
      {AttCode::FaceEnforcedDisplacement, Where::Face, "plate/right", {0.02, 0, 0}, "011111", Axes::Cylindric},
      {AttCode::Spin, Where::Model, "", {0, 0, 10}, "000000", Axes::Global},
      {AttCode::Gravity, Where::Model, "", {0, 0, -9.81}, "000000", Axes::Global},
      {AttCode::Acceleration, Where::Model, "", {1, 0, 0}, "000000", Axes::Global},
      {AttCode::FaceTotalForce, Where::Face, "plate/back", {0, -300, 0}, "000000", Axes::Global},
      {AttCode::EdgeTotalForce, Where::Edge, "plate/front|plate/top", {0, 0, -40}, "000000", Axes::Global},
      {AttCode::PinnedRestraint, Where::Face, "hole1/side", {}, "000000", Axes::Global},
      {AttCode::Moment, Where::Face, "plate/right", {0, 0, 500}, "000000", Axes::Global},
  };
  return rows;
}

const std::vector<Row>& thermalRows() {
  static const std::vector<Row> rows = {
      {AttCode::BodyTemperature, Where::Model, "", {320, 293, 0}, "000000", Axes::Global},
      {AttCode::VertexHeatFlow,
       Where::Vertex,
       "plate/bottom&plate/front&plate/right",
       {5, 0, 0},
       "000000",
       Axes::Global},
      {AttCode::FaceHeatFlux, Where::Face, "plate/top", {0.01, 0, 0}, "000000", Axes::Global},
      {AttCode::EdgeHeatFlow, Where::Edge, "plate/right|plate/top", {0.2, 0, 0}, "000000", Axes::Global},
      {AttCode::FaceConvection, Where::Face, "plate/bottom", {25, 290, 0}, "000000", Axes::Global},
      {AttCode::VolumetricHeatFlow, Where::Body, "", {0.001, 0, 0}, "000000", Axes::Global},
      {AttCode::VertexFixedTemperature,
       Where::Vertex,
       "plate/back&plate/bottom&plate/left",
       {300, 0, 0},
       "000000",
       Axes::Global},
      {AttCode::FaceFixedTemperature, Where::Face, "plate/left", {310, 0, 0}, "000000", Axes::Global},
      {AttCode::EdgeFixedTemperature, Where::Edge, "plate/back|plate/top", {305, 0, 0}, "000000", Axes::Global},
  };
  return rows;
}

DeckLines::DeckLines(const std::string& deck) {
  std::istringstream in(deck);
  std::string line, block;
  bool inStep = false;
  while (std::getline(in, line)) {
    if (line.rfind("**", 0) == 0) continue;
    if (line[0] == '*') {
      block = line.substr(0, line.find(','));
      if (block == "*STEP") inStep = true;
      if (block == "*END STEP") inStep = false;
      if (block == "*TRANSFORM" || block == "*INITIAL CONDITIONS") blocks[block].push_back(line);
      continue;
    }
    const bool conditionBlock = block == "*BOUNDARY" || block == "*CLOAD" || block == "*DLOAD" || block == "*CFLUX" ||
                                block == "*DFLUX" || block == "*FILM" || block == "*TEMPERATURE" ||
                                block == "*INITIAL CONDITIONS";
    if (!conditionBlock || (!inStep && block != "*INITIAL CONDITIONS")) continue;
    blocks[block].push_back(line);
    std::vector<double> v;
    std::istringstream fields(line);
    for (std::string f; std::getline(fields, f, ',');) v.push_back(std::atof(f.c_str()));
    if (block == "*CLOAD" && v.size() >= 3 && v[1] >= 1 && v[1] <= 3) force[static_cast<int>(v[1]) - 1] += v[2];
    if (block == "*CFLUX" && v.size() >= 3) heat += v[2];
    if (block == "*BOUNDARY" && v.size() >= 2) boundary.insert({static_cast<long>(v[0]), static_cast<int>(v[1])});
  }
  for (auto& [name, lines] : blocks) std::sort(lines.begin(), lines.end());
}

DeckFixture::DeckFixture() = default;
DeckFixture::~DeckFixture() = default;

void DeckFixture::SetUp() {
  TopoTest::SetUp();
  plate = loadPart("plate_with_hole");
}

void DeckFixture::TearDown() {
  conditions.clear();
  model.reset();
  TopoTest::TearDown();
}

void DeckFixture::makeModel(AnlType type) {
  model = std::make_unique<AnlModel>(CaeString("Plate"), type);
  AcTopoRef* body = bodyOf(plate);
  sub = model->NewSubModelForBody(body);
  auto* steel = new CaeMaterial(CaeString("Steel"));
  steel->AddProp(293.15, 7850, 2.1e11, 0.3, 2.5e8, 4e8, 50, 1.2e-5, 450);
  sub->AssignMaterial(steel);
  mesh = model->NewMesh(body);
  mesh->SetDefaultSize(20.0);
  mesh->SetElementOrder(1);
  sub->SetMesh(mesh);
}

AcTopoRef* DeckFixture::refOf(const Row& row) {
  switch (row.where) {
    case Where::Vertex: return TopoTest::refOf(plate, Ami::kVertexKey, row.name);
    case Where::Edge: return TopoTest::refOf(plate, Ami::kEdgeKey, row.name);
    case Where::Face: return TopoTest::refOf(plate, Ami::kFaceKey, row.name);
    case Where::Body: return bodyOf(plate);
    case Where::Model: return nullptr;
  }
  return nullptr;
}

std::unique_ptr<CaeCoordSys> DeckFixture::axesOf(const Row& row, AcTopoRef* ref) const {
  switch (row.axes) {
    case Axes::Global: return nullptr;
    case Axes::Rotated: {
      const double c = std::cos(std::numbers::pi / 6), s = std::sin(std::numbers::pi / 6);
      return std::make_unique<CaeCoordSysCartesian>(
          CaeTransform(CaeVector(c, s, 0), CaeVector(-s, c, 0), CaeVector(0, 0, 1), CaeVector(0, 0, 0)));
    }
    case Axes::Identity: return std::make_unique<CaeCoordSysCartesian>(CaeTransform());
    case Axes::Cylindric:
      return std::make_unique<CaeCoordSysCylindric>(CaeTransform(CaeVector(100, 50, 0), CaeVector(0, 0, 1)));
    case Axes::Face: {
      auto face = std::make_unique<CaeCoordSysFace>();
      face->SetTopoRef(ref);
      return face;
    }
  }
  return nullptr;
}

AttBaseLbc* DeckFixture::engineCondition(const Row& row, AttLbcCase& loads, AttLbcCase& restraints) {
  const AttLbcDescript* descriptor = descriptors().Find(ToAttType(row.code));
  AcTopoRef* ref = refOf(row);
  AttLbcComponents components;
  for (int i = 0; i < 6; ++i) components.flag[i] = row.flags[i] - '0';
  auto value = std::make_unique<CaeFuncLinear>();
  value->SetDefiningValuesVec(1, &row.value, nullptr, nullptr, nullptr);
  std::unique_ptr<AttBaseLbc> made;
  if (row.code == AttCode::BodyTemperature)
    made = std::make_unique<AttModelTemp>(descriptor, nullptr, row.value[0], row.value[1]);
  else if (row.code == AttCode::FaceConvection)
    made = std::make_unique<AttLbcConv>(descriptor, ref, row.value[0], row.value[1]);
  else if (row.code == AttCode::VolumetricHeatFlow)
    made = std::make_unique<AttLbcHgen>(descriptor, ref, row.value[0]);
  else if (descriptor->kind == AttKindModelLoad)
    made = std::make_unique<AttModelLbc>(descriptor, value.release(), axesOf(row, ref).release(), &components);
  else
    made = std::make_unique<AttLbc>(descriptor, ref, value.release(), axesOf(row, ref).release(), &components);
  (descriptor->kind == AttKindRestraint ? restraints : loads).AddLbc(made.get());
  conditions.push_back(std::move(made));
  return conditions.back().get();
}

std::string DeckFixture::writeDeck(AttLbcCase& loads, AttLbcCase& restraints) {
  AnlResltCase resultCase(CaeString("Case 1"));
  resultCase.AddLoadCase(&loads, 1.0);
  resultCase.AddBoundaryCase(&restraints, 1.0);
  AnlWriter writer(model.get());
  writer.AddResltCase(&resultCase);
  kestrum::test::TempDir dir;
  CaeString message;
  const auto path = dir / "deck.inp";
  int written = 0;
  asCommand([&] { written = writer.Write(CaeString(path.string()), message); });
  if (written != 1) {
    ADD_FAILURE() << message.Str();
    return {};
  }
  return kestrum::test::readFile(path);
}

void DeckFixture::asCommand(const std::function<void()>& body) {
  db()->beginUndoGroup("command");
  try {
    CadTransactionScope scope(*CadInterface::GetCurrent());
    scope.Start();
    body();
    scope.Commit();
  } catch (...) {
    db()->endUndoGroup();
    throw;
  }
  db()->endUndoGroup();
}

void DeckFixture::makeDrawingSets(const char* modelName, AnlType type, const char* loads, const char* restraints) {
  asCommand([&] {
    CadInterface& cad = *CadInterface::GetCurrent();
    cad.SelectOrCreateModel(modelName, type);
    cad.SelectOrCreateLoadCase(loads);
    cad.SelectOrCreateRestraintCase(restraints);
  });
}

AttLbcCase* DeckFixture::currentLoads() { return AnlControl::GetCurrent()->CurrentLoadCase(); }
AttLbcCase* DeckFixture::currentRestraints() { return AnlControl::GetCurrent()->CurrentRestraintCase(); }

void DeckFixture::drawingCondition(const Row& row) {
  CadInterface& cad = *CadInterface::GetCurrent();
  AcTopoRef* ref = refOf(row);
  AcBrEntity* entity = ref ? ref->GetBrEntity() : nullptr;
  int flags[6];
  for (int i = 0; i < 6; ++i) flags[i] = row.flags[i] - '0';
  double value[3] = {row.value[0], row.value[1], row.value[2]};
  const int type = ToAttType(row.code);
  const CaeString name(AttCodeName(type).data());
  int made = 0;
  asCommand([&] {
    NoRows rows;
    if (row.code == AttCode::BodyTemperature)
      made = cad.CreatePrescribedTemperature(name, 1, 1.0, value[0], value[1], 0) ? 1 : 0;
    else if (row.code == AttCode::FaceConvection)
      made = cad.CreateConvection(name, 3, 1.0, type, 1, value[0], value[1], rows, entity);
    else if (row.code == AttCode::VolumetricHeatFlow)
      made = cad.CreateHeatGeneration(name, 1, 1.0, type, 1, value[0], rows, entity);
    else
      made = cad.CreateLbc(name, 3, 1.0, type, flags, value, axesOf(row, ref).get(), entity);
  });
  EXPECT_EQ(made, 1) << name.Str();
}

void DeckFixture::saveAs(const std::string& name) {
  cadhost::clearPrintedText();
  command("SAVEAS \"" + (dir / name).string() + "\"");
  EXPECT_TRUE(std::filesystem::exists(dir / name)) << cadhost::printedText();
  EXPECT_EQ(cadhost::printedText().find("General Error"), std::string::npos) << cadhost::printedText();
}

void DeckFixture::reopen(const std::string& name) {
  command("CLOSE");
  command("OPEN \"" + (dir / name).string() + "\"");
  command("REGENALL");
}

}  // namespace lbctest
