#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/rxdlinkr.h"
#include "host_internal.h"
#include "text_util.h"

ACRX_NO_CONS_DEFINE_MEMBERS(AcApDocManager, AcRxObject);

struct AcApDocumentAccess {
  static AcApDocument* create(const std::string& fileName, AcDbDatabase* db) {
    auto* doc = new AcApDocument();
    doc->fileName_ = fileName;
    doc->database_ = db;
    return doc;
  }
  static void destroy(AcApDocument* doc) { delete doc; }
  static void rename(AcApDocument* doc, const std::string& path) {
    doc->fileName_ = path;
    doc->named_ = true;
  }
  static void setNamed(AcApDocument* doc) { doc->named_ = true; }
  static int& commandDepth(AcApDocument* doc) { return doc->commandDepth_; }
  static int& lockCount(AcApDocument* doc) { return doc->lockCount_; }
  static AcAp::DocLockMode& lockMode(AcApDocument* doc) { return doc->lockMode_; }
  static bool& lockUndoGroup(AcApDocument* doc) { return doc->lockUndoGroup_; }
};

namespace {

struct DocState {
  std::vector<AcApDocument*> documents;   // open order
  std::vector<AcApDocument*> activation;  // most recently active last
  AcApDocument* current = nullptr;
  std::vector<AcApDocManagerReactor*> reactors;
  std::vector<void*> resourceHandles;
  int drawingCounter = 0;
};

DocState& state() {
  static auto* instance = new DocState();
  return *instance;
}

bool isOpen(const AcApDocument* doc) {
  const auto& docs = state().documents;
  return doc && std::find(docs.begin(), docs.end(), doc) != docs.end();
}

void makeCurrent(AcApDocument* doc) {
  DocState& s = state();
  s.current = doc;
  if (doc) {
    s.activation.erase(std::remove(s.activation.begin(), s.activation.end(), doc), s.activation.end());
    s.activation.push_back(doc);
  }
  acdbHostApplicationServices()->setWorkingDatabase(doc ? doc->database() : nullptr);
}

using DocCall = void (AcApDocManagerReactor::*)(AcApDocument*);

void notifyDoc(const char* what, DocCall call, AcApDocument* doc) {
  cadhost::notifyDocReactors(what, [&](AcApDocManagerReactor& r) { (r.*call)(doc); });
}

using DbCall = void (AcEditorReactor::*)(AcDbDatabase*);

void notifyDb(const char* what, DbCall call, AcDbDatabase* db) {
  cadhost::notifyEditorReactors(what, [&](AcEditorReactor& r) { (r.*call)(db); });
}

// The switch to `doc`; `announceDeactivation` is false when the previous document is gone.
void switchTo(AcApDocument* doc, bool announceDeactivation) {
  AcApDocument* old = state().current;
  if (announceDeactivation && old)
    notifyDoc("documentToBeDeactivated", &AcApDocManagerReactor::documentToBeDeactivated, old);
  notifyDoc("documentToBeActivated", &AcApDocManagerReactor::documentToBeActivated, doc);
  makeCurrent(doc);
  notifyDoc("documentBecameCurrent", &AcApDocManagerReactor::documentBecameCurrent, doc);
  notifyDoc("documentActivated", &AcApDocManagerReactor::documentActivated, doc);
}

// The start of NEW and OPEN: announced, current, database constructed.
AcApDocument* announceNewDocument(const std::string& fileName, AcDbDatabase* db) {
  DocState& s = state();
  AcApDocument* doc = AcApDocumentAccess::create(fileName, db);
  s.documents.push_back(doc);
  AcApDocument* old = s.current;
  notifyDoc("documentCreateStarted", &AcApDocManagerReactor::documentCreateStarted, doc);
  if (old) notifyDoc("documentToBeDeactivated", &AcApDocManagerReactor::documentToBeDeactivated, old);
  notifyDoc("documentToBeActivated", &AcApDocManagerReactor::documentToBeActivated, doc);
  makeCurrent(doc);
  notifyDoc("documentBecameCurrent", &AcApDocManagerReactor::documentBecameCurrent, doc);
  notifyDb("databaseConstructed", &AcEditorReactor::databaseConstructed, db);
  return doc;
}

void finishNewDocument(AcApDocument* doc) {
  notifyDoc("documentCreated", &AcApDocManagerReactor::documentCreated, doc);
  notifyDoc("documentActivated", &AcApDocManagerReactor::documentActivated, doc);
  acrxDynamicLinker->sendToAll(AcRx::kLoadDwgMsg);
}

// Removes a document that is current: the tail of CLOSE and of a failed OPEN.
void destroyCurrentDocument(AcApDocument* doc) {
  DocState& s = state();
  std::string fileName = doc->fileName();
  notifyDoc("documentToBeDestroyed", &AcApDocManagerReactor::documentToBeDestroyed, doc);
  notifyDb("databaseToBeDestroyed", &AcEditorReactor::databaseToBeDestroyed, doc->database());
  s.documents.erase(std::remove(s.documents.begin(), s.documents.end(), doc), s.documents.end());
  s.activation.erase(std::remove(s.activation.begin(), s.activation.end(), doc), s.activation.end());
  makeCurrent(nullptr);
  cadhost::forgetUcs(doc->database());
  AcApDocumentAccess::destroy(doc);
  cadhost::notifyDocReactors("documentDestroyed",
                             [&](AcApDocManagerReactor& r) { r.documentDestroyed(fileName.c_str()); });
  if (!s.activation.empty()) switchTo(s.activation.back(), false);
}

std::string absolutePath(const std::string& path) {
  std::error_code ignored;
  auto absolute = std::filesystem::absolute(cadhost::normalisePath(path), ignored);
  return absolute.lexically_normal().string();
}

void printMessages(const std::vector<std::string>& messages) {
  for (const std::string& message : messages) acutPrintf("\n%s", message.c_str());
  if (!messages.empty()) acutPrintf("\n");
}

// Nested locks keep the strongest mode: any write mode outranks reading.
int lockRank(AcAp::DocLockMode mode) {
  switch (mode) {
    case AcAp::kNone:
    case AcAp::kNotLocked: return 0;
    case AcAp::kRead: return 1;
    case AcAp::kXWrite: return 3;
    default: return 2;
  }
}

class DocumentIterator : public AcApDocumentIterator {
 public:
  explicit DocumentIterator(std::vector<AcApDocument*> docs) : docs_(std::move(docs)) {}
  bool done() const override { return index_ >= docs_.size(); }
  void step() override { ++index_; }
  AcApDocument* document() override { return done() ? nullptr : docs_[index_]; }

 private:
  std::vector<AcApDocument*> docs_;
  std::size_t index_ = 0;
};

}  // namespace

// ---- AcApDocument ----------------------------------------------------------------------------

AcApDocument::~AcApDocument() { delete database_; }

std::string AcApDocument::docTitle() const { return cadhost::fileNameOf(fileName_); }

AcDbTransactionManager* AcApDocument::transactionManager() const {
  return database_ ? database_->transactionManager() : nullptr;
}

bool AcApDocument::isQuiescent() const {
  return commandDepth_ == 0 && cadhost::lispDepth() == 0 && cadhost::inputWaitDepth() == 0;
}

AcAp::DocLockMode AcApDocument::myLockMode() const { return lockMode_; }

// ---- AcApDocManager --------------------------------------------------------------------------

AcApDocument* AcApDocManager::curDocument() const { return state().current; }
AcApDocument* AcApDocManager::mdiActiveDocument() const { return state().current; }

AcApDocument* AcApDocManager::document(const AcDbDatabase* db) const {
  for (AcApDocument* doc : state().documents)
    if (db && doc->database() == db) return doc;
  return nullptr;
}

int AcApDocManager::documentCount() const { return static_cast<int>(state().documents.size()); }

AcApDocumentIterator* AcApDocManager::newAcApDocumentIterator() const {
  return new DocumentIterator(state().documents);
}

Acad::ErrorStatus AcApDocManager::activateDocument(AcApDocument* doc) {
  if (!isOpen(doc)) return Acad::eNotApplicable;
  if (doc != state().current) switchTo(doc, true);
  return Acad::eOk;
}

Acad::ErrorStatus AcApDocManager::lockDocument(AcApDocument* doc, AcAp::DocLockMode mode, const char* globalCmdName,
                                               const char*, bool) {
  if (!isOpen(doc)) return Acad::eNotApplicable;
  AcAp::DocLockMode previous = AcApDocumentAccess::lockMode(doc);
  const char* command = globalCmdName ? globalCmdName : "";
  cadhost::notifyDocReactors("documentLockModeWillChange", [&](AcApDocManagerReactor& r) {
    r.documentLockModeWillChange(doc, previous, mode, command);
  });
  AcDbDatabase* db = doc->database();
  if (AcApDocumentAccess::lockCount(doc) == 0 && *command && mode == AcAp::kWrite &&
      AcApDocumentAccess::commandDepth(doc) == 0 && db && !db->isUndoGroupOpen()) {
    db->beginUndoGroup(command);
    AcApDocumentAccess::lockUndoGroup(doc) = true;
  }
  ++AcApDocumentAccess::lockCount(doc);
  if (lockRank(mode) > lockRank(previous)) AcApDocumentAccess::lockMode(doc) = mode;
  cadhost::notifyDocReactors("documentLockModeChanged", [&](AcApDocManagerReactor& r) {
    r.documentLockModeChanged(doc, previous, AcApDocumentAccess::lockMode(doc), command);
  });
  return Acad::eOk;
}

Acad::ErrorStatus AcApDocManager::unlockDocument(AcApDocument* doc) {
  if (!isOpen(doc)) return Acad::eNotApplicable;
  if (AcApDocumentAccess::lockCount(doc) == 0) return Acad::eNotFound;
  if (--AcApDocumentAccess::lockCount(doc) > 0) return Acad::eOk;
  AcApDocumentAccess::lockMode(doc) = AcAp::kNotLocked;
  if (std::exchange(AcApDocumentAccess::lockUndoGroup(doc), false)) {
    AcDbDatabase* db = doc->database();
    if (db && db->isUndoGroupOpen()) db->endUndoGroup();
  }
  return Acad::eOk;
}

void AcApDocManager::pushResourceHandle(void* resourceHandle) { state().resourceHandles.push_back(resourceHandle); }

void AcApDocManager::popResourceHandle() {
  if (!state().resourceHandles.empty()) state().resourceHandles.pop_back();
}

int AcApDocManager::resourceHandleDepth() const { return static_cast<int>(state().resourceHandles.size()); }

void* AcApDocManager::currentResourceHandle() const {
  return state().resourceHandles.empty() ? nullptr : state().resourceHandles.back();
}

void AcApDocManager::addReactor(AcApDocManagerReactor* reactor) {
  auto& list = state().reactors;
  if (reactor && std::find(list.begin(), list.end(), reactor) == list.end()) list.push_back(reactor);
}

void AcApDocManager::removeReactor(AcApDocManagerReactor* reactor) {
  auto& list = state().reactors;
  list.erase(std::remove(list.begin(), list.end(), reactor), list.end());
}

AcApDocument* AcApDocManager::newDocument() {
  std::string name = "Drawing" + std::to_string(++state().drawingCounter) + ".dwg";
  AcApDocument* doc = announceNewDocument(name, new AcDbDatabase(true));
  finishNewDocument(doc);
  return doc;
}

AcApDocument* AcApDocManager::openDocument(const std::string& path, bool asDxf) {
  std::string full = absolutePath(path);
  for (AcApDocument* doc : state().documents) {
    if (doc->isNamedDrawing() && doc->fileName() == full) {
      activateDocument(doc);
      return doc;
    }
  }
  std::error_code error;
  if (!std::filesystem::is_regular_file(full, error)) {
    acutPrintf("\nCannot find the file \"%s\".\n", path.c_str());
    return nullptr;
  }
  auto* db = new AcDbDatabase(false);
  AcApDocument* doc = announceNewDocument(full, db);
  std::vector<std::string> messages;
  Acad::ErrorStatus status = asDxf ? db->dxfIn(full, &messages) : db->readDwgFile(full, &messages);
  printMessages(messages);
  if (status != Acad::eOk) {
    acutPrintf("\nCannot open \"%s\" (%s); nothing was opened.\n", path.c_str(), Acad::statusName(status));
    destroyCurrentDocument(doc);
    return nullptr;
  }
  if (!asDxf) AcApDocumentAccess::setNamed(doc);
  cadhost::notifyEditorReactors("dwgFileOpened", [&](AcEditorReactor& r) { r.dwgFileOpened(db, doc->fileName()); });
  notifyDb("initialDwgFileOpenComplete", &AcEditorReactor::initialDwgFileOpenComplete, db);
  finishNewDocument(doc);
  return doc;
}

Acad::ErrorStatus AcApDocManager::saveDocument(AcApDocument* doc, const std::string& path, bool rename) {
  if (!isOpen(doc)) return Acad::eNotApplicable;
  std::string full = absolutePath(path);
  AcDbDatabase* db = doc->database();
  cadhost::notifyEditorReactors("beginSave", [&](AcEditorReactor& r) { r.beginSave(db, full.c_str()); });
  std::vector<std::string> messages;
  Acad::ErrorStatus status = db->saveAs(full, &messages);
  printMessages(messages);
  if (status != Acad::eOk) {
    acutPrintf("\nCannot save \"%s\" (%s).\n", path.c_str(), Acad::statusName(status));
    notifyDb("abortSave", &AcEditorReactor::abortSave, db);
    return status;
  }
  if (rename || !doc->isNamedDrawing()) AcApDocumentAccess::rename(doc, full);
  cadhost::notifyEditorReactors("saveComplete", [&](AcEditorReactor& r) { r.saveComplete(db, full.c_str()); });
  return Acad::eOk;
}

// A drawing cannot go away under a command that is running in it.
static bool refuseWhileCommandRuns(const char* what) {
  for (AcApDocument* doc : state().documents) {
    if (cadhost::commandDepthOf(doc) > 0) {
      acutPrintf("\n%s is not possible while a command runs in %s.\n", what, doc->docTitle().c_str());
      return true;
    }
  }
  return false;
}

bool AcApDocManager::closeDocument(AcApDocument* doc) {
  if (!isOpen(doc) || refuseWhileCommandRuns("CLOSE")) return false;
  activateDocument(doc);
  notifyDb("beginClose", &AcEditorReactor::beginClose, doc->database());
  acrxDynamicLinker->sendToAll(AcRx::kUnloadDwgMsg);
  if (!isOpen(doc) || state().current != doc) return true;  // an application closed it already
  destroyCurrentDocument(doc);
  return true;
}

void AcApDocManager::quit() {
  if (refuseWhileCommandRuns("QUIT")) return;
  acrxDynamicLinker->sendToAll(AcRx::kQuitMsg);
  while (!state().activation.empty())
    if (!closeDocument(state().current ? state().current : state().activation.back())) break;
  acrxDynamicLinker->unloadAll();
  state().drawingCounter = 0;
  state().resourceHandles.clear();
}

AcApDocManager* acDocManagerPtr() {
  static AcApDocManager* manager = new AcApDocManager();  // lives for the process
  return manager;
}

namespace cadhost {

void notifyDocReactors(const char* what, const std::function<void(AcApDocManagerReactor&)>& call) {
  std::vector<AcApDocManagerReactor*> snapshot = state().reactors;
  for (AcApDocManagerReactor* reactor : snapshot) {
    const auto& live = state().reactors;
    if (std::find(live.begin(), live.end(), reactor) != live.end()) guarded(what, [&] { call(*reactor); });
  }
}

int& commandDepthOf(AcApDocument* doc) { return AcApDocumentAccess::commandDepth(doc); }

}  // namespace cadhost
