#pragma once

// What the benchmarks that run programs through the shell share: quoting, timing a command,
// and the median of repeated rounds.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
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

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace bench
