// The results-display functions over the engine's results state: the default display of each
// analysis type, how often the view is redrawn, the bare mesh, the current result set, the window
// rule, loading a job's results (and keeping the job when there are none), the default
// allowable, the animation settings, and the job-state queries.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "amg/CaeExcept.h"
#include "amg/CaeList.h"
#include "amg/CaeMaterial.h"
#include "fea/AmgMesh.h"
#include "fea/AnlControl.h"
#include "fea/AnlJob.h"
#include "fea/AnlModel.h"
#include "fea/CaeElem.h"
#include "fea/FerResult.h"
#include "fea/FerState.h"
#include "fea/OptModel.h"
#include "fev/FerWndOGLDisp.h"
#include "gui/utils/UIFerSAPI.h"
#include "gui/utils/UIResults.h"
#include "mfc/winapi.h"
#include "mfc/wnd.h"
#include "test_env.h"
#include "uis_fixture.h"

namespace {

using uistest::FrameTest;
using uistest::RecordingCad;

// A CAD that selects models by name as the drawing does.
class ModelCad : public RecordingCad {
 public:
  int SelectOrCreateModel(const char* name, int type) override {
    AnlControl* control = AnlControl::GetCurrent();
    for (AnlModel* model = control->FirstAnlModel(); model; model = control->NextAnlModel())
      if (!model->IsMarkedAsErased() && model->Name() == CaeString(name)) {
        control->SetCurrentAnlModel(model);
        return 1;
      }
    control->SetCurrentAnlModel(control->NewAnlModel(name, static_cast<AnlType>(type < 0 ? 0 : type)));
    return 0;
  }
};

// A set with a one-element mesh and the results a solver gives for the type.
FerResultSet* AddSet(AnlModel& model, const char* name, AnlType type, int subsets = 1) {
  FerResultSet* set = model.NewResultSet(CaeString(name));
  auto mesh = std::make_shared<FerMesh>();
  mesh->nodeIds = {1, 2, 3, 4};
  mesh->coordinates = {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1};
  mesh->elementIds = {1};
  mesh->elementTypes = {FerMesh::kTet4};
  mesh->elementStarts = {0, 4};
  mesh->elementNodes = {1, 2, 3, 4};
  set->SetMesh(mesh);
  set->SetAnalType(type);
  set->Modal(type == AnlVibration || type == AnlBuckling);
  const std::vector<long> ids = {1, 2, 3, 4};
  auto add = [&](int quantity, int components) {
    auto* result = new FerResult(quantity);
    for (int s = 0; s < subsets; ++s) result->SetNodalData(s, ids, std::vector<double>(4 * components, 1.0 + s));
    set->AddResult(result);
  };
  if (type == AnlHeatTransfer) {
    add(FerQtyTemperature, 1);
  } else {
    add(FerQtyStress, 10);
    add(FerQtyDisplacement, 4);
  }
  for (int s = 0; s < subsets; ++s) set->AddSubSet(new FerResultSubSet(100.0 * (s + 1)));
  return set;
}

class ResultsDisplayTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    control.SetCurrent();
    FerState::SetState(&state);
    state.SetInterface(&ferInterface);
    FerDisplay::SetCurrent(&display);
  }
  void TearDown() override {
    FerDisplay::UnSetCurrent(&display);
    FerState::SetState(nullptr);
    FrameTest::TearDown();
  }
  const FerDispSettings& Settings() const { return display.Settings(); }

  AnlControl control{"bracket"};
  ModelCad cad;
  CaeFerInterface ferInterface;
  FerState state;
  FerWndOGLDisp display;
};

TEST_F(ResultsDisplayTest, TheFirstSetShownGetsTheDefaultDisplayOfItsType) {
  struct Case {
    AnlType type;
    int quantity;
    int component;
    int deformed;
  };
  const Case cases[] = {
      {AnlStress, FerQtyStress, 1, 1},
      {AnlVibration, FerQtyDisplacement, 8, 1},
      {AnlBuckling, FerQtyDisplacement, 8, 1},
      {AnlHeatTransfer, FerQtyTemperature, 1, 0},
  };
  for (const Case& c : cases) {
    AnlModel* model = control.NewAnlModel(CaeString::Format("Model%d", c.type), c.type);
    FerResultSet* set = AddSet(*model, "Results", c.type, 3);
    control.ClearCurrentResultSet();
    FerDispSettings empty;
    display.SetSettings(empty);
    const int redraws = display.RedrawCount();
    UIShowResultSet(set, model, 1);
    EXPECT_EQ(Settings().GetResultSet(), "Results") << c.type;
    EXPECT_EQ(Settings().GetResultSubSet(), 1) << c.type;
    EXPECT_EQ(Settings().GetColorSettings().GetResult(), c.quantity) << c.type;
    EXPECT_EQ(Settings().GetColorSettings().GetComponent(), c.component) << c.type;
    EXPECT_EQ(Settings().GetDeformedSettings().IsVisible(), c.deformed) << c.type;
    EXPECT_EQ(display.RedrawCount(), redraws + 1) << "one redraw, after the last change: " << c.type;
    EXPECT_EQ(control.CurrentResultSet(), set);
    EXPECT_TRUE(display.Picture().legend.banded) << c.type;
  }
}

TEST_F(ResultsDisplayTest, ChangesRedrawOnlyWhenAskedAndTheBareMeshKeepsTheUsersSettings) {
  AnlModel* model = control.NewAnlModel(CaeString("Beam"), AnlVibration);
  FerResultSet* set = AddSet(*model, "Modes", AnlVibration, 3);
  UIShowResultSet(set, model, 1);
  const int afterFirst = display.RedrawCount();

  // A user's choice survives a second showing, which only redraws.
  FerDispSettings chosen = Settings();
  FerColorSetting color = chosen.GetColorSettings();
  color.SetNumberIntervals(5);
  chosen.SetColorSettings(color);
  display.SetSettings(chosen);
  UIShowResultSet(set, model, 1);
  EXPECT_EQ(display.RedrawCount(), afterFirst + 1);
  EXPECT_EQ(Settings().GetColorSettings().GetNumberIntervals(), 5);

  struct Step {
    const char* what;
    void (*run)();
    int redraws;
  };
  const Step steps[] = {
      {"set subset", [] { UISetResultSubSet(2); }, 0},
      {"animation settings", [] { UISetAnimationSettings(-1, 24, 5.0); }, 0},
      {"default without redraw", [] { UISetDefaultColorDisplay(1, 0); }, 0},
      {"show subset", [] { UIShowResultSubSet(3); }, 1},
      {"animate", [] { UIAnimate(1); }, 1},
      {"plain model", [] { UIShowPlainModel(1); }, 1},
  };
  for (const Step& step : steps) {
    const int before = display.RedrawCount();
    step.run();
    EXPECT_EQ(display.RedrawCount(), before + step.redraws) << step.what;
  }
  EXPECT_EQ(UIGetResultSubSet(), 3);
  // The bare mesh was drawn without bands; the stored settings still show colours.
  EXPECT_FALSE(display.Picture().legend.banded);
  EXPECT_EQ(Settings().GetColorSettings().IsVisible(), 1);
  int repetitions = 0, frames = 0, kind = 0, modal = 0;
  double speed = 0;
  UIGetAnimationSettings(repetitions, frames, speed, kind, modal);
  EXPECT_EQ(frames, 24);
  EXPECT_DOUBLE_EQ(speed, 5.0);
  EXPECT_EQ(kind, 1);
  EXPECT_EQ(modal, 1);
  EXPECT_EQ(state.IsAnimating(), 1);
}

// Gives the model a sub-model meshed with two tetrahedra on five nodes (the sets above have four).
void MeshModel(AnlModel& model) {
  AnlSubModel* sub = model.NewSubModel();
  AmgMesh* mesh = model.NewMesh(nullptr);
  sub->SetMesh(mesh);
  std::vector<CaeNode*> nodes;
  CaeList<CaeNode> nodeList;
  const double at[5][3] = {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}, {0, 0, 2}, {2, 2, 2}};
  for (int i = 0; i < 5; ++i) {
    nodes.push_back(new CaeNode(CaeVector(at[i][0], at[i][1], at[i][2]), 1 + i));
    nodeList.Append(nodes.back());
  }
  CaeList<CaeElem> elements;
  elements.Append(CaeElem::Create(nodes.data(), 4, CaeElemSolid, CaeShapeTri, CaeElemLinear, 1));
  elements.Append(CaeElem::Create(nodes.data() + 1, 4, CaeElemSolid, CaeShapeTri, CaeElemLinear, 2));
  mesh->AddNodes(nodeList);
  mesh->AddElements(elements);
}

TEST_F(ResultsDisplayTest, ThePlainModelIsTheModelsOwnMeshNotTheSets) {
  AnlModel* model = control.NewAnlModel(CaeString("Beam"), AnlStress);
  FerResultSet* set = AddSet(*model, "Static", AnlStress);
  MeshModel(*model);
  UIShowResultSet(set, model, 1);
  ASSERT_EQ(display.Picture().nodesDrawn, 4);

  UIShowPlainModel(1);
  EXPECT_EQ(display.Picture().nodesDrawn, 5) << "the model's five nodes, not the set's four";
  EXPECT_FALSE(display.Picture().legend.banded);
  EXPECT_EQ(display.Picture().status, "Model: Beam");
  // The next ordinary redraw shows the set with the user's settings again.
  UIShowResultSubSet(1);
  EXPECT_EQ(display.Picture().nodesDrawn, 4);
  EXPECT_TRUE(display.Picture().legend.banded);

  // A model without a mesh says so and draws nothing.
  AnlModel* bare = control.NewAnlModel(CaeString("Bare"), AnlStress);
  FerResultSet* other = AddSet(*bare, "Other", AnlStress);
  UIShowResultSet(other, bare, 1);
  UIShowPlainModel(0);
  EXPECT_EQ(display.Picture().nodesDrawn, 0);
  EXPECT_EQ(display.Picture().status, "The model \"Bare\" has no mesh to draw.");
}

// The animation runs on the results window's own timer: one frame per tick at the speed limit,
// each frame the mode shape at its swing; it stops when asked, or by itself after its repetitions.
TEST_F(ResultsDisplayTest, TheAnimationRunsFrameByFrameOnTheWindowsTimerAndStops) {
  mfc::useTestClock(true);
  AnlModel* model = control.NewAnlModel(CaeString("Beam"), AnlVibration);
  FerResultSet* set = AddSet(*model, "Modes", AnlVibration, 1);
  // Only the fourth node moves: the frames differ in shape, not only in place.
  set->FindResult(FerQtyDisplacement)
      ->SetNodalData(0, {1, 2, 3, 4}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.5, 0, 0, 0.5});
  UIShowResultSet(set, model, 1);
  ASSERT_NE(display.GetDisplayHandle(), nullptr);
  const double full = display.Picture().deformationScale;
  ASSERT_GT(full, 0.0);
  UISetAnimationSettings(-1, 4, 10.0);  // endless, four frames, at most ten a second

  UIAnimate(1);
  EXPECT_TRUE(display.AnimationTimerRunning());
  mfc::advanceClock(99);
  mfc::pumpMessages();
  EXPECT_EQ(display.AnimationFramesShown(), 0) << "no frame before the speed limit allows one";
  // A full cycle swings through cos(2 pi i / 4): frames 1, 2, 3, 0.
  const double swing[] = {0.0, -1.0, 0.0, 1.0};
  std::vector<std::vector<std::uint8_t>> pictures;
  for (double factor : swing) {
    mfc::advanceClock(100);
    mfc::pumpMessages();
    EXPECT_NEAR(display.Picture().deformationScale, factor * full, 1e-9 * full) << "factor " << factor;
    pictures.push_back(display.Picture().image.rgb);
  }
  EXPECT_EQ(display.AnimationFramesShown(), 4);
  EXPECT_NE(pictures[1], pictures[3]) << "swung the other way";
  EXPECT_EQ(pictures[0], pictures[2]) << "both at rest";

  // Stopped: the clock moves on, the picture stays.
  state.AnimateStop();
  EXPECT_FALSE(display.AnimationTimerRunning());
  mfc::advanceClock(1000);
  mfc::pumpMessages();
  EXPECT_EQ(display.AnimationFramesShown(), 4);

  // Forward only, twice: the shape grows (i + 1) / 4 and the animation ends after eight frames.
  UISetAnimationSettings(2, 4, 10.0);
  UIAnimate(0);
  std::vector<double> scales;
  for (int tick = 0; tick < 12; ++tick) {
    mfc::advanceClock(100);
    mfc::pumpMessages();
    scales.push_back(display.Picture().deformationScale / full);
  }
  EXPECT_EQ(display.AnimationFramesShown(), 4 + 8);
  EXPECT_FALSE(display.AnimationTimerRunning());
  EXPECT_EQ(state.IsAnimating(), 0);
  const double grows[] = {0.5, 0.75, 1.0, 0.25, 0.5, 0.75, 1.0, 0.25};  // it went on from frame 0
  for (int i = 0; i < 8; ++i) EXPECT_NEAR(scales[i], grows[i], 1e-9) << i;
  EXPECT_NEAR(scales[11], scales[7], 1e-12) << "the last frame stays shown";

  // Done: the view shows the plain result again.
  state.AnimateDone();
  UIShowResultSubSet(1);
  EXPECT_NEAR(display.Picture().deformationScale, full, 1e-9 * full);
  mfc::useTestClock(false);
}

// A step history animates through its steps; a modal or static set swings its shape.
TEST_F(ResultsDisplayTest, AStepHistoryAnimatesThroughItsSteps) {
  FerResultSet steps;
  steps.AddSubSet(new FerResultSubSet(1.0));
  steps.AddSubSet(new FerResultSubSet(2.0));
  steps.AddSubSet(new FerResultSubSet(3.0));
  for (int frame = 0; frame < 6; ++frame) {
    const FerState::AnimationFrameView view = FerState::FrameView(frame, 6, 1, steps);
    EXPECT_EQ(view.subset, frame % 3 + 1) << frame;
    EXPECT_EQ(view.factor, 1.0) << frame;
  }
  steps.Modal(1);
  EXPECT_EQ(FerState::FrameView(2, 4, 1, steps).subset, 0) << "modes swing, they do not step";
  EXPECT_NEAR(FerState::FrameView(2, 4, 1, steps).factor, -1.0, 1e-12);
  EXPECT_NEAR(FerState::FrameView(2, 4, 0, steps).factor, 0.75, 1e-12);
}

TEST_F(ResultsDisplayTest, TheWindowActiveOnEntryIsActiveAgain) {
  CWnd caller;
  ASSERT_TRUE(caller.CreateEx(0, "Caller", "Caller", WS_VISIBLE, CRect(0, 0, 100, 100), nullptr, 0));
  ::SetActiveWindow(caller.GetSafeHwnd());
  AnlModel* model = control.NewAnlModel(CaeString("Bar"), AnlStress);
  FerResultSet* set = AddSet(*model, "Static", AnlStress);
  UIShowResultSet(set, model, 0);
  ASSERT_NE(display.GetDisplayHandle(), nullptr);
  EXPECT_TRUE(::IsWindowVisible(display.GetDisplayHandle()));
  EXPECT_EQ(::GetActiveWindow(), caller.GetSafeHwnd());
  caller.DestroyWindow();
}

TEST_F(ResultsDisplayTest, AJobWithoutResultsIsKeptAndAJobWithResultsBecomesTheCurrentSet) {
  AnlModel* model = control.NewAnlModel(CaeString("Beam"), AnlStress);
  kestrum::test::TempDir dir;
  AnlJob* missing = model->NewJob();
  missing->Create(CaeString((dir / "nothing").string()));
  UIShowJobResults(missing, model, 1, 1);
  EXPECT_FALSE(missing->IsMarkedAsErased()) << "the results are not lost with the job";
  EXPECT_EQ(model->NumResultSets(), 0);
  EXPECT_TRUE(!display.GetDisplayHandle() || !::IsWindowVisible(display.GetDisplayHandle())) << "nothing shown";

  AnlJob* job = model->NewJob();
  job->Create(CaeString(kestrum::test::sourcePath("data/results/static_beam").string()));
  job->AddResltCaseNames(CaeString("Run1"), CaeString("Static1"));
  UIShowJobResults(job, model, 1, 0);
  EXPECT_TRUE(job->IsMarkedAsErased());
  FerResultSet* set = model->FindResultSet(CaeString("Static1"));
  ASSERT_NE(set, nullptr);
  EXPECT_EQ(control.CurrentResultSet(), set);
  EXPECT_EQ(Settings().GetResultSet(), "Static1");
  ASSERT_NE(display.GetDisplayHandle(), nullptr) << "the window exists";
  EXPECT_FALSE(::IsWindowVisible(display.GetDisplayHandle())) << "but stays hidden without the show flag";
  EXPECT_EQ(UIGetResultsState(), 2);
  EXPECT_EQ(UIGetCurrentResultSet(), set);
}

// An optimisation job's results go to the simulation model of the result case that ran it; the
// case becomes current, the job is removed, the window exists but stays hidden and undrawn.
TEST_F(ResultsDisplayTest, AnOptimisationJobsResultsGoToTheModelOfItsCase) {
  AnlModel* model = control.NewAnlModel(CaeString("Bracket"), AnlStress);
  control.NewAnlModel(CaeString("Elsewhere"), AnlStress);  // current until the case's model is opened
  OptModel opt(CaeString("Shape"));
  opt.NewOptResultCase(CaeString("another_run"), CaeString("Other"));
  // The case knows the job by its base name (the path without the extension).
  const CaeString jobBase(kestrum::test::sourcePath("data/results/static_beam").string());
  OptResultCase* ran = opt.NewOptResultCase(jobBase, CaeString("Run"));
  ran->SetResultAnlModel(model);
  AnlJob* job = model->NewJob();
  job->Create(jobBase);
  job->AddResltCaseNames(CaeString("Run1"), CaeString("Cycle1"));
  opt.AddJob(job);
  const int redraws = display.RedrawCount();

  // A run whose results file is missing answers no case and keeps its job.
  kestrum::test::TempDir dir;
  const CaeString missingBase((dir / "missing").string());
  opt.NewOptResultCase(missingBase, CaeString("Missing"))->SetResultAnlModel(model);
  AnlJob* missing = model->NewJob();
  missing->Create(missingBase);
  opt.AddJob(missing);
  EXPECT_EQ(UIShowOptJobResults(missing, &opt, 1), nullptr);
  EXPECT_FALSE(missing->IsMarkedAsErased());
  EXPECT_EQ(model->NumResultSets(), 0);

  EXPECT_EQ(UIShowOptJobResults(job, &opt, 1), ran);
  EXPECT_EQ(opt.CurrentOptResultCase(), ran);
  EXPECT_EQ(control.CurrentAnlModel(), model);
  EXPECT_TRUE(job->IsMarkedAsErased());
  FerResultSet* set = model->FindResultSet(CaeString("Cycle1"));
  ASSERT_NE(set, nullptr);
  EXPECT_EQ(Settings().GetResultSet(), "Cycle1");
  EXPECT_EQ(Settings().GetResultSubSet(), 1);
  EXPECT_EQ(Settings().GetColorSettings().GetResult(), FerQtyStress) << "the default display of a stress model";
  ASSERT_NE(display.GetDisplayHandle(), nullptr);
  EXPECT_FALSE(::IsWindowVisible(display.GetDisplayHandle()));
  EXPECT_EQ(display.RedrawCount(), redraws) << "the result pages draw what they need later";
}

// A job no result case ran, or whose case ended with an error, is refused: the job stays and no
// set is made.
TEST_F(ResultsDisplayTest, AnOptimisationJobWithoutAGoodCaseIsRefusedAndKept) {
  AnlModel* model = control.NewAnlModel(CaeString("Bracket"), AnlStress);
  kestrum::test::TempDir dir;
  auto base = [&](const char* name) { return CaeString((dir / name).string()); };
  OptModel opt(CaeString("Shape"));
  OptResultCase* failed = opt.NewOptResultCase(base("failed_run"), CaeString("Failed"));
  failed->SetResultAnlModel(model);
  failed->SetExitCode(3);
  OptResultCase* erased = opt.NewOptResultCase(base("erased_run"), CaeString("Erased"));
  erased->SetResultAnlModel(model);
  erased->MarkAsErased();
  opt.NewOptResultCase(CaeString("good_run"), CaeString("Good"))->SetResultAnlModel(model);  // a name, not a path
  struct Case {
    const char* what;
    const char* jobName;
  };
  const Case cases[] = {{"no case ran it", "nobody"},
                        {"its case failed", "failed_run"},
                        {"its case is erased", "erased_run"},
                        {"a case names it without its folder", "good_run"}};
  for (const Case& c : cases) {
    std::filesystem::copy_file(kestrum::test::sourcePath("data/results/static_beam.frd"),
                               dir / (std::string(c.jobName) + ".frd"),
                               std::filesystem::copy_options::overwrite_existing);
    AnlJob* job = model->NewJob();
    job->Create(CaeString((dir / c.jobName).string()));
    opt.AddJob(job);
    EXPECT_THROW(UIShowOptJobResults(job, &opt, 1), CaeExcept) << c.what;
    EXPECT_FALSE(job->IsMarkedAsErased()) << c.what;
    EXPECT_EQ(model->NumResultSets(), 0) << c.what;
  }
}

TEST_F(ResultsDisplayTest, TheDefaultAllowableIsTheUltimateStressAtTheFirstTemperature) {
  AnlModel* model = control.NewAnlModel(CaeString("Bar"), AnlStress);
  control.SetCurrentAnlModel(model);
  EXPECT_DOUBLE_EQ(UIGetDefaultAllowable(), 0.0) << "no part";
  AnlSubModel* part = model->NewSubModel();
  EXPECT_DOUBLE_EQ(UIGetDefaultAllowable(), 0.0) << "no material";
  auto* steel = new CaeMaterial(CaeString("Steel"));
  // More rows than there are properties: every temperature is read.
  for (int row = 0; row < 12; ++row)
    steel->AddProp(293.0 + 10 * row, 7850, 210e9, 0.3, 250e6, 400e6 - row * 1e6, 50, 1.2e-5, 460);
  part->AssignMaterial(steel);  // the part owns it
  EXPECT_DOUBLE_EQ(UIGetDefaultAllowable(), 400e6);
}

TEST_F(ResultsDisplayTest, JobStateQueriesTakeTheFirstLiveJobInAnyFlaggedState) {
  EXPECT_EQ(UIFindModelJob(kUIJobFailed | kUIJobPending | kUIJobHasResults), nullptr) << "no model";
  EXPECT_EQ(UICountModelJobs(), 0);
  AnlModel* model = control.NewAnlModel(CaeString("Beam"), AnlStress);
  control.SetCurrentAnlModel(model);
  auto job = [&](AnlStatus status, bool erased) {
    AnlJob* made = model->NewJob();
    made->SetStatus(status);
    if (erased) made->MarkAsErased();
    return made;
  };
  AnlJob* erasedDone = job(AnlStatusDone, true);
  AnlJob* failed = job(AnlStatusFailed, false);
  AnlJob* pending = job(AnlStatusPending, false);
  AnlJob* done = job(AnlStatusDone, false);
  struct Case {
    int flags;
    AnlJob* expected;
  };
  const Case cases[] = {{kUIJobPending | kUIJobHasResults, pending},
                        {kUIJobFailed, failed},
                        {kUIJobHasResults, done},
                        {kUIJobFailed | kUIJobHasResults, failed},
                        {0, nullptr}};
  for (const Case& c : cases) EXPECT_EQ(UIFindModelJob(c.flags), c.expected) << c.flags;
  EXPECT_EQ(UICountModelJobs(), 3);
  EXPECT_NE(erasedDone, nullptr);
  EXPECT_EQ(UIGetResultsState(), 0) << "the newest pending job has no results yet, and there is no set";
}

}  // namespace
