// kelto-cli as a user runs it: the built program in the built working folder, real sources,
// the shipped codec packages, outputs decoded back and compared.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "CliFixture.h"
#include "session/EngineFiles.h"
#include "support/programs/ProcessProbe.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

class CliTest : public CliFixture {
protected:
    void SetUp() override { fs::create_directories(Sources()); }

    std::string Sources() const { return m_dir / "sources"; }

    // Runs kelto-cli with the shipped working folder unless args name another.
    CliResult Run(const std::string& args, bool withWorkDir = true) {
        if (withWorkDir) return CliFixture::Run(args);
        return RunCommand(ShellQuoted(CliProgram()) + " " + args);
    }

    std::string Source(const std::string& name, int seed, int rate = 44100, int channels = 2) {
        const std::string original = m_dir / (name + ".orig.wav");
        WriteTestWav(original, rate, channels, 0.5, seed);
        const std::string path = Sources() + "/" + name;
        if (fs::path(name).extension() == ".wav") {
            fs::copy_file(original, path);
        } else {
            EXPECT_TRUE(EncodeWith(original, path)) << path;
        }
        return path;
    }

    void ExpectLossless(const std::string& output, const std::string& sourceName) {
        const WavPcm decoded = DecodeBack(output, m_dir.Path().string());
        const WavPcm original = ReadWavPcm(m_dir / (sourceName + ".orig.wav"));
        ASSERT_TRUE(decoded.Valid) << output;
        EXPECT_EQ(decoded.SampleRate, original.SampleRate);
        EXPECT_EQ(decoded.Channels, original.Channels);
        EXPECT_TRUE(decoded.Data == original.Data) << output;
    }
};

TEST_F(CliTest, VersionAndHelpExitWithZero) {
    const CliResult version = Run("--version", false);
    EXPECT_EQ(version.Exit, 0);
    EXPECT_TRUE(Contains(version.Out, "kelto ")) << version.Out;

    const CliResult help = Run("--help", false);
    EXPECT_EQ(help.Exit, 0);
    EXPECT_TRUE(Contains(help.Out, "--decode-only"));
}

TEST_F(CliTest, UsageErrorsExitWithTwoAndNameTheBadInput) {
    const std::string wav = Source("a.wav", 1);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"--bogus " + wav, "--bogus"},
        {"--threads 0 " + wav, "'0'"},
        {"--priority fast " + wav, "'fast'"},
        {"--coder Nope " + wav, "'Nope'"},
        {"--coder FLAC --preset 9 " + wav, "'9'"},
        {"--coder FLAC " + Sources() + "/missing.flac", "missing.flac"},
        {"--coder FLAC", "no input"},
        {"--coder FLAC --output " + wav + "/below " + wav, wav + "/below"},
        {"--decode-only --coder FLAC " + wav, "--decode-only"},
        {"--threads", "--threads"},
    };
    for (const auto& [args, named] : cases) {
        const CliResult result = Run(args);
        EXPECT_EQ(result.Exit, 2) << args;
        EXPECT_TRUE(Contains(result.Err, named)) << args << "\n" << result.Err;
        EXPECT_TRUE(result.Out.empty()) << args;
    }
    const CliResult badFolder = Run("--workdir " + Sources() + "/none " + wav, false);
    EXPECT_EQ(badFolder.Exit, 2);
    EXPECT_TRUE(Contains(badFolder.Err, "none"));
}

TEST_F(CliTest, NamedInputThatCannotBeReadIsAnErrorNotAUsageMistake) {
    const std::string good = Source("good.wav", 1);
    const std::string broken = Sources() + "/broken.wav";
    WriteFileBytes(broken, "RIFF, but nothing else");
    for (const std::string& input : {broken, Sources() + "/missing.flac"}) {
        const CliResult result = Run("--coder FLAC " + good + " " + input);
        EXPECT_EQ(result.Exit, 2) << input;
        EXPECT_TRUE(Contains(result.Err, input)) << result.Err;
        EXPECT_FALSE(Contains(result.Err, "--help")) << result.Err;
        EXPECT_TRUE(result.Out.empty()) << result.Out;
    }
}

TEST_F(CliTest, OutputFolderIsMadeAndUnreadableFilesOfAFolderAreSkippedWithAWarning) {
    fs::create_directories(m_dir / "sub");
    fs::create_directories(Sources() + "/sub");
    Source("a.wav", 1);
    Source("sub/b.flac", 2, 48000, 1);
    WriteFileBytes(Sources() + "/broken.wav", "RIFF, but nothing else");
    WriteFileBytes(Sources() + "/sub/broken.flac", "fLaC, but nothing else");
    const std::string dryOutput = m_dir / "dry/run";
    const std::string output = m_dir / "new/deeper/out";

    const CliResult dry = Run("--dry-run --coder FLAC --output " + dryOutput + " " + Sources());
    const CliResult result = Run("--coder FLAC --output " + output + " " + Sources());

    // Files that could not be read fail the run, though the others are converted.
    EXPECT_EQ(dry.Exit, 1) << dry.Err;
    EXPECT_FALSE(fs::exists(m_dir / "dry"));  // a dry run writes nothing, folders included
    ASSERT_EQ(result.Exit, 1) << result.Out << result.Err;
    EXPECT_TRUE(Contains(result.Out,
                         "2 of 2 file(s) converted, 0 job(s) failed, 2 could not be "
                         "read.\n"))
        << result.Out;
    EXPECT_TRUE(Contains(result.Err, "kelto-cli: warning: " + Sources() +
                                         "/broken.wav: cannot be read as an audio file; skipped\n"))
        << result.Err;
    EXPECT_TRUE(Contains(result.Err, "warning: " + Sources() + "/sub/broken.flac: ")) << result.Err;
    ExpectLossless(output + "/a.flac", "a.wav");
    ExpectLossless(output + "/b.flac", "sub/b.flac");
}

TEST_F(CliTest, FileWithoutDecoderIsAnUnusableInput) {
    const std::string notes = Sources() + "/notes.txt";
    WriteFileBytes(notes, "text");

    const CliResult result = Run("--coder FLAC " + notes);

    EXPECT_EQ(result.Exit, 2);
    EXPECT_TRUE(Contains(result.Err, notes)) << result.Err;
}

TEST_F(CliTest, SourcesOfOneBaseNameAllConvertUnderNumberedNames) {
    for (const char* folder : {"a", "b"}) {
        fs::create_directories(Sources() + "/" + folder);
        fs::create_directories(m_dir / folder);
    }
    const std::string first = Source("a/01.wav", 1);
    const std::string second = Source("b/01.wav", 2);
    const std::string flac = Source("song.flac", 3);
    const std::string mp3 = Source("song.mp3", 4, 48000, 1);
    const std::string output = m_dir / "out";
    fs::create_directories(output);
    const std::string inputs =
        " --output " + output + " " + first + " " + second + " " + flac + " " + mp3;

    const CliResult dryRun = Run("--dry-run --coder FLAC" + inputs);
    ASSERT_EQ(dryRun.Exit, 0) << dryRun.Err;
    EXPECT_TRUE(Contains(dryRun.Out, "\"" + output + "/01 (2).flac\\\"")) << dryRun.Out;
    EXPECT_TRUE(Contains(dryRun.Out, "\"" + output + "/song (2).flac\\\"")) << dryRun.Out;

    const CliResult result = Run("--coder FLAC --threads 2" + inputs);

    ASSERT_EQ(result.Exit, 0) << result.Out << result.Err;
    for (const char* name : {"01.flac", "01 (2).flac", "song.flac", "song (2).flac"}) {
        EXPECT_TRUE(Contains(result.Out, "Written: " + output + "/" + name + "\n")) << name;
    }
    ExpectLossless(output + "/01.flac", "a/01.wav");
    ExpectLossless(output + "/01 (2).flac", "b/01.wav");
    ExpectLossless(output + "/song.flac", "song.flac");
    const WavPcm fromMp3 = DecodeBack(output + "/song (2).flac", m_dir.Path().string());
    ASSERT_TRUE(fromMp3.Valid);
    EXPECT_EQ(fromMp3.SampleRate, 48000);
    EXPECT_EQ(fromMp3.Channels, 1);
    EXPECT_NEAR(static_cast<double>(fromMp3.Frames()), 0.5 * 48000, 0.03 * 48000);
}

TEST_F(CliTest, UnusableTmpdirFallsBackToTmpAndAnUnwritableTmpStopsTheRunNamingIt) {
    // Root writes through any permission bits; only a read-only mount refuses it, so the runs
    // happen in a mount namespace of their own.
    if (std::system("unshare -m true >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "no mount namespaces here";
    }
    const std::string flac = Source("song.flac", 3);
    const std::string locked = m_dir / "locked";
    fs::create_directories(locked);
    const std::string cli = CliCommand() + " --dry-run --coder MP3 " + ShellQuoted(flac);
    const auto inNamespace = [&](const std::string& mounts, const std::string& tmpdir) {
        const std::string script = mounts + " && TMPDIR=" + ShellQuoted(tmpdir) + " " + cli;
        return RunCommand("unshare -m sh -c " + ShellQuoted(script));
    };
    const std::string lockFolder =
        "mount -o bind,ro " + ShellQuoted(locked) + " " + ShellQuoted(locked);

    const CliResult fallback = inNamespace(lockFolder, locked);
    ASSERT_EQ(fallback.Exit, 0) << fallback.Err;
    EXPECT_TRUE(Contains(fallback.Out, "\\\"/tmp/kel")) << fallback.Out;
    EXPECT_FALSE(Contains(fallback.Out, locked)) << fallback.Out;

    const CliResult failed = inNamespace(lockFolder + " && mount -o bind,ro /tmp /tmp", locked);
    EXPECT_EQ(failed.Exit, 2);
    EXPECT_TRUE(Contains(failed.Err, flac + ": no temporary file can be made in /tmp"))
        << failed.Err;
    EXPECT_TRUE(failed.Out.empty()) << failed.Out;
}

TEST_F(CliTest, ListCodersPrintsCodersThenDecodersAsJsonLines) {
    const CliResult result = Run("--list-coders");
    ASSERT_EQ(result.Exit, 0);
    const auto lines = Lines(result.Out);
    ASSERT_GT(lines.size(), 4u);
    std::size_t coders = 0;
    while (coders < lines.size() && Contains(lines[coders], "\"kind\": \"coder\"")) ++coders;
    for (std::size_t i = coders; i < lines.size(); ++i) {
        EXPECT_TRUE(Contains(lines[i], "\"kind\": \"decoder\"")) << lines[i];
    }
    const std::string& passThrough = lines[coders - 1];
    EXPECT_TRUE(Contains(passThrough, "\"program\": null, \"presets\": []")) << passThrough;
    EXPECT_TRUE(Contains(result.Out, "\"name\": \"FLAC\", \"program\": \"" +
                                         std::string(KELTO_WORK_DIR) + "/Coders/FLAC/flac\""));
    EXPECT_TRUE(Contains(result.Out, "\"extension\": \".mp3\", \"command\": \"-V 2 %in% %out%\""));
}

TEST_F(CliTest, InfoPrintsTheAudioPropertiesOfEveryListedFile) {
    Source("mono.wav", 1, 48000, 1);
    Source("tone.flac", 2, 44100, 2);
    ASSERT_TRUE(RunShell("lame --quiet --cbr -b 320 " + ShellQuoted(Sources() + "/mono.wav") + " " +
                         ShellQuoted(Sources() + "/u.mp3")));

    const CliResult result = Run("--info " + Sources());

    ASSERT_EQ(result.Exit, 0) << result.Err;
    const auto lines = Lines(result.Out);
    ASSERT_EQ(lines.size(), 3u);
    // A plain decimal, as any JSON reader expects of a bit rate.
    EXPECT_TRUE(Contains(lines[2], "\"resolution\": 16, \"bit_rate\": 320, ")) << lines[2];
    EXPECT_TRUE(
        Contains(lines[0], "\"path\": \"" + Sources() +
                               "/mono.wav\", \"format\": "
                               "\"WAV\", \"format_id\": 3, \"size\": 48044, "
                               "\"sample_rate\": 48000, \"channels\": 1, \"resolution\": 16"))
        << lines[0];
    EXPECT_TRUE(Contains(lines[1], "\"format\": \"FLAC\", \"format_id\": 6")) << lines[1];
    EXPECT_TRUE(Contains(lines[1], "\"sample_rate\": 44100, \"channels\": 2")) << lines[1];
}

TEST_F(CliTest, DryRunShowsThePreparedJobsAndConvertsNothing) {
    const std::string flac = Source("song.flac", 3);
    const std::string output = m_dir / "out";
    fs::create_directories(output);

    const CliResult result =
        Run("--dry-run --coder MP3 --preset 'VBR V2 (about 190 kbit/s)' --output " + output + " " +
            flac);

    ASSERT_EQ(result.Exit, 0) << result.Err;
    EXPECT_TRUE(Contains(result.Out,
                         "\"decoder\": \"FLAC\", \"decoder_command\": \"-d -f -o "
                         "\\\"/tmp/kel"))
        << result.Out;
    EXPECT_TRUE(Contains(result.Out, "\"coder\": \"MP3\", \"coder_command\": \"-V 2 \\\"/tmp/kel"))
        << result.Out;
    EXPECT_TRUE(Contains(result.Out, "\"preset\": \"VBR V2 (about 190 kbit/s)\", \"output\": \"" +
                                         output + "/song.mp3\"}"));
    EXPECT_TRUE(fs::is_empty(output));
}

TEST_F(CliTest, ConvertsWavAndFlacSourcesToFlacBitExact) {
    Source("a.wav", 1);
    Source("b.flac", 2, 48000, 1);
    const std::string output = m_dir / "out";
    fs::create_directories(output);

    const CliResult result =
        Run("--coder FLAC --preset '-8 (smallest, slowest)' --threads 2 --output " + output + " " +
            Sources());

    EXPECT_EQ(result.Exit, 0) << result.Out << result.Err;
    EXPECT_TRUE(Contains(result.Out, "Written: " + output + "/a.flac\n")) << result.Out;
    EXPECT_TRUE(Contains(result.Out, "Written: " + output + "/b.flac\n")) << result.Out;
    // Standard error is no terminal here: one line per finished job.
    EXPECT_EQ(Lines(result.Err).size(), 3u) << result.Err;
    EXPECT_TRUE(Contains(result.Err, "done decoder FLAC: b.flac -> kel")) << result.Err;
    ExpectLossless(output + "/a.flac", "a.wav");
    ExpectLossless(output + "/b.flac", "b.flac");
}

TEST_F(CliTest, SourcesDecodedByFFmpegKeepTheirResolution) {
    // Hi-res downloads and rips as other programs write them: ALAC, TTA and FLAC in Ogg.
    const std::vector<std::pair<std::string, std::string>> sources = {
        {"alac24.m4a", "alac"},
        {"tta24.tta", "tta"},
        {"flac24.oga", "flac"},
        {"alac16.m4a", "alac"},
    };
    for (const auto& [name, codec] : sources) {
        const std::string bits = name.substr(name.find('.') - 2, 2);
        const std::string original = m_dir / (name + ".orig.wav");
        ASSERT_TRUE(RunShell("sox -q -n -r 48000 -c 2 -b " + bits + " " + ShellQuoted(original) +
                             " synth 0.5 whitenoise gain -3"));
        ASSERT_TRUE(RunShell("ffmpeg -v error -nostdin -y -i " + ShellQuoted(original) + " -c:a " +
                             codec + " " + ShellQuoted(Sources() + "/" + name)));
    }
    const std::string output = m_dir / "out";

    const CliResult result = Run("--coder FLAC --output " + output + " " + Sources());

    EXPECT_EQ(result.Exit, 0) << result.Out << result.Err;
    for (const auto& [name, codec] : sources) {
        const std::string flac = output + "/" + fs::path(name).stem().string() + ".flac";
        EXPECT_EQ(DecodeBack(flac, m_dir.Path().string()).Bits,
                  std::stoi(name.substr(name.find('.') - 2, 2)))
            << flac;
        ExpectLossless(flac, name);
    }
}

TEST_F(CliTest, ConvertsToMp3KeepingLengthAndFormat) {
    Source("c.ogg", 3, 48000, 2);
    Source("d.wv", 4, 44100, 1);
    const std::string output = m_dir / "out";
    fs::create_directories(output);

    const CliResult result = Run("--coder MP3 --threads 2 --output " + output + " " + Sources());

    ASSERT_EQ(result.Exit, 0) << result.Out << result.Err;
    for (const auto& [name, rate, channels] :
         {std::tuple{"c", 48000, 2}, std::tuple{"d", 44100, 1}}) {
        const WavPcm decoded = DecodeBack(output + "/" + name + ".mp3", m_dir.Path().string());
        ASSERT_TRUE(decoded.Valid) << name;
        EXPECT_EQ(decoded.SampleRate, rate);
        EXPECT_EQ(decoded.Channels, channels);
        EXPECT_NEAR(static_cast<double>(decoded.Frames()), 0.5 * rate, 0.03 * rate) << name;
    }
}

TEST_F(CliTest, DecodeOnlyWritesTheWavBesideItsSource) {
    Source("e.flac", 5);
    const std::string playlist = m_dir / "list.m3u";
    WriteFileBytes(playlist, Sources() + "/e.flac\r\n");

    const CliResult result = Run("--decode-only " + playlist);

    EXPECT_EQ(result.Exit, 0) << result.Err;
    EXPECT_TRUE(Contains(result.Out, "Written: " + Sources() + "/e.wav")) << result.Out;
    ExpectLossless(Sources() + "/e.wav", "e.flac");
}

TEST_F(CliTest, CorruptSourceFailsTheRunWithTheJobsStatusAndCommand) {
    const std::string good = Source("good.wav", 1);
    const std::string broken = Source("broken.flac", 2);
    std::string bytes = ReadFileBytes(broken);
    for (std::size_t i = bytes.size() / 3; i < bytes.size(); i += 7) bytes[i] = '\x55';
    WriteFileBytes(broken, bytes);
    const std::string output = m_dir / "out";
    fs::create_directories(output);

    const CliResult result = Run("--coder FLAC --output " + output + " " + good + " " + broken);

    EXPECT_EQ(result.Exit, 1);
    EXPECT_TRUE(Contains(result.Out, "Written: " + output + "/good.flac")) << result.Out;
    EXPECT_TRUE(Contains(result.Out, "Failed: decoder FLAC for " + broken + ": exit status "))
        << result.Out;
    EXPECT_TRUE(Contains(result.Out, "command: " + std::string(KELTO_WORK_DIR) +
                                         "/Decoders/FLAC/flac -d -f -o \"/tmp/kel"))
        << result.Out;
    EXPECT_TRUE(Contains(result.Out, "Failed: coder FLAC for " + broken + ": not run"))
        << result.Out;
    EXPECT_FALSE(fs::exists(output + "/broken.flac"));
}

TEST_F(CliTest, FailedJobIsReportedWithTheProgramsOwnReason) {
    // A speaker layout (2.1) FFmpeg's ALAC encoder does not store: the program refuses it. (A
    // rate speexenc refuses is fitted to one it takes, which no longer fails.)
    Source("plain.wav", 1);
    const std::string source = Sources() + "/voice.wav";
    ASSERT_TRUE(RunShell("ffmpeg -v error -nostdin -f lavfi -i sine=f=440:d=0.3 -af "
                         "'pan=2.1|FL=c0|FR=c0|LFE=c0' -c:a pcm_s16le -y " +
                         ShellQuoted(source)));

    const CliResult result =
        Run("--coder 'ALAC (M4A)' --output " + (m_dir / "out") + " " + source);

    EXPECT_EQ(result.Exit, 1);
    EXPECT_TRUE(Contains(result.Out, "Failed: coder ALAC (M4A) for " + source +
                                         ": exit status 1: Error reinitializing filters!"))
        << result.Out;
}

// Field 19 of /proc/<pid>/stat: the nice value.
std::string NiceOf(int pid) { return probe::StatField(pid, 19); }

// A working folder whose FLAC coder sleeps before coding, so a run can be interrupted.
class CliSignalTest : public CliTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(CliSignalTest, SignalStopsTheRunReportsAndExitsWithOne) {
    const std::string work = m_dir / "work";
    const std::string log = m_dir / "log.txt";
    fs::create_directories(work);
    fs::create_directory_symlink(std::string(KELTO_WORK_DIR) + "/Languages", work + "/Languages");
    WriteRecordingPackage(work + "/Coders", "Slow", true, "/usr/bin/flac",
                          {{"Slow", "flac", "-f -o %out% %in%"}}, {log, 30, true});
    Source("one.wav", 1);
    Source("two.wav", 2);
    const std::string output = m_dir / "out";
    fs::create_directories(output);
    // An output of an earlier run, which this run writes anew apart from it.
    WriteFileBytes(output + "/one.flac", "an older output");
    const std::string unfinished = output + "/one.kelto-new.flac";
    // Whatever fails below, no kelto-cli of this test outlives it.
    const CliInBackground cli(CliCommand(work) +
                                  " --coder Slow --threads 1 --priority idle --output " +
                                  ShellQuoted(output) + " " + ShellQuoted(Sources()) + " >" +
                                  ShellQuoted(m_dir / "out.txt") + " 2>/dev/null",
                              m_dir.Path().string());
    // The wrapper logs its start, then writes a partial output and sleeps.
    int coderPid = 0;
    for (int i = 0; i < 1000 && (coderPid == 0 || !fs::exists(unfinished)); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const auto events = ReadLog(log);
        if (!events.empty()) coderPid = events[0].Pid;
    }
    ASSERT_NE(coderPid, 0);
    ASSERT_TRUE(fs::exists(unfinished));
    const int cliPid = cli.Pid();
    ASSERT_GT(cliPid, 0);
    EXPECT_EQ(NiceOf(coderPid), "19");  // --priority idle reaches the program

    ASSERT_EQ(
        std::system(("kill -" + std::string(GetParam()) + " " + std::to_string(cliPid)).c_str()),
        0);

    for (int i = 0; i < 1000 && !cli.Ended(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(cli.Ended());
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(cli.Exit(), 1);
    const std::string out = ReadFileBytes(m_dir / "out.txt");
    EXPECT_TRUE(Contains(out, "Stopped by signal")) << out;
    EXPECT_TRUE(Contains(out, "Failed: coder Slow for " + Sources() + "/one.wav: signal 9")) << out;
    EXPECT_FALSE(fs::exists("/proc/" + std::to_string(coderPid) + "/cmdline"));
    // The partial output is gone and the older one untouched.
    EXPECT_FALSE(fs::exists(unfinished));
    EXPECT_EQ(ReadFileBytes(output + "/one.flac"), "an older output");
    EXPECT_EQ(ReadLog(log).size(), 1u);  // the second file's coder never started
}

INSTANTIATE_TEST_SUITE_P(Signals, CliSignalTest, ::testing::Values("INT", "TERM"));

}  // namespace
