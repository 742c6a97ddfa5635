#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "fea/AnlJob.h"
#include "fea/AnlModel.h"
#include "fea/OptModel.h"
#include "gui/dialogs/optimization/UIOptCommands.h"
#include "gui/explorer/UICommands.h"
#include "gui/wizard/UIAnalysisWizard.h"
#include "gui/wizard/UIWizard.h"
#include "uis_fixture.h"

namespace {

using uistest::FrameTest;
using uistest::RecordingCad;

TEST_F(FrameTest, TheMaterialsStepShowsNothing) {
  RecordingCad cad;
  EXPECT_EQ(UIRunMaterialsWizard(), 0);
  EXPECT_TRUE(cad.printed.empty()) << "the materials step shows nothing";
}

// Counts the results commands the entry-51 handler runs.
class ResultsCad : public RecordingCad {
 public:
  void RunResultsCommand() override { ++runs; }
  int runs = 0;
};

TEST_F(FrameTest, ResultsRequiredNeedsACurrentResultSet) {
  ResultsCad cad;
  ResourceSetter resources(1);
  EXPECT_EQ(UICmdResultsRequired(), 1);
  ASSERT_EQ(driver.boxes().size(), 1u);
  EXPECT_EQ(driver.boxes()[0].text, "An open model with results is required prior to issuing this command");
  EXPECT_EQ(cad.runs, 0);

  AnlControl control("part");
  control.SetCurrent();
  AnlModel* model = control.NewAnlModel("M", AnlStress);
  control.SetCurrentAnlModel(model);
  control.SetCurrentResultSet(model->NewResultSet("R"));
  EXPECT_EQ(UICmdResultsRequired(), 0);
  EXPECT_EQ(cad.runs, 1);
  EXPECT_EQ(driver.boxes().size(), 1u);
}

TEST_F(FrameTest, PickOptModelPrefersTheCurrentOneOfTheKind) {
  EXPECT_EQ(UIPickOptModel(2, 0), nullptr) << "no control";
  AnlControl control("part");
  control.SetCurrent();
  OptModel* shape = control.NewOptModel("Shape");
  OptModel* concept1 = control.NewOptModel("Concept1");
  concept1->Type(static_cast<CaeOptType>(1));
  OptModel* concept2 = control.NewOptModel("Concept2");
  concept2->Type(static_cast<CaeOptType>(1));

  EXPECT_EQ(UIPickOptModel(0, 0), shape);
  EXPECT_EQ(UIPickOptModel(1, 0), concept1);
  EXPECT_EQ(control.CurrentOptModel(), nullptr) << "flags 0 make nothing current";
  EXPECT_EQ(UIPickOptModel(1, 2), concept1);
  EXPECT_EQ(control.CurrentOptModel(), concept1);
  control.SetCurrentOptModel(concept2);
  EXPECT_EQ(UIPickOptModel(1, 0), concept2);
  EXPECT_EQ(UIPickOptModel(2, 0), concept2);
  EXPECT_EQ(UIPickOptModel(0, 0), shape);
}

TEST_F(FrameTest, NewestJobPassesOverErasedAndFailedJobs) {
  AnlJob oldest, failed, erased;
  oldest.SetStatus(AnlStatusDone);
  failed.SetStatus(AnlStatusFailed);
  erased.SetStatus(AnlStatusDone);
  erased.MarkAsErased();
  AnlControl control("part");
  control.SetCurrent();
  EXPECT_EQ(UINewestJob(0), nullptr);
  AnlModel* model = control.NewAnlModel("M", AnlStress);
  control.SetCurrentAnlModel(model);
  OptModel* optModel = control.NewOptModel("Shape");
  control.SetCurrentOptModel(optModel);
  for (AnlJob* job : {&oldest, &failed, &erased}) {
    model->AddJob(job);
    optModel->AddJob(job);
  }
  EXPECT_EQ(UINewestJob(0), &oldest);
  EXPECT_EQ(UINewestJob(1), &oldest);
  for (AnlJob* job : {&oldest, &failed, &erased}) optModel->RemoveJob(job);
  EXPECT_EQ(UINewestJob(1), nullptr);
}

TEST(GuideState, StepsAreRecordedResetSavedAndRestored) {
  UIClearWizardState();
  for (int step = 0; step < 8; ++step) UISetWizardTabState(step, 1, 1);
  UISetWizardTabState(8, 1);
  UISetWizardTabState(-1, 1);
  GuideDocState saved;
  saved.page = 4;
  UIRestoreWizardState(saved);
  for (int step = 0; step < 8; ++step) UISetWizardTabState(step, 1);
  UIResetWizardSteps(0);
  UISaveWizardState(saved);
  EXPECT_EQ(saved.page, 1) << "a remembered page goes back to the first task";
  const int expected[8] = {1, 0, 0, 0, 0, 0, 0, 0};
  for (int step = 0; step < 8; ++step) EXPECT_EQ(saved.steps[step], expected[step]) << step;
  EXPECT_EQ(UIGetWizardTabState(8), 0);

  GuideDocState other;
  other.steps[6] = 1;
  UIRestoreWizardState(other);
  EXPECT_EQ(UIGetWizardTabState(6), 1);
  EXPECT_EQ(UIGetWizardTabState(0), 0);
  UIClearWizardState();
}

}  // namespace
