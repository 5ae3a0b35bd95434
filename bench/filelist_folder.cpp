// Adds a folder tree of 10,000 small WAV files to the file list (Add folder, AddOnlyExists on),
// saves the list as a playlist and loads it again. Each step prints files per second and its
// ratio to a baseline done in the same run on the same (cached) files: a plain recursive walk
// that opens each file and reads its 44-byte header, and writing and reading the same lines with
// iostreams (written in one block and synced, as the playlist is). Ends with the peak memory of the
// process.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "BenchShell.h"
#include "fileinfo/FileInfo.h"
#include "platform/File.h"
#include "platform/ResourceUsage.h"
#include "session/FileList.h"
#include "session/FileListEditor.h"
#include "settings/SettingsGeneral.h"

namespace {

constexpr int kTopFolders = 10;
constexpr int kSubfolders = 10;
constexpr int kFilesPerFolder = 100;
constexpr int kFiles = kTopFolders * kSubfolders * kFilesPerFolder;

using bench::Time;

void MakeTree(const std::filesystem::path& root) {
    const std::string wave = bench::WavBytes(44100, 2, std::vector<std::int16_t>(200));
    for (int a = 0; a < kTopFolders; ++a) {
        for (int b = 0; b < kSubfolders; ++b) {
            const auto folder =
                root / ("artist" + std::to_string(a)) / ("album" + std::to_string(b));
            std::filesystem::create_directories(folder);
            for (int f = 0; f < kFilesPerFolder; ++f) {
                std::ofstream(folder / ("track" + std::to_string(f) + ".wav"), std::ios::binary)
                    << wave;
            }
        }
    }
}

int BaselineWalk(const std::filesystem::path& root) {
    int count = 0;
    char header[44];
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        if (in.read(header, sizeof(header))) ++count;
    }
    return count;
}

void Report(const char* step, int files, double seconds, double baselineSeconds) {
    std::printf("%-14s %6d files %9.0f files/s   baseline %9.0f files/s   ratio %.2f\n", step,
                files, files / seconds, files / baselineSeconds, baselineSeconds / seconds);
}

}  // namespace

int main() {
    const auto root = std::filesystem::temp_directory_path() /
                      ("kelto-bench-filelist-" + std::to_string(std::random_device{}()));
    MakeTree(root / "tree");
    BaselineWalk(root / "tree");  // warms the cache for both sides

    CFileList list;
    CSettingsGeneral settings;
    settings.AddOnlyExists = 1;
    CFileListEditor editor(list, settings);
    int baselineCount = 0;
    const double baselineAdd = Time([&] { baselineCount = BaselineWalk(root / "tree"); });
    const double add = Time([&] { editor.AddFolder((root / "tree").string(), true); });
    if (list.Count() != kFiles || baselineCount != kFiles) {
        std::fprintf(stderr, "listed %d and %d files, expected %d\n", list.Count(), baselineCount,
                     kFiles);
        return 1;
    }
    Report("add folder", kFiles, add, baselineAdd);

    std::vector<std::string> paths;
    for (int i = 0; i < list.Count(); ++i) paths.push_back(list.Get(i)->Path);
    const std::string playlist = (root / "list.m3u").string();
    const std::string baselineFile = (root / "baseline.m3u").string();
    // The playlist is synced before it replaces the old one; the baseline syncs too.
    const double baselineSave = Time([&] {
        std::string text;
        for (const auto& path : paths) text += path + "\r\n";
        platform::File out = platform::File::Create(baselineFile);
        out.WriteAll(text.data(), text.size());
        out.Sync();
    });
    bool saved = false;
    const double save = Time([&] { saved = editor.SavePlaylist(playlist); });
    if (!saved) {
        std::fprintf(stderr, "save failed: %s\n", editor.GetLastError().c_str());
        return 1;
    }
    Report("save playlist", kFiles, save, baselineSave);

    const double baselineLoad = Time([&] {
        std::ifstream in(baselineFile, std::ios::binary);
        std::string line;
        char header[44];
        while (std::getline(in, line)) {
            line.pop_back();  // '\r'
            std::ifstream(line, std::ios::binary).read(header, sizeof(header));
        }
    });
    const double load = Time([&] { editor.LoadPlaylist(playlist); });
    if (list.Count() != kFiles) {
        std::fprintf(stderr, "reloaded %d files, expected %d\n", list.Count(), kFiles);
        return 1;
    }
    Report("load playlist", kFiles, load, baselineLoad);

    std::printf("peak memory    %lld KiB\n",
                static_cast<long long>(platform::PeakResidentKilobytes()));
    std::filesystem::remove_all(root);
    return 0;
}
