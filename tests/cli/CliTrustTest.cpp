// kelto-cli counts a file converted only when its output is there and whole: codec programs
// that exit 0 without a good output, a disk that fills up, and outputs that would take a
// source's place. The built program with the real codecs, plus a coder package whose program
// lies the ways real ones were seen to.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "CliFixture.h"
#include "session/EngineFiles.h"

namespace fs = std::filesystem;

namespace {

// A program that exits 0 (unless told to fail) after writing one of the outputs real programs
// were seen to leave: its first argument says which.
constexpr const char* kLiarScript = R"(#!/bin/sh
mode=$1; in=$2; out=$3
case $mode in
  nothing) ;;
  empty) : > "$out" ;;
  garbage) head -c 60000 /dev/urandom > "$out" ;;
  mp3) lame --quiet "$in" "$out" ;;
  short) flac -s -f --until=44100 -o "$out" "$in" ;;
  partial) head -c 30000 /dev/urandom > "$out"; exit 1 ;;
esac
exit 0
)";

class CliTrustTest : public CliFixture {
protected:
    CliTrustTest() : CliFixture(CliStreams::Together) {}

    void SetUp() override {
        // A working folder of its own, so a package of the test's can sit beside the shipped.
        m_work = m_dir / "work";
        const std::string shipped = KELTO_WORK_DIR;
        fs::create_directories(m_work);
        for (const char* name : {"Coders", "Decoders", "Languages", "Base.xml"}) {
            ASSERT_TRUE(RunShell("cp -a " + ShellQuoted(shipped + "/" + name) + " " +
                                 ShellQuoted(m_work)));
        }
    }

    // Runs kelto-cli in the test's working folder, after the shell commands before.
    CliResult Run(const std::string& args, const std::string& before = {}) {
        return RunCommand(before + " " + CliCommand(m_work) + " " + args);
    }

    void WriteLiar() {
        const std::string folder = m_work + "/Coders/Liar";
        fs::create_directories(folder);
        WriteFileBytes(folder + "/liar", kLiarScript);
        fs::permissions(folder + "/liar", fs::perms::owner_all);
        WriteFileBytes(folder + "/Info.txt", "Liar 1\nFLAC\n2026-01-01\n");
        std::string presets;
        std::string extensions;
        for (const char* mode : {"nothing", "empty", "garbage", "mp3", "short", "partial"}) {
            presets += std::string(mode) + "\n" + mode + " %in% %out%\n";
            extensions += "flac\n";
        }
        WriteFileBytes(folder + "/Presets.ini", presets);
        WriteFileBytes(folder + "/Extensions.ini", extensions);
    }

    // Every file and folder below folder.
    static std::set<std::string> Tree(const std::string& folder) {
        return OutputTree(folder, true);
    }

    std::string m_work;
};

TEST_F(CliTrustTest, ProgramsThatExitZeroWithoutAGoodOutputFailAndLoseNothing) {
    WriteLiar();
    const std::string source = m_dir / "song.wav";
    WriteTestWav(source, 44100, 2, 4.0, 1);
    const std::string output = m_dir / "out";
    struct Case {
        const char* Preset;
        bool OldOutput;
    };
    for (const Case& test : {Case{"nothing", true}, Case{"empty", true}, Case{"garbage", true},
                             Case{"mp3", true}, Case{"short", true}, Case{"partial", false}}) {
        SCOPED_TRACE(test.Preset);
        fs::remove_all(output);
        fs::create_directories(output);
        if (test.OldOutput) WriteFileBytes(output + "/song.flac", "an older output");
        const CliResult result = Run("--coder Liar --preset " + std::string(test.Preset) +
                                     " --existing overwrite --output " + ShellQuoted(output) + " " +
                                     ShellQuoted(source));
        EXPECT_EQ(result.Exit, 1) << result.Out;
        EXPECT_EQ(result.Out.find("Written:"), std::string::npos) << result.Out;
        EXPECT_NE(result.Out.find("0 of 1 file(s) converted"), std::string::npos) << result.Out;
        // The old output as it was, and nothing else: no partial file under any name.
        if (test.OldOutput) {
            EXPECT_EQ(Tree(output), std::set<std::string>{"song.flac"});
            EXPECT_EQ(ReadFileBytes(output + "/song.flac"), "an older output");
        } else {
            EXPECT_TRUE(Tree(output).empty());
        }
    }
}

TEST_F(CliTrustTest, AFullDiskFailsTheFileAndKeepsTheOldOutputs) {
    // lame --decode exits 0 when its writes fail: the decoded WAV files come out cut short,
    // in the output folder (decoding only) or in the temporary folder (before a coder).
    const std::string sources = m_dir / "mp3";
    fs::create_directories(sources);
    for (int i = 0; i < 3; ++i) {
        const std::string wav = m_dir / ("s" + std::to_string(i) + ".wav");
        WriteTestWav(wav, 44100, 2, 10.0, i + 1);
        ASSERT_TRUE(EncodeWith(wav, sources + "/s" + std::to_string(i) + ".mp3"));
    }
    const std::string output = m_dir / "out";
    fs::create_directories(output);
    for (int i = 0; i < 3; ++i) WriteFileBytes(output + "/s" + std::to_string(i) + ".wav", "old");
    // At most 400 KiB a file for kelto-cli and its programs, and writes past it fail rather
    // than end the program, as on a full disk.
    const std::string full = "trap '' XFSZ; ulimit -f 400;";
    CliResult result = Run("--decode-only --existing overwrite --output " + ShellQuoted(output) +
                               " " + ShellQuoted(sources),
                           full);
    EXPECT_EQ(result.Exit, 1) << result.Out;
    EXPECT_EQ(result.Out.find("Written:"), std::string::npos) << result.Out;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ReadFileBytes(output + "/s" + std::to_string(i) + ".wav"), "old");
    }
    EXPECT_EQ(Tree(output).size(), 3u);

    const std::string coded = m_dir / "coded";
    result = Run("--coder FLAC --output " + ShellQuoted(coded) + " " + ShellQuoted(sources),
                 full);
    EXPECT_EQ(result.Exit, 1) << result.Out;
    EXPECT_NE(result.Out.find("0 of 3 file(s) converted"), std::string::npos) << result.Out;
    EXPECT_TRUE(!fs::exists(coded) || Tree(coded).empty());
}

TEST_F(CliTrustTest, AnOutputNeverTakesThePlaceOfASource) {
    // Outputs beside their sources and overwriting are the defaults: an M4A coded to AAC, and
    // a FLAC to FLAC, would otherwise replace the files they are made from.
    const std::string folder = m_dir / "lib";
    fs::create_directories(folder);
    const std::string wav = m_dir / "plain.wav";
    WriteTestWav(wav, 44100, 2, 3.0, 5);
    ASSERT_TRUE(RunShell("ffmpeg -nostdin -v error -i " + ShellQuoted(wav) + " -c:a aac " +
                         ShellQuoted(folder + "/a.m4a")));
    ASSERT_TRUE(EncodeWith(wav, folder + "/b.flac"));
    const std::string m4a = ReadFileBytes(folder + "/a.m4a");
    const std::string flac = ReadFileBytes(folder + "/b.flac");

    for (const char* coder : {"AAC (M4A)", "FLAC"}) {
        SCOPED_TRACE(coder);
        const CliResult result =
            Run("--coder " + ShellQuoted(coder) + " --existing overwrite " + ShellQuoted(folder));
        EXPECT_EQ(result.Exit, 0) << result.Out;
        EXPECT_EQ(ReadFileBytes(folder + "/a.m4a"), m4a);
        EXPECT_EQ(ReadFileBytes(folder + "/b.flac"), flac);
    }
    EXPECT_TRUE(fs::exists(folder + "/a (2).m4a"));
    EXPECT_TRUE(fs::exists(folder + "/b (2).flac"));
}

}  // namespace
