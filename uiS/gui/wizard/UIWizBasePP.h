// The base of every guide and task-wizard page: a property page that builds itself from a private
// copy of its dialog template, taken from the localised resource library when the page object is
// made, whatever resource module is current at that moment. The copy lives as long as the page.
#pragma once
#include "mfc/afx.h"

class CWizBasePP : public CPropertyPage {
 public:
  // Keeps the low 16 bits of `templateId` and loads the copy; a failed load is not reported (the
  // sheet holding the page then fails to create it).
  explicit CWizBasePP(UINT templateId);
  ~CWizBasePP() override;
  CWizBasePP(const CWizBasePP&) = delete;
  CWizBasePP& operator=(const CWizBasePP&) = delete;

  // 1 when the page now builds from its copy, 0 on any failure (nothing is kept then).
  int LoadTemplate();
  // Runs the property page's activation when the page window exists; 0 without running it when it
  // does not (the guide refreshes its active page whenever a step mark changes).
  BOOL OnSetActive() override;

  UINT TemplateId() const { return templateId_; }
  bool HasTemplateCopy() const { return templateCopy_ != nullptr; }
  HGLOBAL TemplateCopy() const { return templateCopy_; }

  // The process-wide choice of the 95/98 family (platform id 1), set by the guide launcher before
  // any page is made. The toolkit's indirect pages take the locked bytes either way.
  static void SetUseTemplateCopy(bool useCopy);
  static bool UsesTemplateCopy();

 private:
  void FreeTemplateCopy();

  UINT templateId_;
  HGLOBAL templateCopy_ = nullptr;
};
