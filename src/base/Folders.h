#pragma once

#include <string>
#include <vector>

#include "platform/Error.h"

// Folder functions shared by the file list, the codec scanner and the plug-in host.
// Results are folder + "/" + name, in enumeration order (by name without regard to ASCII
// case, ties by byte order; see platform::EnumerationOrderLess). The pattern is a wildcard
// such as "*" or "*.so": "*" matches any run of characters, "?" one, the rest literally.
// Both listings clear out first and report false, with out empty, when the folder cannot be
// read or no entry matches the pattern; true when something matched, even if none of it was
// of the kind asked for. error (when given) tells the two failures apart: it gets the system's
// reason when the folder could not be read, and is left alone otherwise.

// Subfolders whose attribute word is exactly 16 (not hidden, not read-only, not a link).
bool ListSubfolders(const std::string& folder, const std::string& pattern,
                    std::vector<std::string>& out, platform::Error* error = nullptr);
// Every other entry except "." and "..": files, and hidden, read-only or linked folders.
bool ListFiles(const std::string& folder, const std::string& pattern, std::vector<std::string>& out,
               platform::Error* error = nullptr);
// flag true: ensure one trailing "/" and fold every run of "/" into one (an empty path stays
// empty, so it never turns into the root); flag false: remove one trailing "/".
std::string TrailingSeparator(const std::string& path, bool flag);
// True when the path is a regular file (or a link to one) that can be opened for reading (as
// on Windows, where a folder cannot be opened as a file; a named pipe or a device is not
// opened to find out). A path that does not exist creates nothing.
bool FileExists(const std::string& path);
