#include "CodecRunner.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/CommandLine.h"
#include "support/TempDir.h"

std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

int RunProgram(const std::string& program, const std::string& commandLine,
               const std::string& logFile) {
    std::string command = ShellQuote(program);
    for (const std::string& arg : SplitCommandLine(commandLine)) command += " " + ShellQuote(arg);
    command += " </dev/null >" + ShellQuote(logFile) + " 2>&1";
    return std::system(command.c_str());
}

bool RunShell(const std::string& command) { return std::system(command.c_str()) == 0; }

namespace {
std::uint32_t Le32(const std::string& s, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
    return v;
}
std::uint16_t Le16(const std::string& s, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(s[at]) |
                                      (static_cast<unsigned char>(s[at + 1]) << 8));
}
}  // namespace

WavContent ReadWav(const std::string& path) {
    WavContent wav;
    const std::string bytes = ReadFileBytes(path);
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) {
        return wav;
    }
    bool haveFormat = false;
    std::size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const std::string id = bytes.substr(at, 4);
        std::size_t size = Le32(bytes, at + 4);
        const std::size_t body = at + 8;
        if (id == "fmt " && body + 16 <= bytes.size()) {
            wav.Channels = Le16(bytes, body + 2);
            wav.SampleRate = static_cast<int>(Le32(bytes, body + 4));
            wav.BitsPerSample = Le16(bytes, body + 14);
            wav.FormatTag = Le16(bytes, body);
            if (wav.FormatTag == 0xFFFE && size >= 40 && body + 40 <= bytes.size()) {
                wav.Extensible = true;
                wav.ChannelMask = Le32(bytes, body + 20);
                wav.FormatTag = Le16(bytes, body + 24);
            }
            haveFormat = true;
        } else if (id == "data") {
            size = std::min(size, bytes.size() - body);
            wav.Data = bytes.substr(body, size);
            wav.Valid = haveFormat;
            return wav;
        }
        at = body + size + (size & 1);
    }
    return wav;
}

bool MakeSineWav(const std::string& path, int sampleRate, int channels, double seconds) {
    return RunShell("sox -n -r " + std::to_string(sampleRate) + " -c " + std::to_string(channels) +
                    " -b 16 '" + path + "' synth " + std::to_string(seconds) +
                    " sine 440 sine 660 gain -3");
}

std::vector<std::int32_t> NormalisedSamples(const WavContent& wav) {
    std::vector<std::int32_t> samples;
    const int width = wav.BitsPerSample / 8;
    if (width < 1 || width > 4) return samples;
    samples.reserve(wav.Data.size() / width);
    for (std::size_t at = 0; at + width <= wav.Data.size(); at += width) {
        std::uint32_t raw = 0;
        for (int i = width - 1; i >= 0; --i) {
            raw = (raw << 8) | static_cast<unsigned char>(wav.Data[at + i]);
        }
        if (wav.FormatTag == 3 && width == 4) {
            float value = 0;
            std::memcpy(&value, &raw, sizeof value);
            const double scaled = std::nearbyint(static_cast<double>(value) * 2147483648.0);
            samples.push_back(
                static_cast<std::int32_t>(std::clamp(scaled, -2147483648.0, 2147483647.0)));
        } else if (width == 1) {
            samples.push_back(static_cast<std::int32_t>((raw ^ 0x80u) << 24));
        } else {
            samples.push_back(static_cast<std::int32_t>(raw << (32 - 8 * width)));
        }
    }
    return samples;
}
