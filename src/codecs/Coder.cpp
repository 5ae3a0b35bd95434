#include "codecs/Coder.h"

#include "codecs/Decoder.h"

bool CCoder::Load(const std::string& path) {
    LoadPackageBasics(path);
    ReadNameFile(path);
    ReadInfoFile(GetFolder());
    GetPresets().LoadFromFiles(GetFolder() + "/Presets.ini", GetFolder() + "/Extensions.ini", true);
    m_properties = CoderProperties::Load(GetFolder() + "/Properties.ini");
    return true;
}

std::unique_ptr<CCoder> CCoder::MakePassThrough(const std::string& name) {
    auto coder = std::make_unique<CCoder>();
    coder->SetName(name);
    return coder;
}

IProcess* CCoder::GetDecoderJob() { return m_decoder; }
