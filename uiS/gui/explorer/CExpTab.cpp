#include "gui/explorer/CExpTab.h"

#include "amg/CaeMsgCall.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadTransactionScope.h"
#include "fea/AnlControl.h"
#include "fea/AnlJob.h"
#include "fea/AnlModel.h"
#include "fea/OptModel.h"
#include "gui/explorer/ExpTreeSupport.h"

namespace {

// Whether a job counts as pending; with `check`, its status is refreshed first.
bool PendingAfterCheck(AnlJob* job, int check) {
  if (job->IsMarkedAsErased()) return false;
  if (check) job->Check();
  return job->IsPending() != 0;
}

}  // namespace

BEGIN_MESSAGE_MAP(CExpTab, CDialog)
ON_WM_TIMER()
ON_WM_SIZE()
END_MESSAGE_MAP()

CExpTab::CExpTab(CWnd* parent) : CDialog(kTemplateId, parent) {}

// The tree goes first, as its window is a child of ours.
CExpTab::~CExpTab() {
  if (::IsWindow(tree_.m_hWnd)) tree_.DestroyWindow();
  if (::IsWindow(m_hWnd)) DestroyWindow();
}

BOOL CExpTab::OnInitDialog() {
  CDialog::OnInitDialog();
  tree_.EnableDoubleClick(1).EnableContextMenu(1);
  tree_.Docked = 1;
  // The fill of the tree and the count may meet a damaged drawing: the tab and its poll live on.
  ExpRunGuarded([this] { tree_.SubclassDlgItem(IDC_EXPLORER_TREE, this); });
  RECT client{};
  GetClientRect(&client);
  FitTree(client.right - client.left, client.bottom - client.top);
  ExpRunGuarded([this] { CountPendingJobs(0); });
  SetTimer(kPollTimer, kPollMs);
  return TRUE;
}

void CExpTab::Refresh() {
  tree_.Refresh();
  CountPendingJobs(0);
}

int CExpTab::CountPendingJobs(int check) {
  int count = 0;
  AnlControl* control = AnlControl::GetCurrent();
  if (AnlModel* model = control ? control->CurrentAnlModel() : nullptr) {
    for (int i = 0; i < model->NumJobs(); ++i) {
      AnlJob* job = model->GetJob(i);
      CAE_CHECK(job);
      if (PendingAfterCheck(job, check)) ++count;
    }
  }
  if (OptModel* model = control ? control->CurrentOptModel() : nullptr) {
    for (int i = 0; i < model->NumJobs(); ++i)
      if (AnlJob* job = model->Job(i); job && PendingAfterCheck(job, check)) ++count;
  }
  pendingJobs_ = count;
  return count;
}

LRESULT CExpTab::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && (wParam == IDOK || wParam == IDCANCEL)) return 1;
  return CDialog::WindowProc(message, wParam, lParam);
}

void CExpTab::OnTimer(UINT_PTR id) {
  if (id != kPollTimer) {
    CDialog::OnTimer(id);
    return;
  }
  ExpRunGuarded([this] { Poll(); });
}

// Sleeps while nothing is pending; a tab of a drawing in the background leaves the jobs of the
// current drawing alone.
void CExpTab::Poll() {
  if (pendingJobs_ == 0) return;
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad) return;
  CadTransactionScope transaction(*cad);
  transaction.Start();
  if (!control_ || control_ == AnlControl::GetCurrent()) {
    const int before = pendingJobs_;
    if (CountPendingJobs(1) != before) Refresh();
  }
  transaction.Commit();
}

void CExpTab::OnSize(UINT type, int cx, int cy) {
  CDialog::OnSize(type, cx, cy);
  FitTree(cx, cy);
}

void CExpTab::FitTree(int width, int height) {
  if (::IsWindow(tree_.m_hWnd)) tree_.MoveWindow(0, 0, width, height);
}
