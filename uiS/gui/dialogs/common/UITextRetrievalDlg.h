// Asks for one name: a new simulation model, load set or restraint set. The caller puts the
// proposed name in m_text, runs the dialog and reads m_text after OK.
//
// With the name check on (the default) every exchange applies the CAD interface's name rule; a
// bad character is reported the moment it is typed. OK stays disabled while the text is empty;
// a text longer than the maximum length (when one is set) is refused with "Invalid Input"; a
// name the caller reports as taken is refused with the caller's message. A refused text keeps
// the dialog open with the focus in the edit.
#pragma once

#include <functional>

#include "mfc/afx.h"
#include "res/ResourceIds.h"

class CTextRetrievalDlg : public CDialog {
 public:
  static constexpr UINT kTemplateId = IDD_TEXT_RETRIEVAL;
  // Answers whether `name` is already taken.
  using NameTaken = std::function<bool(const CString& name)>;

  // Name check on, no length limit, the help context chosen from the caption.
  CTextRetrievalDlg(const char* caption, const char* prompt, CWnd* parent = nullptr);
  // Longest accepted text; 0 or less: no limit.
  void SetMaxLength(int length) { m_maxLength = length; }
  // A name for which `taken` answers true is refused with `message`.
  void SetNameTaken(NameTaken taken, const CString& message);

  // The help context of a caption: the three creation captions have their own, others none.
  static DWORD_PTR HelpContextFor(const char* caption);

  CString m_text;
  CString m_prompt;
  CString m_caption;
  bool m_nameCheck = true;
  int m_maxLength = 0;
  DWORD_PTR m_helpContext = 0;

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  void OnOK() override;

 protected:
  void OnTextChange();
  void OnHelp();
  DECLARE_MESSAGE_MAP()

 private:
  void RefuseText(const char* message);

  NameTaken taken_;
  CString takenMessage_;
};
