#pragma once

#include "codecs/CodecList.h"
#include "codecs/Decoder.h"

// The decoders of the catalogue: package decoders, then Codecs decoders. A source file's
// decoder is the first whose preset extension equals its lower-cased extension.
class CDecoderList : public CCodecList<CDecoder> {};
