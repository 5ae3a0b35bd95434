#pragma once

#include <string>
#include <vector>

// What adding files found besides the entries it made, for a front end to tell the user.
struct AddOutcome {
    // A file or folder that could not be read, and why: the system's words ("No such file or
    // directory", "Permission denied", "not a regular file (named pipe)"), or the reader's
    // refusal ("cannot be read as an audio file").
    struct Refusal {
        std::string Path;
        std::string Reason;
    };

    // In the order they were met: a folder's refusal comes when it is listed, those of files
    // in the order of their paths.
    std::vector<Refusal> Unreadable;
    // Files passed over because their extension is not one of audio (only counted when the
    // editor lists audio alone).
    int NotAudio = 0;
};
