// kelto-cli's conversions that keep what the user had: tags and cover art into every shipped
// coder's format, the folder tree, and outputs that exist already. Real sources, the shipped
// packages and the built program.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "CliFixture.h"
#include "session/EngineFiles.h"
#include "tags/TagFiles.h"

namespace fs = std::filesystem;

namespace {

class CliConversionOptionsTest : public CliFixture {
protected:
    CliConversionOptionsTest() : CliFixture(CliStreams::Together) {}

    std::string Wav(const std::string& path, int seed) { return CliFixture::Wav(path, seed, 0.3); }
};

TEST_F(CliConversionOptionsTest, TagsAndCoverOfFlacMp3AndWavSourcesReachEveryShippedCoder) {
    const std::string sources = m_dir / "src";
    const std::string plain = Wav(m_dir / "plain.wav", 3);
    const std::string cover = MakeCover(m_dir / "cover.png");
    ASSERT_FALSE(cover.empty());
    fs::create_directories(sources);
    std::string flac = "flac -s --picture=" + ShellQuoted(m_dir / "cover.png");
    for (const auto& [key, value] : SampleFields()) flac += " -T " + ShellQuoted(key + "=" + value);
    ASSERT_TRUE(RunShell(flac + " -o " + ShellQuoted(sources + "/a.flac") + " " + plain));
    ASSERT_TRUE(EncodeWith(plain, sources + "/b.mp3"));
    ASSERT_TRUE(TagMp3(sources + "/b.mp3", m_dir / "cover.png", 3));
    fs::copy_file(plain, sources + "/c.wav");
    ASSERT_TRUE(TagWav(sources + "/c.wav", m_dir / "cover.png"));

    // The shipped coders by index, the pass-through coder (WAV) last.
    for (int coder = 0; coder < 10; ++coder) {
        const std::string output = m_dir / ("out" + std::to_string(coder));
        const std::string choice =
            coder == 9 ? std::string("--decode-only") : "--coder " + std::to_string(coder);
        const CliResult result = Run(choice + " --threads 2 --output " + ShellQuoted(output) + " " +
                                     ShellQuoted(sources));
        ASSERT_EQ(result.Exit, 0) << result.Out;
        const std::set<std::string> written = OutputTree(output);
        // A WAV source gets no decoder: decoding only does not list it.
        ASSERT_EQ(written.size(), coder == 9 ? 2u : 3u) << result.Out;
        for (const std::string& name : written) {
            const std::string path = output + "/" + name;
            const auto fields = ReadFields(path);
            for (const auto& [key, value] : SampleFields()) {
                EXPECT_EQ(fields.count(key) ? fields.at(key) : "(missing)", value)
                    << key << " in " << path;
            }
            EXPECT_EQ(ExtractCover(path, m_dir.Path().string()), cover) << path;
        }
    }
}

TEST_F(CliConversionOptionsTest, KeepTreeWritesTheAddedFolderTreeAndFlatOtherwise) {
    const std::string jazz = m_dir / "music/Jazz";
    Wav(jazz + "/top.wav", 1);
    Wav(jazz + "/Artist/one.wav", 2);
    Wav(jazz + "/Artist/Album/two.wav", 3);
    const std::string single = Wav(m_dir / "elsewhere/single.wav", 4);
    const std::string args =
        " --coder FLAC " + ShellQuoted(jazz) + " " + ShellQuoted(single) + " --output ";

    const std::string tree = m_dir / "tree";
    CliResult result = Run("--keep-tree" + args + ShellQuoted(tree));
    ASSERT_EQ(result.Exit, 0) << result.Out;
    EXPECT_EQ(OutputTree(tree),
              (std::set<std::string>{"Jazz/top.flac", "Jazz/Artist/one.flac",
                                     "Jazz/Artist/Album/two.flac", "single.flac"}));

    const std::string flat = m_dir / "flat";
    result = Run(args + ShellQuoted(flat));
    ASSERT_EQ(result.Exit, 0) << result.Out;
    EXPECT_EQ(OutputTree(flat),
              (std::set<std::string>{"top.flac", "one.flac", "two.flac", "single.flac"}));
}

TEST_F(CliConversionOptionsTest, KeepTreeReadsDotAndDotDotOfTheAddedFolderAsTheirNamesSay) {
    // "music/Jazz/.." is music itself: its tree goes below the output folder, never beside it.
    const std::string music = m_dir / "music";
    Wav(music + "/Jazz/Artist/one.wav", 1);
    Wav(music + "/Rock/two.wav", 2);
    const std::string output = m_dir / "work/out";
    CliResult result = Run("--keep-tree --coder FLAC --output " + ShellQuoted(output) + " " +
                           ShellQuoted(music + "/Jazz/.."));
    ASSERT_EQ(result.Exit, 0) << result.Out;
    EXPECT_EQ(OutputTree(m_dir / "work"),
              (std::set<std::string>{"out/music/Jazz/Artist/one.flac", "out/music/Rock/two.flac"}))
        << result.Out;
    EXPECT_FALSE(fs::exists(m_dir / "work/Rock")) << result.Out;

    // "music/Jazz/." is Jazz.
    const std::string dotted = m_dir / "dotted";
    result = Run("--keep-tree --coder FLAC --output " + ShellQuoted(dotted) + " " +
                 ShellQuoted(music + "/Jazz/."));
    ASSERT_EQ(result.Exit, 0) << result.Out;
    EXPECT_EQ(OutputTree(dotted), (std::set<std::string>{"Jazz/Artist/one.flac"})) << result.Out;
}

TEST_F(CliConversionOptionsTest, ExistingOutputIsOverwrittenSkippedOrKeptBeside) {
    const std::string source = Wav(m_dir / "src/song.wav", 5);
    const std::string output = m_dir / "out";
    fs::create_directories(output);
    const std::string existing = output + "/song.flac";
    const std::string args = "--coder FLAC --output " + ShellQuoted(output) + " " + ShellQuoted(source);

    WriteFileBytes(existing, "an older output");
    CliResult result = Run("--existing skip " + args);
    EXPECT_EQ(result.Exit, 0) << result.Out;
    EXPECT_NE(result.Out.find("Skipped: " + source), std::string::npos) << result.Out;
    EXPECT_EQ(result.Out.find("Failed"), std::string::npos) << result.Out;
    EXPECT_EQ(ReadFileBytes(existing), "an older output");
    EXPECT_EQ(OutputTree(output).size(), 1u);

    result = Run("--existing keep " + args);
    EXPECT_EQ(result.Exit, 0) << result.Out;
    EXPECT_EQ(ReadFileBytes(existing), "an older output");
    EXPECT_TRUE(DecodeBack(output + "/song (2).flac", m_dir.Path().string()).Valid) << result.Out;
    EXPECT_NE(result.Out.find("Written: " + output + "/song (2).flac"), std::string::npos);

    result = Run("--existing overwrite " + args);
    EXPECT_EQ(result.Exit, 0) << result.Out;
    EXPECT_TRUE(DecodeBack(existing, m_dir.Path().string()).Valid);
    EXPECT_EQ(OutputTree(output).size(), 2u);
}

TEST_F(CliConversionOptionsTest, OverwriteKeepsTheOldFileUntilTheNewOneIsComplete) {
    // A source flac refuses halfway (cut short): the older output is not lost with it.
    const std::string whole = ReadFileBytes(Wav(m_dir / "whole.wav", 8));
    const std::string cut = m_dir / "src/song.wav";
    fs::create_directories(m_dir / "src");
    WriteFileBytes(cut, whole.substr(0, whole.size() / 2));
    const std::string output = m_dir / "out";
    fs::create_directories(output);
    WriteFileBytes(output + "/song.flac", "an older output");
    CliResult result = Run("--coder FLAC --output " + ShellQuoted(output) + " " + ShellQuoted(cut));
    EXPECT_EQ(result.Exit, 1) << result.Out;
    EXPECT_EQ(ReadFileBytes(output + "/song.flac"), "an older output");
    EXPECT_EQ(OutputTree(output), std::set<std::string>{"song.flac"});

    // A FLAC file coded again beside itself never takes its source's place: the new one is
    // numbered, whole, and has the source's tags.
    const std::string plain = Wav(m_dir / "plain.wav", 9);
    const std::string source = m_dir / "lib/track.flac";
    fs::create_directories(m_dir / "lib");
    ASSERT_TRUE(RunShell("flac -s -0 -T TITLE=Nardis -o " + ShellQuoted(source) + " " +
                         ShellQuoted(plain)));
    const std::string original = ReadFileBytes(source);
    result = Run("--coder FLAC --preset '-8 (smallest, slowest)' " + ShellQuoted(source));
    EXPECT_EQ(result.Exit, 0) << result.Out;
    const std::string numbered = m_dir / "lib/track (2).flac";
    EXPECT_NE(result.Out.find("Written: " + numbered + "\n"), std::string::npos) << result.Out;
    EXPECT_EQ(OutputTree(m_dir / "lib"), (std::set<std::string>{"track (2).flac", "track.flac"}));
    EXPECT_EQ(ReadFileBytes(source), original);
    EXPECT_EQ(DecodeBack(numbered, m_dir.Path().string()).Data, ReadWavPcm(plain).Data);
    EXPECT_EQ(ReadFields(numbered).at("TITLE"), "Nardis");
}

TEST_F(CliConversionOptionsTest, KeepBothCountsOutputsWrittenEarlierInTheSameRun) {
    // Three sources of one name in three folders, flat into one output folder that already
    // holds that name: every one of them gets its own, and the old one stays.
    std::string inputs;
    for (const char* folder : {"d1", "d2", "d3"}) {
        inputs += " " + ShellQuoted(Wav(m_dir / (std::string(folder) + "/x.wav"), folder[1]));
    }
    const std::string output = m_dir / "out";
    fs::create_directories(output);
    WriteFileBytes(output + "/x.flac", "old");
    const CliResult result =
        Run("--existing keep --threads 1 --coder FLAC --output " + ShellQuoted(output) + inputs);
    ASSERT_EQ(result.Exit, 0) << result.Out;
    EXPECT_EQ(OutputTree(output),
              (std::set<std::string>{"x.flac", "x (2).flac", "x (3).flac", "x (4).flac"}));
    EXPECT_EQ(ReadFileBytes(output + "/x.flac"), "old");
}

TEST_F(CliConversionOptionsTest, NoCopyTagsLeavesTheOutputsAsTheCoderWroteThem) {
    const std::string plain = Wav(m_dir / "plain.wav", 6);
    const std::string source = m_dir / "tagged.mp3";
    ASSERT_TRUE(EncodeWith(plain, source));
    ASSERT_TRUE(TagMp3(source, {}, 4));
    ASSERT_EQ(ReadFields(source).count("TITLE"), 1u);
    const std::string output = m_dir / "out";
    const CliResult result = Run("--no-copy-tags --coder FLAC --output " + ShellQuoted(output) +
                                 " " + ShellQuoted(source));
    ASSERT_EQ(result.Exit, 0) << result.Out;
    EXPECT_EQ(ReadFields(output + "/tagged.flac").count("TITLE"), 0u);
}

}  // namespace
