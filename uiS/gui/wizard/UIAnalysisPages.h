// The analyze wizard's last pages: the result set to compute (an embedded Explorer tree), the
// extraction of modes for vibration and buckling, and the start time and h-adaptivity, whose
// Finish submits the study.
#pragma once
#include <ctime>

#include "amg/CaeFlags.h"
#include "amg/CaeList.h"
#include "gui/dialogs/analysis/UISubmitAnalysis.h"
#include "gui/explorer/CExpTreeCtl.h"
#include "gui/wizard/UIConditionWizard.h"
#include "mfc/afx.h"

class AnlResltCase;
class CAMGWizPS;

// The output requests a study of `type` (0 stress, 1 vibration, 2 buckling, 3 heat) asks for.
CaeFlags UIWizardOutputRequests(int type);
// Whether a deferred start at `start` (local time, seconds ignored) may still run at `now`: up to
// two minutes in the past is accepted.
bool UIStartTimeAccepted(const std::tm& start, std::time_t now);
// The deck writer's extraction method of a radio index of the frequency page (0 for one outside).
int UIWizardModeMethod(int radioIndex);

class CANL_IdentPP : public CCondWizPage {
 public:
  CANL_IdentPP();
  ~CANL_IdentPP() override;

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  LRESULT OnWizardNext() override;

  int analysisType = 0;
  // The committed result cases, the page's until a submission takes them.
  CaeList<AnlResltCase>& ResultCases() { return cases_; }
  void DeleteResultCases();
  CExpTreeCtl tree;

 protected:
  void DoDataExchange(CDataExchange* dx) override;

 private:
  CaeList<AnlResltCase> cases_;
};

class CANL_FreqPP : public CCondWizPage {
 public:
  CANL_FreqPP();

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  BOOL OnKillActive() override;

  // The settings for the submission, bounds native for vibration.
  UIModeSettings Settings(bool vibration) const;

  int method = -1;  // radio index over 1179 .. 1182
  int modes = 0;
  double lower = 0;
  double upper = 0;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void OnMethodChange();
  DECLARE_MESSAGE_MAP()

 private:
  void EnableForMethod(int chosen);
};

class CANL_ExecPP : public CCondWizPage {
 public:
  CANL_ExecPP();

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  BOOL OnWizardFinish() override;

  std::tm StartTime() const;

  int day = 1;
  int hour = 0;
  int minute = 0;
  int month = 1;
  int year = 1997;
  int startMode = 0;  // 0 now, 1 deferred
  int iterations = 10;
  double targetError = 10.0;
  BOOL useAdaptivity = FALSE;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void OnHAdaptivity();
  void OnStartMode();
  DECLARE_MESSAGE_MAP()

 private:
  CAMGWizPS* Sheet() const;
  // The entries and the start time; false (said why) keeps the page.
  bool Validate();
  // A model without a sub-model meshes the working mesh entity first; false keeps the page.
  bool MeshIfNeeded();
  void Submit();
};
