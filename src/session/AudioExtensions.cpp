#include "session/AudioExtensions.h"

#include "base/AsciiText.h"
#include "base/Paths.h"
#include "codecs/DecoderList.h"
#include "fileinfo/FormatTable.h"

CAudioExtensions::CAudioExtensions(const CDecoderList& decoders) {
    for (int i = 0; i < decoders.GetCount(); ++i) {
        for (const CPreset& preset : decoders.GetAt(i)->GetPresets()) {
            m_decoderExtensions.insert(preset.Extension);
        }
    }
}

bool CAudioExtensions::IsAudio(const std::string& path) const {
    const std::string extension = LowerAscii(PathExtension(path));
    // A cue sheet is listed as the tracks of its image.
    return FindFormat(extension) || m_decoderExtensions.count(extension) != 0 ||
           extension == ".cue";
}

bool CAudioExtensions::IsDecoderOnly(const std::string& path) const {
    const std::string extension = LowerAscii(PathExtension(path));
    return !FindFormat(extension) && m_decoderExtensions.count(extension) != 0;
}
