#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/CommandLine.h"

using Args = std::vector<std::string>;

TEST(CommandLine, SplitsByTheWindowsRules) {
    EXPECT_EQ(SplitCommandLine(""), Args{});
    EXPECT_EQ(SplitCommandLine("  \t "), Args{});
    EXPECT_EQ(SplitCommandLine(" -q  5\t-V "), (Args{"-q", "5", "-V"}));
    EXPECT_EQ(SplitCommandLine(R"("a b" c)"), (Args{"a b", "c"}));
    EXPECT_EQ(SplitCommandLine(R"(x"a b"y)"), (Args{"xa by"}));
    EXPECT_EQ(SplitCommandLine(R"("" x)"), (Args{"", "x"}));
    EXPECT_EQ(SplitCommandLine(R"(a\"b)"), (Args{"a\"b"}));
    EXPECT_EQ(SplitCommandLine(R"(a\\"b c")"), (Args{"a\\b c"}));
    EXPECT_EQ(SplitCommandLine(R"(a\\\"b)"), (Args{"a\\\"b"}));
    EXPECT_EQ(SplitCommandLine(R"(C:\dir\ "C:\dir\\")"), (Args{"C:\\dir\\", "C:\\dir\\"}));
    // Two quotes inside quotes: one literal quote, and the quoted part ends.
    EXPECT_EQ(SplitCommandLine(R"("a""b c)"), (Args{"a\"b", "c"}));
    EXPECT_EQ(SplitCommandLine(R"("a""b" c)"), (Args{"a\"b c"}));
    EXPECT_EQ(SplitCommandLine(R"("""a" b)"), (Args{"\"a b"}));
    EXPECT_EQ(SplitCommandLine(R"("open end)"), (Args{"open end"}));
}

TEST(CommandLine, QuotedTextComesBackAsExactlyOneArgument) {
    const Args nasty = {"",         "plain",      "two  blanks", "\"",         "\\",
                        "\\\\",     "end\\",      "end\\\\",      "a\\\"b",     "\"\"\"",
                        "tab\there", "%out%.wav", "new\nline",    "ünï cödé \xF0\x9F\x8E\xB5",
                        "/path/with \"quotes\" and \\back\\slashes\\"};
    std::string line = " -x";
    for (const auto& text : nasty) {
        EXPECT_EQ(SplitCommandLine(QuoteCommandLineArgument(text)), Args{text}) << text;
        line += " " + QuoteCommandLineArgument(text);
    }
    Args expected = {"-x"};
    expected.insert(expected.end(), nasty.begin(), nasty.end());
    EXPECT_EQ(SplitCommandLine(line), expected);
}
