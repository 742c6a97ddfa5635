// CGraphMaterialDlg: "Graph Material": ticked materials of the open library against ticked
// properties; OK opens one Graph window per property, a curve per material against temperature,
// in host units.
#pragma once

#include "amg/CaeArray.h"
#include "amg/CaeUnit.h"
#include "gui/dialogs/common/UIResizableDlg.h"
#include "mfc/controls.h"

class MaterialLibrary;

class CGraphMaterialDlg : public CResizableDlg {
 public:
  explicit CGraphMaterialDlg(CWnd* parent = nullptr);

  CCheckListBox m_listMaterials;
  CCheckListBox m_listProperties;
  CString m_strMaterial;
  CString m_strTempUnit;
  MaterialLibrary* m_pLibrary = nullptr;
  // Parallel: property i is the i-th of density, Young's modulus, shear modulus, yield stress,
  // ultimate stress, conductivity, expansion, specific heat.
  CStringArray m_propertyNames;
  CStringArray m_unitLabels;
  CaeArray<CaeUnit> m_units;

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnHelp();
  DECLARE_MESSAGE_MAP()
};
