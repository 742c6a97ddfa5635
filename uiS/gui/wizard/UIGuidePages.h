// The guide's pages, one per step. Each explains its step with a few lines and a picture and
// offers an action button that runs the step's entry of the command table through the command
// route, so that with a modeless guide the step runs like a host command. Next and Back move
// between the guide's tabs.
//
// The seven step pages share one family (CGuideStepPP): every handler becomes a page event run
// through CPageEventAdapter::Dispatch. The introduction page stands alone.
#pragma once
#include "gui/wizard/UIPageEventAdapter.h"
#include "gui/wizard/UIPagePicture.h"
#include "gui/wizard/UIWizBasePP.h"
#include "mfc/afx.h"

class CAnlWizPS;

// What tells one step page from another.
struct GuideStepPage {
  UINT templateId;
  int step;           // the remembered step the page records when it becomes active
  int actionId;       // the action button
  int commandEntry;   // the command-table entry it routes, -1 for none
  int nextId;         // the Next button, 0 for none
  int placeholderId;  // where the picture goes
};

class CGuideStepPP : public CWizBasePP, public CPageEventAdapter {
 public:
  explicit CGuideStepPP(const GuideStepPage& page);

  int OnPageEvent(PageEventCode code) override;
  BOOL OnSetActive() override;
  BOOL OnInitDialog() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

  int Step() const { return page_.step; }
  // Whether the action button's rule holds now (event 8).
  virtual bool ActionEnabled() const = 0;

 protected:
  // The guide sheet this page is in, or null.
  CAnlWizPS* Guide() const;
  bool IsHeatGuide() const;
  virtual UINT BitmapId() const = 0;
  virtual DWORD HelpContext() const { return 0x20000 + page_.templateId; }
  virtual void SetTexts() {}
  // The problem-definition page posts no "shown" message and keeps its default button.
  virtual bool PostsShown() const { return true; }
  // The loads, restraints and analyze pages re-run their step while a pick of it is parked.
  virtual bool ResumesParkedPick() const { return false; }
  // The loads, restraints and mating relations pages paint outside the guarded call.
  virtual bool PaintsThroughDispatch() const { return true; }
  virtual void OnNext() { Dispatch(PageEventCode::Next); }
  virtual void ChooseDefaultButton(CWnd& action, bool enabled);
  virtual void PaintPicture();
  // The action button; the base routes the page's command entry.
  virtual void OnAction();

  void MakeDefault(int id);
  void OnPaint();
  BOOL OnQueryNewPalette();
  void OnPaletteChanged(CWnd* changedBy);
  LRESULT OnPageShown(WPARAM, LPARAM);

  const GuideStepPage page_;
  CPagePicture picture_;
  DECLARE_MESSAGE_MAP()
};

class CProbDefPP : public CGuideStepPP {
 public:
  CProbDefPP();
  bool ActionEnabled() const override { return true; }

 protected:
  UINT BitmapId() const override;
  void SetTexts() override;
  bool PostsShown() const override { return false; }
};

class CUnitsPP : public CGuideStepPP {
 public:
  CUnitsPP();
  bool ActionEnabled() const override;

 protected:
  UINT BitmapId() const override;
};

class CLoadPP : public CGuideStepPP {
 public:
  CLoadPP();
  bool ActionEnabled() const override;

 protected:
  UINT BitmapId() const override;
  DWORD HelpContext() const override;
  void SetTexts() override;
  bool ResumesParkedPick() const override { return true; }
  bool PaintsThroughDispatch() const override { return false; }
};

class CRestPP : public CGuideStepPP {
 public:
  CRestPP();
  bool ActionEnabled() const override;

 protected:
  UINT BitmapId() const override;
  DWORD HelpContext() const override;
  void SetTexts() override;
  bool ResumesParkedPick() const override { return true; }
  bool PaintsThroughDispatch() const override { return false; }
};

class CMateRelPP : public CGuideStepPP {
 public:
  CMateRelPP();
  bool ActionEnabled() const override { return false; }

 protected:
  UINT BitmapId() const override;
  DWORD HelpContext() const override;
  void SetTexts() override;
  bool PaintsThroughDispatch() const override { return false; }
  // Next marks the step done before moving on.
  void OnNext() override;
  void OnAction() override {}
};

class CMeshPP : public CGuideStepPP {
 public:
  CMeshPP();
  bool ActionEnabled() const override;
  CString MaterialName;  // the remembered material, filled by the launcher

 protected:
  UINT BitmapId() const override;
  void SetTexts() override;
  bool ResumesParkedPick() const override { return true; }
};

class CResultsPP : public CGuideStepPP {
 public:
  CResultsPP();
  bool ActionEnabled() const override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  // Finish: the guide will show Problem Definition next and hides.
  void OnFinish();

 protected:
  UINT BitmapId() const override;
  void OnNext() override {}
  void ChooseDefaultButton(CWnd& action, bool enabled) override;
  void PaintPicture() override;
};

class CIntroPP : public CWizBasePP {
 public:
  CIntroPP();
  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  // Begin and Next: step 0 is done and the guide moves to Problem Definition.
  void OnBegin();

 protected:
  void OnPaint();
  BOOL OnQueryNewPalette();
  void OnPaletteChanged(CWnd* changedBy);
  CPagePicture picture_;
  DECLARE_MESSAGE_MAP()
};
