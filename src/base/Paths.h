#pragma once

#include <string>

// The parts of a "/"-separated path, by the rules the file list, the codec scanner and the
// output names share.

// The last component; the folder part stripped.
std::string PathFileName(const std::string& path);
// The path without its last component and without a trailing "/" (except for "/" itself).
std::string PathFolder(const std::string& path);
// From the last "." of the last component to the end, dot included; empty without a dot.
std::string PathExtension(const std::string& path);
// The path with its extension replaced by the given one, or the given one appended when it
// has none ("dir/flac" and ".name" give "dir/flac.name").
std::string ReplaceExtension(const std::string& path, const std::string& extension);
