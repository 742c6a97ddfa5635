#include "gui/graph2d/UIGraphPageSetupDlg.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include <unistd.h>

#include "amg/CaeConfig.h"
#include "cadInterface/CadResources.h"
#include "mfc/ddx.h"
#include "mfc/global_memory.h"
#include "res/ResourceIds.h"

namespace {

constexpr DWORD_PTR kTemplateHelp = 0x20000;
constexpr UINT kContextHelpCommand = 1;
constexpr double kLargest = 1000000;
constexpr int kInset = 5, kInsetTop = 10;

BOOL sharedCenterHorizontally = TRUE;
BOOL sharedCenterVertically = FALSE;

double cut(double value, int decimals) {
  const double scale = std::pow(10.0, decimals);
  return std::trunc(value * scale) / scale;
}

CString loadText(UINT id) {
  CaeString text;
  resLoadString(text, id);
  return CString(text.c_str());
}

CString formatted(const char* pattern, int decimals, double value) {
  char format[32];
  std::snprintf(format, sizeof format, pattern, decimals);
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return CString(text);
}

VARIANT axisName(const wchar_t* name) {
  VARIANT v;
  v.vt = VT_BSTR;
  v.text = name;
  return v;
}

VARIANT groupOne() {
  VARIANT v;
  v.vt = VT_I2;
  v.lVal = 1;
  return v;
}

}  // namespace

BEGIN_MESSAGE_MAP(CGraphPageSetupDlg, CDialog)
ON_BN_CLICKED(IDC_PSETUP_CENTER_H, OnCenter)
ON_BN_CLICKED(IDC_PSETUP_CENTER_V, OnCenter)
ON_BN_CLICKED(IDC_PSETUP_FULL_PAGE, OnFullPage)
ON_BN_CLICKED(IDC_PSETUP_BY_WIDTH, OnByWidth)
ON_BN_CLICKED(IDC_PSETUP_BY_HEIGHT, OnByHeight)
ON_EN_CHANGE(IDC_PSETUP_WIDTH, OnWidthChange)
ON_EN_CHANGE(IDC_PSETUP_HEIGHT, OnHeightChange)
ON_BN_CLICKED(IDC_PSETUP_PAPER, OnPaper)
ON_BN_CLICKED(IDHELP, OnHelp)
ON_WM_MOVE()
ON_WM_PAINT()
END_MESSAGE_MAP()

void CGraphPageSetupDlg::ResetModule() {
  sharedCenterHorizontally = TRUE;
  sharedCenterVertically = FALSE;
}

CGraphPageSetupDlg::CGraphPageSetupDlg(CGraphCtl* owner)
    : CDialog(IDD_GRAPH_PAGE_SETUP, owner), m_pageSetup(PSD_MARGINS | PSD_RETURNDEFAULT, owner), m_owner(owner) {
  m_pageSetup.DoModal();
  m_pageSetup.m_psd.Flags &= ~static_cast<DWORD>(PSD_RETURNDEFAULT);
}

CGraphPageSetupDlg::~CGraphPageSetupDlg() {
  m_preview.DestroyWindow();
  if (m_pageSetup.m_psd.hDevMode) GlobalFree(m_pageSetup.m_psd.hDevMode);
  if (m_pageSetup.m_psd.hDevNames) GlobalFree(m_pageSetup.m_psd.hDevNames);
}

BOOL CGraphPageSetupDlg::HasPrinter() const {
  return m_pageSetup.m_psd.hDevMode != nullptr && m_pageSetup.m_psd.hDevNames != nullptr;
}

void CGraphPageSetupDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_PSETUP_CHART, m_preview);
  DDX_Radio(dx, IDC_PSETUP_BITMAP, m_formatIndex);
  DDX_Radio(dx, IDC_PSETUP_FULL_PAGE, m_sizeIndex);
  DDX_Text(dx, IDC_PSETUP_WIDTH, m_width);
  DDX_Text(dx, IDC_PSETUP_HEIGHT, m_height);
}

BOOL CGraphPageSetupDlg::OnInitDialog() {
  CheckDlgButton(IDC_PSETUP_CENTER_H, sharedCenterHorizontally ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(IDC_PSETUP_CENTER_V, sharedCenterVertically ? BST_CHECKED : BST_UNCHECKED);
  CheckRadioButton(IDC_PSETUP_FULL_PAGE, IDC_PSETUP_BY_HEIGHT, IDC_PSETUP_FULL_PAGE + std::max(0, m_sizeIndex));
  GetDlgItem(IDC_PSETUP_WIDTH)->EnableWindow(m_sizeIndex == 1);
  GetDlgItem(IDC_PSETUP_HEIGHT)->EnableWindow(m_sizeIndex == 2);
  m_inches = (m_pageSetup.m_psd.Flags & PSD_INHUNDREDTHSOFMILLIMETERS) == 0;
  const CString unit = loadText(m_inches ? IDS_UNIT_ABBR_IN : IDS_UNIT_ABBR_MM);
  SetDlgItemText(IDC_PSETUP_SIZE_GROUP, (loadText(IDS_GRAPH_IMAGE_SIZE) + "(" + unit + ")").str().c_str());
  SetDlgItemText(IDC_PSETUP_MARGINS_GROUP, (loadText(IDS_GRAPH_MARGINS) + "(" + unit + ")").str().c_str());
  // A chart of no height has no aspect ratio to keep: take 1 rather than divide by zero.
  m_aspect = m_imageRect.bottom > 0 && m_imageRect.right > 0
                 ? static_cast<double>(m_imageRect.right) / static_cast<double>(m_imageRect.bottom)
                 : 1.0;
  m_width = m_height = kLargest;
  m_echo = 1;
  UpdatePreview(FALSE);
  PageGeometry();
  PlacePage();
  CDialog::OnInitDialog();
  FillPreview();
  PlacePreview();
  return TRUE;
}

// The preview shows the owner's curves without titles, at the owner's axis bounds.
void CGraphPageSetupDlg::FillPreview() {
  if (!m_owner) return;
  if (CaeGraph* graph = m_owner->GetGraph()) {
    m_preview.SetGraph(graph, TRUE);
  } else {
    m_preview.Reset(TRUE);
    static std::atomic<unsigned> counter{0};
    CaeString scratch;
    CaeConfig::GetValue(1, CaeString("Scratch Directory"), scratch);
    char name[64];
    std::snprintf(name, sizeof name, "chartdata-%ld-%u.tmp", static_cast<long>(::getpid()), counter++);
    const std::string path = std::string(scratch.c_str()) + "/" + name;
    // Only a file this dialog wrote is read and deleted.
    if (m_owner->GetChartGroups().Item(groupOne()).GetData().SaveFile(path.c_str())) {
      m_preview.GetChartGroups().Item(groupOne()).GetData().LoadFile(path.c_str());
      std::error_code ignored;
      std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write,
                                   std::filesystem::perm_options::add, ignored);
      std::filesystem::remove(path, ignored);
    }
  }
  ChartAxisCollection from = m_owner->GetChartArea().GetAxes(), to = m_preview.GetChartArea().GetAxes();
  for (const wchar_t* name : {L"x", L"y"}) {
    ChartAxis source = from.Item(axisName(name)), target = to.Item(axisName(name));
    target.GetMin().SetValue(source.GetMin().GetValue());
    target.GetMax().SetValue(source.GetMax().GetValue());
  }
}

void CGraphPageSetupDlg::SetBox(int id, double value) {
  const int echo = m_echo;
  m_echo = 0;
  SetDlgItemText(id, formatted("%%.%dlf", Decimals(), value).str().c_str());
  m_echo = echo;
}

void CGraphPageSetupDlg::UpdatePreview(BOOL marginsAreLimits) {
  const bool centerH = IsDlgButtonChecked(IDC_PSETUP_CENTER_H) == BST_CHECKED;
  const bool centerV = IsDlgButtonChecked(IDC_PSETUP_CENTER_V) == BST_CHECKED;
  if (GetSafeHwnd())
    m_sizeIndex = GetCheckedRadioButton(IDC_PSETUP_FULL_PAGE, IDC_PSETUP_BY_HEIGHT) - IDC_PSETUP_FULL_PAGE;
  PAGESETUPDLG& psd = m_pageSetup.m_psd;
  if (marginsAreLimits) psd.rtMinMargin = psd.rtMargin;
  const double d = Divisor();
  const int n = Decimals();
  m_left = psd.rtMargin.left / d;
  m_top = psd.rtMargin.top / d;
  m_right = psd.rtMargin.right / d;
  m_bottom = psd.rtMargin.bottom / d;
  const double pw = psd.ptPaperSize.x / d, ph = psd.ptPaperSize.y / d;
  const double maxW = (psd.ptPaperSize.x - psd.rtMinMargin.left - psd.rtMinMargin.right) / d;
  const double maxH = (psd.ptPaperSize.y - psd.rtMinMargin.top - psd.rtMinMargin.bottom) / d;
  if (m_sizeIndex == 0 || m_sizeIndex < 0) {
    m_width = maxW;
    m_height = maxH;
    m_left = psd.rtMinMargin.left / d;
    m_top = psd.rtMinMargin.top / d;
    m_right = psd.rtMinMargin.right / d;
    m_bottom = psd.rtMinMargin.bottom / d;
  } else {
    if (m_sizeIndex == 1) {
      if (m_width > maxW) m_width = maxW, m_echo = 1;
      m_height = m_width / m_aspect;
      if (m_height > maxH) m_height = maxH, m_width = m_height * m_aspect, m_echo = 1;
    } else {
      if (m_height > maxH) m_height = maxH, m_echo = 1;
      m_width = m_height * m_aspect;
      if (m_width > maxW) m_width = maxW, m_height = m_width / m_aspect, m_echo = 1;
    }
    m_width = cut(m_width, n);
    m_height = cut(m_height, n);
    if (centerH) {
      m_left = (pw - m_width) / 2;
      if (m_left < psd.rtMinMargin.left / d) {
        m_left = psd.rtMinMargin.left / d;
        m_width = pw - 2 * m_left;
      }
    }
    if (centerV) {
      m_top = (ph - m_height) / 2;
      if (m_top < psd.rtMinMargin.top / d) {
        m_top = psd.rtMinMargin.top / d;
        m_height = ph - 2 * m_top;
      }
    }
    m_right = pw - m_left - m_width;
    m_bottom = ph - m_top - m_height;
  }
  psd.rtMargin = RECT{static_cast<LONG>(std::trunc(d * m_left)), static_cast<LONG>(std::trunc(d * m_top)),
                      static_cast<LONG>(std::trunc(d * m_right)), static_cast<LONG>(std::trunc(d * m_bottom))};
  if (!GetSafeHwnd()) return;
  SetDlgItemText(IDC_PSETUP_LEFT, formatted(" %%.%dlf", n, m_left).str().c_str());
  SetDlgItemText(IDC_PSETUP_TOP, formatted(" %%.%dlf", n, m_top).str().c_str());
  SetDlgItemText(IDC_PSETUP_RIGHT, formatted(" %%.%dlf", n, m_right).str().c_str());
  SetDlgItemText(IDC_PSETUP_BOTTOM, formatted(" %%.%dlf", n, m_bottom).str().c_str());
  const int echo = m_echo;
  if (echo != 2) SetBox(IDC_PSETUP_WIDTH, m_width);
  if (echo != 3) SetBox(IDC_PSETUP_HEIGHT, m_height);
  m_echo = 1;
}

void CGraphPageSetupDlg::PageGeometry() {
  if (m_echo == 0) return;
  CWnd* group = GetDlgItem(IDC_PSETUP_PREVIEW_GROUP);
  if (!group) return;
  RECT r{};
  group->GetWindowRect(&r);
  ScreenToClient(&r);
  const int left = r.left + kInset, top = r.top + kInsetTop;
  const int width = (r.right - r.left) - 2 * kInset, height = (r.bottom - r.top) - kInset - kInsetTop;
  const PAGESETUPDLG& psd = m_pageSetup.m_psd;
  const double pw = psd.ptPaperSize.x / static_cast<double>(Divisor());
  const double ph = psd.ptPaperSize.y / static_cast<double>(Divisor());
  m_scale = (std::min(width, height) - m_shadow) / std::max(pw, ph);
  const int pageWidth = static_cast<int>(pw * m_scale), pageHeight = static_cast<int>(ph * m_scale);
  m_page.left = left + (width - pageWidth - m_shadow) / 2;
  m_page.top = top + (height - pageHeight - m_shadow) / 2;
  m_page.right = m_page.left + pageWidth;
  m_page.bottom = m_page.top + pageHeight;
}

void CGraphPageSetupDlg::PlacePage() {
  if (m_echo == 0) return;
  if (CWnd* shadow = GetDlgItem(IDC_PSETUP_SHADOW))
    shadow->MoveWindow(m_page.left + m_shadow, m_page.top + m_shadow, m_page.right - m_page.left,
                       m_page.bottom - m_page.top);
  if (CWnd* page = GetDlgItem(IDC_PSETUP_PAGE))
    page->MoveWindow(m_page.left, m_page.top, m_page.right - m_page.left, m_page.bottom - m_page.top);
}

void CGraphPageSetupDlg::PlacePreview() {
  if (m_echo == 0 || !m_preview.GetSafeHwnd()) return;
  const int left = m_page.left + static_cast<int>(m_left * m_scale);
  const int top = m_page.top + static_cast<int>(m_top * m_scale);
  const int right = m_page.right - static_cast<int>(m_right * m_scale);
  const int bottom = m_page.bottom - static_cast<int>(m_bottom * m_scale);
  m_preview.MoveWindow(left, top, std::max(1, right - left), std::max(1, bottom - top));
  PlacePage();
  m_preview.Refresh();
}

void CGraphPageSetupDlg::OnCenter() {
  UpdatePreview(FALSE);
  PlacePreview();
}

void CGraphPageSetupDlg::OnFullPage() {
  GetDlgItem(IDC_PSETUP_WIDTH)->EnableWindow(FALSE);
  GetDlgItem(IDC_PSETUP_HEIGHT)->EnableWindow(FALSE);
  OnCenter();
}

void CGraphPageSetupDlg::OnByWidth() {
  GetDlgItem(IDC_PSETUP_WIDTH)->EnableWindow(TRUE);
  GetDlgItem(IDC_PSETUP_HEIGHT)->EnableWindow(FALSE);
  OnCenter();
}

void CGraphPageSetupDlg::OnByHeight() {
  GetDlgItem(IDC_PSETUP_HEIGHT)->EnableWindow(TRUE);
  GetDlgItem(IDC_PSETUP_WIDTH)->EnableWindow(FALSE);
  OnCenter();
}

void CGraphPageSetupDlg::OnWidthChange() {
  if (m_echo == 0) return;
  if (!UpdateData(TRUE)) return;
  m_echo = 2;
  OnCenter();
}

void CGraphPageSetupDlg::OnHeightChange() {
  if (m_echo == 0) return;
  if (!UpdateData(TRUE)) return;
  m_echo = 3;
  OnCenter();
}

void CGraphPageSetupDlg::OnPaper() {
  if (m_pageSetup.DoModal() != IDOK) return;
  UpdatePreview(TRUE);
  PageGeometry();
  PlacePreview();
}

void CGraphPageSetupDlg::OnHelp() { UIShowHelp(kTemplateHelp + IDD_GRAPH_PAGE_SETUP, kContextHelpCommand); }

void CGraphPageSetupDlg::OnMove(int x, int y) {
  CDialog::OnMove(x, y);
  PlacePreview();
}

void CGraphPageSetupDlg::OnPaint() {
  ValidateRect(nullptr);
  PlacePreview();
}

void CGraphPageSetupDlg::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
  const PAGESETUPDLG& psd = m_pageSetup.m_psd;
  const int d = Divisor();
  RECT image{static_cast<LONG>(std::trunc(d * m_left)) - psd.rtMinMargin.left,
             static_cast<LONG>(std::trunc(d * m_top)) - psd.rtMinMargin.top,
             static_cast<LONG>(std::trunc(d * (m_left + m_width))) - psd.rtMinMargin.right,
             static_cast<LONG>(std::trunc(d * (m_top + m_height))) - psd.rtMinMargin.bottom};
  if (HDC printer = m_pageSetup.CreatePrinterDC()) {
    CDC* dc = CDC::FromHandle(printer);
    dc->SetMapMode(m_inches ? MM_HIENGLISH : MM_HIMETRIC);
    POINT corners[2] = {{image.left, image.top}, {image.right, image.bottom}};
    dc->LPtoDP(corners, 2);
    DeleteDC(printer);
    image = RECT{std::abs(corners[0].x), std::abs(corners[0].y), std::abs(corners[1].x), std::abs(corners[1].y)};
  }
  m_imageRect = image;
  sharedCenterHorizontally = IsDlgButtonChecked(IDC_PSETUP_CENTER_H) == BST_CHECKED;
  sharedCenterVertically = IsDlgButtonChecked(IDC_PSETUP_CENTER_V) == BST_CHECKED;
}
