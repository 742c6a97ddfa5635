#include "gui/dialogs/lbc/UITableDataDlg.h"

#include <cstdio>
#include <memory>

#include "amg/CaeGraph.h"
#include "cadInterface/CadResources.h"
#include "gui/utils/UIPickers.h"
#include "mfc/services.h"
#include "res/ResourceIds.h"

namespace {

constexpr DWORD_PTR kHelpBase = 0x20000;

// The single-precision reading the table compares and returns; a text that is no number reads 0.
float ReadNumber(const char* text) {
  float value = 0.0f;
  if (!text || std::sscanf(text, "%f", &value) != 1) return 0.0f;
  return value;
}

}  // namespace

// ---- CSortedNumListBox ----

int CSortedNumListBox::CompareNumbers(const char* a, const char* b) {
  const float x = ReadNumber(a);
  const float y = ReadNumber(b);
  if (x < y) return -1;
  return x > y ? 1 : 0;
}

int CSortedNumListBox::InsertSorted(const char* text) {
  for (int i = 0; i < GetCount(); ++i) {
    CString item;
    GetText(i, item);
    if (CompareNumbers(item, text) >= 0) return InsertString(i, text);
  }
  return InsertString(-1, text);
}

double CSortedNumListBox::GetValue(int index) const {
  CString item;
  GetText(index, item);
  return ReadNumber(item);
}

int CSortedNumListBox::AddValue(int index, double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%e", value);
  return index == -1 ? InsertString(-1, text) : InsertSorted(text);
}

// ---- CTableDataDlg ----

BEGIN_MESSAGE_MAP(CTableDataDlg, CDialog)
ON_BN_CLICKED(IDC_TABLE_ADD, OnAddButton)
ON_BN_CLICKED(IDC_TABLE_MODIFY, OnModify)
ON_BN_CLICKED(IDC_TABLE_DELETE, OnDelete)
ON_BN_CLICKED(IDC_TABLE_GRAPH, OnGraph)
ON_BN_CLICKED(IDC_TABLE_HELP, OnHelp)
ON_LBN_SELCHANGE(IDC_TABLE_TEMP_LIST, OnTempSelChange)
ON_LBN_SELCHANGE(IDC_TABLE_VALUE_LIST, OnValueSelChange)
END_MESSAGE_MAP()

CTableDataDlg::CTableDataDlg(CWnd* parent) : CDialog(IDD_TABLE_DATA, parent) {}

void CTableDataDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_TABLE_VALUE_LIST, m_valueList);
  DDX_Control(dx, IDC_TABLE_TEMP_LIST, m_tempList);
  DDX_Text(dx, IDC_TABLE_TEMP_LABEL, m_strTempLabel);
  DDX_Text(dx, IDC_TABLE_VALUE_LABEL, m_strValueLabel);
  DDX_Text(dx, IDC_TABLE_TEMP_UNIT, m_strTempUnit);
  DDX_Text(dx, IDC_TABLE_VALUE_UNIT, m_strValueUnit);
  DDX_Text(dx, IDC_TABLE_TEMP, m_dTemp);
  DDX_Text(dx, IDC_TABLE_VALUE, m_dValue);
}

BOOL CTableDataDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  const int rows = std::min(m_temps.GetSize(), m_values.GetSize());
  for (int i = 0; i < rows; ++i) {
    m_tempList.AddValue(-1, m_temps.GetAt(i));
    m_valueList.AddValue(-1, m_values.GetAt(i));
  }
  return TRUE;
}

void CTableDataDlg::OnOK() {
  const int rows = m_tempList.GetCount();
  m_temps.SetSize(rows);
  m_values.SetSize(rows);
  for (int i = 0; i < rows; ++i) {
    m_temps.SetAt(i, m_tempList.GetValue(i));
    m_values.SetAt(i, m_valueList.GetValue(i));
  }
  CDialog::OnOK();
}

CString CTableDataDlg::EditText(int id) const {
  CString text;
  if (CWnd* edit = GetDlgItem(id)) edit->GetWindowText(text);
  return text;
}

void CTableDataDlg::RemoveRow(int row) {
  m_tempList.DeleteString(row);
  m_valueList.DeleteString(row);
}

BOOL CTableDataDlg::OnAdd() {
  if (!UpdateData(TRUE)) return FALSE;
  const CString temperature = EditText(IDC_TABLE_TEMP);
  const CString value = EditText(IDC_TABLE_VALUE);
  if (temperature.IsEmpty() || value.IsEmpty()) return FALSE;
  for (int row = 0; row < m_tempList.GetCount(); ++row) {
    CString existing;
    m_tempList.GetText(row, existing);
    if (CSortedNumListBox::CompareNumbers(existing, temperature) != 0) continue;
    if (AfxMessageBox(IDS_TABLE_REPLACE_PAIR, MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK) return FALSE;
    RemoveRow(row--);
  }
  const int at = m_tempList.InsertSorted(temperature);
  m_valueList.InsertString(at, value);
  m_tempList.SetFocus();
  return TRUE;
}

void CTableDataDlg::OnModify() {
  if (!UpdateData(TRUE)) return;
  const int row = m_tempList.GetCurSel();
  if (EditText(IDC_TABLE_TEMP).IsEmpty() || EditText(IDC_TABLE_VALUE).IsEmpty() || row < 0) return;
  CString oldTemperature, oldValue;
  m_tempList.GetText(row, oldTemperature);
  m_valueList.GetText(row, oldValue);
  RemoveRow(row);
  if (OnAdd()) return;
  const int at = m_tempList.InsertSorted(oldTemperature);  // the modified row comes back
  m_valueList.InsertString(at, oldValue);
}

void CTableDataDlg::OnDelete() {
  const int row = m_tempList.GetCurSel();
  if (row < 0) return;
  RemoveRow(row);
  const int selected = row < m_tempList.GetCount() ? row : 0;
  m_tempList.SetCurSel(selected);
  m_valueList.SetCurSel(selected);
  m_tempList.SetFocus();
}

void CTableDataDlg::OnSelChange(CSortedNumListBox& changed, CSortedNumListBox& other) {
  const int row = changed.GetCurSel();
  if (row < 0) return;
  other.SetCurSel(row);
  CString temperature, value;
  m_tempList.GetText(row, temperature);
  m_valueList.GetText(row, value);
  SetDlgItemText(IDC_TABLE_TEMP, temperature);
  SetDlgItemText(IDC_TABLE_VALUE, value);
}

// The graph window is not part of the add-in yet.
void CTableDataDlg::OnGraph() {
  auto graph = std::make_unique<CaeGraph>();
  graph->Type(0);
  graph->SetName(CaeString((m_strValueLabel + resLoadString(IDS_GRAPH_VERSUS).Text() + m_strTempLabel).str().c_str()));
  graph->XAxis(CaeGraphAxis(CaeString((m_strTempLabel + " " + m_strTempUnit).str().c_str())));
  graph->YAxis(CaeGraphAxis(CaeString((m_strValueLabel + " " + m_strValueUnit).str().c_str())));
  for (int row = 0; row < m_tempList.GetCount() && row < m_valueList.GetCount(); ++row)
    graph->AddPoint(m_tempList.GetValue(row), m_valueList.GetValue(row), 0, -1);
  UIShowGraphWindow(graph.release());  // the graph window owns it
}

void CTableDataDlg::OnHelp() { UIShowHelp(kHelpBase + IDD_TABLE_DATA, HELP_CONTEXT); }
