// A finished output whose tags change after the run placed it (album gains) is rewritten
// through a copy beside it: whatever goes wrong, and a crash at the worst moment, the file
// stays whole, old or new.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>

#include "session/ApartRewrite.h"
#include "session/RunFiles.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

const std::string kOld(300000, 'o');  // longer than one copy block would hold

bool Append(const std::string& copy, const std::string& text) {
    WriteFileBytes(copy, ReadFileBytes(copy) + text);
    return true;
}

}  // namespace

TEST(ApartRewriteTest, ReplacesTheFileWithTheEditedCopyKeepingPermissionsOrLeavesItWhole) {
    TempDir dir;
    const std::string path = dir / "song.flac";
    WriteFileBytes(path, kOld);
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    {
        CRunFiles runFiles;
        std::string why;
        EXPECT_TRUE(RewriteApart(
            path, runFiles,
            [&](const std::string& copy, std::string*) {
                // The copy is a whole copy, beside the file, under another name.
                EXPECT_NE(copy, path);
                EXPECT_EQ(fs::path(copy).parent_path(), fs::path(path).parent_path());
                EXPECT_EQ(ReadFileBytes(copy), kOld);
                return Append(copy, "new");
            },
            &why))
            << why;
        EXPECT_EQ(ReadFileBytes(path), kOld + "new");
        EXPECT_EQ(fs::status(path).permissions(),
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

        // An edit that fails after writing into its copy changes nothing.
        EXPECT_FALSE(RewriteApart(
            path, runFiles,
            [&](const std::string& copy, std::string* error) {
                WriteFileBytes(copy, "half");
                *error = "the tags could not be saved";
                return false;
            },
            &why));
        EXPECT_EQ(why, "the tags could not be saved");
        EXPECT_EQ(ReadFileBytes(path), kOld + "new");
    }
    // Nothing is left beside it, not even the run's journal.
    EXPECT_EQ(FileNamesIn(dir.Path().string()), std::set<std::string>{"song.flac"});
}

TEST(ApartRewriteTest, ACrashWhileEditingLeavesTheOldFileAndTheNextRunRemovesTheCopy) {
    TempDir dir;
    const std::string path = dir / "song.mp3";
    WriteFileBytes(path, kOld);
    const pid_t pid = ::fork();
    if (pid == 0) {
        auto* runFiles = new CRunFiles;  // never destroyed: a crash cleans nothing up
        RewriteApart(
            path, *runFiles,
            [](const std::string& copy, std::string*) {
                WriteFileBytes(copy, "half written");
                ::_exit(0);
                return true;
            },
            nullptr);
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(ReadFileBytes(path), kOld);
    EXPECT_GT(FileNamesIn(dir.Path().string()).size(), 1u);
    EXPECT_EQ(CRunFiles::RemoveStale(dir.Path().string()), 1);
    EXPECT_EQ(FileNamesIn(dir.Path().string()), std::set<std::string>{"song.mp3"});
}
