// The kind of the optimisation wizard last opened (0 shape, 1 concept): pages shared with the
// optimisation commands choose their texts, pictures and help by it.
#pragma once

// Stores the kind; the optimisation wizard calls it each time it opens.
void UISetOptWizardKind(int kind);
// The stored kind: 0 until a wizard was opened; kept after the wizard closes, never filed.
int UIGetOptWizardKind();
// Back to 0 (add-in load and unload, tests).
void UIResetOptWizardKind();
