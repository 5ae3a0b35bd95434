#include "codecs/Coder.h"

#include "codecs/Decoder.h"

bool CCoder::Load(const std::string& path) {
    LoadPackageBasics(path);
    ReadNameFile(path);
    ReadInfoFile(GetFolder());
    const std::string presets = GetFolder() + "/Presets.ini";
    GetPresets().LoadFromFiles(presets, GetFolder() + "/Extensions.ini", true);
    GetPresets().RefuseUnrunnable(presets);
    m_properties = CoderProperties::Load(GetFolder() + "/Properties.ini");
    return true;
}

std::unique_ptr<CCoder> CCoder::MakePassThrough(const std::string& name) {
    auto coder = std::make_unique<CCoder>();
    coder->SetName(name);
    return coder;
}

IProcess* CCoder::GetDecoderJob() { return m_decoder; }
