#include "host_fixture.h"

#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/hostcmds.h"
#include "arx/hostinput.h"
#include "arx/rxdlinkr.h"

namespace {
NotificationLog* loggingTarget = nullptr;

int loggingEntryPoint(int msg, void* appPkt) {
  if (loggingTarget) loggingTarget->add("M:" + std::to_string(msg));
  if (msg == AcRx::kInitAppMsg) acrxDynamicLinker->unlockApplication(appPkt);
  return AcRx::kRetOK;
}
}  // namespace

void HostTest::SetUp() {
  cadhost::clearPrintedText();
  cadhost::startHost(false);
}

void HostTest::TearDown() {
  cadhost::shutdownHost();
  cadhost::setInputSource(nullptr);
  cadhost::clearPrintedText();
}

NotificationLog::NotificationLog() {
  acedEditor->addReactor(this);
  acDocManagerPtr()->addReactor(this);
}

NotificationLog::~NotificationLog() {
  acedEditor->removeReactor(this);
  acDocManagerPtr()->removeReactor(this);
  if (loggingTarget == this) loggingTarget = nullptr;
}

void NotificationLog::databaseConstructed(AcDbDatabase* db) {
  add("E:databaseConstructed");
  AcApDocument* current = acDocManagerPtr()->curDocument();
  constructedWhileCurrent.push_back(current && current->database() == db &&
                                    acdbHostApplicationServices()->workingDatabase() == db);
}

void NotificationLog::loadLoggingApplication() {
  loggingTarget = this;
  acrxDynamicLinker->loadBuiltinApplication("logger.arx", loggingEntryPoint);
}

std::vector<std::string> NotificationLog::take() {
  std::vector<std::string> taken;
  taken.swap(entries);
  return taken;
}
