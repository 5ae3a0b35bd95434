// Every preset of every shipped coder on files as other programs write them, through kelto's
// own path: the catalogue of the built working folder, the file list, Apply and Start, and the
// core running the real programs. Each output is decoded back: lossless ones must hold the
// samples their coder was given, lossy ones the length and layout.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>

#include "CodecRunner.h"
#include "Corpus.h"
#include "codecs/Coder.h"
#include "codecs/Decoder.h"
#include "core/Core.h"
#include "core/Templates.h"
#include "base/WorkingFolder.h"
#include "fileinfo/FileInfo.h"
#include "session/Catalogue.h"
#include "session/Conversion.h"
#include "session/SourceFit.h"
#include "session/FileList.h"
#include "settings/SettingsSet.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

const std::string kWork = KELTO_WORK_DIR;

class CNoDecoderReport : public IConversionReport {
public:
    void ReportNoDecoder(const CFileInfo& file) override { NoDecoder.push_back(file.Path); }
    void ReportOverwrite() override {}
    std::vector<std::string> NoDecoder;
};

bool IsLossless(const std::string& coder) {
    return coder == "FLAC" || coder == "WavPack" || coder == "ALAC (M4A)" ||
           coder == "True Audio (TTA)";
}

// The speaker layouts FFmpeg's ALAC encoder stores (the "side" ones are stored under their
// "back" names, sample for sample).
bool AlacTakesLayout(const WavContent& in) {
    if (!in.Extensible || in.ChannelMask == 0) return in.Channels <= 2;
    static const std::set<std::uint32_t> masks = {0x4,   0x3,  0x7,   0x107, 0x37,
                                                  0x607, 0x3F, 0x60F, 0x13F, 0xFF};
    return masks.count(in.ChannelMask) > 0;
}

// Why the coder's program refuses a WAV file like in; empty when it takes it. These are the
// programs' own limits, listed in packages/README.md.
std::string Refusal(const std::string& coder, const WavContent& in) {
    const bool isFloat = in.FormatTag == 3;
    if (coder == "FLAC" && isFloat) return "flac codes integer samples only";
    if (coder == "MP3" && in.Channels > 2) return "lame codes mono and stereo only";
    if ((coder == "Opus" || coder == "Ogg Vorbis") && !isFloat && in.BitsPerSample == 32) {
        return "no 32-bit integer samples";
    }
    if (coder == "Speex") {
        static const std::set<int> rates = {8000, 11025, 16000, 22050, 32000, 44100, 48000};
        if (isFloat || in.BitsPerSample > 16 || in.Extensible || in.Channels > 2) {
            return "speexenc reads plain 8- and 16-bit mono or stereo WAV only";
        }
        if (rates.count(in.SampleRate) == 0) return "speexenc refuses this sample rate";
    }
    if (coder == "ALAC (M4A)" && !AlacTakesLayout(in)) return "no ALAC speaker layout";
    return {};
}

// ALAC and TTA hold at most 24 bits: FFmpeg keeps the upper 24 of 32-bit and float samples.
std::vector<std::int32_t> ExpectedLosslessSamples(const std::string& coder, const WavContent& in) {
    std::vector<std::int32_t> samples = NormalisedSamples(in);
    if ((coder == "ALAC (M4A)" || coder == "True Audio (TTA)") && in.BitsPerSample == 32) {
        for (std::int32_t& sample : samples) sample &= ~std::int32_t{0xFF};
    }
    return samples;
}

int LossyRate(const std::string& coder, int rate) {
    return coder == "MP3" && rate > 48000 ? 48000 : rate;
}

double Seconds(const WavContent& wav) {
    return wav.SampleRate > 0 ? static_cast<double>(wav.Frames()) / wav.SampleRate : 0.0;
}

// Lossy coders pad to whole blocks (AAC by up to 2048 samples); none may cut anything.
void ExpectSameLength(const WavContent& decoded, double seconds) {
    EXPECT_GE(Seconds(decoded), seconds - 0.005);
    EXPECT_LE(Seconds(decoded), seconds + 2048.0 / decoded.SampleRate + 0.005);
}

class CorpusRun {
public:
    CorpusRun() {
        m_catalogue.Load(CWorkingFolder(kWork), "WAV (decode only)", false);
        fs::create_directories(m_dir / "sources");
        fs::create_directories(m_dir / "decoded");
    }

    CCatalogue& Catalogue() { return m_catalogue; }
    std::string Folder(const std::string& name) const { return m_dir / name; }

    // Runs a shipped decoder the way the core would, for the test's own decoding; resolution
    // stands for the listed source's.
    bool DecodeWithPackage(const std::string& file, const std::string& wav, int resolution = 0) {
        const std::string extension = PathExtension(file);
        for (int i = 0; i < m_catalogue.GetDecoders().GetCount(); ++i) {
            CDecoder& decoder = *m_catalogue.GetDecoders().GetAt(i);
            for (const CPreset& preset : decoder.GetPresets()) {
                if (preset.Extension != extension) continue;
                std::string commandLine;
                ExpandTemplate(preset.CommandLine, TemplateValues{file, wav, 0, 0, resolution},
                               commandLine);
                return RunProgram(decoder.GetProgramPath(), commandLine, wav + ".log") == 0;
            }
        }
        return false;
    }

    // Decodes a lossless output without losing a bit: FLAC and WavPack with their shipped
    // decoders, ALAC and TTA with FFmpeg to 32-bit samples (the shipped FFmpeg decoder writes
    // 16-bit WAV files, and this FFmpeg cannot read 32-bit FLAC files).
    WavContent DecodeExactly(const std::string& file, const std::string& wav) {
        const std::string extension = PathExtension(file);
        if (extension != ".m4a" && extension != ".tta") {
            return DecodeWithPackage(file, wav) ? ReadWav(wav) : WavContent{};
        }
        if (!RunShell("ffmpeg -v error -nostdin -y -i " + ShellQuote(file) +
                      " -map 0:a:0 -c:a pcm_s32le " + ShellQuote(wav))) {
            return {};
        }
        return ReadWav(wav);
    }

private:
    TempDir m_dir;
    CCatalogue m_catalogue;
};

// The input each source gives its coder: the WAV source itself, or what its decoder writes (a
// WAV file most coders cannot read, as the float one, is decoded too). Checks on the way that
// the decoder reads the source whole.
WavContent CoderInput(CorpusRun& run, const CorpusFile& file, int index) {
    CFileInfo listed;
    EXPECT_TRUE(listed.Open(file.Path, nullptr)) << file.Path;
    if (PathExtension(file.Path) == ".wav" && !listed.NeedsDecoding) return ReadWav(file.Path);
    const std::string wav = run.Folder("decoded") + "/" + std::to_string(index) + ".wav";
    if (!run.DecodeWithPackage(file.Path, wav, listed.Resolution)) {
        ADD_FAILURE() << "the shipped decoder fails: " << ReadFileBytes(wav + ".log");
        return {};
    }
    const WavContent decoded = ReadWav(wav);
    EXPECT_TRUE(decoded.Valid);
    EXPECT_EQ(decoded.Channels, file.Channels);
    EXPECT_EQ(decoded.SampleRate, file.SampleRate);
    // FFmpeg's WMA encoder leaves out the last partial block of the corpus file.
    EXPECT_NEAR(Seconds(decoded), kCorpusSeconds, 2048.0 / file.SampleRate);
    if (!file.Original.empty()) {
        EXPECT_TRUE(NormalisedSamples(decoded) == NormalisedSamples(ReadWav(file.Original)))
            << "decoding a lossless source changed its samples";
    }
    return decoded;
}

void CheckOutput(CorpusRun& run, const std::string& coder, const CPreset& preset,
                 const CFileInfo& file, const WavContent& in, const std::string& scratch) {
    const std::string& output = file.OutputPath;
    ASSERT_TRUE(fs::exists(output)) << output;
    EXPECT_EQ(PathExtension(output), preset.Extension);
    // A preset at the source's rate resamples the decoder's output back to the listed rate.
    const bool atListedRate = preset.CommandLine.find("%orig_sr_hz%") != std::string::npos;
    const int rate = atListedRate ? file.SampleRate : LossyRate(coder, in.SampleRate);
    if (IsLossless(coder) && rate == in.SampleRate) {
        const WavContent decoded = run.DecodeExactly(output, scratch);
        ASSERT_TRUE(decoded.Valid);
        EXPECT_EQ(decoded.Channels, in.Channels);
        EXPECT_EQ(decoded.SampleRate, in.SampleRate);
        EXPECT_TRUE(NormalisedSamples(decoded) == ExpectedLosslessSamples(coder, in))
            << "the lossless output differs from its input";
        return;
    }
    ASSERT_TRUE(run.DecodeWithPackage(output, scratch)) << ReadFileBytes(scratch + ".log");
    const WavContent decoded = ReadWav(scratch);
    ASSERT_TRUE(decoded.Valid);
    EXPECT_EQ(decoded.Channels, in.Channels);
    EXPECT_EQ(decoded.SampleRate, rate);
    ExpectSameLength(decoded, Seconds(in));
}

enum class Outcome { Converted, Refused, Fitted, Other };

// A source beyond what the coder's program takes is fitted to it when decoded: the coder then
// succeeds, and its output has the fitted rate and channels and the source's length.
void CheckFittedOutput(CorpusRun& run, const SourceFit& fit, const CFileInfo& file,
                       const WavContent& in, const std::string& scratch) {
    ASSERT_TRUE(file.Decoder && !file.GetDecodeFit().Options.empty())
        << "not fitted: " << (file.Decoder ? file.Decoder->GetCommandLine() : "no decoder");
    ASSERT_TRUE(file.Coder->GetExitStatus().Succeeded()) << file.Coder->GetCommandLine();
    ASSERT_TRUE(run.DecodeWithPackage(file.OutputPath, scratch, 24))
        << ReadFileBytes(scratch + ".log");
    const WavContent decoded = ReadWav(scratch);
    ASSERT_TRUE(decoded.Valid);
    EXPECT_EQ(decoded.Channels, fit.Channels > 0 ? fit.Channels : in.Channels);
    EXPECT_EQ(decoded.SampleRate, fit.SampleRate);
    ExpectSameLength(decoded, Seconds(in));
}

// Checks the jobs one file had in the run: its decoder, and its coder, which must succeed unless
// its program refuses the input it was given.
Outcome CheckJobs(CorpusRun& run, const CCoder& package, const CPreset& preset,
                  const CFileInfo& file, const WavContent& in, const std::string& scratch) {
    const std::string coder = package.GetName();
    if (!file.Coder) {
        ADD_FAILURE() << "no coder job";
        return Outcome::Other;
    }
    if (file.Decoder) {
        EXPECT_EQ(file.Decoder->GetExitStatus().Succeeded(), in.Valid);
    }
    if (!in.Valid) return Outcome::Other;  // its decoder failed, which is reported already
    if (preset.CommandLine.find("%orig_sr_hz%") != std::string::npos && file.SampleRate <= 0) {
        return Outcome::Other;  // listed without a rate, so the preset has none to use
    }
    const SourceFit fit =
        SourceFit::Plan(file, FitLimits::Of(0, 0, &package.GetProperties()));
    if (fit.Needed && preset.CommandLine.find("%orig_sr_hz%") == std::string::npos) {
        CheckFittedOutput(run, fit, file, in, scratch);
        return Outcome::Fitted;
    }
    const ProcessExitStatus status = file.Coder->GetExitStatus();
    const std::string refusal = Refusal(coder, in);
    if (!refusal.empty()) {
        // The run reports the job as failed, with the program's exit status.
        EXPECT_EQ(status.state, ProcessExitStatus::State::Exited) << refusal;
        EXPECT_NE(status.exitCode, 0) << "expected a failure: " << refusal;
        return Outcome::Refused;
    }
    if (!status.Succeeded()) {
        ADD_FAILURE() << "exit status " << status.exitCode << ": " << file.Coder->GetCommandLine();
        return Outcome::Other;
    }
    CheckOutput(run, coder, preset, file, in, scratch);
    return Outcome::Converted;
}

TEST(Corpus, EveryPresetConvertsWhatItsProgramTakesAndFailsVisiblyOnTheRest) {
    CorpusRun run;
    const std::vector<CorpusFile> corpus = MakeCorpus(run.Folder("sources"));
    ASSERT_FALSE(corpus.empty());

    std::vector<WavContent> inputs;
    for (std::size_t i = 0; i < corpus.size(); ++i) {
        SCOPED_TRACE("decoding " + corpus[i].Path);
        inputs.push_back(CoderInput(run, corpus[i], static_cast<int>(i)));
    }

    CCatalogue& catalogue = run.Catalogue();
    std::map<std::string, int> refusals;
    std::map<std::string, int> converted;
    std::map<std::string, int> fitted;
    for (int c = 0; c < catalogue.GetPassThroughIndex(); ++c) {
        const CCoder& coder = *catalogue.GetCoders().GetAt(c);
        for (int p = 0; p < coder.GetPresets().GetCount(); ++p) {
            const CPreset& preset = *coder.GetPresets().GetAt(p);
            SCOPED_TRACE(coder.GetName() + ", " + preset.Name + ": " + preset.CommandLine);
            // The first preset of each coder takes every file, the others a representative few.
            std::vector<std::size_t> rows;
            CFileList files;
            for (std::size_t i = 0; i < corpus.size(); ++i) {
                if (p != 0 && !corpus[i].Representative) continue;
                ASSERT_TRUE(files.Add(corpus[i].Path)) << "kelto does not list " << corpus[i].Path;
                rows.push_back(i);
            }
            const std::string outputs =
                run.Folder("out " + std::to_string(c) + "-" + std::to_string(p));
            fs::create_directories(outputs);
            CSettingsSet settings;
            settings.General.OutputFolderSameAsOriginal = 0;
            settings.General.OutputFolder = outputs;
            CCore core;
            core.SetThreadsCount(2);
            CConversion conversion(settings, files, catalogue, core);
            CNoDecoderReport report;
            conversion.Apply({c, p}, {}, &report);
            // As kelto-cli runs them: the programs' own output would bury the test's.
            for (int f = 0; f < files.Count(); ++f) {
                if (files.Get(f)->Decoder) files.Get(f)->Decoder->SetShowWindow(0);
                if (files.Get(f)->Coder) files.Get(f)->Coder->SetShowWindow(0);
            }
            EXPECT_GT(conversion.Start({c, p}, &report), 0);
            core.WaitForWorkers();
            conversion.FinishRun();  // outputs written apart get their own names
            EXPECT_TRUE(report.NoDecoder.empty()) << report.NoDecoder.front();

            for (int f = 0; f < files.Count(); ++f) {
                SCOPED_TRACE(files.Get(f)->Path);
                const Outcome outcome =
                    CheckJobs(run, coder, preset, *files.Get(f), inputs[rows[f]],
                              outputs + "/decoded " + std::to_string(f) + ".wav");
                if (outcome == Outcome::Converted)
                    ++converted[coder.GetName() + ", " + preset.Name];
                if (outcome == Outcome::Refused) ++refusals[coder.GetName()];
                if (outcome == Outcome::Fitted) ++fitted[coder.GetName()];
            }
        }
    }
    // Every preset converted files, and each program's limits were met at least once.
    for (int c = 0; c < catalogue.GetPassThroughIndex(); ++c) {
        const CCoder& coder = *catalogue.GetCoders().GetAt(c);
        for (const CPreset& preset : coder.GetPresets()) {
            EXPECT_GT(converted[coder.GetName() + ", " + preset.Name], 0) << preset.Name;
        }
    }
    // FLAC refuses only float samples, which kelto decodes to 24-bit integers first; what the
    // packages declare their programs cannot take is fitted (every extensible WAV file of the
    // corpus has more than 16 bits or 2 channels, so Speex refuses none), and only ALAC's
    // layouts are left to fail.
    EXPECT_GT(refusals["ALAC (M4A)"], 0);
    for (const char* coder : {"MP3", "Opus", "Ogg Vorbis", "Speex"}) {
        EXPECT_GT(fitted[coder], 0) << coder;
        EXPECT_EQ(refusals[coder], 0) << coder;
    }
}

}  // namespace
