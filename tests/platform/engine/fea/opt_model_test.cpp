// Optimisation models: defaults, the objective's name, walks over constraints and result cases,
// jobs, checks, and the operations that wait for the solver.
#include "amg/CaeExcept.h"
#include "amg/CaeGraph.h"
#include "amg/CaeMsgCall.h"
#include "amg/CaeUnit.h"
#include "fea/AnlControl.h"
#include "fea/AnlJob.h"
#include "fea/AnlModel.h"
#include "fea/AnlResltCase.h"
#include "fea/AnlWriter.h"
#include "fea/OptModel.h"
#include "fea_fixture.h"

namespace {

using OptModelTest = FeaTest;

TEST_F(OptModelTest, NewModelDefaults) {
  OptModel unnamed;
  OptModel named(CaeString("Study"));
  for (OptModel* m : {&unnamed, &named}) {
    EXPECT_EQ(m->Type(), CaeOptShape);
    EXPECT_FALSE(m->IsMarkedAsCurrent());
    EXPECT_EQ(m->Parameters(), OptParameters());
    EXPECT_EQ(m->AnlModel(), nullptr);
    EXPECT_EQ(m->Objective(), nullptr);
    EXPECT_EQ(m->NumConstraints(), 0);
    EXPECT_EQ(m->NumJobs(), 0);
  }
  EXPECT_TRUE(unnamed.Name().IsEmpty());
  EXPECT_EQ(named.Name(), "Study");
}

TEST_F(OptModelTest, ParameterDefaultsAreUsableRunSettings) {
  const OptParameters p;
  EXPECT_GE(p.shapeMaxCycles, 1);
  EXPECT_LE(p.shapeMaxCycles, 50);
  EXPECT_LT(p.constraintActiveTolerance, 0.0) << "entered as a negative percentage";
  EXPECT_GT(p.constraintViolatedTolerance, 0.0);
  EXPECT_GT(p.relativeObjectiveChange, 0.0);
  EXPECT_GT(p.absoluteObjectiveChange, 0.0);
  EXPECT_GE(p.conceptConvergenceSpeed, 1);
  EXPECT_LE(p.conceptConvergenceSpeed, 5);
  EXPECT_EQ(p.conceptChangeMode, 0);
}

TEST_F(OptModelTest, ParametersTravelWhole) {
  OptModel model;
  OptParameters p;
  p.shapeMaxCycles = 25;
  p.constraintActiveTolerance = -0.5;
  p.sensitivityOnly = 1;
  p.conceptFirstChange = 0.2;
  p.conceptChangeMode = 2;
  p.spareInt = 7;
  p.spareValue = 1.5;
  p.spareFlag = 1;
  model.Parameters(p);
  EXPECT_EQ(model.Parameters(), p);
  model.Type(CaeOptConcept);
  EXPECT_EQ(model.Type(), CaeOptConcept);
}

// The system never names objectives: an objective without a name must still have one.
TEST_F(OptModelTest, ObjectiveNameIsNeverEmpty) {
  OptObjective byDefault;
  OptObjective unnamed(CaeString(), OptVolume);
  OptObjective named(CaeString("Weight"), OptMass);
  EXPECT_FALSE(byDefault.Name().IsEmpty());
  EXPECT_FALSE(unnamed.Name().IsEmpty());
  EXPECT_EQ(unnamed.ResponseType(), OptVolume);
  EXPECT_EQ(named.Name(), "Weight");
}

struct ResponseCase {
  OptResponseType type;
  const char* text;
  CaeUnitType unit;
};

class ResponseTexts : public testing::TestWithParam<ResponseCase> {};

TEST_P(ResponseTexts, TextAndUnitOfEachResponseType) {
  OptFunction f(CaeString(), GetParam().type);
  EXPECT_EQ(f.ResponseText(), GetParam().text);
  EXPECT_EQ(f.UnitType(), GetParam().unit);
}

INSTANTIATE_TEST_SUITE_P(AllTypes, ResponseTexts,
                         testing::Values(ResponseCase{OptMass, "mass", CaeUtMass},
                                         ResponseCase{OptVolume, "volume", CaeUtVolume},
                                         ResponseCase{OptFrequency, "frequency", CaeUtFrequency},
                                         ResponseCase{OptLoadFactor, "load factor", CaeUtNone},
                                         ResponseCase{OptStress, "stress", CaeUtStress},
                                         ResponseCase{OptStrain, "strain", CaeUtStrain},
                                         ResponseCase{OptDisplacement, "displacement", CaeUtLength},
                                         ResponseCase{OptDisplacementMagnitude, "displacement", CaeUtLength}));

TEST_F(OptModelTest, UnitTextComesFromTheCurrentUnitNames) {
  OptFunction volume(CaeString(), OptVolume);
  EXPECT_TRUE(volume.UnitText().IsEmpty()) << "no unit-name table yet";
  CaeUnitStrTable table;
  table.AddUnit(CaeMeter, CaeString("meter"), CaeString("m"));
  table.AddUnit(CaeKilogram, CaeString("kilogram"), CaeString("kg"));
  EXPECT_EQ(volume.UnitText(), "m^3");
  EXPECT_EQ(OptFunction(CaeString(), OptMass).UnitText(), "kg");
  EXPECT_TRUE(OptFunction(CaeString(), OptLoadFactor).UnitText().IsEmpty());
}

TEST_F(OptModelTest, ObjectiveLinkSetsItsOwner) {
  OptModel model;
  OptObjective objective;
  model.SetObjective(&objective);
  EXPECT_EQ(model.Objective(), &objective);
  EXPECT_EQ(objective.Owner(), &model);
  objective.MarkAsErased();
  EXPECT_EQ(model.Objective(), nullptr);
}

TEST_F(OptModelTest, ConstraintWalksSkipErasedAndOptionallyInactive) {
  OptModel model;
  OptConstraint a(CaeString("a"), 0, nullptr, OptStress, nullptr);
  OptConstraint b(CaeString("b"), 0, nullptr, OptStress, nullptr);
  OptConstraint c(CaeString("c"), 0, nullptr, OptDisplacement, nullptr);
  OptConstraint d(CaeString("d"), 0, nullptr, OptDisplacement, nullptr);
  for (OptConstraint* k : {&a, &b, &c, &d}) model.AddConstraint(k);
  EXPECT_EQ(a.Owner(), &model);
  model.RemoveConstraint(&b);
  c.Deactivate();
  EXPECT_EQ(model.NumConstraints(), 3);

  auto walk = [&](int activeOnly) {
    std::vector<OptConstraint*> seen;
    for (OptConstraint* k = model.FirstConstraint(activeOnly); k; k = model.NextConstraint()) seen.push_back(k);
    return seen;
  };
  EXPECT_EQ(walk(0), (std::vector<OptConstraint*>{&a, &c, &d}));
  EXPECT_EQ(walk(1), (std::vector<OptConstraint*>{&a, &d}));

  // Moved to the position the other one had: from after it ends up before it, from before it
  // ends up after it.
  EXPECT_EQ(model.MoveConstraint(&d, &a), 1);
  EXPECT_EQ(walk(0), (std::vector<OptConstraint*>{&d, &a, &c}));
  EXPECT_EQ(model.MoveConstraint(&d, &c), 1);
  EXPECT_EQ(walk(0), (std::vector<OptConstraint*>{&a, &c, &d}));
  OptConstraint stranger;
  EXPECT_EQ(model.MoveConstraint(&stranger, &a), 0);
  EXPECT_EQ(model.MoveConstraint(&a, &stranger), 0);
  EXPECT_EQ(walk(0), (std::vector<OptConstraint*>{&a, &c, &d}));

  // A move during a walk ends the walk instead of leaving it on a moved node.
  EXPECT_EQ(model.FirstConstraint(0), &a);
  model.MoveConstraint(&a, &d);
  EXPECT_EQ(model.NextConstraint(), nullptr);
}

TEST_F(OptModelTest, ResultCasesAreNamedOwnedAndPrepared) {
  AnlControl control;
  control.SetCurrent();
  control.NewOptVariable(CaeString("width"));
  OptModel model(CaeString("Study"));
  OptObjective objective(CaeString(), OptMass);
  model.SetObjective(&objective);
  OptConstraint limit(CaeString("limit"), 0, nullptr, OptStress, nullptr);
  limit.SetBounds(-OptBounds::kUnbounded, 2.5e8);
  model.AddConstraint(&limit);
  AnlResltCase statics(CaeString("Static"));
  model.AddAnlResultCase(&statics);

  OptResultCase* first = model.NewOptResultCase(CaeString("job1"), CaeString("Run1"));
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->AnlJobName(), "job1");
  EXPECT_EQ(first->Owner(), &model);
  EXPECT_EQ(first->ExitCode(), 0) << "a run that has not ended";
  EXPECT_EQ(first->Initialized(), 0) << "nothing has been read from a results file";
  ASSERT_NE(first->Objective(), nullptr);
  EXPECT_EQ(first->Objective()->Name(), objective.Name());
  EXPECT_EQ(first->Objective()->responseText, "mass");
  ASSERT_EQ(first->NumResultVariable(), 1);
  EXPECT_EQ(first->ResultVariable(0)->Name(), "width");
  ASSERT_EQ(first->NumResultConstraint(), 1);
  EXPECT_EQ(first->ResultConstraint(0)->upper, 2.5e8);
  EXPECT_EQ(first->ResultConstraint(0)->anlRCName, "Static") << "a constraint in no case is evaluated on all";
  EXPECT_EQ(first->ResultConstraint(0)->responseText, "stress");
  double lower = 0, upper = 0;
  limit.Bounds(lower, upper);
  EXPECT_EQ(upper, 2.5e8) << "preparing a result case leaves the constraint's bounds alone";
  EXPECT_EQ(first->ResultConstraint(1), nullptr);

  OptResultCase* second = model.NewOptResultCase(CaeString("job2"), CaeString("Run2"));
  EXPECT_EQ(model.FindOptResultCase(CaeString("Run2")), second);
  EXPECT_EQ(model.FindOptResultCase(CaeString("run2")), nullptr) << "names compare exactly";
  model.SetCurrentOptResultCase(second);
  model.RemoveOptResultCase(second);
  EXPECT_EQ(model.CurrentOptResultCase(), nullptr);
  EXPECT_EQ(model.NumOptResultCases(), 2) << "erased result cases are still counted";
  EXPECT_EQ(model.FirstOptResultCase(1), first);
  EXPECT_EQ(model.NextOptResultCase(), nullptr);
}

TEST_F(OptModelTest, FunctionResultCasesAreListedOnce) {
  OptObjective objective;
  AnlResltCase stress(CaeString("Stress")), modal(CaeString("Modal"));
  objective.AddAnlResultCase(&stress);
  objective.AddAnlResultCase(&modal);
  objective.AddAnlResultCase(&stress);
  EXPECT_EQ(objective.FirstAnlResultCase(), &stress);
  objective.RemoveAnlResultCase(&stress);  // during the walk
  EXPECT_EQ(objective.NextAnlResultCase(), nullptr);
  EXPECT_EQ(objective.FirstAnlResultCase(), &modal);
  EXPECT_EQ(objective.NextAnlResultCase(), nullptr);
}

TEST_F(OptModelTest, ResultRecordsByCycle) {
  OptResultCase rc(CaeString("Run"));
  OptResultData* objective = rc.NewObjective();
  objective->SetValue(0, 10.0);
  objective->SetValue(3, 7.0);
  EXPECT_EQ(rc.Objective(0), 10.0);
  EXPECT_EQ(rc.Objective(2), 0.0);
  EXPECT_EQ(rc.Objective(3), 7.0);
  EXPECT_EQ(rc.Objective(99), 0.0);
  EXPECT_EQ(rc.MaxConstraint(0), 0.0) << "no maximum-constraint record";
}

// Values of one series of a graph.
std::vector<double> SeriesValues(const CaeGraph& graph, int series) {
  std::vector<double> ys;
  const CaePolyLine* line = graph.GetPolyLine(series);
  for (int i = 0; line && i < line->NumPoints(); ++i) {
    double x = 0, y = 0;
    line->GetPoint(x, y, i);
    EXPECT_EQ(x, i) << "x is the design cycle";
    ys.push_back(y);
  }
  return ys;
}

TEST_F(OptModelTest, HistoryGraphsScaleTheRecordedValues) {
  OptResultCase rc(CaeString("Run"));
  EXPECT_EQ(rc.ObjectiveHistory(0, 1.0), nullptr) << "no records, no graph";
  OptResultData* objective = rc.NewObjective();
  objective->Name(CaeString("Objective"));
  for (int c = 0; c < 3; ++c) objective->SetValue(c, 8.0 - 2.0 * c);  // 8, 6, 4
  OptResultData* width = rc.NewResVariable();
  width->Name(CaeString("width"));
  width->lower = 1.0;
  width->upper = 5.0;
  width->SetValue(0, 1.0);
  width->SetValue(1, 3.0);
  OptResultData* height = rc.NewResVariable();
  height->Name(CaeString("height"));
  height->SetValue(0, 2.0);  // unbounded: range scaling cannot apply
  OptResultData* stress = rc.NewResConstraint();
  stress->upper = 200.0;
  stress->SetValue(0, 100.0);
  stress->SetValue(1, 300.0);

  struct Case {
    const char* what;
    std::unique_ptr<CaeGraph> graph;
    int series;
    std::vector<double> ys;
  };
  CaeArray<int> second{1};
  Case cases[] = {
      {"objective, true", std::unique_ptr<CaeGraph>(rc.ObjectiveHistory(0, 0.0)), 0, {8, 6, 4}},
      {"objective, to optimum", std::unique_ptr<CaeGraph>(rc.ObjectiveHistory(2, 0.0)), 0, {2, 1.5, 1}},
      {"objective, to a value", std::unique_ptr<CaeGraph>(rc.ObjectiveHistory(3, 2.0)), 0, {4, 3, 2}},
      {"objective, to zero", std::unique_ptr<CaeGraph>(rc.ObjectiveHistory(3, 0.0)), 0, {8, 6, 4}},
      {"variables, in bounds", std::unique_ptr<CaeGraph>(rc.VariableHistory(nullptr, 1, 0.0)), 0, {0, 0.5}},
      {"unbounded variable", std::unique_ptr<CaeGraph>(rc.VariableHistory(nullptr, 1, 0.0)), 1, {2}},
      {"selected variable", std::unique_ptr<CaeGraph>(rc.VariableHistory(&second, 0, 0.0)), 0, {2}},
      {"constraint feasibility", std::unique_ptr<CaeGraph>(rc.ConstraintHistory(nullptr, 1)), 0, {0.5, 1.5}},
  };
  for (Case& c : cases) {
    ASSERT_NE(c.graph, nullptr) << c.what;
    EXPECT_EQ(SeriesValues(*c.graph, c.series), c.ys) << c.what;
  }
  EXPECT_EQ(cases[6].graph->NumPolyLine(), 1);
  EXPECT_EQ(cases[6].graph->GetPolyLine(0)->Name(), "height");
  EXPECT_EQ(rc.MaxConstraintHistory(), nullptr) << "no maximum-constraint record";
  EXPECT_EQ(rc.ObjectiveSensitivityGraph(nullptr, 0, 1.0), nullptr) << "no sensitivities before results are read";
}

// Membership is in the model's analysis result cases; erased cases drop out of the rebuild, and
// removing all ends even though the walk passes over erased cases.
TEST_F(OptModelTest, ConstraintMembershipInAnalysisResultCases) {
  OptModel model;
  OptConstraint k(CaeString("k"), 0, nullptr, OptStress, nullptr);
  model.AddConstraint(&k);
  AnlResltCase a(CaeString("a")), b(CaeString("b")), other(CaeString("other"));
  model.AddAnlResultCase(&a);
  model.AddAnlResultCase(&b);
  EXPECT_EQ(k.InAnyResultCase(), 0);
  k.AddToAllResultCases();
  k.AddToResultCase(&a);
  EXPECT_EQ(k.InResultCase(&a), 1);
  EXPECT_EQ(k.InResultCase(&b), 1);
  k.AddToResultCase(&other);
  k.BuildResultCaseList();
  EXPECT_EQ(k.InResultCase(&other), 0) << "not a case of the owner model";
  model.RemoveAnlResultCase(&b);
  k.BuildResultCaseList();
  EXPECT_EQ(k.InResultCase(&b), 0) << "erased result cases drop out";
  EXPECT_EQ(k.InResultCase(&a), 1);
  k.RemoveFromAllResultCases();
  EXPECT_EQ(k.InAnyResultCase(), 0);
}

TEST_F(OptModelTest, JobsByDeckAndIndex) {
  OptModel model;
  AnlDrvJob first, second;
  first.Create(CaeString("/tmp/study/job1"));
  second.Create(CaeString("/tmp/study/job2"));
  model.AddJob(&first);
  model.AddJob(&second);
  EXPECT_EQ(model.FindJob(CaeString("/tmp/study/job2.inp")), &second);
  EXPECT_EQ(model.FindJob(CaeString("job2.inp")), nullptr);
  model.RemoveJob(&first);
  EXPECT_EQ(model.NumJobs(), 2);
  EXPECT_EQ(model.Job(0), nullptr) << "an erased job reads as none";
  EXPECT_EQ(model.Job(1), &second);
  EXPECT_THROW(model.Job(2), CaeExcept);
  EXPECT_THROW(model.Job(-1), CaeExcept);
}

TEST_F(OptModelTest, CheckModelHeadingThenFindings) {
  AnlControl control;
  control.SetCurrent();
  OptModel shape;
  CaeArray<CaeString> messages;
  CaeArray<std::uint32_t> codes;
  EXPECT_EQ(shape.CheckModel(messages, &codes), 0);
  EXPECT_EQ(std::vector<std::uint32_t>(codes.Data(), codes.Data() + codes.Count()),
            (std::vector<std::uint32_t>{0xc0001002, 0xc000101b, 0xc0001003, 0xc0001012}));
  EXPECT_EQ(messages.Count(), 4);
  EXPECT_EQ(messages[2], CaeMsgTxt::GetMessage(0xc0001003));

  OptModel concept_;  // Concept runs need no design variables
  concept_.Type(CaeOptConcept);
  AnlModel anl(CaeString("m"), AnlStress);
  OptObjective objective;
  concept_.SetAnlModel(&anl);
  concept_.SetObjective(&objective);
  CaeArray<CaeString> passed;
  EXPECT_EQ(concept_.CheckModel(passed), 1);
  EXPECT_EQ(passed.Count(), 0) << "a passed check says nothing";

  shape.SetAnlModel(&anl);
  shape.SetObjective(&objective);
  control.NewOptVariable(CaeString("width"));
  CaeArray<CaeString> again;
  CaeArray<std::uint32_t> againCodes;
  EXPECT_EQ(shape.CheckModel(again, &againCodes), 1);
  EXPECT_EQ(again.Count(), 0);
  EXPECT_EQ(againCodes.Count(), 0);
}

TEST_F(OptModelTest, SolverOperationsReportThatTheyAreNotAvailable) {
  OptModel model;
  std::unique_ptr<AnlWriter> writer(model.DeckWriter(0));
  ASSERT_NE(writer, nullptr);
  CaeString message;
  EXPECT_EQ(writer->Write(CaeString("study.inp"), message), 0) << "an optimisation deck has no model to write";
  EXPECT_FALSE(message.IsEmpty());
  OptResultCase rc(CaeString("Run"));
  EXPECT_EQ(rc.ProcessResults(), 0);
  EXPECT_EQ(rc.ExitCode(), 0) << "nothing pretends that the run ended";
  EXPECT_EQ(rc.InitializeData(), 0) << "no history file";
  EXPECT_EQ(rc.Initialized(), 0);
  EXPECT_EQ(rc.SaveData(CaeString("/nonexistent-folder/x.opt")), 0) << "an unwritable history file";
  EXPECT_EQ(Messages().size(), 3u);
  for (const LoggedMessage& m : Messages()) EXPECT_EQ(m.level, 1);
}

}  // namespace
