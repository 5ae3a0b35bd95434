#include "settings/SettingsGeneral.h"

#include "base/Folders.h"
#include "platform/File.h"
#include "settings/SettingsExchanger.h"

CSettingsGeneral::CSettingsGeneral() { CSettingsGeneral::Exchange(true, nullptr, false, true); }

std::string CSettingsGeneral::DefaultOutputFolder() {
    return TrailingSeparator(platform::HomeFolder(), true);
}

bool CSettingsGeneral::Exchange(bool continueOnError, CSettingsStorage* storage, bool save,
                                bool reset) {
    CSettingsExchanger x(continueOnError, storage, save, reset);
    x.Value("OutputFolder", OutputFolder, DefaultOutputFolder()) &&
        x.Value("RememberFileList", RememberFileList, 1) &&
        x.Value("OutputFolderSameAsOriginal", OutputFolderSameAsOriginal, 1) &&
        x.Value("ShowWarnings", ShowWarnings, 1) && x.Value("AddOnlyExists", AddOnlyExists, 1) &&
        x.Value("CopyTags", CopyTags, 1) && x.Value("KeepFolderTree", KeepFolderTree, 0) &&
        x.Value("ExistingOutput", ExistingOutput, 0) &&
        x.Value("FullCheck", FullCheck, 1) && x.Value("NamePattern", NamePattern, std::string()) &&
        x.Value("MaxSampleRate", MaxSampleRate, 0) && x.Value("MaxBitDepth", MaxBitDepth, 0) &&
        x.Value("LoudnessTags", LoudnessTags, 0);
    return x.Result();
}
