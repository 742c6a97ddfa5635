#include "gui/graph2d/UIGraphMaterialDlg.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "amg/CaeGraph.h"
#include "amg/CaeList.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadMaterialLibrary.h"
#include "cadInterface/CadResources.h"
#include "gui/utils/UIPickers.h"
#include "res/ResourceIds.h"

namespace {

constexpr DWORD_PTR kTemplateHelp = 0x20000;
constexpr UINT kContextHelpCommand = 1;
constexpr int kTickedAtStart = 5;
constexpr int kTemperatureUnit = 2;
// The dialog's property i is value kValueOfProperty[i] of a material row (Poisson's ratio, value
// 3, is never plotted).
constexpr int kValueOfProperty[] = {CaeMaterial::kDensity,   CaeMaterial::kModulus,     CaeMaterial::kShearModulus,
                                    CaeMaterial::kYield,     CaeMaterial::kUltimate,    CaeMaterial::kConductivity,
                                    CaeMaterial::kExpansion, CaeMaterial::kSpecificHeat};
constexpr int kPlottedProperties = static_cast<int>(std::size(kValueOfProperty));

CString loadText(UINT id) {
  CaeString text;
  resLoadString(text, id);
  return CString(text.c_str());
}

}  // namespace

BEGIN_MESSAGE_MAP(CGraphMaterialDlg, CResizableDlg)
ON_BN_CLICKED(IDHELP, OnHelp)
END_MESSAGE_MAP()

CGraphMaterialDlg::CGraphMaterialDlg(CWnd* parent) : CResizableDlg(IDD_GRAPH_MATERIAL, parent) {}

BOOL CGraphMaterialDlg::OnInitDialog() {
  m_listProperties.SubclassDlgItem(IDC_GRAPH_PROPERTIES, this);
  m_listMaterials.SubclassDlgItem(IDC_GRAPH_MATERIALS, this);
  CResizableDlg::OnInitDialog();

  m_listMaterials.ResetContent();
  if (m_pLibrary) {
    CaeOwningList<CaeString> names;  // the names are ours to free
    m_pLibrary->ListNames(names);
    for (auto* node = names.FirstNode(); node->HasItem(); node = node->Next())
      m_listMaterials.AddString(node->Item()->c_str());
  }
  for (int i = 0; i < m_listMaterials.GetCount(); ++i) {
    CString text;
    m_listMaterials.GetText(i, text);
    if (text.str() == m_strMaterial.str()) m_listMaterials.SetCheck(i, BST_CHECKED);
  }
  if (!m_strMaterial.IsEmpty()) m_listMaterials.SelectString(-1, m_strMaterial);

  m_listProperties.ResetContent();
  for (int i = 0; i < m_propertyNames.GetSize(); ++i) {
    m_listProperties.AddString(m_propertyNames[i]);
    if (i < kTickedAtStart) m_listProperties.SetCheck(i, BST_CHECKED);
  }
  return TRUE;
}

void CGraphMaterialDlg::OnOK() {
  const CString suffix = loadText(IDS_GRAPH_VERSUS) + loadText(IDS_LBC_TEMPERATURE);
  const CString xTitle = loadText(IDS_LBC_TEMPERATURE) + " " + m_strTempUnit;
  std::vector<std::unique_ptr<CaeGraph>> graphs;
  std::vector<CString> missing;
  for (int i = 0; i < m_listProperties.GetCount() && i < m_propertyNames.GetSize() && i < kPlottedProperties; ++i) {
    if (m_listProperties.GetCheck(i) != BST_CHECKED) continue;
    auto graph = std::make_unique<CaeGraph>();
    graph->SetName(CaeString((m_propertyNames[i] + suffix).str().c_str()));
    graph->XAxis(CaeGraphAxis(CaeString(xTitle.str().c_str())));
    const CString unitLabel = i < m_unitLabels.GetSize() ? m_unitLabels[i] : CString();
    graph->YAxis(CaeGraphAxis(CaeString((m_propertyNames[i] + " " + unitLabel).str().c_str())));
    int series = -1;
    int type = 2;
    for (int m = 0; m < m_listMaterials.GetCount(); ++m) {
      if (m_listMaterials.GetCheck(m) != BST_CHECKED) continue;
      CString name;
      m_listMaterials.GetText(m, name);
      CaeMaterial* material = m_pLibrary ? m_pLibrary->Find(CaeString(name.str().c_str())) : nullptr;
      if (!material) {
        // A name the library no longer holds is left out (and said once), not read blindly.
        if (graphs.empty()) missing.push_back(name);
        continue;
      }
      ++series;
      graph->SetSeriesTitle(series, CaeString(name.str().c_str()));
      CaeArray<double> temperatures;
      material->GetTemps(temperatures);
      for (int r = 0; r < temperatures.Count(); ++r) {
        double values[CaeMaterial::kPropCount] = {};
        if (!material->GetProp(temperatures[r], values)) continue;
        const double unit =
            i < m_units.Count() ? m_units[i].NativeToHost(values[kValueOfProperty[i]]) : values[kValueOfProperty[i]];
        graph->AddPoint(CaeUnit::NativeToHost(kTemperatureUnit, temperatures[r]), unit, series, -1);
      }
      if (material->NumProp() == 1 && type == 2) type = 1;
      if (material->NumProp() > 1) type = 0;
    }
    graph->Type(type);
    graphs.push_back(std::move(graph));
  }
  for (const CString& name : missing) {
    char text[512];
    std::snprintf(text, sizeof text, loadText(IDS_GRAPH_MATERIAL_MISSING).str().c_str(), name.str().c_str());
    CadMessageBox(GetSafeHwnd(), text, MB_OK | MB_ICONEXCLAMATION);
  }
  if (graphs.empty() || graphs.front()->NumPolyLine() == 0) return;  // the dialog stays; the graphs go
  EndDialog(IDOK);
  for (auto& graph : graphs) UIShowGraphWindow(graph.release());
}

void CGraphMaterialDlg::OnHelp() { UIShowHelp(kTemplateHelp + IDD_GRAPH_MATERIAL, kContextHelpCommand); }
