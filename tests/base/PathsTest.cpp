#include <gtest/gtest.h>

#include "base/AsciiText.h"
#include "base/Paths.h"

TEST(Paths, PartsOfAPath) {
    EXPECT_EQ(PathFolder("/music/a.flac"), "/music");
    EXPECT_EQ(PathFolder("/a.flac"), "/");
    EXPECT_EQ(PathFolder("a.flac"), "");
    EXPECT_EQ(PathFolder("rel/dir//a.flac"), "rel/dir");
    EXPECT_EQ(PathFileName("/music/a.flac"), "a.flac");
    EXPECT_EQ(PathFileName("a.flac"), "a.flac");
    EXPECT_EQ(PathExtension("/x.y/file"), "");
    EXPECT_EQ(PathExtension("/x/archive.tar.FLAC"), ".FLAC");
    EXPECT_EQ(PathExtension("/x/.wav"), ".wav");
    EXPECT_EQ(PathExtension("/x/name."), ".");
    EXPECT_EQ(ReplaceExtension("/c/FLAC/flac", ".name"), "/c/FLAC/flac.name");
    EXPECT_EQ(ReplaceExtension("/c.d/lame.exe", ".name"), "/c.d/lame.name");
    EXPECT_EQ(LowerAscii(std::string("A.FLAC-\xC3\x84")), "a.flac-\xC3\x84");
}
