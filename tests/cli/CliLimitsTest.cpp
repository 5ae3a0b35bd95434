// kelto-cli's highest sample rate and bit depth, and sources fitted to what their coder's
// program takes: real sources made by sox, the shipped packages, the outputs read by ffprobe.

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "CliFixture.h"
#include "session/EngineFiles.h"

namespace fs = std::filesystem;

namespace {

// What a program printed on its standard output, its last line break dropped.
std::string Output(const std::string& command) {
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe)) text += buffer;
        pclose(pipe);
    }
    while (!text.empty() && (text.back() == '\n' || text.back() == ',')) text.pop_back();
    return text;
}

// "rate/channels/bits" of a file's first audio stream, the bits only where the format stores
// them (FLAC), as ffprobe reads them.
std::string Properties(const std::string& path) {
    std::istringstream lines(Output("ffprobe -v error -select_streams a:0 -show_entries "
                                    "stream=sample_rate,channels,bits_per_raw_sample "
                                    "-of default=nw=1 " +
                                    ShellQuoted(path)));
    std::map<std::string, std::string> values;
    for (std::string line; std::getline(lines, line);) {
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos) values[line.substr(0, equals)] = line.substr(equals + 1);
    }
    std::string text = values["sample_rate"] + "/" + values["channels"];
    const std::string bits = values["bits_per_raw_sample"];
    if (!bits.empty() && std::isdigit(static_cast<unsigned char>(bits[0]))) text += "/" + bits;
    return text;
}

// The MD5 of a file's decoded samples as 32-bit integers, whatever their container.
std::string SamplesMd5(const std::string& path) {
    return Output("ffmpeg -nostdin -v error -i " + ShellQuoted(path) +
                  " -map 0:a:0 -c:a pcm_s32le -f md5 -");
}

class CliLimitsTest : public CliFixture {
protected:
    CliLimitsTest() : CliFixture(CliStreams::Together) {}
};

TEST_F(CliLimitsTest, SourcesAboveALimitOrBeyondTheirCoderAreFittedAndTheOthersKeptBitExact) {
    struct Case {
        const char* name;     // the source, made by sox from its options
        const char* sox;      // sox's output options
        const char* coder;    // coder and limits
        const char* limits;
        const char* expected;  // rate/channels/bits of the output (bits: FLAC only)
        bool bitExact;         // the output holds the source's very samples
    };
    const Case cases[] = {
        {"hi.flac", "-r 96000 -b 24 -c 2", "FLAC", "--max-rate 48000 --max-bits 16",
         "48000/2/16", false},
        {"cd.flac", "-r 88200 -b 24 -c 2", "FLAC", "--max-rate 48000", "44100/2/24", false},
        {"within.flac", "-r 44100 -b 16 -c 2", "FLAC", "--max-rate 48000 --max-bits 16",
         "44100/2/16", true},
        {"within.wav", "-r 48000 -b 24 -c 1", "FLAC", "--max-rate 48000 --max-bits 24",
         "48000/1/24", true},
        {"hi.wav", "-r 96000 -b 24 -c 2", "FLAC", "--max-rate 48000", "48000/2/24", false},
        {"odd.wav", "-r 192000 -b 16 -c 1", "FLAC", "--max-rate 44100", "44100/1/16", false},
        {"surround.wav", "-r 48000 -b 16 -c 6", "MP3", "", "48000/2", false},
        {"hi.mp3src.wav", "-r 96000 -b 16 -c 2", "MP3", "", "48000/2", false},
        {"float.wav", "-r 44100 -b 32 -e floating-point -c 2", "FLAC", "", "44100/2/24", false},
        {"speex.flac", "-r 96000 -b 24 -c 2", "Speex", "", "48000/2", false},
        {"speex24k.wav", "-r 24000 -b 16 -c 1", "Speex", "", "32000/1", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string source = m_dir / c.name;
        // An odd number of frames, so that the resampled length is rounded.
        ASSERT_TRUE(RunShell("sox -n " + std::string(c.sox) + " " + ShellQuoted(source) +
                             " synth 0.70001 sine 440 vol 0.5"));
        const std::string output = m_dir / (std::string("out-") + c.name);
        const CliResult run =
            Run(std::string("--coder ") + c.coder + " " + c.limits + " --verify --output " +
                ShellQuoted(output) + " " + ShellQuoted(source));
        const std::string& out = run.Out;
        ASSERT_EQ(run.Exit, 0) << out;
        // The one output, beside kelto's hidden record of it.
        std::vector<std::string> outputs;
        for (const auto& entry : fs::directory_iterator(output)) {
            if (entry.path().filename().string()[0] != '.') outputs.push_back(entry.path());
        }
        ASSERT_EQ(outputs.size(), 1u) << out;
        const std::string written = outputs.front();
        EXPECT_EQ(Properties(written), c.expected) << out;
        // The full check compared the output with what the source became.
        EXPECT_NE(out.find("1 file(s) verified"), std::string::npos) << out;
        if (c.bitExact) {
            EXPECT_EQ(SamplesMd5(written), SamplesMd5(source));
            // Within the limits nothing resamples: the FFmpeg decoder is not asked.
            EXPECT_EQ(out.find("decoder FFmpeg"), std::string::npos) << out;
        } else {
            EXPECT_NE(SamplesMd5(written), SamplesMd5(source));
        }
    }
}

TEST_F(CliLimitsTest, AFitWithoutTheFFmpegDecoderFailsBeforeAnyProgramRunsAndSaysWhy) {
    // A working folder whose FFmpeg decoder package is gone, as when it is not installed.
    const std::string work = m_dir / "work";
    ASSERT_TRUE(RunShell("cp -a " + ShellQuoted(KELTO_WORK_DIR) + " " + ShellQuoted(work) +
                         " && rm -rf " + ShellQuoted(work + "/Decoders/FFmpeg")));
    const std::string source = m_dir / "hi.flac";
    ASSERT_TRUE(RunShell("sox -n -r 96000 -b 24 " + ShellQuoted(source) + " synth 0.2 sine 440"));
    const std::string output = m_dir / "out";
    const CliResult fit = Run(
        "--coder FLAC --max-rate 48000 --output " + ShellQuoted(output) + " " + ShellQuoted(source),
        work);
    EXPECT_EQ(fit.Exit, 2);
    EXPECT_NE(fit.Out.find(source + ": Its decoding step needs the FFmpeg decoder"),
              std::string::npos)
        << fit.Out;
    EXPECT_FALSE(fs::exists(output + "/hi.flac"));
    // Within the limits the same file converts as it always did, through its own decoder.
    const CliResult within = Run(
        "--coder FLAC --max-rate 96000 --output " + ShellQuoted(output) + " " + ShellQuoted(source),
        work);
    EXPECT_EQ(within.Exit, 0) << within.Out;
    EXPECT_EQ(Properties(output + "/hi.flac"), "96000/1/24");
}

}  // namespace
