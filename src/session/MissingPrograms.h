#pragma once

#include <string>
#include <vector>

// A codec package whose program cannot be run: its link points nowhere, or the program was
// deleted or lost its execute permission. The catalogue passes such a package over.
struct MissingProgram {
    std::string Name;     // as the package would be listed (its .name file, else its folder)
    std::string Program;  // the entry left in the package folder; empty when none is left
};

// The package folders below packagesFolder (the Coders or Decoders folder) that hold no
// executable, in folder order.
std::vector<MissingProgram> FindMissingPrograms(const std::string& packagesFolder);

// True when the program a catalogued codec runs is no longer an executable file.
bool IsProgramMissing(const std::string& programPath);
