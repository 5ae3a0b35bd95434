#pragma once

#include <string>

// Small pieces the output checks share.

// Why path is no file a program wrote: "PATH was not written", "PATH is not a regular file",
// "PATH is empty"; empty when it is a regular file with something in it.
std::string WhyNotAWrittenFile(const std::string& path);

// A length for a reason text: "61.300 s".
std::string SecondsText(double seconds);
