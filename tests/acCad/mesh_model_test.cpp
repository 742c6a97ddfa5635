// Meshes of a drawing's analysis model: the deck written after a save and reopen equals the one
// written before, and regeneration replaces the model's meshes on both paths, keeping what each
// sub-model had and numbering on across the model.
#include <gtest/gtest.h>

#include <BRepPrimAPI_MakeBox.hxx>
#include <TopoDS_Shape.hxx>

#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "amg/CaeList.h"
#include "amg/CaeMaterial.h"
#include "arx/acdocman.h"
#include "arx/acutads.h"
#include "arx/gidisplay.h"
#include "arx/hostcmds.h"
#include "db/dbControl.h"
#include "db/dbMesh.h"
#include "db/dbMeshUse.h"
#include "db/dbModel.h"
#include "db/dbOpen.h"
#include "db/dbSubModel.h"
#include "fea/AnlResltCase.h"
#include "fea/AnlWriter.h"
#include "fea/AttCodes.h"
#include "fea/AttLbc.h"
#include "fea/AttLbcCase.h"
#include "fea/CaeElem.h"
#include "gui/wizard/UIWizard.h"
#include "lbc/lbc_deck_fixture.h"
#include "topo/acTopoRef.h"

namespace {

using lbctest::Axes;
using lbctest::Row;
using lbctest::Where;

constexpr int kAnalyzeStep = 6;  // the guide's step that a live mesh completes

// The first line where two texts differ, rather than both texts.
void expectSameLines(const std::string& actual, const std::string& expected) {
  std::istringstream a(actual), e(expected);
  std::string lineA, lineE;
  for (int line = 1;; ++line) {
    const bool moreA = static_cast<bool>(std::getline(a, lineA));
    const bool moreE = static_cast<bool>(std::getline(e, lineE));
    if (!moreA && !moreE) return;
    if (moreA != moreE || lineA != lineE) {
      ADD_FAILURE() << "line " << line << ": \"" << lineA << "\" instead of \"" << lineE << "\"";
      return;
    }
  }
}

class MeshModelTest : public lbctest::DeckFixture {
 protected:
  static CaepAnlModelObj* currentModel() {
    return dynamic_cast<CaepAnlModelObj*>(dbControlOf(db())->CurrentAnlModel());
  }

  // A mesh of `body` in the model, generated with the given size and order, with a library
  // material on its sub-model. Call inside a command.
  static CaepMeshEnt* meshIn(CaepAnlModelObj& model, AcTopoRef* body, double size, int order,
                             const TopoDS_Shape& shape = TopoDS_Shape()) {
    auto* mesh = dynamic_cast<CaepMeshEnt*>(model.NewMesh(body));
    EXPECT_NE(mesh, nullptr);
    if (!mesh) return nullptr;
    mesh->SetDefaultSize(size);
    mesh->SetElementOrder(order);
    mesh->NumberOnFrom(model);
    if (!shape.IsNull()) mesh->SetShape(shape);
    EXPECT_EQ(mesh->MeshIt(), 1) << cadhost::printedText();
    if (body->GetKey()) mesh->SetBodyKey(body->GetKey());
    CaepAnlSubModelObj* sub = mesh->FindSubModel();
    EXPECT_NE(sub, nullptr);
    DbMaterialSource library;
    std::unique_ptr<CaeMaterial> material = library.Find(CaeString("S275"));
    EXPECT_NE(material, nullptr) << "the shipped library holds S275";
    if (sub) sub->AssignMaterial(material.release());
    return mesh;
  }

  std::string deckOfCurrentModel() {
    std::string text;
    kestrum::test::TempDir dir;
    asCommand([&] {
      AnlResltCase resultCase(CaeString("Case 1"));
      resultCase.AddLoadCase(currentLoads(), 1.0);
      resultCase.AddBoundaryCase(currentRestraints(), 1.0);
      AnlWriter writer(currentModel());
      writer.AddResltCase(&resultCase);
      CaeString message;
      const auto path = dir / "deck.inp";
      if (writer.Write(CaeString(path.string()), message) != 1) {
        ADD_FAILURE() << message.Str();
        return;
      }
      text = kestrum::test::readFile(path);
    });
    return text;
  }
};

TEST_F(MeshModelTest, TheDeckAfterSaveAndReopenEqualsTheDeckBefore) {
  for (int order : {1, 2}) {
    SCOPED_TRACE(order);
    makeDrawingSets(order == 1 ? "Linear" : "Quadratic", AnlStress, "Loads", "Fixed");
    asCommand([&] { meshIn(*currentModel(), bodyOf(plate), 12.0, order); });
    drawingCondition({AttCode::FaceRestraint, Where::Face, "plate/left", {}, "000000", Axes::Global});
    drawingCondition({AttCode::Pressure, Where::Face, "plate/top", {2, 0, 0}, "000000", Axes::Global});
    drawingCondition(
        {AttCode::EdgeDistributedForce, Where::Edge, "plate/right|plate/top", {0, 0, -1.5}, "000000", Axes::Global});
    const std::string before = deckOfCurrentModel();
    ASSERT_NE(before.find("*CLOAD"), std::string::npos) << before;
    ASSERT_NE(before.find("*BOUNDARY"), std::string::npos) << before;

    kestrum::test::TempDir dir;
    const std::string path = (dir / "plate.dwg").string();
    command("SAVEAS " + path);
    command("CLOSE");
    command("OPEN " + path);
    ASSERT_NE(acDocManagerPtr()->curDocument(), nullptr);
    command("REGENALL");
    makeDrawingSets(order == 1 ? "Linear" : "Quadratic", AnlStress, "Loads", "Fixed");
    AcDbObjectId meshId;
    {
      DbTransaction transaction(db());
      CaepAnlModelObj* model = currentModel();
      ASSERT_NE(model, nullptr);
      auto* mesh = dynamic_cast<CaepMeshEnt*>(model->GetSubModel(0)->Mesh());
      ASSERT_NE(mesh, nullptr);
      EXPECT_FALSE(mesh->AwaitingRestore());
      EXPECT_EQ(mesh->Modified(), 0) << "the part is unchanged: attached, not modified";
      EXPECT_EQ(mesh->NeedsUpdate(), 0);
      // Read back whole on its unchanged part it is the generated mesh, not one a solve must make.
      EXPECT_EQ(mesh->Generated(), 1);
      EXPECT_EQ(mesh->Deferred(), 0);
      ASSERT_NE(mesh->GetTopoRef(), nullptr) << "attached to the part's body";
      EXPECT_EQ(mesh->GetTopoRef()->Kind(), CaeTopoRef::kBody);
      meshId = mesh->objectId();
    }
    AcGiDisplayList display(db());
    display.regenerate();
    EXPECT_FALSE(display.primitivesOf(meshId).empty()) << "the reopened mesh is drawn";
    expectSameLines(deckOfCurrentModel(), before);
    command("CLOSE");
    command("NEW");
    plate = loadPart("plate_with_hole");
  }
}

// A save stamps every node it writes; a record written later without a new save (the undo
// snapshot of the mesh) marks each of them as already written. Undoing reads that record back into
// the live mesh: it keeps its own nodes, and the deck stays what it was, also through a save.
TEST_F(MeshModelTest, AnUndoRecordWrittenAfterASaveBringsTheMeshBackWhole) {
  makeDrawingSets("Stamped", AnlStress, "Loads", "Fixed");
  AcDbObjectId meshId;
  asCommand([&] { meshId = meshIn(*currentModel(), bodyOf(plate), 12.0, 2)->objectId(); });
  drawingCondition({AttCode::FaceRestraint, Where::Face, "plate/left", {}, "000000", Axes::Global});
  drawingCondition({AttCode::Pressure, Where::Face, "plate/top", {2, 0, 0}, "000000", Axes::Global});
  const std::string before = deckOfCurrentModel();
  const auto counts = [&] {
    DbTransaction transaction(db());
    auto* mesh = CaepMeshEnt::cast(dbOpenMember(db(), meshId, AcDb::kForRead));
    return std::make_pair(mesh->NumNodes(), mesh->NumElements());
  };
  const auto made = counts();

  kestrum::test::TempDir dir;
  command("SAVEAS " + (dir / "stamped.dwg").string());
  asCommand([&] { CaepMeshEnt::cast(dbOpenMember(db(), meshId, AcDb::kForWrite))->SetDefaultSize(30.0); });
  command("U");
  EXPECT_EQ(counts(), made) << cadhost::printedText();
  {
    DbTransaction transaction(db());
    auto* mesh = CaepMeshEnt::cast(dbOpenMember(db(), meshId, AcDb::kForRead));
    EXPECT_DOUBLE_EQ(mesh->GetDefaultSize(), 12.0) << "the undone size";
    EXPECT_FALSE(mesh->AwaitingRestore());
    EXPECT_EQ(mesh->Modified(), 0);
  }
  expectSameLines(deckOfCurrentModel(), before);

  command("QSAVE");
  command("CLOSE");
  command("OPEN " + (dir / "stamped.dwg").string());
  command("REGENALL");
  makeDrawingSets("Stamped", AnlStress, "Loads", "Fixed");
  expectSameLines(deckOfCurrentModel(), before);
}

// A body temperature taken node by node (as from results) is filed by node id and comes back with
// its mesh after a reopen. Once the mesh is made anew those values name nodes that are gone: the
// deck applies none of them, and neither does the drawing after a save and reopen.
TEST_F(MeshModelTest, NodalTemperaturesGoWithTheMeshTheyWereTakenOn) {
  makeDrawingSets("Hot", AnlStress, "Loads", "Fixed");
  asCommand([&] { meshIn(*currentModel(), bodyOf(plate), 12.0, 1); });
  drawingCondition({AttCode::FaceRestraint, Where::Face, "plate/left", {}, "000000", Axes::Global});
  drawingCondition({AttCode::BodyTemperature, Where::Model, "", {320, 293, 0}, "000000", Axes::Global});
  std::size_t nodes = 0;
  asCommand([&] {
    AttBaseLbc* temperature = currentLoads()->GetModelLbc(ToAttType(AttCode::BodyTemperature));
    ASSERT_NE(temperature, nullptr);
    const AttFlbcDescript* nodal = AttFlbcDescriptTable().Find(AttFlbcTemperature);
    temperature->SetFDesc(nodal);
    CaeList<CaeNode> list;
    currentModel()->Nodes(list, 0);
    for (CaeNode* node : list)
      temperature->AddFlbc(new AttFlbc(
          node, nodal, temperature, CaeVector(330.0 + static_cast<double>(node->Id() % 7), 0, 0), AttLbcComponents()));
    for (CaeNode* node : list) nodes += node != nullptr;
  });
  ASSERT_GT(nodes, 0u);
  const auto temperatureLines = [&] { return lbctest::DeckLines(deckOfCurrentModel()).blocks["*TEMPERATURE"].size(); };
  const std::string before = deckOfCurrentModel();
  EXPECT_EQ(lbctest::DeckLines(before).blocks["*TEMPERATURE"].size(), nodes + 1) << "the uniform line and one a node";

  saveAs("taken.dwg");
  reopen("taken.dwg");
  makeDrawingSets("Hot", AnlStress, "Loads", "Fixed");
  expectSameLines(deckOfCurrentModel(), before);

  asCommand([&] {
    auto* mesh = dynamic_cast<CaepMeshEnt*>(currentModel()->GetSubModel(0)->Mesh());
    ASSERT_NE(mesh, nullptr);
    mesh->SetDefaultSize(10.0);
    CaepMeshEnt* made = mesh->Regenerate(nullptr);
    EXPECT_NE(made, nullptr) << cadhost::printedText();
    EXPECT_NE(made, mesh) << "a mesh made anew";
  });
  EXPECT_EQ(temperatureLines(), 1u) << "only the uniform temperature is left";

  saveAs("remeshed.dwg");
  reopen("remeshed.dwg");
  makeDrawingSets("Hot", AnlStress, "Loads", "Fixed");
  EXPECT_EQ(temperatureLines(), 1u) << "the values of the nodes gone are not filed";
}

TEST_F(MeshModelTest, MeshUsesArePostedAndGoAndComeBackWithTheirMesh) {
  makeDrawingSets("Uses", AnlStress, "Loads", "Fixed");
  AcDbObjectId meshId, useId, subId;
  AmgConstraint user(1, 2.0, AmgConstrSpread, CaeVector(), TopoTest::refOf(plate, Ami::kFaceKey, "plate/top"));
  asCommand([&] {
    CaepMeshEnt* mesh = meshIn(*currentModel(), bodyOf(plate), 20.0, 1);
    auto* use = dynamic_cast<CaepMeshUse*>(mesh->NewMeshUse(&user));
    ASSERT_NE(use, nullptr);
    meshId = mesh->objectId();
    useId = use->objectId();
    subId = mesh->FindSubModel()->objectId();
    EXPECT_EQ(mesh->MeshUseIds(), std::vector<AcDbObjectId>{useId});
    EXPECT_EQ(use->Mesh(), mesh);
    EXPECT_EQ(use->GetTopoRef(), user.GetTopoRef());
  });
  ASSERT_FALSE(useId.isNull());

  // Erased: mesh, sub-model and use all go, each flagged as taken by the mesh.
  const auto state = [&] {
    DbTransaction transaction(db());
    auto* mesh = CaepMeshEnt::cast(dbOpenMember(db(), meshId, AcDb::kForRead, true));
    auto* use = CaepMeshUse::cast(dbOpenMember(db(), useId, AcDb::kForRead, true));
    auto* sub = CaepAnlSubModelObj::cast(dbOpenMember(db(), subId, AcDb::kForRead, true));
    return std::vector<bool>{mesh->isErased(), sub->isErased(), use->isErased(), use->IsMarkedAsErased(),
                             use->ErasedWithMesh()};
  };
  const std::vector<bool> live{false, false, false, false, false};
  const std::vector<bool> erased{true, true, true, true, true};
  UISetWizardTabState(kAnalyzeStep, 1);
  asCommand([&] { CaepMeshEnt::cast(dbOpenMember(db(), meshId, AcDb::kForWrite))->erase(); });
  EXPECT_EQ(state(), erased);
  EXPECT_EQ(UIGetWizardTabState(kAnalyzeStep), 0) << "the model's last live mesh went";
  command("U");
  EXPECT_EQ(state(), (std::vector<bool>{false, false, false, false, true}))
      << "undo brings all three back; the use keeps its mark for a redo";
  command("REDO");
  EXPECT_EQ(state(), erased);
  asCommand([&] { CaepMeshEnt::cast(dbOpenMember(db(), meshId, AcDb::kForWrite, true))->UnErase(); });
  EXPECT_EQ(state(), live);
  EXPECT_EQ(UIGetWizardTabState(kAnalyzeStep), 1);
}

// A drawing keeps its erased objects and saves them: an undone mesh command, an erased mesh and
// a regenerated one must not stop the save.
TEST_F(MeshModelTest, ADrawingWithErasedMeshesSaves) {
  makeDrawingSets("Erased", AnlStress, "Loads", "Fixed");
  const AcDbObjectId modelId = currentModel()->objectId();
  AcDbObjectId last;
  cadhost::addHostCommand("TESTMESH", cadhost::CommandContext::kDocument, [&] {
    DbTransaction transaction(db());
    auto* model = CaepAnlModelObj::cast(dbOpenMember(db(), modelId, AcDb::kForWrite));
    CaepMeshEnt* mesh = model ? meshIn(*model, bodyOf(plate), 20.0, 1) : nullptr;
    if (!mesh) return RTERROR;
    last = mesh->objectId();
    return RTNORM;
  });
  const auto eraseLast = [&] { asCommand([&] { dbOpenMember(db(), last, AcDb::kForWrite)->erase(); }); };
  const auto regenerateLast = [&] {
    asCommand([&] { CaepMeshEnt::cast(dbOpenMember(db(), last, AcDb::kForWrite))->Regenerate(nullptr); });
  };
  struct Case {
    const char* what;
    std::function<void()> steps;
  } cases[] = {
      {"undone", [&] { command("TESTMESH"), command("U"); }},
      {"erased", [&] { command("TESTMESH"), eraseLast(); }},
      {"regenerated", [&] { command("TESTMESH"), regenerateLast(); }},
  };
  kestrum::test::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.steps();
    cadhost::clearPrintedText();
    const auto path = dir / (std::string(c.what) + ".dwg");
    command("SAVEAS " + path.string());
    EXPECT_TRUE(std::filesystem::exists(path)) << cadhost::printedText();
  }
}

// Three boxes side by side, each meshed in one model; the second one's replacement cannot be made.
class RegenerateTest : public MeshModelTest {
 protected:
  struct Made {
    CaepAnlModelObj* model = nullptr;
    std::vector<CaepMeshEnt*> meshes;
    std::vector<AcDbObjectId> subs;
  };

  // The second box is a solid's skin only: its first mesh is made from the solid given to it
  // directly, while a regeneration asks the drawing for the geometry and finds no volume.
  Made makeThree(bool associated) {
    Made made;
    std::vector<AcTopoRef*> bodies;
    for (int i = 0; i < 3; ++i) {
      BRepPrimAPI_MakeBox box(gp_Pnt(30.0 * i, 0, 0), 20, 10, 5);
      boxes_.push_back(addSolid(i == 1 ? TopoDS_Shape(box.Shell()) : box.Shape()));
      bodies.push_back(bodyOf(boxes_.back()));
    }
    asCommand([&] {
      CaepAnlControl* control = dbControlOf(db());
      made.model = dynamic_cast<CaepAnlModelObj*>(
          control->NewAnlModel(CaeString::Format("Boxes %zu", boxes_.size()), AnlStress));
      for (int i = 0; i < 3; ++i) {
        CaepMeshEnt* mesh = meshIn(*made.model, bodies[i], 6.0, 1,
                                   i == 1 ? BRepPrimAPI_MakeBox(gp_Pnt(30, 0, 0), 20, 10, 5).Shape() : TopoDS_Shape());
        mesh->SetAssociated(associated ? 1 : 0);
        CaepAnlSubModelObj* sub = mesh->FindSubModel();
        sub->Name(CaeString::Format("Box %d", i + 1));
        made.meshes.push_back(mesh);
        made.subs.push_back(sub->objectId());
      }
    });
    return made;
  }

  std::vector<AcDbObjectId> boxes_;
};

TEST_F(RegenerateTest, BothPathsReplaceTheLiveMeshesAndASecondThatFailsStays) {
  struct Case {
    const char* what;
    bool associated;  // the update path; otherwise meshed afresh
    bool otherModelCurrent;
  } cases[] = {
      {"update path", true, false},
      {"fresh path", false, false},
      {"update path, another model current", true, true},
      {"fresh path, another model current", false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Made made = makeThree(c.associated);
    CaepAnlModelObj* other = nullptr;
    if (c.otherModelCurrent)
      asCommand([&] {
        other = dynamic_cast<CaepAnlModelObj*>(
            dbControlOf(db())->NewAnlModel(CaeString::Format("Other %zu", boxes_.size()), AnlStress));
        dbControlOf(db())->SetCurrentAnlModel(other);
      });
    cadhost::clearPrintedText();

    CaepMeshEnt* first = nullptr;
    CaepMeshEnt* second = nullptr;
    const int coarse = made.meshes[0]->NumElements();
    asCommand([&] {
      DbTransaction transaction(db());
      auto* mesh = CaepMeshEnt::cast(dbOpenMember(db(), made.meshes[0]->objectId(), AcDb::kForWrite));
      mesh->SetDefaultSize(3.0);  // changed controls: the replacement follows them
      first = mesh->Regenerate(nullptr);
      auto* failing = CaepMeshEnt::cast(dbOpenMember(db(), made.meshes[1]->objectId(), AcDb::kForWrite));
      ASSERT_NE(failing, nullptr) << "the second mesh stays " << cadhost::printedText();
      second = failing->Regenerate(nullptr);
    });
    ASSERT_NE(first, nullptr) << "the first mesh was replaced although a later one failed";
    EXPECT_NE(first, made.meshes[0]);
    EXPECT_GT(first->NumElements(), coarse) << "made with the finer size";
    EXPECT_EQ(second, nullptr) << "its own replacement failed";

    DbTransaction transaction(db());
    // Old sub-models: the first and third went with their meshes, the second came back.
    std::vector<bool> erased;
    for (AcDbObjectId id : made.subs)
      erased.push_back(CaepAnlSubModelObj::cast(dbOpenMember(db(), id, AcDb::kForRead, true))->isErased());
    EXPECT_EQ(erased, (std::vector<bool>{true, false, true}));
    auto* kept = CaepMeshEnt::cast(dbOpenMember(db(), made.meshes[1]->objectId(), AcDb::kForRead, true));
    EXPECT_FALSE(kept->isErased());
    EXPECT_FALSE(kept->IsMarkedAsErased());

    // The replacements sit in the owning model, with the old names, material and element kind.
    EXPECT_EQ(made.model->NumLiveSubModels(), 3);
    std::set<std::string> names;
    std::set<long> nodeIds;
    long nodes = 0;
    for (int i = 0; i < made.model->NumSubModels(); ++i) {
      AnlSubModel* sub = made.model->GetSubModel(i);
      if (!sub || sub->IsMarkedAsErased()) continue;
      names.insert(sub->Name().Str());
      ASSERT_NE(sub->GetMaterial(), nullptr);
      EXPECT_EQ(std::string(sub->GetMaterial()->Name().Str()), "S275");
      AmgMesh* mesh = sub->Mesh();
      ASSERT_NE(mesh, nullptr);
      EXPECT_GT(mesh->NumElements(), 0);
      CaeList<CaeNode> list;
      nodes += mesh->Nodes(list);
      for (CaeNode* node : list) nodeIds.insert(node->Id());
    }
    EXPECT_EQ(names, (std::set<std::string>{"Box 1", "Box 2", "Box 3"}));
    EXPECT_EQ(static_cast<long>(nodeIds.size()), nodes) << "no node id is used by two meshes";
    if (other) {
      EXPECT_EQ(other->NumSubModels(), 0) << "nothing went to the current model";
    }
    EXPECT_EQ(first->GetTopoRef(), bodyOf(boxes_[boxes_.size() - 3]));
  }
}

TEST_F(RegenerateTest, UndoAndRedoOfARegenerationRestoreExactly) {
  Made made = makeThree(true);
  std::vector<long> oldNodes;
  for (CaepMeshEnt* mesh : made.meshes) oldNodes.push_back(mesh->NumNodes());
  const int subModels = made.model->NumSubModels();
  const AcDbObjectId modelId = made.model->objectId();
  cadhost::clearPrintedText();
  command("ARXLOAD");  // a command boundary before the regeneration's own group
  asCommand([&] {
    auto* mesh = CaepMeshEnt::cast(dbOpenMember(db(), made.meshes[0]->objectId(), AcDb::kForWrite));
    ASSERT_NE(mesh->Regenerate(nullptr), nullptr);
  });
  EXPECT_EQ(cadhost::printedText().find("General Error"), std::string::npos) << cadhost::printedText();

  // What is live: each old mesh (by its sub-model), erased or not, and the count of sub-models.
  const auto state = [&] {
    DbTransaction transaction(db());
    auto* model = CaepAnlModelObj::cast(dbOpenMember(db(), modelId, AcDb::kForRead));
    std::vector<bool> live;
    for (std::size_t i = 0; i < made.subs.size(); ++i) {
      auto* sub = CaepAnlSubModelObj::cast(dbOpenMember(db(), made.subs[i], AcDb::kForRead, true));
      auto* mesh = CaepMeshEnt::cast(dbOpenMember(db(), made.meshes[i]->objectId(), AcDb::kForRead, true));
      live.push_back(!sub->isErased() && !mesh->isErased() && !mesh->IsMarkedAsErased() &&
                     mesh->NumNodes() == oldNodes[i]);
    }
    return std::make_pair(live, model->NumLiveSubModels());
  };
  const auto regenerated = state();
  EXPECT_EQ(regenerated.first, (std::vector<bool>{false, true, false}));
  EXPECT_EQ(regenerated.second, 3);
  command("U");
  const auto undone = state();
  EXPECT_EQ(undone.first, (std::vector<bool>{true, true, true})) << cadhost::printedText();
  EXPECT_EQ(undone.second, 3);
  command("REDO");
  EXPECT_EQ(state(), regenerated);
  EXPECT_EQ(made.model->NumSubModels(), subModels + 2);
}

}  // namespace
