// The analyze wizard's geometry and element-size pages: the solid to mesh is picked in the
// drawing while the sheet hides, and becomes a mesh entity held in memory; the element-size page
// offers the average element size on a logarithmic slider and on Next hands the entity to the
// drawing with its meshing deferred.
#pragma once
#include "gui/dialogs/mesh/UILogSlider.h"
#include "gui/wizard/UIConditionWizard.h"
#include "mfc/afx.h"

class AmgMesh;
class CAMGWizPS;

class CAMG_GeomPickPP : public CCondWizPage {
 public:
  CAMG_GeomPickPP();
  ~CAMG_GeomPickPP() override;

  BOOL OnInitDialog() override;
  LRESULT OnWizardNext() override;

  // One pick of a solid; the working mesh entity is replaced when the pick yields one.
  void PickGeometry();

  AmgMesh* WorkingMesh() const { return mesh_; }
  // The drawing now owns the entity (or removed it): the page forgets it.
  void ForgetWorkingMesh() { mesh_ = nullptr; }
  void DeleteWorkingMesh();

 private:
  AmgMesh* mesh_ = nullptr;
};

class CAMG_ElemSizePP : public CCondWizPage {
 public:
  CAMG_ElemSizePP();

  BOOL OnSetActive() override;
  LRESULT OnWizardNext() override;
  LRESULT OnWizardBack() override;
  void OnCancel() override;

  double minimum = -1.0;  // host length units
  double maximum = -1.0;
  double size = -1.0;
  const UISizeSlider& Slider() const { return slider_; }

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void OnHScroll(UINT code, UINT position, CScrollBar* bar);
  DECLARE_MESSAGE_MAP()

 private:
  CAMGWizPS* Sheet() const;
  CSliderCtrl* SliderControl();
  // Estimate, slider and mesh controls for a working mesh entity the page does not show yet.
  void SetUpForWorkingMesh();
  void ForgetWorkingMesh();
  void SetMeshSize() const;

  UISizeSlider slider_;
  const AmgMesh* setUpFor_ = nullptr;  // compared only
};
