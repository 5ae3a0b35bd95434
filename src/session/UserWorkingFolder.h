#pragma once

#include <optional>
#include <string>

// An installed kelto keeps its programs with their Plugins and Languages in <prefix>/lib/kelto
// and its data (Coders, Decoders, Base.xml, Manual) in <prefix>/share/kelto. Each user works in
// a folder of their own, $XDG_DATA_HOME/kelto, that holds their Settings.ini and FileList.m3u.
struct InstalledLayout {
    std::string ProgramFolder;  // <prefix>/lib/kelto
    std::string DataFolder;     // <prefix>/share/kelto
};

// The install the program at programPath belongs to; nothing when it runs from elsewhere
// (a build's working folder, a folder the user laid out).
std::optional<InstalledLayout> FindInstalledLayout(const std::string& programPath);

// $XDG_DATA_HOME/kelto (by default ~/.local/share/kelto).
std::string UserWorkingFolderPath();

// Makes folder a working folder of the install: made when missing, with an empty Codecs folder
// for the user to fill; Languages, Plugins and Manual linked to the installed ones (a real
// folder of those names, made by the user, is left alone); Base.xml and the installed coder and
// decoder packages copied in and kept in step, since the folder scan does not follow linked
// folders. The copies kelto made are listed in the folder's ".kelto-packages": a package the
// user added is never touched, one an upgrade dropped is removed. Empty on success, else the
// problem.
std::string PrepareUserWorkingFolder(const InstalledLayout& layout, const std::string& folder);

// What a program of the install does at its start: when it runs from an installed layout, its
// user's working folder is prepared and becomes the current directory. False with the problem
// when the folder cannot be entered; true with the problem when it was entered but could not be
// made wholly ready (a package not copied, say); true without a change when the program does
// not run from an install.
bool EnterUserWorkingFolder(std::string* problem);
