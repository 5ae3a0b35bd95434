#pragma once

#include <string>
#include <vector>

// Folder functions shared by the file list, the codec scanner and the plug-in host.
// Results are folder + "/" + name, in enumeration order (by name without regard to ASCII
// case, ties by byte order; see platform::EnumerationOrderLess). The pattern is a wildcard
// such as "*" or "*.so": "*" matches any run of characters, "?" one, the rest literally.
// Both listings clear out first and report false, with out empty, when the folder cannot be
// read or no entry matches the pattern; true when something matched, even if none of it was
// of the kind asked for.

// Subfolders whose attribute word is exactly 16 (not hidden, not read-only, not a link).
bool ListSubfolders(const std::string& folder, const std::string& pattern,
                    std::vector<std::string>& out);
// Every other entry except "." and "..": files, and hidden, read-only or linked folders.
bool ListFiles(const std::string& folder, const std::string& pattern,
               std::vector<std::string>& out);
// flag true: ensure one trailing "/" and fold every run of "/" into one (an empty path stays
// empty, so it never turns into the root); flag false: remove one trailing "/".
std::string TrailingSeparator(const std::string& path, bool flag);
// True when the path exists, is not a folder and can be opened for reading (as on Windows,
// where a folder cannot be opened as a file). A path that does not exist creates nothing.
bool FileExists(const std::string& path);
