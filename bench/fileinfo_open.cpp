// Lists folders of audio files the way the file list does when the user adds a folder, one
// folder per format (WAV, FLAC, MP3, M4A, Ogg Vorbis, WavPack, Opus; 16,000 files in all), and
// compares each format's rate with the mediainfo program reading the same folder in the same run.
//
// Three contenders per format, best of three rounds each:
// - kelto, folder added: CFileListEditor::AddFolder into a fresh list (listing, the add policy
//   and the headers, read on every processor);
// - kelto, one thread: CFileInfo::Open on each file in turn with one MediaInfo handle, the
//   rate of a single processor;
// - the mediainfo program, started once per folder with the folder as its argument (it walks
//   the folder itself) and an --Inform template asking for the properties kelto reads, output
//   discarded: process start-up is paid once per format, not once per file.
// The files are hard links to one short file per format, already in the page cache for every
// contender (an untimed warm-up pass runs first).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "BenchShell.h"
#include "fileinfo/FileInfo.h"
#include "fileinfo/MediaInfoHandle.h"
#include "session/FileList.h"
#include "session/FileListEditor.h"
#include "settings/SettingsGeneral.h"

namespace {

namespace fs = std::filesystem;

struct FormatSet {
    const char* Folder;
    const char* Extension;
    int Count;
    const char* MakeCommand;  // {wav} is the source, {out} the file to write
    int SampleRate;           // what a record of the set must show
};

// The output template asks for what kelto reads; the program parses the whole file either way.
const char* const kInform = "Audio;%SamplingRate% %Channel(s)% %BitDepth% %BitRate%\\n";

const std::vector<FormatSet> kSets = {
    {"wav", ".wav", 4000, "cp {wav} {out}", 44100},
    {"flac", ".flac", 4000, "flac -s -f -o {out} {wav}", 44100},
    {"mp3", ".mp3", 4000, "lame --quiet --cbr -b 128 {wav} {out}", 44100},
    {"m4a", ".m4a", 1000, "ffmpeg -loglevel error -y -i {wav} -c:a aac -b:a 128k {out}", 44100},
    {"ogg", ".ogg", 1000, "oggenc -Q -b 128 -o {out} {wav}", 44100},
    {"wv", ".wv", 1000, "wavpack -q -y {wav} -o {out}", 44100},
    {"opus", ".opus", 1000, "opusenc --quiet {wav} {out}", 44100},
};

constexpr int kRounds = 3;

using bench::Time;

std::string Replace(std::string text, const std::string& key, const std::string& value) {
    for (auto at = text.find(key); at != std::string::npos; at = text.find(key, at + value.size()))
        text.replace(at, key.size(), value);
    return text;
}

bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }

// Makes each set's folder of hard links; every set's paths in folder order.
bool MakeFiles(const fs::path& root, std::vector<std::vector<std::string>>& files) {
    const std::string wav = (root / "source.wav").string();
    if (!Run("sox -n -r 44100 -c 2 -b 16 '" + wav + "' synth 0.2 sine 440")) return false;
    for (const auto& set : kSets) {
        const fs::path folder = root / set.Folder;
        fs::create_directory(folder);
        const std::string first = (folder / ("0" + std::string(set.Extension))).string();
        const std::string command = Replace(set.MakeCommand, "{wav}", "'" + wav + "'");
        if (!Run(Replace(command, "{out}", "'" + first + "'"))) return false;
        files.push_back({first});
        for (int i = 1; i < set.Count; ++i) {
            const fs::path link = folder / (std::to_string(i) + set.Extension);
            fs::create_hard_link(first, link);
            files.back().push_back(link.string());
        }
    }
    return true;
}

struct Round {
    double Folder = 0.0;     // kelto, AddFolder
    double OneThread = 0.0;  // kelto, CFileInfo::Open in turn
    double Program = 0.0;    // mediainfo
    bool Complete = true;    // every record listed with its sample rate
};

Round MeasureSet(const fs::path& root, const FormatSet& set, const std::vector<std::string>& files,
                 MediaInfoHandle& mediaInfo) {
    Round round;
    const std::string folder = (root / set.Folder).string();
    {
        CFileList list;
        const CSettingsGeneral settings;
        round.Folder = Time([&] { CFileListEditor(list, settings).AddFolder(folder, true); });
        round.Complete = list.Count() == set.Count;
        for (int i = 0; i < list.Count(); ++i)
            round.Complete = round.Complete && list.Get(i)->SampleRate == set.SampleRate;
    }
    round.OneThread = Time([&] {
        for (const std::string& path : files) {
            CFileInfo record;
            record.Open(path, &mediaInfo);
        }
    });
    round.Program = Time([&] {
        Run(std::string("mediainfo '--Inform=") + kInform + "' '" + folder + "' >/dev/null");
    });
    return round;
}

}  // namespace

int main() {
    std::random_device random;
    const fs::path root =
        fs::temp_directory_path() / ("kelto-fileinfo-bench-" + std::to_string(random()));
    fs::create_directory(root);
    std::vector<std::vector<std::string>> files;
    if (!MakeFiles(root, files)) {
        std::fprintf(stderr,
                     "cannot make the test files (sox, flac, lame, ffmpeg, oggenc, "
                     "wavpack, opusenc)\n");
        fs::remove_all(root);
        return 1;
    }

    MediaInfoHandle mediaInfo;
    if (!mediaInfo.Ready()) std::fprintf(stderr, "warning: the MediaInfo library is not loaded\n");
    std::vector<Round> best(kSets.size(), Round{1e9, 1e9, 1e9, true});
    bool complete = true;
    for (int round = 0; round <= kRounds; ++round) {
        for (std::size_t set = 0; set < kSets.size(); ++set) {
            const Round r = MeasureSet(root, kSets[set], files[set], mediaInfo);
            complete = complete && r.Complete;
            if (round == 0) continue;  // warm-up
            best[set].Folder = std::min(best[set].Folder, r.Folder);
            best[set].OneThread = std::min(best[set].OneThread, r.OneThread);
            best[set].Program = std::min(best[set].Program, r.Program);
        }
    }
    fs::remove_all(root);

    std::printf("files per second, best of %d rounds%s\n", kRounds,
                complete ? "" : " (SOME RECORDS MISSING OR WITHOUT THEIR SAMPLE RATE)");
    std::printf("%-5s %6s %14s %12s %10s %17s\n", "", "files", "kelto folder", "kelto 1 th.",
                "mediainfo", "folder/mediainfo");
    int total = 0;
    double ours = 0.0;
    double theirs = 0.0;
    for (std::size_t set = 0; set < kSets.size(); ++set) {
        const double count = kSets[set].Count;
        const Round& r = best[set];
        std::printf("%-5s %6d %14.0f %12.0f %10.0f %17.2f\n", kSets[set].Folder, kSets[set].Count,
                    count / r.Folder, count / r.OneThread, count / r.Program, r.Program / r.Folder);
        total += kSets[set].Count;
        ours += r.Folder;
        theirs += r.Program;
    }
    std::printf("%-5s %6d %14.0f %12s %10.0f %17.2f\n", "all", total, total / ours, "",
                total / theirs, theirs / ours);
    return complete ? 0 : 1;
}
