// "CAEP_OPT_OBJECTIVE" and "CAEP_OPT_OBJECTIVE_TOPO", and the objective sheet the Explorer and the
// optimisation wizard open: fills its pages from an objective and commits what they hold.
#include <memory>

#include "amg/CaeMsgCall.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "cadInterface/CadUiServices.h"
#include "fea/AnlResltCase.h"
#include "fea/OptModel.h"
#include "gui/dialogs/optimization/UIOptCommands.h"
#include "gui/dialogs/optimization/UIOptObjPP.h"
#include "gui/dialogs/optimization/UIOptVocabulary.h"
#include "gui/dialogs/units/UIGenericPS.h"

namespace {

constexpr int kTabIconSize = 16;
constexpr int kPickMayAskAndMakeCurrent = 3;  // UIPickOptModel flags
// Where the consistency check of an objective without a model is reported.
constexpr char kCheckSource[] = "uiS/gui/dialogs/optimization/UIOptDialogs";
constexpr int kObjectiveCheckLine = 849;
constexpr double kPercent = 100.0;

// The sheet goes first (it is declared last): it tells its pages it is gone.
struct ObjectiveSheet {
  COptObjPP objective;
  COptObjResCasePP resultSet;
  CGenericPS sheet{IDS_OPT_OBJECTIVE_SHEET};
  explicit ObjectiveSheet(UINT templateId) : objective(templateId) {}
};

OptModel* PickModel(int kind) {
  OptModel* model = UIPickOptModel(kind, kPickMayAskAndMakeCurrent);
  if (!model) CadMessageBoxId(IDS_OPT_MODEL_REQUIRED, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
  return model;
}

void FillPages(ObjectiveSheet& s, OptFunction& objective, bool isConcept) {
  s.objective.m_nRadio = objective.GenericIVal() == 1 ? COptObjPP::kSecond : COptObjPP::kFirst;
  if (isConcept) {
    s.objective.m_dTarget = objective.GenericIVal() == 1 ? objective.GenericFVal() : objective.GenericFVal() * kPercent;
    return;
  }
  s.objective.m_nModeNumber = objective.ModeNumber();
  s.objective.m_nResponse = UIOptResponseTypeToListIndex(objective.ResponseType());
  AnlResltCase* own = CadInterface::GetCurrent()->GetObjectiveResultCase(&objective);
  s.resultSet.m_strResultSet = own ? own->Name().Text() : "";
}

// The owner model's first result set of exactly that name (names compare as bytes).
AnlResltCase* ResultSetNamed(OptModel& model, const CString& name) {
  if (name.IsEmpty()) return nullptr;
  for (AnlResltCase* rc = model.FirstAnlResultCase(1); rc; rc = model.NextAnlResultCase())
    if (rc->Name() == static_cast<const char*>(name)) return rc;
  return nullptr;
}

void ReadPages(const ObjectiveSheet& s, const OptFunction& given, OptFunction& target, bool isConcept) {
  target.GenericIVal(s.objective.m_nRadio == COptObjPP::kSecond ? 1 : 0);
  if (isConcept) {
    target.ResponseType(given.ResponseType());
    target.GenericFVal(s.objective.m_nRadio == COptObjPP::kSecond ? s.objective.m_dTarget
                                                                  : s.objective.m_dTarget / kPercent);
    return;
  }
  target.ModeNumber(s.objective.m_nModeNumber);
  target.ResponseType(static_cast<OptResponseType>(s.objective.ChosenResponseType()));
  while (AnlResltCase* listed = target.FirstAnlResultCase()) target.RemoveAnlResultCase(listed);
  if (AnlResltCase* chosen = ResultSetNamed(*given.Owner(), s.resultSet.m_strResultSet))
    target.AddAnlResultCase(chosen);
}

}  // namespace

int UIOptObjectiveSheet(OptFunction* objective, int replace, int wizard) {
  if (!objective) return 0;
  OptModel* owner = objective->Owner();
  if (!owner) CaeMsgCall::GeneralError(kCheckSource, kObjectiveCheckLine);
  const bool isConcept = owner->Type() == CaeOptConcept;
  ObjectiveSheet s(isConcept ? IDD_OPT_OBJECTIVE_CONCEPT : IDD_OPT_OBJECTIVE);
  s.sheet.AddPage(&s.objective);
  s.objective.m_pResultSetPage = &s.resultSet;
  s.resultSet.m_pObjectivePage = &s.objective;
  s.objective.m_pObjective = objective;
  s.objective.m_bWizard = wizard ? TRUE : FALSE;
  if (wizard)
    s.sheet.SetWizardMode();
  else
    s.sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
  FillPages(s, *objective, isConcept);

  // A frequency or load-factor response without its result set shows the sheet again.
  do {
    s.objective.m_bMissingResultSet = FALSE;
    if (!wizard) {
      s.sheet.CreateTabImageList(kTabIconSize);
      s.sheet.AddTabIcon(isConcept ? IDI_EXP_CONCEPT_OBJECTIVE : IDI_EXP_SHAPE_OBJECTIVE);
      s.sheet.AddTabIcon(IDI_EXP_RESULT_CASE);
      s.sheet.m_bShowTabIcons = TRUE;
    }
    const INT_PTR ended = s.sheet.DoModal();
    if (ended != (wizard ? ID_WIZFINISH : IDOK)) return 0;
    s.sheet.m_psh.nStartPage = s.sheet.GetPageCount() > 1 ? 1 : 0;
    s.sheet.DeleteTabImageList();
  } while (s.objective.m_bMissingResultSet);

  CadInterface& cad = *CadInterface::GetCurrent();
  if (replace) {
    OptObjective replacement(objective->Name(), objective->ResponseType());
    replacement.Owner(owner);
    ReadPages(s, *objective, replacement, isConcept);
    cad.ReplaceObjective(dynamic_cast<OptObjective*>(objective), &replacement);
  } else {
    ReadPages(s, *objective, *objective, isConcept);
    cad.AddObjective(objective);
  }
  return 1;
}

int UIOptNewObjective(int kind) {
  OptModel* model = PickModel(kind);
  if (!model) return 0;
  OptObjective objective;
  objective.Owner(model);
  UIOptDefaultObjective(&objective);
  return UIOptObjectiveSheet(&objective, 0, 0);
}

int UIOptEditObjective(int kind) {
  OptModel* model = PickModel(kind);
  if (!model) return 0;
  if (OptObjective* objective = model->Objective()) return UIOptObjectiveSheet(objective, 1, 0);
  return UIOptNewObjective(kind);
}
