#include "gui/graph2d/UIGraphTablePP.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cadInterface/CadDocServices.h"
#include "cadInterface/CadResources.h"
#include "gui/graph2d/UIGraphEditDlg.h"
#include "mfc/ddx.h"
#include "res/ResourceIds.h"

namespace {

const int kEditIds[CGraphTablePP::kColumns] = {IDC_GTABLE_EDIT0, IDC_GTABLE_EDIT1, IDC_GTABLE_EDIT2, IDC_GTABLE_EDIT3};

// A cell or edit text as a number: empty is 0, ".5" is 0.5; anything else must be a whole
// finite number (blanks around it allowed). False for text that is not one.
bool parseNumber(const std::string& text, double& value) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) {
    value = 0;
    return true;
  }
  const auto last = text.find_last_not_of(" \t");
  std::string number = text.substr(first, last - first + 1);
  if (number[0] == '.') number.insert(0, "0");
  char* end = nullptr;
  errno = 0;
  const double parsed = std::strtod(number.c_str(), &end);
  if (end != number.c_str() + number.size() || errno == ERANGE || !std::isfinite(parsed)) return false;
  value = parsed;
  return true;
}

// Sets a flag for the life of a scope and puts back what it was.
class FlagScope {
 public:
  FlagScope(BOOL& flag, BOOL value) : flag_(flag), saved_(flag) { flag_ = value; }
  ~FlagScope() { flag_ = saved_; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  BOOL& flag_;
  BOOL saved_;
};

}  // namespace

BEGIN_MESSAGE_MAP(CGraphTablePP, CPropertyPage)
ON_BN_CLICKED(IDC_GTABLE_NEW, OnNew)
ON_BN_DOUBLECLICKED(IDC_GTABLE_NEW, OnNew)
ON_BN_CLICKED(IDC_GTABLE_DELETE, OnDelete)
ON_BN_DOUBLECLICKED(IDC_GTABLE_DELETE, OnDelete)
ON_BN_CLICKED(IDC_GTABLE_MOVE_UP, MoveRowUp)
ON_BN_CLICKED(IDC_GTABLE_MOVE_DOWN, MoveRowDown)
ON_CONTROL_RANGE(EN_CHANGE, IDC_GTABLE_EDIT0, IDC_GTABLE_EDIT3, OnEditChanged)
ON_CONTROL_RANGE(EN_KILLFOCUS, IDC_GTABLE_EDIT0, IDC_GTABLE_EDIT3, OnEditKillFocus)
ON_NOTIFY(NM_CLICK, IDC_GTABLE_LIST, OnListClick)
ON_NOTIFY(LVN_COLUMNCLICK, IDC_GTABLE_LIST, OnColumnClick)
ON_NOTIFY(LVN_KEYDOWN, IDC_GTABLE_LIST, OnListKey)
END_MESSAGE_MAP()

CGraphTablePP::CGraphTablePP() : CPropertyPage(IDD_GRAPH_TABLE) {}
CGraphEquationPP::CGraphEquationPP() : CPropertyPage(IDD_GRAPH_EQUATION) {}
CGraphFilePP::CGraphFilePP() : CPropertyPage(IDD_GRAPH_FILE) {}

void CGraphTablePP::DoDataExchange(CDataExchange* dx) {
  CPropertyPage::DoDataExchange(dx);
  DDX_Control(dx, IDC_GTABLE_LIST, m_list);
}

BOOL CGraphTablePP::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  const struct {
    CBitmapButton& button;
    int id;
    int tip;
  } buttons[] = {{m_insertButton, IDC_GTABLE_NEW, IDS_GTABLE_INSERT_TIP},
                 {m_removeButton, IDC_GTABLE_DELETE, IDS_GTABLE_REMOVE_TIP},
                 {m_moveUpButton, IDC_GTABLE_MOVE_UP, IDS_GTABLE_MOVE_UP_TIP},
                 {m_moveDownButton, IDC_GTABLE_MOVE_DOWN, IDS_GTABLE_MOVE_DOWN_TIP}};
  for (const auto& entry : buttons) {
    entry.button.AutoLoad(static_cast<UINT>(entry.id), this);
    if (m_owner && m_owner->ToolTip().GetSafeHwnd())
      m_owner->ToolTip().AddTool(&entry.button, resLoadString(static_cast<unsigned>(entry.tip)).c_str());
  }
  LayoutColumns();
  FillRows();
  m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
  const int row = CurrentRow();
  UpdateButtons(row);
  FillEdits(row);
  return TRUE;
}

void CGraphTablePP::LayoutColumns() {
  while (m_list.DeleteColumn(0)) {}
  RECT listRect{};
  m_list.GetWindowRect(&listRect);
  ScreenToClient(&listRect);
  int x = listRect.left + 1;
  const int available = listRect.right - listRect.left - 4;
  int used = 0;
  for (int i = 0; i < m_owner->m_columnCount; ++i)
    if (m_owner->m_columns[i].m_used) ++used;
  if (used == 0) return;
  m_visibleColumns = used;
  const int width = static_cast<int>(static_cast<double>(available) / used + 0.5);
  const int excess = std::max(0, used * width - available);  // taken from the x column

  CGraphCtl& chart = m_owner->m_chart;
  for (int i = 0; i < m_owner->m_columnCount && i < kColumns; ++i) {
    const CGraphColumn& column = m_owner->m_columns[i];
    CWnd* edit = GetDlgItem(kEditIds[i]);
    if (!column.m_used) {
      if (edit) edit->ShowWindow(SW_HIDE);
      continue;
    }
    const int columnWidth = i == 0 ? width - excess : width;
    m_list.InsertColumn(i, column.m_title, LVCFMT_LEFT, columnWidth, i > 0 ? i : -1);
    if (edit) {
      RECT editRect{};
      edit->GetWindowRect(&editRect);
      ScreenToClient(&editRect);
      edit->EnableWindow(TRUE);
      edit->MoveWindow(x, editRect.top, columnWidth, editRect.bottom - editRect.top);
      edit->ShowWindow(SW_SHOW);
    }
    x += columnWidth;
    if (i == 0) {
      chart.SetSharedX(TRUE);
      chart.ClearSeries();
    } else {
      chart.AddSeries(m_owner->m_labelSeries ? column.m_title.str().c_str() : "");
      chart.SetSeriesStyle(i - 1, column.IsSwitchedOff());
    }
  }
}

void CGraphTablePP::FillRows() {
  const int rows = m_owner->m_columns[0].Count();
  for (int r = 0; r < rows; ++r) {
    const Row values = ReadRowFromColumns(r);
    SetRowTexts(values, r, true);
    SetChartRow(values, r);
  }
  SelectRow(0);
}

int CGraphTablePP::CurrentRow() const {
  if (!m_list.GetSafeHwnd()) return -1;
  const int selected = m_list.GetNextItem(-1, LVNI_SELECTED);
  return selected >= 0 ? selected : m_list.GetNextItem(-1, LVNI_FOCUSED);
}

CGraphTablePP::Row CGraphTablePP::ReadRowFromColumns(int row) const {
  Row values{};
  for (int i = 0; i < m_visibleColumns; ++i) values[i] = m_owner->m_columns[i].GetValue(row, TRUE);
  return values;
}

CGraphTablePP::Row CGraphTablePP::ReadRowFromList(int row) const {
  Row values{};
  for (int i = 0; i < m_visibleColumns; ++i)
    if (!parseNumber(m_list.GetItemText(row, i).str(), values[i])) values[i] = 0;
  return values;
}

// The texts of a row at the page's precision, in a new list item or over an existing one.
void CGraphTablePP::SetRowTexts(const Row& values, int row, bool insert) {
  for (int i = 0; i < m_visibleColumns; ++i) {
    CString text;
    CadFormatValue(text, values[i], m_precision);
    if (i == 0 && insert)
      m_list.InsertItem(row, text);
    else
      m_list.SetItemText(row, i, text);
  }
}

void CGraphTablePP::InsertRowValues(const Row& values, int row) {
  if (row < 0) row = m_list.GetItemCount();
  for (int i = 0; i < m_visibleColumns; ++i) m_owner->m_columns[i].AddValue(values[i], row, TRUE);
  SetRowTexts(values, row, true);
}

void CGraphTablePP::UpdateRow(const Row& values, int row) {
  for (int i = 0; i < m_visibleColumns; ++i) m_owner->m_columns[i].SetValue(values[i], row, TRUE);
  SetRowTexts(values, row, false);
  if (row == CurrentRow()) FillEdits(row);
}

void CGraphTablePP::SetChartRow(const Row& values, int row) {
  CGraphCtl& chart = m_owner->m_chart;
  if (row < 0) row = m_list.GetItemCount();
  const BOOL wasBatched = chart.SetBatched(TRUE);
  chart.InsertPoint(0, row, values[0], values[1]);
  for (int i = 2; i < m_visibleColumns; ++i) chart.SetPoint(i - 1, row, values[0], values[i]);
  if (!wasBatched) chart.SetBatched(FALSE);
}

void CGraphTablePP::SelectRow(int row) {
  const int count = m_list.GetItemCount();
  if (count == 0) return;
  row = std::clamp(row, 0, count - 1);
  m_list.SetFocus();
  const int old = CurrentRow();
  if (old >= 0) m_list.SetItemState(old, 0, LVIS_FOCUSED | LVIS_SELECTED);
  m_list.SetItemState(row, LVIS_FOCUSED, LVIS_FOCUSED | LVIS_SELECTED);
}

void CGraphTablePP::FillEdits(int row) {
  FlagScope suppress(m_suppressEdits, TRUE);
  for (int i = 0; i < m_visibleColumns; ++i)
    SetDlgItemText(kEditIds[i], row >= 0 ? m_list.GetItemText(row, i).str().c_str() : "");
}

void CGraphTablePP::UpdateButtons(int row) {
  for (int i = 0; i < m_visibleColumns; ++i)
    if (CWnd* edit = GetDlgItem(kEditIds[i])) edit->EnableWindow(row >= 0 && !m_owner->m_columns[i].IsSwitchedOff());
  const int count = m_list.GetItemCount();
  m_removeButton.EnableWindow(row >= 0);
  m_moveUpButton.EnableWindow(row > 0);
  m_moveDownButton.EnableWindow(row >= 0 && row < count - 1);
  m_insertButton.EnableWindow(TRUE);
}

// Only the dragged point's x and y change: the row's other values stay as they are, not as
// their rounded texts read back.
void CGraphTablePP::MovePoint(int row, int column, double x, double y) {
  if (row < 0 || row >= m_list.GetItemCount() || column < 1 || column >= m_visibleColumns) return;
  m_owner->m_columns[0].SetValue(x, row, TRUE);
  m_owner->m_columns[column].SetValue(y, row, TRUE);
  for (const auto& [index, value] : {std::pair{0, x}, std::pair{column, y}}) {
    CString text;
    CadFormatValue(text, value, m_precision);
    m_list.SetItemText(row, index, text);
  }
  if (row == CurrentRow()) FillEdits(row);
}

void CGraphTablePP::InsertRowAtX(double x, int row) {
  const int count = m_list.GetItemCount();
  const CGraphColumn* columns = m_owner->m_columns;
  if (row < 0) {
    row = count;
    for (int r = 0; r < count; ++r)
      if (columns[0].GetValue(r, TRUE) >= x) {
        row = r;
        break;
      }
  }
  row = std::min(row, count);

  Row values{};
  values[0] = x;
  for (int c = 1; c < m_visibleColumns; ++c) values[c] = InterpolatedValue(c, row, x);
  InsertRowValues(values, row);
  SelectRow(row);
  UpdateButtons(row);
  FillEdits(row);
  SetChartRow(values, row);
}

// Column c's value for a new row at x before `row`: linear in x between its neighbours; before
// the first row from the origin; after the last row linear in x from the last two rows, or the
// last row's value when there is only one.
double CGraphTablePP::InterpolatedValue(int c, int row, double x) const {
  const CGraphColumn& xs = m_owner->m_columns[0];
  const CGraphColumn& ys = m_owner->m_columns[c];
  const int count = m_list.GetItemCount();
  if (count == 0) return 0;
  if (row >= count) {
    if (count == 1) return ys.GetValue(0, TRUE);
    const double xLow = xs.GetValue(count - 2, TRUE), xHigh = xs.GetValue(count - 1, TRUE);
    const double yLow = ys.GetValue(count - 2, TRUE), yHigh = ys.GetValue(count - 1, TRUE);
    if (xHigh == xLow) return yHigh;
    return yHigh + (yHigh - yLow) * (x - xHigh) / (xHigh - xLow);
  }
  const double xLow = row > 0 ? xs.GetValue(row - 1, TRUE) : 0, xHigh = xs.GetValue(row, TRUE);
  const double yLow = row > 0 ? ys.GetValue(row - 1, TRUE) : 0, yHigh = ys.GetValue(row, TRUE);
  const double t = xHigh != xLow ? (x - xLow) / (xHigh - xLow) : 0;
  return yLow + (yHigh - yLow) * t;
}

void CGraphTablePP::NewRow(int row) {
  const int count = m_list.GetItemCount();
  if (row >= count) row = CurrentRow();
  if (row < 0) row = CurrentRow();
  const int position = row >= 0 ? row + 1 : count;
  const CGraphColumn& xs = m_owner->m_columns[0];
  double x = 0;
  if (position > 0) {
    const double a = xs.GetValue(position - 1, TRUE);
    if (position < count)
      x = (a + xs.GetValue(position, TRUE)) / 2;
    else if (position > 1)
      x = a + (a - xs.GetValue(position - 2, TRUE));
    else
      x = 2 * a;
  }
  InsertRowAtX(x, position);
}

void CGraphTablePP::RemoveRow(int row) {
  if (row < 0 || row >= m_list.GetItemCount()) row = CurrentRow();
  if (row < 0) return;
  CGraphCtl& chart = m_owner->m_chart;
  const BOOL wasBatched = chart.SetBatched(TRUE);
  chart.DeletePoint(0, row);
  if (!wasBatched) chart.SetBatched(FALSE);
  for (int i = 0; i < m_visibleColumns; ++i) m_owner->m_columns[i].RemoveValue(row);
  m_list.DeleteItem(row);
  if (m_suppressEdits) return;
  SelectRow(row);
  const int current = CurrentRow();
  UpdateButtons(current);
  FillEdits(current);
}

void CGraphTablePP::MoveRowUp() { MoveRow(-1); }
void CGraphTablePP::MoveRowDown() { MoveRow(+1); }

void CGraphTablePP::MoveRow(int by) {
  const int row = CurrentRow();
  const int target = row + by;
  if (row < 0 || target < 0 || target >= m_list.GetItemCount()) return;
  const Row values = ReadRowFromColumns(row);
  CGraphCtl& chart = m_owner->m_chart;
  const BOOL wasBatched = chart.SetBatched(TRUE);
  {
    FlagScope suppress(m_suppressEdits, TRUE);
    RemoveRow(row);
  }
  InsertRowValues(values, target);
  SetChartRow(values, target);
  SelectRow(target);
  UpdateButtons(target);
  FillEdits(target);
  if (!wasBatched) chart.SetBatched(FALSE);
}

void CGraphTablePP::OnEditChanged(UINT id) {
  if (m_suppressEdits) return;
  const int column = static_cast<int>(id) - IDC_GTABLE_EDIT0;
  const int row = CurrentRow();
  if (row < 0 || column < 0 || column >= m_visibleColumns) return;
  CString text;
  GetDlgItemText(static_cast<int>(id), text);
  double value = 0;
  // Text that is not a number is not taken: the cell and the value keep the last number.
  if (!parseNumber(text.str(), value)) return;
  m_list.SetItemText(row, column, text);
  m_owner->m_columns[column].SetValue(value, row, TRUE);
  CGraphCtl& chart = m_owner->m_chart;
  const int series = std::max(column - 1, 0);
  double x = 0, y = 0;
  if (!chart.GetPoint(series, row, x, y)) return;
  if (column == 0)
    x = value;
  else
    y = value;
  chart.SetPoint(series, row, x, y);
}

// Leaving an edit that holds no number says so and shows the value kept.
void CGraphTablePP::OnEditKillFocus(UINT id) {
  if (m_suppressEdits) return;
  const int column = static_cast<int>(id) - IDC_GTABLE_EDIT0;
  const int row = CurrentRow();
  if (row < 0 || column < 0 || column >= m_visibleColumns) return;
  CString text;
  GetDlgItemText(static_cast<int>(id), text);
  double value = 0;
  if (parseNumber(text.str(), value)) return;
  const CString kept = m_list.GetItemText(row, column);
  char message[600];
  std::snprintf(message, sizeof message, resLoadString(IDS_GTABLE_NOT_A_NUMBER).c_str(),
                text.str().substr(0, 200).c_str(), kept.str().c_str());
  AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
  FillEdits(row);
}

void CGraphTablePP::OnListClick(NMHDR*, LRESULT*) {
  const int row = CurrentRow();
  FillEdits(row);
  UpdateButtons(row);
}

void CGraphTablePP::OnColumnClick(NMHDR* header, LRESULT*) {
  const int column = reinterpret_cast<NMLISTVIEW*>(header)->iSubItem;
  if (column < 0 || column >= m_owner->m_columnCount) return;
  CGraphColumn& data = m_owner->m_columns[column];
  if (data.m_state == CGraphColumn::kAlwaysOn) return;
  data.m_state = data.m_state == CGraphColumn::kSwitchedOn ? CGraphColumn::kSwitchedOff : CGraphColumn::kSwitchedOn;
  m_owner->m_chart.SetSeriesStyle(column - 1, data.IsSwitchedOff());
  if (CWnd* edit = GetDlgItem(kEditIds[column])) edit->EnableWindow(!data.IsSwitchedOff() && CurrentRow() >= 0);
}

void CGraphTablePP::OnListKey(NMHDR* header, LRESULT*) {
  const WORD key = reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey;
  const int row = CurrentRow();
  const int last = m_list.GetItemCount() - 1;
  const int page = std::max(m_list.GetCountPerPage() - 1, 1);
  int target = -1;
  switch (key) {
    case VK_PRIOR: target = std::max(row - page, 0); break;
    case VK_NEXT: target = std::min(row + page, last); break;
    case VK_HOME: target = 0; break;
    case VK_END: target = last; break;
    case VK_UP: target = row > 0 ? row - 1 : row; break;
    case VK_DOWN: target = row < last ? row + 1 : row; break;
    case VK_INSERT: NewRow(row); return;
    case VK_DELETE: RemoveRow(row); return;
    default: return;
  }
  if (last < 0) return;
  SelectRow(target);
  UpdateButtons(CurrentRow());
  FillEdits(CurrentRow());
}
