#include "util/acMenu.h"

#include <cstdio>
#include <string>

#include "amg/CaeConfig.h"
#include "arx/aced.h"
#include "arx/acutads.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "res/ResourceIds.h"
#include "util/acDeferredPasses.h"

namespace {

constexpr char kMenuGroup[] = "CAEP";
constexpr char kFallbackBaseName[] = "caepENU";
constexpr char kRemovePulldown[] = "(menucmd \"Gcaep.pop1=-\")";
constexpr char kHostHelpPulldownProbe[] = "Gacad.pop16=?";
constexpr int kLastProbedPosition = 16;

CaeString& baseName() {
  static CaeString name;
  return name;
}

bool menuFileFound(const std::string& base) {
  char found[4096];
  return acedFindFile((base + ".mnu").c_str(), found, sizeof found) == RTNORM;
}

// "\"<text>\")": the quoted last argument of a queued command.
std::string quotedLast(const CaeString& text) { return "\"" + std::string(text.Text()) + "\")"; }

// The first position of the bar that holds no pull-down (17 when all 16 do).
int firstFreePosition() {
  int position = 1;
  for (; position <= kLastProbedPosition; ++position)
    if (acedMenuCmd(("P" + std::to_string(position) + ".1=?").c_str()) == RTNORM) break;
  return position;
}

}  // namespace

void acMenuBaseName() {
  const std::string localised = std::string(resLoadString(IDS_MENU_BASE).Text()) + CaeConfig::GetOndrelLocale().Text();
  baseName() = CaeString(menuFileFound(localised) ? localised.c_str() : kFallbackBaseName);
}

const CaeString& acCurrentMenuBaseName() { return baseName(); }

int acInstallMenus() {
  acNotePass("menus-install");
  if (baseName().IsEmpty()) acMenuBaseName();
  const bool loaded = acedIsMenuGroupLoaded(kMenuGroup);
  if (loaded) {
    ads_queueexpr(kRemovePulldown);
  } else {
    if (!menuFileFound(baseName().Text())) return 0;
    const std::string load = std::string(resLoadString(IDS_MENU_LOAD_EXPR).Text()) + " " + quotedLast(baseName());
    ads_queueexpr(load.c_str());
  }
  int position = firstFreePosition();
  if (loaded) --position;
  ads_queueexpr(("(menucmd \"P" + std::to_string(position - 1) + "=+caep.pop1\")").c_str());
  if (CadInterface* cad = CadInterface::GetCurrent()) cad->RefreshAfterCommand();
  return 1;
}

int acResetMenus() {
  acNotePass("menus-reset");
  const std::string unload =
      std::string(resLoadString(IDS_MENU_UNLOAD_EXPR).Text()) + " " + quotedLast(resLoadString(IDS_MENU_BASE));
  ads_queueexpr(unload.c_str());
  // The host adds another copy of a pull-down that is on the bar already: repeated loads and
  // unloads would stack its help pull-down.
  if (acedMenuCmd(kHostHelpPulldownProbe) == RTNORM) return 1;
  return acQueueStringExpr(IDS_MENU_RESTORE_HELP_EXPR);
}

int acQueueStringExpr(unsigned stringId) {
  const CaeString text = resLoadString(stringId);
  if (text.IsEmpty()) return 0;
  ads_queueexpr(text.Text());
  return 1;
}

void acResetMenuState() { baseName() = CaeString(); }
