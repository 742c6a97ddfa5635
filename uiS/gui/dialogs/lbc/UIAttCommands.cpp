#include "gui/dialogs/lbc/UIAttCommands.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "amg/CaeCoordSys.h"
#include "amg/CaeList.h"
#include "amg/CaeMsgCall.h"
#include "amg/CaeUnit.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadCommands.h"
#include "cadInterface/CadDocServices.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/AttCodes.h"
#include "fea/AttLbc.h"
#include "fea/AttLbcCase.h"
#include "fea/AttLbcDescript.h"
#include "fea/FerResult.h"
#include "gui/dialogs/lbc/UIAttPS.h"
#include "res/ResourceIds.h"

namespace {

using Kind = COptSelGeomPP::Kind;
constexpr int kHeatAnalysis = 3;
constexpr int kLoadCaseKind = 3;  // the load case of the body temperature in the current control

std::unique_ptr<CAttPS>& Sheet() {
  static std::unique_ptr<CAttPS> sheet;
  return sheet;
}

// The drawing (its analysis control) a sheet was parked in; compared, never used.
const AnlControl*& ParkedIn() {
  static const AnlControl* control = nullptr;
  return control;
}

constexpr UIAttRememberedTypes kInitialTypes{ToAttType(AttCode::Pressure), ToAttType(AttCode::FaceRestraint),
                                             ToAttType(AttCode::FaceConvection)};

// Destroys the module's sheet when the editor leaves, by any path, unless it was parked for a
// geometry pick; so an exception can never leave a sheet whose attribute may be erased.
class SheetRun {
 public:
  SheetRun() = default;
  ~SheetRun() {
    if (!parked_) Sheet().reset();
  }
  SheetRun(const SheetRun&) = delete;
  SheetRun& operator=(const SheetRun&) = delete;
  void Park() {
    parked_ = true;
    ParkedIn() = CadCurrentAnlControl();
  }

 private:
  bool parked_ = false;
};

// Temperature rows handed to a builder, which copies them.
class TableRows : public CaeList<AttTableTempValue> {
 public:
  ~TableRows() override { RemoveAll(); }

 protected:
  void DeleteItem(AttTableTempValue* item) override { delete item; }
};

CadInterface& Cad() {
  CadInterface* cad = CadInterface::GetCurrent();
  CAE_CHECK(cad != nullptr);
  return *cad;
}

AnlModel* CurrentModel() {
  AnlControl* control = CadCurrentAnlControl();
  return control ? control->CurrentAnlModel() : nullptr;
}

// The set a kind needs, or a message and null.
AttLbcCase* RequireLoadSet() {
  AnlControl* control = CadCurrentAnlControl();
  AttLbcCase* set = control ? control->CurrentLoadCase() : nullptr;
  if (!set) CadMessageBoxId(IDS_LOAD_SET_REQUIRED, MB_TASKMODAL | MB_OK);
  return set;
}
AttLbcCase* RequireRestraintSet() {
  AnlControl* control = CadCurrentAnlControl();
  AttLbcCase* set = control ? control->CurrentRestraintCase() : nullptr;
  if (!set) CadMessageBoxId(IDS_RESTRAINT_SET_REQUIRED, MB_TASKMODAL | MB_OK);
  return set;
}

int UnitTypeOf(int type) {
  const AttLbcDescript* descriptor = Cad().FindLbcDescript(type);
  return descriptor ? descriptor->Dimension() : CaeUtLength;
}

double ToHost(int unitType, double native) { return CaeUnit(unitType).NativeToHost(native); }
double ToNative(int unitType, double host) { return CaeUnit(unitType).HostToNative(host); }

// (frame, coordinate type) of a condition's system: 0 Global / 1 Local; 0 Cartesian,
// 1 Cylindrical, 2 Spherical, 3 Face.
std::pair<int, int> FrameAndCoordType(const CaeCoordSys* system) {
  if (!system) return {0, 0};
  if (dynamic_cast<const CaeCoordSysFace*>(system)) return {0, CAttPS::kFaceCoordType};
  std::unique_ptr<CaeCoordSys> identity;
  int coordType = 0;
  if (dynamic_cast<const CaeCoordSysCylindric*>(system)) {
    coordType = 1;
    identity = std::make_unique<CaeCoordSysCylindric>();
  } else if (dynamic_cast<const CaeCoordSysSpheric*>(system)) {
    coordType = 2;
    identity = std::make_unique<CaeCoordSysSpheric>();
  } else {
    identity = std::make_unique<CaeCoordSysCartesian>();
  }
  return {system->IsEqual(*identity) ? 0 : 1, coordType};
}

int BodyLoadQuestion(int type) {
  switch (type) {
    case ToAttType(AttCode::Spin): return IDS_ATT_SPIN_DEFINED;
    case ToAttType(AttCode::Gravity): return IDS_ATT_GRAVITY_DEFINED;
    case ToAttType(AttCode::Acceleration): return IDS_ATT_ACCELERATION_DEFINED;
    case ToAttType(AttCode::BodyTemperature): return IDS_ATT_BODY_TEMPERATURE_DEFINED;
    default: CAE_GENERAL_ERROR();
  }
}

void FillStructural(CAttPS& sheet, AttBaseLbc& attribute) {
  const int type = attribute.Type();
  const auto [frame, coordType] = FrameAndCoordType(attribute.CoordSys());
  CSymbolPP& symbol = sheet.m_symbolPage;
  if (sheet.SheetKind() == CAttPS::kRestraintSheet) {
    int free[6] = {};
    attribute.FreeComponents(free);
    for (int i = 0; i < 6; ++i) sheet.m_restPage.m_bFixed[i] = free[i] == 0;
    symbol.m_bScaledAllowed = FALSE;
    sheet.m_restPage.m_nFrame = frame;
    sheet.m_restPage.m_nCoordType = coordType;
    sheet.m_restPage.m_nType = CAttPS::ValueCategory(type);
    return;
  }
  CAttLoadPP& load = sheet.m_loadPage;
  load.m_nType = CAttPS::ValueCategory(type);
  load.m_nFrame = frame;
  load.m_nCoordType = coordType;
  const int unit = UnitTypeOf(type);
  if (type == ToAttType(AttCode::BodyTemperature)) {
    const auto* temperature = dynamic_cast<const AttModelTemp*>(&attribute);
    load.m_dValue[2] = ToHost(unit, temperature ? temperature->ModelTemp() : 0.0);
    load.m_dRefTemp = ToHost(unit, temperature ? temperature->RefTemp() : 0.0);
    load.m_nTempSource = attribute.IsResultsBased();
    symbol.m_bScaledAllowed = FALSE;
    return;
  }
  const CaeVector value = attribute.EvaluateVecAtPointLocal(CaeVector(0, 0, 0));
  for (int i = 0; i < 3; ++i) load.m_dValue[i] = ToHost(unit, value[i]);
  symbol.m_bScaledAllowed = TRUE;
  symbol.LoadDefaults();
  symbol.m_refVector = value;
}

// The rows of a temperature table, in ascending temperature, as a graph of native values.
template <class Condition>
std::unique_ptr<CaeGraph> TableGraph(Condition& condition, AttTableTempValue* (Condition::*first)(),
                                     AttTableTempValue* (Condition::*next)()) {
  std::vector<std::pair<double, double>> rows;
  for (AttTableTempValue* row = (condition.*first)(); row; row = (condition.*next)())
    rows.emplace_back(row->Temp(), row->Value());
  std::sort(rows.begin(), rows.end());
  auto graph = std::make_unique<CaeGraph>();
  for (const auto& [temperature, value] : rows) graph->AddPoint(temperature, value, 0, -1);
  return graph;
}

void FillHeat(CAttPS& sheet, AttBaseLbc& attribute, int modify) {
  CAttHeatPP& heat = sheet.m_heatPage;
  const int type = attribute.Type();
  heat.m_nType = CAttPS::ValueCategory(type);
  if (!modify) return;
  if (auto* convection = dynamic_cast<AttLbcConv*>(&attribute); convection && type == AttCode::FaceConvection) {
    heat.m_dConstantValue = ToHost(CaeUtFilmCoefficient, convection->FilmCoef());
    heat.m_dValue = ToHost(CaeUtTemperature, convection->AmbientTemp());
    heat.m_bTempDependent = 1 - convection->Constant();
    if (heat.m_bTempDependent)
      heat.m_pFilmGraph = TableGraph(*convection, &AttLbcConv::FirstFilmValue, &AttLbcConv::NextFilmValue);
  } else if (auto* generation = dynamic_cast<AttLbcHgen*>(&attribute);
             generation && type == AttCode::VolumetricHeatFlow) {
    heat.m_dConstantValue = ToHost(UnitTypeOf(type), generation->HeatGeneration());
    heat.m_bTempDependent = 1 - generation->Constant();
    if (heat.m_bTempDependent)
      heat.m_pHeatGenGraph = TableGraph(*generation, &AttLbcHgen::FirstHGenValue, &AttLbcHgen::NextHGenValue);
  } else {
    heat.m_dValue = ToHost(UnitTypeOf(type), attribute.EvaluateVecAtPointLocal(CaeVector(0, 0, 0))[0]);
  }
}

// Polyline 0 of the graph as table rows, each put in front: the rows arrive in reverse order.
void GraphRows(const CaeGraph* graph, TableRows& rows) {
  const CaePolyLine* line = graph ? graph->GetPolyLine(0) : nullptr;
  if (!line) return;
  for (int i = 0; i < line->NumPoints(); ++i) {
    double temperature = 0.0;
    double value = 0.0;
    line->GetPoint(temperature, value, i);
    rows.Prepend(new AttTableTempValue(temperature, value));
  }
}

// What the pages hold, in native units, ready for a builder.
struct Collected {
  int type = 0;
  CaeString name;
  int frame = 0;
  CString coordType;
  int free[6] = {};
  double values[3] = {};
  double refTemp = 0.0;
  int colour = 0;
  double size = 0.0;
};

Collected CollectStructural(CAttPS& sheet, AttBaseLbc& attribute, int modify) {
  Collected c;
  const bool restraint = sheet.SheetKind() == CAttPS::kRestraintSheet;
  if (modify) {
    c.type = attribute.Type();
  } else {
    int kind = sheet.m_geomPage.m_nKind;
    c.type = sheet.ResolveAttType(restraint ? sheet.m_restPage.m_nType : sheet.m_loadPage.m_nType, kind);
    (restraint ? UIAttRemembered().restraint : UIAttRemembered().load) = c.type;
  }
  c.name = CaeString(restraint ? sheet.m_restPage.m_strName : sheet.m_loadPage.m_strName);
  c.frame = restraint ? sheet.m_restPage.m_nFrame : sheet.m_loadPage.m_nFrame;
  c.coordType = restraint ? sheet.m_restPage.m_strCoordType : sheet.m_loadPage.m_strCoordType;
  const int unit = UnitTypeOf(c.type);
  for (int i = 0; i < 6; ++i) c.free[i] = sheet.m_restPage.m_bFixed[i] ? 0 : 1;
  for (int i = 0; i < 3; ++i) c.values[i] = c.free[i] ? 0.0 : ToNative(unit, sheet.m_loadPage.m_dValue[i]);
  c.refTemp = ToNative(unit, sheet.m_loadPage.m_dRefTemp);
  CSymbolPP& symbol = sheet.m_symbolPage;
  symbol.m_refVector = CaeVector(c.values[0], c.values[1], c.values[2]);
  symbol.StoreDefaults();
  c.colour = symbol.GetColor();
  c.size = symbol.GetSymbolSize();
  return c;
}

// The body temperature just replaced: nodal values cleared, or taken from the current results.
void ApplyTemperatureSource(CAttPS& sheet) {
  AnlControl* control = CadCurrentAnlControl();
  AttLbcCase* loads = control ? control->GetCurrentLbcCase(kLoadCaseKind) : nullptr;
  CAE_CHECK(loads != nullptr);
  AttBaseLbc* temperature = loads->GetModelLbc(ToAttType(AttCode::BodyTemperature));
  if (!temperature) return;
  temperature->ClearFlbcs();
  if (sheet.m_loadPage.m_nTempSource == 0) return;
  // The sheet checked the result before anything changed; one gone since is a consistency error.
  FerResult* result = UIAttNamedTemperatureResult(sheet.m_loadPage.m_strResultName);
  CAE_CHECK(result != nullptr);
  CAE_CHECK(result->CreateEnv() > 0);
}

void ApplyStructural(CAttPS& sheet, AttBaseLbc& attribute, const Collected& c) {
  if (c.type == AttCode::BodyTemperature) {
    Cad().EditPrescribedTemperature(dynamic_cast<AttModelTemp*>(&attribute), c.name, c.colour, c.size, c.refTemp,
                                    c.values[2]);
    ApplyTemperatureSource(sheet);
    return;
  }
  int free[6];
  double values[3];
  std::copy(std::begin(c.free), std::end(c.free), free);
  std::copy(std::begin(c.values), std::end(c.values), values);
  // The builders copy the system; it stays ours.
  const std::unique_ptr<CaeCoordSys> system(CadMakeCoordSys(c.coordType, c.frame));
  Cad().EditLbc(&attribute, c.name, c.colour, c.size, c.type, free, values, system.get());
}

void CreateStructural(CAttPS& sheet, const Collected& c) {
  if (c.type == AttCode::BodyTemperature) {
    Cad().CreatePrescribedTemperature(c.name, c.colour, c.size, c.values[2], c.refTemp, 0);
    if (sheet.m_loadPage.m_nTempSource) ApplyTemperatureSource(sheet);
    return;
  }
  int free[6];
  double values[3];
  std::copy(std::begin(c.free), std::end(c.free), free);
  std::copy(std::begin(c.values), std::end(c.values), values);
  const std::unique_ptr<CaeCoordSys> system(CadMakeCoordSys(c.coordType, c.frame));
  Cad().CreateLbc(c.name, c.colour, c.size, c.type, free, values, system.get(), sheet.m_geomPage.m_pGeometry);
}

// The existing body load of the current load set for a body-load category, or null.
AttBaseLbc* ExistingBodyLoad(int category, int type) {
  if (category < CAttPS::kAcceleration) return nullptr;
  AnlControl* control = CadCurrentAnlControl();
  AttLbcCase* loads = control ? control->CurrentLoadCase() : nullptr;
  return loads ? loads->GetModelLbc(type) : nullptr;
}

template <class Editor>
void AddLoop(int startType, Editor edit, bool (*requireSets)()) {
  // A sheet parked in another drawing holds that drawing's objects: it goes as by Cancel.
  if (Sheet() && ParkedIn() != CadCurrentAnlControl()) Sheet().reset();
  const AttLbcDescript* descriptor = Cad().FindLbcDescript(startType);
  for (;;) {
    int result = 0;
    if (CAttPS* parked = Sheet().get()) {
      result = edit(parked->m_pAttribute, parked->m_bModify);
    } else {
      if (!requireSets()) return;
      // The sheet owns the scratch attribute from its construction on.
      auto scratch = std::make_unique<AttBaseLbc>(descriptor, 1);
      result = edit(scratch.release(), 0);
    }
    if (!result) return;
  }
}

bool LoadSetReady() { return RequireLoadSet() != nullptr; }
bool RestraintSetReady() { return RequireRestraintSet() != nullptr; }
bool HeatSetsReady() { return RequireLoadSet() && RequireRestraintSet(); }

}  // namespace

CAttPS* UIAttPendingSheet() { return Sheet().get(); }

UIAttRememberedTypes& UIAttRemembered() {
  static UIAttRememberedTypes types = kInitialTypes;
  return types;
}

void UIAttResetModuleState() {
  Sheet().reset();
  ParkedIn() = nullptr;
  UIAttRemembered() = kInitialTypes;
  UIAttRememberedCoordType() = 0;
}

void UIAttNew(int kind) {
  if (kind == CAttPS::kLoadSheet) UIAttNewLoad();
  if (kind == CAttPS::kRestraintSheet) UIAttNewRestraint();
  if (kind == CAttPS::kHeatSheet) UIAttNewHeat();
}

void UIAttNewLoad() {
  AnlModel* model = CurrentModel();
  int start = UIAttRemembered().load;
  if (model && model->HasShellMesh())
    start = ToAttType(AttCode::EdgeDistributedForce);
  else if (model && static_cast<int>(model->Type()) == kHeatAnalysis)
    start = ToAttType(AttCode::BodyTemperature);
  AddLoop(start, UIAttEditStructural, LoadSetReady);
}

void UIAttNewRestraint() {
  AnlModel* model = CurrentModel();
  const int start = model && model->HasShellMesh() ? ToAttType(AttCode::EdgeRestraint) : UIAttRemembered().restraint;
  AddLoop(start, UIAttEditStructural, RestraintSetReady);
}

void UIAttNewHeat() { AddLoop(UIAttRemembered().heat, UIAttEditHeat, HeatSetsReady); }

int UIAttModify(AttBaseLbc* attribute) {
  if (!attribute) return 0;
  switch (attribute->Type()) {
    case ToAttType(AttCode::VertexHeatFlow):
    case ToAttType(AttCode::FaceHeatFlux):
    case ToAttType(AttCode::EdgeHeatFlow):
    case ToAttType(AttCode::VertexFixedTemperature):
    case ToAttType(AttCode::FaceFixedTemperature):
    case ToAttType(AttCode::EdgeFixedTemperature): return UIAttEditHeat(attribute, 1);
    default: return UIAttEditStructural(attribute, 1);
  }
}

int UIAttModifyModelTemp(AttModelTemp* temperature) { return UIAttEditStructural(temperature, 1); }
int UIAttModifyConvection(AttLbcConv* convection) { return UIAttEditHeat(convection, 1); }
int UIAttModifyHeatGeneration(AttLbcHgen* generation) { return UIAttEditHeat(generation, 1); }

int UIAttShowSheet(int sheetKind, int modify, AttBaseLbc* attribute) {
  std::unique_ptr<CAttPS>& sheet = Sheet();
  if (!attribute && !sheet) return 0;
  if (sheet) {
    attribute = sheet->m_pAttribute;
    modify = sheet->m_bModify;
  }
  UINT caption = IDS_ADD_HEAT_ENVIRONMENT;
  UINT icon = IDI_ATT_HEAT;
  int resume = cmdIndex(CadCommand::ThermTab);
  if (sheetKind == CAttPS::kLoadSheet) {
    caption = IDS_ADD_STRUCTURAL_LOAD;
    icon = IDI_ATT_LOAD;
    resume = cmdIndex(CadCommand::LoadTab);
  } else if (sheetKind == CAttPS::kRestraintSheet) {
    caption = IDS_ADD_STRUCTURAL_RESTRAINT;
    icon = IDI_ATT_RESTRAINT;
    resume = cmdIndex(CadCommand::RestTab);
  }
  CadInterface& cad = Cad();
  if (!sheet) {
    sheet = std::make_unique<CAttPS>(sheetKind, modify ? static_cast<UINT>(IDS_MODIFY_ATTRIBUTE) : caption);
    sheet->m_bModify = modify;
    if (!modify) sheet->AddPage(&sheet->m_geomPage);
    sheet->m_pAttribute = attribute;
    if (!modify) {
      sheet->m_geomPage.m_nResumeCommand = resume;
      sheet->m_geomPage.m_bShowChangeView = cad.UsesPickRequests() == 0;
    }
  }
  sheet->CreateTabImageList(16);
  for (UINT id : {icon, static_cast<UINT>(IDI_ATT_SYMBOL_TAB), static_cast<UINT>(IDI_ATT_GEOMETRY_TAB),
                  static_cast<UINT>(IDI_ATT_GEOMETRY_NONE), static_cast<UINT>(IDI_ATT_GEOMETRY_CHOSEN)})
    sheet->AddTabIcon(id);
  sheet->m_bShowTabIcons = TRUE;

  CString name = attribute->Name().Text();
  if (name.IsEmpty()) {
    std::string fallback = static_cast<const char*>(CAttPS::DefaultName(attribute->Type()));
    std::replace(fallback.begin(), fallback.end(), ' ', '_');
    name = fallback.c_str();
  }
  for (CString* pageName : {&sheet->m_loadPage.m_strName, &sheet->m_restPage.m_strName, &sheet->m_heatPage.m_strName})
    if (pageName->IsEmpty()) *pageName = name;

  if (!modify) {
    COptSelGeomPP& geometry = sheet->m_geomPage;
    if (cad.IsRequestPending()) {
      AcBrEntity* picked = nullptr;
      int cancelled = 0;
      cad.GetCommandResult(&picked, &cancelled);
      if (picked && !cancelled)
        geometry.m_pGeometry = picked;
      else
        sheet->m_psh.nStartPage = static_cast<UINT>(sheet->GetPageIndex(&geometry));
    }
    if (geometry.m_pGeometry) {
      const int kind = cad.GetTopologyKind(geometry.m_pGeometry);
      geometry.m_nKind = kind;
      if (kind < Kind::kSolid) {
        geometry.m_pGeometry = nullptr;
        geometry.m_nKind = Kind::kFace;
      }
    }
  }
  return 1;
}

void acAttUpdateSymbolPage() {
  CAttPS* sheet = Sheet().get();
  if (!sheet || !sheet->m_pAttribute) return;
  CadInterface& cad = Cad();
  AttBaseLbc* attribute = sheet->m_pAttribute;
  CSymbolPP& symbol = sheet->m_symbolPage;
  int colour = 0;
  if (sheet->m_bModify) {
    double size = 0.0;
    cad.GetLbcColorAndScale(attribute, &colour, &size);
    symbol.SetSymbolSize(size);
  } else {
    symbol.LoadDefaults();
    colour = cad.GetLbcDimension(attribute->Type());
  }
  symbol.SetColor(colour);
  if (sheet->HasGeometry() && !sheet->m_bModify) return;
  const AttLbcDescript* descriptor = attribute->Descriptor();
  int kind = Kind::kAllSolids;
  if (descriptor) {
    if (descriptor->objectAllowed)
      kind = Kind::kSolid;
    else if (descriptor->faceAllowed)
      kind = Kind::kFace;
    else if (descriptor->edgeAllowed)
      kind = Kind::kEdge;
    else if (descriptor->vertexAllowed)
      kind = Kind::kVertex;
  }
  sheet->m_geomPage.m_nKind = kind;
}

int UIAttEditStructural(AttBaseLbc* attribute, int modify) {
  if (!attribute) return 0;
  const AttLbcDescript* descriptor = attribute->Descriptor();
  const int sheetKind =
      descriptor && descriptor->kind == AttKindRestraint ? CAttPS::kRestraintSheet : CAttPS::kLoadSheet;
  const bool existed = Sheet() != nullptr;
  if (!UIAttShowSheet(sheetKind, modify, attribute)) return 0;
  SheetRun run;
  CAttPS& sheet = *Sheet();
  AttBaseLbc& target = *sheet.m_pAttribute;
  modify = sheet.m_bModify;
  if (!existed) {
    FillStructural(sheet, target);
    acAttUpdateSymbolPage();
  }
  if (sheet.DoModal() != IDOK) return 0;

  Collected c = CollectStructural(sheet, target, modify);
  if (cmdIsPickPending()) {
    sheet.DeleteTabImageList();
    run.Park();
    return modify ? 1 : 0;
  }
  if (modify) {
    ApplyStructural(sheet, target, c);
    Cad().FlushGraphics();
    return 1;
  }
  const int category = CAttPS::ValueCategory(c.type);
  if (AttBaseLbc* existing = ExistingBodyLoad(category, c.type)) {
    if (CadMessageBoxId(BodyLoadQuestion(c.type), MB_YESNO | MB_ICONQUESTION) != IDYES) return 0;
    Sheet().reset();
    UIAttEditStructural(existing, 1);
    return 0;
  }
  CreateStructural(sheet, c);
  Cad().FlushGraphics();
  return sheet.m_bAddAnother;
}

int UIAttEditHeat(AttBaseLbc* attribute, int modify) {
  if (!attribute) return 0;
  const bool existed = Sheet() != nullptr;
  if (!UIAttShowSheet(CAttPS::kHeatSheet, modify, attribute)) return 0;
  SheetRun run;
  CAttPS& sheet = *Sheet();
  AttBaseLbc& target = *sheet.m_pAttribute;
  modify = sheet.m_bModify;
  if (!existed) {
    FillHeat(sheet, target, modify);
    acAttUpdateSymbolPage();
  }
  if (sheet.DoModal() != IDOK) return 0;
  if (cmdIsPickPending()) {
    sheet.DeleteTabImageList();
    run.Park();
    return modify ? 1 : 0;
  }

  CAttHeatPP& heat = sheet.m_heatPage;
  int type = target.Type();
  if (!modify) {
    int kind = sheet.m_geomPage.m_nKind;
    type = sheet.ResolveAttType(heat.m_nType, kind);
  }
  const CaeString name(heat.m_strName);
  const bool convection = type == AttCode::FaceConvection;
  const bool generation = type == AttCode::VolumetricHeatFlow;
  const int unit = convection ? static_cast<int>(CaeUtFilmCoefficient) : UnitTypeOf(type);
  TableRows rows;
  if ((convection || generation) && heat.m_bTempDependent) {
    const CaeGraph* graph = convection ? heat.m_pFilmGraph.get() : heat.m_pHeatGenGraph.get();
    CAE_CHECK(graph != nullptr);
    GraphRows(graph, rows);
  }
  int free[6] = {0, 1, 1, 1, 1, 1};
  double values[3] = {ToNative(unit, heat.m_dValue), 0.0, 0.0};
  CSymbolPP& symbol = sheet.m_symbolPage;
  if (!convection && !generation) symbol.m_refVector = CaeVector(values[0], 0, 0);
  symbol.StoreDefaults();
  const int colour = symbol.GetColor();
  const double size = symbol.GetSymbolSize();
  const int constant = 1 - heat.m_bTempDependent;
  const double film = ToNative(CaeUtFilmCoefficient, heat.m_dConstantValue);
  const double ambient = ToNative(CaeUtTemperature, heat.m_dValue);
  const double heatGeneration = ToNative(unit, heat.m_dConstantValue);
  CadInterface& cad = Cad();
  const std::unique_ptr<CaeCoordSys> global(CadMakeCoordSys("", 0));
  if (modify) {
    if (convection)
      cad.EditConvection(dynamic_cast<AttLbcConv*>(&target), name, colour, size, type, constant, film, ambient, rows);
    else if (generation)
      cad.EditHeatGeneration(dynamic_cast<AttLbcHgen*>(&target), name, colour, size, type, constant, heatGeneration,
                             rows);
    else
      cad.EditLbc(&target, name, colour, size, type, free, values, global.get());
  } else {
    AcBrEntity* geometry = sheet.m_geomPage.m_pGeometry;
    if (convection)
      cad.CreateConvection(name, colour, size, type, constant, film, ambient, rows, geometry);
    else if (generation)
      cad.CreateHeatGeneration(name, colour, size, type, constant, heatGeneration, rows, geometry);
    else
      cad.CreateLbc(name, colour, size, type, free, values, global.get(), geometry);
    UIAttRemembered().heat = type;
  }
  cad.FlushGraphics();
  return modify ? 1 : sheet.m_bAddAnother;
}
