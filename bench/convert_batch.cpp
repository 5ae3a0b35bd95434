// Converts 300 short WAV files to FLAC with kelto-cli --threads 2 and, in the same run, runs the
// same flac command lines through xargs -P 2 -L 1 (the leanest launcher there is) and through
// GNU parallel -j2, and prints the ratios of the wall times. It also measures the delay between
// one job's end and the next job's start (with a recording stand-in codec: this program itself)
// and kelto-cli's start-up time.
//
// Usage: bench_convert_batch [WORK_DIR]   (default: the build's working folder, ../work)
// Targets: kelto-cli at most 1.10 x xargs; median end-to-start delay under 5 ms; start-up
// under 50 ms.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "BenchShell.h"

namespace fs = std::filesystem;

namespace {

using bench::Median;
using bench::Quoted;
using bench::RunSeconds;

constexpr int kFiles = 300;
constexpr double kSeconds = 0.15;
constexpr int kRounds = 3;

std::int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Stand-in codec: "--record LOG IN OUT" appends its start and end times to LOG.
int RecordMain(int argc, char** argv) {
    const std::int64_t start = NowNs();
    if (argc < 3) return 2;
    std::FILE* log = std::fopen(argv[2], "a");
    if (log == nullptr) return 1;
    // One write per line keeps concurrent jobs' lines whole.
    std::fprintf(log, "start %lld\nend %lld\n", static_cast<long long>(start),
                 static_cast<long long>(NowNs()));
    std::fclose(log);
    return 0;
}

void WriteWav(const std::string& path, int seed) {
    const int rate = 44100;
    const int frames = static_cast<int>(rate * kSeconds);
    std::vector<std::int16_t> samples;
    for (int i = 0; i < frames; ++i) {
        for (int c = 0; c < 2; ++c) {
            const double t = static_cast<double>(i) / rate;
            samples.push_back(static_cast<std::int16_t>(
                std::sin(2 * M_PI * (200.0 + seed + 50.0 * c) * t) * 8000 +
                ((i * 7919 + seed) % 300)));
        }
    }
    bench::WriteWav(path, rate, 2, samples);
}

struct Folders {
    fs::path root;
    fs::path sources;
    fs::path outputs;
};

void ClearOutputs(const Folders& folders) {
    fs::remove_all(folders.outputs);
    fs::create_directories(folders.outputs);
}

// The median delay between a job's end and the start of the job that took its slot: every
// start after the first two (one per slot) paired with the latest end before it.
double MedianGapMs(const std::string& logPath) {
    std::ifstream in(logPath);
    std::vector<std::int64_t> starts;
    std::vector<std::int64_t> ends;
    std::string what;
    long long when = 0;
    while (in >> what >> when) (what == "start" ? starts : ends).push_back(when);
    std::sort(starts.begin(), starts.end());
    std::sort(ends.begin(), ends.end());
    std::vector<double> delays;
    for (std::size_t i = 2; i < starts.size(); ++i) {
        const auto after = std::upper_bound(ends.begin(), ends.end(), starts[i]);
        if (after != ends.begin()) {
            delays.push_back(static_cast<double>(starts[i] - *(after - 1)) / 1e6);
        }
    }
    return Median(delays);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::string(argv[1]) == "--record") return RecordMain(argc, argv);

    const fs::path work = bench::WorkFolder(argc, argv);
    const std::string cli = bench::KeltoCli(work);
    Folders folders;
    folders.root = bench::ScratchFolder("batch");
    folders.sources = folders.root / "sources";
    folders.outputs = folders.root / "outputs";
    fs::create_directories(folders.sources);
    for (int i = 0; i < kFiles; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "s%03d.wav", i);
        WriteWav((folders.sources / name).string(), i);
    }

    // The command lines kelto-cli runs for the FLAC coder's first preset.
    const std::string lines = (folders.root / "lines.txt").string();
    const std::string commands = (folders.root / "commands.txt").string();
    {
        std::ofstream argsOut(lines);
        std::ofstream commandsOut(commands);
        for (int i = 0; i < kFiles; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "s%03d", i);
            const std::string out = (folders.outputs / (std::string(name) + ".flac")).string();
            const std::string in = (folders.sources / (std::string(name) + ".wav")).string();
            argsOut << "-f -w -0 -o " << out << " " << in << "\n";
            commandsOut << "flac -f -w -0 -o " << out << " " << in << "\n";
        }
    }
    const std::string keltoCommand = Quoted(cli) + " --workdir " + Quoted(work.string()) +
                                     " --coder FLAC --preset 0 --threads 2 --output " +
                                     Quoted(folders.outputs.string()) + " " +
                                     Quoted(folders.sources.string()) + " >/dev/null 2>&1";
    const std::string xargsCommand = "xargs -P 2 -L 1 flac < " + Quoted(lines) + " >/dev/null 2>&1";
    const std::string parallelCommand =
        "parallel --will-cite -j2 < " + Quoted(commands) + " >/dev/null 2>&1";

    std::vector<double> kelto, xargs, parallel;
    for (int round = 0; round < kRounds; ++round) {
        ClearOutputs(folders);
        xargs.push_back(RunSeconds(xargsCommand));
        ClearOutputs(folders);
        kelto.push_back(RunSeconds(keltoCommand));
        if (std::distance(fs::directory_iterator(folders.outputs), fs::directory_iterator()) !=
            kFiles) {
            std::fprintf(stderr, "kelto-cli did not write %d outputs\n", kFiles);
            return 1;
        }
        ClearOutputs(folders);
        parallel.push_back(RunSeconds(parallelCommand));
    }

    // The scheduling delay, with this program standing in for the codec.
    const fs::path recordWork = folders.root / "record-work";
    fs::create_directories(recordWork / "Coders" / "Record");
    fs::create_directory_symlink(work / "Languages", recordWork / "Languages");
    fs::create_symlink(fs::read_symlink("/proc/self/exe"),
                       recordWork / "Coders" / "Record" / "record");
    const std::string log = (folders.root / "record.log").string();
    std::ofstream(recordWork / "Coders" / "Record" / "Extensions.ini") << "rec\n";
    std::ofstream(recordWork / "Coders" / "Record" / "Presets.ini")
        << "Record\n--record " << log << " %in% %out%\n";
    RunSeconds(Quoted(cli) + " --workdir " + Quoted(recordWork.string()) +
               " --coder Record --threads 2 --output " + Quoted(folders.outputs.string()) + " " +
               Quoted(folders.sources.string()) + " >/dev/null 2>&1");
    const double gapMs = MedianGapMs(log);

    std::vector<double> startups;
    for (int i = 0; i < 20; ++i) {
        startups.push_back(RunSeconds(Quoted(cli) + " --workdir " + Quoted(work.string()) +
                                      " --list-coders >/dev/null") *
                           1000);
    }
    const double startupMs = Median(startups);

    const double k = Median(kelto), x = Median(xargs), p = Median(parallel);
    std::printf("%d WAV files of %.2f s to FLAC, 2 jobs at a time, median of %d rounds\n", kFiles,
                kSeconds, kRounds);
    std::printf("  xargs -P 2 -L 1   %7.3f s\n", x);
    std::printf("  kelto-cli         %7.3f s   ratio %.3f x xargs (target <= 1.10) %s\n", k, k / x,
                k / x <= 1.10 ? "ok" : "MISSED");
    std::printf("  parallel -j2      %7.3f s   ratio %.3f x xargs\n", p, p / x);
    std::printf("  median delay from a job's end to the next start: %.2f ms (target < 5) %s\n",
                gapMs, gapMs < 5 ? "ok" : "MISSED");
    std::printf("  kelto-cli start-up (--list-coders, median of 20): %.1f ms (target < 50) %s\n",
                startupMs, startupMs < 50 ? "ok" : "MISSED");
    fs::remove_all(folders.root);
    return 0;
}
