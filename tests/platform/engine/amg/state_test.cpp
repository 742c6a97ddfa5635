#include <gtest/gtest.h>

#include "amg/CaeActive.h"
#include "amg/CaeAttrib.h"
#include "amg/CaeEngine.h"
#include "amg/CaeInterupt.h"
#include "amg/CaeMsgCall.h"
#include "amg/CaeName.h"
#include "amg/CaeProgress.h"
#include "amg/CaeTypeInfo.h"
#include "amg/CaeUnit.h"
#include "engine_fixture.h"

namespace {

TEST(ActiveTest, MarksAndHowErasedRelatesToActive) {
  CaeActive object;
  EXPECT_TRUE(object.IsActive());
  EXPECT_FALSE(object.IsMarkedAsErased());
  EXPECT_FALSE(object.IsMarkedAsCurrent());
  object.MarkAsCurrent();
  EXPECT_TRUE(object.IsMarkedAsCurrent());
  object.MarkAsNotCurrent();
  EXPECT_TRUE(object.IsActive());  // the current mark does not decide activity
  object.MarkAsErased();
  EXPECT_FALSE(object.IsActive());
  object.MarkAsNotErased();
  EXPECT_TRUE(object.IsActive());
  object.Deactivate();
  EXPECT_FALSE(object.IsActive());
  EXPECT_FALSE(object.IsMarkedAsErased());
  object.Activate();
  EXPECT_TRUE(object.IsActive());
}

// Engine classes with type information, as the analysis library declares them.
struct BaseLbc : virtual CaeActive, CaeName {
  CAE_DECLARE_TYPE_INFO;
};
struct Lbc : BaseLbc, CaeAttrib {
  CAE_DECLARE_TYPE_INFO;
  CaeTypeId GetInfo() const override { return Info; }
  void UponTopoRefErase() override {
    CaeAttrib::UponTopoRefErase();
    ++erases;
  }
  int erases = 0;
};
CAE_DEFINE_TYPE_INFO(BaseLbc)
CAE_DEFINE_TYPE_INFO(Lbc, BaseLbc, CaeAttrib)

TEST(TypeInfoTest, ExactTestsAndCasts) {
  Lbc lbc;
  CaeAttrib& attribute = lbc;
  EXPECT_TRUE(attribute.GetInfo() == Lbc::Info);
  EXPECT_TRUE(attribute.GetInfo().CanCast(CaeAttrib::Info));
  EXPECT_TRUE(attribute.GetInfo().CanCast(BaseLbc::Info));
  EXPECT_FALSE(CaeTypeId(CaeAttrib::Info).CanCast(Lbc::Info));
  EXPECT_FALSE(CaeTypeId().CanCast(CaeAttrib::Info));
  EXPECT_STREQ(Lbc::Info.Name(), "Lbc");
  EXPECT_EQ(CaeTypeId(Lbc::Info).GetTypeInfo(), &Lbc::Info);
  attribute.UponTopoRefErase();  // reaches the override through the engine's slot
  EXPECT_EQ(lbc.erases, 1);
  EXPECT_TRUE(lbc.IsMarkedAsErased());
}

using InterruptTest = EngineTest;

TEST_F(InterruptTest, CancelIsSeenUntilTheNextInitializeAndTheCurrentOneUnsetsItself) {
  EXPECT_EQ(CaeInterupt::Poll(), 0);
  auto* interrupt = new CaeInterupt();
  EXPECT_EQ(CaeInterupt::SetCurrent(interrupt), nullptr);
  interrupt->Initialize();
  EXPECT_TRUE(interrupt->IsRunning());
  EXPECT_EQ(CaeInterupt::Poll(), 0);
  interrupt->Cancel();
  EXPECT_EQ(CaeInterupt::Poll(), 1);
  interrupt->Close();
  EXPECT_FALSE(interrupt->IsRunning());
  EXPECT_EQ(interrupt->Check(), 1);
  interrupt->Initialize();
  EXPECT_EQ(interrupt->Check(), 0);
  delete interrupt;
  EXPECT_EQ(CaeInterupt::GetCurrent(), nullptr);
  CaeInterupt other;
  CaeInterupt::SetCurrent(&other);
  { CaeInterupt notCurrent; }
  EXPECT_EQ(CaeInterupt::GetCurrent(), &other);
}

int lastCode = -1;
int lastValue = -1;
std::string lastText;

int Control(int code, void* arg) {
  lastCode = code;
  if (code == CaeProgress::kOpen || code == CaeProgress::kNextActivity)
    lastText = arg ? static_cast<CaeString*>(arg)->Str() : "";
  else
    lastValue = arg ? *static_cast<int*>(arg) : 0;
  return code == CaeProgress::kQueryCancel ? 1 : 0;
}

TEST_F(InterruptTest, ProgressCommandsReachTheInstalledFunction) {
  CaeProgress* progress = CaeProgress::GetProgressControl();
  EXPECT_EQ(progress, CaeProgress::GetProgressControl());
  EXPECT_EQ(progress->DoProgressCommand(CaeProgress::kQueryCancel, 1), 0);  // nothing installed
  EXPECT_EQ(progress->SetControlFunction(&Control), nullptr);
  EXPECT_EQ(progress->DoProgressCommand(CaeProgress::kOpen, CaeString("Meshing")), 0);
  EXPECT_EQ(lastText, "Meshing");
  EXPECT_EQ(progress->DoProgressCommand(CaeProgress::kActivityPercent, 35), 0);
  EXPECT_EQ(lastValue, 35);
  EXPECT_EQ(progress->DoProgressCommand(CaeProgress::kQueryCancel, nullptr), 1);
  EXPECT_EQ(lastCode, CaeProgress::kQueryCancel);
  EXPECT_EQ(lastValue, 0);
}

TEST_F(InterruptTest, ResetStateClearsEveryCurrentObjectAndHook) {
  static int hookRuns = 0;
  CaeEngine::AddResetHook([] { ++hookRuns; });
  CaeUnitSystem native, host;
  CaeUnitSystem::SetNativeSystem(&native);
  CaeUnitSystem::SetHostSystem(&host);
  CaeUnitStrTable table;
  CaeInterupt interrupt;
  CaeInterupt::SetCurrent(&interrupt);
  CaeProgress::GetProgressControl()->SetControlFunction(&Control);
  CaeMsgCall::ClearMsgLevel(1);
  int before = hookRuns;
  CaeEngine::ResetState();
  EXPECT_EQ(hookRuns, before + 1);
  EXPECT_EQ(CaeUnitSystem::GetNativeSystem(), nullptr);
  EXPECT_EQ(CaeUnitSystem::GetHostSystem(), nullptr);
  EXPECT_EQ(CaeUnitStrTable::GetCurrent(), nullptr);
  EXPECT_EQ(CaeInterupt::GetCurrent(), nullptr);
  EXPECT_EQ(CaeProgress::GetProgressControl()->GetControlFunction(), nullptr);
  EXPECT_TRUE(CaeMsgCall::IsMsgLevelSet(1));
  EXPECT_EQ(CaeMsgCall::SetMsgRoutine(nullptr), nullptr);
}

}  // namespace
