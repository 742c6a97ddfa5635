// Analysis models, sub-models, jobs and result cases.
#include <filesystem>
#include <fstream>

#include "amg/CaeMaterial.h"
#include "amg/CaeMsgCall.h"
#include "fake_topo_ref.h"
#include "fea/AmgMesh.h"
#include "fea/AnlJob.h"
#include "fea/AnlMateRel.h"
#include "fea/AnlModel.h"
#include "fea/AnlResltCase.h"
#include "fea/AnlWriter.h"
#include "fea/AttLbcCase.h"
#include "fea/FerResult.h"
#include "fea_fixture.h"
#include "test_env.h"

namespace {

using AnlModelTest = FeaTest;

TEST_F(AnlModelTest, SubModelsAndTheirMeshKind) {
  AnlModel model(CaeString("Bracket"), AnlStress);
  EXPECT_EQ(model.HasShellMesh(), 0);
  AnlSubModel* solid = model.NewSubModel();
  AnlSubModel* shell = model.NewSubModel();
  EXPECT_NE(solid->Id(), shell->Id());
  AmgMesh* solidMesh = model.NewMesh(nullptr);
  AmgMesh* shellMesh = model.NewMesh(nullptr);
  solid->SetMesh(solidMesh);
  shell->SetMesh(shellMesh);
  std::vector<CaeNode*> nodes;
  CaeList<CaeNode> nodeList;
  for (int i = 0; i < 3; ++i) {
    nodes.push_back(new CaeNode(CaeVector(i, 0, 0), 10 + i));
    nodeList.Append(nodes.back());
  }
  CaeList<CaeElem> elements;
  elements.Append(CaeElem::Create(nodes.data(), 3, CaeElemShell, CaeShapeTri, CaeElemLinear, 40));
  shellMesh->AddNodes(nodeList);
  shellMesh->AddElements(elements);
  shell->SetMeshProps(shellMesh);
  solid->SetMeshProps(solidMesh);
  EXPECT_EQ(shell->MeshIsShell(), 1);
  EXPECT_EQ(solid->MeshIsShell(), 0);
  EXPECT_EQ(model.HasShellMesh(), 1);
  EXPECT_EQ(model.HasSolidMesh(), 1);
  EXPECT_EQ(model.NumNodes(0), 3);
  long node = 0, element = 0;
  model.HighestNodeElementIds(node, element);
  EXPECT_EQ(node, 12);
  EXPECT_EQ(element, 40);

  model.DeleteSubModel(shell);
  EXPECT_EQ(model.HasShellMesh(), 0) << "erased sub-models do not count";
  EXPECT_EQ(model.NumSubModels(), 2);
  EXPECT_EQ(model.NumNodes(0), 0);
}

TEST_F(AnlModelTest, MaterialIsTheSubModelsOwnCopy) {
  AnlSubModel sub;
  EXPECT_EQ(sub.GetMaterial(), nullptr);
  auto* steel = new CaeMaterial(CaeString("Steel"));
  sub.AssignMaterial(steel);
  EXPECT_EQ(sub.GetMaterial()->Name(), "Steel");
  // Callers delete the old material themselves before assigning a new copy.
  delete sub.GetMaterial();
  sub.AssignMaterial(new CaeMaterial(CaeString("Aluminium")));
  EXPECT_EQ(sub.GetMaterial()->Name(), "Aluminium");
}

std::vector<std::uint32_t> Codes(const CaeArray<std::uint32_t>& codes) {
  return std::vector<std::uint32_t>(codes.Data(), codes.Data() + codes.Count());
}

// A face of a given body.
class FaceOf : public FakeTopoRef {
 public:
  explicit FaceOf(CaeTopoRef* body) : body_(body) {}
  CaeTopoRef* Body() override { return body_; }

 private:
  CaeTopoRef* body_;
};

// A failed check gives a heading (message 0) and one finding per problem, each with its code at
// the same index; a passed check gives no message at all.
TEST_F(AnlModelTest, CheckModelHeadingThenFindings) {
  enum Setup {
    kComplete,
    kNoParts,
    kBare,
    kNoMesh,
    kNoMaterial,
    kBadMaterial,
    kDeferred,
    kShellNoProp,
    kShellNoThickness,
    kShellThick,
    kStale,
    kStaleWithResults,
    kMatedShell,
    kMatedSolids
  };
  struct Case {
    const char* what;
    Setup setup;
    std::vector<std::uint32_t> codes;
  };
  const Case cases[] = {
      {"complete", kComplete, {}},
      {"no parts", kNoParts, {0xc0000fe6, 0xc0000fac}},
      {"bare part", kBare, {0xc0000fe6, 0xc0000faa, 0xc0000fac}},
      {"no mesh", kNoMesh, {0xc0000fe6, 0xc0000fac}},
      {"material without values", kNoMaterial, {0xc0000fe6, 0xc0000faa}},
      {"negative modulus", kBadMaterial, {0xc0000fe6, 0xc0000fab}},
      {"deferred mesh not made yet", kDeferred, {}},
      {"shell without property", kShellNoProp, {0xc0000fe6, 0xc0000fb2}},
      {"shell of no thickness", kShellNoThickness, {0xc0000fe6, 0xc0000fb3}},
      {"shell with thickness", kShellThick, {}},
      {"part changed since meshing", kStale, {0xc0000fe6, 0xc0000fe9}},
      {"changed, with results", kStaleWithResults, {0xc0000fe6, 0xc0000fe8}},
      {"mating relation on a shell part", kMatedShell, {0xc0000fe6, 0xc00010d3}},
      {"mating relation between solids", kMatedSolids, {}},
  };
  for (const Case& c : cases) {
    FakeTopoRef bodyA, bodyB;
    FaceOf faceA(&bodyA), faceB(&bodyB);
    AttMateRel relA(&faceA), relB(&faceB);
    AnlMateRelPair pair(&relA, &relB);
    pair.Name(CaeString("Joint"));
    AnlModel model(CaeString("Bracket"), AnlStress);
    if (c.setup != kNoParts) {
      AnlSubModel* sub = model.NewSubModelForBody(&bodyA);
      AnlSubModel* other = model.NewSubModelForBody(&bodyB);
      other->AssignMaterial(NewSteel());
      other->SetMesh(model.NewMesh(&bodyB));
      if (c.setup != kBare) {
        const bool own = c.setup == kNoMaterial || c.setup == kBadMaterial;
        auto* material = own ? new CaeMaterial(CaeString("Steel")) : NewSteel();
        if (c.setup == kBadMaterial) material->AddProp(293.15, 7850, -1, 0.3, 0, 0, 0, 0, 0);
        sub->AssignMaterial(material);
      }
      if (c.setup != kBare && c.setup != kNoMesh) {
        AmgMesh* mesh = model.NewMesh(&bodyA);
        sub->SetMesh(mesh);
        if (c.setup == kDeferred) mesh->SetDeferred(1);
        if (c.setup == kStale || c.setup == kStaleWithResults) {
          mesh->SetGenerated(1);
          mesh->UponTopoRefModify();
        }
        if (c.setup == kStaleWithResults) model.NewResultSet(CaeString("Done"));
      }
      if (c.setup == kShellNoProp || c.setup == kShellNoThickness || c.setup == kShellThick || c.setup == kMatedShell) {
        sub->SetMeshIsShell(1);
        if (c.setup != kShellNoProp) {
          auto* prop = new CaeElemProp();
          prop->SetPropValue(CaeElemProp::kThickness, c.setup == kShellNoThickness ? 0.0 : 0.002);
          sub->AssignProp(prop);
        }
      }
      if (c.setup == kMatedShell || c.setup == kMatedSolids) model.AddMateRelPair(&pair);
      AnlSubModel* erased = model.NewSubModel();  // erased parts are not checked
      erased->MarkAsErased();
    }
    CaeArray<CaeString> messages;
    CaeArray<std::uint32_t> codes;
    EXPECT_EQ(model.CheckModel(messages, codes), c.codes.empty() ? 1 : 0) << c.what;
    EXPECT_EQ(Codes(codes), c.codes) << c.what;
    ASSERT_EQ(messages.Count(), codes.Count()) << c.what;
    for (int i = 1; i < messages.Count(); ++i) {
      if (codes[i] != 0xc0000fab && codes[i] != 0xc00010d3) {
        EXPECT_EQ(messages[i], CaeMsgTxt::GetMessage(codes[i])) << c.what;
      }
    }
    if (c.setup == kBadMaterial) {
      EXPECT_NE(messages[1].Str().find("Steel"), std::string::npos) << "the material is named";
    }
    if (c.setup == kMatedShell) {
      EXPECT_NE(messages[1].Str().find("Joint"), std::string::npos) << "the mating relation is named";
    }
  }
}

TEST_F(AnlModelTest, ResultSetsAndJobsByNameSkipErased) {
  AnlModel model(CaeString("m"), AnlVibration);
  FerResultSet* first = model.NewResultSet(CaeString("VibrationResultSet"));
  EXPECT_EQ(model.FindResultSet(CaeString("VibrationResultSet")), first);
  EXPECT_EQ(model.DeleteResultSet(CaeString("VibrationResultSet")), 1);
  EXPECT_EQ(model.FindResultSet(CaeString("VibrationResultSet")), nullptr);
  EXPECT_EQ(model.DeleteResultSet(CaeString("missing")), 0);
  EXPECT_EQ(model.NumResultSets(), 1);

  AnlJob* job = model.NewJob();
  job->Create(CaeString("/work/m/job1"));
  EXPECT_EQ(model.FindJobByDeck(CaeString("/work/m/job1.inp")), job);
  model.DeleteJob(job);
  EXPECT_EQ(model.FindJobByDeck(CaeString("/work/m/job1.inp")), nullptr);
  EXPECT_EQ(model.GetJob(0), job);
  EXPECT_EQ(model.GetJob(1), nullptr);
}

TEST_F(AnlModelTest, MatingPairsWalkAndErase) {
  AnlModel model;
  AttMateRel a1, a2, b1, b2;
  AnlMateRelPair first(&a1, &a2), second(&b1, &b2);
  EXPECT_EQ(a1.Pair(), &first);
  model.AddMateRelPair(&first);
  model.AddMateRelPair(&second);
  model.DeleteMateRelPair(&first);
  EXPECT_TRUE(a1.IsMarkedAsErased()) << "erasing a pair erases its relations";
  EXPECT_EQ(model.NumMateRelPairs(), 2);
  EXPECT_EQ(model.NumLiveMateRelPairs(), 1);
  EXPECT_EQ(model.FirstLiveMateRelPair(), &second);
  EXPECT_EQ(model.NextLiveMateRelPair(), nullptr);
}

TEST_F(AnlModelTest, AnEmptyModelIsNotSubmittedAndHasNothingToAdapt) {
  AnlModel model;
  CaeString message;
  int stop = 0;
  std::unique_ptr<AnlWriter> writer(model.DeckWriter(AnlCodeSolve));
  ASSERT_NE(writer, nullptr);
  EXPECT_EQ(writer->Model(), &model);
  CaeArray<CaeString> reasons;
  EXPECT_EQ(writer->Check(reasons), 0);
  kestrum::test::TempDir dir;
  EXPECT_EQ(model.SubmitAnalysis(writer.get(), CaeString((dir / "a.inp").string()), nullptr, 0, message, AnlCodeSolve),
            nullptr);
  EXPECT_NE(message.Str().find("mesh"), std::string::npos) << message.Str();
  EXPECT_FALSE(std::filesystem::exists(dir / "a.inp"));
  EXPECT_EQ(model.SubmitHAdaptiveAnalysis(writer.get(), message, AnlCodeSolve), 0);
  EXPECT_NE(message.Str().find("error estimate"), std::string::npos) << "no meshes to refine: " << message.Str();
  EXPECT_EQ(model.AdaptMeshes(nullptr, 1, message, stop), 1) << "no results: nothing to adapt, results kept";
  EXPECT_NE(stop, 0);
  EXPECT_NE(message.Str().find("error estimate"), std::string::npos) << message.Str();
  for (int i = 0; i < model.NumJobs(); ++i)
    EXPECT_TRUE(model.GetJob(i)->IsMarkedAsErased()) << "a failed submission leaves no live job";
  EXPECT_TRUE(Messages().empty());
}

// Results whose estimated error is within the target leave the meshes alone and stop the
// adaptation without a message; results without an estimate say so.
TEST_F(AnlModelTest, AdaptingStopsWhenTheErrorIsWithinTheTarget) {
  AnlModel model;
  model.SetAdaptTargetError(5.0);
  FerResultSet results(CaeString("Case 1"));
  auto* estimate = new FerResult(FerQtyErrorEstimate);
  estimate->SetNodalData(0, {1, 2}, {1.5, 4.5});
  results.AddResult(estimate);
  CaeString message;
  int stop = 0;
  EXPECT_EQ(model.AdaptMeshes(&results, FerQtyStress, message, stop), 1);
  EXPECT_EQ(stop, 1);
  EXPECT_TRUE(message.IsEmpty()) << message.Str();
  EXPECT_EQ(model.AdaptPasses(), 0);

  FerResultSet stressOnly(CaeString("Case 2"));
  stressOnly.AddResult(new FerResult(FerQtyStress));
  EXPECT_EQ(model.AdaptMeshes(&stressOnly, FerQtyStress, message, stop), 1);
  EXPECT_NE(message.Str().find("no error estimate"), std::string::npos) << message.Str();
}

TEST_F(AnlModelTest, WriterKeepsSettingsAndWritesNoDeckWithoutAModel) {
  AnlWriter writer;
  AnlResltCase rc(CaeString("ResultSet1"));
  writer.AddResltCase(&rc);
  writer.SetOutputRequests(CaeFlags(1 | 2 | 128));
  writer.SetNumModes(5);
  writer.SetLowMode(10.0);
  writer.SetHighMode(500.0);
  EXPECT_EQ(writer.ResltCase(0), &rc);
  EXPECT_EQ(writer.ResltCase(1), nullptr);
  EXPECT_TRUE(writer.OutputRequests().IsSet(128));
  EXPECT_EQ(writer.NumModes(), 5);
  EXPECT_EQ(writer.HighMode(), 500.0);

  CaeArray<CaeString> report;
  EXPECT_EQ(writer.Check(report), 0);
  ASSERT_EQ(report.Count(), 1);
  EXPECT_NE(report[0].Str().find("model"), std::string::npos);
  kestrum::test::TempDir dir;
  CaeString message;
  EXPECT_EQ(writer.Write(CaeString((dir / "a.inp").string()), message), 0);
  EXPECT_NE(message.Str().find("model"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir / "a.inp")) << "no half-written deck";
}

TEST_F(AnlModelTest, JobFileNamesComeFromTheBaseName) {
  AnlDrvJob job;
  job.Create(CaeString("/data/part/Stress1"));
  EXPECT_EQ(job.BaseName(), "/data/part/Stress1");
  EXPECT_EQ(job.DeckName(), "/data/part/Stress1.inp");
  EXPECT_EQ(job.ResultsFile(), "/data/part/Stress1.frd");
  EXPECT_EQ(job.AnalysisDB(), "/data/part/Stress1.dat");
  EXPECT_EQ(job.ErrorFile(), "/data/part/Stress1.log");
  EXPECT_EQ(job.AnlDir(), "/data/part");
  job.AddResltCaseNames(CaeString("a"), CaeString("b"));
  CaeString first, second;
  EXPECT_TRUE(job.GetResltCaseNames(0, first, second));
  EXPECT_EQ(first, "a");
  EXPECT_EQ(second, "b");
  EXPECT_FALSE(job.GetResltCaseNames(1, first, second));
}

TEST_F(AnlModelTest, ARestoredPendingJobIsDoneOnceItsResultsAreComplete) {
  kestrum::test::TempDir dir;
  AnlDrvJob job;
  job.Create(CaeString((dir / "job").string()));
  job.SetStatus(AnlStatusPending);
  job.Check();
  EXPECT_EQ(job.IsPending(), 1) << "no results file yet";
  std::ofstream(dir / "job.frd") << "    1C\n";
  job.Check();
  EXPECT_EQ(job.IsPending(), 1) << "a results file without its end record is not complete";
  std::ofstream(dir / "job.frd") << "    1C\n 9999\n";
  std::ofstream(dir / "job.inp") << "deck";
  job.Check();
  EXPECT_EQ(job.HaveResults(), 1);
  EXPECT_EQ(job.CleanUp(), 2);
  EXPECT_FALSE(std::filesystem::exists(dir / "job.frd"));
}

TEST_F(AnlModelTest, ConceptJobKeepsItsTexts) {
  AnlConstrJob job(1200);
  EXPECT_EQ(job.AnalysisCode(), AnlCodeConcept);
  EXPECT_EQ(job.NodeCount(), 1200);
  job.SetText(0, CaeString("one"));
  job.SetText(2, CaeString("three"));
  job.SetText(3, CaeString("ignored"));
  EXPECT_EQ(job.Text(0), "one");
  EXPECT_EQ(job.Text(1), "");
  EXPECT_EQ(job.Text(2), "three");
  EXPECT_EQ(job.Text(3), "");
  job.SetJobValue(-7);
  EXPECT_EQ(job.JobValue(), -7);
}

TEST_F(AnlModelTest, ResultCaseEntriesByCategory) {
  AnlResltCase rc(CaeString("ResultSet1"), 1);
  AttLbcCase loads(CaeString("Loads"), AttLbcCase::kLoadSet);
  AttLbcCase gone(CaeString("Gone"), AttLbcCase::kLoadSet);
  AttLbcCase restraints(CaeString("Restraints"), AttLbcCase::kRestraintSet);
  AnlLbcCase* l = rc.AddLoadCase(&loads, 2.0);
  rc.AddLoadCase(&gone, 1.0);
  AnlLbcCase* r = rc.AddBoundaryCase(&restraints, 1.0);
  gone.MarkAsErased();
  EXPECT_EQ(rc.NumLoadCase(), 2);
  EXPECT_EQ(rc.NumBoundaryCase(), 1);
  EXPECT_EQ(rc.FirstLbcCase(0), l);
  EXPECT_EQ(l->Scale(), 2.0);
  EXPECT_EQ(rc.NextLbcCase(), nullptr) << "entries of erased sets are passed over";
  EXPECT_EQ(rc.FirstLbcCase(1), r);
  EXPECT_EQ(r->LbcCase(), &restraints);
  EXPECT_EQ(rc.RemoveLoadCase(r), 0) << "a restraint entry is not a load entry";
  EXPECT_EQ(rc.RemoveBoundaryCase(r), 1);
  EXPECT_EQ(rc.FirstLbcCase(1), nullptr);
  rc.Type(AnlResltModal);
  EXPECT_EQ(rc.Type(), AnlResltModal);
}

}  // namespace
