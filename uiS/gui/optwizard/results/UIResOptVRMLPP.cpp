#include "gui/optwizard/results/UIResOptVRMLPP.h"

#include <algorithm>
#include <cstdlib>

#include "amg/CaeMsgCall.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadDocServices.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/FerState.h"
#include "fea/OptModel.h"
#include "gui/dialogs/results/UIVrmlDlg.h"
#include "gui/dialogs/units/UIGenericPS.h"
#include "gui/utils/UIFerSAPI.h"
#include "mfc/services.h"

namespace {

bool g_view = true;

constexpr int kChoiceIds[] = {IDC_VRML_VERSION1, IDC_VRML_VERSION2, IDC_VRML_INTERPOLATED, IDC_VRML_FRAMES_METHOD};
constexpr int kFramesBit = 8;

// The drawing's current model and result set, put back when the object goes.
class CurrentModelKeeper {
 public:
  explicit CurrentModelKeeper(AnlControl* control)
      : control_(control),
        model_(control ? control->CurrentAnlModel() : nullptr),
        set_(control ? control->CurrentResultSet() : nullptr) {}
  ~CurrentModelKeeper() {
    if (!control_) return;
    if (model_)
      control_->SetCurrentAnlModel(model_);
    else
      control_->ClearCurrentAnlModel();
    if (set_)
      control_->SetCurrentResultSet(set_);
    else
      control_->ClearCurrentResultSet();
  }
  CurrentModelKeeper(const CurrentModelKeeper&) = delete;
  CurrentModelKeeper& operator=(const CurrentModelKeeper&) = delete;

 private:
  AnlControl* control_;
  AnlModel* model_;
  FerResultSet* set_;
};

}  // namespace

BEGIN_MESSAGE_MAP(CResOptVRMLPP, CPropertyPage)
ON_BN_CLICKED(IDC_VRML_VERSION1, OnChoice)
ON_BN_CLICKED(IDC_VRML_VERSION2, OnChoice)
ON_BN_CLICKED(IDC_VRML_INTERPOLATED, OnChoice)
ON_BN_CLICKED(IDC_VRML_FRAMES_METHOD, OnChoice)
ON_BN_CLICKED(IDC_VRML_BROWSE, OnBrowse)
ON_BN_CLICKED(IDC_VRML_VIEW, OnViewCheck)
END_MESSAGE_MAP()

CResOptVRMLPP::CResOptVRMLPP(UINT templateId)
    : CPropertyPage(templateId), m_templateId(templateId), m_view(g_view ? TRUE : FALSE) {
  m_psp.dwFlags |= PSP_HASHELP;
}

bool CResOptVRMLPP::ViewFlag() { return g_view; }

void CResOptVRMLPP::ResetModuleState() { g_view = true; }

void CResOptVRMLPP::DoDataExchange(CDataExchange* dx) {
  CPropertyPage::DoDataExchange(dx);
  if (Full()) DDX_Control(dx, IDC_VRML_FRAMES_SPIN, m_spin);
  DDX_Text(dx, IDC_VRML_FILE, m_file);
  DDX_Radio(dx, IDC_VRML_VERSION1, m_version);
  if (Full()) DDX_Check(dx, IDC_VRML_VIEW, m_view);
}

BOOL CResOptVRMLPP::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  if (auto* generic = dynamic_cast<CGenericPS*>(sheet()); generic && generic->m_toolTip.m_hWnd)
    generic->m_toolTip.AddTool(GetDlgItem(IDC_VRML_BROWSE), resLoadString(IDS_TIP_BROWSE_FILE).c_str());
  if (Full()) {
    EnableFrames();
    SetHint();
    m_spin.SetBuddy(GetDlgItem(IDC_VRML_FRAMES));
    m_spin.SetRange(kVrmlMinFrames, kVrmlMaxFrames);
    m_spin.SetPos(m_frames);
  } else if (auto* picture = dynamic_cast<CStatic*>(GetDlgItem(IDC_VRML_PICTURE))) {
    if (m_picture.Attach(LoadBitmap(ResourceSetter::ResourceModule(), IDB_VRML_WIZARD))) picture->SetBitmap(m_picture);
  }
  m_initialised = true;
  return TRUE;
}

AnlModel* CResOptVRMLPP::SecondModel() {
  AnlControl* control = CadCurrentAnlControl();
  OptModel* optModel = control ? control->CurrentOptModel() : nullptr;
  OptResultCase* resultCase = optModel ? optModel->CurrentOptResultCase() : nullptr;
  return resultCase ? resultCase->SecondAnlModel() : nullptr;
}

BOOL CResOptVRMLPP::OnSetActive() {
  if (CPropertySheet* owner = sheet()) owner->SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
  AnlControl* control = CadCurrentAnlControl();
  AnlModel* second = SecondModel();
  AnlModel* model = second ? second : control ? control->CurrentAnlModel() : nullptr;
  if (model) m_file = CString(model->Name().Text()) + "." + resLoadString(IDS_VRML_EXTENSION).c_str();
  UpdateData(FALSE);
  const int choices = Full() ? 4 : 2;
  for (int i = 0; i < choices; ++i) {
    if (CWnd* choice = GetDlgItem(kChoiceIds[i])) {
      choice->EnableWindow((m_enableMask >> i) & 1);
      choice->ShowWindow((m_showMask >> i) & 1 ? SW_SHOW : SW_HIDE);
    }
  }
  if (Full()) {
    for (int id : {IDC_VRML_FRAMES_LABEL, IDC_VRML_FRAMES, IDC_VRML_FRAMES_SPIN})
      if (CWnd* control = GetDlgItem(id)) control->ShowWindow(m_showMask & kFramesBit ? SW_SHOW : SW_HIDE);
    EnableFrames();
  }
  if (m_optModelMode && second) {
    CadOpenModel(second->Name().Text(), second->Type());
    UIShowPlainModel(0);
  }
  return CPropertyPage::OnSetActive();
}

void CResOptVRMLPP::EnableFrames() {
  if (!Full()) return;
  const bool frames = (m_enableMask & kFramesBit) && IsDlgButtonChecked(IDC_VRML_FRAMES_METHOD) == BST_CHECKED;
  for (int id : {IDC_VRML_FRAMES_LABEL, IDC_VRML_FRAMES, IDC_VRML_FRAMES_SPIN})
    if (CWnd* control = GetDlgItem(id)) control->EnableWindow(frames);
}

void CResOptVRMLPP::SetHint() {
  if (Full()) SetDlgItemText(IDC_VRML_HINT, resLoadString(g_view ? IDS_VRML_HINT_VIEW : IDS_VRML_HINT_SAVE).c_str());
}

void CResOptVRMLPP::OnChoice() { EnableFrames(); }

void CResOptVRMLPP::OnBrowse() {
  UpdateData(TRUE);
  CFileDialog dialog(FALSE, resLoadString(IDS_VRML_EXTENSION).c_str(), m_file, OFN_HIDEREADONLY,
                     resLoadString(IDS_VRML_FILTER).c_str(), this);
  if (dialog.DoModal() != IDOK) return;
  m_file = dialog.GetPathName();
  SetDlgItemText(IDC_VRML_FILE, m_file);
}

void CResOptVRMLPP::OnViewCheck() {
  g_view = !g_view;
  m_view = g_view ? TRUE : FALSE;
  SetHint();
}

void CResOptVRMLPP::UpdateIfInitialised() {
  if (m_initialised) UpdateData(TRUE);
}

int CResOptVRMLPP::TypedFrames() const {
  // The frames edit is the spin's buddy: a number typed over it counts (the engine refuses one
  // outside 1 to 100); other text leaves the spin's position.
  CString typed;
  GetDlgItemText(IDC_VRML_FRAMES, typed);
  char* end = nullptr;
  const long frames = std::strtol(typed, &end, 10);
  if (typed.IsEmpty() || !end || *end != '\0') return m_spin.GetPos();
  return static_cast<int>(std::clamp<long>(frames, kVrmlMinFrames - 1, kVrmlMaxFrames + 1));
}

int CResOptVRMLPP::Export() {
  UpdateIfInitialised();
  VrmlChoice choice;
  if (m_version == 2) choice.animate = 1;
  if (m_version == 3) choice.animate = 1, choice.frameMethod = 1;
  if (Full() && m_initialised) m_frames = TypedFrames();
  AnlControl* control = CadCurrentAnlControl();
  CurrentModelKeeper keep(m_optModelMode ? control : nullptr);
  if (m_optModelMode && control) {
    if (AnlModel* second = SecondModel()) control->SetCurrentAnlModel(second);
    if (control->CurrentResultSet()) control->ClearCurrentResultSet();
  }
  CadWaitCursor wait;
  FerState* state = FerState::GetState();
  if (!state) CAE_GENERAL_ERROR();
  return state->ExportVRML(CaeString(static_cast<const char*>(m_file)), choice.animate, choice.frameMethod, m_frames,
                           m_version == 0 ? 1 : 0);
}

int CResOptVRMLPP::ExportAndView() {
  const int written = Export();
  // The engine has said why nothing was written: there is nothing to open.
  if (written) ShellExecute(nullptr, nullptr, m_file, nullptr, nullptr, SW_SHOWNORMAL);
  return written;
}

BOOL CResOptVRMLPP::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header && static_cast<int>(header->code) == PSN_HELP) {
    UIShowHelp(0x20000 + m_templateId, HELP_CONTEXT);
    if (result) *result = 1;
    return TRUE;
  }
  return CPropertyPage::OnNotify(wParam, lParam, result);
}

LRESULT CResOptVRMLPP::OnWizardNext() {
  ExportAndView();
  return CPropertyPage::OnWizardNext();
}

BOOL CResOptVRMLPP::OnWizardFinish() {
  ExportAndView();
  return CPropertyPage::OnWizardFinish();
}
