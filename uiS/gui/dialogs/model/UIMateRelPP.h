// The mating-relation sheet: "CAEP_MATE_REL" names a new relation and its symbol, then the CAD
// interface asks for the two mated faces; the same page edits an existing relation's name and
// symbol from the Explorer's Properties.
#pragma once

#include "mfc/afx.h"
#include "mfc/propsheet.h"

class AnlMateRelPair;

class CAMRSelectPP : public CPropertyPage {
 public:
  CAMRSelectPP();
  explicit CAMRSelectPP(AnlMateRelPair* pair);

  void SetModifyMode() { m_bModify = TRUE; }
  const CString& GetName() const { return m_strName; }
  void SetName(const char* name) { m_strName = name; }

  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  BOOL OnInitDialog() override;

  CString m_strName;
  BOOL m_bModify = FALSE;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
};

// "CAEP_MATE_REL": 1 when a relation was requested, else 0.
int UICmdMateRel();
// The command's precondition; nonzero when it may go on.
int UICheckMateRelSelection();
void UIEditMateRelation(AnlMateRelPair* pair);
// The proposed name: "Mating Relation N" with the first N no live relation of the current
// model carries.
CString UIProposedMateRelName();
// The colour last accepted in the sheet (1 before the first use); reset with the module state.
int& UIMateRelRememberedColor();
