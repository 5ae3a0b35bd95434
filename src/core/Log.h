#pragma once

#include <cstddef>
#include <string>

// The program log: one list of lines for the whole process, only ever appended to.
// Safe to call from any thread.
bool AddLogLine(const std::string& text);
std::string GetLogLine(std::size_t index);
std::size_t GetLogLineCount();
