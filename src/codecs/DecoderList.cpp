#include "codecs/DecoderList.h"

const CDecoder* CDecoderList::FindFor(const std::string& extension, const CPreset** preset) const {
    for (int i = 0; i < GetCount(); ++i) {
        const CDecoder* decoder = GetAt(i);
        for (const CPreset& candidate : decoder->GetPresets()) {
            if (candidate.Extension == extension) {
                if (preset) *preset = &candidate;
                return decoder;
            }
        }
    }
    return nullptr;
}
