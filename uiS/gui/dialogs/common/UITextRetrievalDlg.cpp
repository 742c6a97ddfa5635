#include "gui/dialogs/common/UITextRetrievalDlg.h"

#include <utility>

#include "amg/CaeString.h"
#include "cadInterface/CadDocServices.h"
#include "cadInterface/CadResources.h"

namespace {

struct CaptionHelp {
  UINT caption;
  DWORD_PTR context;
};
constexpr CaptionHelp kCaptionHelp[] = {
    {IDS_CREATE_NEW_MODEL, 0x8000000d},
    {IDS_CREATE_NEW_LOAD_SET, 0x8000000e},
    {IDS_CREATE_NEW_RESTRAINT_SET, 0x8000000f},
};

}  // namespace

BEGIN_MESSAGE_MAP(CTextRetrievalDlg, CDialog)
ON_EN_CHANGE(IDC_TEXT_RETRIEVAL_EDIT, OnTextChange)
ON_BN_CLICKED(IDC_TEXT_RETRIEVAL_HELP, OnHelp)
END_MESSAGE_MAP()

CTextRetrievalDlg::CTextRetrievalDlg(const char* caption, const char* prompt, CWnd* parent)
    : CDialog(kTemplateId, parent),
      m_prompt(prompt ? prompt : ""),
      m_caption(caption ? caption : ""),
      m_helpContext(HelpContextFor(caption)) {}

DWORD_PTR CTextRetrievalDlg::HelpContextFor(const char* caption) {
  if (!caption) return 0;
  for (const CaptionHelp& row : kCaptionHelp)
    if (resLoadString(row.caption) == CaeString(caption)) return row.context;
  return 0;
}

void CTextRetrievalDlg::SetNameTaken(NameTaken taken, const CString& message) {
  taken_ = std::move(taken);
  takenMessage_ = message;
}

BOOL CTextRetrievalDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SetWindowText(m_caption);
  if (m_helpContext == 0)
    if (CWnd* help = GetDlgItem(IDC_TEXT_RETRIEVAL_HELP)) help->ShowWindow(SW_HIDE);
  if (CWnd* ok = GetDlgItem(IDOK)) ok->EnableWindow(!m_text.IsEmpty());
  return TRUE;
}

void CTextRetrievalDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Text(dx, IDC_TEXT_RETRIEVAL_EDIT, m_text);
  DDX_Text(dx, IDC_TEXT_RETRIEVAL_PROMPT, m_prompt);
  if (m_nameCheck && dx->m_bSaveAndValidate && !CadIsValidName(m_text)) {
    AfxMessageBox(resLoadString(IDS_INVALID_NAME).Text(), MB_OK | MB_TASKMODAL);
    dx->PrepareEditCtrl(IDC_TEXT_RETRIEVAL_EDIT);
    dx->Fail();
  }
}

void CTextRetrievalDlg::OnTextChange() {
  UpdateData(TRUE);
  CString text;
  GetDlgItemText(IDC_TEXT_RETRIEVAL_EDIT, text);
  if (CWnd* ok = GetDlgItem(IDOK)) ok->EnableWindow(!text.IsEmpty());
}

void CTextRetrievalDlg::RefuseText(const char* message) {
  AfxMessageBox(message, MB_OK | MB_TASKMODAL);
  if (CWnd* edit = GetDlgItem(IDC_TEXT_RETRIEVAL_EDIT)) GotoDlgCtrl(edit);
}

void CTextRetrievalDlg::OnOK() {
  CString text;
  GetDlgItemText(IDC_TEXT_RETRIEVAL_EDIT, text);
  if (m_maxLength > 0 && text.GetLength() > m_maxLength) {
    RefuseText(resLoadString(IDS_INVALID_INPUT).Text());
    return;
  }
  if (!UpdateData(TRUE)) return;
  if (taken_ && taken_(m_text)) {
    RefuseText(takenMessage_);
    return;
  }
  EndDialog(IDOK);
}

void CTextRetrievalDlg::OnHelp() { UIShowHelp(m_helpContext, HELP_CONTEXT); }
