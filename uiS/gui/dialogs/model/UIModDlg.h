// "Current Model": the current simulation model with its type, the current load set and
// restraint set, and, the first time in a drawing, the unit the drawing was designed in.
//
// The dialog keeps no drawing data: OK opens, creates or closes the objects through the
// document services and sets the unit through the CAD interface.
#pragma once
#include "mfc/afx.h"
#include "res/ResourceIds.h"

// The handler of "CAEP_MODEL": runs the dialog without a parent when the CAD lets a command
// start. Answers 0.
int UICmdModel();

class CModelDlg : public CDialog {
 public:
  static constexpr UINT kTemplateId = IDD_CURRENT_MODEL;
  static constexpr DWORD_PTR kHelpContext = 0x20000 + IDD_CURRENT_MODEL;
  // Analysis types, as the engine numbers them; the radio group's indices.
  enum Type { kNoType = -1, kStress = 0, kVibration = 1, kBuckling = 2, kHeatTransfer = 3 };
  enum Choice { kNoChoice = -1, kOpen = 0, kNew = 1 };

  explicit CModelDlg(CWnd* parent = nullptr);

  BOOL OnInitDialog() override;
  void OnOK() override;
  void DoDataExchange(CDataExchange* dx) override;

  // The load-set list, edit and New button follow `enable`; Open only while the drawing has a
  // live load set.
  void EnableLoadSetGroup(bool enable);

  // Whether the last OK left each object closed; shared by every drawing while the add-in is
  // loaded. A group whose flag is set does not preselect its first entry.
  static bool ModelClosed();
  static bool LoadSetClosed();
  static bool RestraintSetClosed();
  static void ResetClosedFlags();  // load and unload, and between tests

 protected:
  void OnModelSelChange();
  void OnTypeChanged();
  void OnChoiceChanged();
  void OnHelp();
  DECLARE_MESSAGE_MAP()

 private:
  struct Group;
  static const Group kGroups[3];

  // Fills one group's list, edit and choice; answers whether its first entry was preselected.
  bool FillGroup(const Group& group);
  void FillModels();
  void FillLoadSets();
  void FillRestraintSets();
  // Shows the list or the edit of each group by its choice.
  void ShowChoices();
  void PrepareUnitRow();
  // The name a group's OK takes: the edit's under New (checked against `limit`), else the
  // list's. False, with the message shown and the focus on the edit, when the name is refused.
  bool TakeName(const Group& group, int limit, CString& name);
  bool ValidateName(const CString& name, int editId, int limit, UINT tooLongMessage);
  // The unit of that long name becomes the drawing's, with its host unit system.
  void ApplyLengthUnit(const CString& unitName);

  int type_ = kNoType;
  CString modelName_;
  CString loadSetName_;
  CString restraintSetName_;
  CString newLoadSetName_;
  CString newModelName_;
  CString newRestraintSetName_;
  int loadSetChoice_ = kNoChoice;
  int modelChoice_ = kNoChoice;
  int restraintSetChoice_ = kNoChoice;
  bool unitNotChosen_ = false;
};
