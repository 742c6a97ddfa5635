#include "gui/wizard/UIConditionWizard.h"

#include <cmath>
#include <string>

#include "amg/CaeExcept.h"
#include "amg/CaeUnit.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadCommands.h"
#include "cadInterface/CadDocServices.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "fea/AttCodes.h"
#include "fea/AttLbcCase.h"
#include "fea/AttLbcDescript.h"
#include "gui/dialogs/common/UISelectPromptDlg.h"
#include "gui/dialogs/units/UISymbolPP.h"
#include "gui/wizard/UIPageEventAdapter.h"
#include "gui/wizard/UIWizPS.h"
#include "gui/wizard/UIWizard.h"
#include "mfc/ddx.h"
#include "res/ResourceIds.h"

namespace {

constexpr int code(AttCode c) { return static_cast<int>(c); }

bool OnFace(int geometry) { return geometry == kLoadFace; }
bool OnEdgeOrVertex(int geometry) { return geometry == kLoadEdge || geometry == kLoadVertex; }

}  // namespace

// ---- the tables ----

int BodyLoadCode(int choice) {
  switch (choice) {
    case kSpin: return code(AttCode::Spin);
    case kGravity: return code(AttCode::Gravity);
    case kAcceleration: return code(AttCode::Acceleration);
    case kBodyTemperature: return code(AttCode::BodyTemperature);
    default: return -1;
  }
}

bool FaceLoadChoiceEnabled(int geometry, int choice) {
  if (!OnFace(geometry) && !OnEdgeOrVertex(geometry)) return false;
  switch (choice) {
    case kPressure:
    case kMoment: return OnFace(geometry);
    case kDistributedForce: return geometry != kLoadVertex;
    case kTotalForce:
    case kDisplacement: return true;
    default: return false;
  }
}

int FaceLoadCode(int geometry, int choice) {
  if (!FaceLoadChoiceEnabled(geometry, choice)) return -1;
  static constexpr int kFace[] = {4, 23, 2, 29, 10};
  static constexpr int kEdge[] = {-1, 24, 3, -1, 9};
  static constexpr int kVertex[] = {-1, 1, -1, -1, 8};
  const int* row = geometry == kLoadFace ? kFace : geometry == kLoadEdge ? kEdge : kVertex;
  return row[choice];
}

bool HeatLoadChoiceEnabled(int geometry, int choice) {
  switch (choice) {
    case kHeatFlow: return OnEdgeOrVertex(geometry);
    case kHeatFlux:
    case kConvection: return OnFace(geometry);
    case kVolumetricHeatFlow: return geometry == kLoadBody;
    default: return false;
  }
}

int HeatLoadCode(int geometry, int choice) {
  if (!HeatLoadChoiceEnabled(geometry, choice)) return -1;
  switch (choice) {
    case kHeatFlow: return geometry == kLoadEdge ? code(AttCode::EdgeHeatFlow) : code(AttCode::VertexHeatFlow);
    case kHeatFlux: return code(AttCode::FaceHeatFlux);
    case kConvection: return code(AttCode::FaceConvection);
    default: return code(AttCode::VolumetricHeatFlow);
  }
}

int HeatLoadInitialChoice(int geometry) {
  if (OnFace(geometry)) return kHeatFlux;
  return geometry == kLoadBody ? kVolumetricHeatFlow : kHeatFlow;
}

LoadValuePage LoadValuePageOf(int conditionCode) {
  switch (conditionCode) {
    case code(AttCode::BodyTemperature): return LoadValuePage::Temperature;
    case code(AttCode::FaceConvection): return LoadValuePage::Convection;
    case code(AttCode::Pressure):
    case code(AttCode::VertexHeatFlow):
    case code(AttCode::FaceHeatFlux):
    case code(AttCode::EdgeHeatFlow):
    case code(AttCode::VolumetricHeatFlow): return LoadValuePage::Scalar;
    default: return LoadValuePage::Vector;
  }
}

int RestraintCode(int analysisKind, int geometry, int subType) {
  if (analysisKind == kCondWizHeat) {
    static constexpr int kTemperature[] = {21, 22, 20};
    return geometry >= 0 && geometry <= 2 ? kTemperature[geometry] : -1;
  }
  switch (geometry) {
    case kRestraintFace: return subType == kPinned ? code(AttCode::PinnedRestraint) : code(AttCode::FaceRestraint);
    case kRestraintEdge: return code(AttCode::EdgeRestraint);
    case kRestraintVertex: return code(AttCode::VertexRestraint);
    default: return -1;
  }
}

bool RestraintChoiceEnabled(int geometry, int subType, bool cylindricalFace) {
  switch (subType) {
    case kPinned:
    case kBolted: return geometry == kRestraintFace && cylindricalFace;
    case kSliding: return geometry == kRestraintFace;
    case kWelded:
    case kFixedRestraint: return true;
    default: return false;
  }
}

RestraintFrame RestraintFrameOf(int subType) {
  if (subType == kPinned || subType == kSliding) return {{1, 1, 0}, kCoordFace};
  return {{0, 0, 0}, kCoordCartesian};
}

int ConditionUnitType(int conditionCode) {
  const AttLbcDescriptTable table;
  const AttLbcDescript* descriptor = table.Find(static_cast<AttType>(conditionCode));
  return descriptor ? descriptor->Dimension() : CaeUtNone;
}

int DefaultColorIndex(int conditionCode) {
  CadInterface* cad = CadInterface::GetCurrent();
  const int index = CSymbolColorList().IndexOfCode(cad ? cad->GetLbcDimension(conditionCode) : -1);
  return index >= 0 ? index : 0;
}

int ColorCodeAt(int index) { return CSymbolColorList().CodeAtIndex(index); }

bool NativeSymbolSize(int mode, double hostSize, const double hostValue[3], double& nativeSize) {
  if (!(hostSize > 0) || !std::isfinite(hostSize)) return false;
  double size = hostSize;
  if (mode == 1)
    size =
        std::sqrt(hostValue[0] * hostValue[0] + hostValue[1] * hostValue[1] + hostValue[2] * hostValue[2]) / hostSize;
  nativeSize = CaeUnit::HostToNative(CaeUtLength, size);
  return true;
}

CaeString ConditionName(int conditionCode) {
  CaeString text;
  CadLbcTypeName(text, conditionCode);
  std::string name = text.Text();
  for (char& c : name)
    if (c == ' ') c = '_';
  return CaeString(name.c_str());
}

CString HostUnitShortName(int unitType) {
  const CaeUnitStrTable* table = CaeUnitStrTable::GetCurrent();
  if (!table) return CString();
  return CString(table->IdToShortString(CaeUnitSystem::GetHostUnit(unitType)).Text());
}

CString CoordKindName(int kind) {
  static constexpr UINT kNames[] = {IDS_COORDSYS_CARTESIAN, IDS_COORDSYS_CYLINDRICAL, IDS_COORDSYS_SPHERICAL,
                                    IDS_COORDSYS_FACE};
  return kind >= 0 && kind <= 3 ? CString(resLoadString(kNames[kind]).Text()) : CString();
}

// ---- pages ----

BEGIN_MESSAGE_MAP(CCondWizPage, CWizBasePP)
ON_WM_PAINT()
ON_WM_QUERYNEWPALETTE()
ON_WM_PALETTECHANGED()
END_MESSAGE_MAP()

CCondWizPage::CCondWizPage(UINT templateId, DWORD buttons, DWORD helpContext)
    : CWizBasePP(templateId), buttons_(buttons), helpContext_(helpContext) {
  m_psp.dwFlags |= PSP_HASHELP;
}

CCondWizPage::~CCondWizPage() {
  for (HBITMAP bitmap : bitmaps_) DeleteObject(bitmap);
}

BOOL CCondWizPage::OnSetActive() {
  if (CPropertySheet* owner = sheet()) owner->SetWizardButtons(buttons_);
  return CWizBasePP::OnSetActive();
}

BOOL CCondWizPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header && header->code == static_cast<UINT>(PSN_HELP)) {
    UIShowHelp(helpContext_, HELP_CONTEXT);
    if (result) *result = 1;
    return TRUE;
  }
  return CWizBasePP::OnNotify(wParam, lParam, result);
}

void CCondWizPage::AttachPicture(int placeholderId, UINT bitmapId) {
  pictures_.push_back(std::make_unique<CPagePicture>());
  pictures_.back()->Attach(ResourceSetter::ResourceModule(), this, placeholderId, bitmapId);
}

void CCondWizPage::PlaceBitmap(int staticId, UINT bitmapId) {
  auto* picture = static_cast<CStatic*>(GetDlgItem(staticId));
  HBITMAP bitmap = LoadBitmap(ResourceSetter::ResourceModule(), bitmapId);
  if (!picture || !bitmap) {
    if (bitmap) DeleteObject(bitmap);
    return;
  }
  bitmaps_.push_back(bitmap);
  picture->SetBitmap(bitmap);
}

void CCondWizPage::OnPaint() {
  CPaintDC paint(this);
  for (const auto& picture : pictures_) picture->Paint();
}

BOOL CCondWizPage::OnQueryNewPalette() { return CPageEventAdapter::OnQueryNewPalette(this); }

void CCondWizPage::OnPaletteChanged(CWnd* changedBy) {
  if (changedBy != this) CPageEventAdapter::OnPaletteChanged(this);
}

void CCondWizPage::Refuse(CDataExchange* dx, UINT stringId) {
  CadMessageBoxId(stringId, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
  dx->Fail();
}

CCondValuePage::CCondValuePage(UINT templateId, DWORD helpContext, RememberedSymbol& remembered)
    : CCondWizPage(templateId, PSWIZB_BACK | PSWIZB_NEXT, helpContext), remembered_(remembered) {
  symbolSize = remembered.size;
  sizeMode = remembered.mode;
}

void CCondValuePage::SetCondition(int conditionCode, int valueUnitType) {
  code_ = conditionCode;
  valueUnitType_ = valueUnitType;
}

void CCondValuePage::RememberSymbol() const {
  remembered_.size = symbolSize;
  remembered_.mode = sizeMode;
}

void CCondValuePage::InitSymbolControls() {
  auto* colours = static_cast<CComboBox*>(GetDlgItem(IDC_CW_COLOR));
  const CSymbolColorList list;
  if (colours) {
    colours->ResetContent();
    for (int i = 0; i < list.GetCount(); ++i) colours->AddString(list.GetText(i).c_str());
    colorIndex = DefaultColorIndex(code_);
    colours->SetCurSel(colorIndex);
  }
  if (CWnd* scaled = GetDlgItem(IDC_CW_SCALED)) scaled->EnableWindow(TRUE);
  UpdateSizeUnits();
}

void CCondValuePage::UpdateSizeUnits() {
  CString text = HostUnitShortName(CaeUtLength);
  if (sizeMode == 1) text = HostUnitShortName(valueUnitType_) + "/" + text;
  SetDlgItemText(IDC_CW_SIZE_UNIT, text);
}

void CCondValuePage::ExchangeSymbol(CDataExchange* dx) {
  DDX_CBIndex(dx, IDC_CW_COLOR, colorIndex);
  DDX_Radio(dx, IDC_CW_FIXED, sizeMode);
  DDX_Text(dx, IDC_CW_SIZE, symbolSize);
  if (dx->m_bSaveAndValidate && !(symbolSize > 0 && std::isfinite(symbolSize))) Refuse(dx, IDS_SYMBOL_SIZE_POSITIVE);
}

BOOL CCondValuePage::OnCommand(WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  if (HIWORD(wParam) == BN_CLICKED && (id == IDC_CW_FIXED || id == IDC_CW_SCALED)) {
    sizeMode = id == IDC_CW_SCALED ? 1 : 0;
    UpdateSizeUnits();
  }
  return CCondWizPage::OnCommand(wParam, lParam);
}

// ---- sheets ----

CCondWizSheet::CCondWizSheet(bool restraint, const char* caption, CWnd* parent, UINT selectPage)
    : CPropertySheet(caption, parent, selectPage), namePage(restraint), geomPage(restraint) {
  SetWizardMode();
  AddPage(&namePage);
  AddPage(&geomPage);
}

CCondWizSheet::~CCondWizSheet() { RemoveSlotsFrom(0); }

void CCondWizSheet::AddSlot(int slot) {
  auto& owned = slots_[static_cast<size_t>(slot)];
  if (owned) return;
  owned = MakeSlotPage(slot);
  if (owned) AddPage(owned.get());
}

void CCondWizSheet::RemoveSlotsFrom(int first) {
  for (int slot = first; slot < kSlots; ++slot) {
    auto& owned = slots_[static_cast<size_t>(slot)];
    if (!owned) continue;
    if (GetPageIndex(owned.get()) >= 0) RemovePage(owned.get());
    owned.reset();
  }
}

bool CCondWizSheet::PickGeometry(int pickKind) {
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad) return false;
  try {
    if (CWnd* parent = CWnd::FromHandle(cad->GetParentWindow())) {
      parent->SetActiveWindow();
      parent->EnableWindow(TRUE);
    }
    ShowWindow(SW_HIDE);
    picked = cad->PickEntity(pickKind);
  } catch (const CaeExcept& error) {
    picked = nullptr;
    cad->PrintMessage((std::string("\n") + error.what()).c_str());
  }
  ShowWindow(SW_SHOW);
  return picked != nullptr;
}

void CCondWizSheet::SaveSlots(int* flags, const std::array<int, kSlots>& recordIndex) const {
  for (int slot = 0; slot < kSlots; ++slot)
    if (recordIndex[static_cast<size_t>(slot)] >= 0)
      flags[recordIndex[static_cast<size_t>(slot)]] = HasSlot(slot) ? 1 : 0;
}

void CCondWizSheet::RestoreSlots(const int* flags, const std::array<int, kSlots>& recordIndex) {
  for (int slot = 0; slot < kSlots; ++slot) {
    const int at = recordIndex[static_cast<size_t>(slot)];
    if (at >= 0 && flags[at]) AddSlot(slot);
  }
}

void CCondWizSheet::EndForDeferredPick(POINT& savedPosition, int resumeEntry) {
  RECT rect{};
  GetWindowRect(&rect);
  savedPosition = {rect.left, rect.top};
  EndDialog(-2);
  cmdSaveIndex(resumeEntry);
  CadInterface* cad = CadInterface::GetCurrent();
  CWnd* main = cad ? CWnd::FromHandle(cad->GetMainWindow()) : nullptr;
  auto prompt = std::make_unique<CSelectPromptDlg>(main);
  if (!prompt->Show()) return;
  prompt.release();  // it deletes itself with its window
  cmdSetPickPending();
}

void CCondWizSheet::PlaceAfterRestore(bool restored, bool cancelled, const POINT& savedPosition) {
  CAnlWizPS* guide = UIGetGuideSheet();
  if (restored) {
    SetActivePage(cancelled ? 1 : 2);
    SetWindowPos(nullptr, savedPosition.x, savedPosition.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  } else {
    CadInterface* cad = CadInterface::GetCurrent();
    if (HWND main = cad ? cad->GetMainWindow() : nullptr) ::SetActiveWindow(main);
    // Without a guide the sheet centres on the CAD window.
    CenterWindow(guide && guide->m_hWnd ? guide : nullptr);
  }
  if (guide && guide->m_hWnd) guide->ShowWindow(SW_HIDE);
}

// ---- the pages both wizards share ----

namespace {

constexpr DWORD kHelpTemplateBase = 0x20000;
constexpr int kStepLoads = 3;
constexpr int kStepRestraints = 4;

AttLbcCase* FirstSet(AnlControl& control, bool restraint) {
  return restraint ? control.FirstRestraintCase() : control.FirstLoadCase();
}
AttLbcCase* NextSet(AnlControl& control, bool restraint) {
  return restraint ? control.NextRestraintCase() : control.NextLoadCase();
}

void HideControl(CWnd& page, int id) {
  if (CWnd* control = page.GetDlgItem(id)) {
    control->EnableWindow(FALSE);
    control->ShowWindow(SW_HIDE);
  }
}

}  // namespace

CCondNamePP::CCondNamePP(bool restraint)
    : CCondWizPage(restraint ? IDD_RW_NAME : IDD_LW_NAME, PSWIZB_BACK | PSWIZB_NEXT,
                   kHelpTemplateBase + (restraint ? IDD_RW_NAME : IDD_LW_NAME)),
      restraint_(restraint) {}

CCondWizSheet* CCondNamePP::Sheet() const { return dynamic_cast<CCondWizSheet*>(sheet()); }
int CCondNamePP::ComboId() const { return restraint_ ? IDC_RW_NAME : IDC_LW_NAME; }

BOOL CCondNamePP::OnInitDialog() {
  CCondWizPage::OnInitDialog();
  if (CPropertySheet* owner = sheet()) owner->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
  AttachPicture(restraint_ ? IDC_RW_NAME_PICTURE : IDC_LW_NAME_PICTURE, restraint_ ? IDB_RW_NAME : IDB_LW_NAME);
  return TRUE;
}

BOOL CCondNamePP::OnSetActive() {
  auto* combo = static_cast<CComboBox*>(GetDlgItem(ComboId()));
  if (combo) {
    combo->ResetContent();
    if (AnlControl* control = CadCurrentAnlControl())
      for (AttLbcCase* set = FirstSet(*control, restraint_); set; set = NextSet(*control, restraint_))
        combo->AddString(set->GetName().Text());
    CadInterface* cad = CadInterface::GetCurrent();
    combo->LimitText(cad ? cad->MaxNameLength() : 0);
  }
  CString proposal = restraint_ ? CadUniqueRestraintCaseName() : CadUniqueLoadCaseName();
  if (combo && combo->GetCount() > 0) {
    proposal = restraint_ ? CadCurrentRestraintCaseName() : CadCurrentLoadCaseName();
    if (proposal.IsEmpty()) proposal = restraint_ ? CadFirstRestraintCaseName() : CadFirstLoadCaseName();
  }
  comboText = proposal;
  SetDlgItemText(ComboId(), comboText);
  return CCondWizPage::OnSetActive();
}

void CCondNamePP::DoDataExchange(CDataExchange* dx) {
  CCondWizPage::DoDataExchange(dx);
  DDX_CBString(dx, ComboId(), comboText);
  if (!dx->m_bSaveAndValidate || CadIsValidName(comboText)) return;
  CadMessageBoxId(IDS_INVALID_NAME, MB_OK | MB_TASKMODAL);
  dx->Fail();
}

LRESULT CCondNamePP::OnWizardNext() {
  if (!UpdateData(TRUE)) return -1;
  acceptedName = comboText;
  if (acceptedName.IsEmpty()) {
    CadMessageBoxId(restraint_ ? IDS_RESTRAINT_SET_NAME_REQUIRED : IDS_LOAD_SET_NAME_REQUIRED,
                    MB_OK | MB_ICONEXCLAMATION);
    return -1;
  }
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad) return -1;
  const int existed =
      restraint_ ? cad->SelectOrCreateRestraintCase(acceptedName) : cad->SelectOrCreateLoadCase(acceptedName);
  cad->FlushGraphics();
  cad->RebuildExplorer();
  const int holds = restraint_ ? CadRestraintCaseHasRestraints() : CadLoadCaseHasLoads();
  CCondWizSheet* owner = Sheet();
  if (!existed || !holds || !owner) return CCondWizPage::OnWizardNext();
  owner->AddSlot(owner->MoreSlot());
  return static_cast<LRESULT>(restraint_ ? IDD_RW_MORE : IDD_LW_MORE);
}

LRESULT CCondNamePP::OnWizardBack() {
  if (CPropertySheet* owner = sheet()) owner->EndDialog(-1);
  return -1;
}

CCondGeomPP::CCondGeomPP(bool restraint)
    : CCondWizPage(restraint ? IDD_RW_GEOMETRY : IDD_LW_GEOMETRY, PSWIZB_BACK | PSWIZB_NEXT,
                   kHelpTemplateBase + (restraint ? IDD_RW_GEOMETRY : IDD_LW_GEOMETRY)),
      kind(restraint ? static_cast<int>(kRestraintFace) : static_cast<int>(kLoadFace)),
      restraint_(restraint) {}

CCondWizSheet* CCondGeomPP::Sheet() const { return dynamic_cast<CCondWizSheet*>(sheet()); }

BOOL CCondGeomPP::OnInitDialog() {
  CCondWizPage::OnInitDialog();
  if (restraint_) {
    PlaceBitmap(IDC_RW_PICTURE_1, IDB_CW_GEOM_FACE);
    PlaceBitmap(IDC_RW_PICTURE_2, IDB_CW_GEOM_EDGE);
    PlaceBitmap(IDC_RW_PICTURE_3, IDB_CW_GEOM_VERTEX);
    return TRUE;
  }
  // Points on a face or an edge are not offered.
  for (int id :
       {IDC_LW_GEOM_FACE_POINT, IDC_LW_GEOM_EDGE_POINT, IDC_LW_GEOM_FACE_POINT_PICTURE, IDC_LW_GEOM_EDGE_POINT_PICTURE})
    HideControl(*this, id);
  PlaceBitmap(IDC_LW_GEOM_BODY_PICTURE, IDB_CW_GEOM_BODY);
  PlaceBitmap(IDC_LW_GEOM_FACE_PICTURE, IDB_CW_GEOM_FACE);
  PlaceBitmap(IDC_LW_GEOM_EDGE_PICTURE, IDB_CW_GEOM_EDGE);
  PlaceBitmap(IDC_LW_GEOM_VERTEX_PICTURE, IDB_CW_GEOM_VERTEX);
  PlaceBitmap(IDC_LW_GEOM_FACE_POINT_PICTURE, IDB_CW_GEOM_FACE_POINT);
  PlaceBitmap(IDC_LW_GEOM_EDGE_POINT_PICTURE, IDB_CW_GEOM_EDGE_POINT);
  return TRUE;
}

void CCondGeomPP::DoDataExchange(CDataExchange* dx) {
  CCondWizPage::DoDataExchange(dx);
  DDX_Radio(dx, restraint_ ? IDC_RW_GEOM_FACE : IDC_LW_GEOM_BODY, kind);
}

LRESULT CCondGeomPP::OnWizardNext() {
  if (!UpdateData(TRUE)) return -1;
  CCondWizSheet* owner = Sheet();
  return owner ? owner->OnGeometryNext() : -1;
}

BOOL CCondGeomPP::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDC_CW_CHANGE_VIEW) {
    if (!UpdateData(TRUE)) return TRUE;
    if (CCondWizSheet* owner = Sheet()) owner->ParkForDeferredPick();
    return TRUE;
  }
  return CCondWizPage::OnCommand(wParam, lParam);
}

CCondMorePP::CCondMorePP(bool restraint)
    : CCondWizPage(restraint ? IDD_RW_MORE : IDD_LW_MORE, PSWIZB_BACK | PSWIZB_FINISH,
                   kHelpTemplateBase + (restraint ? IDD_RW_MORE : IDD_LW_MORE)),
      restraint_(restraint) {}

BOOL CCondMorePP::OnInitDialog() {
  CCondWizPage::OnInitDialog();
  AttachPicture(restraint_ ? IDC_RW_MORE_PICTURE : IDC_LW_MORE_PICTURE, restraint_ ? IDB_RW_MORE : IDB_LW_MORE);
  return TRUE;
}

BOOL CCondMorePP::OnWizardFinish() {
  UISetWizardTabState(restraint_ ? kStepRestraints : kStepLoads, 1);
  if (auto* owner = dynamic_cast<CCondWizSheet*>(sheet())) owner->success = 1;
  return CCondWizPage::OnWizardFinish();
}

BOOL CCondMorePP::OnCommand(WPARAM wParam, LPARAM lParam) {
  const int yes = restraint_ ? IDC_RW_MORE_YES : IDC_LW_MORE_YES;
  if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == yes) {
    if (CPropertySheet* owner = sheet()) owner->SetActivePage(1);
    return TRUE;
  }
  return CCondWizPage::OnCommand(wParam, lParam);
}
