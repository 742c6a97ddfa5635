// The guide: a modeless tabbed property sheet that leads through one study of an analysis kind,
// one tab per step (Introduction, Problem Definition, Units, Loads, Restraints, Mating Relations,
// Analyze, Results Processing; no Loads tab for vibration). Done steps carry a check mark on
// their tab; the step tabs are numbered "1. " onwards. OK hides the guide, "Minimi&ze", the
// system menu and a title double-click collapse it to its tab strip and restore it. At most one
// guide exists; it enters itself in the guide state (UIWizard.h) while it lives.
#pragma once
#include <memory>

#include "gui/wizard/UIGuidePages.h"
#include "mfc/afx.h"

class CAnlWizPS : public CPropertySheet {
 public:
  // `platformFlag` is the page-template choice of the launcher; the sheet does not use it.
  CAnlWizPS(const char* caption, int platformFlag, int kind, CWnd* parent, UINT firstPage);
  ~CAnlWizPS() override;

  // Creates the hidden modeless window once (later calls answer 1).
  BOOL CreateModeless();
  // Destroys the guide: its window when it has one (the sheet then deletes itself), else the
  // object.
  void Destroy();

  int Kind() const { return kind_; }
  bool IsModeless() const { return modeless_; }
  bool IsCollapsed() const { return collapsed_; }

  // Collapses the guide to its caption and tab strip; Restore opens it again unless a step-mark
  // refresh asked it not to.
  void Minimize();
  void Restore();

  // The check mark of `step` on its tab (nothing for a step without a tab or a window).
  void ShowStepMark(int step, bool done);
  // The active page refreshes its buttons once the host is idle, once for a burst of requests,
  // without restoring a collapsed guide.
  void RequestPageRefresh();
  // Activates the tab of `step` (or makes it the start page before the window exists).
  void ShowStep(int step);
  // Gives the tab control a new copy of the check-mark list and frees the one it had.
  void RenewTabImages();

  CMeshPP& AnalyzePage() { return mesh_; }

  BOOL OnInitDialog() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

 protected:
  void PostNcDestroy() override;
  void OnActivate(UINT state, CWnd* other, BOOL minimized);
  void OnClose();
  void OnSysCommand(UINT id, LPARAM lParam);
  void OnNcLButtonDblClk(UINT hitTest, CPoint point);
  LRESULT OnKeepFocusQuery(WPARAM, LPARAM);
  LRESULT OnRefreshPage(WPARAM, LPARAM);
  DECLARE_MESSAGE_MAP()

 private:
  void FirstActivation();
  int TabCount() const;
  // The step of the active tab.
  int ActiveStep() const;
  void NumberTabs();
  std::unique_ptr<CImageList> MakeTabImages() const;
  void SetSystemMenuCollapsed(bool collapsed);

  bool firstActivationPending_ = true;
  CBitmap checkMark_;
  std::unique_ptr<CImageList> tabImages_;  // the tab control's own copy
  CIntroPP intro_;
  CProbDefPP probDef_;
  CUnitsPP units_;
  CLoadPP loads_;
  CRestPP restraints_;
  CMateRelPP mateRel_;
  CMeshPP mesh_;
  CResultsPP results_;
  int kind_ = 0;
  bool collapsed_ = false;
  bool restoreSuppressed_ = false;
  int fullWidth_ = 0;
  int fullHeight_ = 0;
  bool modeless_ = false;
  bool refreshPosted_ = false;
};
