// The readers that count a file's length from its own chunks where MediaInfo cannot be
// trusted with it: Sun AU, CAF, Musepack SV8 and both DSD forms, on files the real tools write
// (DSD from its published layout), and on files cut short or of another kind.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "AudioFiles.h"
#include "fileinfo/FormatTable.h"
#include "fileinfo/MediaInfoHandle.h"
#include "support/DsdFiles.h"
#include "support/TempDir.h"

namespace {

struct LengthCase {
    const char* Name;
    const char* Command;  // from a 1.5 s WAV at 48 kHz, mono; empty for the DSD files
    std::int32_t FormatId;
    std::int32_t SampleRate;
    std::int32_t Channels;
    std::int32_t Resolution;
    std::int64_t Samples;
};

TEST(NativeLengthReaders, CountTheExactLengthOfFilesTheRealToolsWrite) {
    TempDir dir;
    MediaInfoHandle mediaInfo;
    const std::string wav = MakeWav(dir / "source.wav", 48000, 1, 24, 1.5);
    const std::vector<LengthCase> cases = {
        {"sox.au", "sox {in} {out}", kFormatAU, 48000, 1, 24, 72000},
        {"ulaw.au", "sox {in} -e u-law {out}", kFormatAU, 48000, 1, 8, 72000},
        {"sox.caf", "sox {in} {out}", kFormatCAF, 48000, 1, 24, 72000},
        {"ffmpeg.caf", "ffmpeg -v error -nostdin -y -i {in} -c:a pcm_s24le {out}", kFormatCAF,
         48000, 1, 24, 72000},
        // Compressed in CAF, the packet table counts the frames; FFmpeg's writer counts the last
        // 4096-frame ALAC packet whole there (18 packets), though it holds only 2496 frames.
        {"alac.caf", "ffmpeg -v error -nostdin -y -i {in} -c:a alac {out}", kFormatCAF, 48000, 1,
         24, 18 * 4096},
        {"sv8.mpc", "sox {in} -b 16 {in}.16.wav && mpcenc --silent {in}.16.wav {out}",
         kFormatMusepack, 48000, 1, 16, 72000},
        {"tone.dsf", "", kFormatDSF, 2822400, 2, 1, 2822400 / 2},
        {"tone.dff", "", kFormatDSDIFF, 2822400, 1, 1, 2822400 / 2},
    };
    for (const LengthCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string path = dir / c.Name;
        if (std::string(c.Command).empty()) {
            ASSERT_TRUE(WriteDsdSine(path, c.FormatId == kFormatDSF ? DsdFile::Dsf : DsdFile::Dsdiff,
                                     c.Channels, 0.5, 0.5));
        } else {
            ASSERT_FALSE(Encode(wav, path, c.Command).empty());
        }
        const auto file = OpenFile(path, &mediaInfo);
        ASSERT_TRUE(file.Opened);
        EXPECT_EQ(file->FormatId, c.FormatId);
        EXPECT_EQ(file->SampleRate, c.SampleRate);
        EXPECT_EQ(file->Channels, c.Channels);
        EXPECT_EQ(file->Resolution, c.Resolution);
        EXPECT_EQ(file->Samples, c.Samples);
        EXPECT_TRUE(file->LengthExact);
        EXPECT_TRUE(file->Truncation.empty()) << file->Truncation;
        EXPECT_GT(file->BitRate, 0.0);
    }
}

TEST(NativeLengthReaders, AFileCutShortIsListedAsTruncatedAndAnotherKindIsRefused) {
    TempDir dir;
    const std::string wav = MakeWav(dir / "source.wav", 44100, 2, 16, 1.0);
    const std::string au = Encode(wav, dir / "whole.au", "sox {in} {out}");
    ASSERT_FALSE(au.empty());
    const std::string bytes = ReadFileBytes(au);
    WriteFileBytes(dir / "cut.au", bytes.substr(0, bytes.size() / 2));
    const auto cut = OpenFile(dir / "cut.au", nullptr);
    ASSERT_TRUE(cut.Opened);
    EXPECT_NE(cut->Truncation.find("truncated"), std::string::npos);
    EXPECT_LT(cut->Samples, 44100);

    ASSERT_TRUE(WriteDsdSine(dir / "whole.dff", DsdFile::Dsdiff, 2, 0.2, 0.5));
    const std::string dff = ReadFileBytes(dir / "whole.dff");
    WriteFileBytes(dir / "cut.dff", dff.substr(0, dff.size() - 1000));
    const auto cutDsd = OpenFile(dir / "cut.dff", nullptr);
    ASSERT_TRUE(cutDsd.Opened);
    EXPECT_NE(cutDsd->Truncation.find("truncated"), std::string::npos);

    // A WAV file renamed: none of these readers makes anything of it.
    for (const char* name : {"wave.au", "wave.caf", "wave.dsf", "wave.dff"}) {
        std::filesystem::copy_file(wav, dir / name);
        EXPECT_FALSE(OpenFile(dir / name, nullptr).Opened) << name;
    }
}

}  // namespace
