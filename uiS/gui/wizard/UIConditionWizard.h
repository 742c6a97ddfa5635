// What the load and restraint wizards of the guide share: the tables that turn the user's choices
// into condition type codes, restraint flags and value pages, the symbol colour and size rules,
// the page base with its pictures and help, and the sheet base that grows pages at run time and
// picks the geometry, blocking or deferred through the CAD's pick prompt.
#pragma once
#include <array>
#include <memory>
#include <vector>

#include "amg/CaeString.h"
#include "gui/wizard/UIPagePicture.h"
#include "gui/wizard/UIWizBasePP.h"
#include "mfc/afx.h"
#include "mfc/propsheet.h"

class AcBrEntity;
struct ConditionPickRequest;

// Analysis kinds as the guide numbers them.
inline constexpr int kCondWizStress = 0;
inline constexpr int kCondWizHeat = 3;

// The load wizard's geometry kinds; the restraint wizard numbers face, edge, vertex from 0.
enum LoadGeometry : int { kLoadBody = 0, kLoadFace = 1, kLoadEdge = 2, kLoadVertex = 3 };
enum RestraintGeometry : int { kRestraintFace = 0, kRestraintEdge = 1, kRestraintVertex = 2 };

// Choices of the type pages (radio index).
enum BodyLoadChoice : int { kSpin = 0, kGravity = 1, kAcceleration = 2, kBodyTemperature = 3 };
enum FaceLoadChoice : int { kPressure = 0, kTotalForce = 1, kDistributedForce = 2, kMoment = 3, kDisplacement = 4 };
enum HeatLoadChoice : int { kHeatFlow = 0, kHeatFlux = 1, kConvection = 2, kVolumetricHeatFlow = 3 };
enum RestraintSubType : int { kPinned = 0, kSliding = 1, kBolted = 2, kWelded = 3, kFixedRestraint = 4 };

enum class LoadValuePage : int { Vector, Scalar, Temperature, Convection };

// Coordinate-system kinds (strings 692-695 name them).
enum CoordKind : int { kCoordCartesian = 0, kCoordCylindrical = 1, kCoordSpherical = 2, kCoordFace = 3 };

// ---- the tables ----

int BodyLoadCode(int choice);
// Whether a face/edge/vertex load choice is offered on that geometry. Pressure and Moment need a
// face (a moment on an edge or vertex has no code of its own); Distributed Force needs a face or
// an edge.
bool FaceLoadChoiceEnabled(int geometry, int choice);
// The code of an enabled choice; -1 for a choice that is not offered there.
int FaceLoadCode(int geometry, int choice);
bool HeatLoadChoiceEnabled(int geometry, int choice);
int HeatLoadCode(int geometry, int choice);
// The choice the heat type page starts with for a geometry.
int HeatLoadInitialChoice(int geometry);
LoadValuePage LoadValuePageOf(int code);

// Restraint codes: heat transfer gives a fixed temperature per geometry; otherwise the sub-type
// decides on a face (pinned 25, else 7) and an edge or vertex is 6 or 5.
int RestraintCode(int analysisKind, int geometry, int subType);
// Pinned and Bolted need a cylindrical face, Sliding a face; Welded and Fixed are always offered.
bool RestraintChoiceEnabled(int geometry, int subType, bool cylindricalFace);
// The CAD reads a condition's free flags as three translations and three rotations.
inline constexpr int kCondFreeFlags = 6;
struct RestraintFrame {
  int freeFlags[3];
  int coordKind;
};
// Pinned and sliding leave the face's two in-plane directions free; the others fix everything.
RestraintFrame RestraintFrameOf(int subType);

// The unit type of a condition's values: its descriptor's, CaeUtNone (25) without one.
int ConditionUnitType(int code);
// The colour list index of a condition type's default colour; Red (index 0) when the default is
// not in the list.
int DefaultColorIndex(int code);
// The colour code at a list index (-1 outside).
int ColorCodeAt(int index);
// The symbol size in native length units: Fixed takes the typed size, Scaled the length of the
// host value vector per typed size. False, nothing set, for a size that is not above 0.
bool NativeSymbolSize(int mode, double hostSize, const double hostValue[3], double& nativeSize);
// The name a new condition gets: its type's display name with blanks as underscores.
CaeString ConditionName(int code);
// The short name of the host unit of a unit type ("" without a unit table).
CString HostUnitShortName(int unitType);
// The text of coordinate-system kind 0-3.
CString CoordKindName(int kind);

// A page class's remembered symbol size and mode (Fixed 0, Scaled 1), module-wide.
struct RememberedSymbol {
  double size = 1.0;
  int mode = 0;
};
// Back to 1.0 and Fixed for every page class (unload, tests).
void UIResetConditionWizardMemory();

// ---- pages ----

// A page of the condition wizards: help on PSN_HELP, wizard buttons on activation, a picture at a
// placeholder and bitmaps placed into picture statics, owned by the page.
class CCondWizPage : public CWizBasePP {
 public:
  CCondWizPage(UINT templateId, DWORD buttons, DWORD helpContext);
  ~CCondWizPage() override;

  BOOL OnSetActive() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  DWORD HelpContext() const { return helpContext_; }

 protected:
  // The picture drawn at the top-left corner of `placeholderId`.
  void AttachPicture(int placeholderId, UINT bitmapId);
  // A bitmap loaded from the resources into the picture static `staticId`.
  void PlaceBitmap(int staticId, UINT bitmapId);
  void OnPaint();
  BOOL OnQueryNewPalette();
  void OnPaletteChanged(CWnd* changedBy);
  // Refuses the data exchange with the message of `stringId`.
  static void Refuse(CDataExchange* dx, UINT stringId);

  DECLARE_MESSAGE_MAP()

 private:
  DWORD buttons_;
  DWORD helpContext_;
  std::vector<std::unique_ptr<CPagePicture>> pictures_;
  std::vector<HBITMAP> bitmaps_;
};

// Colour, size and Fixed/Scaled of a value page, with the page class's remembered pair.
class CCondValuePage : public CCondWizPage {
 public:
  CCondValuePage(UINT templateId, DWORD helpContext, RememberedSymbol& remembered);

  int colorIndex = 0;
  double symbolSize = 1.0;
  int sizeMode = 0;

  // The code the page's values belong to and the unit type of its Scaled reference.
  void SetCondition(int code, int valueUnitType);
  void RememberSymbol() const;
  int ValueUnitType() const { return valueUnitType_; }

 protected:
  // Fills the colour combo with the type's default selected, shows the size unit, enables Scaled.
  void InitSymbolControls();
  void UpdateSizeUnits();
  // Colour, mode and size; a size that is not above 0 is refused.
  void ExchangeSymbol(CDataExchange* dx);
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

  int code_ = 0;
  int valueUnitType_ = 25;
  RememberedSymbol& remembered_;
};

class CCondWizSheet;

// The set name page: the drawing's load (restraint) sets, a proposed name, and the set made current
// on Next; a set that already holds conditions for the model goes straight to the More page.
class CCondNamePP : public CCondWizPage {
 public:
  explicit CCondNamePP(bool restraint);

  CString acceptedName;
  CString comboText;

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  void DoDataExchange(CDataExchange* dx) override;
  LRESULT OnWizardNext() override;
  LRESULT OnWizardBack() override;

 private:
  CCondWizSheet* Sheet() const;
  int ComboId() const;
  bool restraint_;
};

// The geometry page: the kind of geometry the condition acts on; Next picks it (the sheet decides
// the chain), "&Change View" parks the wizard for a pick after the user has turned the view.
class CCondGeomPP : public CCondWizPage {
 public:
  explicit CCondGeomPP(bool restraint);

  int kind;

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  LRESULT OnWizardNext() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

 private:
  CCondWizSheet* Sheet() const;
  bool restraint_;
};

// The closing page: "&Yes" goes back to the geometry page, Finish marks the guide step done.
class CCondMorePP : public CCondWizPage {
 public:
  explicit CCondMorePP(bool restraint);

  BOOL OnInitDialog() override;
  BOOL OnWizardFinish() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

 private:
  bool restraint_;
};

// ---- sheets ----

// The wizard sheet of one kind of condition: a name page and a geometry page of its own, then
// run-time pages in fixed slots, each made by the Next that needs it.
class CCondWizSheet : public CPropertySheet {
 public:
  static constexpr int kSlots = 8;

  CCondWizSheet(bool restraint, const char* caption, CWnd* parent, UINT selectPage);
  ~CCondWizSheet() override;

  CCondNamePP namePage;
  CCondGeomPP geomPage;

  int success = 0;
  int analysisKind = 0;
  int conditionCode = 0;
  AcBrEntity* picked = nullptr;

  bool HasSlot(int slot) const { return slots_[static_cast<size_t>(slot)] != nullptr; }
  CPropertyPage* SlotPage(int slot) const { return slots_[static_cast<size_t>(slot)].get(); }
  // Makes and adds the slot's page unless it is there.
  void AddSlot(int slot);
  // Removes and deletes the slot pages from `first` on (the type pages come first).
  void RemoveSlotsFrom(int first);
  // Hides the sheet, picks with the CAD (kind 1 body .. 4 vertex) and shows it again. The pick
  // becomes the picked geometry; an engine exception is printed. True when something was picked.
  bool PickGeometry(int pickKind);
  // The presence flags in slot order.
  void SaveSlots(int* flags, const std::array<int, kSlots>& recordIndex) const;
  void RestoreSlots(const int* flags, const std::array<int, kSlots>& recordIndex);
  // Ends the sheet with -2 after keeping its position, and shows the CAD's pick prompt with the
  // resume entry saved.
  void EndForDeferredPick(POINT& savedPosition, int resumeEntry);
  // After the base initialisation: the page of a parked pick at the saved position, or the CAD
  // window active and the sheet centred on the guide. The guide is hidden either way.
  void PlaceAfterRestore(bool restored, bool cancelled, const POINT& savedPosition);

  // The chain after the geometry page for the chosen kind, then the pick; -1 keeps the page.
  virtual LRESULT OnGeometryNext() = 0;
  // Parks the sheet's state with the CAD and ends the sheet for a pick after a view change.
  virtual void ParkForDeferredPick() = 0;
  virtual int MoreSlot() const = 0;

 protected:
  virtual std::unique_ptr<CPropertyPage> MakeSlotPage(int slot) = 0;

 private:
  std::array<std::unique_ptr<CPropertyPage>, kSlots> slots_;
};
