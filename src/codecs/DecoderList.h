#pragma once

#include <string>

#include "codecs/CodecList.h"
#include "codecs/Decoder.h"

// The decoders of the catalogue: package decoders, then Codecs decoders. A source file's
// decoder is the first whose preset extension equals its lower-cased extension.
class CDecoderList : public CCodecList<CDecoder> {
public:
    // That decoder for a lower-cased extension (".flac"), with its preset in *preset; null
    // when no decoder takes the extension.
    const CDecoder* FindFor(const std::string& extension, const CPreset** preset) const;
};
