#include "mfc/ddx.h"

#include <climits>

#include "mfc/controls.h"
#include "mfc/log.h"
#include "mfc/services.h"
#include "mfc/winapi.h"
#include "text_format.h"
#include "window_internal.h"

using namespace mfc::detail;

namespace {

// The platform's own texts for refused values.
constexpr const char* kParseInt = "Please enter an integer.";
constexpr const char* kParseReal = "Please enter a number.";
constexpr const char* kIntRange = "Please enter an integer between %1 and %2.";
constexpr const char* kRealRange = "Please enter a number between %1 and %2.";
constexpr const char* kMaxChars = "Please enter no more than %1 characters.";

std::string fill(const char* pattern, const std::string& first, const std::string& second = {}) {
  std::string text = pattern;
  auto put = [&](const std::string& key, const std::string& value) {
    size_t at = text.find(key);
    if (at != std::string::npos) text.replace(at, key.size(), value);
  };
  put("%1", first);
  put("%2", second);
  return text;
}

void refuse(CDataExchange* dx, const std::string& message) {
  AfxMessageBox(message.c_str(), MB_OK | MB_ICONEXCLAMATION);
  dx->Fail();
}

std::string controlText(HWND control) { return isLive(control) ? control->text : std::string(); }

template <typename T>
void exchangeInteger(CDataExchange* dx, int id, T& value, long long low, long long high) {
  HWND control = dx->PrepareEditCtrl(id);
  if (!dx->m_bSaveAndValidate) {
    ::SetWindowText(control, std::to_string(value).c_str());
    return;
  }
  auto parsed = parseLong(controlText(control));
  if (!parsed || *parsed < low || *parsed > high)
    refuse(dx, kParseInt);
  else
    value = static_cast<T>(*parsed);
}

template <typename T>
void exchangeReal(CDataExchange* dx, int id, T& value, int digits) {
  HWND control = dx->PrepareEditCtrl(id);
  if (!dx->m_bSaveAndValidate) {
    ::SetWindowText(control, format("%.*g", digits, static_cast<double>(value)).c_str());
    return;
  }
  auto parsed = parseDouble(controlText(control));
  if (!parsed)
    refuse(dx, kParseReal);
  else
    value = static_cast<T>(*parsed);
}

CComboBox* comboOf(HWND control) { return static_cast<CComboBox*>(CWnd::FromHandle(control)); }
CListBox* listOf(HWND control) { return static_cast<CListBox*>(CWnd::FromHandle(control)); }

bool isRadio(HWND h) {
  DWORD type = h->style & BS_TYPEMASK;
  return h->kind == WindowKind::Button && (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON);
}

}  // namespace

HWND CDataExchange::PrepareCtrl(int id) {
  HWND control = ::GetDlgItem(m_pDlgWnd ? m_pDlgWnd->m_hWnd : nullptr, id);
  if (!control) mfc::log("warning: data exchange with control " + std::to_string(id) + ", which the window lacks");
  lastControl_ = control;
  lastWasEdit_ = false;
  return control;
}

HWND CDataExchange::PrepareEditCtrl(int id) {
  HWND control = PrepareCtrl(id);
  lastWasEdit_ = true;
  return control;
}

void CDataExchange::Fail() {
  if (!m_bSaveAndValidate) return;
  if (isLive(lastControl_)) ::SetFocus(lastControl_);
  throw CUserException();
}

void DDX_Text(CDataExchange* dx, int id, int& value) { exchangeInteger(dx, id, value, INT_MIN, INT_MAX); }
void DDX_Text(CDataExchange* dx, int id, UINT& value) { exchangeInteger(dx, id, value, 0, UINT_MAX); }
void DDX_Text(CDataExchange* dx, int id, long& value) { exchangeInteger(dx, id, value, LONG_MIN, LONG_MAX); }
void DDX_Text(CDataExchange* dx, int id, double& value) { exchangeReal(dx, id, value, 15); }
void DDX_Text(CDataExchange* dx, int id, float& value) { exchangeReal(dx, id, value, 6); }

void DDX_Text(CDataExchange* dx, int id, CString& value) {
  HWND control = dx->PrepareEditCtrl(id);
  if (dx->m_bSaveAndValidate)
    value = controlText(control);
  else
    ::SetWindowText(control, value);
}

void DDX_CBIndex(CDataExchange* dx, int id, int& index) {
  HWND control = dx->PrepareCtrl(id);
  if (!control) return;
  if (dx->m_bSaveAndValidate)
    index = comboOf(control)->GetCurSel();
  else
    comboOf(control)->SetCurSel(index);
}

void DDX_CBString(CDataExchange* dx, int id, CString& value) {
  HWND control = dx->PrepareCtrl(id);
  if (!control) return;
  CComboBox* combo = comboOf(control);
  if (dx->m_bSaveAndValidate) {
    combo->GetWindowText(value);
    return;
  }
  bool dropList = (control->style & CBS_TYPEMASK) == CBS_DROPDOWNLIST;
  if (value.IsEmpty()) {
    if (!dropList) mfc::detail::setText(control, "");
    return;
  }
  if (combo->SelectString(-1, value) == CB_ERR && !dropList) mfc::detail::setText(control, value.str());
}

void DDX_CBStringExact(CDataExchange* dx, int id, CString& value) {
  HWND control = dx->PrepareCtrl(id);
  if (!control) return;
  CComboBox* combo = comboOf(control);
  if (dx->m_bSaveAndValidate) {
    combo->GetWindowText(value);
    return;
  }
  int index = combo->FindStringExact(-1, value);
  if (index != CB_ERR)
    combo->SetCurSel(index);
  else if ((control->style & CBS_TYPEMASK) != CBS_DROPDOWNLIST)
    mfc::detail::setText(control, value.str());
}

void DDX_LBIndex(CDataExchange* dx, int id, int& index) {
  HWND control = dx->PrepareCtrl(id);
  if (!control) return;
  if (dx->m_bSaveAndValidate)
    index = listOf(control)->GetCurSel();
  else
    listOf(control)->SetCurSel(index);
}

void DDX_LBString(CDataExchange* dx, int id, CString& value) {
  HWND control = dx->PrepareCtrl(id);
  if (!control) return;
  CListBox* list = listOf(control);
  if (dx->m_bSaveAndValidate) {
    int sel = list->GetCurSel();
    value = sel == LB_ERR ? CString() : CString(control->items[static_cast<size_t>(sel)].text);
  } else {
    list->SelectString(-1, value);
  }
}

void DDX_Radio(CDataExchange* dx, int firstId, int& index) {
  HWND first = dx->PrepareCtrl(firstId);
  if (!first || !first->parent) return;
  auto& siblings = first->parent->children;
  auto it = std::find(siblings.begin(), siblings.end(), first);
  if (dx->m_bSaveAndValidate) index = -1;
  int position = 0;
  for (; it != siblings.end(); ++it) {
    HWND h = *it;
    if (h != first && (h->style & WS_GROUP)) break;
    if (!isRadio(h)) continue;
    if (dx->m_bSaveAndValidate) {
      if (h->check == BST_CHECKED) index = position;
    } else {
      h->check = position == index ? BST_CHECKED : BST_UNCHECKED;
    }
    ++position;
  }
}

void DDX_Check(CDataExchange* dx, int id, int& state) {
  HWND control = dx->PrepareCtrl(id);
  if (!control) return;
  if (dx->m_bSaveAndValidate)
    state = control->check;
  else
    control->check = state;
}

void DDX_Slider(CDataExchange* dx, int id, int& pos) {
  HWND control = dx->PrepareCtrl(id);
  if (!control) return;
  auto* slider = static_cast<CSliderCtrl*>(CWnd::FromHandle(control));
  if (dx->m_bSaveAndValidate)
    pos = slider->GetPos();
  else
    slider->SetPos(pos);
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
  if (control.m_hWnd) return;
  HWND item = dx->PrepareCtrl(id);
  if (!item || !control.SubclassWindow(item)) {
    mfc::log("warning: cannot attach control " + std::to_string(id));
    dx->Fail();
  }
}

void DDV_MinMaxInt(CDataExchange* dx, int value, int minimum, int maximum) {
  if (dx->m_bSaveAndValidate && (value < minimum || value > maximum))
    refuse(dx, fill(kIntRange, std::to_string(minimum), std::to_string(maximum)));
}

void DDV_MinMaxUInt(CDataExchange* dx, UINT value, UINT minimum, UINT maximum) {
  if (dx->m_bSaveAndValidate && (value < minimum || value > maximum))
    refuse(dx, fill(kIntRange, std::to_string(minimum), std::to_string(maximum)));
}

void DDV_MinMaxLong(CDataExchange* dx, long value, long minimum, long maximum) {
  if (dx->m_bSaveAndValidate && (value < minimum || value > maximum))
    refuse(dx, fill(kIntRange, std::to_string(minimum), std::to_string(maximum)));
}

void DDV_MinMaxDouble(CDataExchange* dx, const double& value, double minimum, double maximum) {
  // Written so that a value that is not a number ("nan" parses) is out of every range.
  if (dx->m_bSaveAndValidate && !(value >= minimum && value <= maximum))
    refuse(dx, fill(kRealRange, format("%.15g", minimum), format("%.15g", maximum)));
}

void DDV_MaxChars(CDataExchange* dx, const CString& value, int count) {
  if (dx->m_bSaveAndValidate && value.GetLength() > count) refuse(dx, fill(kMaxChars, std::to_string(count)));
}
