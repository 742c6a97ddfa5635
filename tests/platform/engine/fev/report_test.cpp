// The summary report over a displayed result set in a results window: the model's material rows,
// its conditions with their values and faces, the meshes, each ticked quantity's component
// minima and maxima with node and place, a contour picture per quantity beside the report; an
// HTML checker (tidy) accepts the HTML, and the text form holds the same values.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "amg/CaeEngine.h"
#include "amg/CaeMaterial.h"
#include "amg/CaeMsgCall.h"
#include "amg/CaeUnit.h"
#include "cube_fixture.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/AttCodes.h"
#include "fea/AttLbc.h"
#include "fea/AttLbcCase.h"
#include "fea/AttLbcDescript.h"
#include "fea/CaeFunc.h"
#include "fea/FerReport.h"
#include "fea/FerState.h"
#include "fev/FerWndOGLDisp.h"
#include "test_env.h"
#include "topo_ref_stub.h"

namespace {

using kestrum::test::TempDir;

const AttLbcDescript* Descriptor(AttCode code) {
  static const AttLbcDescriptTable table;
  return table.Find(ToAttType(code));
}

CaeFunc* Constant(const CaeVector& value) {
  static const int kConstant[3] = {0, 0, 0};
  auto* f = new CaeFuncCoordLinear(new CaeFuncVariable(CaeString("Force"), CaeUtForce), nullptr, kConstant);
  f->SetDefiningValuesVec(1, &value, nullptr, nullptr, nullptr);
  return f;
}

class FaceRef : public kestrum::test::TopoRefStub {
 public:
  explicit FaceRef(long id) { Id(id); }
};

// A bar 2 m long along x: von Mises 50 + 100 x Pa, displacement along z 1e-3 x m.
std::unique_ptr<FerResultSet> BarResults() {
  auto set = std::make_unique<FerResultSet>(CaeString("BarStress"));
  set->SetAnlTypName(CaeString("Static"));
  auto mesh = std::make_shared<FerMesh>();
  std::vector<long> ids;
  std::vector<double> stress, displacement;
  for (int i = 0; i < 12; ++i) {
    const double xyz[3] = {static_cast<double>(i % 3), (i / 3 == 1 || i / 3 == 2) ? 1.0 : 0.0, i / 3 >= 2 ? 1.0 : 0.0};
    ids.push_back(i + 1);
    mesh->nodeIds.push_back(i + 1);
    mesh->coordinates.insert(mesh->coordinates.end(), xyz, xyz + 3);
    std::vector<double> s(10, 0.0);
    s[0] = 50 + 100 * xyz[0];
    stress.insert(stress.end(), s.begin(), s.end());
    displacement.insert(displacement.end(), {0, 0, 1e-3 * xyz[0], 1e-3 * xyz[0]});
  }
  auto node = [](int column, int corner) { return 3L * corner + column + 1; };
  for (int e = 0; e < 2; ++e) {
    mesh->elementIds.push_back(e + 1);
    mesh->elementTypes.push_back(FerMesh::kHex8);
    mesh->elementStarts.push_back(mesh->elementNodes.size());
    const long corners[8] = {node(e, 0), node(e + 1, 0), node(e + 1, 1), node(e, 1),
                             node(e, 3), node(e + 1, 3), node(e + 1, 2), node(e, 2)};
    mesh->elementNodes.insert(mesh->elementNodes.end(), corners, corners + 8);
  }
  mesh->elementStarts.push_back(mesh->elementNodes.size());
  fevtest::AddStressAndDisplacement(*set, mesh, ids, stress, displacement);
  return set;
}

std::string Outcome(const std::string& command) {
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return "could not run " + command;
  std::string output;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
  const int status = pclose(pipe);
  if (status != 0) output += "exit status " + std::to_string(status);
  return output;
}

class ReportPictureTest : public testing::Test {
 protected:
  void SetUp() override {
    CaeEngine::ResetState();
    unitNames_ = std::make_unique<CaeUnitStrTable>();
    const struct {
      int id;
      const char* name;
    } units[] = {{CaeMeter, "m"}, {CaeNewton, "N"},       {CaeKelvin, "K"},     {CaeKilogram, "kg"},
                 {CaeInch, "in"}, {CaePoundForce, "lbf"}, {CaeFahrenheit, "F"}, {CaePoundMass, "lb"}};
    for (const auto& unit : units) unitNames_->AddUnit(unit.id, CaeString(unit.name), CaeString(unit.name));
    control_.SetCurrent();
    FerState::SetState(&state_);
    state_.SetInterface(&interface_);
    FerDisplay::SetCurrent(&window_);
    model_ = control_.NewAnlModel(CaeString("Bar"), AnlStress);
    control_.SetCurrentAnlModel(model_);
    AnlSubModel* body = model_->NewSubModel();
    body->SetName(CaeString("Body"));
    auto* steel = new CaeMaterial(CaeString("Steel"));
    steel->AddProp(293.0, 7850, 210e9, 0.3, 250e6, 400e6, 45, 1.2e-5, 460);
    steel->AddProp(393.0, 7830, 205e9, 0.3, 240e6, 390e6, 44, 1.25e-5, 470);
    body->AssignMaterial(steel);
    AttLbcCase* loads = control_.NewLoadCase(CaeString("Loads"));
    pull_ = std::make_unique<AttLbc>(Descriptor(AttCode::FaceDistributedForce), &right_, Constant({1000, 0, 0}),
                                     nullptr, nullptr);
    pull_->SetName(CaeString("Pull"));
    loads->AddLbc(pull_.get());
    AttLbcCase* fixed = control_.NewRestraintCase(CaeString("Fixed"));
    clamp_ = std::make_unique<AttLbc>(Descriptor(AttCode::FaceRestraint), &left_, nullptr, nullptr, nullptr);
    clamp_->SetName(CaeString("Clamp"));
    fixed->AddLbc(clamp_.get());
    state_.KeepResultSet(BarResults());
    FerDispSettings settings;
    settings.SetResultSet(CaeString("BarStress"));
    window_.SetSettings(settings);
    state_.DefaultDisplay(1);
  }
  void TearDown() override {
    FerDisplay::UnSetCurrent(&window_);
    FerState::SetState(nullptr);
    CaeEngine::ResetState();
  }

  std::unique_ptr<CaeUnitStrTable> unitNames_;  // current while it lives
  AnlControl control_{CaeString("bar")};
  CaeFerInterface interface_;
  FerState state_;
  FerWndOGLDisp window_;
  AnlModel* model_ = nullptr;
  FaceRef left_{3}, right_{7};
  std::unique_ptr<AttLbc> pull_, clamp_;
  TempDir dir_;
};

TEST_F(ReportPictureTest, TheReportHoldsTheModelTheExtremesAndAPicturePerQuantity) {
  const auto html = dir_ / "bar.htm";
  const auto text = dir_ / "bar.txt";
  for (const auto& [file, format] : {std::pair{html, FerReport::kHtml}, std::pair{text, FerReport::kText}}) {
    CaeFerReport report(CaeString("Bar & pull"), CaeString("Ann"), CaeString(), CaeString(), CaeString());
    report.ShowDetails(FerQtyStress);
    report.ShowDetails(FerQtyDisplacement);
    ASSERT_EQ(report.Generate(CaeString(file.string()), format), 1);
  }
  const std::string h = kestrum::test::readFile(html), t = kestrum::test::readFile(text);
  // The same values in both forms: the material rows, the conditions and their faces, the
  // meshes, and the extremes (von Mises 50 Pa at x = 0, 250 Pa at x = 2; uz 2e-3 m at x = 2).
  for (const char* part :
       {"Analysis: Static", "Body: Steel", "At 293 K:", "At 393 K:", "Young's modulus 2.1e+11",
        "Young's modulus 2.05e+11", "Poisson's ratio 0.3", "density 7850",
        "Pull: Face Distributed Force (1000, 0, 0) N/m^2 on face 7",
        "Clamp: Face Restraint fixed X Y Z RX RY RZ on face 3", "Results mesh: 12 nodes, 2 elements", "minimum 50 ",
        "maximum 250 ", "at node 1 (0, 0, 0 m)", "at node 3 (2, 0, 0 m)", "maximum 0.002 m"}) {
    EXPECT_NE(h.find(part), std::string::npos) << "HTML: " << part;
    EXPECT_NE(t.find(part), std::string::npos) << "text: " << part;
  }
  // A picture per quantity beside the report, linked by its bare name with a text for it.
  for (const char* picture : {"bar-Stress.png", "bar-Displacement.png"}) {
    EXPECT_NE(h.find(std::string("<img src=\"") + picture + "\" alt=\""), std::string::npos) << picture;
    EXPECT_NE(t.find(std::string("Picture: ") + picture), std::string::npos) << picture;
    EXPECT_EQ(kestrum::test::readFile(dir_ / picture).substr(1, 3), "PNG") << picture;
    std::filesystem::copy_file(dir_ / picture, kestrum::test::programDir() / picture,
                               std::filesystem::copy_options::overwrite_existing);
  }
  EXPECT_EQ(Outcome("tidy -errors -quiet '" + html.string() + "'"), "");
}

// In English units the values are the same quantities: 1000 N/m^2 is 0.145038 psi, 2 m is
// 78.7402 in, 250 Pa is 0.0362594 psi.
TEST_F(ReportPictureTest, ValuesAreInTheHostsUnits) {
  CaeUnitSystem english(CaeInch, CaeDegree, CaeFahrenheit, CaePoundForce, CaePoundMass, CaeSecond, CaeBtu, CaeHertz);
  CaeUnitSystem::SetHostSystem(&english);
  CaeFerReport report(CaeString("Bar"), CaeString(), CaeString(), CaeString(), CaeString());
  report.ShowDetails(FerQtyStress);
  report.ShowDetails(FerQtyDisplacement);
  const auto file = dir_ / "english.txt";
  ASSERT_EQ(report.Generate(CaeString(file.string()), FerReport::kText), 1);
  CaeUnitSystem::SetHostSystem(nullptr);
  const std::string t = kestrum::test::readFile(file);
  for (const char* part : {"(0.145038, 0, 0) lbf/in^2", "maximum 0.0787402 in", "at node 3 (78.7402, 0, 0 in)",
                           "maximum 0.0362594 lbf/in^2"})
    EXPECT_NE(t.find(part), std::string::npos) << part << "\n" << t;
}

}  // namespace
