#include <gtest/gtest.h>

#include <string>

#include "session/OutputNames.h"

TEST(UnfinishedOutputName, MarksTheStemAndCutsAnOverlongOneAtACharacterBoundary) {
    EXPECT_EQ(UnfinishedOutputName("/m/a b.flac", 1), "/m/a b.kelto-new.flac");
    EXPECT_EQ(UnfinishedOutputName("/m/a b.flac", 3), "/m/a b.kelto-new3.flac");
    EXPECT_EQ(UnfinishedOutputName("/m.d/noext", 1), "/m.d/noext.kelto-new");

    // 250 bytes of two-byte characters: the name is cut to 255 bytes or just under, whole
    // characters only, and keeps its mark and extension.
    std::string stem;
    while (stem.size() < 250) stem += "\xC3\xA9";
    const std::string name = UnfinishedOutputName("/m/" + stem + ".flac", 12);
    const std::string file = name.substr(3);
    EXPECT_LE(file.size(), 255u);
    EXPECT_GE(file.size(), 254u);
    EXPECT_EQ(file.substr(file.size() - 17), ".kelto-new12.flac");
    const std::string kept = file.substr(0, file.size() - 17);
    EXPECT_EQ(kept.size() % 2, 0u);
    EXPECT_EQ(stem.rfind(kept, 0), 0u);
}

TEST(OwnOutputName, TakesTheWriteApartMarkOffAndLeavesOtherNames) {
    EXPECT_EQ(OwnOutputName("a/b.kelto-new.flac"), "a/b.flac");
    EXPECT_EQ(OwnOutputName("a/b (2).kelto-new12.flac"), "a/b (2).flac");
    EXPECT_EQ(OwnOutputName("a/b.flac"), "a/b.flac");
    EXPECT_EQ(OwnOutputName("a/b.kelto-newer.flac"), "a/b.kelto-newer.flac");
    EXPECT_EQ(OwnOutputName("a.kelto-new/b.flac"), "a.kelto-new/b.flac");
}
