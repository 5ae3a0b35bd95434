// What loudness tags cost: 20 WAV files of 60 s converted by kelto-cli to FLAC (-5) and to MP3,
// each batch without and with --loudness; and kelto's measuring (CLoudnessMeter, reading the
// WAV files) against libebur128 alone over the same samples already in memory, the least any
// measurement by the library can cost.
//
// Usage: bench_loudness_tags [WORK_DIR]   (default: the build's working folder, ../work)
// Target: kelto's measuring at most 1.10 x libebur128's own time.

#include <ebur128.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchShell.h"
#include "session/LoudnessMeter.h"

namespace fs = std::filesystem;

namespace {

using bench::Median;
using bench::Quoted;
using bench::RunSeconds;
using bench::SecondsSince;

constexpr int kFiles = 20;
constexpr int kSeconds = 60;
constexpr int kRounds = 3;

// The 16-bit samples of a WAV file sox wrote (a 44-byte header).
std::vector<std::int16_t> Samples(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return {};
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    std::vector<std::int16_t> samples(static_cast<std::size_t>(size - 44) / 2);
    std::fseek(file, 44, SEEK_SET);
    const std::size_t read = std::fread(samples.data(), 2, samples.size(), file);
    std::fclose(file);
    samples.resize(read);
    return samples;
}

// libebur128 alone, as kelto asks it (integrated loudness and sample peak), over samples in
// memory, one call a file.
double LibraryOnly(const std::vector<std::vector<std::int16_t>>& files) {
    const auto start = std::chrono::steady_clock::now();
    double sum = 0;
    for (const auto& samples : files) {
        ebur128_state* state = ebur128_init(2, 44100, EBUR128_MODE_I | EBUR128_MODE_SAMPLE_PEAK);
        ebur128_add_frames_short(state, samples.data(), samples.size() / 2);
        double lufs = 0;
        ebur128_loudness_global(state, &lufs);
        sum += lufs;
        ebur128_destroy(&state);
    }
    const double seconds = SecondsSince(start);
    if (sum == 0) std::printf("(no loudness measured)\n");
    return seconds;
}

double KeltoMeter(const std::vector<std::string>& paths) {
    const auto start = std::chrono::steady_clock::now();
    for (const std::string& path : paths) {
        CLoudnessMeter meter;
        std::string why;
        if (!meter.Measure(path, &why)) {
            std::fprintf(stderr, "%s\n", why.c_str());
            std::exit(1);
        }
    }
    return SecondsSince(start);
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path work = bench::WorkFolder(argc, argv);
    const std::string cli = bench::KeltoCli(work);
    const fs::path root = bench::ScratchFolder("loudness");
    const fs::path sources = root / "sources";
    const fs::path outputs = root / "outputs";
    fs::create_directories(sources);
    std::vector<std::string> paths;
    for (int i = 0; i < kFiles; ++i) {
        const std::string path = (sources / ("s" + std::to_string(i) + ".wav")).string();
        RunSeconds("sox -n -r 44100 -c 2 -b 16 " + Quoted(path) + " synth " +
                   std::to_string(kSeconds) + " pinknoise vol 0." + std::to_string(1 + i % 5));
        paths.push_back(path);
    }

    std::vector<std::vector<std::int16_t>> samples;
    for (const std::string& path : paths) samples.push_back(Samples(path));
    std::vector<double> library, meter;
    for (int round = 0; round < kRounds; ++round) {
        library.push_back(LibraryOnly(samples));
        meter.push_back(KeltoMeter(paths));
    }
    const double l = Median(library), m = Median(meter);

    struct Batch {
        const char* Name;
        std::string Options;
    };
    std::printf(
        "%d WAV files of %d s (44.1 kHz, 16-bit stereo), kelto-cli --threads 2, median of "
        "%d rounds\n",
        kFiles, kSeconds, kRounds);
    for (const Batch& batch :
         {Batch{"FLAC -5", "--coder FLAC --preset 1"}, Batch{"MP3", "--coder MP3"},
          Batch{"MP3 --verify", "--coder MP3 --verify"}}) {
        std::vector<double> rounds[2];
        for (int round = 0; round < kRounds * 2; ++round) {
            const int with = round % 2;
            fs::remove_all(outputs);
            fs::create_directories(outputs);
            rounds[with].push_back(RunSeconds(
                Quoted(cli) + " --workdir " + Quoted(work.string()) + " " + batch.Options +
                (with ? " --loudness" : " --no-loudness") + " --threads 2 --output " +
                Quoted(outputs.string()) + " " + Quoted(sources.string()) + " >/dev/null 2>&1"));
        }
        const double seconds[2] = {Median(rounds[0]), Median(rounds[1])};
        std::printf("  %-13s without %7.2f s   with --loudness %7.2f s   (+%.2f s)\n", batch.Name,
                    seconds[0], seconds[1], seconds[1] - seconds[0]);
    }
    std::printf(
        "  (MP3 without --verify decodes each output for measuring; with it, the check's\n"
        "   decoding is measured, so the difference is the measuring alone)\n");
    std::printf("libebur128 alone over the samples in memory: %.3f s (median of %d)\n", l, kRounds);
    std::printf(
        "kelto's measuring, reading the WAV files:    %.3f s   ratio %.3f x (target <= 1.10) %s\n",
        m, m / l, m / l <= 1.10 ? "ok" : "MISSED");
    fs::remove_all(root);
    return 0;
}
