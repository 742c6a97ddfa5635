// "Simulation Type": changes an existing simulation model's analysis type.
#pragma once
#include "mfc/afx.h"
#include "res/ResourceIds.h"

class AnlModel;

class CModTypeDlg : public CDialog {
 public:
  static constexpr UINT kTemplateId = IDD_MODEL_TYPE;
  static constexpr DWORD_PTR kHelpContext = 0x20000 + IDD_MODEL_TYPE;

  explicit CModTypeDlg(CWnd* parent = nullptr);
  void DoDataExchange(CDataExchange* dx) override;

  int type = -1;  // the radio group's index: 0 stress, 1 vibration, 2 buckling, 3 heat transfer

 protected:
  void OnHelp();
  DECLARE_MESSAGE_MAP()
};

// Runs the dialog for `model`, its type preselected. OK sets the chosen type; vibration also
// closes the drawing's current load set. Cancel changes nothing. A type outside 0 to 3, before
// or after, is a consistency error.
void UISetModelType(AnlModel* model);
