#include "gui/dialogs/model/UISelectModelDlg.h"

#include "amg/CaeName.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/AttLbcCase.h"
#include "fea/OptModel.h"
#include "gui/dialogs/model/UIModelLists.h"

namespace {

struct ModeTexts {
  UINT prompt;
  UINT title;
};

// By mode: the prompt line and the window title.
constexpr ModeTexts kModeTexts[] = {
    {IDS_NEEDS_MODEL, IDS_SELECT_MODEL_TITLE},
    {IDS_NEEDS_LOAD_SET, IDS_SELECT_LOAD_SET_TITLE},
    {IDS_NEEDS_RESTRAINT_SET, IDS_SELECT_RESTRAINT_SET_TITLE},
    {IDS_NEEDS_OPT_MODEL, IDS_SELECT_OPT_MODEL_TITLE},
    {IDS_NEEDS_OPT_RESULT_SET, IDS_SELECT_OPT_RESULT_SET_TITLE},
};

}  // namespace

BEGIN_MESSAGE_MAP(CSelectModelDlg, CDialog)
ON_BN_CLICKED(IDC_MODEL_HELP, OnHelp)
END_MESSAGE_MAP()

CSelectModelDlg::CSelectModelDlg(CWnd* parent) : CDialog(kTemplateId, parent) {}

std::vector<CSelectModelDlg::Candidate> CSelectModelDlg::Candidates() const {
  std::vector<Candidate> candidates;
  auto add = [&candidates](auto objects) {
    for (auto* object : objects) candidates.push_back({object, object});
  };
  switch (mode_) {
    case kModel: add(UILiveModels()); break;
    case kLoadSet: add(UILiveLoadSets()); break;
    case kRestraintSet: add(UILiveRestraintSets()); break;
    case kOptModel: add(UILiveOptModels()); break;
    case kOptResultSet: {
      AnlControl* control = AnlControl::GetCurrent();
      add(UIFinishedOptResultCases(control ? control->CurrentOptModel() : nullptr));
      break;
    }
    default: break;
  }
  return candidates;
}

BOOL CSelectModelDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  auto* list = static_cast<CComboBox*>(GetDlgItem(IDC_SELECT_LIST));
  if (!list) return TRUE;
  list->ResetContent();
  for (const Candidate& candidate : Candidates()) list->AddString(candidate.name->Name().Text());
  list->SetCurSel(0);
  if (mode_ >= kModel && mode_ <= kOptResultSet) {
    const ModeTexts& texts = kModeTexts[mode_];
    SetDlgItemText(IDC_SELECT_PROMPT, resLoadString(texts.prompt).c_str());
    SetWindowText(resLoadString(texts.title).c_str());
  }
  return TRUE;
}

void CSelectModelDlg::Choose(void* object) {
  switch (mode_) {
    case kModel: model_ = static_cast<AnlModel*>(object); break;
    case kLoadSet:
    case kRestraintSet: set_ = static_cast<AttLbcCase*>(object); break;
    case kOptModel: optModel_ = static_cast<OptModel*>(object); break;
    case kOptResultSet: resultCase_ = static_cast<OptResultCase*>(object); break;
    default: break;
  }
}

void CSelectModelDlg::OnOK() {
  text_.Empty();
  GetDlgItemText(IDC_SELECT_LIST, text_);
  EndDialog(IDOK);
  for (const Candidate& candidate : Candidates()) {
    if (candidate.name->Name() == static_cast<const char*>(text_)) {
      Choose(candidate.object);
      return;
    }
  }
}

void CSelectModelDlg::OnHelp() { UIShowHelp(kHelpContext, HELP_CONTEXT); }
