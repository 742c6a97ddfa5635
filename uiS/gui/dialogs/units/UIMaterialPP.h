// The "Materials" page of the options sheet: the editor of the material library file. It lists
// the library's materials, shows one material at one definition temperature in host units, and
// adds, renames and deletes materials and temperature rows.
//
// Edits reach the library (and its file) when they are committed: when the page becomes active,
// another material or temperature is selected, before NEW, before the graph, on Apply and before
// another library is chosen. Values are read from the edits only at a commit, in the host units
// they were typed in; the row they go to is the row the page selected, not a row found again from
// the shown text. The page owns its library object; giving it back writes the file when modified.
#pragma once
#include <memory>
#include <vector>

#include "amg/CaeMaterial.h"
#include "amg/CaeString.h"
#include "mfc/afx.h"
#include "mfc/controls.h"
#include "mfc/propsheet.h"

class CadInterface;
class MaterialLibrary;

// The name of the material last selected on the Materials page; the frame keeps it per drawing.
extern CString UICurrentMaterialName;

class CMaterialPP : public CPropertyPage {
 public:
  CMaterialPP();
  ~CMaterialPP() override;

  // Commits the pending edits and shows the current material again (in the host units of now).
  // 0 when the edits were refused: they stay pending and the sheet must stay open.
  BOOL Apply();
  // Commits the pending edits only: 0 when they were refused (the page says why).
  BOOL CommitMaterial();
  // Whether edits wait for a commit.
  BOOL HasPendingEdits() const { return m_bDirty; }

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

  // The library, for tests and the graph; null before the page was shown.
  MaterialLibrary* Library() const { return m_pLibrary.get(); }
  CaeMaterial* CurrentMaterial() const { return m_pMaterial; }

  BOOL m_bLoading = FALSE;
  BOOL m_bDirty = FALSE;
  CBitmapButton m_btnNewMaterial;
  CBitmapButton m_btnDeleteMaterial;
  CBitmapButton m_btnNewTemperature;
  CBitmapButton m_btnDeleteTemperature;
  BOOL m_bShown = FALSE;
  CString m_strLibraryPath;
  CString m_strMaterial;
  CString m_strTemperature;
  double m_dModulus = 0;
  double m_dShearModulus = 0;
  double m_dYieldStress = 0;
  double m_dPoisson = 0;
  double m_dDensity = 0;
  double m_dUltimateStress = 0;
  double m_dExpansion = 0;
  double m_dConductivity = 0;
  double m_dSpecificHeat = 0;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void OnGraph();
  void OnNewMaterial();
  void OnDeleteMaterial();
  void OnNewTemperature();
  void OnDeleteTemperature();
  void OnSelectTemperature();
  void OnEditTemperatureText() { SetModified(TRUE); }
  void OnTemperatureKillFocus() { TakeTypedTemperature(); }
  void OnSelectMaterial();
  void OnEditMaterialText() { SetModified(TRUE); }
  void OnMaterialKillFocus() { TakeTypedName(); }
  void OnChangeModulus();
  void OnChangeShearModulus() {}
  void OnChangeProperty();
  void OnBrowseDatabase();
  DECLARE_MESSAGE_MAP()

 private:
  struct ReturnLibrary {
    void operator()(MaterialLibrary* library) const;
  };
  // The nine values of one row in native units, in the order of CaeMaterial::Prop.
  using Values = double[CaeMaterial::kPropCount];

  CComboBox& MaterialCombo();
  CComboBox& TemperatureCombo();
  CString ComboText(int id);
  void LoadLibraryList();
  void SelectCurrentMaterial();
  // Lists the current material's rows and selects the one shown as m_strTemperature (else the
  // first); then loads the fields.
  void ListTemperatures();
  void SelectRow(int index);
  // The native temperature of the selected row; -1000 without one.
  double SelectedTemperature() const;
  void LoadFields();
  void SetUnitLabels();
  // The page's nine values in native units; false when a text is not a number (the platform's
  // message is shown) or, with `check`, when the material checks refuse them (message 1277).
  bool ReadFields(Values& native, bool check);
  bool CheckValues();
  CaeMaterial* BuildMaterial();
  // A name typed over the current material's: refused when empty or taken, else the combo
  // shows it and the next commit renames the material. False when refused.
  bool TakeTypedName();
  // A temperature typed over the selected row's: the row moves there, unless another row has that
  // temperature. False when refused.
  bool TakeTypedTemperature();
  void SaveLibrary();
  void ShowMessage(const CString& text);

  std::unique_ptr<MaterialLibrary, ReturnLibrary> m_pLibrary;
  CaeMaterial* m_pMaterial = nullptr;              // owned by the library
  CString m_strListedName;                         // the current material's entry in the list
  const CaeMaterial* m_pListedMaterial = nullptr;  // whose rows are listed; compared, never followed
  struct ShownValue {
    CString text;       // as the edit was given it
    double native = 0;  // the value it came from, every digit
  };
  ShownValue m_shown[CaeMaterial::kPropCount];  // in the order of the value edits
  std::vector<double> m_rowTemperatures;        // native, one per temperature combo entry
  int m_nSelectedRow = -1;                      // the row the fields show and a commit writes
};
