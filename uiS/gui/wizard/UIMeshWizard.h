// The guide's analyze wizard: the part's material (taken from the material library or created
// and stored there), the solid to mesh picked in the drawing, the average element size, and then
// the analysis pages whose Finish submits the study. Only the intro page is a member; every later
// page is made when the user's choices make it the next one, and removed and deleted when the
// user goes back to an earlier choice.
#pragma once
#include <memory>

#include "amg/CaeMaterial.h"
#include "gui/wizard/UIConditionWizard.h"
#include "mfc/afx.h"

class AmgMesh;
class CAMGWizPS;
class CANL_ExecPP;
class CANL_FreqPP;
class CANL_IdentPP;
class CAMG_ElemSizePP;
class CAMG_GeomPickPP;
class MaterialLibrary;

// The definition temperature (native) of the material the new-material page stored last; the
// material's name is UICurrentMaterialName.
double UICurrentMaterialTemperature();
// Runs the analyze wizard modally over the guide. Cancel deletes a working mesh never handed to
// the drawing. Answers 1 when Finish submitted the study (step 6 is then marked), else 0.
int UIRunMeshWizard();

// A material page's property: its value edit or text, its unit label (0 for none), the unit type
// it is shown in and the format it is shown with.
struct MaterialField {
  int editId;
  int unitId;
  int unitType;  // CaeUnitType
  int prop;      // CaeMaterial::Prop
  const char* shown;
};

// The failing checks of a new material's values (host units) after string 1277, one line each;
// empty when every check passes. Conductivity and specific heat count for heat transfer only.
CString UIMeshMaterialRefusal(const double values[CaeMaterial::kPropCount], bool heat);

class CMat_IntroPP : public CCondWizPage {
 public:
  CMat_IntroPP();

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  LRESULT OnWizardNext() override;
  LRESULT OnWizardBack() override;

  int choice = -1;  // 0 an existing material, 1 a new one

 protected:
  void DoDataExchange(CDataExchange* dx) override;
};

// Shared by the two material pages: the library of the page's location and Browse.
class CMaterialPageBase : public CCondWizPage {
 public:
  explicit CMaterialPageBase(UINT templateId);
  ~CMaterialPageBase() override;

  MaterialLibrary* Library() const { return library_.get(); }
  const CString& LibraryLocation() const { return location_; }

 protected:
  CAMGWizPS* Sheet() const;
  // The configured location when the page has none yet, shown in the path text.
  void TakeConfiguredLocation();
  // Opens the library of the page's location (the previous one is given back first); false when
  // the CAD could not open it.
  bool OpenLibrary();
  void GiveBackLibrary();
  void ShowUnitLabels(const MaterialField* fields, size_t count);
  // Asks for another library file; an unreadable one is reported and the library in use kept.
  // True when the page now uses the chosen file.
  bool Browse();
  // The later pages of the sheet are replaced by a geometry and an element-size page.
  void ReplaceFollowingPages();
  // A task-modal box owned by the host's main window; the sheet is active again afterwards.
  int Ask(const CString& text, UINT type);
  void OnBrowse();
  virtual void AfterBrowse() {}
  DECLARE_MESSAGE_MAP()

  CString location_;

 private:
  struct ReturnLibrary {
    void operator()(MaterialLibrary* library) const;
  };
  std::unique_ptr<MaterialLibrary, ReturnLibrary> library_;
};

class CMAT_ListPP : public CMaterialPageBase {
 public:
  CMAT_ListPP();

  BOOL OnInitDialog() override;
  LRESULT OnWizardNext() override;
  LRESULT OnWizardBack() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

  void FillMaterialTree();
  void ShowSelectedMaterial();
  // For an item under the root: whether it is a material item, its material name and row index.
  // False for the root or an item that is neither.
  bool GetTreeSelection(HTREEITEM item, bool& materialItem, CString& name, int& row) const;

  CString selectedName;
  int SelectedRow() const { return selectedRow_; }

 protected:
  void AfterBrowse() override { FillMaterialTree(); }

 private:
  CTreeCtrl* Tree() const;
  int selectedRow_ = 0;
  HTREEITEM root_ = nullptr;
};

class CMat_PropsPP : public CMaterialPageBase {
 public:
  CMat_PropsPP();

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  LRESULT OnWizardNext() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

  CString name;
  double temperature = 0;  // host units
  // In the order of CaeMaterial::Prop, host units.
  double values[CaeMaterial::kPropCount] = {};

 protected:
  void DoDataExchange(CDataExchange* dx) override;

 private:
  // Re-shows a field after it lost the focus; E and nu also give the shear modulus.
  void OnFieldKillFocus(int id);
  void ShowFields();
  // Stores the material as new, or with its row added or replaced; false when nothing was
  // stored (the update declined, or the library refused the name).
  bool StoreMaterial(double nativeTemperature, const double native[CaeMaterial::kPropCount]);
};

class CAMGWizPS : public CPropertySheet {
 public:
  CAMGWizPS(const char* caption, CWnd* parent, UINT firstPage);
  ~CAMGWizPS() override;
  CAMGWizPS(const CAMGWizPS&) = delete;
  CAMGWizPS& operator=(const CAMGWizPS&) = delete;

  BOOL OnInitDialog() override;

  void RemoveExtraPages();
  void RemoveMaterialPages();
  void RemoveAnalysisPages();
  // Each adder replaces the page of its slot.
  void AddMaterialPage(bool existing);
  void AddMeshPages();
  void AddIdentificationPage();
  void AddFrequencyPage();
  void AddExecutionPage();

  // The geometry page's working mesh entity, or null; deleting it deletes the entity.
  AmgMesh* WorkingMesh() const;
  void DeleteWorkingMesh();

  BOOL finished = FALSE;
  CMat_IntroPP& IntroPage() { return intro_; }
  CMAT_ListPP* ListPage() const { return list_.get(); }
  CMat_PropsPP* PropsPage() const { return props_.get(); }
  CAMG_GeomPickPP* GeomPage() const { return geom_.get(); }
  CAMG_ElemSizePP* SizePage() const { return size_.get(); }
  CANL_IdentPP* IdentPage() const { return ident_.get(); }
  CANL_FreqPP* FreqPage() const { return freq_.get(); }
  CANL_ExecPP* ExecPage() const { return exec_.get(); }

 private:
  template <class Page>
  void RemoveSlot(std::unique_ptr<Page>& slot);
  template <class Page>
  void FillSlot(std::unique_ptr<Page>& slot);

  CMat_IntroPP intro_;
  std::unique_ptr<CMAT_ListPP> list_;
  std::unique_ptr<CMat_PropsPP> props_;
  std::unique_ptr<CAMG_GeomPickPP> geom_;
  std::unique_ptr<CAMG_ElemSizePP> size_;
  std::unique_ptr<CANL_IdentPP> ident_;
  std::unique_ptr<CANL_FreqPP> freq_;
  std::unique_ptr<CANL_ExecPP> exec_;
};
