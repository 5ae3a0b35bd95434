#pragma once

#include <string>

// What a program said on its standard error, made fit for a short report: at most three
// non-empty lines, joined by "\n", a longer one cut after 300 bytes and ended with "...".
// The program's first error line (one that says "error", "cannot", "failed", "invalid",
// "unsupported" and the like) comes first, with the lines that follow it; a program that names
// no error gives its last lines. The banner some programs print first (flac's and WavPack's
// name, copyright and licence lines, FFmpeg's build details) is left out. Progress is printed
// as a line that is written over and over after carriage returns: only its final state counts.
// Terminal escape sequences are dropped, other control characters become blanks, and a line
// said twice in a row is kept once. tail is the end of the output; when it is not the whole of
// it (whole false) its first line is cut and is dropped, unless the tail holds nothing else, and
// no banner is looked for: it lay before the tail.
std::string ProcessErrorText(const std::string& tail, bool whole);
