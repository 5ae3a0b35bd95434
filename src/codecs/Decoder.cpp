#include "codecs/Decoder.h"

bool CDecoder::Load(const std::string& path) {
    LoadPackageBasics(path);
    const std::string lines = GetFolder() + "/Format.ini";
    GetPresets().LoadFromFiles(lines, GetFolder() + "/Extensions.ini", false);
    GetPresets().RefuseUnrunnable(lines);
    return true;
}
