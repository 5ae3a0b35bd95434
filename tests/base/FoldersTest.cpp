#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/Folders.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Prefixed(const std::string& folder, std::vector<std::string> names) {
    for (auto& name : names) name = folder + "/" + name;
    return names;
}

}  // namespace

TEST(FoldersTest, HiddenReadOnlyAndLinkedFoldersAreNotSubfoldersButAreListedAsFiles) {
    TempDir dir;
    const std::string root = dir.Path().string();
    fs::create_directory(dir / "plain");
    fs::create_directory(dir / ".hidden");
    fs::create_directory(dir / "readonly");
    fs::create_directory_symlink(dir / "plain", dir / "link");
    WriteFileBytes(dir / "song.flac", "x");
    fs::permissions(dir / "readonly", fs::perms::owner_write, fs::perm_options::remove);

    std::vector<std::string> out;
    EXPECT_TRUE(ListSubfolders(root, "*", out));
    EXPECT_EQ(out, Prefixed(root, {"plain"}));

    EXPECT_TRUE(ListFiles(root, "*", out));
    EXPECT_EQ(out, Prefixed(root, {".hidden", "link", "readonly", "song.flac"}));
}

TEST(FoldersTest, ResultsComeInEnumerationOrder) {
    TempDir dir;
    const std::string root = dir.Path().string();
    for (const char* name : {"b", "A", "a", "B1", "_x", "a10", "a2"}) {
        fs::create_directory(dir / name);
        WriteFileBytes(dir / (std::string(name) + ".txt"), "");
    }
    std::vector<std::string> out;
    ASSERT_TRUE(ListSubfolders(root, "*", out));
    // Case folds to upper case, so "_" (0x5F) sorts after the letters; "A" before "a".
    EXPECT_EQ(out, Prefixed(root, {"A", "a", "a10", "a2", "b", "B1", "_x"}));
    ASSERT_TRUE(ListFiles(root + "/", "*.txt", out));
    EXPECT_EQ(out,
              Prefixed(root, {"A.txt", "a.txt", "a10.txt", "a2.txt", "b.txt", "B1.txt", "_x.txt"}));
}

TEST(FoldersTest, PatternKnowsOnlyStarAndQuestionMark) {
    TempDir dir;
    const std::string root = dir.Path().string();
    for (const char* name : {"kel_compare.so", "other.so.1", "x.SO", "[a].so", "a.so", "ab.so"}) {
        WriteFileBytes(dir / name, "");
    }
    std::vector<std::string> out;
    ASSERT_TRUE(ListFiles(root, "*.so", out));
    EXPECT_EQ(out, Prefixed(root, {"a.so", "ab.so", "kel_compare.so", "[a].so"}));
    ASSERT_TRUE(ListFiles(root, "?.so", out));
    EXPECT_EQ(out, Prefixed(root, {"a.so"}));
    ASSERT_TRUE(ListFiles(root, "[a].so", out));
    EXPECT_EQ(out, Prefixed(root, {"[a].so"}));
}

TEST(FoldersTest, EmptyMissingOrUnmatchedFolderGivesFalseAndAnEmptyList) {
    TempDir dir;
    const std::string root = dir.Path().string();
    std::vector<std::string> out = {"stale"};
    EXPECT_FALSE(ListSubfolders(root, "*", out));
    EXPECT_TRUE(out.empty());
    out = {"stale"};
    EXPECT_FALSE(ListFiles(root + "/missing", "*", out));
    EXPECT_TRUE(out.empty());
    WriteFileBytes(dir / "a.wav", "");
    EXPECT_FALSE(ListFiles(root, "*.flac", out));
    EXPECT_TRUE(out.empty());
    // Something matched, only not a folder.
    EXPECT_TRUE(ListSubfolders(root, "*", out));
    EXPECT_TRUE(out.empty());
}

TEST(FoldersTest, TrailingSeparatorAddsOrRemovesOneSlash) {
    EXPECT_EQ(TrailingSeparator("/music/dir", true), "/music/dir/");
    EXPECT_EQ(TrailingSeparator("/music/dir/", true), "/music/dir/");
    EXPECT_EQ(TrailingSeparator("/music//dir///", true), "/music/dir/");
    EXPECT_EQ(TrailingSeparator("", true), "");
    EXPECT_EQ(TrailingSeparator("/music/dir/", false), "/music/dir");
    EXPECT_EQ(TrailingSeparator("/music/dir", false), "/music/dir");
    EXPECT_EQ(TrailingSeparator("/music/dir//", false), "/music/dir/");
}

TEST(FoldersTest, FileExistsOnlyForReadableFiles) {
    TempDir dir;
    WriteFileBytes(dir / "Settings.ini", "[Settings]");
    fs::create_symlink(dir / "Settings.ini", dir / "link.ini");
    fs::create_symlink(dir / "gone.ini", dir / "dangling.ini");
    fs::create_directory(dir / "folder.ini");

    EXPECT_TRUE(FileExists(dir / "Settings.ini"));
    EXPECT_TRUE(FileExists(dir / "link.ini"));
    EXPECT_FALSE(FileExists(dir / "dangling.ini"));
    EXPECT_FALSE(FileExists(dir / "folder.ini"));
    EXPECT_FALSE(FileExists(dir / "missing.ini"));
    EXPECT_FALSE(fs::exists(dir / "missing.ini"));
    EXPECT_FALSE(fs::exists(dir / "gone.ini"));

    const std::string longName(300, 'n');  // beyond the old 260-character buffers
    WriteFileBytes(dir / longName.substr(0, 200), "");
    fs::create_directories(dir / (longName.substr(0, 200) + "d"));
    const auto deep = dir / (longName.substr(0, 200) + "d/" + longName.substr(0, 200));
    WriteFileBytes(deep, "");
    EXPECT_TRUE(FileExists(deep));
}
