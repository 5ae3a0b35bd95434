#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "AudioFiles.h"
#include "base/Log.h"
#include "fileinfo/FileInfoOpener.h"
#include "fileinfo/MediaInfoHandle.h"
#include "support/TempDir.h"

namespace {

// What a listing shows of a record, in one comparable line.
std::string Describe(const CFileInfo* record) {
    if (!record) return "refused";
    return record->Path + " " + std::to_string(record->FormatId) + " " +
           std::to_string(record->SampleRate) + " " + std::to_string(record->Channels) + " " +
           std::to_string(record->Resolution) + " " + std::to_string(record->BitRate) + " " +
           record->Codec + " " + std::to_string(record->Size);
}

std::vector<std::string> LogLinesSince(std::size_t first) {
    std::vector<std::string> lines;
    for (std::size_t i = first; i < GetLogLineCount(); ++i) lines.push_back(GetLogLine(i));
    return lines;
}

}  // namespace

// Slow MediaInfo formats between WAV files (whose reader logs two lines each) and files the
// readers refuse: read on four threads, every record and every log line must come out as one
// thread reading the files in turn gives them.
TEST(FileInfoOpener, ParallelListingMatchesTheSerialOneRecordForRecordAndLineForLine) {
    TempDir dir;
    const std::string wav = MakeWav(dir / "src.wav", 44100, 2, 16);
    std::vector<std::string> kinds = {
        wav,
        Encode(wav, dir / "src.flac", "flac -s -f -o {out} {in}"),
        Encode(wav, dir / "src.mp3", "lame --quiet -b 192 {in} {out}"),
        Encode(wav, dir / "src.m4a", "ffmpeg -v error -y -i {in} -c:a aac {out}"),
        MakeWav(dir / "mono.wav", 8000, 1, 8),
        Encode(wav, dir / "src.ogg", "oggenc -Q -o {out} {in}"),
        Encode(wav, dir / "src.wv", "wavpack -q -y {in} -o {out}"),
        Encode(wav, dir / "src.opus", "opusenc --quiet {in} {out}"),
    };
    WriteFileBytes(dir / "broken.wav", "RIFF....JUNK");
    WriteFileBytes(dir / "broken.flac", "fLaX");
    WriteFileBytes(dir / "notes.txt", "not audio");
    kinds.insert(kinds.end(), {dir / "broken.wav", dir / "broken.flac", dir / "notes.txt"});
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < 66; ++i) {
        const std::string& kind = kinds[(i * 7) % kinds.size()];
        const std::string ext = std::filesystem::path(kind).extension().string();
        paths.push_back(dir / (std::to_string(i) + ext));
        std::filesystem::create_hard_link(kind, paths.back());
    }
    // Then a run of WAV files only, where the threads' log lines would interleave at once.
    for (int i = 0; i < 2000; ++i) {
        paths.push_back(dir / ("w" + std::to_string(i) + ".wav"));
        std::filesystem::create_hard_link(i % 3 ? wav : dir / "broken.wav", paths.back());
    }
    paths.push_back(dir / "missing.wav");

    MediaInfoHandle handle;
    const std::size_t serialStart = GetLogLineCount();
    std::vector<std::string> serial;
    for (const std::string& path : paths) {
        const OpenedFile file = OpenFile(path, &handle);
        serial.push_back(Describe(file.Opened ? file.Record.get() : nullptr));
    }
    const std::vector<std::string> serialLog = LogLinesSince(serialStart);

    CFileInfoOpener opener(&handle, 4);
    const std::size_t parallelStart = GetLogLineCount();
    const auto records = opener.OpenAll(paths);
    const std::vector<std::string> parallelLog = LogLinesSince(parallelStart);

    ASSERT_EQ(records.size(), paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i)
        EXPECT_EQ(Describe(records[i].get()), serial[i]) << paths[i];
    EXPECT_EQ(parallelLog, serialLog);
    // The comparison means something only if the formats really were read: the first eleven
    // paths hold one of each kind.
    const std::vector<std::string> expected = {" 3 44100 2 16 1411.0",
                                               " 12 44100 2 0 ",
                                               " 10 44100 2 0 ",
                                               " 0 0 0 0 0.0",
                                               " 9 44100 2 16 ",
                                               " 4 44100 2 16 192.0",
                                               "refused",
                                               " 5 44100 2 16 ",
                                               " 6 44100 2 16 ",
                                               "refused",
                                               " 3 8000 1 8 64.0"};
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_NE(serial[i].find(expected[i]), std::string::npos) << serial[i];
    EXPECT_EQ(serial.back(), "refused");
    EXPECT_EQ(serialLog.size(), 2u * (12 + 6 + 2000) + 2);  // every WAV, the missing one too
}

TEST(FileInfoOpener, NothingToOpenAndMoreThreadsThanFiles) {
    TempDir dir;
    MediaInfoHandle handle;
    CFileInfoOpener opener(&handle, 8);
    EXPECT_TRUE(opener.OpenAll({}).empty());
    const auto records = opener.OpenAll({MakeWav(dir / "a.wav", 48000, 1, 24)});
    ASSERT_EQ(records.size(), 1u);
    ASSERT_TRUE(records[0]);
    EXPECT_EQ(records[0]->SampleRate, 48000);
    EXPECT_EQ(records[0]->Resolution, 24);
}
