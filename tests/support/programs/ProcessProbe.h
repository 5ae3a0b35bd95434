#pragma once

// Test helpers that look at processes through /proc and locate the test programs.

#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace probe {

inline std::string TestProgram(const std::string& name) {
    return std::string(KELTO_TEST_PROGRAMS_DIR) + "/" + name;
}

// The whole of a file; empty when it cannot be read. A /proc file of a process that ends
// between opening and reading fails to read (ESRCH), which the stream library throws.
inline std::string ReadText(const std::string& path) {
    try {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    } catch (const std::exception&) {
        return {};
    }
}

// Field n (1-based, as in proc(5)) of /proc/<pid>/stat; empty when the process is not there.
inline std::string StatField(int pid, int field) {
    const std::string text = ReadText("/proc/" + std::to_string(pid) + "/stat");
    const auto close = text.rfind(')');
    if (close == std::string::npos) return {};
    std::istringstream rest(text.substr(close + 1));
    std::string value;
    for (int i = 3; i <= field; ++i) rest >> value;
    return value;
}

inline int Nice(int pid) { return std::stoi(StatField(pid, 19)); }
inline int ProcessGroup(int pid) { return std::stoi(StatField(pid, 5)); }

// True when this process may lower nice values (CAP_SYS_NICE, as root).
inline bool CanRaisePriority() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("CapEff:", 0) == 0) {
            return (std::stoull(line.substr(7), nullptr, 16) >> 23) & 1;
        }
    }
    return false;
}

// Gone: no /proc entry, or ended and waiting to be collected.
inline bool IsGone(int pid) {
    const auto state = StatField(pid, 3);
    return state.empty() || state == "Z" || state == "X";
}

inline bool WaitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}


// The arguments argv_dump wrote: zero-terminated strings.
inline std::vector<std::string> ReadArgvDump(const std::string& path) {
    const auto text = ReadText(path);
    std::vector<std::string> args;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\0') {
            args.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    return args;
}

// The pid a test program wrote to a file, once it is there.
inline int WaitForPidFile(const std::string& path) {
    int pid = 0;
    WaitUntil([&] {
        const auto text = ReadText(path);
        if (text.empty()) return false;
        pid = std::stoi(text);
        return true;
    });
    return pid;
}

}  // namespace probe
