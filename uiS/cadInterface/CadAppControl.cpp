#include "cadInterface/CadAppControl.h"

#include "amg/CaeConfig.h"
#include "amg/CaeMsgCall.h"
#include "amg/CaeProgress.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "cadInterface/CadUiServices.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/FerResult.h"
#include "mfc/afx.h"
#include "res/ResourceIds.h"

namespace {

CadAppControl* livingControl = nullptr;

// Unit id, long-name string id, short-name string id.
struct UnitNameIds {
  int unit;
  unsigned longName;
  unsigned shortName;
};

constexpr UnitNameIds kUnitNames[] = {
    {CaeMeter, IDS_UNIT_METER, IDS_UNIT_ABBR_M},
    {CaeCentimeter, IDS_UNIT_CENTIMETER, IDS_UNIT_ABBR_CM},
    {CaeMillimeter, IDS_UNIT_MILLIMETER, IDS_UNIT_ABBR_MM},
    {CaeInch, IDS_UNIT_INCH, IDS_UNIT_ABBR_IN},
    {CaeFoot, IDS_UNIT_FOOT, IDS_UNIT_ABBR_FT},
    {CaeRadian, IDS_UNIT_RADIAN, IDS_UNIT_ABBR_RAD},
    {CaeDegree, IDS_UNIT_DEGREE, IDS_UNIT_ABBR_DEG},
    {CaeRevolution, IDS_UNIT_REVOLUTION, IDS_UNIT_ABBR_REV},
    {CaeKelvin, IDS_UNIT_KELVIN, IDS_UNIT_ABBR_DEGK},
    {CaeCelsius, IDS_UNIT_CELSIUS, IDS_UNIT_ABBR_DEGC},
    {CaeRankine, IDS_UNIT_RANKINE, IDS_UNIT_ABBR_DEGR},
    {CaeFahrenheit, IDS_UNIT_FAHRENHEIT, IDS_UNIT_ABBR_DEGF},
    {CaeNewton, IDS_UNIT_NEWTON, IDS_UNIT_ABBR_N},
    {CaeDyne, IDS_UNIT_DYNE, IDS_UNIT_ABBR_DYNE},
    {CaePoundForce, IDS_UNIT_POUND_FORCE, IDS_UNIT_ABBR_LBF},
    {CaeKip, IDS_UNIT_KIP, IDS_UNIT_ABBR_KIP},
    {CaeKilogramForce, IDS_UNIT_KILOGRAM_FORCE, IDS_UNIT_ABBR_KGF},
    {CaeKilogram, IDS_UNIT_KILOGRAM, IDS_UNIT_ABBR_KG},
    {CaeGram, IDS_UNIT_GRAM, IDS_UNIT_ABBR_GM},
    {CaeSlug, IDS_UNIT_SLUG, IDS_UNIT_ABBR_SLUG},
    {CaePoundMass, IDS_UNIT_POUND_MASS, IDS_UNIT_ABBR_LBM},
    {CaeSecond, IDS_UNIT_SECOND, IDS_UNIT_ABBR_SEC},
    {CaeMinute, IDS_UNIT_MINUTE, IDS_UNIT_ABBR_MIN},
    {CaeHour, IDS_UNIT_HOUR, IDS_UNIT_ABBR_HR},
    {CaeJoule, IDS_UNIT_JOULE, IDS_UNIT_ABBR_J},
    {CaeCalorie, IDS_UNIT_CALORIE, IDS_UNIT_ABBR_CAL},
    {CaeKilocalorie, IDS_UNIT_KILOCALORIE, IDS_UNIT_ABBR_KCAL},
    {CaeBtu, IDS_UNIT_BTU, IDS_UNIT_ABBR_BTU},
    {CaeHertz, IDS_UNIT_HERTZ, IDS_UNIT_ABBR_HZ},
    {CaeMegahertz, IDS_UNIT_MEGAHERTZ, IDS_UNIT_ABBR_MHZ},
    {CaeRadPerSec, IDS_UNIT_RAD_SEC, IDS_UNIT_ABBR_RAD_PER_SEC},
    {CaeRevPerMin, IDS_UNIT_REV_MIN, IDS_UNIT_ABBR_RPM},
};

// A consistency report that does not raise: a destructor must finish its clean-up.
void ReportWithoutRaising(int line) {
  CadEngineMessageRoutine(
      2, CaeMsgTxt::GetMessage(kCaeMsgGeneralError, {CaeString(__FILE__), CaeString::Format("%d", line)}));
}

}  // namespace

CadUnitSystem::~CadUnitSystem() = default;
CadInterupt::~CadInterupt() = default;
CadFerState::~CadFerState() = default;
CadFerInterface::~CadFerInterface() = default;

CadAppControl::CadAppControl() {
  FillUnitNames();
  InstallNativeSystem();
  descriptors_ = std::make_unique<AttLbcDescriptTable>();
  materialLibraryPath_ = CadDefaultMaterialLibraryPath();
  InstallEngineHooks();
  livingControl = this;
}

void CadAppControl::FillUnitNames() {
  unitNames_ = std::make_unique<CaeUnitStrTable>();  // becomes the current table
  for (const UnitNameIds& ids : kUnitNames)
    unitNames_->AddUnit(ids.unit, resLoadString(ids.longName), resLoadString(ids.shortName));
}

void CadAppControl::InstallNativeSystem() {
  nativeSystem_ = new CadUnitSystem();
  delete CaeUnitSystem::SetNativeSystem(nativeSystem_);
  nativeSystem_->SetUnit(CaeUtLength, CaeMeter);
  nativeSystem_->SetUnit(CaeUtAngle, CaeRadian);
}

void CadAppControl::InstallEngineHooks() {
  CaeMsgTxt::SetOverrideMsgRtn(resEngineMessageText);
  CaeMsgCall::SetMsgRoutine(CadEngineMessageRoutine);
  CaeMsgCall::SetMsgLevel(0);
  CaeMsgCall::SetMsgLevel(1);
  CaeMsgCall::SetMsgLevel(2);
  CaeMsgCall::ClearMsgLevel(4);
  CaeInterupt::SetCurrent(new CadInterupt());
  CaeProgress::GetProgressControl()->SetControlFunction(UIProgressControl);
  auto* state = new CadFerState();
  FerState::SetState(state);
  state->SetInterface(new CadFerInterface());
}

CadAppControl::~CadAppControl() {
  if (livingControl == this) livingControl = nullptr;
  UIProgressClose();  // the dialog holds the interrupt object deleted below
  unitNames_.reset();
  descriptors_.reset();
  delete nativeSystem_;  // unsets itself as the native system
  nativeSystem_ = nullptr;
  if (FerDisplay* display = FerDisplay::GetCurrent()) display->Close();
  UIFreePrintSetup();
  ReleaseResultsState();
  if (UIGetWizardSheet()) UIDestroyWizardSheet();
  delete CaeInterupt::GetCurrent();
  // The module that holds these functions is about to be unloaded: the engine must not keep them.
  CaeProgress::GetProgressControl()->SetControlFunction(nullptr);
  CaeMsgCall::SetMsgRoutine(nullptr);
  CaeMsgTxt::SetOverrideMsgRtn(nullptr);
}

void CadAppControl::ReleaseResultsState() {
  FerState* state = FerState::GetState();
  if (!state) return ReportWithoutRaising(__LINE__);
  CaeFerInterface* ferInterface = state->GetInterface();
  if (!ferInterface) return ReportWithoutRaising(__LINE__);
  state->SetInterface(nullptr);
  delete ferInterface;
  delete state;
}

const AttLbcDescript* CadAppControl::FindLbcDescript(int conditionType) const {
  return descriptors_ ? descriptors_->Find(static_cast<AttType>(conditionType)) : nullptr;
}

CadAppControl* CadGetAppControl() { return livingControl; }

CaeString CadDefaultMaterialLibraryPath() {
  CaeString root;
  CaeConfig::GetValue(1, "Root Directory", root);
  return root + "\\zq_fea.mat";
}

void CadEngineMessageRoutine(int level, const CaeString& text) {
  if (level == 2) {
    if (!text.IsEmpty()) CadMessageBoxText(text.c_str(), MB_ICONHAND);
    return;
  }
  if (level == 1) {
    if (!text.IsEmpty()) CadMessageBoxText(text.c_str(), MB_ICONEXCLAMATION);
    return;
  }
  if (CadInterface* cad = CadInterface::GetCurrent()) cad->PrintMessage(text.c_str());
}

int CadMessageBox(HWND owner, const char* text, UINT type) {
  const CaeString caption = resLoadString(IDS_PRODUCT_NAME);
  if (!owner) type |= MB_TASKMODAL;
  return MessageBoxA(owner, text ? text : "", caption.c_str(), type);
}

int CadMessageBoxText(const char* text, UINT type) { return CadMessageBox(nullptr, text, type); }

int CadMessageBoxId(UINT stringId, UINT type, HWND owner) {
  char buffer[256];
  const int length = LoadStringA(AfxGetResourceHandle(), stringId, buffer, sizeof buffer);
  const CaeString text(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
  return CadMessageBox(owner, text.c_str(), type);
}

struct CadWaitCursor::Guard {
  Guard() { AfxGetApp()->BeginWaitCursor(); }
  ~Guard() { AfxGetApp()->EndWaitCursor(); }
};

CadWaitCursor::CadWaitCursor() : guard_(std::make_unique<Guard>()) {}
CadWaitCursor::~CadWaitCursor() = default;

int CadStripAmpersand(CString& text) {
  const std::string value(static_cast<const char*>(text));
  const std::size_t position = value.find('&');
  if (position == std::string::npos) return -1;
  text = (value.substr(0, position) + value.substr(position + 1)).c_str();
  return static_cast<int>(position);
}

AnlControl* CadCurrentAnlControl() { return AnlControl::GetCurrent(); }

bool CadHasCurrentModel() {
  AnlControl* control = AnlControl::GetCurrent();
  return control && control->CurrentAnlModel();
}

bool CadHasCurrentResultSet() {
  AnlControl* control = AnlControl::GetCurrent();
  return control && control->CurrentResultSet();
}

bool CadHasCurrentLoadCase() {
  AnlControl* control = AnlControl::GetCurrent();
  return control && control->CurrentLoadCase();
}

bool CadHasCurrentRestraintCase() {
  AnlControl* control = AnlControl::GetCurrent();
  return control && control->CurrentRestraintCase();
}

int CadCountResultSets() {
  AnlControl* control = AnlControl::GetCurrent();
  AnlModel* model = control ? control->CurrentAnlModel() : nullptr;
  if (!model) return 0;
  int live = 0;
  for (int i = 0; i < model->NumResultSets(); ++i) {
    FerResultSet* resultSet = model->GetResultSet(i);
    if (resultSet && !resultSet->IsMarkedAsErased()) ++live;
  }
  return live;
}
