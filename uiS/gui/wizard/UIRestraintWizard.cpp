#include "gui/wizard/UIRestraintWizard.h"

#include <cfloat>
#include <cmath>
#include <memory>

#include "amg/CaeCoordSys.h"
#include "amg/CaeUnit.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadCommands.h"
#include "cadInterface/CadDocServices.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadPickRequests.h"
#include "cadInterface/CadResources.h"
#include "gui/dialogs/units/UISymbolPP.h"
#include "gui/wizard/UILoadWizard.h"
#include "gui/wizard/UIWizard.h"
#include "mfc/ddx.h"
#include "res/ResourceIds.h"

RememberedSymbol CBC_ScalarDataPP::remembered;
RememberedSymbol CATT_SymbolPP::remembered;

namespace {

constexpr DWORD kHelpTemplateBase = 0x20000;
constexpr DWORD kHelpRestraintValue = 0x80000018;
constexpr int kStepRestraints = 4;
constexpr int kNoRecordField = -1;
// The parked record: [1] the condition code, [2] type page, [5] value page, [6] symbol page,
// [7] More page present; the others are not used by this wizard.
constexpr int kRecordCode = 1;
constexpr std::array<int, CCondWizSheet::kSlots> kRecordIndex = {
    2, 5, 6, 7, kNoRecordField, kNoRecordField, kNoRecordField, kNoRecordField};

POINT savedRestraintPosition = {0, 0};

AcBrFace* AsFace(AcBrEntity* entity) { return reinterpret_cast<AcBrFace*>(entity); }

}  // namespace

void UIResetConditionWizardMemory() {
  CLD_VectorDataPP::remembered = RememberedSymbol();
  CLD_ScalarDataPP::remembered = RememberedSymbol();
  CLD_TempDataPP::remembered = RememberedSymbol();
  CLD_ConvDataPP::remembered = RememberedSymbol();
  CBC_ScalarDataPP::remembered = RememberedSymbol();
  CATT_SymbolPP::remembered = RememberedSymbol();
}

// ---- restraint types ----

CBC_TypePP::CBC_TypePP() : CCondWizPage(IDD_RW_TYPE, PSWIZB_BACK | PSWIZB_NEXT, kHelpTemplateBase + IDD_RW_TYPE) {}

BOOL CBC_TypePP::OnInitDialog() {
  choice = kPinned;
  CCondWizPage::OnInitDialog();
  AttachPicture(IDC_RW_PICTURE_1, IDB_CW_RESTRAINT_PINNED);
  AttachPicture(IDC_RW_PICTURE_2, IDB_CW_RESTRAINT_SLIDING);
  AttachPicture(IDC_RW_PICTURE_3, IDB_CW_RESTRAINT_BOLTED);
  AttachPicture(IDC_RW_TYPE_PICTURE_4, IDB_CW_RESTRAINT_WELDED);
  AttachPicture(IDC_RW_TYPE_PICTURE_5, IDB_CW_RESTRAINT_FIXED);
  return TRUE;
}

BOOL CBC_TypePP::OnSetActive() {
  auto* owner = dynamic_cast<CBCWizPS*>(sheet());
  CadInterface* cad = CadInterface::GetCurrent();
  const int geometry = owner ? owner->GeometryKind() : kRestraintFace;
  const bool cylindrical =
      geometry == kRestraintFace && owner && owner->picked && cad && cad->IsCylindricalFace(AsFace(owner->picked));
  static constexpr int kIds[] = {IDC_RW_PINNED, IDC_RW_SLIDING, IDC_RW_BOLTED, IDC_RW_WELDED, IDC_RW_FIXED};
  for (int c = kPinned; c <= kFixedRestraint; ++c)
    if (CWnd* button = GetDlgItem(kIds[c])) button->EnableWindow(RestraintChoiceEnabled(geometry, c, cylindrical));
  choice = kWelded;
  const BOOL shown = CCondWizPage::OnSetActive();
  UpdateData(FALSE);
  return shown;
}

void CBC_TypePP::DoDataExchange(CDataExchange* dx) {
  CCondWizPage::DoDataExchange(dx);
  DDX_Radio(dx, IDC_RW_PINNED, choice);
}

LRESULT CBC_TypePP::OnWizardNext() {
  if (!UpdateData(TRUE)) return -1;
  auto* owner = dynamic_cast<CBCWizPS*>(sheet());
  if (!owner) return -1;
  owner->conditionCode = RestraintCode(owner->analysisKind, owner->GeometryKind(), choice);
  owner->subType = choice;
  owner->RemoveSlotsFrom(CBCWizPS::kValue);
  owner->AddSlot(CBCWizPS::kSymbol);
  owner->AddSlot(CBCWizPS::kMore);
  return CCondWizPage::OnWizardNext();
}

// ---- heat-transfer value ----

CBC_ScalarDataPP::CBC_ScalarDataPP() : CCondValuePage(IDD_RW_VALUE, kHelpRestraintValue, remembered) {}

BOOL CBC_ScalarDataPP::OnInitDialog() {
  SetDlgItemText(IDC_RW_VALUE_UNIT, HostUnitShortName(ValueUnitType()));
  colorIndex = 0;
  coordKind = kCoordFace;
  CCondValuePage::OnInitDialog();
  InitSymbolControls();
  return TRUE;
}

void CBC_ScalarDataPP::DoDataExchange(CDataExchange* dx) {
  CCondValuePage::DoDataExchange(dx);
  DDX_Text(dx, IDC_RW_VALUE, value);
  if (dx->m_bSaveAndValidate) DDV_MinMaxDouble(dx, value, -DBL_MAX, DBL_MAX);
  ExchangeSymbol(dx);
}

LRESULT CBC_ScalarDataPP::OnWizardNext() {
  if (!UpdateData(TRUE)) return -1;
  auto* owner = dynamic_cast<CBCWizPS*>(sheet());
  const LRESULT made = owner ? owner->CreateRestraint() : -1;
  if (made != 0) return made;
  RememberSymbol();
  return CCondValuePage::OnWizardNext();
}

// ---- symbol ----

CATT_SymbolPP::CATT_SymbolPP()
    : CCondWizPage(IDD_RW_SYMBOL, PSWIZB_BACK | PSWIZB_NEXT, kHelpTemplateBase + IDD_RW_SYMBOL) {}

BOOL CATT_SymbolPP::OnInitDialog() {
  const int kept = colour;
  auto* colours = static_cast<CComboBox*>(GetDlgItem(IDC_CW_COLOR));
  const CSymbolColorList list;
  if (colours)
    for (int i = 0; i < list.GetCount(); ++i) colours->AddString(list.GetText(i).c_str());
  sizeMode = 0;
  lengthLabel = HostUnitShortName(CaeUtLength);
  if (fixedSize == 0) fixedSize = 1.0;
  auto* owner = dynamic_cast<CBCWizPS*>(sheet());
  colour = DefaultColorIndex(owner ? owner->conditionCode : 0);
  // Restraint symbols are never scaled.
  scaleLabel.Empty();
  scaleFactor = 0;
  for (int id : {IDC_CW_SCALED, IDC_RW_SYMBOL_SCALE, IDC_RW_SYMBOL_SCALE_UNIT})
    if (CWnd* control = GetDlgItem(id)) control->EnableWindow(FALSE);
  if (kept != -1) colour = kept;
  if (remembered.mode == 0) fixedSize = remembered.size;
  CCondWizPage::OnInitDialog();
  return TRUE;
}

void CATT_SymbolPP::DoDataExchange(CDataExchange* dx) {
  CCondWizPage::DoDataExchange(dx);
  DDX_CBIndex(dx, IDC_CW_COLOR, colour);
  DDX_Radio(dx, IDC_CW_FIXED, sizeMode);
  DDX_Text(dx, IDC_RW_SYMBOL_FIXED_SIZE, fixedSize);
  DDX_Text(dx, IDC_RW_SYMBOL_SCALE, scaleFactor);
  DDX_Text(dx, IDC_RW_SYMBOL_LENGTH_UNIT, lengthLabel);
  DDX_Text(dx, IDC_RW_SYMBOL_SCALE_UNIT, scaleLabel);
  if (dx->m_bSaveAndValidate && !(fixedSize > 0 && std::isfinite(fixedSize))) Refuse(dx, IDS_SYMBOL_SIZE_POSITIVE);
}

LRESULT CATT_SymbolPP::OnWizardNext() {
  if (!UpdateData(TRUE)) return -1;
  auto* owner = dynamic_cast<CBCWizPS*>(sheet());
  const LRESULT made = owner ? owner->CreateRestraint() : -1;
  if (made != 0) return made;
  remembered.mode = sizeMode;
  remembered.size = fixedSize;
  return CCondWizPage::OnWizardNext();
}

// ---- the sheet ----

CBCWizPS::CBCWizPS(const char* caption, CWnd* parent, UINT selectPage)
    : CCondWizSheet(true, caption, parent, selectPage) {}

CBCWizPS::~CBCWizPS() { RemoveSlotsFrom(0); }

std::unique_ptr<CPropertyPage> CBCWizPS::MakeSlotPage(int slot) {
  switch (slot) {
    case kType: return std::make_unique<CBC_TypePP>();
    case kValue: {
      auto value = std::make_unique<CBC_ScalarDataPP>();
      value->SetCondition(conditionCode, ConditionUnitType(conditionCode));
      return value;
    }
    case kSymbol: return std::make_unique<CATT_SymbolPP>();
    case kMore: return std::make_unique<CCondMorePP>(true);
    default: return nullptr;
  }
}

LRESULT CBCWizPS::OnGeometryNext() {
  const int kind = GeometryKind();
  RemoveSlotsFrom(0);
  if (analysisKind == kCondWizHeat) {
    conditionCode = RestraintCode(analysisKind, kind, kWelded);
    AddSlot(kValue);
    AddSlot(kMore);
  } else {
    conditionCode = RestraintCode(analysisKind, kind, kWelded);
    AddSlot(kType);
  }
  return PickGeometry(kind + 2) ? 0 : -1;  // face 2, edge 3, vertex 4
}

void CBCWizPS::ParkForDeferredPick() {
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad) return;
  RestraintPickRequest request;
  request.name = CaeString(namePage.acceptedName);
  request.pickKind = GeometryKind();
  SaveSlots(request.pageData, kRecordIndex);
  request.pageData[kRecordCode] = conditionCode;
  cad->RequestRestraintPick(&request);
  EndForDeferredPick(savedRestraintPosition, cmdIndex(CadCommand::RestraintsStep));
}

BOOL CBCWizPS::OnInitDialog() {
  CadInterface* cad = CadInterface::GetCurrent();
  RestraintPickRequest request;
  int cancelled = 0;
  const bool restored = cad && cad->GetRestraintPickResult(&request, &cancelled) != 0;
  if (restored) {
    namePage.acceptedName = request.name.Text();
    namePage.comboText = namePage.acceptedName;
    geomPage.kind = request.pickKind;
    conditionCode = request.pageData[kRecordCode];
  }
  CCondWizSheet::OnInitDialog();
  if (restored) {
    RestoreSlots(request.pageData, kRecordIndex);
    if (!cancelled) picked = request.pickedEntity;
  }
  PlaceAfterRestore(restored, cancelled != 0, savedRestraintPosition);
  return TRUE;
}

LRESULT CBCWizPS::CreateRestraint() {
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad) return -1;
  cad->SelectOrCreateRestraintCase(namePage.acceptedName);
  double values[3] = {0, 0, 0};
  RestraintFrame frame{{0, 0, 0}, kCoordFace};
  int relativeToUcs = 0;
  double size = 0;
  int colourIndex = 0;
  if (auto* value = dynamic_cast<CBC_ScalarDataPP*>(SlotPage(kValue))) {
    values[0] = CaeUnit::HostToNative(ConditionUnitType(conditionCode), value->value);
    const double host[3] = {value->value, 0, 0};
    if (!NativeSymbolSize(value->sizeMode, value->symbolSize, host, size)) return -1;
    colourIndex = value->colorIndex;
  } else if (auto* symbol = dynamic_cast<CATT_SymbolPP*>(SlotPage(kSymbol))) {
    frame = RestraintFrameOf(subType);
    relativeToUcs = 1;
    const double none[3] = {0, 0, 0};
    if (!NativeSymbolSize(0, symbol->fixedSize, none, size)) return -1;
    colourIndex = symbol->colour;
  } else {
    return -1;
  }
  if (!picked) {
    CadMessageBoxId(IDS_GEOMETRY_SELECTION_FAILED, MB_OK | MB_TASKMODAL);
    return static_cast<LRESULT>(IDD_RW_GEOMETRY);
  }
  const bool pinned = analysisKind != kCondWizHeat && subType == kPinned;
  if (pinned && cad->IsNonCylindricalFace(AsFace(picked))) {
    CadMessageBoxId(IDS_PINNED_NEEDS_CYLINDER, MB_OK | MB_TASKMODAL);
    return -1;
  }
  const CaeString name = ConditionName(conditionCode);
  const std::unique_ptr<CaeCoordSys> system(CadMakeCoordSys(CoordKindName(frame.coordKind), relativeToUcs));
  const int colour = ColorCodeAt(colourIndex);
  int freeFlags[kCondFreeFlags] = {};  // rotations stay fixed: solids have none
  for (int i = 0; i < 3; ++i) freeFlags[i] = frame.freeFlags[i];
  if (pinned)
    cad->CreateLbc2(name, colour, size, conditionCode, freeFlags, values, system.get(), picked);
  else
    cad->CreateLbc(name, colour, size, conditionCode, freeFlags, values, system.get(), picked);
  cad->FlushGraphics();
  return 0;
}

int UIRunRestraintSheet(int analysisKind) {
  ResourceSetter resources(1);
  CBCWizPS sheet(resLoadString(IDS_RESTRAINT_WIZARD_CAPTION).Text(), nullptr, 0);
  sheet.analysisKind = analysisKind;
  sheet.success = 0;
  const INT_PTR result = sheet.DoModal();
  if (result != ID_WIZFINISH || !sheet.success) return 0;
  UISetWizardTabState(kStepRestraints, 1);
  return 1;
}
