#pragma once

#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CCatalogue;

// The versions of the codec programs, asked once per program path on a thread of their own and
// kept for the program's life, so that a window asking for them never waits: it asks, then
// looks up what has come in so far.
class CProgramVersions {
public:
    // How long one program may take to answer one question.
    static constexpr int kDefaultTimeoutMs = 3000;

    explicit CProgramVersions(int timeoutMs = kDefaultTimeoutMs) : m_timeoutMs(timeoutMs) {}
    CProgramVersions(const CProgramVersions&) = delete;
    CProgramVersions& operator=(const CProgramVersions&) = delete;
    // Lets the program in hand finish (at most the timeout), asks no further ones.
    ~CProgramVersions();

    // Queues the programs that were never asked; they are asked one after the other.
    void Request(const std::vector<std::string>& paths);

    // False while path's answer has not come in (or path was never requested); else true with
    // the version number, empty when the program named none.
    bool Find(const std::string& path, std::string* version) const;

private:
    void ReadQueued();

    const int m_timeoutMs;
    mutable std::mutex m_mutex;
    std::map<std::string, std::string> m_known;
    std::vector<std::string> m_asked;  // requested ones, answered or queued
    std::deque<std::string> m_queue;
    std::thread m_reader;
    bool m_reading = false;
    bool m_stopping = false;
};

// The catalogue's coder and decoder programs, each file once however many packages link to it
// (FFmpeg serves four), in catalogue order: the first package path that names each.
std::vector<std::string> CatalogueProgramPaths(CCatalogue& catalogue);
