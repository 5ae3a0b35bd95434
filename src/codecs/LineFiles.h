#pragma once

#include <string>

#include "base/TextFileRead.h"

// Small helpers for the plain line files of codec packages.

// Text with white space removed at both ends.
std::string TrimWhiteSpace(const std::string& text);

// Reads the next line into line; false (line untouched) at the end of the file. A read error
// of the system counts as the end of the file: a damaged package file must not stop the scan.
bool ReadPackageLine(CTextFileRead& file, std::string& line);
