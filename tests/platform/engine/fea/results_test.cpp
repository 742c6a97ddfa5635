// Results: result sets as data, the results state and display as current objects, the settings
// protocol, default display and animation.
#include "amg/CaeEngine.h"
#include "amg/CaeExcept.h"
#include "amg/CaeUnit.h"
#include "fea/FerResult.h"
#include "fea/FerState.h"
#include "fea_fixture.h"
#include "test_env.h"

#include <filesystem>
#include <memory>

namespace {

using ResultsTest = FeaTest;

TEST_F(ResultsTest, CurrentStateAndDisplayAreUnsetByTheirDestructors) {
  {
    FerState state;
    FerDisplay display;
    EXPECT_EQ(FerState::SetState(&state), nullptr);
    EXPECT_EQ(FerDisplay::SetCurrent(&display), nullptr);
    EXPECT_EQ(FerState::GetState(), &state);
    EXPECT_EQ(FerDisplay::GetCurrent(), &display);
  }
  EXPECT_EQ(FerState::GetState(), nullptr);
  EXPECT_EQ(FerDisplay::GetCurrent(), nullptr);

  FerDisplay kept;
  FerDisplay::SetCurrent(&kept);
  { FerDisplay other; }
  EXPECT_EQ(FerDisplay::GetCurrent(), &kept);
  FerDisplay::UnSetCurrent(nullptr);
  EXPECT_EQ(FerDisplay::GetCurrent(), &kept) << "only the current display unsets itself";
  FerDisplay::UnSetCurrent(&kept);
  EXPECT_EQ(FerDisplay::GetCurrent(), nullptr);
  FerDisplay::SetCurrent(&kept);
  EXPECT_EQ(FerDisplay::SetCurrent(nullptr), &kept) << "setting answers the display that was current";
  FerDisplay::SetCurrent(&kept);
  FerDisplay::UnSetCurrent();
  EXPECT_EQ(FerDisplay::GetCurrent(), nullptr);
}

TEST_F(ResultsTest, EngineResetUnsetsResultsObjects) {
  FerState state;
  FerDisplay display;
  FerState::SetState(&state);
  FerDisplay::SetCurrent(&display);
  CaeEngine::ResetState();
  EXPECT_EQ(FerState::GetState(), nullptr);
  EXPECT_EQ(FerDisplay::GetCurrent(), nullptr);
}

TEST_F(ResultsTest, SettingsProtocolDoesNotRedrawUntilAsked) {
  FerDisplay display;
  FerDisplay::SetCurrent(&display);
  FerState state;
  CaeFerInterface ferInterface;
  state.SetInterface(&ferInterface);

  FerDisplay* shown = nullptr;
  FerDispSettings settings;
  state.GetInterface()->GetFerSettings(shown, settings);
  ASSERT_EQ(shown, &display);
  FerColorSetting color = settings.GetColorSettings();
  color.SetRange(1.0, 5.0, 0.5);
  color.SetColorStyle(2);
  settings.SetColorSettings(color);
  settings.SetResultSubSet(3);
  state.GetInterface()->SetFerSettings(shown, settings);
  EXPECT_EQ(display.RedrawCount(), 0);

  double min = 0, max = 0, inc = 0;
  display.Settings().GetColorSettings().GetRange(min, max, inc);
  EXPECT_EQ(max, 5.0);
  EXPECT_EQ(display.Settings().GetColorSettings().GetColorStyle(), 2);
  EXPECT_EQ(display.Settings().GetResultSubSet(), 3);
  state.UpdateImage();
  EXPECT_EQ(display.RedrawCount(), 1);
}

TEST_F(ResultsTest, ColourStylesBeyondTheFourReadAsTheFirst) {
  FerColorSetting color;
  for (int style : {0, 1, 2, 3}) {
    color.SetColorStyle(style);
    EXPECT_EQ(color.GetColorStyle(), style);
  }
  for (int style : {4, 17, -1}) {
    color.SetColorStyle(style);
    EXPECT_EQ(color.GetColorStyle(), 0) << style;
  }
}

class OneSetInterface : public CaeFerInterface {
 public:
  FerResultSet* set = nullptr;
  FerResultSet* GetResultSet() override { return set; }
};

TEST_F(ResultsTest, DefaultDisplayPrefersDisplacementForModalSets) {
  FerDisplay display;
  FerDisplay::SetCurrent(&display);
  OneSetInterface ferInterface;
  FerState state;
  state.SetInterface(&ferInterface);
  EXPECT_EQ(state.DefaultDisplay(1), 0) << "no result set";

  FerResultSet set(CaeString("VibrationResultSet"));
  ferInterface.set = &set;
  EXPECT_EQ(state.DefaultDisplay(1), 0) << "no result";
  set.AddResult(new FerResult(FerQtyStress));
  set.AddResult(new FerResult(FerQtyDisplacement));
  EXPECT_EQ(state.DefaultDisplay(0), 1);
  EXPECT_EQ(display.Settings().GetColorSettings().GetResult(), FerQtyStress);
  EXPECT_EQ(display.RedrawCount(), 0);
  set.Modal(1);
  EXPECT_EQ(state.DefaultDisplay(1), 1);
  EXPECT_EQ(display.Settings().GetColorSettings().GetResult(), FerQtyDisplacement);
  EXPECT_EQ(display.Settings().GetResultSet(), "VibrationResultSet");
  EXPECT_EQ(display.RedrawCount(), 1);
}

TEST_F(ResultsTest, AnimationStepsWrapAroundTheFrames) {
  FerDisplay display;
  FerDisplay::SetCurrent(&display);
  FerDispSettings settings;
  FerAnimationSetting animation;
  animation.SetNumberFrames(3);
  settings.SetAnimationSettings(animation);
  display.SetSettings(settings);
  FerState state;
  state.AnimateInit();
  state.AnimateGo(1);
  EXPECT_EQ(state.IsAnimating(), 1);
  state.AnimateStep(-1);
  EXPECT_EQ(state.IsAnimating(), 0) << "stepping stops the animation";
  EXPECT_EQ(state.AnimationFrame(), 2);
  state.AnimateStep(1);
  state.AnimateStep(1);
  EXPECT_EQ(state.AnimationFrame(), 1);
  state.AnimateDone();
  EXPECT_EQ(state.IsAnimationInitialized(), 0);
  EXPECT_EQ(animation.GetNumberRepetitions(), -1) << "endless by default";
}

TEST_F(ResultsTest, ResultSetHoldsSubsetsAndResults) {
  FerResultSet set;
  EXPECT_EQ(set.Create(CaeString("BucklingResultSet")), 1);
  EXPECT_EQ(set.HasSubSets(), 0);
  set.AddSubSet(new FerResultSubSet(1.5));
  set.AddSubSet(new FerResultSubSet(3.25));
  set.SetSubSetUnits(CaeUtNone);
  EXPECT_EQ(set.NumSubSets(), 2);
  EXPECT_EQ(set.GetSubSet(1)->GetValue(), 3.25);
  EXPECT_EQ(set.GetSubSet(2), nullptr);
  auto* temperature = new FerFileResult(FerQtyTemperature);
  temperature->SetDataFileFromDB(CaeString("part/t.dat"));
  set.AddResult(temperature);
  set.AddResult(new FerResult(FerQtyDisplacement));
  EXPECT_EQ(set.FindResult(FerQtyTemperature), temperature);
  EXPECT_EQ(set.FindResult(FerQtyMaterial), nullptr);
  EXPECT_EQ(set.FirstResult(), temperature);
  EXPECT_EQ(set.NextResult()->QuantityType(), FerQtyDisplacement);
  EXPECT_EQ(set.NextResult(), nullptr);
  EXPECT_THROW(set.Create(CaeString("again")), CaeExcept) << "only an empty set is named by Create";
  EXPECT_EQ(set.Name(), "BucklingResultSet");
}

TEST_F(ResultsTest, ResultNamesAndQuantityTypes) {
  for (int type : {FerQtyStress, FerQtyStrain, FerQtyDisplacement, FerQtyTemperature, FerQtyHeatFlux, FerQtyMaterial}) {
    FerResult result(type);
    EXPECT_FALSE(result.Name().IsEmpty());
    EXPECT_EQ(FerResult::NameToType(result.Name()), type) << result.Name().Text();
  }
  EXPECT_EQ(FerResult::NameToType(CaeString("Nonsense")), 0);
  EXPECT_EQ(FerResult(FerQtyTemperature).UnitType(), CaeUtTemperature);
  FerResult displacement(FerQtyDisplacement);
  EXPECT_EQ(displacement.CompName(3), "Magnitude");
  EXPECT_TRUE(displacement.CompName(4).IsEmpty());
  EXPECT_TRUE(FerResult(FerQtyTemperature).CompName(1).IsEmpty()) << "the list ends at the first empty name";
}

TEST_F(ResultsTest, ComponentNamesEndAtTheFirstEmptyOne) {
  FerResult displacement(FerQtyDisplacement);
  CaeString names[FerResult::kMaxComponents];
  EXPECT_EQ(displacement.GetComponentNames(names, 0), 4);
  EXPECT_EQ(names[0], "X");
  EXPECT_TRUE(names[4].IsEmpty());
  EXPECT_TRUE(names[10].IsEmpty());
  EXPECT_EQ(displacement.GetComponentNames(names, 1), 4);
  EXPECT_EQ(names[0], "R");
  EXPECT_EQ(FerResult(FerQtyStress).GetComponentNames(names, 1), 10)
      << "equivalent, principal, then the six components";
  EXPECT_EQ(names[0], "Von Mises") << "the equivalent and principal names stay";
  EXPECT_EQ(names[9], "ZR") << "the shear components in cylindrical names";
  EXPECT_EQ(FerResult(0).GetComponentNames(names, 0), 0);
  EXPECT_TRUE(names[0].IsEmpty());
}

TEST_F(ResultsTest, DisplayKindsByQuantity) {
  struct Row {
    int type;
    int average, colors, deformation, symbol;
  };
  const Row rows[] = {
      {FerQtyStress, 1, 1, 0, 0},
      {FerQtyDisplacement, 0, 1, 1, 1},
      {FerQtyTemperature, 0, 1, 0, 0},
      {FerQtyHeatFlux, 1, 1, 0, 1},
      {0, 0, 0, 0, 0},
  };
  for (const Row& r : rows) {
    FerResult result(r.type);
    EXPECT_EQ(result.CanAverage(), r.average) << r.type;
    EXPECT_EQ(result.CanShowAsColors(), r.colors) << r.type;
    EXPECT_EQ(result.CanShowAsDeformation(), r.deformation) << r.type;
    EXPECT_EQ(result.CanShowAsSymbol(), r.symbol) << r.type;
  }
}

TEST_F(ResultsTest, ReadingWithoutAFileAndExportingWithoutADisplayedSetAreReported) {
  CaeFerInterface ferInterface;
  std::unique_ptr<FerReader> reader(ferInterface.Reader(CaeString("job.frd"), 0));
  ASSERT_NE(reader, nullptr);
  reader->AddResltCaseNames(CaeString("Run1"), CaeString("ResultSet1"));
  EXPECT_EQ(reader->NumResltCaseNames(), 1);
  EXPECT_EQ(reader->Read(CaeUnitSystem()), 0);
  FerState state;
  EXPECT_EQ(state.ExportNF(CaeString("a.nf"), 0), 0);
  EXPECT_EQ(Messages().size(), 2u);
}

}  // namespace

namespace {

TEST_F(ResultsTest, TheNeutralFileHoldsTheDisplayedSetAndIsWrittenWholeOrNotAtAll) {
  FerResultSet set(CaeString("Modes"));
  set.Modal(1);
  set.SetAnalType(1);
  set.SetSubSetName(CaeString("Mode"));
  set.AddSubSet(new FerResultSubSet(834.25));
  auto mesh = std::make_shared<FerMesh>();
  mesh->nodeIds = {1, 2};
  mesh->coordinates = {0, 0, 0, 0.5, 0, 0};
  mesh->elementIds = {3};
  mesh->elementTypes = {FerMesh::kBeam2};
  mesh->elementStarts = {0, 2};
  mesh->elementNodes = {1, 2};
  set.SetMesh(mesh);
  auto* u = new FerResult(FerQtyDisplacement);
  u->SetNodalData(0, {1, 2}, {0, 0, 0, 0, 0.25, 0, 0, 0.25});
  set.AddResult(u);
  OneSetInterface ferInterface;
  ferInterface.set = &set;
  FerState state;
  state.SetInterface(&ferInterface);
  kestrum::test::TempDir dir;
  const std::string file = (dir / "modes.nf").string();
  ASSERT_EQ(state.ExportNF(CaeString(file), 0), 1);
  const std::string text = kestrum::test::readFile(file);
  for (const char* line :
       {"KESTRUM-RESULTS-NF 1\n", "SET \"Modes\" TYPE 1\n", "SUBSETS 1 \"Mode\"\n", "SUBSET 1 834.25\n", "NODES 2\n",
        "2 0.5 0 0\n", "ELEMENTS 1\n", "3 11 2 1 2\n", "RESULT \"Displacement\" 3 4\n", "COMPONENT \"Magnitude\"\n",
        "VALUES 1 2\n", "2 0.25 0 0 0.25\n", "END\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
  // An unwritable place: a message, no file.
  const std::string unwritable = (dir / "no" / "modes.nf").string();
  EXPECT_EQ(state.ExportNF(CaeString(unwritable), 0), 0);
  EXPECT_FALSE(std::filesystem::exists(dir / "no"));
  EXPECT_TRUE(Logged(1, "could not be written"));
}

}  // namespace
