#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "arx/acdocman.h"
#include "arx/aced.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/dbentity.h"
#include "arx/dbproxy.h"
#include "arx/dbsymtb.h"
#include "arx/hostcmds.h"
#include "arx/hostinput.h"
#include "arx/rxdlinkr.h"
#include "host_internal.h"
#include "kestrum/text.h"
#include "text_util.h"

namespace {

using cadhost::CommandContext;

constexpr std::size_t kPathBuffer = 4096;

// Asks for a text answer; RTNORM with the trimmed answer, RTNONE for an empty one.
int askText(const char* prompt, std::string& answer) {
  char buffer[kPathBuffer];
  int status = acedGetString(1, prompt, buffer, sizeof buffer);
  if (status != RTNORM) return status;
  answer = kestrum::Trim(buffer);
  return answer.empty() ? RTNONE : RTNORM;
}

AcApDocument* currentDocument() { return acDocManagerPtr()->curDocument(); }
AcDbDatabase* currentDatabase() { return currentDocument()->database(); }

std::string withExtension(const std::string& path, const char* extension) {
  return std::filesystem::path(path).replace_extension(extension).string();
}

// ---- drawings ----

int openCommand(bool asDxf) {
  std::string path;
  int status = askText(asDxf ? "\nEnter name of DXF file to open: " : "\nEnter name of drawing to open: ", path);
  if (status != RTNORM) return status == RTNONE ? RTCAN : status;
  AcApDocument* doc = acDocManagerPtr()->openDocument(path, asDxf);
  if (!doc) return RTERROR;
  acutPrintf("\nOpened %s\n", doc->fileName());
  return RTNORM;
}

int saveAsCommand(bool askAlways) {
  AcApDocument* doc = currentDocument();
  std::string path = doc->fileName();
  if (askAlways || !doc->isNamedDrawing()) {
    std::string suggested = withExtension(doc->fileName(), ".dwg");
    std::string prompt = "\nEnter file name <" + suggested + ">: ";
    std::string answer;
    int status = askText(prompt.c_str(), answer);
    if (status == RTCAN || status == RTERROR) return status;
    path = status == RTNONE ? suggested : answer;
  }
  if (acDocManagerPtr()->saveDocument(doc, path, askAlways) != Acad::eOk) return RTERROR;
  acutPrintf("\nDrawing saved as %s\n", doc->fileName());
  return RTNORM;
}

// Before a changed drawing goes away: "Save changes to NAME?". RTNORM when it may go (saved, or
// changes discarded), RTCAN to keep it open, RTERROR when the answer was refused or the save failed.
int offerToSave(AcApDocument* doc) {
  if (!doc->database()->hasUnsavedChanges()) return RTNORM;
  const std::string prompt = "\nSave changes to " + cadhost::fileNameOf(doc->fileName()) + "? [Yes/No/Cancel]: ";
  while (true) {
    std::string answer;
    int status = askText(prompt.c_str(), answer);
    if (status == RTCAN || status == RTERROR) return status;
    const std::string choice = cadhost::upperCase(answer);
    if (choice == "YES" || choice == "Y") {
      if (acDocManagerPtr()->activateDocument(doc) != Acad::eOk) return RTERROR;
      return saveAsCommand(false) == RTNORM ? RTNORM : RTERROR;
    }
    if (choice == "NO" || choice == "N") return RTNORM;
    if (choice == "CANCEL" || choice == "C") return RTCAN;
    if (cadhost::refuseAnswer("\nAnswer Yes, No or Cancel.\n")) return RTERROR;
  }
}

int closeCommand() {
  AcApDocument* doc = currentDocument();
  if (!doc) {
    acutPrintf("\nNo drawing is open.\n");
    return RTERROR;
  }
  if (int status = offerToSave(doc); status != RTNORM) return status;
  return acDocManagerPtr()->closeDocument(doc) ? RTNORM : RTERROR;
}

int quitCommand() {
  // Every changed drawing is offered for saving first; Cancel (or a failed save) stops quitting.
  std::vector<AcApDocument*> documents;
  std::unique_ptr<AcApDocumentIterator> it(acDocManagerPtr()->newAcApDocumentIterator());
  for (; !it->done(); it->step()) documents.push_back(it->document());
  for (AcApDocument* doc : documents)
    if (int status = offerToSave(doc); status != RTNORM) return status;
  acDocManagerPtr()->quit();
  if (acDocManagerPtr()->documentCount() > 0) return RTERROR;  // refused: a command is running
  cadhost::requestQuit();
  return RTNORM;
}

int dxfOutCommand() {
  std::string suggested = withExtension(currentDocument()->fileName(), ".dxf");
  std::string prompt = "\nEnter name of DXF file <" + suggested + ">: ";
  std::string answer;
  int status = askText(prompt.c_str(), answer);
  if (status == RTCAN || status == RTERROR) return status;
  std::string path = status == RTNONE ? suggested : answer;
  std::vector<std::string> messages;
  Acad::ErrorStatus written = currentDatabase()->dxfOut(path, &messages);
  for (const std::string& message : messages) acutPrintf("\n%s", message.c_str());
  if (written != Acad::eOk) {
    acutPrintf("\nCannot write \"%s\" (%s).\n", path.c_str(), Acad::statusName(written));
    return RTERROR;
  }
  acutPrintf("\nDXF file written: %s\n", path.c_str());
  return RTNORM;
}

// ---- undo ----

int undoSteps(int count) {
  AcDbDatabase* db = currentDatabase();
  std::vector<std::string> names = db->undoGroupNames();
  int undone = db->undo(count);
  if (undone == 0) {
    acutPrintf("\nEverything has been undone.\n");
    return RTNORM;
  }
  for (int i = 0; i < undone; ++i)
    acutPrintf("\n%s undone", names[names.size() - 1 - static_cast<std::size_t>(i)].c_str());
  acutPrintf("\n");
  return RTNORM;
}

int undoCommand() {
  int count = 1;
  int status = acedGetInt("\nEnter the number of operations to undo <1>: ", &count);
  if (status == RTCAN || status == RTERROR) return status;  // a refused answer undoes nothing
  if (status == RTNONE) count = 1;
  if (count < 1) {
    acutPrintf("\nRequires a positive number of operations.\n");
    return RTERROR;
  }
  return undoSteps(count);
}

int redoCommand() {
  AcDbDatabase* db = currentDatabase();
  if (!db->redo()) {
    acutPrintf("\nNothing to redo.\n");
    return RTNORM;
  }
  std::vector<std::string> names = db->undoGroupNames();
  acutPrintf("\n%s redone\n", names.empty() ? "" : names.back().c_str());
  return RTNORM;
}

int regenAllCommand() {
  currentDatabase()->takeGraphicsModified();
  acutPrintf("\nRegenerating model.\n");
  acedUpdateDisplay();
  return RTNORM;
}

// ---- modules ----

int arxLoadCommand() {
  std::string path;
  int status = askText("\nEnter the module to load: ", path);
  if (status != RTNORM) return status == RTNONE ? RTCAN : status;
  if (!acrxDynamicLinker->loadModule(path.c_str(), true)) return RTERROR;
  acutPrintf("\n%s loaded.\n", cadhost::fileNameOf(path).c_str());
  return RTNORM;
}

int arxUnloadCommand() {
  std::string name;
  int status = askText("\nEnter the application to unload: ", name);
  if (status != RTNORM) return status == RTNONE ? RTCAN : status;
  if (!acrxDynamicLinker->unloadModule(name.c_str())) return RTERROR;
  acutPrintf("\n%s unloaded.\n", cadhost::fileNameOf(name).c_str());
  return RTNORM;
}

// ---- layers ----

int newLayer(const std::string& name) {
  AcDbDatabase* db = currentDatabase();
  AcDbLayerTable* table = nullptr;
  if (db->getLayerTable(table, AcDb::kForWrite) != Acad::eOk) {
    acutPrintf("\nThe layer table cannot be opened.\n");
    return RTERROR;
  }
  if (table->has(name.c_str())) {
    table->close();
    acutPrintf("\nLayer \"%s\" already exists.\n", name.c_str());
    return RTERROR;
  }
  auto* record = new AcDbLayerTableRecord();
  Acad::ErrorStatus status = record->setName(name.c_str());
  if (status == Acad::eOk) {
    record->setLinetypeObjectId(db->continuousLinetype());
    status = table->add(record);
  }
  table->close();
  if (status != Acad::eOk) {
    delete record;
    acutPrintf("\nLayer \"%s\" cannot be made (%s).\n", name.c_str(), Acad::statusName(status));
    return RTERROR;
  }
  record->close();
  acutPrintf("\nLayer \"%s\" made.\n", name.c_str());
  return RTNORM;
}

int switchLayer(const std::string& name, bool on) {
  AcDbLayerTable* table = nullptr;
  if (currentDatabase()->getLayerTable(table, AcDb::kForRead) != Acad::eOk) return RTERROR;
  AcDbLayerTableRecord* record = nullptr;
  Acad::ErrorStatus status = table->getAt(name.c_str(), record, AcDb::kForWrite);
  table->close();
  if (status != Acad::eOk) {
    acutPrintf("\nNo layer is named \"%s\".\n", name.c_str());
    return RTERROR;
  }
  record->setIsOff(!on);
  record->close();
  return RTNORM;
}

int listLayers() {
  AcDbLayerTable* table = nullptr;
  if (currentDatabase()->getLayerTable(table, AcDb::kForRead) != Acad::eOk) {
    acutPrintf("\nThe layer table cannot be opened.\n");
    return RTERROR;
  }
  std::vector<AcDbObjectId> ids = table->recordIds();
  table->close();
  acutPrintf("\nLayers of %s:\n", currentDocument()->docTitle().c_str());
  for (const AcDbObjectId& id : ids) {
    AcDbLayerTableRecord* record = nullptr;
    if (acdbOpenObject(record, id, AcDb::kForRead) != Acad::eOk) continue;  // erased layers do not open
    acutPrintf("  %-24s %-3s%s%s\n", record->name().c_str(), record->isOff() ? "off" : "on",
               record->isFrozen() ? " frozen" : "", record->isLocked() ? " locked" : "");
    record->close();
  }
  return RTNORM;
}

int layerCommand() {
  std::string option;
  int status = askText("\nEnter an option [New/ON/OFF/List]: ", option);
  if (status != RTNORM) return status == RTNONE ? RTCAN : status;
  std::string choice = cadhost::upperCase(option);
  if (choice == "L" || choice == "LIST" || choice == "?") return listLayers();
  bool isNew = choice == "N" || choice == "NEW";
  if (!isNew && choice != "ON" && choice != "OFF") {
    acutPrintf("\nUnknown LAYER option \"%s\".\n", option.c_str());
    return RTERROR;
  }
  std::string name;
  status = askText(isNew ? "\nEnter name for new layer: " : "\nEnter name of layer: ", name);
  if (status != RTNORM) return status == RTNONE ? RTCAN : status;
  if (isNew) return newLayer(name);
  return switchLayer(name, choice == "ON");
}

// ---- LIST ----

std::string describe(const AcDbObject* object) {
  std::string text = "handle " + object->objectHandle().text();
  if (auto* record = AcDbSymbolTableRecord::cast(object)) text += "  name \"" + record->name() + "\"";
  if (auto* entity = AcDbEntity::cast(object)) text += "  layer \"" + entity->layer() + "\"";
  if (AcDbProxyObject::cast(object)) text += "  owner " + object->ownerId().handle().text();
  return text;
}

int listCommand() {
  AcDbDatabase* db = currentDatabase();
  std::map<std::string, std::vector<std::string>> byClass;
  for (const AcDbObjectId& id : db->objectIds()) {
    AcDbObject* object = nullptr;
    Acad::ErrorStatus status = acdbOpenObject(object, id, AcDb::kForRead);
    if (status != Acad::eOk) {
      acutPrintf("\nhandle %s cannot be opened (%s).", id.handle().text().c_str(), Acad::statusName(status));
      continue;
    }
    const auto* proxy = AcDbProxyObject::cast(object);
    byClass[proxy ? "Proxy of " + proxy->originalClassName() : std::string(object->isA()->name())].push_back(
        describe(object));
    object->close();
  }
  acutPrintf("\nObjects of %s:\n", currentDocument()->docTitle().c_str());
  for (const auto& [className, lines] : byClass) {
    acutPrintf("%s (%zu)\n", className.c_str(), lines.size());
    for (const std::string& line : lines) acutPrintf("  %s\n", line.c_str());
  }
  return RTNORM;
}

int menuLoadCommand() {
  std::string name;
  int status = askText("\nEnter name of menu file to load: ", name);
  if (status != RTNORM) return status == RTNONE ? RTCAN : status;
  return cadhost::loadMenuFile(name);
}

int menuUnloadCommand() {
  std::string name;
  int status = askText("\nEnter the name of a menu group to unload: ", name);
  if (status != RTNORM) return status == RTNONE ? RTCAN : status;
  return cadhost::unloadMenuGroup(name);
}

}  // namespace

namespace cadhost {

void registerBuiltinCommands() {
  const CommandContext app = CommandContext::kApplication, doc = CommandContext::kDocument;
  addHostCommand("NEW", app, [] { return acDocManagerPtr()->newDocument() ? RTNORM : RTERROR; });
  addHostCommand("OPEN", app, [] { return openCommand(false); });
  addHostCommand("DXFIN", app, [] { return openCommand(true); });
  addHostCommand("CLOSE", app, closeCommand);
  addHostCommand("QUIT", app, quitCommand);
  addHostCommand("ARXLOAD", app, arxLoadCommand);
  addHostCommand("ARXUNLOAD", app, arxUnloadCommand);
  addHostCommand("QSAVE", doc, [] { return saveAsCommand(false); });
  addHostCommand("SAVEAS", doc, [] { return saveAsCommand(true); });
  addHostCommand("DXFOUT", doc, dxfOutCommand);
  addHostCommand("UNDO", doc, undoCommand);
  addHostCommand("U", doc, [] { return undoSteps(1); });
  addHostCommand("REDO", doc, redoCommand);
  addHostCommand("REGENALL", doc, regenAllCommand);
  addHostCommand("LAYER", doc, layerCommand);
  addHostCommand("LIST", doc, listCommand);
  addHostCommand("UCS", doc, runUcsCommand);
  addHostCommand("MENULOAD", doc, menuLoadCommand);
  addHostCommand("MENUUNLOAD", doc, menuUnloadCommand);
  addHostCommand("MENU", app, menuCommand);
  registerDrawingCommands();
}

}  // namespace cadhost
