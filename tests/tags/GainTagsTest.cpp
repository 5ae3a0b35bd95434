// The gain tags' texts as players parse them: a point whatever the locale (the window runs in
// the user's), and Opus's Q7.8 gains relative to -23 LUFS within their 16 bits.

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "session/EngineFiles.h"
#include "support/TempDir.h"
#include "tags/GainTags.h"

TEST(GainTagsTest, FiguresAreWrittenWithAPointInAGermanLocaleAndOpusGainsInQ78) {
    TempDir dir;
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    // German as the system has it, else compiled here (glibc looks in LOCPATH).
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) {
        RunShell("localedef -i de_DE -f ISO-8859-1 " + ShellQuoted(dir / "de_DE"));
        setenv("LOCPATH", dir.Path().c_str(), 1);
        std::setlocale(LC_NUMERIC, "de_DE");
    }
    const bool comma = std::string(std::localeconv()->decimal_point) == ",";
    EXPECT_EQ(GainText(ReplayGainOf(-11.4762)), "-6.52 dB");
    EXPECT_EQ(GainText(ReplayGainOf(-30.5)), "12.50 dB");
    EXPECT_EQ(PeakText(0.98852549), "0.988525");
    std::setlocale(LC_NUMERIC, previous.c_str());
    unsetenv("LOCPATH");
    EXPECT_TRUE(comma) << "no German locale could be had: the point was not put to the test";

    // Silence has no loudness: the gain stops at the absolute gate's.
    EXPECT_EQ(GainText(ReplayGainOf(-HUGE_VAL)), "52.00 dB");
    // -6.52 dB to -18 LUFS is -11.52 dB to -23 LUFS: -2949.12 / 256.
    EXPECT_EQ(OpusGainText(-6.52), "-2949");
    EXPECT_EQ(OpusGainText(200.0), "32767");
    EXPECT_EQ(OpusGainText(-200.0), "-32768");
}
