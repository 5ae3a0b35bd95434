#pragma once

// What the benchmarks that run programs through the shell share: quoting, timing a command,
// the median of repeated rounds, and a short WAV file for an encoder to make sources of.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace bench {

inline std::string Quoted(const std::string& text) { return "'" + text + "'"; }

// Runs command and returns its wall time in seconds; a command that fails ends the benchmark.
inline double RunSeconds(const std::string& command) {
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (status != 0) {
        std::fprintf(stderr, "command failed (%d): %s\n", status, command.c_str());
        std::exit(1);
    }
    return seconds;
}

inline void Shell(const std::string& command) { RunSeconds(command); }

// A tenth of a second of a mono 8 kHz 16-bit tone.
inline void WriteToneWav(const std::string& path) {
    const int rate = 8000;
    const int frames = rate / 10;
    std::string data;
    for (int i = 0; i < frames; ++i) {
        const auto value = static_cast<std::int16_t>(std::sin(i * 0.05) * 6000);
        data += static_cast<char>(value & 0xFF);
        data += static_cast<char>((value >> 8) & 0xFF);
    }
    auto put32 = [](std::string& out, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    std::string out = "RIFF";
    put32(out, static_cast<std::uint32_t>(36 + data.size()));
    out += "WAVEfmt ";
    put32(out, 16);
    out += std::string("\x01\x00\x01\x00", 4);
    put32(out, rate);
    put32(out, rate * 2);
    out += std::string("\x02\x00\x10\x00", 4);
    out += "data";
    put32(out, static_cast<std::uint32_t>(data.size()));
    std::ofstream(path, std::ios::binary) << out << data;
}

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace bench
