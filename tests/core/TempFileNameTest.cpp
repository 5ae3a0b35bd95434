#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

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

TEST(TempFileName, MissingFolderGivesEmptyName) {
    TempDir dir;
    EXPECT_EQ(MakeTempFileName(dir / "missing", ".wav"), "");
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

TEST(TempFileName, EveryNameCanBeTakenOnceThenNoneIsLeft) {
    TempDir dir;
    const auto folder = dir.Path().string();
    std::set<std::string> names;
    for (int i = 0; i < 65536; ++i) names.insert(MakeTempFileName(folder, ".wav"));
    EXPECT_EQ(names.size(), 65536u);
    EXPECT_EQ(names.count(""), 0u);
    EXPECT_EQ(MakeTempFileName(folder, ".wav"), "");
    // A released name is free again.
    const auto some = *names.begin();
    ReleaseTempFileName(some);
    EXPECT_EQ(MakeTempFileName(folder, ".wav"), some);
    for (const auto& name : names) ReleaseTempFileName(name);
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
    std::vector<std::string> ours;
    for (int i = 0; i < 3000; ++i) {
        ours.push_back(MakeTempFileName(folder, ".wav"));
        EXPECT_EQ(theirs.count(ours.back()), 0u) << ours.back();
        EXPECT_TRUE(std::filesystem::exists(ours.back() + ".lock"));
        EXPECT_FALSE(std::filesystem::exists(ours.back()));
    }
    for (const auto& name : ours) ReleaseTempFileName(name);
    for (const auto& name : ours) EXPECT_FALSE(std::filesystem::exists(name + ".lock")) << name;
}
