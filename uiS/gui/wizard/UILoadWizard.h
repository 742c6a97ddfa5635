// The load wizard behind the guide's Loads step: a modal wizard sheet that makes one load at a
// time in the named load set, from the geometry picked in the drawing, the load type (by
// analysis kind and geometry) and its values, until the "More Loads?" page finishes.
#pragma once
#include "gui/wizard/UIConditionWizard.h"

class CLDWizPS;

// Type pages: the body-load, face/edge/vertex and heat-transfer load choices.
class CLD_TypePP : public CCondWizPage {
 public:
  enum Family { kBody, kFace, kHeat };
  explicit CLD_TypePP(Family family);

  int choice;

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  void DoDataExchange(CDataExchange* dx) override;
  LRESULT OnWizardNext() override;

 private:
  CLDWizPS* Sheet() const;
  int FirstRadio() const;
  Family family_;
};

// Vector values (x, y, z) in a coordinate system of the type's kinds, Global or Local.
class CLD_VectorDataPP : public CCondValuePage {
 public:
  CLD_VectorDataPP();

  double x = 0, y = 0, z = 0;
  CString frameText;
  CString typeText;
  int coordKind = kCoordCartesian;
  int local = 0;

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  void DoDataExchange(CDataExchange* dx) override;
  LRESULT OnWizardNext() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  // Fills the Type combo with the kinds the type allows and the Frame combo with Global, Local.
  void FillCoordSysCombos();
  // The kind from the Type text and the three component labels.
  void UpdateAxisLabels(bool withColon);
  static RememberedSymbol remembered;
};

// One value (pressure, heat flux or flow, volumetric heat flow), on a face system.
class CLD_ScalarDataPP : public CCondValuePage {
 public:
  CLD_ScalarDataPP();
  double value = 0;
  int coordKind = kCoordFace;

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  LRESULT OnWizardNext() override;
  static RememberedSymbol remembered;
};

// Reference and part temperatures of a body temperature load; zeros are accepted.
class CLD_TempDataPP : public CCondValuePage {
 public:
  CLD_TempDataPP();
  double reference = 0;
  double part = 0;

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  LRESULT OnWizardNext() override;
  static RememberedSymbol remembered;
};

// Ambient temperature and film coefficient of a convection load; zeros are accepted.
class CLD_ConvDataPP : public CCondValuePage {
 public:
  CLD_ConvDataPP();
  double ambient = 0;
  double film = 0;

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  LRESULT OnWizardNext() override;
  static RememberedSymbol remembered;
};

class CLDWizPS : public CCondWizSheet {
 public:
  // Run-time slots, in the order of the parked record's presence flags.
  enum Slot : int { kBodyType, kFaceType, kHeatType, kVector, kScalar, kTemperature, kConvection, kMore };

  CLDWizPS(const char* caption, CWnd* parent, UINT selectPage);
  ~CLDWizPS() override;

  // The running load wizard, null when none runs (set by the launcher for one run).
  static CLDWizPS* Current();

  int GeometryKind() const { return geomPage.kind; }
  // The chosen code: the data pages are rebuilt with its value page and the More page.
  void ChooseCondition(int code);
  // Creates one load from the state and the value page present: 0 when made, else the page
  // to go to (the geometry page when nothing is picked).
  LRESULT CreateLoad();

  BOOL OnInitDialog() override;
  LRESULT OnGeometryNext() override;
  void ParkForDeferredPick() override;
  int MoreSlot() const override { return kMore; }

 protected:
  std::unique_ptr<CPropertyPage> MakeSlotPage(int slot) override;
};

// Runs the load wizard for an analysis kind; 1 when it finished with the success flag (guide
// step 3 then marked done).
int UIRunLoadSheet(int analysisKind);
