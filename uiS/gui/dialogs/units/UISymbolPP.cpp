#include "gui/dialogs/units/UISymbolPP.h"

#include <cmath>

#include "cadInterface/CadResources.h"
#include "gui/optwizard/UIOptWizardKind.h"
#include "mfc/services.h"

namespace {

constexpr DWORD_PTR kHelpBase = 0x20000;
constexpr DWORD_PTR kConceptSymbolHelp = 0x8000001B;
constexpr int kConceptKind = 1;
constexpr int kShapeKind = 0;

bool IsPositive(double value) { return std::isfinite(value) && value > 0.0; }

std::string ShortName(int unit) {
  const CaeUnitStrTable* table = CaeUnitStrTable::GetCurrent();
  return table ? table->IdToShortString(unit).c_str() : std::string();
}

}  // namespace

// ---- CIdCodeList ----

void CIdCodeList::Add(UINT stringId, int code) { entries_.push_back(Entry{stringId, code}); }

int CIdCodeList::GetCount() const { return static_cast<int>(entries_.size()); }

std::string CIdCodeList::GetText(int index) const {
  if (index < 0 || index >= GetCount()) return {};
  return resLoadString(entries_[static_cast<size_t>(index)].stringId).c_str();
}

int CIdCodeList::IndexOfCode(int code) const {
  for (size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].code == code) return static_cast<int>(i);
  return -1;
}

int CIdCodeList::CodeAtIndex(int index) const {
  if (index < 0 || index >= GetCount()) return -1;
  return entries_[static_cast<size_t>(index)].code;
}

CSymbolColorList::CSymbolColorList() {
  const UINT texts[] = {IDS_COLOR_RED,     IDS_COLOR_YELLOW, IDS_COLOR_GREEN, IDS_COLOR_LIGHT_BLUE, IDS_COLOR_BLUE,
                        IDS_COLOR_MAGENTA, IDS_COLOR_BLACK,  IDS_COLOR_GRAY,  IDS_COLOR_LIGHT_GRAY};
  int code = 1;
  for (UINT text : texts) Add(text, code++);
}

// ---- SymbolDefaults ----

SymbolDefaults& UISymbolDefaults() {
  static SymbolDefaults defaults;
  return defaults;
}

void UIResetSymbolDefaults() { UISymbolDefaults() = SymbolDefaults(); }

// ---- CSymbolPP ----

BEGIN_MESSAGE_MAP(CSymbolPP, CPropertyPage)
ON_BN_CLICKED(IDC_SYMBOL_FIXED, OnFixed)
ON_BN_CLICKED(IDC_SYMBOL_SCALED, OnScaled)
END_MESSAGE_MAP()

CSymbolPP::CSymbolPP(UINT templateId) : CPropertyPage(templateId), m_nTemplateId(templateId) {}

void CSymbolPP::SetColor(int colorCode) { m_nColor = CSymbolColorList().IndexOfCode(colorCode); }

int CSymbolPP::GetColor() const { return CSymbolColorList().CodeAtIndex(m_nColor); }

double CSymbolPP::ReferenceInHostUnits() const {
  return std::fabs(CaeUnit(m_nRefUnitType).NativeToHost(m_refVector.Length()));
}

void CSymbolPP::SetSymbolSize(double nativeSize) {
  const double hostSize = CaeUnit(CaeUtLength).NativeToHost(nativeSize);
  if (!IsPositive(hostSize)) return;
  if (m_nSizeMode != kScaled) {
    m_dSize = hostSize;
    return;
  }
  const double scale = ReferenceInHostUnits() / hostSize;
  if (IsPositive(scale)) m_dSize = scale;
}

double CSymbolPP::GetSymbolSize() const {
  const double hostSize = m_nSizeMode == kScaled ? ReferenceInHostUnits() / m_dSize : m_dSize;
  return CaeUnit(CaeUtLength).HostToNative(hostSize);
}

void CSymbolPP::StoreDefaults() const {
  if (!IsPositive(m_dSize)) return;
  UISymbolDefaults().size = m_dSize;
  if (m_bScaledAllowed) UISymbolDefaults().sizeMode = m_nSizeMode;
}

void CSymbolPP::LoadDefaults() {
  m_dSize = UISymbolDefaults().size;
  if (m_bScaledAllowed) m_nSizeMode = UISymbolDefaults().sizeMode;
}

void CSymbolPP::UpdateSizeLabel(int mode) {
  CWnd* label = GetDlgItem(IDC_SYMBOL_UNITS);
  if (!label) return;
  std::string text = ShortName(CaeUnitSystem::GetHostUnit(CaeUtLength));
  if (mode == kScaled) text = ShortName(CaeUnitSystem::GetHostUnit(m_nRefUnitType)) + "/" + text;
  label->SetWindowText(text.c_str());
}

BOOL CSymbolPP::OnInitDialog() {
  m_bShown = TRUE;
  if (auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_SYMBOL_COLOR))) {
    const CSymbolColorList colors;
    for (int i = 0; i < colors.GetCount(); ++i) combo->InsertString(i, colors.GetText(i).c_str());
    combo->SetCurSel(m_nColor);
  }
  if (CWnd* scaled = GetDlgItem(IDC_SYMBOL_SCALED)) scaled->EnableWindow(m_bScaledAllowed);
  if (!m_bScaledAllowed) m_nSizeMode = kFixed;
  UpdateSizeLabel(m_nSizeMode);
  CPropertyPage::OnInitDialog();
  return TRUE;
}

void CSymbolPP::ShowControl(int id, bool enabled, bool shown) {
  CWnd* control = GetDlgItem(id);
  if (!control) return;
  control->EnableWindow(enabled);
  control->ShowWindow(shown ? SW_SHOW : SW_HIDE);
}

BOOL CSymbolPP::OnSetActive() {
  const bool sizeEnabled = (m_nEnableMask & kSizeBit) != 0;
  const bool sizeShown = (m_nShowMask & kSizeBit) != 0;
  ShowControl(IDC_SYMBOL_COLOR, (m_nEnableMask & kColorBit) != 0, (m_nShowMask & kColorBit) != 0);
  for (int id : {IDC_SYMBOL_FIXED, IDC_SYMBOL_SIZE, IDC_SYMBOL_UNITS}) ShowControl(id, sizeEnabled, sizeShown);
  ShowControl(IDC_SYMBOL_SCALED, m_bScaledAllowed && sizeEnabled, sizeShown);
  if (CPropertySheet* owner = sheet()) {
    if (m_nPictureId != -1) owner->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    if (m_nTemplateId == IDD_SYMBOL_DESIGN) {
      const int kind = UIGetOptWizardKind();
      std::string title;
      if (kind == kShapeKind) title = resLoadString(IDS_DESIGN_CONSTRAINT_SYMBOL).c_str();
      if (kind == kConceptKind) title = resLoadString(IDS_CONCEPT_CONTROL_SYMBOL).c_str();
      owner->SetTitle(title.c_str());
    }
  }
  return CPropertyPage::OnSetActive();
}

DWORD_PTR CSymbolPP::HelpContext() const {
  if (m_nTemplateId == IDD_SYMBOL_DESIGN && UIGetOptWizardKind() == kConceptKind) return kConceptSymbolHelp;
  if (m_nTemplateId == IDD_SYMBOL_ATTRIBUTE) return kHelpBase + IDD_SYMBOL_MATE_REL;
  return kHelpBase + m_nTemplateId;
}

BOOL CSymbolPP::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header && static_cast<int>(header->code) == PSN_HELP) {
    UIShowHelp(HelpContext(), HELP_CONTEXT);
    if (result) *result = 1;
    return TRUE;
  }
  return CPropertyPage::OnNotify(wParam, lParam, result);
}

// A size or scale of 0 or less would make no symbol (or divide by it): refused with a message,
// the page stays active.
void CSymbolPP::DoDataExchange(CDataExchange* dx) {
  CPropertyPage::DoDataExchange(dx);
  DDX_CBIndex(dx, IDC_SYMBOL_COLOR, m_nColor);
  DDX_Radio(dx, IDC_SYMBOL_FIXED, m_nSizeMode);
  DDX_Text(dx, IDC_SYMBOL_SIZE, m_dSize);
  if (dx->m_bSaveAndValidate && !IsPositive(m_dSize)) {
    AfxMessageBox(m_nSizeMode == kScaled ? IDS_SYMBOL_SCALE_NOT_POSITIVE : IDS_SYMBOL_SIZE_NOT_POSITIVE,
                  MB_ICONEXCLAMATION);
    dx->Fail();
  }
}

void CSymbolPP::OnFixed() { UpdateSizeLabel(kFixed); }
void CSymbolPP::OnScaled() { UpdateSizeLabel(kScaled); }
