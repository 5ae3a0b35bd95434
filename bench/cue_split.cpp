// Splits a 60-minute FLAC image into 15 tracks by its cue sheet with kelto-cli, and converts the
// same image as one file, both to FLAC, and prints the wall times and their ratio. Each is run
// with one job at a time (the image alone cannot use more) and with two.
//
// Usage: bench_cue_split [WORK_DIR [MINUTES [ROUNDS]]]
//        (defaults: the build's working folder ../work, 60 minutes, 1 round)
// Target: the split costs at most 1.10 x the single file, one job at a time.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchShell.h"

namespace fs = std::filesystem;

namespace {

using bench::Median;
using bench::Quoted;
using bench::RunSeconds;

constexpr int kTracks = 15;

std::string Time(int frames) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", frames / 75 / 60, frames / 75 % 60,
                  frames % 75);
    return text;
}

// A sheet of kTracks tracks of equal length with a two-second pregap before each but the first.
void WriteSheet(const fs::path& path, int minutes) {
    std::ofstream sheet(path);
    sheet << "PERFORMER \"Bench\"\nTITLE \"Image\"\nFILE \"image.flac\" WAVE\n";
    const int each = minutes * 60 * 75 / kTracks;
    for (int t = 0; t < kTracks; ++t) {
        sheet << "  TRACK " << (t < 9 ? "0" : "") << t + 1 << " AUDIO\n    TITLE \"Track " << t + 1
              << "\"\n";
        if (t > 0) sheet << "    INDEX 00 " << Time(t * each - 150) << "\n";
        sheet << "    INDEX 01 " << Time(t * each) << "\n";
    }
}

// The FLAC files in folder (kelto's output record lies there too).
int CountFiles(const fs::path& folder) {
    int count = 0;
    if (!fs::exists(folder)) return count;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() == ".flac") ++count;
    }
    return count;
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path work = bench::WorkFolder(argc, argv);
    const int minutes = argc >= 3 ? std::max(1, std::atoi(argv[2])) : 60;
    const int rounds = argc >= 4 ? std::max(1, std::atoi(argv[3])) : 1;
    const std::string cli = bench::KeltoCli(work);
    const fs::path root = bench::ScratchFolder("cue");
    fs::create_directories(root / "image");
    const fs::path image = root / "image" / "image.flac";
    std::fprintf(stderr, "making a %d-minute image...\n", minutes);
    // A sweeping tone over noise: a FLAC file of an album's size (about 2/3 of its WAV file).
    const std::string wav = (root / "image.wav").string();
    const std::string seconds = std::to_string(minutes * 60);
    RunSeconds("sox -q -n -r 44100 -b 16 -c 2 " + Quoted(wav) + " synth " + seconds +
               " pinknoise pinknoise vol 0.25 synth " + seconds + " sine mix 220-880");
    RunSeconds("flac -s -5 -f -o " + Quoted(image.string()) + " " + Quoted(wav));
    fs::remove(wav);
    fs::create_directories(root / "whole");
    fs::copy_file(image, root / "whole" / "image.flac");
    WriteSheet(root / "image" / "image.cue", minutes);

    const auto command = [&](const fs::path& input, const fs::path& out, int threads) {
        return Quoted(cli) + " --workdir " + Quoted(work.string()) +
               " --coder FLAC --preset 0 --existing overwrite --threads " +
               std::to_string(threads) + " --output " + Quoted(out.string()) + " " +
               Quoted(input.string()) + " >/dev/null 2>&1";
    };
    std::fflush(stderr);
    std::printf(
        "%d-minute FLAC image to FLAC: %d tracks by its cue sheet vs one file, median of "
        "%d round(s)\n",
        minutes, kTracks, rounds);
    for (const int threads : {1, 2}) {
        std::vector<double> whole, split;
        for (int round = 0; round < rounds; ++round) {
            fs::remove_all(root / "out");
            whole.push_back(
                RunSeconds(command(root / "whole" / "image.flac", root / "out", threads)));
            if (CountFiles(root / "out") != 1) {
                std::fprintf(stderr, "the image was not converted\n");
                return 1;
            }
            fs::remove_all(root / "out");
            split.push_back(
                RunSeconds(command(root / "image" / "image.cue", root / "out", threads)));
            if (CountFiles(root / "out") != kTracks) {
                std::fprintf(stderr, "kelto-cli did not write %d tracks\n", kTracks);
                return 1;
            }
        }
        const double w = Median(whole), s = Median(split);
        std::printf("  %d job(s) at a time: one file %7.2f s, %d tracks %7.2f s, ratio %.3f%s\n",
                    threads, w, kTracks, s, s / w,
                    threads == 1
                        ? (s / w <= 1.10 ? " (target <= 1.10) ok" : " (target <= 1.10) MISSED")
                        : "");
    }
    fs::remove_all(root);
    return 0;
}
