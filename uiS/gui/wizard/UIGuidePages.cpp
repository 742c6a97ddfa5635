#include "gui/wizard/UIGuidePages.h"

#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadCommands.h"
#include "cadInterface/CadDocServices.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "gui/wizard/UIWizPS.h"
#include "gui/wizard/UIWizard.h"
#include "res/ResourceIds.h"

namespace {

// The drawing's length unit is not known yet: the problem-definition step will ask for it.
constexpr int kLengthUnitNotChosen = 33;
// Fixed help contexts of the thermal loads and restraints pages.
constexpr DWORD kHelpHeatLoads = 0x8000000A;
constexpr DWORD kHelpHeatRestraints = 0x8000000B;
constexpr DWORD kHelpTemplateBase = 0x20000;
constexpr int kVibrationModel = 1;

void SetText(CWnd& page, int id, unsigned stringId) {
  if (CWnd* control = page.GetDlgItem(id)) control->SetWindowText(resLoadString(stringId).c_str());
}

void Focus(CWnd& page, int id) {
  if (CWnd* control = page.GetDlgItem(id)) control->SetFocus();
}

}  // namespace

// ---- the family ----

BEGIN_MESSAGE_MAP(CGuideStepPP, CWizBasePP)
ON_WM_PAINT()
ON_WM_QUERYNEWPALETTE()
ON_WM_PALETTECHANGED()
ON_MESSAGE(MSG_GUIDE_PAGE_SHOWN, OnPageShown)
END_MESSAGE_MAP()

CGuideStepPP::CGuideStepPP(const GuideStepPage& page) : CWizBasePP(page.templateId), page_(page) {
  m_psp.dwFlags |= PSP_HASHELP;
}

CAnlWizPS* CGuideStepPP::Guide() const { return UIGetGuideSheet(); }
bool CGuideStepPP::IsHeatGuide() const { return UIGetWizardKind(Guide()) == kGuideKindHeat; }

BOOL CGuideStepPP::OnSetActive() { return Dispatch(PageEventCode::Activated); }
BOOL CGuideStepPP::OnInitDialog() { return Dispatch(PageEventCode::InitDialog); }

BOOL CGuideStepPP::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header && header->code == static_cast<UINT>(PSN_HELP)) {
    *result = Dispatch(PageEventCode::Help);
    return TRUE;
  }
  return CWizBasePP::OnNotify(wParam, lParam, result);
}

BOOL CGuideStepPP::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (HIWORD(wParam) != BN_CLICKED) return CWizBasePP::OnCommand(wParam, lParam);
  const int id = LOWORD(wParam);
  if (page_.nextId != 0 && id == page_.nextId) {
    OnNext();
  } else if (id == IDC_GUIDE_BACK) {
    Dispatch(PageEventCode::Back);
  } else if (id == page_.actionId) {
    OnAction();
  } else {
    return CWizBasePP::OnCommand(wParam, lParam);
  }
  return TRUE;
}

void CGuideStepPP::OnAction() {
  if (page_.commandEntry < 0) return;
  if (CadCommandStub stub = cmdTable()[page_.commandEntry].stub) stub();
}

void CGuideStepPP::OnPaint() {
  if (PaintsThroughDispatch()) {
    Dispatch(PageEventCode::Paint);
  } else {
    PaintPicture();
  }
}

BOOL CGuideStepPP::OnQueryNewPalette() {
  if (PaintsThroughDispatch()) return Dispatch(PageEventCode::QueryNewPalette);
  return CPageEventAdapter::OnQueryNewPalette(this);
}

void CGuideStepPP::OnPaletteChanged(CWnd* changedBy) {
  if (changedBy == this) return;  // the page's own realisation changed nothing for it
  if (PaintsThroughDispatch()) {
    Dispatch(PageEventCode::PaletteChanged);
  } else {
    CPageEventAdapter::OnPaletteChanged(this);
  }
}

LRESULT CGuideStepPP::OnPageShown(WPARAM, LPARAM) {
  Dispatch(PageEventCode::Shown);
  return 0;
}

void CGuideStepPP::PaintPicture() {
  CPaintDC paint(this);
  picture_.Paint();
}

void CGuideStepPP::MakeDefault(int id) {
  Focus(*this, id);
  SendMessage(DM_SETDEFID, static_cast<WPARAM>(id));
}

void CGuideStepPP::ChooseDefaultButton(CWnd&, bool enabled) { MakeDefault(enabled ? page_.actionId : page_.nextId); }

int CGuideStepPP::OnPageEvent(PageEventCode code) {
  switch (code) {
    case PageEventCode::Next: NextPage(Guide()); return 0;
    case PageEventCode::Back: PrevPage(Guide()); return 0;
    case PageEventCode::Activated: {
      UISetWizardStep(page_.step);
      const BOOL result = CWizBasePP::OnSetActive();
      if (PostsShown() && m_hWnd) PostMessage(MSG_GUIDE_PAGE_SHOWN);
      if (CAnlWizPS* guide = Guide()) guide->Restore();
      CadInterface* cad = CadInterface::GetCurrent();
      if (ResumesParkedPick() && m_hWnd && cad && cad->IsRequestPending()) {
        CWnd* action = GetDlgItem(page_.actionId);
        PostMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(page_.actionId), BN_CLICKED),
                    reinterpret_cast<LPARAM>(action ? action->m_hWnd : nullptr));
      }
      return result;
    }
    case PageEventCode::InitDialog:
      CWizBasePP::OnInitDialog();
      SetTexts();
      picture_.Attach(ResourceSetter::ResourceModule(), this, page_.placeholderId, BitmapId());
      return 1;
    case PageEventCode::Help: UIShowHelp(HelpContext(), HELP_CONTEXT); return 1;
    case PageEventCode::Paint: PaintPicture(); return 0;
    case PageEventCode::QueryNewPalette: return CPageEventAdapter::OnQueryNewPalette(this);
    case PageEventCode::PaletteChanged: CPageEventAdapter::OnPaletteChanged(this); return 0;
    case PageEventCode::Shown: {
      CWnd* action = GetDlgItem(page_.actionId);
      if (!action) return 0;
      const bool enabled = ActionEnabled();
      action->EnableWindow(enabled ? TRUE : FALSE);
      ChooseDefaultButton(*action, enabled);
      return 0;
    }
  }
  return 0;
}

// ---- the pages ----

CProbDefPP::CProbDefPP()
    : CGuideStepPP({IDD_GUIDE_PROBDEF, 1, IDC_GUIDE_DEFINE, cmdIndex(CadCommand::ProblemDefinitionStep),
                    IDC_GUIDE_PROBDEF_NEXT, IDC_GUIDE_PROBDEF_PICTURE}) {}
UINT CProbDefPP::BitmapId() const { return IDB_GUIDE_PROBDEF; }
void CProbDefPP::SetTexts() {
  CadInterface* cad = CadInterface::GetCurrent();
  if (cad && cad->GetLengthUnit() == kLengthUnitNotChosen) return;
  for (int id : {IDC_GUIDE_LENGTH_LINE1, IDC_GUIDE_LENGTH_LINE2})
    if (CWnd* line = GetDlgItem(id)) line->ShowWindow(SW_HIDE);
}

CUnitsPP::CUnitsPP()
    : CGuideStepPP({IDD_GUIDE_UNITS, 2, IDC_GUIDE_UNITS_BUTTON, cmdIndex(CadCommand::UnitsStep), IDC_GUIDE_UNITS_NEXT,
                    IDC_GUIDE_UNITS_PICTURE}) {}
UINT CUnitsPP::BitmapId() const { return IDB_GUIDE_UNITS; }
bool CUnitsPP::ActionEnabled() const { return CadHasCurrentModel(); }

CLoadPP::CLoadPP()
    : CGuideStepPP({IDD_GUIDE_LOADS, 3, IDC_GUIDE_LOADS_BUTTON, cmdIndex(CadCommand::LoadStep), IDC_GUIDE_LOADS_NEXT,
                    IDC_GUIDE_LOADS_PICTURE}) {}
UINT CLoadPP::BitmapId() const { return IsHeatGuide() ? IDB_GUIDE_HEAT_LOADS : IDB_GUIDE_LOADS; }
DWORD CLoadPP::HelpContext() const { return IsHeatGuide() ? kHelpHeatLoads : kHelpTemplateBase + IDD_GUIDE_LOADS; }
void CLoadPP::SetTexts() {
  SetText(*this, IDC_GUIDE_LOADS_TEXT, IsHeatGuide() ? IDS_GUIDE_HEAT_LOADS_TEXT : IDS_GUIDE_LOADS_TEXT);
}
bool CLoadPP::ActionEnabled() const {
  if (CadHasCurrentModel()) return CadCurrentModelType() != kVibrationModel;
  return CadHasCurrentLoadCase();
}

CRestPP::CRestPP()
    : CGuideStepPP({IDD_GUIDE_RESTRAINTS, 4, IDC_GUIDE_RESTRAINTS_BUTTON, cmdIndex(CadCommand::RestraintsStep),
                    IDC_GUIDE_RESTRAINTS_NEXT, IDC_GUIDE_RESTRAINTS_PICTURE}) {}
UINT CRestPP::BitmapId() const { return IsHeatGuide() ? IDB_GUIDE_HEAT_RESTRAINTS : IDB_GUIDE_RESTRAINTS; }
DWORD CRestPP::HelpContext() const {
  return IsHeatGuide() ? kHelpHeatRestraints : kHelpTemplateBase + IDD_GUIDE_RESTRAINTS;
}
void CRestPP::SetTexts() {
  const bool heat = IsHeatGuide();
  SetText(*this, IDC_GUIDE_RESTRAINTS_TEXT1, heat ? IDS_GUIDE_HEAT_RESTRAINTS_TEXT1 : IDS_GUIDE_RESTRAINTS_TEXT1);
  SetText(*this, IDC_GUIDE_RESTRAINTS_TEXT2, heat ? IDS_GUIDE_HEAT_RESTRAINTS_TEXT2 : IDS_GUIDE_RESTRAINTS_TEXT2);
}
bool CRestPP::ActionEnabled() const { return CadHasCurrentModel() || CadHasCurrentRestraintCase(); }

CMateRelPP::CMateRelPP()
    : CGuideStepPP({IDD_GUIDE_MATE_REL, 5, IDC_GUIDE_MATE_REL_BUTTON, -1, IDC_GUIDE_MATE_REL_NEXT,
                    IDC_GUIDE_MATE_REL_PICTURE}) {}
UINT CMateRelPP::BitmapId() const { return IDB_GUIDE_MATE_REL; }
DWORD CMateRelPP::HelpContext() const { return kHelpTemplateBase + IDD_MATE_RELATION; }
void CMateRelPP::SetTexts() {
  if (CWnd* action = GetDlgItem(IDC_GUIDE_MATE_REL_BUTTON)) action->ShowWindow(SW_HIDE);
  SetText(*this, IDC_GUIDE_MATE_REL_TEXT1, IDS_GUIDE_MATE_REL_TEXT1);
  SetText(*this, IDC_GUIDE_MATE_REL_TEXT2, IDS_GUIDE_MATE_REL_TEXT2);
}
void CMateRelPP::OnNext() {
  UISetWizardTabState(5, 1);
  Dispatch(PageEventCode::Next);
}

CMeshPP::CMeshPP()
    : CGuideStepPP({IDD_GUIDE_ANALYZE, 6, IDC_GUIDE_ANALYZE_BUTTON, cmdIndex(CadCommand::MeshStep),
                    IDC_GUIDE_ANALYZE_NEXT, IDC_GUIDE_ANALYZE_PICTURE}) {}
UINT CMeshPP::BitmapId() const { return IDB_GUIDE_ANALYZE; }
void CMeshPP::SetTexts() {
  CadInterface* cad = CadInterface::GetCurrent();
  const bool preselects = cad && cad->UsesPreselection();
  SetText(*this, IDC_GUIDE_ANALYZE_TEXT, preselects ? IDS_PICK_MESH_MATERIAL : IDS_GUIDE_PICK_MATERIAL_AND_GEOMETRY);
}
bool CMeshPP::ActionEnabled() const {
  CadInterface* cad = CadInterface::GetCurrent();
  return CadHasCurrentModel() && CadCountResultSets() < 1 && cad && cad->ModelReady();
}

CResultsPP::CResultsPP()
    : CGuideStepPP({IDD_GUIDE_RESULTS, 7, IDC_GUIDE_RESULTS_BUTTON, cmdIndex(CadCommand::ResultsStep), 0,
                    IDC_GUIDE_RESULTS_PICTURE}) {}
UINT CResultsPP::BitmapId() const { return IDB_GUIDE_RESULTS; }
bool CResultsPP::ActionEnabled() const { return CadHasCurrentModel(); }

BOOL CResultsPP::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDC_GUIDE_FINISH) {
    OnFinish();
    return TRUE;
  }
  return CGuideStepPP::OnCommand(wParam, lParam);
}

void CResultsPP::OnFinish() {
  ResourceSetter resources(1);
  CAnlWizPS* guide = Guide();
  if (!guide || sheet() != guide) return;
  UISetWizardStep(1);
  guide->SetActivePage(UIWizardTabIndex(1));
  guide->ShowWindow(SW_HIDE);
}

void CResultsPP::ChooseDefaultButton(CWnd&, bool enabled) {
  if (!enabled) {
    MakeDefault(IDC_GUIDE_BACK);
  } else if (LOWORD(GetDefID()) != IDC_GUIDE_FINISH) {
    MakeDefault(page_.actionId);
  }
}

void CResultsPP::PaintPicture() {
  if (IsWindowVisible()) CGuideStepPP::PaintPicture();
}

// ---- the introduction ----

BEGIN_MESSAGE_MAP(CIntroPP, CWizBasePP)
ON_WM_PAINT()
ON_WM_QUERYNEWPALETTE()
ON_WM_PALETTECHANGED()
END_MESSAGE_MAP()

CIntroPP::CIntroPP() : CWizBasePP(IDD_GUIDE_INTRO) { m_psp.dwFlags |= PSP_HASHELP; }

BOOL CIntroPP::OnInitDialog() {
  CWizBasePP::OnInitDialog();
  struct KindTexts {
    unsigned welcome, follow;
    UINT bitmap;
  };
  static constexpr KindTexts kByKind[] = {
      {IDS_GUIDE_WELCOME_STRESS, IDS_GUIDE_FOLLOW_STRESS, IDB_GUIDE_INTRO_STRESS},
      {IDS_GUIDE_WELCOME_VIBRATION, IDS_GUIDE_FOLLOW_VIBRATION, IDB_GUIDE_INTRO_VIBRATION},
      {IDS_GUIDE_WELCOME_BUCKLING, IDS_GUIDE_FOLLOW_BUCKLING, IDB_GUIDE_INTRO_BUCKLING},
      {IDS_GUIDE_WELCOME_HEAT, IDS_GUIDE_FOLLOW_HEAT, IDB_GUIDE_INTRO_HEAT},
  };
  const int kind = UIGetWizardKind(UIGetGuideSheet());
  if (kind < 0 || kind > 3) return TRUE;
  const KindTexts& texts = kByKind[kind];
  SetText(*this, IDC_GUIDE_INTRO_TEXT1, texts.welcome);
  SetText(*this, IDC_GUIDE_INTRO_TEXT2, texts.follow);
  picture_.Attach(ResourceSetter::ResourceModule(), this, IDC_GUIDE_INTRO_PICTURE, texts.bitmap);
  return TRUE;
}

BOOL CIntroPP::OnSetActive() {
  const BOOL result = CWizBasePP::OnSetActive();
  if (CAnlWizPS* guide = UIGetGuideSheet()) guide->Restore();
  return result;
}

BOOL CIntroPP::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header && header->code == static_cast<UINT>(PSN_HELP)) {
    UIShowHelp(kHelpTemplateBase + IDD_GUIDE_INTRO, HELP_CONTEXT);
    *result = 1;
    return TRUE;
  }
  return CWizBasePP::OnNotify(wParam, lParam, result);
}

BOOL CIntroPP::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (HIWORD(wParam) != BN_CLICKED) return CWizBasePP::OnCommand(wParam, lParam);
  switch (LOWORD(wParam)) {
    case IDC_GUIDE_BEGIN:
    case IDC_GUIDE_INTRO_NEXT: OnBegin(); return TRUE;
    case IDC_GUIDE_BACK: return TRUE;
    default: return CWizBasePP::OnCommand(wParam, lParam);
  }
}

void CIntroPP::OnBegin() {
  UISetWizardTabState(0, 1);
  if (CAnlWizPS* guide = UIGetGuideSheet()) guide->SetActivePage(1);
}

void CIntroPP::OnPaint() {
  CPaintDC paint(this);
  picture_.Paint();
}
BOOL CIntroPP::OnQueryNewPalette() { return CPageEventAdapter::OnQueryNewPalette(this); }
void CIntroPP::OnPaletteChanged(CWnd* changedBy) {
  if (changedBy != this) CPageEventAdapter::OnPaletteChanged(this);
}
