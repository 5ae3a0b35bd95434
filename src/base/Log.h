#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The program log: one list of lines for the whole process, only ever appended to.
// Safe to call from any thread.
bool AddLogLine(const std::string& text);
std::string GetLogLine(std::size_t index);
std::size_t GetLogLineCount();

// Sends the calling thread's AddLogLine calls to lines instead of the log (null: to the log
// again) and returns the previous target. Work spread over threads collects its lines this way
// and hands them over with AddLogLines in the order one thread would have written them.
std::vector<std::string>* RedirectThreadLog(std::vector<std::string>* lines);
// Appends the lines in one piece: no other thread's line comes between them.
void AddLogLines(std::vector<std::string> lines);
