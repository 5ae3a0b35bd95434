// Prepares (Apply) 10,000 tagged FLAC files for the FLAC coder into an output folder, without a
// name pattern and with "%albumartist%/%album%/%disc%-%track% - %title%", and prints the median
// time of three Applies of each, measured in the same run, the cost the pattern adds per file
// (target: under 1 ms) and the ratio of the two. Fails when a job lacks its output or two
// files would write one output.
//
// Usage: bench_name_pattern [WORK_DIR]   (default: the build's working folder, ../work)
// The sources are copies of 100 small FLAC files that flac tagged, 100 of each in folders of
// their own, so most names are wanted by many files and get " (2)" and onwards.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unordered_set>
#include <vector>

#include "BenchShell.h"
#include "base/WorkingFolder.h"
#include "codecs/Coder.h"
#include "core/Core.h"
#include "fileinfo/FileInfo.h"
#include "session/Catalogue.h"
#include "session/Conversion.h"
#include "session/FileList.h"
#include "settings/SettingsSet.h"

namespace fs = std::filesystem;

namespace {

constexpr int kOriginals = 100;
constexpr int kCopies = 100;
constexpr int kRounds = 3;
const char* const kPattern = "%albumartist%/%album%/%disc%-%track% - %title%";

// The median time of kRounds Applies to every file; counts jobs without an output and outputs
// written by two files into faults.
double Prepare(CConversion& conversion, const CFileList& files, int coder, int& faults) {
    std::vector<double> seconds;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        conversion.Apply({coder, 0}, {}, nullptr);
        seconds.push_back(bench::SecondsSince(start));
    }
    std::unordered_set<std::string> outputs;
    for (int i = 0; i < files.Count(); ++i) {
        const std::string& output = files.Get(i)->OutputPath;
        if (output.empty() || !outputs.insert(output).second) ++faults;
    }
    conversion.Reset({});
    std::sort(seconds.begin(), seconds.end());
    return seconds[seconds.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path build = bench::BuildFolder();
    const fs::path work = bench::WorkFolder(argc, argv);
    bench::NeedPackages(work, "Coders");
    const fs::path root = build / ("name-bench-" + std::to_string(::getpid()));
    const fs::path temp = root / "tmp";
    fs::create_directories(temp);
    ::setenv("TMPDIR", temp.c_str(), 1);
    const std::string wav = (root / "one.wav").string();
    bench::WriteToneWav(wav);

    CFileList files;
    const auto start = std::chrono::steady_clock::now();
    for (int original = 0; original < kOriginals; ++original) {
        const std::string tagged = (root / ("o" + std::to_string(original) + ".flac")).string();
        const std::string n = std::to_string(original);
        const std::string command = "flac -s -f -T 'ALBUMARTIST=Artist " + n +
                                    "' -T 'ALBUM=Album " + n + "' -T 'TITLE=Title: " + n +
                                    "' -T TRACKNUMBER=" + std::to_string(original % 20 + 1) +
                                    " -T DISCNUMBER=1 -o '" + tagged + "' '" + wav + "'";
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "flac could not make the sources\n");
            return 1;
        }
        for (int copy = 0; copy < kCopies; ++copy) {
            const fs::path path = root / "sources" / ("d" + std::to_string(copy)) / (n + ".flac");
            if (original == 0) fs::create_directories(path.parent_path());
            fs::copy_file(tagged, path);
        }
    }
    std::vector<std::string> paths;
    for (int copy = 0; copy < kCopies; ++copy) {
        for (int original = 0; original < kOriginals; ++original) {
            paths.push_back((root / "sources" / ("d" + std::to_string(copy)) /
                             (std::to_string(original) + ".flac"))
                                .string());
        }
    }
    files.AddAll(paths);
    std::printf("made and listed %d tagged FLAC files in %.1f s\n", files.Count(),
                bench::SecondsSince(start));

    CSettingsSet settings;
    settings.General.OutputFolderSameAsOriginal = 0;
    settings.General.OutputFolder = (root / "out").string();
    CCatalogue catalogue;
    catalogue.Load(CWorkingFolder(work.string()), "WAV (decode only)", false);
    int coder = -1;
    for (int i = 0; i < catalogue.GetCoders().GetCount(); ++i) {
        if (catalogue.GetCoders().GetAt(i)->GetName() == "FLAC") coder = i;
    }
    if (coder < 0 || files.Count() != kOriginals * kCopies) {
        std::fprintf(stderr, "no FLAC coder in %s, or sources missing\n", work.c_str());
        fs::remove_all(root);
        return 1;
    }
    CCore core;
    CConversion conversion(settings, files, catalogue, core);
    int faults = 0;
    // Once before measuring, so that both measure files the system has read already.
    Prepare(conversion, files, coder, faults);
    const double plain = Prepare(conversion, files, coder, faults);
    settings.General.NamePattern = kPattern;
    const double named = Prepare(conversion, files, coder, faults);
    const double perFile = (named - plain) / files.Count() * 1e3;
    std::printf("%d files: apply %.3f s without a pattern, %.3f s with %s\n", files.Count(), plain,
                named, kPattern);
    std::printf(
        "naming from tags adds %.3f ms per file (target: under 1 ms), x%.2f the time "
        "without a pattern\n",
        perFile, named / plain);
    fs::remove_all(root);
    if (faults != 0) {
        std::fprintf(stderr, "FAILED: %d jobs without an output or sharing one\n", faults);
        return 1;
    }
    return 0;
}
