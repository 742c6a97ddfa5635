#include "gui/dialogs/lbc/UIAttHeatPP.h"

#include <string>

#include "amg/CaeUnit.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "fea/AttCodes.h"
#include "fea/AttLbc.h"
#include "gui/dialogs/lbc/UIAttPS.h"
#include "gui/graph2d/UIGraphEditDlg.h"
#include "res/ResourceIds.h"

namespace {

using Kind = COptSelGeomPP::Kind;
constexpr int kTitleMargin = 4;
constexpr int kCharacterWidth = 6;  // the toolkit's list-view string width per character

}  // namespace

BEGIN_MESSAGE_MAP(CAttHeatPP, CPropertyPage)
ON_CBN_SELCHANGE(IDC_HEAT_TYPE, OnTypeChange)
ON_BN_CLICKED(IDC_HEAT_CONSTANT, UpdateControls)
ON_BN_CLICKED(IDC_HEAT_TEMP_DEPENDENT, UpdateControls)
ON_BN_CLICKED(IDC_HEAT_TABLE, OnTable)
ON_EN_KILLFOCUS(IDC_ATT_NAME, OnNameKillFocus)
END_MESSAGE_MAP()

CAttHeatPP::CAttHeatPP() : CPropertyPage(IDD_ATT_HEAT) { m_psp.dwFlags |= PSP_HASHELP; }

CAttPS* CAttHeatPP::AttSheet() const { return dynamic_cast<CAttPS*>(sheet()); }

void CAttHeatPP::DoDataExchange(CDataExchange* dx) {
  CPropertyPage::DoDataExchange(dx);
  DDX_Text(dx, IDC_HEAT_VALUE, m_dValue);
  DDX_Radio(dx, IDC_HEAT_CONSTANT, m_bTempDependent);
  DDX_Text(dx, IDC_HEAT_CONSTANT_VALUE, m_dConstantValue);
  DDX_CBIndex(dx, IDC_HEAT_TYPE, m_nType);
  DDX_Text(dx, IDC_ATT_NAME, m_strName);
}

BOOL CAttHeatPP::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  if (CAttPS* ps = AttSheet()) {
    // Named on the edge kind: Heat Flow has no face type.
    ps->FillTypeList(*this, IDC_HEAT_TYPE, CAttPS::kConvection, CAttPS::kHeatFlow, Kind::kEdge, m_nType);
    ps->CopyNameText(*this, IDC_HEAT_TYPE, IDC_ATT_NAME);
  }
  return TRUE;
}

BOOL CAttHeatPP::OnSetActive() {
  UpdateControls();
  return CPropertyPage::OnSetActive();
}

BOOL CAttHeatPP::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (CAttPS::ShowPageHelp(lParam, result, IDD_ATT_HEAT)) return TRUE;
  return CPropertyPage::OnNotify(wParam, lParam, result);
}

int CAttHeatPP::SetTitleText(int titleId, const CString& text) {
  CWnd* title = GetDlgItem(titleId);
  if (!title) return 0;
  std::string measured = static_cast<const char*>(text);
  std::erase(measured, '&');
  const int width = static_cast<int>(measured.size()) * kCharacterWidth + kTitleMargin;
  RECT rect{};
  title->GetWindowRect(&rect);
  ScreenToClient(&rect);
  title->MoveWindow(rect.left, rect.top, width, rect.bottom - rect.top);
  title->SetWindowText(text);
  title->Invalidate();
  return width;
}

int CAttHeatPP::Category() const {
  const CAttPS* ps = AttSheet();
  if (ps && ps->m_bModify && ps->m_pAttribute) return CAttPS::ValueCategory(ps->m_pAttribute->Type());
  return static_cast<CComboBox*>(GetDlgItem(IDC_HEAT_TYPE))->GetCurSel();
}

void CAttHeatPP::UpdateGeometry(int category) {
  CAttPS* ps = AttSheet();
  COptSelGeomPP& geometry = ps->m_geomPage;
  switch (category) {
    case CAttPS::kConvection:
    case CAttPS::kHeatFlux:
      if (geometry.m_nKind != Kind::kFace) ps->ClearGeometry();
      ps->TakeCurrentSelection(FALSE, TRUE, FALSE, FALSE);
      geometry.m_nKind = Kind::kFace;
      break;
    case CAttPS::kVolumetricHeatFlow:
      if (geometry.m_nKind != Kind::kSolid) ps->ClearGeometry();
      ps->TakeCurrentSelection(TRUE, FALSE, FALSE, FALSE);
      geometry.m_nKind = Kind::kSolid;
      break;
    case CAttPS::kFixedTemperature:
      if (geometry.m_nKind <= Kind::kSolid) {
        ps->ClearGeometry();
        ps->TakeCurrentSelection(FALSE, TRUE, TRUE, TRUE);
        if (!ps->HasGeometry()) geometry.m_nKind = Kind::kFace;
      }
      break;
    case CAttPS::kHeatFlow:
      if (geometry.m_nKind != Kind::kEdge && geometry.m_nKind != Kind::kVertex) {
        ps->ClearGeometry();
        ps->TakeCurrentSelection(FALSE, FALSE, TRUE, TRUE);
        if (!ps->HasGeometry()) geometry.m_nKind = Kind::kEdge;
      }
      break;
    default: break;
  }
  const bool scaled = category == CAttPS::kHeatFlux || category == CAttPS::kHeatFlow;
  ps->m_symbolPage.m_bScaledAllowed = scaled;
  if (!scaled) ps->m_symbolPage.m_nSizeMode = CSymbolPP::kFixed;
}

void CAttHeatPP::UpdateGroups(int category) {
  const bool lower = category == CAttPS::kConvection || category == CAttPS::kVolumetricHeatFlow;
  for (int id : {IDC_HEAT_CONSTANT, IDC_HEAT_TEMP_DEPENDENT, IDC_HEAT_LOWER_TITLE, IDC_HEAT_LOWER_LABEL,
                 IDC_HEAT_CONSTANT_VALUE, IDC_HEAT_CONSTANT_UNIT, IDC_HEAT_TABLE})
    CAttPS::ShowControl(*this, id, lower);
  if (lower) {
    const bool constant = !IsDlgButtonChecked(IDC_HEAT_TEMP_DEPENDENT);
    CAttPS::EnableControl(*this, IDC_HEAT_CONSTANT_VALUE, constant);
    CAttPS::EnableControl(*this, IDC_HEAT_CONSTANT_UNIT, constant);
    CAttPS::EnableControl(*this, IDC_HEAT_TABLE, !constant);
  }
  const bool upper = category != CAttPS::kVolumetricHeatFlow;
  for (int id : {IDC_HEAT_VALUE, IDC_ATT_FRAME_LABEL, IDC_HEAT_UNIT, IDC_HEAT_UPPER_TITLE})
    CAttPS::ShowControl(*this, id, upper);
}

void CAttHeatPP::UpdateTexts(int category) {
  CAttPS* ps = AttSheet();
  int kind = ps->m_geomPage.m_nKind;
  const int type = ps->ResolveAttType(category, kind);
  CString unit = CAttPS::UnitText(type);
  if (category == CAttPS::kConvection || category == CAttPS::kVolumetricHeatFlow) {
    SetDlgItemText(IDC_HEAT_CONSTANT_UNIT, unit);
    SetDlgItemText(IDC_HEAT_UNIT, CAttPS::UnitText(ToAttType(AttCode::BodyTemperature)));
    SetTitleText(IDC_HEAT_UPPER_TITLE, CString(" ") + CAttPS::Text(IDS_HEAT_AMBIENT_TITLE));
    SetTitleText(IDC_HEAT_LOWER_TITLE,
                 CString(" ") + CAttPS::Text(category == CAttPS::kConvection ? IDS_HEAT_FILM_TITLE
                                                                             : IDS_LBC_VOLUMETRIC_HEAT_FLOW));
    return;
  }
  // A heat flow's unit differs between edge and vertex until one is picked.
  if (category == CAttPS::kHeatFlow && !ps->HasGeometry()) unit += " ...";
  SetDlgItemText(IDC_HEAT_UNIT, unit);
  CString title = unit;
  if (type == AttCode::VertexHeatFlow || type == AttCode::EdgeHeatFlow) title = CAttPS::Text(IDS_HEAT_FLOW_TITLE);
  if (type == AttCode::FaceHeatFlux) title = CAttPS::Text(IDS_HEAT_FLUX_TITLE);
  if (type == AttCode::VertexFixedTemperature || type == AttCode::FaceFixedTemperature ||
      type == AttCode::EdgeFixedTemperature)
    title = CAttPS::Text(IDS_HEAT_FIXED_TEMPERATURE_TITLE);
  SetTitleText(IDC_HEAT_UPPER_TITLE, CString(" ") + title);
}

void CAttHeatPP::UpdateControls() {
  CAttPS* ps = AttSheet();
  if (!ps || !GetSafeHwnd()) return;
  const int category = Category();
  ps->EnableButtons(TRUE);
  UpdateGeometry(category);
  UpdateGroups(category);
  UpdateTexts(category);
  ps->SetPickFilter(category, 0);
}

void CAttHeatPP::OnTypeChange() {
  UpdateControls();
  CAttPS* ps = AttSheet();
  if (!ps) return;
  if (!ps->m_bModify) {
    int kind = ps->m_geomPage.m_nKind;
    const int type = ps->ResolveAttType(static_cast<CComboBox*>(GetDlgItem(IDC_HEAT_TYPE))->GetCurSel(), kind);
    if (CadInterface* cad = CadInterface::GetCurrent()) ps->m_symbolPage.SetColor(cad->GetLbcDimension(type));
  }
  if (!m_bNameEdited) ps->CopyNameText(*this, IDC_HEAT_TYPE, IDC_ATT_NAME);
}

// The film coefficient or heat generation against temperature, in the graph editor. OK keeps the
// edited points (a first edit makes the page's graph); Cancel changes nothing.
void CAttHeatPP::OnTable() {
  const bool generation = Category() == CAttPS::kVolumetricHeatFlow;
  int valueUnit = CaeUtFilmCoefficient;
  if (generation) {
    CadInterface* cad = CadInterface::GetCurrent();
    const AttLbcDescript* descriptor = cad ? cad->FindLbcDescript(ToAttType(AttCode::VolumetricHeatFlow)) : nullptr;
    if (descriptor) valueUnit = descriptor->unitType;
  }
  std::unique_ptr<CaeGraph>& graph = generation ? m_pHeatGenGraph : m_pFilmGraph;

  CString yTitle;
  GetDlgItemText(IDC_HEAT_LOWER_TITLE, yTitle);
  std::string y = yTitle.str();
  if (!y.empty() && y.front() == ' ') y.erase(0, 1);
  const std::string x = CAttPS::Text(IDS_LBC_TEMPERATURE).str();
  const std::string title = y + " " + resLoadString(IDS_GRAPH_VERSUS).Text() + " " + x;

  CGraphEditDlg editor;
  editor.m_graph = graph.get();
  editor.SetXUnitType(CaeUtTemperature);
  editor.SetYUnitType(valueUnit);
  editor.SetColumn(0, x.c_str(), FALSE, TRUE);
  editor.SetColumn(1, y.c_str(), FALSE, TRUE);
  editor.SetTitles(title.c_str(), x.c_str(), y.c_str(), 0);
  if (editor.DoModal() != IDOK) return;
  if (!graph) graph = std::make_unique<CaeGraph>();
  editor.StoreGraph(graph.get());
}
