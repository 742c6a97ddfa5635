#include "gui/dialogs/model/UIModDlg.h"

#include <array>
#include <memory>
#include <vector>

#include "amg/CaeMsgCall.h"
#include "amg/CaeUnit.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadDocServices.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/AttLbcCase.h"
#include "gui/dialogs/model/UIModelLists.h"
#include "gui/dialogs/model/UIModelTypes.h"
#include "gui/dialogs/units/UIDrawingUnitDlg.h"

namespace {

bool modelClosed = false;
bool loadSetClosed = false;
bool restraintSetClosed = false;

constexpr int kFirstLengthUnit = CaeMeter;
constexpr int kLastLengthUnit = CaeFoot;
// A new model's name leaves room for what the drawing appends to it.
constexpr int kModelNameReserve = 6;

CaeString LongUnitName(int unit) {
  const CaeUnitStrTable* table = CaeUnitStrTable::GetCurrent();
  return table ? table->IdToLongString(unit) : CaeString();
}

int ModelTypeByName(const CString& name) {
  CadInterface* cad = CadInterface::GetCurrent();
  int type = CModelDlg::kNoType;
  if (!cad || name.IsEmpty() || !cad->ModelExists(CaeString(static_cast<const char*>(name)), &type))
    return CModelDlg::kNoType;
  return type;
}

}  // namespace

// One of the three object groups: its controls, members, flag and services.
struct CModelDlg::Group {
  int listId, editId, openId, newId;
  CString CModelDlg::*name;
  CString CModelDlg::*newName;
  int CModelDlg::*choice;
  bool* closed;
  std::vector<CString> (*liveNames)();
  CString (*uniqueName)();
  CString (*currentName)();
  UINT tooLongMessage;
};

const CModelDlg::Group CModelDlg::kGroups[3] = {
    {IDC_MODEL_LIST, IDC_MODEL_NAME, IDC_MODEL_OPEN, IDC_MODEL_NEW, &CModelDlg::modelName_, &CModelDlg::newModelName_,
     &CModelDlg::modelChoice_, &modelClosed, &UILiveModelNames, &CadUniqueModelName, &CadCurrentModelName,
     IDS_MODEL_NAME_TOO_LONG},
    {IDC_LOAD_SET_LIST, IDC_LOAD_SET_NAME, IDC_LOAD_SET_OPEN, IDC_LOAD_SET_NEW, &CModelDlg::loadSetName_,
     &CModelDlg::newLoadSetName_, &CModelDlg::loadSetChoice_, &loadSetClosed, &UILiveLoadSetNames,
     &CadUniqueLoadCaseName, &CadCurrentLoadCaseName, IDS_LOAD_SET_NAME_TOO_LONG},
    {IDC_RESTRAINT_SET_LIST, IDC_RESTRAINT_SET_NAME, IDC_RESTRAINT_SET_OPEN, IDC_RESTRAINT_SET_NEW,
     &CModelDlg::restraintSetName_, &CModelDlg::newRestraintSetName_, &CModelDlg::restraintSetChoice_,
     &restraintSetClosed, &UILiveRestraintSetNames, &CadUniqueRestraintCaseName, &CadCurrentRestraintCaseName,
     IDS_RESTRAINT_SET_NAME_TOO_LONG},
};

int UICmdModel() {
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad || !cad->CanStartCommand(1)) return 0;
  CModelDlg dialog;
  dialog.DoModal();
  return 0;
}

bool CModelDlg::ModelClosed() { return modelClosed; }
bool CModelDlg::LoadSetClosed() { return loadSetClosed; }
bool CModelDlg::RestraintSetClosed() { return restraintSetClosed; }
void CModelDlg::ResetClosedFlags() { modelClosed = loadSetClosed = restraintSetClosed = false; }

BEGIN_MESSAGE_MAP(CModelDlg, CDialog)
ON_CBN_SELCHANGE(IDC_MODEL_LIST, OnModelSelChange)
ON_BN_CLICKED(IDC_TYPE_STRESS, OnTypeChanged)
ON_BN_CLICKED(IDC_TYPE_VIBRATION, OnTypeChanged)
ON_BN_CLICKED(IDC_TYPE_BUCKLING, OnTypeChanged)
ON_BN_CLICKED(IDC_TYPE_HEAT, OnTypeChanged)
ON_BN_CLICKED(IDC_MODEL_OPEN, OnChoiceChanged)
ON_BN_CLICKED(IDC_MODEL_NEW, OnChoiceChanged)
ON_BN_CLICKED(IDC_LOAD_SET_OPEN, OnChoiceChanged)
ON_BN_CLICKED(IDC_LOAD_SET_NEW, OnChoiceChanged)
ON_BN_CLICKED(IDC_RESTRAINT_SET_OPEN, OnChoiceChanged)
ON_BN_CLICKED(IDC_RESTRAINT_SET_NEW, OnChoiceChanged)
ON_BN_CLICKED(IDC_MODEL_HELP, OnHelp)
END_MESSAGE_MAP()

CModelDlg::CModelDlg(CWnd* parent) : CDialog(kTemplateId, parent) {}

void CModelDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Radio(dx, IDC_TYPE_STRESS, type_);
  for (const Group& group : kGroups) {
    DDX_CBString(dx, group.listId, this->*group.name);
    DDX_Text(dx, group.editId, this->*group.newName);
    DDX_Radio(dx, group.openId, this->*group.choice);
  }
}

BOOL CModelDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  AnlControl* control = CadCurrentAnlControl();
  if (AnlModel* current = control ? control->CurrentAnlModel() : nullptr) {
    type_ = static_cast<int>(current->Type());
    CAE_CHECK(UIIsModelType(type_));
  }
  if (UILiveModelNames().empty()) type_ = kStress;

  FillModels();
  FillLoadSets();
  FillRestraintSets();
  UpdateData(FALSE);
  ShowChoices();
  EnableLoadSetGroup(type_ != kVibration);
  PrepareUnitRow();
  return TRUE;
}

bool CModelDlg::FillGroup(const Group& group) {
  auto* list = static_cast<CComboBox*>(GetDlgItem(group.listId));
  if (!list) return false;
  list->ResetContent();
  const std::vector<CString> names = group.liveNames();
  this->*group.choice = names.empty() ? kNew : kOpen;
  if (names.empty()) GetDlgItem(group.openId)->EnableWindow(FALSE);
  for (const CString& name : names) list->AddString(name);

  bool remembered = false;
  if (!*group.closed) {
    if (list->GetCount() > 0)
      remembered = true;
    else
      this->*group.name = group.uniqueName();
  }
  const CString current = group.currentName();
  if (!current.IsEmpty()) {
    list->SelectString(-1, current);
    this->*group.name = current;
  } else if (remembered) {
    list->SetCurSel(0);
    list->GetLBText(0, this->*group.name);
  }
  this->*group.newName = group.uniqueName();
  return remembered;
}

void CModelDlg::FillModels() {
  if (!FillGroup(kGroups[0])) return;
  const int type = ModelTypeByName(modelName_);
  if (type != kNoType) type_ = type;
}

void CModelDlg::FillLoadSets() { FillGroup(kGroups[1]); }
void CModelDlg::FillRestraintSets() { FillGroup(kGroups[2]); }

void CModelDlg::ShowChoices() {
  for (const Group& group : kGroups) {
    const bool open = this->*group.choice != kNew;
    GetDlgItem(group.listId)->ShowWindow(open ? SW_SHOW : SW_HIDE);
    GetDlgItem(group.editId)->ShowWindow(open ? SW_HIDE : SW_SHOW);
  }
}

void CModelDlg::EnableLoadSetGroup(bool enable) {
  const Group& group = kGroups[1];
  GetDlgItem(group.listId)->EnableWindow(enable);
  GetDlgItem(group.editId)->EnableWindow(enable);
  GetDlgItem(group.newId)->EnableWindow(enable);
  GetDlgItem(group.openId)->EnableWindow(enable && !UILiveLoadSetNames().empty());
}

// With the unit chosen the dialog ends above the unit row; otherwise the row offers the five
// length units, the first selected.
void CModelDlg::PrepareUnitRow() {
  CadInterface* cad = CadInterface::GetCurrent();
  unitNotChosen_ = cad && cad->GetLengthUnit() == CaeUnitNone;
  CWnd* prompt = GetDlgItem(IDC_UNIT_PROMPT);
  auto* units = static_cast<CComboBox*>(GetDlgItem(IDC_MODEL_UNIT));
  if (!prompt || !units) return;
  if (!unitNotChosen_) {
    RECT dialogRect;
    RECT promptRect;
    GetWindowRect(&dialogRect);
    prompt->GetWindowRect(&promptRect);
    prompt->ShowWindow(SW_HIDE);
    units->ShowWindow(SW_HIDE);
    SetWindowPos(nullptr, 0, 0, dialogRect.right - dialogRect.left, promptRect.top - dialogRect.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    return;
  }
  units->ResetContent();
  for (int unit = kFirstLengthUnit; unit <= kLastLengthUnit; ++unit) units->AddString(LongUnitName(unit).c_str());
  units->SetCurSel(0);
}

void CModelDlg::OnModelSelChange() {
  UpdateData(TRUE);
  auto* list = static_cast<CComboBox*>(GetDlgItem(IDC_MODEL_LIST));
  const int index = list->GetCurSel();
  if (index != CB_ERR) list->GetLBText(index, modelName_);
  const int type = ModelTypeByName(modelName_);
  if (type != kNoType) type_ = type;
  EnableLoadSetGroup(type_ != kVibration);
  UpdateData(FALSE);
}

void CModelDlg::OnTypeChanged() {
  EnableLoadSetGroup(GetCheckedRadioButton(IDC_TYPE_STRESS, IDC_TYPE_HEAT) != IDC_TYPE_VIBRATION);
}

void CModelDlg::OnChoiceChanged() {
  for (const Group& group : kGroups) this->*group.choice = IsDlgButtonChecked(group.newId) ? kNew : kOpen;
  ShowChoices();
}

void CModelDlg::OnHelp() { UIShowHelp(kHelpContext, HELP_CONTEXT); }

bool CModelDlg::ValidateName(const CString& name, int editId, int limit, UINT tooLongMessage) {
  CString message;
  if (!name.IsEmpty() && !CadIsValidName(name)) {
    message = resLoadString(IDS_INVALID_NAME).c_str();
  } else if (name.GetLength() > limit) {
    message.Format(resLoadString(tooLongMessage).c_str(), limit);
  } else {
    return true;
  }
  CadMessageBoxText(message, MB_TASKMODAL);
  GotoDlgCtrl(GetDlgItem(editId));
  return false;
}

bool CModelDlg::TakeName(const Group& group, int limit, CString& name) {
  if (this->*group.choice != kNew) {
    name = this->*group.name;
    return true;
  }
  name = this->*group.newName;
  return ValidateName(name, group.editId, limit, group.tooLongMessage);
}

void CModelDlg::OnOK() {
  if (!UpdateData(TRUE)) return;
  CadInterface* cad = CadInterface::GetCurrent();
  const int limit = cad ? cad->MaxNameLength() : 0;
  CString model, loadSet, restraintSet;
  if (!TakeName(kGroups[0], limit - kModelNameReserve, model)) return;
  if (!TakeName(kGroups[1], limit, loadSet)) return;
  if (!TakeName(kGroups[2], limit, restraintSet)) return;

  CString unit;
  if (unitNotChosen_) GetDlgItemText(IDC_MODEL_UNIT, unit);
  EndDialog(IDOK);
  if (cad) cad->RefreshAfterCommand();

  if (model.IsEmpty()) {
    CadCloseModel();
    modelClosed = true;
  } else {
    if (UIIsModelType(type_)) CadOpenModel(model, type_);
    modelClosed = false;
  }
  if (restraintSet.IsEmpty()) {
    CadCloseRestraintCase();
    restraintSetClosed = true;
  } else {
    CadOpenRestraintCase(restraintSet);
    restraintSetClosed = false;
  }
  if (type_ == kVibration) {
    CadCloseLoadCase();  // vibration takes no loads; the flag keeps the user's last choice
  } else if (loadSet.IsEmpty()) {
    CadCloseLoadCase();
    loadSetClosed = true;
  } else {
    CadOpenLoadCase(loadSet);
    loadSetClosed = false;
  }
  if (!model.IsEmpty() && unitNotChosen_) ApplyLengthUnit(unit);
  if (cad) cad->FlushGraphics();
}

void CModelDlg::ApplyLengthUnit(const CString& unitName) {
  CadInterface* cad = CadInterface::GetCurrent();
  const CaeUnitStrTable* table = CaeUnitStrTable::GetCurrent();
  if (!cad || !table || unitName.IsEmpty()) return;
  int unit = table->StringToId(static_cast<const char*>(unitName));
  cad->SetLengthUnit(&unit);
  std::array<int, 8> host{};
  if (!CadPredefinedHostUnits(unit, host)) return;  // any other unit changes only the length unit
  auto system = std::make_unique<CadUnitSystem>(host[0], host[1], host[2], host[3], host[4], host[5], host[6], host[7]);
  cad->SetHostUnitSystem(system.release());  // the interface installs it and hands it to its one owner
}
