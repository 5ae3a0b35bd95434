#pragma once

#include <string>
#include <utility>

class CFileInfo;
class MediaInfoHandle;

// What a check of a job's output found. A failed check names the file and says what is wrong
// with it in plain words.
struct OutputCheckResult {
    bool Passed = true;
    std::string Reason;  // why it failed, naming the file
    // A length could not be known (the format or MediaInfo gives none, or none was expected):
    // the caller logs it, and the output is judged by the rest.
    bool LengthUnknown = false;
    bool Verified = false;  // the full check (VerifyOutput) ran and passed
    // The full check compared a reduced resolution: a 32-bit source through a coder that keeps
    // 24 bits, or float samples through an integer format.
    bool Reduced = false;
    std::string Note;  // e.g. "compared on the upper 24 bits"

    static OutputCheckResult Failure(std::string reason) {
        OutputCheckResult result;
        result.Passed = false;
        result.Reason = std::move(reason);
        return result;
    }
};

// The built-in check, from headers alone (no decoding): output exists, is a regular file and
// not empty, begins as files of its format do, is read by kelto's file information as the
// format of outputExtension (".mp3", from the coder's first preset; ".wav" for decode-only):
// with mediaInfo, except for the formats whose length kelto's own header readers count (WAV,
// FLAC, WavPack, TTA), holds its stream to the end its header promises, and plays for
// expectedSeconds within the tolerance of its format (LengthTolerance). expectedSeconds < 0,
// or a format whose length kelto cannot read, gives LengthUnknown. Without MediaInfo (a null
// or unready handle) the formats read through it are judged without their properties and length.
// The handle serves one file at a time: each thread that checks needs a handle of its own.
OutputCheckResult CheckOutput(const std::string& output, const std::string& outputExtension,
                              double expectedSeconds, MediaInfoHandle* mediaInfo);

// A decoder's WAV file (or a WAV source) before its coder may start, and the output of a
// decode-only job (whose length CheckOutput would hold to a WAV file's exactness, where the
// source's header may only estimate it): a WAV file kelto's WAV
// reader reads, not truncated, with a data chunk, and, when the listed source's length is
// known, as long as it within the tolerance of the source's format (its header's and its
// decoder's together). *seconds (when given) receives the WAV file's exact length, for use as
// the output's expected length; -1 when it has none.
OutputCheckResult CheckDecodedWave(const std::string& wave, const CFileInfo& listedSource,
                                   double* seconds);
