#pragma once

#include <string>

#include "codecs/CodecList.h"
#include "codecs/Coder.h"

// The coders of the catalogue: package coders, then Codecs coders, then (appended by the main
// window) the pass-through coder, always the last.
class CCoderList : public CCodecList<CCoder> {
public:
    // Appends the pass-through coder named by name (the user-interface text for it).
    CCoder* AddPassThroughCoder(const std::string& name);
};
