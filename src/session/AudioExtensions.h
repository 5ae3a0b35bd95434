#pragma once

#include <string>
#include <unordered_set>

class CDecoderList;

// The extensions kelto knows as audio: those of its format table and every one a decoder of
// the catalogue takes, and cue sheets (".cue"), which stand for their tracks. A file of any other
// extension (a picture, a log) is no audio to convert.
class CAudioExtensions {
public:
    explicit CAudioExtensions(const CDecoderList& decoders);

    // Whether the extension of path (matched as PrepareDecoder matches it: lower-cased) is one.
    bool IsAudio(const std::string& path) const;
    // Whether only a decoder knows the extension: no header reader looks at such a file.
    bool IsDecoderOnly(const std::string& path) const;

private:
    std::unordered_set<std::string> m_decoderExtensions;
};
