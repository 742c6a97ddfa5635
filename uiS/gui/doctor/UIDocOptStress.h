// The design doctor's parameters page: the yield stresses of the model's materials as the page
// edits them.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "amg/CaeString.h"
#include "gui/wizard/UIWizBasePP.h"
#include "mfc/afx.h"

class AnlModel;
class CDocWizPS;

// The materials of a model with the yield stress (native) the doctor judges them by, ordered by
// the bytes of their names. A material the user gave a new yield is marked edited: only those are
// written back into the model, so that a doctor run leaves every other material, its temperature
// rows included, as it was.
class DocMaterialYields {
 public:
  // Enters each material of the model's live sub-models (with a live mesh) not listed yet, with
  // the yield of its first row.
  void Collect(AnlModel* model);
  std::vector<CaeString> Names() const;
  // False when the material is not listed.
  bool Yield(const CaeString& material, double& yield) const;
  bool IsEdited(const CaeString& material) const;
  // The user's yield for a material: it becomes the material's and marks it edited when it
  // differs from the one listed. False when the material is not listed.
  bool Edit(const CaeString& material, double yield);
  // Writes each edited material's yield into every row of that material in the model that
  // differs. Answers 1 when a material changed, 0 when none did, -1 when a material of the model
  // is not listed (nothing is written then).
  int WriteBack(AnlModel* model) const;

 private:
  struct Entry {
    double yield = 0.0;
    bool edited = false;
  };
  std::map<std::string, Entry> entries_;
};

// The doctor sheet's first page: the subject (a job, polled while it runs, or a result set), its
// analysis type and the test parameters. Yields and bounds are shown in host units.
class CDocOptStress : public CWizBasePP {
 public:
  CDocOptStress();

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  LRESULT OnWizardNext() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  void DoDataExchange(CDataExchange* dx) override;

  // With 1 collects the yields of the current model's materials; with 0 writes the edited ones
  // back and refreshes the display's colours when a material changed.
  void UpdateMaterialStresses(int collect);
  DocMaterialYields& Yields() { return yields_; }
  int PageType() const { return type_; }

 protected:
  void OnPaint();
  BOOL OnQueryNewPalette();
  void OnPaletteChanged(CWnd* changedBy);
  void OnTimer(UINT_PTR id);
  void OnMaterialChange();
  void OnTypeChange();
  void OnResultSetChange();
  DECLARE_MESSAGE_MAP()

 private:
  CDocWizPS* Sheet() const;
  void ShowJobStatus();
  void ShowAnalysisType();
  void ShowCriteria();
  void FillResultSets();
  void FillTypeCombo();
  void ShowMaterialYield();
  // False (after a message naming the field) when an entry is not acceptable.
  bool StoreEditedYield();
  bool StoreCriteria();
  bool CheckEntries();
  void LoadParameters();
  void SaveParameters();
  void EnableParameters(bool editable);

  DocMaterialYields yields_;
  CString resultSetText_;
  double maxError_ = 0.0;
  double yield_ = 0.0;
  CString materialText_;
  double upper_ = 0.0;
  double lower_ = 0.0;
  double single_ = 0.0;
  UINT_PTR pollTimer_ = 0;
  int type_ = 0;
};
