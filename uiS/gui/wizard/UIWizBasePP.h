// The base of the guide's pages. Only the process-wide choice of how a page builds from its
// template is part of the system yet: from the locked copy of the template (on platforms whose
// version query reports platform id 1) or from the copy's memory handle.
#pragma once

class CWizBasePP {
 public:
  static void SetUseTemplateCopy(bool useCopy);
  static bool UsesTemplateCopy();
};
