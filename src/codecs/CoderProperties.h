#pragma once

#include <string>

// What a coder package says about what its program keeps of the samples, in the package's
// optional Properties.ini:
//   [Coder]
//   Lossless=1     the output decodes to the very samples it was made from
//   HeldBits=24    ... of which the program keeps the upper 24 bits (32-bit sources)
// A package that does not say is lossy. Lines other than these two keys are passed over.
struct CoderProperties {
    bool Lossless = false;
    int HeldBits = 0;  // bits per sample the program keeps; 0 for all

    // Reads the file at path; a missing file gives the defaults.
    static CoderProperties Load(const std::string& path);
};
