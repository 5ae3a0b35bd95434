#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/File.h"
#include "platform/ReadableFile.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

TEST(ReadableFileTest, OnlyRegularFilesAreOpenedAndTheRestSayWhy) {
    TempDir dir;
    WriteFileBytes(dir / "song.flac", "bytes");
    fs::create_symlink(dir / "song.flac", dir / "link.flac");
    fs::create_symlink(dir / "gone.flac", dir / "dangling.flac");
    fs::create_directory(dir / "folder.flac");
    // Nobody writes into the pipe: opening it for reading the usual way would never return.
    ASSERT_EQ(std::system(("mkfifo " + dir / "pipe.flac").c_str()), 0);
    struct Case {
        std::string Path;
        std::string Error;  // empty: it opens
        bool Special;
    };
    const std::vector<Case> cases = {
        {dir / "song.flac", "", false},
        {dir / "link.flac", "", false},
        {dir / "dangling.flac", "No such file or directory", false},
        {dir / "missing.flac", "No such file or directory", false},
        {dir / "folder.flac", "Is a directory", false},
        {dir / "pipe.flac", "not a regular file (named pipe)", true},
        {"/dev/null", "not a regular file (device)", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Path);
        platform::File file = platform::File::OpenRead(c.Path);
        EXPECT_EQ(file.IsOpen(), c.Error.empty());
        EXPECT_EQ(file.LastError().text, c.Error);
        EXPECT_EQ(platform::ReadableFileError(c.Path).text, c.Error);
        EXPECT_EQ(platform::IsReadableFile(c.Path), c.Error.empty());
        EXPECT_EQ(platform::IsSpecialFile(c.Path), c.Special);
        if (file.IsOpen()) {
            char bytes[8];
            EXPECT_EQ(file.Read(bytes, sizeof bytes), 5);  // reads as any file, not "would block"
        }
    }
    EXPECT_EQ(platform::RegularFileError(dir / "pipe.flac").code, platform::Error::kNotRegularFile);
}

}  // namespace
