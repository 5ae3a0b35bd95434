// kelto-cli names outputs after their tags (--name) and converts one share of a library
// (--shard) so that N runs, here started by GNU parallel, convert every file exactly once. Real
// sources tagged by flac, the shipped packages and the built program.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>

#include "CliFixture.h"
#include "session/EngineFiles.h"
#include "tags/TagFiles.h"

namespace fs = std::filesystem;

namespace {

class CliNamesAndSharesTest : public CliFixture {
protected:
    CliNamesAndSharesTest() : CliFixture(CliStreams::Together) {}
};

TEST_F(CliNamesAndSharesTest, NamePatternReplacesTheTreeNumbersTwinsAndBesideKeepsTheFileName) {
    const std::string library = m_dir / "Music";
    const std::vector<std::string> same = {"ALBUMARTIST=The Band", "ARTIST=Guest",
                                           "ALBUM=First: Live", "TITLE=Intro/Outro",
                                           "TRACKNUMBER=1"};
    Flac(library + "/cd1/a.flac", 1, same);
    Flac(library + "/cd2/b.flac", 2, same);
    Flac(library + "/loose/c.flac", 3, {"ARTIST=Solo"});
    const std::string output = m_dir / "out";
    const std::string pattern = "%albumartist%/%album%/%track% - %title%";
    ASSERT_EQ(Shell(CliCommand() + " --coder FLAC --keep-tree --output " + ShellQuoted(output) +
                    " --name " + ShellQuoted(pattern) + " " + ShellQuoted(library)),
              0)
        << Out;
    EXPECT_EQ(OutputTree(output),
              (std::set<std::string>{"The Band/First_ Live/01 - Intro_Outro.flac",
                                     "The Band/First_ Live/01 - Intro_Outro (2).flac",
                                     "Solo/Unknown Album/00 - c.flac"}))
        << Out;
    // Each output holds its own source's tags and samples: the twins were not swapped.
    const std::map<std::string, std::string> tags =
        ReadFields(output + "/Solo/Unknown Album/00 - c.flac");
    EXPECT_EQ(tags.count("ARTIST") ? tags.at("ARTIST") : "", "Solo");

    // Beside the sources only the file name comes from the pattern.
    ASSERT_EQ(Shell(CliCommand() + " --coder FLAC --name " + ShellQuoted(pattern) + " " +
                    ShellQuoted(library + "/loose")),
              0)
        << Out;
    EXPECT_EQ(OutputTree(library + "/loose"), (std::set<std::string>{"c.flac", "00 - c.flac"}));

    // A word between % that is no placeholder is a usage error here; an empty pattern is none.
    EXPECT_EQ(Shell(CliCommand() + " --coder FLAC --name '%artst%/%title%' --dry-run " +
                    ShellQuoted(library)),
              2);
    EXPECT_NE(Out.find("%artst%"), std::string::npos) << Out;
    ASSERT_EQ(Shell(CliCommand() + " --coder FLAC --name '' --dry-run " +
                    ShellQuoted(library + "/loose")),
              0);
    EXPECT_NE(Out.find("loose/c.flac\""), std::string::npos) << Out;
}

TEST_F(CliNamesAndSharesTest, SharesRunByGnuParallelConvertEveryFileExactlyOnce) {
    // The library, and the same library as another machine mounts it elsewhere.
    const std::string library = m_dir / "here/Library";
    std::set<std::string> expected;
    for (int i = 0; i < 40; ++i) {
        const std::string relative = "Artist " + std::to_string(i % 5) + "/Album " +
                                     std::to_string(i % 3) + "/t" + std::to_string(i);
        fs::create_directories(fs::path(library + "/" + relative).parent_path());
        WriteTestWav(library + "/" + relative + ".wav", 44100, 1, 0.05, i);
        expected.insert("Library/" + relative + ".flac");
    }
    fs::create_directories(m_dir / "there");
    fs::create_directory_symlink(library, m_dir / "there/Library");

    const std::string output = m_dir / "out";
    const std::string shares = m_dir / "shares";
    fs::create_directories(shares);
    // Odd shares read the library here, even ones there; each writes what it listed.
    const std::string command =
        "parallel --will-cite -j 4 " + CliCommand() +
        " --coder FLAC --threads 1 --keep-tree --existing keep --output " + ShellQuoted(output) +
        " --shard {1}/4 " + ShellQuoted(m_dir.Path().string()) + "/{2}/Library '>' " +
        ShellQuoted(shares) + "/{1}.txt ::: 1 2 3 4 :::+ here there here there";
    ASSERT_EQ(Shell(command), 0) << Out;

    // No " (2)": no file was converted twice, and none was left out.
    EXPECT_EQ(OutputTree(output), expected) << Out;
    // Every share had its part of the work, and their counts add up.
    int converted = 0;
    for (int share = 1; share <= 4; ++share) {
        const std::string report = ReadFileBytes(shares + "/" + std::to_string(share) + ".txt");
        int count = 0;
        ASSERT_EQ(
            std::sscanf(report.c_str() + report.find(" of "), " of %d file(s) converted", &count),
            1)
            << report;
        EXPECT_GT(count, 0) << report;
        converted += count;
    }
    EXPECT_EQ(converted, 40);

    // The split is the same whichever way a file is reached, and a bad share is refused.
    const auto listed = [&](const std::string& where) {
        EXPECT_EQ(Shell(CliCommand() + " --coder FLAC --shard 3/4 --dry-run " + ShellQuoted(where)),
                  0);
        std::set<std::string> paths;
        const std::string key = "{\"path\": \"" + where + "/";
        for (std::size_t at = Out.find(key); at != std::string::npos; at = Out.find(key, at + 1)) {
            paths.insert(
                Out.substr(at + key.size(), Out.find('"', at + key.size()) - at - key.size()));
        }
        return paths;
    };
    const std::set<std::string> here = listed(library);
    EXPECT_FALSE(here.empty());
    EXPECT_EQ(listed(m_dir / "there/Library"), here);
    EXPECT_EQ(Shell(CliCommand() + " --shard 5/4 " + ShellQuoted(library)), 2);
    EXPECT_EQ(Shell(CliCommand() + " --shard 0/4 " + ShellQuoted(library)), 2);
}

}  // namespace
