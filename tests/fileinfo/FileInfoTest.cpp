#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "AudioFiles.h"
#include "codecs/Coder.h"
#include "codecs/Decoder.h"
#include "fileinfo/FileInfo.h"
#include "fileinfo/FormatTable.h"
#include "fileinfo/MediaInfoHandle.h"
#include "support/TempDir.h"

namespace {

struct Detection {
    std::string FileName;
    std::int32_t FormatId;
    std::string FormatName;
};

}  // namespace

TEST(FileInfo, NewRecordIsEmpty) {
    const CFileInfo record;
    EXPECT_EQ(record.SampleRate, 0);
    EXPECT_EQ(record.Channels, 0);
    EXPECT_EQ(record.Resolution, 0);
    EXPECT_EQ(record.BitRate, 0.0);
    EXPECT_TRUE(record.Path.empty() && record.Codec.empty() && record.FormatName.empty());
    EXPECT_FALSE(record.Coder || record.Decoder);
}

TEST(FileInfo, FormatComesFromTheLowerCasedLastExtension) {
    TempDir dir;
    std::filesystem::create_directory(dir.Path() / "a.b");
    MediaInfoHandle mediaInfo;
    const std::vector<Detection> cases = {
        {"Song.MP3", kFormatMPEG, "MPEG Audio Layer 1/2/3"},
        {"song.Mp3", kFormatMPEG, "MPEG Audio Layer 1/2/3"},
        {"archive.tar.flac", kFormatFLAC, "FLAC"},
        {"x.AAC", kFormatAAC, "AAC"},
        {"x.wv", kFormatWavPack, "WavPack"},
        {"x.tta", kFormatTTA, "TTA"},
        {"x.m4a", kFormatM4A, "M4A"},
        {"x.ogg", kFormatVorbis, "Ogg Vorbis"},
        {"x.ape", kFormatAPE, "Monkey's Audio"},
        {"x.ofr", kFormatOFR, "OptimFROG"},
        {"x.spx", kFormatSpeex, "Speex"},
        {"x.WAV", kFormatWAV, "WAV"},
        {"x.Opus", kFormatOpus, "Opus"},
        {"x.wma", kFormatWMA, "Windows Media Audio"},
        {"x.mp2", kFormatMP2, "MPEG Audio Layer 2"},
        {"x.m4b", kFormatM4B, "M4B"},
        {"x.oga", kFormatOggAudio, "Ogg Audio"},
        {"x.AIF", kFormatAIFF, "AIFF"},
        {"x.aifc", kFormatAIFC, "AIFF-C"},
        {"x.caf", kFormatCAF, "Core Audio Format"},
        {"x.w64", kFormatWave64, "Wave64"},
        {"x.bw64", kFormatRF64, "RF64"},
        {"x.mka", kFormatMatroska, "Matroska Audio"},
        {"x.webm", kFormatWebM, "WebM"},
        {"x.ac3", kFormatAC3, "AC-3"},
        {"x.ec3", kFormatEAC3, "E-AC-3"},
        {"x.dts", kFormatDTS, "DTS"},
        {"x.mp+", kFormatMusepack, "Musepack"},
        {"x.dsf", kFormatDSF, "DSF (DSD)"},
        {"x.dff", kFormatDSDIFF, "DSDIFF (DSD)"},
        {"x.shn", kFormatShorten, "Shorten"},
        {"x.snd", kFormatAU, "Sun AU"},
        {"x.tak", kFormatTAK, "TAK"},
        {"readme", kFormatUnknown, "Unknown"},
        {"notes.txt", kFormatUnknown, "Unknown"},
        {"a.b/file", kFormatUnknown, "Unknown"},
        {"x.wav.bak", kFormatUnknown, "Unknown"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.FileName);
        // Not audio at all: the native readers refuse it, but the format is set before they run.
        WriteFileBytes(dir / c.FileName, std::string(64, 'x'));
        const auto file = OpenFile(dir / c.FileName, &mediaInfo);
        EXPECT_EQ(file->FormatId, c.FormatId);
        EXPECT_EQ(file->FormatName, c.FormatName);
    }
}

TEST(FileInfo, UnknownFormatIsKeptWithZeroProperties) {
    TempDir dir;
    WriteFileBytes(dir / "notes.txt", "RIFF....WAVEfmt ");
    const auto file = OpenFile(dir / "notes.txt", nullptr);
    EXPECT_TRUE(file.Opened);
    EXPECT_EQ(file->SampleRate, 0);
    EXPECT_EQ(file->Channels, 0);
    EXPECT_EQ(file->Resolution, 0);
    EXPECT_EQ(file->BitRate, 0.0);
    EXPECT_EQ(file->Codec, "");
}

TEST(FileInfo, RefusedWavKeepsItsFormatAndFailsOpen) {
    TempDir dir;
    WriteFileBytes(dir / "bad.wav", "not a wave file at all");
    const auto file = OpenFile(dir / "bad.wav", nullptr);
    EXPECT_FALSE(file.Opened);
    EXPECT_EQ(file->FormatName, "WAV");
    EXPECT_EQ(file->FormatId, kFormatWAV);
}

TEST(FileInfo, PathIsSplitIntoFolderAndName) {
    TempDir dir;
    const std::string path = dir / "tone.wav";
    MakeWav(path, 44100, 2, 16, 0.05);
    const auto file = OpenFile(path, nullptr);
    EXPECT_TRUE(file.Opened);
    EXPECT_EQ(file->Path, path);
    EXPECT_EQ(file->Name, "tone.wav");
    EXPECT_EQ(file->Folder, dir.Path().string());
    EXPECT_EQ(file->Size, std::filesystem::file_size(path));
}

TEST(FileInfo, SizeIsSixtyFourBits) {
    TempDir dir;
    const std::string path = dir / "big.bin";
    const std::uint64_t fiveGiB = 5ull << 30;
    WriteFileBytes(path, "");
    std::filesystem::resize_file(path, fiveGiB);  // sparse: takes no disk space
    const auto file = OpenFile(path, nullptr);
    EXPECT_TRUE(file.Opened);
    EXPECT_EQ(file->Size, fiveGiB);
}

TEST(FileInfo, SizeOfAMissingFileIsUnknownAndOpenGoesOn) {
    TempDir dir;
    const auto file = OpenFile(dir / "gone.txt", nullptr);
    EXPECT_TRUE(file.Opened);
    EXPECT_EQ(file->Size, CFileInfo::kUnknownSize);
    EXPECT_EQ(file->FormatName, "Unknown");
}

namespace {

std::vector<std::string> g_destroyed;

class CRecordedCoder : public CCoder {
public:
    ~CRecordedCoder() override { g_destroyed.push_back("coder"); }
};

class CRecordedDecoder : public CDecoder {
public:
    ~CRecordedDecoder() override { g_destroyed.push_back("decoder"); }
};

}  // namespace

TEST(FileInfo, RecordDestroysItsCoderJobBeforeItsDecoderJob) {
    g_destroyed.clear();
    {
        CFileInfo record;
        record.Decoder = std::make_unique<CRecordedDecoder>();
        record.Coder = std::make_unique<CRecordedCoder>();
        record.Coder->SetDecoder(record.Decoder.get());
    }
    EXPECT_EQ(g_destroyed, (std::vector<std::string>{"coder", "decoder"}));
}
