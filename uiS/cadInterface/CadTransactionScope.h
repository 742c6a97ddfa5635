// One owner for the host transactions a piece of work opens.
//
// The scope takes the number of open transactions when it is made (its depth). Start opens one
// more, Commit ends it; a scope left without Commit (an exception, an early return) aborts every
// transaction above its depth, so no path leaves a transaction open behind it.
#pragma once

class CadInterface;

class CadTransactionScope {
 public:
  explicit CadTransactionScope(CadInterface& cad);
  ~CadTransactionScope();
  CadTransactionScope(const CadTransactionScope&) = delete;
  CadTransactionScope& operator=(const CadTransactionScope&) = delete;

  // Opens one transaction above the depth.
  void Start();
  // Ends the transaction Start opened; the scope no longer aborts anything.
  void Commit();
  // The number of transactions that were open when the scope was made.
  int Depth() const { return depth_; }

  // Aborts open transactions of `cad` down to `depth`, never below it; stops when an abort no
  // longer lowers the count (a host that cannot abort) instead of looping for ever.
  static void AbortDownTo(CadInterface& cad, int depth);

 private:
  CadInterface& cad_;
  int depth_;
  bool committed_ = false;
};
