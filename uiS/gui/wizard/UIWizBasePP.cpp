#include "gui/wizard/UIWizBasePP.h"

namespace {
bool useTemplateCopy = false;
}

void CWizBasePP::SetUseTemplateCopy(bool useCopy) { useTemplateCopy = useCopy; }
bool CWizBasePP::UsesTemplateCopy() { return useTemplateCopy; }
