#include "core/Log.h"

#include <mutex>
#include <vector>

namespace {

struct ProgramLog {
    std::mutex mutex;
    std::vector<std::string> lines;
};

ProgramLog& TheLog() {
    // Never destroyed: the log lives until the process ends and may be used from any thread
    // during static destruction.
    static ProgramLog* log = new ProgramLog;
    return *log;
}

}  // namespace

bool AddLogLine(const std::string& text) {
    auto& log = TheLog();
    std::lock_guard lock(log.mutex);
    log.lines.push_back(text);
    return true;
}

std::string GetLogLine(std::size_t index) {
    auto& log = TheLog();
    std::lock_guard lock(log.mutex);
    return index < log.lines.size() ? log.lines[index] : std::string();
}

std::size_t GetLogLineCount() {
    auto& log = TheLog();
    std::lock_guard lock(log.mutex);
    return log.lines.size();
}
