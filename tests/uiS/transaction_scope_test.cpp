// The owner of a piece of work's transactions: commits what it opened, or aborts down to the
// depth it found, never below it and never for ever.
#include <gtest/gtest.h>

#include <stdexcept>

#include "cadInterface/CadInterface.h"
#include "cadInterface/CadTransactionScope.h"

namespace {

// A transaction stack; `stuckAborts` aborts that leave the count as it was (a host that cannot
// abort).
class StackCad : public CadInterface {
 public:
  void StartTransaction() override { ++open; }
  void EndTransaction() override { --open; }
  void AbortTransaction() override {
    ++aborts;
    if (stuckAborts > 0) {
      --stuckAborts;
      return;
    }
    --open;
  }
  int NumActiveTransactions() override { return open; }
  int open = 0;
  int aborts = 0;
  int stuckAborts = 0;
};

TEST(CadTransactionScope, CommittedWorkKeepsWhatItDidAndAbortsNothing) {
  StackCad cad;
  cad.open = 1;
  {
    CadTransactionScope scope(cad);
    EXPECT_EQ(scope.Depth(), 1);
    scope.Start();
    EXPECT_EQ(cad.open, 2);
    scope.Commit();
  }
  EXPECT_EQ(cad.open, 1);
  EXPECT_EQ(cad.aborts, 0);
}

TEST(CadTransactionScope, WorkLeftByAnExceptionIsAbortedDownToTheDepthFound) {
  StackCad cad;
  cad.open = 2;
  EXPECT_THROW(
      {
        CadTransactionScope scope(cad);
        scope.Start();
        cad.StartTransaction();  // the work opened one more and then failed
        throw std::runtime_error("work failed");
      },
      std::runtime_error);
  EXPECT_EQ(cad.open, 2);
  EXPECT_EQ(cad.aborts, 2);
}

TEST(CadTransactionScope, AbortDownToStopsAtTheDepthAndWhenAnAbortChangesNothing) {
  const struct {
    const char* name;
    int open;
    int depth;
    int stuck;
    int openAfter;
    int abortsAfter;
  } cases[] = {
      {"down to the depth", 4, 1, 0, 1, 3},
      {"already below the depth", 1, 3, 0, 1, 0},
      {"a host that cannot abort", 3, 0, 1, 3, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    StackCad cad;
    cad.open = c.open;
    cad.stuckAborts = c.stuck;
    CadTransactionScope::AbortDownTo(cad, c.depth);
    EXPECT_EQ(cad.open, c.openAfter);
    EXPECT_EQ(cad.aborts, c.abortsAfter);
  }
}

}  // namespace
