#include "gui/dialogs/lbc/UIAttPS.h"

#include <array>

#include "amg/CaeMsgCall.h"
#include "amg/CaeUnit.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "fea/AttCodes.h"
#include "fea/AttLbc.h"
#include "fea/AttLbcDescript.h"
#include "fea/FerResult.h"
#include "res/ResourceIds.h"

namespace {

using Kind = COptSelGeomPP::Kind;

// A condition code as the engine's plain type number.
#define A(code) ToAttType(AttCode::code)

constexpr int kLastCategory = CAttPS::kTemperature;
constexpr int kShownGeometryButtons =
    (1 << Kind::kSolid) | (1 << Kind::kFace) | (1 << Kind::kEdge) | (1 << Kind::kVertex);

// One row of the category-to-type table: the type on a solid, face, edge and vertex, and the
// geometry kind the entry forces (0 when it forces none).
struct Resolution {
  std::array<int, 4> byKind;
  int forces;
};

constexpr Resolution None{{0, 0, 0, 0}, 0};
constexpr Resolution OnFace(int type) { return {{type, type, type, type}, Kind::kFace}; }
constexpr Resolution OnSolid(int type) { return {{type, type, type, type}, Kind::kSolid}; }

// Categories 0-5 by sheet kind; 6-8 are the same body loads on every sheet.
constexpr std::array<std::array<Resolution, 6>, 3> kResolutions = {{
    {{{{0, A(FaceDistributedForce), A(EdgeDistributedForce), A(VertexForce)}, 0},
      {{0, A(FaceTotalForce), A(EdgeTotalForce), A(VertexForce)}, 0},
      {{0, A(FaceEnforcedDisplacement), A(EdgeEnforcedDisplacement), A(VertexEnforcedDisplacement)}, 0},
      OnFace(A(Pressure)),
      OnFace(A(Moment)),
      OnSolid(A(Acceleration))}},
    {{{{0, A(FaceRestraint), A(EdgeRestraint), A(VertexRestraint)}, 0},
      OnFace(A(PinnedRestraint)),
      None,
      None,
      None,
      None}},
    {{OnFace(A(FaceConvection)),
      OnSolid(A(VolumetricHeatFlow)),
      {{0, A(FaceFixedTemperature), A(EdgeFixedTemperature), A(VertexFixedTemperature)}, 0},
      OnFace(A(FaceHeatFlux)),
      {{0, 0, A(EdgeHeatFlow), A(VertexHeatFlow)}, 0},
      None}},
}};

constexpr std::array<int, 3> kBodyLoads = {A(Gravity), A(Spin), A(BodyTemperature)};

// Allowed geometry per category and sheet kind, as button bits (1 << kind).
constexpr int S = 1 << Kind::kSolid, F = 1 << Kind::kFace, E = 1 << Kind::kEdge, V = 1 << Kind::kVertex;
constexpr std::array<std::array<int, 3>, 5> kAllowed = {{
    {F | E, F | E | V, F},
    {F | E | V, F, S},
    {F | E | V, F | E | V, F | E | V},
    {F, F, F},
    {F, F, E | V},
}};

CString ShortUnitName(int unitType) {
  const CaeUnitStrTable* table = CaeUnitStrTable::GetCurrent();
  if (!table) return CString();
  return CString(table->IdToShortString(CaeUnitSystem::GetHostUnit(unitType)).Text());
}

CString LoadText(UINT id) { return CString(resLoadString(id).Text()); }

}  // namespace

FerResult* UIAttTemperatureResult() {
  AnlControl* control = CadCurrentAnlControl();
  FerResultSet* results = control ? control->CurrentResultSet() : nullptr;
  return results ? results->FindResult(FerQtyTemperature) : nullptr;
}

FerResult* UIAttNamedTemperatureResult(const CString& name) {
  AnlControl* control = CadCurrentAnlControl();
  FerResultSet* results = control ? control->CurrentResultSet() : nullptr;
  if (!results) return nullptr;
  const int type = FerResult::NameToType(CaeString(name));
  FerResult* result = results->FindResult(type);
  if (!result || type != FerQtyTemperature) return nullptr;
  // A set of a reopened drawing has its values in the data file until first asked.
  if (result->NumNodalSubsets() == 0 && !results->Mesh() && results->LoadData()) result = results->FindResult(type);
  return result;
}

CAttPS::CAttPS(int sheetKind, UINT captionId, CWnd* parent, UINT selectPage)
    : CGenericPS(captionId, parent, selectPage) {
  m_nPositionKey = IDD_ATT_GEOMETRY;  // every attribute sheet opens where the last one was left
  if (sheetKind == kLoadSheet) AddPage(&m_loadPage);
  if (sheetKind == kRestraintSheet) AddPage(&m_restPage);
  if (sheetKind == kHeatSheet) AddPage(&m_heatPage);
  AddPage(&m_symbolPage);
  m_bSquareTabs = TRUE;
}

CAttPS::~CAttPS() {
  if (!m_bModify) delete m_pAttribute;  // the scratch attribute of a new condition
}

int CAttPS::ValueCategory(int type) {
  switch (type) {
    case A(FaceDistributedForce):
    case A(EdgeDistributedForce):
    case A(VertexRestraint):
    case A(EdgeRestraint):
    case A(FaceRestraint):
    case A(FaceConvection): return 0;
    case A(VertexForce):
    case A(VolumetricHeatFlow):
    case A(FaceTotalForce):
    case A(EdgeTotalForce):
    case A(PinnedRestraint): return 1;
    case A(VertexEnforcedDisplacement):
    case A(EdgeEnforcedDisplacement):
    case A(FaceEnforcedDisplacement):
    case A(VertexFixedTemperature):
    case A(FaceFixedTemperature):
    case A(EdgeFixedTemperature): return 2;
    case A(Pressure):
    case A(FaceHeatFlux): return 3;
    case A(VertexHeatFlow):
    case A(EdgeHeatFlow):
    case A(Moment): return 4;
    case A(Acceleration): return kAcceleration;
    case A(Gravity): return kGravity;
    case A(Spin): return kSpin;
    case A(BodyTemperature): return kTemperature;
    default: return -1;
  }
}

int CAttPS::ResolveAttType(int sheetKind, int category, int& geometryKind) {
  if (category < 0 || category > kLastCategory || sheetKind < kLoadSheet || sheetKind > kHeatSheet) return 0;
  if (category > kAcceleration) {
    geometryKind = Kind::kSolid;
    return kBodyLoads[static_cast<size_t>(category - kGravity)];
  }
  const Resolution& row = kResolutions[static_cast<size_t>(sheetKind)][static_cast<size_t>(category)];
  if (row.forces) {
    geometryKind = row.forces;
    return row.byKind[0];
  }
  if (geometryKind < Kind::kSolid || geometryKind > Kind::kVertex) return 0;
  return row.byKind[static_cast<size_t>(geometryKind - Kind::kSolid)];
}

CString CAttPS::DefaultName(int type) {
  UINT id = 0;
  switch (type) {
    case A(VertexForce):
    case A(FaceTotalForce):
    case A(EdgeTotalForce): id = IDS_ATT_TOTAL_FORCE; break;
    case A(FaceDistributedForce):
    case A(EdgeDistributedForce): id = IDS_ATT_DISTRIBUTED_FORCE; break;
    case A(Pressure): id = IDS_LBC_PRESSURE; break;
    case A(VertexRestraint):
    case A(EdgeRestraint):
    case A(FaceRestraint): id = IDS_ATT_CUSTOM_RESTRAINT; break;
    case A(VertexEnforcedDisplacement):
    case A(EdgeEnforcedDisplacement):
    case A(FaceEnforcedDisplacement): id = IDS_ATT_ENFORCED_DISPLACEMENT; break;
    case A(Spin): id = IDS_LBC_SPIN; break;
    case A(Gravity): id = IDS_LBC_GRAVITY; break;
    case A(Acceleration): id = IDS_LBC_ACCELERATION; break;
    case A(BodyTemperature): id = IDS_LBC_TEMPERATURE; break;
    case A(VertexHeatFlow):
    case A(EdgeHeatFlow): id = IDS_ATT_HEAT_FLOW; break;
    case A(FaceHeatFlux): id = IDS_ATT_HEAT_FLUX; break;
    case A(FaceConvection): id = IDS_ATT_CONVECTION; break;
    case A(VolumetricHeatFlow): id = IDS_LBC_VOLUMETRIC_HEAT_FLOW; break;
    case A(VertexFixedTemperature):
    case A(FaceFixedTemperature):
    case A(EdgeFixedTemperature): id = IDS_ATT_FIXED_TEMPERATURE; break;
    case A(PinnedRestraint): id = IDS_LBC_PINNED_RESTRAINT; break;
    case A(Moment): id = IDS_LBC_MOMENT; break;
    default: return CString();
  }
  return LoadText(id);
}

BOOL CAttPS::IsKindAllowed(int sheetKind, int category, int geometryKind) {
  if (category < 0 || category > kLastCategory || sheetKind < kLoadSheet || sheetKind > kHeatSheet) return FALSE;
  if (geometryKind < Kind::kSolid || geometryKind > Kind::kVertex) return FALSE;
  const int allowed =
      category >= kAcceleration ? S : kAllowed[static_cast<size_t>(category)][static_cast<size_t>(sheetKind)];
  return (allowed & (1 << geometryKind)) != 0;
}

CString CAttPS::UnitText(int type) {
  if (type == AttCode::FaceConvection) return ShortUnitName(CaeUtFilmCoefficient);
  CadInterface* cad = CadInterface::GetCurrent();
  const AttLbcDescript* descriptor = cad ? cad->FindLbcDescript(type) : nullptr;
  return descriptor ? ShortUnitName(descriptor->Dimension()) : CString();
}

int CAttPS::SheetKind() const {
  const CPropertyPage* first = GetPageCount() > 0 ? GetPage(0) : nullptr;
  if (first == &m_loadPage) return kLoadSheet;
  if (first == &m_restPage) return kRestraintSheet;
  return kHeatSheet;
}

void CAttPS::SetPickFilter(int category, int coordType) {
  int enabled = 0;
  for (int kind = Kind::kSolid; kind <= Kind::kVertex; ++kind)
    if (IsKindAllowed(SheetKind(), category, kind)) enabled |= 1 << kind;
  if (coordType == kFaceCoordType) enabled &= ~(E | V);  // a face system needs a face
  m_geomPage.m_nEnableMask = enabled;
  m_geomPage.m_nShowMask = kShownGeometryButtons;
  m_geomPage.m_strPrompt = LoadText(IDS_GEOM_PROMPT);
  static constexpr UINT kApplies[] = {IDS_GEOM_APPLIES_SOLID, IDS_GEOM_APPLIES_FACE, IDS_GEOM_APPLIES_EDGE,
                                      IDS_GEOM_APPLIES_VERTEX};
  const int kind = m_geomPage.m_nKind;
  const bool known = kind >= Kind::kSolid && kind <= Kind::kVertex;
  m_geomPage.m_strSelection =
      LoadText(HasGeometry() && known ? kApplies[kind - Kind::kSolid] : static_cast<UINT>(IDS_GEOM_REQUIRED));
  const int tab = GetPageIndex(&m_geomPage);
  if (tab >= 0) SetTabImage(tab, HasGeometry() ? kGeometryChosenImage : kNoGeometryImage, TRUE);
}

BOOL CAttPS::TakeCurrentSelection(BOOL solid, BOOL face, BOOL edge, BOOL vertex) {
  if (m_bModify || HasGeometry()) return FALSE;
  // The interfaces here hold no preselected entity the builders could take, so nothing is
  // selected: the kind falls to the first allowed one.
  const BOOL allowed[] = {solid, face, edge, vertex};
  m_geomPage.m_pGeometry = nullptr;
  m_geomPage.m_nKind = Kind::kAllSolids;
  for (int kind = Kind::kSolid; kind <= Kind::kVertex; ++kind)
    if (allowed[kind - Kind::kSolid]) {
      m_geomPage.m_nKind = kind;
      break;
    }
  return FALSE;
}

void CAttPS::FillTypeList(CWnd& page, int comboId, int firstCategory, int lastCategory, int namingKind, int selected) {
  auto* types = static_cast<CComboBox*>(page.GetDlgItem(comboId));
  types->ResetContent();
  if (m_bModify) {
    int kind = m_geomPage.m_nKind;
    types->AddString(DefaultName(ResolveAttType(selected, kind)));
    types->SetCurSel(0);
    return;
  }
  for (int category = firstCategory; category <= lastCategory; ++category) {
    int kind = namingKind;
    types->AddString(DefaultName(ResolveAttType(SheetKind(), category, kind)));
  }
  types->SetCurSel(selected);
}

void CAttPS::CopyNameText(CPropertyPage& page, int sourceId, int targetId) {
  if (m_bModify) return;
  CWnd* source = page.GetDlgItem(sourceId);
  CWnd* target = page.GetDlgItem(targetId);
  if (!source || !target) return;
  CString text;
  if (auto* combo = dynamic_cast<CComboBox*>(source); combo && combo->GetCurSel() >= 0)
    combo->GetLBText(combo->GetCurSel(), text);
  else
    source->GetWindowText(text);
  std::string name = static_cast<const char*>(text);
  for (char& c : name)
    if (c == ' ') c = '_';
  target->SetWindowText(name.c_str());
}

void CAttPS::EnableButtons(BOOL ok) {
  if (CWnd* add = GetDlgItem(ID_APPLY_NOW)) add->EnableWindow(ok && !m_bModify);
  if (CWnd* okButton = GetDlgItem(IDOK)) okButton->EnableWindow(ok);
}

BOOL CAttPS::OnInitDialog() {
  const BOOL result = CGenericPS::OnInitDialog();
  if (CWnd* add = GetDlgItem(ID_APPLY_NOW)) {
    add->SetWindowText(LoadText(IDS_ATT_ADD_BUTTON));
    add->EnableWindow(!m_bModify);
  }
  return result;
}

bool CAttPS::TakePageData() {
  for (int i = 0; i < GetPageCount(); ++i) {
    CPropertyPage* page = GetPage(i);
    if (!page->GetSafeHwnd()) continue;  // never shown: its members are what the editor set
    if (!page->UpdateData(TRUE)) {
      SetActivePage(page);
      return false;
    }
  }
  return true;
}

bool CAttPS::LoadValuesAcceptable() {
  const int category = m_bModify && m_pAttribute ? ValueCategory(m_pAttribute->Type()) : m_loadPage.m_nType;
  if (category == kTemperature) {
    // A results-based temperature needs the temperature result it names, with values at the
    // current model's nodes: refused before anything changes.
    if (m_loadPage.m_nTempSource == 0) return true;
    FerResult* result = UIAttNamedTemperatureResult(m_loadPage.m_strResultName);
    if (result && result->EnvNodeCount() > 0) return true;
    CadMessageBoxId(result ? IDS_ATT_TEMPERATURE_RESULT_ELSEWHERE : IDS_ATT_NO_TEMPERATURE_RESULT,
                    MB_TASKMODAL | MB_OK);
    return false;
  }
  for (int i = 0; i < 3; ++i)
    if (m_loadPage.m_dValue[i] != 0.0 && m_restPage.m_bFixed[i]) return true;
  CadMessageBoxId(IDS_ATT_NONZERO_LOAD, MB_TASKMODAL | MB_OK);
  return false;
}

bool CAttPS::HeatValuesAcceptable() {
  const int category = m_bModify && m_pAttribute ? ValueCategory(m_pAttribute->Type()) : m_heatPage.m_nType;
  if (category >= kHeatFlux && m_heatPage.m_dValue == 0.0) {
    CadMessageBoxId(IDS_ATT_NONZERO_VALUE, MB_TASKMODAL | MB_OK);
    return false;
  }
  const bool tabled = category == kConvection || category == kVolumetricHeatFlow;
  const auto& graph = category == kConvection ? m_heatPage.m_pFilmGraph : m_heatPage.m_pHeatGenGraph;
  if (tabled && m_heatPage.m_bTempDependent && !graph) {
    CadMessageBoxId(IDS_ATT_TABLE_REQUIRED, MB_TASKMODAL | MB_OK);
    return false;
  }
  return true;
}

bool CAttPS::ValuesAcceptable() {
  switch (SheetKind()) {
    case kLoadSheet: return LoadValuesAcceptable();
    case kRestraintSheet:
      for (BOOL fixed : m_restPage.m_bFixed)
        if (fixed) return true;
      CadMessageBoxId(IDS_ATT_RESTRAIN_ONE, MB_TASKMODAL | MB_OK);
      return false;
    default: return HeatValuesAcceptable();
  }
}

BOOL CAttPS::OnCommand(WPARAM wParam, LPARAM lParam) {
  const int command = LOWORD(wParam);
  if (command != IDOK && command != ID_APPLY_NOW) return CPropertySheet::OnCommand(wParam, lParam);
  if (!HasGeometry()) {
    CadMessageBoxId(IDS_GEOM_REQUIRED, MB_TASKMODAL | MB_OK);
    SetActivePage(&m_geomPage);
    return TRUE;
  }
  if (!TakePageData() || !ValuesAcceptable()) return TRUE;
  // Add applies like OK and asks the editor for another attribute.
  // Every shown page took its data above, so the pages' apply cannot refuse now.
  m_bAddAnother = command == ID_APPLY_NOW;
  return CPropertySheet::OnCommand(MAKEWPARAM(IDOK, BN_CLICKED), lParam);
}

#undef A

namespace {

constexpr DWORD_PTR kPageHelpBase = 0x20000;
constexpr UINT kCoordTypeTexts[CAttPS::kCoordTypes] = {IDS_COORDSYS_CARTESIAN, IDS_COORDSYS_CYLINDRICAL,
                                                       IDS_COORDSYS_SPHERICAL, IDS_COORDSYS_FACE};
// Component labels by coordinate type (0 Cartesian, 1 Cylindrical, 2 Spherical, 3 Face).
constexpr UINT kAxisLabels[CAttPS::kCoordTypes][3] = {{IDS_AXIS_X, IDS_AXIS_Y, IDS_AXIS_Z},
                                                      {IDS_AXIS_CYL_R, IDS_AXIS_CYL_THETA, IDS_AXIS_CYL_Z},
                                                      {IDS_AXIS_SPH_R, IDS_AXIS_SPH_THETA, IDS_AXIS_SPH_PHI},
                                                      {0, 0, IDS_AXIS_NORMAL}};

}  // namespace

CString CAttPS::Text(UINT id) { return id ? LoadText(id) : CString(); }

void CAttPS::ShowControl(CWnd& page, int id, bool shown) {
  if (CWnd* control = page.GetDlgItem(id)) control->ShowWindow(shown ? SW_SHOW : SW_HIDE);
}

void CAttPS::EnableControl(CWnd& page, int id, bool enabled) {
  if (CWnd* control = page.GetDlgItem(id)) control->EnableWindow(enabled);
}

void CAttPS::FillFrameLists(CWnd& page, int frame, int coordType, CString& coordTypeText) {
  auto* frames = static_cast<CComboBox*>(page.GetDlgItem(IDC_ATT_FRAME));
  frames->ResetContent();
  frames->AddString(LoadText(IDS_FRAME_GLOBAL));
  frames->AddString(LoadText(IDS_FRAME_LOCAL));
  frames->SetCurSel(frame);
  auto* coordTypes = static_cast<CComboBox*>(page.GetDlgItem(IDC_ATT_COORD_TYPE));
  coordTypes->ResetContent();
  for (UINT text : kCoordTypeTexts) coordTypes->AddString(LoadText(text));
  coordTypes->SetCurSel(coordType);
  if (coordType >= 0) coordTypes->GetLBText(coordType, coordTypeText);
}

UINT CAttPS::AxisLabel(int coordType, int axis) {
  const int row = coordType >= 0 && coordType < kCoordTypes ? coordType : 0;
  return axis >= 0 && axis < 3 ? kAxisLabels[row][axis] : 0;
}

bool CAttPS::ShowPageHelp(LPARAM lParam, LRESULT* result, UINT templateId) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (!header || static_cast<int>(header->code) != PSN_HELP) return false;
  UIShowHelp(kPageHelpBase + templateId, HELP_CONTEXT);
  if (result) *result = 1;
  return true;
}
