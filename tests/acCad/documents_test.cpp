// Document controls and data, and the application's list of controls, without the host's
// reactors: what becomes current, and what destroying a drawing's data leaves current.
#include <gtest/gtest.h>

#include <memory>

#include "CadInterface/AcCadDocControl.h"
#include "CadInterface/AcCadEntry.h"
#include "amg/CaeEngine.h"
#include "amg/CaeExcept.h"
#include "amg/CaeUnit.h"
#include "arx/acutads.h"
#include "arx/hostcmds.h"
#include "arx/hostinput.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadApplication.h"
#include "cadInterface/CadEvents.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "fea/FerState.h"

namespace {

class DocumentDataTest : public ::testing::Test {
 protected:
  void SetUp() override { CaeEngine::ResetState(); }
  void TearDown() override { CaeEngine::ResetState(); }
};

TEST_F(DocumentDataTest, ActivationSwitchesTheEngineCurrentObjects) {
  AcCadDocData first;
  AcCadDocData second;
  first.Deactivate();
  second.Deactivate();
  EXPECT_EQ(AnlControl::GetCurrent(), nullptr);
  EXPECT_EQ(FerDisplay::GetCurrent(), nullptr);

  first.Activate();
  EXPECT_EQ(AnlControl::GetCurrent(), first.GetAnlControl());
  EXPECT_EQ(FerDisplay::GetCurrent(), first.Display());
  EXPECT_EQ(CaeUnitSystem::GetHostSystem(), first.HostUnitSystem());

  // Deactivating the other drawing takes nothing from the active one.
  second.Deactivate();
  EXPECT_EQ(AnlControl::GetCurrent(), first.GetAnlControl());
  EXPECT_EQ(FerDisplay::GetCurrent(), first.Display());
}

TEST_F(DocumentDataTest, DestroyingABackgroundDrawingLeavesTheActiveOneCurrent) {
  AcCadDocData active;
  auto background = std::make_unique<AcCadDocData>();
  active.Activate();
  background.reset();
  EXPECT_EQ(AnlControl::GetCurrent(), active.GetAnlControl());
  EXPECT_EQ(FerDisplay::GetCurrent(), active.Display());
  EXPECT_EQ(CaeUnitSystem::GetHostSystem(), active.HostUnitSystem());
}

TEST_F(DocumentDataTest, DestroyingTheActiveDrawingUnsetsItsObjectsFirst) {
  auto active = std::make_unique<AcCadDocData>();
  active->Activate();
  active.reset();
  EXPECT_EQ(AnlControl::GetCurrent(), nullptr);
  EXPECT_EQ(FerDisplay::GetCurrent(), nullptr);
  EXPECT_EQ(CaeUnitSystem::GetHostSystem(), nullptr);
}

TEST_F(DocumentDataTest, HostUnitSystemIsHandedOverAndTheReplacedOneGivenBack) {
  AcCadDocData data;
  CaeUnitSystem* initial = data.HostUnitSystem();
  EXPECT_NE(dynamic_cast<CadUnitSystem*>(initial), nullptr);
  EXPECT_EQ(*initial, CaeUnitSystem());
  EXPECT_EQ(CaeUnitSystem::GetHostSystem(), initial);

  auto* inch =
      new CadUnitSystem(CaeInch, CaeDegree, CaeFahrenheit, CaePoundForce, CaePoundMass, CaeSecond, CaeBtu, CaeHertz);
  std::unique_ptr<CaeUnitSystem> replaced(data.SetHostUnitSystem(inch));
  EXPECT_EQ(replaced.get(), initial);
  EXPECT_EQ(data.HostUnitSystem(), inch);
  EXPECT_EQ(CaeUnitSystem::GetHostSystem(), inch);

  // Null and the system already held give nothing back and change nothing.
  EXPECT_EQ(data.SetHostUnitSystem(nullptr), nullptr);
  EXPECT_EQ(data.SetHostUnitSystem(inch), nullptr);
  EXPECT_EQ(data.HostUnitSystem(), inch);
}

struct PathCase {
  const char* path;
  const char* name;
  const char* location;
};

class DrawingNameTest : public DocumentDataTest, public ::testing::WithParamInterface<PathCase> {};

TEST_P(DrawingNameTest, AnalysisControlIsNamedFromTheFile) {
  AcCadDocControl control(nullptr);
  ASSERT_EQ(control.DrawingOpened(GetParam().path), 1);
  AnlControl* anl = control.GetData()->GetAnlControl();
  EXPECT_EQ(anl->Name(), GetParam().name);
  EXPECT_EQ(anl->Location(), GetParam().location);
}

INSTANTIATE_TEST_SUITE_P(Table, DrawingNameTest,
                         ::testing::Values(PathCase{"C:\\parts\\bracket.dwg", "bracket", "C:\\parts\\bracket"},
                                           PathCase{"/work/parts/bracket.v2.dwg", "bracket.v2",
                                                    "/work/parts/bracket.v2"},
                                           PathCase{"/work/v1.0/bracket", "bracket", "/work/v1.0/bracket"},
                                           PathCase{"Drawing1.dwg", "Drawing1", "Drawing1"}, PathCase{"", "", ""}));

// The CAD-neutral application: its base answers as a host without documents would.
class ApplicationTest : public DocumentDataTest {
 protected:
  void TearDown() override {
    CadSetApplication(nullptr);
    DocumentDataTest::TearDown();
  }
};

// A host with two documents (opaque handles) whose controls carry data.
class TwoDocumentApplication : public CadApplication {
 public:
  CadDocControl* CreateDocControl(void* document) override {
    auto* control = new CadDocControl(document);
    control->SetData(new AcCadDocData());
    return control;
  }
  bool IsDocumentUsable(void*) override { return true; }
  void* CurrentDocument() override { return current; }
  void* current = nullptr;
};

TEST_F(ApplicationTest, EventsWithoutAnApplicationAreConsistencyChecks) {
  EXPECT_THROW(CadEvents::DocumentReactivated(this), CaeExcept);
  EXPECT_THROW(CadEvents::ApplicationUnloading(), CaeExcept);
  CadEvents::DocumentDestroyed(nullptr);
  EXPECT_EQ(CadEvents::DrawingSaved(nullptr, "a.dwg"), 0);
  EXPECT_EQ(CadEvents::DrawingOpened(nullptr, "a.dwg"), 0);
}

TEST_F(ApplicationTest, BaseApplicationRefusesDocuments) {
  auto* application = new CadApplication();
  CadSetApplication(application);
  int document = 0;
  EXPECT_EQ(application->ActivateDocument(&document), nullptr);
  EXPECT_EQ(application->ActivateDocument(nullptr), nullptr);
  EXPECT_TRUE(application->DocControls().empty());
  CadEvents::ApplicationUnloading();
  EXPECT_EQ(CadGetApplication(), nullptr);
  delete application;
}

TEST_F(ApplicationTest, ControlsAreMadeOnceAndTheCurrentFollowsActivation) {
  auto* application = new TwoDocumentApplication();
  CadSetApplication(application);
  int first = 0, second = 0;
  CadDocControl* firstControl = application->ActivateDocument(&first);
  CadDocControl* secondControl = application->ActivateDocument(&second);
  ASSERT_NE(firstControl, nullptr);
  ASSERT_NE(secondControl, nullptr);
  EXPECT_EQ(application->ActivateDocument(&first), firstControl);
  EXPECT_EQ(application->DocControls().size(), 2u);
  EXPECT_EQ(CadCurrentDocControl(), firstControl);
  EXPECT_EQ(AnlControl::GetCurrent(), firstControl->GetData()->GetAnlControl());

  CadEvents::DocumentReactivated(&second);
  EXPECT_EQ(CadCurrentDocControl(), secondControl);
  EXPECT_EQ(CadCurrentDocData(), secondControl->GetData());
  EXPECT_EQ(AnlControl::GetCurrent(), secondControl->GetData()->GetAnlControl());

  // Destroying the background document keeps the active one's analysis control current.
  CadEvents::DocumentDestroyed(firstControl);
  EXPECT_EQ(application->DocControls().size(), 1u);
  EXPECT_EQ(AnlControl::GetCurrent(), secondControl->GetData()->GetAnlControl());

  CadEvents::DocumentDestroyed(secondControl);
  EXPECT_EQ(CadCurrentDocControl(), nullptr);
  EXPECT_EQ(AnlControl::GetCurrent(), nullptr);

  // A document with no control is made current as "none".
  int third = 0;
  application->ActivateDocument(&third);
  EXPECT_THROW(application->MakeDocumentCurrent(nullptr), CaeExcept);
  CadEvents::ApplicationUnloading();
  delete application;
}

// The interface hands a new host system to the current document, which frees the one it
// replaces. Each system must be freed exactly once (the sanitizer build reports a second free).
TEST_F(ApplicationTest, InterfaceHandsTheHostUnitSystemToTheCurrentDocumentOnly) {
  CadInterface cad;
  auto* application = new TwoDocumentApplication();
  CadSetApplication(application);
  int first = 0, second = 0;
  CadDocControl* secondControl = application->ActivateDocument(&second);
  CadDocControl* firstControl = application->ActivateDocument(&first);
  CaeUnitSystem* secondUnits = secondControl->GetData()->HostUnitSystem();
  ASSERT_EQ(CadCurrentDocControl(), firstControl);

  auto* millimetre =
      new CadUnitSystem(CaeMillimeter, CaeRadian, CaeKelvin, CaeNewton, CaeKilogram, CaeSecond, CaeJoule, CaeHertz);
  cad.SetHostUnitSystem(millimetre);
  EXPECT_EQ(firstControl->GetData()->HostUnitSystem(), millimetre);
  EXPECT_EQ(CaeUnitSystem::GetHostSystem(), millimetre);
  cad.SetHostUnitSystem(nullptr);
  EXPECT_EQ(firstControl->GetData()->HostUnitSystem(), millimetre);

  // Switching drawings brings each drawing's own system back.
  CadEvents::DocumentReactivated(&second);
  EXPECT_EQ(CaeUnitSystem::GetHostSystem(), secondUnits);
  EXPECT_EQ(secondControl->GetData()->HostUnitSystem(), secondUnits);
  CadEvents::DocumentReactivated(&first);
  EXPECT_EQ(CaeUnitSystem::GetHostSystem(), millimetre);
  EXPECT_EQ(CaeUnitSystem::GetHostUnit(CaeUtLength), CaeMillimeter);

  CadEvents::ApplicationUnloading();
  delete application;
  EXPECT_EQ(CaeUnitSystem::GetHostSystem(), nullptr);
}

TEST(PointInput, AcceptsAPointAndLeavesThePointOnCancel) {
  CaeEngine::ResetState();
  cadhost::clearPrintedText();
  cadhost::startHost(true);
  resSetModuleState(resLoadResourceModule(), nullptr);
  double point[3] = {9, 9, 9};
  cadhost::queuePoint(1, 2, 3);
  EXPECT_TRUE(acGetPoint(point));
  EXPECT_EQ(point[0], 1);
  EXPECT_EQ(point[1], 2);
  EXPECT_EQ(point[2], 3);
  EXPECT_NE(cadhost::printedText().find("Concentration point:  "), std::string::npos);
  cadhost::queueEscape();
  EXPECT_FALSE(acGetPoint(point));
  EXPECT_EQ(point[0], 1);
  resResetModuleState();
  cadhost::shutdownHost();
  cadhost::clearPrintedText();
}

}  // namespace
