// Writing solver decks: what Check refuses, units at the boundary, loads turned into nodal values
// that add up to what was asked, result cases and analysis steps.
#include <BRepPrimAPI_MakeBox.hxx>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "ShapeRefs.h"
#include "amg/CaeConfig.h"
#include "amg/CaeCoordSys.h"
#include "amg/CaeMaterial.h"
#include "amg/CaeUnit.h"
#include "fake_topo_ref.h"
#include "fea/AmgMesh.h"
#include "fea/AnlJob.h"
#include "fea/AnlModel.h"
#include "fea/AnlResltCase.h"
#include "fea/AnlWriter.h"
#include "fea/AttLbc.h"
#include "fea/AttLbcCase.h"
#include "fea/CaeElem.h"
#include "fea/CaeFunc.h"
#include "fea/FerResult.h"
#include "fea/FrdReader.h"
#include "fea_fixture.h"
#include "test_env.h"

namespace {

// A deck read back: node places, and the nodal values of each step's keyword blocks.
struct Deck {
  std::string text;
  std::map<long, CaeVector> nodes;
  // steps[i]["*CLOAD"] -> (node, dof) -> value
  std::vector<std::map<std::string, std::map<std::pair<long, int>, double>>> steps;

  explicit Deck(const std::string& deck) : text(deck) {
    std::istringstream in(deck);
    std::string line, block;
    while (std::getline(in, line)) {
      if (line.rfind("**", 0) == 0) continue;
      if (line[0] == '*') {
        block = line.substr(0, line.find(','));
        if (block == "*STEP") steps.emplace_back();
        continue;
      }
      std::vector<double> v;
      std::istringstream fields(line);
      for (std::string f; std::getline(fields, f, ',');) v.push_back(std::atof(f.c_str()));
      if (block == "*NODE") nodes[static_cast<long>(v[0])] = CaeVector(v[1], v[2], v[3]);
      if ((block == "*CLOAD" || block == "*CFLUX") && !steps.empty())
        steps.back()[block][{static_cast<long>(v[0]), static_cast<int>(v[1])}] = v[2];
      if (block == "*BOUNDARY" && !steps.empty())
        steps.back()[block][{static_cast<long>(v[0]), static_cast<int>(v[1])}] = v[3];
    }
  }
  CaeVector Force(int step) const {
    CaeVector sum;
    for (const auto& [key, value] : steps.at(step).count("*CLOAD") ? steps[step].at("*CLOAD") : Empty())
      if (key.second <= 3) sum[key.second - 1] += value;
    return sum;
  }
  CaeVector Moment(int step, const CaeVector& about) const {
    CaeVector sum;
    for (const auto& [key, value] : steps.at(step).count("*CLOAD") ? steps[step].at("*CLOAD") : Empty()) {
      CaeVector f;
      f[key.second - 1] = value;
      sum += (nodes.at(key.first) - about).Cross(f);
    }
    return sum;
  }
  static const std::map<std::pair<long, int>, double>& Empty() {
    static const std::map<std::pair<long, int>, double> none;
    return none;
  }
  bool Has(const std::string& fragment) const { return text.find(fragment) != std::string::npos; }
};

// value + gradient * (coordinate k - 0) of `system` (global without one); the condition given the
// function must own `system`.
CaeFunc* Varying(const CaeVector& value, int k, const CaeVector& gradient, const CaeCoordSys* system = nullptr) {
  int flags[3] = {0, 0, 0};
  flags[k] = 1;
  CaeVector gradients[3];
  gradients[k] = gradient;
  auto* f = new CaeFuncCoordLinear(new CaeFuncVariable(CaeString("Load"), CaeUtNone), system, flags);
  f->SetDefiningValuesVec(1, &value, nullptr, gradients, nullptr);
  return f;
}

// A 2 x 1 x 1 box (faces: 1 x=0, 2 x=2, 3 y=0, 4 y=1, 5 z=0, 6 z=1), coarse linear mesh, steel.
class DeckTest : public FeaTest {
 protected:
  explicit DeckTest(double scale = 1.0)
      : body(BRepPrimAPI_MakeBox(2.0 * scale, 1.0 * scale, 1.0 * scale).Shape()), model(CaeString("Beam"), AnlStress) {}

  void SetUp() override {
    FeaTest::SetUp();
    sub = model.NewSubModelForBody(body.BodyRef());
    sub->AssignMaterial(NewSteel());
    mesh = model.NewMesh(body.BodyRef());
    mesh->SetDefaultSize(0.5);
    mesh->SetElementOrder(2);
    sub->SetMesh(mesh);
    rc.AddLoadCase(&loads, 1.0);
    rc.AddBoundaryCase(&restraints, 1.0);
  }

  AttBaseLbc* Add(AttCode code, int face, const CaeVector& value, AttLbcCase& set) {
    return Add(code, face, ConstantFunc(value), nullptr, set);
  }
  AttBaseLbc* Add(AttCode code, int face, CaeFunc* function, CaeCoordSys* system, AttLbcCase& set) {
    return AddCondition(conditions, table, code, body.Ref(CaeTopoRef::kFace, face), function, set, system);
  }
  void Clamp() { Add(AttCode::FaceRestraint, 1, CaeVector(), restraints); }

  // Writes the deck of the case(s); fails the test when it cannot.
  Deck Write(std::vector<AnlResltCase*> cases = {}) {
    if (cases.empty()) cases.push_back(&rc);
    AnlWriter writer(&model);
    for (AnlResltCase* c : cases) writer.AddResltCase(c);
    CaeString message;
    const auto path = dir / "deck.inp";
    EXPECT_EQ(writer.Write(CaeString(path.string()), message), 1) << message.Str();
    lastMessage = message.Str();
    return Deck(kestrum::test::readFile(path));
  }

  // The reasons Check gives (empty when it passes).
  std::string Reasons() {
    AnlWriter writer(&model);
    writer.AddResltCase(&rc);
    CaeArray<CaeString> report;
    const int ok = writer.Check(report);
    std::string all;
    for (int i = 0; i < report.Count(); ++i) all += report[i].Str();
    EXPECT_EQ(ok != 0, all.empty());
    return all;
  }

  study::ShapeBody body;
  AnlModel model;
  AnlSubModel* sub = nullptr;
  AmgMesh* mesh = nullptr;
  AttLbcDescriptTable table;
  AttLbcCase loads{CaeString("Loads"), AttLbcCase::kLoadSet};
  AttLbcCase restraints{CaeString("Restraints"), AttLbcCase::kRestraintSet};
  AnlResltCase rc{CaeString("Case 1")};
  std::vector<std::unique_ptr<AttBaseLbc>> conditions;
  kestrum::test::TempDir dir;
  std::string lastMessage;
};

TEST_F(DeckTest, CheckSaysWhatTheSolverWouldRefuse) {
  EXPECT_NE(Reasons().find("restraints"), std::string::npos);
  EXPECT_NE(Reasons().find("loads"), std::string::npos);
  Clamp();
  Add(AttCode::FaceTotalForce, 2, CaeVector(0, 0, -100), loads);
  EXPECT_EQ(Reasons(), "");

  model.SetType(AnlVibration);
  loads.DeleteLbc(conditions.back().get());
  EXPECT_EQ(Reasons(), "") << "modes need no load";
  model.SetType(AnlStress);
  EXPECT_NE(Reasons().find("loads"), std::string::npos);

  FakeTopoRef elsewhere;
  conditions.push_back(std::make_unique<AttLbc>(table.Find(ToAttType(AttCode::VertexForce)), &elsewhere,
                                                ConstantFunc(CaeVector(1, 0, 0)), nullptr, nullptr));
  loads.AddLbc(conditions.back().get());
  EXPECT_NE(Reasons().find("lies on nothing of the mesh"), std::string::npos);
  loads.DeleteLbc(conditions.back().get());

  CaeMaterial* steel = sub->GetMaterial();
  sub->AssignMaterial(nullptr);
  EXPECT_NE(Reasons().find("material has not been specified"), std::string::npos);
  sub->AssignMaterial(new CaeMaterial(CaeString("Putty")));
  delete steel;
  sub->GetMaterial()->AddProp(293.15, 1000, 1e6, 0.7, 0, 0, 0, 0, 0);
  EXPECT_NE(Reasons().find("Putty"), std::string::npos) << "a Poisson's ratio of 0.7 is refused";

  sub->SetMesh(nullptr);
  EXPECT_NE(Reasons().find("does not contain a mesh"), std::string::npos);
}

TEST_F(DeckTest, AMaterialValueIsRefusedWithThePropertyItsValueAndTheRule) {
  Clamp();
  Add(AttCode::FaceTotalForce, 2, CaeVector(0, 0, -100), loads);
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  struct Row {
    AnlType type;
    double density, modulus, poisson, expansion;
    const char* said;  // empty: accepted
  };
  const Row rows[] = {
      {AnlStress, 7850, 2.1e11, 0.5, 1.2e-5, "The material Steel: Poisson's ratio 0.5 must be below 0.5."},
      {AnlStress, 7850, 2.1e11, 0.0, 1.2e-5, "Poisson's ratio 0 must be above 0"},
      {AnlStress, 7850, -1.0, 0.3, 1.2e-5, "Young's modulus -1 must be above 0"},
      {AnlStress, 7850, inf, 0.3, 1.2e-5, "Young's modulus inf must be a finite number"},
      {AnlStress, 7850, 2.1e11, 0.3, nan, "expansion coefficient nan must be a finite number"},
      {AnlStress, 0.0, 2.1e11, 0.3, 1.2e-5, ""},  // a static solve needs no mass
      {AnlVibration, 0.0, 2.1e11, 0.3, 1.2e-5, "density 0 must be above 0"},
  };
  for (const Row& r : rows) {
    model.SetType(r.type);
    auto* steel = new CaeMaterial(CaeString("Steel"));
    steel->AddProp(293.15, r.density, r.modulus, r.poisson, 2.5e8, 4e8, 50, r.expansion, 450);
    // The sub-model keeps the material it is given and leaves the one it had to its owner.
    std::unique_ptr<CaeMaterial> previous(sub->GetMaterial());
    sub->AssignMaterial(steel);
    const std::string reasons = Reasons();
    if (std::string(r.said).empty()) {
      EXPECT_EQ(reasons, "");
    } else {
      EXPECT_NE(reasons.find(r.said), std::string::npos) << reasons;
    }
    EXPECT_EQ(reasons.find("invalid value"), std::string::npos) << reasons;
  }
}

TEST_F(DeckTest, ValuesThatAreNotFiniteAreRefusedByName) {
  Clamp();
  AttBaseLbc* load = Add(AttCode::FaceTotalForce, 2, CaeVector(0, 0, -100), loads);
  load->Name(CaeString("Tip load"));
  EXPECT_EQ(Reasons(), "");
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  for (const CaeVector& bad : {CaeVector(0, 0, nan), CaeVector(inf, 0, 0)}) {
    loads.DeleteLbc(load);
    load = Add(AttCode::FaceTotalForce, 2, bad, loads);
    load->Name(CaeString("Tip load"));
    EXPECT_NE(Reasons().find("The condition Tip load cannot be applied: its value is not a finite number"),
              std::string::npos)
        << Reasons();
  }
  loads.DeleteLbc(load);
  conditions.push_back(std::make_unique<AttModelLbc>(table.Find(ToAttType(AttCode::Gravity)),
                                                     ConstantFunc(CaeVector(0, 0, -nan)), nullptr, nullptr));
  loads.AddLbc(conditions.back().get());
  EXPECT_NE(Reasons().find("of type Gravity cannot be applied: its value is not a finite number"), std::string::npos)
      << Reasons();
  loads.DeleteLbc(conditions.back().get());
  Add(AttCode::FaceTotalForce, 2, CaeVector(0, 0, -100), loads);
  EXPECT_EQ(Reasons(), "");

  mesh->SetDefaultSize(nan);
  mesh->Clear();
  EXPECT_NE(Reasons().find("has an element size that is not a finite number"), std::string::npos) << Reasons();
}

TEST_F(DeckTest, ALoadOnARestrainedFaceIsWarnedOfAndStillWritten) {
  Clamp();
  AttBaseLbc* misplaced = Add(AttCode::FaceTotalForce, 1, CaeVector(0, 0, -100), loads);
  misplaced->Name(CaeString("Misplaced load"));
  AttBaseLbc* tip = Add(AttCode::FaceTotalForce, 2, CaeVector(0, 0, -100), loads);
  tip->Name(CaeString("Tip load"));
  EXPECT_EQ(Reasons(), "") << "a warning, not a refusal";
  EXPECT_TRUE(Logged(1, "The load Misplaced load acts where the model is restrained"));
  EXPECT_FALSE(Logged(1, "The load Tip load acts"));
  const Deck deck = Write();
  EXPECT_TRUE(deck.Has("*CLOAD"));
}

TEST_F(DeckTest, AHeatModelCooledByConvectionNeedsNoFixedTemperature) {
  model.SetType(AnlHeatTransfer);
  EXPECT_NE(Reasons().find("restraints"), std::string::npos);
  conditions.push_back(std::make_unique<AttLbcConv>(table.Find(ToAttType(AttCode::FaceConvection)),
                                                    body.Ref(CaeTopoRef::kFace, 2), 25.0, 293.15));
  loads.AddLbc(conditions.back().get());
  Add(AttCode::FaceHeatFlux, 1, CaeVector(1000, 0, 0), loads);
  EXPECT_EQ(Reasons(), "");
  const Deck deck = Write();
  EXPECT_TRUE(deck.Has("*HEAT TRANSFER, STEADY STATE"));
  EXPECT_TRUE(deck.Has(",F")) << "film on element faces";
  EXPECT_TRUE(deck.Has(",S")) << "flux on element faces";
  EXPECT_TRUE(deck.Has("*CONDUCTIVITY\n50\n"));
  EXPECT_TRUE(deck.Has("*NODE FILE\nNT\n"));
  EXPECT_TRUE(deck.Has("*EL FILE\nHFL\n"));
}

// The temperature convergence reaches the deck where the heat step iterates: a conductivity given
// by temperature; a constant one gives a linear step, solved in one go.
TEST_F(DeckTest, TheTemperatureConvergenceIsWrittenWhereTheHeatStepIterates) {
  model.SetType(AnlHeatTransfer);
  Add(AttCode::FaceFixedTemperature, 1, CaeVector(373.15, 0, 0), restraints);
  Add(AttCode::FaceHeatFlux, 2, CaeVector(1000, 0, 0), loads);
  struct Row {
    const char* name;
    bool byTemperature;
    double percent;
    const char* controls;  // null: none written
  };
  const Row rows[] = {
      {"ConductivityByTemperature", true, 0.5, "*CONTROLS, PARAMETERS=FIELD\n0.005,0.005\n"},
      {"DefaultPercent", true, 0.1, "*CONTROLS, PARAMETERS=FIELD\n0.005,0.001\n"},
      {"ConstantConductivity", false, 0.5, nullptr},
      {"NoCriterionGiven", true, 0.0, nullptr},
      {"NotANumber", true, std::nan(""), nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CaeMaterial* material = NewSteel();
    if (row.byTemperature) material->AddProp(573.15, 7850, 1.9e11, 0.3, 2e8, 3.5e8, 40, 1.3e-5, 500);
    delete sub->GetMaterial();
    sub->AssignMaterial(material);
    AnlWriter writer(&model);
    writer.AddResltCase(&rc);
    writer.SetTempConv(row.percent);
    CaeString message;
    const auto path = dir / "heat.inp";
    ASSERT_EQ(writer.Write(CaeString(path.string()), message), 1) << message.Str();
    const std::string deck = kestrum::test::readFile(path);
    if (row.controls) {
      // Inside the heat step, after its increment line.
      const std::size_t step = deck.find("*HEAT TRANSFER, STEADY STATE\n1.,1.\n");
      ASSERT_NE(step, std::string::npos) << deck;
      EXPECT_EQ(deck.find(row.controls), step + std::string("*HEAT TRANSFER, STEADY STATE\n1.,1.\n").size()) << deck;
    } else {
      EXPECT_EQ(deck.find("*CONTROLS"), std::string::npos) << deck;
    }
  }
}

TEST_F(DeckTest, DistributedLoadsAddUpToWhatWasAsked) {
  Clamp();
  struct Row {
    AttCode code;
    int face;
    CaeVector value, total;
  };
  // Face 2 (x = 2) is 1 x 1; face 6 (z = 1) is 2 x 1.
  const Row rows[] = {
      {AttCode::FaceTotalForce, 2, {0, 0, -100}, {0, 0, -100}},   // total force
      {AttCode::FaceDistributedForce, 6, {0, 5, 0}, {0, 10, 0}},  // force per area
      {AttCode::Pressure, 2, {1000, 0, 0}, {-1000, 0, 0}},        // pressure pushes into the face
  };
  for (const Row& r : rows) {
    AttBaseLbc* load = Add(r.code, r.face, r.value, loads);
    const CaeVector total = Write().Force(0);
    EXPECT_TRUE(total.Equal(r.total, 1e-9))
        << "code " << r.code << ": " << total.X() << " " << total.Y() << " " << total.Z();
    loads.DeleteLbc(load);
  }
}

TEST_F(DeckTest, APressureInFaceAxesWritesTheDeckOfTheStudyForm) {
  Clamp();
  // Face 2 (x = 2, 1 x 1, outward +x): a positive pressure pushes into the material, along -x.
  for (double p : {1000.0, -1000.0}) {
    SCOPED_TRACE(p);
    AttBaseLbc* global = Add(AttCode::Pressure, 2, CaeVector(p, 0, 0), loads);
    const Deck studyForm = Write();
    loads.DeleteLbc(global);
    auto* axes = new CaeCoordSysFace();
    axes->SetTopoRef(body.Ref(CaeTopoRef::kFace, 2));
    AttBaseLbc* local = Add(AttCode::Pressure, 2, ConstantFunc(CaeVector(0, 0, p)), axes, loads);
    const Deck pageForm = Write();
    loads.DeleteLbc(local);
    EXPECT_EQ(pageForm.text, studyForm.text);
    EXPECT_TRUE(pageForm.Force(0).Equal(CaeVector(-p, 0, 0), 1e-9))
        << pageForm.Force(0).X() << " " << pageForm.Force(0).Y() << " " << pageForm.Force(0).Z();
  }
}

TEST_F(DeckTest, LoadsVaryingLinearlyGiveTheirResultantAndMoment) {
  Clamp();
  struct Row {
    const char* what;
    AttCode code;
    int face;
    CaeVector value;
    int coordinate;
    CaeVector gradient;
    bool raised;  // in a system whose origin is at (0, 0, 1)
    CaeVector force, about, moment;
  };
  // Face 2 (x = 2) is 1 x 1; face 6 (z = 1) is 2 x 1. Closed forms: integrals of the value and
  // of (r - about) x value over the face.
  const Row rows[] = {
      {"pressure 1000 + 600 z",
       AttCode::Pressure,
       2,
       {1000, 0, 0},
       2,
       {600, 0, 0},
       false,
       {-1300, 0, 0},
       {2, 0.5, 0.5},
       {0, -50, 0}},
      {"pressure 1300 + 600 (z - 1)",
       AttCode::Pressure,
       2,
       {1300, 0, 0},
       2,
       {600, 0, 0},
       true,
       {-1000, 0, 0},
       {2, 0.5, 0.5},
       {0, -50, 0}},
      {"force per area -10 - 3 x",
       AttCode::FaceDistributedForce,
       6,
       {0, 0, -10},
       0,
       {0, 0, -3},
       false,
       {0, 0, -26},
       {1, 0.5, 1},
       {0, 2, 0}},
      {"total force -100 - 40 y",
       AttCode::FaceTotalForce,
       2,
       {0, 0, -100},
       1,
       {0, 0, -40},
       false,
       {0, 0, -120},
       {2, 0.5, 0.5},
       {-10.0 / 3, 0, 0}},
  };
  for (const Row& r : rows) {
    CaeCoordSys* system = r.raised ? new CaeCoordSysCartesian(CaeTransform(CaeVector(0, 0, 1), CaeVector())) : nullptr;
    AttBaseLbc* load = Add(r.code, r.face, Varying(r.value, r.coordinate, r.gradient, system), system, loads);
    const Deck deck = Write();
    const CaeVector force = deck.Force(0), moment = deck.Moment(0, r.about);
    EXPECT_TRUE(force.Equal(r.force, 1e-9)) << r.what << ": " << force.X() << " " << force.Y() << " " << force.Z();
    EXPECT_TRUE(moment.Equal(r.moment, 1e-9)) << r.what << ": " << moment.X() << " " << moment.Y() << " " << moment.Z();
    loads.DeleteLbc(load);
  }
}

TEST_F(DeckTest, AVaryingHeatFluxIsTakenAtEachElementFacesCentre) {
  model.SetType(AnlHeatTransfer);
  Add(AttCode::VertexFixedTemperature, 1, CaeVector(293.15, 0, 0), restraints);
  Add(AttCode::FaceHeatFlux, 2, Varying({1000, 0, 0}, 2, {500, 0, 0}), nullptr, loads);
  const Deck deck = Write();
  // Element face -> (centre, area), from the mesh of face 2 (x = 2).
  int kind = 0, index = 0;
  ASSERT_TRUE(mesh->LocateRef(body.Ref(CaeTopoRef::kFace, 2), kind, index));
  std::vector<CaeElemRef> faces;
  mesh->ElemFacesOnFace(index, faces);
  std::map<std::string, std::pair<CaeVector, double>> shapes;
  for (const CaeElemRef& f : faces) {
    const CaeVector a = f.Node(0)->Coordinate(), b = f.Node(1)->Coordinate(), c = f.Node(2)->Coordinate();
    shapes[std::to_string(f.Element()->Id()) + ",S" + std::to_string(f.Face() + 1)] = {
        (a + b + c) * (1.0 / 3), (b - a).Cross(c - a).Length() / 2};
  }
  std::istringstream lines(deck.text.substr(deck.text.find("*DFLUX\n") + 7));
  double heat = 0;
  int count = 0;
  for (std::string line; std::getline(lines, line) && line[0] != '*'; ++count) {
    const std::size_t value = line.rfind(',');
    const auto shape = shapes.find(line.substr(0, value));
    ASSERT_NE(shape, shapes.end()) << line;
    const double q = std::atof(line.c_str() + value + 1);
    EXPECT_NEAR(q, 1000 + 500 * shape->second.first.Z(), 1e-9) << line;
    heat += q * shape->second.second;
  }
  EXPECT_EQ(count, static_cast<int>(faces.size()));
  EXPECT_NEAR(heat, 1250.0, 1e-9) << "the flux integrated over the 1 x 1 face";
}

TEST_F(DeckTest, ConditionsThatCannotVaryAreRefusedWhenTheyDo) {
  Clamp();
  AttBaseLbc* moment = Add(AttCode::Moment, 2, Varying({50, 0, 0}, 2, {10, 0, 0}), nullptr, loads);
  moment->SetName(CaeString("Twist"));
  conditions.push_back(std::make_unique<AttModelLbc>(table.Find(ToAttType(AttCode::Gravity)),
                                                     Varying({0, 0, -9.81}, 0, {0, 0, 1}), nullptr, nullptr));
  conditions.back()->SetName(CaeString("Gravity"));
  loads.AddLbc(conditions.back().get());
  const std::string reasons = Reasons();
  for (const char* name : {"Twist", "Gravity"})
    EXPECT_NE(reasons.find(std::string("The condition ") + name + " cannot be applied"), std::string::npos) << reasons;
  EXPECT_NE(reasons.find("cannot vary with position"), std::string::npos) << reasons;
}

TEST_F(DeckTest, TemperatureTablesOfHeatConditionsAreRefusedUnlessTheyHoldOneValue) {
  model.SetType(AnlHeatTransfer);
  Add(AttCode::VertexFixedTemperature, 1, CaeVector(293.15, 0, 0), restraints);
  auto* film =
      new AttLbcConv(table.Find(ToAttType(AttCode::FaceConvection)), body.Ref(CaeTopoRef::kFace, 2), 99.0, 300.0);
  film->SetName(CaeString("Air"));
  auto* heat = new AttLbcHgen(table.Find(ToAttType(AttCode::VolumetricHeatFlow)), body.BodyRef(), 99.0);
  heat->SetName(CaeString("Coil"));
  for (AttBaseLbc* c : {static_cast<AttBaseLbc*>(film), static_cast<AttBaseLbc*>(heat)}) {
    conditions.emplace_back(c);
    loads.AddLbc(c);
  }
  film->Constant(0);
  heat->Constant(0);
  film->AddFilmValue(300.0, 25.0);
  film->AddFilmValue(400.0, 25.0);
  heat->AddHGenValue(300.0, 5000.0);
  EXPECT_EQ(Reasons(), "") << "rows of one value are that value";
  const Deck deck = Write();
  EXPECT_TRUE(deck.Has(",300,25\n")) << "the table's film coefficient, not the constant one";
  EXPECT_TRUE(deck.Has("P1,BF,5000\n"));

  film->AddFilmValue(500.0, 40.0);
  heat->AddHGenValue(400.0, 6000.0);
  const std::string reasons = Reasons();
  EXPECT_NE(reasons.find("The condition Air cannot be applied: a film coefficient that depends on temperature"),
            std::string::npos)
      << reasons;
  EXPECT_NE(reasons.find("The condition Coil cannot be applied: a heat generation that depends on temperature"),
            std::string::npos)
      << reasons;
}

TEST_F(DeckTest, AHydrostaticPressureSolves) {
  CaeConfig::SetValue(CaeString("Solver Threads"), CaeString("1"), 0);
  Clamp();
  // Water-like pressure on the side y = 0, nought at the top (z = 1): g (1 - z). With g z added
  // it is a uniform g, and the solution is linear in the load.
  const double g = 1e6;
  struct Part {
    const char* name;
    CaeFunc* pressure;
  };
  const Part parts[] = {
      {"hydrostatic", Varying({g, 0, 0}, 2, {-g, 0, 0})},
      {"rising", Varying({0, 0, 0}, 2, {g, 0, 0})},
      {"uniform", ConstantFunc({g, 0, 0})},
  };
  std::vector<std::unique_ptr<FerResultSet>> results;
  for (const Part& part : parts) {
    AttBaseLbc* load = Add(AttCode::Pressure, 3, part.pressure, nullptr, loads);
    std::unique_ptr<AnlWriter> writer(model.DeckWriter(AnlCodeSolve));
    writer->AddResltCase(&rc);
    CaeString message;
    AnlJob* job = model.SubmitAnalysis(writer.get(), CaeString((dir / (std::string(part.name) + ".inp")).string()),
                                       nullptr, 0, message, AnlCodeSolve);
    ASSERT_NE(job, nullptr) << part.name << ": " << message.Str();
    ASSERT_EQ(job->Wait(), 1) << kestrum::test::readFile(job->ErrorFile().Str());
    results.push_back(std::make_unique<FerResultSet>(CaeString(part.name)));
    ASSERT_TRUE(Succeeded(FrdReader::Read(job->ResultsFile().Str(), AnlStress, job->UnitSystem(), *results.back())));
    ASSERT_NE(results.back()->FindResult(FerQtyDisplacement), nullptr) << part.name;
    loads.DeleteLbc(load);
  }
  const FerResult& hydrostatic = *results[0]->FindResult(FerQtyDisplacement);
  const FerResult& rising = *results[1]->FindResult(FerQtyDisplacement);
  const FerResult& uniform = *results[2]->FindResult(FerQtyDisplacement);
  double largest = 0;
  for (double v : uniform.NodeValues(0)) largest = std::max(largest, std::fabs(v));
  ASSERT_GT(largest, 0.0);
  ASSERT_FALSE(uniform.NodeIds(0).empty());
  for (long id : uniform.NodeIds(0))
    for (int k = 0; k < 3; ++k) {
      double a = 0, b = 0, sum = 0;
      ASSERT_TRUE(hydrostatic.NodeValue(0, id, k, a) && rising.NodeValue(0, id, k, b) &&
                  uniform.NodeValue(0, id, k, sum));
      EXPECT_NEAR(a + b, sum, 1e-4 * largest) << "node " << id << " component " << k;
    }

  // At the free end the heavier bottom of the side is pushed further than its top, which a
  // uniform pressure pushes alike.
  long bottom = 0, top = 0;
  CaeList<CaeNode> nodes;
  mesh->Nodes(nodes);
  for (CaeNode* n : nodes) {
    if (n->Coordinate().Equal(CaeVector(2, 0, 0), 1e-9)) bottom = n->Id();
    if (n->Coordinate().Equal(CaeVector(2, 0, 1), 1e-9)) top = n->Id();
  }
  double atBottom = 0, atTop = 0, uniformBottom = 0, uniformTop = 0;
  ASSERT_TRUE(hydrostatic.NodeValue(0, bottom, 1, atBottom) && hydrostatic.NodeValue(0, top, 1, atTop));
  ASSERT_TRUE(uniform.NodeValue(0, bottom, 1, uniformBottom) && uniform.NodeValue(0, top, 1, uniformTop));
  EXPECT_GT(atTop, 0.0) << "pushed into the body";
  EXPECT_GT(atBottom, 1.05 * atTop);
  EXPECT_NEAR(uniformBottom, uniformTop, 1e-3 * largest);
}

TEST_F(DeckTest, APressurePushesIntoTheMaterialInEitherForm) {
  CaeConfig::SetValue(CaeString("Solver Threads"), CaeString("1"), 0);
  Clamp();
  // The bar clamped at x = 0 and pressed on its end x = 2 shortens by about p L / E.
  const double p = 1e6, shortening = p * 2.0 / 2.1e11;
  auto* axes = new CaeCoordSysFace();
  axes->SetTopoRef(body.Ref(CaeTopoRef::kFace, 2));
  struct Form {
    const char* name;
    CaeFunc* value;
    CaeCoordSys* axes;
  };
  const Form forms[] = {{"face axes", ConstantFunc(CaeVector(0, 0, p)), axes},
                        {"global", ConstantFunc(CaeVector(p, 0, 0)), nullptr}};
  std::vector<std::unique_ptr<FerResultSet>> results;
  for (const Form& form : forms) {
    AttBaseLbc* load = Add(AttCode::Pressure, 2, form.value, form.axes, loads);
    results.push_back(std::make_unique<FerResultSet>(CaeString(form.name)));
    ASSERT_TRUE(SolveAndRead(model, rc, dir / (std::string(form.name) + ".inp"), *results.back()));
    loads.DeleteLbc(load);
  }
  const FerResult* faceAxes = results[0]->FindResult(FerQtyDisplacement);
  const FerResult* global = results[1]->FindResult(FerQtyDisplacement);
  ASSERT_TRUE(faceAxes && global);
  CaeList<CaeNode> nodes;
  mesh->Nodes(nodes);
  double sum = 0;
  int count = 0;
  for (CaeNode* n : nodes) {
    double a = 0, b = 0;
    for (int k = 0; k < 3; ++k) {
      ASSERT_TRUE(faceAxes->NodeValue(0, n->Id(), k, a) && global->NodeValue(0, n->Id(), k, b));
      EXPECT_NEAR(a, b, 1e-9 * shortening) << "node " << n->Id() << " component " << k;
    }
    if (std::fabs(n->Coordinate().X() - 2.0) < 1e-9) {
      faceAxes->NodeValue(0, n->Id(), 0, a);
      sum += a;
      ++count;
    }
  }
  ASSERT_GT(count, 0);
  // The clamp also holds the end's contraction, so the bar is a little stiffer than p L / E says.
  EXPECT_LT(sum / count, -0.85 * shortening) << "pushed in: the end moves towards the clamp";
  EXPECT_GT(sum / count, -1.0 * shortening);
}

TEST_F(DeckTest, AMomentOnAFaceIsAPureCouple) {
  Clamp();
  Add(AttCode::Moment, 2, CaeVector(50, 0, 0), loads);
  const Deck deck = Write();
  EXPECT_TRUE(deck.Force(0).Equal(CaeVector(), 1e-9));
  const CaeVector moment = deck.Moment(0, CaeVector(2.0, 0.5, 0.5));
  EXPECT_TRUE(moment.Equal(CaeVector(50, 0, 0), 1e-9)) << moment.X() << " " << moment.Y() << " " << moment.Z();
}

TEST_F(DeckTest, RestraintsFixOnlyTheirComponents) {
  AttLbcComponents slide;
  slide.flag[1] = slide.flag[2] = 1;  // free in y and z
  conditions.push_back(std::make_unique<AttLbc>(table.Find(ToAttType(AttCode::FaceRestraint)),
                                                body.Ref(CaeTopoRef::kFace, 1), ConstantFunc(CaeVector()), nullptr,
                                                &slide));
  restraints.AddLbc(conditions.back().get());
  Add(AttCode::FaceEnforcedDisplacement, 2, CaeVector(0.001, 0, 0), restraints);
  Add(AttCode::FaceTotalForce, 2, CaeVector(0, 0, -1), loads);
  const Deck deck = Write();
  std::map<int, int> dofs;
  for (const auto& [key, value] : deck.steps[0].at("*BOUNDARY")) {
    const CaeVector& at = deck.nodes.at(key.first);
    if (std::fabs(at.X()) < 1e-12) {
      EXPECT_EQ(key.second, 1);
      EXPECT_EQ(value, 0.0);
    } else {
      EXPECT_NEAR(at.X(), 2.0, 1e-12);
      EXPECT_EQ(value, key.second == 1 ? 0.001 : 0.0);
    }
    ++dofs[key.second];
  }
  EXPECT_GT(dofs[1], 0);
  EXPECT_GT(dofs[2], 0) << "the enforced displacement fixes y and z at x = 2";
}

TEST_F(DeckTest, RestraintsInTheirOwnAxesTransformTheirNodes) {
  // Local axes turned a quarter turn about z: local x is global y. Free along local y.
  AttLbcComponents slide;
  slide.flag[1] = 1;
  const CaeTransform quarter(CaeVector(0, 1, 0), CaeVector(-1, 0, 0), CaeVector(0, 0, 1), CaeVector(0, 0, 0));
  conditions.push_back(std::make_unique<AttLbc>(table.Find(ToAttType(AttCode::FaceRestraint)),
                                                body.Ref(CaeTopoRef::kFace, 1), ConstantFunc(CaeVector()),
                                                new CaeCoordSysCartesian(quarter), &slide));
  restraints.AddLbc(conditions.back().get());
  conditions.push_back(std::make_unique<AttLbc>(table.Find(ToAttType(AttCode::FaceEnforcedDisplacement)),
                                                body.Ref(CaeTopoRef::kFace, 2), ConstantFunc(CaeVector(0, 0, 0.001)),
                                                new CaeCoordSysCylindric(CaeTransform()), nullptr));
  restraints.AddLbc(conditions.back().get());
  Add(AttCode::FaceTotalForce, 2, CaeVector(0, 0, -1), loads);
  const Deck deck = Write();
  EXPECT_TRUE(deck.Has("*TRANSFORM, NSET=TR1, TYPE=R\n0,1,0,-1,0,0\n"));
  EXPECT_TRUE(deck.Has("*TRANSFORM, NSET=TR2, TYPE=C\n0,0,0,0,0,1\n"));
  for (const auto& [key, value] : deck.steps[0].at("*BOUNDARY")) {
    if (std::fabs(deck.nodes.at(key.first).X()) < 1e-12)
      EXPECT_NE(key.second, 2) << "local y stays free";
    else
      EXPECT_EQ(value, key.second == 3 ? 0.001 : 0.0) << "axial, in the cylinder's own axes";
  }
}

TEST_F(DeckTest, ResultCasesBecomeScaledSteps) {
  Clamp();
  Add(AttCode::FaceTotalForce, 2, CaeVector(0, 0, -100), loads);
  AnlResltCase doubled(CaeString("Case 2"));
  doubled.AddLoadCase(&loads, 2.0);
  doubled.AddBoundaryCase(&restraints, 1.0);
  const Deck deck = Write({&rc, &doubled});
  ASSERT_EQ(deck.steps.size(), 2u);
  EXPECT_NEAR(deck.Force(0).Z(), -100, 1e-9);
  EXPECT_NEAR(deck.Force(1).Z(), -200, 1e-9);
  EXPECT_TRUE(deck.Has("*CLOAD, OP=NEW")) << "the second step replaces the first one's loads";
}

TEST_F(DeckTest, EachAnalysisTypeWritesItsStep) {
  Clamp();
  Add(AttCode::FaceTotalForce, 2, CaeVector(0, 0, -100), loads);
  struct Row {
    AnlType type;
    const char* step;
    const char* output;
  };
  const Row rows[] = {
      {AnlStress, "*STATIC\n", "*NODE FILE\nU,RF\n*EL FILE\nS,ENER,ERR\n"},
      {AnlVibration, "*FREQUENCY\n5\n", "*NODE FILE\nU\n"},
      {AnlBuckling, "*BUCKLE\n1\n", "*NODE FILE\nU\n"},
  };
  for (const Row& r : rows) {
    model.SetType(r.type);
    const Deck deck = Write();
    EXPECT_TRUE(deck.Has(r.step)) << r.step;
    EXPECT_TRUE(deck.Has(r.output)) << r.step;
    EXPECT_TRUE(deck.Has("*ELEMENT, TYPE=C3D10, ELSET=P1"));
    EXPECT_TRUE(deck.Has("*ELASTIC\n2.1e+11,0.3\n"));
    EXPECT_EQ(deck.Has("*CLOAD"), r.type != AnlVibration) << r.step;
    EXPECT_EQ(lastMessage.find("were ignored") != std::string::npos, r.type == AnlVibration)
        << "loads left out of a modal deck are reported";
  }
}

TEST_F(DeckTest, TemperaturesStressTheModelFromItsReference) {
  Clamp();
  conditions.push_back(
      std::make_unique<AttModelTemp>(table.Find(ToAttType(AttCode::BodyTemperature)), nullptr, 373.15, 293.15));
  loads.AddLbc(conditions.back().get());
  const Deck deck = Write();
  EXPECT_TRUE(deck.Has("*EXPANSION, ZERO=293.15\n1.2e-05\n"));
  EXPECT_TRUE(deck.Has("*INITIAL CONDITIONS, TYPE=TEMPERATURE\nNALL,293.15\n"));
  EXPECT_TRUE(deck.Has("*TEMPERATURE\nNALL,373.15\n"));
}

TEST_F(DeckTest, ADeferredMeshIsMadeWhenTheDeckNeedsIt) {
  Clamp();
  Add(AttCode::FaceTotalForce, 2, CaeVector(0, 0, -100), loads);
  mesh->SetDeferred(1);
  EXPECT_EQ(mesh->NumNodes(), 0);
  const Deck deck = Write();
  EXPECT_GT(mesh->NumNodes(), 0);
  EXPECT_EQ(static_cast<int>(deck.nodes.size()), mesh->NumNodes());
}

// Modes: the method decides what the solver is asked for; a buckling deck takes no range.
TEST_F(DeckTest, TheModeMethodDecidesTheExtractionLine) {
  Clamp();
  Add(AttCode::FaceTotalForce, 2, CaeVector(-100, 0, 0), loads);
  struct Row {
    AnlType type;
    int method, count;
    double low, high;
    const char* line;     // the step line and its data line; null: refused
    const char* refusal;  // part of the reason when refused
  };
  const Row rows[] = {
      {AnlVibration, AnlWriter::kModesLowest, 4, 10, 100, "*FREQUENCY\n4\n", nullptr},
      {AnlVibration, AnlWriter::kModesLowestInRange, 4, 10, 100, "*FREQUENCY\n4,10,100\n", nullptr},
      {AnlVibration, AnlWriter::kModesAllInRange, 4, 10, 100, "*FREQUENCY\n100,10,100\n", nullptr},
      {AnlVibration, AnlWriter::kModesAbove, 4, 10, 100, "*FREQUENCY\n4,10\n", nullptr},
      {AnlVibration, AnlWriter::kModesLowestInRange, 4, 100, 100, nullptr, "upper bound"},
      {AnlVibration, AnlWriter::kModesAllInRange, 4, 100, 10, nullptr, "upper bound"},
      {AnlVibration, AnlWriter::kModesAbove, 4, -5, 0, nullptr, "below zero"},
      {AnlVibration, 7, 4, 0, 0, nullptr, "method 7"},
      {AnlBuckling, AnlWriter::kModesLowest, 3, 1, 9, "*BUCKLE\n3\n", nullptr},
      {AnlBuckling, AnlWriter::kModesLowestInRange, 3, 1, 9, nullptr, "from the lowest on"},
      {AnlBuckling, AnlWriter::kModesAllInRange, 3, 1, 9, nullptr, "from the lowest on"},
      {AnlBuckling, AnlWriter::kModesAbove, 3, 1, 9, nullptr, "from the lowest on"},
      {AnlStress, AnlWriter::kModesAllInRange, 3, 9, 1, "*STATIC\n", nullptr},
  };
  for (const Row& r : rows) {
    model.SetType(r.type);
    AnlWriter writer(&model);
    writer.AddResltCase(&rc);
    writer.SetModeMethod(r.method);
    writer.SetNumModes(r.count);
    writer.SetLowMode(r.low);
    writer.SetHighMode(r.high);
    CaeString message;
    const auto path = dir / "modes.inp";
    std::filesystem::remove(path);
    const int written = writer.Write(CaeString(path.string()), message);
    EXPECT_EQ(written, r.line ? 1 : 0) << r.type << "/" << r.method << ": " << message.Str();
    if (r.line) {
      EXPECT_NE(kestrum::test::readFile(path).find(r.line), std::string::npos) << r.line;
    } else {
      EXPECT_NE(std::string(message.Str()).find(r.refusal), std::string::npos) << message.Str();
      EXPECT_FALSE(std::filesystem::exists(path)) << "a refused deck is not written";
    }
  }
}

// Submission: a job named in the model with its own folder under the scratch directory, a deck
// written exactly where asked without a solver, and a solver that cannot start is no submission.
class SubmitTest : public DeckTest {
 protected:
  void SetUp() override {
    DeckTest::SetUp();
    Clamp();
    Add(AttCode::FaceTotalForce, 2, CaeVector(0, 0, -100), loads);
    CaeConfig::SetValue(CaeString("Scratch Directory"), CaeString((dir / "scratch").string()), 0);
    std::filesystem::create_directories(dir / "scratch");
    writer.reset(model.DeckWriter(AnlCodeSolve));
    writer->AddResltCase(&rc);
  }
  void TearDown() override {
    CaeConfig::SetValue(CaeString("Solver Program"), CaeString("ccx"), 0);
    CaeConfig::SetValue(CaeString("Scratch Directory"), CaeString(""), 0);
    writer.reset();
    DeckTest::TearDown();
  }
  void Solver(const std::string& body) {
    const std::filesystem::path script = dir / "solver.sh";
    std::ofstream(script) << "#!/bin/sh\n" << body << "\n";
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    CaeConfig::SetValue(CaeString("Solver Program"), CaeString(script.string()), 0);
  }
  int LiveJobs() {
    int live = 0;
    for (int i = 0; i < model.NumJobs(); ++i) live += !model.GetJob(i)->IsMarkedAsErased();
    return live;
  }
  std::unique_ptr<AnlWriter> writer;
  CaeString message;
};

TEST_F(SubmitTest, AJobWithoutADeckNameIsNamedInTheModelInAFreshScratchFolder) {
  Solver("printf '    1C\\n 9999\\n' > $2.frd");
  AnlJob* first = model.SubmitAnalysis(writer.get(), CaeString(), nullptr, 0, message, AnlCodeSolve);
  AnlJob* second = model.SubmitAnalysis(writer.get(), CaeString(), nullptr, 0, message, AnlCodeSolve);
  ASSERT_TRUE(first && second) << message.Str();
  EXPECT_EQ(first->Name(), "BeamJob1");
  EXPECT_EQ(second->Name(), "BeamJob2");
  const std::filesystem::path a(first->AnlDir().Str()), b(second->AnlDir().Str());
  EXPECT_NE(a, b) << "each job has a folder of its own";
  EXPECT_EQ(a.parent_path(), dir / "scratch");
  EXPECT_EQ(b.parent_path(), dir / "scratch");
  EXPECT_TRUE(std::filesystem::exists(first->DeckName().Str()));
  first->Wait();
  second->Wait();
  model.DeleteJob(first);
  AnlJob* third = model.SubmitAnalysis(writer.get(), CaeString(), nullptr, 0, message, AnlCodeSolve);
  ASSERT_TRUE(third);
  EXPECT_EQ(third->Name(), "BeamJob3") << "an erased job's name is not given again";
  third->Wait();
}

TEST_F(SubmitTest, ADeckOnlyIsWrittenExactlyWhereAskedAndNothingRuns) {
  Solver("touch ran; printf '    1C\\n 9999\\n' > $2.frd");
  const std::filesystem::path deck = dir / "out" / "x.dat";
  std::filesystem::create_directories(deck.parent_path());
  AnlJob* job = model.SubmitAnalysis(writer.get(), CaeString(deck.string()), nullptr, 1, message, AnlCodeSolve);
  ASSERT_TRUE(job) << message.Str();
  EXPECT_TRUE(std::filesystem::exists(deck));
  EXPECT_NE(kestrum::test::readFile(deck).find("*STATIC"), std::string::npos);
  EXPECT_EQ(job->DeckName(), CaeString(deck.string()));
  EXPECT_EQ(job->GetStatus(), AnlStatusNew);
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(deck.parent_path()))
    files.push_back(entry.path().filename().string());
  EXPECT_EQ(files, std::vector<std::string>{"x.dat"}) << "no \"x.dat.inp\", no solver files";
  EXPECT_FALSE(std::filesystem::exists(deck.parent_path() / "ran"));
  EXPECT_EQ(model.SubmitAnalysis(writer.get(), CaeString(), nullptr, 1, message, AnlCodeSolve), nullptr)
      << "a deck alone needs a file name";
}

TEST_F(SubmitTest, ASolverThatCannotStartLeavesNoJobAndSaysWhy) {
  CaeConfig::SetValue(CaeString("Solver Program"), CaeString((dir / "no-such-solver").string()), 0);
  EXPECT_EQ(model.SubmitAnalysis(writer.get(), CaeString(), nullptr, 0, message, AnlCodeSolve), nullptr);
  EXPECT_NE(std::string(message.Str()).find("could not be run"), std::string::npos) << message.Str();
  EXPECT_EQ(LiveJobs(), 0);

  Solver("echo '*ERROR in calinput'; exit 201");  // starts, then fails: a failed job, with its reason
  AnlJob* job = model.SubmitAnalysis(writer.get(), CaeString(), nullptr, 0, message, AnlCodeSolve);
  ASSERT_TRUE(job);
  EXPECT_EQ(job->Wait(), 0);
  EXPECT_EQ(job->Failed(), 1);
  EXPECT_NE(std::string(job->FailureReason().Str()).find("exit code 201"), std::string::npos);
}

TEST_F(SubmitTest, AdaptiveAnalysisRefusesMeshesWithoutAnErrorEstimateAndReportsAFailedSolve) {
  mesh->SetElementOrder(1);
  EXPECT_EQ(model.SubmitHAdaptiveAnalysis(writer.get(), message, AnlCodeSolve), 0);
  EXPECT_NE(std::string(message.Str()).find("quadratic solid elements"), std::string::npos);
  EXPECT_EQ(LiveJobs(), 0);

  mesh->SetElementOrder(2);
  Solver("echo '*ERROR: out of memory'; exit 3");
  EXPECT_EQ(model.SubmitHAdaptiveAnalysis(writer.get(), message, AnlCodeSolve), 0);
  EXPECT_NE(std::string(message.Str()).find("exit code 3"), std::string::npos) << message.Str();
}

// The real solver: each pass refines where the error estimate is high, one job stays.
TEST_F(SubmitTest, AdaptiveAnalysisKeepsOnlyTheLastPassesJob) {
  model.SetAdaptTargetError(1.0);
  model.SetAdaptIterations(2);
  CaeConfig::SetValue(CaeString("Solver Threads"), CaeString("1"), 0);
  ASSERT_EQ(model.SubmitHAdaptiveAnalysis(writer.get(), message, AnlCodeSolve), 1) << message.Str();
  EXPECT_EQ(model.AdaptPasses(), 2);
  // The run tells how it ended: three analyses, two refinements, the error left against the target.
  const std::string outcome = message.Str();
  EXPECT_NE(outcome.find("Adaptive analysis: 3 analyses, the mesh refined 2 times."), std::string::npos) << outcome;
  EXPECT_NE(outcome.find("(target 1 %)"), std::string::npos) << outcome;
  ASSERT_EQ(model.NumJobs(), 3);
  EXPECT_EQ(LiveJobs(), 1);
  AnlJob* last = model.GetJob(2);
  EXPECT_FALSE(last->IsMarkedAsErased());
  EXPECT_EQ(last->HaveResults(), 1);
  EXPECT_TRUE(std::filesystem::exists(last->ResultsFile().Str()));
  for (int i = 0; i < 2; ++i)
    EXPECT_FALSE(std::filesystem::exists(model.GetJob(i)->ResultsFile().Str())) << "pass " << i + 1 << "'s files go";
}

// The same box drawn in millimetres: the deck is in metres and newtons all the same.
class MillimetreDeckTest : public DeckTest {
 protected:
  MillimetreDeckTest() : DeckTest(1000.0) {}
  void SetUp() override {
    DeckTest::SetUp();
    millimetres.SetUnit(CaeUtLength, CaeMillimeter);
    CaeUnitSystem::SetNativeSystem(&millimetres);
    mesh->SetDefaultSize(500.0);
    CaeMaterial* steel = sub->GetMaterial();
    sub->AssignMaterial(nullptr);
    delete steel;
    auto* native = new CaeMaterial(CaeString("Steel"));
    native->AddProp(293.15, 7.85e-6, 2.1e5, 0.3, 250, 400, 0.05, 1.2e-5, 450);
    sub->AssignMaterial(native);
  }
  void TearDown() override {
    CaeUnitSystem::SetNativeSystem(nullptr);
    DeckTest::TearDown();
  }
  CaeUnitSystem millimetres;
};

TEST_F(MillimetreDeckTest, NativeUnitsAreConvertedAtTheBoundary) {
  Clamp();
  Add(AttCode::FaceDistributedForce, 6, CaeVector(0, 5e-6, 0), loads);  // 5 N/m2 in N/mm2
  const Deck deck = Write();
  double largest = 0;
  for (const auto& [id, at] : deck.nodes) largest = std::max(largest, at.X());
  EXPECT_NEAR(largest, 2.0, 1e-12) << "coordinates in metres";
  const std::size_t elastic = deck.text.find("*ELASTIC\n");
  ASSERT_NE(elastic, std::string::npos);
  EXPECT_NEAR(std::atof(deck.text.c_str() + elastic + 9), 2.1e11, 1e-3) << "N/mm2 written as Pa";
  EXPECT_NEAR(deck.Force(0).Y(), 10.0, 1e-9) << "5 N/m2 over 2 m2";
}

}  // namespace
