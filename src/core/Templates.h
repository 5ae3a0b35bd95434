#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The values a command-line template is expanded with.
struct TemplateValues {
    std::string InputPath;   // "%in%"
    std::string OutputPath;  // "%out%"
    std::int32_t SampleRate = 0;
    std::int32_t Channels = 0;
    std::int32_t Resolution = 0;  // the source's bits per sample, 0 when unknown
};

// Replaces the placeholders "%in%", "%out%" (each path quoted so that it reaches the program as
// exactly one argument), "%orig_sr_hz%", "%orig_sr_khz%" and "%wav_bits%". Inserted values are
// not scanned again. Any other name between two "%" (upper case, "%%"), or a "%" without a
// partner, fails: then out is left as it was.
// "%wav_bits%" is the bits per sample of a WAV file that holds the source's samples whole, for
// decoders that are told what to write: 24 for sources of more than 16 bits, else 16 (also when
// unknown, as for lossy sources). Sources of more than 24 bits keep their upper 24.
bool ExpandTemplate(const std::string& templateText, const TemplateValues& values,
                    std::string& out);

// Why ExpandTemplate fails on templateText whatever the values: "unknown placeholder %x%" for
// the first name it does not know, or "a "%" without its partner". Empty when it expands;
// names (when given) then holds every placeholder of the template, in order.
std::string TemplateError(const std::string& templateText,
                          std::vector<std::string>* names = nullptr);

// The sample rate in kilohertz with at least one decimal and no trailing zeros beyond it:
// 44100 -> "44.1", 48000 -> "48.0", 22050 -> "22.05".
std::string FormatKilohertz(std::int32_t sampleRate);
