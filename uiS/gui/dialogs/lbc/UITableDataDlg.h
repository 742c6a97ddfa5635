// "Table Data": a two-column table of numbers, temperature against a value, kept in ascending
// order of temperature, with Add, Modify and Delete. Its owner fills the two arrays and the four
// texts, runs it and reads the arrays back after OK.
#pragma once

#include "mfc/afx.h"

// A list box of numeric texts kept in ascending order by the inserting code.
class CSortedNumListBox : public CListBox {
 public:
  // Both texts read as single-precision numbers: -1, 0 or 1.
  static int CompareNumbers(const char* a, const char* b);
  // Inserts before the first item not smaller than `text` (equal values go first); its index.
  int InsertSorted(const char* text);
  double GetValue(int index) const;
  // "%e" of the value: appended for index -1, else inserted in sorted position.
  int AddValue(int index, double value);
};

class CTableDataDlg : public CDialog {
 public:
  explicit CTableDataDlg(CWnd* parent = nullptr);

  BOOL OnInitDialog() override;
  void OnOK() override;
  BOOL OnAdd();
  void OnModify();
  void OnDelete();
  void OnGraph();

  CSortedNumListBox m_valueList;
  CSortedNumListBox m_tempList;
  CString m_strTempLabel;
  CString m_strValueLabel;
  CString m_strTempUnit;
  CString m_strValueUnit;
  double m_dTemp = 0.0;
  double m_dValue = 0.0;
  CArray<double, double> m_temps;
  CArray<double, double> m_values;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void OnTempSelChange() { OnSelChange(m_tempList, m_valueList); }
  void OnValueSelChange() { OnSelChange(m_valueList, m_tempList); }
  void OnHelp();
  void OnAddButton() { OnAdd(); }
  DECLARE_MESSAGE_MAP()

 private:
  void OnSelChange(CSortedNumListBox& changed, CSortedNumListBox& other);
  CString EditText(int id) const;
  void RemoveRow(int row);
};
