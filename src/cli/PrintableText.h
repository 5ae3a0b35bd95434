#pragma once

#include <string>

// text as it goes into one line of kelto-cli's output: unchanged when it holds no control
// character, else a C-style quoted string ("a\nb.flac"), with \\, \", \n, \r, \t and three
// octal digits (\033) for the other control characters, so that one file is one line.
std::string PrintableText(const std::string& text);
