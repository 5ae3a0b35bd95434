#include "base/WorkingFolder.h"

#include <utility>

#include "platform/File.h"

CWorkingFolder CWorkingFolder::FromCurrentDirectory() {
    return CWorkingFolder(platform::CurrentDirectory());
}

CWorkingFolder::CWorkingFolder(std::string folder) : m_folder(std::move(folder)) {
    // "/" itself stays: it is the one folder whose name is its separator.
    while (m_folder.size() > 1 && m_folder.back() == '/') m_folder.pop_back();
}

std::string CWorkingFolder::Child(const char* name) const {
    return (m_folder == "/" ? std::string() : m_folder) + "/" + name;
}

std::string CWorkingFolder::GetSettingsPath() const { return Child("Settings.ini"); }
std::string CWorkingFolder::GetFileListPath() const { return Child("FileList.m3u"); }
std::string CWorkingFolder::GetDatabasePath() const { return Child("Base.xml"); }
std::string CWorkingFolder::GetCodersFolder() const { return Child("Coders"); }
std::string CWorkingFolder::GetDecodersFolder() const { return Child("Decoders"); }
std::string CWorkingFolder::GetCodecsFolder() const { return Child("Codecs"); }
std::string CWorkingFolder::GetPluginsFolder() const { return Child("Plugins/"); }
std::string CWorkingFolder::GetLanguagesFolder() const { return Child("Languages/"); }
std::string CWorkingFolder::GetManualPath() const { return Child("Manual/Manual.pdf"); }
