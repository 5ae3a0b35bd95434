#pragma once

#include <string>
#include <vector>

#include "codecs/DatabasePreset.h"

// One known codec program in Base.xml. A node that is not an element (a comment, a processing
// instruction, text) still makes an entry, with every field empty and no presets.
class CDatabaseEntry {
public:
    std::string Hash;      // MD5 of the executable, 32 upper-case hexadecimal digits
    std::string FileName;  // the executable's file name
    std::string FileSize;
    std::string Date;
    std::string Description;  // codec name and description
    std::string Type;
    std::string Format;
    std::vector<CDatabasePreset> Presets;  // in document order
};
