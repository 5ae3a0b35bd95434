#pragma once

#include <string>

// The files and folders kelto keeps below its working folder: the process's current
// directory, read once when the main window starts (not the executable's folder). Every path
// is the folder + "/" + name; the folder is kept without a trailing "/".
class CWorkingFolder {
public:
    // The current directory of this moment.
    static CWorkingFolder FromCurrentDirectory();
    explicit CWorkingFolder(std::string folder);

    const std::string& GetFolder() const { return m_folder; }
    std::string GetSettingsPath() const;     // Settings.ini
    std::string GetFileListPath() const;     // FileList.m3u
    std::string GetDatabasePath() const;     // Base.xml
    std::string GetCodersFolder() const;     // Coders
    std::string GetDecodersFolder() const;   // Decoders
    std::string GetCodecsFolder() const;     // Codecs
    std::string GetPluginsFolder() const;    // Plugins/, with its trailing "/"
    std::string GetLanguagesFolder() const;  // Languages/, with its trailing "/"
    std::string GetManualPath() const;       // Manual/Manual.pdf

private:
    std::string Child(const char* name) const;

    std::string m_folder;
};
