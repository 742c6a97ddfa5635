#include "gui/dialogs/common/UISummaryDlg.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "amg/CaeConfig.h"
#include "amg/CaeMsgCall.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/FerResult.h"
#include "fea/FerState.h"
#include "gui/utils/UIResultsCommand.h"
#include "mfc/ole.h"
#include "mfc/services.h"

namespace {

constexpr const char* kPictureName = "ondrl.jpg";

std::wstring Wide(const CString& text) {
  const std::string narrow(static_cast<const char*>(text));
  return std::wstring(narrow.begin(), narrow.end());
}

}  // namespace

// ---- the report's system side ---------------------------------------------------------------

CUIReport::CUIReport(const CaeString& title, const CaeString& engineer, const CaeString& company,
                     const CaeString& client, const CaeString& notes)
    : CaeFerReport(title, engineer, company, client, notes) {}

void CUIReport::AddTitleLine(CaeTextLine& line) {
  CaeString title;
  if (CadInterface* cad = CadInterface::GetCurrent())
    cad->GetProductTitle2(title);
  else
    title = resLoadString(IDS_PRODUCT_TITLE);
  line.Add(CaeText(title, 2, CaeString("#FF0000"), CaeString("#F8F098")));
}

void CUIReport::GetPicturePath(CaeString& path) {
  CaeString folder;
  if (!CaeConfig::GetValue(1, CaeString("Common Directory"), folder) || folder.IsEmpty()) return;
  // The configured folder may be written with either separator.
  std::string slashed = folder.Str();
  std::replace(slashed.begin(), slashed.end(), '\\', '/');
  const std::string picture = (std::filesystem::path(slashed) / kPictureName).string();
  if (access(picture.c_str(), F_OK) == 0) path = CaeString(picture);
}

// ---- the dialog -----------------------------------------------------------------------------------

CString UISummaryDefaultFile() { return UIResultsDefaultFile(IDS_REPORT_EXTENSION); }

BEGIN_MESSAGE_MAP(CSummaryDlg, CDialog)
ON_BN_CLICKED(IDC_SUMMARY_BROWSE, OnBrowse)
ON_BN_CLICKED(IDC_SUMMARY_HELP, OnHelp)
END_MESSAGE_MAP()

CSummaryDlg::CSummaryDlg(CWnd* parent) : CDialog(kTemplateId, parent), m_location(UISummaryDefaultFile()) {}

void CSummaryDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_SUMMARY_RESULTS, m_results);
  DDX_Text(dx, IDC_SUMMARY_TITLE, m_title);
  DDX_Text(dx, IDC_SUMMARY_ENGINEER, m_engineer);
  DDX_Text(dx, IDC_SUMMARY_COMPANY, m_company);
  DDX_Text(dx, IDC_SUMMARY_CLIENT, m_client);
  DDX_Text(dx, IDC_SUMMARY_NOTES, m_notes);
  DDX_Text(dx, IDC_SUMMARY_FILE, m_location);
  DDX_Check(dx, IDC_SUMMARY_HTML, m_html);
}

BOOL CSummaryDlg::OnInitDialog() {
  CDialog::OnInitDialog();  // the texts, the location and the HTML check into the controls
  m_results.SetCheckStyle(BS_AUTOCHECKBOX);
  m_results.SetHorizontalExtent(kListExtent);
  FerState* state = FerState::GetState();
  CaeFerInterface* ferInterface = state ? state->GetInterface() : nullptr;
  if (FerResultSet* set = ferInterface ? ferInterface->GetResultSet() : nullptr)
    for (FerResult* result = set->FirstResult(); result; result = set->NextResult())
      m_results.AddString(result->Name().Text());
  return TRUE;
}

void CSummaryDlg::OnBrowse() {
  CString location;
  GetDlgItemText(IDC_SUMMARY_FILE, location);
  CFileDialog dialog(FALSE, resLoadString(IDS_REPORT_EXTENSION).c_str(), location, OFN_HIDEREADONLY,
                     resLoadString(IDS_REPORT_FILTER).c_str(), this);
  dialog.DoModal();
  SetDlgItemText(IDC_SUMMARY_FILE, dialog.GetPathName());
}

void CSummaryDlg::OnHelp() { UIShowHelp(kHelpContext, HELP_CONTEXT); }

void CSummaryDlg::OnOK() {
  if (!UpdateData(TRUE)) return;
  int written = 0;
  {
    CadWaitCursor wait;
    CUIReport report(CaeString(static_cast<const char*>(m_title)), CaeString(static_cast<const char*>(m_engineer)),
                     CaeString(static_cast<const char*>(m_company)), CaeString(static_cast<const char*>(m_client)),
                     CaeString(static_cast<const char*>(m_notes)));
    for (int i = 0; i < m_results.GetCount(); ++i) {
      if (!m_results.GetCheck(i)) continue;
      CString name;
      m_results.GetText(i, name);
      report.ShowDetails(FerResult::NameToType(CaeString(static_cast<const char*>(name))));
    }
    written =
        report.Generate(CaeString(static_cast<const char*>(m_location)), m_html ? FerReport::kHtml : FerReport::kText);
  }
  // The engine has said why it wrote nothing: nothing to open, and the user may try again.
  if (!written) return;
  UIOpenWrittenFile(*this, m_location);
}

int UICmdWriteSummary() {
  return UIRunResultsCommand([] {
    CSummaryDlg dialog;
    dialog.DoModal();
  });
}

// ---- the hypertext control -----------------------------------------------------------------------

void C_CAEPHyperTextCtrl::SetText(const CString& text) {
  const std::wstring wide = Wide(text);
  BSTR value = SysAllocString(wide.c_str());
  InvokeHelper(kTextProperty, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_PBSTR, &value);
  SysFreeString(value);
}

CString C_CAEPHyperTextCtrl::GetText() {
  BSTR value = nullptr;
  InvokeHelper(kTextProperty, DISPATCH_PROPERTYGET, VT_BSTR, &value, VTS_NONE);
  std::string narrow;
  for (UINT i = 0; value && i < SysStringLen(value); ++i) narrow += static_cast<char>(value[i]);
  SysFreeString(value);
  return CString(narrow.c_str());
}
