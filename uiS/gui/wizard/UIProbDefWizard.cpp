#include "gui/wizard/UIProbDefWizard.h"

#include <array>
#include <memory>

#include "amg/CaeUnit.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadDocServices.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "gui/dialogs/units/UIDrawingUnitDlg.h"
#include "gui/wizard/UIWizPS.h"
#include "gui/wizard/UIWizard.h"
#include "res/ResourceIds.h"

namespace {

// The drawing's length unit has not been chosen yet.
constexpr int kLengthUnitNotChosen = CaeUnitNone;
// The combo keeps room for the suffixes the drawing adds to a model's name.
constexpr int kModelNameReserve = 6;
constexpr DWORD kHelpTemplateBase = 0x20000;
// The length page offers meter to foot; inch is preselected.
constexpr int kFirstLengthUnit = CaeMeter;
constexpr int kLastLengthUnit = CaeFoot;
constexpr int kPreselectedLengthPosition = 3;

int DrawingLengthUnit() {
  CadInterface* cad = CadInterface::GetCurrent();
  return cad ? cad->GetLengthUnit() : kLengthUnitNotChosen;
}

CaeString LongUnitName(int unit) {
  const CaeUnitStrTable* table = CaeUnitStrTable::GetCurrent();
  return table ? table->IdToLongString(unit) : CaeString();
}

UINT ModelPicture(int kind) {
  switch (kind) {
    case 1: return IDB_PD_VIBRATION;
    case 2: return IDB_PD_BUCKLING;
    case kGuideKindHeat: return IDB_PD_HEAT;
    default: return IDB_PD_STRESS;
  }
}

bool IsHelp(LPARAM lParam) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  return header && header->code == static_cast<UINT>(PSN_HELP);
}

}  // namespace

void UIOpenStepWizardOverGuide(CPropertySheet& sheet) {
  if (CadInterface* cad = CadInterface::GetCurrent())
    if (CWnd* main = CWnd::FromHandle(cad->GetMainWindow())) main->SetActiveWindow();
  CAnlWizPS* guide = UIGetGuideSheet();
  CWnd* over = guide && guide->m_hWnd ? guide : nullptr;
  sheet.CenterWindow(over);
  if (over) over->ShowWindow(SW_HIDE);
}

// ---- pages with a picture ----

BEGIN_MESSAGE_MAP(CPicturePagePP, CWizBasePP)
ON_WM_PAINT()
ON_WM_QUERYNEWPALETTE()
ON_WM_PALETTECHANGED()
END_MESSAGE_MAP()

void CPicturePagePP::AttachPicture(int placeholderId, UINT bitmapId) {
  picture_.Attach(ResourceSetter::ResourceModule(), this, placeholderId, bitmapId);
}

void CPicturePagePP::OnPaint() {
  CPaintDC paint(this);
  picture_.Paint();
}

BOOL CPicturePagePP::OnQueryNewPalette() {
  if (!m_hWnd) return FALSE;
  int realised = 0;
  if (const HDC dc = GetDC(m_hWnd)) {
    realised = static_cast<int>(RealizePalette(dc));
    ReleaseDC(m_hWnd, dc);
  }
  SendMessage(WM_PAINT);
  return realised;
}

void CPicturePagePP::OnPaletteChanged(CWnd* changedBy) {
  if (changedBy == this) return;
  OnQueryNewPalette();
}

// ---- the model page ----

CPD_AnalTypePP::CPD_AnalTypePP() : CPicturePagePP(IDD_PD_MODEL_NAME) { m_psp.dwFlags |= PSP_HASHELP; }

CPDWizPS* CPD_AnalTypePP::Sheet() const { return dynamic_cast<CPDWizPS*>(sheet()); }

void CPD_AnalTypePP::FillModelNames() {
  auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_PD_MODEL_NAME));
  if (!combo) return;
  combo->ResetContent();
  CString initial;
  if (AnlControl* control = AnlControl::GetCurrent()) {
    for (AnlModel* model = control->FirstAnlModel(); model; model = control->NextAnlModel()) {
      if (model->IsMarkedAsErased() || static_cast<int>(model->Type()) != kind) continue;
      combo->AddString(model->Name().Text());
      if (initial.IsEmpty()) initial = model->Name().Text();
    }
    AnlModel* current = control->CurrentAnlModel();
    if (current && static_cast<int>(current->Type()) == kind) initial = current->Name().Text();
  }
  if (initial.IsEmpty()) initial = CadUniqueModelName();
  // The whole name, case ignored: "Beam" must not select "Beam2".
  combo->SetCurSel(combo->FindStringExact(-1, initial));
  CadInterface* cad = CadInterface::GetCurrent();
  if (cad) combo->LimitText(cad->MaxNameLength() - kModelNameReserve);
  name = initial;
}

BOOL CPD_AnalTypePP::OnInitDialog() {
  kind = UIGetWizardKind();
  FillModelNames();
  CWizBasePP::OnInitDialog();
  AttachPicture(IDC_PD_MODEL_PICTURE, ModelPicture(kind));
  return TRUE;
}

BOOL CPD_AnalTypePP::OnSetActive() {
  if (CPDWizPS* sheet = Sheet()) {
    sheet->RemoveExtraPage();
    sheet->SetWizardButtons(PSWIZB_BACK | (DrawingLengthUnit() == kLengthUnitNotChosen ? PSWIZB_NEXT : PSWIZB_FINISH));
  }
  return CWizBasePP::OnSetActive();
}

void CPD_AnalTypePP::DoDataExchange(CDataExchange* dx) {
  CWizBasePP::DoDataExchange(dx);
  DDX_CBStringExact(dx, IDC_PD_MODEL_NAME, name);
  if (dx->m_bSaveAndValidate && !CadIsValidName(name)) {
    CadMessageBox(m_hWnd, resLoadString(IDS_INVALID_NAME).c_str(), MB_OK | MB_TASKMODAL);
    dx->Fail();
  }
}

int CPD_AnalTypePP::Validate() {
  // Leaving the page has exchanged (and checked) the name already; a second exchange would say
  // the same refusal twice.
  acceptedName = name;
  if (acceptedName.IsEmpty()) {
    CadMessageBoxId(IDS_MODEL_NAME_REQUIRED, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL, m_hWnd);
    return -1;
  }
  return 0;
}

void CPD_AnalTypePP::Apply() {
  UpdateData(TRUE);
  if (kind == -1) return;
  CadOpenModel(acceptedName, kind);
  if (CadInterface* cad = CadInterface::GetCurrent()) cad->FlushGraphics();
}

LRESULT CPD_AnalTypePP::OnWizardNext() {
  if (Validate() != 0) return -1;
  CPDWizPS* sheet = Sheet();
  if (!sheet) return -1;
  sheet->AddLengthPage();
  return 0;
}

LRESULT CPD_AnalTypePP::OnWizardBack() {
  if (CPDWizPS* sheet = Sheet()) {
    sheet->finished = FALSE;
    endedByBack_ = TRUE;
    sheet->EndDialog(-1);
  }
  return -1;
}

BOOL CPD_AnalTypePP::OnWizardFinish() {
  if (Validate() != 0) return FALSE;
  Apply();
  if (CPDWizPS* sheet = Sheet()) sheet->finished = TRUE;
  return CWizBasePP::OnWizardFinish();
}

BOOL CPD_AnalTypePP::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (IsHelp(lParam)) {
    UIShowHelp(kHelpTemplateBase + IDD_PD_MODEL_NAME, HELP_CONTEXT);
    *result = 1;
    return TRUE;
  }
  if (header && header->code == static_cast<UINT>(PSN_WIZFINISH) && endedByBack_) {
    *result = 1;
    return TRUE;
  }
  return CWizBasePP::OnNotify(wParam, lParam, result);
}

// ---- the length page ----

CPD_UnitsPP::CPD_UnitsPP() : CPicturePagePP(IDD_PD_LENGTH_UNIT) { m_psp.dwFlags |= PSP_HASHELP; }

BOOL CPD_UnitsPP::OnInitDialog() {
  CWizBasePP::OnInitDialog();
  AttachPicture(IDC_PD_LENGTH_PICTURE, IDB_PD_LENGTH_UNIT);
  return TRUE;
}

BOOL CPD_UnitsPP::OnSetActive() {
  if (CPropertySheet* owner = sheet()) owner->SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
  auto* list = static_cast<CListBox*>(GetDlgItem(IDC_PD_LENGTH_UNIT));
  if (list) {
    list->ResetContent();
    const int unit = DrawingLengthUnit();
    const bool choose = unit == kLengthUnitNotChosen;
    list->EnableWindow(choose ? TRUE : FALSE);
    if (choose) {
      for (int u = kFirstLengthUnit; u <= kLastLengthUnit; ++u) list->AddString(LongUnitName(u).c_str());
      list->SetCurSel(kPreselectedLengthPosition);
    } else {
      list->AddString(LongUnitName(unit).c_str());
      list->SetCurSel(0);
    }
  }
  return CWizBasePP::OnSetActive();
}

void CPD_UnitsPP::SetChosenUnit() {
  CadInterface* cad = CadInterface::GetCurrent();
  auto* list = static_cast<CListBox*>(GetDlgItem(IDC_PD_LENGTH_UNIT));
  const CaeUnitStrTable* table = CaeUnitStrTable::GetCurrent();
  if (!cad || !list || !table || list->GetCurSel() < 0) return;
  CString text;
  list->GetText(list->GetCurSel(), text);
  int unit = table->StringToId(CaeString(text));
  cad->SetLengthUnit(&unit);
  std::array<int, 8> host{};
  if (!CadPredefinedHostUnits(unit, host)) return;
  // The drawing's data owns the new system and frees the one it replaces.
  cad->SetHostUnitSystem(new CadUnitSystem(host[0], host[1], host[2], host[3], host[4], host[5], host[6], host[7]));
}

BOOL CPD_UnitsPP::OnWizardFinish() {
  if (DrawingLengthUnit() == kLengthUnitNotChosen) SetChosenUnit();
  if (auto* sheet = dynamic_cast<CPDWizPS*>(this->sheet())) {
    sheet->ModelPage().Apply();
    sheet->finished = TRUE;
  }
  return CWizBasePP::OnWizardFinish();
}

BOOL CPD_UnitsPP::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (IsHelp(lParam)) {
    UIShowHelp(kHelpTemplateBase + IDD_PD_LENGTH_UNIT, HELP_CONTEXT);
    *result = 1;
    return TRUE;
  }
  return CWizBasePP::OnNotify(wParam, lParam, result);
}

// ---- the sheet ----

CPDWizPS::CPDWizPS(const char* caption, CWnd* parent, UINT firstPage) : CPropertySheet(caption, parent, firstPage) {
  AddPage(&modelPage_);
}

CPDWizPS::~CPDWizPS() { lengthPage_.reset(); }

BOOL CPDWizPS::OnInitDialog() {
  const BOOL result = CPropertySheet::OnInitDialog();
  UIOpenStepWizardOverGuide(*this);
  return result;
}

void CPDWizPS::AddLengthPage() {
  RemoveExtraPage();
  lengthPage_ = std::make_unique<CPD_UnitsPP>();
  AddPage(lengthPage_.get());
}

void CPDWizPS::RemoveExtraPage() {
  // Let go of the page before removing it: removing the active page activates the model page,
  // whose activation comes back here and must find nothing left to remove.
  std::unique_ptr<CPD_UnitsPP> page = std::move(lengthPage_);
  if (page) RemovePage(page.get());
}
