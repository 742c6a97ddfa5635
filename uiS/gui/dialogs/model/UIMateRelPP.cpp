#include "gui/dialogs/model/UIMateRelPP.h"

#include <cstdio>
#include <string>

#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadCommands.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "fea/AnlMateRel.h"
#include "fea/AnlModel.h"
#include "gui/dialogs/units/UIGenericPS.h"
#include "gui/dialogs/units/UISymbolPP.h"
#include "res/ResourceIds.h"

namespace {

constexpr DWORD_PTR kHelpBase = 0x20000;
constexpr int kPreselectionCheck = 2;  // UsesPreselection answer that asks for a parked selection
constexpr int kMatingCheckRequest = 0;
constexpr int kFirstColor = 1;

CString LoadText(UINT id) { return CString(resLoadString(id).Text()); }

bool NameTaken(AnlModel& model, const std::string& name) {
  for (AnlMateRelPair* pair = model.FirstLiveMateRelPair(); pair; pair = model.NextLiveMateRelPair())
    if (name == pair->Name().Text()) return true;
  return false;
}

void ParkSelectionRequest(CadInterface& cad) {
  cad.RequestCommand(kMatingCheckRequest);
  cmdSaveIndex(cmdIndex(CadCommand::MateRel));
  cad.OpenModelessPanel();
}

}  // namespace

int& UIMateRelRememberedColor() {
  static int color = kFirstColor;
  return color;
}

CAMRSelectPP::CAMRSelectPP() : CPropertyPage(IDD_MATE_RELATION), m_strName("Mating Relation") {
  m_psp.dwFlags |= PSP_HASHELP;
}

CAMRSelectPP::CAMRSelectPP(AnlMateRelPair* pair) : CAMRSelectPP() {
  if (pair) m_strName = pair->Name().Text();
}

void CAMRSelectPP::DoDataExchange(CDataExchange* dx) {
  CPropertyPage::DoDataExchange(dx);
  DDX_Text(dx, IDC_MATE_NAME, m_strName);
  if (dx->m_bSaveAndValidate && m_strName.IsEmpty()) {
    AfxMessageBox(IDS_MATE_NAME_REQUIRED, MB_ICONEXCLAMATION);
    dx->Fail();
  }
}

BOOL CAMRSelectPP::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  CadInterface* cad = CadInterface::GetCurrent();
  if (m_bModify)
    SetDlgItemText(IDC_MATE_HINT, LoadText(IDS_MODIFY_HINT));
  else if (cad && cad->UsesPreselection())
    SetDlgItemText(IDC_MATE_HINT, LoadText(IDS_MATE_PRESELECTED_HINT));
  return TRUE;
}

BOOL CAMRSelectPP::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header && static_cast<int>(header->code) == PSN_HELP) {
    UIShowHelp(kHelpBase + IDD_MATE_RELATION, HELP_CONTEXT);
    if (result) *result = 1;
    return TRUE;
  }
  return CPropertyPage::OnNotify(wParam, lParam, result);
}

CString UIProposedMateRelName() {
  AnlControl* control = CadCurrentAnlControl();
  AnlModel* model = control ? control->CurrentAnlModel() : nullptr;
  for (int n = 1;; ++n) {
    char name[64];
    std::snprintf(name, sizeof name, "Mating Relation %d", n);
    if (!model || !NameTaken(*model, name)) return CString(name);
  }
}

int UICheckMateRelSelection() {
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad || cad->UsesPreselection() != kPreselectionCheck) return 1;
  if (!cad->IsRequestPending()) {
    ParkSelectionRequest(*cad);
    return 0;
  }
  AcBrEntity* selection = nullptr;
  int cancelled = 0;
  const int count = cad->GetCommandResult(&selection, &cancelled);
  if (cancelled) return 0;
  if (count == 2 && (cad->HasPreselectionOfKind(2) || cad->HasPreselectionOfKind(3) || cad->HasPreselectionOfKind(1)))
    return 1;
  CadMessageBoxId(IDS_MATE_PRESELECTION_REQUIRED, MB_TASKMODAL);
  ParkSelectionRequest(*cad);
  return 0;
}

int UICmdMateRel() {
  if (!CadHasCurrentModel()) {
    CadMessageBoxId(IDS_OPEN_MODEL_REQUIRED, MB_TASKMODAL);
    return 0;
  }
  if (!UICheckMateRelSelection()) return 0;
  // The pages outlive the sheet that refers to them.
  CAMRSelectPP select;
  CSymbolPP symbol(IDD_SYMBOL_MATE_REL);
  CGenericPS sheet(IDS_ADD_MATE_RELATION, nullptr, 0);
  sheet.AddPage(&select);
  sheet.AddPage(&symbol);
  sheet.CreateTabImageList(16);
  sheet.AddTabIcon(IDI_EXP_MATE_RELATION);
  sheet.AddTabIcon(IDI_ATT_SYMBOL_TAB);
  sheet.m_bShowTabIcons = TRUE;
  sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
  select.SetName(UIProposedMateRelName());
  symbol.m_bScaledAllowed = FALSE;
  symbol.LoadDefaults();
  symbol.SetColor(UIMateRelRememberedColor());
  if (sheet.DoModal() != IDOK) return 0;
  UIMateRelRememberedColor() = symbol.GetColor();
  const double size = symbol.GetSymbolSize();
  symbol.StoreDefaults();
  CadInterface& cad = *CadInterface::GetCurrent();
  cad.CreateMateRelation(CaeString(select.GetName()), symbol.GetColor(), size);
  cad.FlushGraphics();
  return 1;
}

void UIEditMateRelation(AnlMateRelPair* pair) {
  CadInterface* cad = CadInterface::GetCurrent();
  if (!pair || !cad) return;
  CAMRSelectPP select(pair);
  select.SetModifyMode();
  CSymbolPP symbol(IDD_SYMBOL_MATE_REL);
  CGenericPS sheet(IDS_MODIFY, nullptr, 0);
  symbol.m_bScaledAllowed = FALSE;
  sheet.AddPage(&select);
  sheet.AddPage(&symbol);
  sheet.CreateTabImageList(16);
  sheet.AddTabIcon(IDI_EXP_MATE_RELATION);
  sheet.AddTabIcon(IDI_ATT_SYMBOL_TAB);
  sheet.m_bShowTabIcons = TRUE;
  sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
  int color = 0;
  double size = 0.0;
  cad->GetMateRelColorAndScale(pair, &color, &size);
  symbol.SetColor(color);
  symbol.SetSymbolSize(size);
  if (sheet.DoModal() != IDOK) return;
  symbol.StoreDefaults();
  cad->RecreateMateRelation(pair, CaeString(select.GetName()), symbol.GetColor(), symbol.GetSymbolSize());
  cad->FlushGraphics();
}
