// Lists a library of 70,000 small FLAC files three ways and prints files per second for each:
// a first listing (every header read, with MediaInfo where the reader asks it), a listing again
// with the file information cache the first one saved, and that listing followed by a run with
// ExistingOutput update over a library whose outputs the record holds as up to date (Apply,
// the run's decisions and its end; no file may be converted). Each is set against a baseline
// measured in the same run on the same (cached) files: a plain walk of the tree that opens each
// file and reads its first 4 KiB, the least a header reader does.
//
// Usage: bench_library_update [WORK_DIR [FILES]]   (default: the build's working folder,
// ../work, and 70,000 files)
// The sources are hard links of copies of one FLAC file made by flac, with names of their own;
// everything lies in a folder below the build folder that is removed at the end.

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "BenchShell.h"
#include "base/WorkingFolder.h"
#include "codecs/Coder.h"
#include "core/Core.h"
#include "fileinfo/FileInfo.h"
#include "fileinfo/FileInfoCache.h"
#include "platform/FileStamp.h"
#include "session/Catalogue.h"
#include "session/Conversion.h"
#include "session/FileList.h"
#include "session/FileListEditor.h"
#include "session/OutputRecord.h"
#include "session/RowStatus.h"
#include "settings/SettingsSet.h"

namespace fs = std::filesystem;

namespace {

int kFiles = 70000;
constexpr int kPerFolder = 100;

int BaselineWalk(const fs::path& root) {
    int count = 0;
    std::vector<char> head(4096);
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        if (in.read(head.data(), static_cast<std::streamsize>(head.size())) || in.gcount() > 0)
            ++count;
    }
    return count;
}

void Report(const char* step, int files, double seconds, double baseline) {
    std::printf("%-26s %6d files %8.0f files/s   baseline %8.0f files/s   ratio %.2f\n", step,
                files, files / seconds, files / baseline, baseline / seconds);
}

int FindCoder(const CCatalogue& catalogue, const std::string& name) {
    for (int i = 0; i < catalogue.GetCoders().GetCount(); ++i) {
        if (catalogue.GetCoders().GetAt(i)->GetName() == name) return i;
    }
    return -1;
}

// Lists the sources into files, with cache (null: none).
double List(CFileList& files, const CSettingsSet& settings, const fs::path& sources,
            CFileInfoCache* cache) {
    files.SetInfoCache(cache);
    CFileListEditor editor(files, settings.General);
    const auto start = std::chrono::steady_clock::now();
    editor.AddFolder(sources.string(), true);
    return bench::SecondsSince(start);
}

// As a run that converted every file would leave it: each output there, and recorded as made
// from its source as it is now with the settings the files are prepared with.
bool RecordEveryOutput(CConversion& conversion, CFileList& files, const ConversionChoice& choice,
                       const std::string& outputFolder, const std::string& sample) {
    conversion.Apply(choice, {}, nullptr);
    std::vector<RecordEntry> entries;
    for (int i = 0; i < files.Count(); ++i) {
        const CFileInfo& file = *files.Get(i);
        const std::string output = CConversion::GetFinalOutput(file);
        if (output.compare(0, outputFolder.size(), outputFolder) != 0) return false;
        fs::create_directories(fs::path(output).parent_path());
        const std::string target = sample + ".out" + std::to_string(i / 50000);
        if (i % 50000 == 0) fs::copy_file(sample, target);
        fs::create_hard_link(target, output);
        platform::FileStamp stamp;
        if (!platform::ReadFileStamp(file.Path, &stamp)) return false;
        RecordEntry entry;
        entry.Output = output.substr(outputFolder.size());
        entry.Source = file.Path;
        entry.SourceSize = stamp.Size;
        entry.SourceModifiedNs = stamp.ModifiedNs;
        entry.Settings = CRunHooks::SettingsKey(file);
        entries.push_back(std::move(entry));
    }
    conversion.Reset({});
    std::string reason;
    return COutputRecord::Merge(outputFolder, entries, &reason);
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path build = bench::BuildFolder();
    const fs::path work = bench::WorkFolder(argc, argv);
    if (argc >= 3) kFiles = std::atoi(argv[2]);  // a smaller library, for a quick look
    bench::NeedPackages(work, "Coders");
    const fs::path root = build / ("library-bench-" + std::to_string(::getpid()));
    const fs::path sources = root / "Music";
    const fs::path temp = root / "tmp";
    fs::create_directories(temp);
    ::setenv("TMPDIR", temp.c_str(), 1);
    const std::string wav = (root / "one.wav").string();
    const std::string flac = (root / "one.flac").string();
    bench::WriteToneWav(wav);
    bench::Shell("flac -s -f -T TITLE=Tone -o " + bench::Quoted(flac) + " " + bench::Quoted(wav));
    for (int i = 0; i < kFiles; ++i) {
        const fs::path path = sources / ("album" + std::to_string(i / kPerFolder)) /
                              ("track" + std::to_string(i % kPerFolder) + ".flac");
        if (i % kPerFolder == 0) fs::create_directories(path.parent_path());
        // A file takes at most 65,000 links on ext4.
        const std::string target = flac + "." + std::to_string(i / 50000);
        if (i % 50000 == 0) fs::copy_file(flac, target);
        fs::create_hard_link(target, path);
    }
    BaselineWalk(sources);  // the same cached files for both sides
    auto start = std::chrono::steady_clock::now();
    const int walked = BaselineWalk(sources);
    const double baseline = bench::SecondsSince(start);

    CSettingsSet settings;
    settings.General.OutputFolderSameAsOriginal = 0;
    settings.General.OutputFolder = (root / "out").string();
    settings.General.KeepFolderTree = 1;
    settings.General.ExistingOutput = static_cast<int>(ExistingOutputPolicy::Update);
    const std::string cachePath = (root / CFileInfoCache::kFileName).string();
    int failures = walked == kFiles ? 0 : 1;

    CFileInfoCache firstCache;
    CFileList first;
    const double firstListing = List(first, settings, sources, &firstCache);
    firstCache.Save(cachePath);
    Report("first listing", first.Count(), firstListing, baseline);
    if (first.Count() != kFiles) ++failures;

    CCatalogue catalogue;
    catalogue.Load(CWorkingFolder(work.string()), "WAV (decode only)", false);
    ConversionChoice choice;
    choice.CoderIndex = FindCoder(catalogue, "FLAC");
    if (choice.CoderIndex < 0) {
        std::fprintf(stderr, "no FLAC coder in %s\n", work.c_str());
        fs::remove_all(root);
        return 1;
    }
    CCore setupCore;
    CConversion setup(settings, first, catalogue, setupCore);
    if (!RecordEveryOutput(setup, first, choice, (root / "out").string() + "/", flac)) ++failures;

    start = std::chrono::steady_clock::now();
    CFileInfoCache cache;
    cache.Load(cachePath);
    CFileList again;
    List(again, settings, sources, &cache);
    const double cachedListing = bench::SecondsSince(start);
    Report("listing with the cache", again.Count(), cachedListing, baseline);

    start = std::chrono::steady_clock::now();
    CFileInfoCache runCache;
    runCache.Load(cachePath);
    CFileList files;
    List(files, settings, sources, &runCache);
    CCore core;
    core.SetThreadsCount(2);
    CConversion conversion(settings, files, catalogue, core);
    const int jobs = conversion.Start(choice, nullptr);
    while (core.IsRunning()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    core.WaitForWorkers();
    conversion.FinishRun();
    const double decided = bench::SecondsSince(start);
    const RunCounts counts = conversion.CountLastRun({}, true);
    Report("listing + deciding (update)", files.Count(), decided, baseline);
    std::printf("%d jobs; skipped as up to date: %d, converted: %d, failed: %d, not run: %d\n",
                jobs, counts.Skipped, counts.Converted, counts.Failed, counts.Unfinished);
    if (counts.Skipped != kFiles) {
        const RowStatus status = conversion.GetRowStatus(*files.Get(0), {}, true);
        std::printf("first: %d %s\n", static_cast<int>(status.State), status.Reason.c_str());
        ++failures;
    }

    fs::remove_all(root);
    if (failures != 0) {
        std::fprintf(stderr, "FAILED: the listings or the decisions were not what they must be\n");
        return 1;
    }
    return 0;
}
