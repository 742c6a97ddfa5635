// The "Model" page of the "Optimization Model" sheet: a working list of optimisation models that
// the user adds to, removes from, renames, types and links to simulation models. Nothing in the
// drawing changes while the sheet runs; the command commits the list after OK.
#pragma once
#include <memory>
#include <vector>

#include "amg/CaeName.h"
#include "fea/OptModel.h"
#include "mfc/afx.h"
#include "mfc/propsheet.h"
#include "res/ResourceIds.h"

class AnlModel;
class CCheckModelPP;

// One optimisation model of the working list.
struct OptModelEntry : public CaeName {
  enum State : int { kNew = 0, kRemoved = 1, kChanged = 2, kUnchanged = 3 };

  OptModel* model = nullptr;  // null: to be created
  AnlModel* anlModel = nullptr;
  CaeOptType type = CaeOptShape;
  int state = kUnchanged;

  // Changed, unless new or removed (those keep their state).
  void MarkChanged() {
    if (state == kUnchanged) state = kChanged;
  }
};

class COptModelPP : public CPropertyPage {
 public:
  // What the page shows: every model of the drawing, one given model, one new model.
  enum Mode : int { kAllModels = 0, kOneModel = 1, kNewModel = 2 };

  COptModelPP();
  ~COptModelPP() override;

  // Whether `text` may name a model; says why not in a message box.
  static bool CheckName(const CString& text);

  // The entry appended to the list and made current.
  OptModelEntry* AppendEntry(std::unique_ptr<OptModelEntry> entry);
  // Live (not removed) entries, in list order.
  std::vector<OptModelEntry*> LiveEntries() const;

  void OnAdd();
  void OnRemove();

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  BOOL OnKillActive() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  void DoDataExchange(CDataExchange* dx) override;

  CCheckModelPP* m_pCheckPage = nullptr;
  std::vector<std::unique_ptr<OptModelEntry>> m_entries;
  OptModelEntry* m_pCurrent = nullptr;
  std::vector<AnlModel*> m_anlModels;  // position here = position in the simulation-model combo
  AnlModel* m_pDefaultAnlModel = nullptr;
  int m_nMode = kAllModels;
  int m_nDefaultType = CaeOptShape;
  int m_nTypeIndex = 0;
  CString m_strName;

 protected:
  void OnModelSelChange();
  void OnModelEditChange();
  void OnModelKillFocus();
  void OnNameChange();
  void OnTypeSelChange();
  void OnAnlModelSelChange();
  DECLARE_MESSAGE_MAP()

 private:
  void FillModelList();
  void SelectType(int type);
  void SelectAnlModel(AnlModel* model);
  void ShowTypeChoice(bool choosable);
  void UpdateCheckPage();
  void UpdateTabImage();
  void EnableListControls(bool enable);
  // The name a model of the current entry would take on leaving; empty text when none applies.
  CString NameOnLeaving() const;
  bool NameIsTaken(const CString& name) const;
};
