#include "gui/dialogs/units/UISetupCommands.h"

#include "gui/utils/UINotAvailable.h"

void UIMeshAdd() { UINotAvailableYet("Add Mesh"); }
void UIAttNew(int kind) {
  static const char* const kinds[] = {"New loads", "New restraints", "New thermal conditions"};
  UINotAvailableYet(kind >= 0 && kind <= 2 ? kinds[kind] : "New conditions");
}
