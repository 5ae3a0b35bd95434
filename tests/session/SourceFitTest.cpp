#include <gtest/gtest.h>

#include <vector>

#include "fileinfo/FormatTable.h"
#include "session/SourceFit.h"

// Which rate, bits and channels a source is fitted to, from the user's limits and what the
// coder's program takes.

namespace {

const std::vector<int> kSpeexRates = {8000, 11025, 16000, 22050, 32000, 44100, 48000};

TEST(SourceFit, RatesComeDownWithinTheirFamilyElseTheOtherElseTheUsualLowerOnes) {
    struct Case {
        int rate, limit;
        std::vector<int> allowed;
        int expected;
    };
    const Case cases[] = {
        {96000, 48000, {}, 48000},    {88200, 48000, {}, 44100},  {192000, 96000, {}, 96000},
        {352800, 192000, {}, 176400}, {96000, 44100, {}, 44100},  {44100, 48000, {}, 44100},
        {50000, 48000, {}, 48000},    {96000, 32000, {}, 32000},  {96000, 0, kSpeexRates, 48000},
        {24000, 0, kSpeexRates, 32000}, {176400, 0, kSpeexRates, 44100},
        {96000, 40000, kSpeexRates, 32000}, {96000, 7000, kSpeexRates, 0},
        {0, 48000, {}, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SourceFit::FittedSampleRate(c.rate, c.limit, c.allowed), c.expected)
            << c.rate << " under " << c.limit;
    }
}

TEST(SourceFit, ASourceWithinEveryLimitNeedsNothingAndDsdIsFittedFromItsDecodedRate) {
    CFileInfo file;
    file.SampleRate = 96000;
    file.Resolution = 24;
    file.Channels = 6;
    EXPECT_FALSE(SourceFit::Plan(file, FitLimits::Of(0, 0, nullptr)).Needed);
    EXPECT_FALSE(SourceFit::Plan(file, FitLimits::Of(96000, 24, nullptr)).Needed);
    // Bits alone: no resampler, the rate stays.
    EXPECT_EQ(SourceFit::Plan(file, FitLimits::Of(0, 16, nullptr)).ForDecoder(file).Options,
              "-af aresample=osf=s16:dither_method=triangular");

    // DSD is decoded at 88.2 kHz: a fit names that rate even when it keeps it.
    CFileInfo dsd;
    dsd.FormatId = kFormatDSF;
    dsd.SampleRate = 2822400;
    dsd.Resolution = 1;
    dsd.Channels = 2;
    EXPECT_FALSE(SourceFit::Plan(dsd, FitLimits::Of(96000, 24, nullptr)).Needed);
    EXPECT_EQ(SourceFit::Plan(dsd, FitLimits::Of(0, 16, nullptr)).ForDecoder(dsd).Options,
              "-af aresample=resampler=soxr:osr=88200:osf=s16:dither_method=triangular");
    EXPECT_EQ(SourceFit::Plan(dsd, FitLimits::Of(48000, 0, nullptr)).ForDecoder(dsd).Options,
              "-af aresample=resampler=soxr:osr=44100:osf=s32");
}

}  // namespace
