// The AutoCAD interface's host services over a started host with one drawing.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "CadInterface/AcCadInterface.h"
#include "amg/CaeEngine.h"
#include "amg/CaeExcept.h"
#include "amg/CaeTransform.h"
#include "amg/CaeVector.h"
#include "arx/acdocman.h"
#include "arx/acutads.h"
#include "arx/dbtrans.h"
#include "arx/hostcmds.h"
#include "arx/hostinput.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/AttLbcCase.h"
#include "frame_support.h"

namespace {

class InterfaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CaeEngine::ResetState();
    cadhost::clearPrintedText();
    cadhost::startHost(true);
    resSetModuleState(resLoadResourceModule(), nullptr);
    cad = std::make_unique<AcCadInterface>();
    control.SetCurrent();
  }
  void TearDown() override {
    while (transactions() && transactions()->numActiveTransactions() > 0) transactions()->endTransaction();
    cad.reset();
    resResetModuleState();
    cadhost::clearInput();
    cadhost::shutdownHost();
    cadhost::clearPrintedText();
  }
  static AcDbTransactionManager* transactions() { return acCurrentTransactionManager(); }

  std::unique_ptr<AcCadInterface> cad;
  AnlControl control;
};

TEST_F(InterfaceTest, SelectOrCreateModelMatchesNamesIgnoringCase) {
  AnlModel* bracket = control.NewAnlModel("Bracket", AnlVibration);
  control.NewAnlModel("Other", AnlStress);
  EXPECT_EQ(cad->SelectOrCreateModel("BRACKET", -1), 1);
  EXPECT_EQ(control.CurrentAnlModel(), bracket);
  EXPECT_EQ(bracket->Type(), AnlVibration);
  EXPECT_EQ(cad->SelectOrCreateModel("bracket", 2), 1);
  EXPECT_EQ(bracket->Type(), static_cast<AnlType>(2));

  EXPECT_EQ(cad->SelectOrCreateModel("Fresh", 7), 0);
  AnlModel* fresh = control.CurrentAnlModel();
  ASSERT_NE(fresh, nullptr);
  EXPECT_EQ(fresh->Name(), "Fresh");
  EXPECT_EQ(fresh->Type(), static_cast<AnlType>(0));
  EXPECT_EQ(control.NumAnlModels(), 3);
}

TEST_F(InterfaceTest, SelectOrCreateCasePassesOverErasedCases) {
  AttLbcCase* erased = control.NewLoadCase("Loads");
  erased->MarkAsErased();
  EXPECT_EQ(cad->SelectOrCreateLoadCase("LOADS"), 0);
  AttLbcCase* created = control.CurrentLoadCase();
  ASSERT_NE(created, nullptr);
  EXPECT_NE(created, erased);
  EXPECT_EQ(cad->SelectOrCreateLoadCase("loads"), 1);
  EXPECT_EQ(control.CurrentLoadCase(), created);

  AttLbcCase* fixed = control.NewRestraintCase("Fixed");
  EXPECT_EQ(cad->SelectOrCreateRestraintCase("FIXED"), 1);
  EXPECT_EQ(control.CurrentRestraintCase(), fixed);
}

TEST_F(InterfaceTest, TransactionsFollowTheCurrentDocument) {
  EXPECT_EQ(cad->NumActiveTransactions(), 0);
  cad->StartTransaction();
  cad->StartTransaction();
  EXPECT_EQ(cad->NumActiveTransactions(), 2);
  EXPECT_TRUE(transactions()->isGraphicsFlushEnabled());
  cad->AbortTransaction();
  cad->EndTransaction();
  EXPECT_EQ(cad->NumActiveTransactions(), 0);
  EXPECT_EQ(cad->SetTransactionBaseDepth(3), 3);
  EXPECT_EQ(cad->TransactionBaseDepth(), 3);

  ASSERT_TRUE(acDocManagerPtr()->closeDocument(acDocManagerPtr()->curDocument()));
  EXPECT_EQ(cad->NumActiveTransactions(), 0);
  EXPECT_THROW(cad->StartTransaction(), CaeExcept);
}

TEST_F(InterfaceTest, AbortReleasesTheDocumentLockFirst) {
  AcApDocument* document = acDocManagerPtr()->curDocument();
  cad->StartTransaction();
  EXPECT_EQ(cad->ToggleDocumentLock(), 1);
  EXPECT_EQ(cad->HoldsDocumentLock(), 1);
  EXPECT_NE(document->myLockMode(), AcAp::kNotLocked);
  cad->AbortTransaction();
  EXPECT_EQ(cad->HoldsDocumentLock(), 0);
  EXPECT_EQ(document->myLockMode(), AcAp::kNotLocked);
  EXPECT_EQ(cad->NumActiveTransactions(), 0);
  // The explicit pair does nothing when the lock is already in that state.
  EXPECT_EQ(cad->UnlockDocument(), 0);
  EXPECT_EQ(cad->LockDocument(), 1);
  EXPECT_EQ(cad->LockDocument(), 0);
  EXPECT_EQ(cad->UnlockDocument(), 1);
  EXPECT_EQ(document->myLockMode(), AcAp::kNotLocked);
}

TEST_F(InterfaceTest, HostNamesAndMessages) {
  CString name;
  EXPECT_STREQ(cad->GetCadName(name), "MDT");
  EXPECT_EQ(cad->MaxNameLength(), 255);
  EXPECT_EQ(cad->AcceptsFreeNames(), 0);
  EXPECT_EQ(cad->UsesPreselection(), 0);
  CaeString title;
  EXPECT_EQ(cad->GetProductTitle(title), 1);
  EXPECT_EQ(title, "Kestrum Inside for Mechanical Desktop V6.2");
  cad->PrintMessage("50% of %s done");
  EXPECT_EQ(cadhost::printedText(), "\n50% of %s done");
}

TEST_F(InterfaceTest, UndoLastStepTypesOneUndoForTheHost) {
  cad->UndoLastStep();
  ASSERT_EQ(cadhost::queuedInputCount(), 1u);
  auto item = cadhost::nextInput("Command: ");
  ASSERT_TRUE(item.has_value());
  EXPECT_EQ(item->text, "_.UNDO 1");
}

TEST_F(InterfaceTest, RegenAllAndFlushGraphicsReachTheHost) {
  CommandRecorder commands;
  EXPECT_EQ(cad->RegenAll(), 1);
  EXPECT_TRUE(commands.saw("REGENALL"));

  const int updates = cadhost::displayUpdates();
  cad->StartTransaction();
  const int flushes = transactions()->numGraphicsFlushes();
  EXPECT_EQ(cad->FlushGraphics(), 1);
  EXPECT_EQ(transactions()->numGraphicsFlushes(), flushes + 1);
  EXPECT_EQ(cadhost::displayUpdates(), updates + 1);
  cad->EndTransaction();
}

}  // namespace

namespace {

TEST_F(InterfaceTest, UcsTransformHasTheUserAxesInWorldTerms) {
  CaeTransform transform;
  cad->GetUcsTransform(transform);
  EXPECT_TRUE(transform.IsIdentity());

  cadhost::queueText("Z");
  cadhost::queueText("90");
  cadhost::runCommand("UCS");
  cad->GetUcsTransform(transform);
  const CaeVector x = transform.UnitVector(0);
  const CaeVector y = transform.UnitVector(1);
  EXPECT_NEAR(x[0], 0.0, 1e-12);
  EXPECT_NEAR(x[1], 1.0, 1e-12);
  EXPECT_NEAR(y[0], -1.0, 1e-12);
  EXPECT_NEAR(y[1], 0.0, 1e-12);
}

}  // namespace
