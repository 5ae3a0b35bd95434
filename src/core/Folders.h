#pragma once

#include <string>
#include <vector>

// Folder functions shared by the file list, the codec scanner and the plug-in host.
// Results are folder + "/" + name, in enumeration order (by name without regard to ASCII
// case, ties by byte order). The pattern is a shell wildcard such as "*" or "*.so".

// Subfolders whose attribute word is exactly 16 (not hidden, not read-only, not a link).
bool ListSubfolders(const std::string& folder, const std::string& pattern,
                    std::vector<std::string>& out);
// Every other entry except "." and "..".
bool ListFiles(const std::string& folder, const std::string& pattern,
               std::vector<std::string>& out);
// flag true: ensure one trailing "/"; flag false: remove one trailing "/".
std::string TrailingSeparator(const std::string& path, bool flag);
// True when the path exists and can be opened for reading.
bool FileExists(const std::string& path);
