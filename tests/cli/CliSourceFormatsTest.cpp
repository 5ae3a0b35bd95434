// Sources in the formats a music library holds, made with the real tools, listed by kelto-cli
// with their properties and converted to FLAC through the shipped decoders with every output
// check passing.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "CliFixture.h"
#include "session/EngineFiles.h"
#include "support/DsdFiles.h"

namespace fs = std::filesystem;

namespace {

std::string Replaced(std::string text, const std::string& name, const std::string& value) {
    for (std::size_t at = text.find(name); at != std::string::npos; at = text.find(name, at))
        text.replace(at, name.size(), value), at += value.size();
    return text;
}

// A source: how it is made from the original WAV file ({in}, {out}), and what kelto-cli must
// list for it.
struct SourceFormat {
    const char* Name;
    const char* Command;
    const char* FormatName;
    int FormatId;
    int SampleRate;
    int Resolution;  // -1: not checked (lossy codecs report none or their own)
    bool Lossless;   // the FLAC output decodes to the original's samples
};

class CliSourceFormatsTest : public CliFixture {
protected:
    void SetUp() override { fs::create_directories(Sources()); }

    std::string Sources() const { return m_dir / "sources"; }
    std::string Outputs() const { return m_dir / "out"; }

    std::string Original() const { return m_dir / "original.wav"; }

    // Average power of a decoded file's samples, as a share of full scale (24 or 16 bits).
    static double RootMeanSquare(const WavPcm& pcm) {
        const int bytes = pcm.Bits / 8;
        double sum = 0;
        std::int64_t count = 0;
        for (std::size_t i = 0; i + bytes <= pcm.Data.size(); i += bytes) {
            std::int32_t value = 0;
            for (int b = 0; b < bytes; ++b)
                value |= static_cast<std::int32_t>(static_cast<std::uint8_t>(pcm.Data[i + b]))
                         << (8 * b);
            value = value << (32 - pcm.Bits) >> (32 - pcm.Bits);
            const double sample = value / std::pow(2.0, pcm.Bits - 1);
            sum += sample * sample;
            ++count;
        }
        return count ? std::sqrt(sum / count) : 0;
    }
};

TEST_F(CliSourceFormatsTest, EveryFormatIsListedAndConvertedThroughItsDecoder) {
    const std::string ffmpeg = "ffmpeg -v error -nostdin -y -i {in} ";
    const std::vector<SourceFormat> formats = {
        {"a.aiff", "sox {in} {out}", "AIFF", 17, 44100, 16, true},
        {"b.aifc", "sox {in} {out}", "AIFF-C", 18, 44100, 16, true},
        {"c.caf", "ffmpeg -v error -nostdin -y -i {in} {out}", "Core Audio Format", 19, 44100,
         16, true},
        {"c2.caf", "sox {in} {out}", "Core Audio Format", 19, 44100, 16, true},
        {"d.w64", "sox {in} {out}", "Wave64", 20, 44100, 16, true},
        {"e.au", "sox {in} {out}", "Sun AU", 31, 44100, 16, true},
        {"f.mka", "ffmpeg -v error -nostdin -y -i {in} -c:a flac {out}", "Matroska Audio", 22,
         44100, 16, true},
        {"g.webm", "ffmpeg -v error -nostdin -y -i {in} -c:a libopus {out}", "WebM", 23, 48000,
         -1, false},
        {"h.ac3", "ffmpeg -v error -nostdin -y -i {in} {out}", "AC-3", 24, 44100, -1, false},
        {"i.eac3", "ffmpeg -v error -nostdin -y -i {in} -c:a eac3 {out}", "E-AC-3", 25, 44100,
         -1, false},
        {"j.dts", "ffmpeg -v error -nostdin -y -i {in} -strict -2 -c:a dca {out}", "DTS", 26,
         44100, -1, false},
        {"k.mpc", "mpcenc --silent {in} {out}", "Musepack", 27, 44100, 16, false},
        // WAV files most coders cannot read: RF64 (and its twin BW64) and floating point.
        {"l.wav", "ffmpeg -v error -nostdin -y -i {in} -rf64 always {out}", "WAV", 3, 44100, 16,
         true},
        {"m.wav", "ffmpeg -v error -nostdin -y -i {in} -c:a pcm_f32le {out}", "WAV", 3, 44100, 32,
         false},
        // ADPCM: blocks of frames, whose length the decoded WAV file tells.
        {"o.wav", "ffmpeg -v error -nostdin -y -i {in} -c:a adpcm_ima_wav {out}", "WAV", 3, 44100,
         4, false},
        {"n.bw64",
         "ffmpeg -v error -nostdin -y -i {in} -rf64 always -f wav {out} && printf BW64 | "
         "dd of={out} conv=notrunc status=none",
         "RF64", 21, 44100, 16, true},
    };
    WriteTestWav(Original(), 44100, 2, 2.0, 7);
    for (const SourceFormat& format : formats) {
        const std::string path = Sources() + "/" + format.Name;
        ASSERT_TRUE(RunShell(Replaced(Replaced(format.Command, "{in}", ShellQuoted(Original())),
                                      "{out}", ShellQuoted(path))))
            << format.Name;
    }
    fs::copy_file(Original(), Sources() + "/p.wav");

    for (const SourceFormat& format : formats) {
        SCOPED_TRACE(format.Name);
        const CliResult info = Run("--info " + ShellQuoted(Sources() + "/" + format.Name));
        ASSERT_EQ(info.Exit, 0) << info.Err;
        EXPECT_TRUE(Contains(info.Out, "\"format\": \"" + std::string(format.FormatName) +
                                           "\", \"format_id\": " +
                                           std::to_string(format.FormatId) + ","))
            << info.Out;
        std::string properties = "\"sample_rate\": " + std::to_string(format.SampleRate) +
                                 ", \"channels\": 2";
        if (format.Resolution >= 0)
            properties += ", \"resolution\": " + std::to_string(format.Resolution) + ",";
        EXPECT_TRUE(Contains(info.Out, properties)) << info.Out;
    }

    const CliResult run =
        Run("--coder FLAC --threads 2 --verify --output " + ShellQuoted(Outputs()) + " " +
            ShellQuoted(Sources()));

    ASSERT_EQ(run.Exit, 0) << run.Out << run.Err;
    EXPECT_TRUE(Contains(run.Out, std::to_string(formats.size() + 1) +
                                      " of " + std::to_string(formats.size() + 1) +
                                      " file(s) converted, 0 job(s) failed"))
        << run.Out;
    EXPECT_TRUE(Contains(run.Out, std::to_string(formats.size() + 1) + " file(s) verified"))
        << run.Out;
    const WavPcm original = ReadWavPcm(Original());
    for (const SourceFormat& format : formats) {
        SCOPED_TRACE(format.Name);
        const std::string stem = fs::path(format.Name).stem().string();
        // Every one of them decoded first, the WAV files too.
        EXPECT_TRUE(Contains(run.Err, ": " + std::string(format.Name) + " -> kel")) << run.Err;
        const WavPcm decoded = DecodeBack(Outputs() + "/" + stem + ".flac", m_dir.Path().string());
        ASSERT_TRUE(decoded.Valid);
        EXPECT_EQ(decoded.Channels, 2);
        EXPECT_EQ(decoded.SampleRate, format.SampleRate);
        if (format.Lossless) {
            EXPECT_TRUE(decoded.Data == original.Data);
        } else {
            EXPECT_NEAR(static_cast<double>(decoded.Frames()) / decoded.SampleRate, 2.0, 0.05);
        }
    }
    // The float source keeps its resolution as 24 bits; a plain PCM WAV file is coded as it is.
    EXPECT_EQ(DecodeBack(Outputs() + "/m.flac", m_dir.Path().string()).Bits, 24);
    EXPECT_FALSE(Contains(run.Err, ": p.wav -> kel")) << run.Err;
    EXPECT_TRUE(Contains(run.Err, "done coder FLAC: p.wav -> p.flac")) << run.Err;
}

TEST_F(CliSourceFormatsTest, DsdBecomes24BitPcmAt88kHzWithItsLevelKept) {
    // Half of full scale: a sine whose power is a quarter of the modulator's largest.
    const double peak = 0.5;
    ASSERT_TRUE(WriteDsdSine(Sources() + "/a.dsf", DsdFile::Dsf, 2, 1.0, peak));
    ASSERT_TRUE(WriteDsdSine(Sources() + "/b.dff", DsdFile::Dsdiff, 1, 1.0, peak));

    // Listed as the 1-bit streams they are (NativeLengthReaders checks how), which must not
    // make the decoder write 16 bits.
    const CliResult run = Run("--coder FLAC --verify --output " + ShellQuoted(Outputs()) + " " +
                              ShellQuoted(Sources()));

    ASSERT_EQ(run.Exit, 0) << run.Out << run.Err;
    EXPECT_TRUE(Contains(run.Out, "2 file(s) verified")) << run.Out;
    for (const auto& [name, channels] : {std::pair{"a", 2}, std::pair{"b", 1}}) {
        SCOPED_TRACE(name);
        const WavPcm pcm = DecodeBack(Outputs() + "/" + name + ".flac", m_dir.Path().string());
        ASSERT_TRUE(pcm.Valid);
        EXPECT_EQ(pcm.Bits, 24);
        EXPECT_EQ(pcm.SampleRate, 88200);
        EXPECT_EQ(pcm.Channels, channels);
        EXPECT_NEAR(static_cast<double>(pcm.Frames()), 88200.0, 2.0);
        // A sine's power is its peak over the square root of two: within 0.2 dB.
        EXPECT_NEAR(20 * std::log10(RootMeanSquare(pcm) / (peak / std::sqrt(2.0))), 0.0, 0.2);
    }
}

}  // namespace
