#include "gui/explorer/UICommands.h"

#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadInterface.h"
#include "fea/AnlControl.h"
#include "fea/AnlJob.h"
#include "fea/AnlModel.h"
#include "fea/OptModel.h"
#include "gui/utils/UINotAvailable.h"
#include "mfc/wintypes.h"
#include "res/ResourceIds.h"

int UICmdWriteSummary() { return UINotAvailableYet("CAEP_WRITE_SUMMARY"); }
