#include "gui/utils/UIResultsPopup.h"

#include <array>

#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "fea/AnlJob.h"
#include "fea/FerState.h"
#include "fev/FerWndOGLDisp.h"
#include "gui/dialogs/results/UIViewDynamicsDlg.h"
#include "gui/utils/UIFerSAPI.h"
#include "gui/utils/UIResults.h"
#include "mfc/afx.h"
#include "res/ResourceIds.h"

namespace {

// The results window's tool bitmaps, in the order it takes them.
constexpr std::array<UINT, 4> kToolBitmaps = {IDB_RESULTS_TOOL_3, IDB_RESULTS_TOOL_4, IDB_RESULTS_TOOL_1,
                                              IDB_RESULTS_TOOL_2};

FerWndOGLDisp* CurrentResultsWindow() { return dynamic_cast<FerWndOGLDisp*>(FerDisplay::GetCurrent()); }

void TrackMenu(POINT point, HWND window) {
  CMenu menu;
  if (!menu.LoadMenu(IDR_RESULTS_POPUP)) return;
  CMenu* popup = menu.GetSubMenu(0);
  CWnd* owner = CWnd::FromHandle(window);
  if (!popup || !owner) return;
  owner->ClientToScreen(&point);
  popup->TrackPopupMenu(TPM_RIGHTBUTTON, point.x, point.y, owner);
}

void CloseResultsWindow() {
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad) return;
  if (CWnd* main = CWnd::FromHandle(cad->GetMainWindow())) main->SetActiveWindow();
  cad->ShowResultsWindow(0);
}

}  // namespace

void UISetupResultsDisplay() {
  FerWndOGLDisp* display = CurrentResultsWindow();
  if (!display) return;
  display->SetPopupCommand(&UIResultsPopupCommand);
  display->SetResourceModule(ResourceSetter::ResourceModule(), kToolBitmaps);
  CadInterface* cad = CadInterface::GetCurrent();
  display->SetParentWindow(cad ? cad->GetMainWindow() : nullptr);
}

void UIResultsPopupCommand(void*, POINT point, HWND window, UINT command) {
  ResourceSetter resources(1);
  FerWndOGLDisp* display = CurrentResultsWindow();
  if (command == 0) {
    TrackMenu(point, window);
  } else if (command == IDM_RES_VIEW_DYNAMICS) {
    CViewDynamicsDlg dialog;
    dialog.DoModal();
  } else if (command == IDM_RES_PRINT) {
    if (display) display->PrintDisplay();
  } else if (command == IDM_RES_COPY) {
    if (display) display->CopyToClipboard();
  } else if (command >= IDM_RES_VIEW_FRONT && command <= IDM_RES_VIEW_TRIMETRIC) {
    if (display) display->ShowStandardView(static_cast<int>(command - IDM_RES_VIEW_FRONT));
  } else if (command == IDM_RES_CLOSE) {
    CloseResultsWindow();
  }
}

int UIShowLatestResults(int applyDefaults) {
  AnlControl* control = CadCurrentAnlControl();
  AnlModel* model = control ? control->CurrentAnlModel() : nullptr;
  if (!model) return 0;
  if (UICountModelJobs() > 0) {
    AnlJob* job = UIFindModelJob(kUIJobPending | kUIJobHasResults);
    if (job) {
      job->Check();
      if (job->HaveResults()) {
        UIShowJobResults(job, model, applyDefaults, 1);
        return 1;
      }
    }
  }
  FerResultSet* resultSet = UIGetCurrentResultSet();
  if (!resultSet) return 0;
  UIShowResultSet(resultSet, model, applyDefaults);
  return 1;
}
