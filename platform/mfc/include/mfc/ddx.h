// Dialog data exchange: moves values between a dialog's members and its controls.
//
// With m_bSaveAndValidate TRUE (UpdateData(TRUE)) the DDX_ functions read controls into members
// and the DDV_ functions check them; a text that does not parse as the member's type, or a value
// out of range, shows the platform's message box ("Please enter an integer.", "Please enter a
// number.", "Please enter an integer between %1 and %2." ...), puts the focus back in the control,
// and fails the exchange: UpdateData returns FALSE. A text that does not parse leaves the member
// as it was; a value out of range is already in the member when its DDV_ check refuses it.
// With FALSE (UpdateData(FALSE)) members are written into the controls; doubles as "%.15g".
#pragma once
#include <exception>

#include "mfc/cstring.h"
#include "mfc/wnd.h"

// Thrown by CDataExchange::Fail; UpdateData catches it.
class CUserException : public std::exception {
 public:
  const char* what() const noexcept override { return "data exchange failed"; }
};

class CDataExchange {
 public:
  CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}
  BOOL m_bSaveAndValidate;
  CWnd* m_pDlgWnd;
  // The control `id` of the dialog, remembered as the one to refocus on failure.
  HWND PrepareCtrl(int id);
  HWND PrepareEditCtrl(int id);
  // When saving: focus back to the last prepared control, then throws CUserException.
  // When loading: does nothing (the platform ignores it).
  void Fail();

 private:
  HWND lastControl_ = nullptr;
  bool lastWasEdit_ = false;
};

void DDX_Text(CDataExchange* dx, int id, int& value);
void DDX_Text(CDataExchange* dx, int id, UINT& value);
void DDX_Text(CDataExchange* dx, int id, long& value);
void DDX_Text(CDataExchange* dx, int id, double& value);
void DDX_Text(CDataExchange* dx, int id, float& value);
void DDX_Text(CDataExchange* dx, int id, CString& value);
// Combo selection index (-1 none); text of the edit part or selection. Loading a text selects the
// first entry that begins with it (case-insensitive); an empty text leaves a drop-down list as it is.
void DDX_CBIndex(CDataExchange* dx, int id, int& index);
void DDX_CBString(CDataExchange* dx, int id, CString& value);
void DDX_CBStringExact(CDataExchange* dx, int id, CString& value);
void DDX_LBIndex(CDataExchange* dx, int id, int& index);
void DDX_LBString(CDataExchange* dx, int id, CString& value);
// A radio group from its first button to the next WS_GROUP: the checked index, -1 when none.
void DDX_Radio(CDataExchange* dx, int firstId, int& index);
void DDX_Check(CDataExchange* dx, int id, int& state);
// Slider position.
void DDX_Slider(CDataExchange* dx, int id, int& pos);
// Attaches `control` to the dialog's control `id` the first time.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);

void DDV_MinMaxInt(CDataExchange* dx, int value, int minimum, int maximum);
void DDV_MinMaxUInt(CDataExchange* dx, UINT value, UINT minimum, UINT maximum);
void DDV_MinMaxLong(CDataExchange* dx, long value, long minimum, long maximum);
void DDV_MinMaxDouble(CDataExchange* dx, const double& value, double minimum, double maximum);
void DDV_MaxChars(CDataExchange* dx, const CString& value, int count);
