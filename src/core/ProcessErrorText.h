#pragma once

#include <string>

// What a program said on its standard error, made fit for a one-line report: its last three
// non-empty lines, joined by "\n", a longer one cut after 300 bytes and ended with "...". Progress
// is printed as a line that is written over and over after carriage returns: only its final state
// counts. Terminal escape sequences are dropped, other control characters become blanks, and a line
// said twice in a row is kept once. tail is the end of the output; when it is not the whole of it
// (whole false) its first line is cut and is dropped, unless the tail holds nothing else.
std::string LastErrorLines(const std::string& tail, bool whole);
