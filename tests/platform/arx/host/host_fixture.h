// A started host for each test (no drawing open), shut down afterwards, and a reactor that
// writes every editor and document notification into one log.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "arx/acdocman.h"
#include "arx/aced.h"

class HostTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};

// Log entries: "E:<notification>" or "D:<notification>", with the command name for command
// notifications ("E:commandWillStart QSAVE") and "M:<n>" for messages of the logging application.
class NotificationLog : public AcEditorReactor, public AcApDocManagerReactor {
 public:
  NotificationLog();
  ~NotificationLog() override;
  std::vector<std::string> entries;
  // True for each databaseConstructed whose database was the current document's at that moment.
  std::vector<bool> constructedWhileCurrent;

  void commandWillStart(const char* name) override { add("E:commandWillStart " + std::string(name)); }
  void commandEnded(const char* name) override { add("E:commandEnded " + std::string(name)); }
  void commandCancelled(const char* name) override { add("E:commandCancelled " + std::string(name)); }
  void commandFailed(const char* name) override { add("E:commandFailed " + std::string(name)); }
  void lispWillStart(const char* line) override { add("E:lispWillStart " + std::string(line)); }
  void lispEnded() override { add("E:lispEnded"); }
  void databaseConstructed(AcDbDatabase* db) override;
  void databaseToBeDestroyed(AcDbDatabase*) override { add("E:databaseToBeDestroyed"); }
  void dwgFileOpened(AcDbDatabase*, const char*) override { add("E:dwgFileOpened"); }
  void initialDwgFileOpenComplete(AcDbDatabase*) override { add("E:initialDwgFileOpenComplete"); }
  void beginSave(AcDbDatabase*, const char*) override { add("E:beginSave"); }
  void saveComplete(AcDbDatabase*, const char*) override { add("E:saveComplete"); }
  void abortSave(AcDbDatabase*) override { add("E:abortSave"); }
  void beginClose(AcDbDatabase*) override { add("E:beginClose"); }

  void documentCreateStarted(AcApDocument*) override { add("D:documentCreateStarted"); }
  void documentCreated(AcApDocument*) override { add("D:documentCreated"); }
  void documentToBeDestroyed(AcApDocument*) override { add("D:documentToBeDestroyed"); }
  void documentDestroyed(const char*) override { add("D:documentDestroyed"); }
  void documentBecameCurrent(AcApDocument*) override { add("D:documentBecameCurrent"); }
  void documentToBeActivated(AcApDocument*) override { add("D:documentToBeActivated"); }
  void documentToBeDeactivated(AcApDocument*) override { add("D:documentToBeDeactivated"); }
  void documentActivated(AcApDocument*) override { add("D:documentActivated"); }

  void add(const std::string& entry) { entries.push_back(entry); }
  // Lists an application module named "logger.arx" whose messages go into this log.
  void loadLoggingApplication();
  std::vector<std::string> take();
};
