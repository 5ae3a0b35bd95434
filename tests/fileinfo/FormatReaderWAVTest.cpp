#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AudioFiles.h"
#include "base/Log.h"
#include "fileinfo/FormatReaderWAV.h"
#include "support/TempDir.h"

namespace {

std::vector<std::string> LogSince(std::size_t first) {
    std::vector<std::string> lines;
    for (std::size_t i = first; i < GetLogLineCount(); ++i) lines.push_back(GetLogLine(i));
    return lines;
}

// A WAV made by sox with the given chunk inserted between "WAVE" and "fmt ".
std::string WavWithChunkFirst(const TempDir& dir, const std::string& name,
                              const std::string& chunk) {
    const std::string path = dir / name;
    MakeWav(path, 48000, 2, 24, 0.05);
    std::string bytes = ReadFileBytes(path);
    bytes.insert(12, chunk);
    WriteFileBytes(path, bytes);
    return path;
}

std::string Chunk(const std::string& id, const std::string& body) {
    std::string chunk = id + Bytes32(static_cast<std::uint32_t>(body.size())) + body;
    if (body.size() % 2) chunk += '\0';
    return chunk;
}

}  // namespace

TEST(FormatReaderWAV, CanonicalFileGivesWholeKilobitsAndTwoLogLines) {
    TempDir dir;
    const std::string path = MakeWav(dir / "cd.wav", 44100, 2, 16);
    ASSERT_EQ(ReadFileBytes(path).substr(12, 4), "fmt ");
    const auto before = GetLogLineCount();
    const auto file = OpenFile(path, nullptr);
    ASSERT_TRUE(file.Opened);
    EXPECT_EQ(file->Channels, 2);
    EXPECT_EQ(file->SampleRate, 44100);
    EXPECT_EQ(file->Resolution, 16);
    EXPECT_EQ(file->BitRate, 1411.0);
    EXPECT_EQ(LogSince(before),
              (std::vector<std::string>{"File (WAV): " + path,
                                        "Header (36 bytes) was red successfully"}));
}

TEST(FormatReaderWAV, ReadsEveryRateChannelCountAndDepth) {
    TempDir dir;
    struct Case {
        int rate, channels, bits;
        double kilobits;
    };
    // sox writes WAVE_FORMAT_EXTENSIBLE (a 40-byte fmt chunk) beyond two channels or 16 bits.
    for (const Case& c : {Case{8000, 1, 8, 64.0}, Case{22050, 2, 24, 1058.0},
                          Case{96000, 6, 24, 13824.0}, Case{32000, 4, 16, 2048.0}}) {
        SCOPED_TRACE(std::to_string(c.rate) + "/" + std::to_string(c.channels));
        const std::string path = MakeWav(dir / "t.wav", c.rate, c.channels, c.bits);
        const auto file = OpenFile(path, nullptr);
        ASSERT_TRUE(file.Opened);
        EXPECT_EQ(file->SampleRate, c.rate);
        EXPECT_EQ(file->Channels, c.channels);
        EXPECT_EQ(file->Resolution, c.bits);
        EXPECT_EQ(file->BitRate, c.kilobits);
        EXPECT_EQ(file->Codec, "");
    }
}

TEST(FormatReaderWAV, FindsFmtAfterJunkListAndBextChunks) {
    TempDir dir;
    const std::vector<std::string> firstChunks = {
        Chunk("JUNK", std::string(28, '\0')),
        Chunk("LIST", "INFOISFT" + Bytes32(5) + "kelto" + std::string(1, '\0')),
        Chunk("bext", std::string(602, ' ')) + Chunk("JUNK", "odd"),  // odd size: a pad byte
    };
    for (std::size_t i = 0; i < firstChunks.size(); ++i) {
        SCOPED_TRACE(i);
        const auto before = GetLogLineCount();
        const auto file = OpenFile(WavWithChunkFirst(dir, "r.wav", firstChunks[i]), nullptr);
        ASSERT_TRUE(file.Opened);
        EXPECT_EQ(file->SampleRate, 48000);
        EXPECT_EQ(file->Channels, 2);
        EXPECT_EQ(file->Resolution, 24);
        EXPECT_EQ(LogSince(before).back(), "Header (36 bytes) was red successfully");
    }
}

TEST(FormatReaderWAV, RefusalsAreLogged) {
    TempDir dir;
    struct Case {
        std::string bytes, line;
    };
    const std::string riffWave = "RIFF" + Bytes32(100) + "WAVE";
    for (const Case& c : {
             Case{"RIFX" + Bytes32(4) + "WAVE", "Error: RIFF constant not found"},
             Case{"RIFF" + Bytes32(4) + "AVI ", "Error: WAVE constant not found"},
             Case{riffWave + Chunk("data", "abcd"), "Error: wavfmt_ constant not found"},
             // A chunk size pointing far past the end must end the walk, not loop or read on.
             Case{riffWave + "LIST" + Bytes32(0xFFFFFFF0) + std::string(40, 'x'),
                  "Error: wavfmt_ constant not found"},
             Case{riffWave + "fmt " + Bytes32(16) + std::string(15, 'x'), "Error: reading"},
         }) {
        SCOPED_TRACE(c.line);
        WriteFileBytes(dir / "bad.wav", c.bytes);
        const auto before = GetLogLineCount();
        const auto file = OpenFile(dir / "bad.wav", nullptr);
        EXPECT_FALSE(file.Opened);
        EXPECT_EQ(file->SampleRate, 0);
        EXPECT_EQ(LogSince(before),
                  (std::vector<std::string>{"File (WAV): " + (dir / "bad.wav"), c.line}));
    }
    const auto before = GetLogLineCount();
    EXPECT_FALSE(OpenFile(dir / "missing.wav", nullptr).Opened);
    EXPECT_EQ(LogSince(before).back(), "Error: opening");
}

TEST(FormatReaderWAV, TruncatedHeaderSetsNothing) {
    TempDir dir;
    const std::string whole = ReadFileBytes(MakeWav(dir / "w.wav", 44100, 2, 16, 0.01));
    for (std::size_t length = 0; length < 36; ++length) {
        SCOPED_TRACE(length);
        WriteFileBytes(dir / "cut.wav", whole.substr(0, length));
        const auto file = OpenFile(dir / "cut.wav", nullptr);
        EXPECT_FALSE(file.Opened);
        EXPECT_EQ(file->SampleRate, 0);
        EXPECT_EQ(file->Channels, 0);
        EXPECT_EQ(file->Resolution, 0);
        EXPECT_EQ(file->BitRate, 0.0);
    }
    WriteFileBytes(dir / "cut.wav", whole.substr(0, 36));
    EXPECT_TRUE(OpenFile(dir / "cut.wav", nullptr).Opened);
}

TEST(FormatReaderWAV, NoRecordIsRefused) {
    TempDir dir;
    CFormatReaderWAV reader;
    EXPECT_FALSE(reader.Read(MakeWav(dir / "w.wav", 8000, 1, 16, 0.01), nullptr, nullptr));
}
