// Prepares (Apply) the first 10,000 and then all 70,000 of 70,000 listed FLAC files for the
// FLAC coder, with an empty private temporary folder, so the large batch needs more names than
// the 65,536 four-digit ones. The sources lie in 7,000 folders of ten names each, so every
// output name is wanted by many files and all but one get a number. Prints the median time of
// three Applies and the cost per file of each batch, and the ratio of the large batch's time to
// the small one's, measured in the same run (linear: about 7). Fails when a job gets an empty
// path or two files would write one output.
//
// Usage: bench_prepare_batch [WORK_DIR]   (default: the build's working folder, ../work)
// The sources are hard links of one small FLAC file (and of copies), listed as the file list
// lists them.

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
#include "codecs/Decoder.h"
#include "core/Core.h"
#include "fileinfo/FileInfo.h"
#include "session/Catalogue.h"
#include "session/Conversion.h"
#include "session/FileList.h"
#include "settings/SettingsSet.h"

namespace fs = std::filesystem;

namespace {

constexpr int kSmall = 10000;
constexpr int kLarge = 70000;
constexpr int kRounds = 3;

int FindCoder(const CCatalogue& catalogue, const std::string& name) {
    for (int i = 0; i < catalogue.GetCoders().GetCount(); ++i) {
        if (catalogue.GetCoders().GetAt(i)->GetName() == name) return i;
    }
    return -1;
}

struct Check {
    int emptyPaths = 0;
    int sharedOutputs = 0;
    int numbered = 0;
    int longNames = 0;
};

Check CheckJobs(const CFileList& files, int count) {
    Check check;
    std::unordered_set<std::string> outputs;
    for (int i = 0; i < count; ++i) {
        const CFileInfo& file = *files.Get(i);
        if (!file.Decoder || !file.Coder) {
            ++check.emptyPaths;
            continue;
        }
        const std::string wave = file.Decoder->GetWaveFile();
        if (wave.empty() || file.Coder->GetInputFile() != wave || file.OutputPath.empty()) {
            ++check.emptyPaths;
        }
        // kel + 8 digits + .wav after the folder's "/"
        if (PathFileName(wave).size() == 3 + 8 + 4) ++check.longNames;
        if (file.OutputPath.find(" (") != std::string::npos) ++check.numbered;
        if (!outputs.insert(file.OutputPath).second) ++check.sharedOutputs;
    }
    return check;
}

struct Result {
    std::vector<double> seconds;
    Check check;
    double Median() const {
        std::vector<double> sorted = seconds;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }
};

// Applies to the first count files kRounds times (pressing Apply again draws new names while
// the old ones are still held), checks the jobs, and resets so the names are free again.
Result Prepare(CConversion& conversion, const CFileList& files, int count, int coder) {
    std::vector<int> rows;
    if (count < files.Count()) {
        for (int i = 0; i < count; ++i) rows.push_back(i);
    }
    Result result;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        conversion.Apply({coder, 0}, rows, nullptr);
        result.seconds.push_back(bench::SecondsSince(start));
    }
    result.check = CheckJobs(files, count);
    conversion.Reset({});
    return result;
}

void Print(int count, const Result& result, const Result* baseline) {
    std::printf("%6d files: apply %6.3f s (%5.1f us/file; first %6.3f s)", count, result.Median(),
                result.Median() / count * 1e6, result.seconds.front());
    if (baseline) {
        std::printf(", x%.1f the %d-file time (linear: x%.1f)",
                    result.Median() / baseline->Median(), kSmall,
                    static_cast<double>(kLarge) / kSmall);
    }
    std::printf("; numbered outputs %d, eight-digit names %d\n", result.check.numbered,
                result.check.longNames);
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path build = bench::BuildFolder();
    const fs::path work = bench::WorkFolder(argc, argv);
    bench::NeedPackages(work, "Decoders");
    // The build folder, not /tmp: 70,000 markers and links are not for a memory file system.
    const fs::path root = build / ("prepare-bench-" + std::to_string(::getpid()));
    const fs::path temp = root / "tmp";
    const fs::path sources = root / "sources";
    fs::create_directories(temp);
    fs::create_directories(sources);
    ::setenv("TMPDIR", temp.c_str(), 1);

    const std::string wav = (root / "one.wav").string();
    const std::string flac = (root / "one.flac").string();
    bench::WriteToneWav(wav);
    if (std::system(("flac -s -f -o '" + flac + "' '" + wav + "'").c_str()) != 0) {
        std::fprintf(stderr, "flac could not make the source\n");
        return 1;
    }
    CFileList files;
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kLarge; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "d%04d/t%d.flac", i / 10, i % 10);
        const fs::path path = sources / name;
        if (i % 10 == 0) fs::create_directories(path.parent_path());
        // A file takes at most 65,000 links on ext4.
        const std::string target = flac + "." + std::to_string(i / 50000);
        if (i % 50000 == 0) fs::copy_file(flac, target);
        fs::create_hard_link(target, path);
        files.Add(path.string());
    }
    std::printf("listed %d FLAC files in %.1f s\n", files.Count(), bench::SecondsSince(start));
    if (files.Count() != kLarge) {
        std::fprintf(stderr, "FAILED: only %d of %d sources could be listed\n", files.Count(),
                     kLarge);
        fs::remove_all(root);
        return 1;
    }

    CSettingsSet settings;
    settings.General.OutputFolderSameAsOriginal = 0;
    settings.General.OutputFolder = (root / "out").string();
    CCatalogue catalogue;
    catalogue.Load(CWorkingFolder(work.string()), "WAV (decode only)", false);
    const int coder = FindCoder(catalogue, "FLAC");
    if (coder < 0) {
        std::fprintf(stderr, "no FLAC coder in %s\n", work.c_str());
        return 1;
    }

    CCore core;
    CConversion conversion(settings, files, catalogue, core);
    const Result small = Prepare(conversion, files, kSmall, coder);
    const Result large = Prepare(conversion, files, kLarge, coder);
    Print(kSmall, small, nullptr);
    Print(kLarge, large, &small);

    int faults = 0;
    for (const Result* result : {&small, &large}) {
        faults += result->check.emptyPaths + result->check.sharedOutputs;
    }
    const bool leftovers = !fs::is_empty(temp);
    fs::remove_all(root);
    if (faults != 0 || leftovers) {
        std::fprintf(stderr, "FAILED: %d jobs with an empty path or a shared output%s\n", faults,
                     leftovers ? "; markers left in the temporary folder" : "");
        return 1;
    }
    std::printf("every job has its paths and an output of its own\n");
    return 0;
}
