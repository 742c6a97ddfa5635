// Documents: the open drawings of the host, the current one, activation, document locks and
// the document-manager reactor.
//
// The current document's database is always the working database
// (acdbHostApplicationServices()->workingDatabase()); with no document it is null.
//
// Notification sequences (E = editor reactor, D = document-manager reactor, M = application
// message to every application, see arx/rxdlinkr.h). NEW, OPEN, CLOSE and QUIT run outside any
// command: they send no commandWillStart/commandEnded and record no undo.
//
// NEW (also the drawing the host starts with):
//   D documentCreateStarted(new) · D documentToBeDeactivated(old)¹ · D documentToBeActivated(new)
//   · [new becomes current] · D documentBecameCurrent(new) · E databaseConstructed(db)
//   · D documentCreated(new) · D documentActivated(new) · M 3
// OPEN: as NEW, with the file read between E databaseConstructed and D documentCreated:
//   ... E databaseConstructed(db) · [file read] · E dwgFileOpened(db, path)
//   · E initialDwgFileOpenComplete(db) · D documentCreated(new) · D documentActivated(new) · M 3
//   A file that cannot be read: after E databaseConstructed come D documentToBeDestroyed(new)
//   · E databaseToBeDestroyed(db) · D documentDestroyed(path), then the previous document is
//   activated again (SWITCH without documentToBeDeactivated). Nothing else changes.
// SWITCH (activate another open document):
//   D documentToBeDeactivated(old) · D documentToBeActivated(new) · [new becomes current]
//   · D documentBecameCurrent(new) · D documentActivated(new)
// QSAVE and SAVEAS (commands, so wrapped in command notifications; SAVEAS renames the document
// after the write succeeded):
//   E commandWillStart(name) · E beginSave(db, path) · [file written] · E saveComplete(db, path)
//   · E commandEnded(name). A failed write: E abortSave(db) · E commandFailed(name). A SAVEAS
//   whose file name prompt is cancelled: E commandCancelled(name).
// CLOSE (of the current document):
//   E beginClose(db) · M 4 · D documentToBeDestroyed(doc) · E databaseToBeDestroyed(db)
//   · [document and database deleted] · D documentDestroyed(fileName) · then the most recently
//   active remaining document is activated (SWITCH without documentToBeDeactivated); with none
//   left the working database is null.
// QUIT: M 8 · CLOSE of every document (current first, then by most recent activation)
//   · message 2 to every application in reverse load order (each then unloaded).
// ¹ only when a document was current.
#pragma once

#include <string>

#include "arx/rxobject.h"
#include "arx/status.h"

class AcDbDatabase;
class AcDbTransactionManager;

namespace AcAp {
enum DocLockMode {
  kNone = 0x00,
  kAutoWrite = 0x01,
  kNotLocked = 0x02,
  kWrite = 0x04,
  kProtectedAutoWrite = 0x14,
  kRead = 0x20,
  kXWrite = 0x40,
};
}  // namespace AcAp

class AcApDocument {
 public:
  // The drawing's path; for a drawing never saved, its name ("Drawing1.dwg").
  const char* fileName() const { return fileName_.c_str(); }
  // The name shown to the user: the file name without folders.
  std::string docTitle() const;
  AcDbDatabase* database() const { return database_; }
  // The database's transaction manager.
  AcDbTransactionManager* transactionManager() const;
  // True when no command, LISP expression or input request is running in this document.
  bool isQuiescent() const;
  // The strongest mode locked since the document was last fully unlocked (kNotLocked when none).
  AcAp::DocLockMode myLockMode() const;
  // True once the drawing has been saved to or read from a file.
  bool isNamedDrawing() const { return named_; }

 private:
  friend class AcApDocManager;
  friend struct AcApDocumentAccess;
  AcApDocument() = default;
  ~AcApDocument();
  std::string fileName_;
  AcDbDatabase* database_ = nullptr;
  bool named_ = false;
  int commandDepth_ = 0;
  int lockCount_ = 0;
  AcAp::DocLockMode lockMode_ = AcAp::kNotLocked;
  bool lockUndoGroup_ = false;  // the outermost lock opened the undo group
};

// Notified of document events in the orders written above. Virtual operations are in a fixed
// order. An exception thrown by a notification is caught and reported by the host.
class AcApDocManagerReactor {
 public:
  virtual ~AcApDocManagerReactor() = default;
  virtual void documentCreateStarted(AcApDocument* /*doc*/) {}
  virtual void documentCreated(AcApDocument* /*doc*/) {}
  virtual void documentToBeDestroyed(AcApDocument* /*doc*/) {}
  virtual void documentDestroyed(const char* /*fileName*/) {}
  virtual void documentCreateCanceled(AcApDocument* /*doc*/) {}
  virtual void documentLockModeWillChange(AcApDocument* /*doc*/, AcAp::DocLockMode /*current*/,
                                          AcAp::DocLockMode /*next*/, const char* /*command*/) {}
  virtual void documentLockModeChanged(AcApDocument* /*doc*/, AcAp::DocLockMode /*previous*/,
                                       AcAp::DocLockMode /*current*/, const char* /*command*/) {}
  virtual void documentBecameCurrent(AcApDocument* /*doc*/) {}
  virtual void documentToBeActivated(AcApDocument* /*doc*/) {}
  virtual void documentToBeDeactivated(AcApDocument* /*doc*/) {}
  virtual void documentActivated(AcApDocument* /*doc*/) {}
  virtual void documentActivationModified(bool /*newValue*/) {}
};

class AcApDocumentIterator {
 public:
  virtual ~AcApDocumentIterator() = default;
  virtual bool done() const = 0;
  virtual void step() = 0;
  virtual AcApDocument* document() = 0;
};

class AcApDocManager : public AcRxObject {
 public:
  ACRX_DECLARE_MEMBERS(AcApDocManager);

  // The document commands work on; null when no drawing is open.
  AcApDocument* curDocument() const;
  // The document the user works in (the same as curDocument in this host).
  AcApDocument* mdiActiveDocument() const;
  // The document of a database, or null.
  AcApDocument* document(const AcDbDatabase* db) const;
  int documentCount() const;
  // Iterates the open documents in the order they were opened; delete the iterator when done.
  AcApDocumentIterator* newAcApDocumentIterator() const;
  // Makes an open document current (the SWITCH sequence). eOk when it already is.
  Acad::ErrorStatus activateDocument(AcApDocument* doc);
  Acad::ErrorStatus setCurDocument(AcApDocument* doc) { return activateDocument(doc); }

  // Document locks nest: each lockDocument needs one unlockDocument. eNotApplicable for a
  // document that is not open, eNotFound when unlocking a document that holds no lock. Lock-mode
  // notifications go to the reactors. The outermost write lock taken with a command name while no
  // command runs (an application's work from a window or a timer) makes what happens until its
  // unlock one undo step of that name.
  Acad::ErrorStatus lockDocument(AcApDocument* doc, AcAp::DocLockMode mode = AcAp::kWrite,
                                 const char* globalCmdName = nullptr, const char* localCmdName = nullptr,
                                 bool prompt = true);
  Acad::ErrorStatus unlockDocument(AcApDocument* doc);

  // Resource handles pushed around reactor work; popping an empty stack does nothing.
  void pushResourceHandle(void* resourceHandle);
  void popResourceHandle();
  int resourceHandleDepth() const;
  void* currentResourceHandle() const;

  void addReactor(AcApDocManagerReactor* reactor);
  void removeReactor(AcApDocManagerReactor* reactor);

  // ---- host side: the document operations of the sequences above ----
  // NEW: a new default drawing named "DrawingN.dwg"; it becomes current.
  AcApDocument* newDocument();
  // OPEN: reads the drawing file (or, with `asDxf`, a DXF file: DXFIN); null (with the reasons
  // printed) when it cannot be read. A drawing already open is activated instead.
  AcApDocument* openDocument(const std::string& path, bool asDxf = false);
  // Writes a drawing: the inner part of the QSAVE/SAVEAS sequence (beginSave, write, then
  // saveComplete or abortSave); the command notifications are the command line's. With `rename`
  // (SAVEAS) the document takes the new path. eOk or the database's status; reasons printed.
  Acad::ErrorStatus saveDocument(AcApDocument* doc, const std::string& path, bool rename);
  // CLOSE of a document (made current first when it is not). False, with a message, while a
  // command runs in any document: a drawing never goes away under a running command.
  bool closeDocument(AcApDocument* doc);
  // QUIT: message 8, every document closed, every application unloaded. Refused (nothing sent)
  // while a command runs.
  void quit();
};

AcApDocManager* acDocManagerPtr();
