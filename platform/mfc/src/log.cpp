#include "mfc/log.h"

#include <mutex>

namespace mfc {
namespace {

constexpr size_t kKeptLines = 20000;

struct LogState {
  std::mutex mutex;
  std::vector<std::string> lines;
  std::function<void(const std::string&)> sink;
};

LogState& state() {
  static LogState s;
  return s;
}

}  // namespace

void log(const std::string& line) {
  std::function<void(const std::string&)> sink;
  {
    std::lock_guard lock(state().mutex);
    state().lines.push_back(line);
    // A long session keeps only the newest lines.
    if (state().lines.size() > kKeptLines)
      state().lines.erase(state().lines.begin(), state().lines.begin() + kKeptLines / 2);
    sink = state().sink;
  }
  if (sink) sink(line);
}

std::vector<std::string> logLines() {
  std::lock_guard lock(state().mutex);
  return state().lines;
}

void clearLog() {
  std::lock_guard lock(state().mutex);
  state().lines.clear();
}

void setLogSink(std::function<void(const std::string&)> sink) {
  std::lock_guard lock(state().mutex);
  state().sink = std::move(sink);
}

}  // namespace mfc
