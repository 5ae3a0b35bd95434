// langc, the generator of the language libraries, on files a translator may get wrong.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/TempDir.h"

namespace {

struct LangcResult {
    int exitCode;
    std::string errors;
};

LangcResult RunLangc(const TempDir& dir, const std::string& source) {
    WriteFileBytes(dir / "in.txt", source);
    const std::string command = std::string("'") + KELTO_LANGC + "' '" + (dir / "in.txt") + "' '" +
                                (dir / "out.cpp") + "' 2> '" + (dir / "errors.txt") + "'";
    const int status = std::system(command.c_str());
    return {status, ReadFileBytes(dir / "errors.txt")};
}

}  // namespace

TEST(LanguageSource, AWellFormedFileGeneratesSource) {
    TempDir dir;
    const LangcResult result = RunLangc(dir,
                                        "\xEF\xBB\xBF# comment\r\n"
                                        "101 = \\sStart\\n\\\\ \r\n"
                                        "102 =\n"
                                        "menu 203\n"
                                        "  popup = A\n"
                                        "    1 = One\n"
                                        "    popup = B\n"
                                        "      2 = Two\n"
                                        "    separator\n"
                                        "  3 = Three\n"
                                        "103 = Ä\n");
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_EQ(result.errors, "");
    EXPECT_NE(ReadFileBytes(dir / "out.cpp").find("kelto_language_table"), std::string::npos);
}

TEST(LanguageSource, MistakesStopTheBuildWithTheirLine) {
    const std::pair<std::string, std::string> cases[] = {
        {"101 = a\n101 = b\n", "in.txt:2: text 101 is defined twice"},
        {"101 Start\n", "in.txt:1: expected"},
        {"70000 = x\n", "in.txt:1: a text id is a number from 0 to 65535"},
        {"101 = a\\q\n", "in.txt:1: unknown escape \\q"},
        {"101 = a\\\n", "in.txt:1: a backslash ends the text"},
        {"101 = \xC3\x28\n", "in.txt:1: the line is not valid UTF-8"},
        {"  1 = x\n", "in.txt:1: an indented line belongs in a menu block"},
        {"menu 1\n\t1 = x\n", "in.txt:2: indent with spaces"},
        {"menu 1\n  1 = x\n    2 = y\n", "in.txt:3: only the entries of a popup"},
        {"menu 1\n  popup = P\n      1 = x\n   2 = y\n", "in.txt:4: the indentation matches no"},
        {"menu 1\n  popup = P\n  1 = x\n", "in.txt:3: the popup above has no indented entries"},
        {"menu 1\n  popup = P\n", "the popup above has no indented entries"},
        {"menu 1\n  x = y\n", "in.txt:2: expected \"<command id> = <text>\""},
        {"menu 1\n  1 = x\nmenu 1\n  1 = x\n", "in.txt:3: menu 1 is defined twice"},
    };
    for (const auto& [source, error] : cases) {
        TempDir dir;
        const LangcResult result = RunLangc(dir, source);
        EXPECT_NE(result.exitCode, 0) << source;
        EXPECT_NE(result.errors.find(error), std::string::npos) << source << "\n" << result.errors;
    }
}
