// Opens 10,000 audio files (4,000 WAV, 4,000 FLAC, 2,000 MP3) into file records, the way the
// file list does when a folder is added, and compares the rate with the mediainfo program
// reading the same files in the same run.
//
// How the baseline is measured: mediainfo is started once per format folder with the folder
// as its argument (it walks the folder itself) and an --Inform template that asks for the same
// properties kelto reads, output discarded; so process start-up is paid three times, not
// 10,000 times. The files are hard links to one short file per format, already in the page
// cache for both contenders (an untimed warm-up pass runs first). Best of three rounds each.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "fileinfo/FileInfo.h"
#include "fileinfo/MediaInfoHandle.h"

namespace {

namespace fs = std::filesystem;

struct FormatSet {
    const char* Folder;
    const char* Extension;
    int Count;
    const char* MakeCommand;  // {wav} is the source, {out} the file to write
};

// The output template asks for what kelto reads; the program parses the whole file either way.
const char* const kInform = "Audio;%SamplingRate% %Channel(s)% %BitDepth% %BitRate%\\n";

const std::vector<FormatSet> kSets = {
    {"wav", ".wav", 4000, "cp {wav} {out}"},
    {"flac", ".flac", 4000, "flac -s -f -o {out} {wav}"},
    {"mp3", ".mp3", 2000, "lame --quiet --cbr -b 128 {wav} {out}"},
};

constexpr int kRounds = 3;

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

std::string Replace(std::string text, const std::string& key, const std::string& value) {
    for (auto at = text.find(key); at != std::string::npos; at = text.find(key, at + value.size()))
        text.replace(at, key.size(), value);
    return text;
}

bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }

// Makes each set's folder of hard links; the file list of every set in order.
bool MakeFiles(const fs::path& root, std::vector<std::string>& files) {
    const std::string wav = (root / "source.wav").string();
    if (!Run("sox -n -r 44100 -c 2 -b 16 '" + wav + "' synth 0.2 sine 440")) return false;
    for (const auto& set : kSets) {
        const fs::path folder = root / set.Folder;
        fs::create_directory(folder);
        const std::string first = (folder / ("0" + std::string(set.Extension))).string();
        std::string command = Replace(set.MakeCommand, "{wav}", "'" + wav + "'");
        if (!Run(Replace(command, "{out}", "'" + first + "'"))) return false;
        files.push_back(first);
        for (int i = 1; i < set.Count; ++i) {
            const fs::path link = folder / (std::to_string(i) + set.Extension);
            fs::create_hard_link(first, link);
            files.push_back(link.string());
        }
    }
    return true;
}

// Seconds for kelto to open every file, in all and per set; opened counts the records kept
// with the encoded rate.
double OpenAll(const std::vector<std::string>& files, MediaInfoHandle& mediaInfo, int& opened,
               std::vector<double>& perSet) {
    opened = 0;
    perSet.assign(kSets.size(), 0.0);
    std::size_t next = 0;
    for (std::size_t set = 0; set < kSets.size(); ++set) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kSets[set].Count; ++i, ++next) {
            CFileInfo record;
            if (record.Open(files[next], &mediaInfo) && record.SampleRate == 44100) ++opened;
        }
        perSet[set] = Seconds(std::chrono::steady_clock::now() - start);
    }
    double total = 0.0;
    for (const double seconds : perSet) total += seconds;
    return total;
}

double MediaInfoProgramAll(const fs::path& root) {
    const auto start = std::chrono::steady_clock::now();
    for (const auto& set : kSets) {
        const std::string folder = (root / set.Folder).string();
        Run(std::string("mediainfo '--Inform=") + kInform + "' '" + folder + "' >/dev/null");
    }
    return Seconds(std::chrono::steady_clock::now() - start);
}

}  // namespace

int main() {
    std::random_device random;
    const fs::path root =
        fs::temp_directory_path() / ("kelto-fileinfo-bench-" + std::to_string(random()));
    fs::create_directory(root);
    std::vector<std::string> files;
    if (!MakeFiles(root, files)) {
        std::fprintf(stderr, "cannot make the test files (sox, flac, lame)\n");
        fs::remove_all(root);
        return 1;
    }

    MediaInfoHandle mediaInfo;
    if (!mediaInfo.Ready()) std::fprintf(stderr, "warning: the MediaInfo library is not loaded\n");
    int opened = 0;
    std::vector<double> perSet;
    std::vector<double> bestPerSet;
    OpenAll(files, mediaInfo, opened, perSet);
    MediaInfoProgramAll(root);

    double ours = 1e9;
    double theirs = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        const double seconds = OpenAll(files, mediaInfo, opened, perSet);
        if (seconds < ours) ours = seconds, bestPerSet = perSet;
        theirs = std::min(theirs, MediaInfoProgramAll(root));
    }
    fs::remove_all(root);

    const double count = static_cast<double>(files.size());
    std::printf("files: %zu (opened with all properties: %d)\n", files.size(), opened);
    std::printf("kelto CFileInfo::Open: %.0f files/s (%.3f s)\n", count / ours, ours);
    for (std::size_t set = 0; set < kSets.size(); ++set)
        std::printf("  %-4s %5d files: %.0f files/s\n", kSets[set].Folder, kSets[set].Count,
                    kSets[set].Count / bestPerSet[set]);
    std::printf("mediainfo program:     %.0f files/s (%.3f s)\n", count / theirs, theirs);
    std::printf("ratio kelto/mediainfo: %.2f\n", theirs / ours);
    return opened == static_cast<int>(files.size()) ? 0 : 1;
}
