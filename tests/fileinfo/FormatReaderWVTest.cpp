#include <gtest/gtest.h>

#include <string>

#include "AudioFiles.h"
#include "fileinfo/MediaInfoHandle.h"
#include "support/TempDir.h"

namespace {

// MediaInfo 23.04 gives up on short WavPack files and on some formats (8-bit, odd rates): the
// cases say what it can tell, the header part is checked always.
struct Case {
    int rate, channels, bits;
    double seconds;
    bool mediaInfoKnowsDepth;
    bool mediaInfoKnowsBitRate;
};

std::string Label(const Case& c) {
    return std::to_string(c.rate) + "/" + std::to_string(c.channels) + "/" + std::to_string(c.bits);
}

std::string MakeWv(const TempDir& dir, const Case& c, const std::string& command) {
    const std::string wav = MakeWav(dir / "in.wav", c.rate, c.channels, c.bits, c.seconds);
    return Encode(wav, dir / "out.wv", command);
}

const char* const kWavpack = "wavpack -q -y {in} -o {out}";
// ffmpeg's encoder keeps no RIFF header in the file.
const char* const kFfmpeg = "ffmpeg -v error -y -i {in} -c:a wavpack {out}";

void ExpectMediaInfoParts(const CFileInfo& file, const Case& c) {
    if (c.mediaInfoKnowsDepth) {
        EXPECT_EQ(file.Resolution, c.bits);
    }
    if (c.mediaInfoKnowsBitRate) {
        EXPECT_GT(file.BitRate, 0.0);
        EXPECT_EQ(file.BitRate, MediaInfoProgramBitRate("General", file.Path));
    }
}

}  // namespace

TEST(FormatReaderWV, RiffHeaderGivesRateAndChannelsMediaInfoTheRest) {
    TempDir dir;
    MediaInfoHandle mediaInfo;
    for (const Case& c : {Case{8000, 1, 8, 0.3, false, false}, Case{44100, 2, 16, 1, true, true},
                          Case{96000, 6, 24, 1, true, true}, Case{37800, 2, 16, 1, true, false}}) {
        SCOPED_TRACE(Label(c));
        const std::string path = MakeWv(dir, c, kWavpack);
        const auto file = OpenFile(path, &mediaInfo);
        ASSERT_TRUE(file.Opened);
        EXPECT_EQ(file->SampleRate, c.rate);
        EXPECT_EQ(file->Channels, c.channels);
        ExpectMediaInfoParts(*file.Record, c);
    }
}

TEST(FormatReaderWV, RiffHeaderWithAChunkBeforeFmtIsWalked) {
    TempDir dir;
    // With -r wavpack stores a generated header that starts with a "junk" chunk.
    const std::string path =
        MakeWv(dir, {22050, 4, 16, 0.3, false, false}, "wavpack -q -y -r {in} -o {out}");
    ASSERT_NE(ReadFileBytes(path).find("WAVEjunk"), std::string::npos);
    const auto file = OpenFile(path, nullptr);
    ASSERT_TRUE(file.Opened);
    EXPECT_EQ(file->SampleRate, 22050);
    EXPECT_EQ(file->Channels, 4);
}

TEST(FormatReaderWV, WithoutRiffHeaderRateComesFromTheBlockAndChannelsFromMediaInfo) {
    TempDir dir;
    MediaInfoHandle mediaInfo;
    // 37800 Hz is not one of the block header's standard rates; it comes in its own sub-block.
    // Where MediaInfo cannot tell the channels, the block's channel info or flags do.
    for (const Case& c :
         {Case{44100, 2, 16, 1, true, true}, Case{37800, 3, 16, 2, true, false},
          Case{8000, 1, 16, 0.3, false, false}, Case{96000, 6, 24, 0.3, false, false}}) {
        SCOPED_TRACE(Label(c));
        const std::string path = MakeWv(dir, c, kFfmpeg);
        ASSERT_EQ(ReadFileBytes(path).find("RIFF"), std::string::npos);
        const auto file = OpenFile(path, &mediaInfo);
        ASSERT_TRUE(file.Opened);
        EXPECT_EQ(file->SampleRate, c.rate);
        EXPECT_EQ(file->Channels, c.channels);
        ExpectMediaInfoParts(*file.Record, c);
    }
}

TEST(FormatReaderWV, WithoutMediaInfoAHeaderlessFileStillHasRateAndChannels) {
    TempDir dir;
    CMediaInfoBinding missing({dir / "no-such-library.so"});
    MediaInfoHandle mediaInfo(missing);
    const auto file = OpenFile(MakeWv(dir, {48000, 2, 16, 0.3, false, false}, kFfmpeg), &mediaInfo);
    ASSERT_TRUE(file.Opened);
    EXPECT_EQ(file->SampleRate, 48000);
    EXPECT_EQ(file->Channels, 2);
    EXPECT_EQ(file->Resolution, 0);
    EXPECT_EQ(file->BitRate, 0.0);
}

TEST(FormatReaderWV, RefusesFilesThatAreNotWavPack) {
    TempDir dir;
    MediaInfoHandle mediaInfo;
    const std::string whole =
        ReadFileBytes(MakeWv(dir, {44100, 2, 16, 0.3, false, false}, kWavpack));
    for (std::size_t length = 0; length < 32; ++length) {
        SCOPED_TRACE(length);
        WriteFileBytes(dir / "cut.wv", whole.substr(0, length));
        const auto file = OpenFile(dir / "cut.wv", &mediaInfo);
        EXPECT_FALSE(file.Opened);
        EXPECT_EQ(file->SampleRate, 0);
        EXPECT_EQ(file->Channels, 0);
    }
    // A WAV file renamed: its bytes 56 and 58 are not a channel count and a rate.
    WriteFileBytes(dir / "wave.wv", ReadFileBytes(MakeWav(dir / "w.wav", 44100, 2, 16)));
    EXPECT_FALSE(OpenFile(dir / "wave.wv", &mediaInfo).Opened);
}

TEST(FormatReaderWV, TruncatedFirstBlockFallsBackOnItsHeader) {
    TempDir dir;
    const std::string whole =
        ReadFileBytes(MakeWv(dir, {88200, 2, 16, 0.3, false, false}, kWavpack));
    // Cut inside the RIFF header sub-block: the block header's rate index and flags still tell.
    WriteFileBytes(dir / "cut.wv", whole.substr(0, 60));
    const auto file = OpenFile(dir / "cut.wv", nullptr);
    ASSERT_TRUE(file.Opened);
    EXPECT_EQ(file->SampleRate, 88200);
    EXPECT_EQ(file->Channels, 2);
}
