#include "gui/wizard/UILoadWizard.h"

#include <cfloat>
#include <memory>

#include "amg/CaeCoordSys.h"
#include "amg/CaeUnit.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadCommands.h"
#include "cadInterface/CadDocServices.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadPickRequests.h"
#include "cadInterface/CadResources.h"
#include "fea/AttCodes.h"
#include "fea/AttLbc.h"
#include "fea/AttLbcDescript.h"
#include "fea/AttTypes.h"
#include "gui/wizard/UIWizard.h"
#include "mfc/ddx.h"
#include "res/ResourceIds.h"

RememberedSymbol CLD_VectorDataPP::remembered;
RememberedSymbol CLD_ScalarDataPP::remembered;
RememberedSymbol CLD_TempDataPP::remembered;
RememberedSymbol CLD_ConvDataPP::remembered;

namespace {

constexpr DWORD kHelpTemplateBase = 0x20000;
constexpr int kNoRecordField = -1;
// Where each slot's presence flag sits in the parked record (temperature and convection pages
// have none: the type page's Next makes them again).
constexpr std::array<int, CCondWizSheet::kSlots> kRecordIndex = {0, 1, 2, 4, 5, kNoRecordField, kNoRecordField, 7};

CLDWizPS* currentLoadWizard = nullptr;
POINT savedLoadPosition = {0, 0};

// A finite number, or the toolkit's range message.
void RequireFinite(CDataExchange* dx, const double& value) {
  if (dx->m_bSaveAndValidate) DDV_MinMaxDouble(dx, value, -DBL_MAX, DBL_MAX);
}

void ShowControl(CWnd& page, int id, bool show) {
  if (CWnd* control = page.GetDlgItem(id)) control->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

void EnableControl(CWnd& page, int id, bool enable) {
  if (CWnd* control = page.GetDlgItem(id)) control->EnableWindow(enable ? TRUE : FALSE);
}

int NonZeroRefused() {
  CadMessageBoxId(IDS_ATT_NONZERO_LOAD, MB_OK | MB_TASKMODAL);
  return -1;
}

// Makes the load of a value page whose values were taken; its symbol is remembered once made.
// 0 advances, anything else is the page to go to.
LRESULT CreateLoadFrom(CCondValuePage& page) {
  auto* owner = dynamic_cast<CLDWizPS*>(page.sheet());
  const LRESULT made = owner ? owner->CreateLoad() : -1;
  if (made == 0) page.RememberSymbol();
  return made;
}

// The wizard pointer lives exactly as long as the sheet's modal run.
class CurrentLoadWizard {
 public:
  explicit CurrentLoadWizard(CLDWizPS* sheet) { currentLoadWizard = sheet; }
  ~CurrentLoadWizard() { currentLoadWizard = nullptr; }
  CurrentLoadWizard(const CurrentLoadWizard&) = delete;
  CurrentLoadWizard& operator=(const CurrentLoadWizard&) = delete;
};

struct TypePictures {
  int ids[5];
  UINT bitmaps[5];
  int count;
};

constexpr TypePictures kBodyPictures = {
    {IDC_LW_BODY_SPIN_PICTURE, IDC_LW_BODY_GRAVITY_PICTURE, IDC_LW_BODY_ACCELERATION_PICTURE,
     IDC_LW_BODY_TEMPERATURE_PICTURE, 0},
    {IDB_CW_BODY_SPIN, IDB_CW_BODY_GRAVITY, IDB_CW_BODY_ACCELERATION, IDB_CW_BODY_TEMPERATURE, 0},
    4};

}  // namespace

// ---- type pages ----

CLD_TypePP::CLD_TypePP(Family family)
    : CCondWizPage(family == kBody   ? IDD_LW_BODY_TYPE
                   : family == kFace ? IDD_LW_FACE_TYPE
                                     : IDD_LW_HEAT_TYPE,
                   PSWIZB_BACK | PSWIZB_NEXT,
                   kHelpTemplateBase + (family == kBody   ? IDD_LW_BODY_TYPE
                                        : family == kFace ? IDD_LW_FACE_TYPE
                                                          : IDD_LW_HEAT_TYPE)),
      choice(family == kFace ? static_cast<int>(kPressure) : static_cast<int>(kSpin)),
      family_(family) {}

CLDWizPS* CLD_TypePP::Sheet() const { return CLDWizPS::Current(); }

int CLD_TypePP::FirstRadio() const {
  if (family_ == kBody) return IDC_LW_BODY_SPIN;
  return family_ == kFace ? IDC_LW_FACE_PRESSURE : IDC_LW_HEAT_FLOW;
}

BOOL CLD_TypePP::OnInitDialog() {
  CLDWizPS* owner = Sheet();
  if (family_ == kHeat && owner) choice = HeatLoadInitialChoice(owner->GeometryKind());
  CCondWizPage::OnInitDialog();
  if (family_ == kBody) {
    for (int i = 0; i < kBodyPictures.count; ++i) PlaceBitmap(kBodyPictures.ids[i], kBodyPictures.bitmaps[i]);
  } else if (family_ == kFace) {
    AttachPicture(IDC_LW_FACE_PRESSURE_PICTURE, IDB_CW_FACE_DISTRIBUTED);
    AttachPicture(IDC_LW_FACE_TOTAL_PICTURE, IDB_CW_FACE_TOTAL);
    AttachPicture(IDC_LW_FACE_DISTRIBUTED_PICTURE, IDB_CW_FACE_PRESSURE);
    AttachPicture(IDC_LW_FACE_MOMENT_PICTURE, IDB_CW_FACE_TOTAL);
    AttachPicture(IDC_LW_FACE_DISPLACEMENT_PICTURE, IDB_CW_FACE_DISPLACEMENT);
  } else {
    AttachPicture(IDC_LW_HEAT_FLOW_PICTURE, IDB_CW_HEAT_FLOW);
    AttachPicture(IDC_LW_HEAT_FLUX_PICTURE, IDB_CW_HEAT_FLUX);
    AttachPicture(IDC_LW_HEAT_CONVECTION_PICTURE, IDB_CW_HEAT_CONVECTION);
    AttachPicture(IDC_LW_HEAT_VOLUMETRIC_PICTURE, IDB_CW_HEAT_VOLUMETRIC);
  }
  return TRUE;
}

BOOL CLD_TypePP::OnSetActive() {
  CLDWizPS* owner = Sheet();
  const int geometry = owner ? owner->GeometryKind() : kLoadFace;
  if (family_ == kFace) {
    UpdateData(TRUE);
    static constexpr int kIds[] = {IDC_LW_FACE_PRESSURE, IDC_LW_FACE_TOTAL, IDC_LW_FACE_DISTRIBUTED, IDC_LW_FACE_MOMENT,
                                   IDC_LW_FACE_DISPLACEMENT};
    for (int c = kPressure; c <= kDisplacement; ++c) EnableControl(*this, kIds[c], FaceLoadChoiceEnabled(geometry, c));
    // A choice the geometry does not offer moves on to the next one that it does.
    if (choice == kPressure && !FaceLoadChoiceEnabled(geometry, kPressure)) choice = kDistributedForce;
    if (choice == kDistributedForce && !FaceLoadChoiceEnabled(geometry, kDistributedForce)) choice = kTotalForce;
    if (choice == kMoment && !FaceLoadChoiceEnabled(geometry, kMoment)) choice = kTotalForce;
  } else if (family_ == kHeat) {
    static constexpr int kIds[] = {IDC_LW_HEAT_FLOW, IDC_LW_HEAT_FLUX, IDC_LW_HEAT_CONVECTION, IDC_LW_HEAT_VOLUMETRIC};
    for (int c = kHeatFlow; c <= kVolumetricHeatFlow; ++c)
      EnableControl(*this, kIds[c], HeatLoadChoiceEnabled(geometry, c));
  }
  const BOOL shown = CCondWizPage::OnSetActive();
  UpdateData(FALSE);
  return shown;
}

void CLD_TypePP::DoDataExchange(CDataExchange* dx) {
  CCondWizPage::DoDataExchange(dx);
  DDX_Radio(dx, FirstRadio(), choice);
}

LRESULT CLD_TypePP::OnWizardNext() {
  if (!UpdateData(TRUE)) return -1;
  CLDWizPS* owner = Sheet();
  if (!owner) return -1;
  const int geometry = owner->GeometryKind();
  int code = BodyLoadCode(choice);
  if (family_ == kFace) code = FaceLoadCode(geometry, choice);
  if (family_ == kHeat) code = HeatLoadCode(geometry, choice);
  if (code < 0) return -1;  // not offered on this geometry
  owner->ChooseCondition(code);
  return CCondWizPage::OnWizardNext();
}

// ---- value pages ----

CLD_VectorDataPP::CLD_VectorDataPP() : CCondValuePage(IDD_LW_VECTOR, kHelpTemplateBase + IDD_LW_VECTOR, remembered) {}

void CLD_VectorDataPP::FillCoordSysCombos() {
  auto* types = static_cast<CComboBox*>(GetDlgItem(IDC_LW_COORD_TYPE));
  auto* frames = static_cast<CComboBox*>(GetDlgItem(IDC_LW_FRAME));
  if (!types || !frames) return;
  types->ResetContent();
  // The descriptor decides: a type with one has the three solid systems, and the face system when
  // it is placed on faces; a type without one has none (its load is then Cartesian).
  CadInterface* cad = CadInterface::GetCurrent();
  if (const AttLbcDescript* descriptor = cad ? cad->FindLbcDescript(code_) : nullptr) {
    for (int kind = kCoordCartesian; kind <= kCoordFace; ++kind)
      if (kind != kCoordFace || descriptor->faceAllowed) types->AddString(CoordKindName(kind));
  }
  if (types->GetCount() > 0) {
    int at = typeText.IsEmpty() ? -1 : types->FindStringExact(-1, typeText);
    if (at < 0) at = 0;
    types->SetCurSel(at);
    types->GetLBText(at, typeText);
  }
  frames->ResetContent();
  const CString global = resLoadString(IDS_FRAME_GLOBAL).Text();
  frames->AddString(global);
  frames->AddString(resLoadString(IDS_FRAME_LOCAL).Text());
  int at = frameText.IsEmpty() ? -1 : frames->FindStringExact(-1, frameText);
  if (at < 0) at = 0;
  frames->SetCurSel(at);
  frames->GetLBText(at, frameText);
}

void CLD_VectorDataPP::UpdateAxisLabels(bool withColon) {
  coordKind = kCoordCartesian;
  for (int kind = kCoordCartesian; kind <= kCoordFace; ++kind)
    if (typeText == CoordKindName(kind)) coordKind = kind;
  static constexpr UINT kLabels[4][3] = {{IDS_AXIS_X, IDS_AXIS_Y, IDS_AXIS_Z},
                                         {IDS_AXIS_CYL_R, IDS_AXIS_CYL_THETA, IDS_AXIS_CYL_Z},
                                         {IDS_AXIS_SPH_R, IDS_AXIS_SPH_THETA, IDS_AXIS_SPH_PHI},
                                         {0, 0, IDS_AXIS_NORMAL}};
  static constexpr int kLabelIds[] = {IDC_LW_VECTOR_X_LABEL, IDC_LW_VECTOR_Y_LABEL, IDC_LW_VECTOR_Z_LABEL};
  const CString colon = withColon ? CString(resLoadString(IDS_AXIS_LABEL_END).Text()) : CString();
  for (int axis = 0; axis < 3; ++axis) {
    const UINT text = kLabels[coordKind][axis];
    if (text == 0 && withColon) continue;  // the face system's in-plane labels are hidden
    SetDlgItemText(kLabelIds[axis], text ? CString(resLoadString(text).Text()) + colon : CString());
  }
}

BOOL CLD_VectorDataPP::OnInitDialog() {
  SetDlgItemText(IDC_LW_VECTOR_UNIT, HostUnitShortName(ValueUnitType()));
  colorIndex = 0;
  FillCoordSysCombos();
  UpdateAxisLabels(false);
  CCondValuePage::OnInitDialog();
  InitSymbolControls();
  return TRUE;
}

BOOL CLD_VectorDataPP::OnSetActive() {
  const bool moment = code_ == static_cast<int>(AttCode::Moment);
  if (moment) {
    // A moment is always global and Cartesian.
    coordKind = kCoordCartesian;
    frameText = resLoadString(IDS_FRAME_GLOBAL).Text();
    typeText = CoordKindName(kCoordCartesian);
    FillCoordSysCombos();
  }
  EnableControl(*this, IDC_LW_FRAME, !moment);
  EnableControl(*this, IDC_LW_COORD_TYPE, !moment);
  UpdateAxisLabels(true);
  const bool face = coordKind == kCoordFace;
  if (face) x = y = 0;
  for (int id : {IDC_LW_VECTOR_X_LABEL, IDC_LW_VECTOR_X, IDC_LW_VECTOR_Y_LABEL, IDC_LW_VECTOR_Y})
    ShowControl(*this, id, !face);
  const BOOL shown = CCondValuePage::OnSetActive();
  UpdateData(FALSE);
  return shown;
}

void CLD_VectorDataPP::DoDataExchange(CDataExchange* dx) {
  CCondValuePage::DoDataExchange(dx);
  DDX_Text(dx, IDC_LW_VECTOR_X, x);
  RequireFinite(dx, x);
  DDX_Text(dx, IDC_LW_VECTOR_Y, y);
  RequireFinite(dx, y);
  DDX_Text(dx, IDC_LW_VECTOR_Z, z);
  RequireFinite(dx, z);
  ExchangeSymbol(dx);
}

BOOL CLD_VectorDataPP::OnCommand(WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  if (HIWORD(wParam) == CBN_SELCHANGE && (id == IDC_LW_COORD_TYPE || id == IDC_LW_FRAME)) {
    auto* combo = static_cast<CComboBox*>(GetDlgItem(id));
    const int at = combo ? combo->GetCurSel() : -1;
    if (at >= 0) combo->GetLBText(at, id == IDC_LW_FRAME ? frameText : typeText);
    if (id == IDC_LW_COORD_TYPE) UpdateAxisLabels(false);
    return TRUE;
  }
  return CCondValuePage::OnCommand(wParam, lParam);
}

LRESULT CLD_VectorDataPP::OnWizardNext() {
  if (!UpdateData(TRUE)) return -1;
  if (x == 0 && y == 0 && z == 0) return NonZeroRefused();
  local = frameText != CString(resLoadString(IDS_FRAME_GLOBAL).Text()) ? 1 : 0;
  return CreateLoadFrom(*this);
}

CLD_ScalarDataPP::CLD_ScalarDataPP() : CCondValuePage(IDD_LW_SCALAR, kHelpTemplateBase + IDD_LW_SCALAR, remembered) {}

BOOL CLD_ScalarDataPP::OnInitDialog() {
  SetDlgItemText(IDC_LW_SCALAR_UNIT, HostUnitShortName(ValueUnitType()));
  colorIndex = 0;
  coordKind = kCoordFace;
  CCondValuePage::OnInitDialog();
  InitSymbolControls();
  return TRUE;
}

void CLD_ScalarDataPP::DoDataExchange(CDataExchange* dx) {
  CCondValuePage::DoDataExchange(dx);
  DDX_Text(dx, IDC_LW_SCALAR_VALUE, value);
  RequireFinite(dx, value);
  ExchangeSymbol(dx);
}

LRESULT CLD_ScalarDataPP::OnWizardNext() {
  if (!UpdateData(TRUE)) return -1;
  if (value == 0) return NonZeroRefused();
  return CreateLoadFrom(*this);
}

CLD_TempDataPP::CLD_TempDataPP()
    : CCondValuePage(IDD_LW_TEMPERATURE, kHelpTemplateBase + IDD_LW_TEMPERATURE, remembered) {}

BOOL CLD_TempDataPP::OnInitDialog() {
  SetDlgItemText(IDC_LW_TEMP_UNIT, HostUnitShortName(CaeUtTemperature));
  colorIndex = 0;
  CCondValuePage::OnInitDialog();
  InitSymbolControls();
  return TRUE;
}

void CLD_TempDataPP::DoDataExchange(CDataExchange* dx) {
  CCondValuePage::DoDataExchange(dx);
  DDX_Text(dx, IDC_LW_TEMP_REFERENCE, reference);
  RequireFinite(dx, reference);
  DDX_Text(dx, IDC_LW_TEMP_PART, part);
  RequireFinite(dx, part);
  ExchangeSymbol(dx);
}

LRESULT CLD_TempDataPP::OnWizardNext() {
  if (!UpdateData(TRUE)) return -1;
  return CreateLoadFrom(*this);
}

CLD_ConvDataPP::CLD_ConvDataPP()
    : CCondValuePage(IDD_LW_CONVECTION, kHelpTemplateBase + IDD_LW_CONVECTION, remembered) {}

BOOL CLD_ConvDataPP::OnInitDialog() {
  SetDlgItemText(IDC_LW_CONV_TEMP_UNIT, HostUnitShortName(CaeUtTemperature));
  SetDlgItemText(IDC_LW_CONV_FILM_UNIT, HostUnitShortName(CaeUtFilmCoefficient));
  colorIndex = 0;
  CCondValuePage::OnInitDialog();
  InitSymbolControls();
  return TRUE;
}

void CLD_ConvDataPP::DoDataExchange(CDataExchange* dx) {
  CCondValuePage::DoDataExchange(dx);
  DDX_Text(dx, IDC_LW_CONV_AMBIENT, ambient);
  RequireFinite(dx, ambient);
  DDX_Text(dx, IDC_LW_CONV_FILM, film);
  RequireFinite(dx, film);
  ExchangeSymbol(dx);
}

LRESULT CLD_ConvDataPP::OnWizardNext() {
  if (!UpdateData(TRUE)) return -1;
  return CreateLoadFrom(*this);
}

// ---- the sheet ----

CLDWizPS::CLDWizPS(const char* caption, CWnd* parent, UINT selectPage)
    : CCondWizSheet(false, caption, parent, selectPage) {}

CLDWizPS::~CLDWizPS() { RemoveSlotsFrom(0); }

CLDWizPS* CLDWizPS::Current() { return currentLoadWizard; }

std::unique_ptr<CPropertyPage> CLDWizPS::MakeSlotPage(int slot) {
  std::unique_ptr<CCondValuePage> value;
  switch (slot) {
    case kBodyType: return std::make_unique<CLD_TypePP>(CLD_TypePP::kBody);
    case kFaceType: return std::make_unique<CLD_TypePP>(CLD_TypePP::kFace);
    case kHeatType: return std::make_unique<CLD_TypePP>(CLD_TypePP::kHeat);
    case kVector: value = std::make_unique<CLD_VectorDataPP>(); break;
    case kScalar: value = std::make_unique<CLD_ScalarDataPP>(); break;
    case kTemperature: value = std::make_unique<CLD_TempDataPP>(); break;
    case kConvection: value = std::make_unique<CLD_ConvDataPP>(); break;
    case kMore: return std::make_unique<CCondMorePP>(false);
    default: return nullptr;
  }
  value->SetCondition(conditionCode, ConditionUnitType(conditionCode));
  return value;
}

void CLDWizPS::ChooseCondition(int code) {
  conditionCode = code;
  RemoveSlotsFrom(kVector);
  static constexpr int kValueSlot[] = {kVector, kScalar, kTemperature, kConvection};
  AddSlot(kValueSlot[static_cast<int>(LoadValuePageOf(code))]);
  AddSlot(kMore);
}

LRESULT CLDWizPS::OnGeometryNext() {
  const int kind = GeometryKind();
  RemoveSlotsFrom(0);
  if (analysisKind == kCondWizHeat)
    AddSlot(kHeatType);
  else
    AddSlot(kind == kLoadBody ? kBodyType : kFaceType);
  CadInterface* cad = CadInterface::GetCurrent();
  if (kind == kLoadBody && cad && cad->GetPreselection()) return 0;  // hosts that preselect: no pick
  return PickGeometry(kind + 1) ? 0 : -1;
}

void CLDWizPS::ParkForDeferredPick() {
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad) return;
  LoadPickRequest request;
  request.name = CaeString(namePage.acceptedName);
  request.pickKind = GeometryKind();
  SaveSlots(request.pageData, kRecordIndex);
  cad->RequestLoadPick(&request);
  EndForDeferredPick(savedLoadPosition, cmdIndex(CadCommand::LoadStep));
}

BOOL CLDWizPS::OnInitDialog() {
  CadInterface* cad = CadInterface::GetCurrent();
  LoadPickRequest request;
  int cancelled = 0;
  const bool restored = cad && cad->GetLoadPickResult(&request, &cancelled) != 0;
  if (restored) {
    namePage.acceptedName = request.name.Text();
    namePage.comboText = namePage.acceptedName;
    geomPage.kind = request.pickKind;
  }
  CCondWizSheet::OnInitDialog();
  if (restored) {
    RestoreSlots(request.pageData, kRecordIndex);
    if (!cancelled) picked = request.pickedEntity;
  }
  PlaceAfterRestore(restored, cancelled != 0, savedLoadPosition);
  return TRUE;
}

LRESULT CLDWizPS::CreateLoad() {
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad) return -1;
  cad->SelectOrCreateLoadCase(namePage.acceptedName);
  const int code = conditionCode;
  const int unitType = ConditionUnitType(code);
  auto native = [unitType](double value) { return CaeUnit::HostToNative(unitType, value); };
  double values[3] = {0, 0, 0};
  double symbolVector[3] = {0, 0, 0};
  int coordKind = kCoordCartesian;
  int local = 0;
  double first = 0;   // 14: reference temperature; 18: ambient temperature
  double second = 0;  // 14: part temperature; 18: film coefficient
  CCondValuePage* page = nullptr;
  if (auto* vector = dynamic_cast<CLD_VectorDataPP*>(SlotPage(kVector))) {
    page = vector;
    coordKind = vector->coordKind;
    local = vector->local;
    const double host[3] = {vector->x, vector->y, vector->z};
    const AttLbcDescriptTable table;
    const AttLbcDescript* descriptor = table.Find(static_cast<AttType>(code));
    const bool single = descriptor && descriptor->valueKind == AttValueScalar;
    for (int i = 0; i < 3; ++i) {
      symbolVector[i] = single && i > 0 ? 0 : host[i];
      values[i] = native(symbolVector[i]);
    }
  } else if (auto* scalar = dynamic_cast<CLD_ScalarDataPP*>(SlotPage(kScalar))) {
    page = scalar;
    coordKind = scalar->coordKind;
    if (code == static_cast<int>(AttCode::Pressure)) {
      values[2] = native(scalar->value);
      symbolVector[2] = scalar->value;
    } else if (code == static_cast<int>(AttCode::VolumetricHeatFlow)) {
      first = native(scalar->value);
      symbolVector[2] = scalar->value;
    } else {
      values[0] = native(scalar->value);
      symbolVector[0] = scalar->value;
    }
  } else if (auto* temperature = dynamic_cast<CLD_TempDataPP*>(SlotPage(kTemperature))) {
    page = temperature;
    first = native(temperature->reference);
    second = native(temperature->part);
    symbolVector[2] = temperature->part;  // what a Scaled size is measured against
  } else if (auto* convection = dynamic_cast<CLD_ConvDataPP*>(SlotPage(kConvection))) {
    page = convection;
    first = CaeUnit::HostToNative(CaeUtTemperature, convection->ambient);
    second = CaeUnit::HostToNative(CaeUtFilmCoefficient, convection->film);
    symbolVector[2] = convection->film;
  }
  double size = CaeUnit::HostToNative(CaeUtLength, 1.0);
  if (page && !NativeSymbolSize(page->sizeMode, page->symbolSize, symbolVector, size)) {
    CadMessageBoxId(IDS_SYMBOL_SIZE_POSITIVE, MB_OK | MB_TASKMODAL);
    return -1;
  }
  if (!picked) {
    CadMessageBoxId(IDS_GEOMETRY_SELECTION_FAILED, MB_OK | MB_TASKMODAL);
    return static_cast<LRESULT>(IDD_LW_GEOMETRY);
  }
  const int colour = ColorCodeAt(page ? page->colorIndex : 0);
  const CaeString name = ConditionName(code);
  CaeList<AttTableTempValue> noTable;
  int freeFlags[kCondFreeFlags] = {};  // loads leave nothing free
  if (code == static_cast<int>(AttCode::BodyTemperature)) {
    cad->CreatePrescribedTemperature(name, colour, size, second, first, 0);
  } else if (code == static_cast<int>(AttCode::FaceConvection)) {
    cad->CreateConvection(name, colour, size, code, 1, second, first, noTable, picked);
  } else if (code == static_cast<int>(AttCode::VolumetricHeatFlow)) {
    cad->CreateHeatGeneration(name, colour, size, code, 1, first, noTable, picked);
  } else {
    const std::unique_ptr<CaeCoordSys> system(CadMakeCoordSys(CoordKindName(coordKind), local));
    cad->CreateLbc(name, colour, size, code, freeFlags, values, system.get(), picked);
  }
  cad->FlushGraphics();
  cad->RebuildExplorer();
  return 0;
}

int UIRunLoadSheet(int analysisKind) {
  ResourceSetter resources(1);
  CLDWizPS sheet(resLoadString(IDS_LOAD_WIZARD_CAPTION).Text(), nullptr, 0);
  CurrentLoadWizard current(&sheet);
  sheet.analysisKind = analysisKind;
  sheet.success = 0;
  const INT_PTR result = sheet.DoModal();
  if (result != ID_WIZFINISH || !sheet.success) return 0;
  UISetWizardTabState(3, 1);
  return 1;
}
