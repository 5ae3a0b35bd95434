#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "core/NameBlockMarker.h"
#include "core/TempFileName.h"
#include "support/TempDir.h"

TEST(TempFileName, NamesLookLikeKelAndFourUpperCaseHexDigits) {
    TempDir dir;
    const auto folder = dir.Path().string();
    const auto name = MakeTempFileName(folder, ".wav");
    ASSERT_EQ(name.substr(0, folder.size() + 4), folder + "/kel");
    const auto rest = name.substr(folder.size() + 4);
    ASSERT_EQ(rest.size(), 8u) << name;
    EXPECT_EQ(rest.find_first_not_of("0123456789ABCDEF"), 4u) << name;
    EXPECT_EQ(rest.substr(4), ".wav");
    EXPECT_FALSE(std::filesystem::exists(name));  // only the marker is created
    const auto withSlash = MakeTempFileName(folder + "/", ".wav");
    EXPECT_EQ(withSlash.find("//"), std::string::npos);
    ReleaseTempFileName(name);
    ReleaseTempFileName(withSlash);
}

TEST(TempFileName, MissingFolderGivesEmptyNameAndSaysWhy) {
    TempDir dir;
    std::string whyNot;
    EXPECT_EQ(MakeTempFileName(dir / "missing", ".wav", &whyNot), "");
    EXPECT_FALSE(whyNot.empty());
    EXPECT_EQ(MakeTempFileName("", ".wav"), "");
}

TEST(TempFileName, HeldNamesAndExistingEntriesAreNeverHandedOut) {
    TempDir dir;
    const auto folder = dir.Path().string();
    // Occupy a range of names on disk, one of them a dangling link.
    std::set<std::string> existing;
    for (int i = 0; i < 2000; ++i) {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%04X", i * 7);
        existing.insert(folder + "/kel" + digits + ".wav");
        WriteFileBytes(*existing.rbegin(), "");
    }
    std::filesystem::create_symlink(dir / "nowhere", folder + "/kel0001.wav");
    existing.insert(folder + "/kel0001.wav");

    std::set<std::string> handedOut;
    for (int i = 0; i < 5000; ++i) {
        const auto name = MakeTempFileName(folder, ".wav");
        ASSERT_FALSE(name.empty());
        EXPECT_EQ(existing.count(name), 0u) << name;
        EXPECT_TRUE(handedOut.insert(name).second) << "handed out twice: " << name;
        EXPECT_TRUE(IsTempFileNameHeld(name));
    }
    for (const auto& name : handedOut) EXPECT_TRUE(ReleaseTempFileName(name));
    EXPECT_FALSE(ReleaseTempFileName(*handedOut.begin()));
    EXPECT_FALSE(IsTempFileNameHeld(*handedOut.begin()));
}

TEST(TempFileName, OnceEveryFourDigitNameIsHeldOrTakenNamesGetEightDigits) {
    TempDir dir;
    const auto folder = dir.Path().string();
    // Another kelto holds the first 30,000 names; this one takes all the rest.
    constexpr int kTheirs = 30000;
    for (int i = 0; i < kTheirs; ++i) {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%04X", i);
        WriteFileBytes(folder + "/kel" + digits + ".wav.lock", "");
    }
    std::set<std::string> ours;
    for (int i = kTheirs; i < 65536; ++i) ours.insert(MakeTempFileName(folder, ".wav"));
    ASSERT_EQ(ours.size(), 65536u - kTheirs);
    ASSERT_EQ(ours.count(""), 0u);
    const std::string last = *ours.rbegin();
    EXPECT_EQ(last.size(), folder.size() + std::string("/kelFFFF.wav").size()) << last;

    std::set<std::string> longer;
    for (int i = 0; i < 100; ++i) {
        const auto name = MakeTempFileName(folder, ".wav");
        const auto rest = name.substr(std::min(name.size(), folder.size() + 4));
        ASSERT_EQ(name.substr(0, folder.size() + 4), folder + "/kel") << name;
        ASSERT_EQ(rest.size(), 12u) << name;
        EXPECT_EQ(rest.find_first_not_of("0123456789ABCDEF"), 8u) << name;
        EXPECT_TRUE(std::filesystem::exists(TempFileNameMarker(name)));
        EXPECT_TRUE(longer.insert(name).second) << "handed out twice: " << name;
    }
    // Another extension is another set of names.
    const auto other = MakeTempFileName(folder, ".tmp");
    EXPECT_EQ(other.size(), folder.size() + std::string("/kelFFFF.tmp").size()) << other;
    // A four-digit name given back is handed out again before more eight-digit ones.
    ReleaseTempFileName(last);
    EXPECT_EQ(MakeTempFileName(folder, ".wav"), last);

    const std::string longMarker = TempFileNameMarker(*longer.begin());
    for (const auto& name : ours) ReleaseTempFileName(name);
    for (const auto& name : longer) EXPECT_TRUE(ReleaseTempFileName(name));
    ReleaseTempFileName(other);
    EXPECT_FALSE(std::filesystem::exists(longMarker));
}

TEST(TempFileNameConcurrency, ThreadsNeverGetTheSameName) {
    TempDir dir;
    const auto folder = dir.Path().string();
    std::vector<std::vector<std::string>> perThread(4);
    std::vector<std::thread> threads;
    for (auto& names : perThread) {
        threads.emplace_back([&names, &folder] {
            for (int i = 0; i < 2000; ++i) names.push_back(MakeTempFileName(folder, ".wav"));
        });
    }
    for (auto& thread : threads) thread.join();
    std::set<std::string> all;
    for (const auto& names : perThread) all.insert(names.begin(), names.end());
    EXPECT_EQ(all.size(), 8000u);
    for (const auto& name : all) ReleaseTempFileName(name);
}

TEST(TempFileName, NamesReservedByAnotherKeltoAreNotDrawnAndOurOwnAreVisibleToIt) {
    TempDir dir;
    const auto folder = dir.Path().string();
    // Another kelto shows its held names as markers beside them.
    std::set<std::string> theirs;
    for (int i = 0; i < 3000; ++i) {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%04X", i * 11);
        theirs.insert(folder + "/kel" + digits + ".wav");
        WriteFileBytes(*theirs.rbegin() + ".lock", "");
    }
    // and a newer one whole blocks of them.
    WriteFileBytes(folder + "/kel3F__.wav.lock", "");
    std::vector<std::string> ours;
    std::set<std::string> markers;
    for (int i = 0; i < 3000; ++i) {
        ours.push_back(MakeTempFileName(folder, ".wav"));
        EXPECT_EQ(theirs.count(ours.back()), 0u) << ours.back();
        EXPECT_NE(ours.back().substr(folder.size(), 6), "/kel3F") << ours.back();
        const std::string marker = TempFileNameMarker(ours.back());
        EXPECT_TRUE(std::filesystem::exists(marker)) << marker;
        EXPECT_FALSE(std::filesystem::exists(ours.back()));
        markers.insert(marker);
    }
    // One marker reserves a block of 256 names, so a batch makes few of them.
    EXPECT_LE(markers.size(), 16u);

    for (const auto& name : ours) ReleaseTempFileName(name);
    for (const auto& marker : markers) EXPECT_FALSE(std::filesystem::exists(marker)) << marker;
}

TEST(TempFileName, StaleMarkersOfAKeltoThatDiedTakeTheirNamesAlongAndNothingElse) {
    TempDir dir;
    const auto folder = dir.Path().string();
    auto write = [&](const std::string& name) { WriteFileBytes(folder + "/" + name, "RIFF"); };
    {
        // A kelto that died while names of block A7 were handed out: its marker's lock is gone.
        CNameBlockMarker dead;
        ASSERT_TRUE(dead.Create(folder + "/kelA7__.wav.lock"));
        for (std::uint8_t last : {0x01, 0x02, 0xFF}) dead.SetHandedOut(last, true);
        dead.SetHandedOut(0xFF, false);
    }
    for (const char* name : {"kelA701.wav", "kelA702.wav", "kelA7FF.wav", "kelA703.wav",
                             "kel5501.wav", "kel6601.wav", "kelA701.tmp"}) {
        write(name);
    }
    // An older kelto's marker, held by its existence alone.
    write("kel66__.wav.lock");
    // And one that runs now: this process.
    const std::string live = MakeTempFileName(folder, ".wav");
    write(live.substr(folder.size() + 1));

    EXPECT_EQ(RemoveStaleTempFiles(folder), 2);

    std::set<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        left.insert(entry.path().string());
    }
    const std::set<std::string> expected = {
        live, TempFileNameMarker(live),
        // Given back, unlisted, of another block, another kind of file.
        folder + "/kelA7FF.wav", folder + "/kel5501.wav", folder + "/kelA703.wav",
        folder + "/kelA701.tmp", folder + "/kel6601.wav", folder + "/kel66__.wav.lock"};
    EXPECT_EQ(left, expected);
    EXPECT_EQ(RemoveStaleTempFiles(folder), 0);
    EXPECT_EQ(RemoveStaleTempFiles(dir / "missing"), 0);
    ReleaseTempFileName(live);
}
