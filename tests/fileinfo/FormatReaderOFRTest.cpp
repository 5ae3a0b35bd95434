#include <gtest/gtest.h>

#include <string>

#include "AudioFiles.h"
#include "support/TempDir.h"

namespace {

// The 23 header bytes the reader uses, then filler up to fileSize.
std::string MakeOfr(const std::string& path, std::uint32_t samplesLow, std::int16_t samplesHigh,
                    std::uint8_t channelConfiguration, std::uint32_t rate, std::size_t fileSize) {
    std::string bytes = "OFR " + Bytes32(15) + Bytes32(samplesLow) +
                        Bytes16(static_cast<std::uint16_t>(samplesHigh)) + std::string(1, '\x03') +
                        std::string(1, static_cast<char>(channelConfiguration)) + Bytes32(rate) +
                        std::string(3, '\x05');
    bytes.resize(std::max(bytes.size(), fileSize), '\0');
    WriteFileBytes(path, bytes);
    return path;
}

}  // namespace

TEST(FormatReaderOFR, BitRateFromSizeOverWholeSeconds) {
    TempDir dir;
    // 441000 samples in all at 44100 Hz: halved, 220500 per channel, 5 seconds.
    const auto file = OpenFile(MakeOfr(dir / "x.ofr", 441000, 0, 1, 44100, 100000), nullptr);
    ASSERT_TRUE(file.Opened);
    EXPECT_EQ(file->SampleRate, 44100);
    EXPECT_EQ(file->Channels, 2);
    EXPECT_DOUBLE_EQ(file->BitRate, 100000 * 8.0 / 1000 / 5);
    EXPECT_EQ(file->Resolution, 0);
    EXPECT_EQ(file->Codec, "");

    // 7.9 seconds count as 7.
    const auto longer =
        OpenFile(MakeOfr(dir / "y.ofr", 2 * 7 * 48000 + 2 * 43200, 0, 5, 48000, 70000), nullptr);
    EXPECT_EQ(longer->Channels, 6);
    EXPECT_DOUBLE_EQ(longer->BitRate, 70000 * 8.0 / 1000 / 7);
}

TEST(FormatReaderOFR, ShortOrRatelessFilesNeverDivideByZero) {
    TempDir dir;
    // Half a second: the exact length is used.
    const auto half = OpenFile(MakeOfr(dir / "h.ofr", 44100, 0, 1, 44100, 4000), nullptr);
    ASSERT_TRUE(half.Opened);
    EXPECT_DOUBLE_EQ(half->BitRate, 4000 * 8.0 / 1000 / 0.5);
    const auto noRate = OpenFile(MakeOfr(dir / "r.ofr", 441000, 0, 1, 0, 4000), nullptr);
    ASSERT_TRUE(noRate.Opened);
    EXPECT_EQ(noRate->BitRate, 0.0);
    const auto noSamples = OpenFile(MakeOfr(dir / "s.ofr", 0, 0, 0, 44100, 4000), nullptr);
    ASSERT_TRUE(noSamples.Opened);
    EXPECT_EQ(noSamples->BitRate, 0.0);
    EXPECT_EQ(noSamples->Channels, 1);
}

TEST(FormatReaderOFR, HighPartOfTheSampleCountWeighs65536) {
    TempDir dir;
    // 1 * 65536 + 88200 = 153736 samples, 76868 per channel, 1 whole second at 44100 Hz.
    const auto file = OpenFile(MakeOfr(dir / "x.ofr", 88200, 1, 1, 44100, 1000), nullptr);
    EXPECT_DOUBLE_EQ(file->BitRate, 1000 * 8.0 / 1000 / 1);
}

TEST(FormatReaderOFR, ShortHeaderIsRefused) {
    TempDir dir;
    const std::string whole = ReadFileBytes(MakeOfr(dir / "x.ofr", 441000, 0, 1, 44100, 0));
    ASSERT_EQ(whole.size(), 23u);
    for (std::size_t length = 0; length < 23; ++length) {
        WriteFileBytes(dir / "cut.ofr", whole.substr(0, length));
        const auto file = OpenFile(dir / "cut.ofr", nullptr);
        EXPECT_FALSE(file.Opened) << length;
        EXPECT_EQ(file->SampleRate, 0) << length;
    }
    EXPECT_TRUE(OpenFile(dir / "x.ofr", nullptr).Opened);
}
