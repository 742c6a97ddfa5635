// The summary report of the results shown ("CAEP_WRITE_SUMMARY"): the "Model Summary" dialog, the
// report's system side (title line and picture) and the about box's hypertext control.
//
// OK writes the report through the engine's generator (FerReport::Generate) and opens it. When the
// engine could not write it (an empty location, a folder that is not there, a file that cannot be
// replaced) it has said why: nothing is opened and the dialog stays.
#pragma once

#include "fea/FerReport.h"
#include "mfc/afx.h"
#include "mfc/controls.h"
#include "res/ResourceIds.h"

// The report with the product title as its title line and "<Common Directory>/ondrl.jpg" as its
// picture when that file exists.
class CUIReport : public CaeFerReport {
 public:
  CUIReport() = default;
  CUIReport(const CaeString& title, const CaeString& engineer, const CaeString& company, const CaeString& client,
            const CaeString& notes);
  void AddTitleLine(CaeTextLine& line) override;
  void GetPicturePath(CaeString& path) override;
};

// The default location: the current result set's name (the current model's without one) + ".htm".
CString UISummaryDefaultFile();

class CSummaryDlg : public CDialog {
 public:
  static constexpr UINT kTemplateId = IDD_SUMMARY;
  static constexpr DWORD_PTR kHelpContext = 0x20000 + IDD_SUMMARY;
  static constexpr int kListExtent = 200;

  explicit CSummaryDlg(CWnd* parent = nullptr);
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  void OnOK() override;

  CString m_location;
  CString m_notes, m_title, m_engineer, m_company, m_client;
  int m_html = 1;

 protected:
  void OnBrowse();
  void OnHelp();
  DECLARE_MESSAGE_MAP()

 private:
  CCheckListBox m_results;
};

// "CAEP_WRITE_SUMMARY": without a current result set message 87 and 1; else the dialog and 0.
int UICmdWriteSummary();

// The about box's hypertext control: one text property (dispatch id 0x68030000).
class C_CAEPHyperTextCtrl : public CWnd {
 public:
  static constexpr LONG kTextProperty = 0x68030000;
  void SetText(const CString& text);
  CString GetText();
};
