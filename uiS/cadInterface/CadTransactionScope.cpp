#include "cadInterface/CadTransactionScope.h"

#include "cadInterface/CadInterface.h"

CadTransactionScope::CadTransactionScope(CadInterface& cad) : cad_(cad), depth_(cad.NumActiveTransactions()) {}

CadTransactionScope::~CadTransactionScope() {
  if (committed_) return;
  // A destructor runs while an exception may be passing: an abort that raises must not end
  // the process.
  try {
    AbortDownTo(cad_, depth_);
  } catch (...) {}
}

void CadTransactionScope::Start() { cad_.StartTransaction(); }

void CadTransactionScope::Commit() {
  cad_.EndTransaction();
  committed_ = true;
}

void CadTransactionScope::AbortDownTo(CadInterface& cad, int depth) {
  for (int open = cad.NumActiveTransactions(); open > depth;) {
    cad.AbortTransaction();
    const int after = cad.NumActiveTransactions();
    if (after >= open) break;
    open = after;
  }
}
