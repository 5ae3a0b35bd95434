// The WAV comparison on real files: figures, progress, files that cannot be compared, and
// round trips through the real flac and lame programs.
#include <gtest/gtest.h>

#include <atomic>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "plugins/compare/WavComparison.h"
#include "session/EngineFiles.h"
#include "support/TempDir.h"

namespace {

constexpr std::size_t kBlock = CWavComparison::kBlockBytes;
constexpr std::size_t kHeader = CWavComparison::kHeaderBytes;

// What a comparison reported, in order.
struct CRecordingSink final : IComparisonSink {
    void SetProgressRange(int low, int high) override { ranges.emplace_back(low, high); }
    void SetProgressPosition(std::int64_t position) override {
        positions.push_back(position);
        if (stopAfter > 0 && positions.size() == stopAfter) stop = true;
    }
    void SetResult(std::size_t index, const ComparisonResult& result) override {
        results.emplace_back(index, result);
    }
    std::string Text(std::size_t i) const {
        return results.at(i).second.compared ? FormatDifference(results.at(i).second.Percent())
                                             : "n/a";
    }

    std::vector<std::pair<int, int>> ranges;
    std::vector<std::int64_t> positions;
    std::vector<std::pair<std::size_t, ComparisonResult>> results;
    std::size_t stopAfter = 0;
    std::atomic<bool> stop{false};
};

// A header of 44 bytes and then size - 44 bytes of changing data.
std::string MakeFile(std::size_t size, std::uint32_t seed = 1) {
    std::string bytes(size, '\0');
    std::uint32_t state = seed;
    for (std::size_t i = 0; i < size; ++i) {
        state = state * 1664525u + 1013904223u;
        bytes[i] = static_cast<char>(state >> 24);
    }
    return bytes;
}

// Flips the low bit of the 16-bit word that starts at data byte offset (after the header).
void FlipWord(std::string& bytes, std::size_t dataOffset) { bytes[kHeader + dataOffset] ^= 1; }

// LC_NUMERIC switched to a locale with a decimal comma for the object's life, as a host in a
// German desktop runs: one the system has, else German compiled into folder for this test (glibc
// looks for locales in LOCPATH). Not active when neither can be had.
class CCommaLocale {
public:
    explicit CCommaLocale(const std::string& folder)
        : m_previous(std::setlocale(LC_NUMERIC, nullptr)) {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8"}) {
            if (Use(name)) return;
        }
        RunShell("localedef -i de_DE -f ISO-8859-1 " + ShellQuoted(folder + "/de_DE") +
                 " >/dev/null 2>&1");
        if (!std::filesystem::exists(folder + "/de_DE")) return;
        setenv("LOCPATH", folder.c_str(), 1);
        m_ownLocale = true;
        Use("de_DE");
    }
    ~CCommaLocale() {
        std::setlocale(LC_NUMERIC, m_previous.c_str());
        if (m_ownLocale) unsetenv("LOCPATH");
    }
    bool Active() const { return m_active; }

private:
    bool Use(const char* name) {
        if (!std::setlocale(LC_NUMERIC, name)) return false;
        char text[8];
        std::snprintf(text, sizeof text, "%.1f", 1.5);
        m_active = std::string(text) == "1,5";
        return m_active;
    }

    std::string m_previous;
    bool m_ownLocale = false;
    bool m_active = false;
};

TEST(FormatDifference, ThreeDecimalsAndAPointInEveryLocale) {
    const std::vector<std::pair<double, std::string>> cases = {
        {12.3456, "12.346%"},   {0.0, "0.000%"},    {100.0, "100.000%"},
        {100.0 / 3, "33.333%"}, {0.0004, "0.000%"}, {99.9996, "100.000%"}};
    for (const auto& [percent, text] : cases) EXPECT_EQ(FormatDifference(percent), text);

    TempDir dir;
    const CCommaLocale comma(dir.Path().string());
    if (!comma.Active()) GTEST_SKIP() << "no locale with a decimal comma can be had here";
    for (const auto& [percent, text] : cases) EXPECT_EQ(FormatDifference(percent), text);
}

class WavComparisonTest : public ::testing::Test {
protected:
    std::string Put(const std::string& name, const std::string& bytes) {
        const std::string path = m_dir / name;
        WriteFileBytes(path, bytes);
        return path;
    }
    CRecordingSink& Run(const std::string& original, const std::vector<std::string>& tests) {
        m_returned = CWavComparison().Compare(original, tests, m_sink, &m_sink.stop);
        return m_sink;
    }

    TempDir m_dir;
    CRecordingSink m_sink;
    bool m_returned = false;
};

TEST(CountDifferingWords, CountsEveryUnequalWordIncludingBothEndsOfTheBlock) {
    std::vector<std::uint16_t> a(CWavComparison::kBlockWords, 0x1234);
    std::vector<std::uint16_t> b = a;
    EXPECT_EQ(CountDifferingWords(a.data(), b.data()), 0u);
    b.front() = 0x1235;
    b.back() = 0x9234;  // only the high byte differs
    b[4099] = 0;
    EXPECT_EQ(CountDifferingWords(a.data(), b.data()), 3u);
    for (auto& word : b) word = static_cast<std::uint16_t>(~word);
    EXPECT_EQ(CountDifferingWords(a.data(), b.data()), CWavComparison::kBlockWords);
}

TEST_F(WavComparisonTest, ACopyGivesZeroAndEveryWordChangedGivesAHundred) {
    const std::string bytes = MakeFile(kHeader + 3 * kBlock + 100);
    std::string changed = bytes;
    for (std::size_t i = kHeader; i < changed.size(); i += 2) changed[i] ^= 0x40;
    // Headers are skipped, not compared.
    changed[3] ^= 1;
    Run(Put("o.wav", bytes), {Put("copy.wav", bytes), Put("changed.wav", changed)});
    ASSERT_TRUE(m_returned);
    ASSERT_EQ(m_sink.results.size(), 2u);
    EXPECT_EQ(m_sink.results[0].first, 0u);
    EXPECT_EQ(m_sink.Text(0), "0.000%");
    EXPECT_EQ(m_sink.results[0].second.comparedWords, 3 * CWavComparison::kBlockWords);
    EXPECT_EQ(m_sink.results[1].first, 1u);
    EXPECT_EQ(m_sink.Text(1), "100.000%");
    EXPECT_EQ(m_sink.ranges, (std::vector<std::pair<int, int>>{{0, 1000}}));
}

TEST_F(WavComparisonTest, EightThousandWordsSpreadOverThreeBlocksGiveAThird) {
    const std::string bytes = MakeFile(kHeader + 3 * kBlock);
    std::string changed = bytes;
    for (std::size_t word = 0; word < 8192; ++word) FlipWord(changed, word * 6);
    Run(Put("o.wav", bytes), {Put("t.wav", changed)});
    ASSERT_EQ(m_sink.results.size(), 1u);
    EXPECT_EQ(m_sink.results[0].second.differences, 8192u);
    EXPECT_EQ(m_sink.Text(0), "33.333%");
}

TEST_F(WavComparisonTest, OnlyTheFullBlocksBothFilesHaveAreCompared) {
    const std::string bytes = MakeFile(kHeader + 2 * kBlock + 5000);
    std::string lastPartial = bytes;
    FlipWord(lastPartial, 2 * kBlock + 10);
    std::string longer = bytes + MakeFile(kBlock, 7);
    FlipWord(longer, 2 * kBlock + 10);  // in a block only the longer file has in full
    std::string shorter = bytes.substr(0, kHeader + kBlock + 100);
    FlipWord(shorter, 0);
    Run(Put("o.wav", bytes),
        {Put("partial.wav", lastPartial), Put("longer.wav", longer), Put("shorter.wav", shorter)});
    ASSERT_EQ(m_sink.results.size(), 3u);
    EXPECT_EQ(m_sink.Text(0), "0.000%");
    EXPECT_EQ(m_sink.Text(1), "0.000%");
    EXPECT_EQ(m_sink.results[1].second.comparedWords, 2 * CWavComparison::kBlockWords);
    EXPECT_EQ(m_sink.results[2].second.comparedWords, CWavComparison::kBlockWords);
    EXPECT_EQ(m_sink.results[2].second.differences, 1u);
    EXPECT_EQ(m_sink.Text(2), "0.012%");
}

TEST_F(WavComparisonTest, WithTwoFullLengthTestFilesTheProgressPassesTheEndOfItsRange) {
    const std::string bytes = MakeFile(kHeader + 4 * kBlock);
    const std::string original = Put("o.wav", bytes);
    const std::vector<std::string> tests = {Put("a.wav", bytes), Put("b.wav", bytes)};
    // Two files' sizes, down to whole blocks, are more than the original: its size is the total.
    EXPECT_EQ(CWavComparison::ProgressTotal(original, tests), bytes.size());
    EXPECT_EQ(CWavComparison::ProgressTotal(original, {tests[0]}), 4 * kBlock);
    Run(original, tests);
    ASSERT_EQ(m_sink.positions.size(), 8u);
    EXPECT_EQ(m_sink.positions[3], 999);  // 4 blocks of a file 44 bytes longer
    for (std::size_t i = 1; i < m_sink.positions.size(); ++i) {
        EXPECT_GT(m_sink.positions[i], m_sink.positions[i - 1]);
    }
    EXPECT_EQ(m_sink.positions.back(), 1998);
}

TEST_F(WavComparisonTest, AnOriginalThatCannotBeOpenedDeliversNoResult) {
    const std::string test = Put("t.wav", MakeFile(kHeader + kBlock));
    Run(m_dir / "missing.wav", {test});
    EXPECT_FALSE(m_returned);
    EXPECT_TRUE(m_sink.results.empty());
    EXPECT_TRUE(m_sink.positions.empty());
    Run(m_dir.Path().string(), {test});  // a folder is no original either
    EXPECT_FALSE(m_returned);
    EXPECT_TRUE(m_sink.results.empty());
}

TEST_F(WavComparisonTest, TestFilesThatCannotBeComparedAreNotAvailableAndTheRestGoOn) {
    const std::string bytes = MakeFile(kHeader + 2 * kBlock);
    std::string changed = bytes;
    FlipWord(changed, 0);
    FlipWord(changed, kBlock);
    Run(Put("o.wav", bytes),
        {m_dir / "missing.wav", Put("short.wav", bytes.substr(0, kHeader + kBlock - 1)),
         Put("empty.wav", ""), Put("t.wav", changed)});
    ASSERT_EQ(m_sink.results.size(), 4u);
    EXPECT_EQ(m_sink.Text(0), "n/a");
    EXPECT_EQ(m_sink.Text(1), "n/a");
    EXPECT_EQ(m_sink.Text(2), "n/a");
    EXPECT_EQ(m_sink.results[3].first, 3u);
    EXPECT_EQ(m_sink.results[3].second.differences, 2u);
    EXPECT_EQ(m_sink.Text(3), "0.012%");
}

TEST_F(WavComparisonTest, AStopEndsTheRunWithoutFurtherResults) {
    // More blocks than one read takes, so the stop is seen before the file ends.
    const std::string bytes = MakeFile(kHeader + 40 * kBlock);
    m_sink.stopAfter = 1;
    Run(Put("o.wav", bytes), {Put("a.wav", bytes), Put("b.wav", bytes)});
    EXPECT_TRUE(m_returned);
    EXPECT_TRUE(m_sink.results.empty());
    EXPECT_LT(m_sink.positions.size(), 40u);
}

// Real audio through kelto's own conversion and real codecs: a lossless round trip comes
// back word for word, a lossy one does not.
TEST_F(WavComparisonTest, AFlacRoundTripByKeltoGivesZeroAndAnMp3RoundTripMore) {
    const std::string original = m_dir / "original.wav";
    WriteTestWav(original, 44100, 2, 2.0, 3);
    const std::string cli = ShellQuoted(std::string(KELTO_WORK_DIR) + "/kelto-cli") +
                            " --workdir " + ShellQuoted(KELTO_WORK_DIR) + " --output ";
    const std::string coded = m_dir / "coded";
    const std::string back = m_dir / "back";
    ASSERT_TRUE(RunShell(cli + ShellQuoted(coded) + " --coder FLAC --preset 2 " +
                         ShellQuoted(original) + " >/dev/null"));
    ASSERT_TRUE(RunShell(cli + ShellQuoted(back) + " --decode-only " +
                         ShellQuoted(coded + "/original.flac") + " >/dev/null"));
    const std::string fromFlac = back + "/original.wav";
    const std::string mp3 = m_dir / "x.mp3";
    const std::string fromMp3 = m_dir / "from-mp3.wav";
    ASSERT_TRUE(EncodeWith(original, mp3));
    ASSERT_TRUE(RunShell("lame --quiet --decode " + ShellQuoted(mp3) + " " + ShellQuoted(fromMp3)));
    Run(original, {fromFlac, fromMp3});
    ASSERT_EQ(m_sink.results.size(), 2u);
    EXPECT_EQ(m_sink.Text(0), "0.000%");
    EXPECT_GT(m_sink.results[0].second.comparedWords, 20u * CWavComparison::kBlockWords);
    ASSERT_TRUE(m_sink.results[1].second.compared);
    EXPECT_GT(m_sink.results[1].second.Percent(), 0.0);
    EXPECT_NE(m_sink.Text(1), "0.000%");
}

}  // namespace
