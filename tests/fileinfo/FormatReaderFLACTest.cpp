#include <gtest/gtest.h>

#include <string>

#include "AudioFiles.h"
#include "fileinfo/MediaInfoHandle.h"
#include "support/TempDir.h"

namespace {

struct Format {
    int rate, channels, bits;
};

std::string MakeFlac(const TempDir& dir, const Format& f, const std::string& extra = "") {
    const std::string wav = MakeWav(dir / "in.wav", f.rate, f.channels, f.bits);
    return Encode(wav, dir / "out.flac",
                  "flac -s -f --channel-map=none " + extra + " -o {out} {in}");
}

}  // namespace

TEST(FormatReaderFLAC, HeaderGivesFormatAndMediaInfoTheBitRate) {
    TempDir dir;
    MediaInfoHandle mediaInfo;
    ASSERT_TRUE(mediaInfo.Ready());
    for (const Format& f : {Format{8000, 1, 8}, Format{44100, 2, 16}, Format{96000, 6, 24},
                            Format{192000, 2, 24}, Format{22050, 3, 16}}) {
        SCOPED_TRACE(std::to_string(f.rate) + "/" + std::to_string(f.channels));
        const std::string path = MakeFlac(dir, f);
        const auto file = OpenFile(path, &mediaInfo);
        ASSERT_TRUE(file.Opened);
        EXPECT_EQ(file->SampleRate, f.rate);
        EXPECT_EQ(file->Channels, f.channels);
        EXPECT_EQ(file->Resolution, f.bits);
        EXPECT_GT(file->BitRate, 0.0);
        EXPECT_EQ(file->BitRate, MediaInfoProgramBitRate("General", path));
        EXPECT_EQ(file->Codec, "");
    }
}

TEST(FormatReaderFLAC, StreamInfoAsTheOnlyMetadataBlockIsRead) {
    TempDir dir;
    const std::string path = MakeFlac(dir, {48000, 2, 16});
    ASSERT_TRUE(RunQuietly("metaflac --remove-all --dont-use-padding " + Quoted(path)));
    ASSERT_EQ(static_cast<unsigned char>(ReadFileBytes(path)[4]), 0x80);
    const auto file = OpenFile(path, nullptr);
    ASSERT_TRUE(file.Opened);
    EXPECT_EQ(file->SampleRate, 48000);
    EXPECT_EQ(file->Channels, 2);
    EXPECT_EQ(file->Resolution, 16);
}

TEST(FormatReaderFLAC, RefusesOtherFilesAndShortHeaders) {
    TempDir dir;
    const std::string whole = ReadFileBytes(MakeFlac(dir, {44100, 2, 16}));
    ASSERT_EQ(whole[4], '\0');
    for (std::size_t length = 0; length < 42; ++length) {
        SCOPED_TRACE(length);
        WriteFileBytes(dir / "cut.flac", whole.substr(0, length));
        const auto file = OpenFile(dir / "cut.flac", nullptr);
        EXPECT_FALSE(file.Opened);
        EXPECT_EQ(file->SampleRate, 0);
        EXPECT_EQ(file->Channels, 0);
        EXPECT_EQ(file->Resolution, 0);
    }
    std::string seekTableFirst = whole;
    seekTableFirst[4] = 3;
    WriteFileBytes(dir / "other.flac", seekTableFirst);
    EXPECT_FALSE(OpenFile(dir / "other.flac", nullptr).Opened);
    WriteFileBytes(dir / "wave.flac", ReadFileBytes(MakeWav(dir / "w.wav", 8000, 1, 16)));
    EXPECT_FALSE(OpenFile(dir / "wave.flac", nullptr).Opened);
}

TEST(FormatReaderFLAC, WithoutMediaInfoTheHeaderStillCountsAndBitRateIsZero) {
    TempDir dir;
    CMediaInfoBinding missing({dir / "no-such-library.so"});
    MediaInfoHandle mediaInfo(missing);
    const auto file = OpenFile(MakeFlac(dir, {96000, 6, 24}), &mediaInfo);
    ASSERT_TRUE(file.Opened);
    EXPECT_EQ(file->SampleRate, 96000);
    EXPECT_EQ(file->Channels, 6);
    EXPECT_EQ(file->Resolution, 24);
    EXPECT_EQ(file->BitRate, 0.0);
}
