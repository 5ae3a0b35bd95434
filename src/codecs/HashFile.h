#pragma once

#include <string>

// The identity of an executable in the codec database: the MD5 of its content as 32 upper-case
// hexadecimal digits. A link is followed, so a link to a program hashes the program.
// False, with hash untouched, when the file cannot be opened or read.
bool HashFile(const std::string& path, std::string& hash);
