#include "gui/dialogs/analysis/UICheckModelPP.h"

#include <algorithm>

#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlModel.h"
#include "fea/FeaMessages.h"
#include "fea/OptModel.h"
#include "gui/dialogs/units/UIGenericPS.h"

namespace {

constexpr DWORD_PTR kHelpBase = 0x20000;
constexpr COLORREF kLightGreyMask = RGB(192, 192, 192);
constexpr int kIconSize = 16;
constexpr int kColumnMargin = 30;
constexpr std::uint32_t kMsgControlNotApplied = 0xc000101a;

struct HelpEntry {
  std::uint32_t code;
  UINT text;
};

constexpr HelpEntry kHelp[] = {
    {0xc0000faa, IDS_HELP_NO_MATERIAL},
    {0xc0000fab, IDS_HELP_BAD_MATERIAL},
    {0xc0000fac, IDS_HELP_NO_MESH},
    {0xc0000fb2, IDS_HELP_NO_ELEMENT_PROPS},
    {0xc0000fb3, IDS_HELP_BAD_ELEMENT_PROPS},
    {0xc0000fe6, IDS_CHECK_SELECT_MESSAGE},
    {0xc0001002, IDS_CHECK_SELECT_MESSAGE},
    {0xc0000fe8, IDS_HELP_MESH_STALE_RESULTS},
    {0xc0000fe9, IDS_HELP_MESH_STALE},
    {0xc0001003, IDS_HELP_NO_OBJECTIVE},
    {0xc0001004, IDS_HELP_OBJECTIVE_NO_SET},
    {0xc0001005, IDS_HELP_OBJECTIVE_RESPONSE},
    {0xc0001006, IDS_HELP_OBJECTIVE_MODE},
    {0xc0001007, IDS_HELP_TARGET_VOLUME},
    {0xc0001008, IDS_HELP_TARGET_VOLUME},
    {0xc0001009, IDS_HELP_OBJECTIVE_WRONG},
    {0xc000100a, IDS_HELP_NO_CONSTRAINTS},
    {0xc000100b, IDS_HELP_CONSTRAINT_NO_SET},
    {0xc000100c, IDS_HELP_CONTROL_GEOMETRY},
    {0xc000100d, IDS_HELP_CONSTRAINT_RESPONSE},
    {0xc000100e, IDS_HELP_CONSTRAINT_DATA},
    {0xc000100f, IDS_HELP_CONSTRAINT_DATA},
    {0xc0001010, IDS_HELP_CONSTRAINT_DATA},
    {0xc0001011, IDS_HELP_NO_ACTIVE_CONSTRAINTS},
    {0xc0001012, IDS_HELP_NO_VARIABLES},
    {0xc0001013, IDS_HELP_VARIABLE_BOUNDS},
    {0xc0001014, IDS_HELP_VARIABLE_UNITS},
    {0xc0001015, IDS_HELP_NO_ACTIVE_VARIABLES},
    {0xc0001016, IDS_HELP_NO_RESULT_SETS},
    {0xc0001017, IDS_HELP_RESULT_SET_UNUSED},
    {0xc0001018, IDS_HELP_RESULT_SET_NO_SETS},
    {0xc0001019, IDS_HELP_CONSTRAINT_WRONG},
    {0xc000101a, IDS_HELP_SIMULATION_TYPE},
    {0xc000101b, IDS_HELP_NO_SIMULATION_MODEL},
    {0xc000101c, IDS_HELP_OPT_SHELLS},
    {0xc00010d3, IDS_HELP_MATE_REL_MESH},
};

// The list's item that a key makes current, from item `at` of `count`, `perPage` to a page.
int ItemAfterKey(UINT key, int at, int count, int perPage) {
  switch (key) {
    case VK_PRIOR: return std::max(at + 1 - perPage, 0);
    case VK_HOME: return 0;
    case VK_NEXT: return std::min(at + perPage - 1, count - 1);
    case VK_END: return count - 1;
    case VK_UP: return at == 0 ? at : at - 1;
    case VK_DOWN: return at == count - 1 ? at : at + 1;
    default: return at;
  }
}

void AddIcon(CImageList& list, UINT iconId) {
  if (HICON icon = ::LoadIcon(AfxFindResourceHandle(iconId, RT_GROUP_ICON), iconId)) {
    list.Add(icon);
    ::DestroyIcon(icon);
  }
}

void AddBitmap(CImageList& list, UINT bitmapId) {
  CBitmap bitmap;
  if (!bitmap.LoadBitmap(bitmapId)) return;
  list.Add(&bitmap, kLightGreyMask);
  bitmap.DeleteObject();
}

}  // namespace

UINT UICheckHelpString(std::uint32_t code) {
  for (const HelpEntry& entry : kHelp)
    if (entry.code == code) return entry.text;
  return IDS_CHECK_NO_HELP;
}

BEGIN_MESSAGE_MAP(CCheckModelPP, CPropertyPage)
ON_NOTIFY(NM_CLICK, IDC_CHECK_MESSAGES, OnListClick)
ON_NOTIFY(NM_DBLCLK, IDC_CHECK_MESSAGES, OnListNothing)
ON_NOTIFY(NM_RCLICK, IDC_CHECK_MESSAGES, OnListNothing)
ON_NOTIFY(LVN_KEYDOWN, IDC_CHECK_MESSAGES, OnListKeyDown)
END_MESSAGE_MAP()

CCheckModelPP::CCheckModelPP() : CPropertyPage(kTemplateId) { m_psp.dwFlags |= PSP_HASHELP; }

CCheckModelPP::~CCheckModelPP() {
  if (m_pTabImages && m_pTabImages->GetSafeHandle()) m_pTabImages->DeleteImageList();
  if (m_pListImages && m_pListImages->GetSafeHandle()) m_pListImages->DeleteImageList();
}

int CCheckModelPP::RunCheck(CPropertySheet* sheet) {
  m_messages.RemoveAll();
  m_codes.RemoveAll();
  int result = -1;
  {
    CadWaitCursor wait;
    if (m_pOptModel)
      result = m_pOptModel->CheckModel(m_messages, &m_codes);
    else if (m_pAnlModel)
      result = m_pAnlModel->CheckModel(m_messages, m_codes);
  }
  m_bChecked = TRUE;
  PrepareTabImages(sheet);
  CTabCtrl* tabs = sheet ? sheet->GetTabControl() : nullptr;
  if (tabImages_ && tabs) {
    if (!tabs->GetImageList()) tabs->SetImageList(tabImages_);
    const int index = sheet->GetPageIndex(this);
    TCITEM item;
    item.mask = TCIF_IMAGE;
    tabs->GetItem(index, &item);
    item.mask = TCIF_IMAGE;
    item.iImage = m_nFirstImage + (result == -1 ? kTabNotChecked : result == 0 ? kTabFailed : kTabPassed);
    tabs->SetItem(index, &item);
  }
  return result;
}

void CCheckModelPP::PrepareTabImages(CPropertySheet* sheet) {
  if (tabImages_) return;
  CTabCtrl* tabs = sheet ? sheet->GetTabControl() : nullptr;
  auto* generic = dynamic_cast<CGenericPS*>(sheet);
  // The sheet's list (on its tab control, or not installed yet) is used, never taken over: the
  // sheet destroys it once. Only a sheet without a list gets one of the page's own.
  CImageList* shared = tabs && tabs->GetImageList()       ? tabs->GetImageList()
                       : generic && generic->m_pTabImages ? generic->m_pTabImages.get()
                                                          : nullptr;
  if (shared && shared->GetSafeHandle()) {
    tabImages_ = shared;
    m_nFirstImage = shared->GetImageCount();
  } else {
    m_pTabImages = std::make_unique<CImageList>();
    m_pTabImages->Create(kIconSize, kIconSize, ILC_MASK, 3, 3);
    tabImages_ = m_pTabImages.get();
    m_nFirstImage = 0;
  }
  AddBitmap(*tabImages_, IDB_CHECK_NOT_RUN);
  AddBitmap(*tabImages_, IDB_CHECK_FAILED);
  AddBitmap(*tabImages_, IDB_CHECK_PASSED);
  if (!tabs) return;
  tabs->SetImageList(tabImages_);
  if (generic && sheet->GetPageIndex(this) == 0) {
    generic->m_nFirstIconTab = 1;
    generic->SetAllTabImages(TRUE);
  }
}

int CCheckModelPP::MessageImage(int index) const {
  if (index < 0 || m_codes.Count() == 0 || index >= m_codes.Count()) return 1;
  const std::uint32_t code = m_codes[index];
  if (code == kFeaMsgSimCheckFailed || code == kFeaMsgOptCheckFailed) return 2;
  if (code == kMsgControlNotApplied) return 0;
  return 1;
}

CaeString CCheckModelPP::HelpText(int index) const {
  if (index >= 0 && m_codes.Count() > 0)
    return index < m_codes.Count() ? resLoadString(UICheckHelpString(m_codes[index])) : CaeString();
  if (index >= 0 && m_messages.Count() == 1) return resLoadString(IDS_CHECK_NEW_MODEL);
  return CaeString();
}

CListCtrl* CCheckModelPP::List() const { return static_cast<CListCtrl*>(GetDlgItem(IDC_CHECK_MESSAGES)); }

int CCheckModelPP::CurrentItem() const {
  CListCtrl* list = List();
  if (!list) return -1;
  const int selected = list->GetNextItem(-1, LVNI_SELECTED);
  return selected >= 0 ? selected : list->GetNextItem(-1, LVNI_FOCUSED);
}

void CCheckModelPP::ShowHelp(int index) {
  if (CWnd* help = GetDlgItem(IDC_CHECK_HELP)) help->SetWindowText(HelpText(index).Text());
}

BOOL CCheckModelPP::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  m_pListImages = std::make_unique<CImageList>();
  m_pListImages->Create(kIconSize, kIconSize, ILC_MASK, 3, 3);
  for (UINT icon : {IDI_CHECK_WARNING, IDI_CHECK_ERROR, IDI_CHECK_INFO}) AddIcon(*m_pListImages, icon);
  if (CListCtrl* list = List()) {
    list->SetImageList(m_pListImages.get(), LVSIL_SMALL);
    list->InsertColumn(0, "", LVCFMT_LEFT, LVSCW_AUTOSIZE);
  }
  if (!m_bChecked && RunCheck(sheet()) == 1) m_bAdvance = TRUE;
  return TRUE;
}

void CCheckModelPP::FillList() {
  CListCtrl* list = List();
  if (!list) return;
  list->DeleteAllItems();
  int widest = 1;
  auto add = [&](const CaeString& text, int image) {
    list->InsertItem(list->GetItemCount(), text.Text(), image);
    widest = std::max(widest, list->GetStringWidth(text.Text()));
  };
  if (m_messages.Count() > 0) {
    for (int i = 0; i < m_messages.Count(); ++i)
      add(i == 0 ? m_messages[i] : CaeString::Format("%d. %s", i, m_messages[i].Text()), MessageImage(i));
  } else {
    add(m_pOptModel   ? resLoadString(IDS_CHECK_OPT_PASSED)
        : m_pAnlModel ? resLoadString(IDS_CHECK_SIM_PASSED)
                      : CaeString(),
        2);
  }
  list->SetColumnWidth(0, widest + kColumnMargin);
  if (m_messages.Count() > 0) list->SetItemState(0, LVIS_FOCUSED, LVIS_FOCUSED);
}

BOOL CCheckModelPP::OnSetActive() {
  // Refusing the activation makes the sheet go on to the page after this one.
  if (m_bAdvance) {
    m_bAdvance = FALSE;
    return FALSE;
  }
  if (!m_bChecked) return CPropertyPage::OnSetActive();
  m_bChecked = FALSE;
  FillList();
  ShowHelp(CurrentItem());
  return CPropertyPage::OnSetActive();
}

void CCheckModelPP::OnListClick(NMHDR*, LRESULT* result) {
  ShowHelp(CurrentItem());
  if (result) *result = 0;
}

void CCheckModelPP::OnListNothing(NMHDR*, LRESULT* result) {
  if (result) *result = 0;
}

void CCheckModelPP::OnListKeyDown(NMHDR* header, LRESULT* result) {
  const auto* key = reinterpret_cast<const NMLVKEYDOWN*>(header);
  CListCtrl* list = List();
  if (list && key) ShowHelp(ItemAfterKey(key->wVKey, CurrentItem(), list->GetItemCount(), list->GetCountPerPage()));
  if (result) *result = 0;
}

BOOL CCheckModelPP::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header && static_cast<int>(header->code) == PSN_HELP) {
    UIShowHelp(kHelpBase + kTemplateId, HELP_CONTEXT);
    if (result) *result = 1;
    return TRUE;
  }
  return CPropertyPage::OnNotify(wParam, lParam, result);
}
