// The sample assembly solved as one: the bracket's base tied to the plate's top by a mating
// relation made in the drawing, the plate clamped at both ends, a downward force on the upright.
// Equilibrium: the clamps' reactions carry the whole load. Continuity: each tied node of the
// bracket moves with the plate beneath it. Plausibility: no plate node sinks further than the
// clamped beam under the whole load at midspan would (P L^3 / 192 E I). Without the relation the
// deck is refused because the bracket hangs free.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "CadInterface/AcCadInterface.h"
#include "amg/CaeMaterial.h"
#include "arx/dbdatabase.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadTransactionScope.h"
#include "db/dbMateRelPair.h"
#include "db/dbModel.h"
#include "fea/AmgMesh.h"
#include "fea/AnlControl.h"
#include "fea/AnlJob.h"
#include "fea/AnlModel.h"
#include "fea/AnlResltCase.h"
#include "fea/AnlWriter.h"
#include "fea/AttLbc.h"
#include "fea/AttLbcCase.h"
#include "fea/AttLbcDescript.h"
#include "fea/CaeFunc.h"
#include "fea/FrdReader.h"
#include "lbc_deck_fixture.h"
#include "mcad/amipart.h"
#include "test_env.h"
#include "topo/acTopoRef.h"

namespace {

using topotest::TopoTest;

void asCommand(const std::function<void()>& body) {
  TopoTest::db()->beginUndoGroup("command");
  {
    CadTransactionScope scope(*CadInterface::GetCurrent());
    scope.Start();
    body();
    scope.Commit();
  }
  TopoTest::db()->endUndoGroup();
}

class MateSolveTest : public TopoTest {
 protected:
  void SetUp() override {
    TopoTest::SetUp();
    command("PART plate_and_bracket.asm");
    const std::vector<AcDbObjectId> parts = mcadPartIds(db());
    ASSERT_EQ(parts.size(), 2u);
    base = parts[0];
    arm = parts[1];
    for (AcDbObjectId part : {base, arm}) {
      AcTopoRef* body = bodyOf(part);
      AnlSubModel* sub = model.NewSubModelForBody(body);
      auto* steel = new CaeMaterial(CaeString("Steel"));
      steel->AddProp(293.15, 7850, 2.1e11, 0.3, 2.5e8, 4e8, 50, 1.2e-5, 450);
      sub->AssignMaterial(steel);
      AmgMesh* mesh = model.NewMesh(body);
      mesh->SetDefaultSize(8.0);
      mesh->SetElementOrder(2);
      sub->SetMesh(mesh);
      meshes.push_back(mesh);
    }
    model.SetMateRelTolerance(0.5);
    add(AttCode::FaceRestraint, base, "plate/left", CaeVector(), restraints);
    add(AttCode::FaceRestraint, base, "plate/right", CaeVector(), restraints);
    add(AttCode::FaceTotalForce, arm, "upright/top", CaeVector(0, 0, -1000), loads);
    resultCase.AddLoadCase(&loads, 1.0);
    resultCase.AddBoundaryCase(&restraints, 1.0);
  }

  void add(AttCode code, AcDbObjectId part, const char* face, const CaeVector& value, AttLbcCase& set) {
    const AttLbcDescript* descriptor = table.Find(ToAttType(code));
    AttLbcComponents fixed;
    for (int& flag : fixed.flag) flag = 0;
    auto function = std::make_unique<CaeFuncLinear>();
    function->SetDefiningValuesVec(1, &value, nullptr, nullptr, nullptr);
    conditions.push_back(
        std::make_unique<AttLbc>(descriptor, refOf(part, Ami::kFaceKey, face), function.release(), nullptr, &fixed));
    set.AddLbc(conditions.back().get());
  }

  // The relation made in the drawing: the bracket's bottom follows the plate's top.
  void tie() {
    asCommand([&] {
      CadInterface::GetCurrent()->SelectOrCreateModel("Assembly", 0);
      AcCadInterface::GetCurrentAc()->CreateMateRelPair(refOf(arm, Ami::kFaceKey, "base/bottom")->GetBrEntity(),
                                                        refOf(base, Ami::kFaceKey, "plate/top")->GetBrEntity(),
                                                        CaeString("Joint"), 3, 1.0);
      auto* drawing = dynamic_cast<CaepAnlModelObj*>(AnlControl::GetCurrent()->CurrentAnlModel());
      model.AddMateRelPair(drawing->GetMateRelPair(0));
    });
  }

  std::unique_ptr<AnlWriter> writer() {
    std::unique_ptr<AnlWriter> made(model.DeckWriter(AnlCodeSolve));
    made->AddResltCase(&resultCase);
    made->SetOutputRequests(CaeFlags(AnlWriter::kOutDisplacement | AnlWriter::kOutReaction));
    return made;
  }

  AcDbObjectId base, arm;
  AnlModel model{CaeString("Assembly"), AnlStress};
  std::vector<AmgMesh*> meshes;
  AttLbcDescriptTable table;
  AttLbcCase loads{CaeString("Loads"), AttLbcCase::kLoadSet};
  AttLbcCase restraints{CaeString("Clamps"), AttLbcCase::kRestraintSet};
  AnlResltCase resultCase{CaeString("Case 1")};
  std::vector<std::unique_ptr<AttBaseLbc>> conditions;
  kestrum::test::TempDir dir;
};

TEST_F(MateSolveTest, WithoutTheRelationTheBracketHangsFree) {
  CaeArray<CaeString> reasons;
  asCommand([&] { EXPECT_EQ(writer()->Check(reasons), 0); });
  std::string all;
  for (int i = 0; i < reasons.Count(); ++i) all += reasons[i].Str() + "\n";
  EXPECT_NE(all.find("is neither restrained nor joined to a restrained part."), std::string::npos) << all;
}

TEST_F(MateSolveTest, TiedAssemblyIsInEquilibriumAndMovesAsOne) {
  tie();
  std::unique_ptr<AnlWriter> deckWriter = writer();
  CaeString message;
  AnlJob* job = nullptr;
  const auto deckPath = dir / "assembly.inp";
  asCommand([&] {
    job = model.SubmitAnalysis(deckWriter.get(), CaeString(deckPath.string()), nullptr, 0, message, AnlCodeSolve);
  });
  ASSERT_NE(job, nullptr) << message.Str();
  ASSERT_EQ(job->Wait(), 1) << kestrum::test::readFile(job->ErrorFile().Str());
  const std::string deck = kestrum::test::readFile(deckPath);
  ASSERT_EQ(lbctest::DeckLines(deck).blocks.count("*CLOAD"), 1u);
  EXPECT_NE(deck.find("*TIE"), std::string::npos);
  const double load = lbctest::DeckLines(deck).force[2];
  ASSERT_LT(load, 0.0);

  // Node coordinates and the modulus as the deck has them (SI).
  std::map<long, CaeVector> at;
  std::istringstream lines(deck);
  std::string line;
  double modulus = 0;
  bool inNodes = false, inElastic = false;
  while (std::getline(lines, line)) {
    if (line.rfind("*", 0) == 0) {
      inNodes = line.rfind("*NODE", 0) == 0 && line.rfind("*NODE PRINT", 0) != 0 && line.rfind("*NODE FILE", 0) != 0;
      inElastic = line.rfind("*ELASTIC", 0) == 0;
      continue;
    }
    long id = 0;
    double x = 0, y = 0, z = 0;
    if (inNodes && std::sscanf(line.c_str(), "%ld,%lf,%lf,%lf", &id, &x, &y, &z) == 4) at[id] = CaeVector(x, y, z);
    if (inElastic && modulus == 0) modulus = std::stod(line);
  }
  ASSERT_GT(modulus, 0);
  const auto read = FrdReader::ReadNodalVectors(job->ResultsFile().Str());
  ASSERT_TRUE(read && !read->empty());
  const FrdReader::NodalVectors& u = read->back().displacements;
  const FrdReader::NodalVectors& f = read->back().forces;
  ASSERT_FALSE(u.ids.empty());
  ASSERT_FALSE(f.ids.empty()) << "no reaction forces";
  std::map<long, CaeVector> displacement;
  for (std::size_t i = 0; i < u.ids.size(); ++i)
    displacement[u.ids[i]] = CaeVector(u.values[3 * i], u.values[3 * i + 1], u.values[3 * i + 2]);

  // The plate's extent along x and its thickness, from its nodes (the plate is the first part).
  double xMin = 1e300, xMax = -1e300, zMin = 1e300, zMax = -1e300, yMin = 1e300, yMax = -1e300;
  CaeList<CaeNode> plateNodes;
  meshes[0]->Nodes(plateNodes);
  for (CaeNode* node : plateNodes) {
    const CaeVector& p = at.at(node->Id());
    xMin = std::min(xMin, p[0]), xMax = std::max(xMax, p[0]);
    yMin = std::min(yMin, p[1]), yMax = std::max(yMax, p[1]);
    zMin = std::min(zMin, p[2]), zMax = std::max(zMax, p[2]);
  }
  const double span = xMax - xMin, width = yMax - yMin, thickness = zMax - zMin;

  // One tie: its slave surface is the bracket's bottom, every node on the plate's top plane.
  std::istringstream tieLines(deck);
  int ties = 0, slaves = 0;
  bool inSlaves = false;
  while (std::getline(tieLines, line)) {
    if (line.rfind("*", 0) == 0) {
      ties += line.rfind("*TIE", 0) == 0;
      inSlaves = line.rfind("*SURFACE, NAME=TS1", 0) == 0;
      continue;
    }
    if (!inSlaves) continue;
    ++slaves;
    EXPECT_NEAR(at.at(std::stol(line))[2], zMax, 1e-9) << line;
  }
  EXPECT_EQ(ties, 1);
  EXPECT_GT(slaves, 10);

  // Equilibrium: the reactions at the clamped ends (x at either end) balance the load.
  double reaction = 0;
  for (std::size_t i = 0; i < f.ids.size(); ++i) {
    const CaeVector& p = at.at(f.ids[i]);
    if (std::abs(p[0] - xMin) < 1e-9 || std::abs(p[0] - xMax) < 1e-9) reaction += f.values[3 * i + 2];
  }
  EXPECT_NEAR(reaction, -load, 0.01 * std::abs(load));

  // Plausibility: no plate node sinks further than the clamped beam loaded at midspan.
  const double inertia = width * std::pow(thickness, 3) / 12;
  const double bound = std::abs(load) * std::pow(span, 3) / (192 * modulus * inertia);
  double sink = 0;
  for (CaeNode* node : plateNodes) sink = std::max(sink, -displacement.at(node->Id())[2]);
  EXPECT_GT(sink, 0.0);
  EXPECT_LT(sink, 1.2 * bound) << "bound " << bound;

  // Continuity: each tied bracket node moves as the nearest plate-top node beneath it.
  CaeList<CaeNode> plateTop;
  for (CaeNode* node : plateNodes)
    if (std::abs(at.at(node->Id())[2] - zMax) < 1e-9) plateTop.Append(node);
  double worst = 0;
  int compared = 0;
  CaeList<CaeNode> armNodes;
  meshes[1]->Nodes(armNodes);
  for (CaeNode* node : armNodes) {
    const CaeVector& p = at.at(node->Id());
    if (std::abs(p[2] - zMax) > 1e-9) continue;  // not on the bracket's bottom
    double nearest = 1e300;
    long beneath = 0;
    for (CaeNode* top : plateTop) {
      const CaeVector& q = at.at(top->Id());
      const double d = std::hypot(p[0] - q[0], p[1] - q[1]);
      if (d < nearest) nearest = d, beneath = top->Id();
    }
    if (nearest > 0.25 * thickness) continue;  // over the plate's hole, or between nodes
    ++compared;
    const CaeVector& a = displacement.at(node->Id());
    const CaeVector& b = displacement.at(beneath);
    worst = std::max(worst, std::abs(a[2] - b[2]));
  }
  EXPECT_GT(compared, 10);
  EXPECT_LT(worst, 0.1 * sink) << compared << " nodes compared";
}

}  // namespace
