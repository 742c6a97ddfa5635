// The restraint wizard behind the guide's Restraints step: the twin of the load wizard with
// shorter chains. A structural restraint is chosen by type (pinned, sliding, bolted, welded,
// fixed) and made on the symbol page; a heat-transfer restraint is a fixed temperature made on
// its value page.
#pragma once
#include "gui/wizard/UIConditionWizard.h"

class CBCWizPS;

// Pinned and Bolted need a cylindrical face, Sliding a face; the selection starts on Welded.
class CBC_TypePP : public CCondWizPage {
 public:
  CBC_TypePP();
  int choice = kPinned;

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  void DoDataExchange(CDataExchange* dx) override;
  LRESULT OnWizardNext() override;
};

// The fixed temperature of a heat-transfer restraint, with its symbol.
class CBC_ScalarDataPP : public CCondValuePage {
 public:
  CBC_ScalarDataPP();
  double value = 0;
  int coordKind = kCoordFace;

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  LRESULT OnWizardNext() override;
  static RememberedSymbol remembered;
};

// "Symbol Data": the colour and fixed size of a structural restraint's symbol; Next makes the
// restraint through its own restraint sheet. The size used last is remembered module-wide.
class CATT_SymbolPP : public CCondWizPage {
 public:
  CATT_SymbolPP();

  int sizeMode = -1;
  double fixedSize = 0;
  double scaleFactor = 0;
  CString lengthLabel;
  CString scaleLabel;
  int colour = -1;

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  LRESULT OnWizardNext() override;

  static RememberedSymbol remembered;
};

class CBCWizPS : public CCondWizSheet {
 public:
  enum Slot : int { kType, kValue, kSymbol, kMore };

  CBCWizPS(const char* caption, CWnd* parent, UINT selectPage);
  ~CBCWizPS() override;

  int subType = kWelded;

  int GeometryKind() const { return geomPage.kind; }
  // Creates one restraint: 0 when made, else the page to go to (-1 stays).
  LRESULT CreateRestraint();

  BOOL OnInitDialog() override;
  LRESULT OnGeometryNext() override;
  void ParkForDeferredPick() override;
  int MoreSlot() const override { return kMore; }

 protected:
  std::unique_ptr<CPropertyPage> MakeSlotPage(int slot) override;
};

// Runs the restraint wizard for an analysis kind; 1 when it finished with the success flag
// (guide step 4 then marked done).
int UIRunRestraintSheet(int analysisKind);
