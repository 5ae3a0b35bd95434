#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>

// path with " (number)" before its extension (the part from the last "." of its last
// component): "a/b.flac" and 2 give "a/b (2).flac".
std::string NumberedOutputName(const std::string& path, int number);

// Where a new output is written while an old one of the same name is kept: path with
// ".kelto-new" before its extension ("a/b.kelto-new.flac"), and number after it from 2 on
// ("a/b.kelto-new2.flac"). A name that would grow too long for a file name loses the end of
// its stem instead; empty only for an extension that leaves no room at all.
std::string UnfinishedOutputName(const std::string& path, int number);

// The name UnfinishedOutputName made path from, as far as it can be told (a stem it cut stays
// cut): path without its ".kelto-new" mark; path itself when it has none.
std::string OwnOutputName(const std::string& path);

// The output paths of one batch, so that no two files write the same one. Paths compare
// exactly. Hold and Take cost about the same however many paths are held, also when thousands
// of files share one wanted name.
class COutputNames {
public:
    // Marks path as written by a file that keeps its output; an empty path is ignored.
    void Hold(const std::string& path);
    // path itself when it is free, else path with " (2)" before its extension (the part from
    // the last "." of its last component), or " (3)" and so on: the first that is free. The
    // result is held from then on.
    std::string Take(const std::string& path);

private:
    std::unordered_set<std::string> m_held;
    // For each wanted path that was found held, the number to try next: the smaller ones were
    // all held, and nothing is ever let go.
    std::unordered_map<std::string, int> m_nextNumber;
};
