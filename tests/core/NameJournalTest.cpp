// Name journals as the next kelto finds them: what it may remove after a kelto that died, from
// whatever a crash left on disk.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "core/NameJournal.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

constexpr char kHeader[] = "kelto journal 1\n";

}  // namespace

TEST(NameJournal, StaleJournalRemovesTheRegularFilesItListsAtItsEndAndNothingElse) {
    struct Case {
        std::string text;  // the journal as a crash left it
        int removed;       // what RemoveIfStale answers
        std::set<std::string> gone;
    };
    const std::vector<Case> cases = {
        {std::string(kHeader) + "+a.flac\n+b.flac\n-b.flac\n+c.flac\n-c.flac\n+c.flac\n",
         2,
         {"a.flac", "c.flac"}},
        // The last line was cut short by the crash: "+torn.flac" never completed.
        {std::string(kHeader) + "+a.flac\n+torn", 1, {"a.flac"}},
        {std::string(kHeader) + "+line\\nfeed.flac\n+back\\\\slash.flac\n",
         2,
         {"line\nfeed.flac", "back\\slash.flac"}},
        // Not plain names, a bad escape, an empty name, a link, a folder, a missing file.
        {std::string(kHeader) + "+../outside\n+sub/inner\n+bad\\q\n+\n+.\n+link.flac\n+sub\n"
                                "+missing.flac\n*a.flac\n",
         0,
         {}},
        // Without its first line it is no journal of ours.
        {"+a.flac\n", -1, {}},
        {"", -1, {}},
    };
    for (const Case& test : cases) {
        TempDir dir;
        const std::string folder = dir / "out";
        fs::create_directories(folder + "/sub");
        for (const char* name : {"a.flac", "b.flac", "c.flac", "torn", "line\nfeed.flac",
                                 "back\\slash.flac", "sub/inner", "bad\\q"}) {
            WriteFileBytes(folder + "/" + name, "x");
        }
        WriteFileBytes(dir / "outside", "x");
        fs::create_symlink(folder + "/b.flac", folder + "/link.flac");
        WriteFileBytes(folder + "/.journal", test.text);
        std::set<std::string> expected = FileNamesIn(folder);
        for (const auto& name : test.gone) expected.erase(name);
        if (test.removed >= 0) expected.erase(".journal");

        EXPECT_EQ(CNameJournal::RemoveIfStale(folder, ".journal"), test.removed) << test.text;

        EXPECT_EQ(FileNamesIn(folder), expected) << test.text;
        EXPECT_TRUE(fs::exists(dir / "outside"));
        EXPECT_TRUE(fs::exists(folder + "/sub/inner"));
    }
}

TEST(NameJournal, HeldJournalIsLeftAloneAndListsWhatItsHolderKeptAfterCompacting) {
    TempDir dir;
    const std::string folder = dir.Path().string();
    std::set<std::string> kept;
    {
        CNameJournal journal;
        ASSERT_TRUE(journal.Create(dir / ".journal"));
        platform::Error error;
        EXPECT_FALSE(CNameJournal().Create(dir / ".journal", &error));
        EXPECT_EQ(error.code, EEXIST);
        // Enough names come and go to grow the journal past its compacting size, twice over.
        for (int i = 0; i < 6000; ++i) {
            const std::string name = "output number " + std::to_string(i) + ".kelto-new.flac";
            if (i % 100 == 7) WriteFileBytes(dir / name, "x");
            ASSERT_TRUE(journal.Add(name));
            if (i % 1000 == 7) {
                kept.insert(name);
            } else {
                journal.Drop(name);
            }
        }
        std::string reason;
        EXPECT_FALSE(journal.Add("a/b", &reason));
        EXPECT_FALSE(reason.empty());
        EXPECT_LT(fs::file_size(journal.Path()), 64u * 1024u);
        // Held by this object: a second open of the file in this process does not take it.
        EXPECT_EQ(CNameJournal::RemoveIfStale(folder, ".journal"), -1);
        EXPECT_EQ(FileNamesIn(folder).size(), 61u);
    }  // let go without removing: as a crash leaves it

    EXPECT_EQ(CNameJournal::RemoveIfStale(folder, ".journal"), static_cast<int>(kept.size()));
    for (const auto& name : kept) EXPECT_FALSE(fs::exists(dir / name)) << name;
    EXPECT_EQ(FileNamesIn(folder).size(), 60u - kept.size());
    EXPECT_EQ(CNameJournal::RemoveIfStale(folder, ".journal"), -1);  // gone with its files
}
