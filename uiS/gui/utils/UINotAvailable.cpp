#include "gui/utils/UINotAvailable.h"

#include "amg/CaeString.h"
#include "cadInterface/CadInterface.h"

int UINotAvailableYet(const char* what) {
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad) return 0;
  const CaeString text = CaeString(what) + " is not available yet.";
  cad->PrintMessage(text.c_str());
  return 0;
}
