#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/CommandLine.h"
#include "core/Templates.h"

namespace {

TemplateValues Values(std::string in, std::string out, int rate = 44100) {
    TemplateValues values;
    values.InputPath = std::move(in);
    values.OutputPath = std::move(out);
    values.SampleRate = rate;
    values.Channels = 2;
    return values;
}

}  // namespace

TEST(ExpandTemplate, QuotesPathsAndFillsRates) {
    std::string out;
    ASSERT_TRUE(ExpandTemplate("-d %in% -o %out%", Values("/m/a b.flac", "/tmp/t.wav"), out));
    EXPECT_EQ(out, "-d \"/m/a b.flac\" -o \"/tmp/t.wav\"");
    ASSERT_TRUE(ExpandTemplate("--rate %orig_sr_hz% -s %orig_sr_khz%", Values("", "", 48000), out));
    EXPECT_EQ(out, "--rate 48000 -s 48.0");
    ASSERT_TRUE(ExpandTemplate("no placeholders at all", Values("x", "y"), out));
    EXPECT_EQ(out, "no placeholders at all");
    ASSERT_TRUE(ExpandTemplate("", Values("x", "y"), out));
    EXPECT_EQ(out, "");
}

TEST(ExpandTemplate, WavBitsHoldTheSourceWholeAndAreSixteenWhenUnknown) {
    std::string out;
    for (const auto& [resolution, bits] : std::vector<std::pair<int, std::string>>{
             {0, "16"}, {8, "16"}, {16, "16"}, {20, "24"}, {24, "24"}, {32, "24"}}) {
        TemplateValues values = Values("i", "o");
        values.Resolution = resolution;
        ASSERT_TRUE(ExpandTemplate("-c:a pcm_s%wav_bits%le", values, out));
        EXPECT_EQ(out, "-c:a pcm_s" + bits + "le") << resolution;
    }
}

TEST(ExpandTemplate, KilohertzHasOneDecimalAtLeastAndNoTrailingZeros) {
    const std::vector<std::pair<int, std::string>> cases = {
        {44100, "44.1"}, {48000, "48.0"}, {22050, "22.05"}, {8000, "8.0"},     {0, "0.0"},
        {11025, "11.025"}, {96000, "96.0"}, {7, "0.007"},  {-44100, "-44.1"}, {2147483647, "2147483.647"}};
    for (const auto& [rate, text] : cases) {
        std::string out;
        ASSERT_TRUE(ExpandTemplate("%orig_sr_khz%", Values("", "", rate), out));
        EXPECT_EQ(out, text) << rate;
    }
    EXPECT_EQ(FormatKilohertz(-2147483647 - 1), "-2147483.648");
}

TEST(ExpandTemplate, UnknownNamesDoubledOrUnpairedPercentFailAndKeepOut) {
    for (const std::string bad : {"%IN%", "-x %%", "%in", "a %out% %", "%orig_sr%", "%in%%out%%"}) {
        std::string out = "previous";
        EXPECT_FALSE(ExpandTemplate(bad, Values("i", "o"), out)) << bad;
        EXPECT_EQ(out, "previous");
    }
    std::string out;
    EXPECT_TRUE(ExpandTemplate("%in%%out%", Values("i", "o"), out));
    EXPECT_EQ(out, "\"i\"\"o\"");
}

TEST(ExpandTemplate, AnyPathArrivesAsOneArgumentAndIsNotExpandedAgain) {
    const std::vector<std::string> paths = {
        "/music/%out%.wav", "/a \"quoted\" name.flac", "/trailing\\", "/back\\\\slash\\\" x",
        "/100% sure.mp3",   "/tabs\tand  blanks",      "",            std::string(10000, 'p')};
    for (const auto& in : paths) {
        for (const auto& out : paths) {
            std::string line;
            ASSERT_TRUE(ExpandTemplate("-d %in% -o %out% -r %orig_sr_hz%", Values(in, out), line));
            EXPECT_EQ(SplitCommandLine(" " + line),
                      (std::vector<std::string>{"-d", in, "-o", out, "-r", "44100"}));
        }
    }
}
