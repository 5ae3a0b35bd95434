#include "base/Log.h"

#include <iterator>
#include <mutex>
#include <utility>
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

thread_local std::vector<std::string>* t_redirect = nullptr;

}  // namespace

bool AddLogLine(const std::string& text) {
    if (t_redirect) {
        t_redirect->push_back(text);
        return true;
    }
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

std::vector<std::string>* RedirectThreadLog(std::vector<std::string>* lines) {
    return std::exchange(t_redirect, lines);
}

void AddLogLines(std::vector<std::string> lines) {
    if (lines.empty()) return;
    auto& log = TheLog();
    std::lock_guard lock(log.mutex);
    log.lines.insert(log.lines.end(), std::make_move_iterator(lines.begin()),
                     std::make_move_iterator(lines.end()));
}
