#include "util/acString.h"

#include "amg/CaeMsgCall.h"
#include "arx/acutads.h"
#include "cadInterface/CadResources.h"

int acLoadString(unsigned id, CaeString& text) {
  resLoadString(text, id);
  CAE_CHECK(!text.IsEmpty());
  return 1;
}

int acPrintString(unsigned id) {
  CaeString text;
  resLoadString(text, id);
  CAE_CHECK(!text.IsEmpty());
  acutPrintf("%s", text.Text());
  acutPrintf("\n");
  return 1;
}
