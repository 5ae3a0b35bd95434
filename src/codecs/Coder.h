#pragma once

#include <string>

#include "codecs/Codec.h"
#include "codecs/CoderProperties.h"

class CDecoder;

// A program that turns a WAV file into the output file. Package files: Info.txt, Extensions.ini
// (output extensions), Presets.ini (name and command line of each preset), a name file, and
// Properties.ini (whether it is lossless, CoderProperties).
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

    // Whether the output decodes to the samples of its input (as the package declares; a coder
    // of the Codecs folder counts as lossy), and how many bits per sample it keeps of them:
    // 0 for all, 24 for a program that keeps the upper 24 bits of 32-bit samples.
    bool IsLossless() const { return m_properties.Lossless; }
    int GetHeldBits() const { return m_properties.HeldBits; }
    // All the package declares, also what its program takes.
    const CoderProperties& GetProperties() const { return m_properties; }

    // The pass-through coder: no program and no presets; choosing it makes the decoders'
    // WAV files the result. name is the user-interface text for it.
    static std::unique_ptr<CCoder> MakePassThrough(const std::string& name);

private:
    CDecoder* m_decoder = nullptr;
    CoderProperties m_properties;
};
