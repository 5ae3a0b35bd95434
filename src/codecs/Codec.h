#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "codecs/PresetList.h"
#include "core/IProcessJob.h"
#include "core/Process.h"

class CDatabaseEntry;

// A coder or decoder program with its presets. The catalogue holds one record per program;
// every file's job is a copy of it. Copies share the preset list, which lives as long as the
// last record that refers to it.
class CCodec : public CProcess, public IProcessJob {
public:
    CCodec();
    CCodec(const CCodec& other) = default;
    CCodec& operator=(const CCodec&) = delete;

    // The order of these operations follows the nine of IProcess and is kept as it stands.
    // Loads the record from the package folder of the executable at path.
    virtual bool Load(const std::string& path) = 0;
    virtual std::string GetName() const;
    virtual void SetName(const std::string& name);
    // Package folder; empty for a codec found in the Codecs folder.
    virtual std::string GetFolder() const;
    // Size of the executable (of the program a link points to) in bytes.
    virtual std::uint64_t GetFileSize() const;
    virtual bool IsCodec() const = 0;
    // Per-job files: the intermediate WAV file (written by a decoder, read and then deleted by
    // a coder) and what "%in%" and "%out%" stand for.
    virtual void SetWaveFile(const std::string& path);
    virtual std::string GetWaveFile() const;
    virtual void SetInputFile(const std::string& path);
    virtual void SetOutputFile(const std::string& path);
    virtual std::string GetInputFile() const;
    virtual std::string GetOutputFile() const;
    virtual CPresetList& GetPresets();
    virtual const CPresetList& GetPresets() const;

    // What the core asks of a job: its files and, for a coder, the decoder it waits for.
    IProcess* GetDecoderJob() override { return nullptr; }
    std::string GetJobWaveFile() override { return GetWaveFile(); }
    std::string GetJobInputFile() override { return GetInputFile(); }
    std::string GetJobOutputFile() override { return GetOutputFile(); }

    virtual ~CCodec();

    // Plain fields: from Info.txt (lines 1, 2, 3) or from the database entry.
    const std::string& GetDescription() const { return m_description; }
    const std::string& GetFormat() const { return m_format; }
    const std::string& GetDate() const { return m_date; }

    // Fills the record for an executable of the Codecs folder from its database entry, with
    // the entry's presets of the given type ("Coding" or "Decoding").
    void LoadFromEntry(const std::string& path, const CDatabaseEntry& entry,
                       const std::string& presetType);

protected:
    // Program path, name and folder from the executable's path, and its size.
    void LoadPackageBasics(const std::string& path);
    void ReadInfoFile(const std::string& folder);
    void ReadNameFile(const std::string& path);

private:
    std::string m_name;
    std::string m_folder;
    std::string m_description;
    std::string m_date;
    std::string m_format;
    std::uint64_t m_fileSize = 0;
    std::string m_waveFile;
    std::string m_inputFile;
    std::string m_outputFile;
    std::shared_ptr<CPresetList> m_presets;
};
