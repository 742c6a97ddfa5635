#include "gui/optwizard/UIOptWizardKind.h"

namespace {
int wizardKind = 0;  // module-wide; the host's user-interface thread only
}  // namespace

void UISetOptWizardKind(int kind) { wizardKind = kind; }
int UIGetOptWizardKind() { return wizardKind; }
void UIResetOptWizardKind() { wizardKind = 0; }
