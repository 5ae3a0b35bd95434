#pragma once

#include <string>

#include "codecs/Codec.h"

class CDecoder;

// A program that turns a WAV file into the output file. Package files: Info.txt, Extensions.ini
// (output extensions), Presets.ini (name and command line of each preset), a name file.
class CCoder : public CCodec {
public:
    // The type of the database presets that coders take.
    static constexpr const char* kPresetType = "Coding";

    CCoder() = default;
    CCoder(const CCoder& other) = default;

    int GetKind() override { return 0; }
    bool Load(const std::string& path) override;
    bool IsCodec() const override { return true; }

    // The decoder job that writes this coder job's input and must end before it starts; not
    // owned, empty in a catalogue record.
    CDecoder* GetDecoder() const { return m_decoder; }
    IProcess* GetDecoderJob() override;
    void SetDecoder(CDecoder* decoder) { m_decoder = decoder; }

    // The pass-through coder: no program and no presets; choosing it makes the decoders'
    // WAV files the result. name is the user-interface text for it.
    static std::unique_ptr<CCoder> MakePassThrough(const std::string& name);

private:
    CDecoder* m_decoder = nullptr;
};
