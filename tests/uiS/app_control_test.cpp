#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "amg/CaeConfig.h"
#include "amg/CaeExcept.h"
#include "amg/CaeMsgCall.h"
#include "amg/CaeProgress.h"
#include "cadInterface/CadAppControl.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/AttCodes.h"
#include "gui/utils/UIProgressDlg.h"
#include "test_env.h"
#include "uis_fixture.h"

namespace {

using uistest::FrameTest;
using uistest::RecordingCad;

class AppControlTest : public FrameTest {};

struct RoutineCase {
  int level;
  const char* text;
  std::optional<UINT> boxType;         // the box shown, if any
  std::optional<std::string> printed;  // the command-line text, if any
};

TEST_F(AppControlTest, MessageRoutineSendsEachLevelWhereItBelongs) {
  const RoutineCase cases[] = {
      {2, "Broken", MB_ICONHAND | MB_TASKMODAL, std::nullopt},
      {1, "Careful", MB_ICONEXCLAMATION | MB_TASKMODAL, std::nullopt},
      {0, "Note", std::nullopt, "Note"},
      {3, "Trace", std::nullopt, "Trace"},
      {0, "", std::nullopt, ""},  // empty texts still reach the command line
      {1, "", std::nullopt, std::nullopt},
      {2, "", std::nullopt, std::nullopt},
  };
  RecordingCad cad;
  for (const RoutineCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << "level " << c.level << " text '" << c.text << "'");
    const std::size_t boxesBefore = driver.boxes().size();
    cad.printed.clear();
    CadEngineMessageRoutine(c.level, c.text);
    if (c.boxType) {
      ASSERT_EQ(driver.boxes().size(), boxesBefore + 1);
      const mfc::MessageBoxRequest& box = driver.boxes().back();
      EXPECT_EQ(box.text, c.text);
      EXPECT_EQ(box.caption, "Kestrum Inside");
      EXPECT_EQ(box.type, *c.boxType);
      EXPECT_EQ(box.owner, nullptr);
    } else {
      EXPECT_EQ(driver.boxes().size(), boxesBefore);
    }
    if (c.printed) {
      ASSERT_EQ(cad.printed.size(), 1u);
      EXPECT_EQ(cad.printed[0], *c.printed);
    } else {
      EXPECT_TRUE(cad.printed.empty());
    }
  }
}

TEST_F(AppControlTest, ConsistencyCheckShowsTheLibraryTextAndRaises) {
  CadAppControl control;
  int line = 0;
  try {
    line = __LINE__ + 1;
    CAE_GENERAL_ERROR();
  } catch (const CaeExcept&) {
    ASSERT_EQ(driver.boxes().size(), 1u);
    const std::string expected = std::string("General Error in ") + __FILE__ + " at line " + std::to_string(line);
    EXPECT_EQ(driver.boxes()[0].text, expected);
    EXPECT_EQ(driver.boxes()[0].type, UINT(MB_ICONHAND | MB_TASKMODAL));
    return;
  }
  FAIL() << "a consistency check must raise";
}

TEST_F(AppControlTest, EngineMessagesReachTheRoutineByLevel) {
  CadAppControl control;
  RecordingCad cad;
  CaeMsgCall::Message(0, 0xc0000fc1, {CaeString("3")});
  ASSERT_EQ(cad.printed.size(), 1u);
  EXPECT_EQ(cad.printed[0], "Performing Analysis Iteration 3");
  CaeMsgCall::Message(1, 0xc0000fbc, {CaeString("boom")});
  ASSERT_EQ(driver.boxes().size(), 1u);
  EXPECT_EQ(driver.boxes()[0].text, "TLX Unhandled Exception: boom ");
  EXPECT_EQ(driver.boxes()[0].type, UINT(MB_ICONEXCLAMATION | MB_TASKMODAL));
  EXPECT_FALSE(CaeMsgCall::IsMsgLevelSet(4));
}

TEST_F(AppControlTest, ConstructionInstallsTablesAndHooks) {
  CadAppControl control;
  EXPECT_EQ(CadGetAppControl(), &control);
  CaeUnitStrTable* names = CaeUnitStrTable::GetCurrent();
  ASSERT_EQ(names, control.UnitNames());
  const struct {
    int unit;
    const char* longName;
    const char* shortName;
  } units[] = {{0, "meter", "m"},      {7, "revolution", "rev"}, {8, "kelvin", "degK"}, {16, "kilogram-force", "kgf"},
               {17, "kilogram", "Kg"}, {31, "rev/min", "rpm"}};
  for (const auto& unit : units) {
    EXPECT_EQ(names->IdToLongString(unit.unit), unit.longName) << unit.unit;
    EXPECT_EQ(names->IdToShortString(unit.unit), unit.shortName) << unit.unit;
  }
  EXPECT_EQ(CaeUnitSystem::GetNativeSystem(), control.NativeSystem());
  EXPECT_EQ(CaeUnitSystem::GetNativeUnit(CaeUtLength), CaeMeter);
  EXPECT_EQ(CaeUnitSystem::GetNativeUnit(CaeUtAngle), CaeRadian);
  EXPECT_NE(CaeInterupt::GetCurrent(), nullptr);
  EXPECT_EQ(CaeProgress::GetProgressControl()->GetControlFunction(), &UIProgressControl);
  ASSERT_NE(FerState::GetState(), nullptr);
  EXPECT_NE(FerState::GetState()->GetInterface(), nullptr);
  const int vertexForce = ToAttType(AttCode::VertexForce);
  ASSERT_NE(control.FindLbcDescript(vertexForce), nullptr);
  EXPECT_EQ(control.FindLbcDescript(vertexForce)->type, vertexForce);
  EXPECT_EQ(control.FindLbcDescript(26), nullptr) << "26 is no condition code";
}

TEST_F(AppControlTest, DestructionLeavesNoHookBehind) {
  { CadAppControl control; }
  EXPECT_EQ(CadGetAppControl(), nullptr);
  EXPECT_EQ(CaeInterupt::GetCurrent(), nullptr);
  EXPECT_EQ(FerState::GetState(), nullptr);
  EXPECT_EQ(CaeUnitStrTable::GetCurrent(), nullptr);
  EXPECT_EQ(CaeUnitSystem::GetNativeSystem(), nullptr);
  EXPECT_EQ(CaeProgress::GetProgressControl()->GetControlFunction(), nullptr);
  EXPECT_EQ(CaeMsgTxt::GetOverrideMsgRtn(), nullptr);
  // With the routine gone an error no longer reaches a box.
  EXPECT_THROW(CaeMsgCall::Message(2, kCaeMsgGeneralError, {CaeString("f"), CaeString("1")}), CaeExcept);
  EXPECT_TRUE(driver.boxes().empty());
}

TEST_F(AppControlTest, MissingResultsStateIsReportedWithoutEndingTheUnload) {
  auto* control = new CadAppControl();
  delete FerState::GetState()->GetInterface();
  FerState::GetState()->SetInterface(nullptr);
  delete control;  // must not raise out of the destructor
  ASSERT_EQ(driver.boxes().size(), 1u);
  EXPECT_NE(driver.boxes()[0].text.find("General Error in "), std::string::npos);
  EXPECT_EQ(CaeInterupt::GetCurrent(), nullptr);
  delete FerState::GetState();
}

TEST_F(AppControlTest, MaterialLibraryLocationPrefersTheControllerThenAnExistingConfiguredFile) {
  RecordingCad cad;
  kestrum::test::TempDir dir;
  const CaeString savedRoot = CaeConfig::GetValue("Root Directory", 1).value_or("");
  CaeConfig::SetValue("Root Directory", dir.path().string().c_str(), 1);
  const CaeString fallback = CaeString(dir.path().string()) + "\\zq_fea.mat";
  CaeString path;

  CaeConfig::SetValue("MatLibLoc", (dir / "missing.mat").string().c_str(), 0);
  EXPECT_EQ(cad.MaterialLibraryLocation(path), fallback);  // configured file missing

  std::ofstream(dir / "mine.mat") << "x";
  CaeConfig::SetValue("MatLibLoc", (dir / "mine.mat").string().c_str(), 0);
  EXPECT_EQ(cad.MaterialLibraryLocation(path), CaeString((dir / "mine.mat").string()));

  CadAppControl control;
  EXPECT_EQ(cad.MaterialLibraryLocation(path), fallback);  // the controller's default wins
  cad.SetMaterialLibraryLocation("D:\\lib\\other.mat");
  EXPECT_EQ(control.MaterialLibraryPath(), "D:\\lib\\other.mat");
  EXPECT_EQ(cad.MaterialLibraryLocation(path), "D:\\lib\\other.mat");
  EXPECT_EQ(CaeConfig::GetValue("MatLibLoc", 0).value_or(""), "D:\\lib\\other.mat");
  CaeConfig::SetValue("Root Directory", savedRoot, 1);
}

TEST(StripAmpersand, RemovesOnlyTheFirstAndTellsWhere) {
  const struct {
    const char* in;
    const char* out;
    int position;
  } cases[] = {{"&File", "File", 0},
               {"Sa&ve && Exit", "Save && Exit", 2},
               {"Plain", "Plain", -1},
               {"", "", -1},
               {"End&", "End", 3}};
  for (const auto& c : cases) {
    CString text(c.in);
    EXPECT_EQ(CadStripAmpersand(text), c.position) << c.in;
    EXPECT_STREQ(static_cast<const char*>(text), c.out) << c.in;
  }
}

TEST_F(AppControlTest, WaitCursorsNest) {
  const int before = AfxGetApp()->waitCursorDepth();
  {
    CadWaitCursor outer;
    {
      CadWaitCursor inner;
      EXPECT_EQ(AfxGetApp()->waitCursorDepth(), before + 2);
    }
    EXPECT_EQ(AfxGetApp()->waitCursorDepth(), before + 1);
  }
  EXPECT_EQ(AfxGetApp()->waitCursorDepth(), before);
}

TEST_F(AppControlTest, CurrentObjectQueriesFollowTheCurrentControl) {
  EXPECT_EQ(CadCurrentAnlControl(), nullptr);
  EXPECT_FALSE(CadHasCurrentModel());
  EXPECT_EQ(CadCountResultSets(), 0);
  AnlControl control("part");
  control.SetCurrent();
  EXPECT_FALSE(CadHasCurrentModel());
  AnlModel* model = control.NewAnlModel("M", AnlType{});
  control.SetCurrentAnlModel(model);
  model->NewResultSet("a");
  model->NewResultSet("b");
  model->NewResultSet("c");
  model->DeleteResultSet("b");
  EXPECT_TRUE(CadHasCurrentModel());
  EXPECT_EQ(CadCountResultSets(), 2);
  EXPECT_FALSE(CadHasCurrentResultSet());
  control.SetCurrentResultSet(model->FindResultSet("a"));
  EXPECT_TRUE(CadHasCurrentResultSet());
  EXPECT_FALSE(CadHasCurrentLoadCase());
  control.SetCurrentLoadCase(control.NewLoadCase("LS"));
  EXPECT_TRUE(CadHasCurrentLoadCase());
  EXPECT_FALSE(CadHasCurrentRestraintCase());
}

}  // namespace
