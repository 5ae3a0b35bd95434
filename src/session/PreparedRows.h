#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

class CFileInfo;

// What a file's jobs were prepared with, so Start can tell whether they still say what the
// window shows.
struct PreparedWith {
    std::string Path;        // the file's path then: a record is never taken for another file's
    std::string CoderName;   // the coder picked (the pass-through coder's name when decoding only)
    std::string PresetName;  // empty when decoding only
    int PresetIndex = -1;
    std::string OutputFolder;  // the folder the output went to then; empty: beside the source
    std::string NamePattern;   // the NamePattern setting then
    int MaxSampleRate = 0;     // the highest sample rate and bit depth then (0: none)
    int MaxBitDepth = 0;
    // The command lines as prepared, hashed: a line that differs now was edited by hand.
    std::size_t DecoderLine = 0;
    std::size_t CoderLine = 0;
    bool Failed = false;  // Apply tried and left the file without jobs
};

// What Start finds when it compares the listed files' jobs with the current choice.
struct StartCheck {
    enum class Outcome {
        PrepareAndRun,  // no file has jobs: Start prepares the target rows and runs, unasked
        Run,            // every file with jobs holds what the window shows, and none lacks them
        Ask,            // some differ or lack jobs: the user decides
    };
    Outcome Result = Outcome::PrepareAndRun;
    // Rows with jobs prepared with another coder, preset or output folder than the choice.
    std::vector<int> Differing;
    // Rows without jobs while others have them (rows Apply could not prepare with this very
    // choice are not counted: applying again would change nothing).
    std::vector<int> Unprepared;
    // Rows of Differing whose command line was edited by hand: applying drops the edits.
    std::vector<int> Edited;
    // What Apply prepares when the user picks "apply first": Differing and Unprepared, in
    // list order.
    std::vector<int> ToApply;
};

// The records of the prepared files, kept by the file's record address and checked against
// its path.
class CPreparedRows {
public:
    void Record(const CFileInfo& file, PreparedWith with);
    void Forget(const CFileInfo& file) { m_rows.erase(&file); }
    // The record of file, null when there is none (or it was another file's at that address).
    const PreparedWith* Find(const CFileInfo& file) const;
    // Drops every record whose file is not one of files.
    void KeepOnly(const std::vector<const CFileInfo*>& files);
    // Whether a job of file holds another command line than it was prepared with.
    static bool IsEdited(const CFileInfo& file, const PreparedWith& with);
    // The hash kept of a command line.
    static std::size_t LineHash(const std::string& line);

private:
    std::unordered_map<const CFileInfo*, PreparedWith> m_rows;
};
