// The problem-definition wizard of the guide's first step: the name of the simulation model of
// the guide's kind (an existing one or a new default name), and, while the drawing's length unit
// has not been chosen, a second page for the unit the drawing was made in, which also sets the
// matching host unit system. Finish opens (or creates) the model.
#pragma once
#include <memory>

#include "gui/wizard/UIPagePicture.h"
#include "gui/wizard/UIWizBasePP.h"
#include "mfc/afx.h"

class CPDWizPS;

// The host's main window becomes active, the sheet is centred over the guide and the guide hides;
// the units wizard opens the same way.
void UIOpenStepWizardOverGuide(CPropertySheet& sheet);

// A step-wizard page with one picture, painted with its palette realised; on palette changes the
// page repaints at once (a sent, not posted, paint).
class CPicturePagePP : public CWizBasePP {
 public:
  explicit CPicturePagePP(UINT templateId) : CWizBasePP(templateId) {}

 protected:
  void AttachPicture(int placeholderId, UINT bitmapId);
  void OnPaint();
  BOOL OnQueryNewPalette();
  void OnPaletteChanged(CWnd* changedBy);
  DECLARE_MESSAGE_MAP()

  CPagePicture picture_;
};

class CPD_AnalTypePP : public CPicturePagePP {
 public:
  CPD_AnalTypePP();

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  LRESULT OnWizardNext() override;
  LRESULT OnWizardBack() override;
  BOOL OnWizardFinish() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

  // 0 when the typed name is valid and not empty (it becomes the accepted name), else -1 after
  // saying why; the page stays.
  int Validate();
  // Opens the model of the accepted name and kind, unless the kind is unknown.
  void Apply();

  CString acceptedName;
  int kind = -1;  // the guide kind, copied on initialisation
  CString name;

 protected:
  void DoDataExchange(CDataExchange* dx) override;

 private:
  CPDWizPS* Sheet() const;
  void FillModelNames();

  BOOL endedByBack_ = FALSE;
};

class CPD_UnitsPP : public CPicturePagePP {
 public:
  CPD_UnitsPP();

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  BOOL OnWizardFinish() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  // Sets the chosen length unit and, for meter to foot, its host unit system, which the drawing
  // owns from then on (nothing is freed here).
  void SetChosenUnit();
};

class CPDWizPS : public CPropertySheet {
 public:
  CPDWizPS(const char* caption, CWnd* parent, UINT firstPage);
  ~CPDWizPS() override;
  CPDWizPS(const CPDWizPS&) = delete;
  CPDWizPS& operator=(const CPDWizPS&) = delete;

  BOOL OnInitDialog() override;
  // Adds a fresh length page and makes it the next page.
  void AddLengthPage();
  // Removes and deletes the length page when it is in the sheet.
  void RemoveExtraPage();

  BOOL finished = FALSE;
  CPD_AnalTypePP& ModelPage() { return modelPage_; }
  CPD_UnitsPP* LengthPage() const { return lengthPage_.get(); }

 private:
  CPD_AnalTypePP modelPage_;
  std::unique_ptr<CPD_UnitsPP> lengthPage_;
};
