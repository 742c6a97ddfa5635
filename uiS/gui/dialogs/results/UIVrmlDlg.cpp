#include "gui/dialogs/results/UIVrmlDlg.h"

#include "amg/CaeMsgCall.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/FerState.h"
#include "gui/utils/UIResultsCommand.h"
#include "mfc/services.h"

namespace {

constexpr int kChoiceIds[] = {IDC_VRML_VERSION1, IDC_VRML_VERSION2, IDC_VRML_INTERPOLATED, IDC_VRML_FRAMES_METHOD};
constexpr int kFramesChoice = 3;

}  // namespace

VrmlChoice UIVrmlChoice(int index) {
  switch (index) {
    case 0: return {0, 0, 1};
    case 2: return {1, 0, 0};
    case 3: return {1, 1, 0};
    default: return {0, 0, 0};
  }
}

CString UIVrmlDefaultFile() { return UIResultsDefaultFile(IDS_VRML_EXTENSION); }

BEGIN_MESSAGE_MAP(CVrmlDlg, CDialog)
ON_BN_CLICKED(IDC_VRML_VERSION1, OnChoice)
ON_BN_CLICKED(IDC_VRML_VERSION2, OnChoice)
ON_BN_CLICKED(IDC_VRML_INTERPOLATED, OnChoice)
ON_BN_CLICKED(IDC_VRML_FRAMES_METHOD, OnChoice)
ON_BN_CLICKED(IDC_VRML_BROWSE, OnBrowse)
ON_BN_CLICKED(IDC_VRML_HELP, OnHelp)
END_MESSAGE_MAP()

CVrmlDlg::CVrmlDlg(CWnd* parent) : CDialog(kTemplateId, parent), m_file(UIVrmlDefaultFile()) {}

BOOL CVrmlDlg::OnInitDialog() {
  CDialog::OnInitDialog();  // the file, "V&RML version 2.0" and the frames into the controls
  m_spin.SetBuddy(GetDlgItem(IDC_VRML_FRAMES));
  m_spin.SetRange(kVrmlMinFrames, kVrmlMaxFrames);
  m_spin.SetPos(kVrmlDefaultFrames);
  EnableFrames();
  return TRUE;
}

void CVrmlDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_VRML_FRAMES_SPIN, m_spin);
  DDX_Text(dx, IDC_VRML_FILE, m_file);
  DDX_Radio(dx, IDC_VRML_VERSION1, m_version);
  // The edit is the spin's buddy: it holds the spin's position, or what was typed over it.
  DDX_Text(dx, IDC_VRML_FRAMES, m_frames);
  DDV_MinMaxInt(dx, m_frames, kVrmlMinFrames, kVrmlMaxFrames);
}

void CVrmlDlg::EnableFrames() {
  const bool frames = IsDlgButtonChecked(kChoiceIds[kFramesChoice]) == BST_CHECKED;
  for (int id : {IDC_VRML_FRAMES, IDC_VRML_FRAMES_SPIN})
    if (CWnd* control = GetDlgItem(id)) control->EnableWindow(frames);
}

void CVrmlDlg::OnChoice() { EnableFrames(); }

void CVrmlDlg::OnBrowse() {
  CString file;
  GetDlgItemText(IDC_VRML_FILE, file);
  CFileDialog dialog(FALSE, resLoadString(IDS_VRML_EXTENSION).c_str(), file, OFN_HIDEREADONLY,
                     resLoadString(IDS_VRML_FILTER).c_str(), this);
  dialog.DoModal();
  SetDlgItemText(IDC_VRML_FILE, dialog.GetPathName());
}

void CVrmlDlg::OnHelp() { UIShowHelp(kHelpContext, HELP_CONTEXT); }

void CVrmlDlg::OnOK() {
  if (!UpdateData(TRUE)) return;
  const VrmlChoice choice = UIVrmlChoice(m_version);
  int written = 0;
  {
    CadWaitCursor wait;
    FerState* state = FerState::GetState();
    if (!state) CAE_GENERAL_ERROR();
    written = state->ExportVRML(CaeString(static_cast<const char*>(m_file)), choice.animate, choice.frameMethod,
                                m_frames, choice.version1);
  }
  // The engine has said why it wrote nothing: nothing to open, and the user may try again.
  if (!written) return;
  UIOpenWrittenFile(*this, m_file);
}

int UIWriteVrml() {
  return UIRunResultsCommand([] {
    CVrmlDlg dialog;
    dialog.DoModal();
  });
}
