// The parts of kelto-cli that need no program run: option parsing and the JSON lines.

#include <gtest/gtest.h>

#include <cmath>

#include "cli/CliOptions.h"
#include "cli/JsonLine.h"

namespace {

bool Parse(const std::vector<std::string>& args, CliOptions& options, std::string& error) {
    options = CliOptions{};
    error.clear();
    return CliOptions::Parse(args, options, error);
}

TEST(CliOptionsTest, ValuesComeSeparateOrAfterAnEqualsSignAndInputsKeepTheirOrder) {
    CliOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"a.flac", "--coder=MP3", "--preset", "VBR V2", "dir", "--threads=3",
                       "--priority", "idle", "--output", "/out", "--", "--odd.wav"},
                      options, error))
        << error;
    EXPECT_EQ(options.Inputs, (std::vector<std::string>{"a.flac", "dir", "--odd.wav"}));
    EXPECT_EQ(options.Coder, "MP3");
    EXPECT_EQ(options.Preset, "VBR V2");
    EXPECT_EQ(options.Threads, 3);
    EXPECT_EQ(options.PriorityIndex, 0);
    EXPECT_EQ(options.Output, "/out");
    EXPECT_FALSE(options.WorkDir.has_value());
}

TEST(CliOptionsTest, BadArgumentsAreRefusedWithAMessageNamingThem) {
    CliOptions options;
    std::string error;
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--threads", "2x"}, "'2x'"},
        {{"--threads", "-1"}, "'-1'"},
        {{"--threads", "999"}, "'999'"},
        {{"--priority", "Idle"}, "'Idle'"},
        {{"--output"}, "--output"},
        {{"--output="}, "--output"},
        {{"--list-coders=1"}, "--list-coders"},
        {{"-x"}, "-x"},
        {{"--decode-only", "--preset", "1"}, "--preset"},
    };
    for (const auto& [args, named] : cases) {
        EXPECT_FALSE(Parse(args, options, error)) << args[0];
        EXPECT_NE(error.find(named), std::string::npos) << error;
    }
}

TEST(CliOptionsTest, FlagsAndALoneDashAsInput) {
    CliOptions options;
    std::string error;
    ASSERT_TRUE(
        Parse({"--decode-only", "--dry-run", "--info", "--list-coders", "-"}, options, error));
    EXPECT_TRUE(options.DecodeOnly && options.DryRun && options.Info && options.ListCoders);
    EXPECT_EQ(options.Inputs, std::vector<std::string>{"-"});
    ASSERT_TRUE(Parse({"-h"}, options, error));
    EXPECT_TRUE(options.Help);
}

TEST(JsonLineTest, TextIsEscapedAndNumbersReadBackExactly) {
    const std::string line = CJsonLine()
                                 .Add("path", "/a \"b\"\\c\n\x01\xC3\xA4.wav")
                                 .Add("n", 48000)
                                 .Add("rate", 271.264)
                                 .Add("whole", 1411.0)
                                 .AddNull("none")
                                 .AddRaw("list", "[]")
                                 .Text();
    EXPECT_EQ(line,
              "{\"path\": \"/a \\\"b\\\"\\\\c\\n\\u0001\xC3\xA4.wav\", \"n\": 48000, "
              "\"rate\": 271.264, \"whole\": 1411, \"none\": null, \"list\": []}");
}

TEST(JsonLineTest, NumbersArePlainDecimalsAndTextIsAlwaysUtf8) {
    // Values whose shortest %g form needs an exponent, and values beyond %g's reach.
    const std::string line = CJsonLine()
                                 .Add("a", 320.0)
                                 .Add("b", 0.341)
                                 .Add("c", 0.00001)
                                 .Add("d", 1e21)
                                 .Add("e", -2500.0)
                                 .Add("f", std::nan(""))
                                 .Add("g", std::string("Caf\xE9 \xC3\xA9"))
                                 .Text();
    EXPECT_EQ(line,
              "{\"a\": 320, \"b\": 0.341, \"c\": 0.00001, \"d\": 1000000000000000000000, "
              "\"e\": -2500, \"f\": null, \"g\": \"Caf\xEF\xBF\xBD \xC3\xA9\"}");
}

}  // namespace

TEST(CliOptionsTest, ConversionKeepingOptionsAndTheirBadValues) {
    CliOptions options;
    std::string error;
    ASSERT_TRUE(CliOptions::Parse({"--no-copy-tags", "--keep-tree", "--existing=keep", "a.flac"},
                                  options, error))
        << error;
    EXPECT_EQ(options.CopyTags, false);
    EXPECT_TRUE(options.KeepTree);
    EXPECT_EQ(options.ExistingOutput, 2);
    CliOptions defaults;
    ASSERT_TRUE(CliOptions::Parse({"--copy-tags", "--existing", "skip", "a.flac"}, defaults, error));
    EXPECT_EQ(defaults.CopyTags, true);
    EXPECT_FALSE(defaults.KeepTree);
    EXPECT_EQ(defaults.ExistingOutput, 1);
    CliOptions bad;
    EXPECT_FALSE(CliOptions::Parse({"--existing", "replace", "a.flac"}, bad, error));
    EXPECT_NE(error.find("'replace'"), std::string::npos) << error;
    EXPECT_FALSE(CliOptions::Parse({"--keep-tree=1"}, bad, error));
    // The limits: a rate of at least 8000 Hz or 0, a bit depth of 16, 24 or 0.
    ASSERT_TRUE(CliOptions::Parse({"--max-rate=48000", "--max-bits", "16"}, defaults, error));
    EXPECT_EQ(defaults.MaxSampleRate, 48000);
    EXPECT_EQ(defaults.MaxBitDepth, 16);
    for (const char* value : {"--max-rate=7999", "--max-rate=fast", "--max-bits=20"}) {
        EXPECT_FALSE(CliOptions::Parse({value}, bad, error)) << value;
        EXPECT_NE(error.find(std::string(value).substr(2, 8)), std::string::npos) << error;
    }
}
