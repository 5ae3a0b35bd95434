#pragma once

#include <string>

#include "settings/Settings.h"

// Section Settings.General: where outputs go and how the file list behaves.
class CSettingsGeneral : public CSettings {
public:
    CSettingsGeneral();

    bool Exchange(bool continueOnError, CSettingsStorage* storage, bool save, bool reset) override;

    // The user's home folder with a trailing "/".
    static std::string DefaultOutputFolder();

    int RememberFileList;
    int OutputFolderSameAsOriginal;
    int ShowWarnings;
    int AddOnlyExists;
    // Appended after the keys above, so an older Settings.ini loads unchanged.
    int CopyTags;        // copy tags and cover art from each source to its output
    int KeepFolderTree;  // keep the tree below an added folder's parent under OutputFolder
    int ExistingOutput;  // an output that exists: 0 overwrite, 1 skip the file, 2 keep both
    // Which outputs are decoded again and compared with their source once written: 0 none,
    // 1 those of lossless coders, 2 every output.
    int FullCheck;
    // The highest sample rate (Hz) and bit depth a decoded source may keep; a source above
    // them is brought down when decoded. 0: no limit.
    int MaxSampleRate;
    int MaxBitDepth;
    // Writes track and album gain and peak tags (ReplayGain 2.0, EBU R128) to every output.
    int LoudnessTags;
    std::string OutputFolder;
    // Names outputs after their sources' tags ("%artist%/%album%/%track% - %title%") in place
    // of the kept folder tree; empty: each output is named after its source.
    std::string NamePattern;
};
