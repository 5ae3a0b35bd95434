#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "CodecRunner.h"
#include "codecs/HashFile.h"
#include "codecs/Md5.h"
#include "support/TempDir.h"

namespace {

std::string Md5Of(const std::string& text) {
    CMd5 md5;
    md5.Update(text.data(), text.size());
    return CMd5::ToHex(md5.Final());
}

TEST(Md5, MatchesTheRfc1321TestSuite) {
    EXPECT_EQ(Md5Of(""), "D41D8CD98F00B204E9800998ECF8427E");
    EXPECT_EQ(Md5Of("a"), "0CC175B9C0F1B6A831C399E269772661");
    EXPECT_EQ(Md5Of("abc"), "900150983CD24FB0D6963F7D28E17F72");
    EXPECT_EQ(Md5Of("message digest"), "F96B697D7CB7938D525A2F31AAF161D0");
    EXPECT_EQ(Md5Of("abcdefghijklmnopqrstuvwxyz"), "C3FCD3D76192E4007DFB496CCA67E13B");
    EXPECT_EQ(Md5Of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
              "D174AB98D277D9F5A5611C2C9F419D9F");
    EXPECT_EQ(Md5Of("1234567890123456789012345678901234567890"
                    "1234567890123456789012345678901234567890"),
              "57EDF4A22BE3C955AC49DA2E2107B67A");
}

TEST(Md5, GivesTheSameDigestHoweverTheInputIsSplit) {
    std::string text;
    for (int i = 0; i < 1000; ++i) text += static_cast<char>(i * 7 + 3);
    const std::string whole = Md5Of(text);
    // Pieces that straddle the 64-byte blocks and the 55/56-byte padding boundary.
    for (std::size_t piece : {1u, 3u, 55u, 56u, 63u, 64u, 65u, 127u, 999u}) {
        CMd5 md5;
        for (std::size_t at = 0; at < text.size(); at += piece) {
            md5.Update(text.data() + at, std::min(piece, text.size() - at));
        }
        EXPECT_EQ(CMd5::ToHex(md5.Final()), whole) << "piece " << piece;
    }
    for (std::size_t length : {55u, 56u, 57u, 63u, 64u, 119u, 120u}) {
        CMd5 a;
        a.Update(text.data(), length);
        CMd5 b;
        b.Update(text.data(), 1);
        b.Update(text.data() + 1, length - 1);
        EXPECT_EQ(CMd5::ToHex(a.Final()), CMd5::ToHex(b.Final())) << "length " << length;
    }
}

TEST(HashFile, HashesEmptyAndChunkSizedFilesInUpperCase) {
    TempDir dir;
    WriteFileBytes(dir / "empty", "");
    std::string hash;
    ASSERT_TRUE(HashFile(dir / "empty", hash));
    EXPECT_EQ(hash, "D41D8CD98F00B204E9800998ECF8427E");

    const std::string chunk(16384, 'k');
    WriteFileBytes(dir / "chunk", chunk);
    ASSERT_TRUE(HashFile(dir / "chunk", hash));
    EXPECT_EQ(hash, Md5Of(chunk));

    const std::string longer = chunk + chunk + "tail";
    WriteFileBytes(dir / "longer", longer);
    ASSERT_TRUE(HashFile(dir / "longer", hash));
    EXPECT_EQ(hash, Md5Of(longer));
}

TEST(HashFile, AgreesWithMd5sumOnARealProgram) {
    TempDir dir;
    const std::string program = "/usr/bin/flac";
    ASSERT_TRUE(
        RunShell("md5sum " + program + " | cut -c1-32 | tr a-f A-F > '" + (dir / "sum") + "'"));
    std::string expected = ReadFileBytes(dir / "sum");
    expected.resize(32);
    std::string hash;
    ASSERT_TRUE(HashFile(program, hash));
    EXPECT_EQ(hash, expected);
}

TEST(HashFile, FollowsALinkAndFailsOnAMissingFile) {
    TempDir dir;
    WriteFileBytes(dir / "target", "codec program");
    std::filesystem::create_symlink(dir / "target", dir / "link");
    std::string hash = "untouched";
    ASSERT_TRUE(HashFile(dir / "link", hash));
    EXPECT_EQ(hash, Md5Of("codec program"));

    hash = "untouched";
    EXPECT_FALSE(HashFile(dir / "missing", hash));
    std::filesystem::create_symlink(dir / "missing", dir / "dangling");
    EXPECT_FALSE(HashFile(dir / "dangling", hash));
    EXPECT_EQ(hash, "untouched");
}

}  // namespace
