#include <map>
#include <string>

#include "arx/acutads.h"
#include "arx/hostcmds.h"
#include "host_internal.h"

namespace {

std::map<std::string, cadhost::PendingWorkReporter>& reporters() {
  static auto* instance = new std::map<std::string, cadhost::PendingWorkReporter>();
  return *instance;
}

}  // namespace

namespace cadhost {

void addPendingWorkReporter(const std::string& appName, PendingWorkReporter reporter) {
  if (reporter) reporters()[appName] = std::move(reporter);
}

void removePendingWorkReporter(const std::string& appName) { reporters().erase(appName); }

int pendingWork() {
  int total = 0;
  const auto current = reporters();  // a reporter may add or remove reporters
  for (const auto& [name, reporter] : current) {
    int count = 0;
    guarded(name.c_str(), [&] { count = reporter(); });
    if (count > 0) total += count;
  }
  return total;
}

}  // namespace cadhost
