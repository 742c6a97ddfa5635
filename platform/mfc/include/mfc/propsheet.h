// Property sheets and pages, tabbed or as wizards, with the platform's lifecycle:
//
// - A page's window, and its OnInitDialog, come only on its first activation; OnSetActive comes
//   on every activation (returning FALSE refuses it: the next page in the same direction is tried,
//   and when none accepts the current page stays). The default OnSetActive transfers the members
//   into the controls again on every activation after the first.
// - Leaving a page (another tab, Next, Back, Finish, OK, Apply Now) first asks the active page's
//   OnKillActive (default: UpdateData(TRUE)); FALSE keeps the page and stops the step.
// - OK: kill-active, then OnApply on every page whose window exists, in page order (the
//   notification's lParam is TRUE), then the sheet ends with IDOK. A page whose OnApply returns
//   FALSE keeps the sheet open.
// - Apply Now (ID_APPLY_NOW, 12321): kill-active, OnApply on every created page (lParam FALSE),
//   the modified state is cleared (Apply is disabled), then OnSetActive of the active page again.
// - Cancel: OnQueryCancel of the active page (FALSE keeps the sheet), then OnReset (default:
//   OnCancel) on every created page; the sheet ends with IDCANCEL.
// - Wizard Next / Back: kill-active, then OnWizardNext / OnWizardBack: 0 goes to the neighbour,
//   -1 stays, a template id jumps to the page made from that template. Finish: kill-active, then
//   OnWizardFinish (FALSE stays); the sheet ends with ID_WIZFINISH (12325).
// - EndDialog(code) from anywhere ends DoModal with that code (-1, -2, 1 ... are all kept); the
//   rest of the step that called it is skipped.
// - Pages may be added and removed while the sheet runs; removing the active page activates a
//   neighbour first.
// Sheet buttons are child windows with ids IDOK, IDCANCEL, ID_APPLY_NOW, IDHELP (tabbed) or
// ID_WIZBACK, ID_WIZNEXT, ID_WIZFINISH, IDCANCEL, IDHELP (wizard), reachable with GetDlgItem.
#pragma once
#include <string>
#include <vector>

#include "mfc/controls.h"
#include "mfc/dialog.h"

class CPropertySheet;

struct PROPSHEETPAGE {
  DWORD dwFlags = 0;                // PSP_HASHELP, PSP_DLGINDIRECT
  const void* pResource = nullptr;  // with PSP_DLGINDIRECT: template bytes (see CDialog::InitModalIndirect)
};

class CPropertyPage : public CDialog {
 public:
  CPropertyPage();
  explicit CPropertyPage(UINT templateId, UINT captionId = 0);
  // A page that goes before its sheet leaves the sheet's list, so the sheet never reaches it again.
  ~CPropertyPage() override;
  void Construct(UINT templateId, UINT captionId = 0);

  PROPSHEETPAGE m_psp;
  // Enables (or, when no page is modified, disables) the sheet's Apply button.
  void SetModified(BOOL changed = TRUE);
  BOOL IsModified() const { return modified_; }
  // The sheet's OK button reads "Close" and Cancel is disabled.
  void CancelToClose();
  // The sheet this page is on (also before its window exists), or null.
  CPropertySheet* sheet() const { return sheet_; }
  // The tab caption: the caption string when given, else the template's caption.
  std::string caption() const;

  // Overridables, in a stable order.
  virtual BOOL OnSetActive();
  virtual BOOL OnKillActive();
  void OnOK() override;
  void OnCancel() override;
  virtual BOOL OnApply();
  virtual void OnReset();
  virtual BOOL OnQueryCancel();
  virtual LRESULT OnWizardBack();
  virtual LRESULT OnWizardNext();
  virtual BOOL OnWizardFinish();
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  friend class CPropertySheet;
  // Makes the window (first activation); false when the template is missing.
  bool createWindow(CPropertySheet& sheet);
  // The page's template: the PSP_DLGINDIRECT bytes or the resource; null (logged) when missing.
  const mfc::DialogTemplate* pageTemplate() const;
  CPropertySheet* sheet_ = nullptr;
  UINT captionId_ = 0;
  bool modified_ = false;
  bool firstSetActive_ = true;
};

struct PROPSHEETHEADER {
  DWORD dwFlags = 0;  // PSH_NOAPPLYNOW, PSH_HASHELP, PSH_WIZARD
  UINT nStartPage = 0;
  std::string pszCaption;
};

enum : int {
  PSBTN_BACK = 0,
  PSBTN_NEXT = 1,
  PSBTN_FINISH = 2,
  PSBTN_OK = 3,
  PSBTN_APPLYNOW = 4,
  PSBTN_CANCEL = 5,
  PSBTN_HELP = 6
};
enum : UINT { PSM_UNCHANGED = WM_USER + 109 };

class CPropertySheet : public CWnd {
 public:
  CPropertySheet();
  explicit CPropertySheet(UINT captionId, CWnd* parent = nullptr, UINT selectPage = 0);
  explicit CPropertySheet(const char* caption, CWnd* parent = nullptr, UINT selectPage = 0);
  void Construct(UINT captionId, CWnd* parent = nullptr, UINT selectPage = 0);
  void Construct(const char* caption, CWnd* parent = nullptr, UINT selectPage = 0);
  ~CPropertySheet() override;

  PROPSHEETHEADER m_psh;
  CWnd* m_pParentWnd = nullptr;

  void AddPage(CPropertyPage* page);
  void RemovePage(CPropertyPage* page);
  void RemovePage(int index);
  int GetPageCount() const;
  CPropertyPage* GetPage(int index) const;
  int GetPageIndex(const CPropertyPage* page) const;
  int GetActiveIndex() const;
  CPropertyPage* GetActivePage() const;
  // Programmatic activation: kill-active of the current page, then as a tab click.
  BOOL SetActivePage(int index);
  BOOL SetActivePage(CPropertyPage* page);
  CTabCtrl* GetTabControl() const;
  void SetWizardMode();
  BOOL IsWizard() const { return (m_psh.dwFlags & PSH_WIZARD) != 0; }
  // PSWIZB_BACK / PSWIZB_NEXT / PSWIZB_FINISH / PSWIZB_DISABLEDFINISH; Finish replaces Next.
  void SetWizardButtons(DWORD flags);
  void SetTitle(const char* title, UINT style = 0);
  void EnableStackedTabs(BOOL stacked) { stackedTabs_ = stacked; }
  void EndDialog(int result);
  // Presses a sheet button as a person would (PSBTN_*).
  BOOL PressButton(int button);

  virtual INT_PTR DoModal();
  // Modeless (or, with WS_CHILD in `style`, embedded in `parent`); style -1 is a visible popup.
  virtual BOOL Create(CWnd* parent = nullptr, DWORD style = static_cast<DWORD>(-1), DWORD exStyle = 0);
  // The base activates the start page; a derived sheet calls it first.
  virtual BOOL OnInitDialog();
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  friend class CPropertyPage;
  // A page being destroyed leaves the list (and its tab); its own window goes with the page.
  void forgetPage(CPropertyPage* page);
  friend class CPropertyPage;
  HWND createSheetWindow(HWND owner, DWORD style, bool child);
  void addTab(int index, CPropertyPage* page);
  LRESULT notifyPage(CPropertyPage* page, int code, LPARAM lParam = 0);
  bool killActive();
  // Activates `index` trying further pages in `direction` (+1 or -1) on refusal.
  bool activate(int index, int direction);
  void showActive();
  bool applyAll(bool fromOK);
  void onOK();
  void onApplyNow();
  void onCancel();
  void onWizardStep(int code);
  void onFinish();
  void pageModified();
  bool ended() const;
  int indexOfTemplate(UINT templateId) const;

  std::vector<CPropertyPage*> pages_;
  int active_ = -1;
  bool stackedTabs_ = true;
  bool modeless_ = false;
  bool endedModeless_ = false;
  DWORD wizardButtons_ = PSWIZB_BACK | PSWIZB_NEXT;
};
