#pragma once

// What the benchmarks share: the working folder and kelto-cli they measure, a scratch folder,
// quoting, timing a command or a step, the median of repeated rounds, and WAV files for an
// encoder to make sources of.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace bench {

inline std::string Quoted(const std::string& text) { return "'" + text + "'"; }

inline double Seconds(std::chrono::steady_clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

inline double SecondsSince(std::chrono::steady_clock::time_point start) {
    return Seconds(std::chrono::steady_clock::now() - start);
}

// The wall time of one call of step, in seconds.
template <class Step>
double Time(Step step) {
    const auto start = std::chrono::steady_clock::now();
    step();
    return SecondsSince(start);
}

// Runs command and returns its wall time in seconds; a command that fails ends the benchmark.
inline double RunSeconds(const std::string& command) {
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    const double seconds = SecondsSince(start);
    if (status != 0) {
        std::fprintf(stderr, "command failed (%d): %s\n", status, command.c_str());
        std::exit(1);
    }
    return seconds;
}

inline void Shell(const std::string& command) { RunSeconds(command); }

// The build folder: the benchmark programs lie in its bench folder.
inline std::filesystem::path BuildFolder() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path();
}

// The working folder to measure: the first argument, or the build's.
inline std::filesystem::path WorkFolder(int argc, char** argv) {
    return argc >= 2 ? std::filesystem::path(argv[1]) : BuildFolder() / "work";
}

// The kelto-cli of work; its absence ends the benchmark.
inline std::string KeltoCli(const std::filesystem::path& work) {
    const std::string cli = (work / "kelto-cli").string();
    if (!std::filesystem::exists(cli)) {
        std::fprintf(stderr, "no kelto-cli in %s (build it first)\n", work.c_str());
        std::exit(1);
    }
    return cli;
}

// The codec packages of work (its folder "Coders" or "Decoders"); their absence ends the
// benchmark.
inline void NeedPackages(const std::filesystem::path& work, const char* folder) {
    if (!std::filesystem::exists(work / folder)) {
        std::fprintf(stderr, "no codec packages in %s (build the working folder first)\n",
                     work.c_str());
        std::exit(1);
    }
}

// A folder below the system's temporary folder no earlier run used, for the benchmark named;
// not made yet.
inline std::filesystem::path ScratchFolder(const std::string& name) {
    return std::filesystem::temp_directory_path() /
           ("kelto-bench-" + name + "-" +
            std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
}

// The bytes of a 16-bit PCM WAV file of the interleaved samples.
inline std::string WavBytes(int rate, int channels, const std::vector<std::int16_t>& samples) {
    auto put = [](std::string& out, std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    const auto dataSize = static_cast<std::uint32_t>(samples.size() * 2);
    std::string out = "RIFF";
    put(out, 36 + dataSize, 4);
    out += "WAVEfmt ";
    put(out, 16, 4);
    put(out, 1, 2);  // PCM
    put(out, static_cast<std::uint32_t>(channels), 2);
    put(out, static_cast<std::uint32_t>(rate), 4);
    put(out, static_cast<std::uint32_t>(rate * channels * 2), 4);
    put(out, static_cast<std::uint32_t>(channels * 2), 2);
    put(out, 16, 2);
    out += "data";
    put(out, dataSize, 4);
    for (const std::int16_t sample : samples) put(out, static_cast<std::uint16_t>(sample), 2);
    return out;
}

inline void WriteWav(const std::string& path, int rate, int channels,
                     const std::vector<std::int16_t>& samples) {
    std::ofstream(path, std::ios::binary) << WavBytes(rate, channels, samples);
}

// A tenth of a second of a mono 8 kHz 16-bit tone.
inline void WriteToneWav(const std::string& path) {
    const int rate = 8000;
    std::vector<std::int16_t> samples(rate / 10);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>(std::sin(static_cast<double>(i) * 0.05) * 6000);
    WriteWav(path, rate, 1, samples);
}

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace bench
