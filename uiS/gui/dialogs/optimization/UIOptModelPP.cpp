#include "gui/dialogs/optimization/UIOptModelPP.h"

#include <algorithm>

#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadDocServices.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "cadInterface/CadUiServices.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "gui/dialogs/analysis/UICheckModelPP.h"
#include "gui/dialogs/units/UIGenericPS.h"

namespace {

constexpr DWORD_PTR kHelpBase = 0x20000;

int MaxNameLength() {
  CadInterface* cad = CadInterface::GetCurrent();
  return cad ? cad->MaxNameLength() : 0;
}

CString TypeText(int type) {
  return resLoadString(type == CaeOptConcept ? IDS_OPT_KIND_CONCEPT : IDS_OPT_KIND_SHAPE).Text();
}

}  // namespace

BEGIN_MESSAGE_MAP(COptModelPP, CPropertyPage)
ON_CBN_SELCHANGE(IDC_OPT_MODEL_LIST, OnModelSelChange)
ON_CBN_EDITCHANGE(IDC_OPT_MODEL_LIST, OnModelEditChange)
ON_CBN_KILLFOCUS(IDC_OPT_MODEL_LIST, OnModelKillFocus)
ON_EN_CHANGE(IDC_OPT_MODEL_NAME, OnNameChange)
ON_CBN_SELCHANGE(IDC_OPT_MODEL_TYPE, OnTypeSelChange)
ON_CBN_SELCHANGE(IDC_OPT_MODEL_ANL_MODEL, OnAnlModelSelChange)
ON_BN_CLICKED(IDC_OPT_MODEL_ADD, OnAdd)
ON_BN_CLICKED(IDC_OPT_MODEL_REMOVE, OnRemove)
END_MESSAGE_MAP()

COptModelPP::COptModelPP() : CPropertyPage(IDD_OPT_MODEL) { m_psp.dwFlags |= PSP_HASHELP; }

COptModelPP::~COptModelPP() = default;

void COptModelPP::DoDataExchange(CDataExchange* dx) {
  CPropertyPage::DoDataExchange(dx);
  DDX_CBIndex(dx, IDC_OPT_MODEL_TYPE, m_nTypeIndex);
  DDX_Text(dx, IDC_OPT_MODEL_NAME, m_strName);
}

bool COptModelPP::CheckName(const CString& text) {
  if (!CadIsValidName(text)) {
    CadMessageBoxId(IDS_INVALID_NAME, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
    return false;
  }
  const int limit = MaxNameLength();
  if (text.GetLength() > limit) {
    const CaeString message = CaeString::Format(resLoadString(IDS_OPT_MODEL_NAME_TOO_LONG).Text(), limit);
    CadMessageBoxText(message.Text(), MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
    return false;
  }
  return true;
}

OptModelEntry* COptModelPP::AppendEntry(std::unique_ptr<OptModelEntry> entry) {
  m_entries.push_back(std::move(entry));
  m_pCurrent = m_entries.back().get();
  return m_pCurrent;
}

std::vector<OptModelEntry*> COptModelPP::LiveEntries() const {
  std::vector<OptModelEntry*> live;
  for (const auto& entry : m_entries)
    if (entry->state != OptModelEntry::kRemoved) live.push_back(entry.get());
  return live;
}

BOOL COptModelPP::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  if (auto* models = static_cast<CComboBox*>(GetDlgItem(IDC_OPT_MODEL_ANL_MODEL))) {
    for (AnlModel* model : m_anlModels) models->AddString(model->Name().Text());
    models->EnableWindow(!m_anlModels.empty());
  }
  if (auto* list = static_cast<CComboBox*>(GetDlgItem(IDC_OPT_MODEL_LIST))) list->LimitText(MaxNameLength());
  if (auto* types = static_cast<CComboBox*>(GetDlgItem(IDC_OPT_MODEL_TYPE))) {
    types->AddString(TypeText(CaeOptShape));
    types->AddString(TypeText(CaeOptConcept));
  }
  FillModelList();
  UpdateCheckPage();
  const bool all = m_nMode == kAllModels;
  GetDlgItem(IDC_OPT_MODEL_LIST)->ShowWindow(all ? SW_SHOW : SW_HIDE);
  GetDlgItem(IDC_OPT_MODEL_NAME)->ShowWindow(all ? SW_HIDE : SW_SHOW);
  GetDlgItem(IDC_OPT_MODEL_ADD)->EnableWindow(all);
  GetDlgItem(IDC_OPT_MODEL_REMOVE)->EnableWindow(all && m_pCurrent);
  return TRUE;
}

void COptModelPP::ShowTypeChoice(bool choosable) {
  GetDlgItem(IDC_OPT_MODEL_TYPE)->ShowWindow(choosable ? SW_SHOW : SW_HIDE);
  GetDlgItem(IDC_OPT_MODEL_TYPE_TEXT)->ShowWindow(choosable ? SW_HIDE : SW_SHOW);
}

void COptModelPP::EnableListControls(bool enable) {
  for (int id : {IDC_OPT_MODEL_REMOVE, IDC_OPT_MODEL_TYPE, IDC_OPT_MODEL_TYPE_TEXT, IDC_OPT_MODEL_LIST})
    GetDlgItem(id)->EnableWindow(enable);
}

void COptModelPP::FillModelList() {
  if (m_nMode != kAllModels) {
    if (!m_pCurrent) return;
    SelectType(m_pCurrent->type);
    SelectAnlModel(m_pCurrent->anlModel);
    ShowTypeChoice(m_pCurrent->model == nullptr);
    return;
  }
  auto* list = static_cast<CComboBox*>(GetDlgItem(IDC_OPT_MODEL_LIST));
  list->ResetContent();
  int position = -1;
  for (OptModelEntry* entry : LiveEntries()) {
    const int added = list->AddString(entry->Name().Text());
    if (entry == m_pCurrent) position = added;
  }
  if (m_pCurrent && position >= 0) {
    list->SetCurSel(position);
    list->SetWindowText(m_pCurrent->Name().Text());
    SelectAnlModel(m_pCurrent->anlModel);
    SelectType(m_pCurrent->type);
    ShowTypeChoice(m_pCurrent->model == nullptr);
  } else {
    m_pCurrent = nullptr;
    list->SetWindowText("");
    SelectAnlModel(nullptr);
  }
  EnableListControls(list->GetCount() > 0 && m_pCurrent);
}

void COptModelPP::SelectType(int type) {
  const CString text = TypeText(type);
  if (auto* types = static_cast<CComboBox*>(GetDlgItem(IDC_OPT_MODEL_TYPE))) {
    types->SelectString(-1, text);
    m_nTypeIndex = types->GetCurSel();
  }
  SetDlgItemText(IDC_OPT_MODEL_TYPE_TEXT, " " + text);
}

void COptModelPP::SelectAnlModel(AnlModel* model) {
  auto* models = static_cast<CComboBox*>(GetDlgItem(IDC_OPT_MODEL_ANL_MODEL));
  if (!models) return;
  const auto found = std::find(m_anlModels.begin(), m_anlModels.end(), model);
  models->SetCurSel(model && found != m_anlModels.end() ? static_cast<int>(found - m_anlModels.begin()) : -1);
}

void COptModelPP::OnModelSelChange() {
  auto* list = static_cast<CComboBox*>(GetDlgItem(IDC_OPT_MODEL_LIST));
  const int position = list->GetCurSel();
  const std::vector<OptModelEntry*> live = LiveEntries();
  m_pCurrent = position >= 0 && position < static_cast<int>(live.size()) ? live[position] : nullptr;
  if (m_pCurrent) {
    SelectType(m_pCurrent->type);
    SelectAnlModel(m_pCurrent->anlModel);
    list->SetWindowText(m_pCurrent->Name().Text());
    ShowTypeChoice(m_pCurrent->model == nullptr);
  } else {
    SelectAnlModel(nullptr);
  }
  GetDlgItem(IDC_OPT_MODEL_REMOVE)->EnableWindow(m_pCurrent != nullptr);
  UpdateCheckPage();
  UpdateTabImage();
}

void COptModelPP::OnModelEditChange() {
  CString text;
  GetDlgItem(IDC_OPT_MODEL_LIST)->GetWindowText(text);
  if (!CheckName(text)) SetActiveWindow();
}

void COptModelPP::OnModelKillFocus() {
  if (!m_pCurrent) return;
  CString text;
  GetDlgItem(IDC_OPT_MODEL_LIST)->GetWindowText(text);
  if (text == m_pCurrent->Name().Text()) return;
  m_pCurrent->Name(CaeString(static_cast<const char*>(text)));
  m_pCurrent->MarkChanged();
  FillModelList();
}

void COptModelPP::OnNameChange() {
  CString text;
  GetDlgItem(IDC_OPT_MODEL_NAME)->GetWindowText(text);
  if (!CadIsValidName(text)) SetActiveWindow();
}

void COptModelPP::OnTypeSelChange() {
  if (!m_pCurrent) return;
  auto* types = static_cast<CComboBox*>(GetDlgItem(IDC_OPT_MODEL_TYPE));
  CString chosen;
  if (types->GetCurSel() >= 0) types->GetLBText(types->GetCurSel(), chosen);
  m_pCurrent->type = chosen == TypeText(CaeOptConcept) ? CaeOptConcept : CaeOptShape;
  m_pCurrent->MarkChanged();
  UpdateTabImage();
}

void COptModelPP::OnAnlModelSelChange() {
  if (!m_pCurrent) return;
  const int position = static_cast<CComboBox*>(GetDlgItem(IDC_OPT_MODEL_ANL_MODEL))->GetCurSel();
  if (position < 0 || position >= static_cast<int>(m_anlModels.size())) return;
  m_pCurrent->anlModel = m_anlModels[position];
  m_pCurrent->MarkChanged();
}

void COptModelPP::OnAdd() {
  AnlControl* control = CadCurrentAnlControl();
  CaeString base = control ? control->Name() : CaeString();
  if (base.IsEmpty()) base = resLoadString(IDS_DEFAULT_BASE_NAME);
  base = base + resLoadString(IDS_DEFAULT_SUFFIX_OPT_MODEL);
  // Removed entries keep their names until the commit, so they count as taken.
  auto taken = [this](const CaeString& name) {
    return std::any_of(m_entries.begin(), m_entries.end(), [&name](const auto& entry) {
      return CString(entry->Name().Text()).CompareNoCase(name.Text()) == 0;
    });
  };
  CaeString candidate = base;
  for (int n = 1; taken(candidate); ++n) candidate = CaeString::Format("%s%d", base.Text(), n);
  auto entry = std::make_unique<OptModelEntry>();
  entry->Name(candidate);
  entry->anlModel = m_pDefaultAnlModel;
  entry->type = m_nDefaultType == CaeOptConcept ? CaeOptConcept : CaeOptShape;
  entry->state = OptModelEntry::kNew;
  AppendEntry(std::move(entry));
  FillModelList();
  UpdateCheckPage();
  UpdateTabImage();
}

void COptModelPP::OnRemove() {
  if (!m_pCurrent) return;
  const auto at =
      std::find_if(m_entries.begin(), m_entries.end(), [this](const auto& entry) { return entry.get() == m_pCurrent; });
  if (at == m_entries.end()) return;
  auto live = [](const auto& entry) { return entry->state != OptModelEntry::kRemoved; };
  OptModelEntry* successor = nullptr;
  if (auto next = std::find_if(at + 1, m_entries.end(), live); next != m_entries.end()) {
    successor = next->get();
  } else {
    for (auto before = at; before != m_entries.begin();)
      if (live(*--before)) {
        successor = before->get();
        break;
      }
  }
  if (m_pCurrent->state == OptModelEntry::kNew)
    m_entries.erase(at);
  else
    m_pCurrent->state = OptModelEntry::kRemoved;
  m_pCurrent = successor;
  FillModelList();
  UpdateCheckPage();
}

void COptModelPP::UpdateCheckPage() {
  if (!m_pCheckPage) return;
  m_pCheckPage->m_pOptModel = m_pCurrent ? m_pCurrent->model : nullptr;
  if (m_pCheckPage->RunCheck(sheet()) == -1)
    m_pCheckPage->m_messages.Append(resLoadString(IDS_OPT_DEFAULT_OBJECTIVE_NOTE));
}

void COptModelPP::UpdateTabImage() {
  auto* owner = dynamic_cast<CGenericPS*>(sheet());
  if (owner && m_pCurrent) owner->SetTabImage(0, m_pCurrent->type == CaeOptConcept ? 1 : 0, TRUE);
}

BOOL COptModelPP::OnSetActive() {
  UpdateTabImage();
  return CPropertyPage::OnSetActive();
}

CString COptModelPP::NameOnLeaving() const {
  if (m_nMode != kAllModels) return m_strName;
  CString text;
  GetDlgItem(IDC_OPT_MODEL_LIST)->GetWindowText(text);
  return text;
}

// Names are keys of the drawing's model dictionary, which ignores case: a name one model has
// cannot be given to another.
bool COptModelPP::NameIsTaken(const CString& name) const {
  auto same = [&name](const CaeString& other) { return CString(other.Text()).CompareNoCase(name) == 0; };
  if (m_nMode == kAllModels) {
    for (OptModelEntry* entry : LiveEntries())
      if (entry != m_pCurrent && same(entry->Name())) return true;
    return false;
  }
  AnlControl* control = CadCurrentAnlControl();
  if (!control) return false;
  OptModel* own = m_pCurrent ? m_pCurrent->model : nullptr;
  for (OptModel* model = control->FirstOptModel(); model; model = control->NextOptModel())
    if (model != own && !model->IsMarkedAsErased() && same(model->Name())) return true;
  return false;
}

BOOL COptModelPP::OnKillActive() {
  if (!CPropertyPage::OnKillActive()) return FALSE;
  if (!m_pCurrent) return TRUE;
  const CString name = NameOnLeaving();
  // An empty name cannot be filed, so it is refused here rather than at the commit.
  if (name.IsEmpty()) {
    CadMessageBoxId(IDS_INVALID_NAME, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
    SetActiveWindow();
    return FALSE;
  }
  if (!CheckName(name)) {
    SetActiveWindow();
    return FALSE;
  }
  if (NameIsTaken(name)) {
    const CaeString message =
        CaeString::Format(resLoadString(IDS_OPT_MODEL_NAME_TAKEN).Text(), static_cast<const char*>(name));
    CadMessageBoxText(message.Text(), MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
    SetActiveWindow();
    return FALSE;
  }
  if (m_nMode == kAllModels) OnModelKillFocus();
  UpdateCheckPage();
  return TRUE;
}

BOOL COptModelPP::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header && static_cast<int>(header->code) == PSN_HELP) {
    UIShowHelp(kHelpBase + IDD_OPT_MODEL, HELP_CONTEXT);
    return TRUE;
  }
  return CPropertyPage::OnNotify(wParam, lParam, result);
}
