// CGraphTablePP: the "Table" page of the graph editor. One list column per used data column (x
// first, then the curves' y), one row per point, an edit above each list column for the current
// row, and buttons to insert, remove and move rows. Every change goes at once into the editor's
// data columns and its chart. CGraphEquationPP and CGraphFilePP are pages the editor builds but
// does not offer.
#pragma once

#include <array>

#include "mfc/afx.h"
#include "mfc/propsheet.h"

class CGraphEditDlg;

class CGraphListCtrl : public CListCtrl {};

class CGraphTablePP : public CPropertyPage {
 public:
  static constexpr int kColumns = 4;
  using Row = std::array<double, kColumns>;

  CGraphTablePP();

  // The current row: the selected list item, else the focused one; -1 without either.
  int CurrentRow() const;
  // Row values: host values of the visible columns, zeros beyond.
  Row ReadRowFromColumns(int row) const;
  // The list's texts of a row read as numbers, zeros beyond.
  Row ReadRowFromList(int row) const;
  // Values into every visible column before `row` (-1: after the last) and their texts into the list.
  void InsertRowValues(const Row& values, int row);
  void SetChartRow(const Row& values, int row);
  void SelectRow(int row);
  void FillEdits(int row);
  void UpdateButtons(int row);
  // A dragged chart point: x into column 0, y into column `column` of `row` (host units); the
  // other columns of the row keep their values.
  void MovePoint(int row, int column, double x, double y);
  // Inserts a row at x; `row` -1 finds the first row whose x is not below it.
  void InsertRowAtX(double x, int row);
  // "NEW": a row after `row` (-1: the current row).
  void NewRow(int row);
  // "DELETE": removes `row` (-1: the current row).
  void RemoveRow(int row);
  void MoveRowUp();
  void MoveRowDown();
  void LayoutColumns();
  void FillRows();

  BOOL m_suppressEdits = FALSE;
  int m_visibleColumns = 0;
  CBitmapButton m_insertButton;
  CBitmapButton m_removeButton;
  CBitmapButton m_moveUpButton;
  CBitmapButton m_moveDownButton;
  CGraphEditDlg* m_owner = nullptr;  // set by the editor before the page is made
  int m_precision = 2;
  CGraphListCtrl m_list;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnInitDialog() override;

 private:
  void UpdateRow(const Row& values, int row);
  void SetRowTexts(const Row& values, int row, bool insert);
  void MoveRow(int by);
  double InterpolatedValue(int column, int row, double x) const;
  void OnNew() { NewRow(-1); }
  void OnDelete() { RemoveRow(-1); }
  void OnEditChanged(UINT id);
  void OnEditKillFocus(UINT id);
  void OnListClick(NMHDR*, LRESULT*);
  void OnColumnClick(NMHDR* header, LRESULT*);
  void OnListKey(NMHDR* header, LRESULT*);
  DECLARE_MESSAGE_MAP()
};

class CGraphEquationPP : public CPropertyPage {
 public:
  CGraphEquationPP();
};

class CGraphFilePP : public CPropertyPage {
 public:
  CGraphFilePP();
};
