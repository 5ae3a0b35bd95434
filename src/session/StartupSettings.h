#pragma once

#include <string>

class CSettingsSet;

// Loads the settings both front ends start with from path (the working folder's
// Settings.ini). A missing file means the defaults with one thread per processor. Returns what
// to tell the user when the file exists but could not be taken as it stands, one sentence per
// line: that the defaults are used, the path with the reason, and, for a file that was no INI
// text, the name its text is kept under before the settings are saved over it. Empty when the
// file loaded or is missing.
std::string LoadStartupSettings(CSettingsSet& settings, const std::string& path);
