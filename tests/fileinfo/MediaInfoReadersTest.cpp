#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AudioFiles.h"
#include "base/Log.h"
#include "fileinfo/FormatReaderAAC.h"
#include "fileinfo/FormatReaderAPE.h"
#include "fileinfo/FormatTable.h"
#include "fileinfo/MediaInfoHandle.h"
#include "support/TempDir.h"

namespace {

struct Encoding {
    int rate, channels, kilobits;
};

std::string Label(const Encoding& e) {
    return std::to_string(e.rate) + "/" + std::to_string(e.channels) + "/" +
           std::to_string(e.kilobits);
}

// A Monkey's Audio file of one frame: descriptor and header as version 3.99 writes them, a
// one-entry seek table, and filler for the frame data.
std::string MakeApe(const std::string& path, int bits, int channels, int rate,
                    std::uint32_t blocks) {
    const std::uint32_t frameBytes = 2000;
    std::string bytes = "MAC " + Bytes16(3990) + Bytes16(0) + Bytes32(52) + Bytes32(24) +
                        Bytes32(4) + Bytes32(0) + Bytes32(frameBytes) + Bytes32(0) + Bytes32(0) +
                        std::string(16, '\0');
    bytes += Bytes16(2000) + Bytes16(0) + Bytes32(73728 * 4) + Bytes32(blocks) + Bytes32(1) +
             Bytes16(static_cast<std::uint16_t>(bits)) +
             Bytes16(static_cast<std::uint16_t>(channels)) +
             Bytes32(static_cast<std::uint32_t>(rate));
    bytes += Bytes32(52 + 24 + 4) + std::string(frameBytes, '\x11');
    WriteFileBytes(path, bytes);
    return path;
}

}  // namespace

TEST(FormatReaderMPEG, ConstantBitRateEncodesShowTheirRate) {
    TempDir dir;
    MediaInfoHandle mediaInfo;
    for (const Encoding& e : {Encoding{44100, 2, 128}, Encoding{8000, 1, 16},
                              Encoding{48000, 2, 320}, Encoding{22050, 1, 64}}) {
        SCOPED_TRACE(Label(e));
        const std::string wav = MakeWav(dir / "in.wav", e.rate, e.channels, 16, 0.5);
        const std::string path =
            Encode(wav, dir / "Out.MP3",
                   "lame --quiet --cbr -b " + std::to_string(e.kilobits) + " {in} {out}");
        const auto file = OpenFile(path, &mediaInfo);
        ASSERT_TRUE(file.Opened);
        EXPECT_EQ(file->FormatName, "MPEG Audio Layer 1/2/3");
        EXPECT_EQ(file->SampleRate, e.rate);
        EXPECT_EQ(file->Channels, e.channels);
        EXPECT_EQ(file->BitRate, e.kilobits);
        EXPECT_EQ(file->Resolution, 16);
        // "Codec" is answered empty by this library; "Format" takes its place.
        EXPECT_EQ(file->Codec, "MPEG Audio");
    }
}

TEST(FormatReaderVorbis, NominalBitRateAndFixedResolution) {
    TempDir dir;
    MediaInfoHandle mediaInfo;
    for (const Encoding& e :
         {Encoding{44100, 2, 128}, Encoding{22050, 1, 64}, Encoding{48000, 6, 256}}) {
        SCOPED_TRACE(Label(e));
        const std::string wav = MakeWav(dir / "in.wav", e.rate, e.channels, 16);
        const std::string path = Encode(
            wav, dir / "out.ogg", "oggenc -Q -b " + std::to_string(e.kilobits) + " -o {out} {in}");
        const auto file = OpenFile(path, &mediaInfo);
        ASSERT_TRUE(file.Opened);
        EXPECT_EQ(file->SampleRate, e.rate);
        EXPECT_EQ(file->Channels, e.channels);
        EXPECT_EQ(file->BitRate, e.kilobits);
        EXPECT_EQ(file->Resolution, 16);
        EXPECT_EQ(file->Codec, "Vorbis");
    }
}

TEST(FormatReaderM4A, AacInMp4) {
    TempDir dir;
    MediaInfoHandle mediaInfo;
    for (const Encoding& e :
         {Encoding{44100, 2, 128}, Encoding{22050, 1, 48}, Encoding{48000, 6, 256}}) {
        SCOPED_TRACE(Label(e));
        const std::string wav = MakeWav(dir / "in.wav", e.rate, e.channels, 16, 0.5);
        const std::string path = Encode(
            wav, dir / "out.m4a",
            "ffmpeg -v error -y -i {in} -c:a aac -b:a " + std::to_string(e.kilobits) + "k {out}");
        const auto file = OpenFile(path, &mediaInfo);
        ASSERT_TRUE(file.Opened);
        EXPECT_EQ(file->SampleRate, e.rate);
        EXPECT_EQ(file->Channels, e.channels);
        EXPECT_EQ(file->Codec, "AAC");
        EXPECT_EQ(file->Resolution, 0);  // lossy AAC has no bit depth to tell
        EXPECT_GT(file->BitRate, 0.0);
        EXPECT_EQ(file->BitRate, MediaInfoProgramBitRate("General", path));
    }
}

TEST(FormatReaderAAC, RawAdtsStream) {
    TempDir dir;
    MediaInfoHandle mediaInfo;
    for (const Encoding& e :
         {Encoding{44100, 2, 128}, Encoding{16000, 1, 32}, Encoding{96000, 6, 384}}) {
        SCOPED_TRACE(Label(e));
        const std::string wav = MakeWav(dir / "in.wav", e.rate, e.channels, 16, 0.5);
        const std::string path = Encode(
            wav, dir / "out.aac",
            "ffmpeg -v error -y -i {in} -c:a aac -b:a " + std::to_string(e.kilobits) + "k {out}");
        const auto file = OpenFile(path, &mediaInfo);
        ASSERT_TRUE(file.Opened);
        EXPECT_EQ(file->SampleRate, e.rate);
        EXPECT_EQ(file->Channels, e.channels);
        EXPECT_EQ(file->Codec, "AAC");
        EXPECT_EQ(file->BitRate, MediaInfoProgramBitRate("Audio", path));
    }
}

TEST(FormatReaderAPE, HandMadeHeaderIsReadThroughMediaInfo) {
    TempDir dir;
    MediaInfoHandle mediaInfo;
    struct Case {
        int bits, channels, rate;
        std::uint32_t blocks;
        double seconds;
    };
    for (const Case& c : {Case{16, 2, 44100, 44100, 1.0}, Case{24, 6, 96000, 48000, 0.5},
                          Case{8, 1, 8000, 16000, 2.0}}) {
        SCOPED_TRACE(c.rate);
        const std::string path = MakeApe(dir / "x.ape", c.bits, c.channels, c.rate, c.blocks);
        const auto file = OpenFile(path, &mediaInfo);
        ASSERT_TRUE(file.Opened);
        EXPECT_EQ(file->SampleRate, c.rate);
        EXPECT_EQ(file->Channels, c.channels);
        EXPECT_EQ(file->Resolution, c.bits);
        EXPECT_EQ(file->Codec, "Monkey's Audio");
        EXPECT_DOUBLE_EQ(file->BitRate, 2080 * 8 / c.seconds / 1000);
    }
}

// The formats the shipped decoders take beyond the first eleven: ids from 12 on, every
// property from MediaInfo.
TEST(FormatReaderMediaInfo, LaterFormatsShowTheirRateChannelsAndBitRate) {
    TempDir dir;
    MediaInfoHandle mediaInfo;
    struct Case {
        const char* Name;
        int Rate, Channels;
        const char* Command;
        std::int32_t FormatId;
        const char* FormatName;
        const char* Codec;
        int Resolution;
    };
    const std::vector<Case> cases = {
        {"song.opus", 48000, 2, "opusenc --quiet --bitrate 96 {in} {out}", kFormatOpus, "Opus",
         "Opus", 0},
        {"Song.WMA", 44100, 1, "ffmpeg -v error -y -i {in} -c:a wmav2 -b:a 64k {out}", kFormatWMA,
         "Windows Media Audio", "WMA", 16},
        {"song.mp2", 32000, 2, "ffmpeg -v error -y -i {in} -c:a mp2 -b:a 160k {out}", kFormatMP2,
         "MPEG Audio Layer 2", "MPEG Audio", 0},
        {"book.m4b", 22050, 1, "ffmpeg -v error -y -i {in} -c:a aac -b:a 48k -f mp4 {out}",
         kFormatM4B, "M4B", "AAC", 0},
        {"song.oga", 44100, 2, "ffmpeg -v error -y -i {in} -c:a flac -f ogg {out}", kFormatOggAudio,
         "Ogg Audio", "FLAC", 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string wav = MakeWav(dir / "in.wav", c.Rate, c.Channels, 16, 1.0);
        const auto file = OpenFile(Encode(wav, dir / c.Name, c.Command), &mediaInfo);
        ASSERT_TRUE(file.Opened);
        EXPECT_EQ(file->FormatId, c.FormatId);
        EXPECT_EQ(file->FormatName, c.FormatName);
        EXPECT_EQ(file->SampleRate, c.Rate);
        EXPECT_EQ(file->Channels, c.Channels);
        EXPECT_EQ(file->Resolution, c.Resolution);
        EXPECT_EQ(file->Codec, c.Codec);
        EXPECT_GT(file->BitRate, 0.0);
        EXPECT_EQ(file->BitRate, MediaInfoProgramBitRate("General", file->Path));
    }
}

TEST(MediaInfoReaders, UnparsableFilesAreListedWithNothingKnown) {
    TempDir dir;
    MediaInfoHandle mediaInfo;
    for (const char* name : {"x.mp3", "x.aac", "x.m4a", "x.ogg", "x.ape"}) {
        SCOPED_TRACE(name);
        WriteFileBytes(dir / name, std::string(300, '\x5a'));
        const auto file = OpenFile(dir / name, &mediaInfo);
        EXPECT_TRUE(file.Opened);
        EXPECT_EQ(file->SampleRate, 0);
        EXPECT_EQ(file->Channels, 0);
        EXPECT_EQ(file->BitRate, 0.0);
        EXPECT_EQ(file->Codec, "");
    }
}

TEST(MediaInfoReaders, AacAndApeReadersWithoutARecordLogAnInternalError) {
    MediaInfoHandle mediaInfo;
    CFormatReaderAAC aac;
    CFormatReaderAPE ape;
    const auto before = GetLogLineCount();
    EXPECT_FALSE(aac.Read("/nonexistent.aac", nullptr, &mediaInfo));
    EXPECT_FALSE(ape.Read("/nonexistent.ape", nullptr, &mediaInfo));
    ASSERT_EQ(GetLogLineCount(), before + 2);
    EXPECT_EQ(GetLogLine(before), "Error: internal");
    EXPECT_EQ(GetLogLine(before + 1), "Error: internal");
}
