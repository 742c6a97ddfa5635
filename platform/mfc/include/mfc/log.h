// The toolkit's log: warnings (missing resources, a cancelled modal window, an action that could
// not be carried out) and the record of outside services it only pretends to open (help files,
// shell documents). Lines are kept in order for tests and passed to an optional sink.
#pragma once
#include <functional>
#include <string>
#include <vector>

namespace mfc {

void log(const std::string& line);
// The lines logged since the last clearLog (the newest 10000 to 20000 of them).
std::vector<std::string> logLines();
void clearLog();
// Also hands each line to `sink` (the host prints them); an empty function removes it.
void setLogSink(std::function<void(const std::string&)> sink);

}  // namespace mfc
