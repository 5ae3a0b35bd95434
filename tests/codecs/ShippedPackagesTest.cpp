#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "CodecRunner.h"
#include "codecs/CoderList.h"
#include "codecs/DecoderList.h"
#include "core/Templates.h"
#include "support/DsdFiles.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

// The packages shipped in the built working folder, run on real audio.

namespace {

const std::string kWork = KELTO_WORK_DIR;

// Coders whose output must decode to exactly the source samples.
const std::set<std::string> kLossless = {"FLAC", "WavPack", "ALAC (M4A)", "True Audio (TTA)"};

struct Catalogue {
    CCoderList Coders;
    CDecoderList Decoders;

    Catalogue() {
        Coders.LoadFromFolder(kWork + "/Coders");
        Decoders.LoadFromFolder(kWork + "/Decoders");
    }

    // The first decoder preset for an extension, as the job preparation picks it.
    CDecoder* DecoderFor(const std::string& extension, const CPreset** preset) const {
        for (int i = 0; i < Decoders.GetCount(); ++i) {
            for (const CPreset& candidate : Decoders.GetAt(i)->GetPresets()) {
                if (candidate.Extension == extension) {
                    *preset = &candidate;
                    return Decoders.GetAt(i);
                }
            }
        }
        return nullptr;
    }
};

int RunPreset(CCodec& codec, const CPreset& preset, const std::string& in, const std::string& out,
              int sampleRate, const std::string& log) {
    std::string commandLine;
    if (!ExpandTemplate(preset.CommandLine, TemplateValues{in, out, sampleRate, 2}, commandLine)) {
        ADD_FAILURE() << "cannot expand " << preset.CommandLine;
        return -1;
    }
    return RunProgram(codec.GetProgramPath(), commandLine, log);
}

// Decodes file with the shipped decoder for its extension; the WAV content.
WavContent DecodeBack(const Catalogue& catalogue, const std::string& file, const std::string& wav) {
    const std::string extension = fs::path(file).extension().string();
    const CPreset* preset = nullptr;
    CDecoder* decoder = catalogue.DecoderFor(extension, &preset);
    if (decoder == nullptr) {
        ADD_FAILURE() << "no shipped decoder for " << extension;
        return {};
    }
    EXPECT_EQ(RunPreset(*decoder, *preset, file, wav, 0, wav + ".log"), 0)
        << ReadFileBytes(wav + ".log");
    return ReadWav(wav);
}

TEST(ShippedPackages, AllCodersAndDecodersLoadWithTheirNames) {
    Catalogue catalogue;
    std::vector<std::string> coders;
    for (int i = 0; i < catalogue.Coders.GetCount(); ++i) {
        coders.push_back(catalogue.Coders.GetAt(i)->GetName());
        EXPECT_GT(catalogue.Coders.GetAt(i)->GetPresets().GetCount(), 0);
        EXPECT_FALSE(catalogue.Coders.GetAt(i)->GetDescription().empty());
    }
    EXPECT_EQ(coders,
              (std::vector<std::string>{"AAC (M4A)", "ALAC (M4A)", "FLAC", "MP3", "Opus", "Speex",
                                        "True Audio (TTA)", "Ogg Vorbis", "WavPack"}));
    std::set<std::string> extensions;
    for (int i = 0; i < catalogue.Decoders.GetCount(); ++i) {
        for (const CPreset& preset : catalogue.Decoders.GetAt(i)->GetPresets()) {
            extensions.insert(preset.Extension);
        }
    }
    EXPECT_EQ(extensions,
              (std::set<std::string>{".aac",  ".ac3",  ".aif", ".aifc", ".aiff", ".ape", ".au",
                                     ".bw64", ".caf",  ".dff", ".dsf",  ".dts",  ".eac3", ".ec3",
                                     ".flac", ".m4a",  ".m4b", ".mka",  ".mp+",  ".mp2",  ".mp3",
                                     ".mpc",  ".mpp",  ".oga", ".ogg",  ".opus", ".rf64", ".shn",
                                     ".snd",  ".spx",  ".tak", ".tta",  ".w64",  ".wav",  ".webm",
                                     ".wma",  ".wv"}));
    // The packages are links to the system's programs, not copies.
    EXPECT_TRUE(fs::is_symlink(kWork + "/Coders/FLAC/flac"));
    EXPECT_TRUE(fs::is_directory(kWork + "/Codecs"));
}

TEST(ShippedPackages, EveryCoderPresetMakesAPlayableFileThatReplacesAnOldOne) {
    Catalogue catalogue;
    ASSERT_GT(catalogue.Coders.GetCount(), 0);
    TempDir dir;
    const std::string source = dir / "source file.wav";
    ASSERT_TRUE(MakeSineWav(source, 44100, 2, 1.5));
    const WavContent original = ReadWav(source);
    ASSERT_TRUE(original.Valid);

    int checked = 0;
    for (int c = 0; c < catalogue.Coders.GetCount(); ++c) {
        CCoder& coder = *catalogue.Coders.GetAt(c);
        int index = 0;
        for (const CPreset& preset : coder.GetPresets()) {
            SCOPED_TRACE(coder.GetName() + ", " + preset.Name + ": " + preset.CommandLine);
            const std::string stem =
                dir / ("out " + std::to_string(c) + "-" + std::to_string(index++));
            const std::string output = stem + preset.Extension;
            WriteFileBytes(output, "an older file in the way");
            ASSERT_EQ(RunPreset(coder, preset, source, output, 44100, stem + ".log"), 0)
                << ReadFileBytes(stem + ".log");
            const WavContent decoded = DecodeBack(catalogue, output, stem + ".wav");
            ASSERT_TRUE(decoded.Valid);
            EXPECT_EQ(decoded.SampleRate, 44100);
            EXPECT_EQ(decoded.Channels, 2);
            EXPECT_EQ(decoded.BitsPerSample, 16);
            if (kLossless.count(coder.GetName()) > 0) {
                EXPECT_TRUE(decoded.Data == original.Data) << "lossless round trip differs";
            } else {
                EXPECT_NEAR(static_cast<double>(decoded.Frames()),
                            static_cast<double>(original.Frames()), 2048.0);
            }
            ++checked;
        }
    }
    EXPECT_EQ(checked, 25);
}

TEST(ShippedPackages, SourceSampleRatePresetReallyUsesIt) {
    Catalogue catalogue;
    TempDir dir;
    const std::string source = dir / "source.wav";
    ASSERT_TRUE(MakeSineWav(source, 44100, 1, 1.0));
    const CPreset* preset = nullptr;
    CCoder* coder = nullptr;
    for (int c = 0; c < catalogue.Coders.GetCount() && preset == nullptr; ++c) {
        for (const CPreset& candidate : catalogue.Coders.GetAt(c)->GetPresets()) {
            if (candidate.CommandLine.find("%orig_sr_hz%") != std::string::npos) {
                coder = catalogue.Coders.GetAt(c);
                preset = &candidate;
                break;
            }
        }
    }
    ASSERT_NE(preset, nullptr) << "no shipped preset uses %orig_sr_hz%";
    // The intermediate WAV may come at another rate than the source file (a decoder that
    // resamples); the output follows the rate handed in for the source.
    const std::string output = dir / ("out" + preset->Extension);
    ASSERT_EQ(RunPreset(*coder, *preset, source, output, 32000, dir / "log"), 0)
        << ReadFileBytes(dir / "log");
    const WavContent decoded = DecodeBack(catalogue, output, dir / "back.wav");
    ASSERT_TRUE(decoded.Valid);
    EXPECT_EQ(decoded.SampleRate, 32000);
    EXPECT_NEAR(static_cast<double>(decoded.Frames()), 32000.0, 64.0);
}

// Makes a file of the given extension from a WAV file with the system's tools, independently of
// the shipped presets.
bool MakeEncoded(const std::string& wav, const std::string& extension, const std::string& out) {
    const std::string q = "'";
    const std::string in = q + wav + q;
    const std::string to = q + out + q;
    const std::string ffmpeg = "ffmpeg -v error -nostdin -y -i " + in + " ";
    std::string command;
    if (extension == ".flac") command = "flac -s -f -o " + to + " " + in;
    if (extension == ".mp3") command = "lame --quiet " + in + " " + to;
    if (extension == ".ogg") command = "oggenc -Q -o " + to + " " + in;
    if (extension == ".opus") command = "opusenc --quiet " + in + " " + to;
    if (extension == ".wv") command = "wavpack -q -y " + in + " -o " + to;
    if (extension == ".spx") command = "speexenc " + in + " " + to + " 2>/dev/null";
    if (extension == ".m4a") command = ffmpeg + "-c:a aac " + to;
    if (extension == ".aac") command = ffmpeg + "-c:a aac -f adts " + to;
    if (extension == ".tta") command = ffmpeg + "-c:a tta " + to;
    if (extension == ".wma") command = ffmpeg + "-c:a wmav2 " + to;
    if (extension == ".mp2") command = ffmpeg + "-c:a mp2 " + to;
    if (extension == ".m4b") command = ffmpeg + "-c:a aac " + to;
    // Ogg audio as FLAC in Ogg, which no other decoder reads.
    if (extension == ".oga") command = ffmpeg + "-c:a flac " + to;
    // The WAV files coders cannot read: floating point, RF64 (and BW64, its twin).
    if (extension == ".wav") command = ffmpeg + "-c:a pcm_f32le " + to;
    if (extension == ".rf64" || extension == ".bw64") command = ffmpeg + "-rf64 always -f wav " + to;
    if (extension == ".aiff" || extension == ".aif" || extension == ".aifc" ||
        extension == ".w64" || extension == ".au" || extension == ".caf")
        command = "sox " + in + " -t " + extension.substr(1) + " " + to;
    if (extension == ".snd") command = "sox " + in + " -t au " + to;
    if (extension == ".mka" || extension == ".webm") command = ffmpeg + "-c:a libopus " + to;
    if (extension == ".ac3") command = ffmpeg + "-c:a ac3 " + to;
    if (extension == ".eac3" || extension == ".ec3") command = ffmpeg + "-c:a eac3 -f eac3 " + to;
    if (extension == ".dts") command = ffmpeg + "-strict -2 -c:a dca " + to;
    if (extension == ".mpc" || extension == ".mp+" || extension == ".mpp")
        command = "mpcenc --silent " + in + " " + to;
    if (extension == ".dsf" || extension == ".dff")
        return WriteDsdSine(out, extension == ".dsf" ? DsdFile::Dsf : DsdFile::Dsdiff, 2, 1.0,
                            0.5);
    return !command.empty() && RunShell(command);
}

TEST(ShippedPackages, EveryDecoderPresetDecodesARealFileOverAnOldOne) {
    Catalogue catalogue;
    ASSERT_GT(catalogue.Decoders.GetCount(), 0);
    TempDir dir;
    const std::string source = dir / "source.wav";
    ASSERT_TRUE(MakeSineWav(source, 48000, 2, 1.0));
    int checked = 0;
    for (int d = 0; d < catalogue.Decoders.GetCount(); ++d) {
        CDecoder& decoder = *catalogue.Decoders.GetAt(d);
        for (const CPreset& preset : decoder.GetPresets()) {
            SCOPED_TRACE(decoder.GetName() + " " + preset.Extension + ": " + preset.CommandLine);
            if (preset.Extension == ".ape" || preset.Extension == ".shn" ||
                preset.Extension == ".tak") {
                // Debian 12 has no Monkey's Audio, Shorten or TAK encoder to make a test file
                // with; the line must be the one the other FFmpeg formats prove.
                EXPECT_EQ(preset.CommandLine, decoder.GetPresets().GetAt(1)->CommandLine);
                continue;
            }
            const std::string encoded = dir / ("in" + preset.Extension);
            ASSERT_TRUE(MakeEncoded(source, preset.Extension, encoded));
            const std::string wav = dir / ("decoded " + preset.Extension.substr(1) + ".wav");
            WriteFileBytes(wav, "an older file in the way");
            ASSERT_EQ(RunPreset(decoder, preset, encoded, wav, 48000, wav + ".log"), 0)
                << ReadFileBytes(wav + ".log");
            const WavContent decoded = ReadWav(wav);
            ASSERT_TRUE(decoded.Valid);
            // DSD comes out as 24-bit PCM at 88.2 kHz, whatever the rate handed in.
            const bool dsd = preset.Extension == ".dsf" || preset.Extension == ".dff";
            const int rate = dsd ? 88200 : 48000;
            EXPECT_EQ(decoded.SampleRate, rate);
            if (dsd) {
                EXPECT_EQ(decoded.BitsPerSample, 24);
            }
            EXPECT_EQ(decoded.Channels, 2);
            EXPECT_NEAR(static_cast<double>(decoded.Frames()), rate, 2048.0);
            ++checked;
        }
    }
    EXPECT_EQ(checked, 13 + 21);
}

// Programs that can tell a damaged source from a good one are told to fail on it. lame,
// oggenc, opusenc and speexenc read a truncated WAV file without complaint and have no option
// to do otherwise; lame, oggdec, opusdec and speexdec likewise decode a truncated file. flac
// only warns about a truncated WAV file: the option that makes its warnings errors would also
// refuse the legacy 24- and 32-bit files older programs write.
TEST(ShippedPackages, PresetsFailOnATruncatedSource) {
    Catalogue catalogue;
    TempDir dir;
    const std::string good = dir / "good.wav";
    ASSERT_TRUE(MakeSineWav(good, 44100, 2, 2.0));
    const std::string whole = ReadFileBytes(good);
    const std::string truncated = dir / "truncated.wav";
    // Cut at a whole sample frame, so that only the missing length shows the damage.
    const std::size_t header = 44;
    WriteFileBytes(truncated,
                   whole.substr(0, header + ((whole.size() - header) / 2 & ~std::size_t{3})));

    const std::set<std::string> strictCoders = {"WavPack", "AAC (M4A)", "ALAC (M4A)",
                                                "True Audio (TTA)"};
    int checked = 0;
    for (int c = 0; c < catalogue.Coders.GetCount(); ++c) {
        CCoder& coder = *catalogue.Coders.GetAt(c);
        if (strictCoders.count(coder.GetName()) == 0) continue;
        for (const CPreset& preset : coder.GetPresets()) {
            SCOPED_TRACE(coder.GetName() + ", " + preset.Name);
            EXPECT_NE(RunPreset(coder, preset, truncated, dir / ("out" + preset.Extension), 44100,
                                dir / "log"),
                      0);
            ++checked;
        }
    }
    EXPECT_EQ(checked, 9);

    // Raw AAC (ADTS) is left out: it has no length anywhere, so a stream cut near a frame
    // boundary is a valid shorter stream and no decoder can tell.
    for (const std::string extension : {".flac", ".wv", ".m4a", ".tta", ".wma"}) {
        SCOPED_TRACE(extension);
        const std::string encoded = dir / ("in" + extension);
        ASSERT_TRUE(MakeEncoded(good, extension, encoded));
        const std::string bytes = ReadFileBytes(encoded);
        WriteFileBytes(encoded, bytes.substr(0, bytes.size() * 6 / 10));
        const CPreset* preset = nullptr;
        CDecoder* decoder = catalogue.DecoderFor(extension, &preset);
        ASSERT_NE(decoder, nullptr);
        EXPECT_NE(RunPreset(*decoder, *preset, encoded, dir / "out.wav", 44100, dir / "log"), 0);
    }
}

}  // namespace
