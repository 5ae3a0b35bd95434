#include "codecs/Decoder.h"

bool CDecoder::Load(const std::string& path) {
    LoadPackageBasics(path);
    GetPresets().LoadFromFiles(GetFolder() + "/Format.ini", GetFolder() + "/Extensions.ini", false);
    return true;
}
