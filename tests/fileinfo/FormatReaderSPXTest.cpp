#include <gtest/gtest.h>

#include <string>

#include "AudioFiles.h"
#include "support/TempDir.h"

namespace {

// An Ogg page header with n segments, then a Speex header with the given fields.
std::string HandMadeSpeex(std::uint8_t segments, const std::string& version, std::int32_t rate,
                          std::int32_t bitRate) {
    std::string page = "OggS" + std::string(22, '\0') +
                       std::string(1, static_cast<char>(segments)) + std::string(segments, '\x50');
    std::string header = "Speex   " + version;
    header.resize(36, '\0');
    header += Bytes32(static_cast<std::uint32_t>(rate)) + std::string(12, '\0') +
              Bytes32(static_cast<std::uint32_t>(bitRate)) + std::string(24, '\0');
    return page + header;
}

}  // namespace

TEST(FormatReaderSPX, SpeexencFilesGiveRateAndVersion) {
    TempDir dir;
    const std::string version = CommandOutput("speexenc --version");
    for (const int rate : {8000, 16000, 32000, 44100}) {
        SCOPED_TRACE(rate);
        const std::string wav = MakeWav(dir / "in.wav", rate, 1, 16);
        const std::string path = Encode(wav, dir / "out.spx", "speexenc {in} {out}");
        const auto file = OpenFile(path, nullptr);
        ASSERT_TRUE(file.Opened);
        EXPECT_EQ(file->SampleRate, rate);
        ASSERT_FALSE(file->Codec.empty());
        EXPECT_NE(version.find(" " + file->Codec + " "), std::string::npos) << version;
        // speexenc leaves the header's bit rate at -1 (unknown), and channels are not read.
        EXPECT_EQ(file->BitRate, 0.0);
        EXPECT_EQ(file->Channels, 0);
        EXPECT_EQ(file->Resolution, 0);
    }
}

TEST(FormatReaderSPX, HeaderBitRateAndVersionLimits) {
    TempDir dir;
    WriteFileBytes(dir / "a.spx", HandMadeSpeex(3, "speex-1.0", 16000, 24600));
    const auto file = OpenFile(dir / "a.spx", nullptr);
    ASSERT_TRUE(file.Opened);
    EXPECT_EQ(file->Codec, "speex-1.0");
    EXPECT_EQ(file->SampleRate, 16000);
    EXPECT_DOUBLE_EQ(file->BitRate, 24.6);

    // A version text that fills all 20 bytes has no terminating zero; it ends there.
    WriteFileBytes(dir / "b.spx", HandMadeSpeex(0, std::string(20, 'v'), 8000, -1));
    const auto full = OpenFile(dir / "b.spx", nullptr);
    ASSERT_TRUE(full.Opened);
    EXPECT_EQ(full->Codec, std::string(20, 'v'));
    EXPECT_EQ(full->BitRate, 0.0);
}

TEST(FormatReaderSPX, RefusesOtherFilesAndShortHeaders) {
    TempDir dir;
    WriteFileBytes(dir / "wave.spx", ReadFileBytes(MakeWav(dir / "w.wav", 8000, 1, 16)));
    EXPECT_FALSE(OpenFile(dir / "wave.spx", nullptr).Opened);
    std::string vorbis = HandMadeSpeex(1, "1.2", 8000, 100);
    vorbis.replace(28, 8, "\x01vorbis\0", 8);
    WriteFileBytes(dir / "vorbis.spx", vorbis);
    EXPECT_FALSE(OpenFile(dir / "vorbis.spx", nullptr).Opened);

    const std::string whole = HandMadeSpeex(2, "1.2", 8000, 100);
    for (std::size_t length = 0; length < whole.size(); ++length) {
        WriteFileBytes(dir / "cut.spx", whole.substr(0, length));
        const auto file = OpenFile(dir / "cut.spx", nullptr);
        EXPECT_FALSE(file.Opened) << length;
        EXPECT_EQ(file->SampleRate, 0) << length;
        EXPECT_EQ(file->Codec, "") << length;
    }
}
