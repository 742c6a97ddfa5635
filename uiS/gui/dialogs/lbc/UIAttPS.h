// The attribute sheet through which a load, a restraint or a heat-transfer environment is added
// or modified: the value page of its kind, the Symbol page and, for a new attribute, the Geometry
// page. The sheet validates before it closes and holds the tables its pages share: type code to
// category, category and geometry to type code, default names, allowed geometry and unit texts.
#pragma once

#include "gui/dialogs/lbc/UIAttHeatPP.h"
#include "gui/dialogs/lbc/UIAttLoadPP.h"
#include "gui/dialogs/lbc/UIAttRestPP.h"
#include "gui/dialogs/optimization/UIOptSelGeomPP.h"
#include "gui/dialogs/units/UIGenericPS.h"
#include "gui/dialogs/units/UISymbolPP.h"

class AttBaseLbc;
class FerResult;

// The temperature result of the current result set, null when there is none.
FerResult* UIAttTemperatureResult();
// The result of the current result set a results-based temperature names (its values brought in
// from the data file when needed); null when there is none or it is not a temperature.
FerResult* UIAttNamedTemperatureResult(const CString& name);

class CAttPS : public CGenericPS {
 public:
  enum SheetKind { kLoadSheet = 0, kRestraintSheet = 1, kHeatSheet = 2 };
  // Tab images, in the order the editors add them.
  enum TabImage {
    kValueImage = 0,
    kSymbolImage = 1,
    kGeometryImage = 2,
    kNoGeometryImage = 3,
    kGeometryChosenImage = 4
  };
  // Categories: the entries of the value pages' type combos.
  enum LoadCategory {
    kDistributedForce = 0,
    kTotalForce = 1,
    kEnforcedDisplacement = 2,
    kPressure = 3,
    kMoment = 4,
    kAcceleration = 5,
    kGravity = 6,
    kSpin = 7,
    kTemperature = 8
  };
  enum RestraintCategory { kCustomRestraint = 0, kPinnedRestraint = 1 };
  enum HeatCategory { kConvection = 0, kVolumetricHeatFlow = 1, kFixedTemperature = 2, kHeatFlux = 3, kHeatFlow = 4 };
  static constexpr int kFaceCoordType = 3;
  static constexpr int kCoordTypes = 4;

  CAttPS(int sheetKind, UINT captionId, CWnd* parent = nullptr, UINT selectPage = 0);
  ~CAttPS() override;

  // Type code to category, -1 for a code no page lists.
  static int ValueCategory(int type);
  // Category and geometry kind to type code on a sheet of that kind (0: none); an entry that
  // forces a face or a solid also sets `geometryKind`.
  static int ResolveAttType(int sheetKind, int category, int& geometryKind);
  int ResolveAttType(int category, int& geometryKind) const {
    return ResolveAttType(SheetKind(), category, geometryKind);
  }
  // The type's default name from the string table; empty for 0 and 26-28.
  static CString DefaultName(int type);
  static BOOL IsKindAllowed(int sheetKind, int category, int geometryKind);
  // The short name of the type's unit in the host system; empty without a descriptor.
  static CString UnitText(int type);

  // The sheet's kind, told by its first page.
  int SheetKind() const;
  // A geometry is chosen: always while modifying, else when the Geometry page holds a pick.
  bool HasGeometry() const { return m_bModify || m_geomPage.m_pGeometry != nullptr; }
  void ClearGeometry() { m_geomPage.m_pGeometry = nullptr; }

  void SetPickFilter(int category, int coordType);
  BOOL TakeCurrentSelection(BOOL solid, BOOL face, BOOL edge, BOOL vertex);
  void CopyNameText(CPropertyPage& page, int sourceId, int targetId);
  // Fills a page's type combo: while modifying, the one type the attribute has; otherwise the
  // sheet's categories first..last, named as on `namingKind` geometry, with `selected` chosen.
  void FillTypeList(CWnd& page, int comboId, int firstCategory, int lastCategory, int namingKind, int selected);
  // A string of the resource module; empty for id 0.
  static CString Text(UINT id);
  // Shows or enables one control of a page, when the page has it.
  static void ShowControl(CWnd& page, int id, bool shown);
  static void EnableControl(CWnd& page, int id, bool enabled);
  // Fills a value page's frame list (global, local) and coordinate-type list and selects both.
  static void FillFrameLists(CWnd& page, int frame, int coordType, CString& coordTypeText);
  // The resource id of a component label by coordinate type (out of range: Cartesian); 0 for none.
  static UINT AxisLabel(int coordType, int axis);
  // Answers the sheet's Help for the page of `templateId`; false for any other notice.
  static bool ShowPageHelp(LPARAM lParam, LRESULT* result, UINT templateId);
  // "&Add" enabled outside modify mode; OK as asked.
  void EnableButtons(BOOL ok);

  BOOL OnInitDialog() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

  AttBaseLbc* m_pAttribute = nullptr;
  BOOL m_bModify = FALSE;
  BOOL m_bAddAnother = FALSE;
  CAttLoadPP m_loadPage;
  CAttRestPP m_restPage;
  CAttHeatPP m_heatPage;
  CSymbolPP m_symbolPage;
  COptSelGeomPP m_geomPage;

 private:
  // Every page whose window exists takes its controls' values; a refusal activates that page.
  bool TakePageData();
  // The value checks of the sheet's kind; false after a refusal was shown.
  bool ValuesAcceptable();
  bool LoadValuesAcceptable();
  bool HeatValuesAcceptable();
};
