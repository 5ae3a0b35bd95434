#pragma once

#include <string>

#include "codecs/Codec.h"

// A program that turns a source file into a WAV file. Package files: Extensions.ini (accepted
// source extensions, matched in lower case) and Format.ini (one command line per extension).
class CDecoder : public CCodec {
public:
    // The type of the database presets that decoders take.
    static constexpr const char* kPresetType = "Decoding";

    CDecoder() = default;
    CDecoder(const CDecoder& other) = default;

    int GetKind() override { return 1; }
    bool Load(const std::string& path) override;
    bool IsCodec() const override { return true; }
};
