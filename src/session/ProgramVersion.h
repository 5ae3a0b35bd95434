#pragma once

#include <string>

// The version number in a program's answer to --version: the first word of the first line that
// has one, a word that starts with digits and a dot ("1.4.2", "3.100", "5.1.9-0+deb12u1").
// Empty when no line has one.
std::string FindVersionNumber(const std::string& answer);

// Asks the program at path for its version: --version, then -V and -v while it ends without
// naming one (the shipped programs answer the first; some others only the short forms). Each
// try may take timeoutMs; a program that is still running then is killed and not asked again.
// Empty when the program cannot be started, does not answer in time or names no version.
std::string ReadProgramVersion(const std::string& path, int timeoutMs);
