#pragma once

#include <string>

// One preset of a codec database entry, read from the attributes of one child node.
class CDatabasePreset {
public:
    std::string CommandLine;  // "CommandLine"
    std::string Extension;    // "Extension", without the dot
    std::string Description;  // "Description": the preset name
    std::string Type;         // "Type": "Coding" or "Decoding"; anything else is used by no list
};
