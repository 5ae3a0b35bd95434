#include "EngineFiles.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

std::uint32_t Le32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

std::uint16_t Le16(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      (static_cast<unsigned char>(bytes[at + 1]) << 8));
}

void Put32(std::string& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void Put16(std::string& out, std::uint16_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

std::string Extension(const std::string& path) { return fs::path(path).extension().string(); }

}  // namespace

bool RunShell(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

WavPcm ReadWavPcm(const std::string& path) {
    WavPcm wav;
    const std::string bytes = ReadFileBytes(path);
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
        return wav;
    bool haveFormat = false;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::string id = bytes.substr(at, 4);
        std::size_t size = Le32(bytes, at + 4);
        const std::size_t body = at + 8;
        // Streamed WAV files may leave the data size open (0 or all ones).
        if (id == "data" && (size == 0 || size == 0xFFFFFFFFu || body + size > bytes.size()))
            size = bytes.size() - body;
        if (id == "fmt " && body + 16 <= bytes.size()) {
            wav.Channels = Le16(bytes, body + 2);
            wav.SampleRate = static_cast<int>(Le32(bytes, body + 4));
            wav.Bits = Le16(bytes, body + 14);
            haveFormat = true;
        } else if (id == "data") {
            wav.Data = bytes.substr(body, size);
            wav.Valid = haveFormat;
            return wav;
        }
        at = body + size + (size & 1);
    }
    return wav;
}

void WriteTestWav(const std::string& path, int sampleRate, int channels, double seconds, int seed) {
    const auto frames = static_cast<std::uint32_t>(sampleRate * seconds);
    std::string data;
    data.reserve(frames * channels * 2);
    std::uint32_t noise = 0x9E3779B9u * static_cast<std::uint32_t>(seed + 1);
    for (std::uint32_t i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            noise = noise * 1664525u + 1013904223u;
            const double t = static_cast<double>(i) / sampleRate;
            const double tone = std::sin(2 * M_PI * (220.0 + 110.0 * seed + 55.0 * c) * t) * 9000 +
                                std::sin(2 * M_PI * 3.0 * t) * 3000;
            const double value = tone + static_cast<int>((noise >> 16) % 512) - 256;
            Put16(data, static_cast<std::uint16_t>(static_cast<std::int16_t>(value)));
        }
    }
    std::string out = "RIFF";
    Put32(out, static_cast<std::uint32_t>(36 + data.size()));
    out += "WAVEfmt ";
    Put32(out, 16);
    Put16(out, 1);
    Put16(out, static_cast<std::uint16_t>(channels));
    Put32(out, static_cast<std::uint32_t>(sampleRate));
    Put32(out, static_cast<std::uint32_t>(sampleRate * channels * 2));
    Put16(out, static_cast<std::uint16_t>(channels * 2));
    Put16(out, 16);
    out += "data";
    Put32(out, static_cast<std::uint32_t>(data.size()));
    WriteFileBytes(path, out + data);
}

bool EncodeWith(const std::string& wav, const std::string& path) {
    const std::string in = ShellQuoted(wav);
    const std::string out = ShellQuoted(path);
    const std::string extension = Extension(path);
    if (extension == ".flac") return RunShell("flac -s -f -o " + out + " " + in);
    if (extension == ".mp3") return RunShell("lame --quiet -V 2 " + in + " " + out);
    if (extension == ".ogg") return RunShell("oggenc -Q -q 5 -o " + out + " " + in);
    if (extension == ".wv") return RunShell("wavpack -q -y " + in + " -o " + out);
    return false;
}

WavPcm DecodeBack(const std::string& path, const std::string& scratchFolder) {
    static int counter = 0;
    const std::string wav = scratchFolder + "/decoded-" + std::to_string(++counter) + ".wav";
    const std::string in = ShellQuoted(path);
    const std::string out = ShellQuoted(wav);
    const std::string extension = Extension(path);
    bool ok = false;
    if (extension == ".wav") return ReadWavPcm(path);
    if (extension == ".flac") ok = RunShell("flac -s -d -f -o " + out + " " + in);
    if (extension == ".mp3") ok = RunShell("lame --quiet --decode " + in + " " + out);
    if (extension == ".ogg") ok = RunShell("oggdec -Q -o " + out + " " + in);
    if (extension == ".wv") ok = RunShell("wvunpack -q -y " + in + " -o " + out);
    return ok ? ReadWavPcm(wav) : WavPcm{};
}

void WriteRecordingPackage(const std::string& folder, const std::string& name, bool coder,
                           const std::string& realProgram,
                           const std::vector<PackagePreset>& presets,
                           const WrapperBehaviour& behaviour) {
    const fs::path package = fs::path(folder) / name;
    fs::create_directories(package);
    std::ostringstream script;
    script << "#!/bin/sh\n"
           << "prev=; out=; last=\n"
           << "for a; do if [ \"$prev\" = \"-o\" ]; then out=$a; fi; prev=$a; last=$a; done\n"
           << "if [ -z \"$out\" ]; then out=$last; fi\n";
    if (coder) {
        // Labelled by the output's own name, not the one it is written apart under.
        script << "name=${out##*/}; case $name in *.kelto-new*) rest=${name#*.kelto-new};"
               << " name=${name%%.kelto-new*}${rest#\"${rest%%.*}\"};; esac\n"
               << "label=\"coder $name\"\n";
    } else {
        script << "label=\"decoder ${last##*/}\"\n";
    }
    const std::string log =
        ShellQuoted(behaviour.LogFile.empty() ? "/dev/null" : behaviour.LogFile);
    // The partial output exists by the time the start is logged.
    if (behaviour.WritePartialOutput) script << "echo partial > \"$out\"\n";
    script << "echo \"start $label $$\" >> " << log << "\n";
    if (behaviour.SleepBefore > 0) script << "sleep " << behaviour.SleepBefore << "\n";
    script << ShellQuoted(realProgram) << " \"$@\" >/dev/null 2>&1\n"
           << "status=$?\n"
           << "echo \"end $label $$ $status\" >> " << log << "\n"
           << "exit $status\n";
    const fs::path program = package / "run";
    WriteFileBytes(program.string(), script.str());
    fs::permissions(program, fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read);

    std::string extensions;
    std::string lines;
    for (const PackagePreset& preset : presets) {
        extensions += preset.Extension + "\n";
        if (coder) lines += preset.Name + "\n";
        lines += preset.Template + "\n";
    }
    WriteFileBytes((package / "Extensions.ini").string(), extensions);
    WriteFileBytes((package / (coder ? "Presets.ini" : "Format.ini")).string(), lines);
}

std::vector<LogEvent> ReadLog(const std::string& path) {
    std::vector<LogEvent> events;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string what, kind, name;
        LogEvent event;
        words >> what >> kind >> name >> event.Pid;
        if (what == "end") words >> event.Status;
        event.Start = what == "start";
        event.Label = kind + " " + name;
        events.push_back(event);
    }
    return events;
}

int EventIndex(const std::vector<LogEvent>& events, const std::string& label, bool start) {
    for (std::size_t i = 0; i < events.size(); ++i) {
        if (events[i].Label == label && events[i].Start == start) return static_cast<int>(i);
    }
    return -1;
}

int MaxConcurrency(const std::vector<LogEvent>& events) {
    int running = 0;
    int most = 0;
    for (const LogEvent& event : events) {
        running += event.Start ? 1 : -1;
        most = std::max(most, running);
    }
    return most;
}
