#pragma once

#include <string>
#include <vector>

#include "base/Log.h"

// Sends the calling thread's log lines to lines (null: to the log) for the object's life, and
// puts back the previous target however the scope is left.
class CRedirectedLog {
public:
    explicit CRedirectedLog(std::vector<std::string>* lines)
        : m_previous(RedirectThreadLog(lines)) {}
    ~CRedirectedLog() { RedirectThreadLog(m_previous); }
    CRedirectedLog(const CRedirectedLog&) = delete;
    CRedirectedLog& operator=(const CRedirectedLog&) = delete;

private:
    std::vector<std::string>* m_previous;
};
