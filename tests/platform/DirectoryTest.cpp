#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "platform/Directory.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

TEST(DirectoryTest, AttributeWordIsSynthesisedFromTheEntry) {
    TempDir dir;
    fs::create_directory(dir / "dir");
    fs::create_directory(dir / ".dir");
    fs::create_directory(dir / "ro");
    fs::permissions(dir / "ro", fs::perms::owner_write, fs::perm_options::remove);
    WriteFileBytes(dir / "file", "");
    WriteFileBytes(dir / ".file", "");
    WriteFileBytes(dir / "rofile", "");
    fs::permissions(dir / "rofile", fs::perms::owner_write, fs::perm_options::remove);
    fs::create_directory_symlink(dir / "dir", dir / "dirlink");
    fs::create_symlink(dir / "file", dir / "filelink");
    fs::create_symlink(dir / "nowhere", dir / "dangling");

    std::vector<platform::DirectoryEntry> entries;
    ASSERT_TRUE(platform::ListDirectory(dir.Path().string(), "*", entries));
    std::map<std::string, std::uint32_t> words;
    for (const auto& entry : entries) words[entry.name] = entry.attributes;
    const std::map<std::string, std::uint32_t> expected = {
        {"dir", 16},   {".dir", 18},      {"ro", 17},         {"file", 128},     {".file", 2},
        {"rofile", 1}, {"dirlink", 1040}, {"filelink", 1024}, {"dangling", 1024}};
    EXPECT_EQ(words, expected);
}

TEST(DirectoryTest, MissingFolderReportsTheSystemError) {
    TempDir dir;
    std::vector<platform::DirectoryEntry> entries(1);
    platform::Error error;
    EXPECT_FALSE(platform::ListDirectory(dir / "missing", "*", entries, &error));
    EXPECT_TRUE(entries.empty());
    EXPECT_EQ(error.code, ENOENT);
    EXPECT_FALSE(error.text.empty());
}

TEST(DirectoryTest, WildcardMatching) {
    EXPECT_TRUE(platform::MatchWildcard("*", ""));
    EXPECT_TRUE(platform::MatchWildcard("*", ".hidden"));
    EXPECT_TRUE(platform::MatchWildcard("a*b*c", "a-b-b-c"));
    EXPECT_FALSE(platform::MatchWildcard("a*b*c", "a-b-b-cd"));
    EXPECT_TRUE(platform::MatchWildcard("??.so", "ab.so"));
    EXPECT_FALSE(platform::MatchWildcard("??.so", "a.so"));
    EXPECT_FALSE(platform::MatchWildcard("*.so", "a.SO"));
    EXPECT_TRUE(platform::MatchWildcard("**x", "x"));
}
