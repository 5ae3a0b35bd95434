#pragma once

#include <string>
#include <vector>

// Splits an argument line the way Windows programs split theirs (CommandLineToArgvW): blanks
// and tabs separate arguments outside double quotes; double quotes group and are removed;
// 2n backslashes before a double quote become n backslashes and the quote groups, 2n+1 become
// n backslashes and a literal quote; backslashes elsewhere are literal. Inside quotes, two
// double quotes in a row give one literal quote and end the quoted part.
std::vector<std::string> SplitCommandLine(const std::string& line);

// Puts text in double quotes, escaped so that SplitCommandLine gives it back as exactly one
// argument, whatever it contains.
std::string QuoteCommandLineArgument(const std::string& text);
