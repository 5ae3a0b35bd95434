#include "codecs/Codec.h"

#include "base/Paths.h"
#include "base/TextFileRead.h"
#include "codecs/DatabaseEntry.h"
#include "codecs/LineFiles.h"
#include "platform/File.h"

namespace {

// The executable's path with its extension replaced by ".name" ("flac" gives "flac.name").
std::string NameFilePath(const std::string& path) { return ReplaceExtension(path, ".name"); }

}  // namespace

CCodec::CCodec() : m_presets(std::make_shared<CPresetList>()) {}

CCodec::~CCodec() = default;

std::string CCodec::GetName() const { return m_name; }
void CCodec::SetName(const std::string& name) { m_name = name; }
std::string CCodec::GetFolder() const { return m_folder; }
std::uint64_t CCodec::GetFileSize() const { return m_fileSize; }
void CCodec::SetWaveFile(const std::string& path) { m_waveFile = path; }
std::string CCodec::GetWaveFile() const { return m_waveFile; }
void CCodec::SetInputFile(const std::string& path) { m_inputFile = path; }
void CCodec::SetOutputFile(const std::string& path) { m_outputFile = path; }
std::string CCodec::GetInputFile() const { return m_inputFile; }
std::string CCodec::GetOutputFile() const { return m_outputFile; }
CPresetList& CCodec::GetPresets() { return *m_presets; }
const CPresetList& CCodec::GetPresets() const { return *m_presets; }

void CCodec::LoadPackageBasics(const std::string& path) {
    SetProgramPath(path);
    m_folder = PathFolder(path);
    m_name = PathFileName(m_folder);
    const std::int64_t size = platform::GetFileSize(path);
    m_fileSize = size < 0 ? 0 : static_cast<std::uint64_t>(size);
}

void CCodec::ReadNameFile(const std::string& path) {
    const std::string nameFile = NameFilePath(path);
    if (!platform::PathExists(nameFile)) return;
    CTextFileRead file(nameFile);
    std::string line;
    ReadPackageLine(file, line);
    m_name = line;
}

void CCodec::ReadInfoFile(const std::string& folder) {
    const std::string infoFile = folder + "/Info.txt";
    if (!platform::PathExists(infoFile)) return;
    CTextFileRead file(infoFile);
    // A line the file does not have repeats the last line read: a one-line Info.txt without a
    // final line break names description, format and date alike.
    std::string line;
    ReadPackageLine(file, line);
    m_description = TrimWhiteSpace(line);
    ReadPackageLine(file, line);
    m_format = TrimWhiteSpace(line);
    ReadPackageLine(file, line);
    m_date = TrimWhiteSpace(line);
}

void CCodec::LoadFromEntry(const std::string& path, const CDatabaseEntry& entry,
                           const std::string& presetType) {
    SetProgramPath(path);
    const std::int64_t size = platform::GetFileSize(path);
    m_fileSize = size < 0 ? 0 : static_cast<std::uint64_t>(size);
    m_description = entry.Description;
    m_date = entry.Date;
    m_format = entry.Format;
    m_name = entry.Description;
    m_folder.clear();
    for (const CDatabasePreset& preset : entry.Presets) {
        if (preset.Type == presetType) {
            m_presets->Add(preset.CommandLine, preset.Extension, preset.Description);
        }
    }
    m_presets->RefuseUnrunnable(path);
}
