// The cost of copying tags and cover art: converts 300 short tagged FLAC files (ten text
// fields and a small PNG front cover each) to FLAC with kelto-cli --threads 2, once with
// --copy-tags and once with --no-copy-tags, alternating over a few rounds, and prints the extra
// wall time per file.
//
// Usage: bench_tag_copy [WORK_DIR]   (default: the build's working folder, ../work)
// Target: under 5 ms per file.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchShell.h"

namespace fs = std::filesystem;

namespace {

using bench::Median;
using bench::Quoted;
using bench::RunSeconds;
using bench::Shell;

constexpr int kFiles = 300;
constexpr int kRounds = 3;

}  // namespace

int main(int argc, char** argv) {
    const fs::path work = bench::WorkFolder(argc, argv);
    const std::string cli = bench::KeltoCli(work);
    const fs::path dir = bench::ScratchFolder("tags");
    const fs::path sources = dir / "sources";
    fs::create_directories(sources);
    Shell("convert -size 64x64 gradient:navy-gold " + Quoted((dir / "cover.png").string()));
    Shell("sox -n -r 44100 -c 2 -b 16 " + Quoted((dir / "tone.wav").string()) +
          " synth 0.15 sine 440 2>/dev/null");
    const std::string tags =
        " -T TITLE=Title -T ARTIST=Artist -T ALBUM=Album -T ALBUMARTIST=Various"
        " -T TRACKNUMBER=3/12 -T DISCNUMBER=1/2 -T DATE=2001 -T GENRE=Jazz -T COMMENT=bench"
        " -T COMPOSER=Composer --picture=" + Quoted((dir / "cover.png").string());
    Shell("flac -s -f" + tags + " -o " + Quoted((dir / "first.flac").string()) + " " +
          Quoted((dir / "tone.wav").string()));
    for (int i = 0; i < kFiles; ++i) {
        fs::copy_file(dir / "first.flac", sources / ("f" + std::to_string(i) + ".flac"));
    }
    const std::string base = Quoted(cli) + " --workdir " + Quoted(work.string()) +
                             " --coder FLAC --threads 2 --existing overwrite " +
                             Quoted(sources.string()) + " --output " +
                             Quoted((dir / "out").string()) + " >/dev/null 2>&1";
    std::vector<double> with, without;
    for (int round = 0; round < kRounds; ++round) {
        without.push_back(RunSeconds(base + " --no-copy-tags"));
        with.push_back(RunSeconds(base + " --copy-tags"));
    }
    const double plain = Median(without);
    const double tagged = Median(with);
    const double perFile = (tagged - plain) * 1000.0 / kFiles;
    std::printf("%d files: without tags %.3f s, with tags %.3f s (ratio %.3f)\n", kFiles, plain,
                tagged, tagged / plain);
    // Two jobs run at once, so the wall time per file is half of each file's own cost.
    std::printf("tag copy: %.2f ms per file of wall time, %.2f ms per file of work (target < 5)\n",
                perFile, perFile * 2);
    fs::remove_all(dir);
    return perFile * 2 < 5.0 ? 0 : 1;
}
