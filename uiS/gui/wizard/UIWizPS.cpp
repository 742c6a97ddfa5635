#include "gui/wizard/UIWizPS.h"

#include <algorithm>
#include <string>

#include "amg/CaeMsgCall.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadDocServices.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "gui/wizard/UIWizard.h"
#include "res/ResourceIds.h"

namespace {

// The modeless guide's window style: popup, caption, system menu, minimise and maximise boxes,
// modal frame, set font, 3-D look and context help; not visible.
constexpr DWORD kGuideStyle = 0x80CB20C4;
constexpr int kCheckMarkSize = 16;
// The guide's own message: refresh the active page once the host is idle.
constexpr UINT kMsgRefreshPage = WM_APP + 0x101;

const unsigned kCaptionByKind[] = {IDS_GUIDE_STRESS, IDS_GUIDE_VIBRATION, IDS_GUIDE_BUCKLING, IDS_GUIDE_HEAT};

}  // namespace

BEGIN_MESSAGE_MAP(CAnlWizPS, CPropertySheet)
ON_WM_ACTIVATE()
ON_WM_CLOSE()
ON_WM_SYSCOMMAND()
ON_WM_NCLBUTTONDBLCLK()
ON_MESSAGE(WM_BRING_TO_TOP_PRIVATE, OnKeepFocusQuery)
ON_MESSAGE(kMsgRefreshPage, OnRefreshPage)
END_MESSAGE_MAP()

CAnlWizPS::CAnlWizPS(const char* caption, int, int kind, CWnd* parent, UINT firstPage)
    : CPropertySheet(caption, parent, firstPage) {
  {
    ResourceSetter resources(1);
    checkMark_.LoadBitmap(IDB_CHECK_PASSED);
  }
  if (kind != UIGetWizardKind() && UIGetWizardKind() != -1) UISetWizardStep(0);
  if (kind == kGuideKindVibration && CadHasCurrentLoadCase()) {
    CadCloseLoadCase();
    if (CadInterface* cad = CadInterface::GetCurrent()) cad->FlushGraphics();
  }
  kind_ = kind;
  UISetWizardKind(kind);
  m_psh.dwFlags |= PSH_NOAPPLYNOW;
  AddPage(&intro_);
  AddPage(&probDef_);
  AddPage(&units_);
  if (kind != kGuideKindVibration) AddPage(&loads_);
  AddPage(&restraints_);
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad) CaeMsgCall::GeneralError("uiS/gui/wizard/UIWizPS", 130);
  if (cad->SupportsMateRelations()) AddPage(&mateRel_);
  AddPage(&mesh_);
  AddPage(&results_);
  UIEnterGuideSheet(this);
}

CAnlWizPS::~CAnlWizPS() {
  UILeaveGuideSheet(this);
  if (CTabCtrl* tabs = m_hWnd ? GetTabControl() : nullptr) tabs->SetImageList(nullptr);
}

BOOL CAnlWizPS::CreateModeless() {
  if (m_hWnd) return TRUE;
  modeless_ = true;
  EnableStackedTabs(FALSE);  // every tab in one scrolling row
  m_psh.nStartPage = static_cast<UINT>(std::max(0, UIWizardTabIndex(UIGetWizardStep(), kind_)));
  CWnd* owner = m_pParentWnd;
  return Create(owner, kGuideStyle & ~static_cast<DWORD>(WS_VISIBLE), 0);
}

void CAnlWizPS::Destroy() {
  if (m_hWnd) {
    DestroyWindow();  // PostNcDestroy deletes the modeless sheet
    return;
  }
  delete this;
}

void CAnlWizPS::PostNcDestroy() {
  if (modeless_) delete this;
}

BOOL CAnlWizPS::OnInitDialog() {
  // As for a modal sheet, so that the sheet keeps its OK and Cancel buttons.
  CPropertySheet::OnInitDialog();
  if (CPropertyPage* page = GetActivePage()) page->CancelToClose();
  if (CWnd* cancel = GetDlgItem(IDCANCEL)) {
    cancel->SetWindowText(resLoadString(IDS_GUIDE_MINIMIZE).c_str());
    cancel->EnableWindow(TRUE);
  }
  if (CMenu* menu = GetSystemMenu(FALSE)) {
    menu->DeleteMenu(SC_RESTORE, MF_BYCOMMAND);
    SetSystemMenuCollapsed(false);
  }
  if (kind_ >= 0 && kind_ <= 3) SetWindowText(resLoadString(kCaptionByKind[kind_]).c_str());
  return TRUE;
}

void CAnlWizPS::SetSystemMenuCollapsed(bool collapsed) {
  CMenu* menu = GetSystemMenu(FALSE);
  if (!menu) return;
  menu->EnableMenuItem(SC_MINIMIZE, MF_BYCOMMAND | (collapsed ? MF_GRAYED : MF_ENABLED));
  menu->EnableMenuItem(SC_MAXIMIZE, MF_BYCOMMAND | (collapsed ? MF_ENABLED : MF_GRAYED));
}

void CAnlWizPS::OnActivate(UINT state, CWnd*, BOOL) {
  if (state != WA_INACTIVE && firstActivationPending_) FirstActivation();
}

int CAnlWizPS::TabCount() const { return kind_ == kGuideKindVibration ? kGuideSteps - 1 : kGuideSteps; }

std::unique_ptr<CImageList> CAnlWizPS::MakeTabImages() const {
  auto images = std::make_unique<CImageList>();
  const int count = TabCount();
  images->Create(kCheckMarkSize, kCheckMarkSize, ILC_COLOR, count, count);
  // A missing check mark leaves the list empty: the tabs then show no marks.
  if (checkMark_.m_hObject) {
    for (int tab = 0; tab < count; ++tab)
      images->Add(const_cast<CBitmap*>(&checkMark_), static_cast<CBitmap*>(nullptr));
  }
  return images;
}

void CAnlWizPS::RenewTabImages() {
  CTabCtrl* tabs = m_hWnd ? GetTabControl() : nullptr;
  if (!tabs || firstActivationPending_) return;
  std::unique_ptr<CImageList> fresh = MakeTabImages();
  tabs->SetImageList(fresh.get());
  tabImages_ = std::move(fresh);  // the copy the tabs had goes
}

void CAnlWizPS::FirstActivation() {
  firstActivationPending_ = false;
  RenewTabImages();
  for (int step = 0; step < kGuideSteps; ++step) UISetWizardTabState(step, UIGetWizardTabState(step));
  NumberTabs();
}

void CAnlWizPS::NumberTabs() {
  CTabCtrl* tabs = GetTabControl();
  if (!tabs) return;
  for (int tab = 1; tab < tabs->GetItemCount() && tab <= 7; ++tab) {
    char text[256] = {};
    TCITEM item;
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    tabs->GetItem(tab, &item);
    std::string numbered = resLoadString(static_cast<unsigned>(IDS_GUIDE_TAB_1 + tab - 1)).c_str();
    numbered += text;
    item.pszText = numbered.data();
    tabs->SetItem(tab, &item);
  }
}

void CAnlWizPS::ShowStepMark(int step, bool done) {
  const int tab = UIWizardTabIndex(step, kind_);
  CTabCtrl* tabs = m_hWnd ? GetTabControl() : nullptr;
  if (tab < 0 || !tabs || tab >= tabs->GetItemCount()) return;
  char text[255] = {};
  TCITEM item;
  item.mask = TCIF_TEXT | TCIF_IMAGE;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  tabs->GetItem(tab, &item);
  item.iImage = done ? tab : -1;
  tabs->SetItem(tab, &item);
}

void CAnlWizPS::RequestPageRefresh() {
  if (!m_hWnd || refreshPosted_) return;
  refreshPosted_ = PostMessage(kMsgRefreshPage) != FALSE;
}

LRESULT CAnlWizPS::OnRefreshPage(WPARAM, LPARAM) {
  refreshPosted_ = false;
  CPropertyPage* page = GetActivePage();
  if (!page || !page->m_hWnd || !page->IsWindowVisible()) return 0;
  restoreSuppressed_ = true;
  const BOOL result = page->OnSetActive();
  restoreSuppressed_ = false;  // also when the page's activation did not reach Restore
  return result;
}

void CAnlWizPS::ShowStep(int step) {
  const int tab = UIWizardTabIndex(step, kind_);
  if (tab < 0) return;
  if (!m_hWnd) {
    m_psh.nStartPage = static_cast<UINT>(tab);
    return;
  }
  if (tab < GetPageCount() && tab != GetActiveIndex()) SetActivePage(tab);
}

int CAnlWizPS::ActiveStep() const { return UIWizardStepOfTab(GetActiveIndex(), kind_); }

BOOL CAnlWizPS::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDOK) {
    UISetWizardStep(ActiveStep());
    if (CadInterface* cad = CadInterface::GetCurrent())
      if (HWND main = cad->GetMainWindow()) ::SetActiveWindow(main);
    ShowWindow(SW_HIDE);
    return TRUE;
  }
  if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDCANCEL) {
    Minimize();
    return TRUE;
  }
  return CPropertySheet::OnCommand(wParam, lParam);
}

void CAnlWizPS::Minimize() {
  if (collapsed_ || !m_hWnd) return;
  collapsed_ = true;
  SetSystemMenuCollapsed(true);
  RECT sheet;
  GetWindowRect(&sheet);
  fullWidth_ = sheet.right - sheet.left;
  fullHeight_ = sheet.bottom - sheet.top;
  int height = fullHeight_;
  if (CPropertyPage* page = GetActivePage(); page && page->m_hWnd) {
    RECT pageRect;
    page->GetWindowRect(&pageRect);
    height = pageRect.top - sheet.top;
  }
  SetWindowPos(nullptr, 0, 0, fullWidth_, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CAnlWizPS::Restore() {
  if (restoreSuppressed_) {
    restoreSuppressed_ = false;
    return;
  }
  if (!collapsed_ || !m_hWnd) return;
  collapsed_ = false;
  SetSystemMenuCollapsed(false);
  SetWindowPos(nullptr, 0, 0, fullWidth_, fullHeight_, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CAnlWizPS::OnClose() { ShowWindow(SW_HIDE); }

void CAnlWizPS::OnSysCommand(UINT id, LPARAM lParam) {
  switch (id & 0xFFF0) {
    case SC_MINIMIZE: Minimize(); return;
    case SC_MAXIMIZE: Restore(); return;
    default: DefWindowProc(WM_SYSCOMMAND, id, lParam);
  }
}

void CAnlWizPS::OnNcLButtonDblClk(UINT, CPoint) {
  if (collapsed_) {
    Restore();
  } else {
    Minimize();
  }
}

LRESULT CAnlWizPS::OnKeepFocusQuery(WPARAM, LPARAM) { return IsWindowVisible() ? 1 : 0; }
