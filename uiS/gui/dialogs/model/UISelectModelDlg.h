// "Select Model": the user chooses the object a command needs among several candidates of one
// kind. The caller sets the mode, runs the dialog and, after IDOK, reads the result of its mode
// (null when no listed object bears the chosen name).
#pragma once
#include <vector>

#include "mfc/afx.h"
#include "res/ResourceIds.h"

class AnlModel;
class AttLbcCase;
class CaeName;
class OptModel;
class OptResultCase;

class CSelectModelDlg : public CDialog {
 public:
  static constexpr UINT kTemplateId = IDD_SELECT_MODEL;
  static constexpr DWORD_PTR kHelpContext = 0x20000 + IDD_SELECT_MODEL;
  // What is listed: the live objects of the kind, in the drawing's order; for result sets those
  // of the current optimisation model whose run has ended.
  enum Mode { kModel = 0, kLoadSet = 1, kRestraintSet = 2, kOptModel = 3, kOptResultSet = 4 };

  explicit CSelectModelDlg(CWnd* parent = nullptr);

  void SetMode(int mode) { mode_ = mode; }
  int Mode() const { return mode_; }
  AnlModel* ChosenModel() const { return model_; }
  AttLbcCase* ChosenSet() const { return set_; }
  OptModel* ChosenOptModel() const { return optModel_; }
  OptResultCase* ChosenResultCase() const { return resultCase_; }
  const CString& ChosenText() const { return text_; }

  BOOL OnInitDialog() override;
  // Ends with IDOK, then takes the first listed object whose name is the chosen text exactly
  // (case counts).
  void OnOK() override;

 protected:
  void OnHelp();
  DECLARE_MESSAGE_MAP()

 private:
  // The listed objects, each under the pointer type of the mode's result.
  struct Candidate {
    const CaeName* name;
    void* object;
  };
  std::vector<Candidate> Candidates() const;
  void Choose(void* object);

  int mode_ = kModel;
  AnlModel* model_ = nullptr;
  AttLbcCase* set_ = nullptr;
  OptModel* optModel_ = nullptr;
  OptResultCase* resultCase_ = nullptr;
  CString text_;
};
